#include "manager/app/ManagerServicesSetup.h"

#include "batch/FileOpCommands.h"
#include "batch/GraphicTextWizard.h"
#include "manager/CQuorixDoc.h"
#include "print/PrintWindowService.h"
#include "upload/CUploadDlg.h"

#include <wx/app.h>

// One line per library that brings a dialog; the program links each of them.
ManagerServices MakeManagerServices()
{
    ManagerServices services;
    services.destination = RunDestinationDialog;
    services.deleteFiles = RunDeleteDialog;
    services.renameFile = RunRenameDialog;
    services.copyMoveDrop = RunCopyMoveDialog;
    services.upload = RunUploadDialog;
    services.printLayout = [](CQuorixDoc& doc, wxWindow* mainFrame) { OpenPrintWindow(doc, mainFrame); };
    services.graphicText = [](CQuorixDoc& doc) { RunGraphicTextWizard(doc, wxTheApp ? wxTheApp->GetTopWindow() : nullptr); };
    return services;
}
