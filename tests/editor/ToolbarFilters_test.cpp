#include "editor/model/ToolbarFilters.h"

#include <gtest/gtest.h>

namespace {

RgbPixels Make(int w, int h, std::vector<uint8_t> rgb) { return RgbPixels{w, h, std::move(rgb)}; }

}  // namespace

TEST(ToolbarFilters, KeyPixelsTakeTheBackgroundAndOthersStayOrTurnGrey)
{
    // Row: key, red 200/green 100/blue 50, key.
    const RgbPixels image = Make(3, 1, {192, 192, 192, 200, 100, 50, 192, 192, 192});
    // A 2 x 1 background repeats: the third pixel takes its first pixel again.
    const RgbPixels background = Make(2, 1, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(PatternFilter(image, background, kToolbarKeyColour).rgb,
              (std::vector<uint8_t>{1, 2, 3, 200, 100, 50, 1, 2, 3}));
    // (6 * 100 + 3 * 200 + 50) / 10 = 125.
    EXPECT_EQ(GrayFilter(image, background, kToolbarKeyColour).rgb,
              (std::vector<uint8_t>{1, 2, 3, 125, 125, 125, 1, 2, 3}));
}

TEST(ToolbarFilters, ANearKeyColourIsNotTheKeyAndBadBuffersPassThrough)
{
    const RgbPixels image = Make(1, 1, {192, 192, 193});
    const RgbPixels background = Make(1, 1, {0, 0, 0});
    EXPECT_EQ(PatternFilter(image, background, kToolbarKeyColour).rgb, image.rgb);
    const RgbPixels shortBuffer = Make(2, 2, {192, 192, 192});
    EXPECT_EQ(GrayFilter(shortBuffer, background, kToolbarKeyColour).rgb, shortBuffer.rgb);
    // Without a background the key pixels stay as they are.
    EXPECT_EQ(PatternFilter(Make(1, 1, {192, 192, 192}), RgbPixels{}, kToolbarKeyColour).rgb,
              (std::vector<uint8_t>{192, 192, 192}));
}
