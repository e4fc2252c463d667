#include "controls/model/HtmlLayout.h"

#include <algorithm>

namespace {

// The layout's working state while the tokens are read.
class Layouter {
public:
    Layouter(const HtmlLayoutDefaults& defaults, int width, int height, HtmlTextMeasurer& measurer)
        : m_defaults(defaults), m_width(width), m_height(height), m_measurer(measurer), m_font(defaults.font),
          m_color(defaults.color), m_background(defaults.background)
    {
    }

    void Apply(const HtmlToken& token);
    HtmlLayoutResult Take() { return std::move(m_result); }

private:
    static void Step(int& depth, int delta) { depth = std::max(0, depth + delta); }
    HtmlFontDesc RunFont() const;
    void LayoutRun(const std::string& text);
    void EmitLine(const std::string& line, const HtmlFontDesc& font, int lineHeight);
    // Moves the pen to a new line; false when no further line fits.
    bool NewLine();

    const HtmlLayoutDefaults& m_defaults;
    const int m_width;
    const int m_height;
    HtmlTextMeasurer& m_measurer;

    int m_bold = 0;
    int m_italic = 0;
    int m_underline = 0;
    int m_strike = 0;
    HtmlFontDesc m_font;  // font tags change this working copy; "</font>" restores it
    COLORREF m_color;
    COLORREF m_background;
    bool m_inLink = false;
    std::string m_target;

    int m_top = 0;         // pen: top of the current line
    int m_offset = 0;      // pen: where the next run continues on the current line
    int m_lineHeight = 0;  // tallest run on the current line so far
    HtmlLayoutResult m_result;
};

void Layouter::Apply(const HtmlToken& token)
{
    switch (token.kind) {
    case HtmlTokenKind::Text: LayoutRun(token.text); break;
    case HtmlTokenKind::Break: LayoutRun("\n"); break;
    case HtmlTokenKind::BoldOn: Step(m_bold, 1); break;
    case HtmlTokenKind::BoldOff: Step(m_bold, -1); break;
    case HtmlTokenKind::ItalicOn: Step(m_italic, 1); break;
    case HtmlTokenKind::ItalicOff: Step(m_italic, -1); break;
    case HtmlTokenKind::UnderlineOn: Step(m_underline, 1); break;
    case HtmlTokenKind::UnderlineOff: Step(m_underline, -1); break;
    case HtmlTokenKind::StrikeOn: Step(m_strike, 1); break;
    case HtmlTokenKind::StrikeOff: Step(m_strike, -1); break;
    case HtmlTokenKind::Font: {
        const HtmlFontAttributes attributes = ParseFontAttributes(token.text);
        if (attributes.color)
            m_color = *attributes.color;
        if (attributes.background)
            m_background = *attributes.background;
        if (attributes.face)
            m_font.face = *attributes.face;
        m_font.height += attributes.sizeIncrease;
        break;
    }
    case HtmlTokenKind::FontEnd:
        // Font tags do not nest: any closing tag returns to the control's defaults.
        m_font = m_defaults.font;
        m_color = m_defaults.color;
        m_background = m_defaults.background;
        break;
    case HtmlTokenKind::Link:
        m_target = token.text;
        m_inLink = true;
        break;
    case HtmlTokenKind::LinkEnd: m_inLink = false; break;
    }
}

HtmlFontDesc Layouter::RunFont() const
{
    HtmlFontDesc font = m_font;
    font.bold = m_bold > 0;
    font.italic = m_italic > 0;
    font.underline = m_underline > 0;
    font.strike = m_strike > 0;
    return font;
}

bool Layouter::NewLine()
{
    m_top += m_lineHeight;
    m_offset = 0;
    if (m_top >= m_height) {
        m_top = m_height;
        return false;
    }
    return true;
}

void Layouter::EmitLine(const std::string& line, const HtmlFontDesc& font, int lineHeight)
{
    const bool blank = line.find_first_not_of(" \t") == std::string::npos;
    if (blank || m_top + lineHeight > m_height)
        return;
    m_result.pieces.push_back({line, m_offset, m_top, font, m_color, m_background});
}

void Layouter::LayoutRun(const std::string& text)
{
    const HtmlFontDesc font = RunFont();
    const int runHeight = m_measurer.Measure("", font).cy;
    if (m_top + 1 >= m_height) {
        m_offset = 0;
        return;
    }
    m_lineHeight = m_offset == 0 ? runHeight : std::max(m_lineHeight, runHeight);

    bool areaRecorded = false;
    size_t pos = 0;
    const size_t n = text.size();
    while (true) {
        // Build one line word by word.
        std::string line;
        bool lineFeed = false;
        while (pos < n) {
            size_t p = pos;
            std::string word;
            while (p < n && text[p] == ' ')
                word += text[p++];
            while (p < n && text[p] == '\r')
                ++p;
            if (p < n && text[p] == '\n') {
                pos = p + 1;
                lineFeed = true;
                break;
            }
            while (p < n && text[p] != ' ')
                word += text[p++];
            if (line.empty() && m_offset == 0)
                word.erase(0, word.find_first_not_of(' ') == std::string::npos ? word.size()
                                                                                 : word.find_first_not_of(' '));
            const std::string candidate = line + word;
            const int available = m_width - m_offset - 5;
            if (m_measurer.Measure(candidate, font).cx >= available) {
                if (!line.empty())
                    break;  // the word starts the next line
                if (m_offset != 0) {
                    // Continuing after another run: start the word on a fresh line.
                    if (!NewLine())
                        return;
                    m_lineHeight = runHeight;
                    continue;
                }
                // One word wider than the whole line: it stands alone, clipped.
                line = candidate;
                pos = p;
                break;
            }
            line = candidate;
            pos = p;
        }
        if (m_inLink && !areaRecorded) {
            // The link's hit area: the run's text on one line, from where it starts.
            const SIZE extent = m_measurer.Measure(text, font);
            m_result.links.push_back(
                {RECT{m_offset, m_top, m_offset + extent.cx, m_top + extent.cy}, m_target});
            areaRecorded = true;
        }
        EmitLine(line, font, m_lineHeight);
        const int lineWidth = line.empty() ? 0 : m_measurer.Measure(line, font).cx;
        if (pos >= n && !lineFeed) {
            m_offset += lineWidth;
            return;
        }
        if (!NewLine())
            return;
        m_lineHeight = runHeight;
        if (pos >= n)
            return;
    }
}

}  // namespace

HtmlLayoutResult LayoutHtml(std::string_view markup, const HtmlLayoutDefaults& defaults, int width, int height,
                            HtmlTextMeasurer& measurer)
{
    Layouter layouter(defaults, width, height, measurer);
    for (const HtmlToken& token : TokenizeHtml(markup))
        layouter.Apply(token);
    return layouter.Take();
}

const HtmlLinkArea* HitLink(const std::vector<HtmlLinkArea>& links, POINT point)
{
    for (const HtmlLinkArea& link : links) {
        if (point.x >= link.area.left && point.x < link.area.right && point.y >= link.area.top &&
            point.y < link.area.bottom)
            return &link;
    }
    return nullptr;
}
