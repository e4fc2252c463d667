#pragma once
// Chooses a colour in two pictures side by side, a red/green/blue picture with a handle
// on each axis and a hue/saturation wheel with a brightness bar, and in six edits with
// spins; the old and the new colour are shown one above the other. Any change in one
// place updates all the others. Nothing in the editor opens it.

#include "editor/model/CDibImage.h"
#include "editor/model/ColorChooserModel.h"

#include <wx/bitmap.h>
#include <wx/dialog.h>

class wxPaintEvent;
class wxSpinEvent;

class CColorChooserDlg : public wxDialog {
public:
    CColorChooserDlg(wxWindow* parent, COLORREF initial);

    // The chosen colour (the caller reads it after OK).
    COLORREF GetColor() const { return m_model.Current(); }
    const ColorChooserModel& Model() const { return m_model; }
    wxWindow* GetControl(int id) const;
    // The two pictures, whose pixels are the model's picture pixels.
    wxWindow* RgbPicture() const { return m_rgbPicture; }
    wxWindow* HsbPicture() const { return m_hsbPicture; }
    // The brightness bar as drawn: one palette entry per row.
    const CDibImage& Bar() const { return m_bar; }

private:
    enum class Drag { None, Wheel, Bar, Red, Green, Blue };

    void UpdateControls();
    void UpdateBar();
    void OnEdit(wxCommandEvent& event);
    void OnSpin(wxSpinEvent& event);
    void OnRgbMouse(wxMouseEvent& event);
    void OnHsbMouse(wxMouseEvent& event);
    void Capture(wxWindow* picture);
    void EndDrag();
    void PaintRgb(wxPaintEvent& event);
    void PaintHsb(wxPaintEvent& event);
    void PaintSwatch(wxPaintEvent& event);

    ColorChooserModel m_model;
    wxWindow* m_rgbPicture = nullptr;
    wxWindow* m_hsbPicture = nullptr;
    wxWindow* m_oldSwatch = nullptr;
    wxWindow* m_newSwatch = nullptr;
    wxBitmap m_wheel;
    CDibImage m_bar;
    Drag m_drag = Drag::None;
    bool m_initialised = false;
    bool m_updating = false;
};
