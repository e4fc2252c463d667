#pragma once
// A socket layer that connects through a proxy server: it connects to the proxy
// instead of the target, performs the proxy's handshake for the target host and port,
// and only then lets the owner see the connection as made (FD_CONNECT, then FD_READ
// and FD_WRITE, each with error 0). Bytes the target sends right after the proxy's
// reply stay in the stream for the owner.
//
// Types: 0 direct (a transparent pipe), 1 SOCKS4, 2 SOCKS4A, 3 SOCKS5 (optionally with
// user name and password), 4 HTTP CONNECT (HTTP/1.1, optionally with Basic
// authentication). A target name goes to the proxy as it stands (SOCKS4A, SOCKS5's
// name type, HTTP CONNECT); only SOCKS4, which carries addresses, looks it up first,
// like the proxy's own name, on the socket's look-up worker: Connect never waits on a
// name server. A SOCKS4 target that does not resolve gives notice 7 and FD_CONNECT
// with the look-up's error.
//
// Every failure is reported twice: a notice to the owner's OnLayerCallback (type 1,
// codes below) and FD_CONNECT (FD_ACCEPT for a listen through a SOCKS proxy) with a
// non-zero error: 10053 (WSAECONNABORTED) for refusals, the network's own code
// otherwise. After it, sends and receives fail with that error.
//
// Close forgets the proxy and its credentials: set them again before the next Create.
//
// Usage: layer.SetProxy(CProxyLayer::kHttp, "proxy", 3128); socket.AddSocketLayer(&layer);
// socket.Create(); socket.Connect("target", port).

#include "net/CSocketLayer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CProxyLayer : public CSocketLayer {
public:
    enum Type { kDirect = 0, kSocks4 = 1, kSocks4A = 2, kSocks5 = 3, kHttp = 4 };
    // Notice codes (callback type 1, param1).
    enum Notice {
        kCannotConnectToProxy = 1,   // param2 0
        kRequestFailed = 2,          // param2 0, "No valid HTTP reponse" or the HTTP status line
        kAuthTypeUnknown = 4,        // SOCKS5 wants a method other than none or user/password
        kAuthFailed = 5,             // SOCKS5 rejected user name and password
        kAuthRequired = 6,           // SOCKS5 wants user/password and none are set
        kCannotResolveHost = 7,      // a SOCKS4 target name did not resolve
        kListenSocketCreated = 8,    // param2 points to a ListenAddress
    };
    // Where a proxy listens for the peer of a Listen (network order).
    struct ListenAddress {
        uint32_t address;
        uint16_t port;
    };
    // The longest HTTP reply head accepted before the handshake fails.
    static constexpr size_t kMaxHttpReply = 8192;
    // The longest host name, user name or password that can be sent.
    static constexpr size_t kMaxName = 255;

    CProxyLayer();
    ~CProxyLayer() override;

    void SetProxyType(int type) { m_type = type; }
    // Sets type, proxy host and port; forgets credentials.
    void SetProxy(int type, const char* host, int port);
    // Like SetProxy, with credentials (each may be null) to offer.
    void SetProxyAuth(int type, const char* host, int port, const char* user, const char* password);
    int GetProxyType() const { return m_type; }
    // The target address (network order) in states 0 and 1 only.
    bool SetTargetAddress(unsigned long address);

    void OnConnect(int error) override;
    void OnReceive(int error) override;
    void OnClose(int error) override;
    bool Accept(CLayeredSocket& connected, SOCKADDR* address = nullptr, int* length = nullptr) override;
    void Close() override;
    bool Connect(const SOCKADDR* address, int length) override;
    bool Connect(const char* host, unsigned port) override;
    bool GetPeerName(std::string& address, unsigned& port) override;
    bool GetPeerName(SOCKADDR* address, int* length) override;
    bool Listen(int backlog) override;
    int Receive(void* buffer, int length, int flags = 0) override;
    int Send(const void* buffer, int length, int flags = 0) override;

private:
    enum class Collected { kDone, kWait, kFailed };

    bool LookUpTarget(const char* host, unsigned port);
    void Fail(int notice, intptr_t param2, int error);
    void Succeed();
    void ClearBuffers();
    // Reads until the reply buffer holds expected bytes.
    Collected Collect(size_t expected);
    // The whole SOCKS5 reply of the current step; false when it is not all here or failed.
    bool CollectSocks5Reply();
    // Sends a handshake message whole; a short or failed send fails the handshake.
    bool SendWhole(const std::string& message, bool wouldBlockIsAbort);
    bool SendSocks5Request();
    std::string BuildRequest();
    void ReceiveSocks4();
    void ReceiveSocks5();
    void ReceiveHttp();

    std::vector<unsigned char> m_reply;
    size_t m_expected = 0;
    size_t m_received = 0;
    std::string m_httpReply;
    int m_step = 0;
    int m_operation = 0;
    uint16_t m_targetPort = 0;     // network order
    uint32_t m_targetAddress = 0;  // network order; 0: known by name only
    int m_type = kDirect;
    std::string m_proxyHost;
    int m_proxyPort = 0;
    std::optional<std::string> m_user;
    std::optional<std::string> m_password;
    bool m_useAuth = false;
    std::optional<std::string> m_targetHost;
};
