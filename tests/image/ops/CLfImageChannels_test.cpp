// Colour-space conversions, channel splits and Combine.

#include "image/CLfImage.h"
#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace lftest;

namespace {

// A colour of another space: first, second and third component.
RGBQUAD Space(uint8_t a, uint8_t b, uint8_t c) { return Rgb(a, b, c); }

struct ConversionCase {
    const char* name;
    RGBQUAD (*convert)(RGBQUAD);
    RGBQUAD in, out;
};

// A grid through the middle of the RGB cube, whose colours every space holds
// without clamping its components.
std::vector<RGBQUAD> CubeGrid()
{
    std::vector<RGBQUAD> out;
    for (int r = 40; r < 216; r += 25)
        for (int g = 40; g < 216; g += 25)
            for (int b = 40; b < 216; b += 25) out.push_back(Rgb(uint8_t(r), uint8_t(g), uint8_t(b)));
    return out;
}

int MaxChannelError(const RGBQUAD& a, const RGBQUAD& b)
{
    return std::max({std::abs(a.rgbRed - b.rgbRed), std::abs(a.rgbGreen - b.rgbGreen), std::abs(a.rgbBlue - b.rgbBlue)});
}

}  // namespace

TEST(ColourSpace, ConversionTable)
{
    const ConversionCase cases[] = {
        {"HSL red", CLfImage::RGBtoHSL, Rgb(255, 0, 0), Space(0, 255, 128)},
        {"HSL green", CLfImage::RGBtoHSL, Rgb(0, 255, 0), Space(85, 255, 128)},
        {"HSL blue", CLfImage::RGBtoHSL, Rgb(0, 0, 255), Space(170, 255, 128)},
        {"HSL grey", CLfImage::RGBtoHSL, Grey(100), Space(170, 0, 100)},
        {"HSL hue wraps", CLfImage::RGBtoHSL, Rgb(255, 0, 10), Space(254, 255, 128)},
        {"HSL dark", CLfImage::RGBtoHSL, Rgb(100, 50, 0), Space(21, 255, 50)},
        {"HSL grey back", CLfImage::HSLtoRGB, Space(77, 0, 128), Grey(128)},
        {"HSL black back", CLfImage::HSLtoRGB, Space(77, 0, 0), Grey(0)},
        // Lightness 128 is 0.502, so m1 = 2 l - 1 = 0.0039 gives the other channels 1.
        {"HSL red back", CLfImage::HSLtoRGB, Space(0, 255, 128), Rgb(255, 1, 1)},
        {"HSL blue back", CLfImage::HSLtoRGB, Space(170, 255, 128), Rgb(1, 1, 255)},
        {"YUV white", CLfImage::RGBtoYUV, Grey(255), Space(255, 128, 128)},
        {"YUV black", CLfImage::RGBtoYUV, Grey(0), Space(0, 128, 128)},
        {"YUV red", CLfImage::RGBtoYUV, Rgb(255, 0, 0), Space(76, 85, 255)},
        {"YUV zeros back", CLfImage::YUVtoRGB, Space(0, 0, 0), Rgb(0, 135, 0)},
        {"YUV grey back", CLfImage::YUVtoRGB, Space(90, 128, 128), Grey(90)},
        // The single-precision weights of Y sum to just below 1, those of I to -0.0001.
        {"YIQ white", CLfImage::RGBtoYIQ, Grey(255), Space(254, 127, 128)},
        {"YIQ red", CLfImage::RGBtoYIQ, Rgb(255, 0, 0), Space(76, 255, 181)},
        {"YIQ grey back", CLfImage::YIQtoRGB, Space(60, 128, 128), Grey(60)},
        {"XYZ white", CLfImage::RGBtoXYZ, Grey(255), Space(242, 255, 255)},
        {"XYZ black", CLfImage::RGBtoXYZ, Grey(0), Space(0, 0, 0)},
        {"XYZ blue", CLfImage::RGBtoXYZ, Rgb(0, 0, 255), Space(46, 18, 222)},
        {"XYZ black back", CLfImage::XYZtoRGB, Space(0, 0, 0), Grey(0)},
    };
    for (const ConversionCase& c : cases) EXPECT_EQ(Str(c.convert(c.in)), Str(c.out)) << c.name;
}

TEST(ColourSpace, RoundTripsStayClose)
{
    struct Trip {
        const char* name;
        RGBQUAD (*to)(RGBQUAD);
        RGBQUAD (*back)(RGBQUAD);
        int tolerance;
    };
    const Trip trips[] = {
        {"HSL", CLfImage::RGBtoHSL, CLfImage::HSLtoRGB, 6},  // hue steps of 42 per sixth
        {"YUV", CLfImage::RGBtoYUV, CLfImage::YUVtoRGB, 2},
        {"YIQ", CLfImage::RGBtoYIQ, CLfImage::YIQtoRGB, 3},
        {"XYZ", CLfImage::RGBtoXYZ, CLfImage::XYZtoRGB, 3},
    };
    for (const Trip& t : trips) {
        for (const RGBQUAD& c : CubeGrid()) {
            const RGBQUAD there = t.to(c);
            EXPECT_EQ(there.rgbReserved, 0) << t.name;
            EXPECT_LE(MaxChannelError(t.back(there), c), t.tolerance) << t.name << " " << Str(c);
        }
    }
    // Greys survive every trip exactly.
    for (int v = 0; v < 256; v += 5) {
        for (const Trip& t : trips) {
            // XYZ and YIQ do not put greys exactly on their grey axis.
            if (t.to == CLfImage::RGBtoXYZ || t.to == CLfImage::RGBtoYIQ) continue;
            EXPECT_EQ(Str(t.back(t.to(Grey(uint8_t(v))))), Str(Grey(uint8_t(v)))) << t.name << " " << v;
        }
    }
}

TEST(ColourSpace, HueToRGBSegments)
{
    EXPECT_FLOAT_EQ(CLfImage::HueToRGB(0.2f, 0.8f, 30.0f), 0.5f);
    EXPECT_FLOAT_EQ(CLfImage::HueToRGB(0.2f, 0.8f, 100.0f), 0.8f);
    EXPECT_FLOAT_EQ(CLfImage::HueToRGB(0.2f, 0.8f, 210.0f), 0.5f);
    EXPECT_FLOAT_EQ(CLfImage::HueToRGB(0.2f, 0.8f, 300.0f), 0.2f);
    EXPECT_FLOAT_EQ(CLfImage::HueToRGB(0.2f, 0.8f, 390.0f), 0.5f);   // above 360 wraps
    EXPECT_FLOAT_EQ(CLfImage::HueToRGB(0.2f, 0.8f, -150.0f), 0.5f);  // below 0 wraps
}

TEST(ColourSpace, HSLFromAColourRefTakesRedAsHue)
{
    EXPECT_EQ(Str(CLfImage::HSLtoRGB(RGB(170, 255, 128))), Str(CLfImage::HSLtoRGB(Space(170, 255, 128))));
    EXPECT_EQ(Str(CLfImage::HSLtoRGB(RGB(0, 0, 200))), Str(Grey(200)));
}

TEST(ChannelSplit, RGBIntoGivenDestinationsOnly)
{
    CLfImage image;
    MakeRgb(image, 3, 2, [](int x, int y) { return Rgb(uint8_t(10 * x), uint8_t(20 + y), uint8_t(x + y)); });
    const auto before = RawBits(image);
    CLfImage green;
    ASSERT_TRUE(image.SplitRGB(nullptr, &green, nullptr));
    EXPECT_EQ(green.GetBpp(), 8u);
    EXPECT_EQ(green.GetType(), 0u);
    EXPECT_TRUE(green.IsGrayScale());
    EXPECT_EQ(Indices(green), (std::vector<uint8_t>{20, 20, 20, 21, 21, 21}));
    EXPECT_EQ(RawBits(image), before);

    EXPECT_FALSE(image.SplitRGB(nullptr, nullptr, nullptr));
    CLfImage empty;
    EXPECT_FALSE(empty.SplitRGB(&green, nullptr, nullptr));
    EXPECT_EQ(green.GetWidth(), 3);  // a refused split leaves destinations alone
}

TEST(ChannelSplit, EverySpaceMatchesItsConversion)
{
    CLfImage image;
    MakeRgb(image, 4, 3, [](int x, int y) { return Rgb(uint8_t(60 * x), uint8_t(255 - 70 * y), uint8_t(30 + 20 * x * y)); });
    using Split = bool (CLfImage::*)(CLfImage*, CLfImage*, CLfImage*);
    struct Case {
        const char* name;
        Split split;
        RGBQUAD (*convert)(RGBQUAD);
    };
    const Case cases[] = {
        {"RGB", &CLfImage::SplitRGB, [](RGBQUAD c) { return c; }},
        {"YUV", &CLfImage::SplitYUV, CLfImage::RGBtoYUV},
        {"YIQ", &CLfImage::SplitYIQ, CLfImage::RGBtoYIQ},
        {"XYZ", &CLfImage::SplitXYZ, CLfImage::RGBtoXYZ},
        {"HSL", &CLfImage::SplitHSL, CLfImage::RGBtoHSL},
    };
    for (const Case& c : cases) {
        CLfImage a, b, d;
        ASSERT_TRUE((image.*c.split)(&a, &b, &d)) << c.name;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const RGBQUAD v = c.convert(Colour(image, x, y));
                EXPECT_EQ(a.GetPixelIndex(x, y), v.rgbRed) << c.name;
                EXPECT_EQ(b.GetPixelIndex(x, y), v.rgbGreen) << c.name;
                EXPECT_EQ(d.GetPixelIndex(x, y), v.rgbBlue) << c.name;
            }
        }
    }
}

TEST(ChannelSplit, PaletteImagesSplitThroughTheirPalette)
{
    CLfImage image;
    ASSERT_NE(image.Create(2, 1, 4, 0), nullptr);
    image.SetPaletteColor(5, 200, 100, 50);
    image.SetPixelIndex(1, 0, 5);
    CLfImage r, g, b;
    ASSERT_TRUE(image.SplitRGB(&r, &g, &b));
    EXPECT_EQ(r.GetPixelIndex(1, 0), 200);
    EXPECT_EQ(g.GetPixelIndex(1, 0), 100);
    EXPECT_EQ(b.GetPixelIndex(1, 0), 50);
    EXPECT_EQ(r.GetPixelIndex(0, 0), 0);
}

TEST(ChannelSplit, CMYK)
{
    CLfImage white;
    MakeRgb(white, 2, 2, [](int, int) { return Grey(255); });
    CLfImage c, m, y, k;
    ASSERT_TRUE(white.SplitCMYK(&c, &m, &y, &k));
    EXPECT_EQ(Indices(c), std::vector<uint8_t>(4, 0));
    EXPECT_EQ(Indices(m), std::vector<uint8_t>(4, 0));
    EXPECT_EQ(Indices(y), std::vector<uint8_t>(4, 0));
    EXPECT_EQ(Indices(k), std::vector<uint8_t>(4, 255));

    CLfImage colour;
    MakeRgb(colour, 1, 1, [](int, int) { return Rgb(10, 20, 30); });
    ASSERT_TRUE(colour.SplitCMYK(&c, &m, &y, &k));
    EXPECT_EQ(c.GetPixelIndex(0, 0), 245);
    EXPECT_EQ(m.GetPixelIndex(0, 0), 235);
    EXPECT_EQ(y.GetPixelIndex(0, 0), 225);
    EXPECT_EQ(k.GetPixelIndex(0, 0), 18);  // the grey level, not inverted
    EXPECT_FALSE(colour.SplitCMYK(nullptr, nullptr, nullptr, nullptr));
}

TEST(ChannelSplit, IntoTheImageItself)
{
    CLfImage image;
    MakeRgb(image, 2, 1, [](int x, int) { return Rgb(uint8_t(7 + x), 99, 3); });
    CLfImage blue;
    ASSERT_TRUE(image.SplitRGB(&image, nullptr, &blue));
    EXPECT_EQ(image.GetBpp(), 8u);
    EXPECT_EQ(Indices(image), (std::vector<uint8_t>{7, 8}));
    EXPECT_EQ(Indices(blue), (std::vector<uint8_t>{3, 3}));
}

TEST(ChannelCombine, SplitThenCombineRestoresTheImage)
{
    CLfImage image;
    MakeRgb(image, 5, 4, [](int x, int y) { return Rgb(uint8_t(50 * x), uint8_t(60 * y), uint8_t(x * y * 12)); });
    image.info.type = 3;
    CLfImage r, g, b;
    ASSERT_TRUE(image.SplitRGB(&r, &g, &b));
    CLfImage combined;
    ASSERT_TRUE(combined.Combine(&r, &g, &b, nullptr, 0));
    EXPECT_EQ(combined.GetBpp(), 24u);
    EXPECT_EQ(combined.GetType(), 0u);
    EXPECT_EQ(combined.alpha, nullptr);
    EXPECT_EQ(Strs(Pixels(combined)), Strs(Pixels(image)));
}

TEST(ChannelCombine, EverySpaceConvertsBack)
{
    CLfImage image;
    MakeRgb(image, 6, 6, [](int x, int y) { return Rgb(uint8_t(40 + 30 * x), uint8_t(40 + 30 * y), uint8_t(200 - 15 * x)); });
    using Split = bool (CLfImage::*)(CLfImage*, CLfImage*, CLfImage*);
    const std::pair<Split, int32_t> spaces[] = {{&CLfImage::SplitHSL, 1}, {&CLfImage::SplitYUV, 2},
                                                {&CLfImage::SplitYIQ, 3}, {&CLfImage::SplitXYZ, 4}};
    for (const auto& [split, space] : spaces) {
        CLfImage a, b, c, out;
        ASSERT_TRUE((image.*split)(&a, &b, &c));
        ASSERT_TRUE(out.Combine(&a, &b, &c, nullptr, space));
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 6; ++x) {
                const RGBQUAD in = Rgb(uint8_t(a.GetPixelIndex(x, y)), uint8_t(b.GetPixelIndex(x, y)),
                                       uint8_t(c.GetPixelIndex(x, y)));
                RGBQUAD back;
                switch (space) {
                    case 1: back = CLfImage::HSLtoRGB(in); break;
                    case 2: back = CLfImage::YUVtoRGB(in); break;
                    case 3: back = CLfImage::YIQtoRGB(in); break;
                    default: back = CLfImage::XYZtoRGB(in); break;
                }
                EXPECT_EQ(Str(Colour(out, x, y)), Str(back)) << "space " << space;
                EXPECT_LE(MaxChannelError(Colour(out, x, y), Colour(image, x, y)), 6) << "space " << space;
            }
        }
    }
}

TEST(ChannelCombine, LeavesCallersChannelsAloneAndSamplesOtherSizes)
{
    CLfImage first, second, third;
    MakeGrey(first, 4, 2, [](int x, int) { return 10 + x; });
    MakeGrey(second, 2, 1, [](int x, int) { return x ? 200 : 100; });
    MakeGrey(third, 4, 2, [](int, int y) { return 50 + y; });
    const auto secondBefore = Indices(second);
    CLfImage out;
    ASSERT_TRUE(out.Combine(&first, &second, &third, nullptr, 0));
    // The caller's second image keeps its size and pixels.
    EXPECT_EQ(second.GetWidth(), 2);
    EXPECT_EQ(second.GetHeight(), 1);
    EXPECT_EQ(Indices(second), secondBefore);
    // Nearest pixel: columns 0-1 read its column 0, columns 2-3 its column 1.
    EXPECT_EQ(Str(Colour(out, 0, 0)), Str(Rgb(10, 100, 50)));
    EXPECT_EQ(Str(Colour(out, 1, 1)), Str(Rgb(11, 100, 51)));
    EXPECT_EQ(Str(Colour(out, 2, 0)), Str(Rgb(12, 200, 50)));
    EXPECT_EQ(Str(Colour(out, 3, 1)), Str(Rgb(13, 200, 51)));
}

TEST(ChannelCombine, AChannelMayBeTheImageItself)
{
    CLfImage image, g, b;
    MakeGrey(image, 3, 1, [](int x, int) { return 30 * x + 1; });
    MakeGrey(g, 3, 1, [](int, int) { return 2; });
    MakeGrey(b, 3, 1, [](int, int) { return 3; });
    ASSERT_TRUE(image.Combine(&image, &g, &image, nullptr, 0));
    EXPECT_EQ(image.GetBpp(), 24u);
    EXPECT_EQ(Strs(Pixels(image)), Strs({Rgb(1, 2, 1), Rgb(31, 2, 31), Rgb(61, 2, 61)}));
}

TEST(ChannelCombine, TrueColourChannelsReadTheirGreyLevel)
{
    CLfImage first, second, third;
    MakeGrey(first, 2, 1, [](int, int) { return 5; });
    MakeRgb(second, 2, 1, [](int x, int) { return x ? Rgb(10, 20, 30) : Grey(200); });
    MakeGrey(third, 2, 1, [](int, int) { return 6; });
    CLfImage out;
    ASSERT_TRUE(out.Combine(&first, &second, &third, nullptr, 0));
    EXPECT_EQ(Str(Colour(out, 0, 0)), Str(Rgb(5, 200, 6)));
    EXPECT_EQ(Str(Colour(out, 1, 0)), Str(Rgb(5, 18, 6)));
}

TEST(ChannelCombine, AlphaImageBecomesThePlane)
{
    CLfImage r, g, b, a;
    MakeGrey(r, 2, 2, [](int, int) { return 1; });
    MakeGrey(g, 2, 2, [](int, int) { return 2; });
    MakeGrey(b, 2, 2, [](int, int) { return 3; });
    MakeGrey(a, 2, 2, [](int x, int y) { return 100 * y + x; });
    CLfImage out;
    ASSERT_TRUE(out.Combine(&r, &g, &b, &a, 0));
    ASSERT_NE(out.alpha, nullptr);
    EXPECT_EQ(out.AlphaGet(0, 0), 0);
    EXPECT_EQ(out.AlphaGet(1, 0), 1);
    EXPECT_EQ(out.AlphaGet(0, 1), 100);
    EXPECT_EQ(out.AlphaGet(1, 1), 101);
}

TEST(ChannelCombine, RefusesMissingChannels)
{
    CLfImage r, g, empty, out;
    MakeGrey(r, 2, 2, [](int, int) { return 1; });
    MakeGrey(g, 2, 2, [](int, int) { return 2; });
    EXPECT_FALSE(out.Combine(&r, &g, nullptr, nullptr, 0));
    EXPECT_FALSE(out.Combine(nullptr, &g, &r, nullptr, 0));
    EXPECT_FALSE(out.Combine(&r, &g, &empty, nullptr, 0));
    EXPECT_EQ(out.dib, nullptr);
}

TEST(HuePalette, RisingHues)
{
    CLfImage image;
    ASSERT_NE(image.Create(1, 1, 4, 0), nullptr);
    image.SetPaletteColor(3, 1, 2, 3, 77);
    image.HuePalette(1.0f);
    for (uint32_t i = 0; i < 16; ++i) {
        // q = 255 / 15 = 17 hue steps per entry.
        EXPECT_EQ(Str(image.GetPaletteColor(i)), Str(CLfImage::HSLtoRGB(Space(uint8_t(17 * i), 240, 120)))) << i;
    }
    image.HuePalette(2.0f);  // hue 17 x 15 x 2 = 510 keeps its low 8 bits: 254
    EXPECT_EQ(Str(image.GetPaletteColor(15)), Str(CLfImage::HSLtoRGB(Space(254, 240, 120))));
    image.HuePalette(1e30f);  // absurd corrections stay defined
    image.HuePalette(-3.5f);
    EXPECT_EQ(Str(image.GetPaletteColor(0)), Str(CLfImage::HSLtoRGB(Space(0, 240, 120))));

    CLfImage rgb;
    MakeRgb(rgb, 1, 1, [](int, int) { return Grey(9); });
    rgb.HuePalette(1.0f);
    EXPECT_EQ(Str(Colour(rgb, 0, 0)), Str(Grey(9)));
}
