// The editor opening a 24-megapixel JPEG and composing its best-fit picture for a
// 1000 x 750 window (the document's open road, then the visible area sampled at
// display size), beside libjpeg's own full decode of the same file.
#include "bench/BenchPictures.h"
#include "editor/model/JpegOptions.h"
#include "editor/model/BestFit.h"
#include "editor/model/CPixoroDocModel.h"
#include "editor/model/CPixoroState.h"
#include "editor/model/DocPrompts.h"
#include "image/codecs/CLfImageJPG.h"
#include "image/ops/LfDrawCompose.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kWindowWidth = 1000;
constexpr int kWindowHeight = 750;

// The picture written once into a folder of its own.
const std::string& JpegFile()
{
    static const std::string path = [] {
        const auto folder = std::filesystem::temp_directory_path() / "pixoro-open-bench";
        std::filesystem::create_directories(folder);
        const std::string file = (folder / "photo24mp.jpg").string();
        const std::vector<uint8_t> bytes =
            lfbench::EncodedBytes<CLfImageJPG>(lfbench::PhotoLikePicture(kWidth, kHeight, 16, 12, 28));
        FILE* f = std::fopen(file.c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return file;
    }();
    return path;
}

class SilentPrompts : public DocPrompts {
public:
    Answer AskYesNoCancel(const std::string&, const std::string&) override { return Answer::Cancel; }
    void ShowMessage(const std::string&, Icon) override {}
    bool AskJpegOptions(JpegOptions&, bool) override { return false; }
    bool AskSaveFileName(std::string&, int&) override { return false; }
};

}  // namespace

static void BM_PixoroOpenAndBestFit24MP(benchmark::State& state)
{
    const std::string& file = JpegFile();
    CPixoroState appState("/dev/null");
    SilentPrompts prompts;
    std::vector<uint8_t> rgb;
    for (auto _ : state) {
        CPixoroDocModel doc(appState, prompts);
        if (!doc.OpenDocument(file)) {
            state.SkipWithError("open failed");
            break;
        }
        const CLfImage& image = *doc.GetImage();
        const DisplaySize size = BestFitSize(image.GetWidth(), image.GetHeight(), kWindowWidth, kWindowHeight);
        rgb.resize(size_t(size.width) * size.height * 3);
        const LfDrawArea area{0, 0, size.width, size.height};
        LfComposeArea(image, 0, 0, size.width, size.height, area, LfDrawMode(image), RGBQUAD{}, rgb.data(),
                      nullptr);
        benchmark::DoNotOptimize(rgb.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PixoroOpenAndBestFit24MP)->Unit(benchmark::kMillisecond);

// libjpeg alone: the same file decoded in full into an image-sized buffer.
static void BM_LibjpegFullDecode24MP(benchmark::State& state)
{
    const std::string& file = JpegFile();
    for (auto _ : state) {
        FILE* f = std::fopen(file.c_str(), "rb");
        if (!f) {
            state.SkipWithError("no file");
            break;
        }
        std::unique_ptr<uint8_t[]> pixels(new uint8_t[size_t(kWidth) * kHeight * 3]);
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr err;
        cinfo.err = jpeg_std_error(&err);
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, f);
        jpeg_read_header(&cinfo, TRUE);
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = pixels.get() + size_t(cinfo.output_scanline) * kWidth * 3;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(f);
        benchmark::DoNotOptimize(pixels.get());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_LibjpegFullDecode24MP)->Unit(benchmark::kMillisecond);
