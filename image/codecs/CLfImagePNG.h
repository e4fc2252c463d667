#pragma once
// PNG codec (ImageType 4) over libpng: decodes into 1, 4, 8 or 24-bit images with
// palette, palette alpha, transparent colour or alpha plane, and encodes them back.

#include "image/CLfImage.h"

#include <cstdint>

class CLfImagePNG : public CLfImage {
public:
    CLfImagePNG();
    ~CLfImagePNG() override = default;

    // Reads one PNG image from the stream's current position.
    bool Decode(CLfStream* stream);
    // Writes this image as one PNG file; the image itself is left as it was.
    bool Encode(CLfStream* stream);

    // Widens a row of width 2-bit pixels to 4-bit pixels in place (the buffer must
    // hold the widened row); values 0-3 stay 0-3.
    void Expand2to4bpp(uint8_t* row) const;

private:
    // The frames that call libpng and hold its jump buffer.
    bool ReadFile(CLfStream* stream);
    bool WriteFile(CLfStream* stream);
};
