#include "graphictext/ui/CWxTextRasterizer.h"

#include <gtest/gtest.h>


namespace {

TextFont Arial(int height, int weight = 600)
{
    TextFont font;
    font.face = "Arial";
    font.height = height;
    font.weight = weight;
    return font;
}

int CountText(const TextRaster& raster)
{
    int n = 0;
    for (int y = 0; y < raster.StoredRows(); ++y)
        for (int x = 0; x < raster.Width(); ++x)
            n += raster.IsText(x, y);
    return n;
}

TEST(CWxTextRasterizer, DrawsCharactersWithSpacingAfterEach)
{
    CWxTextRasterizer rasterizer;
    TextRaster one(400, 100, 100);
    const int w1 = rasterizer.DrawLine(one, 0, "T", Arial(30), 0);
    TextRaster two(400, 100, 100);
    const int w2 = rasterizer.DrawLine(two, 0, "TT", Arial(30), 7);
    ASSERT_GT(w1, 0);
    // Each character is measured by itself, and the spacing follows every one of them.
    EXPECT_EQ(w2, 2 * w1 + 14);
    EXPECT_GT(CountText(one), 20);
    EXPECT_EQ(CountText(two), 2 * CountText(one));
    // The second T is the first one moved right by its width and the spacing.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < w1; ++x)
            EXPECT_EQ(two.IsText(x + w1 + 7, y), one.IsText(x, y)) << x << "," << y;
}

TEST(CWxTextRasterizer, ClipsToTheRasterAndItsRowOffset)
{
    CWxTextRasterizer rasterizer;
    TextRaster raster(10, 40, 40);
    const int width = rasterizer.DrawLine(raster, 25, "WWWW", Arial(30), 1);
    EXPECT_GT(width, 10);  // the whole line is measured...
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_FALSE(raster.IsText(x, y));  // ...nothing above its row offset
    EXPECT_GT(CountText(raster), 0);
    EXPECT_EQ(rasterizer.DrawLine(raster, 0, "", Arial(30), 1), 0);
}

}  // namespace
