#pragma once
// A stand-in for the service's web host, on loopback: it answers every GET with the
// configured status and body and keeps each request's path and decoded query.

#include "tests/support/LoopbackListener.h"

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lftest {

class FakeWebHost {
public:
    struct Request {
        std::string target;  // as in the request line
        std::string path;
        std::map<std::string, std::string> query;  // percent-decoded
    };

    FakeWebHost(std::string body, int status = 200);
    ~FakeWebHost();

    int Port() const { return m_listener.Port(); }
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(Port()); }
    void SetBody(std::string body);
    std::vector<Request> Requests() const;

    static std::string PercentDecode(const std::string& text);

private:
    void Serve();

    LoopbackListener m_listener;
    std::atomic<bool> m_stop{false};
    int m_status;
    mutable std::mutex m_mutex;
    std::string m_body;
    std::vector<Request> m_requests;
    std::thread m_thread;
};

}  // namespace lftest
