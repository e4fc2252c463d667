#include "controls/CHoverButton.h"

#include <wx/artprov.h>
#include <wx/checkbox.h>
#include <wx/dcbuffer.h>
#include <wx/menu.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/tglbtn.h>
#include <wx/toplevel.h>

namespace {

wxColour SysColour(wxSystemColour index) { return wxSystemSettings::GetColour(index); }

bool MakeMasked(wxBitmap& bitmap, COLORREF transparent)
{
    auto mask = std::make_unique<wxMask>();
    if (!mask->Create(bitmap, ToWxColour(transparent)))
        return false;
    bitmap.SetMask(mask.release());
    return true;
}

}  // namespace

wxString ResourceArtId(int resourceId) { return wxString::Format(wxASCII_STR("lf-resource-%d"), resourceId); }

CHoverButton::CHoverButton()
    : m_model(ToColorRef(SysColour(wxSYS_COLOUR_BTNFACE)), ToColorRef(SysColour(wxSYS_COLOUR_BTNTEXT))),
      m_launcher(DefaultLinkLauncher())
{
}

CHoverButton::CHoverButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                           const wxSize& size)
    : CHoverButton()
{
    Create(parent, id, label, pos, size);
}

bool CHoverButton::Create(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                          const wxSize& size)
{
    if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetLabel(label);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetInitialSize(size);
    Bind(wxEVT_PAINT, &CHoverButton::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CHoverButton::OnLeftDown, this);
    // A double click acts as a second press, so it gives a second click.
    Bind(wxEVT_LEFT_DCLICK, &CHoverButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CHoverButton::OnLeftUp, this);
    Bind(wxEVT_MOTION, &CHoverButton::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &CHoverButton::OnLeave, this);
    Bind(wxEVT_SET_FOCUS, &CHoverButton::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &CHoverButton::OnFocus, this);
    Bind(wxEVT_KEY_UP, &CHoverButton::OnKeyUp, this);
    return true;
}

bool CHoverButton::SubclassControl(wxWindow* control)
{
    const ControlPlace place = ReadControlPlace(control);
    if (!place.parent || !Create(place.parent, place.id, place.label, place.position, place.size))
        return false;
    m_checkBox = dynamic_cast<wxCheckBox*>(control) || dynamic_cast<wxToggleButton*>(control);
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(place.parent)))
        m_default = top->GetDefaultItem() == control;
    TakeControlPlace(this, control, place);
    return true;
}

void CHoverButton::Repaint(bool repaint)
{
    if (repaint)
        Refresh();
}

void CHoverButton::ReleaseImages()
{
    m_in = Image{};
    m_out = Image{};
    m_iconImages = false;
}

int CHoverButton::SetBitmaps(int inId, COLORREF inTransparent, int outId, COLORREF outTransparent)
{
    const wxBitmap in = wxArtProvider::GetBitmap(ResourceArtId(inId));
    const wxBitmap out = outId ? wxArtProvider::GetBitmap(ResourceArtId(outId)) : wxNullBitmap;
    if (!in.IsOk() || (outId && !out.IsOk())) {
        ReleaseImages();
        return kHoverLoadFailed;
    }
    return SetBitmaps(in, inTransparent, out, outTransparent);
}

int CHoverButton::SetBitmaps(const wxBitmap& in, COLORREF inTransparent, const wxBitmap& out, COLORREF outTransparent)
{
    ReleaseImages();
    if (!in.IsOk())
        return kHoverLoadFailed;
    Image inImage{in, in.GetSize()};
    if (!MakeMasked(inImage.bitmap, inTransparent))
        return kHoverMaskFailed;
    Image outImage;
    if (out.IsOk()) {
        outImage = Image{out, out.GetSize()};
        if (!MakeMasked(outImage.bitmap, outTransparent))
            return kHoverMaskFailed;
    }
    m_in = inImage;
    m_out = outImage;
    Repaint(true);
    return kHoverOk;
}

int CHoverButton::SetIcons(int inId, int outId)
{
    const wxIcon in = wxArtProvider::GetIcon(ResourceArtId(inId));
    const wxIcon out = outId ? wxArtProvider::GetIcon(ResourceArtId(outId)) : wxNullIcon;
    if (!in.IsOk() || (outId && !out.IsOk())) {
        ReleaseImages();
        return kHoverLoadFailed;
    }
    return SetIcons(in, out);
}

int CHoverButton::SetIcons(const wxIcon& in, const wxIcon& out)
{
    ReleaseImages();
    if (!in.IsOk())
        return kHoverLoadFailed;
    m_in = Image{wxBitmap(in), in.GetSize()};
    if (out.IsOk())
        m_out = Image{wxBitmap(out), out.GetSize()};
    m_iconImages = true;
    Repaint(true);
    return kHoverOk;
}

int CHoverButton::SetFlat(bool flat, bool repaint)
{
    m_flat = flat;
    Repaint(repaint);
    return kHoverOk;
}

int CHoverButton::SetImageAlign(int align, bool repaint)
{
    const int result = m_model.SetImageAlign(align);
    if (result == kHoverOk)
        Repaint(repaint);
    return result;
}

int CHoverButton::SetTicked(bool ticked, bool repaint)
{
    if (m_checkBox) {
        m_ticked = ticked;
        Repaint(repaint);
    }
    return kHoverOk;
}

int CHoverButton::ResetColors(bool repaint)
{
    m_model.ResetColors();
    Repaint(repaint);
    return kHoverOk;
}

int CHoverButton::SetStateColor(int index, COLORREF color, bool repaint)
{
    const int result = m_model.SetStateColor(index, color);
    if (result == kHoverOk)
        Repaint(repaint);
    return result;
}

int CHoverButton::SetTrackInactive(bool track)
{
    m_trackInactive = track;
    return kHoverOk;
}

int CHoverButton::SetHoverCursor(int cursorId, bool repaint)
{
    m_cursor = wxCursor();
    SetCursor(wxNullCursor);
    int result = kHoverOk;
    if (cursorId) {
        const wxBitmap picture = wxArtProvider::GetBitmap(ResourceArtId(cursorId));
        if (picture.IsOk()) {
            m_cursor = wxCursor(picture.ConvertToImage());
            SetCursor(m_cursor);
        } else {
            result = kHoverLoadFailed;
        }
    }
    Repaint(repaint);
    return result;
}

int CHoverButton::SetDrawBorder(bool drawBorder, bool repaint)
{
    m_drawBorder = drawBorder;
    Repaint(repaint);
    return kHoverOk;
}

int CHoverButton::SetFlatFocusRect(bool draw, bool repaint)
{
    m_flatFocus = draw;
    Repaint(repaint);
    return kHoverOk;
}

void CHoverButton::SetTooltipText(const wxString& text, bool activate)
{
    m_tooltip = text;
    EnableTooltip(activate);
}

void CHoverButton::EnableTooltip(bool activate)
{
    if (activate && !m_tooltip.empty())
        SetToolTip(m_tooltip);
    else
        UnsetToolTip();
}

void CHoverButton::UseParentBackground(bool repaint)
{
    m_parentBackground = true;
    Repaint(repaint);
}

int CHoverButton::UseParentBackgroundIf(int value)
{
    if (value != 0)
        m_parentBackground = true;
    return value;
}

int CHoverButton::SetUrl(const wxString& address)
{
    m_url = address;
    return kHoverOk;
}

int CHoverButton::SetDropDownMenu(std::unique_ptr<wxMenu> menu, wxWindow* owner, bool repaint)
{
    m_menu = std::move(menu);
    m_menuOwner = m_menu ? owner : nullptr;
    m_menuShown = false;
    Repaint(repaint);
    return kHoverOk;
}

bool CHoverButton::Enable(bool enable)
{
    if (!enable && HasFocus()) {
        // The focus moves on to the next control, or to the parent when there is none.
        if (!Navigate(wxNavigationKeyEvent::IsForward) && GetParent())
            GetParent()->SetFocus();
    }
    const bool changed = wxControl::Enable(enable);
    if (!enable)
        EndHover();
    Refresh();
    return changed;
}

bool CHoverButton::IsPressed() const
{
    const bool selected = m_press.Pressed();
    return m_checkBox ? (selected || m_ticked) : (selected || m_menuShown);
}

HoverDrawState CHoverButton::CurrentState() const
{
    HoverDrawState state;
    state.pressed = IsPressed();
    state.hovering = m_hover;
    state.focused = HasFocus();
    state.checkBoxMode = m_checkBox;
    state.ticked = m_ticked;
    return state;
}

void CHoverButton::EndHover()
{
    // The hover look shows at the next repaint; leaving does not repaint by itself.
    if (m_flat)
        m_hover = false;
}

int CHoverButton::OnDrawBackground(wxDC& dc, const wxRect& rect)
{
    const wxColour colour = ToWxColour(m_model.BackgroundColor(CurrentState()));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(colour));
    dc.DrawRectangle(rect);
    return 0;
}

int CHoverButton::OnDrawBorder(wxDC& dc, const wxRect& rect)
{
    const wxColour highlight = SysColour(wxSYS_COLOUR_BTNHIGHLIGHT);
    const wxColour shadow = SysColour(wxSYS_COLOUR_BTNSHADOW);
    if (IsPressed())
        DrawEdgeFrame(dc, rect, shadow, highlight);
    else
        DrawEdgeFrame(dc, rect, highlight, shadow);
    return 0;
}

void CHoverButton::Draw(wxDC& dc, const wxRect& itemRect)
{
    const HoverDrawState state = CurrentState();
    const bool disabled = !IsEnabled();
    wxRect rect = itemRect;
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);

    if (!m_flat && (state.focused || m_default)) {
        DrawOutline(dc, rect, *wxBLACK);
        rect.Deflate(1);
    }

    if (m_parentBackground) {
        const wxColour parentColour = GetParent() ? GetParent()->GetBackgroundColour() : SysColour(wxSYS_COLOUR_BTNFACE);
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(parentColour));
        dc.DrawRectangle(rect);
    } else {
        OnDrawBackground(dc, rect);
    }

    if (state.pressed) {
        if (m_flat) {
            if (m_drawBorder)
                OnDrawBorder(dc, rect);
        } else {
            DrawOutline(dc, rect, SysColour(wxSYS_COLOUR_BTNSHADOW));
        }
    } else if (m_flat) {
        if (state.hovering && m_drawBorder)
            OnDrawBorder(dc, rect);
    } else {
        // Raised: highlight and 3-D light along the top and left, dark shadow and
        // shadow along the bottom and right.
        DrawEdgeFrame(dc, rect, SysColour(wxSYS_COLOUR_BTNHIGHLIGHT), SysColour(wxSYS_COLOUR_3DDKSHADOW));
        wxRect inner = rect;
        inner.Deflate(1);
        DrawEdgeFrame(dc, inner, SysColour(wxSYS_COLOUR_3DLIGHT), SysColour(wxSYS_COLOUR_BTNSHADOW));
    }

    const wxString caption = GetLabel();
    RECT captionRect = ToRect(itemRect);
    const Image& image = (ShowsInImage(state) || !m_out.bitmap.IsOk()) ? m_in : m_out;
    if (image.bitmap.IsOk()) {
        const POINT at = PlaceHoverImage(ToRect(itemRect), captionRect, SIZE{image.size.x, image.size.y},
                                         !caption.empty(), m_model.GetImageAlign(),
                                         state.pressed && !m_checkBox);
        // Icons grey out when disabled; bitmaps keep their colours.
        const wxBitmap picture = (m_iconImages && disabled) ? image.bitmap.ConvertToDisabled() : image.bitmap;
        dc.DrawBitmap(picture, at.x, at.y, true);
    }

    if (!caption.empty()) {
        wxRect text = ToWxRect(captionRect);
        if (state.pressed && !m_checkBox)
            text.Offset(1, 1);
        dc.SetFont(GetFont());
        const wxSize measured = dc.GetMultiLineTextExtent(caption);
        const wxRect placed = ToWxRect(CentreCaption(ToRect(text), SIZE{measured.x, measured.y}));
        if (disabled) {
            dc.SetTextForeground(SysColour(wxSYS_COLOUR_BTNHIGHLIGHT));
            wxRect embossed = placed;
            embossed.Offset(1, 1);
            dc.DrawLabel(caption, embossed, wxALIGN_CENTER);
            dc.SetTextForeground(SysColour(wxSYS_COLOUR_BTNSHADOW));
            dc.DrawLabel(caption, placed, wxALIGN_CENTER);
        } else {
            dc.SetTextForeground(ToWxColour(m_model.CaptionColor(state)));
            dc.SetTextBackground(ToWxColour(m_model.CaptionBackground(state)));
            dc.DrawLabel(caption, placed, wxALIGN_CENTER);
        }
    }

    if ((!m_flat || m_flatFocus) && state.focused) {
        wxRect focus = rect;
        focus.Deflate(3);
        wxRendererNative::Get().DrawFocusRect(this, dc, focus);
    }
}

void CHoverButton::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    Draw(dc, GetClientRect());
}

wxSize CHoverButton::DoGetBestSize() const
{
    wxClientDC dc(const_cast<CHoverButton*>(this));
    dc.SetFont(GetFont());
    const wxSize text = GetLabel().empty() ? wxSize(0, 0) : dc.GetMultiLineTextExtent(GetLabel());
    const wxSize image = m_in.bitmap.IsOk() ? m_in.size : wxSize(0, 0);
    if (m_model.GetImageAlign() == kAlignImageTop)
        return wxSize(std::max(text.x, image.x) + 12, text.y + image.y + 12);
    return wxSize(text.x + image.x + 15, std::max(text.y, image.y) + 12);
}

void CHoverButton::OnLeftDown(wxMouseEvent&)
{
    if (!IsEnabled())
        return;
    if (AcceptsFocus())
        SetFocus();
    m_press.Down();
    Refresh();
}

void CHoverButton::OnLeftUp(wxMouseEvent& event)
{
    if (!m_press.IsDown())
        return;
    const bool click = m_press.Up(GetClientRect().Contains(event.GetPosition()));
    Refresh();
    if (click)
        Click();
}

void CHoverButton::OnMotion(wxMouseEvent& event)
{
    const bool inside = GetClientRect().Contains(event.GetPosition());
    if (m_press.Move(inside))
        Refresh();
    if (!m_flat || (event.LeftIsDown() && !m_hover))
        return;
    auto* top = dynamic_cast<wxTopLevelWindow*>(wxGetTopLevelParent(this));
    const bool active = m_trackInactive || (top && top->IsActive());
    if (inside && active)
        m_hover = true;
    else
        EndHover();
}

void CHoverButton::OnLeave(wxMouseEvent& event)
{
    EndHover();
    event.Skip();
}

void CHoverButton::OnFocus(wxFocusEvent& event)
{
    if (event.GetEventType() == wxEVT_KILL_FOCUS)
        EndHover();
    Refresh();
    event.Skip();
}

void CHoverButton::OnKeyUp(wxKeyEvent& event)
{
    if (event.GetKeyCode() == WXK_SPACE && IsEnabled())
        Click();
    else
        event.Skip();
}

void CHoverButton::Click()
{
    if (m_checkBox) {
        m_ticked = !m_ticked;
        Refresh();
    } else if (m_menu) {
        wxWindow* owner = m_menuOwner ? m_menuOwner : this;
        m_menuShown = true;
        Refresh();
        Update();
        const wxPoint bottomLeft = owner->ScreenToClient(ClientToScreen(wxPoint(0, GetClientSize().y)));
        owner->PopupMenu(m_menu.get(), bottomLeft);
        m_menuShown = false;
        Refresh();
    } else if (!m_url.empty() && m_launcher) {
        m_launcher(m_url);
    }
    // The parent hears every click.
    wxCommandEvent click(wxEVT_BUTTON, GetId());
    click.SetEventObject(this);
    click.SetInt(m_ticked ? 1 : 0);
    ProcessWindowEvent(click);
}
