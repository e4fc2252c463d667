// The replies of a proxy: the proxy layer makes its handshake over a fake lower layer
// that plays the proxy, taking the layer's request and handing back the fuzzer's
// bytes in pieces. Whatever the proxy answers, the layer either connects or fails
// with a notice, and a reply beyond the longest it accepts is not kept.
//
// Input: byte 0 the proxy type (and whether credentials are offered), byte 1 the
// size of the pieces, the rest what the proxy sends.
#include "fuzz/LfFuzzSupport.h"
#include "net/CLayeredSocket.h"
#include "net/CProxyLayer.h"
#include "platform/PollReactor.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The bottom of the chain: plays the network. Connects at once when asked, keeps
// what is sent and serves the script's bytes to receives.
class FakeNetwork : public CSocketLayer {
public:
    FakeNetwork(const uint8_t* data, size_t size, size_t piece) : m_data(data), m_size(size), m_piece(piece) {}

    bool Connect(const SOCKADDR*, int) override { return Pending(); }
    bool Connect(const char*, unsigned) override { return Pending(); }
    int Send(const void*, int length, int) override
    {
        m_sent += static_cast<size_t>(length);
        return length;
    }
    int Receive(void* buffer, int length, int) override
    {
        const size_t n = std::min({m_piece, m_size - m_at, static_cast<size_t>(std::max(length, 0))});
        if (n == 0) {
            WSASetLastError(WSAEWOULDBLOCK);
            return -1;
        }
        std::memcpy(buffer, m_data + m_at, n);
        m_at += n;
        return static_cast<int>(n);
    }
    void Close() override {}

    // Delivers the connection, then one read event per piece until the script ends.
    void Play()
    {
        CallEvent(FD_CONNECT, 0);
        for (size_t rounds = 0; m_at < m_size && rounds <= m_size; ++rounds)
            CallEvent(FD_READ, 0);
    }
    size_t Sent() const { return m_sent; }

private:
    bool Pending()
    {
        SetLayerState(kConnecting);
        WSASetLastError(WSAEWOULDBLOCK);
        return false;
    }
    const uint8_t* m_data;
    size_t m_size;
    size_t m_piece;
    size_t m_at = 0;
    size_t m_sent = 0;
};

class NoticeSocket : public CLayeredSocket {
public:
    int OnLayerCallback(CSocketLayer*, int type, int, intptr_t) override
    {
        notices += type == 1;
        return 1;
    }
    int notices = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    static const int kTypes[] = {CProxyLayer::kSocks4, CProxyLayer::kSocks4A, CProxyLayer::kSocks5, CProxyLayer::kHttp};
    const int type = kTypes[data[0] % 4];
    const bool credentials = (data[0] & 4) != 0;
    const size_t piece = 1 + data[1] % 64;

    lfplat::PollReactor reactor;
    NoticeSocket socket;
    CProxyLayer proxy;
    FakeNetwork network(data + 2, size - 2, piece);
    if (credentials)
        proxy.SetProxyAuth(type, "127.0.0.1", 1080, "user", "password");
    else
        proxy.SetProxy(type, "127.0.0.1", 1080);
    lffuzz::Check(socket.AddSocketLayer(&proxy) && socket.AddSocketLayer(&network), "the chain is built");
    lffuzz::Check(socket.Create(), "the socket is created");
    const bool started = socket.Connect("192.0.2.7", 443) || CLayeredSocket::GetLastError() == WSAEWOULDBLOCK;
    lffuzz::Check(started, "the connect starts");
    network.Play();
    const int state = proxy.GetLayerState();
    lffuzz::Check(state == CSocketLayer::kConnected || state == CSocketLayer::kConnecting ||
                      state == CSocketLayer::kAborted,
                  "the layer is connected, still waiting, or failed");
    if (state == CSocketLayer::kAborted)
        lffuzz::Check(socket.notices > 0, "a failure comes with a notice");
    lffuzz::Check(network.Sent() < 4096, "the layer sends one request and its credentials");
    socket.Close();
    return 0;
}
