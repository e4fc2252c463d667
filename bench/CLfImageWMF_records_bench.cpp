// Metafile records that work pixel by pixel, each over a whole 4000 x 3000 picture,
// beside the plain solid fill of the same area: triangle and rectangle gradients, a
// fill through the exclusive-or raster operation, a flood fill, alpha-blended and
// transparent blits and a widened path.
#include "image/CLfImage.h"
#include "tests/image/codecs/MetafileBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace lftest;

namespace {

using lftest::operator+;

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

void DecodeEach(benchmark::State& state, const Bytes& file)
{
    for (auto _ : state) {
        CLfImage img;
        if (!img.Decode(file.data(), int64_t(file.size()), lfimg::kTypeWMF))
            state.SkipWithError(img.GetLastError());
        benchmark::DoNotOptimize(img.GetBits(0));
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

Bytes Picture(std::vector<EmfRecord> records)
{
    return Emf(0, 0, kWidth, kHeight, records);
}

std::vector<EmfRecord> operator+(std::vector<EmfRecord> a, const std::vector<EmfRecord>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A red brush, no pen.
std::vector<EmfRecord> RedBrush()
{
    return {{39, Ints({1, 0, 0x0000FF, 0})}, {37, Ints({1})}, {37, Ints({int64_t(0x80000008)})}};
}

EmfRecord Whole()
{
    return {43, Ints({0, 0, kWidth + 1, kHeight + 1})};
}

// EMR_GRADIENTFILL of the picture's corners: two triangles (mode 2) or one rectangle.
EmfRecord Gradient(int mode)
{
    Bytes b = Ints({0, 0, -1, -1, 4, mode == 2 ? 2 : 1, mode});
    const int corners[4][5] = {{0, 0, 0xFF00, 0, 0}, {kWidth, 0, 0, 0xFF00, 0}, {0, kHeight, 0, 0, 0xFF00}, {kWidth, kHeight, 0, 0, 0}};
    for (const auto& v : corners) {
        b = b + Ints({v[0], v[1]});
        for (int k = 2; k < 5; ++k) Put16(b, v[k]);
        Put16(b, 0);
    }
    return {118, mode == 2 ? b + Ints({0, 1, 2, 1, 2, 3}) : b + Ints({0, 3})};
}

// A stretch of a 2 x 2 picture over the whole picture: 114 alpha blend (32 bits,
// per-pixel alpha at half strength), 116 transparent blit (green left out).
EmfRecord Blit(uint32_t type)
{
    Bytes dib;
    if (type == 114) {
        dib = DibHeader(2, 2, 32, {});
        for (int v : {0, 0, 128, 128, 0, 64, 0, 64, 200, 0, 0, 255, 0, 0, 0, 0}) dib.push_back(uint8_t(v));
    } else {
        dib = Dib24(2, 2, [](int x, int y) { return x == y ? RGBQUAD{0, 255, 0, 0} : RGBQUAD{255, 0, 0, 0}; });
    }
    const int64_t rop = type == 114 ? (int64_t(128) << 16 | int64_t(1) << 24) : 0x00FF00;
    const Bytes fixed = Ints({0, 0, -1, -1, 0, 0, kWidth, kHeight, rop, 0, 0}) + Floats({1, 0, 0, 1, 0, 0}) +
                        Ints({0, 0, 0, 0, 0, 0, 2, 2});
    return EmfWithDib(type, fixed, 76, dib);
}

void BM_EmfSolidFill(benchmark::State& state)
{
    DecodeEach(state, Picture(RedBrush() + std::vector<EmfRecord>{Whole()}));
}

void BM_EmfXorFill(benchmark::State& state)
{
    DecodeEach(state, Picture(RedBrush() + std::vector<EmfRecord>{{20, Ints({7})}, Whole()}));
}

void BM_EmfGradientRectangle(benchmark::State& state)
{
    DecodeEach(state, Picture({Gradient(0)}));
}

void BM_EmfGradientTriangles(benchmark::State& state)
{
    DecodeEach(state, Picture({Gradient(2)}));
}

// The whole white picture flooded from its middle.
void BM_EmfFloodFill(benchmark::State& state)
{
    DecodeEach(state, Picture(RedBrush() + std::vector<EmfRecord>{{53, Ints({kWidth / 2, kHeight / 2, 0xFFFFFF, 1})}}));
}

void BM_EmfAlphaBlend(benchmark::State& state)
{
    DecodeEach(state, Picture({Blit(114)}));
}

void BM_EmfTransparentBlit(benchmark::State& state)
{
    DecodeEach(state, Picture({Blit(116)}));
}

// A diagonal line through the picture, widened by a pen 200 pixels wide and filled.
void BM_EmfWidenedPath(benchmark::State& state)
{
    DecodeEach(state, Picture(RedBrush() + std::vector<EmfRecord>{{38, Ints({2, 0, 200, 0, 0})}, {37, Ints({2})}, {59, {}},
                                                                  {27, Ints({0, 0})}, {54, Ints({kWidth, kHeight})}, {60, {}},
                                                                  {66, {}}, {62, Ints({0, 0, -1, -1})}}));
}

}  // namespace

BENCHMARK(BM_EmfSolidFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmfXorFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmfGradientRectangle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmfGradientTriangles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmfFloodFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmfAlphaBlend)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmfTransparentBlit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmfWidenedPath)->Unit(benchmark::kMillisecond);
