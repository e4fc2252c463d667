// PNG reading and writing through libpng's callback I/O on a CLfStream.
//
// libpng reports fatal errors by a long jump back to the function that armed it.
// Between that setjmp and any jump only plain data and raw pointers live: the
// decoder frees its one row buffer in the jump branch, and the encoder prepares
// every C++ object before it hands plain pointers to the function that jumps.

#include "image/codecs/CLfImagePNG.h"

#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void CopyMessage(char* target, const char* text)
{
    std::strncpy(target, text ? text : "", 255);
    target[255] = '\0';
}

void PngReadData(png_structp png, png_bytep data, size_t length)
{
    auto* stream = static_cast<CLfStream*>(png_get_io_ptr(png));
    if (static_cast<size_t>(stream->Read(data, 1, length)) != length) png_error(png, "Read Error");
}

void PngWriteData(png_structp png, png_bytep data, size_t length)
{
    auto* stream = static_cast<CLfStream*>(png_get_io_ptr(png));
    if (static_cast<size_t>(stream->Write(data, 1, length)) != length) png_error(png, "Write Error");
}

void PngFlushData(png_structp png)
{
    auto* stream = static_cast<CLfStream*>(png_get_io_ptr(png));
    if (!stream->Flush()) png_error(png, "Flush Error");
}

// The decoder's error function: libpng's text goes to the codec's last error (the
// error pointer), then back to the recovery point.
[[noreturn]] void PngErrorHandler(png_structp png, png_const_charp message)
{
    if (auto* text = static_cast<char*>(png_get_error_ptr(png))) CopyMessage(text, message);
    png_longjmp(png, 1);
}

// The encoder reports one fixed text, so libpng's own is dropped.
[[noreturn]] void PngSilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Warnings (unknown chunks, benign CRC slips) never reach the user.
void PngQuietWarning(png_structp, png_const_charp) {}

int32_t DpiFromPelsPerMetre(png_uint_32 ppm)
{
    const double dpi = std::floor(static_cast<double>(ppm) * 0.0254 + 0.5);
    return dpi > 2147483647.0 ? 2147483647 : static_cast<int32_t>(dpi);
}

// Index of pixel x in a packed row of 1, 4 or 8 bits per pixel.
inline unsigned IndexAt(const uint8_t* row, uint32_t x, unsigned bpp)
{
    switch (bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    default: return row[x];
    }
}

inline void PutIndex(uint8_t* row, uint32_t x, unsigned bpp, unsigned v)
{
    switch (bpp) {
    case 1: {
        const uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
        row[x >> 3] = static_cast<uint8_t>(v ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
        break;
    }
    case 4:
        row[x >> 1] = (x & 1) ? static_cast<uint8_t>((row[x >> 1] & 0xF0u) | (v & 0x0Fu))
                              : static_cast<uint8_t>((row[x >> 1] & 0x0Fu) | (v << 4));
        break;
    default: row[x] = static_cast<uint8_t>(v);
    }
}

// --- Encoding -------------------------------------------------------------------

enum class RowMode { Indexed, Rgb, Rgba };

// Where the encoder takes its rows from: plain pointers into the image and into
// buffers that Encode owns, so that the jumping writer holds no C++ object.
struct PngRowSource {
    RowMode mode = RowMode::Rgb;
    const uint8_t* bits = nullptr;  // bottom row of the DIB
    uint32_t rowBytes = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    unsigned bpp = 24;
    const uint8_t* indexMap = nullptr;  // 256 entries, or null to keep the indices
    const RGBQUAD* palette = nullptr;   // for Rgba rows of palette images
    const uint8_t* alpha = nullptr;     // alpha plane, bottom-up, or null
    unsigned alphaMax = 255;
    bool keyed = false;                 // 24-bit pixels of keyColor are transparent
    RGBQUAD keyColor{};
};

void FillRow(const PngRowSource& src, uint32_t topRow, uint8_t* out)
{
    const uint32_t y = src.height - 1 - topRow;
    const uint8_t* row = src.bits + static_cast<size_t>(y) * src.rowBytes;
    switch (src.mode) {
    case RowMode::Indexed: {
        const size_t bytes = (static_cast<size_t>(src.width) * src.bpp + 7) / 8;
        std::memcpy(out, row, bytes);
        if (src.indexMap) {
            if (src.bpp == 8) {
                for (size_t i = 0; i < bytes; ++i) out[i] = src.indexMap[out[i]];
            } else {
                for (uint32_t x = 0; x < src.width; ++x)
                    PutIndex(out, x, src.bpp, src.indexMap[IndexAt(row, x, src.bpp)]);
            }
        }
        break;
    }
    case RowMode::Rgb:
        for (uint32_t x = 0; x < src.width; ++x) {
            out[3 * x] = row[3 * x + 2];
            out[3 * x + 1] = row[3 * x + 1];
            out[3 * x + 2] = row[3 * x];
        }
        break;
    case RowMode::Rgba: {
        const uint8_t* alpha = src.alpha ? src.alpha + static_cast<size_t>(y) * src.width : nullptr;
        for (uint32_t x = 0; x < src.width; ++x) {
            uint8_t b, g, r;
            if (src.palette) {
                const RGBQUAD& c = src.palette[IndexAt(row, x, src.bpp)];
                b = c.rgbBlue;
                g = c.rgbGreen;
                r = c.rgbRed;
            } else {
                b = row[3 * x];
                g = row[3 * x + 1];
                r = row[3 * x + 2];
            }
            unsigned a = alpha ? alpha[x] * src.alphaMax / 255u : src.alphaMax;
            if (src.keyed && b == src.keyColor.rgbBlue && g == src.keyColor.rgbGreen &&
                r == src.keyColor.rgbRed)
                a = 0;
            out[4 * x] = r;
            out[4 * x + 1] = g;
            out[4 * x + 2] = b;
            out[4 * x + 3] = static_cast<uint8_t>(a);
        }
        break;
    }
    }
}

struct PngWriteJob {
    CLfStream* stream = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGB;
    const png_color* palette = nullptr;
    int paletteCount = 0;
    const png_byte* trns = nullptr;
    int trnsCount = 0;
    png_color_16 background{};
    png_uint_32 xPelsPerMetre = 0;
    png_uint_32 yPelsPerMetre = 0;
    const PngRowSource* rows = nullptr;
    uint8_t* rowBuffer = nullptr;  // owned by the caller
};

enum class WriteResult { Ok, NoStruct, NoInfo, Failed };

WriteResult WritePng(const PngWriteJob& job)
{
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngSilentError, PngQuietWarning);
    if (!png) return WriteResult::NoStruct;
    png_infop pinfo = png_create_info_struct(png);
    if (!pinfo) {
        png_destroy_write_struct(&png, nullptr);
        return WriteResult::NoInfo;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &pinfo);
        return WriteResult::Failed;
    }
    png_set_write_fn(png, job.stream, PngWriteData, PngFlushData);
    png_set_IHDR(png, pinfo, job.width, job.height, job.bitDepth, job.colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (job.palette) png_set_PLTE(png, pinfo, job.palette, job.paletteCount);
    if (job.trns) png_set_tRNS(png, pinfo, job.trns, job.trnsCount, nullptr);
    png_set_bKGD(png, pinfo, &job.background);
    png_set_pHYs(png, pinfo, job.xPelsPerMetre, job.yPelsPerMetre, PNG_RESOLUTION_METER);
    png_write_info(png, pinfo);
    for (uint32_t y = 0; y < job.height; ++y) {
        FillRow(*job.rows, y, job.rowBuffer);
        png_write_row(png, job.rowBuffer);
    }
    png_write_end(png, pinfo);
    png_destroy_write_struct(&png, &pinfo);
    return WriteResult::Ok;
}

}  // namespace

CLfImagePNG::CLfImagePNG() : CLfImage(lfimg::kTypePNG) {}

void CLfImagePNG::Expand2to4bpp(uint8_t* row) const
{
    const uint32_t width = static_cast<uint32_t>(header.biWidth);
    if (!row || width == 0) return;
    // Output byte j takes pixels 2j and 2j+1, which both sit in input byte j / 2:
    // walking j downwards never overwrites an input byte that is still to be read.
    for (uint32_t j = (width + 1) / 2; j-- > 0;) {
        const uint8_t in = row[j / 2];
        const unsigned shift = (j & 1) ? 2 : 6;  // pixel 2j's pair within its byte
        const unsigned hi = (in >> shift) & 3u;
        const unsigned lo = (in >> (shift - 2)) & 3u;
        row[j] = static_cast<uint8_t>((hi << 4) | lo);
    }
}

bool CLfImagePNG::Decode(CLfStream* stream)
{
    return lfcodec::GuardDecode(*this, stream, [&] { return ReadFile(stream); });
}

bool CLfImagePNG::ReadFile(CLfStream* stream)
{
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, info.lastError, PngErrorHandler, PngQuietWarning);
    if (!png) {
        SetLastError("Failed to create PNG structure");
        return false;
    }
    png_infop pinfo = png_create_info_struct(png);
    if (!pinfo) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        SetLastError("Failed to initialize PNG info structure");
        return false;
    }

    uint8_t* volatile rowBuffer = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        std::free(rowBuffer);
        png_destroy_read_struct(&png, &pinfo, nullptr);
        Destroy();  // a half-decoded picture is no result
        return false;
    }

    png_set_read_fn(png, stream, PngReadData);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // A mutated chunk almost never keeps its checksum; the fuzzer is to reach what
    // the chunks say, not stop at their CRC or the zlib stream's Adler-32.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif
    png_read_info(png, pinfo);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, pinfo, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);

    // Everything read from the header is copied out before the transformations are
    // set up: libpng may rewrite its own palette once it starts the rows.
    png_color fileColors[PNG_MAX_PALETTE_LENGTH];
    int fileColorCount = 0;
    {
        png_colorp plte = nullptr;
        int count = 0;
        if (png_get_PLTE(png, pinfo, &plte, &count) && plte && count > 0) {
            fileColorCount = std::min(count, PNG_MAX_PALETTE_LENGTH);
            std::memcpy(fileColors, plte, sizeof(png_color) * static_cast<size_t>(fileColorCount));
        }
    }
    png_byte trnsAlpha[PNG_MAX_PALETTE_LENGTH];
    int trnsCount = 0;
    bool hasTrnsColor = false;
    {
        png_bytep alpha = nullptr;
        int count = 0;
        png_color_16p color = nullptr;
        if (png_get_tRNS(png, pinfo, &alpha, &count, &color)) {
            // Palette files give per-entry alpha; grey and RGB files only a colour.
            if (colorType == PNG_COLOR_TYPE_PALETTE && alpha && count > 0) {
                trnsCount = std::min(count, PNG_MAX_PALETTE_LENGTH);
                std::memcpy(trnsAlpha, alpha, static_cast<size_t>(trnsCount));
            } else if (color) {
                hasTrnsColor = true;
            }
        }
    }
    png_color_16p background = nullptr;
    const bool hasBackground = png_get_bKGD(png, pinfo, &background) != 0 && background;

    // Transparency that the image cannot keep as it is read is composited onto the
    // file's background, or light grey without one: a transparent colour of a grey
    // or RGB file, grey with 8-bit alpha, and 16-bit RGBA. Palette transparency
    // stays in the palette, and 8-bit RGBA and 16-bit grey with alpha keep their
    // alpha as a plane.
    const bool greyOrRgb = colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_RGB;
    const bool alphaPlane = (colorType == PNG_COLOR_TYPE_RGB_ALPHA && bitDepth == 8) ||
                            (colorType == PNG_COLOR_TYPE_GRAY_ALPHA && bitDepth == 16);
    const bool composite = (hasTrnsColor && greyOrRgb) || (colorType == PNG_COLOR_TYPE_GRAY_ALPHA && bitDepth == 8) ||
                           (colorType == PNG_COLOR_TYPE_RGB_ALPHA && bitDepth == 16);
    if (composite) {
        if (hasBackground) {
            png_set_background(png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        } else {
            // The grey of the default serves grey files: black would darken them.
            png_color_16 fallback{0, 192, 192, 192, 192};
            png_set_background(png, &fallback, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
        }
    }
    if (alphaPlane && hasBackground) {
        const unsigned shift = bitDepth == 16 ? 8 : 0;
        info.transColor.rgbBlue = static_cast<uint8_t>(background->blue >> shift);
        info.transColor.rgbGreen = static_cast<uint8_t>(background->green >> shift);
        info.transColor.rgbRed = static_cast<uint8_t>(background->red >> shift);
        info.transColor.rgbReserved = 0;
    }
    if (bitDepth == 16) png_set_strip_16(png);
    if (alphaPlane && !(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) || alphaPlane) png_set_bgr(png);
    const int passes = interlace != PNG_INTERLACE_NONE ? png_set_interlace_handling(png) : 1;
    png_read_update_info(png, pinfo);

    int depth;
    if (alphaPlane || (colorType & PNG_COLOR_MASK_COLOR && colorType != PNG_COLOR_TYPE_PALETTE))
        depth = 24;
    else if (bitDepth == 16 || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        depth = 8;
    else
        depth = bitDepth;  // 1, 2, 4 or 8; the image holds 2 bits in 4

    // The rows libpng delivers after the transformations, checked against the layout
    // they are stored in before a single one is read.
    const size_t libRowBytes = png_get_rowbytes(png, pinfo);
    const size_t expectRowBytes = alphaPlane     ? static_cast<size_t>(width) * 4
                                  : depth == 24 ? static_cast<size_t>(width) * 3
                                                : (static_cast<size_t>(width) * depth + 7) / 8;
    if (libRowBytes != expectRowBytes) png_error(png, "Unexpected PNG row layout");

    if (!Create(static_cast<int32_t>(width), static_cast<int32_t>(height), static_cast<uint32_t>(depth),
                lfimg::kTypePNG))
        png_longjmp(png, 1);  // Create left its message
    // Rows without alpha are read straight into the image.
    if (!alphaPlane && libRowBytes > info.rowBytes) png_error(png, "Unexpected PNG row layout");

    // A file without a resolution in a known unit keeps the default 96 DPI.
    png_uint_32 xRes = 0, yRes = 0;
    int unit = 0;
    if (png_get_pHYs(png, pinfo, &xRes, &yRes, &unit) && unit == PNG_RESOLUTION_METER) {
        SetXDPI(DpiFromPelsPerMetre(xRes));
        SetYDPI(DpiFromPelsPerMetre(yRes));
    }

    RGBQUAD* pal = GetPalette();
    const int colors = static_cast<int>(header.biClrUsed);
    if (pal && colors > 0) {
        if (fileColorCount > 0) {
            for (int i = 0; i < std::min(fileColorCount, colors); ++i) {
                pal[i].rgbRed = fileColors[i].red;
                pal[i].rgbGreen = fileColors[i].green;
                pal[i].rgbBlue = fileColors[i].blue;
            }
        } else if (bitDepth == 2) {
            for (int i = 0; i < 4; ++i)
                pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = static_cast<uint8_t>(i * 85);
        } else {
            SetGrayPalette();
        }
        if (trnsCount > 0) {
            const int n = std::min(trnsCount, colors);
            for (int i = 0; i < n; ++i) pal[i].rgbReserved = trnsAlpha[i];
            if (trnsCount == 1 && trnsAlpha[0] == 0) {
                info.transIndex = 0;
            } else {
                info.alphaPalette = true;
                for (int i = n; i < colors; ++i) pal[i].rgbReserved = 255;
            }
        }
        info.lastColorValid = false;
    }

    if (alphaPlane) {
        AlphaCreate();
        if (!alpha) png_error(png, "Cannot allocate the alpha plane");
        rowBuffer = static_cast<uint8_t*>(std::malloc(libRowBytes));
        if (!rowBuffer) png_error(png, "Cannot allocate the PNG row buffer");
    }

    for (int pass = 0; pass < passes; ++pass) {
        for (uint32_t i = 0; i < height; ++i) {
            if (info.escape) png_longjmp(png, 1);
            const uint32_t y = height - 1 - i;
            uint8_t* dibRow = GetBits(y);
            if (!alphaPlane) {
                // libpng completes an interlaced row in place, so every pass reads
                // straight into the image's own row.
                png_read_row(png, dibRow, nullptr);
            } else {
                uint8_t* buf = rowBuffer;
                uint8_t* a = alpha + static_cast<size_t>(y) * width;
                if (pass > 0) {
                    for (uint32_t x = 0; x < width; ++x) {
                        buf[4 * x] = dibRow[3 * x];
                        buf[4 * x + 1] = dibRow[3 * x + 1];
                        buf[4 * x + 2] = dibRow[3 * x + 2];
                        buf[4 * x + 3] = a[x];
                    }
                }
                png_read_row(png, buf, nullptr);
                for (uint32_t x = 0; x < width; ++x) {
                    dibRow[3 * x] = buf[4 * x];
                    dibRow[3 * x + 1] = buf[4 * x + 1];
                    dibRow[3 * x + 2] = buf[4 * x + 2];
                    a[x] = buf[4 * x + 3];
                }
            }
            info.progress = static_cast<int32_t>((static_cast<uint64_t>(pass) * height + i) * 100 /
                                                 (static_cast<uint64_t>(passes) * height));
        }
    }
    if (bitDepth == 2 && depth == 2) {
        for (uint32_t y = 0; y < height; ++y) Expand2to4bpp(GetBits(y));
    }

    png_read_end(png, nullptr);
    std::free(rowBuffer);
    rowBuffer = nullptr;
    png_destroy_read_struct(&png, &pinfo, nullptr);
    return true;
}

bool CLfImagePNG::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] { return WriteFile(stream); });
}

bool CLfImagePNG::WriteFile(CLfStream* stream)
{
    const uint32_t width = static_cast<uint32_t>(header.biWidth);
    const uint32_t height = static_cast<uint32_t>(header.biHeight);
    const unsigned bpp = header.biBitCount;
    const int colors = static_cast<int>(header.biClrUsed);
    const RGBQUAD* imagePalette = GetPalette();
    const bool indexed = bpp <= 8 && imagePalette && colors > 0;

    PngRowSource rows;
    rows.bits = info.bits;
    rows.rowBytes = info.rowBytes;
    rows.width = width;
    rows.height = height;
    rows.bpp = bpp;
    rows.alpha = alpha;
    rows.alphaMax = info.alphaMax;

    PngWriteJob job;
    job.stream = stream;
    job.width = width;
    job.height = height;
    job.rows = &rows;
    job.xPelsPerMetre = static_cast<png_uint_32>(std::max<int32_t>(0, header.biXPelsPerMeter));
    job.yPelsPerMetre = static_cast<png_uint_32>(std::max<int32_t>(0, header.biYPelsPerMeter));
    job.background = png_color_16{0, 255, 255, 255, 0};

    // The caller's image is never touched: a transparent index moves to entry 0 in a
    // copy of the palette and in the rows as they are written.
    std::vector<RGBQUAD> palette;
    std::vector<uint8_t> indexMap;
    std::vector<png_color> plte;
    std::vector<png_byte> trns;
    const bool transparentIndex = indexed && info.transIndex >= 0 && info.transIndex < colors;

    if (alpha || (!indexed && info.transIndex != -1)) {
        rows.mode = RowMode::Rgba;
        job.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        job.bitDepth = 8;
        if (indexed) {
            rows.palette = imagePalette;
        } else if (info.transIndex != -1) {
            rows.keyed = true;
            rows.keyColor = info.transColor;
        }
    } else if (indexed) {
        rows.mode = RowMode::Indexed;
        job.colorType = PNG_COLOR_TYPE_PALETTE;
        job.bitDepth = static_cast<int>(bpp);
        palette.assign(imagePalette, imagePalette + colors);
        if (transparentIndex && info.transIndex != 0) {
            indexMap.resize(256);
            for (unsigned i = 0; i < 256; ++i) indexMap[i] = static_cast<uint8_t>(i);
            const auto t = static_cast<uint8_t>(info.transIndex);
            indexMap[0] = t;
            indexMap[t] = 0;
            std::swap(palette[0], palette[t]);
            rows.indexMap = indexMap.data();
        }
        // Small images write only the entries their pixels use.
        int used = colors;
        if (colors > 2 && static_cast<uint64_t>(width) * height < 65536) {
            unsigned highest = 0;
            for (uint32_t y = 0; y < height; ++y) {
                const uint8_t* row = GetBits(y);
                for (uint32_t x = 0; x < width; ++x) {
                    unsigned v = IndexAt(row, x, bpp);
                    if (rows.indexMap) v = rows.indexMap[v];
                    highest = std::max(highest, v);
                }
            }
            used = static_cast<int>(std::min<unsigned>(highest + 1, static_cast<unsigned>(colors)));
        }
        plte.resize(static_cast<size_t>(used));
        for (int i = 0; i < used; ++i)
            plte[static_cast<size_t>(i)] = png_color{palette[static_cast<size_t>(i)].rgbRed,
                                                     palette[static_cast<size_t>(i)].rgbGreen,
                                                     palette[static_cast<size_t>(i)].rgbBlue};
        job.palette = plte.data();
        job.paletteCount = used;
        if (info.alphaPalette) {
            trns.resize(static_cast<size_t>(used));
            for (int i = 0; i < used; ++i) trns[static_cast<size_t>(i)] = palette[static_cast<size_t>(i)].rgbReserved;
        } else if (transparentIndex) {
            trns.assign(1, 0);
        }
        if (!trns.empty()) {
            job.trns = trns.data();
            job.trnsCount = static_cast<int>(trns.size());
        }
        job.background.index = 0;
    } else {
        rows.mode = RowMode::Rgb;
        job.colorType = PNG_COLOR_TYPE_RGB;
        job.bitDepth = 8;
    }
    if (info.transIndex != -1 && !indexed) {
        job.background.red = info.transColor.rgbRed;
        job.background.green = info.transColor.rgbGreen;
        job.background.blue = info.transColor.rgbBlue;
    } else if (transparentIndex) {
        const RGBQUAD t = imagePalette[info.transIndex];
        job.background.red = t.rgbRed;
        job.background.green = t.rgbGreen;
        job.background.blue = t.rgbBlue;
    }

    const size_t bufferBytes = rows.mode == RowMode::Rgba  ? static_cast<size_t>(width) * 4
                               : rows.mode == RowMode::Rgb ? static_cast<size_t>(width) * 3
                                                           : static_cast<size_t>(info.rowBytes);
    std::vector<uint8_t> rowBuffer(bufferBytes + 16);
    job.rowBuffer = rowBuffer.data();

    switch (WritePng(job)) {
    case WriteResult::Ok: break;
    case WriteResult::NoStruct: SetLastError("Failed to create PNG structure"); return false;
    case WriteResult::NoInfo: SetLastError("Failed to initialize PNG info structure"); return false;
    case WriteResult::Failed: SetLastError("Error saving PNG file"); return false;
    }
    if (!stream->Flush()) {
        SetLastError("Error saving PNG file");
        return false;
    }
    return true;
}
