#include "net/CLayeredSocketDispatcher.h"

#include "net/CLayeredSocket.h"
#include "net/SocketErrors.h"

#include <algorithm>

namespace {
// The dispatcher of the calling thread, while any of its sockets lives.
thread_local std::weak_ptr<CLayeredSocketDispatcher> t_dispatcher;
}  // namespace

std::shared_ptr<CLayeredSocketDispatcher> CLayeredSocketDispatcher::ForThisThread()
{
    auto dispatcher = t_dispatcher.lock();
    lfplat::Reactor* reactor = lfplat::Reactor::Current();
    if (dispatcher && &dispatcher->GetReactor() == reactor)
        return dispatcher;
    if (!reactor)
        return nullptr;
    dispatcher = std::make_shared<CLayeredSocketDispatcher>(*reactor);
    t_dispatcher = dispatcher;
    return dispatcher;
}

CLayeredSocketDispatcher::CLayeredSocketDispatcher(lfplat::Reactor& reactor)
    : m_reactor(reactor), m_thread(std::this_thread::get_id()),
      m_resolver([](const std::string& host, in_addr_t& address, int& error) {
          return ResolveIPv4(host.c_str(), address, error);
      })
{
}

CLayeredSocket* CLayeredSocketDispatcher::Find(int slot, uint64_t generation) const
{
    CLayeredSocket* socket = m_slots.At(slot);
    if (!socket || generation == 0 || socket->m_generation != generation)
        return nullptr;
    return socket;
}

bool CLayeredSocketDispatcher::PostToSocket(int slot, uint64_t generation,
                                            std::function<void(CLayeredSocket&)> fn)
{
    return PostToSocketFrom(m_reactor.GetPoster(), weak_from_this(), slot, generation, std::move(fn));
}

bool CLayeredSocketDispatcher::PostToSocketFrom(const lfplat::Reactor::Poster& poster,
                                                std::weak_ptr<CLayeredSocketDispatcher> dispatcher,
                                                int slot, uint64_t generation,
                                                std::function<void(CLayeredSocket&)> fn)
{
    return poster.Post([dispatcher = std::move(dispatcher), slot, generation, fn = std::move(fn)] {
        auto alive = dispatcher.lock();
        if (!alive)
            return;
        if (CLayeredSocket* socket = alive->Find(slot, generation))
            fn(*socket);
    });
}

void CLayeredSocketDispatcher::EndDispatch(uint64_t generation)
{
    if (generation == 0)
        return;
    auto it = std::find(m_dispatching.rbegin(), m_dispatching.rend(), generation);
    if (it != m_dispatching.rend())
        m_dispatching.erase(std::next(it).base());
}

bool CLayeredSocketDispatcher::IsDispatching(uint64_t generation) const
{
    return std::find(m_dispatching.begin(), m_dispatching.end(), generation) != m_dispatching.end();
}
