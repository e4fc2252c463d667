// GIF decode of a 12-megapixel 256-colour picture, beside giflib's slurp of the
// same bytes (every frame decoded into its raster): ours should cost no more.
#include "image/codecs/CLfImageGIF.h"
#include "image/CLfMemoryStream.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Smooth bands of indices with a little noise: compresses like a dithered photo.
const std::vector<uint8_t>& GifBytes()
{
    static const std::vector<uint8_t> bytes = [] {
        CLfImage img(kWidth, kHeight, 8);
        for (int i = 0; i < 256; ++i)
            img.SetPaletteColor(uint8_t(i), uint8_t(i), uint8_t(255 - i), uint8_t(i / 2));
        uint32_t seed = 12345;
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* row = img.GetBits(uint32_t(y));
            for (int x = 0; x < kWidth; ++x) {
                seed = seed * 1103515245u + 12345u;
                row[x] = uint8_t((x / 16 + y / 12) + ((seed >> 16) & 3));
            }
        }
        CLfImageGIF codec;
        codec.Ghost(&img);
        codec.info.codecOption = 2;  // LZW
        CLfMemoryStream stream;
        codec.Encode(&stream);
        return std::vector<uint8_t>(stream.GetBuffer(), stream.GetBuffer() + stream.Size());
    }();
    return bytes;
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int n)
{
    auto* r = static_cast<Reader*>(gif->UserData);
    const size_t take = std::min(size_t(n), r->size - r->pos);
    std::memcpy(out, r->data + r->pos, take);
    r->pos += take;
    return int(take);
}

}  // namespace

static void BM_GifDecode12MP(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = GifBytes();
    for (auto _ : state) {
        CLfImageGIF gif;
        CLfMemoryStream stream(bytes.data(), int64_t(bytes.size()));
        if (!gif.Decode(&stream))
            state.SkipWithError(gif.GetLastError());
        benchmark::DoNotOptimize(gif.dib);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.counters["bytes"] = double(bytes.size());
}
BENCHMARK(BM_GifDecode12MP)->Unit(benchmark::kMillisecond);

// giflib alone: the same bytes from memory through DGifSlurp.
static void BM_GifDecode12MP_GiflibSlurp(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = GifBytes();
    for (auto _ : state) {
        Reader reader{bytes.data(), bytes.size(), 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib failed");
            if (gif)
                DGifCloseFile(gif, &error);
            break;
        }
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_GifDecode12MP_GiflibSlurp)->Unit(benchmark::kMillisecond);
