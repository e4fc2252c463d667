#include "image/codecs/CLfImagePCX.h"

#include "image/codecs/CLfImagePCX_priv.h"
#include "tests/image/CodecTestUtil.h"

#include <gtest/gtest.h>

using namespace lftest;

namespace {

struct Shape {
    uint32_t bpp;
    bool alpha;
};

std::string Name(const Shape& s)
{
    return std::to_string(s.bpp) + (s.alpha ? "+alpha" : "");
}

TEST(CLfImagePCX, RoundTripIsExactForEveryDepth)
{
    for (Shape s : {Shape{1, false}, Shape{4, false}, Shape{8, false}, Shape{24, false}, Shape{24, true}}) {
        for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{33, 3}, std::pair{64, 9}}) {
            SCOPED_TRACE(Name(s) + " bits " + std::to_string(w) + "x" + std::to_string(h));
            auto img = MakePicture(w, h, s.bpp, s.alpha);
            img->SetXDPI(150);
            img->SetYDPI(72);
            Bytes file;
            ASSERT_TRUE(EncodeTo<CLfImagePCX>(*img, file));
            auto back = DecodeFrom<CLfImagePCX>(file);
            ASSERT_TRUE(back->IsValid()) << back->GetLastError();
            EXPECT_EQ(back->GetBpp(), s.bpp);
            EXPECT_EQ(back->alpha != nullptr, s.alpha);
            EXPECT_EQ(back->info.xDpi, 150);
            EXPECT_EQ(back->info.yDpi, 72);
            EXPECT_TRUE(SamePicture(*img, *back));
        }
    }
}

TEST(CLfImagePCX, HeaderFieldsFollowTheDepth)
{
    struct Case {
        Shape shape;
        int width;
        int planes, bits, bytesPerLine, paletteInfo;
    } cases[] = {
        {{24, false}, 7, 3, 8, 8, 1},   // odd width: one pad byte per plane line
        {{24, true}, 8, 4, 8, 8, 1},
        {{8, false}, 7, 1, 8, 8, 0},
        {{4, false}, 9, 4, 1, 2, 0},
        {{1, false}, 17, 1, 1, 4, 0},
    };
    for (const auto& c : cases) {
        auto img = MakePicture(c.width, 3, c.shape.bpp, c.shape.alpha);
        Bytes file;
        ASSERT_TRUE(EncodeTo<CLfImagePCX>(*img, file));
        const lfpcx::Header h = lfpcx::ParseHeader(file.data());
        EXPECT_EQ(h.planes, c.planes) << Name(c.shape);
        EXPECT_EQ(h.bitsPerPixel, c.bits) << Name(c.shape);
        EXPECT_EQ(h.bytesPerLine, c.bytesPerLine) << Name(c.shape);
        EXPECT_EQ(h.paletteInfo, c.paletteInfo) << Name(c.shape);
        EXPECT_EQ(h.xMax, c.width - 1);
        EXPECT_EQ(h.yMax, 2);
    }
}

TEST(CLfImagePCX, RunLengthWriters)
{
    std::vector<uint8_t> out;
    CLfImagePCX::RunState state;
    for (int i = 0; i < 100; ++i)
        CLfImagePCX::WriteRunByte(7, state, out);
    CLfImagePCX::WriteRunByte(0xC5, state, out);
    CLfImagePCX::WriteRunByte(3, state, out);
    CLfImagePCX::WriteRunByte(-2, state, out);
    EXPECT_EQ(out, (Bytes{0xFF, 7, 0xE5, 7, 0xC1, 0xC5, 3, 0}));

    out.clear();
    Bytes line(100, 9);
    line.push_back(0xC5);
    line.push_back(1);
    CLfImagePCX::WriteRunLine(line.data(), int(line.size()), out);
    EXPECT_EQ(out, (Bytes{0xFF, 9, 0xE5, 9, 0xC1, 0xC5, 1}));
}

TEST(CLfImagePCX, IndexConversions)
{
    const Bytes planes{0xF0, 0xCC, 0xAA};  // three planes of one byte
    Bytes indices(8);
    CLfImagePCX::PlanarToIndices(indices.data(), planes.data(), 1, 3, 1);
    EXPECT_EQ(indices, (Bytes{7, 3, 5, 1, 6, 2, 4, 0}));

    const Bytes packed{0x1B, 0xE4};
    Bytes two(8);
    CLfImagePCX::PackedToIndices(two.data(), packed.data(), 2, 1, 2);
    EXPECT_EQ(two, (Bytes{0, 1, 2, 3, 3, 2, 1, 0}));
    Bytes four(4);
    CLfImagePCX::PackedToIndices(four.data(), packed.data(), 2, 1, 4);
    EXPECT_EQ(four, (Bytes{1, 11, 14, 4}));

    uint8_t plane[2] = {};
    const Bytes idx{1, 0, 3, 2, 1, 1, 0, 0, 3};
    CLfImagePCX::IndicesToPlane(idx.data(), 9, plane, 1);
    EXPECT_EQ(plane[0], 0x30);
    EXPECT_EQ(plane[1], 0x80);
}

TEST(CLfImagePCX, WhiteBlackPaletteIsWrittenInverted)
{
    auto img = MakePicture(10, 4, 1);
    img->SetPaletteColor(0, 255, 255, 255);
    img->SetPaletteColor(1, 0, 0, 0);
    Bytes file;
    ASSERT_TRUE(EncodeTo<CLfImagePCX>(*img, file));
    const lfpcx::Header h = lfpcx::ParseHeader(file.data());
    EXPECT_EQ(Bytes(h.colorMap, h.colorMap + 6), (Bytes{0, 0, 0, 255, 255, 255}));
    auto back = DecodeFrom<CLfImagePCX>(file);
    ASSERT_TRUE(back->IsValid());
    EXPECT_EQ(back->GetPixelIndex(0, 0), 1 - img->GetPixelIndex(0, 0));
    EXPECT_TRUE(SamePicture(*img, *back));
}

TEST(CLfImagePCX, FailedWritesAreReported)
{
    auto img = MakePicture(40, 40, 8);
    struct Case {
        size_t limit;
        const char* error;
    } cases[] = {{0, "cannot write PCX header"}, {100, "cannot write PCX header"}, {200, "PCX write failed"}};
    for (const auto& c : cases) {
        CLfImagePCX codec;
        codec.Ghost(img.get());
        ShortWriteStream stream(c.limit);
        EXPECT_FALSE(codec.Encode(&stream));
        EXPECT_STREQ(codec.GetLastError(), c.error);
    }
}

// A header for a hostile file; data follows it.
Bytes Header(int xMin, int xMax, int bits, int planes, int bytesPerLine, int yMax = 0)
{
    lfpcx::Header h;
    h.manufacturer = 10;
    h.version = 5;
    h.encoding = 1;
    h.bitsPerPixel = uint8_t(bits);
    h.xMin = uint16_t(xMin);
    h.xMax = uint16_t(xMax);
    h.yMax = uint16_t(yMax);
    h.planes = uint8_t(planes);
    h.bytesPerLine = uint16_t(bytesPerLine);
    Bytes b(lfpcx::kHeaderSize);
    lfpcx::WriteHeader(h, b.data());
    return b;
}

TEST(CLfImagePCX, HostileFilesAreRefused)
{
    const Bytes someData(4000, 0x11);
    Bytes notPcx = Header(0, 7, 8, 1, 8);
    notPcx[0] = 11;
    Bytes rle2 = Header(0, 7, 8, 1, 8);
    rle2[2] = 2;
    Bytes noSignature = With(Header(0, 7, 8, 1, 8), Bytes(8, 1));
    noSignature.push_back(13);
    noSignature.resize(noSignature.size() + 768);
    struct Case {
        const char* what;
        Bytes data;
        const char* error;
    } cases[] = {
        {"empty", {}, "Can't read PCX image"},
        {"short header", Bytes(100, 10), "Can't read PCX image"},
        {"manufacturer 11", notPcx, "Error: Not a PCX file"},
        {"encoding 2", rle2, "PCX file has unknown encoding scheme"},
        {"Xmin > Xmax", With(Header(9, 2, 8, 1, 8), someData), "PCX image spans no pixels: Xmin 9, Xmax 2, Ymin 0, Ymax 0"},
        {"BytesPerLine 0", With(Header(0, 7, 8, 1, 0), someData), "PCX BytesPerLine 0 does not fit 8 pixels of 8 bits"},
        {"BytesPerLine 1", With(Header(0, 7, 8, 1, 1), someData), "PCX BytesPerLine 1 does not fit 8 pixels of 8 bits"},
        {"BytesPerLine 1000", With(Header(0, 7, 8, 1, 1000), someData), "PCX BytesPerLine 1000 does not fit 8 pixels of 8 bits"},
        {"5 planes", With(Header(0, 7, 8, 5, 8), someData), "Can't handle image with more than 4 planes"},
        {"0 planes", With(Header(0, 7, 8, 0, 8), someData), "PCX header gives 0 colour planes"},
        {"3 bits", With(Header(0, 7, 3, 1, 3), someData), "PCX header gives 3 bits per pixel"},
        {"2 planes of 8 bits", With(Header(0, 7, 8, 2, 8), someData), "Can't handle more than 1 bit per pixel"},
        {"run past the image", With(Header(0, 7, 8, 3, 8), Bytes{0xC5, 1, 0xFF, 2, 0xC0 | 60, 3}), "repeat count spans end of image"},
        {"data ends", With(Header(0, 7, 8, 3, 8), Bytes{0xC5, 1, 0xFF}), "corrupted PCX"},
        {"huge size, little data", With(Header(0, 0xFFFE, 8, 3, 0xFFFF, 0xFFFF), someData), "LFIMAGE_MAX_MEMORY exceeded"},
        {"large size, little data", With(Header(0, 999, 8, 1, 1000, 999), someData), "corrupted PCX"},
        {"palette without 12", noSignature, "bad color map signature"},
        {"palette cut", With(With(Header(0, 7, 8, 1, 8), Bytes(8, 1)), Bytes{12, 1, 2, 3}), "corrupted PCX"},
    };
    for (const auto& c : cases)
        ExpectRefused<CLfImagePCX>(c.data, c.error, c.what);
}

TEST(CLfImagePCX, CorpusFilesMatchImageMagick)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    struct Case {
        const char* name;
        uint32_t bpp;
    } cases[] = {{"F_1bit_97x61.pcx", 24}, {"grad_24bit_131x67.pcx", 24}, {"grad_4plane_131x67.pcx", 4},
                 {"grad_8bit_131x67.pcx", 8}, {"grad_im_131x67.pcx", 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = Corpus(std::string("generated/pcx/") + c.name);
        auto img = DecodeFile<CLfImagePCX>(file);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(img->GetBpp(), c.bpp);
        EXPECT_TRUE(MatchesMagick(*img, MagickRgba(file)));
        const Bytes whole = lftest::ReadBytes(file);
        for (size_t cut : {size_t(0), size_t(127), size_t(128), whole.size() / 2, whole.size() - 1})
            ExpectCutRefused<CLfImagePCX>(whole, cut);
    }
    auto bad = DecodeFile<CLfImagePCX>(Corpus("generated/pcx/bad_truncated.pcx"));
    EXPECT_FALSE(bad->IsValid());
    EXPECT_STREQ(bad->GetLastError(), "corrupted PCX");
}

TEST(CLfImagePCX, ImageMagickReadsOurFiles)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    lftest::TempDir dir;
    for (Shape s : {Shape{1, false}, Shape{4, false}, Shape{8, false}, Shape{24, false}, Shape{24, true}}) {
        SCOPED_TRACE(Name(s));
        auto img = MakePicture(33, 3, s.bpp, s.alpha);
        Bytes file;
        ASSERT_TRUE(EncodeTo<CLfImagePCX>(*img, file));
        const auto path = dir / "out.pcx";
        lftest::WriteBytes(path, file);
        EXPECT_EQ(MagickIdentify(path), "PCX 33x3\n");
        // ImageMagick takes a set bit of a 1-bit file for black; ours is white.
        if (s.bpp != 1) {
            EXPECT_TRUE(MatchesMagick(*img, MagickRgba(path), s.alpha));
        }
    }
}

}  // namespace
