#pragma once
// The event source of one thread: readiness watches on file descriptors, closures
// posted to the thread (from any thread), and one-shot timers. Every handler runs on
// the thread that owns the reactor, inside whatever loop drives it: a plain poll()
// loop in headless code (PollReactor), the window toolkit's loop in the programs
// (WxReactor in platform/gui/).
//
// A reactor makes itself the current one of the thread that constructs it when that
// thread has none yet; sockets find their thread's reactor through Current().

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace lfplat {

class Reactor {
    struct Mailbox;

public:
    // Readiness flags of a watch. Readiness is level-triggered: a descriptor that stays
    // ready keeps firing until its interest is lowered.
    enum : int { kRead = 1, kWrite = 2 };
    using ReadyHandler = std::function<void(int ready)>;
    using TimerId = uint64_t;

    // Hands closures to the reactor's thread from any thread. Posting after the reactor
    // is gone fails instead of reaching freed memory.
    class Poster {
    public:
        Poster() = default;
        // Queues fn behind what is already queued; false when the reactor has gone.
        bool Post(std::function<void()> fn) const;

    private:
        friend class Reactor;
        explicit Poster(std::shared_ptr<Mailbox> mailbox) : m_mailbox(std::move(mailbox)) {}
        std::shared_ptr<Mailbox> m_mailbox;
    };

    Reactor(const Reactor&) = delete;
    Reactor& operator=(const Reactor&) = delete;
    virtual ~Reactor();

    // Starts watching fd with no interest yet; replaces an earlier watch of fd. The
    // handler receives the flags that are ready among those of the interest. Readiness
    // that matches no interest (a hang-up, an error) is reported as the interest itself,
    // so the owner looks and finds out.
    virtual void Watch(int fd, ReadyHandler handler) = 0;
    // Interest 0 keeps the watch but asks for nothing (no wake-ups).
    virtual void SetInterest(int fd, int interest) = 0;
    // Forgets the watch; call it before closing fd. Safe from inside fd's own handler.
    virtual void Unwatch(int fd) = 0;

    // Runs fn once on this thread after delay; the id stops it before it runs.
    virtual TimerId StartTimer(std::chrono::milliseconds delay, std::function<void()> fn) = 0;
    virtual void StopTimer(TimerId id) = 0;

    // Queues fn for this reactor's thread; callable from any thread.
    bool Post(std::function<void()> fn) { return GetPoster().Post(std::move(fn)); }
    Poster GetPoster() const { return Poster(m_mailbox); }

    // The reactor of the calling thread, or null.
    static Reactor* Current();

protected:
    Reactor();
    // Called (from any thread, with the mailbox locked) when the mailbox turns
    // non-empty: the backend arranges for RunPosted on its own thread. Must not block.
    virtual void WakeForPosted() = 0;
    // Runs the closures queued so far, in order; later ones wait for the next wake.
    void RunPosted();
    // Refuses further posts; backends call it first thing in their destructors.
    void CloseMailbox();

private:
    struct Mailbox {
        std::mutex mutex;
        Reactor* owner = nullptr;
        std::deque<std::function<void()>> queue;
    };
    std::shared_ptr<Mailbox> m_mailbox;
};

}  // namespace lfplat
