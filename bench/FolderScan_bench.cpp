// The scan of one folder of 10,000 files (9,000 pictures by name, 1,000 others) into a
// folder record, beside the bare listing it stands on: readdir with one fstatat per
// entry and nothing else. The difference is what the record costs (names, sort, image
// records).
#include "manager/model/CFolderItem.h"
#include "manager/model/FolderScan.h"

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path& Folder()
{
    static const fs::path folder = [] {
        const fs::path dir = fs::temp_directory_path() / ("lfbench-scan-" + std::to_string(getpid()));
        fs::create_directories(dir);
        for (int i = 0; i < 10000; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, i % 10 == 9 ? "note%05d.txt" : "Img%05d.JPG", i);
            const int fd = ::open((dir / name).c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
            if (fd >= 0) {
                (void)!::write(fd, "0123456789abcdef", 16);
                ::close(fd);
            }
        }
        std::atexit([] { fs::remove_all(Folder()); });
        return dir;
    }();
    return folder;
}

void BM_ScanFolder(benchmark::State& state)
{
    const std::string path = Folder().string();
    for (auto _ : state) {
        CFolderItem folder("bench", path, 0);
        benchmark::DoNotOptimize(folderscan::ScanFolder(path, folder));
        if (folder.ImageCount() != 9000)
            state.SkipWithError("wrong image count");
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_ScanFolder)->Unit(benchmark::kMillisecond);

void BM_BareListing(benchmark::State& state)
{
    const std::string path = Folder().string();
    for (auto _ : state) {
        size_t entries = 0;
        DIR* dir = opendir(path.c_str());
        while (const dirent* entry = readdir(dir)) {
            struct stat st {};
            entries += fstatat(dirfd(dir), entry->d_name, &st, 0) == 0;
        }
        closedir(dir);
        benchmark::DoNotOptimize(entries);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_BareListing)->Unit(benchmark::kMillisecond);

}  // namespace
