#pragma once
// A rasterizer without fonts for the renderer's tests: every character is a solid box,
// glyphWidth wide (the measured width) and the font's height high, so the text points
// of a line are known exactly.

#include "graphictext/model/TextRaster.h"

#include <string>
#include <vector>

class FakeRasterizer : public TextLineRasterizer {
public:
    explicit FakeRasterizer(int glyphWidth = 4) : m_glyphWidth(glyphWidth) {}

    int DrawLine(TextRaster& raster, int y0, const std::string& line, const TextFont& font, int charSpacing) override
    {
        fonts.push_back(font);
        if (refuseAfter >= 0 && static_cast<int>(fonts.size()) > refuseAfter)
            return -1;
        int x = 0;
        for (size_t i = 0; i < line.size(); ++i) {
            for (int dx = 0; dx < m_glyphWidth; ++dx)
                for (int dy = 0; dy < font.height; ++dy)
                    raster.SetText(x + dx, y0 + dy);
            x += m_glyphWidth + charSpacing;
        }
        return x;
    }

    std::vector<TextFont> fonts;  // one per line drawn
    int refuseAfter = -1;         // refuse every line after this many

private:
    int m_glyphWidth;
};
