#include "image/codecs/CLfImageWMF_priv.h"

#include <algorithm>
#include <cmath>

namespace lfwmf {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Coordinates far outside the picture are pulled in, so that no arithmetic overflows.
constexpr double kFar = 1e7;

double Tame(double v)
{
    if (!std::isfinite(v))
        return 0;
    return std::clamp(v, -kFar, kFar);
}

struct Edge {
    double x0, y0, x1, y1;
    int direction;  // +1 downwards, -1 upwards
};

}  // namespace

Canvas::Canvas(uint32_t width, uint32_t height, RGBQUAD background, uint64_t workBudget)
    : m_width(width), m_height(height), m_pixels(size_t(width) * height * 3), m_budget(workBudget)
{
    for (size_t i = 0; i < m_pixels.size(); i += 3) {
        m_pixels[i] = background.rgbBlue;
        m_pixels[i + 1] = background.rgbGreen;
        m_pixels[i + 2] = background.rgbRed;
    }
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

void Canvas::Span(int64_t y, int64_t x0, int64_t x1, RGBQUAD colour)
{
    if (y < 0 || y >= int64_t(m_height))
        return;
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, m_width);
    if (x0 >= x1 || !Spend(uint64_t(x1 - x0)))
        return;
    uint8_t* p = m_pixels.data() + (size_t(y) * m_width + size_t(x0)) * 3;
    for (int64_t x = x0; x < x1; ++x, p += 3) {
        p[0] = colour.rgbBlue;
        p[1] = colour.rgbGreen;
        p[2] = colour.rgbRed;
    }
}

void Canvas::Fill(const std::vector<Outline>& outlines, bool winding, RGBQUAD colour)
{
    // Edges bucketed by the first pixel row whose centre they cross.
    std::vector<Edge> edges;
    for (const Outline& outline : outlines) {
        for (size_t i = 0; i < outline.size(); ++i) {
            const PointD a = outline[i], b = outline[(i + 1) % outline.size()];
            Edge e{Tame(a.x), Tame(a.y), Tame(b.x), Tame(b.y), 1};
            if (e.y0 == e.y1)
                continue;
            if (e.y0 > e.y1) {
                std::swap(e.x0, e.x1);
                std::swap(e.y0, e.y1);
                e.direction = -1;
            }
            edges.push_back(e);
        }
    }
    if (edges.empty() || !Spend(edges.size()))
        return;
    const auto firstRow = [](const Edge& e) { return std::ceil(e.y0 - 0.5); };
    std::sort(edges.begin(), edges.end(), [&](const Edge& a, const Edge& b) { return a.y0 < b.y0; });

    std::vector<const Edge*> active;
    std::vector<std::pair<double, int>> crossings;
    size_t next = 0;
    const int64_t start = std::max<int64_t>(0, int64_t(firstRow(edges.front())));
    for (int64_t y = start; y < int64_t(m_height); ++y) {
        const double centre = double(y) + 0.5;
        while (next < edges.size() && edges[next].y0 <= centre)
            active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [&](const Edge* e) { return e->y1 <= centre; }),
                     active.end());
        if (active.empty()) {
            if (next == edges.size())
                break;
            continue;
        }
        if (!Spend(active.size()))
            return;
        crossings.clear();
        for (const Edge* e : active) {
            const double x = e->x0 + (centre - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0);
            crossings.emplace_back(x, e->direction);
        }
        std::sort(crossings.begin(), crossings.end());
        int count = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            count = winding ? count + crossings[i].second : count + 1;
            const bool inside = winding ? count != 0 : (count & 1) != 0;
            if (inside)
                Span(y, int64_t(std::ceil(crossings[i].first - 0.5)), int64_t(std::ceil(crossings[i + 1].first - 0.5)),
                     colour);
        }
    }
}

void Canvas::ThinLine(PointD a, PointD b, RGBQUAD colour)
{
    // Clipped to just outside the picture first, so the steps stay few.
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x + 1, double(m_width) + 1 - a.x, a.y + 1, double(m_height) + 1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return;
    const PointD s{a.x + t0 * dx, a.y + t0 * dy}, e{a.x + t1 * dx, a.y + t1 * dy};
    const double steps = std::max(std::fabs(e.x - s.x), std::fabs(e.y - s.y));
    const int64_t n = int64_t(std::ceil(steps));
    if (!Spend(uint64_t(n) + 1))
        return;
    for (int64_t i = 0; i <= n; ++i) {
        const double t = n == 0 ? 0 : double(i) / double(n);
        const int64_t x = int64_t(std::floor(s.x + t * (e.x - s.x)));
        const int64_t y = int64_t(std::floor(s.y + t * (e.y - s.y)));
        Span(y, x, x + 1, colour);
    }
}

void Canvas::Stroke(const Outline& points, bool closed, RGBQUAD colour, double width)
{
    if (points.empty())
        return;
    const size_t segments = closed ? points.size() : points.size() - 1;
    if (width <= 1.5) {
        for (size_t i = 0; i < segments; ++i) {
            const PointD a = points[i], b = points[(i + 1) % points.size()];
            ThinLine({Tame(a.x), Tame(a.y)}, {Tame(b.x), Tame(b.y)}, colour);
        }
        if (points.size() == 1)
            ThinLine(points[0], points[0], colour);
        return;
    }
    // Wide pens: each segment a quadrilateral, each joint a square of the width.
    const double half = std::min(width, kFar) / 2;
    std::vector<Outline> shapes;
    for (size_t i = 0; i < segments; ++i) {
        const PointD a{Tame(points[i].x), Tame(points[i].y)};
        const PointD b{Tame(points[(i + 1) % points.size()].x), Tame(points[(i + 1) % points.size()].y)};
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        if (len > 0) {
            const double nx = -(b.y - a.y) / len * half, ny = (b.x - a.x) / len * half;
            shapes.push_back({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
        }
    }
    for (const PointD& p : points) {
        const PointD c{Tame(p.x), Tame(p.y)};
        shapes.push_back({{c.x - half, c.y - half}, {c.x + half, c.y - half}, {c.x + half, c.y + half},
                          {c.x - half, c.y + half}});
    }
    Fill(shapes, true, colour);
}

void Canvas::Blit(const CLfImage& source, int64_t sx, int64_t sy, int64_t sw, int64_t sh, double dx, double dy,
                  double dw, double dh, uint32_t rop)
{
    if (!source.IsValid() || sw == 0 || sh == 0 || dw == 0 || dh == 0)
        return;
    dx = Tame(dx);
    dy = Tame(dy);
    dw = Tame(dw);
    dh = Tame(dh);
    const double left = std::min(dx, dx + dw), right = std::max(dx, dx + dw);
    const double top = std::min(dy, dy + dh), bottom = std::max(dy, dy + dh);
    const int64_t x0 = std::max<int64_t>(0, int64_t(std::ceil(left - 0.5)));
    const int64_t x1 = std::min<int64_t>(m_width, int64_t(std::ceil(right - 0.5)));
    const int64_t y0 = std::max<int64_t>(0, int64_t(std::ceil(top - 0.5)));
    const int64_t y1 = std::min<int64_t>(m_height, int64_t(std::ceil(bottom - 0.5)));
    if (x0 >= x1 || y0 >= y1 || !Spend(uint64_t(x1 - x0) * uint64_t(y1 - y0)))
        return;
    const int64_t w = source.GetWidth(), h = source.GetHeight();
    for (int64_t y = y0; y < y1; ++y) {
        const int64_t srcY = sy + int64_t(std::floor((double(y) + 0.5 - dy) * double(sh) / dh));
        if (srcY < 0 || srcY >= h)
            continue;
        uint8_t* p = m_pixels.data() + (size_t(y) * m_width + size_t(x0)) * 3;
        for (int64_t x = x0; x < x1; ++x, p += 3) {
            const int64_t srcX = sx + int64_t(std::floor((double(x) + 0.5 - dx) * double(sw) / dw));
            if (srcX < 0 || srcX >= w)
                continue;
            const RGBQUAD c = source.GetPixelColor(srcX, h - 1 - srcY);
            const uint8_t in[3] = {c.rgbBlue, c.rgbGreen, c.rgbRed};
            for (int k = 0; k < 3; ++k) {
                switch (rop) {
                case 0x008800C6: p[k] &= in[k]; break;  // source and destination
                case 0x00EE0086: p[k] |= in[k]; break;  // source or destination
                case 0x00660046: p[k] ^= in[k]; break;  // source xor destination
                default: p[k] = in[k]; break;
                }
            }
        }
    }
}

Outline EllipseOutline(double left, double top, double right, double bottom)
{
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double rx = std::fabs(right - left) / 2, ry = std::fabs(bottom - top) / 2;
    const int n = int(std::clamp(std::ceil((rx + ry) * 2), 16.0, 1024.0));
    Outline out;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * kPi * i / n;
        out.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return out;
}

Outline RoundRectOutline(double left, double top, double right, double bottom, double cornerWidth,
                         double cornerHeight)
{
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    const double rx = std::min(std::fabs(cornerWidth) / 2, (right - left) / 2);
    const double ry = std::min(std::fabs(cornerHeight) / 2, (bottom - top) / 2);
    const int n = int(std::clamp(std::ceil((rx + ry) / 2), 4.0, 256.0));
    const struct {
        double cx, cy, from;
    } corners[4] = {{right - rx, top + ry, -kPi / 2},
                    {right - rx, bottom - ry, 0},
                    {left + rx, bottom - ry, kPi / 2},
                    {left + rx, top + ry, kPi}};
    Outline out;
    for (const auto& c : corners)
        for (int i = 0; i <= n; ++i) {
            const double a = c.from + (kPi / 2) * i / n;
            out.push_back({c.cx + rx * std::cos(a), c.cy + ry * std::sin(a)});
        }
    return out;
}

}  // namespace lfwmf
