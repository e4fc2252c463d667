// Painting a 12-megapixel image through the drawing bridge into a 1000 x 750 memory
// context (a fitted view) and into an 88 x 66 one (a thumbnail), plainly and through
// the alpha blend. Needs a display (run it under xvfb-run). The peer is the
// toolkit's own nearest-pixel scaling of the picture already held as a full-size
// wxImage (made once, outside the timing), turned into a bitmap and drawn.
#include "bench/BenchGuiMain.h"
#include "bench/BenchPictures.h"
#include "image/CLfImage.h"

#include <benchmark/benchmark.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

const CLfImage& Picture(bool withAlpha)
{
    static const CLfImage plain = lfbench::PhotoLikePicture(kWidth, kHeight, 24, 16, 40);
    static const CLfImage blended = [] {
        CLfImage p(plain);
        p.AlphaCreate();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) p.AlphaSet(x, y, uint8_t(x + y));
        return p;
    }();
    return withAlpha ? blended : plain;
}

void Paint(benchmark::State& state, int w, int h, bool withAlpha)
{
    const CLfImage& picture = Picture(withAlpha);
    wxBitmap target(w, h, 24);
    wxMemoryDC dc(target);
    dc.SetBackground(wxBrush(wxColour(123, 142, 148)));
    for (auto _ : state)
        benchmark::DoNotOptimize(picture.Draw(&dc, 0, 0, w, h));
}

void BM_DrawFittedView(benchmark::State& state) { Paint(state, 1000, 750, false); }
void BM_DrawFittedViewAlpha(benchmark::State& state) { Paint(state, 1000, 750, true); }
void BM_DrawThumbnail(benchmark::State& state) { Paint(state, 88, 66, false); }

// Peer: wxImage::Scale (nearest) of the full picture, then bitmap and draw.
void BM_PeerToolkitScaleFittedView(benchmark::State& state)
{
    const wxImage full = Picture(false).MakeBitmap().ConvertToImage();
    wxBitmap target(1000, 750, 24);
    wxMemoryDC dc(target);
    for (auto _ : state) {
        const wxImage scaled = full.Scale(1000, 750, wxIMAGE_QUALITY_NEAREST);
        dc.DrawBitmap(wxBitmap(scaled, 24), 0, 0);
    }
}

}  // namespace

BENCHMARK(BM_DrawFittedView)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawFittedViewAlpha)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawThumbnail)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeerToolkitScaleFittedView)->Unit(benchmark::kMillisecond);
