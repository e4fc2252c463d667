#include "image/codecs/CLfImageWMF.h"

#include "image/CLfStream.h"
#include "image/codecs/CLfImageWMF_priv.h"
#include "image/codecs/LfCodecGuard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using lfwmf::Outline;
using lfwmf::PointD;

constexpr char kCorrupted[] = "corrupted WMF";
constexpr char kEmpty[] = "empty WMF";
constexpr char kCancelled[] = "Cancelled";
constexpr int64_t kDpi = 96;
constexpr size_t kPlaceableSize = 22;
constexpr size_t kMetaHeaderSize = 18;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr size_t kEmfHeaderMin = 88;
// Pixels and edge steps one picture may take: a few seconds at most.
constexpr uint64_t kWorkBudget = 400000000;
constexpr size_t kMaxObjects = 65536;
constexpr size_t kMaxSavedStates = 1024;

// Little-endian fields of a record, every read checked against the record's length.
class Params {
public:
    Params(const uint8_t* data, size_t length, bool emf) : m_data(data), m_length(length), m_emf(emf) {}
    size_t Length() const { return m_length; }
    bool Has(uint64_t offset, uint64_t bytes) const { return offset <= m_length && bytes <= m_length - offset; }
    uint16_t U16(size_t at) const { return Need(at, 2), uint16_t(m_data[at] | (m_data[at + 1] << 8)); }
    int16_t I16(size_t at) const { return int16_t(U16(at)); }
    uint32_t U32(size_t at) const
    {
        Need(at, 4);
        return uint32_t(m_data[at]) | (uint32_t(m_data[at + 1]) << 8) | (uint32_t(m_data[at + 2]) << 16) |
               (uint32_t(m_data[at + 3]) << 24);
    }
    int32_t I32(size_t at) const { return int32_t(U32(at)); }
    const uint8_t* Data(size_t at, size_t bytes) const { return Need(at, bytes), m_data + at; }
    // Point count at `at`, each point `pointBytes` long, starting at `first`.
    void NeedPoints(uint64_t first, uint64_t count, uint32_t pointBytes) const
    {
        if (!Has(first, count * pointBytes))
            lfcodec::Fail("%s record holds fewer points than it names", m_emf ? "EMF" : "WMF");
    }

private:
    void Need(size_t at, size_t bytes) const
    {
        if (!Has(at, bytes))
            lfcodec::Fail("%s record too short", m_emf ? "EMF" : "WMF");
    }
    const uint8_t* m_data;
    size_t m_length;
    bool m_emf;
};

RGBQUAD ColourRef(uint32_t c)
{
    return RGBQUAD{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 0};
}

struct Pen {
    bool visible = true;
    RGBQUAD colour{};
    double width = 0;  // logical units; 0 is one pixel
};

struct Brush {
    bool visible = true;
    RGBQUAD colour{255, 255, 255, 0};
};

enum class Kind { Free, Pen, Brush, Other };

struct Object {
    Kind kind = Kind::Free;
    Pen pen;
    Brush brush;
};

struct State {
    Pen pen;
    Brush brush;
    bool winding = false;
    bool scaled = true;  // window-to-viewport scaling (anisotropic mapping)
    double wox = 0, woy = 0, wex = 1, wey = 1;
    double vox = 0, voy = 0, vex = 1, vey = 1;
    PointD position;
};

Pen MakePen(uint32_t style, double width, uint32_t colour)
{
    Pen pen;
    pen.visible = (style & 0x0F) != 5;  // PS_NULL
    pen.colour = ColourRef(colour);
    pen.width = std::fabs(width);
    return pen;
}

Brush MakeBrush(uint32_t style, uint32_t colour)
{
    Brush brush;
    // Solid and hatched brushes paint in their colour; hollow and pattern ones do not.
    brush.visible = style == 0 || style == 2;
    brush.colour = ColourRef(colour);
    return brush;
}

// Plays records into the canvas through the current mapping.
class Player {
public:
    Player(lfwmf::Canvas& canvas, CLfImage& image) : m_canvas(canvas), m_image(image) {}

    State state;
    // Reference coordinates to output pixels (after the window-viewport mapping).
    double baseX = 0, baseY = 0, scaleX = 1, scaleY = 1;

    PointD Map(double x, double y) const
    {
        double rx, ry;
        if (state.scaled) {
            rx = (x - state.wox) * (state.vex / state.wex) + state.vox;
            ry = (y - state.woy) * (state.vey / state.wey) + state.voy;
        } else {
            rx = x - state.wox + state.vox;
            ry = y - state.woy + state.voy;
        }
        return {(rx - baseX) * scaleX, (ry - baseY) * scaleY};
    }
    double PenWidth() const
    {
        const double factor = state.scaled ? std::fabs(state.vex / state.wex) : 1.0;
        return state.pen.width * factor * std::fabs(scaleX);
    }

    void Shapes(const std::vector<Outline>& outlines)
    {
        if (state.brush.visible)
            m_canvas.Fill(outlines, state.winding, state.brush.colour);
        if (state.pen.visible)
            for (const Outline& o : outlines) m_canvas.Stroke(o, true, state.pen.colour, PenWidth());
    }
    void Lines(const Outline& points)
    {
        if (state.pen.visible)
            m_canvas.Stroke(points, false, state.pen.colour, PenWidth());
    }
    void Box(double l, double t, double r, double b, int shape, double cw = 0, double ch = 0)
    {
        const PointD a = Map(l, t), z = Map(r, b);
        if (shape == 0)
            Shapes({{{a.x, a.y}, {z.x, a.y}, {z.x, z.y}, {a.x, z.y}}});
        else if (shape == 1)
            Shapes({lfwmf::EllipseOutline(a.x, a.y, z.x, z.y)});
        else
            Shapes({lfwmf::RoundRectOutline(a.x, a.y, z.x, z.y, cw * std::fabs(z.x - a.x) / std::max(1e-9, std::fabs(r - l)),
                                            ch * std::fabs(z.y - a.y) / std::max(1e-9, std::fabs(b - t)))});
    }
    void LineTo(double x, double y)
    {
        const PointD from = Map(state.position.x, state.position.y), to = Map(x, y);
        Lines({from, to});
        state.position = {x, y};
    }

    void Save()
    {
        if (m_saved.size() < kMaxSavedStates)
            m_saved.push_back(state);
    }
    // n < 0: that many states back; n > 0: the n-th saved state.
    void Restore(int64_t n)
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
    }

    // A new object in the first free slot (WMF) or the given slot (EMF).
    void Store(Object object, int64_t slot = -1)
    {
        if (slot < 0) {
            auto free = std::find_if(m_objects.begin(), m_objects.end(), [](const Object& o) { return o.kind == Kind::Free; });
            if (free != m_objects.end()) {
                *free = object;
                return;
            }
            if (m_objects.size() < kMaxObjects)
                m_objects.push_back(object);
            return;
        }
        if (uint64_t(slot) >= kMaxObjects)
            return;
        if (size_t(slot) >= m_objects.size())
            m_objects.resize(size_t(slot) + 1);
        m_objects[size_t(slot)] = object;
    }
    void Select(uint32_t index)
    {
        if (index & 0x80000000u) {
            SelectStock(index & 0x7FFFFFFFu);
            return;
        }
        if (index >= m_objects.size())
            return;
        const Object& o = m_objects[index];
        if (o.kind == Kind::Pen)
            state.pen = o.pen;
        else if (o.kind == Kind::Brush)
            state.brush = o.brush;
    }
    void Delete(uint32_t index)
    {
        if (index < m_objects.size())
            m_objects[index] = Object{};
    }
    void SelectStock(uint32_t n)
    {
        static const uint8_t greys[] = {255, 192, 128, 64, 0};
        if (n <= 4)
            state.brush = Brush{true, RGBQUAD{greys[n], greys[n], greys[n], 0}};
        else if (n == 5)
            state.brush.visible = false;
        else if (n == 6 || n == 7)
            state.pen = Pen{true, n == 6 ? RGBQUAD{255, 255, 255, 0} : RGBQUAD{}, 0};
        else if (n == 8)
            state.pen.visible = false;
    }

    // A packed DIB of the record painted into the destination rectangle (logical).
    void Bitmap(const uint8_t* dib, size_t bytes, int64_t sx, int64_t sy, int64_t sw, int64_t sh, bool bottomUp,
                double x, double y, double w, double h, uint32_t rop)
    {
        CLfImage picture;
        if (!picture.CreateFromHANDLE(dib, bytes))
            return;  // a picture we cannot read leaves its area as it is
        if (bottomUp)
            sy = int64_t(picture.GetHeight()) - sy - sh;
        const PointD a = Map(x, y), z = Map(x + w, y + h);
        m_canvas.Blit(picture, sx, sy, sw, sh, a.x, a.y, z.x - a.x, z.y - a.y, rop);
    }

    void CheckEscape(uint64_t record)
    {
        if ((record & 0x3FF) == 0 && m_image.info.escape)
            lfcodec::Fail("%s", kCancelled);
    }

private:
    lfwmf::Canvas& m_canvas;
    CLfImage& m_image;
    std::vector<State> m_saved;
    std::vector<Object> m_objects;
};

// count points from `first`, 16-bit (wide false) or 32-bit coordinate pairs.
Outline Points(const Params& p, size_t first, uint64_t count, bool wide, Player& player)
{
    const size_t stride = wide ? 8 : 4;
    p.NeedPoints(first, count, uint32_t(stride));
    Outline out;
    out.reserve(size_t(count));
    for (uint64_t i = 0; i < count; ++i) {
        const size_t at = first + size_t(i) * stride;
        out.push_back(wide ? player.Map(p.I32(at), p.I32(at + 4)) : player.Map(p.I16(at), p.I16(at + 2)));
    }
    return out;
}
Outline Points16(const Params& p, size_t first, uint64_t count, Player& player)
{
    return Points(p, first, count, false, player);
}
Outline Points32(const Params& p, size_t first, uint64_t count, Player& player)
{
    return Points(p, first, count, true, player);
}

// ---- WMF ----------------------------------------------------------------------------------

void PlayWmf(const std::vector<uint8_t>& data, const PlaceableMetaHeader& frame, Player& player, uint32_t width,
             uint32_t height)
{
    // The placeable frame maps onto the whole picture until the file sets its window.
    player.state.wox = frame.left;
    player.state.woy = frame.top;
    player.state.wex = double(frame.right) - frame.left;
    player.state.wey = double(frame.bottom) - frame.top;
    player.state.vex = width;
    player.state.vey = height;

    const Params header(data.data(), data.size(), false);
    size_t pos = std::clamp<size_t>(size_t(header.U16(2)) * 2, kMetaHeaderSize, data.size());
    for (uint64_t record = 0; pos < data.size(); ++record) {
        player.CheckEscape(record);
        if (data.size() - pos < 6)
            lfcodec::Fail("WMF record overruns the file");
        const Params head(data.data() + pos, data.size() - pos, false);
        const uint64_t bytes = uint64_t(head.U32(0)) * 2;
        const uint16_t function = head.U16(4);
        if (bytes < 6 || bytes > data.size() - pos)
            lfcodec::Fail("WMF record overruns the file");
        if (function == 0x0000)
            break;  // end of file
        const Params p(data.data() + pos + 6, size_t(bytes - 6), false);
        State& s = player.state;
        switch (function) {
        case 0x020B: s.woy = p.I16(0), s.wox = p.I16(2); break;  // window origin
        case 0x020C:                                             // window extent
            if (p.I16(0) != 0 && p.I16(2) != 0)
                s.wey = p.I16(0), s.wex = p.I16(2);
            break;
        case 0x020F: s.woy += p.I16(0), s.wox += p.I16(2); break;  // window origin moved
        case 0x0106: s.winding = p.U16(0) == 2; break;           // polygon fill mode
        case 0x001E: player.Save(); break;
        case 0x0127: player.Restore(p.I16(0)); break;
        case 0x0214: s.position = {double(p.I16(2)), double(p.I16(0))}; break;  // move to
        case 0x0213: player.LineTo(p.I16(2), p.I16(0)); break;
        case 0x041B: player.Box(p.I16(6), p.I16(4), p.I16(2), p.I16(0), 0); break;  // rectangle
        case 0x0418: player.Box(p.I16(6), p.I16(4), p.I16(2), p.I16(0), 1); break;  // ellipse
        case 0x061C: player.Box(p.I16(10), p.I16(8), p.I16(6), p.I16(4), 2, p.I16(2), p.I16(0)); break;
        case 0x0325: player.Lines(Points16(p, 2, p.U16(0), player)); break;     // polyline
        case 0x0324: player.Shapes({Points16(p, 2, p.U16(0), player)}); break;  // polygon
        case 0x0538: {                                                          // poly-polygon
            const uint32_t polygons = p.U16(0);
            p.NeedPoints(2, polygons, 2);
            size_t at = 2 + size_t(polygons) * 2;
            std::vector<Outline> outlines;
            for (uint32_t i = 0; i < polygons; ++i) {
                const uint16_t count = p.U16(2 + 2 * i);
                outlines.push_back(Points16(p, at, count, player));
                at += size_t(count) * 4;
            }
            player.Shapes(outlines);
            break;
        }
        case 0x02FA: {  // pen
            Object o;
            o.kind = Kind::Pen;
            o.pen = MakePen(p.U16(0), p.I16(2), p.U32(6));
            player.Store(o);
            break;
        }
        case 0x02FC: {  // brush
            Object o;
            o.kind = Kind::Brush;
            o.brush = MakeBrush(p.U16(0), p.U32(2));
            player.Store(o);
            break;
        }
        case 0x02FB:  // font, palette, pattern brushes, region: they take a slot
        case 0x00F7:
        case 0x01F9:
        case 0x0142:
        case 0x06FF: player.Store(Object{Kind::Other, {}, {}}); break;
        case 0x012D: player.Select(p.U16(0)); break;
        case 0x01F0: player.Delete(p.U16(0)); break;
        case 0x0F43:  // stretched DIB
            if (p.Length() > 22)
                player.Bitmap(p.Data(22, p.Length() - 22), p.Length() - 22, p.I16(12), p.I16(10), p.I16(8), p.I16(6),
                              true, p.I16(20), p.I16(18), p.I16(16), p.I16(14), p.U32(0));
            break;
        case 0x0B41:  // DIB stretched between rectangles
            if (p.Length() > 20)
                player.Bitmap(p.Data(20, p.Length() - 20), p.Length() - 20, p.I16(10), p.I16(8), p.I16(6), p.I16(4),
                              false, p.I16(18), p.I16(16), p.I16(14), p.I16(12), p.U32(0));
            break;
        case 0x0940:  // DIB copied at its size
            if (p.Length() > 16)
                player.Bitmap(p.Data(16, p.Length() - 16), p.Length() - 16, p.I16(6), p.I16(4), p.I16(10), p.I16(8),
                              false, p.I16(14), p.I16(12), p.I16(10), p.I16(8), p.U32(0));
            break;
        default: break;  // text, palettes, regions, clipping and the rest draw nothing here
        }
        pos += size_t(bytes);
    }
}

// ---- EMF ----------------------------------------------------------------------------------

void PlayEmf(const std::vector<uint8_t>& data, Player& player)
{
    size_t pos = 0;
    for (uint64_t record = 0; pos < data.size(); ++record) {
        player.CheckEscape(record);
        if (data.size() - pos < 8)
            lfcodec::Fail("EMF record overruns the file");
        const Params head(data.data() + pos, data.size() - pos, true);
        const uint32_t type = head.U32(0), size = head.U32(4);
        if (size < 8 || size > data.size() - pos)
            lfcodec::Fail("EMF record overruns the file");
        if (type == 14)
            break;  // end of file
        const Params p(data.data() + pos + 8, size - 8, true);
        State& s = player.state;
        switch (type) {
        case 9:  // window extent
            if (p.I32(0) != 0 && p.I32(4) != 0)
                s.wex = p.I32(0), s.wey = p.I32(4);
            break;
        case 10: s.wox = p.I32(0), s.woy = p.I32(4); break;
        case 11:
            if (p.I32(0) != 0 && p.I32(4) != 0)
                s.vex = p.I32(0), s.vey = p.I32(4);
            break;
        case 12: s.vox = p.I32(0), s.voy = p.I32(4); break;
        case 17: s.scaled = p.U32(0) == 7 || p.U32(0) == 8; break;  // isotropic, anisotropic
        case 19: s.winding = p.U32(0) == 2; break;
        case 27: s.position = {double(p.I32(0)), double(p.I32(4))}; break;
        case 54: player.LineTo(p.I32(0), p.I32(4)); break;
        case 33: player.Save(); break;
        case 34: player.Restore(p.I32(0)); break;
        case 37: player.Select(p.U32(0)); break;
        case 40: player.Delete(p.U32(0)); break;
        case 38: {  // pen
            Object o;
            o.kind = Kind::Pen;
            o.pen = MakePen(p.U32(4), p.I32(8), p.U32(16));
            player.Store(o, p.U32(0));
            break;
        }
        case 95: {  // extended pen
            Object o;
            o.kind = Kind::Pen;
            o.pen = MakePen(p.U32(20), p.U32(24), p.U32(32));
            o.pen.visible = o.pen.visible && p.U32(28) != 1;
            player.Store(o, p.U32(0));
            break;
        }
        case 39: {  // brush
            Object o;
            o.kind = Kind::Brush;
            o.brush = MakeBrush(p.U32(4), p.U32(8));
            player.Store(o, p.U32(0));
            break;
        }
        case 49:  // palette, font, pattern brushes: they take their slot
        case 82:
        case 93:
        case 94: player.Store(Object{Kind::Other, {}, {}}, p.U32(0)); break;
        case 42: player.Box(p.I32(0), p.I32(4), p.I32(8), p.I32(12), 1); break;
        case 43: player.Box(p.I32(0), p.I32(4), p.I32(8), p.I32(12), 0); break;
        case 44: player.Box(p.I32(0), p.I32(4), p.I32(8), p.I32(12), 2, p.I32(16), p.I32(20)); break;
        case 2:  // Bézier curves through their control points
        case 4: player.Lines(Points32(p, 20, p.U32(16), player)); break;
        case 3: player.Shapes({Points32(p, 20, p.U32(16), player)}); break;
        case 87: player.Lines(Points16(p, 20, p.U32(16), player)); break;
        case 86: player.Shapes({Points16(p, 20, p.U32(16), player)}); break;
        case 6:
        case 89: {  // lines on from the current position
            const bool wide = type == 6;
            const uint64_t count = p.U32(16);
            const size_t stride = wide ? 8 : 4;
            p.NeedPoints(20, count, uint32_t(stride));
            for (uint64_t i = 0; i < count; ++i) {
                const size_t at = 20 + size_t(i) * stride;
                if (wide)
                    player.LineTo(p.I32(at), p.I32(at + 4));
                else
                    player.LineTo(p.I16(at), p.I16(at + 2));
            }
            break;
        }
        case 7:
        case 8:
        case 90:
        case 91: {  // poly-polylines and poly-polygons
            const bool wide = type == 7 || type == 8;
            const bool filled = type == 8 || type == 91;
            const uint64_t polygons = p.U32(16);
            p.NeedPoints(24, polygons, 4);
            size_t at = 24 + size_t(polygons) * 4;
            std::vector<Outline> outlines;
            for (uint64_t i = 0; i < polygons; ++i) {
                const uint32_t count = p.U32(24 + 4 * size_t(i));
                outlines.push_back(Points(p, at, count, wide, player));
                at += size_t(count) * (wide ? 8 : 4);
            }
            if (filled)
                player.Shapes(outlines);
            else
                for (const Outline& o : outlines) player.Lines(o);
            break;
        }
        case 81: {  // stretched DIB
            const uint32_t offBmi = p.U32(40) , cbBmi = p.U32(44), offBits = p.U32(48), cbBits = p.U32(52);
            if (cbBmi == 0 || offBmi < 8 || offBits < 8)
                break;
            const Params whole(data.data() + pos, size, true);
            if (!whole.Has(offBmi, cbBmi) || !whole.Has(offBits, cbBits))
                lfcodec::Fail("EMF bitmap outside its record");
            std::vector<uint8_t> dib(whole.Data(offBmi, cbBmi), whole.Data(offBmi, cbBmi) + cbBmi);
            dib.insert(dib.end(), whole.Data(offBits, cbBits), whole.Data(offBits, cbBits) + cbBits);
            player.Bitmap(dib.data(), dib.size(), p.I32(24), p.I32(28), p.I32(32), p.I32(36), true, p.I32(16),
                          p.I32(20), p.I32(64), p.I32(68), p.U32(60));
            break;
        }
        default: break;  // text, clipping, paths and the rest draw nothing here
        }
        pos += size;
    }
}

PlaceableMetaHeader ReadPlaceable(const uint8_t* raw)
{
    const Params p(raw, kPlaceableSize, false);
    PlaceableMetaHeader h;
    h.key = p.U32(0);
    h.handle = p.U16(4);
    h.left = p.I16(6);
    h.top = p.I16(8);
    h.right = p.I16(10);
    h.bottom = p.I16(12);
    h.inch = p.U16(14);
    h.reserved = p.U32(16);
    h.checksum = p.U16(20);
    return h;
}

}  // namespace

bool CLfImageWMF::IsPlaceableHeader(const PlaceableMetaHeader& header, const uint8_t* raw)
{
    if (header.key != kPlaceableKey || header.inch < 1 || header.inch > 2540)
        return false;
    uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= uint16_t(raw[2 * i] | (raw[2 * i + 1] << 8));
    return sum == header.checksum;
}

void CLfImageWMF::FitWithinLimit(int64_t& width, int64_t& height)
{
    if (width > kMaxSide) {
        height = height * kMaxSide / width;
        width = kMaxSide;
    }
    if (height > kMaxSide) {
        width = width * kMaxSide / height;
        height = kMaxSide;
    }
}

bool CLfImageWMF::Decode(CLfStream* stream, int32_t width, int32_t height)
{
    return lfcodec::GuardDecode(*this, stream, [&] { return DecodeBody(stream, width, height); });
}

bool CLfImageWMF::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] {
        SetLastError("Save WMF not supported");
        return false;
    });
}

bool CLfImageWMF::DecodeBody(CLfStream* stream, int32_t width, int32_t height)
{
    if (info.escape)
        lfcodec::Fail("%s", kCancelled);
    const int64_t start = stream->Tell();

    // A placeable WMF: its header, the metafile header, then the records.
    std::vector<uint8_t> data;
    PlaceableMetaHeader frame;
    bool wmf = false, emf = false;
    int64_t w = 0, h = 0;
    uint8_t raw[kPlaceableSize + kMetaHeaderSize];
    if (stream->Read(raw, 1, sizeof raw) == sizeof raw) {
        frame = ReadPlaceable(raw);
        const Params meta(raw + kPlaceableSize, kMetaHeaderSize, false);
        const uint16_t kind = meta.U16(0);
        const uint64_t bytes = uint64_t(meta.U32(6)) * 2;
        if (IsPlaceableHeader(frame, raw) && (kind == 1 || kind == 2) && bytes >= kMetaHeaderSize &&
            stream->Seek(start + int64_t(kPlaceableSize), CLfStream::kSeekSet) &&
            bytes <= uint64_t(lfcodec::BytesLeft(stream))) {
            data.resize(size_t(bytes));
            wmf = stream->Read(data.data(), 1, data.size()) == data.size();
            w = (int64_t(frame.right) - frame.left) * kDpi / frame.inch;
            h = (int64_t(frame.bottom) - frame.top) * kDpi / frame.inch;
        }
    }
    // Otherwise an enhanced metafile: a header record of type 1 with the signature.
    if (!wmf) {
        if (!stream->Seek(start, CLfStream::kSeekSet))
            lfcodec::Fail("%s", kCorrupted);
        const int64_t left = lfcodec::BytesLeft(stream);
        uint8_t head[kEmfHeaderMin];
        if (left >= int64_t(kEmfHeaderMin) && stream->Read(head, 1, sizeof head) == sizeof head) {
            const Params p(head, sizeof head, true);
            if (p.U32(0) == 1 && p.U32(4) >= kEmfHeaderMin && p.U32(40) == kEmfSignature && p.U32(4) <= left) {
                // The records end at the header's byte count when it is plausible,
                // else at the end of the stream.
                const uint64_t declared = p.U32(48);
                const uint64_t total = (declared >= p.U32(4) && declared <= uint64_t(left)) ? declared : uint64_t(left);
                data.assign(head, head + sizeof head);
                data.resize(size_t(total));
                emf = stream->Read(data.data() + sizeof head, 1, data.size() - sizeof head) == data.size() - sizeof head;
                w = int64_t(p.I32(16)) - p.I32(8);
                h = int64_t(p.I32(20)) - p.I32(12);
            }
        }
    }
    if (!wmf && !emf)
        lfcodec::Fail("%s", kCorrupted);
    if (info.escape)
        lfcodec::Fail("%s", kCancelled);
    if (width > 0)
        w = width;
    if (height > 0)
        h = height;
    if (w <= 0 || h <= 0)
        lfcodec::Fail("%s", kEmpty);
    const int64_t boundsW = w, boundsH = h;
    FitWithinLimit(w, h);
    if (w <= 0 || h <= 0)
        lfcodec::Fail("%s", kEmpty);
    if (!CheckSize(w, h, 24, 4))
        lfcodec::Fail("%s", info.lastError);

    lfwmf::Canvas canvas(uint32_t(w), uint32_t(h), RGBQUAD{255, 255, 255, 0}, kWorkBudget);
    Player player(canvas, *this);
    if (wmf) {
        PlayWmf(data, frame, player, uint32_t(w), uint32_t(h));
    } else {
        // Reference-device pixels: the bounds fill the picture.
        const Params p(data.data(), data.size(), true);
        player.baseX = p.I32(8);
        player.baseY = p.I32(12);
        player.scaleX = double(w) / double(boundsW);
        player.scaleY = double(h) / double(boundsH);
        PlayEmf(data, player);
    }
    if (info.escape)
        lfcodec::Fail("%s", kCancelled);
    if (!canvas.WithinBudget())
        lfcodec::Fail("WMF too complex to draw");

    if (!Create(w, h, 24, lfimg::kTypeWMF))
        lfcodec::Fail("%s", info.lastError);
    for (uint32_t y = 0; y < uint32_t(h); ++y)
        std::memcpy(GetBits(uint32_t(h) - 1 - y), canvas.Row(y), size_t(w) * 3);
    return true;
}
