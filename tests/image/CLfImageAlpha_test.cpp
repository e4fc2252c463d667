#include "image/CLfImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool Same(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed &&
           a.rgbReserved == b.rgbReserved;
}

TEST(CLfImageAlpha, PlaneBasics)
{
    CLfImage img(4, 3, 24);
    EXPECT_EQ(img.AlphaGet(1, 1), 0);  // no plane: 0, yet opaque
    EXPECT_EQ(img.GetColorType(), 2);
    img.AlphaSet(1, 1, 5);  // no plane: ignored
    img.AlphaSet(9);
    EXPECT_EQ(img.alpha, nullptr);

    ASSERT_TRUE(img.AlphaCreate());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(img.AlphaGet(x, y), 0);
    img.AlphaSet(200);
    EXPECT_EQ(img.AlphaGet(3, 2), 200);
    img.AlphaSet(3, 2, 7);
    EXPECT_EQ(img.alpha[2 * 4 + 3], 7);  // bottom-up rows, no padding
    img.AlphaSet(4, 0, 9);               // outside: ignored
    img.AlphaSet(-1, 0, 9);
    EXPECT_EQ(img.AlphaGet(-1, 0), 0);
    EXPECT_EQ(img.AlphaGet(4, 0), 0);
    EXPECT_EQ(img.alpha[3], 200);
    img.AlphaInvert();
    EXPECT_EQ(img.AlphaGet(3, 2), 248);
    EXPECT_EQ(img.AlphaGet(0, 0), 55);
    img.AlphaClear();
    EXPECT_EQ(img.AlphaGet(3, 2), 0);
    img.AlphaDelete();
    EXPECT_EQ(img.alpha, nullptr);

    CLfImage empty;
    EXPECT_FALSE(empty.AlphaCreate());
}

TEST(CLfImageAlpha, FlipAndMirrorAreTheirOwnInverse)
{
    CLfImage img(3, 2, 8);
    EXPECT_FALSE(img.AlphaFlip());
    EXPECT_FALSE(img.AlphaMirror());
    img.AlphaCreate();
    for (int i = 0; i < 6; ++i)
        img.alpha[i] = uint8_t(i + 1);
    uint8_t original[6];
    std::memcpy(original, img.alpha, 6);

    ASSERT_TRUE(img.AlphaFlip());
    const uint8_t flipped[6] = {4, 5, 6, 1, 2, 3};
    EXPECT_EQ(std::memcmp(img.alpha, flipped, 6), 0);
    ASSERT_TRUE(img.AlphaFlip());
    EXPECT_EQ(std::memcmp(img.alpha, original, 6), 0);

    ASSERT_TRUE(img.AlphaMirror());
    const uint8_t mirrored[6] = {3, 2, 1, 6, 5, 4};
    EXPECT_EQ(std::memcmp(img.alpha, mirrored, 6), 0);
    ASSERT_TRUE(img.AlphaMirror());
    EXPECT_EQ(std::memcmp(img.alpha, original, 6), 0);
}

TEST(CLfImageAlpha, CopyAndSetFromGreyNeedTheSameSize)
{
    CLfImage src(4, 4, 24);
    src.AlphaCreate();
    src.AlphaSet(2, 3, 77);
    src.info.alphaMax = 128;

    CLfImage dst(4, 4, 24);
    ASSERT_TRUE(dst.AlphaCopy(src));
    EXPECT_EQ(dst.AlphaGet(2, 3), 77);
    EXPECT_EQ(dst.info.alphaMax, 128);

    CLfImage wider(5, 4, 24);
    wider.AlphaCreate();
    wider.AlphaSet(33);
    EXPECT_FALSE(wider.AlphaCopy(src));
    EXPECT_EQ(wider.AlphaGet(2, 3), 33);  // unchanged
    CLfImage taller(4, 9, 24);            // same width, more rows: refused, no overread
    EXPECT_FALSE(taller.AlphaCopy(src));
    EXPECT_EQ(taller.alpha, nullptr);
    CLfImage noPlane(4, 4, 24);
    EXPECT_FALSE(dst.AlphaCopy(noPlane));

    CLfImage grey(4, 4, 8);
    grey.SetGrayPalette();
    grey.SetPixelIndex(1, 2, 150);
    CLfImage target(4, 4, 24);
    ASSERT_TRUE(target.AlphaSet(grey));
    EXPECT_EQ(target.AlphaGet(1, 2), 150);
    EXPECT_EQ(target.AlphaGet(0, 0), 0);

    CLfImage notGrey(4, 4, 8);
    notGrey.SetStdPalette();
    EXPECT_FALSE(target.AlphaSet(notGrey));
    CLfImage greyTall(4, 8, 8);
    greyTall.SetGrayPalette();
    CLfImage shortTarget(4, 2, 24);
    EXPECT_FALSE(shortTarget.AlphaSet(greyTall));
}

TEST(CLfImageAlpha, SplitGivesAGreyImageOfThePlane)
{
    CLfImage img(5, 3, 24);
    CLfImage out;
    EXPECT_FALSE(img.AlphaSplit(&out));
    img.AlphaCreate();
    for (int i = 0; i < 15; ++i)
        img.alpha[i] = uint8_t(i * 17);
    EXPECT_FALSE(img.AlphaSplit(nullptr));
    ASSERT_TRUE(img.AlphaSplit(&out));
    EXPECT_EQ(out.GetBpp(), 8u);
    EXPECT_TRUE(out.IsGrayScale());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(out.GetPixelIndex(x, y), img.AlphaGet(x, y));
}

TEST(CLfImageAlpha, PaletteAlpha)
{
    CLfImage img(2, 1, 4);
    EXPECT_FALSE(img.PaletteHasAlpha());
    CLfImage out;
    EXPECT_FALSE(img.AlphaPaletteSplit(&out));
    img.SetPaletteColor(3, 1, 2, 3, 90);
    img.SetPixelIndex(1, 0, 3);
    EXPECT_TRUE(img.PaletteHasAlpha());
    ASSERT_TRUE(img.AlphaPaletteSplit(&out));
    EXPECT_EQ(out.GetPixelIndex(1, 0), 90);
    EXPECT_EQ(out.GetPixelIndex(0, 0), 0);
    img.AlphaPaletteClear();
    EXPECT_FALSE(img.PaletteHasAlpha());
    EXPECT_EQ(img.GetPaletteColor(3).rgbRed, 1);
}

TEST(CLfImageAlpha, StripBlendsA24BitImageOntoTheBackground)
{
    CLfImage img(3, 1, 24);
    img.info.transColor = RGBQUAD{255, 255, 255, 0};
    for (int x = 0; x < 3; ++x)
        img.SetPixelColor(x, 0, RGBQUAD{0, 0, 255, 0});
    img.AlphaCreate();
    img.AlphaSet(0, 0, 128);
    img.AlphaSet(1, 0, 0);
    img.AlphaSet(2, 0, 255);
    img.AlphaStrip();
    EXPECT_EQ(img.alpha, nullptr);
    EXPECT_TRUE(Same(img.GetPixelColor(0, 0), RGBQUAD{127, 127, 255, 0}));
    EXPECT_TRUE(Same(img.GetPixelColor(1, 0), RGBQUAD{255, 255, 255, 0}));
    EXPECT_TRUE(Same(img.GetPixelColor(2, 0), RGBQUAD{0, 0, 255, 0}));
    EXPECT_EQ(img.GetBpp(), 24u);
}

TEST(CLfImageAlpha, StripScalesThePlaneByAlphaMax)
{
    CLfImage img(1, 1, 24);
    img.info.transColor = RGBQUAD{0, 0, 0, 0};
    img.info.alphaMax = 128;
    img.SetPixelColor(0, 0, RGBQUAD{255, 255, 255, 0});
    img.AlphaCreate();
    img.AlphaSet(255);
    img.AlphaStrip();
    // opacity 255 x 128 / 255 = 128; 255 x 128 / 255 = 128
    EXPECT_EQ(img.GetPixelColor(0, 0).rgbBlue, 128);
}

TEST(CLfImageAlpha, StripOfAPaletteImageWithPaletteAlphaMakes24Bits)
{
    CLfImage img(2, 1, 8, lfimg::kTypePNG);
    img.SetXDPI(300);
    img.info.transColor = RGBQUAD{0, 0, 0, 0};
    img.info.alphaMax = 128;
    img.SetPaletteColor(1, 255, 255, 255, 255);
    img.SetPaletteColor(2, 255, 255, 255, 51);
    img.SetPixelIndex(0, 0, 1);
    img.SetPixelIndex(1, 0, 2);
    img.AlphaStrip();
    ASSERT_TRUE(img.IsValid());
    EXPECT_EQ(img.GetBpp(), 24u);
    EXPECT_EQ(img.GetNumColors(), 0u);
    // opacity = 128 x fourth byte / 255
    EXPECT_EQ(img.GetPixelColor(0, 0).rgbRed, 128);         // 128 x 255 / 255 = 128
    EXPECT_EQ(img.GetPixelColor(1, 0).rgbRed, 25);          // 128 x 51 / 255 = 25
    EXPECT_EQ(img.info.type, 0u);                           // the new image's block
    EXPECT_EQ(img.info.xDpi, 96);
}

TEST(CLfImageAlpha, StripWithoutAnyAlphaDoesNothing)
{
    CLfImage img(2, 1, 8);
    img.SetPaletteColor(1, 9, 9, 9);
    img.SetPixelIndex(0, 0, 1);
    img.info.alphaMax = 10;
    uint8_t* before = img.dib;
    img.AlphaStrip();
    EXPECT_EQ(img.dib, before);
    EXPECT_EQ(img.GetBpp(), 8u);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 1);
}

TEST(CLfImageAlpha, GhostOwnsOnlyThePlaneItWasGiven)
{
    // An encoder works on a ghost and may add a temporary plane: it must be freed
    // with the ghost and must never free the owner's plane.
    CLfImage owner(3, 3, 24);
    {
        CLfImage ghost;
        ghost.Ghost(&owner);
        ASSERT_TRUE(ghost.AlphaCreate());
        ghost.AlphaSet(255);
        EXPECT_EQ(owner.alpha, nullptr);
    }  // LeakSanitizer reports the plane if the ghost kept it
    owner.AlphaCreate();
    owner.AlphaSet(5);
    {
        CLfImage ghost;
        ghost.Ghost(&owner);
        EXPECT_EQ(ghost.alpha, owner.alpha);
        ASSERT_TRUE(ghost.AlphaFlip());  // a new plane of the ghost's own
        EXPECT_NE(ghost.alpha, owner.alpha);
        ghost.AlphaDelete();
    }
    EXPECT_EQ(owner.AlphaGet(2, 2), 5);
}

}  // namespace
