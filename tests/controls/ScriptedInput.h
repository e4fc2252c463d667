#pragma once
// Scripted input for the controls' window tests: events sent straight to a window, and
// an action run inside the next modal loop, so nothing waits for a person.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/event.h>
#include <wx/window.h>

#include <functional>

namespace lftest {

// One mouse event at (x, y) of the window.
inline void SendMouse(wxWindow* target, wxEventType type, int x = 10, int y = 10)
{
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(x, y));
    event.SetEventObject(target);
    target->GetEventHandler()->ProcessEvent(event);
}

// A press and release at (x, y).
inline void SendClick(wxWindow* target, int x = 10, int y = 10)
{
    SendMouse(target, wxEVT_LEFT_DOWN, x, y);
    SendMouse(target, wxEVT_LEFT_UP, x, y);
}

// Presses the button with the id inside the window, as a click on it would.
inline void PressButton(wxWindow* window, int id)
{
    wxWindow* button = window->FindWindow(id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    wxCommandEvent press(wxEVT_BUTTON, id);
    press.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(press);
}

// Runs the action once the next modal dialog's loop dispatches events.
inline void WhenModal(std::function<void()> action) { wxTheApp->CallAfter(std::move(action)); }

}  // namespace lftest
