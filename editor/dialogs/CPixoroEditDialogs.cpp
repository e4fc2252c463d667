#include "editor/dialogs/CPixoroEditDialogs.h"

#include "editor/dialogs/CResizeDlg.h"
#include "editor/dialogs/CRotateDlg.h"
#include "editor/dialogs/CWatermarkTextDlg.h"
#include "editor/shell/CPixoroDocModel.h"

#include <wx/app.h>

namespace {

wxWindow* Owner() { return wxTheApp ? wxTheApp->GetTopWindow() : nullptr; }

}  // namespace

// A dialog that leaves the image as it was (no turn, or flips that cancel out) counts as
// cancelled, so no undo step is pushed.
bool CPixoroEditDialogs::Rotate(CPixoroDocModel&, CLfImage& work)
{
    CRotateDlg dialog(Owner(), work);
    return dialog.ShowModal() == wxID_OK && dialog.Changed();
}

bool CPixoroEditDialogs::Resize(CPixoroDocModel&, int& width, int& height)
{
    CResizeDlg dialog(Owner(), width, height);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    width = dialog.GetWidth();
    height = dialog.GetHeight();
    return true;
}

bool CPixoroEditDialogs::AddText(CPixoroDocModel& doc, CLfImage&, CLfImage& work)
{
    CWatermarkTextDlg dialog(Owner(), work, doc.m_strPath);
    return dialog.ShowModal() == wxID_OK;
}
