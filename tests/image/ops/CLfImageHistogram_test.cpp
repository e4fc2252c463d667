// Mean grey level, histograms and the histogram-driven luminance remappings.

#include "image/CLfImage.h"
#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>

using namespace lftest;

namespace {

// A one-row grey true-colour image of the given levels.
void Levels(CLfImage& image, const std::vector<uint8_t>& levels)
{
    MakeRgb(image, int32_t(levels.size()), 1, [&](int x, int) { return Grey(levels[x]); });
}

std::vector<uint8_t> Reds(const CLfImage& image)
{
    std::vector<uint8_t> out;
    for (const RGBQUAD& c : Pixels(image)) out.push_back(c.rgbRed);
    return out;
}

const std::pair<const char*, std::function<bool(CLfImage&)>> kRemaps[] = {
    {"Stretch", [](CLfImage& i) { return i.HistogramStretch(); }},
    {"Equalize", [](CLfImage& i) { return i.HistogramEqualize(); }},
    {"Normalize", [](CLfImage& i) { return i.HistogramNormalize(); }},
    {"Log", [](CLfImage& i) { return i.HistogramLog(); }},
    {"Root", [](CLfImage& i) { return i.HistogramRoot(); }},
};

}  // namespace

TEST(Mean, GreyLevelOfTheImageOrTheSelectionBox)
{
    CLfImage image;
    MakeRgb(image, 3, 2, [](int, int) { return Rgb(10, 20, 30); });
    EXPECT_FLOAT_EQ(image.Mean(), 18.0f);

    CLfImage row;
    Levels(row, {0, 100, 201, 60});
    EXPECT_FLOAT_EQ(row.Mean(), 90.25f);
    // The box counts, not the mask: the hole at column 2 is still averaged.
    ASSERT_TRUE(row.SelectionAddRect(RECT{1, 1, 3, 0}));
    row.selection[2] = 0;
    EXPECT_FLOAT_EQ(row.Mean(), 150.5f);

    CLfImage empty;
    EXPECT_EQ(empty.Mean(), 0.0f);
}

TEST(Histogram, CountsGivenArraysAndReturnsTheLargest)
{
    CLfImage image;
    MakeRgb(image, 3, 2, [](int x, int y) { return y ? Rgb(10, 20, 30) : Rgb(uint8_t(10 * x), 20, 0); });
    std::array<int32_t, 256> grey;
    grey.fill(-5);
    EXPECT_EQ(image.Histogram(nullptr, nullptr, nullptr, grey.data()), 3);
    int64_t total = 0;
    for (int32_t v : grey) total += v;
    EXPECT_EQ(total, 6);
    EXPECT_EQ(grey[18], 3);

    std::array<int32_t, 256> r{}, g{}, b{};
    EXPECT_EQ(image.Histogram(r.data(), g.data(), b.data(), nullptr), 6);
    EXPECT_EQ(g[20], 6);
    EXPECT_EQ(r[10], 4);
    EXPECT_EQ(b[0], 3);
}

TEST(Histogram, ReadsPixelsAsColoursOfTheSpaceAndHonoursTheSelection)
{
    CLfImage image;
    // Pixels holding (Y 90, U 128, V 128) in their red, green, blue bytes.
    MakeRgb(image, 2, 2, [](int, int) { return Rgb(90, 128, 128); });
    std::array<int32_t, 256> r{};
    EXPECT_EQ(image.Histogram(r.data(), nullptr, nullptr, nullptr, 2), 4);
    EXPECT_EQ(r[90], 4);

    ASSERT_TRUE(image.SelectionAddPixel(1, 1));
    EXPECT_EQ(image.Histogram(r.data(), nullptr, nullptr, nullptr, 0), 1);
    EXPECT_EQ(r[90], 1);

    CLfImage empty;
    EXPECT_EQ(empty.Histogram(r.data(), nullptr, nullptr, nullptr), 0);
}

TEST(HistogramRemap, Stretch)
{
    CLfImage image;
    Levels(image, {50, 75, 100, 60});
    ASSERT_TRUE(image.HistogramStretch());
    EXPECT_EQ(Reds(image), (std::vector<uint8_t>{0, 127, 255, 51}));
}

TEST(HistogramRemap, Equalize)
{
    CLfImage image;
    Levels(image, {0, 100, 0, 200});
    ASSERT_TRUE(image.HistogramEqualize());
    EXPECT_EQ(Reds(image), (std::vector<uint8_t>{0, 127, 0, 255}));
}

TEST(HistogramRemap, NormalizeCutsOnePercentAtEachEnd)
{
    CLfImage image;
    // 100 pixels: one each at 10, 120 and 250, 48 at 40, 49 at 200. The threshold is
    // one pixel, so low = 40 and high = 200.
    MakeRgb(image, 10, 10, [](int x, int y) {
        const int i = 10 * y + x;
        return Grey(i == 0 ? 10 : i == 1 ? 250 : i == 2 ? 120 : i < 51 ? 40 : 200);
    });
    ASSERT_TRUE(image.HistogramNormalize());
    EXPECT_EQ(Colour(image, 0, 0).rgbRed, 0);    // below low
    EXPECT_EQ(Colour(image, 1, 0).rgbRed, 255);  // above high
    EXPECT_EQ(Colour(image, 2, 0).rgbRed, 127);  // 254 x 80 / 160
    EXPECT_EQ(Colour(image, 3, 0).rgbRed, 0);    // low
    EXPECT_EQ(Colour(image, 9, 9).rgbRed, 254);  // high maps to 254
}

TEST(HistogramRemap, LogAndRoot)
{
    CLfImage log, root;
    Levels(log, {0, 1, 50, 255});
    Levels(root, {0, 1, 50, 255});
    ASSERT_TRUE(log.HistogramLog());
    ASSERT_TRUE(root.HistogramRoot());
    // ln(Y + 1) x 255 / ln 256 and sqrt(Y) x 128 / ln 256.
    EXPECT_EQ(Reds(log), (std::vector<uint8_t>{0, 31, 180, 255}));
    EXPECT_EQ(Reds(root), (std::vector<uint8_t>{0, 23, 163, 255}));

    CLfImage low;
    Levels(low, {0, 1, 50, 100});
    ASSERT_TRUE(low.HistogramRoot());
    EXPECT_EQ(Reds(low), (std::vector<uint8_t>{0, 27, 196, 255}));
}

TEST(HistogramRemap, KeepsChromaOfColours)
{
    CLfImage image;
    MakeRgb(image, 2, 1, [](int x, int) { return x ? Rgb(200, 120, 60) : Rgb(20, 40, 90); });
    const RGBQUAD bright = CLfImage::RGBtoYUV(Rgb(200, 120, 60));
    ASSERT_TRUE(image.HistogramStretch());
    // The brighter colour's Y becomes 255; U and V stay.
    RGBQUAD expected = bright;
    expected.rgbRed = 255;
    EXPECT_EQ(Str(Colour(image, 1, 0)), Str(CLfImage::YUVtoRGB(expected)));
}

TEST(HistogramRemap, DegenerateHistogramsAreRefused)
{
    for (const auto& [name, op] : kRemaps) {
        CLfImage empty;
        EXPECT_FALSE(op(empty)) << name;
    }
    // A flat image has no spread to stretch or normalise.
    for (size_t i : {0, 2}) {
        CLfImage flat;
        Levels(flat, {77, 77, 77});
        EXPECT_FALSE(kRemaps[i].second(flat)) << kRemaps[i].first;
        EXPECT_EQ(Reds(flat), (std::vector<uint8_t>{77, 77, 77})) << kRemaps[i].first;
    }
    // Equalising refuses only when every pixel is at level 0; a flat 77 goes to the top.
    CLfImage flat;
    Levels(flat, {77, 77, 77});
    ASSERT_TRUE(flat.HistogramEqualize());
    EXPECT_EQ(Reds(flat), (std::vector<uint8_t>{255, 255, 255}));
    CLfImage black;
    Levels(black, {0, 0});
    EXPECT_FALSE(black.HistogramEqualize());
    ASSERT_TRUE(black.HistogramLog());
    EXPECT_EQ(Reds(black), (std::vector<uint8_t>{0, 0}));
}

TEST(HistogramRemap, PaletteImagesRemapTheirEntries)
{
    CLfImage image;
    MakeGrey(image, 3, 1, [](int x, int) { return 50 + 25 * x; });
    image.SetPaletteColor(50, 50, 50, 50, 9);
    ASSERT_TRUE(image.HistogramStretch());  // over the palette: levels 0..255
    EXPECT_EQ(Indices(image), (std::vector<uint8_t>{50, 75, 100}));
    EXPECT_EQ(Str(image.GetPaletteColor(50)), Str(Grey(50)));  // fourth byte now 0

    CLfImage eq;
    MakeGrey(eq, 4, 1, [](int x, int) { return x < 2 ? 0 : x == 2 ? 100 : 200; });
    ASSERT_TRUE(eq.HistogramEqualize());  // histogram over the pixels
    EXPECT_EQ(Indices(eq), (std::vector<uint8_t>{0, 0, 100, 200}));
    EXPECT_EQ(Str(eq.GetPaletteColor(100)), Str(Grey(127)));
    EXPECT_EQ(Str(eq.GetPaletteColor(200)), Str(Grey(255)));
}

TEST(HistogramRemap, EscapeStopsWithTheImageIntact)
{
    for (const auto& [name, op] : kRemaps) {
        CLfImage image;
        Levels(image, {10, 60, 200, 90});
        image.info.escape = 1;
        EXPECT_TRUE(op(image)) << name;
        EXPECT_EQ(Reds(image), (std::vector<uint8_t>{10, 60, 200, 90})) << name;
    }
}

TEST(HistogramRemap, ProgressRunsThroughBothHalves)
{
    CLfImage image;
    MakeRgb(image, 2, 4, [](int x, int y) { return Grey(uint8_t(30 * x + 40 * y)); });
    ASSERT_TRUE(image.HistogramStretch());
    EXPECT_EQ(int32_t(image.info.progress), 50 + 3 * 50 / 4);
}
