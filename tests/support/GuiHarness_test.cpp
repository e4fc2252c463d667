#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/frame.h>

TEST(GuiHarness, FrameIsCreatedShownAndDestroyed)
{
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Smoke", wxDefaultPosition, wxSize(320, 200));
    auto* button = new wxButton(frame, wxID_OK, "OK");
    frame->Show();
    EXPECT_TRUE(lftest::PumpUntil([&] { return frame->IsShownOnScreen(); }));
    EXPECT_EQ(button->GetLabel(), "OK");

    bool clicked = false;
    button->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { clicked = true; });
    wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
    EXPECT_TRUE(clicked);

    bool gone = false;
    frame->Bind(wxEVT_DESTROY, [&](wxWindowDestroyEvent& e) {
        if (e.GetEventObject() == frame)
            gone = true;
        e.Skip();
    });
    frame->Destroy();  // deferred to idle time
    EXPECT_TRUE(lftest::PumpUntil([&] { return gone; }));
}
