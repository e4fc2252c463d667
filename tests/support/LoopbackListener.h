#pragma once
// A listening TCP socket on 127.0.0.1 at a free port, for the fake services of the
// tests, with blocking helpers for the accepted connections.

#include <atomic>
#include <cstddef>
#include <string>

namespace lftest {

class LoopbackListener {
public:
    LoopbackListener();
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int Port() const { return m_port; }
    // The next connection, or -1 once stop is set (checked every 50 ms).
    int Accept(const std::atomic<bool>& stop);

    // Blocking reads and writes on an accepted connection; false on end or error.
    static bool ReadExactly(int fd, void* data, size_t size);
    static bool WriteAll(int fd, const void* data, size_t size);
    // Everything up to and including "\r\n\r\n"; empty on end before it.
    static std::string ReadHttpHead(int fd);
    // Waits until the peer closes (or stop is set); true when it did.
    static bool WaitForClose(int fd, const std::atomic<bool>& stop);

private:
    int m_fd = -1;
    int m_port = 0;
};

}  // namespace lftest
