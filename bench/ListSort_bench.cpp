// Sorting a detail list of 10,000 rows by each column, ascending and descending (the
// list's column click), beside the thumbnail grid's ordering of the same folder's
// image records. The goal: well under 100 ms for any column.
#include "manager/model/CFolderItem.h"
#include "manager/model/ListRows.h"
#include "manager/model/ManagerModes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace {

constexpr int kRows = 10000;

// Names, sizes and times as a camera folder has them, in the order a listing gives.
listrows::Rows MakeRows()
{
    std::mt19937 random(2004);
    std::uniform_real_distribution<double> kb(200.0, 9000.0);
    std::uniform_int_distribution<int64_t> seconds(1000000000, 1700000000);
    listrows::Rows rows;
    for (int i = 0; i < kRows; ++i) {
        auto row = std::make_unique<ListRowItem>();
        char name[32];
        std::snprintf(name, sizeof name, i % 3 ? "IMG_%05d.JPG" : "img_%05d.jpg", i);
        row->name = name;
        row->sizeKB = kb(random);
        row->lastWrite = seconds(random) * 1000000000;
        row->description = i % 5 ? "" : "Harbour " + std::to_string(i % 97);
        rows.push_back(std::move(row));
    }
    std::shuffle(rows.begin(), rows.end(), random);
    return rows;
}

void SortColumn(benchmark::State& state)
{
    const int column = int(state.range(0));
    const bool descending = state.range(1) != 0;
    listrows::Rows rows = MakeRows();
    std::vector<ListRowItem*> unsorted;
    for (const auto& row : rows)
        unsorted.push_back(row.get());
    for (auto _ : state) {
        state.PauseTiming();
        // Back to the listing's order, without new rows.
        for (auto& row : rows)
            (void)row.release();
        for (size_t i = 0; i < unsorted.size(); ++i)
            rows[i].reset(unsorted[i]);
        state.ResumeTiming();
        listrows::SortRows(rows, column, descending);
        benchmark::DoNotOptimize(rows.front().get());
    }
    state.SetLabel(std::string(column == 0 ? "name" : column == 1 ? "size" : "date") +
                   (descending ? " descending" : " ascending"));
}
BENCHMARK(SortColumn)
    ->ArgsProduct({{listrows::kColumnName, listrows::kColumnSize, listrows::kColumnDate}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The peer: the folder record's own ordering of 10,000 image records, as the grid sorts.
void SortFolderRecords(benchmark::State& state)
{
    const int key = int(state.range(0));
    listrows::Rows rows = MakeRows();
    for (auto _ : state) {
        state.PauseTiming();
        CFolderItem folder("bench", "/bench", 0);
        for (const auto& row : rows) {
            auto image = std::make_unique<CImageItem>(row->name, "/bench/" + row->name, int64_t(row->sizeKB * 1024), 0, 0);
            image->m_tLastWrite = row->lastWrite;
            folder.AddImage(std::move(image));
        }
        state.ResumeTiming();
        folder.SortImages(key, kSortForward);
        benchmark::DoNotOptimize(folder.Image(0));
    }
    state.SetLabel(key == kSortByName ? "name" : key == kSortBySize ? "size" : "date");
}
BENCHMARK(SortFolderRecords)->Arg(kSortByName)->Arg(kSortBySize)->Arg(kSortByFileTime)->Unit(benchmark::kMillisecond);

}  // namespace
