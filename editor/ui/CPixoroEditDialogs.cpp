#include "editor/ui/CPixoroEditDialogs.h"

#include "editor/ui/CAdjustDlg.h"
#include "editor/ui/CRedEyeDlg.h"
#include "editor/ui/CResizeDlg.h"
#include "editor/ui/CRotateDlg.h"
#include "editor/ui/CWatermarkTextDlg.h"
#include "editor/model/CPixoroDocModel.h"

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

bool CPixoroEditDialogs::AdjustImage(Adjust kind, CPixoroDocModel& doc, CLfImage& work, CLfImage& current)
{
    if (kind == Adjust::RedEye) {
        CRedEyeDlg dialog(Owner(), work);
        return dialog.ShowModal() == wxID_OK;
    }
    const AdjustKind adjust = kind == Adjust::BrightnessContrast ? AdjustKind::BrightnessContrast
                              : kind == Adjust::RedGreenBlue     ? AdjustKind::RedGreenBlue
                              : kind == Adjust::HueSaturation    ? AdjustKind::HueSaturation
                              : kind == Adjust::Exposure         ? AdjustKind::Exposure
                              : kind == Adjust::Blur             ? AdjustKind::Blur
                                                                 : AdjustKind::Sharpen;
    CAdjustDlg dialog(Owner(), adjust, work, &current, [&doc] { doc.ShowChangedImage(); });
    return dialog.ShowModal() == wxID_OK;
}

bool CPixoroEditDialogs::AddText(CPixoroDocModel& doc, CLfImage&, CLfImage& work)
{
    CWatermarkTextDlg dialog(Owner(), work, doc.m_strPath);
    return dialog.ShowModal() == wxID_OK;
}
