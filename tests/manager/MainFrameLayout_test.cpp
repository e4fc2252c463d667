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
        int window, expected;
    };
    const Case cases[] = {
        {765, 420},  // (765 - 65) * 3 / 5
        {766, 420},  // integer arithmetic: 701 * 3 / 5
        {40, 0},     // a tiny window never gives a negative pane
    };
    for (const Case& c : cases)
        EXPECT_EQ(mainframe::TreePaneHeight(c.window), c.expected) << c.window;
}

TEST(MainFrameLayout, TheRecentFoldersHeightIsStoredAsItIsRestored)
{
    // Restored from the bottom, stored as column height - sash: whatever the column
    // measures, the same height comes back at every start.
    EXPECT_EQ(mainframe::LeftSashPosition(765, 220), -220);
    EXPECT_EQ(mainframe::LeftSashPosition(765, 0), 420);
    for (int column : {300, 560, 901}) {
        const int sash = column + mainframe::LeftSashPosition(765, 220);  // as the splitter resolves it
        EXPECT_EQ(mainframe::StoredRecentHeight(column, sash), 220) << column;
    }
    EXPECT_EQ(mainframe::StoredRecentHeight(100, 180), 0);
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
