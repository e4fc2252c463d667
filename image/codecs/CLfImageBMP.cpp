#include "image/codecs/CLfImageBMP.h"

#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using lfcodec::Fail;

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kOs2HeaderSize = 64;
// Headers of 52 bytes and more carry the colour masks at offset 40.
constexpr uint32_t kMaskHeaderSize = 52;
// The longest header defined is 124 bytes; far longer "headers" are other data.
constexpr uint32_t kMaxHeaderSize = 1024;

// What the information header says beyond the 40-byte layout.
struct HeaderExtras {
    uint32_t fileHeaderSize = 0;  // the length field as found in the file
    bool hasMasks = false;
    uint32_t masks[3] = {};  // red, green, blue
};

bool ReadExact(CLfStream& s, void* buffer, size_t size)
{
    return size == 0 || s.Read(buffer, 1, size) == size;
}

// Reads the header at the stream position and normalises it to the Windows layout.
bool ReadHeader(CLfStream& s, BITMAPINFOHEADER& h, HeaderExtras& extras)
{
    uint8_t raw[kMaskHeaderSize] = {};
    if (!ReadExact(s, raw, 4))
        return false;
    const uint32_t length = lfdib::GetLE32(raw);
    extras = HeaderExtras{};
    extras.fileHeaderSize = length;
    if (length == kCoreHeaderSize) {
        if (!ReadExact(s, raw + 4, kCoreHeaderSize - 4))
            return false;
        const BITMAPCOREHEADER core = lfdib::ReadCoreHeader(raw);
        h = BITMAPINFOHEADER{};
        h.biSize = kCoreHeaderSize;
        h.biWidth = core.bcWidth;
        h.biHeight = core.bcHeight;
        h.biPlanes = core.bcPlanes;
        h.biBitCount = core.bcBitCount;
    } else if (length >= kBitmapInfoHeaderSize && length <= kMaxHeaderSize) {
        const uint32_t kept = std::min(length, kMaskHeaderSize);
        if (!ReadExact(s, raw + 4, kept - 4))
            return false;
        h = lfdib::ReadInfoHeader(raw);
        // The colour masks of the longer Windows headers live inside the header;
        // the OS/2 2.x header has other fields there.
        if (length >= kMaskHeaderSize && length != kOs2HeaderSize) {
            extras.hasMasks = true;
            for (int i = 0; i < 3; ++i)
                extras.masks[i] = lfdib::GetLE32(raw + 40 + 4 * i);
        }
        if (length > kept && !s.Seek(int64_t(length) - kept, CLfStream::kSeekCur))
            return false;
    } else {
        return false;
    }
    if (h.biSizeImage == 0) {
        const uint64_t row = ((uint64_t(h.biBitCount) * uint32_t(std::max(h.biWidth, 0)) + 31) / 8) & ~uint64_t(3);
        const uint64_t size = row * uint32_t(std::abs(int64_t(h.biHeight)));
        h.biSizeImage = size > UINT32_MAX ? UINT32_MAX : uint32_t(size);
    }
    if (h.biClrUsed == 0 && h.biBitCount <= 8)
        h.biClrUsed = 1u << h.biBitCount;
    return true;
}

// Buffered bytes of a stream for the run-length decoders; -1 at the end.
class ByteSource {
public:
    explicit ByteSource(CLfStream& s) : m_stream(s) {}
    int Get()
    {
        if (m_pos == m_len) {
            m_len = m_stream.Read(m_buf, 1, sizeof m_buf);
            m_pos = 0;
            if (m_len == 0)
                return -1;
        }
        return m_buf[m_pos++];
    }

private:
    CLfStream& m_stream;
    uint8_t m_buf[4096];
    size_t m_pos = 0;
    size_t m_len = 0;
};

// Run-length data (8 or 4 bits) into the zeroed pixel rows of img. Every write is
// checked against the row and the image; the data ends at the end-of-bitmap code or
// at the end of the stream, whichever comes first, and keeps what was decoded.
// Returns false when the escape flag stopped it.
bool DecodeRle(CLfStream& s, CLfImage& img, bool fourBits)
{
    ByteSource in(s);
    const int64_t width = img.GetWidth();
    const int64_t height = img.GetHeight();
    const uint32_t rowBytes = img.GetRowBytes();
    uint8_t* bits = img.info.bits;
    int64_t x = 0;
    int64_t y = 0;
    auto put = [&](int v) {
        if (x < width && y < height) {
            uint8_t* row = bits + uint64_t(y) * rowBytes;
            if (fourBits) {
                uint8_t& b = row[x >> 1];
                b = (x & 1) ? uint8_t((b & 0xF0) | (v & 0x0F)) : uint8_t((b & 0x0F) | (v << 4));
            } else {
                row[x] = uint8_t(v);
            }
        }
        if (x < width)  // once past the row's end nothing more of it is kept
            ++x;
    };
    int64_t reportedRow = -1;
    while (y < height) {
        if (y != reportedRow) {
            reportedRow = y;
            img.info.progress = int32_t(y * 100 / height);
            if (img.info.escape)
                return false;
        }
        const int count = in.Get();
        const int value = in.Get();
        if (count < 0 || value < 0)
            break;
        if (count > 0) {
            for (int i = 0; i < count && x < width; ++i)
                put(fourBits ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            const int dx = in.Get();
            const int dy = in.Get();
            if (dx < 0 || dy < 0)
                break;
            x = std::min<int64_t>(x + dx, width);
            y += dy;
        } else {  // absolute run of `value` pixels
            const int bytes = fourBits ? (value + 1) / 2 : value;
            bool ended = false;
            for (int i = 0; i < bytes; ++i) {
                const int b = in.Get();
                if (b < 0) {
                    ended = true;
                    break;
                }
                if (fourBits) {
                    put(b >> 4);
                    if (2 * i + 1 < value)
                        put(b & 0x0F);
                } else {
                    put(b);
                }
            }
            if (ended)
                break;
            if ((bytes & 1) && in.Get() < 0)  // runs end on a 16-bit boundary
                break;
        }
    }
    return true;
}

// One colour channel of a bit-field pixel: the field's value scaled to 8 bits the
// way 16-bit files are read (shifted, not stretched).
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
    uint8_t From(uint32_t px) const
    {
        const uint32_t v = (px & mask) >> shift;
        return width >= 8 ? uint8_t(v >> (width - 8)) : uint8_t(v << (8 - width));
    }
};

Channel MakeChannel(uint32_t mask)
{
    Channel c;
    c.mask = mask;
    c.shift = std::countr_zero(mask);
    c.width = std::popcount(mask);
    return c;
}

bool MasksUsable(const uint32_t masks[3], uint32_t bits)
{
    uint32_t seen = 0;
    for (int i = 0; i < 3; ++i) {
        const uint32_t m = masks[i];
        if (m == 0 || (bits == 16 && m > 0xFFFF) || (m & seen))
            return false;
        const uint32_t shifted = m >> std::countr_zero(m);
        if ((shifted & (shifted + 1)) != 0)  // not one contiguous run of bits
            return false;
        seen |= m;
    }
    return true;
}

// 16- or 32-bit rows from the stream into the 24-bit image.
void ReadBitfieldRows(CLfStream& s, CLfImage& img, uint32_t bits, const uint32_t masks[3])
{
    const Channel red = MakeChannel(masks[0]);
    const Channel green = MakeChannel(masks[1]);
    const Channel blue = MakeChannel(masks[2]);
    const uint32_t width = uint32_t(img.GetWidth());
    const uint32_t height = uint32_t(img.GetHeight());
    // A 32-bit file row is a third longer than the 24-bit row that passed the gate.
    const lfimg::PixelBufferSize rowSize = lfimg::CheckPixelBuffer(width, 1, bits, 4);
    if (!rowSize.ok())
        Fail("%s", lfimg::kMaxMemoryError);
    const size_t srcRow = size_t(rowSize.rowBytes);
    std::vector<uint8_t> row(srcRow);
    for (uint32_t y = 0; y < height; ++y) {
        img.info.progress = int32_t(uint64_t(y) * 100 / height);
        if (img.info.escape)
            Fail("Cancelled");
        if (!ReadExact(s, row.data(), srcRow))
            Fail("BMP pixel data is truncated");
        uint8_t* out = img.GetBits(y);
        const uint8_t* p = row.data();
        for (uint32_t x = 0; x < width; ++x, out += 3) {
            uint32_t px;
            if (bits == 16) {
                px = lfdib::GetLE16(p);
                p += 2;
            } else {
                px = lfdib::GetLE32(p);
                p += 4;
            }
            out[0] = blue.From(px);
            out[1] = green.From(px);
            out[2] = red.From(px);
        }
    }
}

int32_t DpiFromPelsPerMeter(int32_t pels)
{
    // A file without a resolution (or a nonsensical one) keeps the default 96 DPI:
    // a DPI of 0 would break every later size computation in inches.
    if (pels <= 0)
        return 96;
    const int32_t dpi = int32_t(std::floor(pels * 0.0254 + 0.5));
    return dpi > 0 ? dpi : 96;
}

}  // namespace

bool CLfImageBMP::ReadInfoHeader(CLfStream* stream, BITMAPINFOHEADER* header)
{
    if (!stream || !header)
        return false;
    HeaderExtras extras;
    return ReadHeader(*stream, *header, extras);
}

bool CLfImageBMP::Decode(CLfStream* stream)
{
    return lfcodec::GuardDecode(*this, stream, [&] {
        CLfStream& s = *stream;
        const int64_t start = s.Tell();
        uint8_t fileHeader[kBitmapFileHeaderSize];
        if (!ReadExact(s, fileHeader, sizeof fileHeader))
            Fail("Not a BMP");
        uint32_t dataOffset = 0;
        if (lfdib::GetLE16(fileHeader) == kBitmapFileType) {
            dataOffset = lfdib::GetLE32(fileHeader + 10);
        } else if (!s.Seek(start, CLfStream::kSeekSet)) {  // a bare information header
            Fail("Not a BMP");
        }

        BITMAPINFOHEADER h;
        HeaderExtras extras;
        if (!ReadHeader(s, h, extras))
            Fail("Error reading BMP info");
        const bool core = extras.fileHeaderSize == kCoreHeaderSize;
        const uint32_t fileBits = h.biBitCount;
        const uint32_t compression = h.biCompression;
        const uint32_t fileColors = h.biClrUsed;

        if (h.biWidth <= 0)
            Fail("BMP width %d is not valid", h.biWidth);
        if (h.biHeight == 0 || h.biHeight == INT32_MIN)
            Fail("BMP height %d is not valid", h.biHeight);
        switch (fileBits) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32: break;
        default: Fail("BMP depth of %u bits per pixel is not supported", fileBits);
        }
        if (fileBits <= 8) {
            if (compression == BI_RLE8 && fileBits != 8)
                Fail("8-bit run-length data in a %u-bit BMP", fileBits);
            if (compression == BI_RLE4 && fileBits != 4)
                Fail("4-bit run-length data in a %u-bit BMP", fileBits);
            if (compression != BI_RGB && compression != BI_RLE8 && compression != BI_RLE4)
                Fail("compression type not supported");
            if (fileColors > (1u << fileBits))
                Fail("BMP palette of %u entries for %u bits", fileColors, fileBits);
        } else if (compression != BI_RGB && !(compression == BI_BITFIELDS && fileBits != 24)) {
            Fail("unknown compression");
        }

        const bool topDown = h.biHeight < 0;
        const int64_t width = h.biWidth;
        const int64_t height = topDown ? -int64_t(h.biHeight) : h.biHeight;
        header = h;
        header.biSize = kBitmapInfoHeaderSize;
        if (!Create(width, height, fileBits, lfimg::kTypeBMP)) {
            if (std::strcmp(info.lastError, lfimg::kMaxMemoryError) == 0)
                Fail("%s", lfimg::kMaxMemoryError);
            Fail("Can't allocate memory");
        }
        SetXDPI(DpiFromPelsPerMeter(h.biXPelsPerMeter));
        SetYDPI(DpiFromPelsPerMeter(h.biYPelsPerMeter));
        if (info.escape)
            Fail("Cancelled");

        if (const uint32_t colors = GetNumColors()) {
            RGBQUAD* palette = GetPalette();
            const size_t entrySize = core ? 3 : 4;
            std::vector<uint8_t> raw(colors * entrySize);
            // The palette read takes the full 2^bits entries, but a small file may hold
            // fewer: what the header promises must be there, the rest stays black.
            const size_t got = s.Read(raw.data(), entrySize, colors);
            const size_t promised = core ? 0 : std::min(fileColors, colors);
            if (got < promised)
                Fail("BMP palette is truncated");
            for (size_t i = 0; i < got; ++i) {
                const uint8_t* e = raw.data() + i * entrySize;
                palette[i] = RGBQUAD{e[0], e[1], e[2], 0};
            }
            PaletteChanged();
            // A short palette read may have hit the end of a bare stream: nothing lost,
            // the pixels of a file come from its data offset.
            if (got < colors && dataOffset == 0)
                Fail("BMP palette is truncated");
        }
        if (info.escape)
            Fail("Cancelled");

        uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
        if (fileBits == 32) {
            masks[0] = 0x00FF0000;
            masks[1] = 0x0000FF00;
            masks[2] = 0x000000FF;
        }
        if (compression == BI_BITFIELDS) {
            if (extras.hasMasks) {
                std::copy(extras.masks, extras.masks + 3, masks);
            } else {
                uint8_t raw[12];
                if (!ReadExact(s, raw, sizeof raw))
                    Fail("BMP colour masks are truncated");
                for (int i = 0; i < 3; ++i)
                    masks[i] = lfdib::GetLE32(raw + 4 * i);
            }
            if (!MasksUsable(masks, fileBits))
                Fail("BMP colour masks %08X %08X %08X are not usable", masks[0], masks[1], masks[2]);
        }
        // Seeking past the end succeeds on most streams: the size decides.
        const int64_t size = s.Size();
        if (dataOffset != 0 && (size < 0 || start + int64_t(dataOffset) >= size ||
                                !s.Seek(start + int64_t(dataOffset), CLfStream::kSeekSet)))
            Fail("BMP data offset %u lies beyond the file", dataOffset);

        if (fileBits == 2) {
            // Not a Windows depth: the image stays blank at 4 bits.
        } else if (fileBits <= 8 && compression != BI_RGB) {
            if (!DecodeRle(s, *this, compression == BI_RLE4))
                Fail("Cancelled");
        } else if (fileBits == 16 || fileBits == 32) {
            ReadBitfieldRows(s, *this, fileBits, masks);
        } else {
            // File rows are DIB rows, bottom row first like the image: runs of rows
            // (up to 16 MB, between which a cancel is seen) go straight into place.
            // (The system's copy from the file's pages runs slower here than into a
            // buffer of its own: with the file's 54-byte header and the DIB's 40, each
            // byte lands 2 bytes past its offset in the file's page.)
            const uint32_t rows = uint32_t(height);
            const uint32_t run = std::max<uint32_t>(1, uint32_t((16u << 20) / std::max<uint32_t>(info.rowBytes, 1)));
            for (uint32_t y = 0; y < rows; y += run) {
                info.progress = int32_t(uint64_t(y) * 100 / rows);
                if (info.escape)
                    Fail("Cancelled");
                const uint32_t n = std::min(run, rows - y);
                if (!ReadExact(s, GetBits(y), size_t(info.rowBytes) * n))
                    Fail("BMP pixel data is truncated");
            }
        }
        if (topDown)
            Flip();
        info.progress = 100;
        return true;
    });
}

bool CLfImageBMP::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] { return WriteFile(stream); });
}

bool CLfImageBMP::WriteFile(CLfStream* stream)
{
    const uint32_t paletteBytes = GetPaletteSize();
    const uint32_t dibSize = GetSize();
    BITMAPFILEHEADER fh;
    fh.bfType = kBitmapFileType;
    fh.bfSize = dibSize + kBitmapFileHeaderSize;
    fh.bfOffBits = uint32_t(kBitmapFileHeaderSize + kBitmapInfoHeaderSize) + paletteBytes;
    uint8_t head[kBitmapFileHeaderSize + kBitmapInfoHeaderSize];
    lfdib::WriteFileHeader(fh, head);
    // The object's header is authoritative (resolution and the rest are current).
    BITMAPINFOHEADER ih = header;
    ih.biSize = kBitmapInfoHeaderSize;
    lfdib::WriteInfoHeader(ih, head + kBitmapFileHeaderSize);
    const size_t body = dibSize - kBitmapInfoHeaderSize;
    if (stream->Write(head, 1, sizeof head) != sizeof head ||
        stream->Write(dib + kBitmapInfoHeaderSize, 1, body) != body) {
        SetLastError("BMP write failed: the file is incomplete");
        return false;
    }
    return true;
}
