#include "image/CLfImage.h"

#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using lftest::Bgr;

// A 24-bit image whose pixel (x, y) has the grey value values[y][x] (rows bottom-up).
CLfImage GreyRows(const std::vector<std::vector<int>>& rows)
{
    CLfImage img(int64_t(rows[0].size()), int64_t(rows.size()), 24);
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) {
            const uint8_t v = uint8_t(rows[y][x]);
            img.SetPixelColor(int64_t(x), int64_t(y), Bgr(v, v, v));
        }
    return img;
}

std::vector<std::vector<int>> BlueRows(const CLfImage& img)
{
    std::vector<std::vector<int>> out(size_t(img.GetHeight()));
    for (int64_t y = 0; y < img.GetHeight(); ++y)
        for (int64_t x = 0; x < img.GetWidth(); ++x)
            out[size_t(y)].push_back(img.GetPixelColor(x, y).rgbBlue);
    return out;
}

void FillUniform(CLfImage& img, RGBQUAD c)
{
    for (int64_t y = 0; y < img.GetHeight(); ++y) {
        uint8_t* p = img.GetBits(uint32_t(y));
        for (int64_t x = 0; x < img.GetWidth(); ++x, p += 3) {
            p[0] = c.rgbBlue;
            p[1] = c.rgbGreen;
            p[2] = c.rgbRed;
        }
    }
}

// Every pixel equals c; reports the first one that does not.
::testing::AssertionResult IsUniform(const CLfImage& img, RGBQUAD c)
{
    for (int64_t y = 0; y < img.GetHeight(); ++y)
        for (int64_t x = 0; x < img.GetWidth(); ++x) {
            const RGBQUAD got = img.GetPixelColor(x, y);
            if (!lftest::SameColor(got, c))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << int(got.rgbRed) << ","
                                                     << int(got.rgbGreen) << "," << int(got.rgbBlue);
        }
    return ::testing::AssertionSuccess();
}

TEST(Resample, RefusalsAndSameSize)
{
    CLfImage empty;
    EXPECT_FALSE(empty.Resample(4, 4, 3));
    CLfImage img = GreyRows({{1, 2}, {3, 4}});
    EXPECT_FALSE(img.Resample(0, 10, 3));
    EXPECT_FALSE(img.Resample(10, 0, 3));
    EXPECT_FALSE(img.Resample(-2, 10, 3));

    const uint8_t* before = img.dib;
    EXPECT_TRUE(img.Resample(2, 2, 3));
    EXPECT_EQ(img.dib, before);  // nothing happened

    CLfImage copy;
    EXPECT_TRUE(img.Resample(2, 2, 3, &copy));
    EXPECT_EQ(BlueRows(copy), BlueRows(img));
    EXPECT_NE(copy.dib, img.dib);
}

TEST(Resample, AreaAverageOfTwoByTwoBlocksIsExact)
{
    CLfImage img = GreyRows({{0, 1, 10, 20}, {2, 4, 30, 41}, {255, 255, 0, 0}, {255, 254, 0, 3}});
    ASSERT_TRUE(img.Resample(2, 2, 3));
    // (0+1+2+4)/4 = 1.75, (10+20+30+41)/4 = 25.25, (255*3+254)/4 = 254.75, 3/4: truncated.
    EXPECT_EQ(BlueRows(img), (std::vector<std::vector<int>>{{1, 25}, {254, 0}}));
}

TEST(Resample, AreaAverageWeighsPartialPixelsByTheirOverlap)
{
    // 4 -> 3 columns: each target covers 4/3 source pixels. Vertically uniform, so
    // the result shows the horizontal weights alone: (1/3 x 255) / (4/3) = 63.75,
    // (2/3 x 255) / (4/3) = 127.5, 255 / (4/3) = 191.25.
    std::vector<std::vector<int>> rows(4, std::vector<int>{0, 255, 0, 255});
    CLfImage img = GreyRows(rows);
    ASSERT_TRUE(img.Resample(3, 3, 3));
    EXPECT_EQ(BlueRows(img), (std::vector<std::vector<int>>(3, std::vector<int>{63, 127, 191})));

    // The same along the rows.
    CLfImage tall = GreyRows({{0, 0, 0, 0}, {255, 255, 255, 255}, {0, 0, 0, 0}, {255, 255, 255, 255}});
    ASSERT_TRUE(tall.Resample(3, 3, 3));
    for (const auto& [y, v] : {std::pair{0, 63}, std::pair{1, 127}, std::pair{2, 191}})
        EXPECT_EQ(tall.GetPixelColor(1, y).rgbBlue, v) << y;
}

struct Uniform {
    int64_t width, height;
    int32_t nw, nh;
};
void PrintTo(const Uniform& c, std::ostream* os)
{
    *os << c.width << "x" << c.height << "->" << c.nw << "x" << c.nh;
}

class ResampleUniform : public ::testing::TestWithParam<Uniform> {};

// Bright pictures reduced by large factors: the sums of a cell pass 2^32, and every
// cell must come out as the picture's colour, whatever the ratio.
TEST_P(ResampleUniform, BrightImageStaysUniform)
{
    const Uniform c = GetParam();
    CLfImage img(c.width, c.height, 24);
    ASSERT_TRUE(img.IsValid()) << img.GetLastError();
    const RGBQUAD colour = Bgr(255, 254, 251);
    FillUniform(img, colour);
    ASSERT_TRUE(img.Resample(c.nw, c.nh, 3));
    EXPECT_EQ(img.GetWidth(), c.nw);
    EXPECT_EQ(img.GetHeight(), c.nh);
    EXPECT_TRUE(IsUniform(img, colour));
}

INSTANTIATE_TEST_SUITE_P(Ratios, ResampleUniform,
                         ::testing::Values(Uniform{12000, 600, 88, 4},  // the thumbnail ratio of 12000 x 9000
                                           Uniform{600, 9000, 4, 66}, Uniform{1500, 1500, 10, 10},
                                           Uniform{1237, 1111, 9, 7}, Uniform{4, 4, 3, 3}, Uniform{101, 67, 88, 66}));

TEST(Resample, PaletteImageTakesBilinearAndNearestIndices)
{
    CLfImage img(4, 4, 8);
    img.SetGrayPalette();
    for (int64_t y = 0; y < 4; ++y)
        for (int64_t x = 0; x < 4; ++x)
            img.SetPixelIndex(x, y, uint8_t(x * 10 + y * 50));
    ASSERT_TRUE(img.Resample(2, 2, 3));
    ASSERT_EQ(img.GetBpp(), 8u);
    // Bilinear at whole source positions: exactly the pixels (0, 0), (2, 0), (0, 2), (2, 2).
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 20);
    EXPECT_EQ(img.GetPixelIndex(0, 1), 100);
    EXPECT_EQ(img.GetPixelIndex(1, 1), 120);
}

TEST(Resample, AutomaticModePicksBilinearUnlessBothSidesShrink)
{
    // Enlarging: bilinear between the two pixels, clamped at the right edge.
    CLfImage wide = GreyRows({{0, 200}});
    ASSERT_TRUE(wide.Resample(4, 1, 3));
    EXPECT_EQ(BlueRows(wide), (std::vector<std::vector<int>>{{0, 100, 200, 200}}));

    // Shrinking the width only: bilinear samples whole pixels, no averaging.
    CLfImage narrow = GreyRows({{10, 20, 30, 40}, {50, 60, 70, 80}});
    ASSERT_TRUE(narrow.Resample(2, 2, 3));
    EXPECT_EQ(BlueRows(narrow), (std::vector<std::vector<int>>{{10, 30}, {50, 70}}));
}

TEST(Resample, NearestPixel)
{
    CLfImage img = GreyRows({{1, 2, 3}, {4, 5, 6}});
    ASSERT_TRUE(img.Resample(2, 1, 1));
    EXPECT_EQ(BlueRows(img), (std::vector<std::vector<int>>{{1, 2}}));  // x 1.5 -> 1

    CLfImage pal(3, 1, 4);
    pal.SetPaletteColor(0, 0, 0, 0);
    pal.SetPaletteColor(7, 255, 0, 0);
    pal.SetPixelIndex(2, 0, 7);
    ASSERT_TRUE(pal.Resample(6, 1, 1));
    EXPECT_EQ(pal.GetBpp(), 4u);
    EXPECT_EQ(pal.GetPixelIndex(4, 0), 7);
    EXPECT_EQ(pal.GetPixelIndex(3, 0), 0);
}

TEST(Resample, BicubicKeepsUniformImagesAndItsKernelSumsToOne)
{
    // The four taps of a position t lie at distances t + 1, t, t - 1 and t - 2.
    for (float t : {0.0f, 0.25f, 0.5f, 0.9f}) {
        const float sum = CLfImage::KernelBSpline(t + 1) + CLfImage::KernelBSpline(t) +
                          CLfImage::KernelBSpline(t - 1) + CLfImage::KernelBSpline(t - 2);
        EXPECT_NEAR(sum, 1.0f, 1e-5f) << t;
    }
    EXPECT_NEAR(CLfImage::KernelBSpline(0), 2.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(CLfImage::KernelBSpline(1.5f), 1.0f / 48, 1e-6f);
    EXPECT_NEAR(CLfImage::KernelBSpline(-1.5f), 1.0f / 48, 1e-6f);
    // Zero, never negative, from a distance of 2 on.
    for (float t : {2.0f, 2.5f, 3.0f, 7.0f, -2.5f})
        EXPECT_EQ(CLfImage::KernelBSpline(t), 0.0f) << t;

    for (auto [nw, nh] : {std::pair{13, 9}, std::pair{3, 2}}) {
        CLfImage img(7, 5, 24);
        FillUniform(img, Bgr(10, 200, 77));
        ASSERT_TRUE(img.Resample(nw, nh, 2));
        EXPECT_TRUE(IsUniform(img, Bgr(10, 200, 77)));
    }
}

TEST(Resample, BicubicSmoothsAStep)
{
    CLfImage img = GreyRows({{0, 0, 0, 0, 255, 255, 255, 255}});
    ASSERT_TRUE(img.Resample(16, 1, 2));
    const auto row = BlueRows(img)[0];
    EXPECT_EQ(row.front(), 0);
    EXPECT_EQ(row.back(), 255);
    for (size_t i = 1; i < row.size(); ++i)
        EXPECT_GE(row[i], row[i - 1]) << i;  // non-negative weights: no ringing
    EXPECT_GT(row[8], 0);
    EXPECT_LT(row[8], 255);
}

TEST(Resample, BicubicRowsWiderThanItsColumnTable)
{
    // Past 65536 columns the column weights are made block by block: columns on
    // both sides of the block edge still weigh the right source pixels.
    const std::vector<int> source = {0, 0, 0, 0, 255, 255, 255, 255};
    CLfImage img = GreyRows({source});
    const int32_t nw = 140000;
    ASSERT_TRUE(img.Resample(nw, 1, 2));
    const auto row = BlueRows(img)[0];
    const float scale = float(source.size()) / float(nw);
    for (int64_t x : {0, 65535, 65536, 65537, 100000, 139999}) {
        const float fx = float(x) * scale - 0.5f;
        const int64_t ix = int64_t(std::floor(fx));
        double expected = 0;
        for (int n = -1; n <= 2; ++n) {
            const int64_t at = std::clamp<int64_t>(ix + n, 0, int64_t(source.size()) - 1);
            expected += CLfImage::KernelBSpline(fx - float(ix) - float(n)) * source[size_t(at)];
        }
        EXPECT_NEAR(row[size_t(x)], expected, 1.0) << x;
    }

    // A target row of two billion 1-bit pixels passes the size gate; the weights
    // must not need memory in proportion to it (stopped at once to stay quick).
    CLfImage bits(1, 1, 1);
    bits.info.escape = 1;
    ASSERT_TRUE(bits.Resample(2000000000, 1, 2));
    EXPECT_EQ(bits.GetWidth(), 2000000000);
}

TEST(Resample, AlphaFollowsByNearestPixelInEveryMode)
{
    for (int mode : {0, 1, 2, 3}) {
        CLfImage img(4, 4, 24);
        ASSERT_TRUE(img.AlphaCreate());
        for (int64_t y = 0; y < 4; ++y)
            for (int64_t x = 0; x < 4; ++x)
                img.AlphaSet(x, y, uint8_t(x + 10 * y));
        ASSERT_TRUE(img.Resample(2, 2, mode));
        ASSERT_NE(img.alpha, nullptr) << mode;
        EXPECT_EQ(img.AlphaGet(0, 0), 0) << mode;
        EXPECT_EQ(img.AlphaGet(1, 0), 2) << mode;
        EXPECT_EQ(img.AlphaGet(0, 1), 20) << mode;
        EXPECT_EQ(img.AlphaGet(1, 1), 22) << mode;
    }
}

TEST(Resample, DestinationLeavesTheSourceAndKeepsSettings)
{
    CLfImage img = GreyRows({{1, 2, 3, 4}, {5, 6, 7, 8}});
    img.SetXDPI(300);
    img.info.type = lfimg::kTypeBMP;
    CLfImage out;
    ASSERT_TRUE(img.Resample(8, 4, 3, &out));
    EXPECT_EQ(img.GetWidth(), 4);
    EXPECT_EQ(out.GetWidth(), 8);
    EXPECT_EQ(out.info.xDpi, 300);
    EXPECT_EQ(out.header.biXPelsPerMeter, 11811);
    EXPECT_EQ(out.GetType(), lfimg::kTypeBMP);
}

TEST(Resample, EscapeStopsEarlyButStillSucceeds)
{
    CLfImage img(64, 64, 24);
    FillUniform(img, Bgr(9, 9, 9));
    img.info.escape = 1;
    for (int mode : {1, 2, 3}) {
        CLfImage out;
        EXPECT_TRUE(img.Resample(16, 16, mode, &out)) << mode;
        EXPECT_EQ(out.GetWidth(), 16);
        // Stopped before the first row: the unwritten rows are blank.
        EXPECT_TRUE(lftest::SameColor(out.GetPixelColor(15, 15), Bgr(0, 0, 0))) << mode;
    }
}

}  // namespace
