#include "batch/ui/BatchCommands.h"

#include "batch/ui/BatchDialogSupport.h"
#include "batch/ui/CBatchRenameDlg.h"
#include "batch/ui/CBatchResizeDlg.h"
#include "batch/ui/CSearchDlg.h"

namespace batch {

void RunBatchRename(CQuorixDoc& doc)
{
    CBatchRenameDlg dialog;
    dialog.SetDocument(&doc);
    dialog.ShowModal();
}

void RunBatchResize(CQuorixDoc& doc)
{
    CBatchResizeDlg dialog;
    dialog.SetDocument(&doc);
    if (dialog.ShowModal() == wxID_OK)
        ShowMessageBox(nullptr, "Resize operation complete.", MessageKind::Information);
}

void ShowSearch(CQuorixDoc& doc, wxWindow* mainFrame, const std::string& caption)
{
    CSearchDlg* dialog = nullptr;
    if (mainFrame)
        for (wxWindow* child : mainFrame->GetChildren())
            if ((dialog = dynamic_cast<CSearchDlg*>(child)))
                break;
    if (!dialog)
        dialog = new CSearchDlg(mainFrame);  // the frame owns it, as its child
    dialog->SetSearch(&doc, mainFrame, caption);
    // The notes mode only makes the window.
    if (caption != CSearchDlg::kNotesCaption)
        dialog->Show();
}

}  // namespace batch
