#pragma once
// The table of the neighbouring libraries' dialogs that the manager program runs with.

#include "manager/model/ManagerServices.h"

ManagerServices MakeManagerServices();
