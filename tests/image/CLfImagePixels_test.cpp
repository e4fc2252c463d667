#include "image/CLfImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

bool Same(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed &&
           a.rgbReserved == b.rgbReserved;
}

// ---- Index layouts ---------------------------------------------------------------------

struct IndexCase {
    uint32_t bpp;
    int64_t x, y;
    uint8_t index;
    uint32_t byteOffset;  // from the start of the pixel data
    uint8_t byteValue;    // that byte after writing into a zeroed image
};
void PrintTo(const IndexCase& c, std::ostream* os)
{
    *os << c.bpp << "bpp (" << c.x << "," << c.y << ")";
}

class PixelIndexLayout : public ::testing::TestWithParam<IndexCase> {};

TEST_P(PixelIndexLayout, WritesOnlyItsBitsAndReadsBack)
{
    const IndexCase c = GetParam();
    CLfImage img(11, 3, c.bpp);
    ASSERT_TRUE(img.IsValid());
    img.SetPixelIndex(c.x, c.y, c.index);
    for (uint32_t i = 0; i < img.header.biSizeImage; ++i)
        ASSERT_EQ(img.info.bits[i], i == c.byteOffset ? c.byteValue : 0) << "byte " << i;
    EXPECT_EQ(img.GetPixelIndex(c.x, c.y), c.index);
    // The neighbours in the same byte are untouched.
    if (c.x > 0) {
        EXPECT_EQ(img.GetPixelIndex(c.x - 1, c.y), 0);
    }
    if (c.x + 1 < 11) {
        EXPECT_EQ(img.GetPixelIndex(c.x + 1, c.y), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PixelIndexLayout,
                         ::testing::Values(IndexCase{8, 5, 2, 200, 2 * 12 + 5, 200},
                                           IndexCase{4, 3, 0, 0xA, 1, 0x0A},  // low nibble of byte 1
                                           IndexCase{4, 4, 1, 0x7, 8 + 2, 0x70},
                                           IndexCase{1, 0, 0, 1, 0, 0x80}, IndexCase{1, 7, 1, 1, 4, 0x01},
                                           IndexCase{1, 10, 2, 1, 8 + 1, 0x20}));

TEST(CLfImagePixels, IndexWritesMaskTheValueToTheDepth)
{
    CLfImage four(4, 1, 4);
    four.SetPixelIndex(0, 0, 0xFF);
    four.SetPixelIndex(1, 0, 0x13);
    EXPECT_EQ(four.GetBits()[0], 0xF3);
    CLfImage one(8, 1, 1);
    one.SetPixelIndex(1, 0, 0xFE);  // even value: bit cleared
    EXPECT_EQ(one.GetBits()[0], 0x00);
    one.SetPixelIndex(1, 0, 3);
    EXPECT_EQ(one.GetBits()[0], 0x40);
}

TEST(CLfImagePixels, IndexAccessOutsideTheImage)
{
    CLfImage img(4, 4, 8);
    img.GetBits()[0] = 42;
    img.SetPixelIndex(-1, 0, 9);  // ignored
    img.SetPixelIndex(4, 0, 9);
    img.SetPixelIndex(0, 4, 9);
    EXPECT_EQ(img.GetBits()[0], 42);
    EXPECT_EQ(img.GetPixelIndex(-1, 0), 42);
    EXPECT_EQ(img.GetPixelIndex(0, 100000), 42);
    img.info.transIndex = 5;
    EXPECT_EQ(img.GetPixelIndex(-1, 0), 5);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 42);

    CLfImage rgb(2, 2, 24);
    EXPECT_EQ(rgb.GetPixelIndex(0, 0), 0);  // no palette
    rgb.SetPixelIndex(0, 0, 7);
    EXPECT_EQ(rgb.GetBits()[0], 0);
    CLfImage empty;
    EXPECT_EQ(empty.GetPixelIndex(0, 0), 0);
}

// ---- Colours -------------------------------------------------------------------------------

TEST(CLfImagePixels, ColourReadsPerDepth)
{
    for (uint32_t bpp : {1u, 4u, 8u}) {
        CLfImage img(5, 2, bpp);
        img.SetPaletteColor(1, 10, 20, 30, 40);
        img.SetPixelIndex(3, 1, 1);
        EXPECT_TRUE(Same(img.GetPixelColor(3, 1), RGBQUAD{30, 20, 10, 40})) << bpp;
        EXPECT_TRUE(Same(img.GetPixelColor(2, 1), RGBQUAD{0, 0, 0, 0})) << bpp;
    }
    CLfImage rgb(5, 2, 24);
    rgb.info.transColor = RGBQUAD{0, 0, 0, 77};
    uint8_t* p = rgb.GetBits(1) + 3 * 3;
    p[0] = 1;
    p[1] = 2;
    p[2] = 3;
    EXPECT_TRUE(Same(rgb.GetPixelColor(3, 1), RGBQUAD{1, 2, 3, 77}));
    rgb.AlphaCreate();
    rgb.AlphaSet(3, 1, 99);
    EXPECT_EQ(rgb.GetPixelColor(3, 1).rgbReserved, 99);
}

TEST(CLfImagePixels, ColourReadsOutsideTheImage)
{
    CLfImage rgb(3, 3, 24);
    rgb.SetPixelColor(0, 0, RGBQUAD{9, 8, 7, 0});
    rgb.info.transColor = RGBQUAD{1, 1, 1, 0};
    EXPECT_EQ(rgb.GetPixelColor(3, 0).rgbBlue, 9);  // pixel (0, 0)
    EXPECT_EQ(rgb.GetPixelColor(-1, -1).rgbRed, 7);
    rgb.info.transIndex = 0;  // set: 24 bits give transColor
    EXPECT_EQ(rgb.GetPixelColor(3, 0).rgbBlue, 1);

    CLfImage pal(3, 3, 8);
    pal.SetPaletteColor(6, 60, 61, 62);
    pal.info.transIndex = 6;
    EXPECT_EQ(pal.GetPixelColor(-5, 1).rgbRed, 60);
    pal.info.transIndex = 300;  // beyond the palette: zero, not a stray read
    EXPECT_EQ(pal.GetPixelColor(-5, 1).rgbRed, 0);

    CLfImage empty;
    empty.info.transColor = RGBQUAD{4, 5, 6, 0};
    EXPECT_EQ(empty.GetPixelColor(0, 0).rgbGreen, 5);
}

TEST(CLfImagePixels, ColourWrites)
{
    CLfImage rgb(4, 4, 24);
    rgb.AlphaCreate();
    rgb.SetPixelColor(1, 2, RGBQUAD{10, 20, 30, 40}, true);
    EXPECT_TRUE(Same(rgb.GetPixelColor(1, 2), RGBQUAD{10, 20, 30, 40}));
    rgb.SetPixelColor(1, 2, RGBQUAD{11, 21, 31, 41});  // alpha untouched
    EXPECT_TRUE(Same(rgb.GetPixelColor(1, 2), RGBQUAD{11, 21, 31, 40}));
    rgb.SetPixelColor(2, 2, RGB(200, 100, 50));
    EXPECT_TRUE(Same(rgb.GetPixelColor(2, 2), RGBQUAD{50, 100, 200, 0}));
    rgb.SetPixelColor(4, 0, RGBQUAD{1, 1, 1, 1});  // outside: ignored
    rgb.SetPixelColor(0, -1, RGBQUAD{1, 1, 1, 1});
    for (uint32_t i = 0; i < 4 * 3; ++i)
        EXPECT_EQ(rgb.GetBits(0)[i], 0);
    EXPECT_EQ(rgb.GetPixelGray(2, 2), (306 * 200 + 601 * 100 + 117 * 50) >> 10);
}

TEST(CLfImagePixels, NearestColourCacheFollowsThePalette)
{
    CLfImage grey(4, 4, 8);
    grey.SetGrayPalette();
    EXPECT_FALSE(grey.info.lastColorValid);
    grey.SetPixelColor(0, 0, RGBQUAD{100, 100, 100, 0});
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 100);
    EXPECT_TRUE(grey.info.lastColorValid);
    EXPECT_EQ(grey.info.lastColorIndex, 100);

    // A second write of the same colour uses the cache: a planted answer proves it.
    grey.info.lastColorIndex = 7;
    grey.SetPixelColor(1, 0, RGBQUAD{100, 100, 100, 0});
    EXPECT_EQ(grey.GetPixelIndex(1, 0), 7);

    // Every palette change drops the cache.
    auto refill = [&grey]() {
        grey.info.lastColorIndex = 7;
        grey.info.lastColorValid = true;
    };
    const RGBQUAD q{100, 100, 100, 0};
    const LfRgbColor triple{1, 2, 3};
    const uint8_t ramp[2] = {0, 1};
    RGBQUAD entries[1] = {};
    std::vector<std::function<void()>> changes = {
        [&] { grey.SetPaletteColor(3, 1, 2, 3); },
        [&] { grey.SetPaletteColor(3, q); },
        [&] { grey.SetPaletteColor(3, RGB(1, 2, 3)); },
        [&] { grey.SetPalette(entries, 1); },
        [&] { grey.SetPalette(&triple, 1); },
        [&] { grey.SetPalette(2, ramp); },
        [&] { grey.SetGrayPalette(); },
        [&] { grey.SetStdPalette(); },
        [&] { grey.BlendPalette(RGB(0, 0, 0), 0); },
        [&] { grey.SetClrImportant(0); },
        [&] { grey.SwapIndex(1, 2); },
        [&] { grey.AlphaPaletteClear(); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        refill();
        changes[i]();
        EXPECT_FALSE(grey.info.lastColorValid) << "change " << i;
    }
    grey.SetGrayPalette();
    grey.SetPixelColor(2, 0, q);
    EXPECT_EQ(grey.GetPixelIndex(2, 0), 100);
}

TEST(CLfImagePixels, NearestIndexTiesAndImportantColours)
{
    CLfImage img(1, 1, 8);
    img.SetPaletteColor(4, 10, 0, 0);
    img.SetPaletteColor(9, 30, 0, 0);
    for (int i = 0; i < 256; ++i) {
        if (i != 4 && i != 9)
            img.SetPaletteColor(uint8_t(i), 255, 255, 255);
    }
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{0, 0, 20, 0}), 4);  // equal distance: lower index
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{0, 0, 29, 0}), 9);

    img.SetClrImportant(8);  // only entries 0..7 are searched
    EXPECT_EQ(img.header.biClrImportant, 8u);
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{0, 0, 29, 0}), 4);
    // A count from a file larger than the palette never reads past it.
    img.header.biClrImportant = 100000;
    img.info.lastColorValid = false;
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{0, 0, 29, 0}), 9);

    CLfImage rgb(1, 1, 24);
    EXPECT_EQ(rgb.GetNearestIndex(RGBQUAD{1, 2, 3, 0}), 0);
}

TEST(CLfImagePixels, SetClrImportantTable)
{
    struct Case {
        uint32_t bpp, count, expected;
    } cases[] = {{8, 300, 0}, {8, 0, 0}, {8, 20, 20}, {4, 20, 16}, {4, 5, 5}, {1, 20, 2}, {8, 256, 256}};
    for (const Case& c : cases) {
        CLfImage img(1, 1, c.bpp);
        img.header.biClrImportant = 3;
        img.SetClrImportant(c.count);
        EXPECT_EQ(img.header.biClrImportant, c.expected) << c.bpp << " " << c.count;
    }
    CLfImage rgb(1, 1, 24);
    rgb.header.biClrImportant = 3;
    rgb.SetClrImportant(20);
    EXPECT_EQ(rgb.header.biClrImportant, 3u);
}

// ---- Palette ---------------------------------------------------------------------------------

TEST(CLfImagePalette, AccessAndGuards)
{
    CLfImage img(2, 2, 4);
    EXPECT_EQ(img.GetPaletteSize(), 64u);
    ASSERT_NE(img.GetPalette(), nullptr);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(img.GetPalette()), img.dib + 40);
    img.SetPaletteColor(15, 1, 2, 3, 4);
    img.SetPaletteColor(16, 9, 9, 9, 9);  // beyond 16 colours: ignored
    EXPECT_EQ(img.GetBits()[-1], 4);      // last palette byte, just before the pixels
    uint8_t r = 0, g = 0, b = 0;
    EXPECT_TRUE(img.GetPaletteColor(15, r, g, b));
    EXPECT_EQ(r + g * 10 + b * 100, 1 + 20 + 300);
    EXPECT_FALSE(img.GetPaletteColor(16, r, g, b));
    EXPECT_TRUE(Same(img.GetPaletteColor(16), RGBQUAD{}));

    CLfImage rgb(2, 2, 24);
    EXPECT_EQ(rgb.GetPalette(), nullptr);
    EXPECT_EQ(rgb.GetPaletteSize(), 0u);
    rgb.SetPaletteColor(0, 1, 2, 3);  // no palette: nothing, no crash
    rgb.SetGrayPalette();
    EXPECT_FALSE(rgb.IsGrayScale());
}

TEST(CLfImagePalette, SetPaletteFormsCopyAtMostTheColours)
{
    CLfImage img(1, 1, 1);
    RGBQUAD quads[3] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 9, 9, 9}};
    img.SetPalette(quads, 3);
    EXPECT_TRUE(Same(img.GetPaletteColor(1), RGBQUAD{5, 6, 7, 8}));

    const LfRgbColor triples[2] = {{10, 20, 30}, {40, 50, 60}};
    img.SetPalette(triples, 2);
    EXPECT_TRUE(Same(img.GetPaletteColor(0), RGBQUAD{30, 20, 10, 4}));  // fourth byte kept

    const uint8_t red[2] = {100, 101}, green[2] = {110, 111};
    img.SetPalette(2, red, green);  // blue defaults to green
    EXPECT_TRUE(Same(img.GetPaletteColor(1), RGBQUAD{111, 111, 101, 8}));
    img.SetPalette(2, red);  // green and blue default to red
    EXPECT_TRUE(Same(img.GetPaletteColor(0), RGBQUAD{100, 100, 100, 4}));
    img.SetPalette(2, nullptr);  // nothing
    EXPECT_EQ(img.GetPaletteColor(0).rgbRed, 100);
}

TEST(CLfImagePalette, GreyAndStandardPalettes)
{
    CLfImage one(1, 1, 1);
    one.SetPaletteColor(1, 255, 255, 255);
    EXPECT_FALSE(one.IsGrayScale());  // (0, 255) is not (0, 1)
    CLfImage grey(1, 1, 8);
    grey.SetGrayPalette();
    EXPECT_TRUE(grey.IsGrayScale());
    CLfImage sixteen(1, 1, 4);
    sixteen.SetGrayPalette();
    EXPECT_EQ(sixteen.GetPaletteColor(15).rgbGreen, 255);
    EXPECT_EQ(sixteen.GetPaletteColor(1).rgbGreen, 17);

    sixteen.SetStdPalette();
    EXPECT_TRUE(Same(sixteen.GetPaletteColor(1), RGBQUAD{0, 0, 128, 0}));
    EXPECT_TRUE(Same(sixteen.GetPaletteColor(12), RGBQUAD{255, 0, 0, 0}));
    grey.SetStdPalette();
    EXPECT_TRUE(Same(grey.GetPaletteColor(9), RGBQUAD{240, 202, 166, 0}));
    EXPECT_TRUE(Same(grey.GetPaletteColor(226), RGBQUAD{242, 242, 242, 0}));
    EXPECT_TRUE(Same(grey.GetPaletteColor(245), RGBQUAD{14, 14, 14, 0}));
    EXPECT_TRUE(Same(grey.GetPaletteColor(246), RGBQUAD{240, 251, 255, 0}));
    EXPECT_TRUE(Same(grey.GetPaletteColor(249), RGBQUAD{0, 0, 255, 0}));
    EXPECT_TRUE(Same(grey.GetPaletteColor(255), RGBQUAD{255, 255, 255, 0}));
}

TEST(CLfImagePalette, BlendPaletteClampsThePercentage)
{
    CLfImage img(1, 1, 1);
    img.SetPaletteColor(0, 100, 0, 200);
    img.BlendPalette(RGB(200, 100, 0), 50);
    EXPECT_TRUE(Same(img.GetPaletteColor(0), RGBQUAD{100, 50, 150, 0}));
    img.BlendPalette(RGB(1, 2, 3), 250);  // counts as 100
    EXPECT_TRUE(Same(img.GetPaletteColor(0), RGBQUAD{3, 2, 1, 0}));
    img.BlendPalette(RGB(90, 90, 90), -20);  // counts as 0: unchanged
    EXPECT_TRUE(Same(img.GetPaletteColor(0), RGBQUAD{3, 2, 1, 0}));
}

TEST(CLfImagePalette, SwapIndexRewritesPixels)
{
    CLfImage img(3, 1, 4);
    img.SetPaletteColor(1, 1, 1, 1);
    img.SetPaletteColor(2, 2, 2, 2);
    img.SetPixelIndex(0, 0, 1);
    img.SetPixelIndex(1, 0, 2);
    img.SetPixelIndex(2, 0, 3);
    img.SwapIndex(1, 2);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 2);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 3);
    EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 2);
    EXPECT_EQ(img.GetPaletteColor(2).rgbRed, 1);
    img.SwapIndex(1, 200);  // beyond the palette: nothing
    EXPECT_EQ(img.GetPixelIndex(1, 0), 1);
}

// ---- Transparency, lines, conversions ----------------------------------------------------

TEST(CLfImagePixels, IsTransparent)
{
    CLfImage pal(2, 1, 8);
    pal.SetPixelIndex(1, 0, 3);
    EXPECT_FALSE(pal.IsTransparent(1, 0));
    pal.info.transIndex = 3;
    EXPECT_TRUE(pal.IsTransparent(1, 0));
    EXPECT_FALSE(pal.IsTransparent(0, 0));

    CLfImage rgb(2, 1, 24);
    rgb.SetPixelColor(0, 0, RGBQUAD{5, 6, 7, 0});
    rgb.info.transColor = RGBQUAD{5, 6, 7, 0};
    EXPECT_FALSE(rgb.IsTransparent(0, 0));  // no transparent index
    rgb.info.transIndex = 0;
    EXPECT_TRUE(rgb.IsTransparent(0, 0));
    EXPECT_FALSE(rgb.IsTransparent(1, 0));
    rgb.info.transIndex = -1;
    rgb.AlphaCreate();
    rgb.AlphaSet(0, 0, 1);
    EXPECT_FALSE(rgb.IsTransparent(0, 0));
    EXPECT_TRUE(rgb.IsTransparent(1, 0));
}

TEST(CLfImagePixels, DrawLineIncludesBothEnds)
{
    CLfImage img(5, 5, 8);
    img.SetGrayPalette();
    img.DrawLine(0, 3, 0, 1, RGBQUAD{255, 255, 255, 0});
    int count = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            count += img.GetPixelIndex(x, y) == 255;
    EXPECT_EQ(count, 4);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 255);
    EXPECT_EQ(img.GetPixelIndex(3, 1), 255);
    img.DrawLine(-100, 100, 4, 4, RGB(255, 255, 255));  // clipped by SetPixelColor
    EXPECT_EQ(img.GetPixelIndex(4, 4), 255);
}

TEST(CLfImagePixels, Conversions)
{
    EXPECT_TRUE(Same(CLfImage::RGBtoRGBQUAD(RGB(1, 2, 3)), RGBQUAD{3, 2, 1, 0}));
    EXPECT_EQ(CLfImage::RGBtoBGR(RGB(1, 2, 3)), RGB(3, 2, 1));
    EXPECT_GT(CompareLuminance(RGBQUAD{255, 255, 255, 0}, RGBQUAD{}), 0);
    EXPECT_EQ(CompareLuminance(RGBQUAD{0, 0, 255, 0}, RGBQUAD{0, 0, 255, 9}), 0);

    CLfImage rgb(2, 1, 24);  // rowBytes 8
    uint8_t row[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    rgb.SwapRedBlue(row, 10);  // only the first rowBytes bytes, whole groups
    const uint8_t want[10] = {3, 2, 1, 6, 5, 4, 7, 8, 9, 10};
    EXPECT_EQ(std::memcmp(row, want, 10), 0);
    CLfImage pal(2, 1, 8);
    pal.SwapRedBlue(row, 10);  // palette images: untouched
    EXPECT_EQ(std::memcmp(row, want, 10), 0);
}

// ---- Bit fields ------------------------------------------------------------------------------

std::vector<uint8_t> Words16(int width, int height, uint16_t value)
{
    const int row = (width + 1) / 2 * 4;
    std::vector<uint8_t> out(size_t(row * height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            out[size_t(y * row + 2 * x)] = uint8_t(value);
            out[size_t(y * row + 2 * x + 1)] = uint8_t(value >> 8);
        }
    return out;
}

struct FieldCase {
    const char* name;
    uint32_t r, g, b;
    uint16_t word;
    uint8_t red, green, blue;
};
void PrintTo(const FieldCase& c, std::ostream* os)
{
    *os << c.name;
}

class Bitfields16 : public ::testing::TestWithParam<FieldCase> {};

TEST_P(Bitfields16, Table)
{
    const FieldCase c = GetParam();
    CLfImage img(3, 2, 24);
    const std::vector<uint8_t> src = Words16(3, 2, c.word);
    ASSERT_TRUE(img.BitfieldsToRGB(src.data(), c.r, c.g, c.b, 16, src.size()));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_TRUE(Same(img.GetPixelColor(x, y), RGBQUAD{c.blue, c.green, c.red, 0})) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Masks, Bitfields16,
    ::testing::Values(FieldCase{"565white", 0xF800, 0x07E0, 0x001F, 0xFFFF, 248, 252, 248},
                      FieldCase{"565red", 0xF800, 0x07E0, 0x001F, 0xF800, 248, 0, 0},
                      FieldCase{"565green", 0xF800, 0x07E0, 0x001F, 0x07E0, 0, 252, 0},
                      FieldCase{"555white", 0x7C00, 0x03E0, 0x001F, 0x7FFF, 248, 248, 248},
                      FieldCase{"555blue", 0x7C00, 0x03E0, 0x001F, 0x001F, 0, 0, 248},
                      // Hostile masks: shifts of 32 bits and more, empty and overlapping
                      // fields. Defined values, no undefined shift.
                      FieldCase{"allOnes", 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFF, 0, 0, 0},
                      FieldCase{"empty", 0, 0, 0, 0xFFFF, 0, 0, 0},
                      FieldCase{"wideBlue", 0, 0, 0xFFFFFFFF, 0x1234, 0, 0, 0},
                      FieldCase{"redOnly", 0xFFFF, 0, 0, 0xABCD, 0xAB, 0, 0}));

TEST(CLfImageBitfields, ThirtyTwoBitsIgnoreTheMasks)
{
    CLfImage img(2, 2, 24);
    const uint8_t src[16] = {1, 2, 3, 9, 4, 5, 6, 9, 7, 8, 9, 9, 10, 11, 12, 9};
    ASSERT_TRUE(img.BitfieldsToRGB(src, 0, 0, 0, 32, sizeof src));
    EXPECT_TRUE(Same(img.GetPixelColor(1, 0), RGBQUAD{4, 5, 6, 0}));
    EXPECT_TRUE(Same(img.GetPixelColor(0, 1), RGBQUAD{7, 8, 9, 0}));
}

TEST(CLfImageBitfields, SixteenBitsInPlaceOnTheOwnPixelBuffer)
{
    // The 24-bit rows are longer than the 16-bit ones, so a decoder may read the
    // 16-bit rows into the image itself and convert there.
    const int w = 7, h = 5;
    const int srcRow = (w + 1) / 2 * 4;
    CLfImage img(w, h, 24);
    uint8_t* bits = img.GetBits();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = y * w + x;  // 5-5-5: blue v % 32, green v / 32, red 1
            const uint16_t word = uint16_t((1 << 10) | ((v / 32) << 5) | (v % 32));
            bits[y * srcRow + 2 * x] = uint8_t(word);
            bits[y * srcRow + 2 * x + 1] = uint8_t(word >> 8);
        }
    ASSERT_TRUE(img.BitfieldsToRGB(bits, 0x7C00, 0x03E0, 0x001F, 16, img.header.biSizeImage));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int v = y * w + x;
            ASSERT_TRUE(Same(img.GetPixelColor(x, y), RGBQUAD{uint8_t((v % 32) << 3), uint8_t((v / 32) << 3), 8, 0}))
                << x << "," << y;
        }
}

TEST(CLfImageBitfields, Refusals)
{
    CLfImage img(4, 4, 24);
    std::vector<uint8_t> src(4 * 4 * 4, 0);
    EXPECT_FALSE(img.BitfieldsToRGB(src.data(), 0, 0, 0, 24, src.size()));
    EXPECT_FALSE(img.BitfieldsToRGB(nullptr, 0, 0, 0, 32, src.size()));
    EXPECT_FALSE(img.BitfieldsToRGB(src.data(), 0, 0, 0, 32, src.size() - 1));  // one byte short
    CLfImage pal(4, 4, 8);
    EXPECT_FALSE(pal.BitfieldsToRGB(src.data(), 0, 0, 0, 32, src.size()));
}

}  // namespace
