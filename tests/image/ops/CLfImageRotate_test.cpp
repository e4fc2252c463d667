#include "image/CLfImage.h"

#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using lftest::Bgr;

// An image of the given depth whose pixel (x, y) carries a value unique to it: the
// palette index (x + 3y) mod colours, or for 24 bits the colour (x, y, 7).
CLfImage Numbered(int64_t w, int64_t h, uint32_t bpp)
{
    CLfImage img(w, h, bpp);
    for (uint32_t i = 0; i < img.GetNumColors(); ++i)
        img.SetPaletteColor(uint8_t(i), uint8_t(i), uint8_t(i * 3), uint8_t(255 - i));
    for (int64_t y = 0; y < h; ++y)
        for (int64_t x = 0; x < w; ++x) {
            if (bpp == 24)
                img.SetPixelColor(x, y, Bgr(uint8_t(x), uint8_t(y), 7));
            else
                img.SetPixelIndex(x, y, uint8_t((x + 3 * y) % img.GetNumColors()));
        }
    return img;
}

// The value of a pixel that identifies it: index, or blue + 256 green for 24 bits.
int Value(const CLfImage& img, int64_t x, int64_t y)
{
    if (img.GetBpp() == 24) {
        const RGBQUAD c = img.GetPixelColor(x, y);
        return c.rgbBlue + 256 * c.rgbGreen;
    }
    return img.GetPixelIndex(x, y);
}

// Checks every target pixel against the source pixel the mapping names.
void ExpectMapping(const CLfImage& src, const CLfImage& dst,
                   const std::function<std::pair<int64_t, int64_t>(int64_t, int64_t)>& from)
{
    for (int64_t y = 0; y < dst.GetHeight(); ++y)
        for (int64_t x = 0; x < dst.GetWidth(); ++x) {
            const auto [sx, sy] = from(x, y);
            ASSERT_EQ(Value(dst, x, y), Value(src, sx, sy)) << "target " << x << "," << y;
        }
}

class QuarterTurns : public ::testing::TestWithParam<uint32_t> {};

TEST_P(QuarterTurns, RotateLeftRightAndHalf)
{
    const uint32_t bpp = GetParam();
    const int64_t w = 11, h = 5;  // odd sizes cross byte boundaries at 1 and 4 bits
    const CLfImage src = Numbered(w, h, bpp);
    {
        CLfImage img(src);
        ASSERT_TRUE(img.RotateRight());
        ASSERT_EQ(img.GetWidth(), h);
        ASSERT_EQ(img.GetHeight(), w);
        ExpectMapping(src, img, [&](int64_t x, int64_t y) { return std::pair{w - 1 - y, x}; });
    }
    {
        CLfImage img(src);
        ASSERT_TRUE(img.RotateLeft());
        ExpectMapping(src, img, [&](int64_t x, int64_t y) { return std::pair{y, h - 1 - x}; });
    }
    {
        CLfImage img(src);
        ASSERT_TRUE(img.Rotate180());
        ExpectMapping(src, img, [&](int64_t x, int64_t y) { return std::pair{w - 1 - x, h - 1 - y}; });
    }
    {
        CLfImage img(src);
        ASSERT_TRUE(img.Mirror());
        ExpectMapping(src, img, [&](int64_t x, int64_t y) { return std::pair{w - 1 - x, y}; });
    }
    {
        CLfImage img(src);
        ASSERT_TRUE(img.Flip());
        ExpectMapping(src, img, [&](int64_t x, int64_t y) { return std::pair{x, h - 1 - y}; });
        if (bpp == 4 || bpp == 8) {
            EXPECT_EQ(img.GetPaletteColor(3).rgbGreen, 9);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, QuarterTurns, ::testing::Values(1u, 4u, 8u, 24u));

TEST(Rotate, RotateRightPutsTheTopLeftPixelTopRight)
{
    CLfImage img(3, 2, 24);
    img.SetPixelColor(0, 1, Bgr(1, 2, 3));  // top-left as displayed
    CLfImage out;
    ASSERT_TRUE(img.RotateRight(&out));
    EXPECT_EQ(img.GetWidth(), 3);  // the source stays
    ASSERT_EQ(out.GetWidth(), 2);
    ASSERT_EQ(out.GetHeight(), 3);
    EXPECT_TRUE(lftest::SameColor(out.GetPixelColor(1, 2), Bgr(1, 2, 3)));
}

TEST(Rotate, QuarterTurnsSwapTheResolutions)
{
    // 30 x 8 pixels at 300 x 72 DPI is 0.1 x 0.11 inches, and stays so when turned.
    using Turn = bool (CLfImage::*)(CLfImage*);
    for (const Turn turn : {&CLfImage::RotateRight, &CLfImage::RotateLeft}) {
        CLfImage img(30, 8, 8);
        img.SetXDPI(300);
        img.SetYDPI(72);
        ASSERT_TRUE((img.*turn)(nullptr));
        EXPECT_EQ(img.info.xDpi, 72);
        EXPECT_EQ(img.info.yDpi, 300);
        EXPECT_EQ(img.header.biXPelsPerMeter, 2835);
        EXPECT_EQ(img.header.biYPelsPerMeter, 11811);
        CLfImage back;
        ASSERT_TRUE((img.*turn)(&back));
        EXPECT_EQ(back.info.xDpi, 300);
        EXPECT_EQ(back.info.yDpi, 72);
        // A half turn and a free rotation keep them.
        ASSERT_TRUE(back.Rotate180());
        ASSERT_TRUE(back.Rotate(30));
        EXPECT_EQ(back.info.xDpi, 300);
        EXPECT_EQ(back.info.yDpi, 72);
    }
}

TEST(Rotate, NonFiniteAnglesAreRefused)
{
    CLfImage img(3, 2, 24);
    for (const float angle : {NAN, INFINITY, -INFINITY}) {
        EXPECT_FALSE(img.Rotate(angle)) << angle;
        EXPECT_EQ(img.GetWidth(), 3);
        EXPECT_EQ(img.GetHeight(), 2);
    }
}

TEST(Rotate, QuarterTurnsCarryTheAlphaPlane)
{
    CLfImage img(3, 2, 24);
    ASSERT_TRUE(img.AlphaCreate());
    img.AlphaSet(0, 1, 77);
    ASSERT_TRUE(img.RotateRight());
    EXPECT_EQ(img.AlphaGet(1, 2), 77);
    ASSERT_TRUE(img.Flip());
    EXPECT_EQ(img.AlphaGet(1, 0), 77);
    ASSERT_TRUE(img.Mirror());
    EXPECT_EQ(img.AlphaGet(0, 0), 77);
}

// A flip turns the rows over where they stand: the decoders flip pictures as large as
// memory allows, which must not need a second buffer of their size.
TEST(Rotate, FlipTurnsTheRowsOverInPlace)
{
    for (const uint32_t bpp : {1u, 8u, 24u})
        for (const int64_t h : {1, 2, 5, 6}) {
            SCOPED_TRACE(std::to_string(bpp) + " bits, " + std::to_string(h) + " rows");
            CLfImage src = Numbered(9, h, bpp);
            // Rows 0 and h - 1 equal: a pair the flip leaves as it is.
            for (int64_t x = 0; x < 9; ++x)
                src.SetPixelIndex(x, h - 1, src.GetPixelIndex(x, 0));
            if (bpp == 24)
                for (int64_t x = 0; x < 9; ++x)
                    src.SetPixelColor(x, h - 1, src.GetPixelColor(x, 0));
            CLfImage img(src);
            ASSERT_TRUE(img.AlphaCreate());
            for (int64_t y = 0; y < h; ++y)
                img.AlphaSet(2, y, uint8_t(10 + y));
            ASSERT_TRUE(img.SelectionCreate());
            const uint8_t* pixels = img.info.bits;
            const uint8_t* plane = img.alpha;
            ASSERT_TRUE(img.Flip());
            EXPECT_EQ(img.info.bits, pixels) << "the rows stay in their buffer";
            EXPECT_EQ(img.alpha, plane) << "the alpha plane too";
            ExpectMapping(src, img, [&](int64_t x, int64_t y) { return std::pair{x, h - 1 - y}; });
            for (int64_t y = 0; y < h; ++y)
                EXPECT_EQ(img.AlphaGet(2, y), 10 + (h - 1 - y)) << y;
            EXPECT_EQ(img.selection, nullptr) << "the selection no longer fits the pixels";
        }
}

TEST(Rotate, FlippingAGhostLeavesItsOwnerAlone)
{
    const CLfImage src = Numbered(4, 3, 24);
    CLfImage owner(src);
    CLfImage ghost;
    ghost.Ghost(&owner);
    ASSERT_TRUE(ghost.Flip());
    ExpectMapping(src, owner, [](int64_t x, int64_t y) { return std::pair{x, y}; });
    ExpectMapping(src, ghost, [](int64_t x, int64_t y) { return std::pair{x, 2 - y}; });
}

TEST(Rotate, ZeroDegreesGivesACanvasTwoPixelsLarger)
{
    const CLfImage src = Numbered(4, 3, 24);
    CLfImage img(src);
    ASSERT_TRUE(img.Rotate(0));
    ASSERT_EQ(img.GetWidth(), 6);
    ASSERT_EQ(img.GetHeight(), 5);
    // Source positions round towards zero, so column and row 0 repeat once.
    for (int64_t y = 0; y <= 3; ++y)
        for (int64_t x = 0; x <= 4; ++x)
            EXPECT_EQ(Value(img, x, y), Value(src, x > 0 ? x - 1 : 0, y > 0 ? y - 1 : 0)) << x << "," << y;
}

TEST(Rotate, NinetyDegreesTurnsClockwise)
{
    const int64_t w = 4, h = 3;
    const CLfImage src = Numbered(w, h, 24);
    CLfImage img(src);
    ASSERT_TRUE(img.Rotate(90));
    ASSERT_EQ(img.GetWidth(), h + 2);
    ASSERT_EQ(img.GetHeight(), w + 2);
    // Target (i, j) shows source (w - 1 - j, i - 1): the left column becomes the top row.
    for (int64_t j = 0; j < w; ++j)
        for (int64_t i = 1; i <= h; ++i)
            EXPECT_EQ(Value(img, i, j), Value(src, w - 1 - j, i - 1)) << i << "," << j;
}

TEST(Rotate, UncoveredCornersTakeTheTransparentIndex)
{
    CLfImage img = Numbered(8, 8, 8);
    img.info.transIndex = 5;
    ASSERT_TRUE(img.Rotate(45));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 5);
    EXPECT_EQ(img.GetPixelIndex(img.GetWidth() - 1, img.GetHeight() - 1), 5);

    // Without one they take the bottom-left pixel, and alpha 0 when there is a plane.
    CLfImage plain = Numbered(8, 8, 24);
    plain.SetPixelColor(0, 0, Bgr(9, 8, 7));
    ASSERT_TRUE(plain.AlphaCreate());
    plain.AlphaSet(255);
    ASSERT_TRUE(plain.Rotate(30));
    EXPECT_TRUE(lftest::SameColor(plain.GetPixelColor(0, 0), Bgr(9, 8, 7)));
    EXPECT_EQ(plain.AlphaGet(0, 0), 0);
    EXPECT_EQ(plain.AlphaGet(plain.GetWidth() / 2, plain.GetHeight() / 2), 255);
}

// ---- Crop -------------------------------------------------------------------------------

struct CropCase {
    int32_t left, top, right, bottom;
    bool ok;
    int64_t x0, y0top, w, h;  // the kept area: left column, top row (top-down), size
};
void PrintTo(const CropCase& c, std::ostream* os)
{
    *os << c.left << "," << c.top << "," << c.right << "," << c.bottom;
}

class CropTable : public ::testing::TestWithParam<std::tuple<CropCase, uint32_t>> {};

TEST_P(CropTable, KeepsTheNamedArea)
{
    const auto [c, bpp] = GetParam();
    const int64_t W = 13, H = 7;
    const CLfImage src = Numbered(W, H, bpp);
    CLfImage img(src);
    ASSERT_EQ(img.Crop(c.left, c.top, c.right, c.bottom), c.ok);
    if (!c.ok) {
        EXPECT_EQ(img.GetWidth(), W);
        return;
    }
    ASSERT_EQ(img.GetWidth(), c.w);
    ASSERT_EQ(img.GetHeight(), c.h);
    const int64_t firstRow = H - c.y0top - c.h;  // bottom-up row of the kept bottom row
    ExpectMapping(src, img, [&](int64_t x, int64_t y) { return std::pair{c.x0 + x, firstRow + y}; });
}

INSTANTIATE_TEST_SUITE_P(
    Edges, CropTable,
    ::testing::Combine(::testing::Values(CropCase{10, 0, 5, 3, true, 5, 0, 5, 3},  // reversed pair swaps
                                         CropCase{5, 0, 10, 3, true, 5, 0, 5, 3},
                                         CropCase{0, 0, 13, 1, true, 0, 0, 13, 1},  // only the top row
                                         CropCase{3, 6, 4, 7, true, 3, 6, 1, 1},    // bottom-right corner
                                         CropCase{-5, -5, 99, 99, true, 0, 0, 13, 7},
                                         CropCase{1, 2, 12, 5, true, 1, 2, 11, 3},
                                         CropCase{4, 0, 4, 3, false, 0, 0, 0, 0},
                                         CropCase{0, 2, 5, 2, false, 0, 0, 0, 0},
                                         CropCase{20, 0, 30, 3, false, 0, 0, 0, 0}),
                       ::testing::Values(1u, 4u, 8u, 24u)));

TEST(Crop, KeepsTransparencyPaletteAndAlpha)
{
    CLfImage img = Numbered(6, 4, 8);
    img.info.transIndex = 2;
    ASSERT_TRUE(img.AlphaCreate());
    img.AlphaSet(4, 0, 99);  // bottom row, column 4
    CLfImage out;
    ASSERT_TRUE(img.Crop(3, 2, 6, 4, &out));  // the bottom two rows of columns 3..5
    EXPECT_EQ(out.info.transIndex, 2);
    EXPECT_EQ(out.GetPaletteColor(5).rgbGreen, 15);
    ASSERT_NE(out.alpha, nullptr);
    EXPECT_EQ(out.AlphaGet(1, 0), 99);
    EXPECT_EQ(out.AlphaGet(0, 0), 0);
}

// ---- Canvas ------------------------------------------------------------------------------

TEST(Expand, MarginsTakeTheCanvasColour)
{
    const RGBQUAD canvas = Bgr(10, 20, 30);
    for (uint32_t bpp : {4u, 8u, 24u}) {
        const CLfImage src = Numbered(3, 2, bpp);
        CLfImage img(src);
        if (bpp < 24)
            img.SetPaletteColor(1, canvas);  // the canvas colour's nearest index is 1
        const CLfImage palette(img);
        ASSERT_TRUE(img.Expand(1, 2, 3, 4, canvas)) << bpp;
        ASSERT_EQ(img.GetWidth(), 3 + 1 + 3);
        ASSERT_EQ(img.GetHeight(), 2 + 2 + 4);
        for (int64_t y = 0; y < img.GetHeight(); ++y)
            for (int64_t x = 0; x < img.GetWidth(); ++x) {
                const bool inside = x >= 1 && x < 4 && y >= 4 && y < 6;  // bottom margin of 4 rows
                if (inside) {
                    EXPECT_EQ(Value(img, x, y), Value(palette, x - 1, y - 4)) << bpp << " " << x << "," << y;
                } else {
                    EXPECT_TRUE(lftest::SameColor(img.GetPixelColor(x, y), canvas)) << bpp << " " << x << "," << y;
                }
            }
    }
}

TEST(Expand, RefusesNegativeMarginsAndSmallerCanvas)
{
    CLfImage img = Numbered(4, 4, 24);
    EXPECT_FALSE(img.Expand(-1, 0, 0, 0, Bgr(0, 0, 0)));
    EXPECT_FALSE(img.Expand(3, 10, Bgr(0, 0, 0)));
    EXPECT_FALSE(img.Expand(10, 3, Bgr(0, 0, 0)));
    EXPECT_EQ(img.GetWidth(), 4);
    ASSERT_TRUE(img.Expand(7, 9, Bgr(1, 1, 1)));
    // Centred: left (7-4)/2 = 1, top (9-4)/2 = 2, so the bottom margin is 3 rows.
    EXPECT_EQ(Value(img, 1, 3), Value(Numbered(4, 4, 24), 0, 0));
    EXPECT_TRUE(lftest::SameColor(img.GetPixelColor(1, 2), Bgr(1, 1, 1)));
}

TEST(Thumbnail, FitsAndCentresOnTheCanvas)
{
    CLfImage img(400, 100, 24);
    for (int64_t y = 0; y < 100; ++y)
        for (int64_t x = 0; x < 400; ++x)
            img.SetPixelColor(x, y, Bgr(200, 100, 50));
    const RGBQUAD canvas = Bgr(148, 142, 123);
    CLfImage out;
    ASSERT_TRUE(img.Thumbnail(100, 100, canvas, &out));
    ASSERT_EQ(out.GetWidth(), 100);
    ASSERT_EQ(out.GetHeight(), 100);
    // A 100 x 25 picture; top margin (100 - 25) / 2 = 37 rows, bottom margin 38.
    EXPECT_TRUE(lftest::SameColor(out.GetPixelColor(50, 37), canvas));
    EXPECT_TRUE(lftest::SameColor(out.GetPixelColor(50, 38), Bgr(200, 100, 50)));
    EXPECT_TRUE(lftest::SameColor(out.GetPixelColor(0, 62), Bgr(200, 100, 50)));
    EXPECT_TRUE(lftest::SameColor(out.GetPixelColor(50, 63), canvas));

    // A small image is never enlarged, only framed.
    CLfImage small = Numbered(10, 6, 24);
    ASSERT_TRUE(small.Thumbnail(20, 20, canvas));
    EXPECT_EQ(small.GetWidth(), 20);
    EXPECT_EQ(Value(small, 5, 7), Value(Numbered(10, 6, 24), 0, 0));
    EXPECT_FALSE(small.Thumbnail(0, 5, canvas));
}

TEST(Skew, ShiftsRowsByTheirDistanceFromThePivot)
{
    const CLfImage src = Numbered(6, 4, 24);
    CLfImage img(src);
    ASSERT_TRUE(img.Skew(1.0f, 0.0f, 0, 0));
    // Row y takes the source row shifted by y pixels; past the right edge the
    // bottom-left colour fills in.
    EXPECT_EQ(Value(img, 0, 2), Value(src, 2, 2));
    EXPECT_EQ(Value(img, 3, 1), Value(src, 4, 1));
    EXPECT_EQ(Value(img, 5, 3), Value(src, 0, 0));
    EXPECT_EQ(Value(img, 4, 0), Value(src, 4, 0));
}

TEST(Geometry, EmptyImageRefusesEverything)
{
    CLfImage img;
    EXPECT_FALSE(img.Rotate(10));
    EXPECT_FALSE(img.RotateLeft());
    EXPECT_FALSE(img.RotateRight());
    EXPECT_FALSE(img.Rotate180());
    EXPECT_FALSE(img.Flip());
    EXPECT_FALSE(img.Mirror());
    EXPECT_FALSE(img.Crop(0, 0, 1, 1));
    EXPECT_FALSE(img.Expand(1, 1, 1, 1, Bgr(0, 0, 0)));
    EXPECT_FALSE(img.Thumbnail(5, 5, Bgr(0, 0, 0)));
    EXPECT_FALSE(img.Skew(1, 1));
}

}  // namespace
