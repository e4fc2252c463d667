#include "image/codecs/CLfImageICO.h"

#include "image/codecs/CLfImagePNG.h"
#include "image/CLfMemoryStream.h"
#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"
#include "image/LfImageSize.h"

#include <cstring>
#include <memory>
#include <vector>

using lfcodec::Fail;

namespace {

constexpr size_t kDirectorySize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoSize = 40;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

struct Entry {
    int width = 0;   // 0 in the file stands for 256
    int height = 0;
    uint32_t bytes = 0;
    uint32_t offset = 0;
};

uint32_t MaskRowBytes(uint32_t width)
{
    return (width + 31) / 32 * 4;
}

}  // namespace

bool CLfImageICO::Decode(CLfStream* stream)
{
    return lfcodec::GuardDecode(*this, stream, [&] {
        const int64_t start = stream->Tell();
        const int64_t fileSize = stream->Size();
        uint8_t dir[kDirectorySize];
        lfcodec::ReadExact(stream, dir, sizeof dir, "Not an icon file");
        if (lfdib::GetLE16(dir) != 0 || lfdib::GetLE16(dir + 2) != 1)
            Fail("Not an icon file");
        const int count = lfdib::GetLE16(dir + 4);
        info.frameCount = count;
        lfcodec::NeedBytes(stream, uint64_t(count) * kEntrySize, "icon directory is cut short");
        std::vector<uint8_t> raw(size_t(count) * kEntrySize);
        lfcodec::ReadExact(stream, raw.data(), raw.size(), "icon directory is cut short");
        if (info.frame < 0 || info.frame >= count)
            Fail("icon %d not found: the file has %d", info.frame, count);

        const uint8_t* e = raw.data() + size_t(info.frame) * kEntrySize;
        Entry entry;
        entry.width = e[0] ? e[0] : 256;
        entry.height = e[1] ? e[1] : 256;
        entry.bytes = lfdib::GetLE32(e + 8);
        entry.offset = lfdib::GetLE32(e + 12);
        const uint64_t end = uint64_t(entry.offset) + entry.bytes;
        if (entry.offset < kDirectorySize + raw.size() || end > uint64_t(fileSize - start))
            Fail("icon %d: %u bytes at offset %u lie outside the file", info.frame, entry.bytes, entry.offset);
        if (entry.bytes > lfimg::kMaxImageMemory)
            Fail("%s", lfimg::kMaxMemoryError);
        if (!stream->Seek(start + entry.offset, CLfStream::kSeekSet))
            Fail("icon %d: offset %u lies outside the file", info.frame, entry.offset);
        std::vector<uint8_t> data(entry.bytes);
        lfcodec::ReadExact(stream, data.data(), data.size(), "icon image is cut short");

        const int32_t frame = info.frame;
        DecodeEntry(data.data(), data.size(), entry.width, entry.height);
        info.frame = frame;
        info.frameCount = count;
        return true;
    });
}

void CLfImageICO::DecodeEntry(const uint8_t* data, size_t size, int32_t width, int32_t height)
{
    if (size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0) {
        auto png = std::make_unique<CLfImagePNG>();
        CLfMemoryStream stream(data, int64_t(size));
        if (!png->Decode(&stream))
            Fail("icon image stored as PNG: %s", png->GetLastError());
        Transfer(*png);
        info.type = lfimg::kTypeICO;
        return;
    }
    DecodeDib(data, size, width, height);
}

void CLfImageICO::DecodeDib(const uint8_t* data, size_t size, int32_t width, int32_t height)
{
    if (size < kInfoSize)
        Fail("icon image of %zu bytes has no bitmap header", size);
    const BITMAPINFOHEADER h = lfdib::ReadInfoHeader(data);
    if (h.biSize < kInfoSize || h.biSize > size)
        Fail("icon bitmap header of %u bytes", h.biSize);
    // The directory's size holds where the bitmap header disagrees (writers fill
    // the header's in many ways); the header gives the depth and coding.
    const uint32_t bits = h.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Fail("icon bitmap of %u bits per pixel", bits);
    if (h.biCompression != BI_RGB)
        Fail("icon bitmap with compression %u", h.biCompression);
    if (Create(width, height, bits, lfimg::kTypeICO) == nullptr)
        Fail("%s", info.lastError[0] ? info.lastError : "Can't allocate memory");

    size_t pos = h.biSize;
    const uint32_t colours = GetNumColors();
    if (colours != 0) {
        // The file may hold fewer entries than the depth allows.
        const uint32_t stored = (h.biClrUsed != 0 && h.biClrUsed < colours) ? h.biClrUsed : colours;
        if (pos + size_t(stored) * 4 > size)
            Fail("icon palette is cut short");
        for (uint32_t i = 0; i < stored; ++i, pos += 4)
            SetPaletteColor(uint8_t(i), data[pos + 2], data[pos + 1], data[pos], 0);
    }

    const uint32_t rowBytes = GetRowBytes();
    if (bits <= 24) {
        const size_t xorSize = size_t(rowBytes) * size_t(height);
        if (pos + xorSize > size)
            Fail("icon bitmap is cut short");
        std::memcpy(GetBits(0), data + pos, xorSize);
        pos += xorSize;
    } else {
        const size_t xorSize = size_t(width) * size_t(height) * 4;
        if (pos + xorSize > size)
            Fail("icon bitmap is cut short");
        if (!AlphaCreate())
            Fail("Can't allocate memory");
        for (int32_t y = 0; y < height; ++y) {
            uint8_t* row = GetBits(uint32_t(y));
            for (int32_t x = 0; x < width; ++x, pos += 4) {
                std::memcpy(row + 3 * x, data + pos, 3);
                AlphaSet(x, y, data[pos + 3]);
            }
        }
    }

    // AND mask: a set bit marks a transparent pixel. Icons without one are opaque.
    const size_t maskRow = MaskRowBytes(uint32_t(width));
    if (pos + maskRow * size_t(height) > size)
        return;
    bool transparent = alpha != nullptr;
    if (alpha == nullptr) {
        if (!AlphaCreate())
            Fail("Can't allocate memory");
        AlphaSet(uint8_t(255));
    }
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* mask = data + pos + size_t(y) * maskRow;
        for (int32_t x = 0; x < width; ++x) {
            if (mask[x / 8] & (0x80 >> (x % 8))) {
                AlphaSet(x, y, 0);
                transparent = true;
            }
        }
    }
    if (!transparent) {
        AlphaDelete();
        return;
    }

    if (bits == 24) {
        // One colour under every masked pixel: a transparent colour does.
        bool first = true, single = true;
        RGBQUAD colour{};
        for (int32_t y = 0; y < height && single; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                if (AlphaGet(x, y) != 0)
                    continue;
                RGBQUAD c = GetPixelColor(x, y);
                c.rgbReserved = 0;
                if (first) {
                    colour = c;
                    first = false;
                } else if (std::memcmp(&c, &colour, sizeof c) != 0) {
                    single = false;
                    break;
                }
            }
        }
        if (single) {
            AlphaDelete();
            info.transIndex = 0;
            info.transColor = colour;
        }
    } else if (bits <= 8) {
        // A palette index no pixel uses can stand for the masked pixels.
        bool used[256] = {};
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                used[GetPixelIndex(x, y)] = true;
        int freeIndex = -1;
        for (uint32_t i = 0; i < colours; ++i) {
            if (!used[i]) {
                freeIndex = int(i);
                break;
            }
        }
        if (freeIndex >= 0) {
            bool any = false;
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    if (AlphaGet(x, y) == 0) {
                        SetPixelIndex(x, y, uint8_t(freeIndex));
                        any = true;
                    }
                }
            }
            if (any)
                info.transIndex = freeIndex;
            AlphaDelete();
        }
    }
}

bool CLfImageICO::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] { return WriteFile(stream); });
}

bool CLfImageICO::WriteFile(CLfStream* stream)
{
    const int32_t width = GetWidth();
    const int32_t height = GetHeight();
    if (width > kMaxSide || height > kMaxSide) {
        SetLastError("Can't save this image as icon");
        return false;
    }
    const uint32_t colours = GetNumColors();
    if (GetBpp() <= 8 && colours == 0)
        return false;
    const uint32_t maskRow = MaskRowBytes(uint32_t(width));
    const uint32_t maskSize = maskRow * uint32_t(height);
    const bool asAlpha = GetBpp() == 24 && alpha != nullptr;
    const uint32_t bits = asAlpha ? 32 : GetBpp();
    const uint32_t xorSize = asAlpha ? uint32_t(width) * uint32_t(height) * 4 : GetRowBytes() * uint32_t(height);

    lfcodec::Writer out(stream);
    out.Le16(0);
    out.Le16(1);
    out.Le16(1);
    out.Byte(uint8_t(width));
    out.Byte(uint8_t(height));
    out.Byte(uint8_t(colours));
    out.Byte(0);
    out.Le16(0);  // planes
    out.Le16(uint16_t(bits));
    out.Le32(xorSize + colours * 4 + uint32_t(kInfoSize) + maskSize);
    out.Le32(uint32_t(kDirectorySize + kEntrySize));

    BITMAPINFOHEADER h{};
    h.biSize = kInfoSize;
    h.biWidth = width;
    h.biHeight = 2 * height;
    h.biPlanes = 1;
    h.biBitCount = uint16_t(bits);
    h.biCompression = BI_RGB;
    h.biSizeImage = xorSize;
    uint8_t raw[kInfoSize];
    lfdib::WriteInfoHeader(h, raw);
    out.Bytes(raw, sizeof raw);
    for (uint32_t i = 0; i < colours; ++i) {
        const RGBQUAD c = GetPaletteColor(i);
        const uint8_t entry[4] = {c.rgbBlue, c.rgbGreen, c.rgbRed, c.rgbReserved};
        out.Bytes(entry, 4);
    }

    if (asAlpha) {
        std::vector<uint8_t> row(size_t(width) * 4);
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* px = GetBits(uint32_t(y));
            for (int32_t x = 0; x < width; ++x) {
                std::memcpy(&row[size_t(x) * 4], px + 3 * x, 3);
                row[size_t(x) * 4 + 3] = AlphaGet(x, y);
            }
            out.Bytes(row.data(), row.size());
        }
    } else {
        out.Bytes(GetBits(0), xorSize);
    }

    std::vector<uint8_t> mask(maskSize, 0);
    const bool paletteAlpha = PaletteHasAlpha();
    const bool transparentIndex = info.transIndex != -1;
    const RGBQUAD trans = GetTransColor();
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const RGBQUAD c = GetPixelColor(x, y);
            const bool masked = (alpha != nullptr && AlphaGet(x, y) == 0) || (paletteAlpha && c.rgbReserved == 0) ||
                                (transparentIndex && std::memcmp(&c, &trans, sizeof c) == 0);
            if (masked)
                mask[size_t(y) * maskRow + size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
        }
    }
    out.Bytes(mask.data(), mask.size());
    if (!out.Finish()) {
        SetLastError("icon write failed");
        return false;
    }
    return true;
}
