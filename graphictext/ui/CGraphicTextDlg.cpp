#include "graphictext/ui/CGraphicTextDlg.h"

#include "graphictext/ui/CWxTextRasterizer.h"
#include "controls/CColorButton.h"
#include "controls/CExtFontDialog.h"
#include "controls/DialogTemplate.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/colordlg.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <algorithm>

namespace {

constexpr const char* kUnits[] = {"Pixels", "Percent"};

template <class T>
T* Find(const wxWindow& dialog, int id)
{
    return id ? dynamic_cast<T*>(dialog.FindWindow(DialogControlId(id))) : nullptr;
}

wxString Text(const std::string& utf8) { return wxString::FromUTF8(utf8); }

// The default font chooser: the extended font dialog, symbol fonts left out.
bool RunFontDialog(GraphicTextSettings& settings, wxWindow* parent)
{
    wxFont initial(wxFontInfo(wxSize(0, std::max(1, settings.fontChooserHeight ? settings.fontChooserHeight : 16)))
                       .FaceName(Text(settings.fontFace)));
    CExtFontDialog dialog(&initial, 0, parent);
    dialog.m_strCaption = "Choose Font";
    dialog.m_nFaceFilter = kFaceNoSymbol;
    if (dialog.DoModal() != wxID_OK)
        return false;
    settings.fontFace = dialog.GetFaceName().ToStdString(wxConvUTF8);
    settings.fontChooserHeight = dialog.GetChosenHeight();
    return true;
}

std::optional<COLORREF> RunColourDialog(wxWindow* parent)
{
    wxColourDialog dialog(parent);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    const wxColour c = dialog.GetColourData().GetColour();
    return RGB(c.Red(), c.Green(), c.Blue());
}

}  // namespace

CGraphicTextDlg::CGraphicTextDlg(const GraphicTextControlIds& ids, const TextStyle& style)
    : m_ids(ids), m_style(style), m_fontChooser(RunFontDialog), m_colourChooser(RunColourDialog)
{
}

CGraphicTextDlg::~CGraphicTextDlg() { m_worker.StopAndJoin(); }

wxWindow* CGraphicTextDlg::GetControl(int id) const { return FindWindow(DialogControlId(id)); }

void CGraphicTextDlg::AttachControls()
{
    m_text = Find<wxTextCtrl>(*this, m_ids.text);
    m_height = Find<wxTextCtrl>(*this, m_ids.height);
    m_unit = Find<wxControlWithItems>(*this, m_ids.unit);
    m_charSpacing = Find<wxTextCtrl>(*this, m_ids.charSpacing);
    m_lineSpacing = Find<wxTextCtrl>(*this, m_ids.lineSpacing);
    m_slider = Find<wxSlider>(*this, m_ids.slider);
    m_visibility = Find<wxTextCtrl>(*this, m_ids.visibility);
    m_centre = Find<wxCheckBox>(*this, m_ids.centre);
    m_underline = Find<wxCheckBox>(*this, m_ids.underline);
    m_faceLabel = Find<wxStaticText>(*this, m_ids.faceLabel);
    if (m_height)
        m_height->SetMaxLength(2);
    for (wxTextCtrl* edit : {m_height, m_charSpacing, m_lineSpacing}) {
        if (edit)
            edit->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    }
    for (wxTextCtrl* edit : {m_charSpacing, m_lineSpacing}) {
        if (edit)
            edit->SetMaxLength(3);
    }
    if (m_slider) {
        m_slider->SetRange(0, 100);
        m_slider->SetTickFreq(1);
    }
    if (auto* spin = Find<wxSpinButton>(*this, m_ids.visibilitySpin))
        spin->SetRange(0, 100);
    if (wxWindow* button = GetControl(m_ids.colour)) {
        auto* colour = new CColorButton();
        if (colour->SubclassControl(button))
            m_colourButton = colour;
        else
            delete colour;
    }

    Bind(wxEVT_TEXT, &CGraphicTextDlg::OnText, this);
    Bind(wxEVT_SCROLL_THUMBRELEASE, &CGraphicTextDlg::OnSlider, this);
    Bind(wxEVT_SCROLL_CHANGED, &CGraphicTextDlg::OnSlider, this);
    Bind(wxEVT_BUTTON, &CGraphicTextDlg::OnButton, this);
    Bind(wxEVT_CHECKBOX, &CGraphicTextDlg::OnCheck, this);
    Bind(wxEVT_CHOICE, &CGraphicTextDlg::OnUnit, this);
    Bind(wxEVT_COMBOBOX, &CGraphicTextDlg::OnUnit, this);
    if (m_ids.heightSpin)
        Bind(wxEVT_SPIN, &CGraphicTextDlg::OnHeightSpin, this, DialogControlId(m_ids.heightSpin));
    Bind(wxEVT_SPIN, &CGraphicTextDlg::OnVisibilitySpin, this, DialogControlId(m_ids.visibilitySpin));
    Bind(wxEVT_BUTTON, &CGraphicTextDlg::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CGraphicTextDlg::OnClose, this);
    m_progressTimer.SetOwner(this);
    Bind(wxEVT_TIMER, &CGraphicTextDlg::OnProgressTimer, this);
    WriteControls();
    EnableStep(false);
}

void CGraphicTextDlg::ReadControls()
{
    if (m_text) {
        // The text holds at most 81 characters; a multi-line field keeps no limit itself.
        wxString value = m_text->GetValue();
        if (value.length() > GraphicTextSettings::kMaxTextLength) {
            value.Truncate(GraphicTextSettings::kMaxTextLength);
            m_writing = true;
            m_text->ChangeValue(value);
            m_text->SetInsertionPointEnd();
            m_writing = false;
        }
        m_settings.text = value.ToStdString(wxConvUTF8);
    }
    // The edit's own line ends are line feeds: the text keeps the pair.
    std::string withPairs;
    for (char c : m_settings.text) {
        if (c == '\n' && (withPairs.empty() || withPairs.back() != '\r'))
            withPairs += '\r';
        withPairs += c;
    }
    m_settings.text = withPairs;
    if (m_height)
        m_settings.heightText = m_height->GetValue().ToStdString(wxConvUTF8);
    if (auto* combo = dynamic_cast<wxComboBox*>(m_unit))
        m_settings.unit = combo->GetValue().ToStdString(wxConvUTF8);
    else if (m_unit && m_unit->GetSelection() != wxNOT_FOUND)
        m_settings.unit = m_unit->GetString(m_unit->GetSelection()).ToStdString(wxConvUTF8);
    if (m_charSpacing)
        m_settings.charSpacingText = m_charSpacing->GetValue().ToStdString(wxConvUTF8);
    if (m_lineSpacing)
        m_settings.lineSpacingText = m_lineSpacing->GetValue().ToStdString(wxConvUTF8);
    if (m_visibility)
        m_settings.visibility = std::clamp(GraphicTextSettings::LeadingInt(m_visibility->GetValue().ToStdString()), 0, 100);
    if (m_centre)
        m_settings.centred = m_centre->GetValue();
    if (m_underline)
        m_settings.underline = m_underline->GetValue();
}

void CGraphicTextDlg::WriteControls()
{
    m_writing = true;
    auto write = [](wxTextCtrl* edit, const std::string& value) {
        if (edit && edit->GetValue() != Text(value))
            edit->ChangeValue(Text(value));
    };
    std::string shown;
    for (char c : m_settings.text)
        if (c != '\r')
            shown += c;
    write(m_text, shown);
    write(m_height, m_settings.heightText);
    write(m_charSpacing, m_settings.charSpacingText);
    write(m_lineSpacing, m_settings.lineSpacingText);
    write(m_visibility, std::to_string(m_settings.visibility));
    if (auto* combo = dynamic_cast<wxComboBox*>(m_unit))
        combo->ChangeValue(Text(m_settings.unit));
    else if (m_unit)
        m_unit->SetSelection(m_unit->FindString(Text(m_settings.unit)));
    if (m_slider)
        m_slider->SetValue(m_settings.visibility);
    if (m_centre)
        m_centre->SetValue(m_settings.centred);
    if (m_underline)
        m_underline->SetValue(m_settings.underline);
    if (m_faceLabel)
        m_faceLabel->SetLabel(Text(m_settings.fontFace));
    if (m_colourButton)
        m_colourButton->SetColors(m_settings.colour, m_settings.colour, m_settings.colour);
    m_writing = false;
    ApplyUnitLimits();
}

void CGraphicTextDlg::ApplyUnitLimits()
{
    if (auto* spin = Find<wxSpinButton>(*this, m_ids.heightSpin))
        spin->SetRange(0, m_settings.unit == "Percent" ? 25 : 99);
    SyncSpins();
}

// The arrows count from what their field shows, as a field's buddy does: each holds its
// field's number (within its range) whenever the field changes.
void CGraphicTextDlg::SyncSpins()
{
    const auto hold = [this](int id, int value) {
        auto* spin = id ? Find<wxSpinButton>(*this, id) : nullptr;
        if (!spin)
            return;
        value = std::clamp(value, spin->GetMin(), spin->GetMax());
        if (spin->GetValue() != value)
            spin->SetValue(value);
    };
    if (m_height)
        hold(m_ids.heightSpin, GraphicTextSettings::LeadingInt(m_height->GetValue().ToStdString(wxConvUTF8)));
    if (m_visibility)
        hold(m_ids.visibilitySpin, GraphicTextSettings::LeadingInt(m_visibility->GetValue().ToStdString(wxConvUTF8)));
}

void CGraphicTextDlg::SetupPreview(const CLfImage& image)
{
    const int W = image.GetWidth();
    const int H = image.GetHeight();
    wxPoint base(370, 19);
    if (wxWindow* frame = GetControl(m_ids.previewBox))
        base = frame->GetPosition();
    wxRect box(base, wxSize(300, 230));
    if (W > H) {
        box.y = base.y + 81;
    } else {
        box = wxRect(base.x + 20, base.y + 19, 230, 300);
    }
    // Wide images move the hint labels down to the pane, centred over it and as wide as
    // their text needs.
    if (W > H) {
        int top = base.y + 46;
        for (int id : {m_ids.dragLabel, m_ids.centredLabel}) {
            if (wxWindow* label = GetControl(id)) {
                const wxSize best = label->GetBestSize();
                label->SetSize(box.x + (box.width - best.x) / 2, top, best.x, best.y);
                top += best.y;
            }
        }
    }
    float factor = 1.0f;
    const bool wider = W > box.width;
    const bool higher = H > box.height;
    if (wider && higher)
        factor = std::min(float(box.width) / W, float(box.height) / H);
    else if (wider)
        factor = float(box.width) / W;
    else if (higher)
        factor = float(box.height) / H;
    const int w = std::max(1, static_cast<int>(W * factor));
    const int h = std::max(1, static_cast<int>(H * factor));
    const wxRect draw((box.width - w) / 2, (box.height - h) / 2, w, h);
    m_reduced.Copy(image);
    if (w != W || h != H)
        m_reduced.Resample(w, h, m_style.resampleMode);
    m_clean.Copy(m_reduced);
    m_working.Copy(m_reduced);
    // The client area grows to hold the pane when the layout's font made it smaller.
    const wxSize client = GetClientSize();
    if (client.x < box.GetRight() + 12 || client.y < box.GetBottom() + 12)
        SetClientSize(std::max(client.x, box.GetRight() + 12), std::max(client.y, box.GetBottom() + 12));
    m_pane = new CDlgWaterImageView(this, box, draw, m_style.rule);
    m_pane->SetShownImage(&m_reduced);
    m_pane->SetCleanImage(&m_clean);
    m_pane->Show();
}

void CGraphicTextDlg::EnableStep(bool enable)
{
    if (wxWindow* step = GetControl(m_ids.step))
        step->Enable(enable);
}

void CGraphicTextDlg::RenderAtPosition()
{
    ReadControls();
    if (!m_pane)
        return;
    EnableStep(false);
    CWxTextRasterizer rasterizer;
    PreviewRendering out;
    if (m_settings.centred) {
        m_pane->DisableDrag();
        out = RenderCentredPreview(m_reduced, m_working, m_settings, m_pane->Position(), rasterizer, m_style);
    } else {
        m_pane->EnableDrag();
        out = RenderFreePreview(m_reduced, m_working, m_settings, m_pane->Position(), rasterizer, m_style);
    }
    // The percentage cap may have rewritten the height.
    WriteControls();
    m_pane->SetShownImage(&m_working);
    m_pane->SetRaster(out.raster, out.blockWidth, out.blockHeight, m_settings.colour, m_settings.visibility);
    m_pane->RenderPreview();
    m_previewed = true;
    m_previewColour = m_settings.colour;
    EnableStep(true);
}

void CGraphicTextDlg::ChooseFont()
{
    WriteControls();
    if (m_fontChooser && m_fontChooser(m_settings, this) && m_faceLabel)
        m_faceLabel->SetLabel(Text(m_settings.fontFace));
    WriteControls();
    RenderAtPosition();
}

void CGraphicTextDlg::ChooseColour()
{
    const std::optional<COLORREF> colour = m_colourChooser ? m_colourChooser(this) : std::nullopt;
    if (!colour)
        return;
    m_settings.colour = *colour;
    if (m_colourButton) {
        m_colourButton->SetColors(*colour, *colour, *colour);
        m_colourButton->Refresh();
    }
    if (!m_previewed || *colour != m_previewColour)
        RenderAtPosition();
}

bool CGraphicTextDlg::StartWorker(CTextWorker::Job job, std::function<void()> finished)
{
    return m_worker.Start(std::move(job), std::move(finished));
}

void CGraphicTextDlg::FollowProgress(wxGauge* bar)
{
    m_progressBar = bar;
    if (bar)
        m_progressTimer.Start(50);
    else
        m_progressTimer.Stop();
}

void CGraphicTextDlg::OnProgressTimer(wxTimerEvent&)
{
    if (!m_progressBar)
        return;
    const int range = std::max(1, m_worker.m_progressRange.load());
    m_progressBar->SetRange(range);
    m_progressBar->SetValue(std::clamp(m_worker.m_progressPos.load(), 0, range));
}

void CGraphicTextDlg::OnText(wxCommandEvent& event)
{
    event.Skip();
    if (m_writing)
        return;
    if (event.GetId() == DialogControlId(m_ids.visibility)) {
        OnVisibilityText(event);
        return;
    }
    ReadControls();
    SyncSpins();
}

void CGraphicTextDlg::OnVisibilityText(wxCommandEvent&)
{
    ReadControls();
    if (m_visibility && !m_visibility->GetValue().empty() && m_slider)
        m_slider->SetValue(m_settings.visibility);
    SyncSpins();
}

void CGraphicTextDlg::OnSlider(wxScrollEvent& event)
{
    event.Skip();
    if (m_writing || !m_slider || event.GetId() != m_slider->GetId())
        return;
    ReadControls();
    m_settings.visibility = m_slider->GetValue();
    WriteControls();
}

void CGraphicTextDlg::OnVisibilitySpin(wxSpinEvent& event)
{
    m_settings.visibility = std::clamp(event.GetPosition(), 0, 100);
    WriteControls();
}

void CGraphicTextDlg::OnHeightSpin(wxSpinEvent& event)
{
    ReadControls();
    const int limit = m_settings.unit == "Percent" ? 25 : 99;
    m_settings.heightText = std::to_string(std::clamp(event.GetPosition(), 0, limit));
    WriteControls();
}

void CGraphicTextDlg::OnUnit(wxCommandEvent&)
{
    if (m_writing)
        return;
    ReadControls();
    if (m_settings.unit == "Percent" && GraphicTextSettings::LeadingReal(m_settings.heightText) > 25)
        m_settings.heightText = "25";
    WriteControls();
}

void CGraphicTextDlg::OnButton(wxCommandEvent& event)
{
    const int id = event.GetId();
    if (id == DialogControlId(m_ids.preview))
        RenderAtPosition();
    else if (id == DialogControlId(m_ids.font))
        ChooseFont();
    else if (id == DialogControlId(m_ids.colour))
        ChooseColour();
    else
        event.Skip();
}

void CGraphicTextDlg::OnCheck(wxCommandEvent& event)
{
    event.Skip();
    const int id = event.GetId();
    if (id != DialogControlId(m_ids.centre) && id != DialogControlId(m_ids.underline))
        return;
    ReadControls();
    if (m_previewEmptyText || !m_settings.text.empty())
        RenderAtPosition();
}

void CGraphicTextDlg::CancelDialog()
{
    m_cancelled = true;
    if (IsWorking()) {
        // The dialog ends when the worker has stopped and been joined.
        StopWorker();
        return;
    }
    EndWith(wxID_CANCEL);
}

void CGraphicTextDlg::OnCancel(wxCommandEvent&) { CancelDialog(); }

void CGraphicTextDlg::OnClose(wxCloseEvent& event)
{
    if (!event.CanVeto()) {
        m_worker.StopAndJoin();
        event.Skip();
        return;
    }
    event.Veto();
    CancelDialog();
}
