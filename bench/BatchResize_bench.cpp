// Batch resize of a folder of 12-megapixel JPEGs to 800 pixels wide: the manager's job on
// the machine's cores, beside ImageMagick's `mogrify -resize 800x` over the same files.
// The job runs twice: with the pixel sizes the manager has measured (JPEGs then decode at
// a reduced scale) and with unmeasured records (every picture decoded whole). Each
// benchmark writes into an empty folder of its own. LF_BENCH_FOLDER names a folder of
// one's own JPEGs to use instead of the generated ones; LF_BENCH_IMAGES sets how many are
// generated (100 by default).
#include "batch/model/BatchResizeJob.h"
#include "bench/BenchPictures.h"
#include "image/CLfImage.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

struct BenchFolder {
    fs::path scratch;
    fs::path images;
    std::vector<batch::ResizeItem> items;

    ~BenchFolder()
    {
        std::error_code ec;
        fs::remove_all(scratch, ec);
    }
};

BenchFolder& Folder()
{
    static BenchFolder folder = [] {
        BenchFolder f;
        char pattern[] = "/tmp/lfbench-resize-XXXXXX";
        f.scratch = ::mkdtemp(pattern);
        if (const char* own = std::getenv("LF_BENCH_FOLDER")) {
            f.images = own;
        } else {
            f.images = f.scratch / "images";
            fs::create_directories(f.images);
            const int count = std::getenv("LF_BENCH_IMAGES") ? std::atoi(std::getenv("LF_BENCH_IMAGES")) : 100;
            CLfImage picture = lfbench::PhotoLikePicture(kWidth, kHeight, 17, 13, 29);
            uint8_t* bytes = nullptr;
            int64_t size = 0;
            picture.info.quality = 90;
            picture.Encode(bytes, size, lfimg::kTypeJPG);
            for (int i = 0; i < count; ++i) {
                std::ofstream out(f.images / ("photo" + std::to_string(1000 + i) + ".jpg"), std::ios::binary);
                out.write(reinterpret_cast<const char*>(bytes), size);
            }
            std::free(bytes);
        }
        for (const auto& entry : fs::directory_iterator(f.images)) {
            const std::string name = entry.path().filename().string();
            if (entry.path().extension() != ".jpg")
                continue;
            CLfImage header;
            header.info.neededSide = 1;  // only the size is wanted
            header.Load(entry.path().c_str(), lfimg::kTypeJPG);
            const int width = header.info.fullWidth > 0 ? header.info.fullWidth : header.GetWidth();
            const int height = header.info.fullHeight > 0 ? header.info.fullHeight : header.GetHeight();
            f.items.push_back({entry.path().string(), name, width, height, true});
        }
        std::sort(f.items.begin(), f.items.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
        return f;
    }();
    return folder;
}

fs::path EmptyOutput(const std::string& name)
{
    const fs::path out = Folder().scratch / name;
    std::error_code ec;
    fs::remove_all(out, ec);
    fs::create_directories(out);
    return out;
}

void RunJob(benchmark::State& state, bool measured)
{
    std::vector<batch::ResizeItem> items = Folder().items;
    if (!measured)
        for (auto& item : items)
            item.width = item.height = 0;
    batch::ResizeSettings settings;
    settings.mode = batch::kResizeWidth;
    settings.width = 800;
    settings.qualityOn = false;  // the pictures keep their quality, as with mogrify
    for (auto _ : state) {
        state.PauseTiming();
        settings.outputFolder = EmptyOutput("job").string();
        state.ResumeTiming();
        std::atomic<bool> cancel{false};
        const batch::ResizeResult result =
            batch::BatchResizeJob(items, settings, {}).Run(cancel, batch::BatchResizeJob::DefaultThreads());
        if (!result.Complete())
            state.SkipWithError("the job did not resize every image");
    }
    state.counters["images"] = double(items.size());
    state.counters["threads"] = batch::BatchResizeJob::DefaultThreads();
}

void BM_BatchResizeJob_Measured(benchmark::State& state) { RunJob(state, true); }
void BM_BatchResizeJob_Unmeasured(benchmark::State& state) { RunJob(state, false); }

void BM_Mogrify(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path out = EmptyOutput("mogrify");
        const std::string command =
            "mogrify -path '" + out.string() + "' -resize 800x '" + Folder().images.string() + "'/*.jpg";
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("mogrify failed");
    }
    state.counters["images"] = double(Folder().items.size());
}

}  // namespace

BENCHMARK(BM_BatchResizeJob_Measured)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_BatchResizeJob_Unmeasured)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Mogrify)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
