#pragma once
// The metafile reader's raster: a 24-bit picture in memory that the record
// interpreter paints with filled polygons, lines and stretched bitmaps. No window
// system, no shared state: safe on any thread. Coordinates are output pixels as
// doubles (pixel (x, y) covers x..x+1, y..y+1, rows from the top). Belongs to
// CLfImageWMF alone.

#include "image/CLfImage.h"

#include <cstdint>
#include <vector>

namespace lfwmf {

struct PointD {
    double x = 0;
    double y = 0;
};
using Outline = std::vector<PointD>;

class Canvas {
public:
    // A width x height picture filled with background. workBudget bounds the pixels
    // and edge steps all painting may take, so a hostile file cannot stall a thread.
    Canvas(uint32_t width, uint32_t height, RGBQUAD background, uint64_t workBudget);

    // Fills the outlines (each closed), by the winding or the alternate rule.
    void Fill(const std::vector<Outline>& outlines, bool winding, RGBQUAD colour);
    // Lines through the points (closed: back to the first) with a pen width in pixels.
    void Stroke(const Outline& points, bool closed, RGBQUAD colour, double width);
    // Paints the source rectangle (sx, sy, sw, sh; rows from the top) of a picture
    // into the destination rectangle, nearest pixel; a negative dw or dh mirrors.
    // rop: the raster operation of the record (copy, and, or, xor; others copy).
    void Blit(const CLfImage& source, int64_t sx, int64_t sy, int64_t sw, int64_t sh, double dx, double dy, double dw,
              double dh, uint32_t rop);

    // False once the work budget ran out (the picture is then incomplete).
    bool WithinBudget() const { return m_budget > 0; }
    // Blue-green-red rows, top row first, width x 3 bytes each.
    const uint8_t* Row(uint32_t y) const { return m_pixels.data() + size_t(y) * m_width * 3; }
    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }

private:
    bool Spend(uint64_t work);
    void Span(int64_t y, int64_t x0, int64_t x1, RGBQUAD colour);
    void ThinLine(PointD a, PointD b, RGBQUAD colour);

    uint32_t m_width;
    uint32_t m_height;
    std::vector<uint8_t> m_pixels;
    uint64_t m_budget;
};

// Outlines of the curved shapes, in the same coordinates as their box.
Outline EllipseOutline(double left, double top, double right, double bottom);
Outline RoundRectOutline(double left, double top, double right, double bottom, double cornerWidth,
                         double cornerHeight);

}  // namespace lfwmf
