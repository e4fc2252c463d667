#include "manager/model/MainFrameLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(MainFrameLayout, ThumbColumnsSwitchAbove800)
{
    EXPECT_EQ(mainframe::ThumbColumnsForWidth(800), 5);
    EXPECT_EQ(mainframe::ThumbColumnsForWidth(801), 7);
    EXPECT_EQ(mainframe::ThumbColumnsForWidth(0), 5);
}

TEST(MainFrameLayout, LeftColumnWidth)
{
    EXPECT_EQ(mainframe::LeftColumnWidth(0), 260);
    EXPECT_EQ(mainframe::LeftColumnWidth(-40), 260);
    EXPECT_EQ(mainframe::LeftColumnWidth(200), 200);
}

TEST(MainFrameLayout, TreePaneHeightTable)
{
    struct Case {
        int window, storedWindow, storedRecent, expected;
    };
    const Case cases[] = {
        {765, 700, 220, 390},   // what the stored window left for the tree
        {765, 700, 700, 420},   // would be negative: (765 - 65) * 3 / 5
        {765, 0, 220, 420},     // nothing stored
        {765, 700, 0, 420},     // no recent height stored
        {766, 0, 0, 420},       // integer arithmetic: 701 * 3 / 5
        {40, 0, 0, 0},          // a tiny window never gives a negative pane
        {40, 100, 220, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mainframe::TreePaneHeight(c.window, c.storedWindow, c.storedRecent), c.expected)
            << c.window << " " << c.storedWindow << " " << c.storedRecent;
}

TEST(MainFrameLayout, StatusTexts)
{
    EXPECT_EQ(mainframe::ImageFilesText(0), "0  Image Files");
    EXPECT_EQ(mainframe::ImageFilesText(1234), "1234  Image Files");
    EXPECT_EQ(mainframe::TotalKBText(0.0), "0.00 KB total");
    EXPECT_EQ(mainframe::TotalKBText(1536.0 / 1024 + 2047.5), "2049.00 KB total");
    EXPECT_EQ(mainframe::TotalKBText(12.345), "12.35 KB total");
    EXPECT_EQ(mainframe::TotalKBText(1e300).substr(0, 4), "1000");  // no truncation of a huge total
    EXPECT_EQ(mainframe::TotalKBText(1e300).size(), 301u + 3 + 9);
}

}  // namespace
