#include "net/CProxyLayer.h"

#include "net/CBase64Coder.h"
#include "net/CLayeredSocket.h"

#include <arpa/inet.h>

#include <cstring>

namespace {

enum Operation { kNone = 0, kOpConnect = 1, kOpListen = 2 };

constexpr char kNoValidHttpReply[] = "No valid HTTP reponse";

void AppendBytes(std::string& message, const void* data, size_t size)
{
    message.append(static_cast<const char*>(data), size);
}

}  // namespace

CProxyLayer::CProxyLayer() = default;
CProxyLayer::~CProxyLayer() = default;

void CProxyLayer::SetProxy(int type, const char* host, int port)
{
    m_type = type;
    m_proxyHost = host ? host : "";
    m_proxyPort = port;
    m_user.reset();
    m_password.reset();
    m_useAuth = false;
}

void CProxyLayer::SetProxyAuth(int type, const char* host, int port, const char* user, const char* password)
{
    SetProxy(type, host, port);
    if (user)
        m_user = user;
    if (password)
        m_password = password;
    m_useAuth = true;
}

bool CProxyLayer::SetTargetAddress(unsigned long address)
{
    if (GetLayerState() != kNoSocket && GetLayerState() != kUnconnected)
        return false;
    m_targetAddress = static_cast<uint32_t>(address);
    return true;
}

void CProxyLayer::ClearBuffers()
{
    m_reply.clear();
    m_expected = 0;
    m_received = 0;
    m_httpReply.clear();
}

// ---- connecting ------------------------------------------------------------------

bool CProxyLayer::Connect(const char* host, unsigned port)
{
    if (m_type == kDirect)
        return ConnectNext(host, port);
    if (!host) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    in_addr_t address = 0;
    if (ParseIPv4(host, address)) {
        const sockaddr_in in = MakeIPv4(address, port);
        const bool result = Connect(reinterpret_cast<const SOCKADDR*>(&in), sizeof in);
        if (result || WSAGetLastError() == WSAEWOULDBLOCK)
            m_targetHost = host;
        return result;
    }
    if (m_type == kSocks4)
        return LookUpTarget(host, port);
    // The proxy resolves the name: it is the one that can reach the target, and a
    // local look-up would only leak the name to our own name server and wait on it.
    if (ConnectNext(m_proxyHost.c_str(), static_cast<unsigned>(m_proxyPort)) ||
        WSAGetLastError() == WSAEWOULDBLOCK) {
        m_targetPort = htons(static_cast<uint16_t>(port));
        m_targetAddress = 0;
        m_targetHost = host;
        m_operation = kOpConnect;
        return true;
    }
    DoLayerCallback(1, kCannotConnectToProxy, 0);
    return false;
}

bool CProxyLayer::LookUpTarget(const char* host, unsigned port)
{
    // SOCKS4 carries only addresses: the name is looked up here, off this thread.
    const std::string name = host;
    if (!LookUp(host, [this, name, port](in_addr_t found, int error) {
            if (error == 0) {
                const sockaddr_in in = MakeIPv4(found, port);
                if (Connect(reinterpret_cast<const SOCKADDR*>(&in), sizeof in) || WSAGetLastError() == WSAEWOULDBLOCK) {
                    m_targetHost = name;
                    return;
                }
                // The notice has been given.
                TriggerEvent(FD_CONNECT, WSAGetLastError(), true);
                return;
            }
            Fail(kCannotResolveHost, 0, error);
        }))
        return false;
    SetLayerState(kConnecting);
    WSASetLastError(WSAEWOULDBLOCK);
    return true;
}

bool CProxyLayer::Connect(const SOCKADDR* address, int length)
{
    if (m_type == kDirect)
        return ConnectNext(address, length);
    if (!address || length < static_cast<int>(sizeof(sockaddr_in)) || address->sa_family != AF_INET) {
        WSASetLastError(WSAEFAULT);
        return false;
    }
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    m_targetAddress = in->sin_addr.s_addr;
    m_targetPort = in->sin_port;
    m_targetHost.reset();
    m_operation = kOpConnect;
    const bool result = ConnectNext(m_proxyHost.c_str(), static_cast<unsigned>(m_proxyPort));
    if (result || WSAGetLastError() == WSAEWOULDBLOCK)
        return result;
    m_operation = kNone;
    DoLayerCallback(1, kCannotConnectToProxy, 0);
    return false;
}

bool CProxyLayer::Listen(int backlog)
{
    if (m_type == kDirect)
        return ListenNext(backlog);
    if (!ConnectNext(m_proxyHost.c_str(), static_cast<unsigned>(m_proxyPort)) &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        DoLayerCallback(1, kCannotConnectToProxy, 0);
        return false;
    }
    // Through a proxy the argument is the address of the peer the proxy is to expect.
    m_targetPort = 0;
    m_targetAddress = static_cast<uint32_t>(backlog);
    m_operation = kOpListen;
    return true;
}

// ---- the handshake ---------------------------------------------------------------

void CProxyLayer::Fail(int notice, intptr_t param2, int error)
{
    const long event = (m_operation == kOpListen && m_type != kHttp) ? FD_ACCEPT : FD_CONNECT;
    m_operation = kNone;
    m_step = 0;
    ClearBuffers();
    DoLayerCallback(1, notice, param2);
    TriggerEvent(event, error, true);
}

void CProxyLayer::Succeed()
{
    const long event = m_operation == kOpListen ? FD_ACCEPT : FD_CONNECT;
    m_operation = kNone;
    m_step = 0;
    ClearBuffers();
    TriggerEvent(event, 0, true);
    TriggerEvent(FD_READ, 0, true);
    TriggerEvent(FD_WRITE, 0, true);
}

std::string CProxyLayer::BuildRequest()
{
    std::string request;
    const uint8_t command = m_operation == kOpListen ? 2 : 1;
    switch (m_type) {
    case kSocks4:
    case kSocks4A: {
        request += char(4);
        request += char(command);
        AppendBytes(request, &m_targetPort, 2);
        if (m_targetAddress) {
            AppendBytes(request, &m_targetAddress, 4);
            request += '\0';
        } else {
            request += std::string("\0\0\0\1", 4);
            request += '\0';
            request += m_targetHost.value_or("");
            request += '\0';
        }
        break;
    }
    case kSocks5:
        request = m_useAuth ? std::string("\5\2\2\0", 4) : std::string("\5\1\0", 3);
        break;
    case kHttp: {
        std::string host = m_targetHost.value_or("");
        if (host.empty())
            host = DottedIPv4(m_targetAddress);
        const std::string target = host + ":" + std::to_string(ntohs(m_targetPort));
        request = "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n";
        if (m_useAuth) {
            const std::string pair = m_user.value_or("") + ":" + m_password.value_or("");
            // One header line each: the encoding must not break.
            const std::string credentials = CBase64Coder::EncodeUnbroken(pair.data(), pair.size());
            request += "Authorization: Basic " + credentials + "\r\nProxy-Authorization: Basic " + credentials +
                       "\r\n";
        }
        request += "\r\n";
        break;
    }
    default:
        break;
    }
    return request;
}

bool CProxyLayer::SendWhole(const std::string& message, bool wouldBlockIsAbort)
{
    const int sent = SendNext(message.data(), static_cast<int>(message.size()));
    if (sent < 0) {
        int error = WSAGetLastError();
        if (wouldBlockIsAbort && error == WSAEWOULDBLOCK)
            error = WSAECONNABORTED;
        Fail(kRequestFailed, 0, error);
        return false;
    }
    if (static_cast<size_t>(sent) < message.size()) {
        Fail(kRequestFailed, 0, WSAECONNABORTED);
        return false;
    }
    return true;
}

void CProxyLayer::OnConnect(int error)
{
    if (m_type == kDirect) {
        TriggerEvent(FD_CONNECT, error, true);
        return;
    }
    if (m_operation == kNone)
        return;
    if (error) {
        Fail(kCannotConnectToProxy, 0, error);
        return;
    }
    if (m_step != 0)
        return;
    ClearBuffers();
    // A name longer than a SOCKS length byte or a DNS name can be is refused, not cut.
    const bool nameUsed = m_type == kHttp || m_targetAddress == 0;
    if (nameUsed && m_targetHost && m_targetHost->size() > kMaxName) {
        Fail(kRequestFailed, 0, WSAECONNABORTED);
        return;
    }
    if (SendWhole(BuildRequest(), true))
        m_step = 1;
}

void CProxyLayer::OnClose(int error)
{
    if (m_operation == kNone) {
        CSocketLayer::OnClose(error);
        return;
    }
    // The proxy gave up before its reply was complete.
    Fail(kRequestFailed, 0, error ? error : WSAECONNABORTED);
}

CProxyLayer::Collected CProxyLayer::Collect(size_t expected)
{
    if (m_reply.size() < expected)
        m_reply.resize(expected);
    while (m_received < expected) {
        const int n = ReceiveNext(m_reply.data() + m_received, static_cast<int>(expected - m_received));
        if (n == 0) {
            Fail(kRequestFailed, 0, WSAECONNABORTED);
            return Collected::kFailed;
        }
        if (n < 0) {
            if (WSAGetLastError() == WSAEWOULDBLOCK)
                return Collected::kWait;
            Fail(kRequestFailed, 0, WSAGetLastError());
            return Collected::kFailed;
        }
        m_received += static_cast<size_t>(n);
    }
    return Collected::kDone;
}

void CProxyLayer::OnReceive(int error)
{
    if (m_type == kDirect || m_operation == kNone) {
        TriggerEvent(FD_READ, error, true);
        return;
    }
    if (error)
        TriggerEvent(FD_READ, error, true);
    if (m_step == 0)
        return;
    switch (m_type) {
    case kSocks4:
    case kSocks4A: ReceiveSocks4(); break;
    case kSocks5: ReceiveSocks5(); break;
    case kHttp: ReceiveHttp(); break;
    default: break;
    }
}

void CProxyLayer::ReceiveSocks4()
{
    if (Collect(8) != Collected::kDone)
        return;
    if (m_reply[0] != 0 || m_reply[1] != 90) {
        Fail(kRequestFailed, 0, WSAECONNABORTED);
        return;
    }
    if (m_operation == kOpConnect || m_step == 2) {
        Succeed();
        return;
    }
    ListenAddress where{};
    std::memcpy(&where.address, &m_reply[4], 4);
    std::memcpy(&where.port, &m_reply[2], 2);
    if (where.address == 0) {
        // "The proxy's own address": the one we are connected to.
        sockaddr_in proxy{};
        int length = sizeof proxy;
        if (!GetPeerNameNext(reinterpret_cast<SOCKADDR*>(&proxy), &length)) {
            Fail(kRequestFailed, 0, WSAECONNABORTED);
            return;
        }
        where.address = proxy.sin_addr.s_addr;
    }
    m_step = 2;
    m_received = 0;
    DoLayerCallback(1, kListenSocketCreated, reinterpret_cast<intptr_t>(&where));
}

bool CProxyLayer::SendSocks5Request()
{
    std::string request;
    request += char(5);
    request += char(m_operation == kOpListen ? 2 : 1);
    request += char(0);
    if (m_targetAddress) {
        request += char(1);
        AppendBytes(request, &m_targetAddress, 4);
    } else {
        const std::string& host = m_targetHost.value_or("");
        request += char(3);
        request += char(host.size());
        request += host;
    }
    AppendBytes(request, &m_targetPort, 2);
    if (!SendWhole(request, false))
        return false;
    m_step = 3;
    m_received = 0;
    m_expected = 5;
    return true;
}

void CProxyLayer::ReceiveSocks5()
{
    switch (m_step) {
    case 1: {
        if (Collect(2) != Collected::kDone)
            return;
        if (m_reply[0] != 5) {
            Fail(kRequestFailed, 0, WSAECONNABORTED);
            return;
        }
        const int method = m_reply[1];
        m_received = 0;
        if (method == 0) {
            SendSocks5Request();
        } else if (method == 2 && m_useAuth) {
            const std::string user = m_user.value_or("");
            const std::string password = m_password.value_or("");
            if (user.size() > kMaxName || password.size() > kMaxName) {
                Fail(kRequestFailed, 0, WSAECONNABORTED);
                return;
            }
            std::string record;
            record += char(1);
            record += char(user.size());
            record += user;
            record += char(password.size());
            record += password;
            if (SendWhole(record, false))
                m_step = 2;
        } else if (method == 2) {
            Fail(kAuthRequired, 0, WSAECONNABORTED);
        } else {
            Fail(kAuthTypeUnknown, 0, WSAECONNABORTED);
        }
        return;
    }
    case 2:
        if (Collect(2) != Collected::kDone)
            return;
        if (m_reply[1] != 0) {
            Fail(kAuthFailed, 0, WSAECONNABORTED);
            return;
        }
        m_received = 0;
        SendSocks5Request();
        return;
    case 3:
    case 4:
        if (!CollectSocks5Reply())
            return;
        if (m_operation == kOpConnect || m_step == 4) {
            Succeed();
            return;
        }
        {
            // Only an IPv4 address can be handed on as the listening place.
            if (m_reply[3] != 1) {
                Fail(kRequestFailed, 0, WSAECONNABORTED);
                return;
            }
            ListenAddress where{};
            std::memcpy(&where.address, &m_reply[4], 4);
            std::memcpy(&where.port, &m_reply[8], 2);
            m_step = 4;
            m_received = 0;
            m_expected = 5;
            DoLayerCallback(1, kListenSocketCreated, reinterpret_cast<intptr_t>(&where));
        }
        return;
    default:
        return;
    }
}

bool CProxyLayer::CollectSocks5Reply()
{
    for (;;) {
        if (Collect(m_expected) != Collected::kDone)
            return false;
        if (m_reply[0] != 5 || m_reply[1] != 0) {
            Fail(kRequestFailed, 0, WSAECONNABORTED);
            return false;
        }
        if (m_expected != 5)
            return true;
        // The bound address decides the length: IPv4, a name of byte 4's length, or
        // IPv6, each followed by the port. Any other type has no length to trust.
        switch (m_reply[3]) {
        case 1: m_expected = 10; break;
        case 3: m_expected = 7 + size_t{m_reply[4]}; break;
        case 4: m_expected = 22; break;
        default: Fail(kRequestFailed, 0, WSAECONNABORTED); return false;
        }
    }
}

void CProxyLayer::ReceiveHttp()
{
    for (;;) {
        // One byte at a time after the first few, so nothing past the reply is taken.
        char buffer[8];
        const int want = m_httpReply.empty() ? 8 : 1;
        const int n = ReceiveNext(buffer, want);
        if (n == 0) {
            Fail(kRequestFailed, 0, WSAECONNABORTED);
            return;
        }
        if (n < 0) {
            if (WSAGetLastError() != WSAEWOULDBLOCK)
                Fail(kRequestFailed, 0, WSAGetLastError());
            return;
        }
        m_httpReply.append(buffer, static_cast<size_t>(n));
        const size_t prefix = std::min<size_t>(m_httpReply.size(), 5);
        if (m_httpReply.compare(0, prefix, "HTTP/", prefix) != 0) {
            Fail(kRequestFailed, reinterpret_cast<intptr_t>(kNoValidHttpReply), WSAECONNABORTED);
            return;
        }
        const size_t lineEnd = m_httpReply.find("\r\n");
        if (lineEnd != std::string::npos) {
            const size_t blank = m_httpReply.find(' ');
            if (blank == std::string::npos || blank > lineEnd || m_httpReply[blank + 1] != '2') {
                const std::string statusLine = m_httpReply.substr(0, lineEnd);
                Fail(kRequestFailed, reinterpret_cast<intptr_t>(statusLine.c_str()), WSAECONNABORTED);
                return;
            }
        }
        const size_t size = m_httpReply.size();
        if (size > 3 && m_httpReply.compare(size - 4, 4, "\r\n\r\n") == 0) {
            Succeed();
            return;
        }
        if (size >= kMaxHttpReply) {
            Fail(kRequestFailed, 0, WSAECONNABORTED);
            return;
        }
    }
}

// ---- data and names --------------------------------------------------------------

int CProxyLayer::Receive(void* buffer, int length, int flags)
{
    if (m_operation != kNone) {
        WSASetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    return ReceiveNext(buffer, length, flags);
}

int CProxyLayer::Send(const void* buffer, int length, int flags)
{
    if (m_operation != kNone) {
        WSASetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    return SendNext(buffer, length, flags);
}

bool CProxyLayer::GetPeerName(SOCKADDR* address, int* length)
{
    if (m_type == kDirect)
        return GetPeerNameNext(address, length);
    if (GetLayerState() == kNoSocket) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    if (GetLayerState() != kConnected || !m_targetAddress || !m_targetPort || !address || !length ||
        *length < static_cast<int>(sizeof(sockaddr_in))) {
        WSASetLastError(WSAENOTCONN);
        return false;
    }
    if (!GetPeerNameNext(address, length))
        return false;
    auto* in = reinterpret_cast<sockaddr_in*>(address);
    in->sin_addr.s_addr = m_targetAddress;
    in->sin_port = m_targetPort;
    return true;
}

bool CProxyLayer::GetPeerName(std::string& address, unsigned& port)
{
    if (m_type == kDirect)
        return GetPeerNameNext(address, port);
    sockaddr_in in{};
    int length = sizeof in;
    if (!GetPeerName(reinterpret_cast<SOCKADDR*>(&in), &length))
        return false;
    address = DottedIPv4(in.sin_addr.s_addr);
    port = ntohs(in.sin_port);
    return true;
}

bool CProxyLayer::Accept(CLayeredSocket& connected, SOCKADDR* address, int* length)
{
    if (m_type == kDirect)
        return AcceptNext(connected, address, length);
    // The connection to the proxy is the accepted connection.
    if (address && length)
        GetPeerName(address, length);
    return true;
}

void CProxyLayer::Close()
{
    m_proxyHost.clear();
    m_user.reset();
    m_password.reset();
    m_useAuth = false;
    m_targetHost.reset();
    ClearBuffers();
    m_operation = kNone;
    m_step = 0;
    m_type = kDirect;
    CloseNext();
}
