#pragma once
// JPEG codec (ImageType 3) over libjpeg's 6b interface: our own source and
// destination managers move bytes through a CLfStream, and libjpeg's errors come
// back through a long jump as a false result with libjpeg's message.

#include "image/codecs/CLfExifReader.h"
#include "image/CLfImage.h"

// Bits of info.codecOption that the JPEG encoder reads. Without kJpegSetSampling the
// colour components keep libjpeg's default sampling (chroma halved both ways); with it,
// the chroma is halved in the directions whose bits are set, and kept whole otherwise.
enum LfJpegOption : uint32_t {
    kJpegProgressive = 1,     // a progressive file (several scans)
    kJpegOptimizeCoding = 2,  // Huffman tables made for the image
    kJpegSetSampling = 4,
    kJpegHalveHorizontally = 8,
    kJpegHalveVertically = 16,
};

class CLfImageJPG : public CLfImage {
public:
    CLfImageJPG();
    ~CLfImageJPG() override = default;

    // Grey files give 8 bits with a grey palette; colour and CMYK files 24 bits.
    bool Decode(CLfStream* stream);
    // 8-bit grey-palette images as one-component JPEG, 24-bit images as RGB, at
    // info.quality with the LfJpegOption bits of info.codecOption; other palette
    // images are refused.
    bool Encode(CLfStream* stream);
    // Scans the stream's segments into exifInfo and seeks back; true when an EXIF
    // block was read.
    bool ReadExifInfo(CLfStream* stream);

    ExifInfo exifInfo{};

private:
    // Reads a large file whole (for a decode in bands), then decodes its rows.
    bool DecodeFrame(CLfStream* stream, bool haveExif);
    // The frames that call libjpeg and hold its jump buffer: nothing with a
    // destructor lives in them. whole holds the stream's bytes when the file was read
    // whole, else nothing.
    bool DecodeRows(CLfStream* stream, const struct LfJpgBytes& whole, bool haveExif);
    bool EncodeFrame(CLfStream* stream, bool grey);
    bool EncodeChecked(CLfStream* stream);
    void TakeResolution(bool haveExif, int densityUnit, int xDensity, int yDensity);
};
