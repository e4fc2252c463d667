#include "image/LfImageSize.h"

namespace lfimg {

bool CheckedMul(uint64_t a, uint64_t b, uint64_t& out)
{
    uint64_t r = 0;
    if (__builtin_mul_overflow(a, b, &r))
        return false;
    out = r;
    return true;
}

bool CheckedAdd(uint64_t a, uint64_t b, uint64_t& out)
{
    uint64_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return false;
    out = r;
    return true;
}

PixelBufferSize CheckPixelBuffer(int64_t width, int64_t height, uint32_t bitsPerPixel, uint32_t rowAlign)
{
    PixelBufferSize s;
    if (width <= 0 || height <= 0 || bitsPerPixel == 0) {
        s.fault = SizeFault::BadDimension;
        return s;
    }
    if (rowAlign == 0)
        rowAlign = 1;
    uint64_t bits = 0, rowBytes = 0, total = 0;
    // Round the row to bytes, then to the alignment: ((bits + 8a - 1) / 8a) x a.
    const uint64_t alignBits = uint64_t(rowAlign) * 8;
    if (!CheckedMul(uint64_t(width), bitsPerPixel, bits) || !CheckedAdd(bits, alignBits - 1, bits)) {
        s.fault = SizeFault::TooLarge;
        return s;
    }
    rowBytes = bits / alignBits * rowAlign;
    if (!CheckedMul(rowBytes, uint64_t(height), total) || total > kMaxImageMemory) {
        s.fault = SizeFault::TooLarge;
        return s;
    }
    s.rowBytes = rowBytes;
    s.totalBytes = total;
    return s;
}

}  // namespace lfimg
