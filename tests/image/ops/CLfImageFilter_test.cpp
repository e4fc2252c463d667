// Window filters, noise, jitter and Mix.

#include "image/CLfImage.h"
#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <functional>

using namespace lftest;

namespace {

// 3 x 3 greys, bottom row first: 90 10 20 / 30 40 50 / 60 70 80. Pixel (0, 0) is
// 90 so that taps beyond the border (which read pixel (0, 0)) show in the sums.
void Grid3(CLfImage& image)
{
    const uint8_t v[9] = {90, 10, 20, 30, 40, 50, 60, 70, 80};
    MakeRgb(image, 3, 3, [&](int x, int y) { return Grey(v[3 * y + x]); });
}

std::vector<uint8_t> Reds(const CLfImage& image)
{
    std::vector<uint8_t> out;
    for (const RGBQUAD& c : Pixels(image)) out.push_back(c.rgbRed);
    return out;
}

// Operations that must refuse an image without pixels.
const std::pair<const char*, std::function<bool(CLfImage&)>> kWindowOps[] = {
    {"Filter", [](CLfImage& i) { const int32_t k[] = {1}; return i.Filter(k, 1, 1, 0); }},
    {"FilterSeparable", [](CLfImage& i) { const int32_t k[] = {1, 2, 1}; return i.FilterSeparable(k, 3, 4, 0); }},
    {"Erode", [](CLfImage& i) { return i.Erode(3); }},
    {"Dilate", [](CLfImage& i) { return i.Dilate(3); }},
    {"Median", [](CLfImage& i) { return i.Median(3); }},
    {"Contour", [](CLfImage& i) { return i.Contour(); }},
    {"Jitter", [](CLfImage& i) { return i.Jitter(2); }},
    {"Noise", [](CLfImage& i) { return i.Noise(40); }},
};

}  // namespace

TEST(Filter, BoxAverageReadsPixelZeroBeyondTheBorder)
{
    CLfImage image;
    Grid3(image);
    const int32_t box[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    ASSERT_TRUE(image.Filter(box, 3, 9, 0));
    // Centre: 450 / 9. Corner (0, 0): 90 + 10 + 30 + 40 and five outside taps of 90,
    // 620 / 9. Corner (2, 2): 40 + 50 + 70 + 80 + 5 x 90 = 690, / 9.
    EXPECT_EQ(Colour(image, 1, 1).rgbRed, 50);
    EXPECT_EQ(Colour(image, 0, 0).rgbRed, 68);
    EXPECT_EQ(Colour(image, 2, 2).rgbRed, 76);
}

TEST(Filter, KernelRowsRunUpTheImageAndColumnsAcross)
{
    CLfImage image;
    Grid3(image);
    CLfImage copy(image);
    const int32_t below[9] = {0, 1, 0, 0, 0, 0, 0, 0, 0};  // tap (x, y - 1)
    ASSERT_TRUE(image.Filter(below, 3, 0, 0));
    EXPECT_EQ(Reds(image), (std::vector<uint8_t>{90, 90, 90, 90, 10, 20, 30, 40, 50}));
    const int32_t left[9] = {0, 0, 0, 1, 0, 0, 0, 0, 0};  // tap (x - 1, y)
    ASSERT_TRUE(copy.Filter(left, 3, 1, 5));
    EXPECT_EQ(Reds(copy), (std::vector<uint8_t>{95, 95, 15, 95, 35, 45, 95, 65, 75}));
}

TEST(Filter, IdentityClampAndOffset)
{
    struct Case {
        const char* name;
        std::vector<int32_t> kernel;
        int32_t size, divisor, offset;
        uint8_t in, out;
    };
    const Case cases[] = {
        {"identity", {1}, 1, 1, 0, 77, 77},
        {"negative sum clamps to 0", {-1, -1, -1, -1, -1, -1, -1, -1, -1}, 3, 0, 0, 77, 0},
        {"offset clamps to 255", {1}, 1, 0, 300, 77, 255},
        {"negative divisor", {2}, 1, -2, 100, 77, 23},
        {"division truncates toward zero", {-1}, 1, 2, 40, 77, 2},
        {"huge weights do not overflow", std::vector<int32_t>(9, INT_MAX), 3, INT_MAX, 0, 20, 180},
        {"huge negative weights", std::vector<int32_t>(9, INT_MIN), 3, INT_MIN, 0, 20, 180},
        {"even size", {1, 1, 1, 1}, 2, 4, 0, 77, 77},
    };
    for (const Case& c : cases) {
        CLfImage image;
        MakeRgb(image, 3, 2, [&](int, int) { return Grey(c.in); });
        ASSERT_TRUE(image.Filter(c.kernel.data(), c.size, c.divisor, c.offset)) << c.name;
        EXPECT_EQ(Strs(Pixels(image)), Strs(std::vector<RGBQUAD>(6, Grey(c.out)))) << c.name;
    }
}

TEST(Filter, RefusesMissingKernelAndBadSizes)
{
    CLfImage image;
    Grid3(image);
    const auto before = RawBits(image);
    const int32_t k[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(image.Filter(nullptr, 3, 9, 0));
    EXPECT_FALSE(image.Filter(k, 0, 9, 0));
    EXPECT_FALSE(image.Filter(k, -3, 9, 0));
    EXPECT_FALSE(image.FilterSeparable(nullptr, 3, 9, 0));
    EXPECT_FALSE(image.FilterSeparable(k, 0, 9, 0));
    EXPECT_FALSE(image.FilterSeparable(k, INT_MIN, 9, 0));
    EXPECT_FALSE(image.Erode(0));
    EXPECT_FALSE(image.Dilate(-1));
    EXPECT_FALSE(image.Median(0));
    EXPECT_FALSE(image.Median(INT_MAX));  // a window of 2^62 colours is never allocated
    EXPECT_EQ(RawBits(image), before);

    for (const auto& [name, op] : kWindowOps) {
        CLfImage empty;
        EXPECT_FALSE(op(empty)) << name;
    }
}

TEST(Filter, EscapeKeepsTheRowsNotYetFiltered)
{
    for (const auto& [name, op] : kWindowOps) {
        if (std::string(name) == "Noise") continue;  // in place, without escape
        CLfImage image;
        MakeRgb(image, 4, 3, [](int x, int y) { return Rgb(uint8_t(200 - x), uint8_t(100 + y), 7); });
        image.AlphaCreate();
        image.AlphaSet(99);
        const auto before = Pixels(image);
        image.info.escape = 1;
        ASSERT_TRUE(op(image)) << name;
        EXPECT_EQ(Strs(Pixels(image)), Strs(before)) << name;
        EXPECT_EQ(image.AlphaGet(3, 2), 99) << name;
    }
}

TEST(Filter, SelectionLimitsEveryWindowFilter)
{
    const std::pair<const char*, std::function<bool(CLfImage&)>> ops[] = {
        {"Filter", [](CLfImage& i) { const int32_t k[] = {0, 0, 0, 0, 0, 0, 0, 1, 0}; return i.Filter(k, 3, 1, 3); }},
        {"FilterSeparable", [](CLfImage& i) { const int32_t k[] = {1, 0, 0}; return i.FilterSeparable(k, 3, 0, 1); }},
        {"Erode", [](CLfImage& i) { return i.Erode(3); }},
        {"Dilate", [](CLfImage& i) { return i.Dilate(3); }},
        {"Median", [](CLfImage& i) { return i.Median(3); }},
        {"Contour", [](CLfImage& i) { return i.Contour(); }},
        {"Noise", [](CLfImage& i) { return i.Noise(200); }},
        {"Jitter", [](CLfImage& i) { return i.Jitter(3); }},
    };
    CLfImage original;
    MakeRgb(original, 5, 5, [](int x, int y) { return Grey(uint8_t((x * 97 + y * 61) % 256)); });
    for (const auto& [name, op] : ops) {
        CLfImage image(original);
        ASSERT_TRUE(image.SelectionAddRect(RECT{1, 4, 4, 1}));
        image.selection[2 * 5 + 2] = 0;  // a hole in the box
        std::srand(7);
        ASSERT_TRUE(op(image)) << name;
        bool changed = false;
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 5; ++x) {
                const bool selected = x >= 1 && x <= 3 && y >= 1 && y <= 3 && !(x == 2 && y == 2);
                if (!selected)
                    EXPECT_EQ(Str(Colour(image, x, y)), Str(Colour(original, x, y))) << name << " at " << x << "," << y;
                else
                    changed = changed || Str(Colour(image, x, y)) != Str(Colour(original, x, y));
            }
        }
        EXPECT_TRUE(changed) << name;
    }
}

TEST(Filter, SeparableMatchesTheSquareKernelUpToTruncation)
{
    CLfImage image;
    MakeRgb(image, 7, 6, [](int x, int y) { return Rgb(uint8_t((x * 53 + y * 29) % 256), uint8_t(x * y * 6), uint8_t(255 - 30 * y)); });
    CLfImage square(image);
    const int32_t line[3] = {1, 2, 1};
    const int32_t kernel[9] = {1, 2, 1, 2, 4, 2, 1, 2, 1};
    ASSERT_TRUE(image.FilterSeparable(line, 3, 4, 0));
    ASSERT_TRUE(square.Filter(kernel, 3, 16, 0));
    // Inside the border (beyond it the second pass reads the first pass's pixel (0, 0)).
    for (int y = 1; y < 5; ++y) {
        for (int x = 1; x < 6; ++x) {
            const RGBQUAD a = Colour(image, x, y), b = Colour(square, x, y);
            EXPECT_LE(std::abs(a.rgbRed - b.rgbRed), 1);
            EXPECT_LE(std::abs(a.rgbGreen - b.rgbGreen), 1);
            EXPECT_LE(std::abs(a.rgbBlue - b.rgbBlue), 1);
        }
    }
    // Vertical then horizontal: a kernel {1, 0, 0} shifts down one row, then left one column.
    CLfImage shifted;
    Grid3(shifted);
    const int32_t first[3] = {1, 0, 0};
    ASSERT_TRUE(shifted.FilterSeparable(first, 3, 1, 0));
    EXPECT_EQ(Reds(shifted), (std::vector<uint8_t>{90, 90, 90, 90, 90, 10, 90, 30, 40}));
}

TEST(Filter, ErodeAndDilate)
{
    CLfImage image;
    MakeRgb(image, 4, 1, [](int x, int) { const uint8_t v[] = {90, 50, 30, 70}; return Grey(v[x]); });
    CLfImage one(image), dilated(image);
    ASSERT_TRUE(one.Erode(1));
    EXPECT_EQ(Reds(one), (std::vector<uint8_t>{90, 50, 30, 70}));
    ASSERT_TRUE(one.Dilate(1));
    EXPECT_EQ(Reds(one), (std::vector<uint8_t>{90, 50, 30, 70}));
    // Size 2 covers offsets -1 and 0.
    ASSERT_TRUE(image.Erode(2));
    EXPECT_EQ(Reds(image), (std::vector<uint8_t>{90, 50, 30, 30}));
    // Size 3: the outside taps read pixel (0, 0), 90.
    ASSERT_TRUE(dilated.Dilate(3));
    EXPECT_EQ(Reds(dilated), (std::vector<uint8_t>{90, 90, 90, 90}));
    // Channels are taken separately.
    CLfImage mixed;
    MakeRgb(mixed, 2, 1, [](int x, int) { return x ? Rgb(10, 200, 5) : Rgb(100, 20, 50); });
    ASSERT_TRUE(mixed.Erode(2));
    EXPECT_EQ(Str(Colour(mixed, 1, 0)), Str(Rgb(10, 20, 5)));
}

TEST(Filter, MedianRemovesAnIsolatedPixel)
{
    CLfImage image;
    MakeRgb(image, 5, 5, [](int x, int y) { return x == 2 && y == 2 ? Grey(255) : Grey(0); });
    ASSERT_TRUE(image.Median(3));
    EXPECT_EQ(Strs(Pixels(image)), Strs(std::vector<RGBQUAD>(25, Grey(0))));

    // The middle of nine luminances 10..90 is 50, whole colour kept.
    CLfImage ramp;
    MakeRgb(ramp, 3, 3, [](int x, int y) { return Rgb(uint8_t(10 * (3 * y + x) + 10), 0, uint8_t(3 * y + x)); });
    ASSERT_TRUE(ramp.Median(3));
    EXPECT_EQ(Str(Colour(ramp, 1, 1)), Str(Rgb(50, 0, 4)));
}

TEST(Filter, ContourOfAFlatImageIsWhite)
{
    CLfImage image;
    MakeRgb(image, 3, 3, [](int, int) { return Rgb(30, 60, 90); });
    ASSERT_TRUE(image.Contour());
    EXPECT_EQ(Strs(Pixels(image)), Strs(std::vector<RGBQUAD>(9, Grey(255))));

    // A darker centre: the brighter neighbour's own value is taken.
    CLfImage spot;
    MakeRgb(spot, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? Grey(10) : Grey(200); });
    ASSERT_TRUE(spot.Contour());
    EXPECT_EQ(Str(Colour(spot, 1, 1)), Str(Grey(55)));
    EXPECT_EQ(Str(Colour(spot, 0, 0)), Str(Grey(255)));
}

TEST(Filter, JitterAndNoiseBounds)
{
    CLfImage image;
    MakeRgb(image, 6, 6, [](int x, int y) { return Rgb(uint8_t(40 * x), uint8_t(40 * y), 128); });
    image.AlphaCreate();
    image.AlphaSet(2, 3, 77);
    CLfImage jittered(image), noisy(image), still(image);
    ASSERT_TRUE(still.Jitter(0));
    ASSERT_TRUE(still.Noise(0));
    EXPECT_EQ(Strs(Pixels(still)), Strs(Pixels(image)));
    EXPECT_EQ(still.AlphaGet(2, 3), 77);

    std::srand(1);
    ASSERT_TRUE(jittered.Jitter(1));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            // Every pixel comes from a neighbour at most one step away.
            const RGBQUAD c = Colour(jittered, x, y);
            EXPECT_LE(std::abs(c.rgbRed / 40 - x), 1);
            EXPECT_LE(std::abs(c.rgbGreen / 40 - y), 1);
        }
    }

    std::srand(1);
    ASSERT_TRUE(noisy.Noise(100));
    int moved = 0;
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const int d = Colour(noisy, x, y).rgbBlue - 128;
            EXPECT_LE(std::abs(d), 50);
            moved += d != 0;
        }
    }
    EXPECT_GT(moved, 18);
}

TEST(Filter, PaletteImagesGetNearestIndices)
{
    CLfImage image;
    MakeGrey(image, 3, 1, [](int x, int) { return x == 1 ? 90 : 0; });
    const int32_t box[3] = {1, 1, 1};
    ASSERT_TRUE(image.Filter(box, 1, 0, 0));  // size 1: just the first weight
    EXPECT_EQ(Indices(image), (std::vector<uint8_t>{0, 90, 0}));
    ASSERT_TRUE(image.FilterSeparable(box, 3, 3, 0));
    EXPECT_EQ(image.GetBpp(), 8u);
    // Vertical: (0 + 90 + 0) / 3 = 30 (outside reads index 0); horizontal: 30 / 3.
    EXPECT_EQ(image.GetPixelIndex(1, 0), 10);
}

namespace {

struct MixCase {
    const char* name;
    uint32_t op;
    RGBQUAD a, b, out;
};

}  // namespace

TEST(Mix, OperationTable)
{
    // The transparent colour t is transColor: (0, 0, 0) with fourth byte 0.
    const MixCase cases[] = {
        {"add", 0, Rgb(100, 200, 3), Rgb(100, 100, 4), Rgb(200, 255, 7)},
        {"add white", 0, Rgb(1, 2, 3), Grey(255), Grey(255)},
        {"and", 1, Rgb(0xF0, 0x0F, 0xFF), Rgb(0x3C, 0x3C, 0x00), Rgb(0x30, 0x0C, 0x00)},
        {"xor", 2, Rgb(0xF0, 0x0F, 0xFF), Rgb(0x3C, 0x3C, 0x00), Rgb(0xCC, 0x33, 0xFF)},
        {"or", 3, Rgb(0xF0, 0x0F, 0xFF), Rgb(0x3C, 0x3C, 0x00), Rgb(0xFC, 0x3F, 0xFF)},
        {"black becomes transparent", 4, Rgb(9, 9, 9), Grey(0), Grey(0)},
        {"non-black keeps", 4, Rgb(9, 9, 9), Rgb(0, 0, 1), Rgb(9, 9, 9)},
        {"fill the transparent", 5, Grey(0), Rgb(5, 6, 7), Rgb(5, 6, 7)},
        {"opaque stays", 5, Grey(1), Rgb(5, 6, 7), Grey(1)},
        {"other over this", 6, Grey(1), Rgb(5, 6, 7), Rgb(5, 6, 7)},
        {"transparent other", 6, Grey(1), Grey(0), Grey(1)},
        {"subtract", 7, Rgb(100, 20, 255), Rgb(30, 40, 255), Rgb(70, 0, 0)},
        {"soft fill of the transparent", 8, Grey(0), Rgb(5, 6, 7), Rgb(5, 6, 7)},
        // d = (10 + 10 + 10) / 3 = 10: a x 10 / 16 + 6 / 16 x b.
        {"soft fill near", 8, Grey(10), Grey(200), Grey(81)},
        {"soft fill far", 8, Grey(17), Grey(200), Grey(17)},
        {"unknown code", 9, Rgb(1, 2, 3), Rgb(4, 5, 6), Rgb(1, 2, 3)},
    };
    for (const MixCase& c : cases) {
        CLfImage a, b;
        MakeRgb(a, 1, 1, [&](int, int) { return c.a; });
        MakeRgb(b, 1, 1, [&](int, int) { return c.b; });
        a.Mix(b, c.op, 0, 0);
        EXPECT_EQ(Str(Colour(a, 0, 0)), Str(c.out)) << c.name;
    }
}

TEST(Mix, WithItselfAndOffsets)
{
    CLfImage image;
    Grid3(image);
    image.Mix(image, 7, 0, 0);
    EXPECT_EQ(Strs(Pixels(image)), Strs(std::vector<RGBQUAD>(9, Grey(0))));

    // Offsets: pixel (x, y) pairs with the other's (x + 1, y + 2); rows and columns
    // whose partner lies outside the other image stay.
    CLfImage target, other;
    MakeRgb(target, 3, 3, [](int, int) { return Grey(1); });
    MakeRgb(other, 3, 3, [](int x, int y) { return Grey(uint8_t(10 * (3 * y + x))); });
    target.Mix(other, 0, 1, 2);
    EXPECT_EQ(Reds(target), (std::vector<uint8_t>{71, 81, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(Mix, OffsetsBeyondTheOtherImageChangeNothing)
{
    const uint32_t offsets[][2] = {{3, 0}, {0, 3}, {1000, 0}, {0xFFFFFFFFu, 0}, {0, 0xFFFFFFFFu},
                                   {0xFFFFFFFEu, 0xFFFFFFFFu}};
    for (const auto& o : offsets) {
        CLfImage target, other;
        MakeRgb(target, 3, 3, [](int x, int y) { return Grey(uint8_t(x + 3 * y)); });
        MakeRgb(other, 3, 3, [](int, int) { return Grey(100); });
        const auto before = Pixels(target);
        target.Mix(other, 0, o[0], o[1]);
        EXPECT_EQ(Strs(Pixels(target)), Strs(before)) << o[0] << "," << o[1];
    }
}

TEST(Mix, HonoursBothSelections)
{
    CLfImage target, other;
    MakeRgb(target, 3, 1, [](int, int) { return Grey(1); });
    MakeRgb(other, 3, 1, [](int, int) { return Grey(100); });
    ASSERT_TRUE(target.SelectionAddRect(RECT{0, 1, 2, 0}));  // columns 0-1
    ASSERT_TRUE(other.SelectionAddRect(RECT{1, 1, 3, 0}));   // columns 1-2
    target.Mix(other, 0, 0, 0);
    EXPECT_EQ(Reds(target), (std::vector<uint8_t>{1, 101, 1}));

    CLfImage empty;
    empty.Mix(other, 0, 0, 0);
    EXPECT_EQ(empty.dib, nullptr);
    target.Mix(empty, 0, 0, 0);
    EXPECT_EQ(Reds(target), (std::vector<uint8_t>{1, 101, 1}));
}
