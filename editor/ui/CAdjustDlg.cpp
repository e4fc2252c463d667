#include "editor/ui/CAdjustDlg.h"

#include "editor/ui/CDlgImageView.h"
#include "editor/model/PreviewFit.h"
#include "editor/ui/ProcessingScope.h"
#include "resources/editor/DialogIds.h"
#include "resources/editor/DialogStrings.h"
#include "resources/editor/ImageDialogs.h"

#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <array>
#include <vector>

namespace {

// What differs between the colour dialogs' windows.
struct AdjustWindow {
    const DialogTemplate& (*layout)();
    std::vector<std::array<int, 3>> controls;  // slider, edit, spin per value
    int previewButton, previewBox, before, after;
    wxSize pane;  // each pane
    wxSize step;  // from the before pane to the after pane
    int tickFrequency;
    int spinLow, spinHigh;
    // Slider positions of "Auto" and "Reset" (exposure only).
    std::vector<int> autoPositions, resetPositions;
};

AdjustWindow WindowOf(AdjustKind kind)
{
    switch (kind) {
    case AdjustKind::BrightnessContrast:
        return {&edlg::BrightnessContrast,
                {{IDC_BC_BRIGHTNESS, IDC_BC_BRIGHTNESS_EDIT, IDC_BC_BRIGHTNESS_SPIN},
                 {IDC_BC_CONTRAST, IDC_BC_CONTRAST_EDIT, IDC_BC_CONTRAST_SPIN},
                 {IDC_BC_GAMMA, IDC_BC_GAMMA_EDIT, IDC_BC_GAMMA_SPIN}},
                IDC_BC_PREVIEW_BUTTON, IDC_ADJUST_PREVIEW_BOX, IDC_ADJUST_BEFORE, IDC_ADJUST_AFTER,
                {325, 180}, {0, 215}, 10, 0, 100, {}, {}};
    case AdjustKind::RedGreenBlue:
        return {&edlg::RedGreenBlue,
                {{IDC_RGB_RED, IDC_RGB_RED_EDIT, IDC_RGB_RED_SPIN},
                 {IDC_RGB_BLUE, IDC_RGB_BLUE_EDIT, IDC_RGB_BLUE_SPIN},
                 {IDC_RGB_GREEN, IDC_RGB_GREEN_EDIT, IDC_RGB_GREEN_SPIN}},
                IDC_ADJUST_PREVIEW_BUTTON, IDC_ADJUST_PREVIEW_BOX, IDC_ADJUST_BEFORE, IDC_ADJUST_AFTER,
                {325, 180}, {0, 215}, 10, -100, 100, {}, {}};
    case AdjustKind::HueSaturation:
        return {&edlg::HueSaturation,
                {{IDC_HUE_HUE, IDC_HUE_HUE_EDIT, IDC_HUE_HUE_SPIN},
                 {IDC_HUE_SATURATION, IDC_HUE_SATURATION_EDIT, IDC_HUE_SATURATION_SPIN},
                 {IDC_HUE_LIGHTNESS, IDC_HUE_LIGHTNESS_EDIT, IDC_HUE_LIGHTNESS_SPIN}},
                IDC_ADJUST_PREVIEW_BUTTON, IDC_ADJUST_PREVIEW_BOX, IDC_ADJUST_BEFORE, IDC_ADJUST_AFTER,
                {130, 100}, {0, 135}, 10, 0, 100, {}, {}};
    case AdjustKind::Exposure:
        return {&edlg::Exposure,
                {{IDC_EXPOSURE_LIGHTEN, IDC_EXPOSURE_LIGHTEN_EDIT, IDC_EXPOSURE_LIGHTEN_SPIN},
                 {IDC_EXPOSURE_DARKEN, IDC_EXPOSURE_DARKEN_EDIT, IDC_EXPOSURE_DARKEN_SPIN},
                 {IDC_EXPOSURE_GAMMA, IDC_EXPOSURE_GAMMA_EDIT, IDC_EXPOSURE_GAMMA_SPIN}},
                IDC_EXPOSURE_PREVIEW_BUTTON, IDC_EXPOSURE_PREVIEW_BOX, IDC_EXPOSURE_BEFORE, IDC_EXPOSURE_AFTER,
                {145, 100}, {0, 135}, 10, 0, 100, {48, 54, 53}, {50, 50, 50}};
    case AdjustKind::Blur:
    case AdjustKind::Sharpen:
        return {kind == AdjustKind::Blur ? &edlg::Blur : &edlg::Sharpen,
                {{IDC_FILTER_AMOUNT, IDC_FILTER_AMOUNT_EDIT, IDC_FILTER_AMOUNT_SPIN}},
                IDC_FILTER_PREVIEW_BUTTON, IDC_ADJUST_PREVIEW_BOX, IDC_ADJUST_BEFORE, IDC_ADJUST_AFTER,
                {130, 110}, {155, 0}, 1, 0, 10, {}, {}};
    }
    return {};
}

}  // namespace

CAdjustDlg::CAdjustDlg(wxWindow* parent, AdjustKind kind, CLfImage& work, CLfImage* current,
                       std::function<void()> showChanged, MessageFn message)
    : m_settings(kind), m_work(work), m_current(current), m_showChanged(std::move(showChanged)),
      m_message(std::move(message))
{
    if (!m_message)
        m_message = PlainMessageBox(this);
    const AdjustWindow window = WindowOf(kind);
    CreateDialogFromTemplate(*this, parent, window.layout());
    for (const auto& ids : window.controls)
        m_controls.push_back({ids[0], ids[1], ids[2]});

    for (size_t i = 0; i < m_controls.size(); ++i) {
        const Controls& c = m_controls[i];
        if (auto* slider = DialogControl<wxSlider>(*this, c.slider)) {
            slider->SetRange(0, m_settings.ChannelAt(i).sliderHigh);
            slider->SetTickFreq(window.tickFrequency);
        }
        if (auto* spin = DialogControl<wxSpinButton>(*this, c.spin))
            spin->SetRange(window.spinLow, window.spinHigh);
        WriteControls(i);
        Bind(wxEVT_SLIDER, &CAdjustDlg::OnSlider, this, DialogControlId(c.slider));
        Bind(wxEVT_TEXT, &CAdjustDlg::OnText, this, DialogControlId(c.edit));
        Bind(wxEVT_SPIN, &CAdjustDlg::OnSpin, this, DialogControlId(c.spin));
    }

    // The panes, fitted by the same rule, with their labels above them.
    const PreviewFit fit = FitIntoPane(window.pane.x, window.pane.y, m_work.GetWidth(), m_work.GetHeight());
    m_work.Resample(fit.width, fit.height, 2, &m_before);
    m_after = m_before;
    wxWindow* beforeLabel = GetControl(window.before);
    wxWindow* afterLabel = GetControl(window.after);
    const int labelHeight = beforeLabel ? beforeLabel->GetSize().y : 0;
    const wxSize extent(window.pane.x + window.step.x, labelHeight + 2 + window.pane.y + window.step.y);
    const wxRect area = PlaceInFrame(*this, GetControl(window.previewBox), extent);
    const wxRect first(area.x, area.y + labelHeight + 2, window.pane.x, window.pane.y);
    const wxRect second(first.GetPosition() + window.step, first.GetSize());
    const wxRect draw(fit.drawX, fit.drawY, fit.width, fit.height);
    m_beforePane = new CDlgImageView(this, first);
    m_beforePane->SetImage(&m_before);
    m_beforePane->SetDrawRect(draw);
    m_afterPane = new CDlgImageView(this, second);
    m_afterPane->SetImage(&m_after);
    m_afterPane->SetDrawRect(draw);
    if (beforeLabel)
        beforeLabel->Move(first.x, first.y - labelHeight - 2);
    if (afterLabel)
        afterLabel->Move(second.x, second.y - labelHeight - 2);
    RecomputeAfter();

    Bind(wxEVT_BUTTON, &CAdjustDlg::OnPreview, this, DialogControlId(window.previewButton));
    Bind(wxEVT_BUTTON, &CAdjustDlg::OnOK, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CAdjustDlg::OnCancel, this, wxID_CANCEL);
    if (!window.autoPositions.empty()) {
        Bind(wxEVT_BUTTON, [this, p = window.autoPositions](wxCommandEvent&) { SetSliders({p[0], p[1], p[2]}); },
             DialogControlId(IDC_EXPOSURE_AUTO));
        Bind(wxEVT_BUTTON, [this, p = window.resetPositions](wxCommandEvent&) { SetSliders({p[0], p[1], p[2]}); },
             DialogControlId(IDC_EXPOSURE_RESET));
    }
}

// Closed in any way but OK: the document's image is what it was.
CAdjustDlg::~CAdjustDlg() { TakeBackPreview(); }

wxWindow* CAdjustDlg::GetControl(int id) const { return FindWindow(DialogControlId(id)); }

// Shows channel i's value in its slider, edit and spin; none of them reports back.
void CAdjustDlg::WriteControls(size_t i)
{
    const Controls& c = m_controls[i];
    if (auto* slider = DialogControl<wxSlider>(*this, c.slider))
        slider->SetValue(m_settings.SliderPosition(i));
    if (auto* edit = DialogControl<wxTextCtrl>(*this, c.edit)) {
        const wxString text = wxString::FromUTF8(m_settings.Text(i));
        if (edit->GetValue() != text) {
            edit->ChangeValue(text);
            edit->SetInsertionPointEnd();
        }
    }
    if (auto* spin = DialogControl<wxSpinButton>(*this, c.spin))
        spin->SetValue(static_cast<int>(m_settings.Value(i)));
}

void CAdjustDlg::RecomputeAfter()
{
    m_after = m_before;
    m_settings.Apply(m_after);
    ++m_computations;
    m_afterPane->Refresh(false);
    if (wxWindow* ok = FindWindow(wxID_OK))
        ok->Enable();
}

void CAdjustDlg::SetSliders(std::initializer_list<int> positions)
{
    size_t i = 0;
    for (int position : positions) {
        if (i >= m_settings.Count())
            break;
        m_settings.SliderMoved(i, position);
        WriteControls(i++);
    }
    RecomputeAfter();
}

size_t CAdjustDlg::ChannelOf(int windowId, int Controls::*control) const
{
    for (size_t i = 0; i < m_controls.size(); ++i)
        if (DialogControlId(m_controls[i].*control) == windowId)
            return i;
    return m_controls.size();
}

void CAdjustDlg::OnSlider(wxCommandEvent& event)
{
    const size_t i = ChannelOf(event.GetId(), &Controls::slider);
    if (i >= m_controls.size())
        return;
    m_settings.SliderMoved(i, event.GetInt());
    WriteControls(i);
    RecomputeAfter();
}

void CAdjustDlg::OnText(wxCommandEvent& event)
{
    const size_t i = ChannelOf(event.GetId(), &Controls::edit);
    if (i >= m_controls.size())
        return;
    const bool changed = m_settings.TextTyped(i, event.GetString().utf8_string());
    WriteControls(i);
    if (changed)
        RecomputeAfter();
}

// A spin writes its number into its edit, which then counts as typed.
void CAdjustDlg::OnSpin(wxSpinEvent& event)
{
    const size_t i = ChannelOf(event.GetId(), &Controls::spin);
    if (i >= m_controls.size())
        return;
    if (auto* edit = DialogControl<wxTextCtrl>(*this, m_controls[i].edit))
        edit->SetValue(wxString::Format("%d", event.GetPosition()));
}

void CAdjustDlg::OnPreview(wxCommandEvent&)
{
    if (!m_current)
        return;
    {
        // Each preview starts from the image as it was, so previews never pile up.
        ProcessingScope processing(m_settings.ShowsProgress());
        *m_current = m_work;
        m_previewShown = true;
        m_settings.Apply(*m_current);
    }
    if (m_showChanged)
        m_showChanged();
}

void CAdjustDlg::OnOK(wxCommandEvent&)
{
    if (const auto invalid = m_settings.InvalidEdit()) {
        m_message(m_settings.ChannelAt(*invalid).real ? estr::kEnterNumber : estr::kEnterInteger);
        if (wxWindow* edit = GetControl(m_controls[*invalid].edit))
            edit->SetFocus();
        return;
    }
    {
        ProcessingScope processing(m_settings.ShowsProgress());
        // The caller puts the result into the document itself.
        if (m_previewShown && m_current)
            *m_current = m_work;
        m_previewShown = false;
        m_settings.Apply(m_work);
    }
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
}

void CAdjustDlg::OnCancel(wxCommandEvent&)
{
    TakeBackPreview();
    SetReturnCode(wxID_CANCEL);
    EndDialog(wxID_CANCEL);
}

void CAdjustDlg::TakeBackPreview()
{
    if (!m_previewShown || !m_current)
        return;
    *m_current = m_work;
    m_previewShown = false;
    if (m_showChanged)
        m_showChanged();
}
