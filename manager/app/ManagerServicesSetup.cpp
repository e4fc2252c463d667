#include "manager/app/ManagerServicesSetup.h"

#include "print/PrintWindowService.h"
#include "upload/CUploadDlg.h"

// One line per library that brings a dialog; the program links each of them.
ManagerServices MakeManagerServices()
{
    ManagerServices services;
    services.upload = RunUploadDialog;
    services.printLayout = [](CQuorixDoc& doc, wxWindow* mainFrame) { OpenPrintWindow(doc, mainFrame); };
    return services;
}
