#pragma once
// Lays the static-text markup out with word wrap: which text goes where, in which font
// and colours, and where the links lie. The toolkit's text measurement comes in through
// HtmlTextMeasurer, so the layout runs without a window.

#include "controls/model/HtmlMarkup.h"
#include "platform/WinTypes.h"

#include <string>
#include <string_view>
#include <vector>

struct HtmlFontDesc {
    std::string face;
    int height = 13;  // character height in pixels
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;

    bool operator==(const HtmlFontDesc&) const = default;
};

class HtmlTextMeasurer {
public:
    virtual ~HtmlTextMeasurer() = default;
    // Width of the text on one line and the height of a line in that font (also for an
    // empty text).
    virtual SIZE Measure(std::string_view text, const HtmlFontDesc& font) = 0;
};

// One piece of text to draw with its cell filled in the background colour.
struct HtmlTextPiece {
    std::string text;
    int x = 0;
    int y = 0;
    HtmlFontDesc font;
    COLORREF color = 0;
    COLORREF background = 0;
};

struct HtmlLinkArea {
    RECT area;
    std::string target;  // as written in the markup, quotes included
};

struct HtmlLayoutResult {
    std::vector<HtmlTextPiece> pieces;
    std::vector<HtmlLinkArea> links;
};

struct HtmlLayoutDefaults {
    HtmlFontDesc font;
    COLORREF color = 0;
    COLORREF background = 0xFFFFFF;
};

// Lays out markup in a client area of width x height pixels at (0, 0). Every call starts
// afresh: no open tags and no link areas carry over from an earlier layout.
HtmlLayoutResult LayoutHtml(std::string_view markup, const HtmlLayoutDefaults& defaults, int width, int height,
                            HtmlTextMeasurer& measurer);

// The target of the first link area that holds the point, or null.
const HtmlLinkArea* HitLink(const std::vector<HtmlLinkArea>& links, POINT point);
