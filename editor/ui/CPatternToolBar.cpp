#include "editor/ui/CPatternToolBar.h"

#include "editor/ui/CIconMenu.h"
#include "editor/model/ToolbarFilters.h"
#include "resources/editor/EditorToolbar.h"

#include <wx/dc.h>
#include <wx/image.h>

namespace {

RgbPixels ToPixels(const wxBitmap& bitmap)
{
    const wxImage image = bitmap.ConvertToImage();
    RgbPixels pixels{image.GetWidth(), image.GetHeight(), {}};
    pixels.rgb.assign(image.GetData(), image.GetData() + size_t(image.GetWidth()) * size_t(image.GetHeight()) * 3);
    return pixels;
}

// Button i's image out of a filtered strip.
wxBitmap Button(const RgbPixels& strip, int i)
{
    wxImage image(strip.width, strip.height);
    std::copy(strip.rgb.begin(), strip.rgb.end(), image.GetData());
    return wxBitmap(image.GetSubImage(wxRect(i * kToolButtonWidth, 0, kToolButtonWidth, kToolButtonHeight)));
}

// Paints the toolbar's ground with the gradient pattern and keeps the rest of the look.
class PatternArt : public wxAuiDefaultToolBarArt {
public:
    explicit PatternArt(const wxBitmap& pattern) : m_pattern(pattern) {}
    wxAuiToolBarArt* Clone() override { return new PatternArt(m_pattern); }
    void DrawBackground(wxDC& dc, wxWindow*, const wxRect& rect) override { Fill(dc, rect); }
    void DrawPlainBackground(wxDC& dc, wxWindow*, const wxRect& rect) override { Fill(dc, rect); }

private:
    void Fill(wxDC& dc, const wxRect& rect)
    {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(m_pattern));
        dc.DrawRectangle(rect);
    }
    wxBitmap m_pattern;
};

}  // namespace

CPatternToolBar::CPatternToolBar(wxWindow* parent, wxWindowID id)
    : wxAuiToolBar(parent, id, wxDefaultPosition, wxDefaultSize,
                   wxAUI_TB_HORIZONTAL | wxAUI_TB_OVERFLOW | wxAUI_TB_PLAIN_BACKGROUND)
{
    const wxBitmap background = MakeToolbarBackground();
    SetArtProvider(new PatternArt(background));
    SetToolBitmapSize(wxSize(kToolButtonWidth, kToolButtonHeight));
    SetToolPacking(0);
    SetToolSeparation(0);

    const RgbPixels strip = ToPixels(MakeToolbarStrip());
    const RgbPixels ground = ToPixels(background);
    const RgbPixels normal = PatternFilter(strip, ground, kToolbarKeyColour);
    const RgbPixels disabled = GrayFilter(strip, ground, kToolbarKeyColour);
    const auto& buttons = EditorToolButtons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        const wxString tip = ToolTipText(buttons[i]);
        AddTool(buttons[i].id, wxString(), Button(normal, int(i)), Button(disabled, int(i)), wxITEM_NORMAL, tip,
                StatusText(buttons[i]), nullptr);
    }
    Realize();
    Bind(wxEVT_AUITOOLBAR_OVERFLOW_CLICK, &CPatternToolBar::OnOverflow, this);
}

std::vector<int> CPatternToolBar::HiddenTools() const
{
    std::vector<int> ids;
    for (int i = 0; i < int(GetToolCount()); ++i)
        if (!GetToolFitsByIndex(i))
            ids.push_back(FindToolByIndex(i)->GetId());
    return ids;
}

int CPatternToolBar::FullWidth() const { return GetBestSize().x; }

void CPatternToolBar::OnOverflow(wxAuiToolBarEvent&)
{
    const std::vector<int> hidden = HiddenTools();
    if (hidden.empty())
        return;
    // Enabled states as the window shows them now.
    UpdateWindowUI(wxUPDATE_UI_RECURSE);
    CIconMenu menu(*this, hidden);
    const wxSize client = GetClientSize();
    PopupMenu(&menu, client.x - 16, client.y);
}
