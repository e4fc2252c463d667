#include "editor/model/RotateAngle.h"

#include "tests/editor/DialogImages.h"

#include <gtest/gtest.h>

namespace {

using dlgtest::At;
using dlgtest::Gradient;
using dlgtest::SamePixels;

TEST(RotateAngleTest, TypedAnglesAreNormalised)
{
    struct Case {
        const char* text;
        std::optional<int> angle;
    } cases[] = {
        {"400", 40}, {"720", 0}, {"-90", -90}, {"-450", -90}, {"-", 0}, {"abc", 0}, {"", std::nullopt},
        {"359", 359}, {"99999999999999999999", 1'000'000'000 % 360},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormaliseAngle(c.text), c.angle) << '"' << c.text << '"';
}

TEST(RotateAngleTest, RightFourTimesComesBackToZero)
{
    std::string text = "0";
    const int expected[] = {90, 180, 270, 0};
    for (int angle : expected) {
        const int next = AngleAfterStep(text, 90);
        EXPECT_EQ(next, angle);
        text = std::to_string(next);
    }
    EXPECT_EQ(AngleAfterStep("", 270), 270);
    EXPECT_EQ(AngleAfterStep("90", 270), 0);
}

TEST(RotateAngleTest, QuarterTurnsAreExact)
{
    const CLfImage original = Gradient(5, 3);
    CLfImage right(original);
    ASSERT_TRUE(RotateByDegrees(right, 90));
    ASSERT_EQ(right.GetWidth(), 3);
    ASSERT_EQ(right.GetHeight(), 5);
    // Clockwise: the bottom-left corner comes to the top-left.
    EXPECT_EQ(At(right, 0, 0).rgbBlue, At(original, 0, 2).rgbBlue);
    EXPECT_EQ(At(right, 0, 0).rgbGreen, At(original, 0, 2).rgbGreen);
    EXPECT_EQ(At(right, 2, 0).rgbRed, At(original, 0, 0).rgbRed);

    CLfImage left(original);
    ASSERT_TRUE(RotateByDegrees(left, -90));
    CLfImage threeQuarters(original);
    ASSERT_TRUE(RotateByDegrees(threeQuarters, 270));
    EXPECT_TRUE(SamePixels(left, threeQuarters));
    EXPECT_EQ(left.GetWidth(), 3);

    CLfImage half(original);
    ASSERT_TRUE(RotateByDegrees(half, 180));
    EXPECT_EQ(half.GetWidth(), 5);
    EXPECT_EQ(At(half, 0, 0).rgbRed, At(original, 4, 2).rgbRed);
    EXPECT_EQ(At(half, 0, 0).rgbGreen, At(original, 4, 2).rgbGreen);
}

TEST(RotateAngleTest, ZeroAndFullTurnsChangeNothing)
{
    const CLfImage original = Gradient(5, 3);
    for (int degrees : {0, 360, -720}) {
        CLfImage image(original);
        EXPECT_FALSE(RotateByDegrees(image, degrees)) << degrees;
        EXPECT_TRUE(SamePixels(image, original)) << degrees;
    }
}

TEST(RotateAngleTest, OtherAnglesGrowTheCanvas)
{
    CLfImage image = Gradient(20, 10);
    ASSERT_TRUE(RotateByDegrees(image, 45));
    EXPECT_GT(image.GetWidth(), 20);
    EXPECT_GT(image.GetHeight(), 10);
}

}  // namespace
