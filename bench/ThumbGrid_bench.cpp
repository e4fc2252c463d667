// Painting the thumbnail grid into a memory drawing context: a full grid of 1,000 cells
// with thumbnails (every cell drawn), one screen of it (the first paint of a folder),
// and one cell (what a finished thumbnail repaints), beside the bare blit of the same
// cells' background pictures. Needs an X display (run under xvfb-run).
#include "manager/model/CFolderItem.h"
#include "manager/ui/CImageView.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/ThumbGrid.h"

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/init.h>

#include <unistd.h>

#include <filesystem>
#include <memory>

namespace {

constexpr int kImages = 1000;  // the full grid must fit one drawing surface (32767 pixels high)
constexpr int kColumns = 5;

struct Grid {
    Grid()
    {
        session = std::filesystem::temp_directory_path() / ("lfbench-grid-" + std::to_string(getpid()) + ".sess");
        doc = std::make_unique<CQuorixDoc>(nullptr, session.string());
        auto folder = std::make_unique<CFolderItem>("bench", "/bench", 0);
        for (int i = 0; i < kImages; ++i) {
            auto image = std::make_unique<CImageItem>("picture-" + std::to_string(i) + ".jpg",
                                                      "/bench/picture-" + std::to_string(i) + ".jpg", 123456, 0, 0);
            auto pixels = std::make_shared<ThumbnailPixels>();
            pixels->width = 88;
            pixels->height = 66;
            pixels->rgb.assign(88 * 66 * 3, static_cast<uint8_t>(i));
            image->SetThumbnails(pixels, pixels);
            image->m_bSelected = i % 7 == 0;
            folder->AddImage(std::move(image));
        }
        folder->m_bThumbsNeeded = false;
        doc->SetCurrentFolder(std::move(folder));
        view = std::make_unique<CImageView>();
        view->SetDocument(doc.get());
    }
    ~Grid()
    {
        view.reset();
        (void)doc.release();  // a document deletes itself with its last view
        std::filesystem::remove(session);
    }
    std::filesystem::path session;
    std::unique_ptr<CQuorixDoc> doc;
    std::unique_ptr<CImageView> view;
};

void Paint(benchmark::State& state, const wxRect& region)
{
    Grid grid;
    const thumbgrid::Extent extent = thumbgrid::ScrollExtent(kImages, kColumns, 0, 0);
    wxBitmap target(extent.width, std::min(extent.height, region.GetBottom() + 1), 24);
    wxMemoryDC dc(target);
    grid.view->PaintGrid(dc, region);  // the thumbnails' bitmaps are made once
    for (auto _ : state)
        grid.view->PaintGrid(dc, region);
}

void BM_PaintFullGrid(benchmark::State& state)
{
    const thumbgrid::Extent extent = thumbgrid::ScrollExtent(kImages, kColumns, 0, 0);
    Paint(state, wxRect(0, 0, extent.width, extent.height));
    state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(BM_PaintFullGrid)->Unit(benchmark::kMillisecond);

void BM_PaintOneScreen(benchmark::State& state)
{
    Paint(state, wxRect(0, 0, 540, 700));
    state.SetItemsProcessed(state.iterations() * 30);
}
BENCHMARK(BM_PaintOneScreen)->Unit(benchmark::kMicrosecond);

void BM_PaintOneCell(benchmark::State& state)
{
    const RECT cell = thumbgrid::CellRect(734, kColumns);
    Paint(state, wxRect(cell.left, cell.top, thumbgrid::kCellWidth, thumbgrid::kCellHeight));
}
BENCHMARK(BM_PaintOneCell)->Unit(benchmark::kMicrosecond);

// The floor: blitting one 100 x 114 picture per cell of the full grid.
void BM_BlitBackgroundsOnly(benchmark::State& state)
{
    const thumbgrid::Extent extent = thumbgrid::ScrollExtent(kImages, kColumns, 0, 0);
    wxBitmap target(extent.width, extent.height, 24);
    wxBitmap cellPicture(thumbgrid::kCellWidth, thumbgrid::kCellHeight, 24);
    wxMemoryDC dc(target);
    for (auto _ : state)
        for (int i = 0; i < kImages; ++i) {
            const RECT cell = thumbgrid::CellRect(i, kColumns);
            dc.DrawBitmap(cellPicture, cell.left, cell.top);
        }
    state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(BM_BlitBackgroundsOnly)->Unit(benchmark::kMillisecond);

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(BenchApp);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    wxInitializer init(argc, argv);
    if (!init.IsOk())
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
