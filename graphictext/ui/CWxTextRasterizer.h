#pragma once
// Draws lines of text with the toolkit's fonts, one character at a time, into a text
// raster: a point is text when it comes out exactly black. For the user-interface thread
// only; workers reach it through CTextWorker.

#include "graphictext/model/TextRaster.h"

class CWxTextRasterizer : public TextLineRasterizer {
public:
    int DrawLine(TextRaster& raster, int y0, const std::string& line, const TextFont& font, int charSpacing) override;
};
