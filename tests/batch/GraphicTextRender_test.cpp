#include "graphictext/model/GraphicTextRender.h"

#include "FakeRasterizer.h"
#include "TextTestImages.h"
#include "image/CLfImage.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace texttest;

namespace {

const RGBQUAD kWhite = Rgb(255, 255, 255);

GraphicTextSettings Pixels(const std::string& text, int height)
{
    GraphicTextSettings s;
    s.text = text;
    s.unit = "Pixels";
    s.heightText = std::to_string(height);
    s.visibility = 100;
    return s;
}

TEST(GraphicTextRender, StartRowAndRowMapping)
{
    struct Case {
        BlendRule rule;
        size_t lines;
        int expected;
    } cases[] = {
        {BlendRule::Manager, 1, 899},  // 900 less 230 / 1000: 899.77
        {BlendRule::Editor, 1, 899},
        {BlendRule::Manager, 2, 879},  // 899.99998 less the font height
        {BlendRule::Editor, 2, 880},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FullSizeStartRow(1000, 90.0f, 230, 20.0, c.lines, c.rule), c.expected)
            << int(c.rule) << " " << c.lines;
    // Raster rows 0 to 19 of a line starting at row 899 land on rows 121 down to 102.
    EXPECT_EQ(FullSizeRow(1000, 0, 899, 20.0), 121);
    EXPECT_EQ(FullSizeRow(1000, 19, 899, 20.0), 102);
    EXPECT_EQ(FullSizeRow(1000, 0, 899, 20.5), 121);
}

TEST(GraphicTextRender, FullSizeBlendsTheBlockAtTheComputedRows)
{
    for (BlendRule rule : {BlendRule::Manager, BlendRule::Editor}) {
        CLfImage image = Plain(200, 1000, kWhite);
        GraphicTextSettings s = Pixels("A", 20);
        TextPosition position;  // 10 % from the left, 90 % down
        FakeRasterizer rasterizer;
        const TextStyle style = rule == BlendRule::Manager ? kManagerTextStyle : kEditorTextStyle;
        ASSERT_EQ(RenderFullSize(image, s, position, 230, rasterizer, style), RenderOutcome::Done);
        // Column 20 on, the glyph's 4 columns; rows 102 to 121 from the bottom.
        EXPECT_EQ(Changed(image, kWhite), Box(20, 23, 102, 121));
        EXPECT_TRUE(Same(image.GetPixelColor(20, 110), Rgb(0, 0, 0)));
        ASSERT_EQ(rasterizer.fonts.size(), 1u);
        EXPECT_EQ(rasterizer.fonts[0].height, 20);
        EXPECT_EQ(rasterizer.fonts[0].weight, style.weight);
        EXPECT_EQ(rasterizer.fonts[0].face, "Arial");
    }
}

TEST(GraphicTextRender, FullSizeLinesGoDownByFontHeightAndSpacing)
{
    CLfImage image = Plain(100, 400, kWhite);
    GraphicTextSettings s = Pixels("A\r\nB", 10);
    s.lineSpacingText = "5";
    TextPosition position;
    position.leftPercent = 50;
    position.bottomPercent = 50;
    FakeRasterizer rasterizer;
    ASSERT_EQ(RenderFullSize(image, s, position, 100, rasterizer, kEditorTextStyle), RenderOutcome::Done);
    // Start row 200 - 10 = 190; first line rows 400 - k - 190 + 10 = 220..211, the second
    // 15 rows lower: 205..196.
    auto expected = Box(50, 53, 196, 205);
    auto first = Box(50, 53, 211, 220);
    expected.insert(expected.end(), first.begin(), first.end());
    EXPECT_EQ(Changed(image, kWhite), expected);
}

TEST(GraphicTextRender, FullSizeCentresEachLineAndDropsWhatLiesOutside)
{
    CLfImage image = Plain(100, 100, kWhite);
    GraphicTextSettings s = Pixels("AB\r\nC", 10);
    s.centred = true;
    TextPosition position;
    position.bottomPercent = 50;
    FakeRasterizer rasterizer;
    ASSERT_EQ(RenderFullSize(image, s, position, 100, rasterizer, kEditorTextStyle), RenderOutcome::Done);
    // "AB" is 10 wide: columns 45..48 and 50..53; "C" is 5 wide: 47..50.
    const auto changed = Changed(image, kWhite);
    for (const auto& [x, y] : changed)
        EXPECT_TRUE((x >= 45 && x <= 53 && x != 49) || (x >= 47 && x <= 50)) << x << "," << y;
    EXPECT_EQ(changed.size(), size_t(8 * 10 + 4 * 10));

    // A centred line wider than the image starts left of it: nothing lands outside.
    CLfImage narrow = Plain(10, 40, kWhite);
    GraphicTextSettings wide = Pixels("ABCDEF", 10);
    wide.centred = true;
    ASSERT_EQ(RenderFullSize(narrow, wide, position, 40, rasterizer, kEditorTextStyle), RenderOutcome::Done);
    EXPECT_TRUE(Changed(narrow, kWhite).empty());
}

TEST(GraphicTextRender, FullSizeStopsOnRequestOrRefusal)
{
    CLfImage image = Plain(50, 50, kWhite);
    GraphicTextSettings s = Pixels("A\r\nB", 10);
    TextPosition position;
    FakeRasterizer rasterizer;
    std::atomic<bool> stop{true};
    EXPECT_EQ(RenderFullSize(image, s, position, 50, rasterizer, kEditorTextStyle, &stop), RenderOutcome::Stopped);
    EXPECT_TRUE(Changed(image, kWhite).empty());

    rasterizer.refuseAfter = 1;
    stop = false;
    EXPECT_EQ(RenderFullSize(image, s, position, 50, rasterizer, kEditorTextStyle, &stop), RenderOutcome::Stopped);
}

// Lines x block height passes 16 bits on a tall image; the range stays whole.
TEST(GraphicTextRender, ProgressRangeIsNotCutTo16Bits)
{
    CLfImage image = Plain(1, 20000, kWhite);
    GraphicTextSettings s = Pixels("a\r\nb\r\nc\r\nd", 0);
    s.unit = "Percent";
    s.heightText = "25";
    FakeRasterizer rasterizer(1);
    int range = -1;
    int last = 0;
    FullSizeProgress progress{[&](int r) { range = r; }, [&](int p) { last = p; }};
    ASSERT_EQ(RenderFullSize(image, s, TextPosition{}, 100, rasterizer, kManagerTextStyle, nullptr, progress),
              RenderOutcome::Done);
    EXPECT_EQ(range, 4 * (4 * 5000 + 3 * 5));
    EXPECT_EQ(last, 4);  // one column per line
}

TEST(GraphicTextRender, FreePreviewSetsTheDefaultPositionAndBlendsTheBlock)
{
    const CLfImage reduced = Plain(100, 80, kWhite);
    CLfImage working;
    GraphicTextSettings s = Pixels("AB\r\nC", 10);
    s.colour = RGB(0, 0, 0);
    TextPosition position;
    FakeRasterizer rasterizer;
    const PreviewRendering out = RenderFreePreview(reduced, working, s, position, rasterizer, kEditorTextStyle);
    ASSERT_TRUE(out.drawn);
    EXPECT_EQ(position.originX, 10);
    EXPECT_EQ(position.originY, 8);
    EXPECT_FLOAT_EQ(position.leftPercent, 10);
    EXPECT_FLOAT_EQ(position.bottomPercent, 90);
    EXPECT_EQ(out.blockWidth, 10);
    EXPECT_EQ(out.blockHeight, 25);
    // The reduced image stays clean; the working copy carries the block: "C" on rows 8..17,
    // "AB" 15 rows higher.
    EXPECT_TRUE(Changed(reduced, kWhite).empty());
    auto expected = Box(10, 13, 8, 17);
    for (auto [x, y] : Box(10, 13, 23, 32))
        expected.push_back({x, y});
    for (auto [x, y] : Box(15, 18, 23, 32))
        expected.push_back({x, y});
    std::sort(expected.begin(), expected.end(), [](auto a, auto b) { return std::pair(a.second, a.first) < std::pair(b.second, b.first); });
    EXPECT_EQ(Changed(working, kWhite), expected);

    // A set position is kept.
    position.originX = 50;
    position.originY = 0;
    RenderFreePreview(reduced, working, s, position, rasterizer, kEditorTextStyle);
    EXPECT_EQ(position.originX, 50);
    EXPECT_EQ(Changed(working, kWhite).front(), std::make_pair(50, 0));
}

TEST(GraphicTextRender, FreePreviewOriginAtTheCornerCountsAsUnset)
{
    const CLfImage reduced = Plain(60, 40, kWhite);
    CLfImage working;
    GraphicTextSettings s = Pixels("A", 5);
    TextPosition position;
    position.originX = 0;
    position.originY = 0;
    FakeRasterizer rasterizer;
    RenderFreePreview(reduced, working, s, position, rasterizer, kEditorTextStyle);
    EXPECT_EQ(position.originX, 6);
    EXPECT_EQ(position.originY, 4);
}

TEST(GraphicTextRender, CentredPreviewCentresEveryLine)
{
    const CLfImage reduced = Plain(100, 80, kWhite);
    CLfImage working;
    GraphicTextSettings s = Pixels("AB\r\nC", 10);
    TextPosition position;
    FakeRasterizer rasterizer;
    const PreviewRendering out = RenderCentredPreview(reduced, working, s, position, rasterizer, kEditorTextStyle);
    ASSERT_TRUE(out.drawn);
    // The last line's origin stays: (100 - 5) / 2.
    EXPECT_EQ(position.originX, 47);
    EXPECT_EQ(position.originY, 8);
    const auto changed = Changed(working, kWhite);
    EXPECT_EQ(changed.size(), size_t(8 * 10 + 4 * 10));
    for (const auto& [x, y] : changed) {
        if (y >= 23)
            EXPECT_TRUE(x >= 45 && x <= 53 && x != 49) << x << "," << y;
        else
            EXPECT_TRUE(x >= 47 && x <= 50 && y >= 8 && y <= 17) << x << "," << y;
    }
    // The pane overlays the last line only.
    EXPECT_TRUE(out.raster.IsText(0, 15));
    EXPECT_FALSE(out.raster.IsText(0, 0));
}

// Keeps a copy of every line's raster as the renderer blends it.
class RecordingRasterizer : public TextLineRasterizer {
public:
    int DrawLine(TextRaster& raster, int y0, const std::string& line, const TextFont& font, int charSpacing) override
    {
        const int width = m_boxes.DrawLine(raster, y0, line, font, charSpacing);
        rasters.push_back(raster);
        widths.push_back(width);
        return width;
    }
    std::vector<TextRaster> rasters;
    std::vector<int> widths;

private:
    FakeRasterizer m_boxes{3};
};

// A picture whose every point has a colour of its own, so a blend shows wherever it lands.
CLfImage Gradient(int width, int height)
{
    CLfImage image;
    image.Create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, y, Rgb(x * 7 % 256, y * 5 % 256, (x ^ y) % 256));
    return image;
}

// The previews blend what the definition says, walked the other way round: every picture
// point looks up the block point that lands on it. Spacing out the block far past the
// picture (up to the dialog's limits) changes nothing but the work.
TEST(GraphicTextRender, PreviewsBlendTheBlockPointsThatLandOnThePicture)
{
    struct Case {
        const char* name;
        std::string text;
        int height;
        const char* charSpacing;
        const char* lineSpacing;
        int originX, originY;  // -1, -1: unset. The stored rows of a 9981-row block
                               // (the picture's 70) land on it from origin y -9911.
        bool centred;
    } cases[] = {
        {"ordinary", "Text\r\nab", 12, "1", "5", -1, -1, false},
        {"ordinary, centred", "Text\r\nab", 12, "1", "5", -1, -1, true},
        {"past the right and top edges", "Watermark\r\nxy\r\nlast", 14, "2", "9", 70, 50, false},
        {"past the left and bottom edges", "ABCDE\r\nF", 10, "1", "5", -8, -6, false},
        {"centred, wider than the picture", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW\r\nab", 9, "1", "3", 5, 20, true},
        {"dialog limits", "abcd\r\nefgh\r\nijkl\r\nmnop\r\nqrst\r\nuvwx\r\nyzAB\r\nCDEF\r\nGHIJ\r\nKLMN", 99,
         "999", "999", 30, -9911, false},
        // Centred, a line is drawn from the raster's left edge: with 999 only its first
        // letter is on the raster, and that lies left of the picture.
        {"dialog limits, centred", "abcd\r\nefgh\r\nijkl\r\nmnop\r\nqrst\r\nuvwx\r\nyzAB\r\nCDEF\r\nGHIJ\r\nKLMN",
         99, "20", "999", 5, -9911, true},
    };
    const CLfImage reduced = Gradient(90, 70);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GraphicTextSettings s = Pixels(c.text, c.height);
        s.charSpacingText = c.charSpacing;
        s.lineSpacingText = c.lineSpacing;
        s.colour = RGB(250, 20, 120);
        s.visibility = 60;
        TextPosition position;
        position.originX = c.originX;
        position.originY = c.originY;
        RecordingRasterizer rasterizer;
        CLfImage working;
        const PreviewRendering out =
            c.centred ? RenderCentredPreview(reduced, working, s, position, rasterizer, kManagerTextStyle)
                      : RenderFreePreview(reduced, working, s, position, rasterizer, kManagerTextStyle);
        ASSERT_TRUE(out.drawn);
        // Free: one raster holds the block. Centred: each line's raster at its own origin,
        // with the block width so far.
        struct Pass {
            const TextRaster* raster;
            int originX, blockWidth;
        };
        std::vector<Pass> passes;
        if (c.centred) {
            int widest = 0;
            for (size_t i = 0; i < rasterizer.rasters.size(); ++i) {
                widest = std::max(widest, rasterizer.widths[i]);
                passes.push_back({&rasterizer.rasters[i], (reduced.GetWidth() - rasterizer.widths[i]) / 2, widest});
            }
        } else {
            passes.push_back({&out.raster, position.originX, out.blockWidth});
        }
        CLfImage expected(reduced);
        for (const Pass& pass : passes)
            for (int py = 0; py < reduced.GetHeight(); ++py)
                for (int px = 0; px < reduced.GetWidth(); ++px) {
                    const int x = px - pass.originX;
                    const int r = out.blockHeight - 1 - (py - position.originY);
                    if (x < pass.blockWidth && r < out.blockHeight && pass.raster->IsText(x, r))
                        expected.SetPixelColor(px, py, BlendColor(s.colour, reduced.GetPixelColor(px, py), s.visibility,
                                                                  BlendRule::Manager));
                }
        size_t differing = 0;
        size_t blended = 0;
        for (int py = 0; py < reduced.GetHeight(); ++py)
            for (int px = 0; px < reduced.GetWidth(); ++px) {
                differing += !Same(working.GetPixelColor(px, py), expected.GetPixelColor(px, py));
                blended += !Same(expected.GetPixelColor(px, py), reduced.GetPixelColor(px, py));
            }
        EXPECT_EQ(differing, 0u);
        EXPECT_GT(blended, 0u) << "some text lands on the picture";
    }
}

TEST(GraphicTextRender, PercentagesFollowADraggedOrigin)
{
    TextPosition position;
    position.originX = 25;
    position.originY = 20;
    position.TakePercentages(100, 80);
    EXPECT_FLOAT_EQ(position.leftPercent, 25);
    EXPECT_FLOAT_EQ(position.bottomPercent, 75);
}

TEST(TextRaster, PointsOutsideAreNeverText)
{
    TextRaster raster(4, 10, 3);
    raster.SetText(3, 2);
    raster.SetText(3, 5);   // below the stored rows: dropped
    raster.SetText(-1, 0);  // outside: dropped
    EXPECT_TRUE(raster.IsText(3, 2));
    EXPECT_FALSE(raster.IsText(3, 5));
    EXPECT_FALSE(raster.IsText(4, 2));
    EXPECT_FALSE(raster.IsText(-1, 0));
    EXPECT_FALSE(raster.IsText(0, -1));
}

TEST(TextRaster, ClipIndicesKeepsWhatLandsInside)
{
    struct Case {
        int count;
        long long start;
        int step;
        long long lo, hi;
        IndexSpan span;
    } cases[] = {
        {10, 0, 1, 0, 100, {0, 10}},          // all inside
        {10, -3, 1, 0, 100, {3, 10}},         // starts left of the picture
        {10, 95, 1, 0, 100, {0, 5}},          // runs past its right edge
        {10, 200, 1, 0, 100, {0, 0}},         // wholly outside
        {10, -50, 1, 0, 100, {0, 0}},
        {10, 4, 1, 1, 8, {0, 4}},             // strictly inside 0..8
        {10, 9, -1, 0, 100, {0, 10}},         // rows counted downwards
        {10, 120, -1, 0, 100, {21, 10}},      // all above: empty
        {10, 104, -1, 0, 100, {5, 10}},       // the top five above
        {10, 3, -1, 0, 100, {0, 4}},          // the last six below
        {1000000, 2000000000LL, 1, 0, 300, {0, 0}},
        {0, 0, 1, 0, 100, {0, 0}},
        {-5, 0, 1, 0, 100, {0, 0}},
    };
    for (const Case& c : cases) {
        const IndexSpan span = ClipIndices(c.count, c.start, c.step, c.lo, c.hi);
        // An empty span is any begin == end.
        const bool empty = c.span.begin >= c.span.end;
        EXPECT_EQ(span.begin >= span.end, empty) << c.count << " " << c.start << " " << c.step;
        if (!empty) {
            EXPECT_EQ(span.begin, c.span.begin) << c.count << " " << c.start << " " << c.step;
            EXPECT_EQ(span.end, c.span.end) << c.count << " " << c.start << " " << c.step;
        }
        // Every index kept lands inside, every one left out does not.
        for (int i = 0; i < std::min(c.count, 50); ++i) {
            const long long at = c.start + c.step * static_cast<long long>(i);
            EXPECT_EQ(i >= span.begin && i < span.end, at >= c.lo && at < c.hi) << i;
        }
    }
}

}  // namespace
