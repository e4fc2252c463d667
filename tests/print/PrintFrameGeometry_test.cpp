#include "print/model/PrintFrameGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(PrintFrameGeometry, PlacementForTheScreen)
{
    const RECT wide = PrintFrameGeometry::Placement(1280, 1024);
    EXPECT_EQ(wide.left, 125);
    EXPECT_EQ(wide.top, 100);
    EXPECT_EQ(wide.right - wide.left, 1030);
    EXPECT_EQ(wide.bottom - wide.top, 824);
    const RECT narrow = PrintFrameGeometry::Placement(800, 600);
    EXPECT_EQ(narrow.left, 1);
    EXPECT_EQ(narrow.top, 1);
    EXPECT_EQ(narrow.right - narrow.left, 790);
    EXPECT_EQ(narrow.bottom - narrow.top, 570);
    EXPECT_EQ(PrintFrameGeometry::Placement(850, 600).left, 125);
}

TEST(PrintFrameGeometry, DraggingStopsAtTheLimits)
{
    struct Case {
        int w, h, limitedW, limitedH;
    };
    const Case cases[] = {
        {500, 300, 660, 410},
        {659, 399, 660, 410},
        {660, 400, 660, 400},
        {900, 405, 900, 405},
    };
    for (const Case& c : cases) {
        const SIZE s = PrintFrameGeometry::LimitDraggedSize(c.w, c.h);
        EXPECT_EQ(s.cx, c.limitedW) << c.w;
        EXPECT_EQ(s.cy, c.limitedH) << c.h;
    }
}

TEST(PrintFrameGeometry, ColumnsFollowTheWidthDownTo620)
{
    const PrintColumns wide = PrintFrameGeometry::Columns(1000);
    EXPECT_EQ(wide.left, 230);
    EXPECT_EQ(wide.middle, 630);
    EXPECT_EQ(wide.right, 120);
    EXPECT_EQ(PrintFrameGeometry::Columns(599).middle, 250);
    EXPECT_EQ(PrintFrameGeometry::Columns(300).middle, 250);
    EXPECT_EQ(PrintFrameGeometry::Columns(600).middle, 230);
}

}  // namespace
