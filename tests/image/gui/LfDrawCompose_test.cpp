#include "image/ops/LfDrawCompose.h"

#include "tests/image/PictureTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

using lftest::Rgb;
using lftest::Str;

namespace {

LfDrawArea Area(int l, int t, int w, int h)
{
    LfDrawArea a;
    a.left = l;
    a.top = t;
    a.width = w;
    a.height = h;
    return a;
}

// Composes the whole destination rectangle and returns its pixels, top row first.
struct Composed {
    std::vector<RGBQUAD> colours;
    std::vector<uint8_t> alpha;
    int64_t skipped = 0;
};
Composed Compose(const CLfImage& img, int cx, int cy, LfComposeMode mode, RGBQUAD background)
{
    const LfDrawArea area = Area(0, 0, cx, cy);
    std::vector<uint8_t> rgb(size_t(cx) * size_t(cy) * 3);
    Composed out;
    out.alpha.resize(size_t(cx) * size_t(cy));
    out.skipped = LfComposeArea(img, 0, 0, cx, cy, area, mode, background, rgb.data(), out.alpha.data());
    for (size_t i = 0; i < out.alpha.size(); ++i)
        out.colours.push_back(Rgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]));
    return out;
}

}  // namespace

TEST(LfDrawCompose, VisibleAreaIsTheDestinationInsideTheBox)
{
    struct Case {
        int x, y, cx, cy;
        LfDrawArea box;
        int left, top, width, height;
    } cases[] = {
        {10, 20, 30, 40, Area(0, 0, 100, 100), 10, 20, 30, 40},   // wholly inside
        {-5, -5, 20, 20, Area(0, 0, 100, 100), 0, 0, 15, 15},     // cut at the top-left
        {90, 95, 20, 20, Area(0, 0, 100, 100), 90, 95, 10, 5},    // cut at the bottom-right
        {200, 0, 20, 20, Area(0, 0, 100, 100), 100, 0, 0, 20},    // right of the box: empty
        {0, 0, 50, 50, Area(20, 30, 10, 5), 20, 30, 10, 5},       // box inside the destination
    };
    for (const Case& c : cases) {
        const LfDrawArea a = LfVisibleArea(c.x, c.y, c.cx, c.cy, c.box);
        EXPECT_EQ(a.left, c.left);
        EXPECT_EQ(a.top, c.top);
        EXPECT_EQ(a.width, c.width) << c.x << "," << c.y;
        EXPECT_EQ(a.height, c.height) << c.x << "," << c.y;
    }
    EXPECT_TRUE(LfVisibleArea(200, 0, 20, 20, Area(0, 0, 100, 100)).IsEmpty());
}

TEST(LfDrawCompose, NearestPixelMapping)
{
    // Natural size is the identity; rows turn from top-down lines into bottom-up rows.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(LfSourceColumn(7 + i, 7, 5, 5), i);
        EXPECT_EQ(LfSourceRow(3 + i, 3, 5, 5), 4 - i);
    }
    // Twice the size: each source pixel covers two destination pixels.
    const int doubled[] = {0, 0, 1, 1, 2, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(LfSourceColumn(i, 0, 6, 3), doubled[i]);
    const int doubledRows[] = {2, 2, 1, 1, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(LfSourceRow(i, 0, 6, 3), doubledRows[i]);
    // Halved: every second source pixel, top line from the top row.
    EXPECT_EQ(LfSourceColumn(0, 0, 2, 4), 0);
    EXPECT_EQ(LfSourceColumn(1, 0, 2, 4), 2);
    EXPECT_EQ(LfSourceRow(0, 0, 2, 4), 2);
    EXPECT_EQ(LfSourceRow(1, 0, 2, 4), 0);
}

TEST(LfDrawCompose, BlendFormula)
{
    const RGBQUAD colour = Rgb(200, 100, 50), background = Rgb(10, 20, 30);
    struct Case {
        uint32_t a;
        bool painted;
        RGBQUAD expected;
    } cases[] = {
        {0, false, {}},
        {255, true, colour},
        {128, true, Rgb((200 * 128 + 10 * 127) >> 8, (100 * 128 + 20 * 127) >> 8, (50 * 128 + 30 * 127) >> 8)},
        {1, true, Rgb((200 + 10 * 254) >> 8, (100 + 20 * 254) >> 8, (50 + 30 * 254) >> 8)},
    };
    for (const Case& c : cases) {
        RGBQUAD out = Rgb(1, 2, 3);
        EXPECT_EQ(LfBlendPixel(colour, c.a, background, out), c.painted) << c.a;
        if (c.painted) {
            EXPECT_EQ(Str(out), Str(c.expected)) << c.a;
        }
    }
}

TEST(LfDrawCompose, AlphaPlaneWithGlobalOpacity)
{
    CLfImage img;
    lftest::MakeRgb(img, 3, 1, [](int, int) { return Rgb(200, 100, 50); });
    ASSERT_TRUE(img.AlphaCreate());
    img.AlphaSet(0, 0, 0);
    img.AlphaSet(1, 0, 255);
    img.AlphaSet(2, 0, 200);
    img.info.alphaMax = 127;
    ASSERT_EQ(LfDrawMode(img), LfComposeMode::Blend);
    const RGBQUAD bg = Rgb(10, 20, 30);
    const Composed out = Compose(img, 3, 1, LfComposeMode::Blend, bg);
    EXPECT_EQ(out.skipped, 1);
    EXPECT_EQ(out.alpha[0], 0);
    // 255 x 128 >> 8 = 127; 200 x 128 >> 8 = 100.
    EXPECT_EQ(Str(out.colours[1]), Str(Rgb((200 * 127 + 10 * 128) >> 8, (100 * 127 + 20 * 128) >> 8,
                                            (50 * 127 + 30 * 128) >> 8)));
    EXPECT_EQ(Str(out.colours[2]), Str(Rgb((200 * 100 + 10 * 155) >> 8, (100 * 100 + 20 * 155) >> 8,
                                            (50 * 100 + 30 * 155) >> 8)));
    // Opacity mode keeps the colour and hands the same opacities on for the toolkit.
    const Composed opaque = Compose(img, 3, 1, LfComposeMode::Opacity, bg);
    EXPECT_EQ(opaque.skipped, 1);
    EXPECT_EQ((std::vector<uint8_t>(opaque.alpha)), (std::vector<uint8_t>{0, 127, 100}));
    EXPECT_EQ(Str(opaque.colours[1]), Str(Rgb(200, 100, 50)));
    EXPECT_EQ(Str(opaque.colours[2]), Str(Rgb(200, 100, 50)));
    // Without any transparency Draw paints plainly and alphaMax has no effect.
    img.AlphaDelete();
    EXPECT_EQ(LfDrawMode(img), LfComposeMode::Plain);
    EXPECT_EQ(Str(Compose(img, 3, 1, LfComposeMode::Plain, bg).colours[1]), Str(Rgb(200, 100, 50)));
}

TEST(LfDrawCompose, TransparentIndexAndPaletteAlpha)
{
    CLfImage img;
    ASSERT_NE(img.Create(4, 1, 8, 0), nullptr);
    img.SetPaletteColor(0, Rgb(255, 0, 0));
    img.SetPaletteColor(1, Rgb(255, 0, 0));  // the same four bytes as the transparent entry
    img.SetPaletteColor(2, Rgb(0, 0, 255));
    img.SetPaletteColor(3, Rgb(0, 255, 0, 63));
    for (int x = 0; x < 4; ++x)
        img.SetPixelIndex(x, 0, uint8_t(x));
    img.info.transIndex = 0;
    const RGBQUAD bg = Rgb(100, 100, 100);

    Composed out = Compose(img, 4, 1, LfComposeMode::Blend, bg);
    EXPECT_EQ(out.skipped, 2);
    EXPECT_EQ((std::vector<uint8_t>(out.alpha)), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(Str(out.colours[3]), Str(Rgb(0, 255, 0)));  // palette alpha not switched on

    img.info.transIndex = -1;
    img.info.alphaPalette = true;  // now the fourth bytes count: 0 hides, 63 blends
    out = Compose(img, 4, 1, LfComposeMode::Blend, bg);
    EXPECT_EQ((std::vector<uint8_t>(out.alpha)), (std::vector<uint8_t>{0, 0, 0, 255}));
    EXPECT_EQ(Str(out.colours[3]), Str(Rgb((100 * 192) >> 8, (255 * 63 + 100 * 192) >> 8, (100 * 192) >> 8)));
}

TEST(LfDrawCompose, ColourKeyIgnoresAlphaAndStretchesByNearestPixel)
{
    CLfImage img;
    lftest::MakeRgb(img, 2, 1, [](int x, int) { return x == 0 ? Rgb(1, 2, 3) : Rgb(40, 50, 60); });
    ASSERT_TRUE(img.AlphaCreate());  // all 0: Draw would leave everything out
    img.info.transIndex = 0;
    img.info.transColor = Rgb(1, 2, 3);
    const Composed out = Compose(img, 4, 2, LfComposeMode::ColourKey, Rgb(0, 0, 0));
    EXPECT_EQ(out.skipped, 4);
    for (int line = 0; line < 2; ++line) {
        EXPECT_EQ(out.alpha[size_t(line) * 4 + 1], 0);
        EXPECT_EQ(out.alpha[size_t(line) * 4 + 2], 255);
        EXPECT_EQ(Str(out.colours[size_t(line) * 4 + 3]), Str(Rgb(40, 50, 60)));
    }
}
