#pragma once
// TGA files: colour-mapped, true-colour and greyscale, plain or run-length
// coded, read; 8-bit colour-mapped or 24/32-bit true colour written plain.

#include "image/CLfImage.h"

#include <cstdint>

class CLfImageTGA : public CLfImage {
public:
    CLfImageTGA() : CLfImage(lfimg::kTypeTGA) {}
    ~CLfImageTGA() override = default;

    bool Decode(CLfStream* stream);
    bool Encode(CLfStream* stream);

    // A run-length packet that may run on into the next row.
    struct Packet {
        int left = 0;       // pixels of the packet still to give out
        bool run = false;   // one value repeated, or raw values
        uint8_t value[4] = {};
    };
    // One file row of count pixels of pixelBytes each, raw or run-length coded.
    static void ReadPlainRow(uint8_t* dest, CLfStream* stream, int count, int pixelBytes);
    static void ReadPackedRow(uint8_t* dest, CLfStream* stream, int count, int pixelBytes, Packet& packet);

private:
    bool WriteFile(CLfStream* stream);
};
