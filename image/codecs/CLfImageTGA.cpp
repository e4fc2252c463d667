#include "image/codecs/CLfImageTGA.h"

#include "image/codecs/CLfImageTGA_priv.h"
#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"

#include <algorithm>
#include <cstring>
#include <vector>

using lfcodec::Fail;

namespace {

constexpr char kCorrupted[] = "corrupted TGA";

bool IsKnownDepth(int depth)
{
    return depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

// A 5-bit channel of a 15 or 16-bit value, shifted up to 8 bits as the pixels are.
uint8_t Widen5(unsigned value)
{
    return uint8_t((value & 0x1F) << 3);
}

}  // namespace

void CLfImageTGA::ReadPlainRow(uint8_t* dest, CLfStream* stream, int count, int pixelBytes)
{
    lfcodec::ReadExact(stream, dest, size_t(count) * size_t(pixelBytes), kCorrupted);
}

void CLfImageTGA::ReadPackedRow(uint8_t* dest, CLfStream* stream, int count, int pixelBytes, Packet& packet)
{
    int x = 0;
    while (x < count) {
        if (packet.left == 0) {
            uint8_t head = 0;
            lfcodec::ReadExact(stream, &head, 1, kCorrupted);
            packet.left = (head & 0x7F) + 1;
            packet.run = (head & 0x80) != 0;
            if (packet.run)
                lfcodec::ReadExact(stream, packet.value, size_t(pixelBytes), kCorrupted);
        }
        // A packet may run on into the next row; only this row's part is taken here.
        const int n = std::min(packet.left, count - x);
        uint8_t* out = dest + size_t(x) * size_t(pixelBytes);
        if (packet.run) {
            for (int i = 0; i < n; ++i)
                std::memcpy(out + size_t(i) * size_t(pixelBytes), packet.value, size_t(pixelBytes));
        } else {
            ReadPlainRow(out, stream, n, pixelBytes);
        }
        x += n;
        packet.left -= n;
    }
}

bool CLfImageTGA::Decode(CLfStream* stream)
{
    return lfcodec::GuardDecode(*this, stream, [&] {
        uint8_t raw[lftga::kHeaderSize];
        if (stream->Read(raw, 1, sizeof raw) != sizeof raw)
            Fail("Not a TGA");
        const lftga::Header h = lftga::ParseHeader(raw);
        bool packed = false;
        switch (h.imageType) {
        case 1: case 2: case 3: break;
        case 9: case 10: case 11: packed = true; break;
        default: Fail("Unknown TGA image type");
        }
        const int kind = h.imageType & 3;  // 1 colour-mapped, 2 true colour, 3 grey
        const int depth = h.pixelDepth;
        if (h.width == 0 || h.height == 0 || depth == 0 || h.cmapLength > 256 || !IsKnownDepth(depth))
            Fail("bad TGA header");
        // True colour needs 15 bits or more. Colour-mapped and grey files of more
        // than 8 bits hold colours like true colour, except 16-bit grey, which is
        // grey and alpha.
        if (kind == 2 && depth == 8)
            Fail("bad TGA header");
        const bool mapped = kind == 1 && depth == 8;
        const bool greyAlpha = kind == 3 && depth == 16;
        if (mapped && h.cmapType == 0)
            Fail("TGA colour-mapped image without a colour map");
        const int entryBytes = (h.cmapEntrySize + 7) / 8;
        if (h.cmapType != 0 && mapped) {
            if (h.cmapEntrySize != 15 && h.cmapEntrySize != 16 && h.cmapEntrySize != 24 && h.cmapEntrySize != 32)
                Fail("TGA colour map entries of %d bits are not supported", h.cmapEntrySize);
            if (h.cmapIndex + h.cmapLength > 256)
                Fail("TGA colour map of %d entries from entry %d passes entry 255", h.cmapLength, h.cmapIndex);
        }
        const size_t mapBytes = h.cmapType != 0 ? size_t(h.cmapLength) * size_t(entryBytes) : 0;
        const int pixelBytes = (depth + 7) / 8;
        const uint64_t pixels = uint64_t(h.width) * h.height;
        // Plain data holds every pixel; a run-length packet at most 128 of them.
        const uint64_t leastData = packed ? (pixels + 127) / 128 * uint64_t(1 + pixelBytes) : pixels * pixelBytes;
        lfcodec::Skip(stream, h.idLength, kCorrupted);
        lfcodec::NeedBytes(stream, mapBytes + leastData, kCorrupted);

        if (Create(h.width, h.height, greyAlpha ? 8u : uint32_t(depth), lfimg::kTypeTGA) == nullptr)
            Fail("%s", info.lastError[0] ? info.lastError : "TGA Create failed");
        if (depth == 32 || greyAlpha) {
            AlphaCreate();
            if (alpha == nullptr)
                Fail("TGA Create failed");
        }
        if (info.escape)
            Fail("Cancelled");

        if (mapBytes != 0) {
            std::vector<uint8_t> map(mapBytes);
            lfcodec::ReadExact(stream, map.data(), mapBytes, kCorrupted);
            if (mapped) {
                for (int i = 0; i < h.cmapLength; ++i) {
                    const uint8_t* e = map.data() + size_t(i) * size_t(entryBytes);
                    if (entryBytes == 2) {  // 15 or 16 bits: 5 bits a channel, widened
                        const unsigned w = e[0] | (e[1] << 8);
                        SetPaletteColor(uint8_t(h.cmapIndex + i), Widen5(w >> 10), Widen5(w >> 5), Widen5(w), 0);
                    } else {
                        SetPaletteColor(uint8_t(h.cmapIndex + i), e[2], e[1], e[0], 0);
                    }
                }
            }
        }
        if (kind == 3)
            SetGrayPalette();

        const bool topDown = (h.descriptor & lftga::kTopToBottom) != 0;
        const bool rightToLeft = (h.descriptor & lftga::kRightToLeft) != 0;
        const int width = h.width;
        const int height = h.height;
        std::vector<uint8_t> fileRow(size_t(width) * size_t(pixelBytes));
        Packet packet;
        for (int y = 0; y < height; ++y) {
            if (info.escape)
                Fail("Cancelled");
            info.progress = int32_t(int64_t(y) * 100 / height);
            if (packed)
                ReadPackedRow(fileRow.data(), stream, width, pixelBytes, packet);
            else
                ReadPlainRow(fileRow.data(), stream, width, pixelBytes);
            const int row = topDown ? height - 1 - y : y;
            uint8_t* out = GetBits(uint32_t(row));
            for (int x = 0; x < width; ++x) {
                const uint8_t* src = fileRow.data() + size_t(x) * size_t(pixelBytes);
                const int col = rightToLeft ? width - 1 - x : x;
                if (greyAlpha) {
                    out[col] = src[0];
                    AlphaSet(col, row, src[1]);
                    continue;
                }
                switch (depth) {
                case 8:
                    out[col] = src[0];
                    break;
                case 15:
                case 16: {
                    const unsigned w = src[0] | (src[1] << 8);
                    out[3 * col] = uint8_t((w & 0x1F) << 3);
                    out[3 * col + 1] = uint8_t(((w >> 5) & 0x1F) << 3);
                    out[3 * col + 2] = uint8_t(((w >> 10) & 0x1F) << 3);
                    break;
                }
                default:
                    std::memcpy(out + 3 * col, src, 3);
                    if (depth == 32)
                        AlphaSet(col, row, src[3]);
                    break;
                }
            }
        }
        info.progress = 100;
        return true;
    });
}

bool CLfImageTGA::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] { return WriteFile(stream); });
}

bool CLfImageTGA::WriteFile(CLfStream* stream)
{
    if (GetBpp() < 8) {
        SetLastError("Bit depth must be 8 or 24");
        return false;
    }
    const int width = GetWidth();
    const int height = GetHeight();
    if (width > 0xFFFF || height > 0xFFFF)
        Fail("TGA cannot hold an image of %d x %d pixels", width, height);
    const bool eightBit = GetBpp() == 8;
    const bool withAlpha = !eightBit && alpha != nullptr;
    lftga::Header h;
    h.cmapType = GetNumColors() != 0 ? 1 : 0;
    h.imageType = eightBit ? 1 : 2;
    h.cmapLength = eightBit ? 256 : 0;
    h.cmapEntrySize = eightBit ? 24 : 0;
    h.width = uint16_t(width);
    h.height = uint16_t(height);
    h.pixelDepth = withAlpha ? 32 : uint8_t(GetBpp());
    // Bottom row first; a 32-bit file names its 8 alpha bits so readers keep them.
    h.descriptor = withAlpha ? 8 : 0;

    lfcodec::Writer out(stream);
    uint8_t raw[lftga::kHeaderSize];
    lftga::WriteHeader(h, raw);
    out.Bytes(raw, sizeof raw);
    if (eightBit) {
        uint8_t map[256 * 3];
        for (uint32_t i = 0; i < 256; ++i) {
            const RGBQUAD c = GetPaletteColor(i);
            map[3 * i] = c.rgbBlue;
            map[3 * i + 1] = c.rgbGreen;
            map[3 * i + 2] = c.rgbRed;
        }
        out.Bytes(map, sizeof map);
    }
    std::vector<uint8_t> line(size_t(width) * 4);
    for (int row = 0; row < height && out.Ok(); ++row) {
        const uint8_t* px = GetBits(uint32_t(row));
        if (withAlpha) {
            for (int x = 0; x < width; ++x) {
                std::memcpy(&line[size_t(x) * 4], px + 3 * x, 3);
                line[size_t(x) * 4 + 3] = uint8_t(AlphaGet(x, row) * info.alphaMax / 255);
            }
            out.Bytes(line.data(), size_t(width) * 4);
        } else {
            out.Bytes(px, size_t(width) * (GetBpp() / 8));
        }
    }
    if (!out.Finish())
        Fail("TGA write failed");
    return true;
}
