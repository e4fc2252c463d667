#pragma once
// A numbered message with two arguments, posted to a window from any thread and
// delivered on the user-interface thread. The event's id is the message number, so a
// window binds one handler per message:
//     Bind(lfplat::EVT_POSTED_MESSAGE, &MyDialog::OnDone, this, lfplat::kUserMessage + 5);

#include <wx/event.h>

#include <cstdint>

namespace lfplat {

// First number free for the programs' own messages.
constexpr int kUserMessage = 0x400;

class PostedMessageEvent : public wxThreadEvent {
public:
    PostedMessageEvent(int message, uintptr_t wParam, intptr_t lParam);
    wxEvent* Clone() const override { return new PostedMessageEvent(*this); }

    int GetMessage() const { return GetId(); }
    uintptr_t GetWParam() const { return m_wParam; }
    intptr_t GetLParam() const { return m_lParam; }

private:
    uintptr_t m_wParam;
    intptr_t m_lParam;
};

wxDECLARE_EVENT(EVT_POSTED_MESSAGE, PostedMessageEvent);

}  // namespace lfplat
