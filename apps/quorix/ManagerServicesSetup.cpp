#include "apps/quorix/ManagerServicesSetup.h"

#include "batch/ui/BatchCommands.h"
#include "batch/ui/FileOpCommands.h"
#include "batch/ui/GraphicTextWizard.h"
#include "manager/ui/CDirectoryView.h"
#include "manager/ui/CMainFrame.h"
#include "manager/ui/CQuorixDoc.h"
#include "print/ui/PrintWindowService.h"
#include "upload/ui/CUploadDlg.h"

#include <wx/app.h>

namespace {

CMainFrame* MainFrame() { return dynamic_cast<CMainFrame*>(wxTheApp ? wxTheApp->GetTopWindow() : nullptr); }

// What the batch dialogs and the search window reach of the manager's main window.
batch::BatchHost MakeBatchHost()
{
    batch::BatchHost host;
    host.mainWindow = [] { return wxTheApp ? wxTheApp->GetTopWindow() : nullptr; };
    host.openFolder = [](CQuorixDoc& doc, const std::string& folder) {
        CMainFrame* frame = MainFrame();
        if (auto* tree = frame ? dynamic_cast<CDirectoryView*>(frame->GetDirectoryView()) : nullptr) {
            if (wxDocManager* manager = doc.GetDocumentManager())
                manager->ActivateView(tree);
            tree->SelectPath(folder);
        }
    };
    host.foundImage = [] {
        if (CMainFrame* frame = MainFrame())
            frame->GetMessageSink().Post(CMainFrame::kAddFoundImage);
    };
    return host;
}

}  // namespace

// One line per library that brings a dialog; the program links each of them.
ManagerServices MakeManagerServices()
{
    ManagerServices services;
    const batch::BatchHost host = MakeBatchHost();
    services.batchRename = [host](CQuorixDoc& doc) { batch::RunBatchRename(doc, host); };
    services.batchResize = [host](CQuorixDoc& doc) { batch::RunBatchResize(doc, host); };
    services.search = [host](CQuorixDoc& doc, wxWindow* mainFrame, const std::string& caption) {
        batch::ShowSearch(doc, mainFrame, caption, host);
    };
    services.destination = RunDestinationDialog;
    services.deleteFiles = RunDeleteDialog;
    services.renameFile = RunRenameDialog;
    services.copyMoveDrop = RunCopyMoveDialog;
    services.upload = RunUploadDialog;
    services.printLayout = [](CQuorixDoc& doc, wxWindow* mainFrame) { OpenPrintWindow(doc, mainFrame); };
    services.graphicText = [](CQuorixDoc& doc) { RunGraphicTextWizard(doc, wxTheApp ? wxTheApp->GetTopWindow() : nullptr); };
    return services;
}
