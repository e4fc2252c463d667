#pragma once
// The information block of an image: everything besides the pixel buffers that
// travels with an image and is copied or moved as one unit.

#include "platform/Dib.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <cstdint>

class CLfImage;

// A 32-bit field that a watcher thread may read while the owning thread writes it
// (progress and escape of long operations). Relaxed atomics keep that free of data
// races without any ordering cost; the value still copies like a plain int.
class LfSharedInt {
public:
    LfSharedInt(int32_t v = 0) : m_v(v) {}
    LfSharedInt(const LfSharedInt& o) : m_v(o.m_v.load(std::memory_order_relaxed)) {}
    LfSharedInt& operator=(const LfSharedInt& o)
    {
        m_v.store(o.m_v.load(std::memory_order_relaxed), std::memory_order_relaxed);
        return *this;
    }
    LfSharedInt& operator=(int32_t v)
    {
        m_v.store(v, std::memory_order_relaxed);
        return *this;
    }
    operator int32_t() const { return m_v.load(std::memory_order_relaxed); }

private:
    std::atomic<int32_t> m_v;
};

struct CLfImageInfo {
    uint32_t rowBytes = 0;         // bytes per pixel row, padded to 4
    uint8_t* bits = nullptr;       // row 0 (the bottom row) inside the DIB
    CLfImage* ghostOf = nullptr;   // set on a ghost: shares that image's buffers, owns none
    uint32_t type = 0;             // ImageType (lfimg::ImageType)
    char lastError[256] = {};      // NUL-terminated
    LfSharedInt progress;          // 0..100 while a long operation runs
    LfSharedInt escape;            // non-zero asks long operations to stop
    int32_t transIndex = -1;       // transparent palette index, -1 = none
    RGBQUAD transColor{};          // transparent or background colour without palette
    uint8_t quality = 85;          // JPEG quality (also JPEG-2000 rate, TIFF-JPEG)
    int32_t frame = 0;             // frame, page or icon to decode
    int32_t frameCount = 0;        // frames found by the last decode
    uint32_t frameDelay = 0;       // GIF frame delay
    int32_t xDpi = 96;
    int32_t yDpi = 96;
    RECT selectionBox{};           // selected columns left..right-1, rows bottom..top-1
    uint8_t alphaMax = 255;        // global opacity
    bool alphaPalette = false;     // the palette's fourth bytes are alpha values
    bool enabled = true;           // Draw paints nothing when false
    int32_t xOffset = 0;           // frame position (GIF, TIFF)
    int32_t yOffset = 0;
    uint32_t codecOption = 0;      // encoder option (GIF coder, TIFF compression)
    RGBQUAD lastColor{};           // nearest-colour cache: colour looked up last,
    uint8_t lastColorIndex = 0;    // the index found for it,
    bool lastColorValid = false;   // and whether the cache holds; palette changes clear it
    int32_t layerCount = 0;
    uint32_t flags = 0;
    // Decode hint: the larger side the caller needs at most (0: the full picture). A
    // codec that can decode at a reduced scale (JPEG, by 1/2, 1/4 or 1/8) may then
    // return a smaller picture whose larger side is still at least this long.
    int32_t neededSide = 0;
    // The picture's size in the file when a decode returned it reduced; 0 otherwise.
    int32_t fullWidth = 0;
    int32_t fullHeight = 0;
};
