#include "ThumbTestSupport.h"
#include "manager/model/ThumbnailMaker.h"

#include <gtest/gtest.h>

namespace {

using lftest::BackgroundText;
using lftest::PixelAt;

TEST(ThumbnailMaker, FitsIntoTheBoxWithSinglePrecisionRatioAndNeverEnlarges)
{
    struct Case {
        int w, h;
        int tw, th, left, top;
    };
    const Case cases[] = {
        {1600, 1200, 88, 66, 0, 0}, {640, 200, 88, 28, 0, 19}, {300, 200, 88, 59, 0, 3},
        {100, 50, 88, 45, 0, 10},   {50, 40, 50, 40, 19, 13},  {88, 66, 88, 66, 0, 0},
        {600, 800, 50, 66, 19, 0},  {1, 1, 1, 1, 43, 32},      {5000, 10, 88, 1, 0, 32},
    };
    for (const Case& c : cases) {
        const thumbs::ThumbnailFit fit = thumbs::FitThumbnail(c.w, c.h);
        EXPECT_EQ(fit.width, c.tw) << c.w << "x" << c.h;
        EXPECT_EQ(fit.height, c.th) << c.w << "x" << c.h;
        EXPECT_EQ(fit.left, c.left) << c.w << "x" << c.h;
        EXPECT_EQ(fit.top, c.top) << c.w << "x" << c.h;
    }
}

TEST(ThumbnailMaker, FramedThumbnailHoldsTheFittedOneCentredOnTheBackground)
{
    CLfImage picture = lftest::GradientPicture(640, 200);
    const thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(&picture);
    ASSERT_TRUE(pair.fitted && pair.framed);
    const ThumbnailPixels& fitted = *pair.fitted;
    const ThumbnailPixels& framed = *pair.framed;
    ASSERT_EQ(fitted.width, 88);
    ASSERT_EQ(fitted.height, 28);
    ASSERT_EQ(framed.width, 88);
    ASSERT_EQ(framed.height, 66);
    ASSERT_EQ(fitted.rgb.size(), 88u * 28 * 3);
    ASSERT_EQ(framed.rgb.size(), 88u * 66 * 3);

    // Rows 0..18 and 47..65 are frame; rows 19..46 are the fitted picture.
    for (int x = 0; x < 88; x += 29) {
        EXPECT_EQ(PixelAt(framed, x, 0), BackgroundText());
        EXPECT_EQ(PixelAt(framed, x, 18), BackgroundText());
        EXPECT_EQ(PixelAt(framed, x, 47), BackgroundText());
        EXPECT_EQ(PixelAt(framed, x, 65), BackgroundText());
    }
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 88; ++x)
            ASSERT_EQ(PixelAt(fitted, x, y), PixelAt(framed, x, y + 19)) << x << "," << y;

    // Top row first: the picture's top is green 255, its bottom green 0; its left
    // third is reddish.
    const uint8_t* topLeft = fitted.rgb.data();
    const uint8_t* bottomLeft = fitted.rgb.data() + size_t(27) * 88 * 3;
    EXPECT_GT(topLeft[1], 230);
    EXPECT_LT(bottomLeft[1], 25);
    EXPECT_GT(topLeft[0], 200);
    EXPECT_LT(topLeft[2], 40);
}

TEST(ThumbnailMaker, TransparentAndAlphaPixelsShowTheBackground)
{
    CLfImage palette(4, 2, 8);
    palette.SetPaletteColor(0, 255, 0, 0);
    palette.SetPaletteColor(1, 0, 0, 255);
    for (int x = 0; x < 4; ++x) {
        palette.SetPixelIndex(x, 0, 0);
        palette.SetPixelIndex(x, 1, 1);
    }
    palette.info.transIndex = 0;
    const ThumbnailPixels indexed = thumbs::PixelsOnBackground(palette);
    EXPECT_EQ(PixelAt(indexed, 0, 0), "0,0,255");          // top row: index 1
    EXPECT_EQ(PixelAt(indexed, 0, 1), BackgroundText());   // bottom row: transparent index

    CLfImage rgb = lftest::SolidPicture(3, 1, 200, 100, 0);
    ASSERT_TRUE(rgb.AlphaCreate());
    rgb.AlphaSet(0, 0, 0);
    rgb.AlphaSet(1, 0, 255);
    rgb.AlphaSet(2, 0, 128);
    const ThumbnailPixels blended = thumbs::PixelsOnBackground(rgb);
    EXPECT_EQ(PixelAt(blended, 0, 0), BackgroundText());
    EXPECT_EQ(PixelAt(blended, 1, 0), "200,100,0");
    // a = 128 * 256 >> 8 = 128: (200*128 + 123*127) >> 8 and so on.
    EXPECT_EQ(PixelAt(blended, 2, 0), "161,120,73");
}

TEST(ThumbnailMaker, NoPictureGivesAnEmptyFittedAndAPlainFramedThumbnail)
{
    CLfImage empty;
    for (CLfImage* image : {static_cast<CLfImage*>(nullptr), &empty}) {
        const thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(image);
        ASSERT_TRUE(pair.fitted && pair.framed);
        EXPECT_EQ(pair.fitted->width, 0);
        EXPECT_EQ(pair.fitted->height, 0);
        EXPECT_TRUE(pair.fitted->rgb.empty());
        ASSERT_EQ(pair.framed->width, 88);
        ASSERT_EQ(pair.framed->height, 66);
        for (int y = 0; y < 66; y += 13)
            for (int x = 0; x < 88; x += 17)
                EXPECT_EQ(PixelAt(*pair.framed, x, y), BackgroundText());
    }
}

TEST(ThumbnailMaker, SmallPictureKeepsItsPixelsUnscaled)
{
    CLfImage picture = lftest::GradientPicture(50, 40);
    const ThumbnailPixels before = thumbs::PixelsOnBackground(picture);
    const thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(&picture);
    ASSERT_EQ(pair.fitted->width, 50);
    ASSERT_EQ(pair.fitted->height, 40);
    EXPECT_EQ(pair.fitted->rgb, before.rgb);
    EXPECT_EQ(PixelAt(*pair.framed, 18, 13), BackgroundText());
    EXPECT_EQ(PixelAt(*pair.framed, 19, 13), PixelAt(before, 0, 0));
    EXPECT_EQ(PixelAt(*pair.framed, 68, 52), PixelAt(before, 49, 39));
    EXPECT_EQ(PixelAt(*pair.framed, 69, 52), BackgroundText());
}

}  // namespace
