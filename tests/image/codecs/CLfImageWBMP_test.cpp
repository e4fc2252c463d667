#include "image/codecs/CLfImageWBMP.h"

#include "tests/image/CodecTestUtil.h"

#include <gtest/gtest.h>

using namespace lftest;

namespace {

TEST(CLfImageWBMP, RoundTripKeepsIndicesAndSize)
{
    struct Case {
        int w, h;
        size_t fileSize;
    } cases[] = {{1, 1, 5}, {7, 5, 9}, {33, 3, 19}, {100, 50, 4 + 50 * 13}, {255, 255, 6 + 255 * 32}, {128, 127, 5 + 127 * 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        auto img = MakePicture(c.w, c.h, 1);
        Bytes file;
        ASSERT_TRUE(EncodeTo<CLfImageWBMP>(*img, file));
        EXPECT_EQ(file.size(), c.fileSize);
        auto back = DecodeFrom<CLfImageWBMP>(file);
        ASSERT_TRUE(back->IsValid()) << back->GetLastError();
        EXPECT_EQ(back->GetBpp(), 1u);
        EXPECT_EQ(back->GetType(), uint32_t(lfimg::kTypeWBMP));
        EXPECT_TRUE(SamePicture(*img, *back));
    }
}

TEST(CLfImageWBMP, SidesFrom128OnAreMultiByteIntegers)
{
    auto img = MakePicture(200, 130, 1);
    Bytes file;
    ASSERT_TRUE(EncodeTo<CLfImageWBMP>(*img, file));
    ASSERT_GE(file.size(), 6u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 6), (Bytes{0, 0, 0x81, 0x48, 0x81, 0x02}));
    EXPECT_TRUE(SamePicture(*img, *DecodeFrom<CLfImageWBMP>(file)));
}

// Files whose sides of 128-255 stand in one plain byte each open too: the
// form whose pixel data fills the file is taken.
TEST(CLfImageWBMP, OneByteSidesOfOtherWritersOpen)
{
    struct Case {
        int width, height;
    } cases[] = {{200, 130}, {255, 255}, {129, 3}, {3, 200}, {128, 128}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        auto img = MakePicture(c.width, c.height, 1);
        Bytes ours;
        ASSERT_TRUE(EncodeTo<CLfImageWBMP>(*img, ours));
        // The same rows behind the plain one-byte header.
        const size_t header = ours.size() - size_t((c.width + 7) / 8 * c.height);
        Bytes plain{0, 0, uint8_t(c.width), uint8_t(c.height)};
        plain.insert(plain.end(), ours.begin() + long(header), ours.end());
        auto back = DecodeFrom<CLfImageWBMP>(plain);
        ASSERT_TRUE(back->IsValid()) << back->GetLastError();
        EXPECT_EQ(back->GetWidth(), c.width);
        EXPECT_EQ(back->GetHeight(), c.height);
        EXPECT_TRUE(SamePicture(*img, *back));
        EXPECT_TRUE(SamePicture(*img, *DecodeFrom<CLfImageWBMP>(ours))) << "our own form still reads";
    }
}

// The file has no palette (1 is white): the pixels are written by the brightness of
// their palette entry, so a picture whose entry 0 is the light one keeps its look,
// and a (black, white) picture is written with its bits as they stand.
TEST(CLfImageWBMP, PixelsAreWrittenByTheBrightnessOfTheirPalette)
{
    struct Case {
        const char* name;
        RGBQUAD entry0, entry1;
        bool inverted;
    } cases[] = {
        {"black, white", {0, 0, 0, 0}, {255, 255, 255, 0}, false},
        {"white, black", {255, 255, 255, 0}, {0, 0, 0, 0}, true},
        {"yellow, dark blue", {0, 255, 255, 0}, {120, 0, 0, 0}, true},
        {"dark red, light grey", {0, 0, 140, 0}, {200, 200, 200, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int width = 13, height = 3;  // a row of 2 bytes, 3 bits of padding
        auto img = MakePicture(width, height, 1);
        img->SetPaletteColor(0, c.entry0.rgbRed, c.entry0.rgbGreen, c.entry0.rgbBlue);
        img->SetPaletteColor(1, c.entry1.rgbRed, c.entry1.rgbGreen, c.entry1.rgbBlue);
        Bytes file;
        ASSERT_TRUE(EncodeTo<CLfImageWBMP>(*img, file));
        // Header, then the rows from the top, first pixel in the high bit, padding 0.
        Bytes expected{0, 0, uint8_t(width), uint8_t(height)};
        for (int y = height - 1; y >= 0; --y) {
            uint8_t row[2] = {0, 0};
            for (int x = 0; x < width; ++x)
                if ((img->GetPixelIndex(x, y) != 0) != c.inverted)
                    row[x / 8] |= uint8_t(0x80 >> (x % 8));
            expected.insert(expected.end(), row, row + 2);
        }
        EXPECT_EQ(file, expected);
        auto back = DecodeFrom<CLfImageWBMP>(file);
        ASSERT_TRUE(back->IsValid()) << back->GetLastError();
        // Each pixel comes back as the light or the dark one it was.
        const bool zeroIsLight = c.inverted;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool light = (img->GetPixelIndex(x, y) == 0) == zeroIsLight;
                EXPECT_EQ(back->GetPixelColor(x, y).rgbRed, light ? 255 : 0) << x << "," << y;
            }
    }
}

TEST(CLfImageWBMP, EncoderRefusals)
{
    struct Case {
        int w, h;
        uint32_t bpp;
    } cases[] = {{300, 10, 1}, {10, 256, 1}, {10, 10, 8}, {10, 10, 4}, {10, 10, 24}};
    for (const auto& c : cases) {
        auto img = MakePicture(c.w, c.h, c.bpp);
        Bytes file;
        std::string error;
        EXPECT_FALSE(EncodeTo<CLfImageWBMP>(*img, file, &error));
        EXPECT_EQ(error, "Can't save this image as WBMP");
    }
    CLfImage empty;
    Bytes file;
    std::string error;
    EXPECT_FALSE(EncodeTo<CLfImageWBMP>(empty, file, &error));
    EXPECT_EQ(error, "null image!!!");
}

TEST(CLfImageWBMP, FailedWritesAreReported)
{
    auto img = MakePicture(40, 40, 1);
    for (size_t limit : {size_t(0), size_t(3), size_t(100)}) {
        CLfImageWBMP codec;
        codec.Ghost(img.get());
        ShortWriteStream stream(limit);
        EXPECT_FALSE(codec.Encode(&stream));
        EXPECT_STREQ(codec.GetLastError(), "WBMP write failed");
    }
}

TEST(CLfImageWBMP, RefusedSaveLeavesTheOldFile)
{
    lftest::TempDir dir;
    const auto path = dir / "keep.wbmp";
    auto img = MakePicture(9, 9, 1);
    ASSERT_TRUE(img->Save(path.string().c_str(), lfimg::kTypeWBMP));
    const Bytes before = lftest::ReadBytes(path);
    auto wide = MakePicture(300, 2, 1);
    EXPECT_FALSE(wide->Save(path.string().c_str(), lfimg::kTypeWBMP));
    EXPECT_STREQ(wide->GetLastError(), "Can't save this image as WBMP");
    EXPECT_EQ(lftest::ReadBytes(path), before);
    CLfImage back(path.string().c_str(), lfimg::kTypeUnknown);
    EXPECT_EQ(back.GetType(), uint32_t(lfimg::kTypeWBMP));
    EXPECT_TRUE(SamePicture(*img, back));
}

TEST(CLfImageWBMP, HostileHeadersAreRefused)
{
    struct Case {
        const char* what;
        Bytes data;
        const char* error;
    } cases[] = {
        {"empty", {}, "Not a WBMP"},
        {"type 1", {1, 0, 1, 1, 0}, "Unsupported WBMP type"},
        {"no height", {0, 0, 8}, "Not a WBMP"},
        {"width 0", {0, 0, 0, 1, 0}, "Corrupted WBMP"},
        {"height 0", {0, 0, 1, 0, 0}, "Corrupted WBMP"},
        {"integer of six bytes", {0, 0, 0x81, 0x81, 0x81, 0x81, 0x81, 0x01, 1, 0}, "Corrupted WBMP"},
        {"huge size, no rows", {0, 0, 0x87, 0xFF, 0x7F, 0x87, 0xFF, 0x7F}, "WBMP data ends before the last row"},
        {"one row short", {0, 0, 8, 3, 0xAA, 0x55}, "WBMP data ends before the last row"},
    };
    for (const auto& c : cases)
        ExpectRefused<CLfImageWBMP>(c.data, c.error, c.what);
}

TEST(CLfImageWBMP, CorpusFilesMatchImageMagick)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    for (const char* name : {"F_1x1.wbmp", "F_8x8.wbmp", "F_97x61.wbmp", "F_97x61_netpbm.wbmp", "F_300x200.wbmp"}) {
        SCOPED_TRACE(name);
        const auto file = Corpus(std::string("generated/wbmp/") + name);
        auto img = DecodeFile<CLfImageWBMP>(file);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_TRUE(MatchesMagick(*img, MagickRgba(file)));
    }
    auto bad = DecodeFile<CLfImageWBMP>(Corpus("generated/wbmp/bad_truncated.wbmp"));
    EXPECT_FALSE(bad->IsValid());
    EXPECT_STREQ(bad->GetLastError(), "WBMP data ends before the last row");
}

TEST(CLfImageWBMP, ImageMagickReadsOurFiles)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    lftest::TempDir dir;
    for (auto [w, h] : {std::pair{7, 5}, std::pair{200, 130}}) {
        auto img = MakePicture(w, h, 1);
        Bytes file;
        ASSERT_TRUE(EncodeTo<CLfImageWBMP>(*img, file));
        const auto path = dir / "out.wbmp";
        lftest::WriteBytes(path, file);
        EXPECT_EQ(MagickIdentify(path), "WBMP " + std::to_string(w) + "x" + std::to_string(h) + "\n");
        EXPECT_TRUE(MatchesMagick(*img, MagickRgba(path)));
    }
}

}  // namespace
