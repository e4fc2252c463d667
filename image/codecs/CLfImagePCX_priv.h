#pragma once
// The 128-byte PCX file header, read and written field by field.

#include "platform/Dib.h"

#include <cstdint>
#include <cstring>

namespace lfpcx {

inline constexpr int kHeaderSize = 128;
inline constexpr uint8_t kManufacturer = 10;
inline constexpr uint8_t kPaletteSignature = 12;

struct Header {
    uint8_t manufacturer = 0;
    uint8_t version = 0;
    uint8_t encoding = 0;
    uint8_t bitsPerPixel = 0;
    uint16_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    uint16_t hRes = 0, vRes = 0;
    uint8_t colorMap[48] = {};
    uint8_t reserved = 0;
    uint8_t planes = 0;
    uint16_t bytesPerLine = 0;
    uint16_t paletteInfo = 0;
};

inline Header ParseHeader(const uint8_t* p)
{
    Header h;
    h.manufacturer = p[0];
    h.version = p[1];
    h.encoding = p[2];
    h.bitsPerPixel = p[3];
    h.xMin = lfdib::GetLE16(p + 4);
    h.yMin = lfdib::GetLE16(p + 6);
    h.xMax = lfdib::GetLE16(p + 8);
    h.yMax = lfdib::GetLE16(p + 10);
    h.hRes = lfdib::GetLE16(p + 12);
    h.vRes = lfdib::GetLE16(p + 14);
    std::memcpy(h.colorMap, p + 16, 48);
    h.reserved = p[64];
    h.planes = p[65];
    h.bytesPerLine = lfdib::GetLE16(p + 66);
    h.paletteInfo = lfdib::GetLE16(p + 68);
    return h;
}

inline void WriteHeader(const Header& h, uint8_t* p)
{
    std::memset(p, 0, kHeaderSize);
    p[0] = h.manufacturer;
    p[1] = h.version;
    p[2] = h.encoding;
    p[3] = h.bitsPerPixel;
    lfdib::PutLE16(p + 4, h.xMin);
    lfdib::PutLE16(p + 6, h.yMin);
    lfdib::PutLE16(p + 8, h.xMax);
    lfdib::PutLE16(p + 10, h.yMax);
    lfdib::PutLE16(p + 12, h.hRes);
    lfdib::PutLE16(p + 14, h.vRes);
    std::memcpy(p + 16, h.colorMap, 48);
    p[64] = h.reserved;
    p[65] = h.planes;
    lfdib::PutLE16(p + 66, h.bytesPerLine);
    lfdib::PutLE16(p + 68, h.paletteInfo);
}

}  // namespace lfpcx
