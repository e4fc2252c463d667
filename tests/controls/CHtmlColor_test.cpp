#include "controls/model/CHtmlColor.h"

#include <gtest/gtest.h>

namespace {

struct ColorCase {
    const char* text;
    COLORREF expected;
};

TEST(CHtmlColor, MarkupForms)
{
    const ColorCase cases[] = {
        {"0,128,255", RGB(0, 128, 255)},
        {" 10, 20 ,30", RGB(10, 20, 30)},
        {"256,257,-1", RGB(0, 1, 255)},  // each number modulo 256
        {"5,6", RGB(5, 6, 0)},
        {"#00FF00", RGB(0, 255, 0)},
        {"#1a2B3c", RGB(0x1A, 0x2B, 0x3C)},
        {"#00FF0", 0},     // not seven characters
        {"#00FF000", 0},
        {"#GG0000", 0},
        {"x#00FF0", 0},    // seven characters, but no leading "#"
        {"navy", RGB(0, 0, 128)},
        {"NAVY", RGB(0, 0, 128)},
        {"NaVy", RGB(0, 0, 128)},
        {"nosuchcolour", 0},
        {"", 0},
        {"Gray", RGB(0x7F, 0x7F, 0x7F)},  // the table's own values
        {"BlanchedAlmond", RGB(0xFF, 0xFF, 0xCD)},
        {"YellowGreen", RGB(0x8B, 0xCD, 0x32)},
        {"lightgoldenrodyellow", RGB(0xFA, 0xFA, 0xD2)},
        {"White", RGB(255, 255, 255)},
    };
    for (const ColorCase& c : cases)
        EXPECT_EQ(CHtmlColor(std::string_view(c.text)).GetValue(), c.expected) << c.text;
}

TEST(CHtmlColor, NamesAndHexText)
{
    EXPECT_EQ(CHtmlColor::TableSize(), 140u);
    EXPECT_EQ(CHtmlColor(RGB(0, 0, 128)).GetName(), "Navy");
    EXPECT_EQ(CHtmlColor(RGB(0, 255, 255)).GetName(), "Aqua");  // first of Aqua and Cyan
    EXPECT_EQ(CHtmlColor(RGB(1, 2, 3)).GetName(), "Black");
    EXPECT_EQ(CHtmlColor(RGB(0x12, 0xAB, 0x05)).FormatHex(), "#12AB05");

    CHtmlColor color(RGB(9, 9, 9));
    EXPECT_EQ(color.SetName("teal"), RGB(0, 0x80, 0x80));
    EXPECT_EQ(color.SetName("unknown"), 0u);
    EXPECT_EQ(color.ParseHex("#FFFFFF"), RGB(255, 255, 255));
    EXPECT_EQ(color.ParseHex("FFFFFF"), 0u);
    EXPECT_EQ(CHtmlColor().GetValue(), 0u);
}

}  // namespace
