#pragma once
// The record shared by all sockets of one thread: the thread's reactor, the slot table
// that finds a socket again when one of its events comes back, and the generation
// counter that tells a socket apart from a later one in the same slot. The sockets of
// the thread hold it; it goes away with the last of them.

#include "net/CLayeredSocketSlotTable.h"
#include "platform/Reactor.h"

#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <string>
#include <memory>
#include <thread>
#include <vector>

class CLayeredSocket;

class CLayeredSocketDispatcher : public std::enable_shared_from_this<CLayeredSocketDispatcher> {
public:
    // The calling thread's dispatcher, made on first use; null when no reactor drives
    // the thread. The reactor must outlive the sockets of its thread.
    static std::shared_ptr<CLayeredSocketDispatcher> ForThisThread();

    explicit CLayeredSocketDispatcher(lfplat::Reactor& reactor);
    CLayeredSocketDispatcher(const CLayeredSocketDispatcher&) = delete;
    CLayeredSocketDispatcher& operator=(const CLayeredSocketDispatcher&) = delete;

    // A blocking IPv4 look-up of a name (network order; the socket error on failure),
    // run on a worker thread: it may be called from several threads at once.
    using Resolver = std::function<bool(const std::string& host, in_addr_t& address, int& error)>;

    lfplat::Reactor& GetReactor() const { return m_reactor; }
    // The look-up the sockets of this thread use: the system's, unless a test gives
    // one of its own (a name server that never answers) while it holds the dispatcher.
    const Resolver& GetResolver() const { return m_resolver; }
    void SetResolver(Resolver resolver) { m_resolver = std::move(resolver); }
    std::thread::id GetThreadId() const { return m_thread; }
    CLayeredSocketSlotTable& Slots() { return m_slots; }
    uint64_t NewGeneration() { return ++m_generation; }

    // The socket that holds slot with this generation, or null once it closed.
    CLayeredSocket* Find(int slot, uint64_t generation) const;
    // Runs fn on this thread later, only if the socket still holds slot with this
    // generation then; an event for a closed socket never reaches its successor.
    bool PostToSocket(int slot, uint64_t generation, std::function<void(CLayeredSocket&)> fn);
    // The same from another thread (the name look-up worker).
    static bool PostToSocketFrom(const lfplat::Reactor::Poster& poster,
                                 std::weak_ptr<CLayeredSocketDispatcher> dispatcher, int slot,
                                 uint64_t generation, std::function<void(CLayeredSocket&)> fn);

    // While a socket's network handlers run, its readiness interest is left alone.
    void BeginDispatch(uint64_t generation) { m_dispatching.push_back(generation); }
    void EndDispatch(uint64_t generation);
    bool IsDispatching(uint64_t generation) const;

private:
    lfplat::Reactor& m_reactor;
    std::vector<uint64_t> m_dispatching;
    std::thread::id m_thread;
    CLayeredSocketSlotTable m_slots;
    uint64_t m_generation = 0;
    Resolver m_resolver;
};
