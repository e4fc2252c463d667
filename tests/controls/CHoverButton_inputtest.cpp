// Pointer input through the X server, as a user's double click arrives.
#include "controls/CHoverButton.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/uiaction.h>

namespace {

TEST(HoverButtonInput, DoubleClickGivesTwoClicks)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "input", wxPoint(0, 0), wxSize(200, 120));
    auto* button = new CHoverButton(frame, 1186, "Print", wxPoint(20, 20), wxSize(80, 40));
    int clicks = 0;
    frame->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { ++clicks; });
    frame->Show();
    ASSERT_TRUE(lftest::PumpUntil([&] { return button->IsShownOnScreen(); }));
    lftest::PumpFor(std::chrono::milliseconds(100));

    wxUIActionSimulator sim;
    sim.MouseMove(button->GetScreenRect().GetPosition() + wxPoint(40, 20));
    lftest::PumpFor(std::chrono::milliseconds(50));
    sim.MouseDblClick();
    EXPECT_TRUE(lftest::PumpUntil([&] { return clicks == 2; }));
    lftest::PumpFor(std::chrono::milliseconds(100));
    EXPECT_EQ(clicks, 2);
    frame->Destroy();
    lftest::PumpFor(std::chrono::milliseconds(20));
}

}  // namespace
