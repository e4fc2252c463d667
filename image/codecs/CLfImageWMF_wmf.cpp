// The records of a Windows metafile (16-bit): parameters are stored last first.

#include "image/codecs/CLfImageWMF_player.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lfwmf {

namespace {

constexpr size_t kMetaHeaderSize = 18;

std::vector<PointD> Points16(const Params& p, size_t first, uint64_t count)
{
    p.NeedPoints(first, count, 4);
    std::vector<PointD> out;
    out.reserve(size_t(count));
    for (uint64_t i = 0; i < count; ++i) {
        const size_t at = first + size_t(i) * 4;
        out.push_back({double(p.I16(at)), double(p.I16(at + 2))});
    }
    return out;
}

Brush MakeBrush(uint32_t style, uint32_t colour, uint32_t hatch)
{
    Brush brush;
    brush.colour = ColourRef(colour);
    if (style == 1)
        brush.style = Brush::Hollow;
    else if (style == 2)
        brush.style = Brush::Hatched;
    else if (style != 0)
        brush.style = Brush::Hollow;  // pattern styles without their picture
    brush.hatch = int(std::min<uint32_t>(hatch, 5));
    return brush;
}

// An old device-dependent bitmap: one bit (0 the text colour, 1 the background) or
// 24 bits a pixel, rows from the top.
Surface Bitmap16(const Params& p, size_t at, RGBQUAD text, RGBQUAD back)
{
    const int w = p.I16(at + 2), h = p.I16(at + 4), rowBytes = p.I16(at + 6);
    const int planes = p.U8(at + 8), bits = p.U8(at + 9);
    if (w <= 0 || h <= 0 || rowBytes <= 0 || planes != 1 || (bits != 1 && bits != 24))
        return nullptr;
    if (uint64_t(rowBytes) * 8 < uint64_t(w) * uint64_t(bits) || !p.Has(at + 10, uint64_t(rowBytes) * uint64_t(h)))
        return nullptr;
    CLfImage picture;
    if (!picture.Create(w, h, 24, 0))
        return nullptr;
    const uint8_t* data = p.Data(at + 10, size_t(rowBytes) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = data + size_t(y) * size_t(rowBytes);
        for (int x = 0; x < w; ++x) {
            RGBQUAD c;
            if (bits == 1)
                c = (row[x >> 3] >> (7 - (x & 7))) & 1 ? back : text;
            else
                c = RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
            picture.SetPixelColor(x, h - 1 - y, c);
        }
    }
    return SurfaceOf(picture);
}

// A region object: its scans of left-right pairs between a top and a bottom.
std::vector<Box> RegionBoxes(const Params& p)
{
    std::vector<Box> boxes;
    const uint16_t scans = p.U16(10);
    size_t at = 22;
    for (uint32_t i = 0; i < scans && p.Has(at, 6); ++i) {
        const uint16_t count = p.U16(at);
        const double top = p.I16(at + 2), bottom = p.I16(at + 4);
        for (uint32_t k = 0; k + 1 < count && p.Has(at + 6 + 2 * k, 4); k += 2)
            boxes.push_back({double(p.I16(at + 6 + 2 * k)), top, double(p.I16(at + 8 + 2 * k)), bottom});
        at += 6 + size_t(count) * 2 + 2;
    }
    return boxes;
}

Font MakeFont(const Params& p)
{
    Font f;
    f.height = p.I16(0);
    f.width = std::abs(p.I16(2));
    f.escapement = p.I16(4);
    f.weight = p.I16(8) == 0 ? 400 : p.I16(8);
    f.italic = p.U8(10) != 0;
    f.underline = p.U8(11) != 0;
    f.strikeOut = p.U8(12) != 0;
    size_t n = 0;
    while (n < 32 && p.Has(18 + n, 1) && p.U8(18 + n)) ++n;
    f.face = Utf8(AnsiText(p.Data(18, n), n));
    return f;
}

}  // namespace

void PlayWmf(const std::vector<uint8_t>& data, Player& player)
{
    const Params header(data.data(), data.size(), false);
    size_t pos = std::clamp<size_t>(size_t(header.U16(2)) * 2, kMetaHeaderSize, data.size());
    for (uint64_t record = 0; pos < data.size(); ++record) {
        if (!player.CheckEscape(record))
            break;
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
        const auto box = [&](size_t at) {  // bottom, right, top, left
            return Box{double(p.I16(at + 6)), double(p.I16(at + 4)), double(p.I16(at + 2)), double(p.I16(at))};
        };
        const auto region = [&](uint32_t index) -> Region {
            const Object* o = player.Find(index);
            return o && o->kind == Kind::Region ? player.LogicalRegion(o->region) : nullptr;
        };
        // Rectangles stored as height, width, y, x at `at`.
        const auto blitPattern = [&](size_t dest) {
            player.Blit(nullptr, 0, 0, 0, 0, p.I16(dest + 6), p.I16(dest + 4), p.I16(dest + 2), p.I16(dest), p.U32(0));
        };
        const auto blit = [&](const Surface& picture, size_t sourceYX, size_t sourceHW, size_t dest) {
            player.Blit(picture, p.I16(sourceYX + 2), p.I16(sourceYX), p.I16(sourceHW + 2), p.I16(sourceHW),
                        p.I16(dest + 6), p.I16(dest + 4), p.I16(dest + 2), p.I16(dest), p.U32(0));
        };
        switch (function) {
        // mapping
        case 0x0103: player.SetMapMode(p.I16(0)); break;
        case 0x020B: s.woy = p.I16(0), s.wox = p.I16(2); break;
        case 0x020C:
            if (p.I16(0) != 0 && p.I16(2) != 0)
                s.wey = p.I16(0), s.wex = p.I16(2);
            break;
        case 0x020F: s.woy += p.I16(0), s.wox += p.I16(2); break;
        case 0x020D: s.voy = p.I16(0), s.vox = p.I16(2); break;
        case 0x020E:
            if (p.I16(0) != 0 && p.I16(2) != 0)
                s.vey = p.I16(0), s.vex = p.I16(2);
            break;
        case 0x0211: s.voy += p.I16(0), s.vox += p.I16(2); break;
        case 0x0410:    // scale window extent: y denominator, y numerator, x denominator, x numerator
        case 0x0412: {  // scale viewport extent
            if (p.I16(0) == 0 || p.I16(4) == 0 || p.I16(2) == 0 || p.I16(6) == 0)
                break;
            double& ex = function == 0x0410 ? s.wex : s.vex;
            double& ey = function == 0x0410 ? s.wey : s.vey;
            ex = ex * p.I16(6) / p.I16(4);
            ey = ey * p.I16(2) / p.I16(0);
            break;
        }
        // context
        case 0x0106: s.winding = p.U16(0) == 2; break;
        case 0x0107: s.smooth = p.U16(0) == 4; break;
        case 0x0209: s.text = ColourRef(p.U32(0)); break;
        case 0x0201: s.back = ColourRef(p.U32(0)); break;
        case 0x0102: s.opaque = p.U16(0) == 2; break;
        case 0x012E: s.align = p.U16(0); break;
        case 0x0108: s.extra = p.I16(0); break;
        case 0x0104:
            if (p.U16(0) >= 1 && p.U16(0) <= 16)
                s.rop2 = p.U16(0);
            break;
        case 0x001E: player.Save(); break;
        case 0x0127: player.Restore(p.I16(0)); break;
        // clipping
        case 0x0416: player.CombineClip(player.LogicalRegion({box(0)}), 1); break;
        case 0x0415: player.CombineClip(player.LogicalRegion({box(0)}), 4); break;
        case 0x0220: player.OffsetClip(p.I16(2), p.I16(0)); break;
        case 0x012C: player.CombineClip(region(p.U16(0)), 5); break;
        // lines and shapes
        case 0x0214: player.MoveTo(p.I16(2), p.I16(0)); break;
        case 0x0213: player.LineTo(p.I16(2), p.I16(0)); break;
        case 0x041B: player.BoxShape(box(0), 0); break;
        case 0x0418: player.BoxShape(box(0), 1); break;
        case 0x061C: player.BoxShape(box(4), 2, p.I16(2), p.I16(0)); break;
        case 0x0817:  // arc, pie, chord: end, start, box
        case 0x081A:
        case 0x0830:
            player.ArcShape(box(8), {double(p.I16(6)), double(p.I16(4))}, {double(p.I16(2)), double(p.I16(0))},
                            function == 0x0817 ? 0 : function == 0x0830 ? 1 : 2);
            break;
        case 0x0325: player.Polyline(Points16(p, 2, p.U16(0)), false); break;
        case 0x0324: player.Polyline(Points16(p, 2, p.U16(0)), true); break;
        case 0x0538: {
            const uint32_t polygons = p.U16(0);
            p.NeedPoints(2, polygons, 2);
            size_t at = 2 + size_t(polygons) * 2;
            std::vector<std::vector<PointD>> outlines;
            for (uint32_t i = 0; i < polygons; ++i) {
                const uint16_t count = p.U16(2 + 2 * i);
                outlines.push_back(Points16(p, at, count));
                at += size_t(count) * 4;
            }
            player.PolyPolygon(outlines);
            break;
        }
        case 0x0419: player.FloodFill(p.I16(6), p.I16(4), ColourRef(p.U32(0)), false); break;  // colour, y, x
        case 0x0548: player.FloodFill(p.I16(8), p.I16(6), ColourRef(p.U32(2)), p.U16(0) == 1); break;  // mode first
        case 0x041F: player.SetPixel(p.I16(6), p.I16(4), ColourRef(p.U32(0))); break;
        // objects
        case 0x02FA: {
            Object o;
            o.kind = Kind::Pen;
            o.pen = MakePen(p.U16(0), p.I16(2), p.U32(6));
            player.Store(o);
            break;
        }
        case 0x02FC: {
            Object o;
            o.kind = Kind::Brush;
            o.brush = MakeBrush(p.U16(0), p.U32(2), p.Length() >= 8 ? p.U16(6) : 0);
            player.Store(o);
            break;
        }
        case 0x0142: {  // pattern brush from a packed DIB
            Object o;
            o.kind = Kind::Brush;
            o.brush.style = Brush::Hollow;
            if (p.Length() > 4)
                o.brush.pattern = DibSurface(p.Data(4, p.Length() - 4), p.Length() - 4);
            if (o.brush.pattern)
                o.brush.style = Brush::Pattern;
            player.Store(o);
            break;
        }
        case 0x01F9: {  // pattern brush from an old bitmap: 14 bytes of header, 18 reserved
            Object o;
            o.kind = Kind::Brush;
            o.brush.style = Brush::Hollow;
            if (p.Length() > 32) {
                std::vector<uint8_t> bitmap(p.Data(0, 10), p.Data(0, 10) + 10);
                bitmap.insert(bitmap.end(), p.Data(32, p.Length() - 32), p.Data(32, p.Length() - 32) + p.Length() - 32);
                const Params b(bitmap.data(), bitmap.size(), false);
                o.brush.pattern = Bitmap16(b, 0, RGBQUAD{}, RGBQUAD{255, 255, 255, 0});
                if (o.brush.pattern)
                    o.brush.style = Brush::MonoPattern;
            }
            player.Store(o);
            break;
        }
        case 0x02FB: {
            Object o;
            o.kind = Kind::Font;
            o.font = MakeFont(p);
            player.Store(o);
            break;
        }
        case 0x06FF: {
            Object o;
            o.kind = Kind::Region;
            o.region = RegionBoxes(p);
            player.Store(o);
            break;
        }
        case 0x00F7: player.Store(Object{Kind::Other, {}, {}, {}, {}}); break;  // palette
        case 0x012D: player.Select(p.U16(0)); break;
        case 0x01F0: player.Delete(p.U16(0)); break;
        // regions
        case 0x0228:
        case 0x0429: {
            const Object* brush = player.Find(p.U16(2));
            if (!brush || brush->kind != Kind::Brush)
                break;
            const Region r = region(p.U16(0));
            if (function == 0x0228)
                player.PaintRegion(r.get(), 0, brush->brush);
            else
                player.PaintRegion(r.get(), 1, brush->brush, p.I16(6), p.I16(4));
            break;
        }
        case 0x012B: player.PaintRegion(region(p.U16(0)).get(), 2, s.brush); break;
        case 0x012A: player.PaintRegion(region(p.U16(0)).get(), 3, s.brush); break;
        // text
        case 0x0521: {
            const uint16_t length = p.U16(0);
            const size_t after = 2 + ((size_t(length) + 1) & ~size_t(1));
            player.Text(AnsiText(p.Data(2, length), length), {}, p.I16(after + 2), p.I16(after), 0, nullptr);
            break;
        }
        case 0x0A32: {
            const uint16_t length = p.U16(4), options = p.U16(6);
            size_t at = 8;
            Box rect;
            const bool hasRect = options & 6;
            if (hasRect) {
                rect = {double(p.I16(8)), double(p.I16(10)), double(p.I16(12)), double(p.I16(14))};
                at = 16;
            }
            const std::u32string text = RecordText(p.Data(at, length), length, false, options);
            at += (size_t(length) + 1) & ~size_t(1);
            std::vector<double> dx;
            if (p.Has(at, size_t(length) * 2))
                for (size_t i = 0; i < length; ++i) dx.push_back(p.I16(at + 2 * i));
            player.Text(text, dx, p.I16(2), p.I16(0), options, hasRect ? &rect : nullptr);
            break;
        }
        // bitmaps
        case 0x061D: blitPattern(4); break;
        case 0x0F43:  // stretched DIB, rows from the bottom
            if (p.Length() > 22) {
                const Surface picture = DibSurface(p.Data(22, p.Length() - 22), p.Length() - 22);
                if (!picture)
                    break;
                const double sh = p.I16(6), sy = cairo_image_surface_get_height(picture.get()) - p.I16(10) - sh;
                player.Blit(picture, p.I16(12), sy, p.I16(8), sh, p.I16(20), p.I16(18), p.I16(16), p.I16(14),
                            p.U32(0));
            }
            break;
        case 0x0D33:  // DIB at its size, rows from the bottom
            if (p.Length() > 18) {
                const Surface picture = DibSurface(p.Data(18, p.Length() - 18), p.Length() - 18);
                if (!picture)
                    break;
                const double h = p.I16(10), sy = cairo_image_surface_get_height(picture.get()) - p.I16(6) - h;
                player.Blit(picture, p.I16(8), sy, p.I16(12), h, p.I16(16), p.I16(14), p.I16(12), h, 0x00CC0020);
            }
            break;
        // The blits without a bitmap are a parameter shorter and paint the brush.
        case 0x0B41:  // DIB stretched between rectangles
            if (p.Length() == 22)
                blitPattern(14);
            else if (p.Length() > 20)
                blit(DibSurface(p.Data(20, p.Length() - 20), p.Length() - 20), 8, 4, 12);
            break;
        case 0x0940:  // DIB copied at its size
            if (p.Length() == 18)
                blitPattern(10);
            else if (p.Length() > 16)
                blit(DibSurface(p.Data(16, p.Length() - 16), p.Length() - 16), 4, 8, 8);
            break;
        case 0x0922:  // old bitmap copied at its size
            if (p.Length() == 18)
                blitPattern(10);
            else if (p.Length() > 26)
                blit(Bitmap16(p, 16, s.text, s.back), 4, 8, 8);
            break;
        case 0x0B23:  // old bitmap stretched
            if (p.Length() == 22)
                blitPattern(14);
            else if (p.Length() > 30)
                blit(Bitmap16(p, 20, s.text, s.back), 8, 4, 12);
            break;
        default: break;  // palettes, escapes and the rest change nothing on the picture
        }
        pos += size_t(bytes);
    }
}

}  // namespace lfwmf
