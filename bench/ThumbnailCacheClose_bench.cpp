// The manager's close writes a thumbnail pair (.bmp and .dat) for every picture shown in
// this run. A cache can always be rebuilt, so its files skip the per-file sync; the
// second benchmark shows what a sync per file would cost for the same number of files.
#include "manager/model/CFolderItem.h"
#include "manager/model/ThumbnailCache.h"
#include "platform/AtomicFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kPictures = 2000;

std::string MakeTempFolder()
{
    std::string dir = (std::filesystem::temp_directory_path() / "lfbench-XXXXXX").string();
    return mkdtemp(dir.data()) ? dir : std::string();
}

std::unique_ptr<CFolderItem> FolderWithThumbnails(const std::string& dir)
{
    auto folder = std::make_unique<CFolderItem>(dir, dir, 0);
    auto fitted = std::make_shared<ThumbnailPixels>();
    fitted->width = 88;
    fitted->height = 66;
    fitted->rgb.assign(size_t(88) * 66 * 3, 0x80);
    for (int i = 0; i < kPictures; ++i) {
        const std::string name = "picture-" + std::to_string(i) + ".jpg";
        std::ofstream(dir + "/" + name) << "jpeg";
        auto image = std::make_unique<CImageItem>(name, dir + "/" + name, 4, 0, 0);
        image->SetThumbnails(fitted, fitted);
        image->m_nWidth = 880;
        image->m_nHeight = 660;
        folder->AddImage(std::move(image));
    }
    return folder;
}

// One close after a folder of 2,000 new thumbnails: 4,000 cache files and the index.
void BM_CloseAfter2000NewThumbnails(benchmark::State& state)
{
    const std::string dir = MakeTempFolder();
    if (dir.empty()) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    std::filesystem::create_directory(dir + "/pictures");
    const auto folder = FolderWithThumbnails(dir + "/pictures");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(dir + "/cache");
        ThumbnailCache cache(dir + "/cache");
        state.ResumeTiming();
        cache.WriteAtClose({folder.get()}, {});
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_CloseAfter2000NewThumbnails)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// 4,000 files of a thumbnail's size through the atomic writer, with and without the
// per-file sync (argument 1: synced).
void BM_4000CacheSizedFiles(benchmark::State& state)
{
    const std::string dir = MakeTempFolder();
    if (dir.empty()) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    const auto sync = state.range(0) ? lfplat::AtomicSync::Durable : lfplat::AtomicSync::NoSync;
    const std::string bytes(54 + 264 * 66, 'x');
    for (auto _ : state)
        for (int i = 0; i < 2 * kPictures; ++i)
            lfplat::WriteFileAtomically(dir + "/f" + std::to_string(i), bytes, 0666, nullptr, sync);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_4000CacheSizedFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
