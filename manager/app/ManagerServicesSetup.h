#pragma once
// The table of the neighbouring libraries' dialogs that the manager program runs with.

#include "manager/ManagerServices.h"

ManagerServices MakeManagerServices();
