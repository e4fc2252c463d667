// Brightness/contrast, gamma, channel shifts, colourising and thresholding.

#include "image/CLfImage.h"
#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using namespace lftest;

namespace {

// A 3 x 1 true-colour image (9 pixel bytes and 3 row fillers) holding the values
// in its blue, green and red bytes, one after the other.
void ThreeByOne(CLfImage& image, const uint8_t (&bytes)[9])
{
    ASSERT_NE(image.Create(3, 1, 24, 0), nullptr);
    uint8_t* row = image.GetBits(0);
    for (int i = 0; i < 9; ++i) row[i] = bytes[i];
}

struct BcCase {
    int32_t brightness, contrast;
    uint8_t in, out;
};

}  // namespace

TEST(ColourAdjust, BrightnessContrastTable)
{
    const BcCase cases[] = {
        {0, 0, 0, 0},       {0, 0, 77, 77},      {0, 0, 255, 255},    {0, 100, 0, 0},
        {0, 100, 128, 128}, {0, 100, 129, 130},  {0, 100, 255, 255},  {0, -100, 0, 128},
        {0, -100, 255, 128}, {-300, 0, 255, 0},  {40, 0, 100, 140},   {0, 50, 100, 86},
        {INT_MAX, 0, 0, 255}, {INT_MIN, 0, 255, 0}, {0, INT_MAX, 128, 128}, {0, INT_MIN, 0, 255},
    };
    for (const BcCase& c : cases) {
        CLfImage image;
        MakeRgb(image, 1, 1, [&](int, int) { return Rgb(c.in, c.in, c.in); });
        ASSERT_TRUE(image.BrightnessContrast(c.brightness, c.contrast));
        EXPECT_EQ(Str(Colour(image, 0, 0)), Str(Grey(c.out)))
            << "brightness " << c.brightness << " contrast " << c.contrast << " in " << int(c.in);
    }
}

TEST(ColourAdjust, BrightnessContrastIdentityKeepsEveryValue)
{
    CLfImage image;
    MakeRgb(image, 256, 1, [](int x, int) { return Rgb(uint8_t(x), uint8_t(255 - x), uint8_t(x * 7)); });
    const auto before = RawBits(image);
    ASSERT_TRUE(image.BrightnessContrast(0, 0));
    EXPECT_EQ(RawBits(image), before);
}

TEST(ColourAdjust, BrightnessContrastWithoutSelectionRewritesRowFillers)
{
    CLfImage image;
    ThreeByOne(image, {0, 128, 129, 255, 1, 2, 3, 4, 5});
    uint8_t* row = image.GetBits(0);
    row[9] = row[10] = row[11] = 129;
    ASSERT_TRUE(image.BrightnessContrast(0, 100));
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[1], 128);
    EXPECT_EQ(row[2], 130);
    EXPECT_EQ(row[3], 255);
    EXPECT_EQ(row[9], 130);
    EXPECT_EQ(row[11], 130);
}

TEST(ColourAdjust, PaletteImagesChangeThroughThePalette)
{
    CLfImage image;
    MakeGrey(image, 4, 1, [](int x, int) { return x < 2 ? 100 : 200; });
    image.SetPaletteColor(100, 10, 20, 30, 7);
    ASSERT_TRUE(image.BrightnessContrast(50, 0));
    EXPECT_EQ(Indices(image), (std::vector<uint8_t>{100, 100, 200, 200}));
    EXPECT_EQ(Str(image.GetPaletteColor(100)), Str(Rgb(60, 70, 80, 7)));  // fourth byte kept
    EXPECT_EQ(Str(image.GetPaletteColor(200)), Str(Grey(250)));
    EXPECT_EQ(Str(image.GetPaletteColor(255)), Str(Grey(255)));
}

// Every selection-aware point operation leaves unselected pixels alone.
TEST(ColourAdjust, SelectionLimitsEveryPointOperation)
{
    using Op = bool (*)(CLfImage&);
    const Op ops[] = {
        [](CLfImage& i) { return i.BrightnessContrast(30, 40); },
        [](CLfImage& i) { return i.Gamma(2.0f); },
        [](CLfImage& i) { return i.ShiftRGB(10, -20, 30); },
        [](CLfImage& i) { return i.Colorize(40, 200); },
    };
    CLfImage original;
    MakeRgb(original, 4, 3, [](int x, int y) { return Rgb(uint8_t(40 + x * 30), uint8_t(90 + y * 20), 70); });
    for (size_t n = 0; n < std::size(ops); ++n) {
        CLfImage image(original), reference(original);
        // Columns 1-2 of rows 1-2; pixel (2, 1) is then cleared inside the box.
        ASSERT_TRUE(image.SelectionAddRect(RECT{1, 3, 3, 1}));
        image.selection[1 * 4 + 2] = 0;
        ASSERT_TRUE(ops[n](image)) << "operation " << n;
        ASSERT_TRUE(ops[n](reference)) << "operation " << n;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const bool selected = x >= 1 && x <= 2 && y >= 1 && !(x == 2 && y == 1);
                const RGBQUAD expected = selected ? Colour(reference, x, y) : Colour(original, x, y);
                EXPECT_EQ(Str(Colour(image, x, y)), Str(expected)) << "operation " << n << " at " << x << "," << y;
            }
        }
        EXPECT_NE(Str(Colour(image, 1, 1)), Str(Colour(original, 1, 1))) << "operation " << n;
    }
}

TEST(ColourAdjust, GammaOneKeepsEveryValue)
{
    CLfImage image;
    MakeRgb(image, 256, 1, [](int x, int) { return Grey(uint8_t(x)); });
    const auto before = Pixels(image);
    ASSERT_TRUE(image.Gamma(1.0f));
    EXPECT_EQ(Strs(Pixels(image)), Strs(before));
}

TEST(ColourAdjust, GammaTwo)
{
    CLfImage image;
    ThreeByOne(image, {64, 0, 255, 128, 16, 1, 200, 250, 255});
    uint8_t* row = image.GetBits(0);
    row[9] = 64;  // the gamma walk leaves row fillers alone
    ASSERT_TRUE(image.Gamma(2.0f));
    // 255 x (c / 255)^0.5, truncated.
    const uint8_t expected[9] = {127, 0, 255, 180, 63, 15, 225, 252, 255};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(row[i], expected[i]) << "byte " << i;
    EXPECT_EQ(row[9], 64);
}

TEST(ColourAdjust, GammaOfZeroOrBelowIsRefused)
{
    const float bad[] = {0.0f, -0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN(),
                         -std::numeric_limits<float>::infinity()};
    for (float g : bad) {
        CLfImage image;
        MakeRgb(image, 2, 2, [](int x, int y) { return Rgb(uint8_t(10 * x), uint8_t(50 * y), 99); });
        const auto before = RawBits(image);
        EXPECT_FALSE(image.Gamma(g)) << g;
        EXPECT_EQ(RawBits(image), before) << g;
    }
}

TEST(ColourAdjust, GammaReportsProgressOverRows)
{
    CLfImage image;
    MakeRgb(image, 2, 5, [](int, int) { return Grey(9); });
    image.info.progress = 0;
    ASSERT_TRUE(image.Gamma(1.5f));
    EXPECT_EQ(int32_t(image.info.progress), 80);  // last row 4 of 5
}

TEST(ColourAdjust, ShiftRGB)
{
    struct Case {
        int32_t r, g, b;
        RGBQUAD in, out;
    };
    const Case cases[] = {
        {300, -300, 0, Rgb(30, 20, 10), Rgb(255, 0, 10)},
        {5, 6, 7, Rgb(30, 20, 10), Rgb(35, 26, 17)},
        {-31, 0, 245, Rgb(30, 20, 10), Rgb(0, 20, 255)},
        {INT_MAX, INT_MIN, INT_MIN, Rgb(30, 20, 10), Rgb(255, 0, 0)},
    };
    for (const Case& c : cases) {
        CLfImage image;
        MakeRgb(image, 1, 1, [&](int, int) { return c.in; });
        ASSERT_TRUE(image.ShiftRGB(c.r, c.g, c.b));
        EXPECT_EQ(Str(Colour(image, 0, 0)), Str(c.out)) << c.r << " " << c.g << " " << c.b;
    }
    CLfImage palette;
    MakeGrey(palette, 1, 1, [](int, int) { return 3; });
    ASSERT_TRUE(palette.ShiftRGB(1, 2, 3));
    EXPECT_EQ(Str(palette.GetPaletteColor(3)), Str(Rgb(4, 5, 6)));
    EXPECT_EQ(palette.GetPixelIndex(0, 0), 3);
}

TEST(ColourAdjust, EmptyImagesAreRefused)
{
    CLfImage empty;
    EXPECT_FALSE(empty.BrightnessContrast(1, 1));
    EXPECT_FALSE(empty.Gamma(1.0f));
    EXPECT_FALSE(empty.ShiftRGB(1, 1, 1));
    EXPECT_FALSE(empty.Colorize(1, 1));
    EXPECT_FALSE(empty.Threshold(1));
    EXPECT_EQ(empty.dib, nullptr);
}

TEST(ColourAdjust, ColorizeKeepsBlackAndWhite)
{
    for (int hue : {0, 40, 128, 200, 255}) {
        for (int sat : {0, 100, 255}) {
            CLfImage image;
            MakeRgb(image, 2, 1, [](int x, int) { return Grey(x ? 255 : 0); });
            ASSERT_TRUE(image.Colorize(uint8_t(hue), uint8_t(sat)));
            EXPECT_EQ(Str(Colour(image, 0, 0)), Str(Grey(0))) << hue << " " << sat;
            EXPECT_EQ(Str(Colour(image, 1, 0)), Str(Grey(255))) << hue << " " << sat;
        }
    }
}

TEST(ColourAdjust, ColorizeTable)
{
    // Lightness of grey 128 is 128 (0.502): m2 = 1, m1 = 0.0039, so the channels
    // off the hue get 255 x 0.0039 = 1. Grey 64 has lightness 64 (0.251): m2 =
    // 0.502, m1 = 0; green at hue 85 gets trunc(255 x 0.502) = 128.
    struct Case {
        uint8_t hue, saturation, grey;
        RGBQUAD out;
    };
    const Case cases[] = {
        {0, 255, 128, Rgb(255, 1, 1)},
        {170, 255, 128, Rgb(1, 1, 255)},
        {85, 255, 64, Rgb(0, 128, 0)},
        {200, 0, 90, Grey(90)},
    };
    for (const Case& c : cases) {
        CLfImage image;
        MakeRgb(image, 1, 1, [&](int, int) { return Grey(c.grey); });
        ASSERT_TRUE(image.Colorize(c.hue, c.saturation));
        EXPECT_EQ(Str(Colour(image, 0, 0)), Str(c.out)) << int(c.hue) << " " << int(c.saturation) << " " << int(c.grey);
    }
}

TEST(ColourAdjust, ColorizeToAColoursOwnHueAndSaturationKeepsIt)
{
    const RGBQUAD colours[] = {Rgb(200, 60, 60), Rgb(60, 160, 90), Rgb(70, 70, 200), Rgb(190, 180, 50)};
    for (const RGBQUAD& c : colours) {
        CLfImage image;
        MakeRgb(image, 1, 1, [&](int, int) { return c; });
        const RGBQUAD hsl = CLfImage::RGBtoHSL(c);
        ASSERT_TRUE(image.Colorize(hsl.rgbRed, hsl.rgbGreen));
        const RGBQUAD out = Colour(image, 0, 0);
        // Within the quantisation of the 8-bit hue.
        EXPECT_NEAR(out.rgbRed, c.rgbRed, 6) << Str(c);
        EXPECT_NEAR(out.rgbGreen, c.rgbGreen, 6) << Str(c);
        EXPECT_NEAR(out.rgbBlue, c.rgbBlue, 6) << Str(c);
    }
}

TEST(ColourAdjust, ColorizeClearsPaletteAlpha)
{
    CLfImage image;
    MakeGrey(image, 2, 1, [](int x, int) { return x; });
    image.SetPaletteColor(0, 255, 255, 255, 200);
    image.SetPaletteColor(1, 0, 0, 0, 9);
    ASSERT_TRUE(image.Colorize(10, 255));
    EXPECT_EQ(Str(image.GetPaletteColor(0)), Str(Grey(255)));
    EXPECT_EQ(Str(image.GetPaletteColor(1)), Str(Grey(0)));
    EXPECT_EQ(image.GetPaletteColor(128).rgbReserved, 0);
}

TEST(ColourAdjust, ThresholdMakesABlackAndWhiteImage)
{
    CLfImage image;
    MakeRgb(image, 4, 2, [](int x, int y) {
        const RGBQUAD row0[] = {Grey(127), Grey(128), Rgb(255, 0, 0), Grey(0)};  // red has grey level 76
        return y == 0 ? row0[x] : Grey(255);
    });
    image.info.type = 3;
    image.SetXDPI(300);
    image.info.transIndex = 4;
    ASSERT_TRUE(image.Threshold(127));
    EXPECT_EQ(image.GetBpp(), 1u);
    EXPECT_EQ(image.GetType(), 0u);
    EXPECT_EQ(image.info.xDpi, 96);
    EXPECT_EQ(image.info.transIndex, -1);
    EXPECT_EQ(Str(image.GetPaletteColor(0)), Str(Grey(0)));
    EXPECT_EQ(Str(image.GetPaletteColor(1)), Str(Grey(255)));
    EXPECT_EQ(Indices(image), (std::vector<uint8_t>{0, 1, 0, 0, 1, 1, 1, 1}));

    CLfImage red;
    MakeRgb(red, 1, 1, [](int, int) { return Rgb(255, 0, 0); });
    CLfImage red2(red);
    ASSERT_TRUE(red.Threshold(75));
    ASSERT_TRUE(red2.Threshold(76));
    EXPECT_EQ(red.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(red2.GetPixelIndex(0, 0), 0);
}

TEST(ColourAdjust, ThresholdOfAPaletteImageUsesItsColours)
{
    CLfImage image;
    ASSERT_NE(image.Create(2, 1, 4, 0), nullptr);
    image.SetPaletteColor(0, 255, 255, 255);
    image.SetPaletteColor(1, 0, 0, 200);
    image.SetPixelIndex(0, 0, 0);
    image.SetPixelIndex(1, 0, 1);
    ASSERT_TRUE(image.Threshold(50));
    EXPECT_EQ(Indices(image), (std::vector<uint8_t>{1, 0}));  // blue 200 has grey level 22
}

TEST(ColourAdjust, ThresholdLeavesOneBitImagesAlone)
{
    CLfImage image;
    ASSERT_NE(image.Create(9, 2, 1, 5), nullptr);
    image.SetPaletteColor(0, 10, 20, 30);
    image.SetPixelIndex(3, 1, 1);
    const auto before = RawBits(image);
    ASSERT_TRUE(image.Threshold(0));
    EXPECT_EQ(RawBits(image), before);
    EXPECT_EQ(image.GetType(), 5u);
    EXPECT_EQ(Str(image.GetPaletteColor(0)), Str(Rgb(10, 20, 30)));
}

TEST(ColourAdjust, ThresholdStoppedByEscapeLeavesDefinedRows)
{
    CLfImage image;
    MakeRgb(image, 3, 3, [](int, int) { return Grey(255); });
    image.info.escape = 1;
    ASSERT_TRUE(image.Threshold(10));
    EXPECT_EQ(image.GetBpp(), 1u);
    EXPECT_EQ(Indices(image), std::vector<uint8_t>(9, 0));
}
