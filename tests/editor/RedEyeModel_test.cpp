#include "editor/model/RedEyeModel.h"

#include "tests/editor/DialogImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

using dlgtest::At;
using dlgtest::Rgb;

TEST(RedEyeBoxTest, FirstPickShrinksTheBoxSixTimes)
{
    RedEyeBox box(1600, 1200);
    EXPECT_EQ(box.Side(), 120);
    box.PickTop(100, 50, 0, 0, 0.25f);
    EXPECT_EQ(box.Side(), 63);
    EXPECT_EQ(box.CentreX(), 400);
    EXPECT_EQ(box.CentreY(), 200);
    // The next top-pane pick keeps the box where it is; the one after moves it.
    box.PickTop(10, 10, 0, 0, 0.25f);
    EXPECT_EQ(box.CentreX(), 400);
    box.PickTop(20, 10, 4, 2, 0.25f);
    EXPECT_EQ(box.CentreX(), 64);
    EXPECT_EQ(box.CentreY(), 32);
    EXPECT_EQ(box.Side(), 63);
}

// A zoom step between the first and the second pick takes the first pick's marker, so
// the second pick moves the box.
TEST(RedEyeBoxTest, AZoomStepAfterTheFirstPickLetsTheNextPickMove)
{
    RedEyeBox box(1600, 1200);
    box.PickTop(100, 50, 0, 0, 0.25f);
    EXPECT_TRUE(box.ZoomIn());
    EXPECT_EQ(box.Side(), 56);
    box.PickTop(20, 10, 0, 0, 0.25f);
    EXPECT_EQ(box.CentreX(), 80);
    EXPECT_EQ(box.CentreY(), 40);
}

TEST(RedEyeBoxTest, ZoomStepsStopAtTheirLimits)
{
    RedEyeBox box(1600, 1200);
    while (box.ZoomIn()) {
    }
    EXPECT_GE(box.Side(), 11);
    EXPECT_LE(box.Side(), 12);
    RedEyeBox small(90, 90);
    EXPECT_EQ(small.Side(), 9);
    EXPECT_TRUE(small.ZoomOut());
    EXPECT_EQ(small.Side(), 9);  // the step truncates back to the same size
    RedEyeBox big(4000, 4000);
    for (int i = 0; i < 50 && big.ZoomOut(); ++i) {
    }
    EXPECT_GE(big.Side(), 200);
    EXPECT_FALSE(big.ZoomOut());
}

TEST(RedEyeBoxTest, BoxStartsAtTheCentreAndTinyImagesKeepAPixel)
{
    RedEyeBox box(400, 300);
    EXPECT_EQ(box.Side(), 30);
    const RedEyeRect r = box.Rect();
    EXPECT_EQ(r.left, 185);
    EXPECT_EQ(r.top, 135);
    EXPECT_EQ(r.right, 215);
    EXPECT_EQ(r.bottom, 165);
    box.ZoomIn();
    EXPECT_EQ(box.CentreX(), 200);
    RedEyeBox tiny(3, 2);
    EXPECT_EQ(tiny.Side(), 1);
}

TEST(RedEyeBoxTest, ZoomPanePickRecentres)
{
    RedEyeBox box(1600, 1200);
    box.PickTop(100, 50, 0, 0, 0.25f);  // box 63 around (400, 200)
    box.PickZoom(75, 75);
    EXPECT_EQ(box.CentreX(), 400);
    EXPECT_EQ(box.CentreY(), 200);
    box.PickZoom(149, 75);
    EXPECT_EQ(box.CentreX(), 400 + static_cast<int>(74 * 63.0 / 150));
    EXPECT_EQ(box.CentreY(), 200);
}

TEST(RedEyeMathsTest, LabRoundTripAndWeights)
{
    for (const auto& c : {Rgb(200, 30, 30), Rgb(128, 128, 128), Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(10, 200, 90)}) {
        const auto lab = RgbToLab(c.rgbRed / 255.0, c.rgbGreen / 255.0, c.rgbBlue / 255.0);
        const auto rgb = LabToRgb(lab[0], lab[1], lab[2]);
        EXPECT_NEAR(rgb[0] * 255.0, c.rgbRed, 0.05);
        EXPECT_NEAR(rgb[1] * 255.0, c.rgbGreen, 0.05);
        EXPECT_NEAR(rgb[2] * 255.0, c.rgbBlue, 0.05);
    }
    const auto white = RgbToLab(1.0, 1.0, 1.0);
    EXPECT_NEAR(white[0], 100.0, 0.01);
    EXPECT_NEAR(white[1], 0.0, 0.01);
    // Pure red at the centre loses all colour; outside the circle or greenish keeps it.
    EXPECT_DOUBLE_EQ(RedEyeWeight(25, 100.0, 200, 30, 30), 1.0 - std::exp(-0.25 - 60 / 200.001 / 2.85));
    EXPECT_NEAR(RedEyeWeight(0, 100.0, 255, 0, 0), 0.0, 1e-12);
    EXPECT_EQ(RedEyeWeight(101, 100.0, 255, 0, 0), 1.0);
    EXPECT_EQ(RedEyeWeight(0, 100.0, 50, 60, 60), 1.0);
    EXPECT_EQ(RedEyeWeight(0, 0.0, 255, 0, 0), 1.0);
}

// A red disc of radius 6 around (20, 20) on grey.
CLfImage RedDiscOnGrey()
{
    return dlgtest::MakeImage(40, 40, [](int x, int y) {
        const int d2 = (x - 20) * (x - 20) + (y - 20) * (y - 20);
        return d2 <= 36 ? Rgb(200, 30, 30) : Rgb(128, 128, 128);
    });
}

TEST(RedEyeMathsTest, FixTakesTheRedOutOfTheDiscOnly)
{
    const CLfImage original = RedDiscOnGrey();
    CLfImage image(original);
    const RedEyeRect box{10, 10, 30, 30};
    ASSERT_TRUE(FixRedEye(image, box));
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const RGBQUAD before = At(original, x, y), after = At(image, x, y);
            const int d2 = (x - 20) * (x - 20) + (y - 20) * (y - 20);
            const bool inBox = x >= 10 && x < 30 && y >= 10 && y < 30;
            if (d2 <= 16) {
                // The disc's red stood 170 above green and blue; near the centre at most
                // a third of that is left, at the very centre about a tenth.
                const int bound = d2 <= 1 ? 25 : 170 / 3;
                EXPECT_LT(std::abs(after.rgbRed - after.rgbGreen), bound) << x << "," << y;
                EXPECT_LT(std::abs(after.rgbRed - after.rgbBlue), bound) << x << "," << y;
            } else if (!inBox || d2 > 100) {
                // Outside the box, and in its corners outside the circle: untouched.
                EXPECT_EQ(after.rgbRed, before.rgbRed) << x << "," << y;
                EXPECT_EQ(after.rgbGreen, before.rgbGreen) << x << "," << y;
                EXPECT_EQ(after.rgbBlue, before.rgbBlue) << x << "," << y;
            } else if (d2 > 36) {
                // Grey inside the circle keeps its grey, apart from the written bytes' rounding.
                EXPECT_NEAR(after.rgbRed, 128, 1) << x << "," << y;
                EXPECT_NEAR(after.rgbGreen, 128, 1) << x << "," << y;
                EXPECT_NEAR(after.rgbBlue, 128, 1) << x << "," << y;
            }
        }
    }
    // The centre keeps its lightness: it is now a grey of about the disc's lightness.
    const RGBQUAD centre = At(image, 20, 20);
    EXPECT_GT(centre.rgbRed, 60);
    EXPECT_LT(centre.rgbRed, 130);
}

TEST(RedEyeMathsTest, PaletteImagesAreRaisedAndBoxesOutsideAreSafe)
{
    CLfImage palette;
    palette.Create(8, 8, 8);
    palette.SetPaletteColor(0, 220, 20, 20);
    palette.Clear(0);
    ASSERT_TRUE(FixRedEye(palette, RedEyeRect{0, 0, 8, 8}));
    EXPECT_EQ(palette.GetBpp(), 24u);
    const RGBQUAD centre = At(palette, 4, 4);
    EXPECT_LT(std::abs(centre.rgbRed - centre.rgbGreen), 45);

    CLfImage tiny = RedDiscOnGrey();
    EXPECT_TRUE(FixRedEye(tiny, RedEyeRect{-50, -50, 500, 500}));
    EXPECT_TRUE(FixRedEye(tiny, RedEyeRect{5, 5, 5, 5}));
    CLfImage empty;
    EXPECT_FALSE(FixRedEye(empty, RedEyeRect{0, 0, 4, 4}));
}

}  // namespace
