#pragma once
// The connection the news check and the news dialog make through the session's proxy
// before they ask for the news: a service socket whose proxy layer is set from the
// session values (SOCKS4, SOCKS5 or HTTP CONNECT, with user name and password where
// the session asks for them) and connected to the news script's host. Nothing is sent
// or read on it; when its connect fails at once, the news is not asked for.

#include "manager/model/SessionValues.h"
#include "upload/model/CServiceSocket.h"

#include <memory>
#include <string>

class CNewsConnection : private IServiceSocketOwner {
public:
    CNewsConnection();
    ~CNewsConnection() override;

    // The proxy layer's setting for the session values: PROXYTYPE "1" SOCKS4, "2"
    // SOCKS5, "3" HTTP CONNECT (the last two with credentials when PROXYAUTH is
    // "YES"), anything else direct.
    static ServiceProxy ProxyFor(const SessionValues& session);
    // The host and port of a web address (80 when it names none); false when it has
    // no host.
    static bool HostOf(const std::string& address, std::string& host, unsigned& port);

    // Only when PROXY is "YES": a new socket connecting to the address's host through
    // the proxy. False when that failed at once (the socket is gone then); true
    // otherwise, also when no connection was to be made.
    bool Open(const std::string& address, const SessionValues& session);
    // Closes and deletes the socket.
    void Close();

    bool Opened() const { return m_socket != nullptr; }
    // What became of the last connection while it was open: made, or the reason it
    // failed ("" while neither).
    bool Connected() const { return m_connected; }
    const std::string& Failure() const { return m_failure; }

private:
    void OnSocketConnected() override { m_connected = true; }
    void OnServerCommand(const std::string&) override {}
    void OnSocketWritable() override {}
    void OnSocketFailed(const std::string& notice) override { m_failure = notice; }

    std::unique_ptr<CServiceSocket> m_socket;
    bool m_connected = false;
    std::string m_failure;
};
