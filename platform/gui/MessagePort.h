#pragma once
// Lets threads post numbered messages to a window that may close at any time.
// The window owns the port; threads hold sinks. Once the port closes (at the latest
// when the window destroys it), posting fails instead of reaching a freed window.
// Posting never waits for the user-interface thread.

#include <cstdint>
#include <memory>
#include <mutex>

class wxEvtHandler;

namespace lfplat {

class MessagePort {
    struct Shared {
        std::mutex mutex;
        wxEvtHandler* target = nullptr;
    };

public:
    class Sink {
    public:
        Sink() = default;
        // Queues message with its arguments for the window; false when it has closed.
        bool Post(int message, uintptr_t wParam = 0, intptr_t lParam = 0) const;

    private:
        friend class MessagePort;
        explicit Sink(std::shared_ptr<Shared> shared) : m_shared(std::move(shared)) {}
        std::shared_ptr<Shared> m_shared;
    };

    explicit MessagePort(wxEvtHandler* target);
    ~MessagePort();
    MessagePort(const MessagePort&) = delete;
    MessagePort& operator=(const MessagePort&) = delete;

    Sink GetSink() const { return Sink(m_shared); }
    // Refuses every later post; call it before the target starts to go away.
    void Close();

private:
    std::shared_ptr<Shared> m_shared;
};

}  // namespace lfplat
