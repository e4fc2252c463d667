#include "image/codecs/CLfImageJAS.h"

#include "image/CLfMemoryStream.h"
#include "tests/image/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

using namespace lftest;

namespace {

// A source picture: pixel (x, y) from the top-left, values on 0..maxValue.
struct Source {
    int w, h, channels;
    uint32_t maxValue;
    std::function<uint32_t(int x, int y, int c)> f;

    // As a binary PNM file (P5 or P6, two bytes a sample above 255).
    Bytes Pnm() const
    {
        const std::string head = std::string(channels == 3 ? "P6" : "P5") + "\n" + std::to_string(w) + " " +
                                 std::to_string(h) + "\n" + std::to_string(maxValue) + "\n";
        Bytes out(head.begin(), head.end());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < channels; ++c) {
                    const uint32_t v = f(x, y, c);
                    if (maxValue > 255)
                        out.push_back(uint8_t(v >> 8));
                    out.push_back(uint8_t(v));
                }
        return out;
    }
    // What the decoder should give: 8-bit red, green, blue, top row first.
    Bytes Expected() const
    {
        Bytes out;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    const uint32_t v = f(x, y, channels == 3 ? c : 0);
                    out.push_back(uint8_t((uint64_t(v) * 255 + maxValue / 2) / maxValue));
                }
        return out;
    }
};

const Source kRgb{40, 33, 3, 255, [](int x, int y, int c) { return uint32_t((x * 7 + y * 3 + c * 50) % 256); }};
const Source kGrey{41, 32, 1, 255, [](int x, int y, int) { return uint32_t((x * 5 + y * 9) % 256); }};
const Source kRgb12{36, 34, 3, 4095, [](int x, int y, int c) { return uint32_t((x * 113 + y * 71 + c * 1000) % 4096); }};

bool Shell(const std::string& command)
{
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

std::unique_ptr<CLfImage> LoadAny(const std::filesystem::path& file)
{
    auto img = std::make_unique<CLfImage>();
    EXPECT_TRUE(img->Load(file.string().c_str(), 0)) << file << ": " << img->GetLastError();
    return img;
}

std::unique_ptr<CLfImage> DecodeBytes(const Bytes& data, uint32_t type = 0, int frame = 0)
{
    auto img = std::make_unique<CLfImage>();
    img->info.frame = frame;
    img->Decode(data.data(), int64_t(data.size()), type);
    return img;
}

// A picture as a 24-bit image.
std::unique_ptr<CLfImage> ImageOf(const Source& s)
{
    auto img = std::make_unique<CLfImage>();
    auto decoded = DecodeBytes(s.Pnm(), lfimg::kTypePNM);
    img->Transfer(*decoded);
    return img;
}

}  // namespace

TEST(CLfImageJAS, OpenJpegFilesLoadThroughTheTrialAndMatchTheirSources)
{
    TempDir dir;
    struct Case {
        std::string name;
        const Source* source;
        std::string options;
    } cases[] = {
        {"rgb.jp2", &kRgb, "-n 3"},
        {"rgb.j2k", &kRgb, "-n 3"},
        {"grey.jp2", &kGrey, "-n 3"},
        {"rgb12.j2k", &kRgb12, "-n 3"},  // 12-bit samples, scaled rather than cut
    };
    for (const Case& c : cases) {
        const auto src = dir / (c.name + (c.source->channels == 3 ? ".ppm" : ".pgm"));
        WriteBytes(src, c.source->Pnm());
        ASSERT_TRUE(Shell("opj_compress -i '" + src.string() + "' -o '" + (dir / c.name).string() + "' " + c.options))
            << c.name;
        auto img = LoadAny(dir / c.name);
        ASSERT_TRUE(img->IsValid()) << c.name;
        EXPECT_EQ(img->GetType(), 0u) << c.name;
        EXPECT_EQ(img->GetBpp(), c.source->channels == 3 ? 24u : 8u) << c.name;
        EXPECT_EQ(ImageRgb(*img), c.source->Expected()) << c.name;
        if (c.source->channels == 1) {
            EXPECT_TRUE(img->IsGrayScale());
            EXPECT_EQ(img->info.frameCount, 1);
        }
    }
    // The grey file has no second component.
    auto second = DecodeBytes(ReadBytes(dir / "grey.jp2"), 0, 1);
    EXPECT_FALSE(second->IsValid());
    CLfImageJAS direct;
    direct.info.frame = 1;
    const Bytes greyFile = ReadBytes(dir / "grey.jp2");
    CLfMemoryStream stream(greyFile.data(), int64_t(greyFile.size()));
    EXPECT_FALSE(direct.Decode(&stream, lfimg::kTypeJP2));
    EXPECT_STREQ(direct.GetLastError(), "wrong frame!");
    EXPECT_EQ(direct.info.frameCount, 1);
    // An explicit id becomes the image's type.
    EXPECT_EQ(DecodeBytes(ReadBytes(dir / "rgb.j2k"), lfimg::kTypeJPC)->GetType(), uint32_t(lfimg::kTypeJPC));
}

TEST(CLfImageJAS, SubsampledChromaBecomesRgbAsTheReferenceDecoderMakesIt)
{
    TempDir dir;
    const int w = 64, h = 48;
    Bytes planes;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) planes.push_back(uint8_t((x * 3 + y * 5) % 256));
    for (int c = 0; c < 2; ++c)
        for (int y = 0; y < h / 2; ++y)
            for (int x = 0; x < w / 2; ++x) planes.push_back(uint8_t(c ? 200 - x * 3 - y * 2 : 60 + x * 4 + y));
    WriteBytes(dir / "planes.raw", planes);
    ASSERT_TRUE(Shell("opj_compress -i '" + (dir / "planes.raw").string() + "' -o '" + (dir / "c420.j2k").string() +
                    "' -F 64,48,3,8,u@1x1:2x2:2x2 -n 3"));
    ASSERT_TRUE(Shell("opj_decompress -i '" + (dir / "c420.j2k").string() + "' -o '" + (dir / "ref.ppm").string() + "'"));
    auto img = LoadAny(dir / "c420.j2k");
    ASSERT_EQ(img->GetBpp(), 24u);
    auto ref = LoadAny(dir / "ref.ppm");
    const Bytes ours = ImageRgb(*img), theirs = ImageRgb(*ref);
    ASSERT_EQ(ours.size(), theirs.size());
    int worst = 0;
    for (size_t i = 0; i < ours.size(); ++i)
        worst = std::max(worst, std::abs(int(ours[i]) - int(theirs[i])));
    EXPECT_LE(worst, 2);
}

TEST(CLfImageJAS, CompanionFormatsLoadThroughTheTrial)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick makes these fixtures";
    TempDir dir;
    WriteBytes(dir / "rgb.ppm", kRgb.Pnm());
    WriteBytes(dir / "grey.pgm", kGrey.Pnm());
    const std::string rgb = (dir / "rgb.ppm").string(), grey = (dir / "grey.pgm").string();
    struct Case {
        std::string name, command;
        const Source* source;
    } cases[] = {
        {"rgb.ppm", "true", &kRgb},
        {"grey.pgm", "true", &kGrey},
        {"ascii.ppm", "convert '" + rgb + "' -compress none ", &kRgb},
        {"rgb.ras", "convert '" + rgb + "' ", &kRgb},
        {"grey.ras", "convert '" + grey + "' -type Grayscale ", &kGrey},
        // OpenJPEG writes the PGX (ImageMagick pads odd rows).
        {"grey.pgx",
         "opj_compress -n 3 -i '" + grey + "' -o '" + (dir / "grey.j2k").string() + "' && opj_decompress -i '" +
             (dir / "grey.j2k").string() + "' -o '" + (dir / "opj.pgx").string() + "' && mv '" +
             (dir / "opj_0.pgx").string() + "' ",
         &kGrey},
    };
    for (const Case& c : cases) {
        const auto file = dir / c.name;
        if (c.command != "true") {
            ASSERT_TRUE(Shell(c.command + "'" + file.string() + "'")) << c.name;
        }
        auto img = LoadAny(file);
        ASSERT_TRUE(img->IsValid()) << c.name;
        EXPECT_EQ(ImageRgb(*img), c.source->Expected()) << c.name;
    }
    // Two-colour files: 1 is black.
    ASSERT_TRUE(Shell("convert -size 19x7 pattern:checkerboard -monochrome '" + (dir / "bits.pbm").string() + "'"));
    ASSERT_TRUE(Shell("convert '" + (dir / "bits.pbm").string() + "' -compress none '" + (dir / "text.pbm").string() + "'"));
    for (const char* name : {"bits.pbm", "text.pbm"}) {
        auto img = LoadAny(dir / name);
        ASSERT_TRUE(img->IsValid()) << name;
        EXPECT_EQ(img->GetBpp(), 1u);
        EXPECT_EQ(ImageRgb(*img), MagickRgb((dir / name).string())) << name;
    }
}

TEST(CLfImageJAS, OurFilesReadBackInOtherTools)
{
    TempDir dir;
    auto rgb = ImageOf(kRgb);
    auto grey = DecodeBytes(kGrey.Pnm(), lfimg::kTypePNM);
    ASSERT_TRUE(rgb->IsValid() && grey->IsValid());
    rgb->info.quality = 100;  // lossless
    grey->info.quality = 0;   // lossless too
    struct Case {
        std::string name;
        CLfImage* image;
        uint32_t type;
        const Source* source;
    } cases[] = {
        {"ours.jp2", rgb.get(), lfimg::kTypeJP2, &kRgb},  {"ours.j2k", rgb.get(), lfimg::kTypeJPC, &kRgb},
        {"grey.jp2", grey.get(), lfimg::kTypeJP2, &kGrey}, {"ours.ppm", rgb.get(), lfimg::kTypePNM, &kRgb},
        {"grey.pgm", grey.get(), lfimg::kTypePNM, &kGrey}, {"ours.ras", rgb.get(), lfimg::kTypeRAS, &kRgb},
        {"grey.ras", grey.get(), lfimg::kTypeRAS, &kGrey}, {"grey.pgx", grey.get(), lfimg::kTypePGX, &kGrey},
    };
    for (const Case& c : cases) {
        const auto file = dir / c.name;
        ASSERT_TRUE(c.image->Save(file.string().c_str(), c.type)) << c.name << ": " << c.image->GetLastError();
        if (HaveImageMagick()) {
            EXPECT_EQ(MagickRgb(file.string()), c.source->Expected()) << c.name;
        }
        // Our own reader agrees.
        EXPECT_EQ(ImageRgb(*LoadAny(file)), c.source->Expected()) << c.name;
    }
    // OpenJPEG's own decoder reads the codestreams.
    for (const char* name : {"ours.jp2", "ours.j2k"}) {
        const auto out = dir / (std::string(name) + ".ppm");
        ASSERT_TRUE(Shell("opj_decompress -i '" + (dir / name).string() + "' -o '" + out.string() + "'")) << name;
        EXPECT_EQ(ImageRgb(*LoadAny(out)), kRgb.Expected()) << name;
    }
    // And its encoder reads our PGX.
    EXPECT_TRUE(Shell("opj_compress -i '" + (dir / "grey.pgx").string() + "' -o '" + (dir / "pgx.j2k").string() + "' -n 3"));

    // A rate below 1 is lossy: smaller, and still close.
    rgb->info.quality = 20;
    ASSERT_TRUE(rgb->Save((dir / "lossy.jp2").string().c_str(), lfimg::kTypeJP2));
    EXPECT_LT(std::filesystem::file_size(dir / "lossy.jp2"), std::filesystem::file_size(dir / "ours.jp2"));
    EXPECT_TRUE(LoadAny(dir / "lossy.jp2")->IsValid());
}

TEST(CLfImageJAS, EncoderRefusals)
{
    auto rgb = ImageOf(kRgb);
    auto bits = MakePicture(8, 4, 1);  // black and white: not the grey ramp
    struct Case {
        CLfImage* image;
        uint32_t type;
        const char* error;
    } cases[] = {
        {rgb.get(), lfimg::kTypePGX, "PGX can save only GrayScale images"},
        {bits.get(), lfimg::kTypeJP2, "JasPer can save only RGB or GrayScale images"},
    };
    for (const Case& c : cases) {
        CLfMemoryStream stream;
        EXPECT_FALSE(c.image->Encode(&stream, c.type));
        EXPECT_STREQ(c.image->GetLastError(), c.error);
    }
    CLfImageJAS codec;
    codec.Ghost(rgb.get());
    CLfMemoryStream stream;
    EXPECT_FALSE(codec.Encode(&stream, lfimg::kTypeBMP));
    EXPECT_STREQ(codec.GetLastError(), "error: cannot encode image\n");
}

TEST(CLfImageJAS, SmallFormatsFromTheirBytes)
{
    const auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    // Signed 8-bit PGX: -128 is the bottom of the range, 127 the top.
    auto pgx = DecodeBytes(With(text("PG ML -8 2 1\n"), {0x80, 0x7F}));
    ASSERT_TRUE(pgx->IsValid()) << pgx->GetLastError();
    EXPECT_EQ(pgx->GetPixelIndex(0, 0), 0);
    EXPECT_EQ(pgx->GetPixelIndex(1, 0), 255);
    // 12-bit little-endian PGX: 4095 is white, 2048 mid-grey.
    auto pgx12 = DecodeBytes(With(text("PG LM +12 2 1\n"), {0xFF, 0x0F, 0x00, 0x08}));
    ASSERT_TRUE(pgx12->IsValid()) << pgx12->GetLastError();
    EXPECT_EQ(pgx12->GetPixelIndex(0, 0), 255);
    EXPECT_EQ(pgx12->GetPixelIndex(1, 0), 128);

    // Sun raster, run-length encoded with a colour map: 0x80 2 1 is three pixels of
    // index 1; 0x80 0 is one byte 0x80, here index 128 outside the map (black).
    Bytes ras = {0x59, 0xA6, 0x6A, 0x95};
    for (uint32_t v : {5u, 1u, 8u, 6u, 2u, 1u, 6u})  // 5 x 1, 8 bits, run-length, RGB map of 6 bytes
        for (int s = 24; s >= 0; s -= 8) ras.push_back(uint8_t(v >> s));
    ras.insert(ras.end(), {10, 20, 30, 40, 50, 60});  // reds, greens, blues of entries 0 and 1
    ras.insert(ras.end(), {0, 0x80, 2, 1, 0x80, 0, 0});
    auto sun = DecodeBytes(ras);
    ASSERT_TRUE(sun->IsValid()) << sun->GetLastError();
    EXPECT_EQ(Str(Colour(*sun, 0, 0)), Str(Rgb(10, 30, 50)));
    EXPECT_EQ(Str(Colour(*sun, 3, 0)), Str(Rgb(20, 40, 60)));
    EXPECT_EQ(Str(Colour(*sun, 4, 0)), Str(Rgb(0, 0, 0)));
}

TEST(CLfImageJAS, DamagedAndHostileFilesFailPromptly)
{
    const auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    struct Case {
        std::string what;
        Bytes data;
        std::string error;
    } cases[] = {
        {"huge PNM", With(text("P6\n2000000000 2000000000\n255\n"), Bytes(16, 0)), "exceeded"},
        {"short PNM", With(text("P5\n4 4\n255\n"), Bytes(15, 7)), "PNM data ends"},
        {"PNM maximum 0", With(text("P5\n1 1\n0\n"), Bytes(1, 0)), "maximum value 0"},
        {"PGX depth 17", With(text("PG ML +17 1 1\n"), Bytes(4, 0)), "depth above 16"},
        {"short PGX", With(text("PG ML +8 4 4\n"), Bytes(3, 0)), "PGX data ends"},
        {"RAS depth 7", With({0x59, 0xA6, 0x6A, 0x95, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 7}, Bytes(16, 0)), "depth 7"},
        {"not a picture", text("hello, world"), "Decode: Unknown or wrong format"},
    };
    for (const Case& c : cases) {
        auto img = DecodeBytes(c.data, c.error.rfind("Decode", 0) == 0 ? 0u : uint32_t(lfimg::kTypePNM));
        EXPECT_FALSE(img->IsValid()) << c.what;
        EXPECT_NE(std::string(img->GetLastError()).find(c.error), std::string::npos)
            << c.what << ": " << img->GetLastError();
    }
    // Every cut of a good codestream fails cleanly.
    const Bytes good = ReadBytes(Corpus("generated/jp2/lossy_r20.j2k"));
    ASSERT_TRUE(DecodeBytes(good)->IsValid());
    for (size_t cut = 0; cut < good.size(); cut += 1 + good.size() / 40)
        EXPECT_FALSE(DecodeBytes(Bytes(good.begin(), good.begin() + long(cut)), lfimg::kTypeJPC)->IsValid()) << cut;
    EXPECT_FALSE(DecodeBytes(ReadBytes(Corpus("generated/jp2/bad_truncated.jp2")))->IsValid());
}

TEST(CLfImageJAS, CorpusFilesMatchImageMagick)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick reads the reference pixels";
    for (const char* name : {"lossless.jp2", "levels2_layers3.jp2", "tiled32_rpcl.jp2", "lossy_r20.j2k"}) {
        const auto file = Corpus(std::string("generated/jp2/") + name);
        auto img = LoadAny(file);
        ASSERT_TRUE(img->IsValid()) << name;
        EXPECT_EQ(ImageRgb(*img), MagickRgb(file.string())) << name;
    }
}
