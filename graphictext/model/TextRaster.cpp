#include "graphictext/model/TextRaster.h"

#include <algorithm>

TextRaster::TextRaster(int width, int height, int storedRows)
    : m_width(std::max(0, width)), m_height(std::max(0, height)), m_rows(std::clamp(storedRows, 0, m_height))
{
    m_bits.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_rows), 0);
}

void TextRaster::Clear() { std::fill(m_bits.begin(), m_bits.end(), uint8_t{0}); }

IndexSpan ClipIndices(int count, long long start, int step, long long lo, long long hi)
{
    long long first = 0;
    long long last = 0;  // one past
    if (step >= 0) {
        first = lo - start;
        last = hi - start;
    } else {
        first = start - hi + 1;
        last = start - lo + 1;
    }
    first = std::clamp<long long>(first, 0, std::max(count, 0));
    last = std::clamp<long long>(last, first, std::max(count, 0));
    return IndexSpan{static_cast<int>(first), static_cast<int>(last)};
}
