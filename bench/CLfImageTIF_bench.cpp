// TIFF decode of a 12-megapixel LZW-compressed RGB page, beside libtiff's own
// RGBA reader over the same bytes and the same stream procedures: ours should
// cost no more.
#include "image/codecs/CLfImageTIF.h"
#include "bench/BenchPictures.h"
#include "image/CLfMemoryStream.h"
#include "image/codecs/LfTiffStream.h"

#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

const std::vector<uint8_t>& TiffBytes()
{
    static const std::vector<uint8_t> bytes = [] {
        CLfImage picture = lfbench::PhotoLikePicture(kWidth, kHeight, 9, 7, 16);
        picture.info.codecOption = COMPRESSION_LZW;
        return lfbench::EncodedBytes<CLfImageTIF>(picture);
    }();
    return bytes;
}

}  // namespace

static void BM_TiffLzwDecode12MP(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = TiffBytes();
    for (auto _ : state) {
        CLfImageTIF tif;
        CLfMemoryStream stream(bytes.data(), int64_t(bytes.size()));
        if (!tif.Decode(&stream))
            state.SkipWithError(tif.GetLastError());
        benchmark::DoNotOptimize(tif.dib);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(BM_TiffLzwDecode12MP)->Unit(benchmark::kMillisecond);

// libtiff alone: TIFFReadRGBAImage of the same page into a raster of its own
// (each decode makes a new picture, as ours does).
static void BM_TiffLzwDecode12MP_LibtiffRgba(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = TiffBytes();
    for (auto _ : state) {
        std::unique_ptr<uint32_t[]> raster(new uint32_t[size_t(kWidth) * kHeight]);
        CLfMemoryStream stream(bytes.data(), int64_t(bytes.size()));
        TIFF* tif = TiffOpenStream(&stream, "r");
        if (!tif || !TIFFReadRGBAImage(tif, kWidth, kHeight, raster.get(), 1)) {
            state.SkipWithError("libtiff failed");
            if (tif)
                TIFFClose(tif);
            break;
        }
        benchmark::DoNotOptimize(raster.get());
        TIFFClose(tif);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_TiffLzwDecode12MP_LibtiffRgba)->Unit(benchmark::kMillisecond);

// The same with one raster for every decode: libtiff's decoding work alone,
// without the cost of fresh memory that every new picture has.
static void BM_TiffLzwDecode12MP_LibtiffRgbaReusedRaster(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = TiffBytes();
    std::vector<uint32_t> raster(size_t(kWidth) * kHeight);
    for (auto _ : state) {
        CLfMemoryStream stream(bytes.data(), int64_t(bytes.size()));
        TIFF* tif = TiffOpenStream(&stream, "r");
        if (!tif || !TIFFReadRGBAImage(tif, kWidth, kHeight, raster.data(), 1)) {
            state.SkipWithError("libtiff failed");
            if (tif)
                TIFFClose(tif);
            break;
        }
        benchmark::DoNotOptimize(raster.data());
        TIFFClose(tif);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_TiffLzwDecode12MP_LibtiffRgbaReusedRaster)->Unit(benchmark::kMillisecond);
