#include "image/codecs/CLfImageWBMP.h"

#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"

#include <algorithm>
#include <vector>

namespace {

// A multi-byte integer; null with the reason when the stream ends first or the
// value needs more than four bytes or 31 bits.
const char* ReadMultiByte(CLfStream* stream, uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 5; ++i) {
        const int b = stream->GetC();
        if (b < 0)
            return "Not a WBMP";
        value = (value << 7) | uint32_t(b & 0x7F);
        if (!(b & 0x80))
            return nullptr;
        if (value > (0x7FFFFFFFu >> 7))
            break;
    }
    return "Corrupted WBMP";
}

void WriteMultiByte(lfcodec::Writer& out, uint32_t value)
{
    uint8_t bytes[5];
    int n = 0;
    do {
        bytes[n++] = uint8_t(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n > 0) {
        --n;
        out.Byte(uint8_t(bytes[n] | (n > 0 ? 0x80 : 0)));
    }
}

// The sides in one of the two forms, and how the pixel data that follows them
// compares with what they need.
struct Sides {
    const char* fault = nullptr;  // the form cannot be read
    uint32_t width = 0;
    uint32_t height = 0;
    int64_t dataStart = 0;
    bool exact = false;  // the data fills the rest of the stream
    bool fits = false;   // the data is there
};

Sides ReadSides(CLfStream* stream, int64_t start, bool multiByte)
{
    Sides sides;
    if (!stream->Seek(start, CLfStream::kSeekSet)) {
        sides.fault = "Not a WBMP";
        return sides;
    }
    if (multiByte) {
        sides.fault = ReadMultiByte(stream, sides.width);
        if (!sides.fault)
            sides.fault = ReadMultiByte(stream, sides.height);
    } else {
        const int w = stream->GetC();
        const int h = stream->GetC();
        sides.fault = w < 0 || h < 0 ? "Not a WBMP" : nullptr;
        sides.width = uint32_t(std::max(w, 0));
        sides.height = uint32_t(std::max(h, 0));
    }
    if (sides.fault)
        return sides;
    sides.dataStart = stream->Tell();
    const uint64_t need = (uint64_t(sides.width) + 7) / 8 * sides.height;
    const uint64_t left = uint64_t(lfcodec::BytesLeft(stream));
    sides.exact = need == left && need > 0;
    sides.fits = need <= left && need > 0;
    return sides;
}

}  // namespace

bool CLfImageWBMP::Decode(CLfStream* stream)
{
    return lfcodec::GuardDecode(*this, stream, [&] {
        const int type = stream->GetC();
        if (type < 0)
            lfcodec::Fail("Not a WBMP");
        if (type != 0)
            lfcodec::Fail("Unsupported WBMP type");
        if (stream->GetC() < 0)  // fixed header byte: no extension fields for type 0
            lfcodec::Fail("Not a WBMP");
        // Sides are multi-byte integers, but some writers put sides of 128-255 in
        // one plain byte each: the form whose pixel data fills the file wins, else
        // the one whose data is there at all; the multi-byte form speaks for a
        // file that neither reads.
        const int64_t start = stream->Tell();
        Sides sides = ReadSides(stream, start, true);
        if (!sides.exact) {
            const Sides plain = ReadSides(stream, start, false);
            if (!plain.fault && (plain.exact || (!sides.fits && plain.fits)))
                sides = plain;
        }
        if (sides.fault)
            lfcodec::Fail("%s", sides.fault);
        const uint32_t width = sides.width;
        const uint32_t height = sides.height;
        if (width == 0 || height == 0)
            lfcodec::Fail("Corrupted WBMP");
        if (!sides.fits)
            lfcodec::Fail("WBMP data ends before the last row");
        if (!stream->Seek(sides.dataStart, CLfStream::kSeekSet))
            lfcodec::Fail("Not a WBMP");
        const uint64_t lineBytes = (uint64_t(width) + 7) / 8;
        if (Create(width, height, 1, lfimg::kTypeWBMP) == nullptr)
            lfcodec::Fail("%s", info.lastError[0] ? info.lastError : "WBMP Create failed");
        SetGrayPalette();
        for (uint32_t y = 0; y < height; ++y)
            lfcodec::ReadExact(stream, GetBits(height - 1 - y), size_t(lineBytes), "WBMP data ends before the last row");
        return true;
    });
}

bool CLfImageWBMP::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] { return WriteFile(stream); });
}

bool CLfImageWBMP::WriteFile(CLfStream* stream)
{
    if (GetWidth() > kMaxSide || GetHeight() > kMaxSide || GetBpp() != 1) {
        SetLastError("Can't save this image as WBMP");
        return false;
    }
    lfcodec::Writer out(stream);
    out.Byte(0);
    out.Byte(0);
    WriteMultiByte(out, uint32_t(GetWidth()));
    WriteMultiByte(out, uint32_t(GetHeight()));
    const size_t lineBytes = (size_t(GetWidth()) + 7) / 8;
    // The format has no palette: 1 is white. A picture whose entry 0 is the brighter
    // one is written with its bits inverted, so its colours come back as they were.
    const RGBQUAD* palette = GetPalette();
    const bool invert = palette && GetNumColors() >= 2 && CompareLuminance(palette[0], palette[1]) > 0;
    if (!invert) {
        for (int32_t y = GetHeight() - 1; y >= 0; --y)
            out.Bytes(GetBits(uint32_t(y)), lineBytes);
    } else {
        // The bits past the last pixel stay 0.
        const unsigned tailBits = unsigned(GetWidth()) % 8;
        const uint8_t lastMask = tailBits ? uint8_t(0xFF << (8 - tailBits)) : uint8_t(0xFF);
        std::vector<uint8_t> row(lineBytes);
        for (int32_t y = GetHeight() - 1; y >= 0; --y) {
            const uint8_t* bits = GetBits(uint32_t(y));
            std::transform(bits, bits + lineBytes, row.begin(), [](uint8_t b) { return uint8_t(~b); });
            row.back() &= lastMask;
            out.Bytes(row.data(), lineBytes);
        }
    }
    if (!out.Finish()) {
        SetLastError("WBMP write failed");
        return false;
    }
    return true;
}
