#include "manager/model/RecentRows.h"

#include <gtest/gtest.h>

namespace {

TEST(RecentRows, RowOfPoint)
{
    const struct {
        int y, scroll, row;
    } cases[] = {{5, 0, -1}, {6, 0, 0}, {44, 0, 0}, {45, 0, 1}, {30, 40, 2}, {0, 0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(recentrows::RowOfPoint(c.y, c.scroll), c.row) << "y " << c.y << " scroll " << c.scroll;
}

TEST(RecentRows, RecordOfRowSkipsRemovedFoldersAndNothingBelowTheRows)
{
    const std::vector<bool> shown = {true, false, true};
    EXPECT_EQ(recentrows::RecordOfRow(shown, 0), 0);
    EXPECT_EQ(recentrows::RecordOfRow(shown, 1), 2) << "the second row is the third folder";
    EXPECT_EQ(recentrows::RecordOfRow(shown, 2), -1) << "below the rows: no folder";
    EXPECT_EQ(recentrows::RecordOfRow(shown, -1), -1);
    EXPECT_EQ(recentrows::RecordOfRow({}, 0), -1);
}

TEST(RecentRows, StoredPaneSizesNeverNegative)
{
    EXPECT_EQ(recentrows::StoredWidth(254), 260);
    EXPECT_EQ(recentrows::StoredWidth(-20), 0);
}

}  // namespace
