// The thumbnails of a folder of 12-megapixel JPEGs: a cold pass (every image decoded,
// at reduced scale) on one worker and with the pool, a warm pass (every thumbnail from
// the cache), and beside them libjpeg's own 1/8-scale decode of the same files on one
// core. LF_BENCH_FOLDER names a folder of one's own photos to measure instead of the
// generated one. The program ends with one line:
//   folder: N images, cold X ms per image, warm Y ms per image
// (wall time of a whole pass with the pool, divided by N).
#include "bench/BenchPictures.h"
#include "image/LfCodecTable.h"
#include "image/codecs/CLfImageJPG.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CImageThread.h"
#include "manager/model/CQuorixState.h"
#include "platform/FolderPaths.h"
#include "manager/model/ThumbnailCache.h"
#include "platform/StringSort.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <jpeglib.h>
#include <sys/stat.h>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kGeneratedImages = 16;
constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

struct BenchFolder {
    std::string path;
    std::vector<std::string> names;  // image files, sorted
    std::string scratch;             // our own temporary folder (cache root, generated images)
    std::string cacheDir;            // filled by the warm-up pass

    ~BenchFolder()
    {
        if (!scratch.empty()) {
            std::error_code ec;
            fs::remove_all(scratch, ec);
        }
    }
};

BenchFolder& Folder()
{
    static BenchFolder folder = [] {
        BenchFolder f;
        std::string pattern = (fs::temp_directory_path() / "thumbnail-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::fprintf(stderr, "cannot make a temporary folder\n");
            std::exit(1);
        }
        f.scratch = pattern;
        if (const char* own = std::getenv("LF_BENCH_FOLDER"); own && *own) {
            f.path = own;
        } else {
            f.path = f.scratch + "/images";
            fs::create_directory(f.path);
            // Photograph-like pictures, each a little different, written an hour ago so
            // that the cache bitmaps written now count as fresh.
            for (int i = 0; i < kGeneratedImages; ++i) {
                CLfImage picture = lfbench::PhotoLikePicture(kWidth, kHeight, 16 + i % 5, 12 + i % 3, 28 + i);
                const std::string name = f.path + "/photo" + std::to_string(100 + i) + ".jpg";
                picture.Save(name.c_str(), lfimg::kTypeJPG);
                const time_t past = std::time(nullptr) - 3600;
                timespec times[2] = {{past, 0}, {past, 0}};
                utimensat(AT_FDCWD, name.c_str(), times, 0);
            }
        }
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(f.path, ec))
            if (entry.is_regular_file() && IsImageFileName(entry.path().filename().string()))
                f.names.push_back(entry.path().filename().string());
        SortStringArray(f.names);
        return f;
    }();
    return folder;
}

std::unique_ptr<CFolderItem> FreshRecords()
{
    const BenchFolder& f = Folder();
    auto folder = std::make_unique<CFolderItem>(f.path, f.path, 0);
    for (const std::string& name : f.names)
        folder->AddImage(std::make_unique<CImageItem>(name, JoinPath(f.path, name), 0, 0, 0));
    return folder;
}

CQuorixState& State()
{
    static CQuorixState state(Folder().scratch + "/settings.ini");
    return state;
}

struct PassResult {
    double seconds = 0;
    int decoded = 0;
    int fromCache = 0;
};

PassResult RunPass(CFolderItem& folder, const std::string& cacheDir, int workers)
{
    CImageThread pass(State(), folder, CImageThread::Settings{cacheDir, "", workers}, {});
    const auto start = std::chrono::steady_clock::now();
    pass.InitInstance();
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double>(end - start).count(), pass.DecodeCount(), pass.CacheHitCount()};
}

// Writes the cache of the folder once (as the manager's close does) and remembers it.
const std::string& CacheDir()
{
    BenchFolder& f = Folder();
    if (f.cacheDir.empty()) {
        auto folder = FreshRecords();
        RunPass(*folder, "", 0);
        ThumbnailCache cache(f.scratch + "/Lanternfolio");
        cache.WriteAtClose({folder.get()}, {});
        ThumbnailCache reread(f.scratch + "/Lanternfolio");
        reread.ReadCacheIndex();
        f.cacheDir = reread.GetCacheDirName(f.path);
    }
    return f.cacheDir;
}

void ReportPerImage(benchmark::State& state, double seconds)
{
    const double images = double(Folder().names.size());
    state.counters["ms_per_image"] = benchmark::Counter(seconds * 1000.0 / images / double(state.iterations()));
}

uint32_t ImageTypeOfName(const std::string& name) { return lfimg::ImageTypeFromExtension(PathExtension(name)); }

// libjpeg's error exit jumps back here instead of ending the program.
struct JumpingError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void JumpOut(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<JumpingError*>(cinfo->err)->jump, 1);
}

// One file at 1/8 scale into buffer (grown as needed); false when libjpeg refuses it.
bool DecodeEighth(FILE* file, std::vector<uint8_t>& buffer)
{
    jpeg_decompress_struct cinfo;
    JumpingError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JumpOut;
    err.mgr.output_message = [](j_common_ptr) {};
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = 8;
    if (cinfo.jpeg_color_space == JCS_YCbCr || cinfo.jpeg_color_space == JCS_RGB)
        cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const size_t stride = size_t(cinfo.output_width) * size_t(cinfo.output_components);
    buffer.resize(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = buffer.data() + size_t(cinfo.output_scanline) * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

// libjpeg alone on one core: each JPEG file read from disk and decoded at 1/8 scale,
// nothing else.
static void BM_LibjpegEighthScaleDecode(benchmark::State& state)
{
    const BenchFolder& f = Folder();
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const std::string& name : f.names) {
            if (ImageTypeOfName(name) != lfimg::kTypeJPG)
                continue;
            FILE* file = std::fopen(JoinPath(f.path, name).c_str(), "rb");
            if (!file)
                continue;
            std::vector<uint8_t> pixels;
            DecodeEighth(file, pixels);
            std::fclose(file);
            benchmark::DoNotOptimize(pixels.data());
        }
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    ReportPerImage(state, total);
}
BENCHMARK(BM_LibjpegEighthScaleDecode)->Unit(benchmark::kMillisecond)->UseRealTime();

// A cold pass: no cache, every image decoded. Argument: workers (0: the pool's default).
static void BM_ColdPass(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = FreshRecords();
        state.ResumeTiming();
        const PassResult r = RunPass(*folder, "", int(state.range(0)));
        total += r.seconds;
        if (r.decoded != int(Folder().names.size()))
            state.SkipWithError("a cold pass must decode every image");
    }
    ReportPerImage(state, total);
}
BENCHMARK(BM_ColdPass)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// A warm pass: every thumbnail from the cache written by an earlier close.
static void BM_WarmPass(benchmark::State& state)
{
    const std::string& cacheDir = CacheDir();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = FreshRecords();
        state.ResumeTiming();
        const PassResult r = RunPass(*folder, cacheDir, int(state.range(0)));
        total += r.seconds;
        if (r.decoded != 0)
            state.SkipWithError("a warm pass must decode nothing");
    }
    ReportPerImage(state, total);
}
BENCHMARK(BM_WarmPass)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    // One whole pass of each kind with the pool, as a user meets them.
    const size_t n = Folder().names.size();
    if (n == 0) {
        std::printf("folder: 0 images\n");
        return 0;
    }
    auto cold = FreshRecords();
    const PassResult c = RunPass(*cold, "", 0);
    auto warm = FreshRecords();
    const PassResult w = RunPass(*warm, CacheDir(), 0);
    std::printf("folder: %zu images, cold %.1f ms per image, warm %.2f ms per image\n", n, c.seconds * 1000.0 / double(n),
                w.seconds * 1000.0 / double(n));
    return w.decoded == 0 ? 0 : 1;
}
