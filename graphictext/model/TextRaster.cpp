#include "graphictext/model/TextRaster.h"

#include <algorithm>

TextRaster::TextRaster(int width, int height, int storedRows)
    : m_width(std::max(0, width)), m_height(std::max(0, height)), m_rows(std::clamp(storedRows, 0, m_height))
{
    m_bits.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_rows), 0);
}

void TextRaster::Clear() { std::fill(m_bits.begin(), m_bits.end(), uint8_t{0}); }
