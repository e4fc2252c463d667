#pragma once
// The JPEG-2000 family: JP2 files and raw codestreams (ids 11 and 12, through
// OpenJPEG) and their companions PGX, PNM and Sun raster (ids 13 to 15, read and
// written here). The decoder recognises the variant by its first bytes, whatever
// id it is given; the id only becomes the decoded image's type. Pictures of three
// equal components become 24-bit images (luma-chroma ones converted to RGB), others
// an 8-bit grey image of the component info.frame; samples of any precision are
// scaled to 8 bits.

#include "image/CLfImage.h"

#include <cstdint>

class CLfImageJAS : public CLfImage {
public:
    CLfImageJAS() : CLfImage(lfimg::kTypeUnknown) {}
    ~CLfImageJAS() override = default;

    bool Decode(CLfStream* stream, uint32_t type);
    // The encoder takes 24-bit and grey-palette images. For JP2 and codestreams
    // the rate is info.quality / 100 of the raw size; 0 or 100 and over is lossless.
    bool Encode(CLfStream* stream, uint32_t type);

private:
    bool DecodeBody(CLfStream* stream, uint32_t type);
    bool EncodeBody(CLfStream* stream, uint32_t type);
};
