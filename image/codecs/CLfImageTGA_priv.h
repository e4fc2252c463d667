#pragma once
// The 18-byte TGA file header, read and written field by field.

#include "platform/Dib.h"

#include <cstdint>

namespace lftga {

inline constexpr int kHeaderSize = 18;
inline constexpr uint8_t kRightToLeft = 0x10;
inline constexpr uint8_t kTopToBottom = 0x20;

struct Header {
    uint8_t idLength = 0;
    uint8_t cmapType = 0;
    uint8_t imageType = 0;
    uint16_t cmapIndex = 0;
    uint16_t cmapLength = 0;
    uint8_t cmapEntrySize = 0;
    uint16_t xOrigin = 0;
    uint16_t yOrigin = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t pixelDepth = 0;
    uint8_t descriptor = 0;
};

inline Header ParseHeader(const uint8_t* p)
{
    Header h;
    h.idLength = p[0];
    h.cmapType = p[1];
    h.imageType = p[2];
    h.cmapIndex = lfdib::GetLE16(p + 3);
    h.cmapLength = lfdib::GetLE16(p + 5);
    h.cmapEntrySize = p[7];
    h.xOrigin = lfdib::GetLE16(p + 8);
    h.yOrigin = lfdib::GetLE16(p + 10);
    h.width = lfdib::GetLE16(p + 12);
    h.height = lfdib::GetLE16(p + 14);
    h.pixelDepth = p[16];
    h.descriptor = p[17];
    return h;
}

inline void WriteHeader(const Header& h, uint8_t* p)
{
    p[0] = h.idLength;
    p[1] = h.cmapType;
    p[2] = h.imageType;
    lfdib::PutLE16(p + 3, h.cmapIndex);
    lfdib::PutLE16(p + 5, h.cmapLength);
    p[7] = h.cmapEntrySize;
    lfdib::PutLE16(p + 8, h.xOrigin);
    lfdib::PutLE16(p + 10, h.yOrigin);
    lfdib::PutLE16(p + 12, h.width);
    lfdib::PutLE16(p + 14, h.height);
    p[16] = h.pixelDepth;
    p[17] = h.descriptor;
}

}  // namespace lftga
