#include "manager/model/ThumbGrid.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ThumbGrid, HitTestTable)
{
    const struct {
        int x, y, sx, sy, columns, count;
        int hit;
        const char* why;
    } cases[] = {
        {10, 2, 0, 0, 5, 10, 0, "the strip above the first row is row 0"},
        {10, 4, 0, 0, 5, 10, 0, "still the strip"},
        {104, 123, 0, 0, 5, 10, 0, "the gap right of and below a cell belongs to it"},
        {105, 5, 0, 0, 5, 10, 1, "next column"},
        {10, 124, 0, 0, 5, 10, 5, "second row"},
        {525, 10, 0, 0, 5, 10, -1, "right of the last column"},
        {700, 10, 0, 0, 7, 10, 6, "seven columns"},
        {10, 10, 0, 238, 5, 12, 10, "scrolled down two rows"},
        {10, 10, 0, 238, 5, 10, -1, "past the last image"},
        {-3, 10, 0, 0, 5, 10, -1, "left of the grid"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(thumbgrid::HitTest(c.x, c.y, c.sx, c.sy, c.columns, c.count), c.hit) << c.why;
}

TEST(ThumbGrid, ScrollExtentAndCells)
{
    const thumbgrid::Extent ten = thumbgrid::ScrollExtent(10, 5, 300, 200);
    EXPECT_EQ(ten.height, 357);
    EXPECT_EQ(ten.width, 540);
    EXPECT_EQ(thumbgrid::ScrollExtent(9, 5, 300, 200).height, 238);
    EXPECT_EQ(thumbgrid::ScrollExtent(10, 5, 800, 900).width, 800) << "the client when larger";
    EXPECT_EQ(thumbgrid::ScrollExtent(10, 5, 800, 900).height, 900);

    const RECT cell = thumbgrid::CellRect(7, 5);
    EXPECT_EQ(cell.left, 210);
    EXPECT_EQ(cell.top, 124);
    EXPECT_EQ(cell.right - cell.left, 100);
    EXPECT_EQ(cell.bottom - cell.top, 114);

    // A repaint of one cell draws that cell's row only, not the folder.
    const auto [first, end] = thumbgrid::CellsInRect(cell, 5, 2000);
    EXPECT_EQ(first, 5);
    EXPECT_EQ(end, 10);
    const auto none = thumbgrid::CellsInRect(RECT{0, 5000, 100, 5100}, 5, 10);
    EXPECT_EQ(none.first, none.second);
}

TEST(ThumbGrid, CellTexts)
{
    EXPECT_EQ(thumbgrid::ShortName("abcdefghijkl"), "abcdefghijkl") << "12 characters whole";
    EXPECT_EQ(thumbgrid::ShortName("abcdefghijklm"), "abcdefghijkl..");
    // UTF-8 names are cut after whole characters, never inside one.
    EXPECT_EQ(thumbgrid::ShortName("\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC 12345.jpg"),
              "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC 12345..");
    EXPECT_EQ(thumbgrid::ShortName("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE5\x86\x99\xE7\x9C\x9F.jpg"),
              "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE5\x86\x99\xE7\x9C\x9F.jpg")
        << "ten characters whole, though 22 bytes";
    EXPECT_EQ(thumbgrid::SizeText(2048), "2.0KB");
    EXPECT_EQ(thumbgrid::SizeText(100), "0.1KB");
    // 2024-03-05 12:00:00 UTC.
    EXPECT_EQ(thumbgrid::DateText(int64_t(1709640000) * 1000000000), "3/5/2024");
}

TEST(ThumbGrid, ShiftRanges)
{
    using V = std::vector<int>;
    const struct {
        std::vector<bool> selected;
        int hit;
        V range;
        const char* why;
    } cases[] = {
        {{false, false, false, false, false}, 3, V{0, 1, 2, 3}, "none selected: from the first"},
        {{false, false, true, false, false, false, false, false}, 6, V{3, 4, 5, 6}, "after the highest"},
        {{false, true, false, true, false}, 3, V{}, "on the highest: nothing"},
        {{false, false, false, false, true}, 1, V{1, 2, 3}, "below the highest, up to before it"},
        {{true, false, true, false, false}, 4, V{3, 4}, "gaps below the highest stay"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(thumbgrid::ShiftRange(c.selected, c.hit), c.range) << c.why;
}

}  // namespace
