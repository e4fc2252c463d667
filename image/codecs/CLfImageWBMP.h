#pragma once
// Wireless bitmaps of type 0: uncompressed 1-bit images, rows from the top,
// the first pixel in the most significant bit, 1 white and 0 black. Width and
// height are the format's multi-byte integers (7 bits a byte, high bit set on
// every byte but the last).

#include "image/CLfImage.h"

#include <cstdint>

class CLfImageWBMP : public CLfImage {
public:
    CLfImageWBMP() : CLfImage(lfimg::kTypeWBMP) {}
    ~CLfImageWBMP() override = default;

    bool Decode(CLfStream* stream);
    bool Encode(CLfStream* stream);

    // The largest width or height written (and the largest read is far below
    // what the multi-byte integer allows: the size gate decides).
    static constexpr int32_t kMaxSide = 255;

private:
    bool WriteFile(CLfStream* stream);
};
