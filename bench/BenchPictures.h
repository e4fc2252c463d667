#pragma once
// Pictures shared by the codec benchmarks.

#include "image/CLfImage.h"
#include "image/CLfMemoryStream.h"

#include <cstdint>
#include <vector>

namespace lfbench {

// Smooth gradients with a little noise, compressing roughly like a photograph;
// xStep, yStep and diagonalStep set how fast the three channels change.
inline CLfImage PhotoLikePicture(int width, int height, int xStep, int yStep, int diagonalStep)
{
    CLfImage p(width, height, 24);
    uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = p.GetBits(static_cast<uint32_t>(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) & 7);
            row[3 * x] = static_cast<uint8_t>(x / xStep + noise);
            row[3 * x + 1] = static_cast<uint8_t>(y / yStep + noise);
            row[3 * x + 2] = static_cast<uint8_t>((x + y) / diagonalStep + noise);
        }
    }
    return p;
}

// The bytes a codec class writes for the picture.
template <class Codec>
std::vector<uint8_t> EncodedBytes(const CLfImage& picture)
{
    Codec codec;
    codec.Ghost(&picture);
    CLfMemoryStream stream;
    codec.Encode(&stream);
    return std::vector<uint8_t>(stream.GetBuffer(), stream.GetBuffer() + stream.Size());
}

}  // namespace lfbench
