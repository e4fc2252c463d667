#include "platform/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowPlacement, ParseAndFormatRoundTrip)
{
    const char* texts[] = {
        "0,1,-1,-1,-1,-1,100,50,900,650",
        "2,3,-1,-1,-1,-1,10,20,810,620",
        "0,2,-32000,-32000,-1,-1,-1920,0,-920,700",
    };
    for (const char* text : texts) {
        auto p = WindowPlacement::Parse(text);
        ASSERT_TRUE(p) << text;
        EXPECT_EQ(p->Format(), text);
    }
    auto p = WindowPlacement::Parse("2,3,-1,-1,-1,-1,10,20,810,620");
    EXPECT_EQ(p->flags, WindowPlacement::kRestoreToMaximized);
    EXPECT_TRUE(p->IsMaximized());
    EXPECT_EQ(p->Normal().x, 10);
    EXPECT_EQ(p->Normal().width, 800);
    EXPECT_EQ(p->Normal().height, 600);
}

TEST(WindowPlacement, MalformedTextIsIgnored)
{
    const char* texts[] = {
        "",
        "0,1,-1,-1,-1,-1,100,50,900",          // nine numbers
        "0,1,-1,-1,-1,-1,100,50,900,650,7",    // eleven
        "0,1,-1,-1,-1,-1,100,50,900,",         // empty tenth
        "0,1,-1,-1,-1,-1,100,50,900,65x",      // junk in a number
        "-1,1,-1,-1,-1,-1,100,50,900,650",     // negative unsigned field
        "0,1, -1,-1,-1,-1,100,50,900,650",     // blank
        "0,1,-1,-1,-1,-1,100,50,99999999999,650",  // out of int range
        "0,1,-1,-1,-1,-1,900,50,100,650",      // right before left
        "0,1,-1,-1,-1,-1,100,650,900,650",     // no height
        "0,1,-1,-1,-1,-1,-2000000000,0,2000000000,650",  // absurdly far
    };
    for (const char* text : texts)
        EXPECT_FALSE(WindowPlacement::Parse(text)) << '"' << text << '"';
}

TEST(WindowPlacement, ClampToScreenTable)
{
    struct Case {
        int left, top, right, bottom;
        int eLeft, eTop, eRight, eBottom;
    };
    const Case cases[] = {
        {100, 50, 900, 650, 100, 50, 900, 650},      // fits: untouched
        {100, 50, 1200, 650, 100, 50, 914, 650},     // 1024 - 100 - 10
        {0, 0, 1024, 768, 0, 0, 1014, 758},          // exactly the screen
        {100, 100, 500, 900, 100, 100, 500, 658},    // too high: 768 - 100 - 10
        {600, 50, 1700, 650, 0, 50, 1014, 650},      // the cut would end before the start
        {-500, 50, 600, 650, 0, 50, 1014, 650},      // the cut would widen it
    };
    for (const Case& c : cases) {
        WindowPlacement p;
        p.left = c.left, p.top = c.top, p.right = c.right, p.bottom = c.bottom;
        p.ClampToScreen(1024, 768);
        EXPECT_EQ(p.left, c.eLeft) << c.left << "," << c.right;
        EXPECT_EQ(p.top, c.eTop) << c.top << "," << c.bottom;
        EXPECT_EQ(p.right, c.eRight) << c.left << "," << c.right;
        EXPECT_EQ(p.bottom, c.eBottom) << c.top << "," << c.bottom;
        EXPECT_LT(p.right - p.left, 1024);
        EXPECT_GT(p.right - p.left, 0);
    }
}

TEST(WindowPlacement, AWindowOnAVanishedMonitorMovesToThePrimaryDisplay)
{
    const std::vector<PlacementRect> one = {{0, 0, 1280, 1024}};
    const std::vector<PlacementRect> two = {{0, 0, 1280, 1024}, {1280, 0, 1920, 1080}};

    WindowPlacement p;
    p.SetNormal({1500, 100, 800, 600});  // was on the second monitor
    p.MoveOntoDisplays(two);
    EXPECT_EQ(p.Normal().x, 1500);

    p.MoveOntoDisplays(one);
    EXPECT_EQ(p.Normal().x, 0);
    EXPECT_EQ(p.Normal().y, 0);
    EXPECT_EQ(p.Normal().width, 800);
    EXPECT_EQ(p.Normal().height, 600);

    WindowPlacement partly;
    partly.SetNormal({-300, -20, 800, 600});  // partly visible stays where it is
    partly.MoveOntoDisplays(one);
    EXPECT_EQ(partly.Normal().x, -300);
}

TEST(WindowPlacement, FitOntoKeepsAWindowWhollyOnItsScreen)
{
    const PlacementRect screen{0, 0, 1280, 1024};
    const struct {
        PlacementRect in, out;
    } cases[] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},      // already on screen
        {{400, 325, 1030, 824}, {250, 200, 1030, 824}},    // off the lower right: moved back
        {{-50, -20, 800, 600}, {0, 0, 800, 600}},          // off the upper left
        {{10, 10, 1400, 1100}, {0, 0, 1280, 1024}},        // larger than the screen: cut
        {{480, 424, 800, 600}, {480, 424, 800, 600}},      // touching both far edges
    };
    for (const auto& c : cases) {
        const PlacementRect r = FitOnto(c.in, screen);
        EXPECT_EQ(r.x, c.out.x) << c.in.x << "," << c.in.y;
        EXPECT_EQ(r.y, c.out.y) << c.in.x << "," << c.in.y;
        EXPECT_EQ(r.width, c.out.width) << c.in.x << "," << c.in.y;
        EXPECT_EQ(r.height, c.out.height) << c.in.x << "," << c.in.y;
    }
    // A second display to the right: the area's own origin counts.
    const PlacementRect right = FitOnto({2400, 900, 800, 600}, {1280, 0, 1920, 1080});
    EXPECT_EQ(right.x, 2400);
    EXPECT_EQ(right.y, 480);
}

TEST(WindowPlacement, CentreOnCentresWithinTheWorkArea)
{
    const PlacementRect r = CentreOn(800, 600, {0, 30, 1280, 994});
    EXPECT_EQ(r.x, 240);
    EXPECT_EQ(r.y, 30 + 197);
    EXPECT_EQ(r.width, 800);
    EXPECT_EQ(r.height, 600);
    const PlacementRect big = CentreOn(2000, 600, {0, 0, 1280, 1024});
    EXPECT_EQ(big.x, 0);
    EXPECT_EQ(big.width, 1280);
}

}  // namespace
