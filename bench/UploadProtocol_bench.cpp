// A 100 MB upload through the protocol engine to the fake upload service on loopback,
// beside the peer: the same bytes written plainly on a loopback socket to a reader
// that discards them.
#include "upload/model/CUploadProtocol.h"

#include "platform/PollReactor.h"
#include "tests/support/FakeUploadService.h"
#include "tests/support/LoopbackListener.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

constexpr size_t kBytes = 100u << 20;

std::string BenchFile()
{
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() / "lf_upload_bench_100mb.bin";
        std::vector<char> block(1 << 20);
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = static_cast<char>(i * 131);
        std::ofstream out(p, std::ios::binary);
        for (size_t i = 0; i < kBytes / block.size(); ++i)
            out.write(block.data(), static_cast<long>(block.size()));
        return p.string();
    }();
    return path;
}

struct Sink : IUploadProtocolSink {
    bool done = false;
    void OnFinished() override { done = true; }
    void OnFailed(const std::string&) override { done = true; }
};

void BM_UploadToFakeService(benchmark::State& state)
{
    const std::string path = BenchFile();
    for (auto _ : state) {
        lftest::FakeUploadService::Options options;
        options.uidSid = "1-2";
        options.inboxPath = "/in";
        options.totalFiles = 1;
        lftest::FakeUploadService service(options);
        lfplat::PollReactor reactor;
        Sink sink;
        CUploadProtocol protocol(sink);
        protocol.SetFiles({{path, "big.bin", static_cast<int64_t>(kBytes), static_cast<int64_t>(kBytes), path}});
        protocol.SetAccount("1-2", "/in");
        protocol.Connect("127.0.0.1", static_cast<unsigned>(service.Port()));
        reactor.RunUntil([&] { return sink.done; }, std::chrono::minutes(5));
        if (!service.Errors().empty())
            state.SkipWithError(service.Errors().front().c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_UploadToFakeService)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainLoopbackWrite(benchmark::State& state)
{
    const std::string path = BenchFile();
    std::vector<char> block(10240);
    for (auto _ : state) {
        lftest::LoopbackListener listener;
        std::atomic<bool> stop{false};
        std::thread reader([&] {
            const int fd = listener.Accept(stop);
            std::vector<char> buffer(1 << 16);
            while (::recv(fd, buffer.data(), buffer.size(), 0) > 0) {
            }
            ::close(fd);
        });
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(listener.Port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        std::ifstream in(path, std::ios::binary);
        while (in.read(block.data(), static_cast<long>(block.size())) || in.gcount() > 0)
            lftest::LoopbackListener::WriteAll(fd, block.data(), static_cast<size_t>(in.gcount()));
        ::close(fd);
        reader.join();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_PlainLoopbackWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
