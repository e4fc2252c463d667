// BMP decode of a 12-megapixel 24-bit file from disk, beside one plain read of
// the same file into memory: decoding should cost no more than reading.
#include "image/codecs/CLfImageBMP.h"
#include "bench/BenchPictures.h"
#include "image/CLfFileStream.h"
#include "image/CLfMemoryStream.h"

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

namespace {

// A 249-byte file declaring 1 x 50,331,840 pixels of 8-bit run-length data that paints
// 46 rows and ends: the rest of the picture is left blank. argument: stored top-down.
std::vector<uint8_t> SparseTallBmp(bool topDown)
{
    const auto le = [](std::vector<uint8_t>& out, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(uint8_t(value >> (8 * i)));
    };
    constexpr int32_t kRows = 50331840;
    std::vector<uint8_t> f{'B', 'M'};
    le(f, 249, 4);
    le(f, 0, 4);
    le(f, 14 + 40 + 8, 4);
    le(f, 40, 4);
    le(f, 1, 4);
    le(f, uint32_t(topDown ? -kRows : kRows), 4);
    le(f, 1, 2);
    le(f, 8, 2);
    le(f, 1, 4);  // 8-bit run-length
    le(f, 187, 4);
    le(f, 2835, 4);
    le(f, 2835, 4);
    le(f, 2, 4);
    le(f, 0, 4);
    le(f, 0x000000, 4);
    le(f, 0xFFFFFF, 4);
    for (int row = 0; row < 46; ++row)
        f.insert(f.end(), {1, 1, 0, 0});  // one pixel of index 1, end of row
    f.insert(f.end(), {0, 1, 0});         // end of picture, pad
    return f;
}

void DecodeSparseTall(benchmark::State& state, bool topDown)
{
    const std::vector<uint8_t> file = SparseTallBmp(topDown);
    for (auto _ : state) {
        CLfMemoryStream stream(file.data(), int64_t(file.size()));
        CLfImageBMP bmp;
        if (!bmp.Decode(&stream))
            state.SkipWithError(bmp.GetLastError());
        benchmark::DoNotOptimize(bmp.dib);
    }
}

}  // namespace

// The top-down file is flipped after decoding; it should cost what the bottom-up one does.
static void BM_BmpDecodeSparseTall_TopDown(benchmark::State& state) { DecodeSparseTall(state, true); }
static void BM_BmpDecodeSparseTall_BottomUp(benchmark::State& state) { DecodeSparseTall(state, false); }
BENCHMARK(BM_BmpDecodeSparseTall_TopDown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BmpDecodeSparseTall_BottomUp)->Unit(benchmark::kMillisecond);
