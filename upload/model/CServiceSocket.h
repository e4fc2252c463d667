#pragma once
// The connection to the upload service: a layered socket that owns its proxy layer
// (direct unless a proxy is set) and an SSL layer that stays out of the chain. It
// hands the service's commands (one receive, at most 39 bytes, is one command), its
// connection and its writability to an owner, and turns a failed connect or a proxy's
// refusal into a notice at once. With tracing on, it holds the trace file
// "userinfo.xml" open until the connection closes.

#include "net/CLayeredSocket.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

class CProxyLayer;
class CSslLayer;

class IServiceSocketOwner {
public:
    virtual ~IServiceSocketOwner() = default;
    virtual void OnSocketConnected() = 0;
    virtual void OnServerCommand(const std::string& text) = 0;
    // The socket takes more bytes again after a send would have blocked.
    virtual void OnSocketWritable() = 0;
    // The connection could not be made; notice says why.
    virtual void OnSocketFailed(const std::string& notice) = 0;
    // Tracing was on and the connection has closed: the trace file is closed, and the
    // next login may go ahead.
    virtual void OnTraceClosed() {}
};

// The proxy a service connection goes through.
struct ServiceProxy {
    int type = 0;  // CProxyLayer::Type; 0 direct
    std::string host;
    int port = 0;
    bool auth = false;  // offer user and password (SOCKS5, HTTP)
    std::string user, password;
};

class CServiceSocket : public CLayeredSocket {
public:
    static constexpr int kCommandRead = 39;

    explicit CServiceSocket(IServiceSocketOwner& owner);
    ~CServiceSocket() override;

    // Sets the proxy layer (HTTP CONNECT to proxyHost:proxyPort, or direct when
    // proxyHost is empty), adds it, creates the socket and starts connecting to
    // host:port. False when that fails at once (the notice has then been sent).
    bool Open(const std::string& host, unsigned port, const std::string& proxyHost = {}, int proxyPort = 0);
    // The same through any proxy type, with credentials when the setting asks for them.
    bool Open(const std::string& host, unsigned port, const ServiceProxy& proxy);

    CProxyLayer& ProxyLayer() { return *m_pProxyLayer; }

    // Tracing on: makes "userinfo.xml" in folder an empty file for writing and keeps it
    // open until the connection closes, whose end the owner then hears of. A name that
    // is a link (symbolic or a second name of a file) or no plain file is refused:
    // false, and the file is not made, but the close is still told.
    bool SetTrace(const std::filesystem::path& folder);
    bool Tracing() const { return m_trace != nullptr; }

    // The text of a layer's notice (type 0 state change, type 1 notice).
    std::string NoticeText(CSocketLayer* layer, int type, int param1, intptr_t param2) const;

    void OnConnect(int error) override;
    void OnReceive(int error) override;
    void OnSend(int error) override;
    void OnClose(int error) override;
    int OnLayerCallback(CSocketLayer* layer, int type, int param1, intptr_t param2) override;

private:
    std::string FailureText(int error) const;

    IServiceSocketOwner& m_owner;
    std::unique_ptr<CProxyLayer> m_pProxyLayer;
    std::unique_ptr<CSslLayer> m_pSslLayer;
    std::string m_lastProxyError;
    bool m_traced = false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_trace{nullptr, std::fclose};
};
