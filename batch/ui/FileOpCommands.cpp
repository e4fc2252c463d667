#include "batch/ui/FileOpCommands.h"

#include "batch/ui/CCopyMoveDlg.h"
#include "batch/ui/CDestinationDlg.h"
#include "batch/ui/CFileOpDlg.h"
#include "batch/ui/CRenameDlg.h"
#include "batch/model/FileOpJob.h"

void RunDestinationDialog(CQuorixDoc& doc, int mode)
{
    CDestinationDlg dialog(nullptr);
    dialog.SetTarget(&doc, mode);
    dialog.ShowModal();
}

void RunDeleteDialog(CQuorixDoc& doc)
{
    CFileOpDlg dialog(nullptr);
    dialog.SetOperation(&doc, FileOpJob::kDelete);
    dialog.ShowModal();
}

bool RunRenameDialog(CQuorixDoc& doc, const std::string& stem, const std::string& oldName,
                     const std::string& extension)
{
    CRenameDlg dialog(nullptr);
    dialog.SetDocument(&doc);
    dialog.SetTexts(stem, oldName, extension);
    return dialog.ShowModal() == wxID_OK && dialog.GetDone();
}

void RunCopyMoveDialog(CQuorixDoc& doc)
{
    CCopyMoveDlg dialog(nullptr);
    dialog.SetDocument(&doc);
    dialog.ShowModal();
}
