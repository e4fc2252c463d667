#include "editor/ui/CColorChooserDlg.h"

#include "editor/ui/DialogControls.h"
#include "editor/model/NumberText.h"
#include "resources/editor/DialogIds.h"
#include "resources/editor/ImageDialogs.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <cmath>

namespace {

using Field = ColorChooserModel::Field;
using M = ColorChooserModel;

struct FieldControls {
    Field field;
    int edit, spin, high;
};
constexpr FieldControls kFields[] = {
    {Field::Red, IDC_CHOOSER_RED, IDC_CHOOSER_RED_SPIN, 255},
    {Field::Green, IDC_CHOOSER_GREEN, IDC_CHOOSER_GREEN_SPIN, 255},
    {Field::Blue, IDC_CHOOSER_BLUE, IDC_CHOOSER_BLUE_SPIN, 255},
    {Field::Hue, IDC_CHOOSER_HUE, IDC_CHOOSER_HUE_SPIN, 360},
    {Field::Saturation, IDC_CHOOSER_SATURATION, IDC_CHOOSER_SATURATION_SPIN, 255},
    {Field::Brightness, IDC_CHOOSER_BRIGHTNESS, IDC_CHOOSER_BRIGHTNESS_SPIN, 255},
};

wxColour Colour(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }
wxPoint At(POINT p) { return wxPoint(p.x, p.y); }

// The hue/saturation wheel at full brightness on the dialog's face colour.
wxBitmap WheelBitmap(const wxColour& face)
{
    wxImage image(M::kWheelWidth, M::kWheelHeight);
    for (int y = 0; y < M::kWheelHeight; ++y)
        for (int x = 0; x < M::kWheelWidth; ++x) {
            if (!M::InWheel({x, y})) {
                image.SetRGB(x, y, face.Red(), face.Green(), face.Blue());
                continue;
            }
            ColorChooserModel probe(0);
            probe.DragWheel({x, y});
            probe.Set(Field::Brightness, 255);
            const RgbColor c = probe.Rgb();
            image.SetRGB(x, y, static_cast<unsigned char>(c.red), static_cast<unsigned char>(c.green),
                         static_cast<unsigned char>(c.blue));
        }
    return wxBitmap(image);
}

}  // namespace

CColorChooserDlg::CColorChooserDlg(wxWindow* parent, COLORREF initial) : m_model(initial)
{
    CreateDialogFromTemplate(*this, parent, edlg::ColorChooser());
    const wxColour face = GetBackgroundColour();
    m_wheel = WheelBitmap(face);
    m_bar.Create(M::kBarWidth, M::kWheelHeight, 8);
    for (int y = 0; y < M::kWheelHeight; ++y)
        for (int x = 0; x < M::kBarWidth; ++x)
            m_bar.SetIndex(x, y, static_cast<uint8_t>(y));

    // The pictures inside their frames, shrunk by 5 on each side: the wheel 10 right of
    // and 20 below that corner, the axes 3 left of and 10 below it.
    auto place = [this](int frameId, wxPoint offset, wxSize size) {
        wxRect area = GetControl(frameId) ? GetControl(frameId)->GetRect() : wxRect();
        area.Deflate(5);
        wxWindow* picture = new wxWindow(this, wxID_ANY, area.GetPosition() + offset, size);
        picture->SetBackgroundStyle(wxBG_STYLE_PAINT);
        return picture;
    };
    m_rgbPicture = place(IDC_CHOOSER_RGB_BOX, {-3, 10}, {M::kRgbSide, M::kRgbSide});
    m_hsbPicture = place(IDC_CHOOSER_HSB_BOX, {10, 20}, {M::kBarLeft + M::kBarWidth + 3, M::kWheelHeight + 5});
    m_rgbPicture->Bind(wxEVT_PAINT, &CColorChooserDlg::PaintRgb, this);
    m_hsbPicture->Bind(wxEVT_PAINT, &CColorChooserDlg::PaintHsb, this);
    for (wxWindow* picture : {m_rgbPicture, m_hsbPicture}) {
        auto handler = picture == m_rgbPicture ? &CColorChooserDlg::OnRgbMouse : &CColorChooserDlg::OnHsbMouse;
        picture->Bind(wxEVT_LEFT_DOWN, handler, this);
        picture->Bind(wxEVT_MOTION, handler, this);
        picture->Bind(wxEVT_LEFT_UP, handler, this);
        picture->Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { m_drag = Drag::None; });
    }
    // The swatches take the places of the two hidden frames.
    for (auto [id, swatch] : {std::pair{IDC_CHOOSER_OLD_COLOR, &m_oldSwatch}, std::pair{IDC_CHOOSER_NEW_COLOR, &m_newSwatch}}) {
        wxWindow* frame = GetControl(id);
        *swatch = new wxWindow(this, wxID_ANY, frame ? frame->GetPosition() : wxDefaultPosition,
                               frame ? frame->GetSize() : wxSize(49, 31));
        (*swatch)->SetBackgroundStyle(wxBG_STYLE_PAINT);
        (*swatch)->Bind(wxEVT_PAINT, &CColorChooserDlg::PaintSwatch, this);
        if (frame)
            frame->Hide();
    }
    for (const FieldControls& f : kFields) {
        if (auto* spin = DialogControl<wxSpinButton>(*this, f.spin)) {
            spin->SetRange(0, f.high);
            Bind(wxEVT_SPIN, &CColorChooserDlg::OnSpin, this, spin->GetId());
        }
        Bind(wxEVT_TEXT, &CColorChooserDlg::OnEdit, this, DialogControlId(f.edit));
    }
    UpdateControls();
    m_initialised = true;
}

wxWindow* CColorChooserDlg::GetControl(int id) const { return FindWindow(DialogControlId(id)); }

// Every place shows the model's colour; the edits' own notices are ignored meanwhile.
void CColorChooserDlg::UpdateControls()
{
    m_updating = true;
    for (const FieldControls& f : kFields) {
        const int value = m_model.Get(f.field);
        if (auto* edit = DialogControl<wxTextCtrl>(*this, f.edit)) {
            const wxString text = wxString::Format("%d", value);
            if (edit->GetValue() != text)
                edit->ChangeValue(text);
        }
        if (auto* spin = DialogControl<wxSpinButton>(*this, f.spin))
            spin->SetValue(value);
    }
    m_updating = false;
    UpdateBar();
    for (wxWindow* w : {m_rgbPicture, m_hsbPicture, m_newSwatch})
        w->Refresh(false);
}

void CColorChooserDlg::UpdateBar()
{
    std::vector<std::array<uint8_t, 3>> palette;
    for (COLORREF c : m_model.BarColours())
        palette.push_back({GetRValue(c), GetGValue(c), GetBValue(c)});
    m_bar.SetPalette(palette);
}

void CColorChooserDlg::OnEdit(wxCommandEvent& event)
{
    if (!m_initialised || m_updating)
        return;
    for (const FieldControls& f : kFields)
        if (DialogControlId(f.edit) == event.GetId()) {
            const std::optional<long> value = ParseBoundedInteger(event.GetString().utf8_string(), -100000, 100000);
            // A number pulled back into its range shows as it counts.
            if (value && (m_model.Set(f.field, *value) || m_model.Get(f.field) != *value))
                UpdateControls();
        }
}

void CColorChooserDlg::OnSpin(wxSpinEvent& event)
{
    for (const FieldControls& f : kFields)
        if (DialogControlId(f.spin) == event.GetId())
            if (auto* edit = DialogControl<wxTextCtrl>(*this, f.edit))
                edit->SetValue(wxString::Format("%d", event.GetPosition()));
}

void CColorChooserDlg::OnRgbMouse(wxMouseEvent& event)
{
    const POINT point{event.GetX(), event.GetY()};
    if (event.LeftDown()) {
        const int channel = m_model.HandleAt(point);
        if (channel < 0)
            return;
        m_drag = channel == 0 ? Drag::Red : channel == 1 ? Drag::Green : Drag::Blue;
        Capture(m_rgbPicture);
    } else if (event.LeftUp()) {
        EndDrag();
        return;
    }
    if (m_drag == Drag::Red || m_drag == Drag::Green || m_drag == Drag::Blue) {
        m_model.DragHandle(m_drag == Drag::Red ? 0 : m_drag == Drag::Green ? 1 : 2, point);
        UpdateControls();
    }
}

void CColorChooserDlg::OnHsbMouse(wxMouseEvent& event)
{
    const POINT point{event.GetX(), event.GetY()};
    if (event.LeftDown()) {
        m_drag = M::InWheel(point) ? Drag::Wheel : M::InBar(point) ? Drag::Bar : Drag::None;
        if (m_drag == Drag::None)
            return;
        Capture(m_hsbPicture);
    } else if (event.LeftUp()) {
        EndDrag();
        return;
    }
    if (m_drag == Drag::Wheel)
        m_model.DragWheel(point);
    else if (m_drag == Drag::Bar)
        m_model.DragBar(point.y);
    else
        return;
    UpdateControls();
}

// The pointer stays with a drag until the button is released, even outside the picture.
void CColorChooserDlg::Capture(wxWindow* picture)
{
    if (picture->IsShownOnScreen() && !picture->HasCapture())
        picture->CaptureMouse();
}

void CColorChooserDlg::EndDrag()
{
    m_drag = Drag::None;
    for (wxWindow* picture : {m_rgbPicture, m_hsbPicture})
        if (picture->HasCapture())
            picture->ReleaseMouse();
}

// The axes from the centre, the outline of the colour's box between the handles, and a
// white ring per handle.
void CColorChooserDlg::PaintRgb(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_rgbPicture);
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    const wxPoint centre = At(M::kAxisCentre);
    const wxColour axes[] = {*wxRED, *wxGREEN, *wxBLUE};
    wxPoint handle[3];
    for (int c = 0; c < 3; ++c) {
        dc.SetPen(wxPen(axes[c], 2));
        dc.DrawLine(centre, At(M::kAxisEnds[c]));
        handle[c] = At(m_model.HandlePoint(c));
    }
    // The box spanned by the three handle vectors, drawn as the edges of its far faces.
    const wxPoint v[3] = {handle[0] - centre, handle[1] - centre, handle[2] - centre};
    dc.SetPen(wxPen(wxColour(64, 64, 64)));
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b)
            if (a != b) {
                const wxPoint from = centre + v[a];
                dc.DrawLine(from, from + v[b]);
                dc.DrawLine(from + v[b], centre + v[0] + v[1] + v[2]);
            }
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    for (int c = 0; c < 3; ++c) {
        dc.SetPen(wxPen(*wxWHITE, 2));
        dc.DrawRectangle(handle[c].x - 5, handle[c].y - 5, 10, 10);
    }
}

void CColorChooserDlg::PaintHsb(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(m_hsbPicture);
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    dc.DrawBitmap(m_wheel, 0, 0);
    wxImage bar(M::kBarWidth, M::kWheelHeight);
    for (int y = 0; y < M::kWheelHeight; ++y)
        for (int x = 0; x < M::kBarWidth; ++x) {
            const COLORREF c = m_bar.GetColour(x, y).value_or(0);
            bar.SetRGB(x, y, GetRValue(c), GetGValue(c), GetBValue(c));
        }
    dc.DrawBitmap(wxBitmap(bar), M::kBarLeft, 0);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(*wxWHITE, 2));
    const POINT marker = m_model.WheelMarker();
    dc.DrawRectangle(marker.x - 5, marker.y - 5, 10, 10);
    dc.SetPen(wxPen(*wxBLACK, 1));
    dc.DrawRectangle(M::kBarLeft - 2, m_model.BarMarkerY() - 4, M::kBarWidth + 4, 8);
}

// A colour with a black frame and, inside it, a light top-left and a grey bottom-right edge.
void CColorChooserDlg::PaintSwatch(wxPaintEvent& event)
{
    auto* swatch = dynamic_cast<wxWindow*>(event.GetEventObject());
    if (!swatch)
        return;
    wxAutoBufferedPaintDC dc(swatch);
    const wxSize size = swatch->GetClientSize();
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(wxBrush(Colour(swatch == m_oldSwatch ? m_model.Old() : m_model.Current())));
    dc.DrawRectangle(0, 0, size.x, size.y);
    dc.SetPen(wxPen(wxColour(0xC0, 0xC0, 0xC0)));
    dc.DrawLine(1, 1, size.x - 1, 1);
    dc.DrawLine(1, 1, 1, size.y - 1);
    dc.SetPen(wxPen(wxColour(0x80, 0x80, 0x80)));
    dc.DrawLine(1, size.y - 2, size.x - 1, size.y - 2);
    dc.DrawLine(size.x - 2, 1, size.x - 2, size.y - 1);
}
