#pragma once
// The metafile reader's raster: a 2-D renderer (cairo's image surface, no window
// system, no shared state: safe on any thread) that the record player paints with
// paths, pens, brushes, text and bitmaps. Coordinates given to it are output pixels
// as doubles (pixel (x, y) covers x..x+1, y..y+1, rows from the top); the player
// maps logical coordinates itself. Belongs to CLfImageWMF alone.

#include "image/CLfImage.h"

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lfwmf {

struct PointD {
    double x = 0;
    double y = 0;
};

// Affine maps in cairo's layout: x' = xx x + xy y + x0, y' = yx x + yy y + y0.
using Affine = cairo_matrix_t;
Affine Identity();
// first, then second.
Affine Then(const Affine& first, const Affine& second);
PointD Apply(const Affine& m, PointD p);
// A map that can be inverted and holds no infinities.
bool Usable(const Affine& m);

struct CairoFree {
    void operator()(cairo_t* p) const { cairo_destroy(p); }
    void operator()(cairo_surface_t* p) const { cairo_surface_destroy(p); }
    void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
    void operator()(cairo_region_t* p) const { cairo_region_destroy(p); }
    void operator()(cairo_path_t* p) const { cairo_path_destroy(p); }
    void operator()(cairo_font_face_t* p) const { cairo_font_face_destroy(p); }
    void operator()(cairo_scaled_font_t* p) const { cairo_scaled_font_destroy(p); }
};
using Surface = std::shared_ptr<cairo_surface_t>;
using Region = std::unique_ptr<cairo_region_t, CairoFree>;
Region CopyRegion(const cairo_region_t* r);

std::string Utf8(const std::u32string& text);

// A picture of a record as a surface (24-bit colour), or null.
Surface SurfaceOf(const CLfImage& picture);

struct Pen {
    bool visible = true;
    RGBQUAD colour{};
    double width = 0;  // logical units; 0 is one pixel
    int style = 0;     // solid, dash, dot, dash-dot, dash-dot-dot, null, inside frame, user
    int cap = 0;       // round, square, flat
    int join = 0;      // round, bevel, mitre
    bool geometric = false;
    std::vector<double> dashes;  // user style, in logical units
};

struct Brush {
    enum Style { Solid, Hollow, Hatched, Pattern, MonoPattern };
    Style style = Solid;
    RGBQUAD colour{255, 255, 255, 0};
    int hatch = 0;
    Surface pattern;  // Pattern: the picture; MonoPattern: white where the text colour goes
};

struct Font {
    std::string face;
    double height = 0;  // logical; negative: character height, positive: cell height
    double width = 0;   // average character width, 0: the face's own
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    double escapement = 0;  // tenths of a degree, counter-clockwise
};

// What the text of one record needs besides its characters.
struct TextRun {
    std::u32string text;
    std::vector<double> dx;  // advance after each character (logical), empty: the font's own
    PointD origin;           // logical reference point
    uint32_t align = 0;      // the device context's text alignment
    double extra = 0;        // character spacing added after each character (logical)
    bool yUp = false;        // the page's y axis points up: text stays upright
    bool glyphs = false;     // text holds glyph numbers of the font, not characters
};

// The binary raster operation that leaves pen and brush colours as they are.
constexpr int kRop2Copy = 13;

class Canvas {
public:
    // A width x height picture filled with background. workBudget bounds the work all
    // painting may take (in pixels; a path segment or a dash costs as many pixels as
    // drawing it takes time), so a hostile file cannot stall a thread. cancelled, asked
    // now and then also inside long paths, stops all further painting when it says so.
    Canvas(uint32_t width, uint32_t height, RGBQUAD background, uint64_t workBudget,
           std::function<bool()> cancelled = {});

    // The current path, in output pixels; far coordinates are pulled in.
    void MoveTo(PointD p);
    void LineTo(PointD p);
    void CurveTo(PointD a, PointD b, PointD c);
    void ClosePath();
    void NewPath();
    bool HasPoint() const;
    PointD CurrentPoint() const;

    // Fills the current path (kept) with the brush; text and background colours for
    // hatch gaps (opaque: painted) and monochrome patterns. rop2: the binary raster
    // operation (1 black .. 16 white) that meets the picture's pixels.
    void Fill(const Brush& brush, bool winding, RGBQUAD text, RGBQUAD back, bool opaque, int rop2 = kRop2Copy);
    // Strokes the current path (kept unless keep is false). toDevice: the
    // logical-to-pixel map, whose linear part shapes a pen wider than one pixel.
    void Stroke(const Pen& pen, const Affine& toDevice, bool keep = true, int rop2 = kRop2Copy);
    // Fills the current path (kept) with a pattern given in output pixels (gradients).
    void FillPattern(cairo_pattern_t* pattern);
    // A triangle (output pixels) whose colours (red, green, blue, 0..1) mix linearly
    // from its corners; each pixel takes the colour of its top-left corner.
    void ShadedTriangle(const PointD (&corners)[3], const double (&colours)[3][3]);
    // Replaces the current path by the outline of the area the pen would paint along it.
    // A cosmetic pen of one pixel has no area: the path stays.
    void WidenPath(const Pen& pen, const Affine& toDevice);
    // Where hatch and pattern brushes start their tiles (output pixels).
    void SetBrushOrigin(PointD origin) { m_brushOrigin = origin; }

    // The clip, in output pixels; null: the whole picture.
    void SetClip(const cairo_region_t* region);
    // The pixels inside the current path (winding or alternate rule); clears the path.
    Region PathRegion(bool winding);

    // Ternary raster operation over the destination parallelogram: the source
    // rectangle (sx, sy, sw, sh; rows from the top) of source mapped by
    // sourceToDevice, the brush as pattern. source null: no source (pattern blits).
    // mask: where its pixel is black the background operation (rop >> 24) applies.
    void RasterOp(const cairo_surface_t* source, double sx, double sy, double sw, double sh,
                  const Affine& sourceToDevice, uint32_t rop, const Brush* brush, RGBQUAD text, RGBQUAD back,
                  const cairo_surface_t* mask = nullptr, bool smooth = false);
    // The same over a region of output pixels (pattern and destination only).
    void RegionOp(const cairo_region_t* region, uint32_t rop, const Brush* brush, RGBQUAD text, RGBQUAD back);
    // One pixel.
    void SetPixel(int64_t x, int64_t y, RGBQUAD colour);
    // The source rectangle (as for RasterOp) painted over the picture through its own
    // premultiplied alpha times alpha.
    void Composite(const cairo_surface_t* source, double sx, double sy, double sw, double sh,
                   const Affine& sourceToDevice, double alpha, bool smooth);
    // The pixels 4-connected to (x, y) that are of colour (surface) or not of it
    // (border), drawn so far; empty when (x, y) is outside the picture or the clip.
    Region FloodRegion(int64_t x, int64_t y, RGBQUAD colour, bool surface);

    // Text of the run in the font through the logical-to-pixel map. toPath: adds the glyph outlines to the current
    // path instead of painting. Returns the run's advance along its baseline (logical).
    double Text(const TextRun& run, const Font& font, const Affine& toDevice, bool toPath, RGBQUAD colour,
                RGBQUAD back, bool opaque);
    // False once the work budget ran out or the work was cancelled (the picture then
    // holds what was drawn until then).
    bool WithinBudget() const { return m_budget > 0; }
    bool Cancelled() const { return m_cancelled; }
    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    // Blue-green-red rows, top row first, width x 3 bytes each.
    void CopyRow(uint32_t y, uint8_t* bgr);

private:
    bool Spend(uint64_t work);
    // Asks whether the work is to stop; from then on nothing more is drawn.
    void CheckCancel();
    void ApplyClip();
    // Charges filling the current path over area pixels, smoothed or not.
    bool SpendOnFill(double area, bool smooth);
    // The path's box on the picture widened by widen pixels; false when it misses the picture.
    bool PathBox(double widen, double& area) const;
    void PaintPath(bool stroke, int rop2);
    // Meets the picture's pixels in the box with the group's colours and coverage by the
    // raster operation rop2.
    void CombineLayer(cairo_pattern_t* group, int left, int top, int right, int bottom, int rop2);
    void AddLength(PointD to);
    cairo_pattern_t* BrushPattern(const Brush& brush, RGBQUAD text, RGBQUAD back, bool opaque);
    void Combine(const cairo_surface_t* source, const Affine* sourceToDevice, double sx, double sy, double sw,
                 double sh, const cairo_region_t* area, uint32_t rop, const Brush* brush, RGBQUAD text,
                 RGBQUAD back, const cairo_surface_t* mask, bool smooth);
    cairo_font_face_t* FaceFor(const Font& font);

    uint32_t m_width;
    uint32_t m_height;
    uint64_t m_budget;
    std::function<bool()> m_isCancelled;
    bool m_cancelled = false;
    uint32_t m_steps = 0;
    std::unique_ptr<cairo_surface_t, CairoFree> m_surface;
    std::unique_ptr<cairo_t, CairoFree> m_cr;
    // Per raster operation, its result for every pen and destination byte; made when
    // the operation is first used.
    std::map<int, std::vector<uint8_t>> m_rop2Tables;
    Region m_clip;
    bool m_clipDirty = false;
    double m_pathLength = 0;  // pixels
    uint64_t m_pathSegments = 0;
    // The rows the path's lines cross, summed: the scan conversion's work for a fill.
    double m_pathRows = 0;
    PointD m_last;
    PointD m_brushOrigin;
    std::map<std::string, std::unique_ptr<cairo_font_face_t, CairoFree>> m_faces;
};

// Outline of the elliptical arc in the box (logical), from the angle of start to the
// angle of end (points on the rays from the centre; full: the whole ellipse), as
// Bézier segments mapped to pixels. clockwise: the direction as seen with y downwards. Adds to the path: a line
// from the current point when there is one and join is set, else a move.
// Returns the arc's last point (logical).
PointD ArcPath(Canvas& canvas, const Affine& toDevice, double left, double top, double right, double bottom,
               PointD start, PointD end, bool clockwise, bool join, bool full = false);

}  // namespace lfwmf
