// TIFF encoding: one image becomes one page, its tags chosen from the depth, the
// palette and the alpha plane. Rows are converted in a buffer of their own, so the
// caller's image is only ever read.

#include "image/codecs/CLfImageTIF.h"

#include "image/CLfMemoryStream.h"
#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"
#include "image/codecs/LfTiffStream.h"

#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using TiffError = lfcodec::Failure;

// How the image's pixels are laid out in the page.
enum class Layout {
    Bilevel,    // 1 bit, white is zero
    Grey,       // 4 or 8 bits whose palette is the grey ramp of that depth
    Palette,    // 1, 4 or 8 bits with a colour map
    GreyAlpha,  // 8-bit grey and alpha
    Rgb,        // 3 x 8 bits
    Rgba,       // 4 x 8 bits, unassociated alpha
};

// True when the palette is exactly the grey ramp that a grey page of this depth
// decodes to, so the page can be written without a colour map.
bool IsGreyRamp(const RGBQUAD* pal, uint32_t colors)
{
    if (!pal || colors < 2) return false;
    const uint32_t step = 255u / (colors - 1u);
    for (uint32_t i = 0; i < colors; ++i) {
        const uint32_t v = i * step;
        if (pal[i].rgbRed != v || pal[i].rgbGreen != v || pal[i].rgbBlue != v) return false;
    }
    return true;
}

// A bilevel page knows only black and white: any other pair of colours needs a
// colour map, or the picture would come back in black and white.
bool IsBlackAndWhite(const RGBQUAD* pal)
{
    const auto is = [](const RGBQUAD& c, uint8_t v) { return c.rgbRed == v && c.rgbGreen == v && c.rgbBlue == v; };
    return (is(pal[0], 0) && is(pal[1], 255)) || (is(pal[0], 255) && is(pal[1], 0));
}

inline unsigned IndexAt(const uint8_t* row, uint32_t x, unsigned bpp)
{
    switch (bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    default: return row[x];
    }
}

}  // namespace

bool CLfImageTIF::EncodeBody(TIFF* tif, bool asPage, int32_t page, int32_t pages)
{
    const auto width = static_cast<uint32_t>(header.biWidth);
    const auto height = static_cast<uint32_t>(header.biHeight);
    const unsigned bpp = header.biBitCount;
    const RGBQUAD* pal = GetPalette();
    const uint32_t colors = GetNumColors();
    const bool indexed = bpp <= 8 && pal && colors > 0;

    Layout layout;
    if (alpha) {
        // A palette page cannot carry alpha: such images are written as RGBA.
        layout = bpp == 8 && IsGreyRamp(pal, colors) ? Layout::GreyAlpha : Layout::Rgba;
    } else if (bpp == 1 && indexed && colors >= 2 && IsBlackAndWhite(pal)) {
        layout = Layout::Bilevel;
    } else if (indexed) {
        layout = IsGreyRamp(pal, colors) ? Layout::Grey : Layout::Palette;
    } else {
        layout = Layout::Rgb;
    }

    uint16_t samples = 1, bits = 8, photometric = PHOTOMETRIC_RGB;
    switch (layout) {
    case Layout::Bilevel: bits = 1, photometric = PHOTOMETRIC_MINISWHITE; break;
    case Layout::Grey: bits = static_cast<uint16_t>(bpp), photometric = PHOTOMETRIC_MINISBLACK; break;
    case Layout::Palette: bits = static_cast<uint16_t>(bpp), photometric = PHOTOMETRIC_PALETTE; break;
    case Layout::GreyAlpha: samples = 2, photometric = PHOTOMETRIC_MINISBLACK; break;
    case Layout::Rgb: samples = 3; break;
    case Layout::Rgba: samples = 4; break;
    }
    const unsigned pixelBits = samples * bits;

    uint32_t compression = info.codecOption;
    if (compression == 0) {
        compression = pixelBits == 1                      ? COMPRESSION_CCITTFAX4
                      : pixelBits == 8                    ? COMPRESSION_PACKBITS
                      : (pixelBits == 24 || pixelBits == 32) ? COMPRESSION_JPEG
                                                          : COMPRESSION_NONE;
    }
    if (compression > 0xFFFF || !TIFFIsCODECConfigured(static_cast<uint16_t>(compression))) return false;

    bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width) && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height) &&
              TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples) && TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits) &&
              TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric) &&
              TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) &&
              TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(info.xDpi)) &&
              TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(info.yDpi)) &&
              TIFFSetField(tif, TIFFTAG_COMPRESSION, static_cast<uint16_t>(compression));
    if (layout == Layout::GreyAlpha || layout == Layout::Rgba) {
        const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        ok = ok && TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (asPage) {
        char name[32];
        std::snprintf(name, sizeof name, "Page %d", page);
        ok = ok && TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE) &&
             TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(page - 1), static_cast<uint16_t>(pages)) &&
             TIFFSetField(tif, TIFFTAG_PAGENAME, name);
    } else {
        ok = ok && TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    }
    if (layout == Layout::Palette) {
        uint16_t red[256] = {}, green[256] = {}, blue[256] = {};
        for (uint32_t i = 0; i < colors && i < 256; ++i) {
            red[i] = static_cast<uint16_t>(pal[i].rgbRed * 257u);
            green[i] = static_cast<uint16_t>(pal[i].rgbGreen * 257u);
            blue[i] = static_cast<uint16_t>(pal[i].rgbBlue * 257u);
        }
        ok = ok && TIFFSetField(tif, TIFFTAG_COLORMAP, red, green, blue);
    }
    // Differencing needs whole-byte samples.
    if (compression == COMPRESSION_LZW && bits >= 8) ok = ok && TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    uint32_t rowsPerStrip = TIFFDefaultStripSize(tif, UINT32_MAX);
    if (compression == COMPRESSION_JPEG) {
        ok = ok && TIFFSetField(tif, TIFFTAG_JPEGQUALITY, static_cast<int>(info.quality));
        rowsPerStrip = (rowsPerStrip + 7) / 8 * 8;
    }
    ok = ok && TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    if (!ok) return false;

    // 1-bit pages store white as zero: when entry 0 is the darker one the bits are
    // written inverted (in the row buffer, never in the image).
    const bool invert = layout == Layout::Bilevel && CompareLuminance(pal[0], pal[1]) < 0;
    const size_t packedBytes = (static_cast<size_t>(width) * pixelBits + 7) / 8;
    std::vector<uint8_t> buffer(packedBytes + 8);
    for (uint32_t top = 0; top < height; ++top) {
        if (info.escape) return false;
        const uint8_t* row = GetBits(height - 1 - top);
        const uint8_t* a = alpha ? alpha + static_cast<size_t>(height - 1 - top) * width : nullptr;
        uint8_t* out = buffer.data();
        switch (layout) {
        case Layout::Bilevel:
        case Layout::Grey:
        case Layout::Palette:
            std::memcpy(out, row, packedBytes);
            if (invert)
                for (size_t i = 0; i < packedBytes; ++i) out[i] = static_cast<uint8_t>(~out[i]);
            break;
        case Layout::GreyAlpha:
            for (uint32_t x = 0; x < width; ++x) {
                out[2 * x] = row[x];
                out[2 * x + 1] = a[x];
            }
            break;
        case Layout::Rgb:
            for (uint32_t x = 0; x < width; ++x) {
                out[3 * x] = row[3 * x + 2];
                out[3 * x + 1] = row[3 * x + 1];
                out[3 * x + 2] = row[3 * x];
            }
            break;
        case Layout::Rgba:
            for (uint32_t x = 0; x < width; ++x) {
                RGBQUAD c;
                if (indexed) {
                    c = pal[IndexAt(row, x, bpp)];
                } else {
                    c.rgbBlue = row[3 * x];
                    c.rgbGreen = row[3 * x + 1];
                    c.rgbRed = row[3 * x + 2];
                }
                out[4 * x] = c.rgbRed;
                out[4 * x + 1] = c.rgbGreen;
                out[4 * x + 2] = c.rgbBlue;
                out[4 * x + 3] = a[x];
            }
            break;
        }
        if (TIFFWriteScanline(tif, out, top, 0) < 0) return false;
        info.progress = static_cast<int32_t>(static_cast<uint64_t>(top) * 100 / height);
    }
    return true;
}

bool CLfImageTIF::Encode(CLfStream* stream, bool append)
{
    const bool ok = lfcodec::GuardEncode(*this, stream, [&] {
        if (!tiffHandle) {
            tiffHandle = TiffOpenStream(stream, "w");
            if (!tiffHandle) throw TiffError{"initialization fail"};
        }
        if (append || pageCount > 0) multipage = 1;
        ++pageCount;
        if (!EncodeBody(tiffHandle, multipage != 0, pageCount, totalPages > 0 ? totalPages : pageCount))
            throw TiffError{"Error saving TIFF file"};
        if (append) {
            if (!TIFFWriteDirectory(tiffHandle)) throw TiffError{"Error saving TIFF directory"};
            return true;
        }
        // libtiff's close reports nothing, so the directory is written (and checked)
        // first; the stream's own buffers are flushed last.
        const bool written = TIFFWriteDirectory(tiffHandle) != 0;
        ClosePages();
        if (!written || !stream->Flush()) throw TiffError{"Error saving TIFF file"};
        return true;
    });
    if (!ok)
        ClosePages();
    return ok;
}

bool CLfImageTIF::Encode(CLfStream* stream, CLfImage** images, int32_t count)
{
    return lfcodec::GuardWrite(*this, stream, "invalid file pointer", [&] { return WritePages(stream, images, count); });
}

bool CLfImageTIF::WritePages(CLfStream* stream, CLfImage** images, int32_t count)
{
    if (!images || count <= 0) {
        SetLastError("multipage TIFF, no images!");
        return false;
    }
    // libtiff reads the previous directory back to link the next one, which a
    // write-only target (a file opened for writing) cannot give: the pages are
    // built in memory and copied out once complete.
    CLfMemoryStream pages;
    CLfImageTIF writer;
    writer.totalPages = count;
    for (int32_t i = 0; i < count; ++i) {
        if (!images[i]) {
            SetLastError("Bad image pointer");
            return false;
        }
        writer.Ghost(images[i]);
        if (!writer.Encode(&pages, true)) {
            SetLastError("Error saving TIFF file");
            return false;
        }
    }
    writer.ClosePages();
    const auto size = static_cast<size_t>(pages.Size());
    if (size == 0 || stream->Write(pages.GetBuffer(), 1, size) != size || !stream->Flush()) {
        SetLastError("Error saving TIFF file");
        return false;
    }
    return true;
}
