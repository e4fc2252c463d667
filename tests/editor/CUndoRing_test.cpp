#include "editor/model/CUndoRing.h"

#include "image/CLfImage.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A 1 x 1 image whose only pixel's red value is the edit's number.
std::unique_ptr<CLfImage> Picture(int n)
{
    auto image = std::make_unique<CLfImage>(1, 1, 24);
    RGBQUAD c{};
    c.rgbRed = static_cast<uint8_t>(n);
    image->SetPixelColor(0, 0, c);
    return image;
}

int Number(const CLfImage* image) { return image ? image->GetPixelColor(0, 0).rgbRed : -1; }

// Runs the edits 1..count on a document image that starts as picture 0.
struct Editor {
    std::unique_ptr<CLfImage> current = Picture(0);
    CUndoRing ring;
    int next = 1;
    void Edit(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            ring.Submit(current.get());
            current = Picture(next++);
        }
    }
    int Undos()
    {
        int n = 0;
        while (ring.Undo(current))
            ++n;
        return n;
    }
};

TEST(CUndoRing, ElevenEditsAllowTenUndosAndTheFirstEditStays)
{
    Editor e;
    e.Edit(11);
    EXPECT_EQ(e.ring.Count(), 10);
    EXPECT_EQ(e.Undos(), 10);
    EXPECT_EQ(Number(e.current.get()), 1) << "the state before edit 1 is gone";
    EXPECT_FALSE(e.ring.CanUndo());
}

TEST(CUndoRing, UndoRedoWalkBackAndForthThroughTheSteps)
{
    Editor e;
    e.Edit(3);
    ASSERT_TRUE(e.ring.Undo(e.current));
    ASSERT_TRUE(e.ring.Undo(e.current));
    EXPECT_EQ(Number(e.current.get()), 1);
    EXPECT_EQ(e.ring.Count(), 1);
    ASSERT_TRUE(e.ring.Redo(e.current));
    EXPECT_EQ(Number(e.current.get()), 2);
    ASSERT_TRUE(e.ring.Redo(e.current));
    EXPECT_EQ(Number(e.current.get()), 3);
    EXPECT_FALSE(e.ring.Redo(e.current));
    EXPECT_EQ(Number(e.current.get()), 3);
}

TEST(CUndoRing, AnEditAfterUndosDropsTheRedoSteps)
{
    Editor e;
    e.Edit(3);
    e.ring.Undo(e.current);
    e.ring.Undo(e.current);
    e.Edit();
    EXPECT_EQ(e.ring.Count(), 2);
    EXPECT_FALSE(e.ring.CanRedo());
    EXPECT_FALSE(e.ring.Redo(e.current));
    EXPECT_EQ(e.ring.Slot(2), nullptr);
    EXPECT_EQ(e.Undos(), 2);
    EXPECT_EQ(Number(e.current.get()), 0);
}

TEST(CUndoRing, UndoAtZeroAndRedoAtTenDoNothing)
{
    Editor e;
    EXPECT_FALSE(e.ring.Undo(e.current));
    EXPECT_EQ(Number(e.current.get()), 0);
    EXPECT_EQ(e.ring.Count(), 0);
    e.Edit(10);
    EXPECT_FALSE(e.ring.CanRedo());
    EXPECT_FALSE(e.ring.Redo(e.current));
    EXPECT_EQ(Number(e.current.get()), 10);
}

TEST(CUndoRing, SnapshotsAreCopiesNotTheImageItself)
{
    Editor e;
    e.Edit();
    // Changing the current image leaves the step as it was.
    RGBQUAD c{};
    c.rgbRed = 99;
    e.current->SetPixelColor(0, 0, c);
    EXPECT_EQ(Number(e.ring.Slot(0)), 0);
}

TEST(CUndoRing, AnImageWithoutPixelsIsNotKeptAndClearEmptiesTheRing)
{
    CUndoRing ring;
    CLfImage empty;
    ring.Submit(&empty);
    ring.Submit(nullptr);
    EXPECT_EQ(ring.Count(), 0);
    Editor e;
    e.Edit(4);
    e.ring.Undo(e.current);
    e.ring.Clear();
    EXPECT_EQ(e.ring.Count(), 0);
    EXPECT_FALSE(e.ring.CanRedo());
}

TEST(CUndoRing, MenuTextShowsTheCount)
{
    EXPECT_EQ(CUndoRing::UndoMenuText(0), "Undo (0)\tCtrl+Z");
    EXPECT_EQ(CUndoRing::UndoMenuText(10), "Undo (10)\tCtrl+Z");
}

}  // namespace
