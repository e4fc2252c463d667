#include "editor/model/MessageText.h"

namespace pixoro {

namespace {

constexpr std::string_view kBreak = "\xe2\x80\x8b";  // U+200B ZERO WIDTH SPACE

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool StartsCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }

size_t CharacterCount(std::string_view run)
{
    size_t count = 0;
    for (char c : run)
        count += StartsCharacter(c) ? 1 : 0;
    return count;
}

void AppendBroken(std::string& out, std::string_view run, size_t maxRun)
{
    if (CharacterCount(run) <= maxRun) {
        out += run;
        return;
    }
    size_t sinceBreak = 0;
    for (size_t i = 0; i < run.size(); ++i) {
        const char c = run[i];
        // A break goes before a character, never inside one.
        if (StartsCharacter(c) && sinceBreak >= maxRun) {
            out += kBreak;
            sinceBreak = 0;
        }
        out += c;
        if (StartsCharacter(c))
            ++sinceBreak;
        if (c == '/' && i + 1 < run.size()) {
            out += kBreak;
            sinceBreak = 0;
        }
    }
}

}  // namespace

std::string BreakLongRuns(std::string_view text, size_t maxRun)
{
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && !IsBlank(text[end]))
            ++end;
        AppendBroken(out, text.substr(start, end - start), maxRun);
        while (end < text.size() && IsBlank(text[end]))
            out += text[end++];
        start = end;
    }
    return out;
}

}  // namespace pixoro
