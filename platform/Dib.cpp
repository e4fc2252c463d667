#include "platform/Dib.h"

namespace lfdib {

BITMAPFILEHEADER ReadFileHeader(const uint8_t* p)
{
    BITMAPFILEHEADER h;
    h.bfType = GetLE16(p);
    h.bfSize = GetLE32(p + 2);
    h.bfReserved1 = GetLE16(p + 6);
    h.bfReserved2 = GetLE16(p + 8);
    h.bfOffBits = GetLE32(p + 10);
    return h;
}

void WriteFileHeader(const BITMAPFILEHEADER& h, uint8_t* p)
{
    PutLE16(p, h.bfType);
    PutLE32(p + 2, h.bfSize);
    PutLE16(p + 6, h.bfReserved1);
    PutLE16(p + 8, h.bfReserved2);
    PutLE32(p + 10, h.bfOffBits);
}

BITMAPINFOHEADER ReadInfoHeader(const uint8_t* p)
{
    BITMAPINFOHEADER h;
    h.biSize = GetLE32(p);
    h.biWidth = static_cast<int32_t>(GetLE32(p + 4));
    h.biHeight = static_cast<int32_t>(GetLE32(p + 8));
    h.biPlanes = GetLE16(p + 12);
    h.biBitCount = GetLE16(p + 14);
    h.biCompression = GetLE32(p + 16);
    h.biSizeImage = GetLE32(p + 20);
    h.biXPelsPerMeter = static_cast<int32_t>(GetLE32(p + 24));
    h.biYPelsPerMeter = static_cast<int32_t>(GetLE32(p + 28));
    h.biClrUsed = GetLE32(p + 32);
    h.biClrImportant = GetLE32(p + 36);
    return h;
}

void WriteInfoHeader(const BITMAPINFOHEADER& h, uint8_t* p)
{
    PutLE32(p, h.biSize);
    PutLE32(p + 4, static_cast<uint32_t>(h.biWidth));
    PutLE32(p + 8, static_cast<uint32_t>(h.biHeight));
    PutLE16(p + 12, h.biPlanes);
    PutLE16(p + 14, h.biBitCount);
    PutLE32(p + 16, h.biCompression);
    PutLE32(p + 20, h.biSizeImage);
    PutLE32(p + 24, static_cast<uint32_t>(h.biXPelsPerMeter));
    PutLE32(p + 28, static_cast<uint32_t>(h.biYPelsPerMeter));
    PutLE32(p + 32, h.biClrUsed);
    PutLE32(p + 36, h.biClrImportant);
}

BITMAPCOREHEADER ReadCoreHeader(const uint8_t* p)
{
    BITMAPCOREHEADER h;
    h.bcSize = GetLE32(p);
    h.bcWidth = GetLE16(p + 4);
    h.bcHeight = GetLE16(p + 6);
    h.bcPlanes = GetLE16(p + 8);
    h.bcBitCount = GetLE16(p + 10);
    return h;
}

}  // namespace lfdib
