#include "editor/model/CHslColor.h"
#include "editor/model/HsbColor.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(HsbColorTest, KnownColours)
{
    struct Case {
        RgbColor rgb;
        HsbColor hsb;
    } cases[] = {
        {{255, 0, 0}, {0, 255, 255}},   {{0, 255, 0}, {120, 255, 255}}, {{0, 0, 255}, {240, 255, 255}},
        {{255, 255, 0}, {60, 255, 255}}, {{255, 0, 255}, {300, 255, 255}}, {{128, 128, 128}, {0, 0, 128}},
        {{0, 0, 0}, {0, 0, 0}},          {{255, 0, 1}, {359, 255, 255}},
    };
    for (const Case& c : cases) {
        const HsbColor hsb = HsbFromRgb(c.rgb);
        EXPECT_EQ(hsb.hue, c.hsb.hue) << c.rgb.red << "," << c.rgb.green << "," << c.rgb.blue;
        EXPECT_EQ(hsb.saturation, c.hsb.saturation);
        EXPECT_EQ(hsb.brightness, c.hsb.brightness);
    }
    const RgbColor yellow = RgbFromHsb({60, 255, 255});
    EXPECT_EQ(yellow.red, 255);
    EXPECT_EQ(yellow.green, 255);
    EXPECT_EQ(yellow.blue, 0);
    const RgbColor blue = RgbFromHsb({240, 255, 255});
    EXPECT_EQ(blue.red, 0);
    EXPECT_EQ(blue.blue, 255);
}

TEST(HsbColorTest, RoundTripsStayClose)
{
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 19) {
                const RgbColor back = RgbFromHsb(HsbFromRgb({r, g, b}));
                // Hue, saturation and every channel are truncated on the way.
                EXPECT_LE(std::abs(back.red - r), 6) << r << "," << g << "," << b;
                EXPECT_LE(std::abs(back.green - g), 6) << r << "," << g << "," << b;
                EXPECT_LE(std::abs(back.blue - b), 6) << r << "," << g << "," << b;
            }
}

TEST(CHslColorTest, KnownColoursAndRoundTrips)
{
    CHslColor red(RGB(255, 0, 0));
    EXPECT_FLOAT_EQ(red.GetHue(), 360.0f);  // 60 x 6; only hues above 360 wrap
    EXPECT_FLOAT_EQ(red.GetSaturation(), 1.0f);
    EXPECT_FLOAT_EQ(red.GetLightness(), 0.5f);
    CHslColor grey(RGB(51, 51, 51));
    EXPECT_FLOAT_EQ(grey.GetSaturation(), 0.0f);
    EXPECT_FLOAT_EQ(grey.GetLightness(), 0.2f);

    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 19) {
                CHslColor c(RGB(r, g, b));
                const float h = c.GetHue(), s = c.GetSaturation(), l = c.GetLightness();
                CHslColor back;
                back.SetHsl(h, s, l);
                EXPECT_LE(std::abs(back.GetRed() - r), 1) << r << "," << g << "," << b;
                EXPECT_LE(std::abs(back.GetGreen() - g), 1) << r << "," << g << "," << b;
                EXPECT_LE(std::abs(back.GetBlue() - b), 1) << r << "," << g << "," << b;
            }
}

TEST(CHslColorTest, SettersMarkTheOtherFormOutOfDate)
{
    CHslColor c(RGB(255, 0, 0));
    c.SetLightness(0.25f);  // darker red
    EXPECT_EQ(c.GetRed(), 127);
    EXPECT_EQ(c.GetGreen(), 0);
    c.SetGreen(127);
    EXPECT_FLOAT_EQ(c.GetHue(), 60.0f);
    c.SetSaturation(0.0f);
    EXPECT_EQ(c.GetRed(), c.GetBlue());
    EXPECT_EQ(c.GetColorRef(), RGB(c.GetRed(), c.GetRed(), c.GetRed()));
}

}  // namespace
