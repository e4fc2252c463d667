#include "controls/CHtmlStatic.h"

#include <wx/dcbuffer.h>
#include <wx/font.h>
#include <wx/settings.h>

#include <algorithm>

namespace {

// Measures with the window's text metrics; needs no drawing context.
class WindowMeasurer : public HtmlTextMeasurer {
public:
    explicit WindowMeasurer(const wxWindow& window) : m_window(window) {}
    SIZE Measure(std::string_view text, const HtmlFontDesc& desc) override
    {
        const wxFont font = HtmlFont(desc);
        int lineWidth = 0, lineHeight = 0;
        m_window.GetTextExtent(wxASCII_STR("Wg"), &lineWidth, &lineHeight, nullptr, nullptr, &font);
        int width = 0, height = 0;
        if (!text.empty())
            m_window.GetTextExtent(wxString::FromUTF8(text.data(), text.size()), &width, &height, nullptr, nullptr,
                                   &font);
        return SIZE{width, std::max(lineHeight, height)};
    }

private:
    const wxWindow& m_window;
};

}  // namespace

wxFont HtmlFont(const HtmlFontDesc& desc)
{
    wxFontInfo info(wxSize(0, std::max(1, desc.height)));
    if (!desc.face.empty())
        info.FaceName(wxString::FromUTF8(desc.face));
    info.Bold(desc.bold).Italic(desc.italic).Underlined(desc.underline).Strikethrough(desc.strike);
    return wxFont(info);
}

CHtmlStatic::CHtmlStatic()
    : m_background(ToColorRef(wxSystemSettings::GetColour(wxSYS_COLOUR_MENU))),
      m_text(ToColorRef(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT))), m_launcher(DefaultLinkLauncher())
{
}

CHtmlStatic::CHtmlStatic(wxWindow* parent, wxWindowID id, const wxString& markup, const wxPoint& pos,
                         const wxSize& size)
    : CHtmlStatic()
{
    Create(parent, id, markup, pos, size);
}

bool CHtmlStatic::Create(wxWindow* parent, wxWindowID id, const wxString& markup, const wxPoint& pos,
                         const wxSize& size)
{
    if (!wxControl::Create(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE))
        return false;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetLabel(markup);
    SetInitialSize(size);
    Bind(wxEVT_PAINT, &CHtmlStatic::OnPaint, this);
    Bind(wxEVT_MOTION, &CHtmlStatic::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &CHtmlStatic::OnLeave, this);
    Bind(wxEVT_LEFT_UP, &CHtmlStatic::OnLeftUp, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        Invalidate();
        e.Skip();
    });
    return true;
}

bool CHtmlStatic::SubclassControl(wxWindow* control)
{
    const ControlPlace place = ReadControlPlace(control);
    if (!place.parent || !Create(place.parent, place.id, place.label, place.position, place.size))
        return false;
    SetFont(control->GetFont());
    TakeControlPlace(this, control, place);
    return true;
}

void CHtmlStatic::SetLabel(const wxString& markup)
{
    m_markup = markup;
    Invalidate();
}

COLORREF CHtmlStatic::SetBackgroundColor(COLORREF color)
{
    const COLORREF previous = m_background;
    m_background = color;
    m_layoutValid = false;
    return previous;
}

COLORREF CHtmlStatic::SetForegroundColor(COLORREF color)
{
    const COLORREF previous = m_text;
    m_text = color;
    m_layoutValid = false;
    return previous;
}

void CHtmlStatic::Invalidate()
{
    m_layoutValid = false;
    Refresh();
}

const HtmlLayoutResult& CHtmlStatic::GetHtmlLayout()
{
    if (!m_layoutValid) {
        HtmlLayoutDefaults defaults;
        const wxFont font = GetFont();
        defaults.font.face = font.GetFaceName().utf8_string();
        defaults.font.height = font.GetPixelSize().y > 0 ? font.GetPixelSize().y : GetCharHeight();
        defaults.color = m_text;
        defaults.background = m_background;
        WindowMeasurer measurer(*this);
        const wxSize client = GetClientSize();
        // Every layout starts afresh: no open tags or old link areas carry over.
        m_layout = LayoutHtml(m_markup.utf8_string(), defaults, client.x, client.y, measurer);
        m_layoutValid = true;
    }
    return m_layout;
}

void CHtmlStatic::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(ToWxColour(m_background)));
    dc.Clear();
    dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
    for (const HtmlTextPiece& piece : GetHtmlLayout().pieces) {
        dc.SetFont(HtmlFont(piece.font));
        dc.SetTextForeground(ToWxColour(piece.color));
        dc.SetTextBackground(ToWxColour(piece.background));
        dc.DrawText(wxString::FromUTF8(piece.text), piece.x, piece.y);
    }
}

void CHtmlStatic::OnMotion(wxMouseEvent& event)
{
    const wxPoint at = event.GetPosition();
    const bool over = HitLink(GetHtmlLayout().links, POINT{at.x, at.y}) != nullptr;
    if (over != m_overLink) {
        m_overLink = over;
        SetCursor(over ? wxCursor(wxCURSOR_HAND) : wxNullCursor);
    }
    event.Skip();
}

void CHtmlStatic::OnLeave(wxMouseEvent& event)
{
    if (m_overLink) {
        m_overLink = false;
        SetCursor(wxNullCursor);
    }
    event.Skip();
}

void CHtmlStatic::OnLeftUp(wxMouseEvent& event)
{
    // The click stays here: the parent does not hear it.
    const wxPoint at = event.GetPosition();
    const HtmlLinkArea* link = HitLink(GetHtmlLayout().links, POINT{at.x, at.y});
    if (link && m_launcher) {
        const std::string address = UnquoteLinkTarget(link->target);
        if (!address.empty())
            m_launcher(wxString::FromUTF8(address));
    }
}

wxSize CHtmlStatic::DoGetBestSize() const { return wxSize(200, GetCharHeight() * 2); }
