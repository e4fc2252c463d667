#pragma once
// The device-context state a metafile's records change (objects, mapping, clip,
// path, colours) and the drawing calls both metafile kinds share. Belongs to
// CLfImageWMF alone.

#include "image/codecs/CLfImageWMF_priv.h"
#include "image/codecs/LfCodecIo.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lfwmf {

// Little-endian fields of a record, every read checked against the record's length.
class Params {
public:
    Params(const uint8_t* data, size_t length, bool emf) : m_data(data), m_length(length), m_emf(emf) {}
    size_t Length() const { return m_length; }
    bool Has(uint64_t offset, uint64_t bytes) const { return offset <= m_length && bytes <= m_length - offset; }
    uint16_t U16(size_t at) const { return Need(at, 2), uint16_t(m_data[at] | (m_data[at + 1] << 8)); }
    int16_t I16(size_t at) const { return int16_t(U16(at)); }
    uint8_t U8(size_t at) const { return Need(at, 1), m_data[at]; }
    uint32_t U32(size_t at) const
    {
        Need(at, 4);
        return uint32_t(m_data[at]) | (uint32_t(m_data[at + 1]) << 8) | (uint32_t(m_data[at + 2]) << 16) |
               (uint32_t(m_data[at + 3]) << 24);
    }
    int32_t I32(size_t at) const { return int32_t(U32(at)); }
    float F32(size_t at) const;
    const uint8_t* Data(size_t at, size_t bytes) const { return Need(at, bytes), m_data + at; }
    // count points of pointBytes each, starting at first.
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

RGBQUAD ColourRef(uint32_t c);
// A pen of the given style bits (dashes, caps, joins, geometric), width and colour.
Pen MakePen(uint32_t style, double width, uint32_t colour);
// Characters of the Windows Western code page, and of UTF-16 (little-endian) text.
std::u32string AnsiText(const uint8_t* bytes, size_t count);
std::u32string WideText(const uint8_t* bytes, size_t units);
// The text of a text record: characters, or with glyph numbers (options 0x10) the
// numbers as they stand.
std::u32string RecordText(const uint8_t* chars, size_t count, bool wide, uint32_t options);
using SharedRegion = std::shared_ptr<const cairo_region_t>;

struct State {
    Pen pen;
    Brush brush;
    Font font;
    bool winding = false;
    int mapMode = 1;
    double wox = 0, woy = 0, wex = 1, wey = 1;
    double vox = 0, voy = 0, vex = 1, vey = 1;
    Affine world = Identity();
    PointD position;
    RGBQUAD text{0, 0, 0, 0};
    RGBQUAD back{255, 255, 255, 0};
    bool opaque = true;
    uint32_t align = 0;
    double extra = 0;
    bool clockwise = false;
    bool smooth = false;  // halftone stretching
    int rop2 = kRop2Copy;  // how pen and brush colours meet the picture
    PointD brushOrigin;    // reference-device units
    SharedRegion clip;    // output pixels; null: none
};

// A rectangle in some units: left, top, right, bottom.
struct Box {
    double l = 0, t = 0, r = 0, b = 0;
};

enum class Kind { Free, Pen, Brush, Font, Region, Other };
struct Object {
    Kind kind = Kind::Free;
    Pen pen;
    Brush brush;
    Font font;
    std::vector<Box> region;  // logical rectangles
};

// Plays records into the canvas through the current mapping.
class Player {
public:
    Player(Canvas& canvas, CLfImage& image) : m_canvas(canvas), m_image(image) {}

    State state;
    // The reference device to output pixels, and its units per millimetre.
    Affine base = Identity();
    double unitsPerMmX = 96 / 25.4, unitsPerMmY = 96 / 25.4;
    bool inPath = false;

    Affine Page() const;
    Affine ToDevice() const { return Then(Then(state.world, Page()), base); }
    PointD Map(double x, double y) const { return Apply(ToDevice(), {x, y}); }
    void SetMapMode(int mode);

    // Drawing: outside a path bracket each call paints, inside it adds to the path.
    void Polyline(const std::vector<PointD>& points, bool closed);
    void PolyPolygon(const std::vector<std::vector<PointD>>& outlines);
    void PolyBezier(const std::vector<PointD>& points, bool fromPosition);
    void PolyDraw(const std::vector<PointD>& points, const std::vector<uint8_t>& types);
    void LineTo(double x, double y);
    void MoveTo(double x, double y);
    // shape: 0 rectangle, 1 ellipse, 2 rounded rectangle (corner width and height).
    void BoxShape(Box box, int shape, double cw = 0, double ch = 0);
    // kind: 0 arc, 1 chord, 2 pie, 3 arc joined from and moving the position.
    void ArcShape(Box box, PointD start, PointD end, int kind);
    void AngleArc(double x, double y, double radius, double startDegrees, double sweepDegrees);
    void Text(const std::u32string& text, const std::vector<double>& dx, double x, double y, uint32_t options,
              const Box* rect);

    // Paths.
    void BeginPath();
    void EndPath() { inPath = false; }
    void CloseFigure() { m_canvas.ClosePath(); }
    void AbortPath();
    void FillPath(bool fill, bool stroke);
    void SelectClipPath(uint32_t mode);

    // Clipping: regions in output pixels combined by the region mode (1 and, 2 or,
    // 3 xor, 4 difference, 5 copy).
    void CombineClip(Region region, uint32_t mode);
    Region LogicalRegion(const std::vector<Box>& boxes);
    Region DeviceRegion(const std::vector<Box>& boxes);  // reference-device rectangles
    void OffsetClip(double dx, double dy);
    void ResetClip();

    // Region painting: 0 fill with brush, 1 frame with brush (w x h logical), 2 paint
    // with the current brush, 3 invert.
    void PaintRegion(const cairo_region_t* region, int how, const Brush& brush, double w = 0, double h = 0);

    // Bitmaps: the source rectangle of the picture (rows from the top) into the
    // logical destination; null picture: the brush alone (pattern blits).
    void Blit(const Surface& picture, double sx, double sy, double sw, double sh, double x, double y, double w,
              double h, uint32_t rop, const Surface& mask = nullptr);
    void SetPixel(double x, double y, RGBQUAD colour);
    // The source rectangle over the destination through the picture's premultiplied
    // alpha (a picture without alpha is opaque) times alpha (0..1).
    void AlphaBlend(const Surface& picture, double sx, double sy, double sw, double sh, double x, double y, double w,
                    double h, double alpha);
    // The source rectangle of the picture onto the parallelogram whose corners p0, p1
    // and p2 take its top-left, top-right and bottom-left corners; mask (aligned with
    // the source): black pixels leave the destination.
    void PlgBlit(const Surface& picture, double sx, double sy, double sw, double sh, PointD p0, PointD p1, PointD p2,
                 const Surface& mask);
    // Gradients: vertices in logical units with colours of 16 bits a channel; each
    // item names two (rectangles, mode 0 horizontal, 1 vertical) or three (mode 2,
    // triangles) vertices.
    struct Vertex {
        double x, y;
        uint16_t r, g, b;
    };
    void Gradient(const std::vector<Vertex>& vertices, const std::vector<std::array<uint32_t, 3>>& items,
                  uint32_t mode);
    // Fills with the brush from (x, y) the area bounded by colour (surface false) or of colour.
    void FloodFill(double x, double y, RGBQUAD colour, bool surface);
    void WidenPath();
    void SetBrushOrigin(double x, double y);

    // Device context stack and objects.
    void Save();
    void Restore(int64_t n);
    void Store(Object object, int64_t slot = -1);
    const Object* Find(uint32_t index) const;
    void Select(uint32_t index);
    void Delete(uint32_t index);
    // Fails when the work was cancelled; false once the work budget is spent, when
    // the records left would draw nothing.
    bool CheckEscape(uint64_t record);

private:
    void Paint(bool fill, bool stroke);
    void SelectStock(uint32_t n);
    Box Shrunk(Box box) const;

    Canvas& m_canvas;
    CLfImage& m_image;
    std::vector<State> m_saved;
    std::vector<Object> m_objects;
};

// A packed DIB (header, colours, pixels) as a surface, or null when unreadable.
Surface DibSurface(const uint8_t* dib, size_t bytes);

void PlayWmf(const std::vector<uint8_t>& data, Player& player);
void PlayEmf(const std::vector<uint8_t>& data, Player& player);

}  // namespace lfwmf
