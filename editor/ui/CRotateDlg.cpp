#include "editor/ui/CRotateDlg.h"

#include "editor/ui/DialogControls.h"
#include "editor/ui/CDlgImageView.h"
#include "editor/model/PreviewFit.h"
#include "editor/ui/ProcessingScope.h"
#include "editor/model/RotateAngle.h"
#include "resources/editor/DialogIds.h"
#include "resources/editor/DialogStrings.h"
#include "resources/editor/ImageDialogs.h"

#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

namespace {

constexpr int kPaneWidth = 160;
constexpr int kPaneHeight = 176;

}  // namespace

CRotateDlg::CRotateDlg(wxWindow* parent, CLfImage& work, MessageFn message) : m_work(work), m_message(std::move(message))
{
    if (!m_message)
        m_message = PlainMessageBox(this);
    CreateDialogFromTemplate(*this, parent, edlg::Rotate());
    m_angle = DialogControl<wxTextCtrl>(*this, IDC_ROTATE_ANGLE);
    m_rotateMode = DialogControl<wxRadioButton>(*this, IDC_ROTATE_MODE_ROTATE);
    m_flipMode = DialogControl<wxRadioButton>(*this, IDC_ROTATE_MODE_FLIP);

    // The pane sits inside the preview frame, at most 160 x 176.
    wxRect frame(0, 0, kPaneWidth + 20, kPaneHeight + 30);
    if (wxWindow* box = GetControl(IDC_ROTATE_PREVIEW))
        frame = box->GetRect();
    const int width = std::max(1, std::min(kPaneWidth, frame.width - 12));
    const int height = std::max(1, std::min(kPaneHeight, frame.height - 24));
    m_paneRect = wxRect(frame.x + (frame.width - width) / 2, frame.y + 18, width, height);
    const PreviewFit fit = FitIntoPane(width, height, m_work.GetWidth(), m_work.GetHeight());
    m_work.Resample(fit.width, fit.height, 2, &m_base);
    m_preview = m_base;
    m_pane = new CDlgImageView(this, m_paneRect);
    m_pane->SetImage(&m_preview);
    m_pane->SetDrawRect(wxRect(fit.drawX, fit.drawY, fit.width, fit.height));

    if (m_angle)
        m_angle->ChangeValue("0");
    SetMode(true);
    if (wxWindow* ok = FindWindow(wxID_OK))
        ok->Disable();

    Bind(wxEVT_RADIOBUTTON, &CRotateDlg::OnMode, this, DialogControlId(IDC_ROTATE_MODE_ROTATE));
    Bind(wxEVT_RADIOBUTTON, &CRotateDlg::OnMode, this, DialogControlId(IDC_ROTATE_MODE_FLIP));
    Bind(wxEVT_BUTTON, &CRotateDlg::OnStep, this, DialogControlId(IDC_ROTATE_RIGHT));
    Bind(wxEVT_BUTTON, &CRotateDlg::OnStep, this, DialogControlId(IDC_ROTATE_LEFT));
    Bind(wxEVT_BUTTON, &CRotateDlg::OnFlip, this, DialogControlId(IDC_ROTATE_HORIZONTAL));
    Bind(wxEVT_BUTTON, &CRotateDlg::OnFlip, this, DialogControlId(IDC_ROTATE_VERTICAL));
    Bind(wxEVT_TEXT, &CRotateDlg::OnAngleText, this, DialogControlId(IDC_ROTATE_ANGLE));
    Bind(wxEVT_BUTTON, &CRotateDlg::OnOK, this, wxID_OK);
}

wxWindow* CRotateDlg::GetControl(int id) const { return FindWindow(DialogControlId(id)); }

void CRotateDlg::SetMode(bool rotate)
{
    if (m_rotateMode)
        m_rotateMode->SetValue(rotate);
    if (m_flipMode)
        m_flipMode->SetValue(!rotate);
    for (int id : {IDC_ROTATE_LEFT, IDC_ROTATE_RIGHT, IDC_ROTATE_ANGLE})
        if (wxWindow* w = GetControl(id))
            w->Enable(rotate);
    for (int id : {IDC_ROTATE_HORIZONTAL, IDC_ROTATE_VERTICAL})
        if (wxWindow* w = GetControl(id))
            w->Enable(!rotate);
}

void CRotateDlg::OnMode(wxCommandEvent& event) { SetMode(event.GetId() == DialogControlId(IDC_ROTATE_MODE_ROTATE)); }

void CRotateDlg::OnStep(wxCommandEvent& event)
{
    if (!m_angle)
        return;
    const int step = event.GetId() == DialogControlId(IDC_ROTATE_RIGHT) ? 90 : 270;
    m_angle->ChangeValue(wxString::Format("%d", AngleAfterStep(m_angle->GetValue().ToStdString(), step)));
    UpdatePreview();
}

void CRotateDlg::OnAngleText(wxCommandEvent&) { UpdatePreview(); }

// The base turned by the typed angle, fitted again; the edit shows the angle it means.
void CRotateDlg::UpdatePreview()
{
    if (!m_angle)
        return;
    const std::optional<int> angle = NormaliseAngle(m_angle->GetValue().ToStdString());
    if (!angle)
        return;
    const wxString shown = wxString::Format("%d", *angle);
    if (m_angle->GetValue() != shown) {
        m_angle->ChangeValue(shown);
        m_angle->SetInsertionPointEnd();
    }
    m_preview = m_base;
    RotateByDegrees(m_preview, *angle);
    const PreviewFit fit = FitIntoPane(m_paneRect.width, m_paneRect.height, m_preview.GetWidth(), m_preview.GetHeight());
    m_preview.Resample(fit.width, fit.height, 1);
    m_pane->SetDrawRect(wxRect(fit.drawX, fit.drawY, fit.width, fit.height));
    ShowPreview();
}

void CRotateDlg::ShowPreview()
{
    m_pane->Refresh(false);
    if (wxWindow* ok = FindWindow(wxID_OK))
        ok->Enable();
}

void CRotateDlg::OnFlip(wxCommandEvent& event)
{
    ProcessingScope processing;
    const bool horizontal = event.GetId() == DialogControlId(IDC_ROTATE_HORIZONTAL);
    for (CLfImage* image : {&m_base, &m_work}) {
        if (horizontal)
            image->Mirror();
        else
            image->Flip();
    }
    (horizontal ? m_mirrored : m_flipped) ^= true;
    // The preview shows the flipped picture unrotated.
    m_preview = m_base;
    const PreviewFit fit = FitIntoPane(m_paneRect.width, m_paneRect.height, m_preview.GetWidth(), m_preview.GetHeight());
    m_pane->SetDrawRect(wxRect(fit.drawX, fit.drawY, fit.width, fit.height));
    ShowPreview();
}

void CRotateDlg::OnOK(wxCommandEvent&)
{
    std::optional<int> angle;
    if (m_rotateMode && m_rotateMode->GetValue() && m_angle) {
        angle = NormaliseAngle(m_angle->GetValue().ToStdString());
        if (!angle) {
            m_message(estr::kInvalidNumber);
            return;
        }
    }
    {
        ProcessingScope processing;
        if (angle)
            m_rotated = RotateByDegrees(m_work, *angle);
    }
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
}
