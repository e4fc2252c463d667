#include "image/codecs/CLfImageWMF_priv.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lfwmf {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Coordinates far outside the picture are pulled in: cairo's fixed-point
// coordinates end near eight million.
constexpr double kFar = 1e6;
// Glyphs larger than this (pixels) are not drawn: their rendering alone would
// take more memory than any picture here.
constexpr double kLargestGlyph = 16000;
// Segments stroked at a time: the time cairo takes for one path grows with the
// square of its self-crossings, so long paths are stroked in pieces (the joins
// inside a piece stay exact).
constexpr int kPieceSegments = 200;
// Work charged, in pixels of painting that take the same time (measured): a
// stroke or fill call, a segment (or a dash) of a path, and a row that a line
// crosses when filled, smoothed or not.
constexpr double kCallWork = 200;
constexpr double kSegmentWork = 100;
constexpr double kRowWork = 10;
constexpr double kSmoothRowWork = 40;
// A raster operation's pixel, through its source, pattern and mask layers.
constexpr uint64_t kRasterWork = 3;
// Strokes: one-pixel pens and long paths are drawn unsmoothed (as the metafiles'
// own system draws them all), shorter paths of wider pens smoothed at several
// times the cost per segment, per pixel of the pen's track and per crossing of the
// path with itself.
struct StrokeWork {
    double call, segment, pixel, crossing;
};
constexpr StrokeWork kThinWork{100, 100, 1.0 / 3, 25};
constexpr StrokeWork kRoughWork{100, 100, 0.5, 25};
constexpr StrokeWork kSmoothWork{200, 300, 3, 20};
// Dash patterns shorter than this many pixels, or than twice the pen's width (the
// period of its dotted style), are stretched to that: finer ones show as little
// more than a grey line, and each dash costs as much as a segment.
constexpr double kMinDashPeriod = 2;

double Tame(double v)
{
    if (!std::isfinite(v))
        return 0;
    return std::clamp(v, -kFar, kFar);
}
PointD Tame(PointD p)
{
    return {Tame(p.x), Tame(p.y)};
}

void SetColour(cairo_t* cr, RGBQUAD c)
{
    cairo_set_source_rgb(cr, c.rgbRed / 255.0, c.rgbGreen / 255.0, c.rgbBlue / 255.0);
}

uint32_t Pack(RGBQUAD c)
{
    return (uint32_t(c.rgbRed) << 16) | (uint32_t(c.rgbGreen) << 8) | c.rgbBlue;
}

// One byte of a ternary raster operation: bit i of the code is the result for
// pattern bit i & 4, source bit i & 2, destination bit i & 1.
inline uint8_t Rop3(uint8_t code, uint8_t p, uint8_t s, uint8_t d)
{
    switch (code) {
    case 0x00: return 0;
    case 0xFF: return 255;
    case 0xCC: return s;
    case 0xF0: return p;
    case 0xAA: return d;
    case 0x88: return s & d;
    case 0xEE: return s | d;
    case 0x66: return s ^ d;
    case 0x55: return uint8_t(~d);
    case 0x5A: return p ^ d;
    case 0x33: return uint8_t(~s);
    default: break;
    }
    uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (code & (1 << i))
            r |= uint8_t((i & 4 ? p : ~p) & (i & 2 ? s : ~s) & (i & 1 ? d : ~d));
    return r;
}
bool UsesPattern(uint8_t code)
{
    return ((code >> 4) & 0x0F) != (code & 0x0F);
}
bool UsesSource(uint8_t code)
{
    return ((code >> 2) & 0x33) != (code & 0x33);
}

using Owned = std::unique_ptr<cairo_t, CairoFree>;
using OwnedSurface = std::unique_ptr<cairo_surface_t, CairoFree>;
using OwnedPattern = std::unique_ptr<cairo_pattern_t, CairoFree>;

void AddRegion(cairo_t* cr, const cairo_region_t* region)
{
    const int n = cairo_region_num_rectangles(region);
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(region, i, &r);
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    }
}

// The pixels of an 8-bit mask at or above threshold, as rectangles placed at (left, top).
Region RunsOf(cairo_surface_t* mask, int left, int top, uint8_t threshold)
{
    cairo_surface_flush(mask);
    const uint8_t* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    const int w = cairo_image_surface_get_width(mask), h = cairo_image_surface_get_height(mask);
    std::vector<cairo_rectangle_int_t> runs;
    for (int y = 0; data && y < h; ++y) {
        const uint8_t* row = data + size_t(y) * size_t(stride);
        for (int x = 0; x < w;) {
            if (row[x] < threshold) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < w && row[x] >= threshold) ++x;
            runs.push_back({left + start, top + y, x - start, 1});
        }
    }
    return Region(cairo_region_create_rectangles(runs.data(), int(runs.size())));
}

// A brush tile repeated from origin on.
cairo_pattern_t* Tiled(cairo_pattern_t* p, PointD origin)
{
    cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
    Affine shift;
    cairo_matrix_init_translate(&shift, -Tame(origin.x), -Tame(origin.y));
    cairo_pattern_set_matrix(p, &shift);
    return p;
}

// The binary raster operation (1..16) as a ternary code that ignores the source.
uint8_t Rop2Code(int rop2)
{
    const int table = std::clamp(rop2, 1, 16) - 1;  // bit (pen * 2 + destination) is the result
    uint8_t code = 0;
    for (int i = 0; i < 8; ++i)
        if (table & (1 << (((i >> 2) & 1) * 2 + (i & 1))))
            code |= uint8_t(1 << i);
    return code;
}

}  // namespace

Affine Identity()
{
    Affine m;
    cairo_matrix_init_identity(&m);
    return m;
}

Affine Then(const Affine& first, const Affine& second)
{
    Affine m;
    cairo_matrix_multiply(&m, &first, &second);
    return m;
}

PointD Apply(const Affine& m, PointD p)
{
    double x = p.x, y = p.y;
    cairo_matrix_transform_point(&m, &x, &y);
    return {x, y};
}

bool Usable(const Affine& m)
{
    for (double v : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
        if (!std::isfinite(v) || std::fabs(v) > 1e12)
            return false;
    const double det = m.xx * m.yy - m.xy * m.yx;
    return std::isfinite(det) && std::fabs(det) > 1e-18;
}

Region CopyRegion(const cairo_region_t* r)
{
    return Region(r ? cairo_region_copy(r) : nullptr);
}

std::string Utf8(const std::u32string& text)
{
    std::string utf8;
    for (char32_t c : text) {
        if (c < 0x20 && c != '\t')
            c = ' ';
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            utf8 += char(c);
        } else if (c < 0x800) {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += char(0xE0 | (c >> 12));
            utf8 += char(0x80 | ((c >> 6) & 0x3F));
            utf8 += char(0x80 | (c & 0x3F));
        } else {
            utf8 += char(0xF0 | (c >> 18));
            utf8 += char(0x80 | ((c >> 12) & 0x3F));
            utf8 += char(0x80 | ((c >> 6) & 0x3F));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

Surface SurfaceOf(const CLfImage& picture)
{
    if (!picture.IsValid())
        return nullptr;
    const int w = int(picture.GetWidth()), h = int(picture.GetHeight());
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    Surface out(s, [](cairo_surface_t* p) { cairo_surface_destroy(p); });
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    cairo_surface_flush(s);
    uint8_t* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < w; ++x) row[x] = Pack(picture.GetPixelColor(x, h - 1 - y));
    }
    cairo_surface_mark_dirty(s);
    return out;
}

Canvas::Canvas(uint32_t width, uint32_t height, RGBQUAD background, uint64_t workBudget,
               std::function<bool()> cancelled)
    : m_width(width), m_height(height), m_budget(workBudget), m_isCancelled(std::move(cancelled)),
      m_surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(width), int(height)))
{
    if (cairo_surface_status(m_surface.get()) != CAIRO_STATUS_SUCCESS)
        throw std::bad_alloc();
    m_cr.reset(cairo_create(m_surface.get()));
    if (cairo_status(m_cr.get()) != CAIRO_STATUS_SUCCESS)
        throw std::bad_alloc();
    SetColour(m_cr.get(), background);
    cairo_paint(m_cr.get());
}

bool Canvas::Spend(uint64_t work)
{
    if (m_budget <= work) {
        m_budget = 0;
        return false;
    }
    m_budget -= work;
    return true;
}

void Canvas::CheckCancel()
{
    if (!m_cancelled && m_isCancelled && m_isCancelled()) {
        m_cancelled = true;
        m_budget = 0;
    }
}

void Canvas::AddLength(PointD to)
{
    if (HasPoint()) {
        m_pathLength += std::hypot(to.x - m_last.x, to.y - m_last.y);
        ++m_pathSegments;
        const double top = std::max(std::min(to.y, m_last.y), 0.0);
        const double bottom = std::min(std::max(to.y, m_last.y), double(m_height));
        if (bottom >= top)
            m_pathRows += bottom - top + 1;
    }
    m_last = to;
}

void Canvas::MoveTo(PointD p)
{
    p = Tame(p);
    if ((++m_steps & 0xFFF) == 0)
        CheckCancel();
    if (!Spend(1))
        return;
    m_last = p;
    cairo_move_to(m_cr.get(), p.x, p.y);
}

void Canvas::LineTo(PointD p)
{
    p = Tame(p);
    if ((++m_steps & 0xFFF) == 0)
        CheckCancel();
    if (!Spend(1))
        return;
    AddLength(p);
    cairo_line_to(m_cr.get(), p.x, p.y);
}

void Canvas::CurveTo(PointD a, PointD b, PointD c)
{
    a = Tame(a);
    b = Tame(b);
    c = Tame(c);
    if (!Spend(8))
        return;
    if (!HasPoint())
        MoveTo(a);
    AddLength(a);
    AddLength(b);
    AddLength(c);
    cairo_curve_to(m_cr.get(), a.x, a.y, b.x, b.y, c.x, c.y);
}

void Canvas::ClosePath()
{
    cairo_close_path(m_cr.get());
}

void Canvas::NewPath()
{
    cairo_new_path(m_cr.get());
    m_pathLength = 0;
    m_pathSegments = 0;
    m_pathRows = 0;
}

bool Canvas::HasPoint() const
{
    return cairo_has_current_point(m_cr.get());
}

PointD Canvas::CurrentPoint() const
{
    PointD p;
    cairo_get_current_point(m_cr.get(), &p.x, &p.y);
    return p;
}

// The scan conversion walks each line through the rows it crosses; the painting
// touches the box.
bool Canvas::SpendOnFill(double area, bool smooth)
{
    return Spend(uint64_t(kCallWork + area + double(m_pathSegments) * kSegmentWork +
                          m_pathRows * (smooth ? kSmoothRowWork : kRowWork)));
}

bool Canvas::PathBox(double widen, double& area) const
{
    double x0, y0, x1, y1;
    cairo_path_extents(m_cr.get(), &x0, &y0, &x1, &y1);
    x0 = std::max(0.0, x0 - widen);
    y0 = std::max(0.0, y0 - widen);
    x1 = std::min(double(m_width), x1 + widen);
    y1 = std::min(double(m_height), y1 + widen);
    if (x1 <= x0 || y1 <= y0)
        return false;
    area = (x1 - x0 + 1) * (y1 - y0 + 1);
    return true;
}

void Canvas::SetClip(const cairo_region_t* region)
{
    m_clip = CopyRegion(region);
    m_clipDirty = true;
}

void Canvas::ApplyClip()
{
    if (!m_clipDirty)
        return;
    cairo_t* cr = m_cr.get();
    std::unique_ptr<cairo_path_t, CairoFree> path(cairo_copy_path(cr));
    cairo_new_path(cr);
    cairo_reset_clip(cr);
    if (m_clip) {
        AddRegion(cr, m_clip.get());
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr);
    }
    if (path && path->status == CAIRO_STATUS_SUCCESS)
        cairo_append_path(cr, path.get());
    m_clipDirty = false;
}

cairo_pattern_t* Canvas::BrushPattern(const Brush& brush, RGBQUAD text, RGBQUAD back, bool opaque)
{
    if (brush.style == Brush::Hatched) {
        cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
        cairo_surface_flush(tile);
        uint8_t* data = cairo_image_surface_get_data(tile);
        const int stride = cairo_image_surface_get_stride(tile);
        const uint32_t line = 0xFF000000u | Pack(brush.colour);
        const uint32_t gap = opaque ? 0xFF000000u | Pack(back) : 0;
        for (int y = 0; y < 8 && data; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = 0; x < 8; ++x) {
                bool on = false;
                switch (brush.hatch) {
                case 0: on = y == 0; break;                        // horizontal
                case 1: on = x == 0; break;                        // vertical
                case 2: on = x == y; break;                        // downward diagonal
                case 3: on = x + y == 7; break;                    // upward diagonal
                case 4: on = x == 0 || y == 0; break;              // cross
                default: on = x == y || x + y == 7; break;         // diagonal cross
                }
                row[x] = on ? line : gap;
            }
        }
        cairo_surface_mark_dirty(tile);
        cairo_pattern_t* p = cairo_pattern_create_for_surface(tile);
        cairo_surface_destroy(tile);
        return Tiled(p, m_brushOrigin);
    }
    if ((brush.style == Brush::Pattern || brush.style == Brush::MonoPattern) && brush.pattern) {
        cairo_surface_t* source = brush.pattern.get();
        OwnedSurface mono;
        if (brush.style == Brush::MonoPattern) {
            // Black bits take the text colour, white ones the background colour.
            const int w = cairo_image_surface_get_width(source), h = cairo_image_surface_get_height(source);
            mono.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
            cairo_surface_flush(mono.get());
            cairo_surface_flush(source);
            const uint8_t* in = cairo_image_surface_get_data(source);
            uint8_t* out = cairo_image_surface_get_data(mono.get());
            for (int y = 0; y < h && in && out; ++y)
                for (int x = 0; x < w; ++x) {
                    const uint32_t v = reinterpret_cast<const uint32_t*>(
                        in + size_t(y) * size_t(cairo_image_surface_get_stride(source)))[x];
                    reinterpret_cast<uint32_t*>(out + size_t(y) * size_t(cairo_image_surface_get_stride(mono.get())))[x] =
                        (v & 0xFFFFFF) ? Pack(back) : Pack(text);
                }
            cairo_surface_mark_dirty(mono.get());
            source = mono.get();
        }
        return Tiled(cairo_pattern_create_for_surface(source), m_brushOrigin);
    }
    return cairo_pattern_create_rgb(brush.colour.rgbRed / 255.0, brush.colour.rgbGreen / 255.0,
                                    brush.colour.rgbBlue / 255.0);
}

void Canvas::Fill(const Brush& brush, bool winding, RGBQUAD text, RGBQUAD back, bool opaque, int rop2)
{
    double area = 0;
    if (brush.style == Brush::Hollow || !WithinBudget() || !PathBox(0, area))
        return;
    const bool smooth = m_pathSegments <= uint64_t(kPieceSegments);
    if (!SpendOnFill(area, smooth))
        return;
    ApplyClip();
    cairo_t* cr = m_cr.get();
    OwnedPattern pattern(BrushPattern(brush, text, back, opaque));
    cairo_set_source(cr, pattern.get());
    cairo_set_fill_rule(cr, winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    // Smoothing a fill costs time with the square of the lines a row crosses: long
    // paths are filled without it.
    cairo_set_antialias(cr, smooth ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    PaintPath(false, rop2);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
}


void Canvas::FillPattern(cairo_pattern_t* pattern)
{
    double area = 0;
    if (!PathBox(0, area) || !Spend(uint64_t(kCallWork + area)))
        return;
    ApplyClip();
    cairo_t* cr = m_cr.get();
    cairo_save(cr);
    cairo_set_source(cr, pattern);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);  // whole pixels, as the edges of a gradient meet
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill_preserve(cr);
    cairo_restore(cr);
}

void Canvas::ShadedTriangle(const PointD (&corners)[3], const double (&colours)[3][3])
{
    NewPath();
    MoveTo(corners[0]);
    LineTo(corners[1]);
    LineTo(corners[2]);
    ClosePath();
    const PointD a = Tame(corners[0]), b = Tame(corners[1]), c = Tame(corners[2]);
    const double det = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    double x0, y0, x1, y1;
    cairo_path_extents(m_cr.get(), &x0, &y0, &x1, &y1);
    const int left = int(std::clamp(std::floor(x0), 0.0, double(m_width)));
    const int top = int(std::clamp(std::floor(y0), 0.0, double(m_height)));
    const int right = int(std::clamp(std::ceil(x1), 0.0, double(m_width)));
    const int bottom = int(std::clamp(std::ceil(y1), 0.0, double(m_height)));
    if (!(std::fabs(det) >= 1e-9) || right <= left || bottom <= top ||
        !Spend(uint64_t(right - left) * uint64_t(bottom - top))) {
        NewPath();
        return;
    }
    // The colours of the box, pixel by pixel, then the triangle filled from them.
    OwnedSurface shade(cairo_image_surface_create(CAIRO_FORMAT_RGB24, right - left, bottom - top));
    cairo_surface_flush(shade.get());
    uint8_t* data = cairo_image_surface_get_data(shade.get());
    const size_t stride = size_t(cairo_image_surface_get_stride(shade.get()));
    // Each channel is linear in x and y: v = base + gx x + gy y (in 0..255).
    double base[3], gx[3], gy[3];
    for (int k = 0; k < 3; ++k) {
        const double ca = colours[0][k] * 255, cb = colours[1][k] * 255, cc = colours[2][k] * 255;
        gx[k] = ((cb - ca) * (c.y - a.y) - (cc - ca) * (b.y - a.y)) / det;
        gy[k] = ((cc - ca) * (b.x - a.x) - (cb - ca) * (c.x - a.x)) / det;
        base[k] = ca - gx[k] * a.x - gy[k] * a.y;
        if (!std::isfinite(base[k]) || !std::isfinite(gx[k]) || !std::isfinite(gy[k]))
            base[k] = ca, gx[k] = gy[k] = 0;  // a sliver: its first corner's colour
    }
    const PointD edges[3][2] = {{a, b}, {b, c}, {c, a}};
    for (int y = top; data && y < bottom; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y - top) * stride);
        // Only the row's span inside the triangle (its pixel centres), a pixel wider.
        const double centre = y + 0.5;
        double from = kFar, to = -kFar;
        for (const auto& [p, q] : edges) {
            if ((p.y <= centre) == (q.y <= centre))
                continue;
            const double x = p.x + (centre - p.y) * (q.x - p.x) / (q.y - p.y);
            from = std::min(from, x), to = std::max(to, x);
        }
        const int first = int(std::clamp(std::floor(from) - 1, double(left), double(right)));
        const int last = int(std::clamp(std::ceil(to) + 1, double(left), double(right)));
        double v[3];
        for (int k = 0; k < 3; ++k) v[k] = base[k] + gx[k] * first + gy[k] * y;
        for (int x = first; x < last; ++x) {
            uint32_t pixel = 0;
            for (int k = 0; k < 3; ++k) {
                pixel = pixel << 8 | uint32_t(std::clamp(v[k], 0.0, 255.0) + 0.5);
                v[k] += gx[k];
            }
            row[x - left] = pixel;
        }
    }
    cairo_surface_mark_dirty(shade.get());
    OwnedPattern pattern(cairo_pattern_create_for_surface(shade.get()));
    Affine shift;
    cairo_matrix_init_translate(&shift, -left, -top);
    cairo_pattern_set_matrix(pattern.get(), &shift);
    cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_NEAREST);
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    ApplyClip();
    cairo_t* cr = m_cr.get();
    cairo_save(cr);
    cairo_set_source(cr, pattern.get());
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_fill(cr);
    cairo_restore(cr);
    NewPath();
}

// Paints the current path (kept) with the source and line settings of m_cr. Other
// raster operations than copy go through a group the size of the painted box, whose
// colours and coverage then meet the picture's pixels: cairo has no operator for them.
namespace {

bool PlainCopy(int rop2) { return rop2 == kRop2Copy || rop2 < 1 || rop2 > 16; }

}  // namespace

void Canvas::PaintPath(bool stroke, int rop2)
{
    cairo_t* cr = m_cr.get();
    if (PlainCopy(rop2)) {
        stroke ? cairo_stroke_preserve(cr) : cairo_fill_preserve(cr);
        return;
    }
    double x0, y0, x1, y1;
    stroke ? cairo_stroke_extents(cr, &x0, &y0, &x1, &y1) : cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
    // The extents are in user units: their four corners in pixels (the pen's matrix may turn).
    double minX = kFar, minY = kFar, maxX = -kFar, maxY = -kFar;
    for (PointD c : {PointD{x0, y0}, PointD{x1, y0}, PointD{x1, y1}, PointD{x0, y1}}) {
        cairo_user_to_device(cr, &c.x, &c.y);
        minX = std::min(minX, Tame(c.x)), maxX = std::max(maxX, Tame(c.x));
        minY = std::min(minY, Tame(c.y)), maxY = std::max(maxY, Tame(c.y));
    }
    const int left = int(std::clamp(std::floor(minX) - 1, 0.0, double(m_width)));
    const int top = int(std::clamp(std::floor(minY) - 1, 0.0, double(m_height)));
    const int right = int(std::clamp(std::ceil(maxX) + 1, 0.0, double(m_width)));
    const int bottom = int(std::clamp(std::ceil(maxY) + 1, 0.0, double(m_height)));
    if (right <= left || bottom <= top || !Spend(uint64_t(right - left) * uint64_t(bottom - top)))
        return;
    // The group covers the box alone, so memory follows what is painted.
    std::unique_ptr<cairo_path_t, CairoFree> path(cairo_copy_path(cr));
    Affine matrix;
    cairo_get_matrix(cr, &matrix);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, left, top, right - left, bottom - top);
    cairo_clip(cr);
    cairo_set_matrix(cr, &matrix);
    if (path && path->status == CAIRO_STATUS_SUCCESS)
        cairo_append_path(cr, path.get());
    // Whole pixels, as the operation meets each pixel once: the same drawing twice
    // in exclusive-or gives the picture back.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_push_group(cr);
    stroke ? cairo_stroke_preserve(cr) : cairo_fill_preserve(cr);
    OwnedPattern group(cairo_pop_group(cr));
    cairo_restore(cr);
    CombineLayer(group.get(), left, top, right, bottom, rop2);
}

void Canvas::CombineLayer(cairo_pattern_t* group, int left, int top, int right, int bottom, int rop2)
{
    OwnedSurface layer(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, right - left, bottom - top));
    {
        Owned c(cairo_create(layer.get()));
        cairo_translate(c.get(), -left, -top);
        cairo_set_source(c.get(), group);
        cairo_set_operator(c.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(c.get());
    }
    cairo_surface_flush(layer.get());
    cairo_surface_flush(m_surface.get());
    const uint8_t* in = cairo_image_surface_get_data(layer.get());
    uint8_t* out = cairo_image_surface_get_data(m_surface.get());
    if (!in || !out)
        return;
    const int inStride = cairo_image_surface_get_stride(layer.get());
    const int outStride = cairo_image_surface_get_stride(m_surface.get());
    // The operation of every pen and destination byte, looked up per channel.
    std::vector<uint8_t>& table = m_rop2Tables[rop2];
    if (table.empty()) {
        const uint8_t code = Rop2Code(rop2);
        table.resize(65536);
        for (int pen = 0; pen < 256; ++pen)
            for (int was = 0; was < 256; ++was) table[size_t(pen) << 8 | size_t(was)] = Rop3(code, uint8_t(pen), 0, uint8_t(was));
    }
    for (int y = top; y < bottom; ++y) {
        const auto* src = reinterpret_cast<const uint32_t*>(in + size_t(y - top) * size_t(inStride));
        auto* dst = reinterpret_cast<uint32_t*>(out + size_t(y) * size_t(outStride));
        for (int x = left; x < right; ++x) {
            const uint32_t s = src[x - left];
            const uint32_t a = s >> 24;
            if (a == 0)
                continue;
            const uint32_t d = dst[x];
            uint32_t result = 0;
            for (int k = 0; k < 24; k += 8) {
                const uint32_t was = (d >> k) & 0xFF;
                if (a == 255) {
                    result |= uint32_t(table[((s >> k) & 0xFF) << 8 | was]) << k;
                    continue;
                }
                const uint32_t pen = std::min<uint32_t>(255, (((s >> k) & 0xFF) * 255 + a / 2) / a);
                // Smoothed edges take the operation's result in part.
                result |= ((was * (255 - a) + table[pen << 8 | was] * a + 127) / 255) << k;
            }
            dst[x] = result;
        }
    }
    cairo_surface_mark_dirty_rectangle(m_surface.get(), left, top, right - left, bottom - top);
}

void Canvas::Stroke(const Pen& pen, const Affine& toDevice, bool keep, int rop2)
{
    if (!pen.visible || pen.style == 5 || !WithinBudget())
        return;
    cairo_t* cr = m_cr.get();
    const double scale = std::sqrt(std::fabs(toDevice.xx * toDevice.yy - toDevice.xy * toDevice.yx));
    const double deviceWidth = pen.width * scale;
    const bool thin = !(deviceWidth >= 1.5) || !Usable(toDevice);
    const double width = thin ? 1 : std::min(deviceWidth, kFar);  // pixels
    double area = 0;
    if (!PathBox(width, area))
        return;

    // Dashes in pixels: one-pixel pens' styles in pixels, wider ones' in multiples of
    // their width, user styles in logical units.
    static const std::vector<double> kStyles[] = {{}, {18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
    static const std::vector<double> kWide[] = {{}, {3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}};
    std::vector<double> dashes;
    if (pen.style >= 1 && pen.style <= 4)
        for (double d : thin ? kStyles[pen.style] : kWide[pen.style]) dashes.push_back(thin ? d : d * width);
    if (pen.style == 7)
        for (double d : pen.dashes) dashes.push_back(std::fabs(d) * scale);
    double period = 0;
    for (double d : dashes) period += d;
    if (!(period > 0) || !std::isfinite(period)) {
        dashes.clear();
    } else if (period < std::max(kMinDashPeriod, 2 * width)) {
        const double floor = std::max(kMinDashPeriod, 2 * width);
        for (double& d : dashes) d *= floor / period;
        period = floor;
    }
    if (!thin && !dashes.empty()) {
        // Round or square caps that close every gap draw the line solid.
        double gap = 0;
        for (size_t i = dashes.size() % 2 ? 0 : 1; i < dashes.size(); i += dashes.size() % 2 ? 1 : 2)
            gap = std::max(gap, dashes[i]);
        if ((pen.cap == 1 && gap <= width) || (pen.cap == 0 && gap <= width / 4))
            dashes.clear();
    }

    std::unique_ptr<cairo_path_t, CairoFree> kept(cairo_copy_path(cr));
    if (!kept || kept->status != CAIRO_STATUS_SUCCESS)
        return;
    if (thin) {
        // One-pixel pens run through pixel centres, so straight lines stay one pixel wide.
        cairo_new_path(cr);
        for (int i = 0; i < kept->num_data; i += kept->data[i].header.length) {
            const cairo_path_data_t& d = kept->data[i];
            const auto at = [&](int k) {
                return PointD{std::floor(kept->data[i + k].point.x + 0.5) + 0.5,
                              std::floor(kept->data[i + k].point.y + 0.5) + 0.5};
            };
            switch (d.header.type) {
            case CAIRO_PATH_MOVE_TO: cairo_move_to(cr, at(1).x, at(1).y); break;
            case CAIRO_PATH_LINE_TO: cairo_line_to(cr, at(1).x, at(1).y); break;
            case CAIRO_PATH_CURVE_TO:
                cairo_curve_to(cr, at(1).x, at(1).y, at(2).x, at(2).y, at(3).x, at(3).y);
                break;
            case CAIRO_PATH_CLOSE_PATH: cairo_close_path(cr); break;
            }
        }
    }

    // The pen's shape follows the logical units (user space); the path stays in pixels.
    Affine linear = Identity();
    if (!thin) {
        linear = toDevice;
        linear.x0 = linear.y0 = 0;
    }
    Affine toUser = linear;
    cairo_matrix_invert(&toUser);
    std::vector<double> userDashes;
    for (double d : dashes) userDashes.push_back(thin ? d : d / scale);

    ApplyClip();
    cairo_save(cr);
    SetColour(cr, pen.colour);
    if (thin) {
        cairo_set_line_width(cr, 1);
        // Whole pixels, unsmoothed: an outline so drawn bounds a flood fill as its colour alone.
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_cap(cr, dashes.empty() ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    } else {
        cairo_set_line_width(cr, std::min(pen.width, kFar / scale));
        static const cairo_line_cap_t caps[] = {CAIRO_LINE_CAP_ROUND, CAIRO_LINE_CAP_SQUARE, CAIRO_LINE_CAP_BUTT};
        static const cairo_line_join_t joins[] = {CAIRO_LINE_JOIN_ROUND, CAIRO_LINE_JOIN_BEVEL, CAIRO_LINE_JOIN_MITER};
        cairo_set_line_cap(cr, caps[std::clamp(pen.cap, 0, 2)]);
        cairo_set_line_join(cr, joins[std::clamp(pen.join, 0, 2)]);
        cairo_set_miter_limit(cr, 10);
    }
    // Strokes the path built so far, its dashes begun at offset (user units).
    int strokeRop2 = rop2;
    const auto strokeNow = [&](double offset) {
        cairo_set_matrix(cr, &linear);
        cairo_set_dash(cr, userDashes.data(), int(userDashes.size()), offset);
        PaintPath(true, strokeRop2);
        cairo_new_path(cr);
        cairo_identity_matrix(cr);
    };
    // What one stroke costs: the call, its segments and dashes, the pixels of its
    // track and its crossings (as many as lines of that length thrown at random
    // into its box would make).
    const StrokeWork* cost = thin ? &kThinWork : &kSmoothWork;
    const auto spendOn = [&](int segments, double length, double w, double h) {
        const double dashCount = dashes.empty() ? 0 : length / period;
        const double crossings = std::min(length * length / (kPi * (w + width) * (h + width)),
                                          double(segments) * segments / 2);
        return Spend(uint64_t(cost->call + (segments + dashCount) * cost->segment +
                              (length + 2 * width) * (width + 2) * cost->pixel + crossings * cost->crossing));
    };

    int segments = 0;
    for (int i = 0; i < kept->num_data; i += kept->data[i].header.length)
        segments += kept->data[i].header.type != CAIRO_PATH_MOVE_TO;
    if (segments <= kPieceSegments) {
        double x0, y0, x1, y1;
        cairo_path_extents(cr, &x0, &y0, &x1, &y1);
        if (spendOn(segments, m_pathLength, x1 - x0, y1 - y0))
            strokeNow(0);
    } else {
        // Another raster operation than copy meets each pixel once for the whole path:
        // the pieces are drawn into one layer (the pixels where they join would
        // otherwise take the operation twice) and the layer meets the picture after them.
        int boxLeft = 0, boxTop = 0, boxRight = 0, boxBottom = 0;
        const bool oneLayer = !PlainCopy(rop2);
        if (oneLayer) {
            double x0, y0, x1, y1;
            cairo_path_extents(cr, &x0, &y0, &x1, &y1);
            const double margin = 5 * width + 2;  // joins up to the miter limit
            boxLeft = int(std::clamp(std::floor(Tame(x0) - margin), 0.0, double(m_width)));
            boxTop = int(std::clamp(std::floor(Tame(y0) - margin), 0.0, double(m_height)));
            boxRight = int(std::clamp(std::ceil(Tame(x1) + margin), 0.0, double(m_width)));
            boxBottom = int(std::clamp(std::ceil(Tame(y1) + margin), 0.0, double(m_height)));
            if (boxRight <= boxLeft || boxBottom <= boxTop ||
                !Spend(uint64_t(boxRight - boxLeft) * uint64_t(boxBottom - boxTop))) {
                cairo_restore(cr);
                cairo_new_path(cr);
                if (keep)
                    cairo_append_path(cr, kept.get());
                return;
            }
            cairo_push_group(cr);
        }
        if (oneLayer)
            strokeRop2 = kRop2Copy;
        std::unique_ptr<cairo_path_t, CairoFree> flat(cairo_copy_path_flat(cr));
        cairo_new_path(cr);
        // Long paths go unsmoothed, as long fills do: smoothing costs several times more.
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        if (!thin)
            cost = &kRoughWork;
        // Piece by piece; a figure carried on from the piece before goes on at its
        // place in the dash pattern and closes with a line to its start.
        int inPiece = 0;
        double pieceLength = 0, along = 0, offset = 0;
        double left = kFar, top = kFar, right = -kFar, bottom = -kFar;  // the piece's box
        bool figureInPiece = true;
        PointD at, start;
        const auto flush = [&] {
            if (inPiece > 0) {
                CheckCancel();
                if (!spendOn(inPiece, pieceLength, right - left, bottom - top))
                    return false;
                strokeNow(offset);
            }
            cairo_new_path(cr);
            inPiece = 0;
            pieceLength = 0;
            left = top = kFar;
            right = bottom = -kFar;
            return true;
        };
        const auto lineTo = [&](PointD p) {
            cairo_line_to(cr, p.x, p.y);
            double dx = p.x - at.x, dy = p.y - at.y;
            pieceLength += std::hypot(dx, dy);
            cairo_matrix_transform_distance(&toUser, &dx, &dy);
            along += std::hypot(dx, dy);
            left = std::min({left, p.x, at.x}), right = std::max({right, p.x, at.x});
            top = std::min({top, p.y, at.y}), bottom = std::max({bottom, p.y, at.y});
            at = p;
            ++inPiece;
        };
        bool going = flat && flat->status == CAIRO_STATUS_SUCCESS;
        for (int i = 0; going && i < flat->num_data; i += flat->data[i].header.length) {
            const cairo_path_data_t& d = flat->data[i];
            if (d.header.type == CAIRO_PATH_MOVE_TO) {
                // A dashed figure carried on sets the piece's offset: new figures,
                // which begin the pattern afresh, go into a piece of their own.
                if (offset != 0 && !dashes.empty())
                    going = flush();
                if (inPiece == 0)
                    offset = 0;
                figureInPiece = true;
                at = start = PointD{flat->data[i + 1].point.x, flat->data[i + 1].point.y};
                along = 0;
                cairo_move_to(cr, at.x, at.y);
                continue;
            }
            if (d.header.type == CAIRO_PATH_LINE_TO) {
                lineTo({flat->data[i + 1].point.x, flat->data[i + 1].point.y});
            } else if (d.header.type == CAIRO_PATH_CLOSE_PATH) {
                if (figureInPiece) {
                    cairo_close_path(cr);
                    ++inPiece;
                    at = start;
                } else {
                    lineTo(start);
                }
            }
            if (inPiece >= kPieceSegments) {
                going = flush();
                cairo_move_to(cr, at.x, at.y);
                offset = along;
                figureInPiece = false;
            }
        }
        if (going)
            flush();
        cairo_new_path(cr);
        if (oneLayer) {
            OwnedPattern layer(cairo_pop_group(cr));
            CombineLayer(layer.get(), boxLeft, boxTop, boxRight, boxBottom, rop2);
        }
    }
    cairo_restore(cr);
    cairo_new_path(cr);
    if (keep)
        cairo_append_path(cr, kept.get());
}

Region Canvas::PathRegion(bool winding)
{
    cairo_t* cr = m_cr.get();
    double x0, y0, x1, y1;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    const int left = int(std::clamp(std::floor(x0), 0.0, double(m_width)));
    const int top = int(std::clamp(std::floor(y0), 0.0, double(m_height)));
    const int right = int(std::clamp(std::ceil(x1), 0.0, double(m_width)));
    const int bottom = int(std::clamp(std::ceil(y1), 0.0, double(m_height)));
    Region region(cairo_region_create());
    if (right <= left || bottom <= top || !SpendOnFill(double(right - left) * double(bottom - top), false)) {
        NewPath();
        return region;
    }
    OwnedSurface mask(cairo_image_surface_create(CAIRO_FORMAT_A8, right - left, bottom - top));
    Owned m(cairo_create(mask.get()));
    std::unique_ptr<cairo_path_t, CairoFree> path(cairo_copy_path(cr));
    NewPath();
    cairo_translate(m.get(), -left, -top);
    if (path && path->status == CAIRO_STATUS_SUCCESS)
        cairo_append_path(m.get(), path.get());
    cairo_set_antialias(m.get(), CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(m.get(), winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(m.get());
    return RunsOf(mask.get(), left, top, 128);
}

void Canvas::RasterOp(const cairo_surface_t* source, double sx, double sy, double sw, double sh,
                      const Affine& sourceToDevice, uint32_t rop, const Brush* brush, RGBQUAD text, RGBQUAD back,
                      const cairo_surface_t* mask, bool smooth)
{
    if (!Usable(sourceToDevice) || sw == 0 || sh == 0)
        return;
    // The destination's pixels: the source rectangle's corners mapped, clipped.
    cairo_t* cr = m_cr.get();
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_set_matrix(cr, &sourceToDevice);
    cairo_rectangle(cr, sx, sy, sw, sh);
    cairo_restore(cr);
    std::unique_ptr<cairo_path_t, CairoFree> shape(cairo_copy_path_flat(cr));
    cairo_new_path(cr);
    for (int i = 0; shape && i < shape->num_data; ++i)
        if (shape->data[i].header.type != CAIRO_PATH_CLOSE_PATH) {
            cairo_path_data_t& pt = shape->data[i + 1];
            pt.point.x = Tame(pt.point.x);
            pt.point.y = Tame(pt.point.y);
            i += shape->data[i].header.length - 1;
        }
    if (!shape || shape->status != CAIRO_STATUS_SUCCESS)
        return;
    double x0 = kFar, y0 = kFar, x1 = -kFar, y1 = -kFar;
    for (int i = 0; i < shape->num_data; i += shape->data[i].header.length)
        if (shape->data[i].header.type != CAIRO_PATH_CLOSE_PATH) {
            const cairo_path_data_t& pt = shape->data[i + 1];
            x0 = std::min(x0, pt.point.x), x1 = std::max(x1, pt.point.x);
            y0 = std::min(y0, pt.point.y), y1 = std::max(y1, pt.point.y);
        }
    cairo_rectangle_int_t box{int(std::clamp(std::floor(x0), 0.0, double(m_width))),
                              int(std::clamp(std::floor(y0), 0.0, double(m_height))), 0, 0};
    box.width = int(std::clamp(std::ceil(x1), 0.0, double(m_width))) - box.x;
    box.height = int(std::clamp(std::ceil(y1), 0.0, double(m_height))) - box.y;
    if (box.width <= 0 || box.height <= 0)
        return;
    Region area;
    if (sourceToDevice.xy == 0 && sourceToDevice.yx == 0) {
        // Pixels whose centres the rectangle covers.
        const auto edge = [](double v) { return int(std::ceil(Tame(v) - 0.5)); };
        const int l = edge(x0), r = edge(x1), t = edge(y0), bt = edge(y1);
        const cairo_rectangle_int_t rect{l, t, r - l, bt - t};
        area.reset(cairo_region_create_rectangle(&rect));
    } else {
        // Only the box of the shape is rasterised.
        OwnedSurface cover(cairo_image_surface_create(CAIRO_FORMAT_A8, box.width, box.height));
        Owned m(cairo_create(cover.get()));
        cairo_translate(m.get(), -box.x, -box.y);
        cairo_append_path(m.get(), shape.get());
        cairo_set_antialias(m.get(), CAIRO_ANTIALIAS_NONE);
        cairo_fill(m.get());
        area = RunsOf(cover.get(), box.x, box.y, 1);
    }
    Combine(source, &sourceToDevice, sx, sy, sw, sh, area.get(), rop, brush, text, back, mask, smooth);
}

void Canvas::RegionOp(const cairo_region_t* region, uint32_t rop, const Brush* brush, RGBQUAD text, RGBQUAD back)
{
    Combine(nullptr, nullptr, 0, 0, 0, 0, region, rop, brush, text, back, nullptr, false);
}

void Canvas::Combine(const cairo_surface_t* source, const Affine* sourceToDevice, double sx, double sy, double sw,
                     double sh, const cairo_region_t* area, uint32_t rop, const Brush* brush, RGBQUAD text,
                     RGBQUAD back, const cairo_surface_t* mask, bool smooth)
{
    if (!area)
        return;
    Region target(cairo_region_copy(area));
    const cairo_rectangle_int_t all{0, 0, int(m_width), int(m_height)};
    cairo_region_intersect_rectangle(target.get(), &all);
    if (m_clip)
        cairo_region_intersect(target.get(), m_clip.get());
    if (cairo_region_is_empty(target.get()))
        return;
    cairo_rectangle_int_t box;
    cairo_region_get_extents(target.get(), &box);
    // Every pixel of the box: source, pattern and mask drawn, then combined.
    if (!Spend(uint64_t(box.width) * uint64_t(box.height) * kRasterWork))
        return;

    const uint8_t fore = uint8_t(rop >> 16), backOp = uint8_t(rop >> 24);
    const bool needSource = UsesSource(fore) || (mask && UsesSource(backOp));
    const bool needPattern = UsesPattern(fore) || (mask && UsesPattern(backOp));
    // Source, pattern and mask drawn into buffers the size of the box.
    const auto layer = [&](const cairo_surface_t* picture, const Brush* fill) {
        OwnedSurface s(cairo_image_surface_create(CAIRO_FORMAT_RGB24, box.width, box.height));
        Owned c(cairo_create(s.get()));
        cairo_translate(c.get(), -box.x, -box.y);
        if (picture && sourceToDevice) {
            OwnedPattern p(cairo_pattern_create_for_surface(const_cast<cairo_surface_t*>(picture)));
            Affine inverse = *sourceToDevice;
            cairo_matrix_invert(&inverse);
            // Source pixel (sx, sy) is the rectangle's corner; PAD keeps edge pixels whole.
            cairo_pattern_set_matrix(p.get(), &inverse);
            cairo_pattern_set_extend(p.get(), CAIRO_EXTEND_PAD);
            cairo_pattern_set_filter(p.get(), smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
            cairo_set_source(c.get(), p.get());
        } else if (fill) {
            OwnedPattern p(BrushPattern(*fill, text, back, true));
            cairo_set_source(c.get(), p.get());
        } else {
            cairo_set_source_rgb(c.get(), 0, 0, 0);
        }
        cairo_paint(c.get());
        cairo_surface_flush(s.get());
        return s;
    };
    OwnedSurface src = needSource && source ? layer(source, nullptr) : nullptr;
    OwnedSurface pat = needPattern ? layer(nullptr, brush) : nullptr;
    OwnedSurface msk = mask ? layer(mask, nullptr) : nullptr;
    (void)sx, (void)sy, (void)sw, (void)sh;

    cairo_surface_flush(m_surface.get());
    uint8_t* data = cairo_image_surface_get_data(m_surface.get());
    const int stride = cairo_image_surface_get_stride(m_surface.get());
    const auto pixelOf = [&](const OwnedSurface& s, int x, int y) -> uint32_t {
        if (!s)
            return 0;
        const uint8_t* d = cairo_image_surface_get_data(s.get());
        return d ? reinterpret_cast<const uint32_t*>(d + size_t(y - box.y) * size_t(cairo_image_surface_get_stride(s.get())))[x - box.x]
                 : 0;
    };
    const int n = cairo_region_num_rectangles(target.get());
    for (int i = 0; i < n && data; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(target.get(), i, &r);
        for (int y = r.y; y < r.y + r.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
            for (int x = r.x; x < r.x + r.width; ++x) {
                const uint32_t s = pixelOf(src, x, y), p = pixelOf(pat, x, y), d = row[x];
                const uint8_t code = mask && (pixelOf(msk, x, y) & 0xFFFFFF) == 0 ? backOp : fore;
                uint32_t out = 0;
                for (int k = 0; k < 24; k += 8)
                    out |= uint32_t(Rop3(code, uint8_t(p >> k), uint8_t(s >> k), uint8_t(d >> k))) << k;
                row[x] = out;
            }
        }
    }
    cairo_surface_mark_dirty_rectangle(m_surface.get(), box.x, box.y, box.width, box.height);
}

void Canvas::SetPixel(int64_t x, int64_t y, RGBQUAD colour)
{
    if (x < 0 || y < 0 || x >= int64_t(m_width) || y >= int64_t(m_height))
        return;
    const cairo_rectangle_int_t r{int(x), int(y), 1, 1};
    Region one(cairo_region_create_rectangle(&r));
    Brush solid;
    solid.colour = colour;
    RegionOp(one.get(), 0x00F00021, &solid, colour, colour);
}

void Canvas::Composite(const cairo_surface_t* source, double sx, double sy, double sw, double sh,
                       const Affine& sourceToDevice, double alpha, bool smooth)
{
    if (!source || !Usable(sourceToDevice) || sw == 0 || sh == 0 || !(alpha > 0))
        return;
    cairo_t* cr = m_cr.get();
    NewPath();
    ApplyClip();  // outside the save below, which would undo it
    cairo_save(cr);
    cairo_set_matrix(cr, &sourceToDevice);
    cairo_rectangle(cr, sx, sy, sw, sh);
    cairo_identity_matrix(cr);
    double area = 0;
    if (!PathBox(0, area) || !Spend(uint64_t(kCallWork + area))) {
        cairo_restore(cr);
        NewPath();
        return;
    }
    // The pattern is locked to the source's own pixels.
    cairo_set_matrix(cr, &sourceToDevice);
    cairo_set_source_surface(cr, const_cast<cairo_surface_t*>(source), 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_clip(cr);
    cairo_paint_with_alpha(cr, std::min(alpha, 1.0));
    cairo_restore(cr);
    NewPath();
}

Region Canvas::FloodRegion(int64_t x, int64_t y, RGBQUAD colour, bool surface)
{
    Region found(cairo_region_create());
    if (x < 0 || y < 0 || x >= int64_t(m_width) || y >= int64_t(m_height))
        return found;
    if (m_clip && !cairo_region_contains_point(m_clip.get(), int(x), int(y)))
        return found;
    if (!Spend(uint64_t(m_width) * uint64_t(m_height)))
        return found;
    cairo_surface_flush(m_surface.get());
    const uint8_t* data = cairo_image_surface_get_data(m_surface.get());
    if (!data)
        return found;
    const int w = int(m_width), h = int(m_height);
    const size_t stride = size_t(cairo_image_surface_get_stride(m_surface.get()));
    const uint32_t key = Pack(colour);
    std::vector<uint8_t> seen(size_t(w) * size_t(h), 0);
    const auto fills = [&](int px, int py) {
        const uint32_t v = reinterpret_cast<const uint32_t*>(data + size_t(py) * stride)[px] & 0xFFFFFF;
        return !seen[size_t(py) * size_t(w) + size_t(px)] && (surface ? v == key : v != key);
    };
    if (!fills(int(x), int(y)))
        return found;
    // Span by span: each seed grows left and right, then seeds the rows above and below.
    std::vector<cairo_rectangle_int_t> runs;
    std::vector<std::pair<int, int>> seeds{{int(x), int(y)}};
    while (!seeds.empty()) {
        const auto [sx, sy] = seeds.back();
        seeds.pop_back();
        if (!fills(sx, sy))
            continue;
        int l = sx, r = sx + 1;
        while (l > 0 && fills(l - 1, sy)) --l;
        while (r < w && fills(r, sy)) ++r;
        std::fill(seen.begin() + ptrdiff_t(size_t(sy) * size_t(w) + size_t(l)),
                  seen.begin() + ptrdiff_t(size_t(sy) * size_t(w) + size_t(r)), uint8_t(1));
        runs.push_back({l, sy, r - l, 1});
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            for (int px = l; px < r; ++px)
                if (fills(px, ny) && (px == l || !fills(px - 1, ny)))
                    seeds.emplace_back(px, ny);
        }
    }
    return Region(cairo_region_create_rectangles(runs.data(), int(runs.size())));
}

void Canvas::WidenPath(const Pen& pen, const Affine& toDevice)
{
    cairo_t* cr = m_cr.get();
    const double scale = std::sqrt(std::fabs(toDevice.xx * toDevice.yy - toDevice.xy * toDevice.yx));
    if (!pen.visible || pen.style == 5 || !Usable(toDevice) || (!pen.geometric && !(pen.width * scale > 1)))
        return;
    const double widen = std::min(pen.width * scale, kFar);
    double area = 0;
    if (!PathBox(widen, area) || !Spend(uint64_t(kCallWork + area))) {
        NewPath();
        return;
    }
    // The pen's coverage, unclipped, in a mask of the stroke's box.
    double x0, y0, x1, y1;
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    const int left = int(std::clamp(std::floor(x0 - widen) - 1, 0.0, double(m_width)));
    const int top = int(std::clamp(std::floor(y0 - widen) - 1, 0.0, double(m_height)));
    const int right = int(std::clamp(std::ceil(x1 + widen) + 1, 0.0, double(m_width)));
    const int bottom = int(std::clamp(std::ceil(y1 + widen) + 1, 0.0, double(m_height)));
    if (right <= left || bottom <= top) {
        NewPath();
        return;
    }
    const int w = right - left, h = bottom - top;
    OwnedSurface mask(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    {
        // The group covers the box alone.
        std::unique_ptr<cairo_path_t, CairoFree> path(cairo_copy_path(cr));
        // A clip still to be applied would be applied by the stroke inside the group.
        ApplyClip();
        cairo_save(cr);
        cairo_reset_clip(cr);
        cairo_new_path(cr);
        cairo_rectangle(cr, left, top, w, h);
        cairo_clip(cr);
        if (path && path->status == CAIRO_STATUS_SUCCESS)
            cairo_append_path(cr, path.get());
        cairo_push_group_with_content(cr, CAIRO_CONTENT_ALPHA);
        Stroke(pen, toDevice, true);
        OwnedPattern group(cairo_pop_group(cr));
        cairo_restore(cr);
        m_clipDirty = true;
        Owned c(cairo_create(mask.get()));
        cairo_translate(c.get(), -left, -top);
        cairo_set_source(c.get(), group.get());
        cairo_paint(c.get());
    }
    cairo_surface_flush(mask.get());
    const uint8_t* data = cairo_image_surface_get_data(mask.get());
    const size_t stride = size_t(cairo_image_surface_get_stride(mask.get()));
    NewPath();
    if (!data)
        return;
    const auto inside = [&](int px, int py) {
        return px >= 0 && py >= 0 && px < w && py < h && data[size_t(py) * stride + size_t(px)] >= 128;
    };
    // The covered pixels' boundary as closed outlines, inside on the right: outer
    // outlines run clockwise, holes the other way, so either fill rule gives the area.
    // seen: bit d of a pixel marks its side d (0 top, 1 right, 2 bottom, 3 left) traced.
    static const int kDx[] = {1, 0, -1, 0}, kDy[] = {0, 1, 0, -1};
    std::vector<uint8_t> seen(size_t(w) * size_t(h), 0);
    // The pixel on the right of the edge leaving vertex (vx, vy) in direction d.
    const auto rightOf = [&](int vx, int vy, int d) {
        const int sx = kDx[d] + kDx[(d + 1) % 4], sy = kDy[d] + kDy[(d + 1) % 4];
        return std::pair{vx + (sx > 0 ? 0 : -1), vy + (sy > 0 ? 0 : -1)};
    };
    const auto leftOf = [&](int vx, int vy, int d) {
        const int sx = kDx[d] + kDx[(d + 3) % 4], sy = kDy[d] + kDy[(d + 3) % 4];
        return std::pair{vx + (sx > 0 ? 0 : -1), vy + (sy > 0 ? 0 : -1)};
    };
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            if (!inside(px, py) || inside(px, py - 1) || (seen[size_t(py) * size_t(w) + size_t(px)] & 1))
                continue;
            int vx = px, vy = py, d = 0;
            MoveTo({double(left + vx), double(top + vy)});
            for (;;) {
                const auto [rx, ry] = rightOf(vx, vy, d);
                uint8_t& mark = seen[size_t(ry) * size_t(w) + size_t(rx)];
                if (mark & (1 << d))
                    break;
                mark = uint8_t(mark | (1 << d));
                vx += kDx[d];
                vy += kDy[d];
                // Turn left when the pixel ahead-left is inside, go on when the one
                // ahead-right is, else turn right.
                const auto [ax, ay] = leftOf(vx, vy, d);
                const auto [bx, by] = rightOf(vx, vy, d);
                int next = (d + 1) % 4;
                if (inside(ax, ay))
                    next = (d + 3) % 4;
                else if (inside(bx, by))
                    next = d;
                if (next != d)
                    LineTo({double(left + vx), double(top + vy)});
                d = next;
                if (!Spend(1))
                    break;
            }
            ClosePath();
        }
}

cairo_font_face_t* Canvas::FaceFor(const Font& font)
{
    const std::string key = font.face + '\n' + std::to_string(font.weight) + (font.italic ? "i" : "");
    auto found = m_faces.find(key);
    if (found != m_faces.end())
        return found->second.get();
    if (m_faces.size() >= 256)
        m_faces.clear();
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return nullptr;
    // The metafile's face when it is installed (or has an alias), else a sans face.
    if (!font.face.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.face.c_str()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(std::clamp(font.weight, 1, 1000)));
    FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
    FcPatternDestroy(pattern);
    if (cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(face);
        return nullptr;
    }
    return (m_faces[key] = std::unique_ptr<cairo_font_face_t, CairoFree>(face)).get();
}

double Canvas::Text(const TextRun& run, const Font& font, const Affine& toDevice, bool toPath, RGBQUAD colour,
                    RGBQUAD back, bool opaque)
{
    if (run.text.empty() || !Usable(toDevice))
        return 0;
    cairo_font_face_t* face = FaceFor(font);
    if (!face)
        return 0;
    // Glyph positions in logical units along the baseline, unhinted so they scale.
    std::unique_ptr<cairo_font_options_t, void (*)(cairo_font_options_t*)> options(cairo_font_options_create(),
                                                                                  cairo_font_options_destroy);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    const Affine identity = Identity();
    const auto scaled = [&](double sx, double sy, const Affine& ctm) {
        Affine m;
        cairo_matrix_init_scale(&m, sx, sy);
        return std::unique_ptr<cairo_scaled_font_t, CairoFree>(cairo_scaled_font_create(face, &m, &ctm, options.get()));
    };
    const double deviceScale = std::sqrt(std::fabs(toDevice.xx * toDevice.yy - toDevice.xy * toDevice.yx));
    double em = std::fabs(font.height);
    if (font.height == 0)
        em = 12 / deviceScale;
    if (!(em > 0) || !std::isfinite(em) || em * deviceScale > kLargestGlyph || em * deviceScale < 0.05)
        return 0;
    if (font.height > 0) {
        // A positive height is the cell: ascent and descent together.
        auto unit = scaled(1, 1, identity);
        cairo_font_extents_t fe;
        cairo_scaled_font_extents(unit.get(), &fe);
        if (fe.ascent + fe.descent > 0)
            em /= fe.ascent + fe.descent;
    }
    double stretch = 1;
    if (font.width > 0) {
        auto plain = scaled(em, em, identity);
        cairo_text_extents_t te;
        cairo_scaled_font_text_extents(plain.get(), "abcdefghijklmnopqrstuvwxyz", &te);
        if (te.x_advance > 0)
            stretch = std::clamp(font.width / (te.x_advance / 26), 0.01, 100.0);
    }
    auto metric = scaled(em * stretch, em, identity);
    if (cairo_scaled_font_status(metric.get()) != CAIRO_STATUS_SUCCESS)
        return 0;
    cairo_font_extents_t fe;
    cairo_scaled_font_extents(metric.get(), &fe);

    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (run.glyphs) {
        // Glyph numbers of the face found: one past its last would put the renderer in error.
        FT_Face ftFace = cairo_ft_scaled_font_lock_face(metric.get());
        const unsigned long faceGlyphs = ftFace ? static_cast<unsigned long>(ftFace->num_glyphs) : 0;
        cairo_ft_scaled_font_unlock_face(metric.get());
        if (run.text.size() > (1u << 24))
            return 0;
        count = int(run.text.size());
        glyphs = cairo_glyph_allocate(count);
        if (!glyphs)
            return 0;
        for (int i = 0; i < count; ++i) {
            const unsigned long index = run.text[size_t(i)];
            glyphs[i] = {index < faceGlyphs ? index : 0, 0, 0};  // placed below, as characters are
        }
    } else {
        const std::string utf8 = Utf8(run.text);
        if (cairo_scaled_font_text_to_glyphs(metric.get(), 0, 0, utf8.data(), int(utf8.size()), &glyphs, &count,
                                             nullptr, nullptr, nullptr) != CAIRO_STATUS_SUCCESS)
            return 0;
    }
    std::unique_ptr<cairo_glyph_t, void (*)(cairo_glyph_t*)> owned(glyphs, cairo_glyph_free);
    double advance = 0;
    if (count > 0) {
        cairo_text_extents_t te;
        cairo_scaled_font_glyph_extents(metric.get(), glyphs, count, &te);
        advance = glyphs[count - 1].x + 0;
        cairo_scaled_font_glyph_extents(metric.get(), glyphs + count - 1, 1, &te);
        advance += te.x_advance;
    }
    if (size_t(count) == run.text.size()) {
        // The record's own spacing replaces the font's.
        double x = 0;
        for (int i = 0; i < count; ++i) {
            glyphs[i].x = x;
            x += (run.dx.size() > size_t(i) ? run.dx[size_t(i)] : 0) + run.extra;
            if (run.dx.size() <= size_t(i)) {
                cairo_text_extents_t te;
                cairo_scaled_font_glyph_extents(metric.get(), glyphs + i, 1, &te);
                x += te.x_advance;
            }
        }
        advance = x;
    }
    if (!Spend(uint64_t(count) * uint64_t(std::min(em * deviceScale * em * deviceScale,
                                                   double(m_width) * double(m_height))) + 1))
        return advance;

    // Baseline space (u along the text, v downwards on the page) to pixels.
    const double angle = font.escapement / 10 * kPi / 180;
    Affine rotate;
    cairo_matrix_init(&rotate, std::cos(angle), -std::sin(angle), std::sin(angle), std::cos(angle), 0, 0);
    Affine flip = Identity();
    if (run.yUp)
        flip.yy = -1;
    Affine linear = toDevice;
    linear.x0 = linear.y0 = 0;
    const Affine basis = Then(Then(rotate, flip), linear);
    double u = 0, v = 0;
    const uint32_t horizontal = run.align & 6, vertical = run.align & 24;
    if (horizontal == 6)
        u = -advance / 2;
    else if (horizontal == 2)
        u = -advance;
    if (vertical == 0)
        v = fe.ascent;
    else if (vertical == 8)
        v = -fe.descent;
    const PointD origin = Apply(toDevice, run.origin);
    const auto place = [&](double gu, double gv) {
        const PointD d = Apply(basis, {u + gu, v + gv});
        return PointD{Tame(origin.x + d.x), Tame(origin.y + d.y)};
    };
    cairo_t* cr = m_cr.get();
    const auto band = [&](double top, double bottom) {
        const PointD a = place(0, top), b = place(advance, top), c = place(advance, bottom), d = place(0, bottom);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_line_to(cr, c.x, c.y);
        cairo_line_to(cr, d.x, d.y);
        cairo_close_path(cr);
    };
    std::unique_ptr<cairo_path_t, CairoFree> kept;
    if (!toPath) {
        kept.reset(cairo_copy_path(cr));
        cairo_new_path(cr);
    }
    ApplyClip();
    if (opaque && !toPath) {
        band(-fe.ascent, fe.descent);
        SetColour(cr, back);
        cairo_fill(cr);
    }
    for (int i = 0; i < count; ++i) {
        const PointD p = place(glyphs[i].x, 0);
        glyphs[i].x = p.x;
        glyphs[i].y = p.y;
    }
    Affine fontMatrix;
    cairo_matrix_init_scale(&fontMatrix, em * stretch, em);
    fontMatrix = Then(fontMatrix, basis);
    cairo_save(cr);
    cairo_set_font_face(cr, face);
    cairo_set_font_matrix(cr, &fontMatrix);
    cairo_set_font_options(cr, options.get());
    SetColour(cr, colour);
    if (toPath)
        cairo_glyph_path(cr, glyphs, count);
    else
        cairo_show_glyphs(cr, glyphs, count);
    cairo_restore(cr);
    const double thickness = std::max(em / 14, 1 / deviceScale);
    if (font.underline)
        band(fe.descent * 0.3, fe.descent * 0.3 + thickness);
    if (font.strikeOut)
        band(-fe.ascent * 0.3 - thickness / 2, -fe.ascent * 0.3 + thickness / 2);
    if ((font.underline || font.strikeOut) && !toPath) {
        SetColour(cr, colour);
        cairo_fill(cr);
    }
    if (kept && kept->status == CAIRO_STATUS_SUCCESS)
        cairo_append_path(cr, kept.get());
    return advance;
}

void Canvas::CopyRow(uint32_t y, uint8_t* bgr)
{
    cairo_surface_flush(m_surface.get());
    const uint8_t* data = cairo_image_surface_get_data(m_surface.get());
    if (!data || y >= m_height)
        return;
    const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(cairo_image_surface_get_stride(m_surface.get())));
    for (uint32_t x = 0; x < m_width; ++x) {
        bgr[3 * x] = uint8_t(row[x]);
        bgr[3 * x + 1] = uint8_t(row[x] >> 8);
        bgr[3 * x + 2] = uint8_t(row[x] >> 16);
    }
}

PointD ArcPath(Canvas& canvas, const Affine& toDevice, double left, double top, double right, double bottom,
               PointD start, PointD end, bool clockwise, bool join, bool full)
{
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double rx = std::fabs(right - left) / 2, ry = std::fabs(bottom - top) / 2;
    const auto angleOf = [&](PointD p) {
        return std::atan2((p.y - cy) / std::max(ry, 1e-12), (p.x - cx) / std::max(rx, 1e-12));
    };
    const double a0 = full ? 0 : angleOf(start);
    const double a1 = full ? 0 : angleOf(end);
    // Angles grow clockwise with y downwards; the default direction runs against them.
    double sweep = clockwise ? a1 - a0 : a0 - a1;
    while (sweep <= 1e-12) sweep += 2 * kPi;
    while (sweep > 2 * kPi + 1e-12) sweep -= 2 * kPi;
    if (full)
        sweep = 2 * kPi;
    const double sign = clockwise ? 1 : -1;
    const int pieces = int(std::ceil(sweep / (kPi / 2) - 1e-9));
    const double step = sign * sweep / std::max(pieces, 1);
    const auto at = [&](double t) { return PointD{cx + rx * std::cos(t), cy + ry * std::sin(t)}; };
    const auto slope = [&](double t) { return PointD{-rx * std::sin(t), ry * std::cos(t)}; };
    const PointD first = Apply(toDevice, at(a0));
    if (join && canvas.HasPoint())
        canvas.LineTo(first);
    else
        canvas.MoveTo(first);
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    for (int i = 0; i < pieces; ++i) {
        const double t0 = a0 + step * i, t1 = t0 + step;
        const PointD p0 = at(t0), p3 = at(t1), d0 = slope(t0), d1 = slope(t1);
        canvas.CurveTo(Apply(toDevice, {p0.x + k * d0.x, p0.y + k * d0.y}),
                       Apply(toDevice, {p3.x - k * d1.x, p3.y - k * d1.y}), Apply(toDevice, p3));
    }
    return at(a0 + sign * sweep);
}

}  // namespace lfwmf
