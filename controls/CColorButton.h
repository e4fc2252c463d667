#pragma once
// A push button whose face, caption and disabled-face colours its owner sets: with all
// three set to one colour it is a plain swatch of that colour inside a 3-D frame. It draws
// itself; a click reaches the parent as wxEVT_BUTTON.

#include "controls/ButtonPress.h"
#include "platform/WinTypes.h"

#include <wx/control.h>

class CColorButton : public wxControl {
public:
    CColorButton() = default;
    CColorButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize);

    bool Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
    // Takes the place of a push button of a dialog layout; the original is destroyed.
    bool SubclassControl(wxWindow* control);

    void SetColors(COLORREF text, COLORREF face, COLORREF disabledFace);
    // Sets text and face; the disabled face returns to the system button face.
    void SetTextAndFace(COLORREF text, COLORREF face);
    // All seven colours back to the system's.
    void ResetColors();

    COLORREF GetTextColor() const { return m_text; }
    COLORREF GetFaceColor() const { return m_face; }
    COLORREF GetDisabledFaceColor() const { return m_disabledFace; }

    struct DrawState {
        bool pressed = false;
        bool focused = false;
        bool isDefault = false;
        bool disabled = false;
    };
    // Draws the button in a given state into dc over rect.
    void Draw(wxDC& dc, const wxRect& rect, const DrawState& state) const;
    DrawState CurrentState() const;

    void SetDefaultLook(bool isDefault) { m_default = isDefault; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void Click();

    COLORREF m_text = 0;
    COLORREF m_face = 0;
    COLORREF m_disabledFace = 0;
    COLORREF m_light = 0;
    COLORREF m_highlight = 0;
    COLORREF m_shadow = 0;
    COLORREF m_darkShadow = 0;
    bool m_default = false;
    ButtonPress m_press;
};
