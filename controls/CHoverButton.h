#pragma once
// A push button that draws itself: flat (no edges until the pointer is over it) or
// raised, with an image (a pair of bitmaps with a transparent colour, or a pair of icons)
// beside or above its caption, a hover look, a tooltip and a cursor of its own. A click
// can toggle a check state, drop down a menu or open an address; the parent always
// receives the click too (wxEVT_BUTTON). A double click counts as two clicks.
//
// Setters return the codes of HoverButtonModel.h and take a trailing flag that asks for
// an immediate repaint.

#include "controls/ButtonPress.h"
#include "controls/ControlDrawing.h"
#include "controls/model/HoverButtonModel.h"

#include <wx/bitmap.h>
#include <wx/control.h>
#include <wx/cursor.h>
#include <wx/icon.h>

#include <memory>

class wxMenu;

// The art id under which a program's art provider offers its bitmap, icon or cursor
// picture with the given resource number.
wxString ResourceArtId(int resourceId);

class CHoverButton : public wxControl {
public:
    CHoverButton();
    CHoverButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize);

    bool Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
    // Takes the place of a control of a dialog layout (its id, caption, rectangle, state
    // and tab position); a check box or toggle button makes a check-box-mode button and
    // the dialog's default button a default one. The original control is destroyed.
    bool SubclassControl(wxWindow* control);

    // Bitmaps from the program's art provider (ResourceArtId); outId 0 = no out-image.
    int SetBitmaps(int inId, COLORREF inTransparent, int outId = 0, COLORREF outTransparent = 0);
    // The out-image may be invalid: the in-image then shows in every state.
    int SetBitmaps(const wxBitmap& in, COLORREF inTransparent, const wxBitmap& out = wxNullBitmap,
                   COLORREF outTransparent = 0);
    int SetIcons(int inId, int outId = 0);
    int SetIcons(const wxIcon& in, const wxIcon& out = wxNullIcon);

    int SetFlat(bool flat, bool repaint = true);
    int SetImageAlign(int align, bool repaint = true);
    int SetTicked(bool ticked, bool repaint = true);
    bool IsTicked() const { return m_ticked; }
    int ResetColors(bool repaint = true);
    int SetStateColor(int index, COLORREF color, bool repaint = true);
    int GetStateColor(int index, COLORREF& color) const { return m_model.GetStateColor(index, color); }
    int SetTrackInactive(bool track);
    int SetHoverCursor(int cursorId, bool repaint = true);
    int SetDrawBorder(bool drawBorder, bool repaint = true);
    int SetFlatFocusRect(bool draw, bool repaint = true);
    void SetTooltipText(const wxString& text, bool activate = true);
    void EnableTooltip(bool activate);
    bool IsDefaultButton() const { return m_default; }
    bool IsCheckBoxMode() const { return m_checkBox; }
    void SetCheckBoxMode(bool on) { m_checkBox = on; }
    // The parent's background colour fills the button (the default).
    void UseParentBackground(bool repaint = true);
    int UseParentBackgroundIf(int value);
    int SetUrl(const wxString& address);
    // The menu drops down below the button on a click; its commands go to owner (this
    // button when null). A null menu removes it.
    int SetDropDownMenu(std::unique_ptr<wxMenu> menu, wxWindow* owner, bool repaint = true);
    void SetLinkLauncher(LinkLauncher launcher) { m_launcher = std::move(launcher); }

    bool IsHovering() const { return m_hover; }
    bool Enable(bool enable = true) override;

    // Draws the button as it looks now into dc over rect.
    void Draw(wxDC& dc, const wxRect& rect);

protected:
    // Fills the background (colour 0 hovering or pressed, 4 focused, 2 otherwise).
    virtual int OnDrawBackground(wxDC& dc, const wxRect& rect);
    // The flat button's 3-D border: sunken while pressed, raised otherwise.
    virtual int OnDrawBorder(wxDC& dc, const wxRect& rect);
    wxSize DoGetBestSize() const override;

private:
    struct Image {
        wxBitmap bitmap;
        wxSize size;
    };

    HoverDrawState CurrentState() const;
    bool IsPressed() const;
    void Repaint(bool repaint);
    void ReleaseImages();
    void EndHover();
    void Click();
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnFocus(wxFocusEvent& event);
    void OnKeyUp(wxKeyEvent& event);

    HoverButtonModel m_model;
    bool m_flat = true;
    bool m_hover = true;  // a fresh button draws hovered until hovering first ends
    bool m_parentBackground = true;
    bool m_default = false;
    bool m_checkBox = false;
    bool m_drawBorder = true;
    bool m_flatFocus = false;
    bool m_trackInactive = true;
    bool m_ticked = false;
    bool m_menuShown = false;
    ButtonPress m_press;
    bool m_iconImages = false;
    Image m_in;
    Image m_out;
    wxCursor m_cursor;
    wxString m_tooltip;
    std::unique_ptr<wxMenu> m_menu;
    wxWindow* m_menuOwner = nullptr;
    wxString m_url;
    LinkLauncher m_launcher;
};
