#pragma once
// Small value types that the programs' file formats and drawing code share:
// rectangles, points and packed colours, with the layouts the formats define.

#include <cstdint>

namespace lfplat {

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
};

struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct SIZE {
    int32_t cx = 0;
    int32_t cy = 0;
};

// 0x00BBGGRR, red in the lowest byte.
using COLORREF = uint32_t;

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) | (static_cast<COLORREF>(b) << 16);
}
constexpr uint8_t GetRValue(COLORREF c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t GetGValue(COLORREF c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t GetBValue(COLORREF c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

}  // namespace lfplat

// The code uses these names unqualified, as the file formats and the drawing rules are
// written with them. They are declared here, in the project's namespace, and only brought
// into the global one: a library header that declared a global RECT or RGB of its own
// would then clash here at compile time instead of linking a different layout.
using lfplat::COLORREF;
using lfplat::GetBValue;
using lfplat::GetGValue;
using lfplat::GetRValue;
using lfplat::POINT;
using lfplat::RECT;
using lfplat::RGB;
using lfplat::SIZE;
