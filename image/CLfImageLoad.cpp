// Placeholder for loading, saving and format dispatch until the codecs are wired in:
// every entry point refuses cleanly so callers already see the final signatures.

#include "image/CLfImage.h"

namespace {
constexpr char kNotSupported[] = "format not supported";
}

CLfImage::CLfImage(const char* fileName, uint32_t type)
{
    Init(type);
    Load(fileName, type);
}

CLfImage::CLfImage(FILE* file, uint32_t type)
{
    Init(type);
    Decode(file, type);
}

CLfImage::CLfImage(CLfStream* stream, uint32_t type)
{
    Init(type);
    Decode(stream, type);
}

CLfImage::CLfImage(const uint8_t* buffer, int64_t size, uint32_t type)
{
    Init(type);
    Decode(buffer, size, type);
}

bool CLfImage::Decode(CLfStream*, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}

bool CLfImage::Decode(FILE*, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}

bool CLfImage::Decode(const uint8_t*, int64_t, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}

bool CLfImage::Encode(CLfStream*, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}

bool CLfImage::Encode(FILE*, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}

bool CLfImage::Encode(uint8_t*&, int64_t&, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}

bool CLfImage::Encode(CLfStream*, CLfImage**, int32_t, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}

bool CLfImage::Encode(FILE*, CLfImage**, int32_t, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}

bool CLfImage::RefuseEncode(CLfStream* stream)
{
    if (!stream) {
        SetLastError("null file handler");
        return true;
    }
    if (!dib) {
        SetLastError("null image!!!");
        return true;
    }
    return false;
}

bool CLfImage::Load(const char*, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}

bool CLfImage::Save(const char*, uint32_t)
{
    SetLastError(kNotSupported);
    return false;
}
