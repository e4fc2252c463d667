// Fourier transforms and the curvature repair.

#include "image/CLfImage.h"
#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace lftest;

TEST(Fourier, IsPowerOf2)
{
    const std::pair<int64_t, bool> cases[] = {{1, true},  {2, true},   {64, true},        {1 << 30, true},
                                              {0, false}, {-4, false}, {6, false},        {100, false},
                                              {INT64_MIN, false}, {int64_t{1} << 40, true}, {3, false}};
    for (const auto& [n, expected] : cases) EXPECT_EQ(CLfImage::IsPowerOf2(n), expected) << n;
}

TEST(Fourier, ForwardTransformOfKnownPatterns)
{
    // A constant: everything in the zero frequency, divided by n.
    std::vector<double> x(4, 1.0), y(4, 0.0);
    ASSERT_TRUE(CLfImage::FFT(1, 2, x.data(), y.data()));
    const double constant[4] = {1, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(x[i], constant[i], 1e-12) << i;
        EXPECT_NEAR(y[i], 0.0, 1e-12) << i;
    }
    // One cosine period over four samples: half in frequency 1, half in frequency 3.
    x = {1, 0, -1, 0};
    y.assign(4, 0.0);
    ASSERT_TRUE(CLfImage::FFT(1, 2, x.data(), y.data()));
    const double cosine[4] = {0, 0.5, 0, 0.5};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(x[i], cosine[i], 1e-12) << i;
        EXPECT_NEAR(y[i], 0.0, 1e-12) << i;
    }
    // One sine period: e^(-i...) puts -i/2 at frequency 1.
    x = {0, 1, 0, -1};
    y.assign(4, 0.0);
    ASSERT_TRUE(CLfImage::FFT(1, 2, x.data(), y.data()));
    EXPECT_NEAR(y[1], -0.5, 1e-12);
    EXPECT_NEAR(y[3], 0.5, 1e-12);
}

TEST(Fourier, FastAndDirectTransformsAgree)
{
    for (int direction : {1, -1}) {
        std::vector<double> fx(16), fy(16);
        for (int i = 0; i < 16; ++i) {
            fx[i] = std::sin(i * 1.3) * 40 + i;
            fy[i] = std::cos(i * 0.7) * 9;
        }
        std::vector<double> dx = fx, dy = fy, s1(16), s2(16);
        ASSERT_TRUE(CLfImage::FFT(direction, 4, fx.data(), fy.data()));
        ASSERT_TRUE(CLfImage::DFT(direction, 16, dx.data(), dy.data(), s1.data(), s2.data()));
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(fx[i], dx[i], 1e-3) << direction << " " << i;
            EXPECT_NEAR(fy[i], dy[i], 1e-3) << direction << " " << i;
        }
    }
}

TEST(Fourier, InverseUndoesForward)
{
    std::vector<double> x = {3, -1, 4, 1, -5, 9, 2, 6}, y = {0, 1, 0, -2, 0, 3, 0, 0};
    const auto x0 = x, y0 = y;
    ASSERT_TRUE(CLfImage::FFT(1, 3, x.data(), y.data()));
    ASSERT_TRUE(CLfImage::FFT(-1, 3, x.data(), y.data()));
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(x[i], x0[i], 1e-12);
        EXPECT_NEAR(y[i], y0[i], 1e-12);
    }
    // The direct transform of a length that is not a power of 2.
    std::vector<double> a = {1, 2, 3, 4, 5, 6}, b(6, 0.0), s1(6), s2(6);
    ASSERT_TRUE(CLfImage::DFT(1, 6, a.data(), b.data(), s1.data(), s2.data()));
    EXPECT_NEAR(a[0], 3.5, 1e-6);  // the mean
    ASSERT_TRUE(CLfImage::DFT(-1, 6, a.data(), b.data(), s1.data(), s2.data()));
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(a[i], i + 1, 1e-4);
}

TEST(Fourier, RefusesBadArguments)
{
    double x[4] = {}, y[4] = {};
    EXPECT_FALSE(CLfImage::FFT(1, -1, x, y));
    EXPECT_FALSE(CLfImage::FFT(1, 31, x, y));
    EXPECT_FALSE(CLfImage::FFT(1, 2, nullptr, y));
    EXPECT_FALSE(CLfImage::DFT(1, 0, x, y, x, y));
    EXPECT_FALSE(CLfImage::DFT(1, 4, x, y, nullptr, y));
}

TEST(Repair, ChannelStepOnASpike)
{
    // A spike of 100 in zeros: Ixx = Iyy = -200, no gradient, so the step is -400
    // times the radius. The radius is single precision: 0.1f is a little above 0.1.
    for (const auto& [radius, centre] :
         {std::pair{0.125f, 50}, std::pair{0.25f, 0}, std::pair{-0.125f, 150}, std::pair{0.1f, 59}}) {
        CLfImage ch;
        MakeGrey(ch, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? 100 : 0; });
        ASSERT_TRUE(CLfImage::RepairChannel(&ch, radius));
        EXPECT_EQ(ch.GetPixelIndex(1, 1), centre) << radius;
        EXPECT_EQ(ch.GetPixelIndex(0, 1), 0);
    }
}

TEST(Repair, ChannelKeepsConstantsAndBorders)
{
    CLfImage flat;
    MakeGrey(flat, 5, 4, [](int, int) { return 42; });
    ASSERT_TRUE(CLfImage::RepairChannel(&flat, 0.7f));
    EXPECT_EQ(Indices(flat), std::vector<uint8_t>(20, 42));

    CLfImage ramp;
    MakeGrey(ramp, 5, 4, [](int x, int y) { return (x * 37 + y * 91) % 256; });
    const auto before = Indices(ramp);
    ASSERT_TRUE(CLfImage::RepairChannel(&ramp, 0.3f));
    const auto after = Indices(ramp);
    bool interiorChanged = false;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const bool border = x == 0 || y == 0 || x == 4 || y == 3;
            if (border) EXPECT_EQ(after[5 * y + x], before[5 * y + x]) << x << "," << y;
            else interiorChanged = interiorChanged || after[5 * y + x] != before[5 * y + x];
        }
    }
    EXPECT_TRUE(interiorChanged);

    EXPECT_FALSE(CLfImage::RepairChannel(nullptr, 1.0f));
    CLfImage rgb;
    MakeRgb(rgb, 3, 3, [](int, int) { return Grey(5); });
    EXPECT_FALSE(CLfImage::RepairChannel(&rgb, 1.0f));  // no index to smooth
}

TEST(Repair, SmoothsEachChannelAndRebuildsTheImage)
{
    CLfImage image;
    MakeRgb(image, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? Rgb(100, 7, 200) : Rgb(0, 7, 200); });
    image.info.type = 3;
    image.AlphaCreate();
    image.AlphaSet(2, 0, 33);
    ASSERT_TRUE(image.Repair(0.125f, 1, 0));
    EXPECT_EQ(image.GetBpp(), 24u);
    EXPECT_EQ(image.GetType(), 0u);
    EXPECT_EQ(Str(Colour(image, 1, 1)), Str(Rgb(50, 7, 200)));
    EXPECT_EQ(Str(Colour(image, 0, 0)), Str(Rgb(0, 7, 200)));
    ASSERT_NE(image.alpha, nullptr);
    EXPECT_EQ(image.AlphaGet(2, 0), 33);
    EXPECT_EQ(image.AlphaGet(1, 1), 0);

    // Two iterations repeat the step: 50 - 0.125 x 200 = 25.
    CLfImage twice;
    MakeRgb(twice, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? Grey(100) : Grey(0); });
    ASSERT_TRUE(twice.Repair(0.125f, 2, 0));
    EXPECT_EQ(Str(Colour(twice, 1, 1)), Str(Grey(25)));
    EXPECT_EQ(twice.alpha, nullptr);

    CLfImage empty;
    EXPECT_FALSE(empty.Repair(0.1f, 1, 0));
}

TEST(Repair, OtherSpacesGoThroughTheirConversions)
{
    const RGBQUAD c = Rgb(180, 90, 60);
    for (int32_t space = 1; space <= 4; ++space) {
        CLfImage image;
        MakeRgb(image, 4, 4, [&](int, int) { return c; });
        ASSERT_TRUE(image.Repair(0.5f, 3, space));
        // A uniform image stays uniform: each pixel is its colour's trip through the space.
        RGBQUAD trip;
        switch (space) {
            case 1: trip = CLfImage::HSLtoRGB(CLfImage::RGBtoHSL(c)); break;
            case 2: trip = CLfImage::YUVtoRGB(CLfImage::RGBtoYUV(c)); break;
            case 3: trip = CLfImage::YIQtoRGB(CLfImage::RGBtoYIQ(c)); break;
            default: trip = CLfImage::XYZtoRGB(CLfImage::RGBtoXYZ(c)); break;
        }
        EXPECT_EQ(Strs(Pixels(image)), Strs(std::vector<RGBQUAD>(16, trip))) << space;
    }
}

TEST(Fourier2D, ZeroGridStaysAtTheMiddle)
{
    CLfImage re, im, outRe, outIm;
    MakeGrey(re, 16, 8, [](int, int) { return 128; });
    MakeGrey(im, 16, 8, [](int, int) { return 128; });
    CLfImage dummy;
    ASSERT_TRUE(dummy.FFT2(&re, &im, &outRe, &outIm, 1));
    EXPECT_EQ(Indices(outRe), std::vector<uint8_t>(128, 128));
    EXPECT_EQ(Indices(outIm), std::vector<uint8_t>(128, 128));
}

TEST(Fourier2D, MissingImaginaryPartStartsAtMinus128)
{
    // Real part 0 everywhere, imaginary -128: only the modulus of the zero
    // frequency is non-zero, 4 x (ln 128 + 3) = 31.4 at scale 16 / 16 x 4.
    CLfImage re, outRe;
    MakeGrey(re, 16, 16, [](int, int) { return 128; });
    CLfImage dummy;
    ASSERT_TRUE(dummy.FFT2(&re, nullptr, &outRe, nullptr, 1, false, true));
    std::vector<uint8_t> expected(256, 0);
    expected[0] = 31;
    EXPECT_EQ(Indices(outRe), expected);
}

TEST(Fourier2D, ADestinationWithoutItsSourceIsTheInput)
{
    CLfImage re;
    MakeGrey(re, 16, 16, [](int, int) { return 128; });
    CLfImage dummy;
    // An imaginary destination holding a constant 0 (index 128) and one holding
    // -128 (index 0): the first stays all 128, the second puts -128 at frequency 0.
    for (const auto& [fill, corner] : {std::pair{128, 128}, std::pair{0, 0}}) {
        CLfImage outRe, outIm;
        MakeGrey(outIm, 16, 16, [&](int, int) { return fill; });
        ASSERT_TRUE(dummy.FFT2(&re, nullptr, &outRe, &outIm, 1)) << fill;
        std::vector<uint8_t> expected(256, 128);
        expected[0] = uint8_t(corner);
        EXPECT_EQ(Indices(outIm), expected) << fill;
        EXPECT_EQ(Indices(outRe), std::vector<uint8_t>(256, 128)) << fill;
    }
    // An empty destination without a source has nothing to transform.
    CLfImage outRe, emptyIm;
    EXPECT_FALSE(dummy.FFT2(&re, nullptr, &outRe, &emptyIm, 1));
    EXPECT_EQ(emptyIm.dib, nullptr);
    EXPECT_EQ(outRe.dib, nullptr);
}

TEST(Fourier2D, CosinePatternPeaksAtItsFrequency)
{
    // Rows of 128 + 65 cos(2 pi x / 4): frequency 4 of 16, amplitude 65 / 2 in
    // bins 4 and 12 of row 0.
    CLfImage re, outRe, outIm;
    const uint8_t period[4] = {193, 128, 63, 128};
    MakeGrey(re, 16, 16, [&](int x, int) { return period[x % 4]; });
    const auto sourceBefore = Indices(re);
    CLfImage im;
    MakeGrey(im, 16, 16, [](int, int) { return 128; });
    CLfImage dummy;
    ASSERT_TRUE(dummy.FFT2(&re, &im, &outRe, &outIm, 1));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool peak = y == 0 && (x == 4 || x == 12);
            // 160.5 at the peaks; rounding noise may put the zero bins just below 128.
            EXPECT_NEAR(outRe.GetPixelIndex(x, y), peak ? 160 : 128, peak ? 0 : 1) << x << "," << y;
            EXPECT_NEAR(outIm.GetPixelIndex(x, y), 128, 1) << x << "," << y;
        }
    }
    EXPECT_EQ(Indices(re), sourceBefore);

    // The direct transform of lengths that are not powers of 2 finds the same peak.
    CLfImage odd, oddRe;
    MakeGrey(odd, 12, 3, [&](int x, int) { return period[x % 4]; });
    ASSERT_TRUE(dummy.FFT2(&odd, &im, &oddRe, nullptr, 1));
    // Scale 12 / 16: 0.75 x 32.5 + 128.
    EXPECT_NEAR(oddRe.GetPixelIndex(3, 0), 152, 1);
    EXPECT_NEAR(oddRe.GetPixelIndex(2, 0), 128, 1);
}

TEST(Fourier2D, ForcedPowerOf2SizesAndUnchangedSources)
{
    CLfImage src, outRe, outIm;
    MakeRgb(src, 100, 60, [](int x, int y) { return Rgb(uint8_t(x), uint8_t(2 * y), 9); });
    MakeRgb(outIm, 100, 60, [](int, int) { return Grey(128); });
    const auto before = RawBits(src);
    CLfImage dummy;
    ASSERT_TRUE(dummy.FFT2(&src, nullptr, &outRe, &outIm, 1, true, true));
    EXPECT_EQ(outRe.GetWidth(), 128);
    EXPECT_EQ(outRe.GetHeight(), 64);
    EXPECT_EQ(outIm.GetWidth(), 128);
    EXPECT_EQ(outIm.GetBpp(), 8u);
    EXPECT_TRUE(outRe.IsGrayScale());
    // The source keeps its size, depth and pixels.
    EXPECT_EQ(src.GetWidth(), 100);
    EXPECT_EQ(src.GetBpp(), 24u);
    EXPECT_EQ(RawBits(src), before);

    // Without destinations nothing changes anywhere.
    ASSERT_TRUE(dummy.FFT2(&src, nullptr, nullptr, nullptr, -1, false, false));
    EXPECT_EQ(RawBits(src), before);
}

TEST(Fourier2D, RefusesMissingAndOversizedGrids)
{
    CLfImage dummy, empty, out;
    EXPECT_FALSE(dummy.FFT2(nullptr, nullptr, &out, nullptr, 1));
    EXPECT_FALSE(dummy.FFT2(&empty, nullptr, &out, nullptr, 1));
    EXPECT_EQ(out.dib, nullptr);

    // A small 1-bit image whose grid of two doubles per pixel would pass the limit.
    CLfImage wide;
    ASSERT_NE(wide.Create(20000, 2000, 1, 0), nullptr);
    EXPECT_FALSE(dummy.FFT2(&wide, nullptr, &out, nullptr, 1));
    EXPECT_STREQ(dummy.GetLastError(), "LFIMAGE_MAX_MEMORY exceeded");
    CLfImage dummy2;
    EXPECT_FALSE(dummy2.FFT2(&wide, nullptr, &out, nullptr, 1, true));
    EXPECT_STREQ(dummy2.GetLastError(), "LFIMAGE_MAX_MEMORY exceeded");
    EXPECT_EQ(out.dib, nullptr);
}

TEST(Fourier2D, MagnitudeOutput)
{
    // A constant 16 above the middle: the zero frequency holds 16, nothing else.
    CLfImage re, im, outRe, outIm;
    MakeGrey(re, 16, 16, [](int, int) { return 144; });
    MakeGrey(im, 16, 16, [](int, int) { return 128; });
    CLfImage dummy;
    ASSERT_TRUE(dummy.FFT2(&re, &im, &outRe, &outIm, 1, false, true));
    // Scale 1 x 4: 4 x (ln 16 + 3) = 23.09; the phase atan(0 / 16) sits at 128.
    EXPECT_EQ(outRe.GetPixelIndex(0, 0), 23);
    EXPECT_EQ(outIm.GetPixelIndex(0, 0), 128);
    // Empty bins: the logarithm of 0 clamps to 0, the phase of 0 / 0 is atan(0).
    EXPECT_EQ(outRe.GetPixelIndex(5, 7), 0);
    EXPECT_NEAR(outIm.GetPixelIndex(5, 7), 128, 1);
}
