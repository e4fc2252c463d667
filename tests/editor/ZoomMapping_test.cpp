#include "editor/model/ZoomMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Records what the mapping asks of its window.
struct FakeHost : ZoomMapping::Host {
    bool bestFit = false;
    bool refit = false;
    int applied = 0;
    SIZE range{};
    POINT scrolledTo{};
    int invalidated = 0;
    int notified = 0;

    bool BestFitViewMode() const override { return bestFit; }
    bool TakeRefitRequest() override
    {
        const bool was = refit;
        refit = false;
        return was;
    }
    void ApplyScrollBars(SIZE r, SIZE, SIZE, POINT) override
    {
        ++applied;
        range = r;
    }
    void ScrollTo(POINT p) override { scrolledTo = p; }
    void InvalidateView(bool) override { ++invalidated; }
    void NotifyZoom() override { ++notified; }
};

struct Fixture : ::testing::Test {
    FakeHost host;
    ZoomMapping zoom{&host};
    void SetUp() override
    {
        zoom.SetClientSize({800, 600});
        zoom.SetZoomSizes({1000, 500});
    }
};

using ZoomMappingTest = Fixture;

TEST_F(ZoomMappingTest, ZoomInStepsOfPointTwoEndJustAboveThree)
{
    const float expected[] = {1.2f, 1.4f, 1.6f, 1.8f, 2.0f, 2.2f, 2.4f, 2.6f, 2.8f};
    for (float e : expected) {
        zoom.DoZoomIn(nullptr, 0.2f);
        EXPECT_NEAR(zoom.Zoom(), e, 1e-5);
        EXPECT_EQ(zoom.DeviceSize().cx, static_cast<int32_t>(1000 * zoom.Zoom()));
        EXPECT_EQ(zoom.DeviceSize().cy, static_cast<int32_t>(500 * zoom.Zoom()));
    }
    zoom.DoZoomIn(nullptr, 0.2f);
    // Float steps overshoot: the view's limit test (>= 3.0) must see this value.
    EXPECT_GT(zoom.Zoom(), 3.0f);
    EXPECT_LT(zoom.Zoom(), 3.0001f);
    EXPECT_EQ(host.notified, 1 + 10);  // SetZoomSizes + every step
}

TEST_F(ZoomMappingTest, ZoomOutKeepsPresentZoomOnceThenSteps)
{
    zoom.SetZoom(1.7f);
    zoom.SetKeepZoomOnce(true);
    zoom.ZoomOut(nullptr, 0.2f);
    EXPECT_FLOAT_EQ(zoom.Zoom(), 1.7f);
    EXPECT_FALSE(zoom.KeepZoomOnce());
    EXPECT_EQ(zoom.DeviceSize().cx, static_cast<int32_t>(1000 * 1.7f));
    zoom.ZoomOut(nullptr, 0.2f);
    EXPECT_NEAR(zoom.Zoom(), 1.5f, 1e-5);
}

TEST_F(ZoomMappingTest, ZoomAndReductionNeverReachZero)
{
    zoom.SetZoom(0.2f);
    zoom.ZoomOut(nullptr, 0.2f);
    EXPECT_GT(zoom.Zoom(), 0.0f);
    zoom.ZoomOut(nullptr, 0.5f);
    EXPECT_GT(zoom.Zoom(), 0.0f);
    zoom.SetReduce(0.2f);
    zoom.DecreaseFitScale(nullptr, 0.2f);
    EXPECT_GT(zoom.Reduce(), 0.0f);
}

TEST_F(ZoomMappingTest, ZoomKeepsTheLogicalCentreInTheMiddle)
{
    zoom.DoZoomIn(nullptr, 1.0f);  // 2000 x 1000 in 800 x 600: both axes scroll
    const POINT centre{500, 250};
    zoom.CenterOnLogicalPoint(centre);
    for (int i = 0; i < 3; ++i) {
        zoom.DoZoomIn(nullptr, 0.2f);
        const POINT now = zoom.GetLogicalCenter();
        EXPECT_LE(std::abs(now.x - centre.x), 1) << "step " << i;
        EXPECT_LE(std::abs(now.y - centre.y), 1) << "step " << i;
    }
    const POINT point{700, 300};
    zoom.DoZoomIn(&point, 0.2f);
    EXPECT_LE(std::abs(zoom.GetLogicalCenter().x - 700), 1);
    EXPECT_LE(std::abs(zoom.GetLogicalCenter().y - 300), 1);
    EXPECT_EQ(host.scrolledTo.x, zoom.ScrollPosition().x);
}

TEST_F(ZoomMappingTest, SmallAxisIsCentredLargeAxisScrollsFromZero)
{
    // 1000 x 500 in 800 x 600: wider than the window, shorter than it.
    EXPECT_EQ(zoom.ViewportOrigin().x, 0);
    EXPECT_EQ(zoom.ViewportOrigin().y, 50);
    zoom.SetScrollPosition({150, 40});
    EXPECT_EQ(zoom.ScrollPosition().x, 150);
    EXPECT_EQ(zoom.ScrollPosition().y, 0) << "no vertical scroll bar: position 0";
    EXPECT_EQ(zoom.ViewportOrigin().x, -150);
    zoom.SetScrollPosition({5000, 0});
    EXPECT_EQ(zoom.ScrollPosition().x, 200) << "clamped to range - client";
}

TEST_F(ZoomMappingTest, ConversionsAreInverseAtZoom)
{
    zoom.DoZoomIn(nullptr, 1.0f);  // 2.0
    zoom.SetScrollPosition({300, 100});
    for (POINT p : {POINT{0, 0}, POINT{10, 20}, POINT{499, 250}, POINT{999, 499}}) {
        const POINT c = zoom.LogicalToClient(p);
        EXPECT_EQ(c.x, 2 * p.x - 300);
        EXPECT_EQ(c.y, 2 * p.y - 100);
        const POINT back = zoom.ClientToLogical(c);
        EXPECT_EQ(back.x, p.x);
        EXPECT_EQ(back.y, p.y);
    }
}

TEST(ZoomMappingScrollBars, BestFitModeUpdatesBarsOnlyOnRequest)
{
    struct Case {
        bool bestFit;
        bool request;
        bool applied;
    };
    for (const Case c : {Case{false, false, true}, Case{false, true, true}, Case{true, false, false},
                         Case{true, true, true}}) {
        FakeHost host;
        ZoomMapping zoom(&host);
        zoom.SetClientSize({100, 100});
        host.bestFit = c.bestFit;
        host.refit = c.request;
        zoom.SetZoomSizes({400, 300});
        EXPECT_EQ(host.applied == 1, c.applied) << c.bestFit << c.request;
        EXPECT_FALSE(host.refit) << "the request is used up in either mode";
        EXPECT_EQ(zoom.ScrollRange().cx, c.applied ? 400 : 0);
        EXPECT_GE(host.invalidated, 1);
    }
}

TEST_F(ZoomMappingTest, PageAndLineDefaults)
{
    EXPECT_EQ(zoom.PageStep().cx, 100);
    EXPECT_EQ(zoom.PageStep().cy, 50);
    EXPECT_EQ(zoom.LineStep().cx, 10);
    EXPECT_EQ(zoom.LineStep().cy, 5);
    zoom.SetZoomSizes({1000, 500}, {-40, 30}, {0, 7});
    EXPECT_EQ(zoom.PageStep().cx, 40);
    EXPECT_EQ(zoom.PageStep().cy, 30);
    EXPECT_EQ(zoom.LineStep().cx, 4);
    EXPECT_EQ(zoom.LineStep().cy, 7);
}

TEST_F(ZoomMappingTest, FitScaleStepsKeepTheMappingOneToOne)
{
    zoom.SetReduce(0.6f);
    zoom.IncreaseFitScale(nullptr, 0.2f);
    EXPECT_NEAR(zoom.Reduce(), 0.8f, 1e-6);
    EXPECT_FLOAT_EQ(zoom.Zoom(), 1.0f);
    EXPECT_EQ(zoom.DeviceSize().cx, 1000) << "device size back to the base";
    EXPECT_EQ(zoom.ScrollRange().cx, 800) << "scroll range follows the reduced size";
    EXPECT_EQ(zoom.ScrollRange().cy, 400);
    zoom.SetKeepZoomOnce(true);
    zoom.DecreaseFitScale(nullptr, 0.2f);
    EXPECT_NEAR(zoom.Reduce(), 0.6f, 1e-6);
    EXPECT_FALSE(zoom.KeepZoomOnce());
    EXPECT_EQ(zoom.ScrollRange().cx, 600);
}

TEST_F(ZoomMappingTest, ZoomRectFillsTheWindowOrStepsForATinyBand)
{
    zoom.DoZoomRect({498, 248, 502, 253});  // 4 x 5 device pixels: a click
    EXPECT_NEAR(zoom.Zoom(), 1.2f, 1e-6);
    EXPECT_LE(std::abs(zoom.GetLogicalCenter().x - 500), 1);

    zoom.DoZoomRect({600, 300, 200, 100});  // reversed corners are normalised
    EXPECT_FLOAT_EQ(zoom.Zoom(), std::min(801.0f / 400.0f, 601.0f / 200.0f));
    EXPECT_LE(std::abs(zoom.GetLogicalCenter().x - 400), 1);
    EXPECT_LE(std::abs(zoom.GetLogicalCenter().y - 200), 1);
}

TEST_F(ZoomMappingTest, ZoomToFitFitsTheWholePicture)
{
    zoom.ZoomToFit();
    EXPECT_EQ(zoom.DeviceSize().cx, 800);
    EXPECT_EQ(zoom.DeviceSize().cy, 400);
    EXPECT_FLOAT_EQ(zoom.Zoom(), 0.8f);
}

TEST_F(ZoomMappingTest, MouseBandZoomsToTheBandAndRightButtonCancels)
{
    EXPECT_FALSE(zoom.BandDown({10, 60})) << "no band outside mode 1";
    EXPECT_TRUE(zoom.SetZoomMode(ZoomMapping::kZoomBand));
    EXPECT_FALSE(zoom.SetZoomMode(ZoomMapping::kZoomBand));
    // The picture is centred vertically at y = 50: client (10, 60) is logical (10, 10).
    EXPECT_TRUE(zoom.BandDown({10, 60}));
    EXPECT_TRUE(zoom.BandMove({410, 260}));
    EXPECT_EQ(zoom.Band().left, 10);
    EXPECT_EQ(zoom.Band().top, 10);
    EXPECT_EQ(zoom.Band().right, 410);
    EXPECT_EQ(zoom.Band().bottom, 210);
    zoom.BandUp({410, 260});
    EXPECT_FALSE(zoom.Tracking());
    EXPECT_FLOAT_EQ(zoom.Zoom(), std::min(801.0f / 400.0f, 601.0f / 200.0f));

    zoom.BandDown({0, 0});
    EXPECT_TRUE(zoom.RightDown()) << "stops the band";
    EXPECT_EQ(zoom.ZoomMode(), ZoomMapping::kZoomBand);
    EXPECT_FALSE(zoom.RightDown());
    EXPECT_EQ(zoom.ZoomMode(), ZoomMapping::kZoomNone);

    zoom.SetZoomMode(ZoomMapping::kZoomOutClick);
    const float before = zoom.Zoom();
    zoom.BandUp({400, 300});
    EXPECT_NEAR(zoom.Zoom(), before - 0.2f, 1e-5);
}

TEST(FitSizeKeepingAspect, Table)
{
    struct Case {
        SIZE size, box;
        SIZE wantBox, wantMargins;
    };
    const Case cases[] = {
        {{400, 300}, {800, 600}, {800, 600}, {0, 0}},        // same aspect: unchanged
        {{400, 200}, {800, 600}, {800, 400}, {0, 200}},      // wider: height shrinks
        {{300, 400}, {800, 600}, {450, 600}, {350, 0}},      // taller: width shrinks
        {{4000, 3000}, {2480, 3508}, {2480, 1860}, {0, 1648}},  // landscape on a portrait page
        {{0, 300}, {800, 600}, {800, 600}, {0, 0}},          // zero sizes are guarded
        {{300, 0}, {800, 600}, {800, 600}, {0, 0}},
        {{400, 300}, {800, 0}, {800, 0}, {0, 0}},
        {{400, 300}, {0, 0}, {0, 0}, {0, 0}},
        {{-4, 3}, {80, 60}, {80, 60}, {0, 0}},
    };
    for (const Case& c : cases) {
        SIZE box = c.box;
        SIZE margins{7, 7};
        ZoomMapping::FitSizeKeepingAspect(c.size, box, margins);
        EXPECT_EQ(box.cx, c.wantBox.cx) << c.size.cx << "x" << c.size.cy;
        EXPECT_EQ(box.cy, c.wantBox.cy) << c.size.cx << "x" << c.size.cy;
        EXPECT_EQ(margins.cx, c.wantMargins.cx) << c.size.cx << "x" << c.size.cy;
        EXPECT_EQ(margins.cy, c.wantMargins.cy) << c.size.cx << "x" << c.size.cy;
    }
}

TEST(ZoomMappingStatic, NormalizeRectOrdersCorners)
{
    const RECT r = ZoomMapping::NormalizeRect({10, 20, 5, 2});
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 10);
    EXPECT_EQ(r.bottom, 20);
}

}  // namespace
