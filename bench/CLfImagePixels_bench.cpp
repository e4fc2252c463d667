// The pixel accessors carry every codec and transform; fills of one colour into a
// palette image should cost one cache comparison per pixel.
#include "image/CLfImage.h"

#include <benchmark/benchmark.h>

#include <vector>

static void BM_GetPixelColor24(benchmark::State& state)
{
    CLfImage img(512, 512, 24);
    for (auto _ : state) {
        uint32_t sum = 0;
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x)
                sum += img.GetPixelColor(x, y).rgbGreen;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 512 * 512);
}
BENCHMARK(BM_GetPixelColor24);

static void BM_FillPaletteImageOneColour(benchmark::State& state)
{
    CLfImage img(512, 512, 8);
    img.SetStdPalette();
    const RGBQUAD colour{40, 90, 200, 0};
    for (auto _ : state) {
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 512; ++x)
                img.SetPixelColor(x, y, colour);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 512 * 512);
}
BENCHMARK(BM_FillPaletteImageOneColour);

static void BM_BitfieldsToRGB565(benchmark::State& state)
{
    CLfImage img(1024, 768, 24);
    std::vector<uint8_t> src(size_t(1024) * 2 * 768, 0x5A);
    for (auto _ : state) {
        img.BitfieldsToRGB(src.data(), 0xF800, 0x07E0, 0x001F, 16, src.size());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1024 * 768);
}
BENCHMARK(BM_BitfieldsToRGB565);
