#include "editor/dialogs/NumberText.h"

#include <algorithm>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<long> ParseBoundedInteger(std::string_view text, long low, long high)
{
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
        return std::nullopt;
    // Accumulate the magnitude, stopping once it passes either bound.
    const long limit = std::max(high < 0 ? -high : high, low < 0 ? -low : low);
    long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const long digit = text[i] - '0';
        magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
    }
    return std::clamp(negative ? -magnitude : magnitude, low, high);
}

long ParseBoundedNumber(std::string_view text, long low, long high)
{
    return ParseBoundedInteger(text, low, high).value_or(std::clamp(0L, low, high));
}
