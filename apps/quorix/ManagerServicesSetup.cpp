#include "apps/quorix/ManagerServicesSetup.h"

#include "batch/ui/BatchCommands.h"
#include "batch/ui/FileOpCommands.h"
#include "batch/ui/GraphicTextWizard.h"
#include "manager/ui/CQuorixDoc.h"
#include "print/ui/PrintWindowService.h"
#include "upload/ui/CUploadDlg.h"

#include <wx/app.h>

// One line per library that brings a dialog; the program links each of them.
ManagerServices MakeManagerServices()
{
    ManagerServices services;
    services.batchRename = batch::RunBatchRename;
    services.batchResize = batch::RunBatchResize;
    services.search = batch::ShowSearch;
    services.destination = RunDestinationDialog;
    services.deleteFiles = RunDeleteDialog;
    services.renameFile = RunRenameDialog;
    services.copyMoveDrop = RunCopyMoveDialog;
    services.upload = RunUploadDialog;
    services.printLayout = [](CQuorixDoc& doc, wxWindow* mainFrame) { OpenPrintWindow(doc, mainFrame); };
    services.graphicText = [](CQuorixDoc& doc) { RunGraphicTextWizard(doc, wxTheApp ? wxTheApp->GetTopWindow() : nullptr); };
    return services;
}
