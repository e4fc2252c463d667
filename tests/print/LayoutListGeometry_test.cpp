#include "print/model/LayoutListGeometry.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Edges = std::array<int, 4>;

Edges EdgesOf(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

TEST(LayoutListGeometry, ClickIndexes)
{
    struct Case {
        const char* what;
        int x, y, sx, sy, index;
    };
    const Case cases[] = {
        {"top-left of the first picture", 20, 25, 0, 0, 0},
        {"inside the first picture", 60, 60, 0, 0, 0},
        {"lowest 20 pixels of the first picture", 60, 90, 0, 0, 1},
        {"right of the pictures", 100, 30, 0, 0, 1},
        {"left of the pictures", 5, 30, 0, 0, 0},
        {"scrolled down by two", 60, 30, 0, 160, 2},
        {"scrolled across", 30, 30, 80, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LayoutListGeometry::HitIndex(c.x, c.y, c.sx, c.sy), c.index) << c.what;
}

TEST(LayoutListGeometry, ShiftClickSelectsTowardTheClickedEntry)
{
    using V = std::vector<int>;
    EXPECT_EQ(LayoutListGeometry::ShiftSelectionOrder(3, 5), (V{4, 5}));
    // Above the current entry: the one just above the current stays current.
    EXPECT_EQ(LayoutListGeometry::ShiftSelectionOrder(3, 1), (V{1, 2}));
    EXPECT_EQ(LayoutListGeometry::ShiftSelectionOrder(3, 3), V{});
    EXPECT_EQ(LayoutListGeometry::ShiftSelectionOrder(-1, 2), (V{0, 1, 2}));
}

TEST(LayoutListGeometry, PicturesAreReducedAndCentred)
{
    EXPECT_EQ(EdgesOf(LayoutListGeometry::PictureRect(160, 80, 80)), (Edges{0, 20, 80, 60}));
    EXPECT_EQ(EdgesOf(LayoutListGeometry::PictureRect(40, 20, 80)), (Edges{20, 30, 60, 50}));
    EXPECT_EQ(EdgesOf(LayoutListGeometry::PictureRect(90, 300, 80)), (Edges{28, 0, 52, 80}));
    EXPECT_EQ(EdgesOf(LayoutListGeometry::PictureRect(0, 0, 80)), Edges{});
    EXPECT_EQ(LayoutListGeometry::ScrollHeight(5), 485);
    EXPECT_EQ(LayoutListGeometry::ScrollHeight(0), 85);
    EXPECT_EQ(EdgesOf(LayoutListGeometry::ThumbnailRect(2)), (Edges{20, 185, 100, 265}));
}

}  // namespace
