#include "platform/StringSort.h"

#include <algorithm>
#include <cstdint>
#include <locale.h>
#include <wctype.h>

namespace {

// Bytes that start no valid UTF-8 sequence sort after every character, by their value.
constexpr uint32_t kRawByteBase = 0x110000;

// The letter case of every Unicode character, whatever the process's own locale is.
locale_t UnicodeCaseLocale()
{
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

// The character at text[i] (advancing i past it), or a raw byte when no valid sequence starts there.
uint32_t NextCharacter(std::string_view text, size_t& i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    uint32_t c = 0, minimum = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, minimum = 0x10000;
    }
    bool valid = length > 0 && i + length <= text.size();
    for (size_t k = 1; valid && k < length; ++k) {
        valid = (byte(i + k) & 0xC0) == 0x80;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past the last character are no characters.
    if (!valid || c < minimum || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        ++i;
        return kRawByteBase + lead;
    }
    i += length;
    return c;
}

uint32_t FoldCase(uint32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
    const locale_t locale = UnicodeCaseLocale();
    if (c >= kRawByteBase || !locale)
        return c;
    return static_cast<uint32_t>(towlower_l(static_cast<wint_t>(c), locale));
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const uint32_t x = FoldCase(NextCharacter(a, i));
        const uint32_t y = FoldCase(NextCharacter(b, j));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (i == a.size() && j == b.size())
        return 0;
    return i == a.size() ? -1 : 1;
}

void SortStringArray(std::vector<std::string>& names)
{
    // Stable, so that names differing only in case stay in the order the folder gave.
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
}
