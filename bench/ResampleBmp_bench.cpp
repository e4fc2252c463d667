// The thumbnail and batch paths: every thumbnail of the manager is a mode-3
// reduction of a decoded photograph, and batch jobs decode and encode BMPs.
#include "image/CLfImage.h"
#include "image/codecs/CLfImageBMP.h"
#include "image/CLfMemoryStream.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

// A photograph-sized 24-bit image with varied content.
CLfImage MakePhoto(int64_t w, int64_t h)
{
    CLfImage img(w, h, 24);
    for (int64_t y = 0; y < h; ++y) {
        uint8_t* p = img.GetBits(uint32_t(y));
        for (int64_t x = 0; x < w; ++x, p += 3) {
            p[0] = uint8_t(x * 7 + y);
            p[1] = uint8_t(x ^ y);
            p[2] = uint8_t(y * 3);
        }
    }
    return img;
}

void BM_ResampleArea(benchmark::State& state)
{
    const CLfImage photo = MakePhoto(6000, 4000);
    const int32_t nw = int32_t(state.range(0));
    const int32_t nh = int32_t(state.range(1));
    for (auto _ : state) {
        CLfImage out;
        CLfImage& src = const_cast<CLfImage&>(photo);
        benchmark::DoNotOptimize(src.Resample(nw, nh, 3, &out));
    }
    state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}
BENCHMARK(BM_ResampleArea)->Args({1500, 1000})->Args({88, 66})->Unit(benchmark::kMillisecond);

std::vector<uint8_t> EncodeBmp(CLfImage& img)
{
    uint8_t* buffer = nullptr;
    int64_t size = 0;
    img.Encode(buffer, size, lfimg::kTypeBMP);
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

void BM_BmpDecode12MP(benchmark::State& state)
{
    CLfImage photo = MakePhoto(4000, 3000);
    const std::vector<uint8_t> bytes = EncodeBmp(photo);
    for (auto _ : state) {
        CLfImage img;
        benchmark::DoNotOptimize(img.Decode(bytes.data(), int64_t(bytes.size()), lfimg::kTypeBMP));
    }
    state.SetBytesProcessed(state.iterations() * int64_t(bytes.size()));
}
BENCHMARK(BM_BmpDecode12MP)->Unit(benchmark::kMillisecond);

void BM_BmpEncode12MP(benchmark::State& state)
{
    CLfImage photo = MakePhoto(4000, 3000);
    for (auto _ : state) {
        CLfMemoryStream stream;
        benchmark::DoNotOptimize(photo.Encode(&stream, lfimg::kTypeBMP));
    }
    state.SetBytesProcessed(state.iterations() * int64_t(photo.GetSize() + 14));
}
BENCHMARK(BM_BmpEncode12MP)->Unit(benchmark::kMillisecond);

}  // namespace
