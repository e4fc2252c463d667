#include "image/CLfImage.h"

#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using lftest::Bytes;
using lftest::Rgb;
using lftest::Str;

namespace {

// A packed DIB: header of headerSize bytes (the first 40 filled in), then extra
// (masks, palette) and the pixel rows as given.
Bytes Block(uint32_t headerSize, int32_t w, int32_t h, uint16_t bpp, uint32_t compression, uint32_t clrUsed,
            const Bytes& extra, const Bytes& pixels)
{
    BITMAPINFOHEADER hdr;
    hdr.biSize = headerSize;
    hdr.biWidth = w;
    hdr.biHeight = h;
    hdr.biPlanes = 1;
    hdr.biBitCount = bpp;
    hdr.biCompression = compression;
    hdr.biClrUsed = clrUsed;
    Bytes out(std::max<size_t>(headerSize, kBitmapInfoHeaderSize), 0);
    lfdib::WriteInfoHeader(hdr, out.data());
    out.resize(headerSize);
    out.insert(out.end(), extra.begin(), extra.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

Bytes Le32(std::initializer_list<uint32_t> values)
{
    Bytes out;
    for (uint32_t v : values)
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(v >> (8 * i)));
    return out;
}

// Reads from an exact-size heap copy, so any read past the end is caught.
bool ReadBlock(CLfImage& img, const Bytes& block, size_t size)
{
    std::vector<uint8_t> exact(block.begin(), block.begin() + std::ptrdiff_t(size));
    return img.CreateFromHANDLE(size ? exact.data() : block.data(), size);
}

}  // namespace

TEST(CLfImageDibBlock, RoundTripKeepsPixelsPaletteAndResolution)
{
    for (uint32_t bpp : {1u, 4u, 8u, 24u}) {
        auto src = lftest::MakePicture(7, 3, bpp);
        src->SetXDPI(300);
        src->SetYDPI(72);
        const Bytes block = src->CopyToHandle();
        ASSERT_EQ(block.size(), src->GetSize());
        CLfImage back;
        ASSERT_TRUE(back.CreateFromHANDLE(block.data(), block.size())) << back.GetLastError();
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_EQ(lftest::Strs(lftest::Pixels(back)), lftest::Strs(lftest::Pixels(*src))) << bpp;
        EXPECT_EQ(back.info.xDpi, 300);
        EXPECT_EQ(back.info.yDpi, 72);
    }
}

TEST(CLfImageDibBlock, CopyWritesTheCurrentHeader)
{
    auto src = lftest::MakePicture(4, 2, 24);
    src->SetXDPI(150);  // changes the header, not the bytes at the front of the DIB
    const Bytes block = src->CopyToHandle();
    EXPECT_EQ(int32_t(lfdib::GetLE32(block.data() + 24)), src->header.biXPelsPerMeter);
    // A resolution field of 0 reads as 96.
    Bytes zero = block;
    std::memset(zero.data() + 24, 0, 8);
    CLfImage back;
    ASSERT_TRUE(back.CreateFromHANDLE(zero.data(), zero.size()));
    EXPECT_EQ(back.info.xDpi, 96);
    EXPECT_EQ(back.info.yDpi, 96);
    EXPECT_TRUE(CLfImage().CopyToHandle().empty());
}

TEST(CLfImageDibBlock, DeepPixelsBecomeTwentyFourBits)
{
    struct Case {
        std::string what;
        Bytes block;
        RGBQUAD bottomLeft, bottomRight, topLeft;
    } cases[] = {
        {"32-bit plain", Block(40, 2, 2, 32, BI_RGB, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}),
         lftest::Bgr(1, 2, 3), lftest::Bgr(4, 5, 6), lftest::Bgr(7, 8, 9)},
        // 5-5-5: 0x7C00 full red, 0x03E0 full green (5 bits shifted up); rows padded to 4 bytes.
        {"16-bit 5-5-5", Block(40, 1, 2, 16, BI_RGB, 0, {}, {0x00, 0x7C, 0, 0, 0xE0, 0x03, 0, 0}),
         Rgb(248, 0, 0), Rgb(248, 0, 0), Rgb(0, 248, 0)},
        // 5-6-5 masks after a 40-byte header: 0xF800 red, 0x07E0 green, 0x001F blue.
        {"16-bit 5-6-5", Block(40, 1, 2, 16, BI_BITFIELDS, 0, Le32({0xF800, 0x07E0, 0x001F}),
                               {0x1F, 0x00, 0, 0, 0xE0, 0x07, 0, 0}),
         Rgb(0, 0, 248), Rgb(0, 0, 248), Rgb(0, 252, 0)},
    };
    for (const Case& c : cases) {
        CLfImage img;
        ASSERT_TRUE(img.CreateFromHANDLE(c.block.data(), c.block.size())) << c.what << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), 24u) << c.what;
        EXPECT_EQ(Str(lftest::Colour(img, 0, 0)), Str(c.bottomLeft)) << c.what;
        EXPECT_EQ(Str(lftest::Colour(img, img.GetWidth() - 1, 0)), Str(c.bottomRight)) << c.what;
        EXPECT_EQ(Str(lftest::Colour(img, 0, 1)), Str(c.topLeft)) << c.what;
    }
}

TEST(CLfImageDibBlock, VersionFiveHeaderTopDownWithMasksInside)
{
    // 124-byte header; masks at offset 40 inside it, red in the low byte; rows top-down.
    Bytes block = Block(124, 2, -2, 32, BI_BITFIELDS, 0, {},
                        {0x11, 0x22, 0x33, 0, 0x44, 0x55, 0x66, 0, 0x77, 0x88, 0x99, 0, 0xAA, 0xBB, 0xCC, 0});
    const Bytes masks = Le32({0x000000FF, 0x0000FF00, 0x00FF0000});
    std::copy(masks.begin(), masks.end(), block.begin() + 40);
    CLfImage img;
    ASSERT_TRUE(img.CreateFromHANDLE(block.data(), block.size())) << img.GetLastError();
    ASSERT_EQ(img.GetHeight(), 2);
    // The block's first row is the top row.
    EXPECT_EQ(Str(lftest::Colour(img, 0, 1)), Str(Rgb(0x11, 0x22, 0x33)));
    EXPECT_EQ(Str(lftest::Colour(img, 1, 1)), Str(Rgb(0x44, 0x55, 0x66)));
    EXPECT_EQ(Str(lftest::Colour(img, 0, 0)), Str(Rgb(0x77, 0x88, 0x99)));
}

TEST(CLfImageDibBlock, ShortPaletteFindsThePixelsAfterIt)
{
    // An 8-bit block with a two-entry colour table: the rows start after 8 bytes of table.
    const Bytes table = {0, 0, 255, 0, 0, 255, 0, 0};  // red, green (blue-green-red order)
    const Bytes block = Block(40, 2, 1, 8, BI_RGB, 2, table, {1, 0, 0, 0});
    CLfImage img;
    ASSERT_TRUE(img.CreateFromHANDLE(block.data(), block.size())) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 8u);
    EXPECT_EQ(Str(lftest::Colour(img, 0, 0)), Str(Rgb(0, 255, 0)));
    EXPECT_EQ(Str(lftest::Colour(img, 1, 0)), Str(Rgb(255, 0, 0)));
}

TEST(CLfImageDibBlock, HostileBlocksAreRefusedAndLeaveTheImage)
{
    auto good = lftest::MakePicture(5, 4, 8);
    const Bytes whole = good->CopyToHandle();
    struct Case {
        std::string what;
        Bytes block;
        const char* error;
    } cases[] = {
        {"run-length", Block(40, 2, 2, 8, BI_RLE8, 0, Bytes(1024, 0), Bytes(16, 0)), "compression 1"},
        {"core header", Block(12, 2, 2, 8, BI_RGB, 0, Bytes(1024, 0), Bytes(16, 0)), "header of 12 bytes"},
        {"zero width", Block(40, 0, 2, 24, BI_RGB, 0, {}, Bytes(16, 0)), "size 0 x 2"},
        {"15 bits", Block(40, 2, 2, 15, BI_RGB, 0, {}, Bytes(16, 0)), "15 bits"},
        {"header longer than block", Block(124, 1, 1, 24, BI_RGB, 0, {}, {}), "header of 124 bytes"},
        {"huge colour count", Block(40, 1, 1, 24, BI_RGB, 0xFFFFFFFF, {}, Bytes(4, 0)), "bytes of pixels"},
    };
    cases[4].block.resize(100);
    for (const Case& c : cases) {
        CLfImage img(*good);
        EXPECT_FALSE(ReadBlock(img, c.block, c.block.size())) << c.what;
        EXPECT_NE(std::string(img.GetLastError()).find(c.error), std::string::npos)
            << c.what << ": " << img.GetLastError();
        EXPECT_EQ(lftest::Indices(img), lftest::Indices(*good)) << c.what;
    }
    // Every cut short of the whole block is refused without reading past it.
    for (size_t cut = 0; cut < whole.size(); cut += (cut < 48 ? 1 : 37)) {
        CLfImage img;
        EXPECT_FALSE(ReadBlock(img, whole, cut)) << cut;
    }
    CLfImage img;
    EXPECT_TRUE(ReadBlock(img, whole, whole.size()));
}
