#include "image/codecs/CLfImageWBMP.h"

#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"

#include <vector>

namespace {

// A multi-byte integer; more than four bytes or a value beyond 31 bits is refused.
uint32_t ReadMultiByte(CLfStream* stream)
{
    uint32_t value = 0;
    for (int i = 0; i < 5; ++i) {
        const int b = stream->GetC();
        if (b < 0)
            lfcodec::Fail("Not a WBMP");
        value = (value << 7) | uint32_t(b & 0x7F);
        if (!(b & 0x80))
            return value;
        if (value > (0x7FFFFFFFu >> 7))
            break;
    }
    lfcodec::Fail("Corrupted WBMP");
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
        const uint32_t width = ReadMultiByte(stream);
        const uint32_t height = ReadMultiByte(stream);
        if (width == 0 || height == 0)
            lfcodec::Fail("Corrupted WBMP");
        const uint64_t lineBytes = (uint64_t(width) + 7) / 8;
        lfcodec::NeedBytes(stream, lineBytes * height, "WBMP data ends before the last row");
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
    for (int32_t y = GetHeight() - 1; y >= 0; --y)
        out.Bytes(GetBits(uint32_t(y)), lineBytes);
    if (!out.Finish()) {
        SetLastError("WBMP write failed");
        return false;
    }
    return true;
}
