// The codecs over libjpeg, libpng and libtiff decode on the loader threads: good,
// damaged and refused files decoded on several threads at once give each caller
// exactly the result and message it gets alone. Error handlers that shared a
// buffer or a jump point between threads would mix them up (and the thread
// sanitizer build reports any race outright).

#include "image/codecs/CLfImageJPG.h"
#include "image/codecs/CLfImagePNG.h"
#include "image/codecs/CLfImageTIF.h"
#include "tests/image/CodecTestUtil.h"
#include "tests/image/codecs/MetafileBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace lftest;

namespace {

struct Outcome {
    bool ok = false;
    std::string message;
    Bytes pixels;
    bool operator==(const Outcome&) const = default;
};

template <class Codec>
Outcome DecodeOnce(const Bytes& file)
{
    Codec codec;
    CLfMemoryStream stream(file.data(), int64_t(file.size()));
    Outcome out;
    out.ok = codec.Decode(&stream);
    out.message = codec.GetLastError();
    if (out.ok)
        out.pixels = Rgba(codec);
    return out;
}

struct Job {
    std::string name;
    Bytes file;
    bool decodes;  // whether the file decodes or is refused
    std::function<Outcome(const Bytes&)> decode;
};

template <class Codec>
Job MakeJob(const std::string& name, Bytes file, bool decodes)
{
    return {name, std::move(file), decodes, DecodeOnce<Codec>};
}

template <class Codec>
Bytes Encoded(const CLfImage& img)
{
    Bytes f;
    EXPECT_TRUE(EncodeTo<Codec>(img, f));
    return f;
}

TEST(LibraryCodecThreads, ConcurrentDecodesKeepTheirOwnResultsAndMessages)
{
    const Bytes jpeg = ReadBytes(Corpus("generated/orient/F_orient6.jpg"));  // with EXIF
    const Bytes png = ReadBytes(Corpus("pngsuite/png/basi6a08.png"));
    auto tiffPicture = MakePicture(31, 17, 24, true);
    tiffPicture->info.codecOption = 5;  // LZW
    const Bytes tiff = Encoded<CLfImageTIF>(*tiffPicture);

    Bytes pngBadCrc = png;
    pngBadCrc[29] ^= 0xFF;  // the header chunk's checksum
    Bytes tiffCut(tiff.begin(), tiff.begin() + long(tiff.size() / 2));
    const Bytes text{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};

    std::vector<Job> jobs;
    jobs.push_back(MakeJob<CLfImageJPG>("jpeg", jpeg, true));
    // libjpeg warns and fills in the rest.
    jobs.push_back(MakeJob<CLfImageJPG>("jpeg cut short", Bytes(jpeg.begin(), jpeg.begin() + long(jpeg.size() * 2 / 3)), true));
    jobs.push_back(MakeJob<CLfImageJPG>("not a jpeg", text, false));
    jobs.push_back(MakeJob<CLfImagePNG>("png", png, true));
    jobs.push_back(MakeJob<CLfImagePNG>("png with a bad checksum", pngBadCrc, false));
    jobs.push_back(MakeJob<CLfImagePNG>("not a png", text, false));
    jobs.push_back(MakeJob<CLfImageTIF>("tiff", tiff, true));
    jobs.push_back(MakeJob<CLfImageTIF>("tiff cut short", tiffCut, false));
    jobs.push_back(MakeJob<CLfImageTIF>("not a tiff", text, false));

    std::vector<Outcome> alone;
    for (const Job& job : jobs) {
        SCOPED_TRACE(job.name);
        alone.push_back(job.decode(job.file));
        EXPECT_EQ(alone.back().ok, job.decodes) << alone.back().message;
        EXPECT_EQ(alone.back().message.empty(), job.decodes);
    }

    constexpr int kThreads = 6;
    constexpr int kRounds = 12;
    std::atomic<int> mismatches{0};
    std::vector<std::string> firstMismatch(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                for (size_t k = 0; k < jobs.size(); ++k) {
                    // Each thread walks the jobs from a different start, so that
                    // different codecs fail at the same moment.
                    const size_t i = (k + size_t(t) * 2 + size_t(round)) % jobs.size();
                    if (!(jobs[i].decode(jobs[i].file) == alone[i])) {
                        ++mismatches;
                        if (firstMismatch[t].empty())
                            firstMismatch[t] = jobs[i].name;
                    }
                }
            }
        });
    }
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(mismatches.load(), 0);
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(firstMismatch[t], "") << "thread " << t;
}

// A JPEG of many megapixels decodes in bands on threads of its own; two such decodes at
// once (as two loader threads do) give each the picture it gets alone.
TEST(LibraryCodecThreads, AJpegDecodedInBandsGivesTheSamePictureOnEveryThread)
{
    constexpr uint32_t kWidth = 3000, kHeight = 2700;
    CLfImage picture;
    ASSERT_TRUE(picture.Create(kWidth, kHeight, 24, 0));
    // Grain, so that the file is as large as a photo's and takes the banded road.
    uint32_t seed = 1;
    for (uint32_t y = 0; y < kHeight; ++y) {
        uint8_t* row = picture.GetBits(y);
        for (uint32_t i = 0; i < kWidth * 3; ++i) {
            seed = seed * 1103515245u + 12345u;
            row[i] = uint8_t(i / 8 + y / 4 + (seed >> 29));
        }
    }
    const Bytes jpeg = Encoded<CLfImageJPG>(picture);
    ASSERT_GT(jpeg.size(), size_t(256) << 10);
    auto decode = [&jpeg](Bytes& pixels) {
        CLfImageJPG codec;
        CLfMemoryStream stream(jpeg.data(), int64_t(jpeg.size()));
        if (codec.Decode(&stream))
            pixels.assign(codec.GetBits(0), codec.GetBits(0) + size_t(codec.GetRowBytes()) * kHeight);
    };
    Bytes alone;
    decode(alone);
    ASSERT_EQ(alone.size(), size_t(picture.GetRowBytes()) * kHeight);
    std::vector<Bytes> together(2);
    {
        std::vector<std::jthread> threads;
        for (Bytes& pixels : together)
            threads.emplace_back([&] { decode(pixels); });
    }
    for (const Bytes& pixels : together)
        EXPECT_TRUE(pixels == alone);
}

// Metafiles are drawn on the thumbnail threads: text through the font library, a
// clip, a path and a stretched picture drawn on several threads at once come out
// as they do alone.
TEST(LibraryCodecThreads, MetafilesDrawTheSameOnEveryThread)
{
    const Bytes picture = Dib24(2, 2, [](int x, int y) { return Rgb(uint8_t(200 * x), uint8_t(200 * y), 90); });
    Bytes stretch = Ints({0, 0, -1, -1, 10, 10, 0, 0, 2, 2, 0, 0, 0, 0, 0, 0xCC0020, 60, 40});
    const Bytes emf = Emf(0, 0, 160, 80,
                          {EmfFont(1, -24, 0, 300, 700, true, true), {37, Ints({1})}, {30, Ints({5, 5, 150, 75})},
                           EmfText(20, 50, "Threads"), {59, {}}, {42, Ints({100, 10, 150, 60})}, {60, {}},
                           {62, Ints({0, 0, 0, 0})}, EmfWithDib(81, stretch, 40, picture)});
    const Bytes wmf = PlaceableWmf(0, 0, 160, 80, 96,
                                   {{0x02FB, WmfFont(-30)}, {0x012D, {0}},
                                    {0x0521, std::vector<int>{4} + Words(std::string("Wmf!")) + std::vector<int>{10, 10}}});
    const auto decode = [](const Bytes& file) {
        CLfImage img;
        img.Decode(file.data(), int64_t(file.size()), lfimg::kTypeWMF);
        return img.IsValid() ? Rgba(img) : Bytes();
    };
    const Bytes aloneEmf = decode(emf), aloneWmf = decode(wmf);
    ASSERT_FALSE(aloneEmf.empty());
    ASSERT_FALSE(aloneWmf.empty());
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 4; ++round) {
                const bool first = (t + round) % 2 == 0;
                if (decode(first ? emf : wmf) != (first ? aloneEmf : aloneWmf))
                    ++mismatches;
            }
        });
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
