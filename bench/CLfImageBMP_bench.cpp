// BMP decode of a 12-megapixel 24-bit file from disk, beside one plain read of
// the same file into memory: decoding should cost no more than reading.
#include "image/codecs/CLfImageBMP.h"
#include "bench/BenchPictures.h"
#include "image/CLfFileStream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// The file, written once into the temporary folder.
const std::string& BmpFile()
{
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "lf_bench_12mp.bmp").string();
        CLfImage picture = lfbench::PhotoLikePicture(kWidth, kHeight, 9, 7, 16);
        picture.Save(p.c_str(), lfimg::kTypeBMP);
        return p;
    }();
    return path;
}

}  // namespace

static void BM_BmpDecode12MP(benchmark::State& state)
{
    const std::string& path = BmpFile();
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "rb");
        CLfFileStream stream(file);
        CLfImageBMP bmp;
        if (!bmp.Decode(&stream))
            state.SkipWithError(bmp.GetLastError());
        benchmark::DoNotOptimize(bmp.dib);
        std::fclose(file);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BmpDecode12MP)->Unit(benchmark::kMillisecond);

// The peer: the whole file read with one fread into a buffer of its own.
static void BM_BmpDecode12MP_OnePlainRead(benchmark::State& state)
{
    const std::string& path = BmpFile();
    const auto size = size_t(std::filesystem::file_size(path));
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[size]);
        FILE* file = std::fopen(path.c_str(), "rb");
        if (std::fread(buffer.get(), 1, size, file) != size)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.get());
        std::fclose(file);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BmpDecode12MP_OnePlainRead)->Unit(benchmark::kMillisecond);
