#pragma once
// Helpers shared by the codec tests: the picture of an image as RGBA, snapshots
// that prove an encoder left its image alone, and a stream that refuses writes.

#include "image/CLfImage.h"
#include "image/CLfMemoryStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lftest {

// The picture as top-down RGBA, with the alpha of whichever transparency the image
// carries: alpha plane, palette alpha, transparent index or transparent colour.
inline std::vector<uint8_t> Rgba(const CLfImage& img)
{
    const int32_t w = img.GetWidth(), h = img.GetHeight();
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(w) * h * 4);
    for (int32_t top = 0; top < h; ++top) {
        const int32_t y = h - 1 - top;
        for (int32_t x = 0; x < w; ++x) {
            RGBQUAD c{};
            uint8_t a = 255;
            if (img.GetBpp() <= 8) {
                const uint8_t index = img.GetPixelIndex(x, y);
                c = img.GetPaletteColor(index);
                if (img.info.alphaPalette)
                    a = c.rgbReserved;
                else if (img.info.transIndex == index)
                    a = 0;
            } else {
                const uint8_t* p = img.GetBits(static_cast<uint32_t>(y)) + 3 * x;
                c.rgbBlue = p[0];
                c.rgbGreen = p[1];
                c.rgbRed = p[2];
                const RGBQUAD& t = img.info.transColor;
                if (img.info.transIndex != -1 && t.rgbBlue == c.rgbBlue && t.rgbGreen == c.rgbGreen &&
                    t.rgbRed == c.rgbRed)
                    a = 0;
            }
            if (img.alpha) a = img.alpha[static_cast<size_t>(y) * w + x];
            out.insert(out.end(), {c.rgbRed, c.rgbGreen, c.rgbBlue, a});
        }
    }
    return out;
}

// Bytes of a and b that differ by more than tolerance (sizes must match).
inline size_t CountDiffs(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int tolerance = 0)
{
    size_t n = 0;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (std::abs(int(a[i]) - int(b[i])) > tolerance) ++n;
    return n + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

struct ImageSnapshot {
    std::vector<uint8_t> dib;
    std::vector<uint8_t> alpha;
    int32_t transIndex = -1;
};

inline ImageSnapshot Snap(const CLfImage& img)
{
    ImageSnapshot s{std::vector<uint8_t>(img.dib, img.dib + img.GetSize()), {}, img.info.transIndex};
    if (img.alpha) s.alpha.assign(img.alpha, img.alpha + size_t(img.GetWidth()) * img.GetHeight());
    return s;
}

inline void ExpectUnchanged(const ImageSnapshot& before, const CLfImage& img)
{
    const ImageSnapshot after = Snap(img);
    EXPECT_EQ(before.dib, after.dib) << "the encoder changed the caller's pixels or palette";
    EXPECT_EQ(before.alpha, after.alpha);
    EXPECT_EQ(before.transIndex, after.transIndex);
}

// The bytes written to a memory stream.
inline std::vector<uint8_t> StreamBytes(CLfMemoryStream& stream)
{
    const uint8_t* p = stream.GetBuffer();
    return p && stream.Size() > 0 ? std::vector<uint8_t>(p, p + stream.Size()) : std::vector<uint8_t>{};
}

// What a codec's Encode writes into a fresh memory stream; ok tells whether it succeeded.
template <class Codec>
std::vector<uint8_t> EncodeToBytes(Codec& codec, bool* ok = nullptr)
{
    CLfMemoryStream stream;
    const bool done = codec.Encode(&stream);
    if (ok) *ok = done;
    return StreamBytes(stream);
}

// A memory stream that takes only the first limit bytes written to it.
class ShortStream : public CLfMemoryStream {
public:
    explicit ShortStream(size_t limit) : m_left(limit) {}
    size_t Write(const void* buffer, size_t itemSize, size_t count) override
    {
        const size_t n = std::min(itemSize * count, m_left);
        m_left -= n;
        CLfMemoryStream::Write(buffer, 1, n);
        return itemSize ? n / itemSize : 0;
    }

private:
    size_t m_left;
};

}  // namespace lftest
