// Runs every file of a seed corpus folder once through a fuzz target's entry, without
// libFuzzer. The target aborts when a result breaks what its parser promises; so the
// replay passes when every file comes back. Exit 0 when all did.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(argv[1], ec)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++count;
    }
    if (ec || count == 0) {
        std::fprintf(stderr, "no seed corpus in %s\n", argv[1]);
        return 1;
    }
    std::printf("%zu files\n", count);
    return 0;
}
