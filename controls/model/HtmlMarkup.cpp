#include "controls/model/HtmlMarkup.h"

#include "controls/model/CHtmlColor.h"

#include <array>
#include <cstdlib>

namespace {

struct SimpleTag {
    const char* lower;
    const char* upper;
    HtmlTokenKind kind;
};

constexpr std::array<SimpleTag, 11> kSimpleTags = {{
    {"<b>", "<B>", HtmlTokenKind::BoldOn},
    {"</b>", "</B>", HtmlTokenKind::BoldOff},
    {"<i>", "<I>", HtmlTokenKind::ItalicOn},
    {"</i>", "</I>", HtmlTokenKind::ItalicOff},
    {"<u>", "<U>", HtmlTokenKind::UnderlineOn},
    {"</u>", "</U>", HtmlTokenKind::UnderlineOff},
    {"<strike>", "<STRIKE>", HtmlTokenKind::StrikeOn},
    {"</strike>", "</STRIKE>", HtmlTokenKind::StrikeOff},
    {"</font>", "</FONT>", HtmlTokenKind::FontEnd},
    {"</a>", "</A>", HtmlTokenKind::LinkEnd},
    {"<br>", "<BR>", HtmlTokenKind::Break},
}};

bool StartsWithEither(std::string_view text, std::string_view lower, std::string_view upper)
{
    return text.starts_with(lower) || text.starts_with(upper);
}

void AppendText(std::vector<HtmlToken>& tokens, std::string_view text)
{
    if (!tokens.empty() && tokens.back().kind == HtmlTokenKind::Text)
        tokens.back().text.append(text);
    else
        tokens.push_back({HtmlTokenKind::Text, std::string(text)});
}

}  // namespace

std::vector<HtmlToken> TokenizeHtml(std::string_view markup)
{
    std::vector<HtmlToken> tokens;
    std::string_view rest = markup;
    while (!rest.empty()) {
        if (rest[0] != '<') {
            const size_t next = rest.find('<');
            tokens.push_back({HtmlTokenKind::Text, std::string(rest.substr(0, next))});
            rest.remove_prefix(next == std::string_view::npos ? rest.size() : next);
            continue;
        }
        bool matched = false;
        for (const SimpleTag& tag : kSimpleTags) {
            if (StartsWithEither(rest, tag.lower, tag.upper)) {
                tokens.push_back({tag.kind, {}});
                rest.remove_prefix(std::string_view(tag.lower).size());
                matched = true;
                break;
            }
        }
        if (matched)
            continue;
        const bool font = StartsWithEither(rest, "<font", "<FONT");
        const bool link = !font && StartsWithEither(rest, "<a href=", "<A HREF=");
        if (font || link) {
            const size_t close = rest.find('>');
            if (close == std::string_view::npos) {
                AppendText(tokens, rest);
                break;
            }
            const size_t nameLength = font ? 5 : 8;
            tokens.push_back({font ? HtmlTokenKind::Font : HtmlTokenKind::Link,
                              std::string(rest.substr(nameLength, close - nameLength))});
            rest.remove_prefix(close + 1);
            continue;
        }
        // A "<" that begins no tag is a run of its own.
        tokens.push_back({HtmlTokenKind::Text, "<"});
        rest.remove_prefix(1);
    }
    return tokens;
}

HtmlFontAttributes ParseFontAttributes(std::string_view text)
{
    HtmlFontAttributes result;
    enum class Name { Color, Background, Face, Size };
    struct AttributeName {
        const char* lower;
        const char* upper;
        Name name;
    };
    static constexpr std::array<AttributeName, 4> kNames = {{
        {"bgcolor", "BGCOLOR", Name::Background},
        {"color", "COLOR", Name::Color},
        {"face", "FACE", Name::Face},
        {"size", "SIZE", Name::Size},
    }};
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        const AttributeName* found = nullptr;
        for (const AttributeName& candidate : kNames) {
            if (StartsWithEither(text.substr(pos), candidate.lower, candidate.upper)) {
                found = &candidate;
                break;
            }
        }
        if (!found) {
            const size_t space = text.find(' ', pos);
            if (space == std::string_view::npos)
                break;
            pos = space + 1;
            continue;
        }
        const size_t open = text.find('"', pos + std::string_view(found->lower).size());
        if (open == std::string_view::npos)
            break;
        const size_t close = text.find('"', open + 1);
        if (close == std::string_view::npos) {
            // Skip this attribute: what follows its opening quote is not read as names.
            break;
        }
        const std::string_view value = text.substr(open + 1, close - open - 1);
        switch (found->name) {
        case Name::Color: result.color = CHtmlColor(value).GetValue(); break;
        case Name::Background: result.background = CHtmlColor(value).GetValue(); break;
        case Name::Face: result.face = std::string(value.substr(0, kMaxFaceLength)); break;
        case Name::Size: result.sizeIncrease += std::atoi(std::string(value).c_str()); break;
        }
        pos = close + 1;
    }
    return result;
}

std::string UnquoteLinkTarget(std::string_view target)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!target.empty() && isBlank(target.front()))
        target.remove_prefix(1);
    while (!target.empty() && isBlank(target.back()))
        target.remove_suffix(1);
    if (!target.empty() && (target.front() == '"' || target.front() == '\''))
        target.remove_prefix(1);
    if (!target.empty() && (target.back() == '"' || target.back() == '\''))
        target.remove_suffix(1);
    return std::string(target);
}
