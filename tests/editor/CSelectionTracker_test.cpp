#include "editor/model/CSelectionTracker.h"

#include <gtest/gtest.h>

namespace {

void ExpectRect(const RECT& r, int32_t l, int32_t t, int32_t rt, int32_t b, const char* what = "")
{
    EXPECT_EQ(r.left, l) << what;
    EXPECT_EQ(r.top, t) << what;
    EXPECT_EQ(r.right, rt) << what;
    EXPECT_EQ(r.bottom, b) << what;
}

// A 400 x 300 displayed image starting at canvas (50, 20).
const CSelectionTracker::Display kDisplay{400, 300, 1.0f, {50, 20}};

TEST(CSelectionTracker, SettersOrderTheCornersOnceBothAreSet)
{
    struct Case {
        POINT first, second;
        RECT want;
    };
    const Case cases[] = {
        {{10, 10}, {60, 40}, {10, 10, 60, 40}},
        {{60, 40}, {10, 10}, {10, 10, 60, 40}},  // second above and left
        {{60, 10}, {10, 40}, {10, 10, 60, 40}},  // left only
        {{10, 40}, {60, 10}, {10, 10, 60, 40}},  // above only
    };
    for (const Case& c : cases) {
        CSelectionTracker t;
        t.Begin(c.first.x, c.first.y);
        EXPECT_FALSE(t.HasBox());
        t.SetCorner(c.second.x, c.second.y, 2);
        ASSERT_TRUE(t.HasBox());
        ExpectRect(t.Box(), c.want.left, c.want.top, c.want.right, c.want.bottom);
        EXPECT_EQ(t.Center().x, 35);
        EXPECT_EQ(t.Center().y, 25);
    }
}

TEST(CSelectionTracker, EverySetterRemembersThePreviousBox)
{
    CSelectionTracker t;
    t.SetRect(kDisplay, {60, 30, 100, 70});
    t.SetCornerInBounds(kDisplay, 120, 90, 2);
    ExpectRect(t.PrevBox(), 60, 30, 100, 70);
    EXPECT_EQ(t.PrevCenter().x, 80);
    EXPECT_TRUE(t.PrevHasBox());
    ExpectRect(t.Box(), 60, 30, 120, 90);
    t.Clear();
    EXPECT_FALSE(t.HasBox());
    ExpectRect(t.PrevBox(), 60, 30, 120, 90);
}

TEST(CSelectionTracker, CornerAtTheOriginIsARealBox)
{
    CSelectionTracker t;
    t.Begin(0, 0);
    t.SetCorner(50, 40, 2);
    ASSERT_TRUE(t.HasBox());
    ExpectRect(t.ToImageRect({0, 0}, 1.0f), 0, 0, 50, 40);
    // Dragging the second corner onto (0, 0) keeps a box (ordered the other way).
    t.Begin(30, 20);
    t.SetCorner(0, 0, 2);
    ASSERT_TRUE(t.HasBox());
    ExpectRect(t.Box(), 0, 0, 30, 20);
    EXPECT_EQ(t.HitTest(0, 0), CSelectionTracker::kHitTopLeft);
}

TEST(CSelectionTracker, InBoundsTakesEachCoordinateOnItsOwn)
{
    CSelectionTracker t;
    t.SetRect(kDisplay, {100, 100, 200, 200});
    t.SetCornerInBounds(kDisplay, 460, 150, 2);  // x beyond the right edge (450)
    ExpectRect(t.Box(), 100, 100, 200, 150, "x kept, y taken");
    t.SetCornerInBounds(kDisplay, 450, 320, 2);  // the edges themselves are inside
    ExpectRect(t.Box(), 100, 100, 450, 320);
    t.SetCornerInBounds(kDisplay, 40, 10, 1);  // both outside: first corner stays
    ExpectRect(t.Box(), 100, 100, 450, 320);
    t.SetCornerInBounds(kDisplay, 500, 150, 1);  // x outside, y inside
    ExpectRect(t.Box(), 100, 150, 450, 320);
}

TEST(CSelectionTracker, UnorderedSetterLeavesReversedCorners)
{
    CSelectionTracker t;
    t.SetRect(kDisplay, {100, 100, 200, 200});
    t.SetCornerInBoundsUnordered(kDisplay, 80, 90, 2);
    ExpectRect(t.Box(), 100, 100, 80, 90);
}

TEST(CSelectionTracker, MoveResizeBoundsEveryCoordinate)
{
    CSelectionTracker t;
    t.SetRect(kDisplay, {100, 100, 200, 200});
    t.MoveResize(kDisplay, {30, 120, 300, 400});  // left and bottom outside
    ExpectRect(t.Box(), 100, 120, 300, 200);
    ExpectRect(t.ImageRect(), 50, 100, 250, 180);
}

TEST(CSelectionTracker, ClampKeepsTheBoxOnTheDisplayedImage)
{
    CSelectionTracker t;
    t.SetRect(kDisplay, {10, 5, 600, 500});
    t.ClampTo(kDisplay);
    ExpectRect(t.Box(), 50, 20, 450, 320);
}

TEST(CSelectionTracker, ImageRectIsTheInverseOfTheDisplayMapping)
{
    struct Case {
        RECT box;
        POINT origin;
        float scale;
        RECT want;
    };
    const float bestFit = 800.0f / 4000.0f;  // as best fit computes it
    const Case cases[] = {
        {{10, 20, 110, 70}, {0, 0}, 1.0f, {10, 20, 110, 70}},
        {{60, 40, 160, 90}, {50, 20}, 1.0f, {10, 20, 110, 70}},
        // 1.6: image pixel 10 covers 16 .. 17.6, so a box edge at 17 includes it.
        {{16, 16, 32, 17}, {0, 0}, 1.6f, {10, 10, 20, 11}},
        {{17, 17, 33, 33}, {0, 0}, 1.6f, {10, 10, 21, 21}},
        {{0, 0, 160, 120}, {0, 0}, bestFit, {0, 0, 800, 600}},
        {{100, 50, 110, 60}, {0, 0}, bestFit, {500, 250, 550, 300}},
        {{3, 3, 5, 5}, {0, 0}, 3.0f, {1, 1, 2, 2}},
    };
    for (const Case& c : cases) {
        CSelectionTracker t;
        t.SetRect({0, 0, c.scale, c.origin}, c.box);
        const RECT r = t.ToImageRect(c.origin, c.scale);
        ExpectRect(r, c.want.left, c.want.top, c.want.right, c.want.bottom);
    }
    CSelectionTracker t;
    t.SetRect(kDisplay, {1, 1, 2, 2});
    ExpectRect(t.ToImageRect({0, 0}, 0.0f), 0, 0, 0, 0, "no division by a zero scale");
}

TEST(CSelectionTracker, RescaleKeepsTheSameImagePixels)
{
    CSelectionTracker t;
    t.SetRect(kDisplay, {70, 40, 150, 100});
    t.Rescale(2.0f, {50, 20}, 1.0f, {50, 20});
    ExpectRect(t.Box(), 90, 60, 250, 180, "distance from the origin doubled");
    t.Rescale(1.0f, {0, 0}, 2.0f, {50, 20});
    ExpectRect(t.Box(), 20, 20, 100, 80);
    ExpectRect(t.ImageRect(), 20, 20, 100, 80);
}

TEST(CSelectionTracker, HitCodesWithTheirTolerance)
{
    CSelectionTracker t;
    t.SetRect(kDisplay, {100, 100, 200, 180});  // centre (150, 140)
    struct Case {
        POINT p;
        int code;
    };
    const Case cases[] = {
        {{150, 100}, 7},  {{150, 96}, 7},   {{154, 104}, 7},  {{150, 95}, 0},   {{150, 105}, 15},
        {{200, 140}, 8},  {{204, 140}, 8},  {{205, 140}, 0},  {{100, 140}, 9},  {{96, 144}, 9},
        {{150, 180}, 10}, {{150, 184}, 10}, {{150, 185}, 0},  {{100, 100}, 11}, {{200, 100}, 12},
        {{100, 180}, 13}, {{200, 180}, 14}, {{203, 183}, 14}, {{120, 120}, 15}, {{99, 120}, 0},
        {{300, 300}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(t.HitTest(c.p.x, c.p.y), c.code) << c.p.x << "," << c.p.y;
    CSelectionTracker empty;
    empty.Begin(100, 100);
    EXPECT_EQ(empty.HitTest(100, 100), 0) << "an unfinished box is not hit";
}

TEST(CSelectionTracker, OutlineAndHandlesGeometry)
{
    const RECT box{100, 100, 200, 180};
    const POINT scroll{10, 20};
    const auto outline = CSelectionTracker::Outline(box, scroll);
    EXPECT_EQ(outline[0].x, 90);
    EXPECT_EQ(outline[0].y, 80);
    EXPECT_EQ(outline[2].x, 189);
    EXPECT_EQ(outline[2].y, 159);
    const auto handles = CSelectionTracker::Handles(box, {150, 140}, 2, scroll);
    for (const RECT& h : handles) {
        EXPECT_EQ(h.right - h.left, 8);
        EXPECT_EQ(h.bottom - h.top, 8);
    }
    ExpectRect(handles[0], 86, 76, 94, 84, "top-left");
    ExpectRect(handles[2], 185, 155, 193, 163, "bottom-right centred on the inner pixel");
    ExpectRect(handles[8], 136, 116, 144, 124, "centre");
    const RECT area = CSelectionTracker::DrawnArea(box, 2, scroll);
    for (const RECT& h : handles) {
        EXPECT_GE(h.left, area.left);
        EXPECT_GE(h.top, area.top);
        EXPECT_LE(h.right, area.right);
        EXPECT_LE(h.bottom, area.bottom);
    }
}

TEST(CSelectionTracker, MarkPointOnlyWhenAsked)
{
    CSelectionTracker t;
    t.SetRect(kDisplay, {70, 40, 150, 100});
    EXPECT_EQ(t.Mark().x, 0);
    t.SetRect(kDisplay, {70, 40, 150, 100}, true);
    EXPECT_EQ(t.Mark().x, 20);
    EXPECT_EQ(t.Mark().y, 20);
}

}  // namespace
