#include "tests/support/FakeWebHost.h"

#include <unistd.h>

namespace lftest {

FakeWebHost::FakeWebHost(std::string body, int status) : m_status(status), m_body(std::move(body))
{
    m_thread = std::thread([this] { Serve(); });
}

FakeWebHost::~FakeWebHost()
{
    m_stop = true;
    m_thread.join();
}

void FakeWebHost::SetBody(std::string body)
{
    std::lock_guard lock(m_mutex);
    m_body = std::move(body);
}

std::vector<FakeWebHost::Request> FakeWebHost::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::string FakeWebHost::PercentDecode(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i] == '+' ? ' ' : text[i];
        }
    }
    return out;
}

void FakeWebHost::Serve()
{
    for (;;) {
        const int fd = m_listener.Accept(m_stop);
        if (fd < 0)
            return;
        const std::string head = LoopbackListener::ReadHttpHead(fd);
        Request request;
        const size_t space = head.find(' ');
        const size_t end = head.find(' ', space + 1);
        if (head.compare(0, 4, "GET ") == 0 && end != std::string::npos) {
            request.target = head.substr(space + 1, end - space - 1);
            // Through a proxy the target is absolute.
            std::string target = request.target;
            if (target.compare(0, 7, "http://") == 0)
                target = target.substr(target.find('/', 7));
            const size_t question = target.find('?');
            request.path = target.substr(0, question);
            if (question != std::string::npos) {
                std::string rest = target.substr(question + 1);
                size_t from = 0;
                while (from <= rest.size()) {
                    size_t amp = rest.find('&', from);
                    if (amp == std::string::npos)
                        amp = rest.size();
                    const std::string pair = rest.substr(from, amp - from);
                    const size_t eq = pair.find('=');
                    request.query[PercentDecode(pair.substr(0, eq))] =
                        eq == std::string::npos ? "" : PercentDecode(pair.substr(eq + 1));
                    from = amp + 1;
                }
            }
        }
        std::string body;
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
            body = m_body;
        }
        const std::string reply = "HTTP/1.1 " + std::to_string(m_status) + " Whatever\r\nContent-Type: text/html\r\n" +
                                  "Content-Length: " + std::to_string(body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + body;
        LoopbackListener::WriteAll(fd, reply.data(), reply.size());
        ::close(fd);
    }
}

}  // namespace lftest
