#pragma once
// The one size gate of the library. Every buffer whose size follows from a width and
// a height (the DIB that Create allocates, an alpha plane, a selection mask, a
// decoder's row or frame buffer) is sized here first: the arithmetic runs in checked
// 64 bits, non-positive sizes are refused and no pixel buffer may exceed
// LFIMAGE_MAX_MEMORY. Decoders take width and height straight from hostile files, so
// they call this before allocating anything.

#include <cstdint>

namespace lfimg {

// LFIMAGE_MAX_MEMORY: the largest pixel buffer the library allocates.
inline constexpr uint64_t kMaxImageMemory = 256000000;
inline constexpr char kMaxMemoryError[] = "LFIMAGE_MAX_MEMORY exceeded";

// a x b or a + b into out; false (out untouched) when the result does not fit.
bool CheckedMul(uint64_t a, uint64_t b, uint64_t& out);
bool CheckedAdd(uint64_t a, uint64_t b, uint64_t& out);

enum class SizeFault {
    None,
    BadDimension,  // width or height <= 0, or no bits per pixel
    TooLarge,      // more than kMaxImageMemory bytes (or beyond 64 bits)
};

struct PixelBufferSize {
    SizeFault fault = SizeFault::None;
    uint64_t rowBytes = 0;    // one row, padded to the row alignment
    uint64_t totalBytes = 0;  // rowBytes x height
    bool ok() const { return fault == SizeFault::None; }
};

// Size of height rows of width pixels at bitsPerPixel, each row rounded up to a
// multiple of rowAlign bytes (1 = packed rows, 4 = DIB rows; 0 counts as 1).
PixelBufferSize CheckPixelBuffer(int64_t width, int64_t height, uint32_t bitsPerPixel, uint32_t rowAlign = 1);

}  // namespace lfimg
