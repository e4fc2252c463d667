#include "image/CLfImage.h"

#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using lftest::Bgr;

TEST(GrayScale, TrueColourBecomesEightBitLuminance)
{
    CLfImage img(3, 1, 24);
    img.SetPixelColor(0, 0, Bgr(0, 0, 255));      // red: (306 x 255) >> 10 = 76
    img.SetPixelColor(1, 0, Bgr(255, 255, 255));  // white stays 255
    img.SetPixelColor(2, 0, Bgr(30, 20, 10));     // (3060 + 12020 + 3510) >> 10 = 18
    ASSERT_TRUE(img.AlphaCreate());
    img.AlphaSet(1, 0, 44);
    ASSERT_TRUE(img.GrayScale());
    ASSERT_EQ(img.GetBpp(), 8u);
    EXPECT_TRUE(img.IsGrayScale());
    EXPECT_EQ(img.GetPixelIndex(0, 0), 76);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 255);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 18);
    EXPECT_EQ(img.AlphaGet(1, 0), 44);
}

TEST(GrayScale, PaletteImagesMapIndicesAndTheTransparentIndex)
{
    CLfImage img(2, 1, 8);
    img.SetPaletteColor(3, 0, 0, 255);  // blue: (117 x 255) >> 10 = 29
    img.SetPaletteColor(4, 255, 0, 0);  // red: 76
    img.SetPixelIndex(0, 0, 3);
    img.SetPixelIndex(1, 0, 4);
    img.info.transIndex = 3;
    ASSERT_TRUE(img.GrayScale());
    EXPECT_EQ(img.info.transIndex, 29);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 29);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 76);
    EXPECT_TRUE(img.IsGrayScale());

    for (uint32_t bpp : {1u, 4u}) {
        CLfImage low(3, 1, bpp);
        low.SetPaletteColor(1, 0, 255, 0);  // green: (601 x 255) >> 10 = 149
        low.SetPixelIndex(1, 0, 1);
        ASSERT_TRUE(low.GrayScale());
        ASSERT_EQ(low.GetBpp(), 8u) << bpp;
        EXPECT_TRUE(low.IsGrayScale());
        EXPECT_EQ(low.GetPixelIndex(0, 0), 0);
        EXPECT_EQ(low.GetPixelIndex(1, 0), 149);
    }
}

TEST(Negative, GreyIndicesColourPaletteAndTrueColour)
{
    CLfImage grey(2, 1, 8);
    grey.SetGrayPalette();
    grey.SetPixelIndex(0, 0, 10);
    ASSERT_TRUE(grey.Negative());
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 245);
    EXPECT_EQ(grey.GetPixelIndex(1, 0), 255);
    EXPECT_TRUE(grey.IsGrayScale());

    CLfImage colour(2, 1, 4);
    colour.SetPaletteColor(2, 10, 20, 30);
    colour.SetPixelIndex(1, 0, 2);
    ASSERT_TRUE(colour.Negative());
    EXPECT_EQ(colour.GetPixelIndex(1, 0), 2);
    EXPECT_TRUE(lftest::SameColor(colour.GetPaletteColor(2), Bgr(225, 235, 245)));

    CLfImage bilevel(9, 1, 1);
    bilevel.SetPaletteColor(1, 255, 255, 255);
    bilevel.SetPixelIndex(8, 0, 1);
    ASSERT_TRUE(bilevel.Negative());  // black and white is no grey ramp: the palette flips
    EXPECT_EQ(bilevel.GetPixelIndex(8, 0), 1);
    EXPECT_TRUE(lftest::SameColor(bilevel.GetPaletteColor(1), Bgr(0, 0, 0)));

    CLfImage rgb(2, 1, 24);
    rgb.SetPixelColor(0, 0, Bgr(0, 100, 255));
    rgb.info.transColor = Bgr(1, 2, 3);
    ASSERT_TRUE(rgb.Negative());
    EXPECT_TRUE(lftest::SameColor(rgb.GetPixelColor(0, 0), Bgr(255, 155, 0)));
    EXPECT_TRUE(lftest::SameColor(rgb.info.transColor, Bgr(254, 253, 252)));
}

TEST(Negative, SelectionLimitsTheChange)
{
    CLfImage rgb(3, 1, 24);
    ASSERT_TRUE(rgb.SelectionAddRect(RECT{1, 1, 2, 0}));
    ASSERT_TRUE(rgb.Negative());
    EXPECT_TRUE(lftest::SameColor(rgb.GetPixelColor(0, 0), Bgr(0, 0, 0)));
    EXPECT_TRUE(lftest::SameColor(rgb.GetPixelColor(1, 0), Bgr(255, 255, 255)));
    EXPECT_TRUE(lftest::SameColor(rgb.GetPixelColor(2, 0), Bgr(0, 0, 0)));
}

TEST(IncreaseBpp, Table)
{
    CLfImage rgb(2, 2, 24);
    EXPECT_FALSE(rgb.IncreaseBpp(4));
    EXPECT_FALSE(rgb.IncreaseBpp(16));
    EXPECT_TRUE(rgb.IncreaseBpp(24));
    EXPECT_FALSE(CLfImage().IncreaseBpp(24));

    CLfImage one(10, 2, 1);
    one.SetPaletteColor(0, 1, 2, 3);
    one.SetPaletteColor(1, 250, 251, 252);
    one.SetPixelIndex(9, 1, 1);
    ASSERT_TRUE(one.IncreaseBpp(8));
    ASSERT_EQ(one.GetBpp(), 8u);
    EXPECT_TRUE(lftest::SameColor(one.GetPaletteColor(0), Bgr(3, 2, 1)));
    EXPECT_TRUE(lftest::SameColor(one.GetPaletteColor(1), Bgr(252, 251, 250)));
    EXPECT_TRUE(lftest::SameColor(one.GetPaletteColor(2), Bgr(0, 0, 0)));
    EXPECT_EQ(one.GetPixelIndex(9, 1), 1);
    EXPECT_EQ(one.GetPixelIndex(8, 1), 0);
}

TEST(IncreaseBpp, ToTrueColourKeepsTransparencyAndPaletteAlpha)
{
    CLfImage img(3, 1, 8);
    img.SetPaletteColor(5, 9, 8, 7);
    img.SetPaletteColor(6, 50, 60, 70, 128);  // palette alpha
    img.SetPixelIndex(0, 0, 5);
    img.SetPixelIndex(1, 0, 6);
    img.info.transIndex = 5;
    ASSERT_TRUE(img.IncreaseBpp(24));
    ASSERT_EQ(img.GetBpp(), 24u);
    EXPECT_TRUE(lftest::SameColor(img.info.transColor, Bgr(7, 8, 9)));
    EXPECT_TRUE(lftest::SameColor(img.GetPixelColor(1, 0), Bgr(70, 60, 50)));
    ASSERT_NE(img.alpha, nullptr);
    EXPECT_EQ(img.AlphaGet(1, 0), 128);
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
}

TEST(DecreaseBpp, ToBlackAndWhiteAndRefusals)
{
    CLfImage img(3, 1, 24);
    img.SetPixelColor(0, 0, Bgr(250, 250, 250));
    img.SetPixelColor(1, 0, Bgr(20, 20, 20));
    img.SetPixelColor(2, 0, Bgr(0, 200, 255));
    ASSERT_TRUE(img.DecreaseBpp(1, false));
    ASSERT_EQ(img.GetBpp(), 1u);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 1);

    CLfImage shallow(2, 2, 4);
    EXPECT_FALSE(shallow.DecreaseBpp(8, false));
    EXPECT_TRUE(shallow.DecreaseBpp(4, false));
    EXPECT_FALSE(shallow.DecreaseBpp(2, false));
}

TEST(DecreaseBpp, GivenPaletteAndErrorDiffusion)
{
    // A mid grey between two palette colours: nearest maps all of it to one colour,
    // error diffusion mixes both.
    const RGBQUAD two[2] = {Bgr(0, 0, 0), Bgr(250, 250, 250)};
    CLfImage plain(8, 8, 24);
    CLfImage spread(8, 8, 24);
    for (int64_t y = 0; y < 8; ++y)
        for (int64_t x = 0; x < 8; ++x) {
            plain.SetPixelColor(x, y, Bgr(100, 100, 100));
            spread.SetPixelColor(x, y, Bgr(100, 100, 100));
        }
    ASSERT_TRUE(plain.DecreaseBpp(1, false, two));
    ASSERT_TRUE(spread.DecreaseBpp(1, true, two));
    EXPECT_TRUE(lftest::SameColor(spread.GetPaletteColor(1), Bgr(250, 250, 250)));
    int plainOn = 0, spreadOn = 0;
    for (int64_t y = 0; y < 8; ++y)
        for (int64_t x = 0; x < 8; ++x) {
            plainOn += plain.GetPixelIndex(x, y);
            spreadOn += spread.GetPixelIndex(x, y);
        }
    EXPECT_EQ(plainOn, 0);
    EXPECT_GT(spreadOn, 16);  // about 100/255 of 64 pixels
    EXPECT_LT(spreadOn, 34);
}

TEST(Dither, OrderedPatternOfMidGrey)
{
    CLfImage img(8, 4, 8);
    img.SetGrayPalette();
    img.Clear(128);  // level floor(128 x 16 / 255) = 8: matrix entries below 8 are set
    ASSERT_TRUE(img.Dither(1));
    ASSERT_EQ(img.GetBpp(), 1u);
    static const int kMatrix[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
    int set = 0;
    for (int64_t y = 0; y < 4; ++y)
        for (int64_t x = 0; x < 8; ++x) {
            EXPECT_EQ(img.GetPixelIndex(x, y), kMatrix[(x & 3) + 4 * (y & 3)] < 8 ? 1 : 0) << x << "," << y;
            set += img.GetPixelIndex(x, y);
        }
    EXPECT_EQ(set, 16);
    EXPECT_TRUE(lftest::SameColor(img.GetPaletteColor(1), Bgr(255, 255, 255)));
}

TEST(Dither, ErrorDiffusionExtremesAndAlreadyOneBit)
{
    for (auto [grey, expected] : {std::pair{255, 1}, std::pair{0, 0}}) {
        CLfImage img(5, 5, 24);
        for (int64_t y = 0; y < 5; ++y)
            for (int64_t x = 0; x < 5; ++x)
                img.SetPixelColor(x, y, Bgr(uint8_t(grey), uint8_t(grey), uint8_t(grey)));
        ASSERT_TRUE(img.Dither(0));
        ASSERT_EQ(img.GetBpp(), 1u);
        for (int64_t y = 0; y < 5; ++y)
            for (int64_t x = 0; x < 5; ++x)
                EXPECT_EQ(img.GetPixelIndex(x, y), expected);
    }
    CLfImage one(4, 4, 1);
    uint8_t* before = one.dib;
    EXPECT_TRUE(one.Dither(0));
    EXPECT_EQ(one.dib, before);
}

}  // namespace

// The conversions read and write whole rows of packed pixels: every pixel of
// odd widths (a last byte only partly used) lands where the per-pixel
// accessors say it should.
TEST(DepthConversions, PackedRowsOfEveryWidthMatchThePixels)
{
    for (uint32_t bpp : {1u, 4u, 8u}) {
        for (int width : {1, 7, 9, 13, 33}) {
            SCOPED_TRACE("bpp " + std::to_string(bpp) + ", width " + std::to_string(width));
            CLfImage src(width, 3, bpp);
            const uint32_t colors = src.GetNumColors();
            for (uint32_t i = 0; i < colors; ++i)
                src.SetPaletteColor(uint8_t(i), uint8_t(i * 37), uint8_t(255 - i * 11), uint8_t(i * 5));
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x)
                    src.SetPixelIndex(x, y, uint8_t((x * 7 + y * 3) % colors));

            CLfImage grey(src);
            ASSERT_TRUE(grey.GrayScale());
            CLfImage wide(src);
            ASSERT_TRUE(wide.IncreaseBpp(24));
            CLfImage deeper(src);
            ASSERT_TRUE(deeper.IncreaseBpp(8));
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < width; ++x) {
                    const RGBQUAD c = src.GetPixelColor(x, y);
                    const int luma = (306 * c.rgbRed + 601 * c.rgbGreen + 117 * c.rgbBlue) >> 10;
                    EXPECT_EQ(grey.GetPixelIndex(x, y), luma) << x << "," << y;
                    const RGBQUAD w = wide.GetPixelColor(x, y);
                    EXPECT_EQ(w.rgbRed, c.rgbRed) << x << "," << y;
                    EXPECT_EQ(w.rgbBlue, c.rgbBlue) << x << "," << y;
                    EXPECT_EQ(deeper.GetPixelIndex(x, y), src.GetPixelIndex(x, y)) << x << "," << y;
                }
            }
            CLfImage negative(width, 3, bpp);
            negative.SetGrayPalette();
            for (int x = 0; x < width; ++x)
                negative.SetPixelIndex(x, 1, uint8_t(x % colors));
            const CLfImage before(negative);
            ASSERT_TRUE(negative.Negative());
            for (int x = 0; x < width; ++x)
                EXPECT_EQ(negative.GetPixelColor(x, 1).rgbRed, 255 - before.GetPixelColor(x, 1).rgbRed) << x;
        }
    }
}
