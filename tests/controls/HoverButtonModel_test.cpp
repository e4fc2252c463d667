#include "controls/model/HoverButtonModel.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kFace = RGB(212, 208, 200);
constexpr COLORREF kText = RGB(0, 0, 0);

TEST(HoverButtonModel, ColorsStartAsFaceAndTextAndRefuseBadIndices)
{
    HoverButtonModel model(kFace, kText);
    for (int i = 0; i < 6; ++i) {
        COLORREF c = 1;
        EXPECT_EQ(model.GetStateColor(i, c), kHoverOk);
        EXPECT_EQ(c, i % 2 == 0 ? kFace : kText) << i;
    }
    EXPECT_EQ(model.SetStateColor(6, RGB(1, 1, 1)), kHoverBadColorIndex);
    EXPECT_EQ(model.SetStateColor(-1, RGB(1, 1, 1)), kHoverBadColorIndex);
    COLORREF untouched = 7;
    EXPECT_EQ(model.GetStateColor(6, untouched), kHoverBadColorIndex);
    EXPECT_EQ(untouched, 7u);

    EXPECT_EQ(model.SetStateColor(kColorBackIn, RGB(9, 9, 9)), kHoverOk);
    model.ResetColors();
    COLORREF c = 0;
    model.GetStateColor(kColorBackIn, c);
    EXPECT_EQ(c, kFace);
}

TEST(HoverButtonModel, AlignmentAboveTwoRefused)
{
    HoverButtonModel model(kFace, kText);
    EXPECT_EQ(model.SetImageAlign(kAlignImageRight), kHoverOk);
    EXPECT_EQ(model.SetImageAlign(3), kHoverBadAlignment);
    EXPECT_EQ(model.SetImageAlign(-1), kHoverBadAlignment);
    EXPECT_EQ(model.GetImageAlign(), kAlignImageRight);
}

TEST(HoverButtonModel, ColorsByState)
{
    HoverButtonModel model(kFace, kText);
    for (int i = 0; i < 6; ++i)
        model.SetStateColor(i, RGB(10 * (i + 1), 0, 0));
    HoverDrawState plain;
    HoverDrawState hover;
    hover.hovering = true;
    HoverDrawState pressed;
    pressed.pressed = true;
    HoverDrawState focused;
    focused.focused = true;
    EXPECT_EQ(model.BackgroundColor(plain), RGB(30, 0, 0));
    EXPECT_EQ(model.BackgroundColor(hover), RGB(10, 0, 0));
    EXPECT_EQ(model.BackgroundColor(pressed), RGB(10, 0, 0));
    EXPECT_EQ(model.BackgroundColor(focused), RGB(50, 0, 0));
    EXPECT_EQ(model.CaptionColor(plain), RGB(40, 0, 0));
    EXPECT_EQ(model.CaptionColor(hover), RGB(20, 0, 0));
    EXPECT_EQ(model.CaptionColor(focused), RGB(40, 0, 0));  // colour 5 is never drawn
}

TEST(HoverButtonModel, WhichImageShows)
{
    const struct {
        bool checkBox, pressed, hovering, ticked, in;
    } cases[] = {
        {false, false, false, false, false}, {false, true, false, false, true},  {false, false, true, false, true},
        {false, false, false, true, false},  {true, false, true, false, false},  {true, false, false, true, true},
        {true, true, false, false, true},
    };
    for (const auto& c : cases) {
        HoverDrawState state;
        state.checkBoxMode = c.checkBox;
        state.pressed = c.pressed;
        state.hovering = c.hovering;
        state.ticked = c.ticked;
        EXPECT_EQ(ShowsInImage(state), c.in) << c.checkBox << c.pressed << c.hovering << c.ticked;
    }
}

TEST(HoverButtonModel, ImagePlacement)
{
    const RECT item{0, 0, 100, 40};
    const SIZE image{20, 10};
    const struct {
        int align;
        bool caption;
        bool press;
        POINT at;
        RECT caption_after;
    } cases[] = {
        {kAlignImageLeft, true, false, {3, 15}, {23, 0, 100, 40}},
        {kAlignImageLeft, false, false, {40, 15}, {0, 0, 100, 40}},
        {kAlignImageTop, true, false, {40, 3}, {0, 10, 100, 40}},
        {kAlignImageTop, false, false, {40, 15}, {0, 0, 100, 40}},
        {kAlignImageRight, true, false, {77, 15}, {3, 0, 77, 40}},
        {kAlignImageRight, false, false, {40, 0}, {0, 0, 100, 40}},
        {kAlignImageLeft, true, true, {4, 16}, {23, 0, 100, 40}},
    };
    for (const auto& c : cases) {
        RECT caption = item;
        const POINT at = PlaceHoverImage(item, caption, image, c.caption, c.align, c.press);
        EXPECT_EQ(at.x, c.at.x) << c.align << c.caption;
        EXPECT_EQ(at.y, c.at.y) << c.align << c.caption;
        EXPECT_EQ(caption.left, c.caption_after.left) << c.align << c.caption;
        EXPECT_EQ(caption.top, c.caption_after.top) << c.align << c.caption;
        EXPECT_EQ(caption.right, c.caption_after.right) << c.align << c.caption;
        EXPECT_EQ(caption.bottom, c.caption_after.bottom) << c.align << c.caption;
    }
}

TEST(HoverButtonModel, CaptionCentredRoundingTowardZero)
{
    const RECT placed = CentreCaption(RECT{10, 0, 110, 40}, SIZE{31, 13});
    EXPECT_EQ(placed.left, 44);
    EXPECT_EQ(placed.top, 13);
    EXPECT_EQ(placed.right, 75);
    EXPECT_EQ(placed.bottom, 26);
    const RECT wide = CentreCaption(RECT{0, 0, 10, 10}, SIZE{15, 5});  // wider than its room
    EXPECT_EQ(wide.left, -2);
}

}  // namespace
