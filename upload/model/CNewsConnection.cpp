#include "upload/model/CNewsConnection.h"

#include "net/CProxyLayer.h"

#include <cstdlib>

CNewsConnection::CNewsConnection() = default;

CNewsConnection::~CNewsConnection()
{
    Close();
}

ServiceProxy CNewsConnection::ProxyFor(const SessionValues& session)
{
    ServiceProxy proxy;
    proxy.host = session.m_strProxyHost;
    proxy.port = std::atoi(session.m_strProxyPort.c_str());
    const bool auth = session.m_strProxyAuth == "YES";
    if (session.m_strProxyType == "1") {
        proxy.type = CProxyLayer::kSocks4;
    } else if (session.m_strProxyType == "2" || session.m_strProxyType == "3") {
        proxy.type = session.m_strProxyType == "2" ? CProxyLayer::kSocks5 : CProxyLayer::kHttp;
        proxy.auth = auth;
        if (auth) {
            proxy.user = session.m_strProxyUser;
            proxy.password = session.m_strProxyPass;
        }
    }
    return proxy;
}

bool CNewsConnection::HostOf(const std::string& address, std::string& host, unsigned& port)
{
    const size_t scheme = address.find("://");
    const size_t from = scheme == std::string::npos ? 0 : scheme + 3;
    const size_t end = address.find_first_of("/?#", from);
    std::string authority = address.substr(from, end == std::string::npos ? std::string::npos : end - from);
    port = 80;
    const size_t colon = authority.rfind(':');
    if (colon != std::string::npos) {
        const std::string digits = authority.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        port = static_cast<unsigned>(std::atoi(digits.c_str()));
        authority.resize(colon);
    }
    host = authority;
    return !host.empty() && port > 0 && port < 65536;
}

bool CNewsConnection::Open(const std::string& address, const SessionValues& session)
{
    Close();
    m_connected = false;
    m_failure.clear();
    if (session.m_strProxy != "YES")
        return true;
    // The address as a whole is no host name: its host (and port) are what the proxy
    // is asked for.
    std::string host;
    unsigned port = 0;
    if (!HostOf(address, host, port)) {
        m_failure = "no host in " + address;
        return false;
    }
    IServiceSocketOwner& owner = *this;
    m_socket = std::make_unique<CServiceSocket>(owner);
    if (!m_socket->Open(host, port, ProxyFor(session))) {
        m_socket.reset();
        return false;
    }
    return true;
}

void CNewsConnection::Close()
{
    if (m_socket) {
        m_socket->Close();
        m_socket.reset();
    }
}
