// One repaint of the editor's image window, window side included: the visible area of
// a 24-megapixel image made at display size, turned into a bitmap and drawn into a
// 1000 x 750 memory context, at best fit, 100 and 300 per cent, and for one step of
// drag scrolling. Needs a display (run it under xvfb-run). The peer is the whole
// image turned into one full-size bitmap, which the view never makes.
#include "bench/BenchGuiMain.h"
#include "bench/BenchPictures.h"
#include "editor/model/DisplayBitmapMaker.h"

#include <benchmark/benchmark.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

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

RECT VisibleArea(float scale, int shift)
{
    const SIZE d = DisplayBitmapMaker::DisplaySize(Picture(), scale);
    const int32_t x = std::max((d.cx - kClientW) / 2, 0) + shift - std::max((kClientW - d.cx) / 2, 0);
    const int32_t y = std::max((d.cy - kClientH) / 2, 0) + shift - std::max((kClientH - d.cy) / 2, 0);
    return {x, y, x + kClientW, y + kClientH};
}

// Make the picture of the visible area, turn it into a bitmap, draw it.
void Repaint(benchmark::State& state, float scale, int step)
{
    DisplayBitmapMaker maker;
    std::vector<uint8_t> rgb;
    wxBitmap target(kClientW, kClientH, 24);
    wxMemoryDC dc(target);
    int shift = 0;
    for (auto _ : state) {
        const RECT area = VisibleArea(scale, shift);
        maker.Make(Picture(), scale, area, RGB(70, 70, 70), rgb);
        const wxImage rows(area.right - area.left, area.bottom - area.top, rgb.data(), true);
        const wxBitmap picture(rows, 24);
        dc.DrawBitmap(picture, 0, 0);
        shift = step - shift;
    }
}

const float kBestFit = std::min(float(kClientW) / kWidth, float(kClientH) / kHeight);

void BM_WindowRepaintBestFit(benchmark::State& state) { Repaint(state, kBestFit, 0); }
void BM_WindowRepaintZoom100(benchmark::State& state) { Repaint(state, 1.0f, 0); }
void BM_WindowRepaintZoom300(benchmark::State& state) { Repaint(state, 3.0f, 0); }
void BM_WindowDragStepZoom300(benchmark::State& state) { Repaint(state, 3.0f, 12); }

// Peer: the whole image as one full-size bitmap.
void BM_PeerFullSizeBitmap(benchmark::State& state)
{
    DisplayBitmapMaker maker;
    std::vector<uint8_t> rgb;
    for (auto _ : state) {
        maker.Make(Picture(), 1.0f, {0, 0, kWidth, kHeight}, RGB(70, 70, 70), rgb);
        const wxImage rows(kWidth, kHeight, rgb.data(), true);
        const wxBitmap picture(rows, 24);
        benchmark::DoNotOptimize(picture.GetWidth());
    }
}

}  // namespace

BENCHMARK(BM_WindowRepaintBestFit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowRepaintZoom100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowRepaintZoom300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowDragStepZoom300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerFullSizeBitmap)->Unit(benchmark::kMillisecond)->Iterations(3);
