#include "manager/app/ManagerServicesSetup.h"

// One line per library that brings a dialog; the program links each of them.
ManagerServices MakeManagerServices()
{
    ManagerServices services;
    return services;
}
