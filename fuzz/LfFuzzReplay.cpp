// Runs every file of a seed corpus folder through the fuzz entry once, without
// libFuzzer. Files named good-* must decode and bad-* must be refused (each shows
// a fault mended once); any other file (a crash or timeout the fuzzer found)
// only has to come back. Exit 0 when all hold.

#include "fuzz/LfDecoderFuzz.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(argv[1], ec))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    if (ec || files.empty()) {
        std::fprintf(stderr, "no seed corpus in %s\n", argv[1]);
        return 1;
    }
    std::sort(files.begin(), files.end());
    int faults = 0;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const bool decoded = LfFuzzDecode(bytes.data(), bytes.size());
        const std::string name = file.filename().string();
        const bool mustDecode = name.rfind("good-", 0) == 0;
        const bool mustRefuse = name.rfind("bad-", 0) == 0;
        if ((mustDecode && !decoded) || (mustRefuse && decoded)) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), decoded ? "decoded, should be refused" : "refused, should decode");
            ++faults;
        }
    }
    std::printf("%zu files, %d faults\n", files.size(), faults);
    return faults == 0 ? 0 : 1;
}
