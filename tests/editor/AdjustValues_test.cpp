#include "editor/model/AdjustValues.h"

#include "tests/editor/DialogImages.h"

#include <gtest/gtest.h>

namespace {

using dlgtest::At;
using dlgtest::Gradient;
using dlgtest::Rgb;
using dlgtest::SamePixels;

TEST(AdjustValuesTest, SliderMappings)
{
    struct Case {
        int position, level, shift;
    } cases[] = {{0, 100, 100}, {50, 50, 0}, {80, 20, -60}, {100, 0, -100}};
    for (const Case& c : cases) {
        EXPECT_EQ(LevelFromSlider(c.position), c.level);
        EXPECT_EQ(SliderFromLevel(c.level), c.position);
        EXPECT_EQ(ShiftFromSlider(c.position), c.shift);
        EXPECT_EQ(SliderFromShift(c.shift), c.position);
    }
    // Out-of-range values are pulled back by the slider; odd shifts truncate.
    EXPECT_EQ(SliderFromLevel(150), 0);
    EXPECT_EQ(SliderFromLevel(-5), 100);
    EXPECT_EQ(SliderFromShift(-33), 66);
    EXPECT_EQ(SliderFromShift(33), 34);
}

TEST(AdjustValuesTest, BrightnessContrastGammaArguments)
{
    struct Case {
        int brightness, contrast;
        float gamma;
        int32_t b, c;
        float g;
    } cases[] = {
        {50, 50, 20.0f, 0, 0, 1.0f},   {0, 0, 0.0f, -250, -100, 0.1f},
        {100, 100, 100.0f, 250, 100, 5.0f}, {51, 49, 7.0f, 5, -2, 0.35f},
    };
    for (const Case& c : cases) {
        const BrightnessArgs args = BrightnessArgsFor(c.brightness, c.contrast, c.gamma);
        EXPECT_EQ(args.brightness, c.b);
        EXPECT_EQ(args.contrast, c.c);
        EXPECT_FLOAT_EQ(args.gamma, c.g);
    }
}

TEST(AdjustValuesTest, RgbShiftTruncatesTowardZero)
{
    const int values[] = {100, -100, 1, -1, 3, -3, 0};
    const int32_t shifts[] = {250, -250, 2, -2, 7, -7, 0};
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(ShiftArgFor(values[i]), shifts[i]) << values[i];
}

TEST(AdjustValuesTest, DefaultsLeaveTheImageByteIdentical)
{
    const CLfImage original = Gradient(23, 17);
    CLfImage image(original);
    ApplyBrightnessContrastGamma(image, 50, 50, 20.0f);
    EXPECT_TRUE(SamePixels(image, original));
    ApplyShiftRgb(image, 0, 0, 0);
    EXPECT_TRUE(SamePixels(image, original));
    ApplyHueSaturation(image, 0, 0, 0);
    EXPECT_TRUE(SamePixels(image, original));
    ApplyExposure(image, 50, 50, 50.0f);
    EXPECT_TRUE(SamePixels(image, original));
    ApplyBlur(image, 0);
    EXPECT_TRUE(SamePixels(image, original));
}

TEST(AdjustValuesTest, AdjustmentsAreTheLibraryOperationsWithTheMappedArguments)
{
    const CLfImage original = Gradient(23, 17);
    CLfImage adjusted(original);
    ASSERT_TRUE(ApplyBrightnessContrastGamma(adjusted, 60, 70, 30.0f));
    CLfImage expected(original);
    expected.BrightnessContrast(50, 40);
    expected.Gamma(1.5f);
    EXPECT_TRUE(SamePixels(adjusted, expected));
    EXPECT_FALSE(SamePixels(adjusted, original));

    CLfImage shifted(original);
    ASSERT_TRUE(ApplyShiftRgb(shifted, 100, -100, 3));
    // Red is the first column, green the second, blue the third.
    const RGBQUAD p = At(original, 5, 5), q = At(shifted, 5, 5);
    EXPECT_EQ(q.rgbRed, 255);
    EXPECT_EQ(q.rgbGreen, 0);
    EXPECT_EQ(q.rgbBlue, std::min(255, p.rgbBlue + 7));
}

TEST(AdjustValuesTest, HueSaturationBytes)
{
    EXPECT_EQ(HueByteFor(0), 12);
    EXPECT_EQ(HueByteFor(100), 212);
    EXPECT_EQ(SaturationByteFor(1), 52);
    EXPECT_EQ(SaturationByteFor(100), 250);
    const CLfImage original = Gradient(9, 9);
    CLfImage coloured(original);
    ApplyHueSaturation(coloured, 0, 1, 0);
    CLfImage expected(original);
    expected.Colorize(12, 52);
    EXPECT_TRUE(SamePixels(coloured, expected));
    EXPECT_FALSE(SamePixels(coloured, original));
}

TEST(AdjustValuesTest, ExposureAppliesBrightnessAndItsGamma)
{
    CLfImage image = dlgtest::MakeImage(4, 4, [](int, int) { return Rgb(10, 100, 200); });
    ApplyExposure(image, 100, 0, 50.0f);
    EXPECT_EQ(At(image, 1, 1).rgbRed, 210);
    EXPECT_EQ(At(image, 1, 1).rgbGreen, 255);

    const CLfImage original = Gradient(9, 9);
    CLfImage brighter(original);
    ApplyExposure(brighter, 50, 50, 100.0f);
    CLfImage expected(original);
    expected.Gamma(2.0f);
    EXPECT_TRUE(SamePixels(brighter, expected));
    EXPECT_FLOAT_EQ(ExposureGammaFor(0.0f), 0.1f);
}

TEST(AdjustValuesTest, BlurAndSharpenKernels)
{
    EXPECT_EQ(BlurKernel(1), (std::vector<int32_t>{1, 2, 1}));
    EXPECT_EQ(BlurKernel(3), (std::vector<int32_t>{1, 1, 1, 4, 1, 1, 1}));
    EXPECT_EQ(SharpenKernel(0), (std::vector<int32_t>{0, -1, 0, -1, 35, -1, 0, -1, 0}));
    EXPECT_EQ(SharpenKernel(10), (std::vector<int32_t>{0, -1, 0, -1, 5, -1, 0, -1, 0}));

    const CLfImage original = Gradient(12, 10);
    CLfImage blurred(original);
    ApplyBlur(blurred, 1);
    CLfImage expected(original);
    const int32_t taps[] = {1, 2, 1};
    expected.FilterSeparable(taps, 3, 4, 0);
    EXPECT_TRUE(SamePixels(blurred, expected));
    EXPECT_FALSE(SamePixels(blurred, original));

    CLfImage sharpened(original);
    ApplySharpen(sharpened, 0);
    CLfImage mild(original);
    const int32_t cross[] = {0, -1, 0, -1, 35, -1, 0, -1, 0};
    mild.Filter(cross, 3, 31, 0);
    EXPECT_TRUE(SamePixels(sharpened, mild));
}

TEST(AdjustValuesTest, FlipKindAppliesOnceAndCanvasGivesTheOfferedSize)
{
    const CLfImage original = Gradient(6, 4);
    CLfImage flipped(original);
    ApplyFlipKind(flipped, 1);
    EXPECT_EQ(At(flipped, 2, 0).rgbGreen, At(original, 2, 3).rgbGreen);
    CLfImage mirrored(original);
    ApplyFlipKind(mirrored, 2);
    EXPECT_EQ(At(mirrored, 0, 1).rgbRed, At(original, 5, 1).rgbRed);
    CLfImage untouched(original);
    ApplyFlipKind(untouched, 0);
    EXPECT_TRUE(SamePixels(untouched, original));

    struct Case {
        int w, h;
    } sizes[] = {{4, 2}, {10, 8}, {4, 8}, {10, 2}};
    for (const Case& c : sizes) {
        CLfImage canvas(original);
        ASSERT_TRUE(ApplyCanvasSize(canvas, c.w, c.h));
        EXPECT_EQ(canvas.GetWidth(), c.w);
        EXPECT_EQ(canvas.GetHeight(), c.h);
    }
    // The smaller canvas keeps the centre.
    CLfImage centre(original);
    ApplyCanvasSize(centre, 4, 2);
    EXPECT_EQ(At(centre, 0, 0).rgbRed, At(original, 1, 1).rgbRed);
    EXPECT_EQ(At(centre, 0, 0).rgbGreen, At(original, 1, 1).rgbGreen);
    // The larger canvas centres the image on white.
    CLfImage larger(original);
    ApplyCanvasSize(larger, 10, 8);
    EXPECT_EQ(At(larger, 0, 0).rgbGreen, 255);
    EXPECT_EQ(At(larger, 2, 2).rgbGreen, At(original, 0, 0).rgbGreen);
}

}  // namespace
