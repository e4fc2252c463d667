#include "graphictext/model/GraphicTextSettings.h"

#include "TextTestImages.h"

#include <gtest/gtest.h>

namespace {

struct CutCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
};

TEST(GraphicTextSettings, CutsLinesAtLineFeeds)
{
    const CutCase cases[] = {
        {"empty", "", {}},
        {"only a break", "\r\n", {""}},
        {"one line", "TEST", {"TEST"}},
        {"two lines", "ab\r\ncd", {"ab", "cd"}},
        {"final break adds no line", "ab\r\n", {"ab"}},
        {"bare line feed", "a\nb", {"a", "b"}},
        {"empty middle line", "a\r\n\r\nb", {"a", "", "b"}},
        {"carriage return inside a line stays", "a\rb", {"a\rb"}},
    };
    for (const CutCase& c : cases)
        EXPECT_EQ(GraphicTextSettings::CutTextLines(c.text), c.lines) << c.name;
}

// The line table holds as many lines as the text has: 40 breaks in 80 characters.
TEST(GraphicTextSettings, ManyBreaksFitTheLineTable)
{
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "\r\n";
    text += "x";
    ASSERT_LE(text.size(), GraphicTextSettings::kMaxTextLength);
    GraphicTextSettings settings;
    settings.text = text;
    settings.CutLines();
    ASSERT_EQ(settings.lines.size(), 41u);
    EXPECT_EQ(settings.lines.back(), "x");
}

TEST(GraphicTextSettings, PercentHeightIsCappedAt25)
{
    struct Case {
        const char* unit;
        const char* height;
        double reference;
        double expected;
        const char* textAfter;
    } cases[] = {
        {"Percent", "30", 1000, 250, "25"},
        {"Percent", "10", 230, 23, "10"},
        {"Percent", "25", 100, 25, "25"},
        {"Pixels", "30", 1000, 30, "30"},
        {"Pixels", "99", 10, 99, "99"},
        {"Percent", "", 500, 0, ""},
    };
    for (const Case& c : cases) {
        GraphicTextSettings s;
        s.unit = c.unit;
        s.heightText = c.height;
        EXPECT_DOUBLE_EQ(s.FontHeight(c.reference), c.expected) << c.unit << " " << c.height;
        EXPECT_EQ(s.heightText, c.textAfter) << c.unit << " " << c.height;
    }
}

TEST(GraphicTextSettings, BlockHeightAddsLineSpacingBetweenLines)
{
    EXPECT_EQ(BlockHeight(0, 20, 5), 0);
    EXPECT_EQ(BlockHeight(1, 20, 5), 20);
    EXPECT_EQ(BlockHeight(2, 20, 5), 45);
    EXPECT_EQ(IntegerFontHeight(23.9), 23);
    GraphicTextSettings s;
    EXPECT_EQ(s.CharSpacing(), 1);
    EXPECT_EQ(s.LineSpacing(), 5);
    s.charSpacingText = "12abc";
    EXPECT_EQ(s.CharSpacing(), 12);
}

RGBQUAD Pixel(int r, int g, int b)
{
    RGBQUAD q = texttest::Rgb(r, g, b);
    q.rgbReserved = 77;
    return q;
}

TEST(GraphicTextSettings, BlendColorKeepsEachProgramsArithmetic)
{
    struct Case {
        BlendRule rule;
        COLORREF text;
        int pixel;
        int visibility;
        int expected;
    } cases[] = {
        // The manager's single-precision 0.01 leaves full visibility just short of 1.
        {BlendRule::Manager, RGB(255, 255, 255), 0, 100, 254},
        {BlendRule::Manager, RGB(0, 0, 0), 255, 100, 0},
        {BlendRule::Manager, RGB(255, 255, 255), 0, 0, 0},
        {BlendRule::Manager, RGB(0, 0, 0), 200, 0, 200},
        {BlendRule::Manager, RGB(255, 255, 255), 0, 50, 127},
        {BlendRule::Editor, RGB(255, 255, 255), 0, 100, 255},
        {BlendRule::Editor, RGB(0, 0, 0), 255, 100, 0},
        {BlendRule::Editor, RGB(0, 0, 0), 200, 0, 200},
        {BlendRule::Editor, RGB(255, 255, 255), 0, 50, 127},
        // 30 % of 100 over 200: the two roundings land on either side of 170.
        {BlendRule::Editor, RGB(100, 100, 100), 200, 30, 169},
        {BlendRule::Manager, RGB(100, 100, 100), 200, 30, 170},
    };
    for (const Case& c : cases) {
        const RGBQUAD out = BlendColor(c.text, Pixel(c.pixel, c.pixel, c.pixel), c.visibility, c.rule);
        EXPECT_EQ(out.rgbRed, c.expected) << int(c.rule) << " vis " << c.visibility;
        EXPECT_EQ(out.rgbGreen, c.expected);
        EXPECT_EQ(out.rgbBlue, c.expected);
        EXPECT_EQ(out.rgbReserved, 0);
    }
}

TEST(GraphicTextSettings, BlendColorTreatsChannelsSeparately)
{
    const RGBQUAD out = BlendColor(RGB(255, 0, 100), Pixel(0, 255, 100), 50, BlendRule::Editor);
    EXPECT_EQ(out.rgbRed, 127);
    EXPECT_EQ(out.rgbGreen, 127);
    EXPECT_EQ(out.rgbBlue, 100);
}

}  // namespace
