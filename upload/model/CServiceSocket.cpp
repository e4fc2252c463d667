#include "upload/model/CServiceSocket.h"

#include "net/CProxyLayer.h"
#include "net/CSslLayer.h"

#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CServiceSocket::CServiceSocket(IServiceSocketOwner& owner)
    : m_owner(owner), m_pProxyLayer(std::make_unique<CProxyLayer>()), m_pSslLayer(std::make_unique<CSslLayer>())
{
    m_pProxyLayer->SetProxyType(CProxyLayer::kDirect);
}

CServiceSocket::~CServiceSocket()
{
    // The layers must leave the chain before they go.
    Close();
}

bool CServiceSocket::Open(const std::string& host, unsigned port, const std::string& proxyHost, int proxyPort)
{
    ServiceProxy proxy;
    if (!proxyHost.empty()) {
        proxy.type = CProxyLayer::kHttp;
        proxy.host = proxyHost;
        proxy.port = proxyPort;
    }
    return Open(host, port, proxy);
}

bool CServiceSocket::Open(const std::string& host, unsigned port, const ServiceProxy& proxy)
{
    if (proxy.type == CProxyLayer::kDirect)
        m_pProxyLayer->SetProxyType(CProxyLayer::kDirect);
    else if (proxy.auth)
        m_pProxyLayer->SetProxyAuth(proxy.type, proxy.host.c_str(), proxy.port, proxy.user.c_str(),
                                    proxy.password.c_str());
    else
        m_pProxyLayer->SetProxy(proxy.type, proxy.host.c_str(), proxy.port);
    AddSocketLayer(m_pProxyLayer.get());
    m_lastProxyError.clear();
    if (!Create()) {
        m_owner.OnSocketFailed("Error");
        return false;
    }
    if (!Connect(host.c_str(), port) && GetLastError() != WSAEWOULDBLOCK) {
        const int error = GetLastError();
        Close();
        m_owner.OnSocketFailed(FailureText(error));
        return false;
    }
    return true;
}

std::string CServiceSocket::FailureText(int error) const
{
    // A name that was not found says so, also behind the proxy's own notice.
    const std::string why = LookupErrorText(error);
    if (m_lastProxyError.empty())
        return "ERROR: Could not connect to the upload server (" + why + ").";
    return "ERROR: " + m_lastProxyError + (IsLookupError(error) ? " (" + why + ")" : "");
}

void CServiceSocket::OnConnect(int error)
{
    if (!error) {
        m_owner.OnSocketConnected();
        return;
    }
    Close();
    m_owner.OnSocketFailed(FailureText(error));
}

void CServiceSocket::OnReceive(int error)
{
    char buffer[kCommandRead + 1] = {};
    const int n = Receive(buffer, kCommandRead);
    // A failed or empty read is no command: the proxy's handshake and a closing peer
    // both end here.
    if (error || n <= 0)
        return;
    m_owner.OnServerCommand(std::string(buffer, strnlen(buffer, static_cast<size_t>(n))));
}

bool CServiceSocket::SetTrace(const std::filesystem::path& folder)
{
    m_traced = true;
    m_trace.reset();
    // Never through a link: a second name of another file (a hard link) would have that
    // file emptied, so only a plain file of one name is taken; a FIFO does not block.
    const int fd = ::open((folder / "userinfo.xml").c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                          0644);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return false;
    }
    m_trace.reset(::fdopen(fd, "w"));
    if (!m_trace) {
        ::close(fd);
        return false;
    }
    return true;
}

void CServiceSocket::OnClose(int)
{
    // Only with tracing on does the close do anything; the owner is not told otherwise.
    if (!m_traced)
        return;
    if (m_trace) {
        std::fflush(m_trace.get());
        m_trace.reset();
    }
    m_owner.OnTraceClosed();
}

void CServiceSocket::OnSend(int error)
{
    if (!error)
        m_owner.OnSocketWritable();
}

std::string CServiceSocket::NoticeText(CSocketLayer* layer, int type, int param1, intptr_t param2) const
{
    char text[256];
    const bool proxy = layer == m_pProxyLayer.get();
    const bool ssl = layer == m_pSslLayer.get();
    if (type == 0) {
        if (proxy || ssl)
            std::snprintf(text, sizeof text, "Layer Status: %s changed state from %d to %d",
                          proxy ? "m_pProxyLayer" : "m_pSslLayer", static_cast<int>(param2), param1);
        else
            std::snprintf(text, sizeof text, "Layer Status: Layer @ %lld changed state from %d to %d",
                          static_cast<long long>(reinterpret_cast<intptr_t>(layer)), static_cast<int>(param2), param1);
        return text;
    }
    if (type != 1)
        return {};
    if (proxy) {
        switch (param1) {
        case 1: return "Proxy error: Can't connect to proxy server.";
        case 2: {
            std::string out = "Proxy error: Proxy request failed, can't connect through proxy server.";
            if (param2)
                out += std::string("\n") + reinterpret_cast<const char*>(param2);
            return out;
        }
        case 4: return "Proxy error: Required authtype reported by proxy server is unknown or not supported.";
        case 5: return "Proxy error: Authentication failed";
        case 6: return "Proxy error: Proxy requires authentication";
        case 7: return "Proxy error: Can't resolve host of proxy server.";
        default: return "Proxy error: Unknown proxy error";
        }
    }
    return {};
}

int CServiceSocket::OnLayerCallback(CSocketLayer* layer, int type, int param1, intptr_t param2)
{
    if (type == 1 && layer == m_pProxyLayer.get() && param1 != CProxyLayer::kListenSocketCreated)
        m_lastProxyError = NoticeText(layer, type, param1, param2);
    return 1;
}
