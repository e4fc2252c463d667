// One graphical-text preview as the dialog draws it on the window's thread: the text
// rendered into the reduced picture (300 x 230, the preview box) with the toolkit's
// rasterizer, then the pane painted into a memory context. Ordinary settings against
// the dialog's limits (height 99 pixels, character and line spacing 999, forty
// characters on lines of their own), free and centred. Needs a display (run it under xvfb-run).
#include "bench/BenchGuiMain.h"
#include "bench/BenchPictures.h"
#include "graphictext/model/GraphicTextRender.h"
#include "graphictext/ui/CDlgWaterImageView.h"
#include "graphictext/ui/CWxTextRasterizer.h"

#include <benchmark/benchmark.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 230;

GraphicTextSettings Settings(bool limits, bool centred)
{
    GraphicTextSettings s;
    s.unit = "Pixels";
    s.fontFace = "DejaVu Sans";
    s.visibility = 60;
    s.colour = RGB(200, 30, 30);
    s.centred = centred;
    if (limits) {
        // Forty characters, each on a line of its own (79 of the 81 characters the
        // edit takes, with the line feeds the multi-line edit gives).
        const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN";
        for (char c : letters) {
            if (!s.text.empty())
                s.text += '\n';
            s.text += c;
        }
        s.heightText = "99";
        s.charSpacingText = "999";
        s.lineSpacingText = "999";
    } else {
        s.text = "Lanternfolio\r\n2026";
        s.heightText = "24";
    }
    return s;
}

void Preview(benchmark::State& state, bool limits, bool centred)
{
    static const CLfImage reduced = lfbench::PhotoLikePicture(kWidth, kHeight, 2, 2, 3);
    wxFrame frame(nullptr, wxID_ANY, "bench", wxDefaultPosition, wxSize(kWidth + 20, kHeight + 20));
    auto* pane = new CDlgWaterImageView(&frame, wxRect(0, 0, kWidth, kHeight), wxRect(0, 0, kWidth, kHeight),
                                        kEditorTextStyle.rule);
    GraphicTextSettings settings = Settings(limits, centred);
    CWxTextRasterizer rasterizer;
    CLfImage working;
    wxBitmap target(kWidth, kHeight, 24);
    for (auto _ : state) {
        TextPosition& position = pane->Position();
        position = TextPosition{};
        const PreviewRendering out =
            centred ? RenderCentredPreview(reduced, working, settings, position, rasterizer, kEditorTextStyle)
                    : RenderFreePreview(reduced, working, settings, position, rasterizer, kEditorTextStyle);
        pane->SetShownImage(&working);
        pane->SetRaster(out.raster, out.blockWidth, out.blockHeight, settings.colour, settings.visibility);
        wxMemoryDC dc(target);
        pane->Render(dc);
        benchmark::DoNotOptimize(out.blockWidth);
    }
}

void BM_PreviewOrdinary(benchmark::State& state) { Preview(state, false, false); }
void BM_PreviewOrdinaryCentred(benchmark::State& state) { Preview(state, false, true); }
void BM_PreviewDialogLimits(benchmark::State& state) { Preview(state, true, false); }
void BM_PreviewDialogLimitsCentred(benchmark::State& state) { Preview(state, true, true); }

BENCHMARK(BM_PreviewOrdinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewOrdinaryCentred)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewDialogLimits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewDialogLimitsCentred)->Unit(benchmark::kMillisecond);

}  // namespace
