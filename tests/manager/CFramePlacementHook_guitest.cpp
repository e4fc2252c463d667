#include "controls/CWndHookMap.h"
#include "controls/CFramePlacementHook.h"

#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/display.h>
#include <wx/frame.h>

namespace {

const char kSection[] = "Lanternfolio Photo Editor\\Settings";
const char kEntry[] = "MainWndPos";

class PlacementTest : public ::testing::Test {
protected:
    lfplat::SettingsStore Store() const { return lfplat::SettingsStore((dir / "settings.ini").string()); }
    // A frame of the default size at (5, 5) with the keeper on it, after the stored text.
    wxFrame* Open(const char* stored)
    {
        if (stored)
            Store().Set(kSection, kEntry, stored);
        auto* frame = new wxFrame(nullptr, wxID_ANY, "placed", wxPoint(5, 5), wxSize(300, 200));
        hook = std::make_unique<CFramePlacementHook>(frame, WindowPlacement::kShow, kEntry, kSection, Store());
        // Without a window manager the toolkit drops a maximised state again soon after.
        maximisedWhenShown = frame->IsMaximized();
        lftest::PumpUntil([&] { return frame->IsShownOnScreen(); });
        lftest::PumpFor(std::chrono::milliseconds(30));
        return frame;
    }
    std::string CloseAndRead(wxFrame* frame)
    {
        frame->Close(true);  // destroyed at idle time
        EXPECT_TRUE(lftest::PumpUntil([&] { return hook->GetHookedWindow() == nullptr; }));
        return Store().GetString(kSection, kEntry, "<none>");
    }

    lftest::TempDir dir;
    std::unique_ptr<CFramePlacementHook> hook;
    bool maximisedWhenShown = false;
};

TEST_F(PlacementTest, RestoresTheStoredRectangleWithinTheScreen)
{
    const wxRect screen = wxDisplay(0u).GetGeometry();
    ASSERT_GT(screen.width, 700);
    struct Case {
        const char* stored;
        wxRect expected;
    };
    const Case cases[] = {
        {"0,1,-1,-1,-1,-1,100,50,700,450", wxRect(100, 50, 600, 400)},
        // Wider than the screen: cut to end 10 pixels short of the screen's width from the left.
        {"0,1,-1,-1,-1,-1,100,50,5000,450", wxRect(100, 50, screen.width - 100 - 10 - 100, 400)},
        // On a monitor that is gone: to the primary display, same size.
        {"0,1,-1,-1,-1,-1,9000,7000,9600,7400", wxRect(0, 0, 600, 400)},
        // Nine numbers: ignored, the frame keeps its own placement.
        {"0,1,-1,-1,-1,-1,100,50,700", wxRect(5, 5, 300, 200)},
        // Nothing stored.
        {nullptr, wxRect(5, 5, 300, 200)},
    };
    for (const Case& c : cases) {
        wxFrame* frame = Open(c.stored);
        EXPECT_TRUE(frame->IsShown());
        EXPECT_EQ(frame->GetRect(), c.expected) << (c.stored ? c.stored : "(none)");
        EXPECT_FALSE(maximisedWhenShown);
        CloseAndRead(frame);
        Store().Remove(kSection, kEntry);
    }
}

TEST_F(PlacementTest, StoresTheLastNormalPlacementWhenTheWindowGoes)
{
    wxFrame* frame = Open(nullptr);
    frame->SetSize(30, 40, 500, 300);
    lftest::PumpUntil([&] { return frame->GetRect() == wxRect(30, 40, 500, 300); });
    lftest::PumpFor(std::chrono::milliseconds(20));
    EXPECT_EQ(CloseAndRead(frame), "0,1,-1,-1,-1,-1,30,40,530,340");
}

TEST_F(PlacementTest, AMaximisedWindowReopensMaximisedOverItsNormalRectangle)
{
    const char* stored = "2,3,-1,-1,-1,-1,40,30,640,430";
    wxFrame* frame = Open(stored);
    EXPECT_TRUE(maximisedWhenShown);
    EXPECT_EQ(frame->GetRect(), wxRect(40, 30, 600, 400));
    lftest::PumpFor(std::chrono::milliseconds(300));
    EXPECT_EQ(hook->CurrentPlacement().Format(), stored);
    EXPECT_EQ(CloseAndRead(frame), stored);

    frame = Open(nullptr);  // what was stored above
    EXPECT_TRUE(maximisedWhenShown);
    CloseAndRead(frame);
}

TEST_F(PlacementTest, ARectangleThatPassesAsTheMaximisedStateChangesIsNoNormalSize)
{
    // Before the window manager confirms (or after it drops) the maximised state, the
    // toolkit gives the window its natural size for a moment: that strip is no normal
    // size, and the one stored stays.
    const char* stored = "2,3,-1,-1,-1,-1,40,30,640,430";
    wxFrame* frame = Open(stored);
    frame->SetSize(0, 0, 290, 50);
    lftest::PumpUntil([&] { return frame->GetSize() == wxSize(290, 50); });
    lftest::PumpFor(std::chrono::milliseconds(30));
    const auto placement = WindowPlacement::Parse(CloseAndRead(frame));
    ASSERT_TRUE(placement);
    const PlacementRect normal = placement->Normal();
    EXPECT_EQ(wxRect(normal.x, normal.y, normal.width, normal.height), wxRect(40, 30, 600, 400));
}

TEST_F(PlacementTest, AnotherHookOnTheSameWindowDoesNotDisturbIt)
{
    wxFrame* frame = Open("0,1,-1,-1,-1,-1,100,50,700,450");
    CWndHook other;
    ASSERT_TRUE(other.HookWindow(frame));
    EXPECT_EQ(CWndHookMap::GetHookMap().Lookup(frame), &other);
    frame->SetSize(60, 70, 400, 300);
    lftest::PumpUntil([&] { return frame->GetRect() == wxRect(60, 70, 400, 300); });
    EXPECT_EQ(CloseAndRead(frame), "0,1,-1,-1,-1,-1,60,70,460,370");
    EXPECT_EQ(other.GetHookedWindow(), nullptr);
}

}  // namespace
