#include "platform/gui/PostedMessageEvent.h"

namespace lfplat {

wxDEFINE_EVENT(EVT_POSTED_MESSAGE, PostedMessageEvent);

PostedMessageEvent::PostedMessageEvent(int message, uintptr_t wParam, intptr_t lParam)
    : wxThreadEvent(EVT_POSTED_MESSAGE, message), m_wParam(wParam), m_lParam(lParam)
{
}

}  // namespace lfplat
