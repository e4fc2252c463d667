#include "controls/CColorButton.h"

#include "controls/ControlDrawing.h"

#include <wx/dcbuffer.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/toplevel.h>

namespace {

COLORREF SysColor(wxSystemColour index) { return ToColorRef(wxSystemSettings::GetColour(index)); }

}  // namespace

CColorButton::CColorButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                           const wxSize& size)
{
    Create(parent, id, label, pos, size);
}

bool CColorButton::Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                          const wxSize& size)
{
    if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE))
        return false;
    ResetColors();
    SetLabel(label);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetInitialSize(size);
    Bind(wxEVT_PAINT, &CColorButton::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CColorButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CColorButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CColorButton::OnLeftUp, this);
    Bind(wxEVT_MOTION, &CColorButton::OnMotion, this);
    Bind(wxEVT_KEY_UP, &CColorButton::OnKeyUp, this);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) { Refresh(); e.Skip(); });
    Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) { Refresh(); e.Skip(); });
    return true;
}

bool CColorButton::SubclassControl(wxWindow* control)
{
    const ControlPlace place = ReadControlPlace(control);
    if (!place.parent || !Create(place.parent, place.id, place.label, place.position, place.size))
        return false;
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(place.parent)))
        m_default = top->GetDefaultItem() == control;
    TakeControlPlace(this, control, place);
    return true;
}

void CColorButton::SetColors(COLORREF text, COLORREF face, COLORREF disabledFace)
{
    m_text = text;
    m_face = face;
    m_disabledFace = disabledFace;
    Refresh(false);
}

void CColorButton::SetTextAndFace(COLORREF text, COLORREF face)
{
    m_text = text;
    m_face = face;
    m_disabledFace = SysColor(wxSYS_COLOUR_BTNFACE);
    Refresh(false);
}

void CColorButton::ResetColors()
{
    m_text = SysColor(wxSYS_COLOUR_BTNTEXT);
    m_face = SysColor(wxSYS_COLOUR_BTNFACE);
    m_disabledFace = SysColor(wxSYS_COLOUR_BTNFACE);
    m_light = SysColor(wxSYS_COLOUR_3DLIGHT);
    m_highlight = SysColor(wxSYS_COLOUR_BTNHIGHLIGHT);
    m_shadow = SysColor(wxSYS_COLOUR_BTNSHADOW);
    m_darkShadow = SysColor(wxSYS_COLOUR_3DDKSHADOW);
    Refresh(false);
}

CColorButton::DrawState CColorButton::CurrentState() const
{
    DrawState state;
    state.pressed = m_press.Pressed();
    state.focused = HasFocus();
    state.isDefault = m_default;
    state.disabled = !IsEnabled();
    return state;
}

void CColorButton::Draw(wxDC& dc, const wxRect& item, const DrawState& state) const
{
    wxRect focusRect = item;
    focusRect.Deflate(4);
    wxRect normalCaption = item;
    normalCaption.Offset(-1, -1);
    const wxRect pressedCaption = item;

    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(ToWxColour(state.disabled ? m_disabledFace : m_face)));
    dc.DrawRectangle(item);

    wxRect frame = item;
    if (state.pressed) {
        DrawOutline(dc, frame, ToWxColour(m_darkShadow));
        frame.Deflate(1);
        DrawOutline(dc, frame, ToWxColour(m_shadow));
    } else {
        if (state.focused || state.isDefault) {
            DrawOutline(dc, frame, *wxBLACK);
            frame.Deflate(1);
        }
        DrawEdgeFrame(dc, frame, ToWxColour(m_highlight), ToWxColour(m_darkShadow));
        frame.Deflate(1);
        DrawEdgeFrame(dc, frame, ToWxColour(m_light), ToWxColour(m_shadow));
    }

    const wxString caption = GetLabel();
    if (!caption.empty()) {
        const wxColour oldText = dc.GetTextForeground();
        dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
        dc.SetFont(GetFont());
        if (state.disabled) {
            // Engraved: white one pixel down and right, grey in place.
            dc.SetTextForeground(*wxWHITE);
            dc.DrawLabel(caption, pressedCaption, wxALIGN_CENTER);
            dc.SetTextForeground(wxColour(0x80, 0x80, 0x80));
            dc.DrawLabel(caption, normalCaption, wxALIGN_CENTER);
        } else {
            dc.SetTextForeground(ToWxColour(m_text));
            dc.DrawLabel(caption, state.pressed ? pressedCaption : normalCaption, wxALIGN_CENTER);
        }
        dc.SetTextForeground(oldText);
    }

    if (state.focused)
        wxRendererNative::Get().DrawFocusRect(const_cast<CColorButton*>(this), dc, focusRect);
}

void CColorButton::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    Draw(dc, GetClientRect(), CurrentState());
}

wxSize CColorButton::DoGetBestSize() const
{
    wxClientDC dc(const_cast<CColorButton*>(this));
    dc.SetFont(GetFont());
    const wxSize text = dc.GetTextExtent(GetLabel().empty() ? wxString(wxASCII_STR("M")) : GetLabel());
    return wxSize(text.x + 16, text.y + 10);
}

void CColorButton::OnLeftDown(wxMouseEvent&)
{
    if (!IsEnabled())
        return;
    SetFocus();
    m_press.Down();
    Refresh(false);
}

void CColorButton::OnLeftUp(wxMouseEvent& event)
{
    if (!m_press.IsDown())
        return;
    const bool click = m_press.Up(GetClientRect().Contains(event.GetPosition()));
    Refresh(false);
    if (click)
        Click();
}

void CColorButton::OnMotion(wxMouseEvent& event)
{
    const bool inside = GetClientRect().Contains(event.GetPosition());
    if (m_press.Move(inside))
        Refresh(false);
}

void CColorButton::OnKeyUp(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_SPACE && IsEnabled())
        Click();
    else
        event.Skip();
}

void CColorButton::Click()
{
    wxCommandEvent click(wxEVT_BUTTON, GetId());
    click.SetEventObject(this);
    ProcessWindowEvent(click);
}
