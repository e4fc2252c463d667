#pragma once
// The static-text markup split into text runs and tags. Each tag is recognised in two
// spellings only, all lower case or all upper case ("<b>", "<B>"); any other mix is
// text. There are no character entities.

#include "platform/WinTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class HtmlTokenKind {
    Text,       // text: the run
    BoldOn,
    BoldOff,
    ItalicOn,
    ItalicOff,
    UnderlineOn,
    UnderlineOff,
    StrikeOn,
    StrikeOff,
    Font,       // text: the attributes between "<font" and ">"
    FontEnd,
    Link,       // text: everything between "<a href=" and ">", quotes included
    LinkEnd,
    Break,
};

struct HtmlToken {
    HtmlTokenKind kind;
    std::string text;
};

// Splits markup into runs and tags. A "<font" or "<a href=" without a later ">" is the
// rest of the text drawn as it stands, so the layout always ends.
std::vector<HtmlToken> TokenizeHtml(std::string_view markup);

// What a font tag asks for; absent members leave the working font as it is.
struct HtmlFontAttributes {
    std::optional<COLORREF> color;
    std::optional<COLORREF> background;
    std::optional<std::string> face;  // cut to kMaxFaceLength characters
    int sizeIncrease = 0;             // pixels added to the character height; sizes add up
};

inline constexpr size_t kMaxFaceLength = 31;

// Reads "color", "bgcolor", "face" and "size" (each in lower or upper case), left to
// right. Every value stands in double quotes; with no opening quote the rest of the tag
// is ignored, with no closing quote the attribute is skipped; any other attribute is
// skipped up to the next space.
HtmlFontAttributes ParseFontAttributes(std::string_view attributes);

// A link target as the markup gives it, with blanks and one pair of surrounding quotes
// removed: the address handed to the browser as one argument.
std::string UnquoteLinkTarget(std::string_view target);
