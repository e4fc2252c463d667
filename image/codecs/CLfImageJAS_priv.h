#pragma once
// The JPEG-2000 family codec's common picture model: every reader (OpenJPEG for
// JP2 and codestreams, our own for PGX, PNM and Sun raster) delivers its samples
// as components, and one conversion turns components into an image. Belongs to
// CLfImageJAS alone.

#include <cstddef>
#include <cstdint>
#include <vector>

class CLfImage;
class CLfStream;

namespace lfjas {

// One plane of samples, rows top-down, w x h values. A sample s means
// (s + offset) on the scale 0..maxValue.
struct Component {
    const int32_t* data = nullptr;
    uint32_t w = 0;
    uint32_t h = 0;
    uint32_t maxValue = 255;
    int32_t offset = 0;  // 2^(precision - 1) for signed samples
    uint32_t dx = 1;     // sampling step on the picture's grid
    uint32_t dy = 1;
};

// The components of one picture, with the storage of the readers that own theirs.
struct Picture {
    std::vector<Component> components;
    std::vector<std::vector<int32_t>> storage;
    bool ycc = false;  // luma and two chroma components (sYCC)

    // count new owned planes of w x h samples on the scale 0..maxValue, pointed
    // at by their components; storage[i] is plane i.
    void AddPlanes(uint32_t count, uint32_t w, uint32_t h, uint32_t maxValue);
};

// The variants the decoder recognises by their first bytes.
enum class Format { Unknown, JP2, J2K, PGX, PNM, RAS };
Format Sniff(const uint8_t* head, size_t length);

// Our own readers: raise lfcodec::Failure on damage. The planes pass the size gate
// of image before they are allocated.
void ReadPgx(CLfStream* stream, CLfImage& image, Picture& picture);
void ReadPnm(CLfStream* stream, CLfImage& image, Picture& picture);
void ReadRas(CLfStream* stream, CLfImage& image, Picture& picture);

// Writers of an 8-bit grey (one plane) or 24-bit (three planes) picture given as
// top-down interleaved bytes; false when a write failed.
bool WritePgx(CLfStream* stream, const uint8_t* samples, uint32_t w, uint32_t h);
bool WritePnm(CLfStream* stream, const uint8_t* samples, uint32_t w, uint32_t h, uint32_t channels);
bool WriteRas(CLfStream* stream, const uint8_t* samples, uint32_t w, uint32_t h, uint32_t channels);

}  // namespace lfjas
