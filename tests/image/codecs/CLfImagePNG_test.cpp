// PNG codec: the public PNG suite against its decoded pixels, hand-made files for the
// transparency, resolution and hostile cases, and round trips through the encoder.

#include "image/codecs/CLfImagePNG.h"
#include "image/CLfMemoryStream.h"
#include "tests/image/CodecTestUtil.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using lftest::ExpectUnchanged;
using lftest::EncodeToBytes;
using lftest::Rgba;
using lftest::ShortStream;
using lftest::Snap;

fs::path SuiteDir() { return lftest::Corpus("pngsuite"); }

// The numbers of a JSON array of integers.
std::vector<int> ReadJsonNumbers(const fs::path& file)
{
    const std::string text = lftest::ReadText(file);
    std::vector<int> values;
    int current = -1;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            current = (current < 0 ? 0 : current * 10) + (c - '0');
        } else if (current >= 0) {
            values.push_back(current);
            current = -1;
        }
    }
    if (current >= 0) values.push_back(current);
    return values;
}

bool DecodeBytes(CLfImagePNG& png, const std::vector<uint8_t>& bytes)
{
    CLfMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    return png.Decode(&stream);
}

// --- A small PNG writer of our own, for files the suite does not have ----------------

void PutBE32(std::vector<uint8_t>& v, uint32_t x)
{
    v.insert(v.end(), {uint8_t(x >> 24), uint8_t(x >> 16), uint8_t(x >> 8), uint8_t(x)});
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    PutBE32(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    PutBE32(png, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

struct Chunk {
    const char* type;
    std::vector<uint8_t> data;
};

// rows: each row's raw bytes without the filter byte (filter 0 is added).
std::vector<uint8_t> MakePng(uint32_t w, uint32_t h, uint8_t depth, uint8_t colorType,
                             const std::vector<std::vector<uint8_t>>& rows, const std::vector<Chunk>& extra = {})
{
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    PutBE32(ihdr, w);
    PutBE32(ihdr, h);
    ihdr.insert(ihdr.end(), {depth, colorType, 0, 0, 0});
    PutChunk(png, "IHDR", ihdr);
    for (const Chunk& c : extra) PutChunk(png, c.type, c.data);
    std::vector<uint8_t> raw;
    for (const auto& row : rows) {
        raw.push_back(0);
        raw.insert(raw.end(), row.begin(), row.end());
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

// The chunks of a PNG file by type (the last one of each type).
std::map<std::string, std::vector<uint8_t>> Chunks(const std::vector<uint8_t>& png)
{
    std::map<std::string, std::vector<uint8_t>> out;
    size_t pos = 8;
    while (pos + 12 <= png.size()) {
        const uint32_t len = (uint32_t(png[pos]) << 24) | (png[pos + 1] << 16) | (png[pos + 2] << 8) | png[pos + 3];
        const std::string type(png.begin() + pos + 4, png.begin() + pos + 8);
        if (pos + 12 + len > png.size()) break;
        out[type] = std::vector<uint8_t>(png.begin() + pos + 8, png.begin() + pos + 8 + len);
        pos += 12 + len;
    }
    return out;
}

uint32_t BE32(const std::vector<uint8_t>& v, size_t at)
{
    return (uint32_t(v[at]) << 24) | (v[at + 1] << 16) | (v[at + 2] << 8) | v[at + 3];
}

// A palette image whose pixel (x, y) holds index (x + 3y) mod used, palette entry i
// = (i, 255 - i, 7i).
void FillPaletteImage(CLfImage& img, int32_t w, int32_t h, uint32_t bpp, unsigned used)
{
    ASSERT_TRUE(img.Create(w, h, bpp, 0));
    for (unsigned i = 0; i < img.GetNumColors(); ++i)
        img.SetPaletteColor(static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                            static_cast<uint8_t>(7 * i));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) img.SetPixelIndex(x, y, static_cast<uint8_t>((x + 3 * y) % used));
}

void FillRgbImage(CLfImage& img, int32_t w, int32_t h)
{
    ASSERT_TRUE(img.Create(w, h, 24, 0));
    for (int32_t y = 0; y < h; ++y) {
        uint8_t* row = img.GetBits(static_cast<uint32_t>(y));
        for (int32_t x = 0; x < w; ++x) {
            row[3 * x] = static_cast<uint8_t>(x * 5 + y);
            row[3 * x + 1] = static_cast<uint8_t>(y * 9);
            row[3 * x + 2] = static_cast<uint8_t>(x ^ y);
        }
    }
}

// --- The suite -------------------------------------------------------------------------

TEST(CLfImagePNG, SuiteDecodesToItsPixels)
{
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(SuiteDir() / "png")) {
        const std::string name = entry.path().stem().string();
        if (name[0] == 'x') continue;
        SCOPED_TRACE(name);
        const std::vector<int> expected = ReadJsonNumbers(SuiteDir() / "json" / (name + ".json"));
        const char colorType = name[name.size() - 4];
        const int bitDepth = std::stoi(name.substr(name.size() - 2));

        const std::vector<uint8_t> file = lftest::ReadBytes(entry.path());
        CLfImagePNG png;
        ASSERT_TRUE(DecodeBytes(png, file)) << png.GetLastError();
        EXPECT_EQ(png.GetType(), lfimg::kTypePNG);
        const std::vector<uint8_t> got = Rgba(png);
        ASSERT_EQ(got.size(), expected.size());

        // A transparent colour of grey and RGB files, grey with 8-bit alpha and
        // 16-bit RGBA are composited onto the file's background or light grey.
        const auto chunks = Chunks(file);
        const bool flattened = (chunks.count("tRNS") && (colorType == '0' || colorType == '2')) ||
                               (colorType == '4' && bitDepth == 8) || (colorType == '6' && bitDepth == 16);
        int background[3] = {192, 192, 192};
        if (flattened && chunks.count("bKGD")) {
            const auto& b = chunks.at("bKGD");  // big-endian samples: grey, or red, green, blue
            const int top = (1 << std::min(bitDepth, 8)) - 1;
            for (int k = 0; k < 3; ++k) {
                const size_t at = b.size() == 2 ? 0 : size_t(2 * k);
                background[k] = bitDepth == 16 ? b[at] : b[at + 1] * 255 / top;
            }
        }
        int mismatches = 0;
        for (size_t i = 0; i < got.size(); i += 4) {
            int want[4];
            for (int k = 0; k < 4; ++k) want[k] = bitDepth == 16 ? expected[i + k] >> 8 : expected[i + k];
            if (flattened) {
                for (int k = 0; k < 3; ++k)
                    want[k] = (want[k] * want[3] + background[k] * (255 - want[3]) + 127) / 255;
                want[3] = 255;
                for (int k = 0; k < 4; ++k)
                    if (std::abs(got[i + k] - want[k]) > 2) ++mismatches;
            } else {
                for (int k = 0; k < 4; ++k)
                    if (got[i + k] != want[k]) ++mismatches;
            }
        }
        EXPECT_EQ(mismatches, 0);
        ++checked;
    }
    EXPECT_GT(checked, 150);
}

TEST(CLfImagePNG, CorruptSuiteFilesAreRefused)
{
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(SuiteDir() / "png")) {
        const std::string name = entry.path().stem().string();
        if (name[0] != 'x') continue;
        SCOPED_TRACE(name);
        CLfImagePNG png;
        EXPECT_FALSE(DecodeBytes(png, lftest::ReadBytes(entry.path())));
        EXPECT_STRNE(png.GetLastError(), "");
        EXPECT_FALSE(png.IsValid());
        ++checked;
    }
    EXPECT_GE(checked, 14);
}

TEST(CLfImagePNG, DepthPaletteAndAlphaByKind)
{
    struct Case {
        const char* file;
        uint32_t bpp;
        uint32_t colors;
        bool alphaPlane;
    };
    const Case cases[] = {
        {"basn0g01", 1, 2, false},   {"basn0g02", 4, 16, false}, {"basn3p02", 4, 16, false},
        {"basn0g16", 8, 256, false}, {"basn2c16", 24, 0, false}, {"basn6a08", 24, 0, true},
        {"basn4a08", 8, 256, false}, {"basn4a16", 24, 0, true},  {"basi6a16", 24, 0, false},  // composited
        {"basn3p08", 8, 256, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        CLfImagePNG png;
        ASSERT_TRUE(DecodeBytes(png, lftest::ReadBytes(SuiteDir() / "png" / (std::string(c.file) + ".png"))))
            << png.GetLastError();
        EXPECT_EQ(png.GetBpp(), c.bpp);
        EXPECT_EQ(png.GetNumColors(), c.colors);
        EXPECT_EQ(png.alpha != nullptr, c.alphaPlane);
    }
    // 2-bit grey: four levels in the first four of sixteen entries.
    CLfImagePNG grey2;
    ASSERT_TRUE(DecodeBytes(grey2, lftest::ReadBytes(SuiteDir() / "png" / "basn0g02.png")));
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(grey2.GetPaletteColor(i).rgbRed, i * 85);
}

TEST(CLfImagePNG, TransparencyChunksBecomeTheImagesTransparency)
{
    const std::vector<std::vector<uint8_t>> rows{{0, 1, 2, 3}};
    const std::vector<uint8_t> plte{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};

    CLfImagePNG one;
    ASSERT_TRUE(DecodeBytes(one, MakePng(4, 1, 8, 3, rows, {{"PLTE", plte}, {"tRNS", {0}}})));
    EXPECT_EQ(one.info.transIndex, 0);
    EXPECT_FALSE(one.info.alphaPalette);

    CLfImagePNG two;
    ASSERT_TRUE(DecodeBytes(two, MakePng(4, 1, 8, 3, rows, {{"PLTE", plte}, {"tRNS", {0, 128}}})));
    EXPECT_EQ(two.info.transIndex, -1);
    EXPECT_TRUE(two.info.alphaPalette);
    EXPECT_EQ(two.GetPaletteColor(0).rgbReserved, 0);
    EXPECT_EQ(two.GetPaletteColor(1).rgbReserved, 128);
    EXPECT_EQ(two.GetPaletteColor(2).rgbReserved, 255);
    EXPECT_EQ(two.GetPaletteColor(255).rgbReserved, 255);

    // Grey and RGB files give a transparent colour: its pixels take the file's
    // background, or light grey without one, and the image is opaque.
    CLfImagePNG grey;
    ASSERT_TRUE(DecodeBytes(grey, MakePng(4, 1, 8, 0, {{5, 7, 9, 7}}, {{"tRNS", {0, 7}}})));
    EXPECT_EQ(grey.GetBpp(), 8u);
    EXPECT_EQ(grey.info.transIndex, -1);
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 5);
    EXPECT_EQ(grey.GetPixelIndex(1, 0), 192);
    EXPECT_EQ(grey.GetPixelIndex(3, 0), 192);

    CLfImagePNG greyOnBackground;
    ASSERT_TRUE(DecodeBytes(greyOnBackground,
                            MakePng(2, 1, 8, 0, {{5, 7}}, {{"tRNS", {0, 7}}, {"bKGD", {0, 40}}})));
    EXPECT_EQ(greyOnBackground.GetPixelIndex(1, 0), 40);

    CLfImagePNG rgb;
    ASSERT_TRUE(DecodeBytes(rgb, MakePng(2, 1, 8, 2, {{1, 2, 3, 200, 100, 50}}, {{"tRNS", {0, 200, 0, 100, 0, 50}}})));
    EXPECT_EQ(rgb.info.transIndex, -1);
    EXPECT_EQ(Rgba(rgb), (std::vector<uint8_t>{1, 2, 3, 255, 192, 192, 192, 255}));

    CLfImagePNG rgbOnBackground;
    ASSERT_TRUE(DecodeBytes(rgbOnBackground, MakePng(1, 1, 8, 2, {{200, 100, 50}},
                                                     {{"tRNS", {0, 200, 0, 100, 0, 50}}, {"bKGD", {0, 9, 0, 8, 0, 7}}})));
    EXPECT_EQ(Rgba(rgbOnBackground), (std::vector<uint8_t>{9, 8, 7, 255}));

    // RGBA with a background: the alpha stays, the background becomes transColor.
    CLfImagePNG rgba;
    ASSERT_TRUE(DecodeBytes(rgba, MakePng(1, 1, 8, 6, {{9, 8, 7, 66}}, {{"bKGD", {0, 11, 0, 22, 0, 33}}})));
    EXPECT_EQ(Rgba(rgba), (std::vector<uint8_t>{9, 8, 7, 66}));
    EXPECT_EQ(rgba.info.transColor.rgbRed, 11);
    EXPECT_EQ(rgba.info.transColor.rgbBlue, 33);

    // 16-bit RGBA is composited onto its background (at 16 bits, then cut to 8).
    CLfImagePNG rgba16;
    ASSERT_TRUE(DecodeBytes(rgba16, MakePng(1, 1, 16, 6, {{9, 1, 8, 2, 7, 3, 66, 4}},
                                            {{"bKGD", {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}}})));
    EXPECT_EQ(rgba16.alpha, nullptr);
    EXPECT_EQ(Rgba(rgba16), (std::vector<uint8_t>{15, 66, 116, 255}));

    // Grey with 8-bit alpha is flattened onto its own background.
    CLfImagePNG flat;
    ASSERT_TRUE(DecodeBytes(flat, MakePng(2, 1, 8, 4, {{0, 0, 0, 255}}, {{"bKGD", {0, 200}}})));
    EXPECT_EQ(flat.alpha, nullptr);
    EXPECT_EQ(flat.GetPixelIndex(0, 0), 200);
    EXPECT_EQ(flat.GetPixelIndex(1, 0), 0);
    // ... or onto light grey without one.
    CLfImagePNG grey192;
    ASSERT_TRUE(DecodeBytes(grey192, MakePng(2, 1, 8, 4, {{0, 0, 90, 255}})));
    EXPECT_EQ(grey192.GetPixelIndex(0, 0), 192);
    EXPECT_EQ(grey192.GetPixelIndex(1, 0), 90);
}

TEST(CLfImagePNG, ResolutionFromPhysicalChunk)
{
    const std::vector<std::vector<uint8_t>> row{{0}};
    struct Case {
        std::vector<Chunk> chunks;
        int32_t x, y;
    };
    std::vector<uint8_t> metre{0, 0, 0x0B, 0x13, 0, 0, 0x0E, 0xC4, 1};  // 2835 x 3780 per metre
    std::vector<uint8_t> noUnit{0, 0, 0, 2, 0, 0, 0, 3, 0};               // aspect ratio only
    const Case cases[] = {{{}, 96, 96}, {{{"pHYs", metre}}, 72, 96}, {{{"pHYs", noUnit}}, 96, 96}};
    for (const Case& c : cases) {
        CLfImagePNG png;
        ASSERT_TRUE(DecodeBytes(png, MakePng(1, 1, 8, 0, row, c.chunks)));
        EXPECT_EQ(png.info.xDpi, c.x);
        EXPECT_EQ(png.info.yDpi, c.y);
        EXPECT_EQ(png.header.biXPelsPerMeter, c.x == 72 ? 2835 : 3780);
    }
}

TEST(CLfImagePNG, TruncatedFilesFailCleanly)
{
    const std::vector<uint8_t> whole = lftest::ReadBytes(SuiteDir() / "png" / "basn2c08.png");
    for (size_t cut : {size_t(0), size_t(7), size_t(20), size_t(40), whole.size() / 2, whole.size() - 13}) {
        SCOPED_TRACE(cut);
        CLfImagePNG png;
        EXPECT_FALSE(DecodeBytes(png, std::vector<uint8_t>(whole.begin(), whole.begin() + cut)));
        EXPECT_STRNE(png.GetLastError(), "");
        EXPECT_FALSE(png.IsValid());
    }
}

TEST(CLfImagePNG, HugeDimensionsAreRefusedBeforeAllocating)
{
    std::vector<uint8_t> file = MakePng(1, 1, 8, 6, {{1, 2, 3, 4}});
    // Rewrite the header to 60000 x 60000 RGBA (14 GB of pixels) and fix its CRC.
    file[16] = 0, file[17] = 0, file[18] = 0xEA, file[19] = 0x60;
    file[20] = 0, file[21] = 0, file[22] = 0xEA, file[23] = 0x60;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, file.data() + 12, 17));
    file[29] = uint8_t(crc >> 24), file[30] = uint8_t(crc >> 16), file[31] = uint8_t(crc >> 8), file[32] = uint8_t(crc);
    CLfImagePNG png;
    EXPECT_FALSE(DecodeBytes(png, file));
    EXPECT_STREQ(png.GetLastError(), "LFIMAGE_MAX_MEMORY exceeded");
}

TEST(CLfImagePNG, EscapeCancelsTheDecode)
{
    CLfImagePNG png;
    png.info.escape = 1;
    EXPECT_FALSE(DecodeBytes(png, lftest::ReadBytes(SuiteDir() / "png" / "basn2c08.png")));
    EXPECT_FALSE(png.IsValid());
}

TEST(CLfImagePNG, Expand2to4bppWidensInPlace)
{
    CLfImagePNG png;
    ASSERT_TRUE(png.Create(9, 1, 4, 0));
    uint8_t row[5] = {0b00011011, 0b11100100, 0b10000000, 0xEE, 0xEE};  // 0 1 2 3 | 3 2 1 0 | 2
    png.Expand2to4bpp(row);
    EXPECT_EQ(row[0], 0x01);
    EXPECT_EQ(row[1], 0x23);
    EXPECT_EQ(row[2], 0x32);
    EXPECT_EQ(row[3], 0x10);
    EXPECT_EQ(row[4] & 0xF0, 0x20);
}

// --- Encoding ------------------------------------------------------------------------

TEST(CLfImagePNG, RoundTripsAreExactAndLeaveTheCallerUnchanged)
{
    struct Case {
        const char* name;
        void (*make)(CLfImage&);
    };
    const Case cases[] = {
        {"1-bit", [](CLfImage& i) { FillPaletteImage(i, 37, 11, 1, 2); }},
        {"4-bit", [](CLfImage& i) { FillPaletteImage(i, 33, 9, 4, 16); }},
        {"8-bit", [](CLfImage& i) { FillPaletteImage(i, 41, 13, 8, 256); }},
        {"8-bit few", [](CLfImage& i) { FillPaletteImage(i, 41, 13, 8, 7); }},
        {"24-bit", [](CLfImage& i) { FillRgbImage(i, 29, 17); }},
        {"24-bit alpha",
         [](CLfImage& i) {
             FillRgbImage(i, 29, 17);
             i.AlphaCreate();
             for (int32_t y = 0; y < 17; ++y)
                 for (int32_t x = 0; x < 29; ++x) i.AlphaSet(x, y, static_cast<uint8_t>(x * 8 + y));
         }},
        {"24-bit key",
         [](CLfImage& i) {
             FillRgbImage(i, 29, 17);
             i.info.transIndex = 0;
             i.info.transColor = i.GetPixelColor(3, 4);
             i.info.transColor.rgbReserved = 0;
         }},
        {"8-bit palette alpha",
         [](CLfImage& i) {
             FillPaletteImage(i, 20, 20, 8, 256);
             for (unsigned k = 0; k < 256; ++k) i.GetPalette()[k].rgbReserved = static_cast<uint8_t>(255 - k);
             i.info.alphaPalette = true;
         }},
        {"4-bit transparent index",
         [](CLfImage& i) {
             FillPaletteImage(i, 15, 6, 4, 16);
             i.info.transIndex = 3;
         }},
        {"1-bit transparent index",
         [](CLfImage& i) {
             FillPaletteImage(i, 15, 6, 1, 2);
             i.info.transIndex = 1;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLfImagePNG src;
        c.make(src);
        ASSERT_TRUE(src.IsValid());
        const lftest::ImageSnapshot before = Snap(src);
        bool ok = false;
        const std::vector<uint8_t> bytes = EncodeToBytes(src, &ok);
        ASSERT_TRUE(ok) << src.GetLastError();
        ExpectUnchanged(before, src);

        CLfImagePNG back;
        ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
        EXPECT_EQ(back.GetWidth(), src.GetWidth());
        EXPECT_EQ(back.GetHeight(), src.GetHeight());
        EXPECT_EQ(Rgba(back), Rgba(src));
    }
}

TEST(CLfImagePNG, EncodedChunksDescribeTheImage)
{
    CLfImagePNG rgb;
    FillRgbImage(rgb, 5, 4);
    const auto chunks = Chunks(EncodeToBytes(rgb));
    ASSERT_TRUE(chunks.count("IHDR"));
    EXPECT_EQ(chunks.at("IHDR")[8], 8);  // bit depth
    EXPECT_EQ(chunks.at("IHDR")[9], 2);  // colour type RGB
    EXPECT_EQ(chunks.at("bKGD"), (std::vector<uint8_t>{0, 255, 0, 255, 0, 255}));
    ASSERT_EQ(chunks.at("pHYs").size(), 9u);
    EXPECT_EQ(BE32(chunks.at("pHYs"), 0), 3780u);
    EXPECT_EQ(BE32(chunks.at("pHYs"), 4), 3780u);
    EXPECT_EQ(chunks.at("pHYs")[8], 1);

    // Small images write only the palette entries their pixels use.
    CLfImagePNG few;
    FillPaletteImage(few, 100, 100, 8, 10);
    EXPECT_EQ(Chunks(EncodeToBytes(few)).at("PLTE").size(), 30u);
    CLfImagePNG big;
    FillPaletteImage(big, 300, 300, 8, 10);
    EXPECT_EQ(Chunks(EncodeToBytes(big)).at("PLTE").size(), 768u);
}

TEST(CLfImagePNG, TransparentIndexMovesToEntryZeroInTheFileOnly)
{
    CLfImagePNG src;
    FillPaletteImage(src, 10, 10, 8, 12);
    src.info.transIndex = 5;
    const lftest::ImageSnapshot before = Snap(src);
    const std::vector<uint8_t> bytes = EncodeToBytes(src);
    ExpectUnchanged(before, src);
    const auto chunks = Chunks(bytes);
    EXPECT_EQ(chunks.at("tRNS"), std::vector<uint8_t>{0});
    // Entry 0 of the file is the old entry 5: (5, 250, 35).
    EXPECT_EQ(std::vector<uint8_t>(chunks.at("PLTE").begin(), chunks.at("PLTE").begin() + 3),
              (std::vector<uint8_t>{5, 250, 35}));

    CLfImagePNG back;
    ASSERT_TRUE(DecodeBytes(back, bytes));
    EXPECT_EQ(back.info.transIndex, 0);
    EXPECT_EQ(Rgba(back), Rgba(src));
}

TEST(CLfImagePNG, GlobalOpacityScalesTheWrittenAlpha)
{
    CLfImagePNG src;
    FillRgbImage(src, 3, 2);
    src.AlphaCreate();
    src.AlphaSet(255);
    src.AlphaSet(1, 0, 100);
    src.info.alphaMax = 128;
    CLfImagePNG back;
    ASSERT_TRUE(DecodeBytes(back, EncodeToBytes(src)));
    ASSERT_NE(back.alpha, nullptr);
    EXPECT_EQ(back.AlphaGet(0, 0), 128);
    EXPECT_EQ(back.AlphaGet(1, 0), 100 * 128 / 255);
}

TEST(CLfImagePNG, EncodeFailuresAreReported)
{
    CLfImagePNG src;
    FillRgbImage(src, 64, 64);
    const size_t whole = EncodeToBytes(src).size();
    ASSERT_GT(whole, 100u);
    for (size_t limit : {size_t(0), size_t(8), size_t(60), whole - 1}) {
        SCOPED_TRACE(limit);
        ShortStream stream(limit);
        EXPECT_FALSE(src.Encode(&stream));
        EXPECT_STREQ(src.GetLastError(), "Error saving PNG file");
    }
    EXPECT_FALSE(src.Encode(nullptr));
    EXPECT_STREQ(src.GetLastError(), "null file handler");
    CLfImagePNG empty;
    CLfMemoryStream stream;
    EXPECT_FALSE(empty.Encode(&stream));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
}

}  // namespace
