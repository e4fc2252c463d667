// The adjustment dialogs of the editor run these on the full image for their
// preview button and for OK: a 12-megapixel photograph (4000 x 3000, 24 bits).
#include "image/CLfImage.h"

#include <benchmark/benchmark.h>

namespace {

void FillPhoto(CLfImage& image)
{
    image.Create(4000, 3000, 24, 0);
    uint8_t* p = image.GetBits(0);
    for (uint32_t i = 0; i < image.header.biSizeImage; ++i) p[i] = static_cast<uint8_t>(i * 7 + (i >> 12));
}

template <class Op>
void Run(benchmark::State& state, Op op)
{
    CLfImage image;
    FillPhoto(image);
    if (!image.IsValid()) {
        state.SkipWithError("no image");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(op(image));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * image.header.biSizeImage);
}

}  // namespace

static void BM_BrightnessContrast(benchmark::State& state)
{
    Run(state, [](CLfImage& i) { return i.BrightnessContrast(12, 20); });
}
BENCHMARK(BM_BrightnessContrast)->Unit(benchmark::kMillisecond);

static void BM_Gamma(benchmark::State& state)
{
    Run(state, [](CLfImage& i) { return i.Gamma(1.2f); });
}
BENCHMARK(BM_Gamma)->Unit(benchmark::kMillisecond);

static void BM_ShiftRGB(benchmark::State& state)
{
    Run(state, [](CLfImage& i) { return i.ShiftRGB(5, -3, 2); });
}
BENCHMARK(BM_ShiftRGB)->Unit(benchmark::kMillisecond);

// With a selection mask the walk tests every pixel of the box.
static void BM_BrightnessContrastSelection(benchmark::State& state)
{
    CLfImage image;
    FillPhoto(image);
    image.SelectionAddRect(RECT{500, 2500, 3500, 500});
    for (auto _ : state) {
        benchmark::DoNotOptimize(image.BrightnessContrast(3, 4));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BrightnessContrastSelection)->Unit(benchmark::kMillisecond);
