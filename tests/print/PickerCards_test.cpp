#include "print/model/PickerCards.h"

#include "manager/model/CFolderItem.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

TEST(PickerCards, CardsInTwoColumnsAndTheScrollExtent)
{
    const RECT third = PickerCards::CardRect(2);
    EXPECT_EQ(third.left, 0);
    EXPECT_EQ(third.top, 124);
    EXPECT_EQ(third.right, 100);
    EXPECT_EQ(third.bottom, 238);
    EXPECT_EQ(PickerCards::CardRect(3).left, 105);
    EXPECT_EQ(PickerCards::ScrollHeight(3), 243);
    EXPECT_EQ(PickerCards::ScrollHeight(4), 243);
    EXPECT_EQ(PickerCards::ScrollHeight(0), 5);
    EXPECT_EQ(PickerCards::ScrollWidth(150), 210);
    EXPECT_EQ(PickerCards::ScrollWidth(300), 300);
    // One card's repaint covers its column and its row band from 5 to 119 below it.
    const RECT repaint = PickerCards::CardRepaintRect(3);
    EXPECT_EQ(repaint.left, 105);
    EXPECT_EQ(repaint.top, 124);
    EXPECT_EQ(repaint.right, 205);
    EXPECT_EQ(repaint.bottom, 238);
}

TEST(PickerCards, HitIndexes)
{
    struct Case {
        int x, y, sx, sy, index;
    };
    const Case cases[] = {
        {10, 10, 0, 0, 0},
        {104, 10, 0, 0, 0},   // the gap right of a card still counts for it
        {105, 10, 0, 0, 1},
        {50, 124, 0, 0, 2},
        {50, 123, 0, 0, 0},
        {50, 2, 0, 0, 0},     // above the first row
        {10, 10, 0, 238, 4},  // scrolled down two rows
        {200, 10, 10, 0, 2},  // x + sx of 210 falls into the next row's first column
        {100, 10, 110, 0, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PickerCards::HitIndex(c.x, c.y, c.sx, c.sy), c.index) << c.x << "," << c.y << " +" << c.sx << "," << c.sy;
}

class PickerClicks : public ::testing::Test {
protected:
    PickerClicks() : folder("f", "/pictures", 0)
    {
        for (int i = 0; i < 6; ++i)
            folder.AddImage(std::make_unique<CImageItem>(std::to_string(i) + ".jpg", "/pictures/x.jpg", 1, 0, 0));
    }
    void Mark(std::vector<int> indexes)
    {
        for (auto& image : folder.m_arrImages)
            image->m_bMarkedForPrint = false;
        for (int i : indexes)
            folder.Image(static_cast<size_t>(i))->m_bMarkedForPrint = true;
    }
    std::vector<int> Marked() const
    {
        std::vector<int> marked;
        for (size_t i = 0; i < folder.ImageCount(); ++i) {
            if (folder.Image(i)->m_bMarkedForPrint)
                marked.push_back(static_cast<int>(i));
        }
        return marked;
    }
    CFolderItem folder;
};

TEST_F(PickerClicks, MarksByClickCtrlAndShift)
{
    using R = PickerCards::Repaint;
    struct Case {
        std::vector<int> before;
        int index;
        bool shift, ctrl;
        std::vector<int> after;
        R repaint;
    };
    const Case cases[] = {
        {{}, 2, false, false, {2}, R::Card},
        {{2}, 2, false, false, {2}, R::Card},
        {{1, 4}, 2, false, false, {2}, R::All},
        {{1}, 3, false, true, {1, 3}, R::Card},
        {{1, 3}, 3, false, true, {1}, R::Card},      // Ctrl on a marked card unmarks it
        {{1}, 4, true, false, {1, 2, 3, 4}, R::All},  // from after the last mark down to the card
        {{4}, 1, true, false, {1, 2, 3, 4}, R::All},  // from the card up to before the last mark
        {{0, 5}, 2, true, false, {0, 2, 3, 4, 5}, R::All},
        {{}, 3, true, false, {0, 1, 2, 3}, R::All},   // no mark: from the first card
        {{3}, 3, true, false, {3}, R::All},
        {{1}, 4, true, true, {1, 2, 3, 4}, R::All},   // Shift wins over Ctrl
    };
    for (const Case& c : cases) {
        Mark(c.before);
        EXPECT_EQ(PickerCards::Click(folder, c.index, c.shift, c.ctrl), c.repaint) << c.index;
        EXPECT_EQ(Marked(), c.after) << "click on " << c.index << (c.shift ? " with Shift" : "")
                                     << (c.ctrl ? " with Ctrl" : "");
    }
}

}  // namespace
