#include "image/codecs/CLfImageJPG.h"

#include "image/codecs/CLfImageJPG_priv.h"
#include "image/CLfMemoryStream.h"
#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace {

// A file of several scans (progressive ones) makes libjpeg hold every DCT
// coefficient of the image before the first row comes out: up to 16 bytes per pixel
// for a four-component frame. That buffer is bounded too, so a small hostile
// header cannot claim gigabytes.
constexpr uint64_t kMaxCoefficientMemory = 2 * lfimg::kMaxImageMemory;

bool CoefficientsFit(const jpeg_decompress_struct& cinfo)
{
    if (!jpeg_has_multiple_scans(const_cast<j_decompress_ptr>(&cinfo)))
        return true;
    uint64_t total = 0;
    for (int c = 0; c < cinfo.num_components; ++c) {
        const jpeg_component_info& comp = cinfo.comp_info[c];
        uint64_t blocks = 0;
        uint64_t bytes = 0;
        if (!lfimg::CheckedMul(comp.width_in_blocks, comp.height_in_blocks, blocks) ||
            !lfimg::CheckedMul(blocks, DCTSIZE2 * sizeof(JCOEF), bytes) ||
            !lfimg::CheckedAdd(total, bytes, total))
            return false;
    }
    return total <= kMaxCoefficientMemory;
}

// Large single-scan pictures decode in horizontal bands on several threads, each
// band by a decompressor of its own over the file's bytes in memory: the rows above a
// band are only entropy-decoded and dropped, which costs a fraction of a full decode,
// and every row comes out exactly as one decompressor gives it. Below this size the
// threads cost more than they save.
constexpr uint64_t kBandedMinPixels = 8'000'000;
constexpr int64_t kBandedMinBytes = 256 * 1024;
constexpr int64_t kBandedMaxBytes = 512 * 1024 * 1024;
constexpr unsigned kMaxBands = 4;

// Rows [first, last) of the picture into target. False on any error or warning (a
// damaged file is left to the one-decompressor road, which reports it as it always has).
bool DecodeBand(const LfJpgBandTarget& target, uint32_t first, uint32_t last)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    CLfJpgErrorManager errorManager;
    char message[256] = {};
    cinfo.err = LfJpgSetErrorManager(&errorManager, message);
    if (setjmp(errorManager.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, target.data, static_cast<unsigned long>(target.size));
    jpeg_read_header(&cinfo, TRUE);
#ifdef JCS_EXTENSIONS
    if (cinfo.out_color_space == JCS_RGB)
        cinfo.out_color_space = JCS_EXT_BGR;
#endif
    jpeg_start_decompress(&cinfo);
    bool ok = cinfo.output_width == target.width && cinfo.output_height == target.height &&
              cinfo.output_components == target.components;
    if (ok && first > 0)
        ok = jpeg_skip_scanlines(&cinfo, first) == first;
    while (ok && cinfo.output_scanline < last) {
        if (*target.escape != 0) {
            ok = false;
            break;
        }
        constexpr JDIMENSION kRowsPerCall = 16;
        JSAMPROW rows[kRowsPerCall];
        const JDIMENSION at = cinfo.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(kRowsPerCall, last - at);
        for (JDIMENSION k = 0; k < count; ++k)
            rows[k] = target.bits + size_t(target.height - 1 - (at + k)) * target.rowBytes;
        // libjpeg gives as many rows as its current row group holds, maybe fewer than asked.
        ok = jpeg_read_scanlines(&cinfo, rows, count) > 0;
    }
    ok = ok && cinfo.err->num_warnings == 0;
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return ok;
}

// Resolutions the JFIF header can carry back: anything else counts as none.
constexpr double kMaxDpi = 65535.0;

int32_t ValidDpi(double dpi)
{
    if (!(dpi >= 1.0) || dpi > kMaxDpi)
        return 0;
    return static_cast<int32_t>(dpi);
}

// The largest reduction (8, 4, 2 or none) that leaves the picture's larger side at
// least neededSide pixels long; none without a hint.
unsigned ScaleDenominator(uint32_t width, uint32_t height, int32_t neededSide)
{
    if (neededSide <= 0)
        return 1;
    const uint64_t side = std::max(width, height);
    for (unsigned denominator : {8u, 4u, 2u})
        if ((side + denominator - 1) / denominator >= uint64_t(neededSide))
            return denominator;
    return 1;
}

uint16_t DensityField(int32_t dpi)
{
    return static_cast<uint16_t>(dpi);
}

}  // namespace

bool LfJpgDecodeBands(const LfJpgBandTarget& target, unsigned bands, uint32_t rowsPerGroup)
{
    if (bands == 0 || rowsPerGroup == 0)
        return false;
    // A band pays for the entropy decoding of every row above it, so lower bands are
    // shorter: each is 0.6 of the one above (even for a file whose entropy decoding is
    // most of the work, no band then takes much longer than the first).
    constexpr double kRatio = 0.6;
    const uint32_t groups = (target.height + rowsPerGroup - 1) / rowsPerGroup;
    std::vector<uint32_t> firstRows(bands + 1, target.height);
    double weight = 1, total = 0;
    for (unsigned b = 0; b < bands; ++b, weight *= kRatio)
        total += weight;
    double above = 0;
    weight = 1;
    for (unsigned b = 0; b < bands; ++b, weight *= kRatio) {
        // Bands start on a row group of the file, so no band begins inside another's.
        firstRows[b] = std::min(target.height, uint32_t(above / total * groups + 0.5) * rowsPerGroup);
        above += weight;
    }
    std::vector<char> results(bands, 0);
    {
        std::vector<std::jthread> workers;
        for (unsigned b = 1; b < bands; ++b) {
            const uint32_t first = firstRows[b], last = firstRows[b + 1];
            if (first < last)
                workers.emplace_back([&, b, first, last] { results[b] = DecodeBand(target, first, last); });
            else
                results[b] = 1;
        }
        results[0] = firstRows[1] > 0 ? DecodeBand(target, 0, firstRows[1]) : 1;
    }  // the workers are joined here
    return std::all_of(results.begin(), results.end(), [](char r) { return r != 0; });
}

CLfImageJPG::CLfImageJPG() : CLfImage(lfimg::kTypeJPG) {}

bool CLfImageJPG::ReadExifInfo(CLfStream* stream)
{
    if (!stream)
        return false;
    const int64_t start = stream->Tell();
    bool found = false;
    {
        CLfExifReader reader(&exifInfo);
        reader.DecodeExif(stream);
        found = exifInfo.isExif;
    }
    stream->Seek(start, CLfStream::kSeekSet);
    return found;
}

bool CLfImageJPG::Decode(CLfStream* stream)
{
    return lfcodec::GuardDecode(*this, stream, [&] {
        const bool haveExif = ReadExifInfo(stream);
        return DecodeFrame(stream, haveExif);
    });
}

// EXIF resolution first, then the JFIF densities, each axis on its own; a file
// that gives no resolution (JFIF unit 0, no JFIF header) keeps what the image had.
void CLfImageJPG::TakeResolution(bool haveExif, int densityUnit, int xDensity, int yDensity)
{
    int32_t x = 0;
    int32_t y = 0;
    if (haveExif && exifInfo.resolutionUnit != 0.0f) {
        x = ValidDpi(static_cast<double>(exifInfo.xResolution) / exifInfo.resolutionUnit);
        y = ValidDpi(static_cast<double>(exifInfo.yResolution) / exifInfo.resolutionUnit);
    }
    if (densityUnit == 1) {
        if (x == 0)
            x = ValidDpi(xDensity);
        if (y == 0)
            y = ValidDpi(yDensity);
    } else if (densityUnit == 2) {
        if (x == 0)
            x = ValidDpi(std::floor(xDensity * 2.54 + 0.5));
        if (y == 0)
            y = ValidDpi(std::floor(yDensity * 2.54 + 0.5));
    }
    if (x != 0)
        SetXDPI(x);
    if (y != 0)
        SetYDPI(y);
}

bool CLfImageJPG::DecodeFrame(CLfStream* stream, bool haveExif)
{
    // A large file is read whole first, so that its picture can be decoded in bands.
    LfJpgBytes whole;
    const int64_t start = stream->Tell();
    const int64_t size = stream->Size();
    if (start >= 0 && size - start >= kBandedMinBytes && size - start <= kBandedMaxBytes &&
        std::thread::hardware_concurrency() > 1) {
        whole.Allocate(size_t(size - start));
        if (!whole.data || stream->Read(whole.data.get(), 1, whole.size) != whole.size) {
            whole = {};
            if (!stream->Seek(start, CLfStream::kSeekSet))
                return false;
        }
    }
    if (!whole.data)
        return DecodeRows(stream, whole, haveExif);
    CLfMemoryStream wholeStream(whole.data.get(), int64_t(whole.size));
    return DecodeRows(&wholeStream, whole, haveExif);
}

bool CLfImageJPG::DecodeRows(CLfStream* stream, const LfJpgBytes& whole, bool haveExif)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    CLfJpgErrorManager errorManager;
    CLfJpgStreamManager streamManager;
    cinfo.err = LfJpgSetErrorManager(&errorManager, info.lastError);
    if (setjmp(errorManager.jump)) {
        jpeg_destroy_decompress(&cinfo);
        Destroy();  // no half-decoded image stays behind
        return false;
    }
    jpeg_create_decompress(&cinfo);
    LfJpgSetSource(&cinfo, &streamManager, stream);
    jpeg_read_header(&cinfo, TRUE);

    // Gate the size before libjpeg allocates anything for the image.
    const uint32_t gateBpp = cinfo.jpeg_color_space == JCS_GRAYSCALE ? 8 : 24;
    if (!CheckSize(cinfo.image_width, cinfo.image_height, gateBpp, 4)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (!CoefficientsFit(cinfo)) {
        SetLastError(lfimg::kMaxMemoryError);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // A caller that needs less than the whole picture gets it from libjpeg's scaled
    // inverse DCT, which skips most of the work.
    const unsigned scale = ScaleDenominator(cinfo.image_width, cinfo.image_height, info.neededSide);
    cinfo.scale_num = 1;
    cinfo.scale_denom = scale;
#ifdef JCS_EXTENSIONS
    // libjpeg-turbo writes blue, green, red itself: the DIB's order, with no
    // second pass over the pixels.
    if (cinfo.out_color_space == JCS_RGB)
        cinfo.out_color_space = JCS_EXT_BGR;
    const bool swapRows = false;
#else
    const bool swapRows = true;
#endif
    jpeg_start_decompress(&cinfo);

    const int components = cinfo.output_components;
    if (components != 1 && components != 3 && components != 4) {
        SetLastErrorF("JPEG with %d colour components is not supported", components);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const uint32_t width = cinfo.output_width;
    const uint32_t height = cinfo.output_height;
    if (!Create(width, height, components == 1 ? 8 : 24, lfimg::kTypeJPG)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    TakeResolution(haveExif, cinfo.density_unit, cinfo.X_density, cinfo.Y_density);
    info.fullWidth = scale > 1 ? int32_t(cinfo.image_width) : 0;
    info.fullHeight = scale > 1 ? int32_t(cinfo.image_height) : 0;
    if (components == 1) {
        SetGrayPalette();
        header.biClrUsed = 256;
    } else {
        header.biClrUsed = 0;
    }

    const uint32_t rowBytes = info.rowBytes;
    const size_t stride = size_t(width) * components;
    JSAMPARRAY cmykRow = nullptr;
    if (components == 4)
        cmykRow = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                             static_cast<JDIMENSION>(stride), 1);

    const unsigned bands = std::min(kMaxBands, std::thread::hardware_concurrency());
    if (whole.data && components != 4 && scale == 1 && bands > 1 && !jpeg_has_multiple_scans(&cinfo) &&
        uint64_t(width) * height >= kBandedMinPixels) {
        const LfJpgBandTarget target{whole.data.get(), whole.size, info.bits, rowBytes, width, height, components,
                                &info.escape};
        if (LfJpgDecodeBands(target, bands, uint32_t(cinfo.max_v_samp_factor) * DCTSIZE)) {
            jpeg_abort_decompress(&cinfo);
            jpeg_destroy_decompress(&cinfo);
            return true;
        }
        // Otherwise the one decompressor below decodes every row again and reports
        // what it finds, as for any other file.
    }

    while (cinfo.output_scanline < height) {
        if (info.escape != 0) {
            jpeg_destroy_decompress(&cinfo);
            Destroy();
            return false;
        }
        // Rows are stored bottom-up: the first scanline is the last row in memory.
        uint8_t* row = info.bits + size_t(height - 1 - cinfo.output_scanline) * rowBytes;
        if (components == 4) {
            jpeg_read_scanlines(&cinfo, cmykRow, 1);
            // Inverted (Adobe) CMYK samples scaled by K give blue, green and red.
            const JSAMPLE* src = cmykRow[0];
            for (size_t i = 0, j = 0; i < stride && j < rowBytes; i += 4, j += 3) {
                const unsigned k = src[i + 3];
                row[j] = static_cast<uint8_t>(src[i + 2] * k / 255);
                row[j + 1] = static_cast<uint8_t>(src[i + 1] * k / 255);
                row[j + 2] = static_cast<uint8_t>(src[i] * k / 255);
            }
        } else {
            // Grey and RGB rows fit the DIB rows as they are: libjpeg writes into them,
            // several rows per call (each call has a fixed cost).
            constexpr JDIMENSION kRowsPerCall = 16;
            JSAMPROW targets[kRowsPerCall];
            const JDIMENSION first = cinfo.output_scanline;
            const JDIMENSION count = std::min<JDIMENSION>(kRowsPerCall, JDIMENSION(height) - first);
            for (JDIMENSION k = 0; k < count; ++k)
                targets[k] = info.bits + size_t(height - 1 - (first + k)) * rowBytes;
            const JDIMENSION read = jpeg_read_scanlines(&cinfo, targets, count);
            if (components == 3 && swapRows)
                for (JDIMENSION k = 0; k < read; ++k)
                    SwapRedBlue(targets[k], int64_t(width) * 3);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool CLfImageJPG::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] { return EncodeChecked(stream); });
}

bool CLfImageJPG::EncodeChecked(CLfStream* stream)
{
    bool grey = false;
    if (header.biClrUsed != 0) {
        // A grey palette is written as one component only at 8 bits, where every
        // byte is a sample; packed 1- and 4-bit rows are not samples.
        if (header.biBitCount != 8 || !IsGrayScale()) {
            SetLastError("JPEG can save only RGB or GreyScale images");
            return false;
        }
        grey = true;
    } else if (header.biBitCount != 24) {
        SetLastError("JPEG can save only RGB or GreyScale images");
        return false;
    }
    return EncodeFrame(stream, grey);
}

bool CLfImageJPG::EncodeFrame(CLfStream* stream, bool grey)
{
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    CLfJpgErrorManager errorManager;
    CLfJpgStreamManager streamManager;
    cinfo.err = LfJpgSetErrorManager(&errorManager, info.lastError);
    if (setjmp(errorManager.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    LfJpgSetDestination(&cinfo, &streamManager, stream);

    const uint32_t width = static_cast<uint32_t>(header.biWidth);
    const uint32_t height = static_cast<uint32_t>(header.biHeight);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
#ifdef JCS_EXTENSIONS
    // libjpeg-turbo reads the DIB's blue, green, red rows as they are (set after the
    // defaults, which are chosen from plain RGB).
    if (!grey)
        cinfo.in_color_space = JCS_EXT_BGR;
    const bool copyRows = false;
#else
    const bool copyRows = !grey;
#endif
    jpeg_set_quality(&cinfo, info.quality, TRUE);
    const uint32_t options = info.codecOption;
    if (options & kJpegOptimizeCoding)
        cinfo.optimize_coding = TRUE;
    if (!grey && (options & kJpegSetSampling)) {
        cinfo.comp_info[0].h_samp_factor = (options & kJpegHalveHorizontally) ? 2 : 1;
        cinfo.comp_info[0].v_samp_factor = (options & kJpegHalveVertically) ? 2 : 1;
        for (int c = 1; c < cinfo.num_components; ++c)
            cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    }
    // After the colour space and sampling: the scan script depends on both.
    if (options & kJpegProgressive)
        jpeg_simple_progression(&cinfo);
    // The JFIF density fields are 16 bits: a resolution they cannot hold is written
    // as a plain 1:1 aspect ratio.
    if (ValidDpi(info.xDpi) != 0 && ValidDpi(info.yDpi) != 0) {
        cinfo.density_unit = 1;
        cinfo.X_density = DensityField(info.xDpi);
        cinfo.Y_density = DensityField(info.yDpi);
    } else {
        cinfo.density_unit = 0;
        cinfo.X_density = 1;
        cinfo.Y_density = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);

    const uint32_t rowBytes = info.rowBytes;
    JSAMPARRAY sample = nullptr;
    if (copyRows)
        sample = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, rowBytes + 8, 1);
    while (cinfo.next_scanline < height) {
        // libjpeg only reads the rows; a swap to RGB works on a copy, so the
        // caller's pixels stay as they are.
        uint8_t* row = info.bits + size_t(height - 1 - cinfo.next_scanline) * rowBytes;
        if (copyRows) {
            std::memcpy(sample[0], row, rowBytes);
            SwapRedBlue(sample[0], rowBytes);
            row = sample[0];
        }
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}
