// The records of an enhanced metafile (32-bit).

#include "image/codecs/CLfImageWMF_player.h"

#include <algorithm>
#include <cmath>

namespace lfwmf {

namespace {

std::vector<PointD> Points(const Params& p, size_t first, uint64_t count, bool wide)
{
    const size_t stride = wide ? 8 : 4;
    p.NeedPoints(first, count, uint32_t(stride));
    std::vector<PointD> out;
    out.reserve(size_t(count));
    for (uint64_t i = 0; i < count; ++i) {
        const size_t at = first + size_t(i) * stride;
        out.push_back(wide ? PointD{double(p.I32(at)), double(p.I32(at + 4))}
                           : PointD{double(p.I16(at)), double(p.I16(at + 2))});
    }
    return out;
}

// The record's packed DIB (header at offBmi, pixels at offBits, both from the
// record's start), or null when it has none.
Surface RecordDib(const Params& whole, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits)
{
    if (cbBmi == 0 || offBmi < 8 || offBits < 8)
        return nullptr;
    if (!whole.Has(offBmi, cbBmi) || !whole.Has(offBits, cbBits))
        lfcodec::Fail("EMF bitmap outside its record");
    std::vector<uint8_t> dib(whole.Data(offBmi, cbBmi), whole.Data(offBmi, cbBmi) + cbBmi);
    dib.insert(dib.end(), whole.Data(offBits, cbBits), whole.Data(offBits, cbBits) + cbBits);
    return DibSurface(dib.data(), dib.size());
}

// The record's picture with its alpha channel: a 32-bit DIB without compression (or
// with the usual masks) keeps its fourth byte, premultiplied as stored; other
// pictures are opaque.
Surface RecordAlphaDib(const Params& whole, uint32_t offBmi, uint32_t cbBmi, uint32_t offBits, uint32_t cbBits)
{
    if (cbBmi < 40 || offBmi < 8 || offBits < 8 || !whole.Has(offBmi, cbBmi) || !whole.Has(offBits, cbBits))
        return RecordDib(whole, offBmi, cbBmi, offBits, cbBits);
    const uint32_t headerSize = whole.U32(offBmi);
    const int32_t w = whole.I32(offBmi + 4), h = whole.I32(offBmi + 8);
    const uint16_t bits = whole.U16(offBmi + 14);
    const uint32_t compression = whole.U32(offBmi + 16);
    bool plain = headerSize >= 40 && headerSize <= cbBmi && bits == 32 && w > 0 && w <= 32767 && h != 0 &&
                 h >= -32767 && h <= 32767 && (compression == 0 || compression == 3);
    if (plain && compression == 3) {
        const size_t masks = offBmi + 40;  // inside a longer header or right after a short one
        plain = whole.Has(masks, 12) && whole.U32(masks) == 0xFF0000 && whole.U32(masks + 4) == 0xFF00 &&
                whole.U32(masks + 8) == 0xFF;
    }
    const uint64_t rows = uint64_t(h < 0 ? -int64_t(h) : h), rowBytes = uint64_t(w) * 4;
    if (!plain || rowBytes * rows > cbBits)
        return RecordDib(whole, offBmi, cbBmi, offBits, cbBits);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, int(rows));
    Surface out(s, CairoFree{});
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    cairo_surface_flush(s);
    uint8_t* data = cairo_image_surface_get_data(s);
    const size_t stride = size_t(cairo_image_surface_get_stride(s));
    const uint8_t* pixels = whole.Data(offBits, size_t(rowBytes * rows));
    for (uint64_t y = 0; data && y < rows; ++y) {
        const uint8_t* in = pixels + size_t(h > 0 ? rows - 1 - y : y) * size_t(rowBytes);
        auto* row = reinterpret_cast<uint32_t*>(data + size_t(y) * stride);
        for (int32_t x = 0; x < w; ++x, in += 4)
            row[x] = uint32_t(in[0]) | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16) | (uint32_t(in[3]) << 24);
    }
    cairo_surface_mark_dirty(s);
    return out;
}

// The picture with the pixels of one colour left out (transparent).
Surface WithoutColour(const Surface& picture, RGBQUAD key)
{
    if (!picture)
        return nullptr;
    cairo_surface_t* in = picture.get();
    const int w = cairo_image_surface_get_width(in), h = cairo_image_surface_get_height(in);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    Surface out(s, CairoFree{});
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    cairo_surface_flush(in);
    cairo_surface_flush(s);
    const uint8_t* src = cairo_image_surface_get_data(in);
    uint8_t* dst = cairo_image_surface_get_data(s);
    const uint32_t colour = (uint32_t(key.rgbRed) << 16) | (uint32_t(key.rgbGreen) << 8) | key.rgbBlue;
    for (int y = 0; src && dst && y < h; ++y) {
        const auto* a = reinterpret_cast<const uint32_t*>(src + size_t(y) * size_t(cairo_image_surface_get_stride(in)));
        auto* b = reinterpret_cast<uint32_t*>(dst + size_t(y) * size_t(cairo_image_surface_get_stride(s)));
        for (int x = 0; x < w; ++x) b[x] = (a[x] & 0xFFFFFF) == colour ? 0 : (a[x] | 0xFF000000u);
    }
    cairo_surface_mark_dirty(s);
    return out;
}

// Rectangles of region data (in reference-device units).
std::vector<Box> RegionData(const Params& p, size_t at, uint32_t bytes)
{
    std::vector<Box> boxes;
    if (bytes < 32 || !p.Has(at, bytes))
        return boxes;
    const uint64_t count = p.U32(at + 8);
    for (uint64_t i = 0; i < count && p.Has(at + 32 + i * 16, 16); ++i) {
        const size_t r = at + 32 + size_t(i) * 16;
        boxes.push_back({double(p.I32(r)), double(p.I32(r + 4)), double(p.I32(r + 8)), double(p.I32(r + 12))});
    }
    return boxes;
}

Affine XForm(const Params& p, size_t at)
{
    Affine m;
    cairo_matrix_init(&m, p.F32(at), p.F32(at + 4), p.F32(at + 8), p.F32(at + 12), p.F32(at + 16), p.F32(at + 20));
    return m;
}

// One EMRTEXT at `at` (offsets inside it count from the record's start, 8 bytes
// before the parameters).
void TextOf(const Params& p, size_t at, bool wide, Player& player)
{
    const double x = p.I32(at), y = p.I32(at + 4);
    const uint32_t count = p.U32(at + 8), offString = p.U32(at + 12), options = p.U32(at + 16);
    const Box rect{double(p.I32(at + 20)), double(p.I32(at + 24)), double(p.I32(at + 28)), double(p.I32(at + 32))};
    const uint32_t offDx = p.U32(at + 36);
    if (count == 0 || offString < 8 || !p.Has(offString - 8, uint64_t(count) * (wide ? 2 : 1))) {
        if (options & 2)  // an opaque rectangle alone
            player.Text({}, {}, x, y, options, &rect);
        return;
    }
    const uint8_t* chars = p.Data(offString - 8, size_t(count) * (wide ? 2 : 1));
    const std::u32string text = RecordText(chars, count, wide, options);
    std::vector<double> dx;
    const uint32_t step = (options & 0x2000) ? 8 : 4;  // with vertical offsets: pairs
    if (offDx >= 8 && p.Has(offDx - 8, uint64_t(count) * step))
        for (uint32_t i = 0; i < count; ++i) dx.push_back(p.I32(offDx - 8 + size_t(i) * step));
    // Surrogate pairs take one character but two advances.
    if (!dx.empty() && dx.size() != text.size()) {
        std::vector<double> merged;
        size_t k = 0;
        for (char32_t c : text) {
            double sum = k < dx.size() ? dx[k++] : 0;
            if (c >= 0x10000 && k < dx.size())
                sum += dx[k++];
            merged.push_back(sum);
        }
        dx = merged;
    }
    player.Text(text, dx, x, y, options, (options & 6) ? &rect : nullptr);
}

}  // namespace

void PlayEmf(const std::vector<uint8_t>& data, Player& player)
{
    size_t pos = 0;
    for (uint64_t record = 0; pos < data.size(); ++record) {
        if (!player.CheckEscape(record))
            break;
        if (data.size() - pos < 8)
            lfcodec::Fail("EMF record overruns the file");
        const Params head(data.data() + pos, data.size() - pos, true);
        const uint32_t type = head.U32(0), size = head.U32(4);
        if (size < 8 || size > data.size() - pos)
            lfcodec::Fail("EMF record overruns the file");
        if (type == 14)
            break;  // end of file
        const Params p(data.data() + pos + 8, size - 8, true);
        const Params whole(data.data() + pos, size, true);
        State& s = player.state;
        const auto box = [&](size_t at) {
            return Box{double(p.I32(at)), double(p.I32(at + 4)), double(p.I32(at + 8)), double(p.I32(at + 12))};
        };
        const auto point = [&](size_t at) { return PointD{double(p.I32(at)), double(p.I32(at + 4))}; };
        switch (type) {
        // mapping
        case 9:
            if (p.I32(0) != 0 && p.I32(4) != 0)
                s.wex = p.I32(0), s.wey = p.I32(4);
            break;
        case 10: s.wox = p.I32(0), s.woy = p.I32(4); break;
        case 11:
            if (p.I32(0) != 0 && p.I32(4) != 0)
                s.vex = p.I32(0), s.vey = p.I32(4);
            break;
        case 12: s.vox = p.I32(0), s.voy = p.I32(4); break;
        case 31:    // scale viewport extent: x numerator, x denominator, y numerator, y denominator
        case 32: {  // scale window extent
            if (p.I32(0) == 0 || p.I32(4) == 0 || p.I32(8) == 0 || p.I32(12) == 0)
                break;
            double& ex = type == 32 ? s.wex : s.vex;
            double& ey = type == 32 ? s.wey : s.vey;
            ex = ex * p.I32(0) / p.I32(4);
            ey = ey * p.I32(8) / p.I32(12);
            break;
        }
        case 17: player.SetMapMode(int(p.U32(0))); break;
        case 35: {
            const Affine m = XForm(p, 0);
            if (Usable(m))
                s.world = m;
            break;
        }
        case 36: {  // modify: 1 identity, 2 before the current, 3 after it, 4 set
            const Affine m = XForm(p, 0);
            const uint32_t mode = p.U32(24);
            Affine next = s.world;
            if (mode == 1)
                next = Identity();
            else if (mode == 2)
                next = Then(m, s.world);
            else if (mode == 3)
                next = Then(s.world, m);
            else if (mode == 4)
                next = m;
            if (Usable(next))
                s.world = next;
            break;
        }
        // context
        case 18: s.opaque = p.U32(0) == 2; break;
        case 19: s.winding = p.U32(0) == 2; break;
        case 21: s.smooth = p.U32(0) == 4; break;
        case 22: s.align = p.U32(0); break;
        case 24: s.text = ColourRef(p.U32(0)); break;
        case 25: s.back = ColourRef(p.U32(0)); break;
        case 57: s.clockwise = p.U32(0) == 2; break;
        case 33: player.Save(); break;
        case 34: player.Restore(p.I32(0)); break;
        // clipping
        case 29: player.CombineClip(player.LogicalRegion({box(0)}), 4); break;
        case 30: player.CombineClip(player.LogicalRegion({box(0)}), 1); break;
        case 26: player.OffsetClip(p.I32(0), p.I32(4)); break;
        case 75: {
            const uint32_t bytes = p.U32(0), mode = p.U32(4);
            if (bytes < 32 && mode == 5) {
                player.ResetClip();  // no region: the whole picture again
                break;
            }
            player.CombineClip(player.DeviceRegion(RegionData(p, 8, bytes)), mode);
            break;
        }
        case 67: player.SelectClipPath(p.U32(0)); break;
        // paths
        case 59: player.BeginPath(); break;
        case 60: player.EndPath(); break;
        case 61: player.CloseFigure(); break;
        case 62: player.FillPath(true, false); break;
        case 63: player.FillPath(true, true); break;
        case 64: player.FillPath(false, true); break;
        case 68: player.AbortPath(); break;
        // lines and shapes
        case 27: player.MoveTo(p.I32(0), p.I32(4)); break;
        case 54: player.LineTo(p.I32(0), p.I32(4)); break;
        case 42: player.BoxShape(box(0), 1); break;
        case 43: player.BoxShape(box(0), 0); break;
        case 44: player.BoxShape(box(0), 2, p.I32(16), p.I32(20)); break;
        case 45:
        case 46:
        case 47:
        case 55: player.ArcShape(box(0), point(16), point(24), type == 55 ? 3 : type - 45); break;
        case 41: player.AngleArc(p.I32(0), p.I32(4), p.U32(8), p.F32(12), p.F32(16)); break;
        case 2:
        case 85: player.PolyBezier(Points(p, 20, p.U32(16), type == 2), false); break;
        case 5:
        case 88: player.PolyBezier(Points(p, 20, p.U32(16), type == 5), true); break;
        case 3:
        case 86: player.Polyline(Points(p, 20, p.U32(16), type == 3), true); break;
        case 4:
        case 87: player.Polyline(Points(p, 20, p.U32(16), type == 4), false); break;
        case 6:
        case 89: {  // lines on from the current position
            const std::vector<PointD> points = Points(p, 20, p.U32(16), type == 6);
            for (const PointD& q : points) player.LineTo(q.x, q.y);
            break;
        }
        case 56:
        case 92: {  // points with their kinds
            const uint32_t count = p.U32(16);
            const bool wide = type == 56;
            const std::vector<PointD> points = Points(p, 20, count, wide);
            const size_t at = 20 + size_t(count) * (wide ? 8 : 4);
            const uint8_t* kinds = p.Data(at, count);
            player.PolyDraw(points, std::vector<uint8_t>(kinds, kinds + count));
            break;
        }
        case 7:
        case 8:
        case 90:
        case 91: {  // poly-polylines and poly-polygons
            const bool wide = type == 7 || type == 8;
            const uint64_t polygons = p.U32(16);
            p.NeedPoints(24, polygons, 4);
            size_t at = 24 + size_t(polygons) * 4;
            std::vector<std::vector<PointD>> outlines;
            for (uint64_t i = 0; i < polygons; ++i) {
                const uint32_t count = p.U32(24 + 4 * size_t(i));
                outlines.push_back(Points(p, at, count, wide));
                at += size_t(count) * (wide ? 8 : 4);
            }
            if (type == 8 || type == 91)
                player.PolyPolygon(outlines);
            else
                for (const auto& o : outlines) player.Polyline(o, false);
            break;
        }
        case 15: player.SetPixel(p.I32(0), p.I32(4), ColourRef(p.U32(8))); break;
        // objects
        case 37: player.Select(p.U32(0)); break;
        case 40: player.Delete(p.U32(0)); break;
        case 38: {
            Object o;
            o.kind = Kind::Pen;
            o.pen = MakePen(p.U32(4), p.I32(8), p.U32(16));
            player.Store(o, p.U32(0));
            break;
        }
        case 95: {  // extended pen: style, width, brush style, colour, hatch, user dashes
            Object o;
            o.kind = Kind::Pen;
            o.pen = MakePen(p.U32(20), p.U32(24), p.U32(32));
            o.pen.visible = o.pen.visible && p.U32(28) != 1;
            if (o.pen.style == 7 && p.Has(40, 4)) {
                const uint32_t n = std::min<uint32_t>(p.U32(40), 16);
                for (uint32_t i = 0; i < n && p.Has(44 + 4 * size_t(i), 4); ++i)
                    o.pen.dashes.push_back(p.U32(44 + 4 * size_t(i)));
            }
            player.Store(o, p.U32(0));
            break;
        }
        case 39: {
            Object o;
            o.kind = Kind::Brush;
            const uint32_t style = p.U32(4);
            o.brush.colour = ColourRef(p.U32(8));
            o.brush.style = style == 0 ? Brush::Solid : style == 2 ? Brush::Hatched : Brush::Hollow;
            o.brush.hatch = int(std::min<uint32_t>(p.U32(12), 5));
            player.Store(o, p.U32(0));
            break;
        }
        case 93:    // monochrome pattern brush
        case 94: {  // DIB pattern brush
            Object o;
            o.kind = Kind::Brush;
            o.brush.style = Brush::Hollow;
            o.brush.pattern = RecordDib(whole, p.U32(8), p.U32(12), p.U32(16), p.U32(20));
            if (o.brush.pattern)
                o.brush.style = type == 93 ? Brush::MonoPattern : Brush::Pattern;
            player.Store(o, p.U32(0));
            break;
        }
        case 82: {  // font: the logical font after its slot
            Object o;
            o.kind = Kind::Font;
            Font& f = o.font;
            f.height = p.I32(4);
            f.width = std::fabs(double(p.I32(8)));  // -2^31 has no int magnitude
            f.escapement = p.I32(12);
            f.weight = p.I32(20) == 0 ? 400 : p.I32(20);
            f.italic = p.U8(24) != 0;
            f.underline = p.U8(25) != 0;
            f.strikeOut = p.U8(26) != 0;
            size_t n = 0;
            while (n < 32 && p.Has(32 + 2 * n, 2) && p.U16(32 + 2 * n)) ++n;
            f.face = Utf8(WideText(p.Data(32, 2 * n), n));
            player.Store(o, p.U32(0));
            break;
        }
        case 49: player.Store(Object{Kind::Other, {}, {}, {}, {}}, p.U32(0)); break;  // palette
        // regions
        case 71:
        case 72: {
            const Object* brush = player.Find(p.U32(20));
            if (!brush || brush->kind != Kind::Brush)
                break;
            if (type == 71) {
                player.PaintRegion(player.DeviceRegion(RegionData(p, 24, p.U32(16))).get(), 0, brush->brush);
            } else {
                // The stroke's size is in logical units.
                player.PaintRegion(player.DeviceRegion(RegionData(p, 32, p.U32(16))).get(), 1, brush->brush,
                                   p.I32(24), p.I32(28));
            }
            break;
        }
        case 73:
        case 74:
            player.PaintRegion(player.DeviceRegion(RegionData(p, 20, p.U32(16))).get(), type == 73 ? 3 : 2, s.brush);
            break;
        // text
        case 83:
        case 84: TextOf(p, 28, type == 84, player); break;
        case 96:
        case 97: {
            const uint32_t strings = p.U32(28);
            for (uint64_t i = 0; i < strings && p.Has(32 + i * 40, 40); ++i) TextOf(p, 32 + size_t(i) * 40, type == 97, player);
            break;
        }
        // bitmaps
        case 76:
        case 77:
        case 78: {  // bit, stretch and mask blits
            const double x = p.I32(16), y = p.I32(20), w = p.I32(24), h = p.I32(28);
            const uint32_t rop = p.U32(32);
            const Surface picture = RecordDib(whole, p.U32(76), p.U32(80), p.U32(84), p.U32(88));
            double sw = w, sh = h;
            if (type == 77 && p.Has(92, 8))
                sw = p.I32(92), sh = p.I32(96);
            Surface mask;
            if (type == 78 && p.Has(100, 20))
                mask = RecordDib(whole, p.U32(104), p.U32(108), p.U32(112), p.U32(116));
            if (picture)
                player.Blit(picture, p.I32(36), p.I32(40), sw, sh, x, y, w, h, type == 78 && !mask ? rop & 0x00FFFFFF : rop,
                            mask);
            else if (p.U32(80) == 0)
                player.Blit(nullptr, 0, 0, 0, 0, x, y, w, h, rop);
            break;
        }
        case 80: {  // DIB at its size, rows from the bottom
            const Surface picture = RecordDib(whole, p.U32(40), p.U32(44), p.U32(48), p.U32(52));
            if (!picture)
                break;
            const double w = p.I32(32), h = p.I32(36);
            const double sy = cairo_image_surface_get_height(picture.get()) - (double(p.I32(28)) - p.I32(60)) - h;
            player.Blit(picture, p.I32(24), sy, w, h, p.I32(16), p.I32(20), w, h, 0x00CC0020);
            break;
        }
        case 81: {  // stretched DIB, rows from the bottom
            const Surface picture = RecordDib(whole, p.U32(40), p.U32(44), p.U32(48), p.U32(52));
            if (!picture)
                break;
            const double sh = p.I32(36), sy = double(cairo_image_surface_get_height(picture.get())) - p.I32(28) - sh;
            player.Blit(picture, p.I32(24), sy, p.I32(32), sh, p.I32(16), p.I32(20), p.I32(64), p.I32(68), p.U32(60));
            break;
        }
        case 114:    // alpha blend: the blend function in place of the raster operation
        case 116: {  // transparent blit: the colour left out in its place
            const uint32_t blend = p.U32(32);
            Surface picture;
            if (type == 114)
                picture = (blend >> 24) & 1 ? RecordAlphaDib(whole, p.U32(76), p.U32(80), p.U32(84), p.U32(88))
                                            : RecordDib(whole, p.U32(76), p.U32(80), p.U32(84), p.U32(88));
            else
                picture = WithoutColour(RecordDib(whole, p.U32(76), p.U32(80), p.U32(84), p.U32(88)), ColourRef(blend));
            if (picture && p.Has(92, 8))
                player.AlphaBlend(picture, p.I32(36), p.I32(40), p.I32(92), p.I32(96), p.I32(16), p.I32(20),
                                  p.I32(24), p.I32(28), type == 114 ? ((blend >> 16) & 0xFF) / 255.0 : 1.0);
            break;
        }
        case 79: {  // parallelogram blit: three corners, source, optional mask
            const Surface picture = RecordDib(whole, p.U32(88), p.U32(92), p.U32(96), p.U32(100));
            if (!picture)
                break;
            Surface mask = RecordDib(whole, p.U32(116), p.U32(120), p.U32(124), p.U32(128));
            const double sx = p.I32(40), sy = p.I32(44);
            if (mask && (p.I32(104) != sx || p.I32(108) != sy)) {
                // The mask's own corner moved onto the source's.
                const int w = cairo_image_surface_get_width(picture.get()), h = cairo_image_surface_get_height(picture.get());
                cairo_surface_t* moved = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
                Surface shifted(moved, CairoFree{});
                const std::unique_ptr<cairo_t, CairoFree> c(cairo_create(moved));
                cairo_set_source_surface(c.get(), mask.get(), sx - p.I32(104), sy - p.I32(108));
                cairo_paint(c.get());
                mask = shifted;
            }
            player.PlgBlit(picture, sx, sy, p.I32(48), p.I32(52), point(16), point(24), point(32), mask);
            break;
        }
        case 118: {  // gradient: vertices, then rectangles or triangles of their numbers
            const uint32_t vertices = p.U32(16), items = p.U32(20), mode = p.U32(24);
            p.NeedPoints(28, vertices, 16);
            const uint32_t itemBytes = mode == 2 ? 12 : 8;
            // The items follow the vertices; some writers leave four bytes a vertex
            // between them. The place whose items all name distinct vertices wins.
            const auto sound = [&](size_t from) {
                if (!p.Has(from, uint64_t(items) * itemBytes))
                    return false;
                for (uint32_t i = 0; i < items; ++i) {
                    const size_t q = from + size_t(i) * itemBytes;
                    const uint32_t a = p.U32(q), b = p.U32(q + 4), c = mode == 2 ? p.U32(q + 8) : vertices;
                    if (a >= vertices || b >= vertices || a == b || (mode == 2 && (c >= vertices || c == a || c == b)))
                        return false;
                }
                return true;
            };
            size_t at = 28 + size_t(vertices) * 16;
            if (!sound(at) && sound(at + size_t(vertices) * 4))
                at += size_t(vertices) * 4;
            p.NeedPoints(at, items, itemBytes);
            std::vector<Player::Vertex> v;
            for (uint32_t i = 0; i < vertices; ++i) {
                const size_t q = 28 + size_t(i) * 16;
                v.push_back({double(p.I32(q)), double(p.I32(q + 4)), p.U16(q + 8), p.U16(q + 10), p.U16(q + 12)});
            }
            std::vector<std::array<uint32_t, 3>> list;
            for (uint32_t i = 0; i < items; ++i) {
                const size_t q = at + size_t(i) * itemBytes;
                list.push_back({p.U32(q), p.U32(q + 4), mode == 2 ? p.U32(q + 8) : 0});
            }
            player.Gradient(v, list, mode);
            break;
        }
        case 108: {  // small text: no advances, 8- or 16-bit characters, rectangle optional
            const uint32_t count = p.U32(8), options = p.U32(12);
            const bool hasRect = !(options & 0x100);
            const bool narrow = options & 0x200;
            const size_t at = hasRect ? 44 : 28;
            const Box rect = hasRect ? box(28) : Box{};
            if (!p.Has(at, uint64_t(count) * (narrow ? 1 : 2)))
                lfcodec::Fail("EMF record too short");
            const std::u32string text = RecordText(p.Data(at, size_t(count) * (narrow ? 1 : 2)), count, !narrow, options);
            player.Text(text, {}, p.I32(0), p.I32(4), options, hasRect && (options & 6) ? &rect : nullptr);
            break;
        }
        case 53: player.FloodFill(p.I32(0), p.I32(4), ColourRef(p.U32(8)), p.U32(12) == 1); break;
        case 20:
            if (p.U32(0) >= 1 && p.U32(0) <= 16)
                s.rop2 = int(p.U32(0));
            break;
        case 66: player.WidenPath(); break;
        case 13: player.SetBrushOrigin(p.I32(0), p.I32(4)); break;
        default: break;  // palettes, comments and the rest change nothing on the picture
        }
        pos += size;
    }
}

}  // namespace lfwmf
