#pragma once
// Device-independent bitmap structures as the BMP file and packed-DIB formats lay
// them out. In memory they are plain structs; on disk they are always read and
// written field by field, little-endian, through the functions below.

#include <cstddef>
#include <cstdint>

struct RGBQUAD {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
};
static_assert(sizeof(RGBQUAD) == 4);

struct BITMAPFILEHEADER {
    uint16_t bfType = 0;  // "BM" = 0x4D42
    uint32_t bfSize = 0;
    uint16_t bfReserved1 = 0;
    uint16_t bfReserved2 = 0;
    uint32_t bfOffBits = 0;
};

struct BITMAPINFOHEADER {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// The 12-byte header of OS/2 1.x bitmaps.
struct BITMAPCOREHEADER {
    uint32_t bcSize = 0;
    uint16_t bcWidth = 0;
    uint16_t bcHeight = 0;
    uint16_t bcPlanes = 0;
    uint16_t bcBitCount = 0;
};

constexpr uint16_t kBitmapFileType = 0x4D42;  // "BM"
constexpr size_t kBitmapFileHeaderSize = 14;
constexpr size_t kBitmapInfoHeaderSize = 40;
constexpr size_t kBitmapCoreHeaderSize = 12;

// biCompression values.
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_JPEG = 4;
constexpr uint32_t BI_PNG = 5;

namespace lfdib {

inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutLE16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLE32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Decode from / encode to the on-disk layouts (14, 40 and 12 bytes).
BITMAPFILEHEADER ReadFileHeader(const uint8_t* p);
void WriteFileHeader(const BITMAPFILEHEADER& h, uint8_t* p);
BITMAPINFOHEADER ReadInfoHeader(const uint8_t* p);
void WriteInfoHeader(const BITMAPINFOHEADER& h, uint8_t* p);
BITMAPCOREHEADER ReadCoreHeader(const uint8_t* p);

}  // namespace lfdib
