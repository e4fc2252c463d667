#include "editor/model/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

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

std::optional<double> ParseBoundedReal(std::string_view text, double low, double high)
{
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Plain decimal notation only: no signs after the first, no "inf" or "nan".
    if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.'))
        return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        // Beyond a double: huge when a digit other than 0 comes before the point.
        const size_t firstDigit = text.find_first_not_of('0');
        const bool huge = firstDigit != std::string_view::npos && text[firstDigit] != '.';
        value = huge ? std::max(std::fabs(low), std::fabs(high)) : 0.0;
    } else if (error != std::errc() || end == text.data() || !std::isfinite(value))
        return std::nullopt;
    return std::clamp(negative ? -value : value, low, high);
}
