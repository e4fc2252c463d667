// Depth conversions of a large 4-bit picture (as a tiny run-length BMP can
// declare): they work a row at a time, not a pixel per call.
#include "image/CLfImage.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kSide = 8000;

const CLfImage& FourBitPicture()
{
    static const CLfImage picture = [] {
        CLfImage img(kSide, kSide, 4);
        for (uint32_t i = 0; i < 16; ++i)
            img.SetPaletteColor(uint8_t(i), uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 8));
        for (int y = 0; y < kSide; ++y) {
            uint8_t* row = img.GetBits(uint32_t(y));
            for (int x = 0; x < kSide / 2; ++x)
                row[x] = uint8_t(x + y);
        }
        return img;
    }();
    return picture;
}

}  // namespace

static void BM_GrayScale4Bit64MP(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        CLfImage img(FourBitPicture());
        state.ResumeTiming();
        img.GrayScale();
        benchmark::DoNotOptimize(img.dib);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kSide) * kSide);
}
BENCHMARK(BM_GrayScale4Bit64MP)->Unit(benchmark::kMillisecond);

static void BM_IncreaseBpp4To24Bit64MP(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        CLfImage img(FourBitPicture());
        state.ResumeTiming();
        img.IncreaseBpp(24);
        benchmark::DoNotOptimize(img.dib);
    }
    state.SetItemsProcessed(state.iterations() * int64_t(kSide) * kSide);
}
BENCHMARK(BM_IncreaseBpp4To24Bit64MP)->Unit(benchmark::kMillisecond);
