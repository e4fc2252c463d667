#pragma once
// Windows icon files: one image of the file is read (info.frame picks it,
// info.frameCount tells how many there are), its AND mask turned into an
// alpha plane or, where the mask allows, a transparent index or colour.
// Images stored as PNG inside the icon go through the PNG codec. Writing
// makes a single-image icon whose mask comes from the image's transparency.

#include "image/CLfImage.h"

class CLfImageICO : public CLfImage {
public:
    CLfImageICO() : CLfImage(lfimg::kTypeICO) {}
    ~CLfImageICO() override = default;

    bool Decode(CLfStream* stream);
    bool Encode(CLfStream* stream);

    static constexpr int32_t kMaxSide = 255;

private:
    bool WriteFile(CLfStream* stream);
    // One image of width x height pixels as the directory gives them.
    void DecodeEntry(const uint8_t* data, size_t size, int32_t width, int32_t height);
    void DecodeDib(const uint8_t* data, size_t size, int32_t width, int32_t height);
};
