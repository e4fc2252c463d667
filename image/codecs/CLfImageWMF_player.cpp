#include "image/codecs/CLfImageWMF_player.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lfwmf {

namespace {

constexpr size_t kMaxObjects = 65536;
constexpr size_t kMaxSavedStates = 1024;
constexpr char kCancelled[] = "Cancelled";
constexpr double kPi = 3.14159265358979323846;

SharedRegion Share(Region region)
{
    return SharedRegion(region.release(), [](const cairo_region_t* r) {
        cairo_region_destroy(const_cast<cairo_region_t*>(r));
    });
}

// Pixels per logical unit along x and y.
double ScaleX(const Affine& m)
{
    return std::hypot(m.xx, m.yx);
}
double ScaleY(const Affine& m)
{
    return std::hypot(m.xy, m.yy);
}

}  // namespace

float Params::F32(size_t at) const
{
    const uint32_t bits = U32(at);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return std::isfinite(f) ? f : 0.0f;
}

RGBQUAD ColourRef(uint32_t c)
{
    return RGBQUAD{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 0};
}

Pen MakePen(uint32_t style, double width, uint32_t colour)
{
    Pen pen;
    pen.style = int(style & 0x0F);
    pen.visible = pen.style != 5;
    pen.colour = ColourRef(colour);
    pen.width = std::fabs(width);
    pen.cap = (style >> 8) & 0x0F;
    pen.join = (style >> 12) & 0x0F;
    pen.geometric = (style & 0x00010000) != 0;
    return pen;
}

std::u32string AnsiText(const uint8_t* bytes, size_t count)
{
    // 0x80..0x9F of the code page; the rest is Latin-1.
    static const char16_t kHigh[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                       0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                       0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                       0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::u32string out;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        out += b >= 0x80 && b < 0xA0 ? char32_t(kHigh[b - 0x80]) : char32_t(b);
    }
    return out;
}

std::u32string WideText(const uint8_t* bytes, size_t units)
{
    std::u32string out;
    for (size_t i = 0; i < units; ++i) {
        char32_t c = char32_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units) {
            const char32_t low = char32_t(bytes[2 * i + 2] | (bytes[2 * i + 3] << 8));
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        out += c;
    }
    return out;
}

std::u32string RecordText(const uint8_t* chars, size_t count, bool wide, uint32_t options)
{
    if (!(options & 0x10))
        return wide ? WideText(chars, count) : AnsiText(chars, count);
    std::u32string glyphs;
    for (size_t i = 0; i < count; ++i)
        glyphs += wide ? char32_t(chars[2 * i] | (chars[2 * i + 1] << 8)) : char32_t(chars[i]);
    return glyphs;
}

Surface DibSurface(const uint8_t* dib, size_t bytes)
{
    CLfImage picture;
    if (!picture.CreateFromHANDLE(dib, bytes))
        return nullptr;  // a picture we cannot read leaves its area as it is
    return SurfaceOf(picture);
}

// ---- mapping ------------------------------------------------------------------------------

Affine Player::Page() const
{
    const State& s = state;
    double sx = 1, sy = 1;
    // Millimetres per logical unit of the metric modes.
    static const double kMetric[] = {0, 0, 0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};
    switch (s.mapMode) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        sx = kMetric[s.mapMode] * unitsPerMmX;
        sy = -kMetric[s.mapMode] * unitsPerMmY;
        break;
    case 7:
    case 8:
        sx = s.vex / s.wex;
        sy = s.vey / s.wey;
        if (s.mapMode == 7) {
            const double m = std::min(std::fabs(sx), std::fabs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    default: break;
    }
    Affine m;
    cairo_matrix_init(&m, sx, 0, 0, sy, s.vox - s.wox * sx, s.voy - s.woy * sy);
    return m;
}

void Player::SetMapMode(int mode)
{
    if (mode < 1 || mode > 8)
        return;
    if ((mode == 7 || mode == 8) && state.mapMode != 7 && state.mapMode != 8) {
        // Scaled modes start from the extents of the fixed mode they replace.
        const Affine page = Page();
        state.wex = 1;
        state.wey = 1;
        state.vex = page.xx;
        state.vey = page.yy;
    }
    state.mapMode = mode;
}

// ---- drawing ------------------------------------------------------------------------------

void Player::Paint(bool fill, bool stroke)
{
    if (fill)
        m_canvas.Fill(state.brush, state.winding, state.text, state.back, state.opaque, state.rop2);
    if (stroke)
        m_canvas.Stroke(state.pen, ToDevice(), false, state.rop2);
    m_canvas.NewPath();
}

void Player::Polyline(const std::vector<PointD>& points, bool closed)
{
    if (points.empty())
        return;
    if (!inPath)
        m_canvas.NewPath();
    m_canvas.MoveTo(Map(points[0].x, points[0].y));
    for (size_t i = 1; i < points.size(); ++i) m_canvas.LineTo(Map(points[i].x, points[i].y));
    if (points.size() == 1)
        m_canvas.LineTo(Map(points[0].x, points[0].y));
    if (closed)
        m_canvas.ClosePath();
    if (!inPath)
        Paint(closed, true);
}

void Player::PolyPolygon(const std::vector<std::vector<PointD>>& outlines)
{
    if (!inPath)
        m_canvas.NewPath();
    for (const auto& points : outlines) {
        if (points.empty())
            continue;
        m_canvas.MoveTo(Map(points[0].x, points[0].y));
        for (size_t i = 1; i < points.size(); ++i) m_canvas.LineTo(Map(points[i].x, points[i].y));
        m_canvas.ClosePath();
    }
    if (!inPath)
        Paint(true, true);
}

void Player::PolyBezier(const std::vector<PointD>& points, bool fromPosition)
{
    if (points.empty())
        return;
    if (!inPath)
        m_canvas.NewPath();
    size_t i = 0;
    if (fromPosition) {
        if (!inPath || !m_canvas.HasPoint())
            m_canvas.MoveTo(Map(state.position.x, state.position.y));
    } else {
        m_canvas.MoveTo(Map(points[0].x, points[0].y));
        i = 1;
    }
    for (; i + 3 <= points.size(); i += 3) {
        m_canvas.CurveTo(Map(points[i].x, points[i].y), Map(points[i + 1].x, points[i + 1].y),
                         Map(points[i + 2].x, points[i + 2].y));
        state.position = points[i + 2];
    }
    if (!inPath)
        Paint(false, true);
}

void Player::PolyDraw(const std::vector<PointD>& points, const std::vector<uint8_t>& types)
{
    if (!inPath)
        m_canvas.NewPath();
    if (!m_canvas.HasPoint())
        m_canvas.MoveTo(Map(state.position.x, state.position.y));
    PointD figure = state.position;
    for (size_t i = 0; i < points.size() && i < types.size(); ++i) {
        const uint8_t type = types[i] & 0x06;
        if (type == 6) {  // move
            m_canvas.MoveTo(Map(points[i].x, points[i].y));
            figure = points[i];
        } else if (type == 4 && i + 2 < points.size()) {  // Bézier: three points
            m_canvas.CurveTo(Map(points[i].x, points[i].y), Map(points[i + 1].x, points[i + 1].y),
                             Map(points[i + 2].x, points[i + 2].y));
            i += 2;
        } else {
            m_canvas.LineTo(Map(points[i].x, points[i].y));
        }
        state.position = points[i];
        if (types[i] & 1) {
            m_canvas.ClosePath();
            state.position = figure;
        }
    }
    if (!inPath)
        Paint(false, true);
}

void Player::MoveTo(double x, double y)
{
    state.position = {x, y};
    if (inPath)
        m_canvas.MoveTo(Map(x, y));
}

void Player::LineTo(double x, double y)
{
    if (!inPath)
        m_canvas.NewPath();
    if (!inPath || !m_canvas.HasPoint())
        m_canvas.MoveTo(Map(state.position.x, state.position.y));
    m_canvas.LineTo(Map(x, y));
    state.position = {x, y};
    if (!inPath)
        Paint(false, true);
}

// Closed figures leave out their right and bottom pixel edge, and an inside-frame
// pen keeps within the box.
Box Player::Shrunk(Box box) const
{
    if (box.l > box.r)
        std::swap(box.l, box.r);
    if (box.t > box.b)
        std::swap(box.t, box.b);
    const Affine m = ToDevice();
    const double px = ScaleX(m), py = ScaleY(m);
    if (state.pen.visible && state.pen.style == 6 && state.pen.width > 1) {
        const double half = state.pen.width / 2;
        box.l += half, box.r -= half, box.t += half, box.b -= half;
    }
    if (px > 0 && (box.r - box.l) * px > 1)
        box.r -= 1 / px;
    if (py > 0 && (box.b - box.t) * py > 1)
        box.b -= 1 / py;
    return box;
}

void Player::BoxShape(Box box, int shape, double cw, double ch)
{
    box = Shrunk(box);
    const Affine m = ToDevice();
    if (!inPath)
        m_canvas.NewPath();
    const double rw = std::min(std::fabs(cw) / 2, (box.r - box.l) / 2);
    const double rh = std::min(std::fabs(ch) / 2, (box.b - box.t) / 2);
    if (shape == 1) {
        ArcPath(m_canvas, m, box.l, box.t, box.r, box.b, {}, {}, true, false, true);
    } else if (shape == 2 && rw > 0 && rh > 0) {
        const double l = box.l, t = box.t, r = box.r, b = box.b;
        m_canvas.MoveTo(Map(l + rw, t));
        ArcPath(m_canvas, m, r - 2 * rw, t, r, t + 2 * rh, {r - rw, t}, {r, t + rh}, true, true);
        ArcPath(m_canvas, m, r - 2 * rw, b - 2 * rh, r, b, {r, b - rh}, {r - rw, b}, true, true);
        ArcPath(m_canvas, m, l, b - 2 * rh, l + 2 * rw, b, {l + rw, b}, {l, b - rh}, true, true);
        ArcPath(m_canvas, m, l, t, l + 2 * rw, t + 2 * rh, {l, t + rh}, {l + rw, t}, true, true);
    } else {
        m_canvas.MoveTo(Map(box.l, box.t));
        m_canvas.LineTo(Map(box.r, box.t));
        m_canvas.LineTo(Map(box.r, box.b));
        m_canvas.LineTo(Map(box.l, box.b));
    }
    m_canvas.ClosePath();
    if (!inPath)
        Paint(true, true);
}

void Player::ArcShape(Box box, PointD start, PointD end, int kind)
{
    if (kind != 3)
        box = Shrunk(box);
    const Affine m = ToDevice();
    if (!inPath)
        m_canvas.NewPath();
    if (kind == 2)
        m_canvas.MoveTo(Map((box.l + box.r) / 2, (box.t + box.b) / 2));
    if (kind == 3 && (!inPath || !m_canvas.HasPoint()))
        m_canvas.MoveTo(Map(state.position.x, state.position.y));
    const PointD last = ArcPath(m_canvas, m, box.l, box.t, box.r, box.b, start, end, state.clockwise, kind >= 2);
    if (kind == 1 || kind == 2)
        m_canvas.ClosePath();
    if (kind == 3)
        state.position = last;
    if (!inPath)
        Paint(kind == 1 || kind == 2, true);
}

void Player::AngleArc(double x, double y, double radius, double startDegrees, double sweepDegrees)
{
    const Affine m = ToDevice();
    if (!inPath)
        m_canvas.NewPath();
    if (!inPath || !m_canvas.HasPoint())
        m_canvas.MoveTo(Map(state.position.x, state.position.y));
    radius = std::fabs(radius);
    sweepDegrees = std::clamp(sweepDegrees, -720.0, 720.0);
    // Positive sweeps run counter-clockwise on the page; whole turns in two halves.
    const int halves = std::fabs(sweepDegrees) >= 360 ? 2 : 1;
    PointD last = state.position;
    for (int i = 0; i < halves; ++i) {
        const double from = (startDegrees + sweepDegrees * i / halves) * kPi / 180;
        const double to = (startDegrees + sweepDegrees * (i + 1) / halves) * kPi / 180;
        last = ArcPath(m_canvas, m, x - radius, y - radius, x + radius, y + radius,
                       {x + std::cos(from), y - std::sin(from)}, {x + std::cos(to), y - std::sin(to)},
                       sweepDegrees < 0, true);
        if (sweepDegrees == 0)
            break;
    }
    state.position = last;
    if (!inPath)
        Paint(false, true);
}

void Player::Text(const std::u32string& text, const std::vector<double>& dx, double x, double y, uint32_t options,
                  const Box* rect)
{
    TextRun run;
    run.text = text;
    run.dx = dx;
    run.align = state.align;
    run.extra = state.extra;
    run.yUp = Page().yy < 0;
    run.glyphs = options & 0x10;
    const bool updatePosition = state.align & 1;
    run.origin = updatePosition ? state.position : PointD{x, y};
    if (inPath) {
        const double advance = m_canvas.Text(run, state.font, ToDevice(), true, state.text, state.back, false);
        if (updatePosition)
            state.position.x += advance;
        return;
    }
    if (rect && (options & 2)) {  // the rectangle painted in the background colour
        m_canvas.NewPath();
        const PointD a = Map(rect->l, rect->t), b = Map(rect->r, rect->t), c = Map(rect->r, rect->b),
                     d = Map(rect->l, rect->b);
        m_canvas.MoveTo(a);
        m_canvas.LineTo(b);
        m_canvas.LineTo(c);
        m_canvas.LineTo(d);
        m_canvas.ClosePath();
        Brush fill;
        fill.colour = state.back;
        m_canvas.Fill(fill, true, state.text, state.back, true);
        m_canvas.NewPath();
    }
    const bool clipped = rect && (options & 4);
    if (clipped) {
        Region inside = LogicalRegion({*rect});
        if (state.clip)
            cairo_region_intersect(inside.get(), state.clip.get());
        m_canvas.SetClip(inside.get());
    }
    const double advance = m_canvas.Text(run, state.font, ToDevice(), false, state.text, state.back, state.opaque);
    if (clipped)
        m_canvas.SetClip(state.clip.get());
    if (updatePosition)
        state.position.x += advance;
}

// ---- paths --------------------------------------------------------------------------------

void Player::BeginPath()
{
    m_canvas.NewPath();
    inPath = true;
}

void Player::AbortPath()
{
    m_canvas.NewPath();
    inPath = false;
}

void Player::FillPath(bool fill, bool stroke)
{
    inPath = false;
    Paint(fill, stroke);
}

void Player::SelectClipPath(uint32_t mode)
{
    inPath = false;
    CombineClip(m_canvas.PathRegion(state.winding), mode);
}

// ---- clipping -----------------------------------------------------------------------------

void Player::CombineClip(Region region, uint32_t mode)
{
    if (!region)
        return;
    if (mode == 5) {
        state.clip = Share(std::move(region));
    } else {
        const cairo_rectangle_int_t all{0, 0, int(m_canvas.Width()), int(m_canvas.Height())};
        Region current(state.clip ? cairo_region_copy(state.clip.get()) : cairo_region_create_rectangle(&all));
        switch (mode) {
        case 1: cairo_region_intersect(current.get(), region.get()); break;
        case 2: cairo_region_union(current.get(), region.get()); break;
        case 3: cairo_region_xor(current.get(), region.get()); break;
        case 4: cairo_region_subtract(current.get(), region.get()); break;
        default: return;
        }
        state.clip = Share(std::move(current));
    }
    m_canvas.SetClip(state.clip.get());
}

Region Player::LogicalRegion(const std::vector<Box>& boxes)
{
    const Affine m = ToDevice();
    if (m.xy != 0 || m.yx != 0) {
        // Turned by the world transform: the rectangles as polygons.
        m_canvas.NewPath();
        for (const Box& b : boxes) {
            m_canvas.MoveTo(Map(b.l, b.t));
            m_canvas.LineTo(Map(b.r, b.t));
            m_canvas.LineTo(Map(b.r, b.b));
            m_canvas.LineTo(Map(b.l, b.b));
            m_canvas.ClosePath();
        }
        return m_canvas.PathRegion(true);
    }
    std::vector<Box> device;
    for (const Box& b : boxes) {
        const PointD a = Apply(m, {b.l, b.t}), z = Apply(m, {b.r, b.b});
        device.push_back({a.x, a.y, z.x, z.y});
    }
    return DeviceRegion(device);
}

Region Player::DeviceRegion(const std::vector<Box>& boxes)
{
    std::vector<cairo_rectangle_int_t> rects;
    // A mapping that overflowed gives no number: such an edge counts as 0.
    const auto pixel = [](double v) { return std::isnan(v) ? 0 : int(std::clamp(std::floor(v + 0.5), -1e6, 1e6)); };
    for (const Box& b : boxes) {
        const int l = pixel(std::min(b.l, b.r)), r = pixel(std::max(b.l, b.r));
        const int t = pixel(std::min(b.t, b.b)), bt = pixel(std::max(b.t, b.b));
        if (r > l && bt > t)
            rects.push_back({l, t, r - l, bt - t});
    }
    return Region(cairo_region_create_rectangles(rects.data(), int(rects.size())));
}

void Player::ResetClip()
{
    state.clip = nullptr;
    m_canvas.SetClip(nullptr);
}

void Player::OffsetClip(double dx, double dy)
{
    if (!state.clip)
        return;
    const Affine m = ToDevice();
    Region moved(cairo_region_copy(state.clip.get()));
    cairo_region_translate(moved.get(), int(std::lround(std::clamp(m.xx * dx + m.xy * dy, -1e6, 1e6))),
                           int(std::lround(std::clamp(m.yx * dx + m.yy * dy, -1e6, 1e6))));
    state.clip = Share(std::move(moved));
    m_canvas.SetClip(state.clip.get());
}

void Player::PaintRegion(const cairo_region_t* region, int how, const Brush& brush, double w, double h)
{
    if (!region)
        return;
    if (how == 3) {
        m_canvas.RegionOp(region, 0x00550009, nullptr, state.text, state.back);
        return;
    }
    Region shape(cairo_region_copy(region));
    if (how == 1) {
        // The frame: what the region loses when shrunk by the stroke on every side.
        const Affine m = ToDevice();
        const int fw = std::max(1, int(std::lround(std::min(std::fabs(w) * ScaleX(m), 1e5))));
        const int fh = std::max(1, int(std::lround(std::min(std::fabs(h) * ScaleY(m), 1e5))));
        Region inner(cairo_region_copy(region));
        for (const auto& [ox, oy] : {std::pair{fw, 0}, std::pair{-fw, 0}, std::pair{0, fh}, std::pair{0, -fh}}) {
            Region moved(cairo_region_copy(region));
            cairo_region_translate(moved.get(), ox, oy);
            cairo_region_intersect(inner.get(), moved.get());
        }
        cairo_region_subtract(shape.get(), inner.get());
    }
    m_canvas.NewPath();
    const int n = cairo_region_num_rectangles(shape.get());
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(shape.get(), i, &r);
        m_canvas.MoveTo({double(r.x), double(r.y)});
        m_canvas.LineTo({double(r.x + r.width), double(r.y)});
        m_canvas.LineTo({double(r.x + r.width), double(r.y + r.height)});
        m_canvas.LineTo({double(r.x), double(r.y + r.height)});
        m_canvas.ClosePath();
    }
    m_canvas.Fill(how == 2 ? state.brush : brush, true, state.text, state.back, state.opaque, state.rop2);
    m_canvas.NewPath();
}

// ---- bitmaps ------------------------------------------------------------------------------

void Player::Blit(const Surface& picture, double sx, double sy, double sw, double sh, double x, double y, double w,
                  double h, uint32_t rop, const Surface& mask)
{
    if (w == 0 || h == 0)
        return;
    if (!picture)
        sx = sy = 0, sw = sh = 1;
    if (sw == 0 || sh == 0)
        return;
    Affine toLogical;
    cairo_matrix_init(&toLogical, w / sw, 0, 0, h / sh, x - sx * w / sw, y - sy * h / sh);
    m_canvas.RasterOp(picture.get(), sx, sy, sw, sh, Then(toLogical, ToDevice()), rop, &state.brush, state.text,
                      state.back, mask.get(), state.smooth);
}

void Player::AlphaBlend(const Surface& picture, double sx, double sy, double sw, double sh, double x, double y,
                        double w, double h, double alpha)
{
    if (!picture || w == 0 || h == 0 || sw == 0 || sh == 0)
        return;
    Affine toLogical;
    cairo_matrix_init(&toLogical, w / sw, 0, 0, h / sh, x - sx * w / sw, y - sy * h / sh);
    m_canvas.Composite(picture.get(), sx, sy, sw, sh, Then(toLogical, ToDevice()), alpha, state.smooth);
}

void Player::PlgBlit(const Surface& picture, double sx, double sy, double sw, double sh, PointD p0, PointD p1,
                     PointD p2, const Surface& mask)
{
    if (!picture || sw == 0 || sh == 0)
        return;
    Affine toLogical;
    cairo_matrix_init(&toLogical, (p1.x - p0.x) / sw, (p1.y - p0.y) / sw, (p2.x - p0.x) / sh, (p2.y - p0.y) / sh, 0, 0);
    toLogical.x0 = p0.x - toLogical.xx * sx - toLogical.xy * sy;
    toLogical.y0 = p0.y - toLogical.yx * sx - toLogical.yy * sy;
    // With a mask: the source where it is white, the destination kept where black.
    m_canvas.RasterOp(picture.get(), sx, sy, sw, sh, Then(toLogical, ToDevice()), mask ? 0xAACC0020 : 0x00CC0020,
                      &state.brush, state.text, state.back, mask.get(), state.smooth);
}

void Player::Gradient(const std::vector<Vertex>& vertices, const std::vector<std::array<uint32_t, 3>>& items,
                      uint32_t mode)
{
    if (mode > 2)
        return;
    // Windows colours keep the high byte of each 16-bit channel.
    const auto channel = [](uint16_t v) { return (v >> 8) / 255.0; };
    // Pixel centres take the colour of their own corner, as the gradient's ends do.
    Affine toPattern = ToDevice();
    if (!Usable(toPattern))
        return;
    cairo_matrix_invert(&toPattern);
    Affine half;
    cairo_matrix_init_translate(&half, -0.5, -0.5);
    toPattern = Then(half, toPattern);
    using OwnedPattern = std::unique_ptr<cairo_pattern_t, CairoFree>;
    for (const auto& item : items) {
        const size_t corners = mode == 2 ? 3 : 2;
        if (std::any_of(item.begin(), item.begin() + long(corners), [&](uint32_t i) { return i >= vertices.size(); }))
            continue;  // a vertex the record does not hold
        const Vertex& a = vertices[item[0]];
        const Vertex& b = vertices[item[1]];
        if (mode == 2) {
            const Vertex& c = vertices[item[2]];
            const PointD corners[3] = {Map(a.x, a.y), Map(b.x, b.y), Map(c.x, c.y)};
            const double colours[3][3] = {{channel(a.r), channel(a.g), channel(a.b)},
                                          {channel(b.r), channel(b.g), channel(b.b)},
                                          {channel(c.r), channel(c.g), channel(c.b)}};
            m_canvas.ShadedTriangle(corners, colours);
            continue;
        }
        m_canvas.NewPath();
        // The rectangle from a to b; the colour runs from a's side to b's.
        const double l = std::min(a.x, b.x), r = std::max(a.x, b.x), t = std::min(a.y, b.y), bt = std::max(a.y, b.y);
        const Vertex& first = (mode == 0 ? a.x <= b.x : a.y <= b.y) ? a : b;
        const Vertex& last = &first == &a ? b : a;
        OwnedPattern pattern(mode == 0 ? cairo_pattern_create_linear(l, 0, r, 0) : cairo_pattern_create_linear(0, t, 0, bt));
        cairo_pattern_add_color_stop_rgb(pattern.get(), 0, channel(first.r), channel(first.g), channel(first.b));
        cairo_pattern_add_color_stop_rgb(pattern.get(), 1, channel(last.r), channel(last.g), channel(last.b));
        cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
        m_canvas.MoveTo(Map(l, t));
        m_canvas.LineTo(Map(r, t));
        m_canvas.LineTo(Map(r, bt));
        m_canvas.LineTo(Map(l, bt));
        m_canvas.ClosePath();
        cairo_pattern_set_matrix(pattern.get(), &toPattern);
        m_canvas.FillPattern(pattern.get());
        m_canvas.NewPath();
    }
}

void Player::FloodFill(double x, double y, RGBQUAD colour, bool surface)
{
    const PointD p = Map(x, y);
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::fabs(p.x) > 1e9 || std::fabs(p.y) > 1e9)
        return;
    const Region area =
        m_canvas.FloodRegion(int64_t(std::floor(p.x + 0.5)), int64_t(std::floor(p.y + 0.5)), colour, surface);
    if (area && !cairo_region_is_empty(area.get()))
        PaintRegion(area.get(), 2, state.brush);
}

void Player::WidenPath()
{
    if (inPath)
        return;  // only a finished path widens
    m_canvas.WidenPath(state.pen, ToDevice());
}

void Player::SetBrushOrigin(double x, double y)
{
    state.brushOrigin = {x, y};
    m_canvas.SetBrushOrigin(Apply(base, state.brushOrigin));
}

void Player::SetPixel(double x, double y, RGBQUAD colour)
{
    const PointD p = Map(x, y);
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e9 && std::fabs(p.y) < 1e9)
        m_canvas.SetPixel(int64_t(std::floor(p.x + 0.5)), int64_t(std::floor(p.y + 0.5)), colour);
}

// ---- state --------------------------------------------------------------------------------

void Player::Save()
{
    if (m_saved.size() < kMaxSavedStates)
        m_saved.push_back(state);
}

// n < 0: that many states back; n > 0: the n-th saved state.
void Player::Restore(int64_t n)
{
    size_t keep;
    if (n < 0) {
        if (uint64_t(-n) > m_saved.size())
            return;
        keep = m_saved.size() - size_t(-n);
    } else {
        if (n == 0 || uint64_t(n) > m_saved.size())
            return;
        keep = size_t(n) - 1;
    }
    state = m_saved[keep];
    m_saved.resize(keep);
    m_canvas.SetClip(state.clip.get());
    m_canvas.SetBrushOrigin(Apply(base, state.brushOrigin));
}

// A new object in the first free slot (WMF) or the given slot (EMF).
void Player::Store(Object object, int64_t slot)
{
    if (slot < 0) {
        auto free = std::find_if(m_objects.begin(), m_objects.end(), [](const Object& o) { return o.kind == Kind::Free; });
        if (free != m_objects.end()) {
            *free = std::move(object);
            return;
        }
        if (m_objects.size() < kMaxObjects)
            m_objects.push_back(std::move(object));
        return;
    }
    if (uint64_t(slot) >= kMaxObjects)
        return;
    if (size_t(slot) >= m_objects.size())
        m_objects.resize(size_t(slot) + 1);
    m_objects[size_t(slot)] = std::move(object);
}

const Object* Player::Find(uint32_t index) const
{
    return index < m_objects.size() && m_objects[index].kind != Kind::Free ? &m_objects[index] : nullptr;
}

void Player::Select(uint32_t index)
{
    if (index & 0x80000000u) {
        SelectStock(index & 0x7FFFFFFFu);
        return;
    }
    const Object* o = Find(index);
    if (!o)
        return;
    if (o->kind == Kind::Pen)
        state.pen = o->pen;
    else if (o->kind == Kind::Brush)
        state.brush = o->brush;
    else if (o->kind == Kind::Font)
        state.font = o->font;
    else if (o->kind == Kind::Region)
        CombineClip(LogicalRegion(o->region), 5);
}

void Player::Delete(uint32_t index)
{
    if (index < m_objects.size())
        m_objects[index] = Object{};
}

void Player::SelectStock(uint32_t n)
{
    static const uint8_t greys[] = {255, 192, 128, 64, 0};
    if (n <= 4) {
        state.brush = Brush{};
        state.brush.colour = RGBQUAD{greys[n], greys[n], greys[n], 0};
    } else if (n == 5) {
        state.brush.style = Brush::Hollow;
    } else if (n == 6 || n == 7) {
        state.pen = Pen{};
        state.pen.colour = n == 6 ? RGBQUAD{255, 255, 255, 0} : RGBQUAD{};
    } else if (n == 8) {
        state.pen.visible = false;
    } else if (n >= 10 && n <= 17 && n != 15) {
        state.font = Font{};
        state.font.face = n == 10 || n == 11 ? "monospace" : "sans-serif";
    }
}

bool Player::CheckEscape(uint64_t record)
{
    if (m_canvas.Cancelled() || ((record & 0x3FF) == 0 && m_image.info.escape))
        lfcodec::Fail("%s", kCancelled);
    return m_canvas.WithinBudget();
}

}  // namespace lfwmf
