// The socket and the proxy layer on the window toolkit's event loop, as the programs
// run them.
#include "net/CProxyLayer.h"
#include "platform/gui/WxReactor.h"
#include "tests/net/NetTestPeers.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(SocketOnWxLoop, EchoThroughAnHttpProxyAndOneClose)
{
    lfplat::WxReactor reactor;
    nettest::ScriptedPeer proxy([](int fd) {
        nettest::ReadHttpHead(fd);
        nettest::WriteAll(fd, "HTTP/1.1 200 Connection established\r\n\r\n");
        nettest::EchoUntilEof(fd);
    });
    nettest::RecordingSocket socket;
    CProxyLayer layer;
    layer.SetProxy(CProxyLayer::kHttp, "127.0.0.1", proxy.Port());
    std::string data(1 << 20, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 31 + (i >> 9));
    size_t sent = 0;
    bool shut = false;
    std::string received;
    socket.onSend = [&](int) {
        while (sent < data.size()) {
            const int n = socket.Send(data.data() + sent, static_cast<int>(std::min<size_t>(data.size() - sent, 16384)));
            if (n < 0)
                return;
            sent += static_cast<size_t>(n);
        }
        if (!shut)
            shut = socket.ShutDown();
    };
    socket.onReceive = [&](int) { socket.Drain(received); };
    ASSERT_TRUE(socket.AddSocketLayer(&layer));
    ASSERT_TRUE(socket.Create());
    const int small = 32 * 1024;
    socket.SetSockOpt(SO_SNDBUF, &small, sizeof small);
    socket.Connect("127.0.0.1", 7);
    ASSERT_TRUE(lftest::PumpUntil([&] { return socket.Count(FD_CLOSE) > 0; }, 30s));
    EXPECT_EQ(0, socket.FirstError(FD_CONNECT));
    EXPECT_EQ(data.size(), received.size());
    EXPECT_TRUE(data == received);
    lftest::PumpFor(100ms);
    EXPECT_EQ(1, socket.Count(FD_CLOSE));

    // After the close the program's loop sleeps: its waits time out.
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    int timeouts = 0;
    for (int i = 0; i < 20; ++i)
        timeouts += loop.DispatchTimeout(5) == -1;
    EXPECT_GE(timeouts, 15) << "the loop kept waking up after the close";
    EXPECT_EQ(1, socket.Count(FD_CLOSE));
    socket.Close();
}
