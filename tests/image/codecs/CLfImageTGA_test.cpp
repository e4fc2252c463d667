#include "image/codecs/CLfImageTGA.h"

#include "image/codecs/CLfImageTGA_priv.h"
#include "tests/image/CodecTestUtil.h"

#include <gtest/gtest.h>

using namespace lftest;

namespace {

Bytes Header(int type, int width, int height, int depth, int descriptor = 0, int cmapType = 0, int cmapLength = 0,
             int entrySize = 0, int cmapIndex = 0, int idLength = 0)
{
    lftga::Header h;
    h.idLength = uint8_t(idLength);
    h.cmapType = uint8_t(cmapType);
    h.imageType = uint8_t(type);
    h.cmapIndex = uint16_t(cmapIndex);
    h.cmapLength = uint16_t(cmapLength);
    h.cmapEntrySize = uint8_t(entrySize);
    h.width = uint16_t(width);
    h.height = uint16_t(height);
    h.pixelDepth = uint8_t(depth);
    h.descriptor = uint8_t(descriptor);
    Bytes b(lftga::kHeaderSize);
    lftga::WriteHeader(h, b.data());
    return b;
}

uint32_t Colour(const CLfImage& img, int x, int yFromTop)
{
    return Rgba(img, x, img.GetHeight() - 1 - yFromTop);
}

TEST(CLfImageTGA, RoundTripIsExactForEveryWrittenDepth)
{
    struct Shape {
        uint32_t bpp;
        bool alpha;
        int fileDepth;
    };
    for (Shape s : {Shape{8, false, 8}, Shape{24, false, 24}, Shape{24, true, 32}}) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{33, 3}}) {
            SCOPED_TRACE(std::to_string(s.fileDepth) + " bits " + std::to_string(w) + "x" + std::to_string(h));
            auto img = MakePicture(w, h, s.bpp, s.alpha);
            Bytes file;
            ASSERT_TRUE(EncodeTo<CLfImageTGA>(*img, file));
            const lftga::Header head = lftga::ParseHeader(file.data());
            EXPECT_EQ(head.pixelDepth, s.fileDepth);
            EXPECT_EQ(file.size(), 18 + (s.bpp == 8 ? 768u : 0u) + size_t(w * h * s.fileDepth / 8));
            auto back = DecodeFrom<CLfImageTGA>(file);
            ASSERT_TRUE(back->IsValid()) << back->GetLastError();
            EXPECT_EQ(back->GetBpp(), s.bpp);
            EXPECT_TRUE(SamePicture(*img, *back));
        }
    }
}

TEST(CLfImageTGA, AlphaIsScaledByAlphaMax)
{
    auto img = MakePicture(2, 1, 24, true);
    img->AlphaSet(0, 0, 200);
    img->info.alphaMax = 128;
    Bytes file;
    ASSERT_TRUE(EncodeTo<CLfImageTGA>(*img, file));
    EXPECT_EQ(file[18 + 3], 200 * 128 / 255);
}

TEST(CLfImageTGA, EncoderRefusesLowDepths)
{
    for (uint32_t bpp : {1u, 4u}) {
        auto img = MakePicture(5, 5, bpp);
        Bytes file;
        std::string error;
        EXPECT_FALSE(EncodeTo<CLfImageTGA>(*img, file, &error));
        EXPECT_EQ(error, "Bit depth must be 8 or 24");
    }
    auto img = MakePicture(20, 20, 24);
    CLfImageTGA codec;
    codec.Ghost(img.get());
    ShortWriteStream stream(500);
    EXPECT_FALSE(codec.Encode(&stream));
    EXPECT_STREQ(codec.GetLastError(), "TGA write failed");
}

TEST(CLfImageTGA, PacketsRunAcrossRowEnds)
{
    // 3 x 2, 24 bits, run-length: a run of 4 (crosses the first row end),
    // then a raw packet of 2.
    const Bytes data = With(Header(10, 3, 2, 24, 0x20),
                            Bytes{0x83, 1, 2, 3, 0x01, 10, 20, 30, 40, 50, 60});
    auto img = DecodeFrom<CLfImageTGA>(data);
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    const uint32_t run = 0x030201FF, a = 0x1E140AFF, b = 0x3C3228FF;
    EXPECT_EQ(Colour(*img, 0, 0), run);
    EXPECT_EQ(Colour(*img, 2, 0), run);
    EXPECT_EQ(Colour(*img, 0, 1), run);
    EXPECT_EQ(Colour(*img, 1, 1), a);
    EXPECT_EQ(Colour(*img, 2, 1), b);

    // a raw packet of 5 crossing the row end of a 3-wide 8-bit grey image
    const Bytes grey = With(Header(11, 3, 2, 8, 0x20), Bytes{0x04, 1, 2, 3, 4, 5, 0x80, 6});
    img = DecodeFrom<CLfImageTGA>(grey);
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    EXPECT_EQ(img->GetPixelIndex(0, 1), 1);
    EXPECT_EQ(img->GetPixelIndex(2, 1), 3);
    EXPECT_EQ(img->GetPixelIndex(0, 0), 4);
    EXPECT_EQ(img->GetPixelIndex(1, 0), 5);
    EXPECT_EQ(img->GetPixelIndex(2, 0), 6);
}

TEST(CLfImageTGA, OriginBitsPlacePixelsAndAlpha)
{
    // 2 x 2, 32 bits, pixels in file order p0..p3 with alpha 10, 20, 30, 40
    Bytes px;
    for (int i = 0; i < 4; ++i) {
        for (uint8_t b : {uint8_t(i), uint8_t(i), uint8_t(i), uint8_t(10 * (i + 1))})
            px.push_back(b);
    }
    struct Case {
        int descriptor;
        int topLeft;  // file pixel shown at the top left
    } cases[] = {{0x00, 2}, {0x20, 0}, {0x10, 3}, {0x30, 1}};
    for (const auto& c : cases) {
        auto img = DecodeFrom<CLfImageTGA>(With(Header(2, 2, 2, 32, c.descriptor | 8), px));
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        const uint32_t expect = uint32_t(c.topLeft) * 0x01010100 + uint32_t(10 * (c.topLeft + 1));
        EXPECT_EQ(Colour(*img, 0, 0), expect) << "descriptor " << c.descriptor;
    }
}

TEST(CLfImageTGA, SixteenBitPixelsWidenWithLowBitsZero)
{
    const Bytes data = With(Header(2, 2, 1, 16), Bytes{0xFF, 0xFF, 0x1F, 0x7C});
    auto img = DecodeFrom<CLfImageTGA>(data);
    ASSERT_TRUE(img->IsValid());
    EXPECT_EQ(img->GetBpp(), 24u);
    EXPECT_EQ(Colour(*img, 0, 0), 0xF8F8F8FFu);
    EXPECT_EQ(Colour(*img, 1, 0), 0xF800F8FFu) << "red and blue, no green";
}

TEST(CLfImageTGA, ColourMapStartsAtItsFirstEntry)
{
    // two 32-bit entries placed at 5 and 6, pixels 5 and 6
    const Bytes data = With(Header(1, 2, 1, 8, 0, 1, 2, 32, 5), Bytes{1, 2, 3, 0, 4, 5, 6, 0, 5, 6});
    auto img = DecodeFrom<CLfImageTGA>(data);
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    EXPECT_EQ(Colour(*img, 0, 0), 0x030201FFu);
    EXPECT_EQ(Colour(*img, 1, 0), 0x060504FFu);
}

// Colour maps of 15 and 16-bit entries, grey with alpha in 16 bits, and
// colour-mapped or grey files whose pixels are colours.
TEST(CLfImageTGA, MapEntriesAndPixelsOfEveryDepthDecode)
{
    struct Case {
        const char* what;
        Bytes data;
        uint32_t bpp;
        uint32_t first, second;  // RGBA of the two pixels
    } cases[] = {
        {"16-bit map entries", With(Header(1, 2, 1, 8, 0, 1, 2, 16), Bytes{0x1F, 0x7C, 0xE0, 0x03, 0, 1}), 8,
         0xF800F8FFu, 0x00F800FFu},
        {"15-bit map entries", With(Header(1, 2, 1, 8, 0, 1, 2, 15, 3), Bytes{0xFF, 0x7F, 0x00, 0x7C, 3, 4}), 8,
         0xF8F8F8FFu, 0xF80000FFu},
        {"run-length with a 16-bit map", With(Header(9, 2, 1, 8, 0, 1, 1, 16), Bytes{0x1F, 0x00, 0x81, 0}), 8,
         0x0000F8FFu, 0x0000F8FFu},
        {"grey and alpha", With(Header(3, 2, 1, 16), Bytes{100, 255, 50, 0}), 8, 0x646464FFu, 0x32323200u},
        {"run-length grey and alpha", With(Header(11, 2, 1, 16), Bytes{0x81, 7, 128}), 8, 0x07070780u,
         0x07070780u},
        {"colour-mapped 16-bit colours", With(Header(1, 2, 1, 16, 0, 1, 1, 24), Bytes{9, 9, 9, 0xFF, 0x7F, 0x1F, 0}),
         24, 0xF8F8F8FFu, 0x0000F8FFu},
        {"grey 24-bit colours", With(Header(3, 2, 1, 24), Bytes{1, 2, 3, 4, 5, 6}), 24, 0x030201FFu, 0x060504FFu},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto img = DecodeFrom<CLfImageTGA>(c.data);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(img->GetBpp(), c.bpp);
        EXPECT_EQ(Colour(*img, 0, 0), c.first);
        EXPECT_EQ(Colour(*img, 1, 0), c.second);
    }
}

TEST(CLfImageTGA, HostileFilesAreRefused)
{
    const Bytes some(64, 1);
    struct Case {
        const char* what;
        Bytes data;
        const char* error;
    } cases[] = {
        {"empty", {}, "Not a TGA"},
        {"short header", Bytes(10, 0), "Not a TGA"},
        {"type 4", With(Header(4, 2, 2, 8), some), "Unknown TGA image type"},
        {"width 0", With(Header(2, 0, 2, 24), some), "bad TGA header"},
        {"depth 12", With(Header(2, 2, 2, 12), some), "bad TGA header"},
        {"257 entries", With(Header(1, 2, 2, 8, 0, 1, 257, 24), some), "bad TGA header"},
        {"8-bit true colour", With(Header(2, 2, 2, 8), some), "bad TGA header"},
        {"mapped without map", With(Header(1, 2, 2, 8), some), "TGA colour-mapped image without a colour map"},
        {"8-bit colour map", With(Header(1, 2, 2, 8, 0, 1, 16, 8), some), "TGA colour map entries of 8 bits are not supported"},
        {"map past entry 255", With(Header(1, 2, 2, 8, 0, 1, 16, 24, 250), some), "TGA colour map of 16 entries from entry 250 passes entry 255"},
        {"id field past the end", Header(2, 2, 2, 24, 0, 0, 0, 0, 0, 200), "corrupted TGA"},
        {"pixels cut", With(Header(2, 4, 4, 24), Bytes(40, 0)), "corrupted TGA"},
        {"packets cut", With(Header(10, 300, 2, 24), Bytes{0xFF, 1, 2, 3, 0xFF, 1, 2, 3, 0x7F, 1}), "corrupted TGA"},
        {"huge size", With(Header(2, 0xFFFF, 0xFFFF, 32), some), "corrupted TGA"},
    };
    for (const auto& c : cases)
        ExpectRefused<CLfImageTGA>(c.data, c.error, c.what);
}

TEST(CLfImageTGA, CorpusFilesMatchImageMagick)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    struct Case {
        const char* name;
        uint32_t bpp;
        bool alpha;
    } cases[] = {{"grey_raw.tga", 8, false}, {"pal_rle.tga", 8, false}, {"rgb_netpbm_raw.tga", 24, false},
                 {"rgb_raw.tga", 24, false}, {"rgb_rle.tga", 24, false}, {"rgba_rle.tga", 24, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = Corpus(std::string("generated/tga/") + c.name);
        auto img = DecodeFile<CLfImageTGA>(file);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(img->GetBpp(), c.bpp);
        EXPECT_EQ(img->alpha != nullptr, c.alpha);
        EXPECT_TRUE(MatchesMagick(*img, MagickRgba(file)));
        // every truncation of the file is refused
        const Bytes whole = lftest::ReadBytes(file);
        for (size_t cut : {size_t(5), size_t(18), whole.size() / 2, whole.size() - 1})
            ExpectCutRefused<CLfImageTGA>(whole, cut);
    }
}

TEST(CLfImageTGA, ImageMagickReadsOurFiles)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    lftest::TempDir dir;
    struct Shape {
        uint32_t bpp;
        bool alpha;
    };
    for (Shape s : {Shape{8, false}, Shape{24, false}, Shape{24, true}}) {
        auto img = MakePicture(33, 3, s.bpp, s.alpha);
        Bytes file;
        ASSERT_TRUE(EncodeTo<CLfImageTGA>(*img, file));
        const auto path = dir / "out.tga";
        lftest::WriteBytes(path, file);
        EXPECT_EQ(MagickIdentify(path), "TGA 33x3\n");
        EXPECT_TRUE(MatchesMagick(*img, MagickRgba(path)));
    }
}

}  // namespace
