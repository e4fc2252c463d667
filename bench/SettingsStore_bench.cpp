// Settings are read at every start of both programs.
#include "platform/SettingsStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

static void BM_SettingsRead(benchmark::State& state)
{
    std::string dir = (std::filesystem::temp_directory_path() / "lfbench-XXXXXX").string();
    if (!mkdtemp(dir.data())) {
        state.SkipWithError("mkdtemp failed");
        return;
    }
    lfplat::SettingsStore store(dir + "/settings.ini");
    for (int i = 0; i < 20; ++i)
        store.SetInt("Software\\Lanternfolio\\Version 1.0", "Value" + std::to_string(i), i);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.GetInt("Software\\Lanternfolio\\Version 1.0", "Value7", 0));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SettingsRead);
