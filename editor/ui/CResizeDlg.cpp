#include "editor/ui/CResizeDlg.h"

#include "editor/ui/DialogControls.h"
#include "editor/model/NumberText.h"
#include "resources/editor/DialogIds.h"
#include "resources/editor/ImageDialogs.h"

#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

namespace {

// Each spin button sets the number of the edit before it.
struct SpinBuddy {
    int spin, edit, high;
};
constexpr SpinBuddy kSpins[] = {
    {IDC_RESIZE_PERCENTAGE_SPIN, IDC_RESIZE_PERCENTAGE, 200},
    {IDC_RESIZE_WIDTH_SPIN, IDC_RESIZE_WIDTH, 4096},
    {IDC_RESIZE_HEIGHT_SPIN, IDC_RESIZE_HEIGHT, 4096},
};

}  // namespace

CResizeDlg::CResizeDlg(wxWindow* parent, int width, int height, MessageFn message)
    : m_model(width, height), m_message(std::move(message))
{
    if (!m_message)
        m_message = PlainMessageBox(this);
    CreateDialogFromTemplate(*this, parent, edlg::Resize());
    m_byPercentage = DialogControl<wxRadioButton>(*this, IDC_RESIZE_BY_PERCENTAGE);
    m_byPixels = DialogControl<wxRadioButton>(*this, IDC_RESIZE_BY_PIXELS);
    m_percentage = DialogControl<wxTextCtrl>(*this, IDC_RESIZE_PERCENTAGE);
    m_width = DialogControl<wxTextCtrl>(*this, IDC_RESIZE_WIDTH);
    m_height = DialogControl<wxTextCtrl>(*this, IDC_RESIZE_HEIGHT);
    m_keepAspect = DialogControl<wxCheckBox>(*this, IDC_RESIZE_KEEP_ASPECT);
    for (wxTextCtrl* edit : {m_percentage, m_width, m_height})
        if (edit)
            edit->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    for (const SpinBuddy& s : kSpins) {
        if (auto* spin = DialogControl<wxSpinButton>(*this, s.spin)) {
            spin->SetRange(0, s.high);
            Bind(wxEVT_SPIN, &CResizeDlg::OnSpin, this, spin->GetId());
        }
    }
    if (m_keepAspect)
        m_keepAspect->SetValue(m_model.keepAspect);
    WriteTexts();
    SyncSpins();
    SetMode(false);

    Bind(wxEVT_RADIOBUTTON, &CResizeDlg::OnByPercentage, this, DialogControlId(IDC_RESIZE_BY_PERCENTAGE));
    Bind(wxEVT_RADIOBUTTON, &CResizeDlg::OnByPixels, this, DialogControlId(IDC_RESIZE_BY_PIXELS));
    Bind(wxEVT_TEXT, &CResizeDlg::OnText, this);
    Bind(wxEVT_CHECKBOX, &CResizeDlg::OnKeepAspect, this, DialogControlId(IDC_RESIZE_KEEP_ASPECT));
    Bind(wxEVT_BUTTON, &CResizeDlg::OnOK, this, wxID_OK);
}

wxWindow* CResizeDlg::GetControl(int id) const { return FindWindow(DialogControlId(id)); }

// Rewrites the edits without their change handlers running again.
void CResizeDlg::WriteTexts()
{
    auto write = [](wxTextCtrl* edit, const std::string& text) {
        if (edit && edit->GetValue() != wxString::FromUTF8(text))
            edit->ChangeValue(wxString::FromUTF8(text));
    };
    write(m_percentage, m_model.percentageText);
    write(m_width, m_model.widthText);
    write(m_height, m_model.heightText);
}

void CResizeDlg::SetMode(bool percentage)
{
    m_model.percentageMode = percentage;
    if (m_byPercentage)
        m_byPercentage->SetValue(percentage);
    if (m_byPixels)
        m_byPixels->SetValue(!percentage);
    for (int id : {IDC_RESIZE_PERCENTAGE, IDC_RESIZE_PERCENTAGE_SPIN})
        if (wxWindow* w = GetControl(id))
            w->Enable(percentage);
    for (int id : {IDC_RESIZE_WIDTH, IDC_RESIZE_WIDTH_SPIN, IDC_RESIZE_HEIGHT, IDC_RESIZE_HEIGHT_SPIN,
                   IDC_RESIZE_KEEP_ASPECT})
        if (wxWindow* w = GetControl(id))
            w->Enable(!percentage);
}

void CResizeDlg::OnByPercentage(wxCommandEvent&) { SetMode(true); }
void CResizeDlg::OnByPixels(wxCommandEvent&) { SetMode(false); }

void CResizeDlg::OnText(wxCommandEvent& event)
{
    const std::string text = event.GetString().ToStdString();
    const int id = event.GetId();
    if (id == DialogControlId(IDC_RESIZE_PERCENTAGE)) {
        if (m_model.PercentageTyped(text) == ResizeModel::Focus::Width && m_width)
            m_width->SetFocus();
    } else if (id == DialogControlId(IDC_RESIZE_WIDTH)) {
        m_model.WidthTyped(text);
    } else if (id == DialogControlId(IDC_RESIZE_HEIGHT)) {
        m_model.HeightTyped(text);
    } else {
        return;
    }
    WriteTexts();
    SyncSpins();
}

// The arrows step from the number their edit shows, as a buddy of the edit does: each
// spin button holds that number (within its range) whenever an edit changes.
void CResizeDlg::SyncSpins()
{
    for (const SpinBuddy& s : kSpins) {
        auto* spin = DialogControl<wxSpinButton>(*this, s.spin);
        auto* edit = DialogControl<wxTextCtrl>(*this, s.edit);
        if (!spin || !edit)
            continue;
        const int value = static_cast<int>(ParseBoundedNumber(edit->GetValue().utf8_string(), spin->GetMin(), spin->GetMax()));
        if (spin->GetValue() != value)
            spin->SetValue(value);
    }
}

void CResizeDlg::OnSpin(wxSpinEvent& event)
{
    for (const SpinBuddy& s : kSpins)
        if (event.GetId() == DialogControlId(s.spin))
            if (auto* edit = DialogControl<wxTextCtrl>(*this, s.edit))
                edit->SetValue(wxString::Format("%d", event.GetPosition()));
}

void CResizeDlg::OnKeepAspect(wxCommandEvent&)
{
    if (m_keepAspect)
        m_model.keepAspect = m_keepAspect->GetValue();
}

void CResizeDlg::OnOK(wxCommandEvent&)
{
    const ResizeModel::Verdict verdict = m_model.Validate();
    if (verdict.ok) {
        SetReturnCode(wxID_OK);
        EndDialog(wxID_OK);
        return;
    }
    m_message(verdict.message);
    const int focus = verdict.focus == ResizeModel::Focus::Percentage ? IDC_RESIZE_PERCENTAGE
                      : verdict.focus == ResizeModel::Focus::Height   ? IDC_RESIZE_HEIGHT
                                                                      : IDC_RESIZE_WIDTH;
    if (wxWindow* w = GetControl(focus))
        w->SetFocus();
}
