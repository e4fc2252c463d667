#include "platform/gui/MessagePort.h"

#include "platform/gui/PostedMessageEvent.h"

namespace lfplat {

MessagePort::MessagePort(wxEvtHandler* target) : m_shared(std::make_shared<Shared>())
{
    m_shared->target = target;
}

MessagePort::~MessagePort() { Close(); }

void MessagePort::Close()
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->target = nullptr;
}

bool MessagePort::Sink::Post(int message, uintptr_t wParam, intptr_t lParam) const
{
    if (!m_shared)
        return false;
    // The lock keeps the port from closing while the event is being queued.
    std::lock_guard lock(m_shared->mutex);
    if (!m_shared->target)
        return false;
    wxQueueEvent(m_shared->target, new PostedMessageEvent(message, wParam, lParam));
    return true;
}

}  // namespace lfplat
