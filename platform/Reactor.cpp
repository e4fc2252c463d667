#include "platform/Reactor.h"

namespace lfplat {

namespace {
// The reactor that drives the calling thread's loop, if any.
thread_local Reactor* t_current = nullptr;
}  // namespace

Reactor::Reactor() : m_mailbox(std::make_shared<Mailbox>())
{
    m_mailbox->owner = this;
    if (!t_current)
        t_current = this;
}

Reactor::~Reactor()
{
    CloseMailbox();
    if (t_current == this)
        t_current = nullptr;
}

Reactor* Reactor::Current() { return t_current; }

bool Reactor::Poster::Post(std::function<void()> fn) const
{
    if (!m_mailbox)
        return false;
    std::lock_guard lock(m_mailbox->mutex);
    if (!m_mailbox->owner)
        return false;
    const bool wasEmpty = m_mailbox->queue.empty();
    m_mailbox->queue.push_back(std::move(fn));
    if (wasEmpty)
        m_mailbox->owner->WakeForPosted();
    return true;
}

void Reactor::RunPosted()
{
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(m_mailbox->mutex);
        batch.swap(m_mailbox->queue);
    }
    for (auto& fn : batch)
        fn();
}

void Reactor::CloseMailbox()
{
    std::deque<std::function<void()>> dropped;
    std::lock_guard lock(m_mailbox->mutex);
    m_mailbox->owner = nullptr;
    dropped.swap(m_mailbox->queue);
}

}  // namespace lfplat
