#include "editor/model/ColorChooserModel.h"

#include <gtest/gtest.h>

namespace {

using Field = ColorChooserModel::Field;
using M = ColorChooserModel;

TEST(ColorChooserModelTest, EditsAreClampedAndTheOtherFormFollows)
{
    ColorChooserModel m(RGB(255, 0, 0));
    EXPECT_EQ(m.Old(), RGB(255, 0, 0));
    EXPECT_EQ(m.Get(Field::Hue), 0);
    EXPECT_EQ(m.Get(Field::Saturation), 255);
    EXPECT_EQ(m.Get(Field::Brightness), 255);
    EXPECT_TRUE(m.Set(Field::Hue, 120));
    EXPECT_EQ(m.Current(), RGB(0, 255, 0));
    EXPECT_TRUE(m.Set(Field::Hue, 5000));
    EXPECT_EQ(m.Get(Field::Hue), 359);
    EXPECT_EQ(m.Get(Field::Blue), 4);  // hue 359 keeps a little blue
    EXPECT_TRUE(m.Set(Field::Blue, -20));
    EXPECT_EQ(m.Get(Field::Blue), 0);
    EXPECT_FALSE(m.Set(Field::Blue, -20)) << "the same value again";
    EXPECT_TRUE(m.Set(Field::Brightness, 0));
    EXPECT_EQ(m.Current(), RGB(0, 0, 0));
    EXPECT_EQ(m.Old(), RGB(255, 0, 0));
}

TEST(ColorChooserModelTest, WheelAndBarDrags)
{
    ColorChooserModel m(RGB(128, 128, 128));
    const POINT c = M::kWheelCentre;
    m.DragWheel({c.x, c.y - 50});  // straight up: 90 degrees, half way out
    EXPECT_EQ(m.Get(Field::Hue), 90);
    EXPECT_EQ(m.Get(Field::Saturation), 127);
    EXPECT_EQ(m.Get(Field::Brightness), 128) << "brightness stays";
    m.DragWheel({c.x - 300, c.y + 1});  // far out, just below the left: -179.8 degrees
    EXPECT_EQ(m.Get(Field::Hue), 181) << "truncated before 360 is added";
    EXPECT_EQ(m.Get(Field::Saturation), 255);
    m.DragWheel({c.x + 40, c.y + 40});
    EXPECT_EQ(m.Get(Field::Hue), 315);
    const POINT marker = m.WheelMarker();
    EXPECT_NEAR(marker.x, c.x + 40, 1);
    EXPECT_NEAR(marker.y, c.y + 40, 1);

    m.DragBar(0);
    EXPECT_EQ(m.Get(Field::Brightness), 255);
    m.DragBar(M::kWheelHeight);
    EXPECT_EQ(m.Get(Field::Brightness), 0);
    m.DragBar(M::kWheelHeight + 50);
    EXPECT_EQ(m.Get(Field::Brightness), 0);
    m.DragBar(100);
    EXPECT_EQ(m.Get(Field::Brightness), 128);  // trunc(101 x 255 / 201)
    EXPECT_NEAR(m.BarMarkerY(), 100, 1);
    EXPECT_TRUE(M::InBar({M::kBarLeft, 0}));
    EXPECT_FALSE(M::InBar({M::kBarLeft - 1, 0}));
}

// The bar is brightest at the top, in the present hue and saturation.
TEST(ColorChooserModelTest, BarColoursFallFromTop)
{
    ColorChooserModel m(RGB(255, 0, 0));
    const auto colours = m.BarColours();
    ASSERT_EQ(colours.size(), static_cast<size_t>(M::kWheelHeight));
    EXPECT_EQ(GetRValue(colours.front()), 253);  // trunc(200 x 255 / 201)
    EXPECT_EQ(GetGValue(colours.front()), 0);
    EXPECT_EQ(colours.back(), RGB(0, 0, 0));
}

TEST(ColorChooserModelTest, HandlesSitOnTheirAxesAndFollowTheMouse)
{
    ColorChooserModel m(RGB(255, 0, 0));
    EXPECT_EQ(m.HandlePoint(0).x, M::kAxisEnds[0].x);
    EXPECT_EQ(m.HandlePoint(0).y, M::kAxisEnds[0].y);
    EXPECT_EQ(m.HandlePoint(1).x, M::kAxisCentre.x);
    EXPECT_EQ(m.HandleAt(M::kAxisEnds[0]), 0);
    EXPECT_EQ(m.HandleAt({M::kAxisCentre.x + 2, M::kAxisCentre.y}), 1) << "green and blue share the centre; green first";
    EXPECT_EQ(m.HandleAt({0, 0}), -1);
    // Half way up the red axis, a little off it.
    m.DragHandle(0, {M::kAxisCentre.x + 4, (M::kAxisCentre.y + M::kAxisEnds[0].y) / 2});
    EXPECT_NEAR(m.Get(Field::Red), 127, 2);
    // Past the end of the blue axis, and behind its centre.
    m.DragHandle(2, {M::kAxisEnds[2].x + 30, M::kAxisEnds[2].y + 20});
    EXPECT_EQ(m.Get(Field::Blue), 255);
    m.DragHandle(2, {M::kAxisCentre.x - 50, M::kAxisCentre.y - 30});
    EXPECT_EQ(m.Get(Field::Blue), 0);
}

}  // namespace
