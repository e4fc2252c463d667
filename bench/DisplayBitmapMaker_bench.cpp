// The editor repaints from pixels made for the visible area only: at best fit, at
// 100 and at 300 per cent, and for one step of drag scrolling, a 24-megapixel image
// should cost only a 1000 x 750 window's worth of work (well under 16 ms). The peer
// is what showing the whole image would cost: one pass over every pixel at full size.
#include "bench/BenchPictures.h"
#include "editor/model/DisplayBitmapMaker.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kClientW = 1000;
constexpr int kClientH = 750;

const CLfImage& Picture()
{
    static const CLfImage picture = lfbench::PhotoLikePicture(kWidth, kHeight, 24, 16, 40);
    return picture;
}

// The visible area at a scale, scrolled to the middle of the displayed image.
RECT VisibleArea(float scale, int shift)
{
    const SIZE d = DisplayBitmapMaker::DisplaySize(Picture(), scale);
    const int32_t w = std::min(d.cx, kClientW);
    const int32_t h = std::min(d.cy, kClientH);
    const int32_t x = (d.cx - w) / 2 + shift;
    const int32_t y = (d.cy - h) / 2 + shift;
    return {x, y, x + w, y + h};
}

void Repaint(benchmark::State& state, float scale, int step)
{
    DisplayBitmapMaker maker;
    std::vector<uint8_t> rgb;
    int shift = 0;
    for (auto _ : state) {
        maker.Make(Picture(), scale, VisibleArea(scale, shift), RGB(70, 70, 70), rgb);
        benchmark::DoNotOptimize(rgb.data());
        shift = step - shift;  // alternate between two scroll positions
    }
    state.counters["pixels"] = double(rgb.size() / 3);
}

const float kBestFit = std::min(float(kClientW) / kWidth, float(kClientH) / kHeight);

void BM_VisibleAreaBestFit(benchmark::State& state) { Repaint(state, kBestFit, 0); }
void BM_VisibleAreaZoom100(benchmark::State& state) { Repaint(state, 1.0f, 0); }
void BM_VisibleAreaZoom300(benchmark::State& state) { Repaint(state, 3.0f, 0); }
void BM_DragScrollStepZoom100(benchmark::State& state) { Repaint(state, 1.0f, 12); }
void BM_DragScrollStepZoom300(benchmark::State& state) { Repaint(state, 3.0f, 12); }

// Peer: the whole image at full size, as a full-size display bitmap would need.
void BM_PeerWholeImageFullSize(benchmark::State& state)
{
    DisplayBitmapMaker maker;
    std::vector<uint8_t> rgb;
    for (auto _ : state) {
        maker.Make(Picture(), 1.0f, {0, 0, kWidth, kHeight}, RGB(70, 70, 70), rgb);
        benchmark::DoNotOptimize(rgb.data());
    }
}

}  // namespace

BENCHMARK(BM_VisibleAreaBestFit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VisibleAreaZoom100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VisibleAreaZoom300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragScrollStepZoom100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragScrollStepZoom300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerWholeImageFullSize)->Unit(benchmark::kMillisecond);
