#include "editor/ui/CJpegOptionsDlg.h"

#include "editor/ui/DialogControls.h"
#include "resources/editor/EditorDialogs.h"
#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorStrings.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>

#include <cmath>

CJpegOptionsDlg::CJpegOptionsDlg(wxWindow* parent, const JpegOptions& start, bool namePending) : m_options(start)
{
    CreateDialogFromTemplate(*this, parent, edlg::JpegOptions());
    m_slider = DialogControl<wxSlider>(*this, IDC_JPEG_QUALITY_SLIDER);
    m_edit = DialogControl<wxSpinCtrlDouble>(*this, IDC_JPEG_QUALITY_EDIT);
    m_progressive = DialogControl<wxCheckBox>(*this, IDC_JPEG_PROGRESSIVE);
    m_optimize = DialogControl<wxCheckBox>(*this, IDC_JPEG_OPTIMIZE);
    m_horizontal = DialogControl<wxCheckBox>(*this, IDC_JPEG_HORIZONTAL);
    m_vertical = DialogControl<wxCheckBox>(*this, IDC_JPEG_VERTICAL);
    m_saveDefault = DialogControl<wxCheckBox>(*this, IDC_JPEG_SAVE_DEFAULT);
    if (namePending)
        if (auto* ok = DialogControl<wxButton>(*this, 1))
            ok->SetLabel("&Next>>");
    if (m_slider)
        m_slider->SetTickFreq(10);

    Bind(wxEVT_SCROLL_THUMBRELEASE, &CJpegOptionsDlg::OnSliderReleased, this, IDC_JPEG_QUALITY_SLIDER);
    Bind(wxEVT_TEXT, &CJpegOptionsDlg::OnQualityText, this, IDC_JPEG_QUALITY_EDIT);
    Bind(wxEVT_SPINCTRLDOUBLE, &CJpegOptionsDlg::OnSpin, this, IDC_JPEG_QUALITY_EDIT);
    Bind(wxEVT_CHECKBOX, &CJpegOptionsDlg::OnCheck, this, IDC_JPEG_PROGRESSIVE, IDC_JPEG_SAVE_DEFAULT);
    Bind(wxEVT_BUTTON, &CJpegOptionsDlg::OnResetAll, this, IDC_JPEG_RESET_ALL);
    Bind(wxEVT_BUTTON, &CJpegOptionsDlg::OnOK, this, wxID_OK);
    WriteControls();
}

void CJpegOptionsDlg::WriteControls()
{
    m_writing = true;
    const int position = static_cast<int>(std::trunc(m_options.quality));
    if (m_slider)
        m_slider->SetValue(position);
    if (m_edit)
        m_edit->SetValue(m_options.quality);
    m_writing = false;
    WriteChecks();
}

void CJpegOptionsDlg::WriteChecks()
{
    m_writing = true;
    auto check = [](wxCheckBox* box, bool on) {
        if (box)
            box->SetValue(on);
    };
    check(m_progressive, m_options.progressive);
    check(m_optimize, m_options.optimize);
    check(m_horizontal, m_options.horizontal);
    check(m_vertical, m_options.vertical);
    check(m_saveDefault, m_options.saveAsDefault);
    m_writing = false;
}

void CJpegOptionsDlg::ReadChecks()
{
    auto on = [](wxCheckBox* box) { return box && box->GetValue(); };
    m_options.progressive = on(m_progressive);
    m_options.optimize = on(m_optimize);
    m_options.horizontal = on(m_horizontal);
    m_options.vertical = on(m_vertical);
    m_options.saveAsDefault = on(m_saveDefault);
}

bool CJpegOptionsDlg::ReadControls(bool showMessage)
{
    ReadChecks();
    std::string message;
    const auto quality = JpegOptions::ParseQuality(m_edit ? m_edit->GetTextValue().utf8_string() : "", &message);
    if (!quality) {
        if (showMessage) {
            wxMessageBox(wxString::FromUTF8(message), estr::kAppTitle, wxOK | wxICON_EXCLAMATION, this);
            if (m_edit)
                m_edit->SetFocus();
        }
        return false;
    }
    m_options.quality = *quality;
    return true;
}

void CJpegOptionsDlg::OnSliderReleased(wxScrollEvent& event)
{
    ReadControls(false);
    m_options.quality = m_slider->GetValue();
    WriteControls();
    event.Skip();
}

void CJpegOptionsDlg::OnQualityText(wxCommandEvent&)
{
    if (m_writing)
        return;
    // The slider follows what is typed; a text that is no quality moves nothing yet and
    // is refused when the dialog is closed with Save.
    std::string message;
    if (const auto quality = JpegOptions::ParseQuality(m_edit->GetTextValue().utf8_string(), &message)) {
        m_writing = true;
        if (m_slider)
            m_slider->SetValue(static_cast<int>(std::trunc(*quality)));
        m_writing = false;
    }
}

void CJpegOptionsDlg::OnSpin(wxSpinDoubleEvent& event)
{
    if (!m_writing && m_slider)
        m_slider->SetValue(static_cast<int>(std::trunc(event.GetValue())));
}

void CJpegOptionsDlg::OnCheck(wxCommandEvent& event)
{
    if (m_writing)
        return;
    ReadChecks();
    const bool on = event.IsChecked();
    switch (event.GetId()) {
    case IDC_JPEG_PROGRESSIVE: m_options.SetProgressive(on); break;
    case IDC_JPEG_OPTIMIZE: m_options.SetOptimize(on); break;
    case IDC_JPEG_HORIZONTAL: m_options.SetHorizontal(on); break;
    case IDC_JPEG_VERTICAL: m_options.SetVertical(on); break;
    default: return;
    }
    WriteChecks();
}

void CJpegOptionsDlg::OnResetAll(wxCommandEvent&)
{
    m_options = JpegOptions::ResetAll();
    WriteControls();
}

void CJpegOptionsDlg::OnOK(wxCommandEvent&)
{
    if (!ReadControls(true))
        return;
    EndModal(wxID_OK);
}

wxWindow* CJpegOptionsDlg::GetControl(int id) const { return FindWindow(DialogControlId(id)); }
