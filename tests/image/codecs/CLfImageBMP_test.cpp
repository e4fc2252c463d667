#include "image/codecs/CLfImageBMP.h"

#include "image/CLfMemoryStream.h"
#include "tests/image/CodecTestUtil.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using lftest::Bgr;

// ---- A hand-made BMP file, field by field ---------------------------------------------

struct FakeBmp {
    bool fileHeader = true;
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPels = 0;
    int32_t yPels = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> headerMasks;   // written at offset 40 of a long header
    std::vector<uint8_t> afterHeader;    // colour masks or palette, as stored
    std::vector<uint8_t> gap;            // bytes between palette and pixels
    std::vector<uint8_t> pixels;
    std::optional<uint32_t> offBits;     // default: where the pixels start
};

void Put16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}

void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

std::vector<uint8_t> Build(const FakeBmp& f)
{
    std::vector<uint8_t> info;
    Put32(info, f.headerSize);
    if (f.headerSize == 12) {
        Put16(info, uint32_t(f.width));
        Put16(info, uint32_t(f.height));
        Put16(info, f.planes);
        Put16(info, f.bits);
    } else {
        Put32(info, uint32_t(f.width));
        Put32(info, uint32_t(f.height));
        Put16(info, f.planes);
        Put16(info, f.bits);
        Put32(info, f.compression);
        Put32(info, f.sizeImage);
        Put32(info, uint32_t(f.xPels));
        Put32(info, uint32_t(f.yPels));
        Put32(info, f.colorsUsed);
        Put32(info, 0);
        for (uint32_t m : f.headerMasks)
            Put32(info, m);
        info.resize(f.headerSize, 0);
    }
    const uint32_t pixelStart = (f.fileHeader ? 14 : 0) + uint32_t(info.size() + f.afterHeader.size() + f.gap.size());
    std::vector<uint8_t> out;
    if (f.fileHeader) {
        out.push_back('B');
        out.push_back('M');
        Put32(out, pixelStart + uint32_t(f.pixels.size()));
        Put32(out, 0);
        Put32(out, f.offBits.value_or(pixelStart));
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), f.afterHeader.begin(), f.afterHeader.end());
    out.insert(out.end(), f.gap.begin(), f.gap.end());
    out.insert(out.end(), f.pixels.begin(), f.pixels.end());
    return out;
}

std::vector<uint8_t> Quads(std::initializer_list<RGBQUAD> colors)
{
    std::vector<uint8_t> v;
    for (const RGBQUAD& c : colors) {
        v.push_back(c.rgbBlue);
        v.push_back(c.rgbGreen);
        v.push_back(c.rgbRed);
        v.push_back(0x55);  // the decoder clears the fourth byte
    }
    return v;
}

std::vector<uint8_t> Masks(uint32_t r, uint32_t g, uint32_t b)
{
    std::vector<uint8_t> v;
    Put32(v, r);
    Put32(v, g);
    Put32(v, b);
    return v;
}

bool DecodeBytes(CLfImageBMP& img, const std::vector<uint8_t>& bytes)
{
    CLfMemoryStream stream(bytes.data(), int64_t(bytes.size()));
    return img.Decode(&stream);
}

std::vector<uint8_t> EncodeBytes(CLfImage& img)
{
    uint8_t* buffer = nullptr;
    int64_t size = 0;
    if (!img.Encode(buffer, size, lfimg::kTypeBMP))
        return {};
    std::vector<uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// A test name from a case label: letters and digits kept, the rest as '_'.
std::string TestName(std::string label)
{
    for (char& ch : label)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return label;
}

// Indices of a palette image, top row first: what a reader of the picture sees.
std::vector<int> IndicesTopDown(const CLfImage& img)
{
    std::vector<int> out;
    for (int64_t y = img.GetHeight() - 1; y >= 0; --y)
        for (int64_t x = 0; x < img.GetWidth(); ++x)
            out.push_back(img.GetPixelIndex(x, y));
    return out;
}

// ---- Round trips --------------------------------------------------------------------

struct RoundTrip {
    uint32_t bpp;
    int32_t width;
    int32_t xDpi, yDpi;
};
void PrintTo(const RoundTrip& c, std::ostream* os)
{
    *os << c.bpp << "bpp w" << c.width << " " << c.xDpi << "x" << c.yDpi << "dpi";
}

class BmpRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(BmpRoundTrip, EncodeDecodeEncodeIsByteIdentical)
{
    const RoundTrip c = GetParam();
    CLfImage img;
    ASSERT_TRUE(img.Create(c.width, 5, c.bpp, lfimg::kTypeBMP));
    for (uint32_t i = 0; i < img.GetNumColors(); ++i)
        img.SetPaletteColor(uint8_t(i), uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 13));
    for (int64_t y = 0; y < 5; ++y)
        for (int64_t x = 0; x < c.width; ++x) {
            if (c.bpp == 24)
                img.SetPixelColor(x, y, Bgr(uint8_t(x * 9 + y), uint8_t(y * 40), uint8_t(255 - x)));
            else
                img.SetPixelIndex(x, y, uint8_t((x * 5 + y * 3) % img.GetNumColors()));
        }
    img.SetXDPI(c.xDpi);
    img.SetYDPI(c.yDpi);

    const std::vector<uint8_t> first = EncodeBytes(img);
    ASSERT_FALSE(first.empty()) << img.GetLastError();
    // A saved BMP is the packed DIB behind a 14-byte file header.
    ASSERT_EQ(first.size(), 14 + img.GetSize());
    EXPECT_EQ(first[0], 'B');
    EXPECT_EQ(first[1], 'M');
    EXPECT_EQ(lfdib::GetLE32(&first[2]), first.size());
    EXPECT_EQ(lfdib::GetLE32(&first[10]), 54 + 4 * img.GetNumColors());
    EXPECT_EQ(0, std::memcmp(first.data() + 54, img.dib + 40, img.GetSize() - 40));

    CLfImageBMP decoded;
    ASSERT_TRUE(DecodeBytes(decoded, first)) << decoded.GetLastError();
    EXPECT_EQ(decoded.GetBpp(), c.bpp);
    EXPECT_EQ(decoded.GetWidth(), c.width);
    EXPECT_EQ(decoded.info.xDpi, c.xDpi);
    EXPECT_EQ(decoded.info.yDpi, c.yDpi);
    EXPECT_EQ(decoded.GetType(), lfimg::kTypeBMP);
    const std::vector<uint8_t> second = EncodeBytes(decoded);
    EXPECT_EQ(lftest::FirstDifference(first, second), -1);
}

std::vector<RoundTrip> RoundTripCases()
{
    std::vector<RoundTrip> cases;
    for (uint32_t bpp : {1u, 4u, 8u, 24u})
        for (int32_t width : {1, 3, 7, 33})
            for (auto dpi : {std::pair{96, 96}, std::pair{300, 72}, std::pair{1, 2400}})
                cases.push_back({bpp, width, dpi.first, dpi.second});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(DepthsWidthsDpi, BmpRoundTrip, ::testing::ValuesIn(RoundTripCases()));

// ---- Hand-made files of every header kind and compression ------------------------------

struct HandMade {
    const char* name;
    FakeBmp file;
    uint32_t bpp;                    // depth of the decoded image
    std::vector<int> indices;        // palette images: indices, top row first
    std::vector<RGBQUAD> colors;     // otherwise: colours, top row first
    std::vector<RGBQUAD> palette;    // leading palette entries expected
};
void PrintTo(const HandMade& c, std::ostream* os)
{
    *os << c.name;
}

class BmpHandMade : public ::testing::TestWithParam<HandMade> {};

TEST_P(BmpHandMade, DecodesToKnownPixels)
{
    const HandMade& c = GetParam();
    CLfImageBMP img;
    ASSERT_TRUE(DecodeBytes(img, Build(c.file))) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), c.bpp);
    EXPECT_EQ(img.GetWidth(), c.file.width);
    EXPECT_EQ(img.GetHeight(), std::abs(c.file.height));
    if (!c.indices.empty()) {
        EXPECT_EQ(IndicesTopDown(img), c.indices);
    }
    if (!c.colors.empty()) {
        size_t i = 0;
        for (int64_t y = img.GetHeight() - 1; y >= 0; --y)
            for (int64_t x = 0; x < img.GetWidth(); ++x, ++i) {
                ASSERT_LT(i, c.colors.size());
                const RGBQUAD got = img.GetPixelColor(x, y);
                EXPECT_TRUE(lftest::SameColor(got, c.colors[i]))
                    << "pixel " << x << "," << y << " is " << int(got.rgbRed) << "," << int(got.rgbGreen) << ","
                    << int(got.rgbBlue);
            }
    }
    for (size_t i = 0; i < c.palette.size(); ++i) {
        const RGBQUAD e = img.GetPaletteColor(uint32_t(i));
        EXPECT_TRUE(lftest::SameColor(e, c.palette[i])) << "entry " << i;
        EXPECT_EQ(e.rgbReserved, 0) << "entry " << i;
    }
}

std::vector<HandMade> HandMadeCases()
{
    const RGBQUAD red = Bgr(0, 0, 255), green = Bgr(0, 255, 0), blue = Bgr(255, 0, 0), white = Bgr(255, 255, 255),
                  black = Bgr(0, 0, 0);
    std::vector<HandMade> cases;
    {
        // 1 bit, 3 x 2: bottom row 1 0 1, top row 0 1 1.
        FakeBmp f;
        f.width = 3;
        f.height = 2;
        f.bits = 1;
        f.afterHeader = Quads({black, white});
        f.pixels = {0xA0, 0, 0, 0, 0x60, 0, 0, 0};
        cases.push_back({"1bit", f, 1, {0, 1, 1, 1, 0, 1}, {}, {black, white}});
    }
    {
        FakeBmp f;
        f.width = 3;
        f.height = 2;
        f.bits = 4;
        f.colorsUsed = 3;
        f.afterHeader = Quads({red, green, blue});
        f.pixels = {0x01, 0x20, 0, 0, 0x22, 0x10, 0, 0};
        cases.push_back({"4bit", f, 4, {2, 2, 1, 0, 1, 2}, {}, {red, green, blue}});
    }
    {
        // Three colours used: the palette read still takes 256 entries, and the
        // pixels come from the data offset, past a gap.
        FakeBmp f;
        f.width = 3;
        f.height = 2;
        f.bits = 8;
        f.colorsUsed = 3;
        f.afterHeader = Quads({red, green, blue});
        f.gap = std::vector<uint8_t>(1100, 0x77);
        f.pixels = {0, 1, 2, 0, 2, 2, 1, 0};
        cases.push_back({"8bit-gap", f, 8, {2, 2, 1, 0, 1, 2}, {}, {red, green, blue, Bgr(0x77, 0x77, 0x77)}});
    }
    {
        FakeBmp f;
        f.fileHeader = false;  // a bare information header: pixels right after the palette
        f.width = 2;
        f.height = 1;
        f.bits = 8;
        f.afterHeader = std::vector<uint8_t>(1024, 0);
        std::memcpy(f.afterHeader.data() + 4 * 9, Quads({green}).data(), 4);
        f.pixels = {9, 0, 0, 0};
        cases.push_back({"8bit-bare", f, 8, {9, 0}, {}, {}});
    }
    const std::vector<uint8_t> rgb24 = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 0};
    {
        FakeBmp f;
        f.width = 2;
        f.height = 2;
        f.pixels = rgb24;
        cases.push_back({"24bit", f, 24, {}, {Bgr(0, 0, 255), white, blue, green}, {}});
    }
    {
        FakeBmp f;
        f.width = 2;
        f.height = -2;  // top-down: the same bytes give the rows the other way round
        f.pixels = rgb24;
        cases.push_back({"24bit-topdown", f, 24, {}, {blue, green, Bgr(0, 0, 255), white}, {}});
    }
    {
        FakeBmp f;
        f.width = 2;
        f.height = 1;
        f.bits = 16;  // 5-5-5 without masks
        f.pixels = {0xFF, 0x7F, 0x1F, 0x00};
        cases.push_back({"16bit-555", f, 24, {}, {Bgr(248, 248, 248), Bgr(248, 0, 0)}, {}});
    }
    {
        FakeBmp f;
        f.width = 3;
        f.height = 1;
        f.bits = 16;
        f.compression = 3;
        f.afterHeader = Masks(0xF800, 0x07E0, 0x001F);
        f.pixels = {0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0, 0};
        cases.push_back({"16bit-565", f, 24, {}, {Bgr(248, 252, 248), Bgr(0, 0, 248), Bgr(0, 252, 0)}, {}});
    }
    {
        FakeBmp f;
        f.width = 2;
        f.height = 1;
        f.bits = 32;  // fourth bytes dropped
        f.pixels = {10, 20, 30, 99, 40, 50, 60, 255};
        cases.push_back({"32bit", f, 24, {}, {Bgr(10, 20, 30), Bgr(40, 50, 60)}, {}});
    }
    {
        FakeBmp f;
        f.width = 2;
        f.height = 1;
        f.bits = 32;  // masks in an unusual order must be honoured
        f.compression = 3;
        f.afterHeader = Masks(0x000000FF, 0x0000FF00, 0x00FF0000);
        f.pixels = {10, 20, 30, 0, 40, 50, 60, 0};
        cases.push_back({"32bit-masks", f, 24, {}, {Bgr(30, 20, 10), Bgr(60, 50, 40)}, {}});
    }
    {
        FakeBmp f;
        f.headerSize = 12;  // OS/2 core header with 3-byte palette entries
        f.width = 3;
        f.height = 1;
        f.bits = 8;
        f.afterHeader = {255, 0, 0, 0, 255, 0, 0, 0, 255};
        f.pixels = {2, 1, 0, 0};
        cases.push_back({"os2-core", f, 8, {2, 1, 0}, {}, {blue, green, red}});
    }
    {
        FakeBmp f;
        f.headerSize = 64;  // OS/2 2.x: the first 40 bytes as a Windows header
        f.width = 2;
        f.height = 2;
        f.pixels = rgb24;
        cases.push_back({"os2-64", f, 24, {}, {Bgr(0, 0, 255), white, blue, green}, {}});
    }
    {
        FakeBmp f;
        f.headerSize = 108;  // a version-4 header of a palette image
        f.width = 3;
        f.height = 1;
        f.bits = 8;
        f.colorsUsed = 2;
        f.afterHeader = Quads({red, green});
        f.pixels = {1, 0, 1, 0};
        cases.push_back({"v4-8bit", f, 8, {1, 0, 1}, {}, {red, green}});
    }
    {
        FakeBmp f;
        f.headerSize = 124;  // version 5: the colour masks sit inside the header
        f.width = 2;
        f.height = 1;
        f.bits = 16;
        f.compression = 3;
        f.headerMasks = {0xF800, 0x07E0, 0x001F};
        f.pixels = {0x00, 0xF8, 0x1F, 0x00};
        cases.push_back({"v5-565", f, 24, {}, {Bgr(0, 0, 248), Bgr(248, 0, 0)}, {}});
    }
    {
        // 8-bit run-length data: a run, an odd literal with its pad byte, a line end,
        // a delta, a run, the end of the bitmap. Skipped pixels stay index 0.
        FakeBmp f;
        f.width = 5;
        f.height = 3;
        f.bits = 8;
        f.compression = 1;
        f.afterHeader = std::vector<uint8_t>(1024, 0);
        f.pixels = {2, 1, 0, 3, 4, 5, 6, 0, 0, 0, 0, 2, 1, 1, 3, 9, 0, 1};
        cases.push_back({"rle8", f, 8, {0, 9, 9, 9, 0, 0, 0, 0, 0, 0, 1, 1, 4, 5, 6}, {}, {}});
    }
    {
        // 4-bit run-length data: alternating nibbles; literals of 3 (2 bytes, no pad),
        // 5 (3 bytes and a pad) and 4 pixels (2 bytes, no pad), the last one past the
        // row's end, where it is dropped.
        FakeBmp f;
        f.width = 8;
        f.height = 2;
        f.bits = 4;
        f.compression = 2;
        f.afterHeader = std::vector<uint8_t>(64, 0);
        f.pixels = {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 5, 0x67, 0x89, 0xA0, 0, 0, 4, 0xBC, 0xDE, 0, 1};
        cases.push_back({"rle4", f, 4, {6, 7, 8, 9, 10, 11, 12, 13, 1, 2, 1, 2, 1, 3, 4, 5}, {}, {}});
    }
    {
        // Runs never wrap into the next row, and data that stops without an end code
        // keeps what was decoded.
        FakeBmp f;
        f.width = 4;
        f.height = 2;
        f.bits = 8;
        f.compression = 1;
        f.afterHeader = std::vector<uint8_t>(1024, 0);
        f.pixels = {255, 7, 0, 0, 2, 3};
        cases.push_back({"rle8-clipped", f, 8, {3, 3, 0, 0, 7, 7, 7, 7}, {}, {}});
    }
    {
        FakeBmp f;
        f.width = 3;
        f.height = 1;
        f.bits = 2;  // not a Windows depth: a blank 4-bit image
        f.afterHeader = Quads({red, green, blue, white});
        f.pixels = {0xE4, 0, 0, 0};
        cases.push_back({"2bit", f, 4, {0, 0, 0}, {}, {}});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Kinds, BmpHandMade, ::testing::ValuesIn(HandMadeCases()),
                         [](const auto& info) { return TestName(info.param.name); });

TEST(CLfImageBMP, ResolutionFromPelsPerMetreAndNoneKeeps96)
{
    FakeBmp f;
    f.pixels = {1, 2, 3, 0};
    f.xPels = 2835;
    f.yPels = 11811;
    CLfImageBMP img;
    ASSERT_TRUE(DecodeBytes(img, Build(f)));
    EXPECT_EQ(img.info.xDpi, 72);
    EXPECT_EQ(img.info.yDpi, 300);
    EXPECT_EQ(img.header.biXPelsPerMeter, 2835);

    f.xPels = 0;
    f.yPels = 0;
    CLfImageBMP none;
    ASSERT_TRUE(DecodeBytes(none, Build(f)));
    EXPECT_EQ(none.info.xDpi, 96);
    EXPECT_EQ(none.info.yDpi, 96);
    EXPECT_EQ(none.header.biXPelsPerMeter, 3780);
}

TEST(CLfImageBMP, StreamStartingMidwayUsesItsOwnStart)
{
    FakeBmp f;
    f.width = 2;
    f.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
    std::vector<uint8_t> bytes(7, 0xEE);
    const std::vector<uint8_t> bmp = Build(f);
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    CLfMemoryStream stream(bytes.data(), int64_t(bytes.size()));
    ASSERT_TRUE(stream.Seek(7, CLfStream::kSeekSet));
    CLfImageBMP img;
    ASSERT_TRUE(img.Decode(&stream)) << img.GetLastError();
    EXPECT_TRUE(lftest::SameColor(img.GetPixelColor(1, 0), Bgr(4, 5, 6)));
}

TEST(CLfImageBMP, EscapeCancelsTheDecode)
{
    FakeBmp f;
    f.pixels = {1, 2, 3, 0};
    CLfImageBMP img;
    img.info.escape = 1;
    EXPECT_FALSE(DecodeBytes(img, Build(f)));
    EXPECT_STREQ(img.GetLastError(), "Cancelled");
}

// ---- Hostile files --------------------------------------------------------------------

struct Hostile {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* error;  // a part of the expected message
};
void PrintTo(const Hostile& c, std::ostream* os)
{
    *os << c.name;
}

class BmpHostile : public ::testing::TestWithParam<Hostile> {};

TEST_P(BmpHostile, FailsWithAMessage)
{
    const Hostile& c = GetParam();
    CLfImageBMP img;
    EXPECT_FALSE(DecodeBytes(img, c.bytes));
    EXPECT_NE(std::strstr(img.GetLastError(), c.error), nullptr) << "message: " << img.GetLastError();
}

std::vector<Hostile> HostileCases()
{
    auto make = [](auto edit) {
        FakeBmp f;
        f.width = 4;
        f.height = 4;
        f.pixels = std::vector<uint8_t>(48, 0x11);
        edit(f);
        return Build(f);
    };
    std::vector<Hostile> cases;
    cases.push_back({"tiny", {'B', 'M', 1, 2, 3}, "Not a BMP"});
    cases.push_back({"header20", make([](FakeBmp& f) { f.headerSize = 20; }), "Error reading BMP info"});
    cases.push_back({"truncatedHeader", std::vector<uint8_t>{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 4},
                     "Error reading BMP info"});
    {
        std::vector<uint8_t> huge = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F};
        huge.resize(200, 1);
        cases.push_back({"headerLength2G", huge, "Error reading BMP info"});
    }
    cases.push_back({"negativeWidth", make([](FakeBmp& f) { f.width = -4; }), "width"});
    cases.push_back({"zeroHeight", make([](FakeBmp& f) { f.height = 0; }), "height"});
    cases.push_back({"bitCount30000", make([](FakeBmp& f) { f.bits = 30000; }), "bits per pixel"});
    cases.push_back({"bitCount64", make([](FakeBmp& f) { f.bits = 64; }), "bits per pixel"});
    auto depth = [&](uint16_t bits, uint32_t compression, uint32_t colors = 0) {
        return make([=](FakeBmp& f) {
            f.bits = bits;
            f.compression = compression;
            f.colorsUsed = colors;
        });
    };
    cases.push_back({"rle8On4bit", depth(4, 1), "8-bit run-length data in a 4-bit BMP"});
    cases.push_back({"rle8On1bit", depth(1, 1), "8-bit run-length data in a 1-bit BMP"});
    cases.push_back({"rle4On8bit", depth(8, 2), "4-bit run-length data in a 8-bit BMP"});
    cases.push_back({"compression4On8bit", depth(8, 4), "compression type not supported"});
    cases.push_back({"rle24", depth(24, 1), "unknown compression"});
    cases.push_back({"rle16", depth(16, 2), "unknown compression"});
    cases.push_back({"paletteTooLarge", depth(8, 0, 300), "palette of 300 entries for 8 bits"});
    cases.push_back({"paletteHuge", depth(1, 0, 305402420), "palette of 305402420 entries for 1 bits"});
    {
        FakeBmp f;
        f.bits = 8;
        f.colorsUsed = 200;
        f.afterHeader = std::vector<uint8_t>(40, 0);  // 10 of 200 entries, then the end
        cases.push_back({"paletteTruncated", Build(f), "palette is truncated"});
    }
    cases.push_back({"pixelsTruncated", make([](FakeBmp& f) { f.pixels.resize(30); }), "truncated"});
    cases.push_back({"dataOffsetBeyondEnd", make([](FakeBmp& f) { f.offBits = 100000; }), "lies beyond the file"});
    cases.push_back({"masksZero", make([](FakeBmp& f) {
                         f.bits = 16;
                         f.compression = 3;
                         f.afterHeader = Masks(0, 0x03E0, 0x001F);
                     }),
                     "colour masks"});
    cases.push_back({"masksOverlap", make([](FakeBmp& f) {
                         f.bits = 32;
                         f.compression = 3;
                         f.afterHeader = Masks(0xFF00, 0x0FF0, 0x00FF);
                     }),
                     "colour masks"});
    {
        FakeBmp f;
        f.bits = 16;
        f.compression = 3;
        f.afterHeader = {0x00, 0xF8, 0, 0, 0xE0};  // masks cut short
        cases.push_back({"masksTruncated", Build(f), "colour masks are truncated"});
    }
    cases.push_back({"tooLarge", make([](FakeBmp& f) {
                         f.width = 3000000;
                         f.height = 2000000;
                     }),
                     lfimg::kMaxMemoryError});
    // 70 million 24-bit pixels fit under the ceiling, but not one 32-bit file row of them.
    cases.push_back({"rowBeyondCeiling", make([](FakeBmp& f) {
                         f.width = 70000000;
                         f.height = 1;
                         f.bits = 32;
                     }),
                     lfimg::kMaxMemoryError});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Files, BmpHostile, ::testing::ValuesIn(HostileCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CLfImageBMP, OverrunningRunLengthDataStaysInsideTheImage)
{
    // Runs, deltas and literals that reach far beyond the edges of a 3 x 2 image.
    for (uint16_t bits : {uint16_t(4), uint16_t(8)}) {
        const int run = bits == 8 ? 0x11 : 1;      // a run of value 0x11
        const int literal = bits == 8 ? 0x33 : 3;  // literal bytes 0x33
        std::vector<uint8_t> deltaBeyond = {255, 0x11, 0, 2, 255, 255, 2, 0x22, 0, 1};
        std::vector<uint8_t> longLiteral = {0, 0, 0, 255};
        const size_t literalBytes = bits == 8 ? 256 : 128;  // with the pad byte
        longLiteral.insert(longLiteral.end(), literalBytes, 0x33);
        longLiteral.insert(longLiteral.end(), {0, 1});
        const std::pair<std::vector<uint8_t>, std::vector<int>> cases[] = {
            {deltaBeyond, {0, 0, 0, run, run, run}},
            {longLiteral, {literal, literal, literal, 0, 0, 0}},
        };
        for (const auto& [data, expected] : cases) {
            FakeBmp f;
            f.width = 3;
            f.height = 2;
            f.bits = bits;
            f.compression = bits == 8 ? 1 : 2;
            f.afterHeader = std::vector<uint8_t>(4u << bits, 0);
            f.pixels = data;
            CLfImageBMP img;
            ASSERT_TRUE(DecodeBytes(img, Build(f))) << img.GetLastError();
            EXPECT_EQ(IndicesTopDown(img), expected) << bits << " bits";
        }
    }
}

TEST(CLfImageBMP, FailedDecodeReportsAndKeepsNothing)
{
    CLfImageBMP img;
    EXPECT_FALSE(img.Decode(nullptr));
    EXPECT_FALSE(img.IsValid());
    EXPECT_STREQ(img.GetLastError(), "null file handler");

    // A 16 x 16 file cut in its pixels: the half-read picture is dropped.
    CLfImage picture(16, 16, 24);
    uint8_t* buffer = nullptr;
    int64_t size = 0;
    ASSERT_TRUE(picture.Encode(buffer, size, lfimg::kTypeBMP));
    CLfMemoryStream cut(buffer, size - 100);
    CLfImageBMP codec;
    EXPECT_FALSE(codec.Decode(&cut));
    EXPECT_STREQ(codec.GetLastError(), "BMP pixel data is truncated");
    EXPECT_FALSE(codec.IsValid());
    EXPECT_EQ(codec.GetWidth(), 0);
    std::free(buffer);
}

// The data offset is checked against the file's size, not by a seek (which
// succeeds past the end of a memory or file stream).
TEST(CLfImageBMP, DataOffsetPastTheEndIsRefused)
{
    CLfImage picture(4, 4, 24);
    uint8_t* buffer = nullptr;
    int64_t size = 0;
    ASSERT_TRUE(picture.Encode(buffer, size, lfimg::kTypeBMP));
    lftest::Bytes file(buffer, buffer + size);
    std::free(buffer);
    for (uint32_t offset : {uint32_t(file.size()), uint32_t(file.size() + 1), 0x7FFFFFFFu}) {
        lftest::Bytes bad = file;
        for (int i = 0; i < 4; ++i)
            bad[size_t(10 + i)] = uint8_t(offset >> (8 * i));
        auto img = lftest::DecodeFrom<CLfImageBMP>(bad);
        EXPECT_FALSE(img->IsValid()) << offset;
        EXPECT_EQ(std::string(img->GetLastError()), "BMP data offset " + std::to_string(offset) + " lies beyond the file");
    }
}

// ---- Encoding failures ------------------------------------------------------------------

TEST(CLfImageBMP, ShortWriteFailsTheEncode)
{
    CLfImage img(20, 20, 24);
    for (size_t room : {size_t(0), size_t(20), size_t(54), size_t(500)}) {
        lftest::ShortStream stream(room);
        EXPECT_FALSE(img.Encode(&stream, lfimg::kTypeBMP)) << room;
        EXPECT_NE(std::strstr(img.GetLastError(), "BMP write failed"), nullptr) << img.GetLastError();
    }
}

TEST(CLfImageBMP, EncodeRefusesNullStreamAndEmptyImage)
{
    CLfImage empty;
    CLfMemoryStream stream;
    EXPECT_FALSE(empty.Encode(&stream, lfimg::kTypeBMP));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    CLfImage img(2, 2, 8);
    EXPECT_FALSE(img.Encode(static_cast<CLfStream*>(nullptr), lfimg::kTypeBMP));
    EXPECT_STREQ(img.GetLastError(), "null file handler");
}

// ---- Files written by ImageMagick ------------------------------------------------------

struct MagickCase {
    const char* name;
    const char* options;  // convert options before the output
    const char* format;   // output prefix
    uint32_t bpp;         // depth of the decoded image
};
void PrintTo(const MagickCase& c, std::ostream* os)
{
    *os << c.name;
}

class BmpFromMagick : public ::testing::TestWithParam<MagickCase> {};

TEST_P(BmpFromMagick, DecodesToThePixelsMagickDumps)
{
    const MagickCase& c = GetParam();
    lftest::TempDir dir;
    const std::string file = (dir / "m.bmp").string();
    // A picture with many colours: red across, green down, blue in a pattern.
    const std::string make = std::string("convert -size 33x7 xc: -channel R -fx 'i/w' -channel G -fx 'j/h' ") +
                             "-channel B -fx '((i*j)%7)/7' +channel " + c.options + " " + c.format + ":'" + file +
                             "' 2>&1";
    bool ok = false;
    const std::string out = lftest::RunCommand(make, &ok);
    ASSERT_TRUE(ok) << "convert failed: " << out;
    int w = 0, h = 0;
    const std::vector<uint8_t> expected = lftest::MagickRgb(file, &w, &h);
    ASSERT_FALSE(expected.empty());

    CLfImageBMP img;
    ASSERT_TRUE(DecodeBytes(img, lftest::ReadBytes(file))) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), w);
    EXPECT_EQ(img.GetHeight(), h);
    EXPECT_EQ(img.GetBpp(), c.bpp);
    EXPECT_EQ(lftest::FirstDifference(lftest::ImageRgb(img), expected), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Writers, BmpFromMagick,
    ::testing::Values(MagickCase{"rgb24", "-depth 8", "BMP3", 24}, MagickCase{"pal8", "-colors 200 -type Palette", "BMP3", 8},
                      MagickCase{"pal4", "-colors 12 -type Palette", "BMP3", 4},
                      MagickCase{"mono", "-monochrome", "BMP3", 1},
                      MagickCase{"rle8", "-colors 100 -type Palette -compress RLE", "BMP3", 8},
                      MagickCase{"v5rgb24", "-depth 8", "BMP", 24},
                      MagickCase{"v5bitfields32", "-alpha set -channel A -fx 0.5 +channel", "BMP", 24},
                      MagickCase{"os2core24", "", "BMP2", 24}, MagickCase{"os2core8", "-colors 50", "BMP2", 8}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The public BMP suite ----------------------------------------------------------------

std::string Suite(const std::string& leaf)
{
    return lftest::Corpus("bmpsuite/" + leaf).string();
}

// Compares a decoded image with its reference picture; 16-bit files keep only the
// top bits of each channel (5 or 6), which is what the reference is compared on.
void ExpectMatchesReference(const std::string& bmp, const std::string& ref, int redBits = 8, int greenBits = 8,
                            int blueBits = 8)
{
    CLfImage img;
    const std::vector<uint8_t> bytes = lftest::ReadBytes(Suite(bmp));
    ASSERT_TRUE(img.Decode(bytes.data(), int64_t(bytes.size()), lfimg::kTypeBMP)) << bmp << ": " << img.GetLastError();
    int w = 0, h = 0;
    std::vector<uint8_t> expected = lftest::MagickRgb(Suite(ref), &w, &h);
    ASSERT_FALSE(expected.empty()) << ref;
    ASSERT_EQ(img.GetWidth(), w) << bmp;
    ASSERT_EQ(img.GetHeight(), h) << bmp;
    const int keep[3] = {redBits, greenBits, blueBits};
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = uint8_t(expected[i] & (0xFF << (8 - keep[i % 3])));
    const int64_t diff = lftest::FirstDifference(lftest::ImageRgb(img), expected);
    EXPECT_EQ(diff, -1) << bmp << " differs at pixel " << diff / 3;
}

struct SuiteCase {
    const char* bmp;
    const char* ref;
    int r, g, b;
};
void PrintTo(const SuiteCase& c, std::ostream* os)
{
    *os << c.bmp;
}

class BmpSuite : public ::testing::TestWithParam<SuiteCase> {};

TEST_P(BmpSuite, MatchesReference)
{
    const SuiteCase& c = GetParam();
    ExpectMatchesReference(c.bmp, c.ref, c.r, c.g, c.b);
}

INSTANTIATE_TEST_SUITE_P(
    Good, BmpSuite,
    ::testing::Values(
        SuiteCase{"g/pal1.bmp", "refs/pal1.png", 8, 8, 8}, SuiteCase{"g/pal1wb.bmp", "refs/pal1.png", 8, 8, 8},
        SuiteCase{"g/pal1bg.bmp", "refs/pal1bg.png", 8, 8, 8}, SuiteCase{"g/pal4.bmp", "refs/pal4.png", 8, 8, 8},
        SuiteCase{"g/pal4gs.bmp", "refs/pal4gs.png", 8, 8, 8}, SuiteCase{"g/pal4rle.bmp", "refs/pal4.png", 8, 8, 8},
        SuiteCase{"g/pal8.bmp", "refs/pal8.png", 8, 8, 8}, SuiteCase{"g/pal8-0.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"g/pal8gs.bmp", "refs/pal8gs.png", 8, 8, 8}, SuiteCase{"g/pal8rle.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"g/pal8w126.bmp", "refs/pal8w126.png", 8, 8, 8},
        SuiteCase{"g/pal8w125.bmp", "refs/pal8w125.png", 8, 8, 8},
        SuiteCase{"g/pal8w124.bmp", "refs/pal8w124.png", 8, 8, 8},
        SuiteCase{"g/pal8topdown.bmp", "refs/pal8.png", 8, 8, 8}, SuiteCase{"g/pal8os2.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"g/pal8v4.bmp", "refs/pal8.png", 8, 8, 8}, SuiteCase{"g/pal8v5.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"g/rgb16.bmp", "refs/rgb16.png", 5, 5, 5}, SuiteCase{"g/rgb16bfdef.bmp", "refs/rgb16.png", 5, 5, 5},
        SuiteCase{"g/rgb16-565.bmp", "refs/rgb16-565.png", 5, 6, 5},
        SuiteCase{"g/rgb16-565pal.bmp", "refs/rgb16-565.png", 5, 6, 5},
        SuiteCase{"g/rgb24.bmp", "refs/rgb24.png", 8, 8, 8}, SuiteCase{"g/rgb24pal.bmp", "refs/rgb24.png", 8, 8, 8},
        SuiteCase{"g/rgb32.bmp", "refs/rgb24.png", 8, 8, 8}, SuiteCase{"g/rgb32bfdef.bmp", "refs/rgb24.png", 8, 8, 8},
        SuiteCase{"g/rgb32bf.bmp", "refs/rgb24.png", 8, 8, 8},
        // Questionable files this decoder reads exactly; undefined run-length pixels
        // are palette index 0 here, which one reference picture shows.
        SuiteCase{"q/pal8offs.bmp", "refs/pal8.png", 8, 8, 8}, SuiteCase{"q/pal8os2sp.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"q/pal8os2-sz.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"q/pal8os2-hs.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"q/pal8os2v2.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"q/pal8os2v2-sz.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"q/pal8os2v2-40sz.bmp", "refs/pal8.png", 8, 8, 8},
        SuiteCase{"q/pal8rletrns.bmp", "refs/pal8rletrns-0.png", 8, 8, 8},
        SuiteCase{"q/pal4rletrns.bmp", "refs/pal4rletrns-0.png", 8, 8, 8},
        SuiteCase{"q/pal8rlecut.bmp", "refs/pal8rlecut-0.png", 8, 8, 8},
        SuiteCase{"q/pal4rlecut.bmp", "refs/pal4rlecut-0.png", 8, 8, 8},
        SuiteCase{"q/rgb24largepal.bmp", "refs/rgb24.png", 8, 8, 8},
        SuiteCase{"q/rgb24prof.bmp", "refs/rgb24.png", 8, 8, 8},
        SuiteCase{"q/rgb24lprof.bmp", "refs/rgb24.png", 8, 8, 8},
        SuiteCase{"q/rgb32fakealpha.bmp", "refs/rgb24.png", 8, 8, 8},
        SuiteCase{"q/rgb32h52.bmp", "refs/rgb24.png", 8, 8, 8},
        SuiteCase{"q/rgb32-xbgr.bmp", "refs/rgb24.png", 8, 8, 8}),
    [](const auto& info) { return TestName(info.param.bmp); });

TEST(CLfImageBMP, NonSquareFileKeepsItsPixelsAndResolution)
{
    CLfImage img;
    ASSERT_TRUE(img.Load(Suite("g/pal8nonsquare.bmp").c_str(), lfimg::kTypeBMP)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 127);
    EXPECT_EQ(img.GetHeight(), 32);
    EXPECT_EQ(img.info.xDpi, 2 * img.info.yDpi);
}

// Every file of the suite either decodes to an image of its stated size or fails with
// a message; the sanitizers watch for everything else.
TEST(CLfImageBMP, EverySuiteFileDecodesOrFailsCleanly)
{
    int files = 0;
    for (const char* folder : {"g", "q", "b", "x"}) {
        for (const auto& entry : std::filesystem::directory_iterator(Suite(folder))) {
            if (entry.path().extension() != ".bmp")
                continue;
            ++files;
            const std::vector<uint8_t> bytes = lftest::ReadBytes(entry.path());
            CLfImageBMP img;
            if (DecodeBytes(img, bytes)) {
                EXPECT_GT(img.GetWidth(), 0) << entry.path();
                EXPECT_NE(img.info.bits, nullptr) << entry.path();
            } else {
                EXPECT_STRNE(img.GetLastError(), "") << entry.path();
            }
        }
    }
    EXPECT_GT(files, 80);
}

struct BadCase {
    const char* file;
    const char* error;
};
void PrintTo(const BadCase& c, std::ostream* os)
{
    *os << c.file;
}

class BmpSuiteBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(BmpSuiteBad, IsRefused)
{
    CLfImageBMP img;
    EXPECT_FALSE(DecodeBytes(img, lftest::ReadBytes(Suite(GetParam().file))));
    EXPECT_NE(std::strstr(img.GetLastError(), GetParam().error), nullptr) << img.GetLastError();
}

INSTANTIATE_TEST_SUITE_P(
    Bad, BmpSuiteBad,
    ::testing::Values(BadCase{"b/badbitcount.bmp", "bits per pixel"}, BadCase{"b/badwidth.bmp", "width"},
                      BadCase{"b/badpalettesize.bmp", "palette of"}, BadCase{"b/reallybig.bmp", lfimg::kMaxMemoryError},
                      BadCase{"b/shortfile.bmp", "truncated"}, BadCase{"b/rgb16-880.bmp", "colour masks"},
                      BadCase{"q/rgba64.bmp", "bits per pixel"}, BadCase{"q/rgb24jpeg.bmp", "bits per pixel"}),
    [](const auto& info) { return TestName(info.param.file); });

}  // namespace
