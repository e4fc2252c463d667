// TIFF decoding: one page of a TIFF file, read through libtiff on a CLfStream.
//
// Grey, palette, RGB and CIELab pages are read strip by strip (or one row of tiles
// at a time) and converted here, so that every sample depth from 1 to 16 bits and
// unassociated alpha come through exactly. Everything else (CMYK, YCbCr, LogLuv,
// floating point) goes through libtiff's own RGBA reader.

#include "image/codecs/CLfImageTIF.h"

#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"
#include "image/codecs/LfTiffStream.h"

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The decoder's failures, raised inside Decode and turned into lastError by the guard.
using TiffError = lfcodec::Failure;

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

struct PageTags {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t samples = 1;
    uint16_t bits = 1;
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    uint16_t extraType = EXTRASAMPLE_UNSPECIFIED;  // of the first extra sample
    uint16_t extraCount = 0;
    uint32_t rowsPerStrip = UINT32_MAX;
    bool tiled = false;
    uint32_t tileWidth = 0;
    uint32_t tileLength = 0;
};

enum class Kind {
    Library,  // libtiff's RGBA reader
    Index,    // grey or palette, optionally with alpha
    Rgb,      // red, green, blue, optionally alpha
    Lab,      // CIELab
};

PageTags ReadTags(TIFF* tif)
{
    PageTags t;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &t.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &t.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &t.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &t.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &t.rowsPerStrip);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &t.photometric)) t.photometric = PHOTOMETRIC_MINISWHITE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &t.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &t.orientation);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &t.sampleFormat);
    uint16_t* extra = nullptr;
    if (TIFFGetFieldDefaulted(tif, TIFFTAG_EXTRASAMPLES, &t.extraCount, &extra) && extra && t.extraCount > 0)
        t.extraType = extra[0];
    t.tiled = TIFFIsTiled(tif) != 0;
    if (t.tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &t.tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &t.tileLength);
    }
    return t;
}

Kind ChooseKind(const PageTags& t)
{
    const bool ownDepth = (t.bits >= 1 && t.bits <= 16) || t.bits == 32;
    if (t.sampleFormat == SAMPLEFORMAT_IEEEFP || !ownDepth) return Kind::Library;
    switch (t.photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK: return Kind::Index;
    case PHOTOMETRIC_PALETTE: return t.bits <= 16 ? Kind::Index : Kind::Library;
    case PHOTOMETRIC_RGB: return t.samples >= 3 ? Kind::Rgb : Kind::Library;
    case PHOTOMETRIC_CIELAB: return t.samples >= 3 && (t.bits == 8 || t.bits == 16) ? Kind::Lab : Kind::Library;
    // Ink, luma-chroma and log-luminance samples are no grey levels: only libtiff
    // knows how to turn them into colour, whatever their number.
    case PHOTOMETRIC_SEPARATED:
    case PHOTOMETRIC_YCBCR:
    case PHOTOMETRIC_LOGL:
    case PHOTOMETRIC_LOGLUV: return Kind::Library;
    default: return t.samples >= 3 ? Kind::Library : Kind::Index;
    }
}

// Sample `index` of a row whose samples are `bits` wide: 8, 16 and 32 bits come in
// the machine's byte order (libtiff swaps them), other widths packed from the most
// significant bit.
inline uint32_t SampleAt(const uint8_t* row, size_t index, unsigned bits)
{
    switch (bits) {
    case 8: return row[index];
    case 16: {
        uint16_t v;
        std::memcpy(&v, row + 2 * index, 2);
        return v;
    }
    case 32: {
        uint32_t v;
        std::memcpy(&v, row + 4 * index, 4);
        return v;
    }
    default: {
        uint64_t bit = static_cast<uint64_t>(index) * bits;
        uint32_t v = 0;
        for (unsigned i = 0; i < bits; ++i, ++bit) v = (v << 1) | ((row[bit >> 3] >> (7 - (bit & 7))) & 1u);
        return v;
    }
    }
}

// A sample scaled to 8 bits: the high byte of wider samples, the full range for
// narrower ones.
inline uint8_t To8(uint32_t v, unsigned bits)
{
    if (bits == 8) return static_cast<uint8_t>(v);
    if (bits < 8) return static_cast<uint8_t>(v * 255u / ((1u << bits) - 1u));
    return static_cast<uint8_t>(v >> (bits - 8));
}

inline void PutIndex(uint8_t* row, uint32_t x, unsigned bpp, unsigned v)
{
    if (bpp == 8) {
        row[x] = static_cast<uint8_t>(v);
    } else if (bpp == 4) {
        uint8_t& b = row[x >> 1];
        b = (x & 1) ? static_cast<uint8_t>((b & 0xF0u) | (v & 0x0Fu)) : static_cast<uint8_t>((b & 0x0Fu) | (v << 4));
    } else {
        const auto bit = static_cast<uint8_t>(0x80u >> (x & 7));
        uint8_t& b = row[x >> 3];
        b = static_cast<uint8_t>((v & 1) ? (b | bit) : (b & ~bit));
    }
}

// Red-green-blue 8-bit samples (Samples a pixel, or samples when Samples is 0)
// into blue-green-red; the fourth sample into alpha when there is a plane.
template <unsigned Samples>
void SwapRgbRow(const uint8_t* src, uint32_t width, uint8_t* out, uint8_t* alpha, unsigned samples = Samples)
{
    const unsigned step = Samples ? Samples : samples;
    for (uint32_t x = 0; x < width; ++x, src += step, out += 3) {
        out[0] = src[2];
        out[1] = src[1];
        out[2] = src[0];
    }
    if (alpha) {
        src -= static_cast<size_t>(width) * step;
        for (uint32_t x = 0; x < width; ++x, src += step)
            alpha[x] = src[3];
    }
}

inline uint8_t Unpremultiply(uint8_t c, uint8_t a)
{
    if (a == 0) return 0;
    const unsigned v = (c * 255u + a / 2u) / a;
    return static_cast<uint8_t>(std::min(v, 255u));
}

// Delivers the rows of a page top-down, one plane at a time: a strip (or a row of
// tiles) is decoded once and then served row by row.
class RowSource {
public:
    // usedPlanes: the planes of a separate page that are read (a page may declare
    // thousands of extra samples that the picture never looks at).
    RowSource(TIFF* tif, const PageTags& t, uint16_t usedPlanes) : m_tif(tif), m_tags(t)
    {
        const uint16_t planes = t.planar == PLANARCONFIG_SEPARATE ? std::min(t.samples, usedPlanes) : 1;
        const uint64_t samplesPerRow = t.planar == PLANARCONFIG_SEPARATE ? 1 : t.samples;
        m_lineSize = (static_cast<uint64_t>(t.width) * samplesPerRow * t.bits + 7) / 8;
        if (t.tiled) {
            if (t.tileWidth == 0 || t.tileLength == 0) throw TiffError{"Corrupted tiled TIFF file!"};
            m_bandRows = t.tileLength;
            m_tileRowSize = static_cast<uint64_t>(TIFFTileRowSize64(tif));
            m_tileSize = static_cast<uint64_t>(TIFFTileSize64(tif));
            if (m_tileRowSize == 0 || m_tileSize < m_tileRowSize * t.tileLength)
                throw TiffError{"Corrupted tiled TIFF file!"};
            m_tile.resize(Checked(m_tileSize));
        } else {
            m_bandRows = std::min(t.rowsPerStrip ? t.rowsPerStrip : t.height, t.height);
            m_stripSize = static_cast<uint64_t>(TIFFStripSize64(tif));
        }
        const uint64_t bandBytes = Checked(std::max(m_lineSize * m_bandRows, m_stripSize));
        // All bands together stay within what libtiff may allocate for one buffer.
        if (bandBytes * planes > 2 * lfimg::kMaxImageMemory) throw TiffError{"Corrupted TIFF file!"};
        m_bands.resize(planes);
        for (auto& band : m_bands) band.bytes.resize(static_cast<size_t>(bandBytes));
    }

    // Row `row` (counted from the top) of plane `plane`; m_lineSize bytes.
    const uint8_t* Row(uint32_t row, uint16_t plane)
    {
        Band& band = m_bands[plane];
        const uint32_t index = row / m_bandRows;
        if (band.index != static_cast<int64_t>(index)) {
            band.index = -1;
            if (m_tags.tiled)
                LoadTiles(band, index * m_bandRows, plane);
            else
                LoadStrip(band, index * m_bandRows, plane);
            band.index = index;
        }
        return band.bytes.data() + static_cast<size_t>((row % m_bandRows) * m_lineSize);
    }

    uint64_t LineSize() const { return m_lineSize; }

private:
    struct Band {
        std::vector<uint8_t> bytes;
        int64_t index = -1;
    };

    static size_t Checked(uint64_t bytes)
    {
        if (bytes == 0 || bytes > lfimg::kMaxImageMemory) throw TiffError{"Corrupted TIFF file!"};
        return static_cast<size_t>(bytes);
    }

    void LoadStrip(Band& band, uint32_t firstRow, uint16_t plane)
    {
        const uint32_t strip = TIFFComputeStrip(m_tif, firstRow, plane);
        if (strip >= TIFFNumberOfStrips(m_tif)) throw TiffError{"Corrupted TIFF file!"};
        const uint32_t rows = std::min(m_bandRows, m_tags.height - firstRow);
        const uint64_t want = std::min<uint64_t>(m_lineSize * rows, band.bytes.size());
        const tmsize_t got =
            TIFFReadEncodedStrip(m_tif, strip, band.bytes.data(), static_cast<tmsize_t>(band.bytes.size()));
        if (got < 0 || static_cast<uint64_t>(got) < want) throw TiffError{"Corrupted TIFF file!"};
    }

    void LoadTiles(Band& band, uint32_t firstRow, uint16_t plane)
    {
        uint64_t column = 0;
        for (uint64_t x = 0; x < m_tags.width && column < m_lineSize;
             x += m_tags.tileWidth, column += m_tileRowSize) {
            if (TIFFReadTile(m_tif, m_tile.data(), static_cast<uint32_t>(x), firstRow, 0, plane) < 0)
                throw TiffError{"Corrupted tiled TIFF file!"};
            // The last tile column may reach past the image: copy only what fits.
            const uint64_t bytes = std::min(m_tileRowSize, m_lineSize - column);
            CLfImageTIF::TileToStrip(band.bytes.data() + column, m_tile.data(), m_bandRows,
                                     static_cast<uint32_t>(bytes), static_cast<uint32_t>(m_lineSize),
                                     static_cast<uint32_t>(m_tileRowSize));
        }
    }

    TIFF* m_tif;
    const PageTags& m_tags;
    uint64_t m_lineSize = 0;
    uint32_t m_bandRows = 1;
    uint64_t m_stripSize = 0;
    uint64_t m_tileRowSize = 0;
    uint64_t m_tileSize = 0;
    std::vector<uint8_t> m_tile;
    std::vector<Band> m_bands;
};

// Resolution in dots per inch from the page's tags; 0 when the page carries none.
int32_t DpiOf(float value, uint16_t unit)
{
    double dpi = value;
    if (unit == RESUNIT_CENTIMETER) dpi *= 2.54;
    if (unit == RESUNIT_NONE || !std::isfinite(dpi) || dpi < 1.0) return 0;
    return dpi > 1000000.0 ? 1000000 : static_cast<int32_t>(dpi);
}

int32_t Truncated(float value)
{
    if (!std::isfinite(value)) return 0;
    return static_cast<int32_t>(std::clamp(static_cast<double>(value), -2147483648.0, 2147483647.0));
}

// One CIELab pixel (8-bit L, signed a and b) in sRGB.
RGBQUAD LabToRgb(uint8_t lByte, int8_t aByte, int8_t bByte)
{
    const double fy = (lByte * 100.0 / 255.0 + 16.0) / 116.0;
    const double Y = fy * fy * fy;
    const double fx = fy + aByte * 0.002;
    const double fz = fy - bByte * 0.005;
    const double X = 0.95047 * fx * fx * fx;
    const double Z = 1.0883 * fz * fz * fz;
    const double rgb[3] = {3.240479 * X - 1.53715 * Y - 0.498535 * Z, -0.969256 * X + 1.875992 * Y + 0.041556 * Z,
                           0.055648 * X - 0.204043 * Y + 1.057311 * Z};
    uint8_t out[3];
    for (int i = 0; i < 3; ++i) {
        double v = rgb[i];
        v = v > 0.00304 ? 1.055 * std::pow(v, 0.41667) - 0.055 : 12.92 * v;
        out[i] = static_cast<uint8_t>(std::clamp(static_cast<int>(v * 255.0), 0, 255));
    }
    RGBQUAD q;
    q.rgbRed = out[0];
    q.rgbGreen = out[1];
    q.rgbBlue = out[2];
    return q;
}

}  // namespace

CLfImageTIF::CLfImageTIF() : CLfImage(lfimg::kTypeTIF) {}

CLfImageTIF::~CLfImageTIF() { ClosePages(); }

void CLfImageTIF::ClosePages()
{
    if (tiffHandle) TIFFClose(tiffHandle);
    tiffHandle = nullptr;
    multipage = 0;
    pageCount = 0;
    totalPages = 0;
}

void CLfImageTIF::TileToStrip(uint8_t* destination, const uint8_t* source, uint32_t rows, uint32_t columns,
                              uint32_t destinationSkip, uint32_t sourceSkip)
{
    for (uint32_t i = 0; i < rows; ++i) {
        std::memcpy(destination, source, columns);
        destination += destinationSkip;
        source += sourceSkip;
    }
}

bool CLfImageTIF::Decode(CLfStream* stream)
{
    return lfcodec::GuardDecode(*this, stream, [&] {
        TiffHandle tif(TiffOpenStream(stream, "r"));
        if (!tif) throw TiffError{"Error encountered while opening TIFF file"};
        info.frameCount = static_cast<int32_t>(TIFFNumberOfDirectories(tif.get()) & 0xFFFFu);
        if (!TIFFSetDirectory(tif.get(), static_cast<tdir_t>(static_cast<uint16_t>(info.frame))))
            throw TiffError{"Error: page not present in TIFF file"};

        const PageTags t = ReadTags(tif.get());
        const Kind kind = ChooseKind(t);
        const uint32_t width = t.width, height = t.height;

        if (info.escape) throw TiffError{"Cancelled"};
        if (width == 0 || height == 0 || t.samples == 0) throw TiffError{"CLfImageTIF can't create image"};

        // The depth the page becomes, and its palette.
        const bool palette = t.photometric == PHOTOMETRIC_PALETTE;
        uint32_t depth = 24;
        std::vector<RGBQUAD> map;  // colour map of a palette page
        if (kind == Kind::Index) {
            if (palette && t.bits > 8)
                depth = 24;
            else if (t.bits == 1)
                depth = 1;
            else if (t.bits <= 4)
                depth = 4;
            else
                depth = 8;
            if (palette) {
                uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
                const size_t entries = size_t{1} << t.bits;
                map.assign(entries, RGBQUAD{});
                if (TIFFGetField(tif.get(), TIFFTAG_COLORMAP, &red, &green, &blue) && red && green && blue) {
                    bool wide = false;
                    for (size_t i = 0; i < entries && !wide; ++i) wide = red[i] > 255 || green[i] > 255 || blue[i] > 255;
                    for (size_t i = 0; i < entries; ++i) {
                        const auto scale = [wide](uint16_t v) {
                            return static_cast<uint8_t>(wide ? v * 255u / 65535u : v & 0xFFu);
                        };
                        map[i].rgbRed = scale(red[i]);
                        map[i].rgbGreen = scale(green[i]);
                        map[i].rgbBlue = scale(blue[i]);
                    }
                }
            }
        }
        const bool hasAlpha = kind == Kind::Library
                                  ? t.extraCount > 0 && (t.extraType == EXTRASAMPLE_ASSOCALPHA ||
                                                         t.extraType == EXTRASAMPLE_UNASSALPHA)
                                  : (kind == Kind::Index ? t.samples >= 2 : t.samples >= 4);
        const bool premultiplied = t.extraCount > 0 && t.extraType == EXTRASAMPLE_ASSOCALPHA;

        CLfImage page(lfimg::kTypeTIF);
        if (!page.Create(width, height, depth, lfimg::kTypeTIF)) {
            SetLastError(page.GetLastError());
            return false;
        }
        page.info.frameCount = info.frameCount;
        page.info.frame = info.frame;

        float xRes = 0, yRes = 0, xPos = 0, yPos = 0;
        uint16_t unit = RESUNIT_INCH;
        TIFFGetFieldDefaulted(tif.get(), TIFFTAG_RESOLUTIONUNIT, &unit);
        if (TIFFGetField(tif.get(), TIFFTAG_XRESOLUTION, &xRes))
            if (const int32_t dpi = DpiOf(xRes, unit)) page.SetXDPI(dpi);
        if (TIFFGetField(tif.get(), TIFFTAG_YRESOLUTION, &yRes))
            if (const int32_t dpi = DpiOf(yRes, unit)) page.SetYDPI(dpi);
        if (TIFFGetField(tif.get(), TIFFTAG_XPOSITION, &xPos)) page.info.xOffset = Truncated(xPos);
        if (TIFFGetField(tif.get(), TIFFTAG_YPOSITION, &yPos)) page.info.yOffset = Truncated(yPos);

        if (hasAlpha) {
            page.AlphaCreate();
            if (!page.alpha) throw TiffError{"CLfImageTIF can't create image"};
        }

        if (kind == Kind::Library) {
            if (!page.CheckSize(width, height, 32)) {
                SetLastError(page.GetLastError());
                return false;
            }
            std::vector<uint32_t> raster;
            try {
                raster.resize(static_cast<size_t>(width) * height);
            } catch (const std::bad_alloc&) {
                throw TiffError{"No space for raster buffer"};
            }
            if (!TIFFReadRGBAImage(tif.get(), width, height, raster.data(), 1))
                throw TiffError{"Corrupted TIFF file!"};
            // The raster comes bottom row first, like the image.
            for (uint32_t y = 0; y < height; ++y) {
                if (info.escape) throw TiffError{"Cancelled"};
                uint8_t* row = page.GetBits(y);
                const uint32_t* src = raster.data() + static_cast<size_t>(y) * width;
                uint8_t* a = hasAlpha ? page.alpha + static_cast<size_t>(y) * width : nullptr;
                for (uint32_t x = 0; x < width; ++x) {
                    const uint32_t p = src[x];
                    uint8_t r = TIFFGetR(p), g = TIFFGetG(p), b = TIFFGetB(p);
                    if (a) {
                        // libtiff hands out premultiplied colour; the plane is straight alpha.
                        const auto av = static_cast<uint8_t>(TIFFGetA(p));
                        r = Unpremultiply(r, av), g = Unpremultiply(g, av), b = Unpremultiply(b, av);
                        a[x] = av;
                    }
                    row[3 * x] = b;
                    row[3 * x + 1] = g;
                    row[3 * x + 2] = r;
                }
                info.progress = static_cast<int32_t>(static_cast<uint64_t>(y) * 100 / height);
            }
            Transfer(page);
            return true;
        }

        if (kind == Kind::Index && depth <= 8) {
            RGBQUAD* pal = page.GetPalette();
            const uint32_t colors = page.GetNumColors();
            if (palette) {
                for (uint32_t i = 0; i < std::min<uint32_t>(colors, static_cast<uint32_t>(map.size())); ++i)
                    pal[i] = map[i];
            } else if (t.photometric == PHOTOMETRIC_MINISBLACK || t.photometric == PHOTOMETRIC_MINISWHITE) {
                const uint32_t levels = t.bits <= 8 ? (1u << t.bits) : 256u;
                // The full range for every sample width: 3, 5, 6 and 7 bits too end at white.
                for (uint32_t i = 0; i < std::min(levels, colors); ++i) {
                    const uint32_t level = i * 255u / (levels - 1u);
                    const auto v = static_cast<uint8_t>(t.photometric == PHOTOMETRIC_MINISBLACK ? level : 255u - level);
                    pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = v;
                }
            }
            page.info.lastColorValid = false;
        }

        // Index pages read their first sample and the alpha after it; colour pages
        // three samples and the alpha after those.
        const uint16_t usedSamples = static_cast<uint16_t>((kind == Kind::Index ? 1 : 3) + (hasAlpha ? 1 : 0));
        RowSource rows(tif.get(), t, usedSamples);
        const bool separate = t.planar == PLANARCONFIG_SEPARATE;
        const unsigned bits = t.bits;
        const uint16_t samples = t.samples;
        // Rows of every plane read for the current image row; a contiguous page has one.
        std::vector<const uint8_t*> planes(separate ? std::min(samples, usedSamples) : 1);
        const auto sample = [&](uint32_t x, unsigned k) {
            return separate ? SampleAt(planes[k], x, bits) : SampleAt(planes[0], static_cast<size_t>(x) * samples + k, bits);
        };
        const bool directCopy = kind == Kind::Index && samples == 1 && depth <= 8 && bits == depth;
        const bool rgb8 = kind == Kind::Rgb && bits == 8 && !separate && samples >= (hasAlpha ? 4 : 3);

        for (uint32_t r = 0; r < height; ++r) {
            if (info.escape) throw TiffError{"Cancelled"};
            for (uint16_t k = 0; k < planes.size(); ++k) planes[k] = rows.Row(r, k);
            const uint32_t y = height - 1 - r;
            uint8_t* out = page.GetBits(y);
            uint8_t* a = hasAlpha ? page.alpha + static_cast<size_t>(y) * width : nullptr;

            if (directCopy) {
                std::memcpy(out, planes[0], static_cast<size_t>(std::min<uint64_t>(rows.LineSize(), page.GetRowBytes())));
            } else if (kind == Kind::Index) {
                for (uint32_t x = 0; x < width; ++x) {
                    const uint32_t v = sample(x, 0);
                    if (depth == 24) {
                        const RGBQUAD& c = map[v];
                        out[3 * x] = c.rgbBlue;
                        out[3 * x + 1] = c.rgbGreen;
                        out[3 * x + 2] = c.rgbRed;
                    } else {
                        PutIndex(out, x, depth, palette || bits <= 8 ? v : To8(v, bits));
                    }
                }
            } else if (rgb8) {
                // The common page: 8-bit samples side by side, swapped to blue-green-red.
                if (samples == 3)
                    SwapRgbRow<3>(planes[0], width, out, nullptr);
                else
                    SwapRgbRow<0>(planes[0], width, out, a, samples);
                if (a && premultiplied)
                    for (uint32_t x = 0; x < width; ++x)
                        for (int c = 0; c < 3; ++c) out[3 * x + c] = Unpremultiply(out[3 * x + c], a[x]);
            } else if (kind == Kind::Rgb) {
                for (uint32_t x = 0; x < width; ++x) {
                    out[3 * x + 2] = To8(sample(x, 0), bits);
                    out[3 * x + 1] = To8(sample(x, 1), bits);
                    out[3 * x] = To8(sample(x, 2), bits);
                }
            } else {
                for (uint32_t x = 0; x < width; ++x) {
                    const RGBQUAD c = LabToRgb(To8(sample(x, 0), bits), static_cast<int8_t>(To8(sample(x, 1), bits)),
                                               static_cast<int8_t>(To8(sample(x, 2), bits)));
                    out[3 * x] = c.rgbBlue;
                    out[3 * x + 1] = c.rgbGreen;
                    out[3 * x + 2] = c.rgbRed;
                }
            }
            if (a && !rgb8) {
                const unsigned k = kind == Kind::Index ? 1 : 3;
                for (uint32_t x = 0; x < width; ++x) a[x] = To8(sample(x, k), bits);
                if (premultiplied && depth == 24) {
                    for (uint32_t x = 0; x < width; ++x)
                        for (int c = 0; c < 3; ++c) out[3 * x + c] = Unpremultiply(out[3 * x + c], a[x]);
                }
            }
            info.progress = static_cast<int32_t>(static_cast<uint64_t>(r) * 100 / height);
        }

        // The page as it is meant to be seen.
        bool turned = true;
        switch (t.orientation) {
        case ORIENTATION_TOPRIGHT: turned = page.Mirror(); break;
        case ORIENTATION_BOTRIGHT: turned = page.Flip() && page.Mirror(); break;
        case ORIENTATION_BOTLEFT: turned = page.Flip(); break;
        case ORIENTATION_LEFTTOP: turned = page.RotateRight() && page.Mirror(); break;
        case ORIENTATION_RIGHTTOP: turned = page.RotateRight(); break;
        case ORIENTATION_RIGHTBOT: turned = page.RotateLeft() && page.Mirror(); break;
        case ORIENTATION_LEFTBOT: turned = page.RotateLeft(); break;
        default: break;
        }
        if (!turned) throw TiffError{"CLfImageTIF can't create image"};
        Transfer(page);
        return true;
    }, "CLfImageTIF can't create image");
}
