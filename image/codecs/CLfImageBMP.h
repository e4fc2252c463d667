#pragma once
// Windows bitmap files (ImageType 1). Reads the 12-byte OS/2 core header, the
// 40-byte Windows header, the 64-byte OS/2 2.x header and the longer Windows
// headers; 1/4/8-bit images plain or run-length coded, 16 and 32 bits with or
// without colour masks, and 24 bits. Writes the image's packed DIB behind a 14-byte
// file header, so a saved BMP holds exactly the in-memory block.

#include "image/CLfImage.h"

class CLfImageBMP : public CLfImage {
public:
    CLfImageBMP() : CLfImage(lfimg::kTypeBMP) {}
    ~CLfImageBMP() override = default;

    // Fills this object from the stream; false with lastError on any fault.
    bool Decode(CLfStream* stream);
    // Writes the image this object ghosts; false with lastError when a write fails.
    bool Encode(CLfStream* stream);

    // Reads the information header that starts at the stream's position and widens
    // it to the 40-byte layout; the stream then stands at the end of the header.
    static bool ReadInfoHeader(CLfStream* stream, BITMAPINFOHEADER* header);

private:
    bool WriteFile(CLfStream* stream);
};
