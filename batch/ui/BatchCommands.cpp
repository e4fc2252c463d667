#include "batch/ui/BatchCommands.h"

#include "batch/ui/BatchDialogSupport.h"
#include "batch/ui/CBatchRenameDlg.h"
#include "batch/ui/CBatchResizeDlg.h"
#include "batch/ui/CSearchDlg.h"

namespace batch {

namespace {

wxWindow* MainWindow(const BatchHost& host) { return host.mainWindow ? host.mainWindow() : nullptr; }

}  // namespace

void RunBatchRename(CQuorixDoc& doc, const BatchHost& host)
{
    CBatchRenameDlg dialog(MainWindow(host));
    dialog.SetDocument(&doc);
    dialog.SetHost(host);
    dialog.ShowModal();
    ShowFailureSummary(host, "Batch Rename", dialog.GetFailures());
}

void RunBatchResize(CQuorixDoc& doc, const BatchHost& host)
{
    CBatchResizeDlg dialog(MainWindow(host));
    dialog.SetDocument(&doc);
    dialog.SetHost(host);
    if (dialog.ShowModal() == wxID_OK)
        ShowMessageBox(MainWindow(host), "Resize operation complete.", MessageKind::Information);
    else
        ShowFailureSummary(host, "Batch Resize", dialog.GetFailures());
}

void ShowSearch(CQuorixDoc& doc, wxWindow* mainFrame, const std::string& caption, const BatchHost& host)
{
    CSearchDlg* dialog = nullptr;
    if (mainFrame)
        for (wxWindow* child : mainFrame->GetChildren())
            if ((dialog = dynamic_cast<CSearchDlg*>(child)))
                break;
    if (!dialog)
        dialog = new CSearchDlg(mainFrame);  // the frame owns it, as its child
    dialog->SetHost(host);
    dialog->SetSearch(&doc, mainFrame, caption);
    // The notes mode only makes the window.
    if (caption != CSearchDlg::kNotesCaption)
        dialog->Show();
}

}  // namespace batch
