// Loopback throughput: the layered socket with a layer chain (a pass-through proxy
// layer, and an HTTP CONNECT handshake through a real HTTP proxy) against a plain
// blocking socket that copies the same bytes over the same route. Each run sends
// the block to a service that reads until the end and then closes; the run ends
// when the sender hears that close, so every byte has arrived.
#include "net/CProxyLayer.h"
#include "platform/PollReactor.h"
#include "tests/net/NetTestPeers.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr size_t kBlock = 32u << 20;

void Sink(int fd)
{
    char buffer[65536];
    while (recv(fd, buffer, sizeof buffer, 0) > 0) {
    }
}

// One sink service and, for the proxied runs, an HTTP proxy in front of it, shared by
// all runs of the process.
struct Route {
    nettest::ScriptedPeer sink{Sink, 1 << 30};
    std::string dir;
    nettest::ChildProcess proxy;
    int proxyPort = 0;
    std::string error;

    bool StartProxy()
    {
        if (proxyPort)
            return true;
        dir = (std::filesystem::temp_directory_path() / "lfnetbench-XXXXXX").string();
        if (!mkdtemp(dir.data()))
            return false;
        int port = 0;
        if (!nettest::StartHttpProxy(proxy, dir, port, "", "", error))
            return false;
        proxyPort = port;
        return true;
    }
    ~Route()
    {
        proxy.Stop();
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }
};

Route& Shared()
{
    static Route route;
    return route;
}

const std::string& Block()
{
    static const std::string block(kBlock, 'b');
    return block;
}

int ConnectBlocking(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<uint16_t>(port));
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool PlainCopy(bool throughProxy)
{
    Route& route = Shared();
    const int fd = ConnectBlocking(throughProxy ? route.proxyPort : route.sink.Port());
    if (fd < 0)
        return false;
    if (throughProxy) {
        const std::string target = "127.0.0.1:" + std::to_string(route.sink.Port());
        nettest::WriteAll(fd, "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n\r\n");
        if (nettest::ReadHttpHead(fd).find(" 200") == std::string::npos) {
            close(fd);
            return false;
        }
    }
    nettest::WriteAll(fd, Block());
    shutdown(fd, SHUT_WR);
    char byte;
    while (recv(fd, &byte, 1, 0) > 0) {
    }
    close(fd);
    return true;
}

// Sends the block whenever there is room and closes its side once all is out.
class BlockSender : public CLayeredSocket {
public:
    size_t sent = 0;
    bool closed = false;
    bool failed = false;
    void OnConnect(int error) override { failed = error != 0; }
    void OnSend(int) override
    {
        const std::string& block = Block();
        while (sent < block.size()) {
            const int n = Send(block.data() + sent, static_cast<int>(std::min<size_t>(block.size() - sent, 1 << 18)));
            if (n < 0)
                return;
            sent += static_cast<size_t>(n);
        }
        if (sent == block.size()) {
            ShutDown();
            ++sent;
        }
    }
    void OnReceive(int) override
    {
        char buffer[256];
        while (Receive(buffer, sizeof buffer) > 0) {
        }
    }
    void OnClose(int) override { closed = true; }
};

bool ChainCopy(lfplat::PollReactor& reactor, bool throughProxy)
{
    Route& route = Shared();
    BlockSender socket;
    CProxyLayer layer;
    if (throughProxy)
        layer.SetProxy(CProxyLayer::kHttp, "127.0.0.1", route.proxyPort);
    socket.AddSocketLayer(&layer);
    if (!socket.Create())
        return false;
    socket.Connect("127.0.0.1", static_cast<unsigned>(route.sink.Port()));
    return reactor.RunUntil([&] { return socket.closed || socket.failed; }, std::chrono::seconds(60)) &&
           !socket.failed;
}

void BM_PlainBlockingCopy(benchmark::State& state)
{
    const bool proxy = state.range(0) != 0;
    if (proxy && !Shared().StartProxy()) {
        state.SkipWithError(Shared().error.c_str());
        return;
    }
    for (auto _ : state) {
        if (!PlainCopy(proxy)) {
            state.SkipWithError("copy failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBlock));
}

void BM_LayeredSocketChain(benchmark::State& state)
{
    const bool proxy = state.range(0) != 0;
    if (proxy && !Shared().StartProxy()) {
        state.SkipWithError(Shared().error.c_str());
        return;
    }
    lfplat::PollReactor reactor;
    for (auto _ : state) {
        if (!ChainCopy(reactor, proxy)) {
            state.SkipWithError("chain copy failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBlock));
}

}  // namespace

// Argument 0: straight to the service; 1: through the HTTP proxy.
BENCHMARK(BM_PlainBlockingCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LayeredSocketChain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
