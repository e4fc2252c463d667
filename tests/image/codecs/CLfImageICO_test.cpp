#include "image/codecs/CLfImageICO.h"

#include "tests/image/CodecTestUtil.h"

#include <gtest/gtest.h>

using namespace lftest;

namespace {

Bytes EncodeIcon(const CLfImage& img)
{
    Bytes file;
    std::string error;
    EXPECT_TRUE(EncodeTo<CLfImageICO>(img, file, &error)) << error;
    return file;
}

// One icon file from the single images of several icon files we wrote.
Bytes JoinIcons(const std::vector<Bytes>& icons)
{
    const size_t n = icons.size();
    Bytes out{0, 0, 1, 0, uint8_t(n), 0};
    Bytes data;
    uint32_t offset = uint32_t(6 + 16 * n);
    for (const Bytes& icon : icons) {
        Bytes entry(icon.begin() + 6, icon.begin() + 22);
        const Bytes image(icon.begin() + 22, icon.end());
        lfdib::PutLE32(&entry[12], offset + uint32_t(data.size()));
        out.insert(out.end(), entry.begin(), entry.end());
        data.insert(data.end(), image.begin(), image.end());
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

struct Look {
    const char* name;
    uint32_t bpp;
    int trans;  // transparent index, or 0 with the colour of pixel (0, 0) for 24 bits
    bool alpha;
};

std::unique_ptr<CLfImage> Picture(const Look& look, int w, int h)
{
    auto img = MakePicture(w, h, look.bpp, look.alpha);
    img->info.transIndex = look.trans;
    if (look.bpp == 24 && look.trans >= 0) {
        img->info.transColor = img->GetPixelColor(0, 0);
        img->info.transColor.rgbReserved = 0;
    }
    return img;
}

const Look kLooks[] = {
    {"1 bit", 1, -1, false},    {"1 bit, index 1", 1, 1, false}, {"4 bits", 4, -1, false},
    {"4 bits, index 3", 4, 3, false}, {"8 bits", 8, -1, false}, {"8 bits, index 7", 8, 7, false},
    {"24 bits", 24, -1, false}, {"24 bits, colour", 24, 0, false}, {"24 bits, alpha", 24, -1, true},
};

TEST(CLfImageICO, RoundTripKeepsPicturesAndTransparency)
{
    for (const Look& look : kLooks) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{33, 3}, std::pair{255, 255}}) {
            SCOPED_TRACE(std::string(look.name) + " " + std::to_string(w) + "x" + std::to_string(h));
            auto img = Picture(look, w, h);
            auto back = DecodeFrom<CLfImageICO>(EncodeIcon(*img));
            ASSERT_TRUE(back->IsValid()) << back->GetLastError();
            EXPECT_EQ(back->GetBpp(), look.bpp);
            EXPECT_EQ(back->GetType(), uint32_t(lfimg::kTypeICO));
            EXPECT_EQ(back->info.frameCount, 1);
            EXPECT_TRUE(SamePicture(*img, *back));
        }
    }
}

TEST(CLfImageICO, MaskBecomesTheSimplestTransparency)
{
    // 16 colours, index 15 unused, index 2 transparent: the free index takes the mask
    auto four = MakePicture(8, 8, 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            four->SetPixelIndex(x, y, uint8_t((x + y) % 15));
    four->info.transIndex = 2;
    auto back = DecodeFrom<CLfImageICO>(EncodeIcon(*four));
    ASSERT_TRUE(back->IsValid());
    EXPECT_EQ(back->info.transIndex, 15);
    EXPECT_EQ(back->alpha, nullptr);
    EXPECT_EQ(back->GetPixelIndex(2, 0), 15);
    EXPECT_EQ(back->GetPixelIndex(1, 0), 1);

    // 256 colours, every index in use: the mask stays an alpha plane
    auto full = MakePicture(16, 16, 8);
    for (int i = 0; i < 256; ++i)
        full->SetPixelIndex(i % 16, i / 16, uint8_t(i));
    full->info.transIndex = 9;
    back = DecodeFrom<CLfImageICO>(EncodeIcon(*full));
    ASSERT_TRUE(back->IsValid());
    ASSERT_NE(back->alpha, nullptr);
    EXPECT_EQ(back->AlphaGet(9, 0), 0);
    EXPECT_EQ(back->AlphaGet(8, 0), 255);

    // 24 bits, every masked pixel black: a transparent colour, no plane
    auto rgb = MakePicture(6, 4, 24);
    rgb->SetPixelColor(1, 1, RGBQUAD{0, 0, 0, 0});
    rgb->SetPixelColor(3, 2, RGBQUAD{0, 0, 0, 0});
    rgb->info.transIndex = 0;
    rgb->info.transColor = RGBQUAD{0, 0, 0, 0};
    back = DecodeFrom<CLfImageICO>(EncodeIcon(*rgb));
    ASSERT_TRUE(back->IsValid());
    EXPECT_EQ(back->alpha, nullptr);
    EXPECT_EQ(back->info.transIndex, 0);
    EXPECT_EQ(back->info.transColor.rgbRed, 0);

    // no mask bit at all: no plane, no transparent index
    back = DecodeFrom<CLfImageICO>(EncodeIcon(*MakePicture(5, 5, 8)));
    ASSERT_TRUE(back->IsValid());
    EXPECT_EQ(back->alpha, nullptr);
    EXPECT_EQ(back->info.transIndex, -1);
}

TEST(CLfImageICO, AlphaPlaneIsWrittenAs32Bits)
{
    auto img = MakePicture(4, 2, 24, true);
    img->AlphaSet(uint8_t(200));
    img->AlphaSet(1, 0, 0);
    const Bytes f = EncodeIcon(*img);
    EXPECT_EQ(lfdib::GetLE16(&f[6 + 6]), 32) << "entry bit count";
    EXPECT_EQ(lfdib::GetLE16(&f[22 + 14]), 32) << "header bit count";
    const size_t mask = 22 + 40 + 4 * 2 * 4;
    ASSERT_EQ(f.size(), mask + 8);
    EXPECT_EQ(f[mask], 0x40) << "pixel 1 of the bottom row is masked";
}

TEST(CLfImageICO, SidesUpTo255AreWritten)
{
    Bytes file;
    std::string error;
    EXPECT_TRUE(EncodeTo<CLfImageICO>(*MakePicture(255, 255, 4), file, &error));
    for (auto [w, h] : {std::pair{256, 256}, std::pair{256, 10}, std::pair{10, 300}}) {
        EXPECT_FALSE(EncodeTo<CLfImageICO>(*MakePicture(w, h, 4), file, &error));
        EXPECT_EQ(error, "Can't save this image as icon");
    }
    auto img = MakePicture(40, 40, 8);
    CLfImageICO codec;
    codec.Ghost(img.get());
    ShortWriteStream stream(300);
    EXPECT_FALSE(codec.Encode(&stream));
    EXPECT_STREQ(codec.GetLastError(), "icon write failed");
}

TEST(CLfImageICO, FrameChoosesTheImage)
{
    auto small = MakePicture(8, 8, 8);
    auto large = MakePicture(20, 12, 24, true);
    const Bytes f = JoinIcons({EncodeIcon(*small), EncodeIcon(*large)});
    auto first = DecodeFrom<CLfImageICO>(f, 0);
    auto second = DecodeFrom<CLfImageICO>(f, 1);
    ASSERT_TRUE(first->IsValid() && second->IsValid());
    EXPECT_TRUE(SamePicture(*small, *first));
    EXPECT_TRUE(SamePicture(*large, *second));
    EXPECT_EQ(second->info.frameCount, 2);
    auto third = DecodeFrom<CLfImageICO>(f, 2);
    EXPECT_FALSE(third->IsValid());
    EXPECT_EQ(third->info.frameCount, 2);
    EXPECT_STREQ(third->GetLastError(), "icon 2 not found: the file has 2");
}

Bytes Patched(Bytes f, size_t at, std::initializer_list<uint8_t> bytes)
{
    std::copy(bytes.begin(), bytes.end(), f.begin() + long(at));
    return f;
}

TEST(CLfImageICO, LoadSaveAndTrialReachTheCodec)
{
    lftest::TempDir dir;
    const std::string path = (dir / "a.ico").string();
    auto img = MakePicture(24, 24, 24, true);
    ASSERT_TRUE(img->Save(path.c_str(), lfimg::kTypeICO)) << img->GetLastError();
    for (uint32_t type : {uint32_t(lfimg::kTypeICO), uint32_t(lfimg::kTypeUnknown), uint32_t(lfimg::kTypePNG)}) {
        CLfImage back(path.c_str(), type);
        ASSERT_TRUE(back.IsValid()) << type << ": " << back.GetLastError();
        EXPECT_EQ(back.GetType(), uint32_t(lfimg::kTypeICO));
        EXPECT_TRUE(SamePicture(*img, back));
    }
    CLfImage second;
    second.info.frame = 1;
    EXPECT_FALSE(second.Load(path.c_str(), lfimg::kTypeICO));
    EXPECT_EQ(second.info.frameCount, 1);
}

// The directory's size holds where the bitmap header says otherwise.
TEST(CLfImageICO, DirectorySizeOverridesTheBitmapHeader)
{
    auto picture = MakePicture(16, 16, 8);
    const Bytes good = EncodeIcon(*picture);
    struct Case {
        const char* what;
        Bytes data;
    } cases[] = {
        {"header width 17", Patched(good, 22 + 4, {17})},
        {"header width -16", Patched(good, 22 + 4, {0xF0, 0xFF, 0xFF, 0xFF})},
        {"header height 16, not twice", Patched(good, 22 + 8, {16})},
        {"header size 0 x 0", Patched(good, 22 + 4, {0, 0, 0, 0, 0, 0, 0, 0})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto img = DecodeFrom<CLfImageICO>(c.data);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(img->GetWidth(), 16);
        EXPECT_EQ(img->GetHeight(), 16);
        EXPECT_TRUE(SamePicture(*picture, *img));
    }
}

TEST(CLfImageICO, HostileFilesAreRefused)
{
    const Bytes good = EncodeIcon(*MakePicture(16, 16, 8));
    ASSERT_TRUE(DecodeFrom<CLfImageICO>(good)->IsValid());
    Bytes png = Patched(good, 22, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
    struct Case {
        const char* what;
        Bytes data;
        const char* error;
    } cases[] = {
        {"empty", {}, "Not an icon file"},
        {"reserved 1", Patched(good, 0, {1}), "Not an icon file"},
        {"type 2", Patched(good, 2, {2}), "Not an icon file"},
        {"directory cut", Bytes(good.begin(), good.begin() + 12), "icon directory is cut short"},
        {"no images", Patched(Bytes(good.begin(), good.begin() + 6), 4, {0}), "icon 0 not found: the file has 0"},
        {"entry past the end", Patched(good, 6 + 8, {0xFF, 0xFF, 0, 0}), "icon 0: 65535 bytes at offset 22 lie outside the file"},
        {"entry inside the directory", Patched(good, 6 + 12, {4, 0, 0, 0}), "icon 0: 1384 bytes at offset 4 lie outside the file"},
        {"256-size entry over a 16-pixel image", Patched(good, 6, {0, 0}), "icon bitmap is cut short"},
        {"16 bits", Patched(good, 22 + 14, {16}), "icon bitmap of 16 bits per pixel"},
        {"compression 3", Patched(good, 22 + 16, {3}), "icon bitmap with compression 3"},
        {"pixels cut", Patched(good, 6, {0x40}), "icon bitmap is cut short"},
        {"header size past the image", Patched(good, 22, {0xFF, 0xFF}), "icon bitmap header of 65535 bytes"},
        {"broken PNG", png, "icon image stored as PNG: "},
    };
    for (const auto& c : cases) {
        auto img = DecodeFrom<CLfImageICO>(c.data);
        EXPECT_FALSE(img->IsValid()) << c.what;
        EXPECT_EQ(std::string(img->GetLastError()).rfind(c.error, 0), 0u) << c.what << ": " << img->GetLastError();
    }
    for (size_t cut = 1; cut < good.size(); cut += 97)
        ExpectCutRefused<CLfImageICO>(good, cut);
}

TEST(CLfImageICO, CorpusFilesMatchImageMagick)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    struct Case {
        const char* name;
        int frame;
        int side;
    } cases[] = {{"multi_16-256.ico", 0, 256}, {"multi_16-256.ico", 1, 48}, {"multi_16-256.ico", 2, 32},
                 {"multi_16-256.ico", 3, 16},  {"single_32.ico", 0, 32},    {"single_32.cur", 0, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " frame " + std::to_string(c.frame));
        const auto file = Corpus(std::string("generated/ico/") + c.name);
        auto img = DecodeFile<CLfImageICO>(file, c.frame);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(img->GetWidth(), c.side);
        EXPECT_EQ(img->info.frameCount, c.name[0] == 'm' ? 4 : 1);
        EXPECT_TRUE(MatchesMagick(*img, MagickRgba(file.string() + "[" + std::to_string(c.frame) + "]")));
    }
}

TEST(CLfImageICO, ImageMagickReadsOurFiles)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    lftest::TempDir dir;
    const auto path = dir / "out.ico";
    for (const Look& look : kLooks) {
        SCOPED_TRACE(look.name);
        auto img = Picture(look, 33, 3);
        lftest::WriteBytes(path, EncodeIcon(*img));
        EXPECT_EQ(MagickIdentify(path), "ICO 33x3\n");
        EXPECT_TRUE(MatchesMagick(*img, MagickRgba(path)));
    }
}

}  // namespace
