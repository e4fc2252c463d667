#pragma once
// Windows metafiles, read only: placeable WMF (the 22-byte header with key
// 0x9AC6CDD7) and enhanced metafiles (EMF) are played by a record player of our own
// into a 24-bit picture on a white (window colour) background, drawn with a 2-D
// renderer that needs no display (safe on worker threads): text in installed
// fonts, mapping modes and world transforms, clipping, paths and Bézier curves,
// arcs, regions, pens and brushes, bitmaps with raster operations. The size comes
// from the bounds at 96 pixels an inch, at most 4000 pixels a side.

#include "image/CLfImage.h"

#include <cstdint>

// The 22-byte header of a placeable WMF, read field by field.
struct PlaceableMetaHeader {
    uint32_t key = 0;
    uint16_t handle = 0;
    int16_t left = 0;
    int16_t top = 0;
    int16_t right = 0;
    int16_t bottom = 0;
    uint16_t inch = 0;
    uint32_t reserved = 0;
    uint16_t checksum = 0;
};

class CLfImageWMF : public CLfImage {
public:
    CLfImageWMF() : CLfImage(lfimg::kTypeWMF) {}
    ~CLfImageWMF() override = default;

    // A non-zero width or height replaces the computed one.
    bool Decode(CLfStream* stream, int32_t width = 0, int32_t height = 0);
    // Refused: "Save WMF not supported".
    bool Encode(CLfStream* stream);

    static constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
    static constexpr int64_t kMaxSide = 4000;
    // The header and its 22 raw bytes: key, checksum (exclusive-or of the ten words
    // before it) and units per inch in 1..2540.
    static bool IsPlaceableHeader(const PlaceableMetaHeader& header, const uint8_t* raw);
    // Scales down (keeping the aspect) until neither side exceeds 4000.
    static void FitWithinLimit(int64_t& width, int64_t& height);

private:
    bool DecodeBody(CLfStream* stream, int32_t width, int32_t height);
};
