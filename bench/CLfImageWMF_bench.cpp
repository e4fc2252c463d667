// Metafiles whose drawing could grow faster than the file: one long polyline (its
// time should grow with its points), lines with dashes far below a pixel beside the
// same lines solid, a file of filled and stroked paths, a million line records and
// single records of megabytes.
#include "image/CLfImage.h"
#include "tests/image/codecs/MetafileBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace lftest;

namespace {

// Points scattered over a w x h box, the same ones every run.
struct Scatter {
    uint32_t seed = 12345;
    int Next(int range)
    {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % uint32_t(range));
    }
};

void DecodeEach(benchmark::State& state, const Bytes& file)
{
    for (auto _ : state) {
        CLfImage img;
        const bool ok = img.Decode(file.data(), int64_t(file.size()), lfimg::kTypeWMF);
        if (!ok)
            state.SkipWithError(img.GetLastError());
        benchmark::DoNotOptimize(img.GetBits(0));
    }
    state.counters["MB"] = double(file.size()) / 1e6;
}

// One Polyline16 record of range(0) points over 200 x 100 pixels, pen range(1) pixels
// wide; range(2) 1: the points all in a corner of 20 x 10 pixels (short segments).
Bytes PolylineWmf(int points, int penWidth, int spread)
{
    Scatter s;
    std::vector<int> words = {points};
    for (int i = 0; i < points; ++i) {
        words.push_back(s.Next(200 / spread));
        words.push_back(s.Next(100 / spread));
    }
    return PlaceableWmf(0, 0, 200, 100, 96, {{0x02FA, {0, penWidth, 0, 0, 0}}, {0x012D, {0}}, {0x0325, words}});
}

void BM_WmfPolyline(benchmark::State& state)
{
    DecodeEach(state, PolylineWmf(int(state.range(0)), int(state.range(1)), state.range(2) ? 10 : 1));
}

// The parameters of an EMF record of count 16-bit points scattered over w x h.
Bytes EmfPoints16(int count, int w, int h, Scatter&& s = {})
{
    Bytes points = Ints({0, 0, 0, 0, count});
    for (int i = 0; i < count; ++i) {
        Put16(points, s.Next(w));
        Put16(points, s.Next(h));
    }
    return points;
}

// 48,000 points over 800 x 600 pixels in one EMF Polyline16, pen 3 pixels wide.
void BM_EmfPolylineLarge(benchmark::State& state)
{
    DecodeEach(state, Emf(0, 0, 800, 600,
                          {{38, Ints({1, 0, 3, 0, 0x0000FF})}, {37, Ints({1})}, {87, EmfPoints16(48000, 800, 600)}}));
}

// A thousand lines over 400 x 400 pixels with a geometric pen six pixels wide;
// logical units are a twentieth of a pixel, so user dashes of 1 and 2 units are far
// below a pixel. range(0): 0 solid, 1 dashed, 2 dashed with flat caps.
void BM_EmfWideLines(benchmark::State& state)
{
    const bool dashed = state.range(0) != 0;
    std::vector<EmfRecord> records = {
        {35, Floats({0.05f, 0, 0, 0.05f, 0, 0})},
        {95, Ints({1, 0, 0, 0, 0, (dashed ? 0x10007 : 0x10000) | (state.range(0) == 2 ? 0x200 : 0), 120, 0, 0, 0, 2, 1, 2})},
        {37, Ints({1})},
    };
    Scatter s;
    for (int i = 0; i < 1000; ++i) {
        records.push_back({27, Ints({s.Next(8000), s.Next(8000)})});
        records.push_back({54, Ints({s.Next(8000), s.Next(8000)})});
    }
    DecodeEach(state, Emf(0, 0, 400, 400, records));
}

// range(0) paths of 20,000 points each over 400 x 300 pixels (40 paths: 3.2 MB),
// filled and stroked (range(1) 63), filled (62) or stroked (64).
void BM_EmfStrokeAndFillPaths(benchmark::State& state)
{
    std::vector<EmfRecord> records = {{39, Ints({1, 0, 0x00FF00, 0})}, {37, Ints({1})}};
    for (int64_t n = 0; n < state.range(0); ++n) {
        records.push_back({59, {}});
        records.push_back({86, EmfPoints16(20000, 400, 300, Scatter{uint32_t(n + 1)})});
        records.push_back({60, {}});
        records.push_back({uint32_t(state.range(1)), Ints({0, 0, 0, 0})});
    }
    DecodeEach(state, Emf(0, 0, 400, 300, records));
}

// A million LineTo records (10 MB) over 400 x 300 pixels.
void BM_WmfMillionLineTo(benchmark::State& state)
{
    Scatter s;
    std::vector<WmfRecord> records;
    records.reserve(1000000);
    for (int i = 0; i < 1000000; ++i) records.push_back({0x0213, {s.Next(300), s.Next(400)}});
    DecodeEach(state, PlaceableWmf(0, 0, 400, 300, 96, records));
}

// One EMF record of 2.5 million points (10 MB) over 400 x 300 pixels: a polyline
// (range(0) 0), a filled polygon (1) or a polygon made the clip of a filled rectangle (2).
void BM_EmfTenMegabyteRecord(benchmark::State& state)
{
    const uint32_t type = state.range(0) ? 86 : 87;
    std::vector<EmfRecord> records = {{39, Ints({1, 0, 0x00FF00, 0})}, {37, Ints({1})}};
    if (state.range(0) == 2)
        records.push_back({59, {}});
    records.push_back({type, EmfPoints16(2500000, 400, 300)});
    if (state.range(0) == 2) {
        records.push_back({60, {}});
        records.push_back({67, Ints({5})});
        records.push_back({43, Ints({0, 0, 400, 300})});
    }
    DecodeEach(state, Emf(0, 0, 400, 300, records));
}

// range(0) StretchDIBits records, each a 2 x 2 picture stretched over the whole
// 4000 x 4000 picture with an operation that mixes source and destination.
void BM_EmfStretchedBitmaps(benchmark::State& state)
{
    const Bytes dib = Dib24(2, 2, [](int x, int y) { return RGBQUAD{uint8_t(x * 255), uint8_t(y * 255), 0, 0}; });
    std::vector<EmfRecord> records;
    for (int64_t i = 0; i < state.range(0); ++i) {
        Bytes fixed = Ints({0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 0, 0x660046, 4000, 4000});
        records.push_back(EmfWithDib(81, fixed, 40, dib));
    }
    DecodeEach(state, Emf(0, 0, 4000, 4000, records));
}

// One ExtTextOutW record of 4 million characters (8 MB) in a font range(0) pixels high,
// over 400 x 300 pixels.
void BM_EmfLongText(benchmark::State& state)
{
    std::string text(4000000, 'x');
    for (size_t i = 0; i < text.size(); i += 7) text[i] = char('a' + i % 26);
    DecodeEach(state, Emf(0, 0, 400, 300,
                          {EmfFont(1, -int(state.range(0))), {37, Ints({1})}, EmfText(0, 150, text)}));
}

}  // namespace

BENCHMARK(BM_EmfLongText)->Arg(1)->Arg(12)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_EmfStretchedBitmaps)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_WmfPolyline)
    ->ArgsProduct({{3000, 12000, 48000}, {1, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_EmfPolylineLarge)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_EmfWideLines)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_EmfStrokeAndFillPaths)->Args({40, 63})->Args({40, 62})->Args({40, 64})->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_WmfMillionLineTo)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_EmfTenMegabyteRecord)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);
