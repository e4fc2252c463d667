#pragma once
// A one-bit picture of text: a point is text or not. Its logical size is what drawing is
// clipped to; only the top rows a rendering reads are stored, so a raster as large as a
// full-size image costs no more than the text block's rows.

#include <cstdint>
#include <string>
#include <vector>

class TextRaster {
public:
    TextRaster() = default;
    // width x height logical points; rows at or below storedRows are never kept.
    TextRaster(int width, int height, int storedRows);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int StoredRows() const { return m_rows; }

    // Points outside the raster (or below the stored rows) are never text.
    bool IsText(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_rows)
            return false;
        return m_bits[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)] != 0;
    }
    // Marks a point as text; points outside are dropped.
    void SetText(int x, int y)
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_rows)
            return;
        m_bits[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)] = 1;
    }
    void Clear();

private:
    int m_width = 0;
    int m_height = 0;
    int m_rows = 0;
    std::vector<uint8_t> m_bits;
};

// A run of indices [begin, end).
struct IndexSpan {
    int begin = 0;
    int end = 0;
};

// The indices i of 0..count-1 whose point start + step x i (step 1 or -1) lies in
// [lo, hi): the part of a raster's columns or rows that lands on a picture. A block
// spaced out far past the picture is thus walked only where it can show.
IndexSpan ClipIndices(int count, long long start, int step, long long lo, long long hi);

// How a line of text is drawn into a raster: every character by itself with its own
// measured width plus the spacing after it, so pairs are never kerned.
struct TextFont {
    std::string face;
    int height = 0;  // pixels, the character cell
    int weight = 400;
    bool underline = false;
};

class TextLineRasterizer {
public:
    virtual ~TextLineRasterizer() = default;
    // Draws line into raster with its top at row y0, from column 0. Returns the line's
    // width (the measured widths plus spacing after every character), or -1 when the
    // drawing was refused (the job is being cancelled).
    virtual int DrawLine(TextRaster& raster, int y0, const std::string& line, const TextFont& font,
                         int charSpacing) = 0;
};
