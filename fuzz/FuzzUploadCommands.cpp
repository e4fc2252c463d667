// The upload service's commands, as the socket hands them over (one receive of at
// most 39 bytes each): whatever order and text they come in, the engine answers from
// its own list of files and never runs past it.
//
// Input: pieces, each a length byte (1 to 39 bytes follow) and the command's text.
#include "fuzz/LfFuzzSupport.h"
#include "upload/model/CUploadProtocol.h"

#include <string>

namespace {

struct CountingSink : IUploadProtocolSink {
    void OnFileStarted(int previous, int next) override
    {
        lffuzz::Check(previous >= -1 && previous < 2 && next >= 0 && next < 2, "only files of the list start");
        ++started;
    }
    void OnFinished() override { ++finished; }
    int started = 0;
    int finished = 0;
};

const std::vector<UploadFile>& Files()
{
    static const std::vector<UploadFile> files = [] {
        std::string big(5000, 'x');
        return std::vector<UploadFile>{
            {lffuzz::WriteScratch("a.jpg", reinterpret_cast<const uint8_t*>("small"), 5), "a.jpg", 5, 5, "/p/a.jpg"},
            {lffuzz::WriteScratch("b.jpg", reinterpret_cast<const uint8_t*>(big.data()), big.size()), "b.jpg", 5000,
             6000, "/p/b.jpg"},
        };
    }();
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CountingSink sink;
    CUploadProtocol protocol(sink);
    protocol.SetFiles(Files());
    protocol.SetAccount("12-34", "inbox/path");
    size_t at = 0;
    while (at < size) {
        const size_t length = 1 + data[at++] % 39;
        const size_t n = std::min(length, size - at);
        protocol.OnServerCommand(std::string(reinterpret_cast<const char*>(data + at), n));
        at += n;
        lffuzz::Check(protocol.NextIndex() >= 0 && protocol.NextIndex() <= 2, "the next file lies in the list");
        lffuzz::Check(protocol.FileOffset() >= 0 && protocol.FileOffset() <= 5000, "no file is read past its end");
    }
    lffuzz::Check(sink.started <= 2, "each file starts once");
    return 0;
}
