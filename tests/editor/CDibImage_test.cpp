#include "editor/model/CDibImage.h"

#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

TEST(CDibImageTest, PixelsOfEveryDepthAndNothingOutside)
{
    for (int bpp : {1, 4, 8, 24}) {
        CDibImage dib;
        ASSERT_TRUE(dib.Create(13, 5, bpp)) << bpp;
        EXPECT_EQ(dib.RowSize() % 4, 0u);
        EXPECT_EQ(dib.PaletteSize(), bpp == 24 ? 0 : 1 << bpp);
        const uint8_t top = static_cast<uint8_t>((1 << std::min(bpp, 8)) - 1);
        if (bpp == 24) {
            dib.SetColour(12, 0, RGB(1, 2, 3));
            EXPECT_EQ(dib.GetColour(12, 0), RGB(1, 2, 3));
        } else {
            dib.SetIndex(12, 0, top);
            dib.SetIndex(11, 0, 0);
            EXPECT_EQ(dib.GetIndex(12, 0), top) << bpp;
            EXPECT_EQ(dib.GetIndex(11, 0), 0) << bpp;
        }
        dib.SetIndex(13, 0, 1);
        dib.SetColour(-1, 2, RGB(9, 9, 9));
        EXPECT_FALSE(dib.GetIndex(0, 5));
        EXPECT_FALSE(dib.GetColour(13, 0));
    }
    CDibImage none;
    EXPECT_FALSE(none.Create(10, 10, 16));
    EXPECT_FALSE(none.Create(0, 10, 8));
    EXPECT_FALSE(none.Create(1 << 20, 1 << 20, 24));
}

// Row 0 is the top row: stored last in the bottom-up block.
TEST(CDibImageTest, RowsAreStoredBottomUp)
{
    CDibImage dib;
    ASSERT_TRUE(dib.Create(4, 3, 8));
    dib.SetIndex(0, 0, 7);
    const std::vector<uint8_t> packed = dib.CopyToPacked();
    ASSERT_EQ(packed.size(), CDibImage::kHeaderSize + 1024 + 3 * 4u);
    EXPECT_EQ(packed[CDibImage::kHeaderSize + 1024 + 2 * 4], 7);
}

TEST(CDibImageTest, FilesRoundTripAndBadFilesAreRefused)
{
    lftest::TempDir dir;
    for (int bpp : {4, 8, 24}) {
        CDibImage dib;
        ASSERT_TRUE(dib.Create(7, 3, bpp));
        if (bpp != 24)
            dib.SetPalette({{10, 20, 30}, {40, 50, 60}, {250, 0, 5}});
        for (int x = 0; x < 7; ++x)
            dib.SetColour(x, x % 3, bpp == 24 ? RGB(x * 30, 1, 2) : RGB(250, 0, 5));
        std::string name = "d";
        name += std::to_string(bpp);
        name += ".bmp";
        const std::string path = (dir / name).string();
        ASSERT_TRUE(dib.Save(path));
        CDibImage back;
        ASSERT_TRUE(back.Load(path)) << bpp;
        EXPECT_EQ(back.CopyToPacked(), dib.CopyToPacked()) << bpp;
    }
    const std::string bad = (dir / "bad.bmp").string();
    std::ofstream(bad, std::ios::binary) << "BX not a bitmap at all, but long enough to have a header........";
    CDibImage none;
    EXPECT_FALSE(none.Load(bad));
    EXPECT_FALSE(none.Load((dir / "missing.bmp").string()));
}

TEST(CDibImageTest, PackedBitmapsAreCheckedAgainstTheirBytes)
{
    CDibImage dib;
    ASSERT_TRUE(dib.Create(5, 4, 8));
    std::vector<uint8_t> packed = dib.CopyToPacked();
    CDibImage back;
    EXPECT_TRUE(back.CreateFromPacked(packed.data(), packed.size()));
    EXPECT_FALSE(back.CreateFromPacked(packed.data(), packed.size() - 1)) << "rows cut short";
    std::vector<uint8_t> rle = packed;
    rle[16] = 1;
    EXPECT_FALSE(back.CreateFromPacked(rle.data(), rle.size())) << "compressed";
    std::vector<uint8_t> deep = packed;
    deep[14] = 16;
    EXPECT_FALSE(back.CreateFromPacked(deep.data(), deep.size())) << "16 bits";
    std::vector<uint8_t> many = packed;
    many[33] = 2;  // 512 palette entries
    EXPECT_FALSE(back.CreateFromPacked(many.data(), many.size()));
    std::vector<uint8_t> huge = packed;
    huge[7] = 0x7F;  // width in the billions
    EXPECT_FALSE(back.CreateFromPacked(huge.data(), huge.size()));
    EXPECT_FALSE(back.CreateFromPacked(packed.data(), 39));
    EXPECT_EQ(back.Width(), 5) << "a refusal keeps the image";
}

TEST(CDibImageTest, GammaTableAndPaletteThroughIt)
{
    CDibImage dib;
    ASSERT_TRUE(dib.Create(2, 2, 8));
    dib.SetGammaTable(2.0);
    EXPECT_TRUE(dib.LookupInUse());
    EXPECT_EQ(dib.Lookup(0), 0);
    EXPECT_EQ(dib.Lookup(128), 64);  // trunc((128/255)^2 x 255 + 0.5) = trunc(64.75)
    EXPECT_EQ(dib.Lookup(255), 255);
    dib.SetPalette({{128, 255, 0}}, true);
    EXPECT_EQ(dib.PaletteColour(0), RGB(64, 255, 0));
    dib.SetGammaTable(1.0);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(dib.Lookup(i), i);
}

TEST(CDibImageTest, NearestEntryWeighsGreenMostAndConvertsTwentyFourBits)
{
    CDibImage dib;
    ASSERT_TRUE(dib.Create(3, 1, 8));
    dib.SetPalette({{0, 0, 0}, {100, 0, 0}, {0, 100, 0}, {0, 0, 100}, {255, 255, 255}});
    EXPECT_EQ(dib.NearestIndex(0, 0, 0), 0);
    EXPECT_EQ(dib.NearestIndex(255, 255, 255), 4);
    // (60, 60, 0) is as far from the red entry as from the green one, but a green
    // difference weighs 4 and a red one 3: 17,200 against 19,200.
    EXPECT_EQ(dib.NearestIndex(60, 60, 0), 2);
    EXPECT_EQ(dib.NearestIndex(60, 60, 0), 2);  // from the cache

    CDibImage colours;
    ASSERT_TRUE(colours.Create(3, 1, 24));
    colours.SetColour(0, 0, RGB(250, 250, 250));
    colours.SetColour(1, 0, RGB(0, 0, 120));
    colours.SetColour(2, 0, RGB(5, 90, 0));
    ASSERT_TRUE(dib.ConvertTo8(colours));
    EXPECT_EQ(dib.GetIndex(0, 0), 4);
    EXPECT_EQ(dib.GetIndex(1, 0), 3);
    EXPECT_EQ(dib.GetIndex(2, 0), 2);
    EXPECT_EQ(dib.CountColours(), 3);
    dib.ReplaceIndex(4, 3);
    EXPECT_EQ(dib.CountColours(), 2);
}

TEST(CDibImageTest, CopiesClipMaskAndStretchByWholeFactors)
{
    CDibImage source, target;
    ASSERT_TRUE(source.Create(2, 3, 8));
    ASSERT_TRUE(target.Create(5, 7, 8));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 2; ++x)
            source.SetIndex(x, y, static_cast<uint8_t>(10 * y + x + 1));
    ASSERT_TRUE(target.StretchCopy(source, 0, 0, 2, 3, 0, 0, 5, 7));
    // Columns 0-1 from source column 0, 2-4 from column 1; rows 0-1, 2-3, 4-6.
    EXPECT_EQ(target.GetIndex(1, 1), 1);
    EXPECT_EQ(target.GetIndex(2, 1), 2);
    EXPECT_EQ(target.GetIndex(4, 3), 12);
    EXPECT_EQ(target.GetIndex(0, 4), 21);
    EXPECT_EQ(target.GetIndex(4, 6), 22);

    target.Fill(0);
    uint8_t mask[256] = {};
    mask[12] = 1;
    ASSERT_TRUE(target.CopyRect(source, 0, 0, 2, 3, 4, 5, mask));
    EXPECT_EQ(target.GetIndex(4, 5), 0) << "not in the mask";
    EXPECT_EQ(target.GetIndex(4, 6), 0) << "source row 1 column 0 is 11";
    ASSERT_TRUE(target.CopyRect(source, 0, 0, 2, 3, 4, 5));
    EXPECT_EQ(target.GetIndex(4, 6), 11);
    EXPECT_EQ(target.CountColours(), 3);  // 0, 1 and 11; the rest fell outside
    CDibImage colours;
    ASSERT_TRUE(colours.Create(2, 2, 24));
    EXPECT_FALSE(target.CopyRect(colours, 0, 0, 2, 2, 0, 0)) << "depths differ";
}

}  // namespace
