#include "editor/model/DisplayBitmapMaker.h"

#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Rgb = std::array<uint8_t, 3>;

// Every pixel a colour of its own position; x and y count from the top-left.
CLfImage Gradient(int32_t w, int32_t h)
{
    CLfImage img(w, h, 24);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            img.SetPixelColor(x, h - 1 - y, lftest::Rgb(uint8_t(x * 7), uint8_t(y * 5), uint8_t(x + y)));
    return img;
}

Rgb At(const CLfImage& img, int32_t x, int32_t y)
{
    const RGBQUAD q = img.GetPixelColor(x, img.GetHeight() - 1 - y);
    return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

Rgb Out(const std::vector<uint8_t>& rgb, int32_t width, int32_t x, int32_t y)
{
    const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

constexpr COLORREF kGrey = RGB(70, 70, 70);

TEST(DisplayBitmapMaker, DisplaySizeTruncates)
{
    const CLfImage img = Gradient(4000 / 40, 3000 / 40);
    EXPECT_EQ(DisplayBitmapMaker::DisplaySize(img, 0.2f).cx, 20);
    EXPECT_EQ(DisplayBitmapMaker::DisplaySize(img, 1.6f).cx, 160);
    EXPECT_EQ(DisplayBitmapMaker::DisplaySize(img, 0.001f).cx, 1) << "a real image shows at least one pixel";
    EXPECT_EQ(DisplayBitmapMaker::DisplaySize(img, 0.0f).cx, 0);
}

TEST(DisplayBitmapMaker, FullSizeIsThePixelsAndOutsideIsBackground)
{
    const CLfImage img = Gradient(13, 9);
    DisplayBitmapMaker maker;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(maker.Make(img, 1.0f, {-2, -1, 15, 10}, kGrey, rgb));
    ASSERT_EQ(rgb.size(), size_t(17 * 11 * 3));
    for (int32_t y = 0; y < 11; ++y)
        for (int32_t x = 0; x < 17; ++x) {
            const int32_t ix = x - 2, iy = y - 1;
            const bool inside = ix >= 0 && ix < 13 && iy >= 0 && iy < 9;
            const Rgb want = inside ? At(img, ix, iy) : Rgb{70, 70, 70};
            ASSERT_EQ(Out(rgb, 17, x, y), want) << x << "," << y;
        }
}

TEST(DisplayBitmapMaker, EnlargedPixelsAreBlocks)
{
    const CLfImage img = Gradient(5, 4);
    DisplayBitmapMaker maker;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(maker.Make(img, 3.0f, {0, 0, 15, 12}, kGrey, rgb));
    for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 15; ++x)
            ASSERT_EQ(Out(rgb, 15, x, y), At(img, x / 3, y / 3)) << x << "," << y;
}

TEST(DisplayBitmapMaker, ReducedPixelsAverageWhatTheyCover)
{
    // 2 x 2 blocks: one plain block, one black-and-white checker.
    CLfImage img(4, 2, 24);
    const RGBQUAD red = lftest::Rgb(200, 10, 10), black = lftest::Rgb(0, 0, 0), white = lftest::Rgb(255, 255, 255);
    for (int32_t y = 0; y < 2; ++y) {
        img.SetPixelColor(0, y, red);
        img.SetPixelColor(1, y, red);
        img.SetPixelColor(2, y, (y == 0) ? black : white);
        img.SetPixelColor(3, y, (y == 0) ? white : black);
    }
    DisplayBitmapMaker maker;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(maker.Make(img, 0.5f, {0, 0, 2, 1}, kGrey, rgb));
    EXPECT_EQ(Out(rgb, 2, 0, 0), (Rgb{200, 10, 10}));
    const Rgb mixed = Out(rgb, 2, 1, 0);
    EXPECT_NEAR(mixed[0], 128, 1);
    EXPECT_NEAR(mixed[1], 128, 1);
}

TEST(DisplayBitmapMaker, AnyAreaEqualsThatPartOfTheWholeDisplay)
{
    const CLfImage img = Gradient(211, 157);
    for (float scale : {0.2f, 0.37f, 1.0f, 1.6f, 3.0f}) {
        const SIZE d = DisplayBitmapMaker::DisplaySize(img, scale);
        DisplayBitmapMaker maker;
        std::vector<uint8_t> whole, part;
        ASSERT_TRUE(maker.Make(img, scale, {0, 0, d.cx, d.cy}, kGrey, whole));
        const RECT area{d.cx / 3, d.cy / 4, d.cx / 3 + d.cx / 2, d.cy / 4 + d.cy / 2};
        ASSERT_TRUE(maker.Make(img, scale, area, kGrey, part));
        const int32_t w = area.right - area.left;
        for (int32_t y = 0; y < area.bottom - area.top; ++y)
            for (int32_t x = 0; x < w; ++x)
                ASSERT_EQ(Out(part, w, x, y), Out(whole, d.cx, x + area.left, y + area.top))
                    << "scale " << scale << " at " << x << "," << y;
    }
}

TEST(DisplayBitmapMaker, PaletteDepthsReadThroughThePalette)
{
    for (uint32_t bpp : {1u, 4u, 8u}) {
        CLfImage img(9, 3, bpp);
        const uint32_t colours = 1u << bpp;
        for (uint32_t i = 0; i < colours && i < 256; ++i)
            img.SetPaletteColor(uint8_t(i), uint8_t(i * 13), uint8_t(255 - i), uint8_t(i * 3));
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 9; ++x)
                img.SetPixelIndex(x, 2 - y, uint8_t((x + y) % colours));
        DisplayBitmapMaker maker;
        std::vector<uint8_t> rgb;
        ASSERT_TRUE(maker.Make(img, 1.0f, {0, 0, 9, 3}, kGrey, rgb));
        for (int32_t y = 0; y < 3; ++y)
            for (int32_t x = 0; x < 9; ++x) {
                const uint32_t i = (x + y) % colours;
                ASSERT_EQ(Out(rgb, 9, x, y), (Rgb{uint8_t(i * 13), uint8_t(255 - i), uint8_t(i * 3)}))
                    << bpp << " bits at " << x << "," << y;
            }
    }
}

TEST(DisplayBitmapMaker, AlphaIsBlendedOntoTheBackground)
{
    CLfImage img(2, 1, 24);
    img.SetPixelColor(0, 0, lftest::Rgb(250, 250, 250));
    img.SetPixelColor(1, 0, lftest::Rgb(250, 250, 250));
    ASSERT_TRUE(img.AlphaCreate());
    img.AlphaSet(0, 0, 0);
    img.AlphaSet(1, 0, 255);
    DisplayBitmapMaker maker;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(maker.Make(img, 1.0f, {0, 0, 2, 1}, RGB(10, 20, 30), rgb));
    EXPECT_EQ(Out(rgb, 2, 0, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(Out(rgb, 2, 1, 0), (Rgb{250, 250, 250}));
}

TEST(DisplayBitmapMaker, RefusesWhatItCannotShow)
{
    const CLfImage img = Gradient(4, 4);
    CLfImage none;
    DisplayBitmapMaker maker;
    std::vector<uint8_t> rgb(12, 1);
    EXPECT_FALSE(maker.Make(none, 1.0f, {0, 0, 2, 2}, kGrey, rgb));
    EXPECT_TRUE(rgb.empty());
    EXPECT_FALSE(maker.Make(img, 0.0f, {0, 0, 2, 2}, kGrey, rgb));
    EXPECT_FALSE(maker.Make(img, -1.0f, {0, 0, 2, 2}, kGrey, rgb));
    EXPECT_FALSE(maker.Make(img, 1.0f, {2, 2, 2, 5}, kGrey, rgb));
}

}  // namespace

// A large reduction is shared out to threads by rows: every row equals the same row made
// on its own, with parts of the area outside the picture too.
TEST(DisplayBitmapMaker, ALargeReductionGivesTheRowsEachRowGivesAlone)
{
    const CLfImage img = Gradient(3001, 2003);
    DisplayBitmapMaker whole, single;
    std::vector<uint8_t> rgb, row;
    const RECT area{-7, -5, 601, 404};
    ASSERT_TRUE(whole.Make(img, 0.2f, area, kGrey, rgb));
    const int32_t width = area.right - area.left;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        ASSERT_TRUE(single.Make(img, 0.2f, {area.left, y, area.right, y + 1}, kGrey, row));
        ASSERT_EQ(0, std::memcmp(row.data(), rgb.data() + size_t(y - area.top) * size_t(width) * 3, row.size()))
            << "row " << y;
    }
}
