#pragma once
// PCX files with their run-length coding: packed 1, 2, 4 and 8-bit images in
// one plane, 1-bit planar images of up to 4 planes, and 24-bit (3 planes of
// 8 bits) or 32-bit (a fourth, alpha plane) true colour.

#include "image/CLfImage.h"

#include <cstdint>
#include <vector>

class CLfImagePCX : public CLfImage {
public:
    CLfImagePCX() : CLfImage(lfimg::kTypePCX) {}
    ~CLfImagePCX() override = default;

    bool Decode(CLfStream* stream);
    bool Encode(CLfStream* stream);

    // One index per pixel from up to 4 one-bit planes (bytesPerLine each, one
    // after another); pixels holds bytesPerLine x 8 entries.
    static void PlanarToIndices(uint8_t* pixels, const uint8_t* planes, int bytesPerLine, int planeCount,
                                int bitsPerPixel);
    // One index per pixel from one plane of packed 8, 4, 2 or 1-bit values;
    // pixels holds bytesPerLine x 8 / bitsPerPixel entries.
    static void PackedToIndices(uint8_t* pixels, const uint8_t* packed, int bytesPerLine, int planeCount,
                                int bitsPerPixel);

    // Run-length writer state of one plane line.
    struct RunState {
        int last = 0;
        int count = 0;
    };
    // Adds value (or, at the end of a line, -1 or -2 which also writes one zero pad byte).
    static void WriteRunByte(int value, RunState& state, std::vector<uint8_t>& out);
    static void WriteRunLine(const uint8_t* bytes, int length, std::vector<uint8_t>& out);
    // Bit plane of indices, most significant bit first.
    static void IndicesToPlane(const uint8_t* indices, int count, uint8_t* plane, int planeNumber);
};
