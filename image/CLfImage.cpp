#include "image/CLfImage.h"

#include "platform/LargeBlock.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Pels per metre of a DPI value, kept inside the header field's range.
int32_t DpiToPelsPerMeter(int32_t dpi)
{
    const double v = std::floor(dpi * 39.37007874015748 + 0.5);
    return static_cast<int32_t>(std::clamp(v, double(INT32_MIN), double(INT32_MAX)));
}

uint32_t PaletteEntriesForBpp(uint32_t bpp)
{
    switch (bpp) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

}  // namespace

// ---- Construction and lifetime ------------------------------------------------------

CLfImage::CLfImage(uint32_t type)
{
    Init(type);
}

CLfImage::CLfImage(int64_t width, int64_t height, uint32_t bpp, uint32_t type)
{
    Init(type);
    Create(width, height, bpp, type);
}

CLfImage::CLfImage(const CLfImage& src, bool copyPixels, bool copySelection, bool copyAlpha)
{
    Init(src.info.type);
    Copy(src, copyPixels, copySelection, copyAlpha);
}

CLfImage::~CLfImage()
{
    Destroy();
}

CLfImage& CLfImage::operator=(const CLfImage& src)
{
    if (&src != this)
        Copy(src, true, true, true);
    return *this;
}

// ---- Object ---------------------------------------------------------------------------

void CLfImage::Init(uint32_t type)
{
    dib = nullptr;
    selection = nullptr;
    alpha = nullptr;
    layers = nullptr;
    m_ghostOwnsAlpha = false;
    header = BITMAPINFOHEADER{};
    info = CLfImageInfo{};
    info.type = type;
    SetXDPI(96);
    SetYDPI(96);
}

void CLfImage::DropGhost()
{
    if (!info.ghostOf)
        return;
    dib = nullptr;
    selection = nullptr;
    alpha = nullptr;
    layers = nullptr;
    info.bits = nullptr;
    info.layerCount = 0;
    info.ghostOf = nullptr;
}

bool CLfImage::CheckSize(int64_t width, int64_t height, uint32_t bitsPerPixel, uint32_t rowAlign)
{
    const lfimg::PixelBufferSize size = lfimg::CheckPixelBuffer(width, height, bitsPerPixel, rowAlign);
    switch (size.fault) {
    case lfimg::SizeFault::None: return true;
    case lfimg::SizeFault::BadDimension:
        SetLastErrorF("invalid image size %lld x %lld", static_cast<long long>(width),
                      static_cast<long long>(height));
        return false;
    case lfimg::SizeFault::TooLarge: SetLastError(lfimg::kMaxMemoryError); return false;
    }
    return false;
}

uint8_t* CLfImage::Create(int64_t width, int64_t height, uint32_t bpp, uint32_t type)
{
    Destroy();
    DropGhost();  // a ghost owned nothing: forget the aliased buffers, keep none
    bpp = bpp <= 1 ? 1 : bpp <= 4 ? 4 : bpp <= 8 ? 8 : 24;
    if (!CheckSize(width, height, bpp, 4))
        return nullptr;
    const uint32_t colors = PaletteEntriesForBpp(bpp);
    const uint32_t rowBytes = static_cast<uint32_t>(((uint64_t(width) * bpp + 31) >> 5) << 2);

    header.biSize = kBitmapInfoHeaderSize;
    header.biWidth = static_cast<int32_t>(width);
    header.biHeight = static_cast<int32_t>(height);
    header.biPlanes = 1;
    header.biBitCount = static_cast<uint16_t>(bpp);
    header.biCompression = BI_RGB;
    header.biSizeImage = rowBytes * static_cast<uint32_t>(height);
    header.biClrUsed = colors;
    header.biClrImportant = 0;
    info.type = type;
    info.rowBytes = rowBytes;

    // Zeroed: palette and pixels start defined even when a decoder stops early.
    dib = static_cast<uint8_t*>(lfplat::AllocateZeroed(kBitmapInfoHeaderSize + 4 * colors + size_t(header.biSizeImage)));
    if (!dib) {
        SetLastError("CLfImage::Create can't allocate memory");
        return nullptr;
    }
    SelectionResetBox();
    PaletteChanged();
    lfdib::WriteInfoHeader(header, dib);
    info.bits = dib + kBitmapInfoHeaderSize + 4 * colors;
    return dib;
}

void CLfImage::Destroy()
{
    if (info.ghostOf) {
        if (m_ghostOwnsAlpha)
            ReplaceAlpha(nullptr);
        return;
    }
    if (layers) {
        for (int32_t i = 0; i < info.layerCount; ++i)
            delete layers[i];
        std::free(layers);
    }
    std::free(selection);
    std::free(alpha);
    std::free(dib);
    layers = nullptr;
    selection = nullptr;
    alpha = nullptr;
    dib = nullptr;
    info.bits = nullptr;
    info.layerCount = 0;
}

bool CLfImage::Copy(const CLfImage& src, bool copyPixels, bool copySelection, bool copyAlpha)
{
    if (&src == this) {
        // Create would free the very buffers we copy from: copy via a temporary.
        CLfImage tmp(src.info.type);
        if (!tmp.Copy(src, copyPixels, copySelection, copyAlpha))
            return false;
        Transfer(tmp);
        return true;
    }
    Destroy();
    DropGhost();
    // The copy owns its buffers whatever the source is; layers are not copied.
    info = src.info;
    info.ghostOf = nullptr;
    info.bits = nullptr;
    info.layerCount = 0;
    header.biXPelsPerMeter = src.header.biXPelsPerMeter;
    header.biYPelsPerMeter = src.header.biYPelsPerMeter;
    if (!src.dib)
        return false;
    if (!Create(src.header.biWidth, src.header.biHeight, src.header.biBitCount, src.info.type))
        return false;
    header.biClrImportant = src.header.biClrImportant;

    if (copyPixels && src.GetSize() == GetSize()) {
        std::memcpy(dib, src.dib, GetSize());
    } else if (src.GetPalette() && GetPalette()) {
        std::memcpy(GetPalette(), src.GetPalette(), 4 * std::min(src.GetNumColors(), GetNumColors()));
    }
    lfdib::WriteInfoHeader(header, dib);

    const size_t plane = size_t(GetWidth()) * size_t(GetHeight());
    if (copySelection && src.selection) {
        selection = static_cast<uint8_t*>(std::malloc(plane));
        if (selection) {
            std::memcpy(selection, src.selection, plane);
            info.selectionBox = src.info.selectionBox;
        }
    }
    if (copyAlpha && src.alpha) {
        alpha = static_cast<uint8_t*>(std::malloc(plane));
        if (alpha)
            std::memcpy(alpha, src.alpha, plane);
    }
    return true;
}

void CLfImage::Transfer(CLfImage& src)
{
    if (&src == this)
        return;
    Destroy();
    header = src.header;
    info = src.info;
    dib = src.dib;
    selection = src.selection;
    alpha = src.alpha;
    layers = src.layers;
    m_ghostOwnsAlpha = src.m_ghostOwnsAlpha;
    // The source starts over as a fresh empty image (not a zeroed block, which would
    // read as "palette index 0 is transparent" and quality 0 if it were reused).
    src.Init(0);
}

void CLfImage::Ghost(const CLfImage* src)
{
    if (!src || src == this)
        return;
    Destroy();
    header = src->header;
    info = src->info;
    dib = src->dib;
    selection = src->selection;
    alpha = src->alpha;
    layers = src->layers;
    m_ghostOwnsAlpha = false;
    info.ghostOf = const_cast<CLfImage*>(src);
}

void CLfImage::CopyInfo(const CLfImage& src)
{
    if (dib || &src == this)
        return;
    info = src.info;
    // Only the settings travel: pointers into the source's buffers would dangle.
    info.bits = nullptr;
    info.ghostOf = nullptr;
    info.layerCount = 0;
}

// ---- Accessors ------------------------------------------------------------------------

void CLfImage::SetLastError(const char* text)
{
    if (!text)
        text = "";
    std::snprintf(info.lastError, sizeof info.lastError, "%s", text);
}

void CLfImage::SetLastErrorF(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(info.lastError, sizeof info.lastError, format, args);
    va_end(args);
}

uint8_t* CLfImage::GetBits(uint32_t row) const
{
    if (!dib || !info.bits || int64_t(row) >= header.biHeight)
        return nullptr;
    return info.bits + size_t(row) * info.rowBytes;
}

uint32_t CLfImage::GetSize() const
{
    if (!dib)
        return 0;
    return header.biSize + 4 * header.biClrUsed + header.biSizeImage;
}

bool CLfImage::IsInside(int64_t x, int64_t y) const
{
    return x >= 0 && y >= 0 && x < header.biWidth && y < header.biHeight;
}

void CLfImage::Clear(uint8_t value)
{
    if (dib && info.bits)
        std::memset(info.bits, value, header.biSizeImage);
}

void CLfImage::SetXDPI(int32_t dpi)
{
    info.xDpi = dpi;
    header.biXPelsPerMeter = DpiToPelsPerMeter(dpi);
}

void CLfImage::SetYDPI(int32_t dpi)
{
    info.yDpi = dpi;
    header.biYPelsPerMeter = DpiToPelsPerMeter(dpi);
}

RGBQUAD CLfImage::GetTransColor() const
{
    if (header.biBitCount < 24 && info.transIndex >= 0)
        return GetPaletteColor(uint32_t(info.transIndex));
    return info.transColor;
}

uint8_t CLfImage::GetColorType() const
{
    if (alpha)
        return 4;
    return header.biBitCount <= 8 ? 1 : 2;
}

void CLfImage::SetFlags(uint32_t flags, bool low16)
{
    info.flags = low16 ? (flags & 0xFFFF) : flags;
}

const char* CLfImage::GetVersion()
{
    return "CLfImage 5.80";
}

bool CLfImage::CreateFromArray(const uint8_t* pixels, int32_t width, int32_t height, uint32_t bpp,
                               uint32_t srcRowBytes, bool flip)
{
    if (!pixels || bpp != 1 || !CheckSize(width, height, 1, 4))
        return false;
    try {
        std::vector<uint8_t*> rowPointers(static_cast<size_t>(height));
        for (size_t i = 0; i < rowPointers.size(); ++i)
            rowPointers[i] = const_cast<uint8_t*>(pixels) + i * srcRowBytes;
        return CreateFromMatrix(rowPointers.data(), width, height, bpp, srcRowBytes, flip);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CLfImage::CreateFromMatrix(uint8_t* const* rows, int32_t width, int32_t height, uint32_t bpp,
                                uint32_t srcRowBytes, bool flip)
{
    if (!rows || bpp != 1)
        return false;
    if (!Create(width, height, 1, lfimg::kTypeUnknown))
        return false;
    SetGrayPalette();
    const size_t n = std::min(srcRowBytes, info.rowBytes);
    for (int32_t i = 0; i < height; ++i) {
        if (!rows[i])
            continue;
        const uint32_t row = flip ? uint32_t(height - 1 - i) : uint32_t(i);
        std::memcpy(GetBits(row), rows[i], n);
    }
    return true;
}
