// JPEG decode and encode of a 12-megapixel photo-like picture, each beside
// libjpeg's own loop on the same bytes (the codec layer should cost nothing
// measurable over it), and the manager's thumbnail path: decode, then Resample
// mode 3 to 88 x 66.
#include "image/codecs/CLfImageJPG.h"
#include "bench/BenchPictures.h"
#include "image/CLfMemoryStream.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

const CLfImage& Picture()
{
    static CLfImage img = lfbench::PhotoLikePicture(kWidth, kHeight, 16, 12, 28);
    return img;
}

const std::vector<uint8_t>& JpegBytes()
{
    static std::vector<uint8_t> bytes = lfbench::EncodedBytes<CLfImageJPG>(Picture());
    return bytes;
}

}  // namespace

static void BM_JpegDecode12MP(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = JpegBytes();
    for (auto _ : state) {
        CLfImageJPG jpg;
        CLfMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
        if (!jpg.Decode(&stream))
            state.SkipWithError(jpg.GetLastError());
        benchmark::DoNotOptimize(jpg.dib);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_JpegDecode12MP)->Unit(benchmark::kMillisecond);

// libjpeg alone: same bytes from memory, the same parameters, rows into a fresh
// image-sized buffer as a decoded image needs one.
static void BM_JpegDecode12MP_LibjpegOnly(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = JpegBytes();
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> pixels(new uint8_t[size_t(kWidth) * kHeight * 3]);
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = pixels.get() + size_t(cinfo.output_scanline) * kWidth * 3;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(pixels.get());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_JpegDecode12MP_LibjpegOnly)->Unit(benchmark::kMillisecond);

static void BM_JpegEncode12MP(benchmark::State& state)
{
    CLfImageJPG jpg;
    jpg.Ghost(&Picture());
    for (auto _ : state) {
        CLfMemoryStream stream;
        if (!jpg.Encode(&stream))
            state.SkipWithError(jpg.GetLastError());
        benchmark::DoNotOptimize(stream.Size());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_JpegEncode12MP)->Unit(benchmark::kMillisecond);

// libjpeg alone: the picture's rows as they are, output into memory.
static void BM_JpegEncode12MP_LibjpegOnly(benchmark::State& state)
{
    const CLfImage& img = Picture();
    for (auto _ : state) {
        jpeg_compress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_compress(&cinfo);
        unsigned char* out = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&cinfo, &out, &size);
        cinfo.image_width = kWidth;
        cinfo.image_height = kHeight;
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        cinfo.in_color_space = JCS_EXT_BGR;
        jpeg_set_quality(&cinfo, 85, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = img.GetBits(kHeight - 1 - cinfo.next_scanline);
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        benchmark::DoNotOptimize(size);
        std::free(out);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_JpegEncode12MP_LibjpegOnly)->Unit(benchmark::kMillisecond);

// The manager's thumbnail: decode the photo and shrink it to 88 x 66.
static void BM_JpegThumbnail12MP(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = JpegBytes();
    for (auto _ : state) {
        CLfImageJPG jpg;
        CLfMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
        if (!jpg.Decode(&stream) || !jpg.Resample(88, 66, 3))
            state.SkipWithError(jpg.GetLastError());
        benchmark::DoNotOptimize(jpg.dib);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_JpegThumbnail12MP)->Unit(benchmark::kMillisecond);
