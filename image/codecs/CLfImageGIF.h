#pragma once
// GIF files. Decoding picks one frame (info.frame) and reports the frames
// found (info.frameCount); frames that keep the previous picture are drawn
// over it, and files whose first frame leaves the screen uncovered and that
// have no global colour table are composed into a true-colour canvas.
// Encoding writes a palette image as one GIF89a image, a true-colour image as
// tiles with colour tables of their own, or several palette images as an
// animation. info.codecOption picks the coder: 1 plain codes, 2 LZW, other
// values a run-length coder that every LZW decoder reads.

#include "image/codecs/CLfGifLzw.h"
#include "image/CLfImage.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace lfcodec {
class Writer;
}

class CLfImageGIF : public CLfImage {
public:
    CLfImageGIF();
    ~CLfImageGIF() override;

    bool Decode(CLfStream* stream);
    bool Encode(CLfStream* stream);
    // Every image a frame of one animated file; later frames get colour tables
    // of their own when localColorMap is set.
    bool Encode(CLfStream* stream, CLfImage** images, int32_t count, bool localColorMap = false);

    void SetDisposal(int32_t disposal) { m_disposal = disposal; }
    int32_t GetDisposal() const { return m_disposal; }
    void SetLoops(int32_t loops) { m_loops = loops; }
    int32_t GetLoops() const { return m_loops; }
    // At most 255 characters are kept; a null text is ignored.
    void SetComment(const char* text);
    const char* GetComment() const { return m_comment; }

    struct ColorTable {
        uint16_t count = 0;  // entries in rgb
        uint8_t rgb[256 * 3] = {};
    };
    // Image descriptors in the stream from its position on; the position is kept.
    int32_t CountFrames(CLfStream* stream, ColorTable& table);
    // Reads one extension after its introducer; false stops the frame loop.
    bool ReadExtension(CLfStream* stream);
    // Draws the source's non-transparent indices over this image: own pixel
    // (x, y) takes source pixel (x + dx, y + dy), both counted from the bottom,
    // wherever the source has one.
    void MixFrame(const CLfImage& source, int32_t dx, int32_t dy);

private:
    class PixelWalk;
    class PacketSink;

    void DecodeFrames(CLfStream* stream);
    // The data sub-blocks of one frame into m_codes.
    void ReadCodes(CLfStream* stream);
    // The frame's rows from the decoder, top first or in the four interlace
    // passes; rows the data does not reach keep the background.
    void DecodeRows(bool interlaced);
    uint8_t FillIndex(int background) const;
    // The picture below in true colour (with its transparency as an alpha
    // plane) and this frame drawn over it at (left, top) from the top left.
    std::unique_ptr<CLfImageGIF> DrawInColour(const CLfImage& below, int32_t left, int32_t top) const;

    void WriteScreenHeader(lfcodec::Writer& out);
    void WriteControlBlock(lfcodec::Writer& out);
    void WriteComment(lfcodec::Writer& out);
    void WriteLoopBlock(lfcodec::Writer& out);
    void WriteImageBlock(lfcodec::Writer& out, bool localColorMap);
    void WriteColorTable(lfcodec::Writer& out);
    void WriteTrueColor(lfcodec::Writer& out);
    int NextPixel();

    uint8_t m_controlBlock[4] = {};
    // encoder pixel walk
    int32_t m_curX = 0;
    int32_t m_curY = 0;
    int64_t m_pixelsLeft = 0;
    uint8_t m_fill = 0;            // background index of the frame being decoded
    std::vector<uint8_t> m_codes;  // its coded data
    std::unique_ptr<CLfGifLzw> m_lzw;

    char m_comment[256] = {};
    int32_t m_loops = 0;
    int32_t m_disposal = 0;
};
