// PNG decode and encode of a 4-megapixel picture, each beside libpng's own loop on
// the same bytes: the codec layer should cost nothing measurable over libpng.
#include "image/codecs/CLfImagePNG.h"
#include "bench/BenchPictures.h"
#include "image/CLfMemoryStream.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 2304;
constexpr int kHeight = 1728;

const CLfImage& Picture()
{
    static CLfImage img = lfbench::PhotoLikePicture(kWidth, kHeight, 9, 7, 16);
    return img;
}

const std::vector<uint8_t>& PngBytes()
{
    static std::vector<uint8_t> bytes = lfbench::EncodedBytes<CLfImagePNG>(Picture());
    return bytes;
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t n)
{
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (r->size - r->pos < n) png_error(png, "short");
    std::memcpy(out, r->data + r->pos, n);
    r->pos += n;
}

void Discard(png_structp png, png_bytep, size_t n)
{
    *static_cast<size_t*>(png_get_io_ptr(png)) += n;
}

void NoFlush(png_structp) {}

}  // namespace

static void BM_PngDecode4MP(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = PngBytes();
    for (auto _ : state) {
        CLfImagePNG png;
        CLfMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
        if (!png.Decode(&stream)) state.SkipWithError(png.GetLastError());
        benchmark::DoNotOptimize(png.dib);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PngDecode4MP)->Unit(benchmark::kMillisecond);

// libpng alone: same bytes, same transformation, rows into one buffer.
static void BM_PngDecode4MP_LibpngOnly(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = PngBytes();
    std::vector<uint8_t> row(kWidth * 3);
    for (auto _ : state) {
        Reader reader{bytes.data(), bytes.size(), 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_read_struct(&png, &info, nullptr);
            state.SkipWithError("libpng failed");
            break;
        }
        png_set_read_fn(png, &reader, ReadFromMemory);
        png_read_info(png, info);
        png_set_bgr(png);
        png_read_update_info(png, info);
        for (int y = 0; y < kHeight; ++y) png_read_row(png, row.data(), nullptr);
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(row.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PngDecode4MP_LibpngOnly)->Unit(benchmark::kMillisecond);

static void BM_PngEncode4MP(benchmark::State& state)
{
    CLfImagePNG png;
    png.Ghost(&Picture());
    for (auto _ : state) {
        CLfMemoryStream stream;
        if (!png.Encode(&stream)) state.SkipWithError(png.GetLastError());
        benchmark::DoNotOptimize(stream.Size());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PngEncode4MP)->Unit(benchmark::kMillisecond);

// libpng alone: the same rows (already RGB) written to a counting sink.
static void BM_PngEncode4MP_LibpngOnly(benchmark::State& state)
{
    const CLfImage& img = Picture();
    std::vector<uint8_t> row(kWidth * 3);
    for (auto _ : state) {
        size_t written = 0;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_write_struct(&png, &info);
            state.SkipWithError("libpng failed");
            break;
        }
        png_set_write_fn(png, &written, Discard, NoFlush);
        png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = kHeight - 1; y >= 0; --y) {
            std::memcpy(row.data(), img.GetBits(static_cast<uint32_t>(y)), row.size());
            png_write_row(png, row.data());
        }
        png_write_end(png, info);
        png_destroy_write_struct(&png, &info);
        benchmark::DoNotOptimize(written);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PngEncode4MP_LibpngOnly)->Unit(benchmark::kMillisecond);
