#include "manager/app/ManagerServicesSetup.h"

#include "batch/BatchCommands.h"
#include "upload/CUploadDlg.h"

// One line per library that brings a dialog; the program links each of them.
ManagerServices MakeManagerServices()
{
    ManagerServices services;
    services.batchRename = batch::RunBatchRename;
    services.batchResize = batch::RunBatchResize;
    services.search = batch::ShowSearch;
    services.upload = RunUploadDialog;
    return services;
}
