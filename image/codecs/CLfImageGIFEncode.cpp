// The writing side of the GIF codec.

#include "image/codecs/CLfImageGIF.h"

#include "image/CLfStream.h"
#include "image/codecs/LfCodecGuard.h"

#include <algorithm>
#include <cstring>

using lfcodec::Fail;

namespace {
constexpr char kWriteError[] = "Write Error in GIF file";
constexpr int32_t kTileWidth = 17;
constexpr int32_t kTileHeight = 15;
}  // namespace

class CLfImageGIF::PixelWalk : public CLfGifLzw::PixelSource {
public:
    explicit PixelWalk(CLfImageGIF& gif) : m_gif(gif) {}
    int NextPixel() override { return m_gif.NextPixel(); }

private:
    CLfImageGIF& m_gif;
};

class CLfImageGIF::PacketSink : public CLfGifLzw::ByteSink {
public:
    explicit PacketSink(lfcodec::Writer& out) : m_out(out) {}
    void WriteBytes(const uint8_t* data, size_t count) override { m_out.Bytes(data, count); }

private:
    lfcodec::Writer& m_out;
};

int CLfImageGIF::NextPixel()
{
    if (m_pixelsLeft <= 0)
        return -1;
    --m_pixelsLeft;
    const int index = GetPixelIndex(m_curX, m_curY);
    if (++m_curX >= GetWidth()) {
        m_curX = 0;
        --m_curY;
    }
    return index;
}

void CLfImageGIF::WriteColorTable(lfcodec::Writer& out)
{
    const uint32_t colours = GetNumColors();
    for (uint32_t i = 0; i < colours; ++i) {
        const RGBQUAD c = GetPaletteColor(i);
        const uint8_t rgb[3] = {c.rgbRed, c.rgbGreen, c.rgbBlue};
        out.Bytes(rgb, 3);
    }
}

void CLfImageGIF::WriteScreenHeader(lfcodec::Writer& out)
{
    out.Bytes("GIF89a", 6);
    out.Le16(uint16_t(GetWidth()));
    out.Le16(uint16_t(GetHeight()));
    const uint32_t bits = GetBpp();
    if (GetNumColors() != 0)
        out.Byte(uint8_t(0x80 | (((bits + 7) * 32) % 256) | (bits - 1)));
    else
        out.Byte(0x11);
    out.Byte(0);  // background index
    out.Byte(0);  // aspect
    WriteColorTable(out);
}

void CLfImageGIF::WriteControlBlock(lfcodec::Writer& out)
{
    m_controlBlock[0] = uint8_t((m_disposal % 8) * 4 + (info.transIndex != -1 ? 1 : 0));
    m_controlBlock[1] = uint8_t(info.frameDelay);
    m_controlBlock[2] = uint8_t(info.frameDelay >> 8);
    m_controlBlock[3] = info.transIndex != -1 ? uint8_t(info.transIndex) : 0xFF;
    const uint8_t head[3] = {0x21, 0xF9, 0x04};
    out.Bytes(head, 3);
    out.Bytes(m_controlBlock, 4);
    out.Byte(0);
}

void CLfImageGIF::WriteComment(lfcodec::Writer& out)
{
    const size_t n = std::min<size_t>(std::strlen(m_comment), 255);
    if (n == 0)
        return;
    out.Byte(0x21);
    out.Byte(0xFE);
    out.Byte(uint8_t(n));
    out.Bytes(m_comment, n);
    out.Byte(0);
}

void CLfImageGIF::WriteLoopBlock(lfcodec::Writer& out)
{
    const uint8_t head[3] = {0x21, 0xFF, 0x0B};
    out.Bytes(head, 3);
    out.Bytes("NETSCAPE2.0", 11);
    out.Byte(3);
    out.Byte(1);
    out.Le16(uint16_t(m_loops));
    out.Byte(0);
}

void CLfImageGIF::WriteImageBlock(lfcodec::Writer& out, bool localColorMap)
{
    m_curX = 0;
    m_curY = GetHeight() - 1;
    m_pixelsLeft = int64_t(GetWidth()) * GetHeight();
    const uint32_t bits = GetBpp();
    out.Byte(0x2C);
    out.Le16(uint16_t(info.xOffset));
    out.Le16(uint16_t(info.yOffset));
    out.Le16(uint16_t(GetWidth()));
    out.Le16(uint16_t(GetHeight()));
    out.Byte(localColorMap ? uint8_t(0x80 | (bits - 1)) : 0);
    if (localColorMap)
        WriteColorTable(out);
    const int codeSize = bits == 1 ? 2 : int(bits);
    out.Byte(uint8_t(codeSize));
    PixelWalk pixels(*this);
    PacketSink sink(out);
    switch (info.codecOption) {
    case 1: m_lzw->EncodePlain(codeSize + 1, pixels, sink); break;
    case 2: m_lzw->EncodeLzw(codeSize + 1, pixels, sink); break;
    default: m_lzw->EncodeRunLength(codeSize + 1, pixels, sink); break;
    }
    out.Byte(0);
}

void CLfImageGIF::WriteTrueColor(lfcodec::Writer& out)
{
    WriteScreenHeader(out);
    WriteComment(out);
    auto tile = std::make_unique<CLfImageGIF>();
    const int32_t width = GetWidth();
    const int32_t height = GetHeight();
    for (int32_t top = 0; top < height && out.Ok(); top += kTileHeight) {
        for (int32_t left = 0; left < width && out.Ok(); left += kTileWidth) {
            const int32_t w = std::min(kTileWidth, width - left);
            const int32_t h = std::min(kTileHeight, height - top);
            if (tile->GetWidth() != w || tile->GetHeight() != h) {
                if (tile->Create(w, h, 8, lfimg::kTypeGIF) == nullptr)
                    Fail("Can't allocate memory");
            }
            if (info.transIndex >= 0) {
                RGBQUAD t = GetTransColor();
                t.rgbReserved = 0;
                tile->SetPaletteColor(0, t);
            }
            for (int32_t j = 0; j < h; ++j) {
                for (int32_t i = 0; i < w; ++i) {
                    RGBQUAD c = GetPixelColor(left + i, height - 1 - (top + j));
                    c.rgbReserved = 0;
                    tile->SetPaletteColor(uint8_t(kTileWidth * j + i + 1), c);
                    tile->SetPixelIndex(i, h - 1 - j, tile->GetNearestIndex(c));
                }
            }
            tile->info.xOffset = left;
            tile->info.yOffset = top;
            tile->WriteControlBlock(out);
            tile->WriteImageBlock(out, true);
        }
    }
    out.Byte(0x3B);
}

bool CLfImageGIF::Encode(CLfStream* stream)
{
    return lfcodec::GuardEncode(*this, stream, [&] {
        if (GetWidth() > 0xFFFF || GetHeight() > 0xFFFF)
            Fail("GIF cannot hold an image of %d x %d pixels", GetWidth(), GetHeight());
        lfcodec::Writer out(stream);
        if (GetBpp() > 8) {
            WriteTrueColor(out);
        } else {
            // One image fills the screen it defines; an offset would put it outside.
            info.xOffset = info.yOffset = 0;
            WriteScreenHeader(out);
            WriteControlBlock(out);
            WriteComment(out);
            WriteImageBlock(out, false);
            out.Byte(0x3B);
        }
        if (!out.Finish())
            Fail("%s", kWriteError);
        return true;
    });
}

bool CLfImageGIF::Encode(CLfStream* stream, CLfImage** images, int32_t count, bool localColorMap)
{
    return lfcodec::GuardWrite(*this, stream, "invalid file pointer", [&] {
        if (images == nullptr || count <= 0 || images[0] == nullptr)
            Fail("multipage GIF, no images!");
        const int32_t screenWidth = images[0]->GetWidth();
        const int32_t screenHeight = images[0]->GetHeight();
        if (screenWidth > 0xFFFF || screenHeight > 0xFFFF)
            Fail("GIF cannot hold an image of %d x %d pixels", screenWidth, screenHeight);
        for (int32_t i = 0; i < count; ++i) {
            const CLfImage* img = images[i];
            if (img == nullptr)
                Fail("Bad image pointer");
            if (!img->IsValid() || img->GetBpp() > 8)
                Fail("multipage GIF frame %d is not a palette image", i);
            if (i > 0 && (img->info.xOffset < 0 || img->info.yOffset < 0 ||
                          int64_t(img->info.xOffset) + img->GetWidth() > screenWidth ||
                          int64_t(img->info.yOffset) + img->GetHeight() > screenHeight))
                Fail("multipage GIF frame %d lies outside the first frame", i);
        }
        lfcodec::Writer out(stream);
        for (int32_t i = 0; i < count && out.Ok(); ++i) {
            auto frame = std::make_unique<CLfImageGIF>();
            frame->Ghost(images[i]);
            frame->m_disposal = m_disposal;
            if (i == 0) {
                frame->info.xOffset = frame->info.yOffset = 0;
                frame->WriteScreenHeader(out);
                if (m_loops != 1) {
                    frame->m_loops = std::max(m_loops - 1, 0);
                    frame->WriteLoopBlock(out);
                }
                frame->WriteControlBlock(out);
                std::memcpy(frame->m_comment, m_comment, sizeof m_comment);
                frame->WriteComment(out);
                frame->WriteImageBlock(out, false);
            } else {
                frame->WriteControlBlock(out);
                frame->WriteImageBlock(out, localColorMap);
            }
        }
        out.Byte(0x3B);
        if (!out.Finish())
            Fail("%s", kWriteError);
        return true;
    });
}
