#include "tests/support/LoopbackListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lftest {

LoopbackListener::LoopbackListener()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_fd, 16) != 0)
        return;
    socklen_t length = sizeof address;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
}

LoopbackListener::~LoopbackListener()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int LoopbackListener::Accept(const std::atomic<bool>& stop)
{
    while (!stop) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0) {
            const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
            // The services answer in small lock-step writes: no coalescing delay.
            const int on = 1;
            if (fd >= 0)
                ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return fd;
        }
    }
    return -1;
}

bool LoopbackListener::ReadExactly(int fd, void* data, size_t size)
{
    auto* at = static_cast<char*>(data);
    while (size) {
        const ssize_t n = ::recv(fd, at, size, 0);
        if (n <= 0)
            return false;
        at += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool LoopbackListener::WriteAll(int fd, const void* data, size_t size)
{
    const auto* at = static_cast<const char*>(data);
    while (size) {
        const ssize_t n = ::send(fd, at, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        at += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string LoopbackListener::ReadHttpHead(int fd)
{
    std::string head;
    char c;
    while (head.size() < 65536 && ::recv(fd, &c, 1, 0) == 1) {
        head += c;
        if (head.size() >= 4 && head.compare(head.size() - 4, 4, "\r\n\r\n") == 0)
            return head;
    }
    return {};
}

bool LoopbackListener::WaitForClose(int fd, const std::atomic<bool>& stop)
{
    char buffer[256];
    while (!stop) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return true;
    }
    return false;
}

}  // namespace lftest
