// TIFF codec: the generated corpus against ImageMagick's dump of each file, every
// compression ImageMagick writes, pages written here with libtiff for each pixel
// kind, hostile and truncated files, and the encoder's pages and round trips.

#include "image/codecs/CLfImageTIF.h"
#include "image/CLfMemoryStream.h"
#include "image/codecs/LfTiffStream.h"
#include "tests/image/CodecTestUtil.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <tiffio.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using lftest::CountDiffs;
using lftest::EncodeToBytes;
using lftest::MagickPageRgba;
using lftest::Rgba;

fs::path CorpusTiff(const std::string& name) { return lftest::Corpus("generated/tiff/" + name); }

bool Decode(CLfImageTIF& tif, const std::vector<uint8_t>& bytes, int32_t frame = 0)
{
    tif.info.frame = frame;
    CLfMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    return tif.Decode(&stream);
}

// --- Pages written with libtiff directly --------------------------------------------

struct PageLayout {
    uint32_t width = 4;
    uint32_t height = 3;
    uint16_t samples = 1;
    uint16_t bits = 8;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    uint16_t compression = COMPRESSION_NONE;
    std::vector<uint16_t> extra;  // ExtraSamples types
    uint32_t tileWidth = 0;       // tiled when set
    uint32_t tileLength = 0;
    std::vector<uint16_t> red, green, blue;  // colour map
};

using SampleFn = std::function<uint32_t(uint32_t x, uint32_t y, uint16_t s)>;

void PutBits(std::vector<uint8_t>& row, uint64_t index, unsigned bits, uint32_t v)
{
    if (bits == 8) {
        row[index] = static_cast<uint8_t>(v);
    } else if (bits == 16) {
        const auto w = static_cast<uint16_t>(v);
        std::memcpy(&row[2 * index], &w, 2);
    } else {
        for (unsigned i = 0; i < bits; ++i) {
            const uint64_t bit = index * bits + i;
            if ((v >> (bits - 1 - i)) & 1) row[bit >> 3] |= static_cast<uint8_t>(0x80 >> (bit & 7));
        }
    }
}

std::vector<uint8_t> WritePage(const PageLayout& p, const SampleFn& sample)
{
    lftest::TempDir dir;
    const std::string path = (dir / "page.tif").string();
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    EXPECT_NE(tif, nullptr);
    if (!tif) return {};
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bits);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, p.planar);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, p.orientation);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, p.compression);
    if (!p.extra.empty()) TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(p.extra.size()), p.extra.data());
    if (!p.red.empty()) TIFFSetField(tif, TIFFTAG_COLORMAP, p.red.data(), p.green.data(), p.blue.data());
    const bool separate = p.planar == PLANARCONFIG_SEPARATE;
    const uint16_t planes = separate ? p.samples : 1;
    const uint16_t perRow = separate ? 1 : p.samples;
    if (p.tileWidth) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, p.tileWidth);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, p.tileLength);
        const tmsize_t tileSize = TIFFTileSize(tif);
        for (uint16_t plane = 0; plane < planes; ++plane)
            for (uint32_t ty = 0; ty < p.height; ty += p.tileLength)
                for (uint32_t tx = 0; tx < p.width; tx += p.tileWidth) {
                    std::vector<uint8_t> tile(static_cast<size_t>(tileSize));
                    const size_t rowBytes = (static_cast<size_t>(p.tileWidth) * perRow * p.bits + 7) / 8;
                    for (uint32_t y = 0; y < p.tileLength; ++y) {
                        std::vector<uint8_t> row(rowBytes);
                        for (uint32_t x = 0; x < p.tileWidth; ++x)
                            for (uint16_t k = 0; k < perRow; ++k)
                                if (tx + x < p.width && ty + y < p.height)
                                    PutBits(row, uint64_t(x) * perRow + k, p.bits,
                                            sample(tx + x, ty + y, separate ? plane : k));
                        std::memcpy(tile.data() + y * rowBytes, row.data(), rowBytes);
                    }
                    TIFFWriteTile(tif, tile.data(), tx, ty, 0, plane);
                }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 2u);
        const size_t rowBytes = (static_cast<size_t>(p.width) * perRow * p.bits + 7) / 8;
        for (uint16_t plane = 0; plane < planes; ++plane)
            for (uint32_t y = 0; y < p.height; ++y) {
                std::vector<uint8_t> row(rowBytes);
                for (uint32_t x = 0; x < p.width; ++x)
                    for (uint16_t k = 0; k < perRow; ++k)
                        PutBits(row, uint64_t(x) * perRow + k, p.bits, sample(x, y, separate ? plane : k));
                EXPECT_EQ(TIFFWriteScanline(tif, row.data(), y, plane), 1);
            }
    }
    TIFFClose(tif);
    return lftest::ReadBytes(path);
}

// The expected picture, top-down RGBA, from a function of the pixel.
std::vector<uint8_t> Picture(uint32_t w, uint32_t h, const std::function<std::array<uint8_t, 4>(uint32_t, uint32_t)>& f)
{
    std::vector<uint8_t> out;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            const auto c = f(x, y);
            out.insert(out.end(), c.begin(), c.end());
        }
    return out;
}

std::array<uint8_t, 4> Grey(unsigned v, unsigned a = 255)
{
    return {uint8_t(v), uint8_t(v), uint8_t(v), uint8_t(a)};
}

// --- The corpus and ImageMagick's compressions --------------------------------------

TEST(CLfImageTIF, CorpusMatchesImageMagick)
{
    struct Case {
        const char* file;
        int page;
        uint32_t bpp;
        bool alpha;
        int tolerance;
    };
    const Case cases[] = {
        {"base_rgb.tif", 0, 24, false, 0},
        {"rgb_none.tif", 0, 24, false, 0},
        {"rgb_lzw.tif", 0, 24, false, 0},
        {"rgb_lzw_predictor2.tif", 0, 24, false, 0},
        {"rgb_zip.tif", 0, 24, false, 0},
        {"rgb_packbits.tif", 0, 24, false, 0},
        {"rgb_jpeg.tif", 0, 24, false, 3},
        {"rgb_tiled64.tif", 0, 24, false, 0},
        {"rgb_planar_separate.tif", 0, 24, false, 0},
        {"rgb_bigendian.tif", 0, 24, false, 0},
        {"rgb_1row_per_strip.tif", 0, 24, false, 0},
        {"rgb16.tif", 0, 24, false, 1},
        {"rgba_unassoc.tif", 0, 24, true, 0},
        {"palette.tif", 0, 8, false, 0},
        {"F_bilevel_g3.tif", 0, 1, false, 0},
        {"F_bilevel_g4.tif", 0, 1, false, 0},
        {"multipage_2.tif", 0, 24, false, 0},
        {"multipage_2.tif", 1, 4, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " page " + std::to_string(c.page));
        CLfImageTIF tif;
        ASSERT_TRUE(Decode(tif, lftest::ReadBytes(CorpusTiff(c.file)), c.page)) << tif.GetLastError();
        EXPECT_EQ(tif.GetType(), lfimg::kTypeTIF);
        EXPECT_EQ(tif.GetBpp(), c.bpp);
        EXPECT_EQ(tif.alpha != nullptr, c.alpha);
        const std::vector<uint8_t> expected = MagickPageRgba(CorpusTiff(c.file), c.page);
        ASSERT_EQ(expected.size(), size_t(tif.GetWidth()) * tif.GetHeight() * 4);
        EXPECT_EQ(CountDiffs(Rgba(tif), expected, c.tolerance), 0u);
    }
}

TEST(CLfImageTIF, EveryCompressionOfImageMagickDecodes)
{
    lftest::TempDir dir;
    // A 53 x 37 source in which every channel varies.
    std::vector<uint8_t> ppm;
    const std::string head = "P6\n53 37\n255\n";
    ppm.assign(head.begin(), head.end());
    std::vector<uint8_t> source;
    for (int y = 0; y < 37; ++y)
        for (int x = 0; x < 53; ++x) {
            const uint8_t px[4] = {uint8_t(x * 4), uint8_t(y * 6), uint8_t((x * y) & 0xFF), 255};
            ppm.insert(ppm.end(), px, px + 3);
            source.insert(source.end(), px, px + 4);
        }
    lftest::WriteBytes(dir / "src.ppm", ppm);

    struct Case {
        const char* compress;
        const char* extra;
        uint32_t bpp;
        bool lossless;
    };
    const Case cases[] = {
        {"None", "", 24, true},   {"LZW", "", 24, true},  {"Zip", "", 24, true},
        {"RLE", "", 24, true},    {"LZMA", "", 24, true}, {"Zstd", "", 24, true},
        {"JPEG", "", 24, false},  {"WebP", "", 24, false}, {"Fax", "-monochrome", 1, false},
        {"Group4", "-monochrome", 1, false},
        {"LZW", "-colorspace Gray", 8, false}, {"Zip", "-colors 16 -type Palette", 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.compress) + " " + c.extra);
        const fs::path file = dir / (std::string(c.compress) + ".tif");
        const std::string command = "convert '" + (dir / "src.ppm").string() + "' " + c.extra +
                                    " -depth 8 -compress " + c.compress + " '" + file.string() + "' 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        CLfImageTIF tif;
        ASSERT_TRUE(Decode(tif, lftest::ReadBytes(file))) << tif.GetLastError();
        EXPECT_EQ(tif.GetBpp(), c.bpp);
        const std::vector<uint8_t> got = Rgba(tif);
        EXPECT_EQ(CountDiffs(got, MagickPageRgba(file), 0), 0u);
        if (c.lossless) {
            EXPECT_EQ(CountDiffs(got, source, 0), 0u);
        }
    }
}

// --- Pixel kinds, written here with libtiff ------------------------------------------

std::vector<uint16_t> Ramp16(size_t n, unsigned mul, unsigned add)
{
    std::vector<uint16_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint16_t>((i * mul + add) & 0xFFFF);
    return v;
}

TEST(CLfImageTIF, PixelKindsDecodeToTheirPictures)
{
    struct Case {
        const char* name;
        PageLayout layout;
        SampleFn sample;
        uint32_t bpp;
        bool alpha;
        std::function<std::array<uint8_t, 4>(uint32_t, uint32_t)> expect;
        int tolerance = 0;
    };
    auto checker = [](uint32_t x, uint32_t y, uint16_t) { return (x + y) & 1u; };
    auto ramp = [](unsigned levels) {
        return [levels](uint32_t x, uint32_t y, uint16_t) { return (x + 2 * y) % levels; };
    };
    PageLayout bilevelWhite;
    bilevelWhite.bits = 1, bilevelWhite.photometric = PHOTOMETRIC_MINISWHITE, bilevelWhite.width = 11;
    PageLayout bilevelBlack = bilevelWhite;
    bilevelBlack.photometric = PHOTOMETRIC_MINISBLACK;
    PageLayout grey2;
    grey2.bits = 2, grey2.width = 7;
    PageLayout grey3;
    grey3.bits = 3, grey3.width = 9;
    PageLayout grey4;
    grey4.bits = 4, grey4.width = 7;
    PageLayout grey5White;
    grey5White.bits = 5, grey5White.width = 9, grey5White.photometric = PHOTOMETRIC_MINISWHITE;
    PageLayout grey16;
    grey16.bits = 16;
    PageLayout pal1;
    pal1.bits = 1, pal1.photometric = PHOTOMETRIC_PALETTE, pal1.width = 9;
    pal1.red = {0x1000, 0xF000}, pal1.green = {0x2000, 0xE000}, pal1.blue = {0x3000, 0xD000};
    PageLayout pal2 = pal1;
    pal2.bits = 2;
    pal2.red = Ramp16(4, 0x4000, 0x100), pal2.green = Ramp16(4, 0x3000, 0), pal2.blue = Ramp16(4, 0x1000, 0x800);
    PageLayout pal8narrow = pal1;  // a map whose values all fit in a byte is taken as it is
    pal8narrow.bits = 8;
    pal8narrow.red = Ramp16(256, 1, 0), pal8narrow.green = Ramp16(256, 0, 77), pal8narrow.blue = Ramp16(256, 0, 200);
    PageLayout pal8wide = pal8narrow;  // 16-bit values are scaled
    pal8wide.red = Ramp16(256, 257, 0), pal8wide.green = Ramp16(256, 0, 0x8000), pal8wide.blue = Ramp16(256, 0, 0xFFFF);
    PageLayout pal16 = pal1;  // a colour map of 65536 entries
    pal16.bits = 16, pal16.width = 5;
    pal16.red = Ramp16(65536, 1, 0), pal16.green = Ramp16(65536, 3, 0), pal16.blue = Ramp16(65536, 0, 0x4444);
    PageLayout greyAlpha;
    greyAlpha.samples = 2, greyAlpha.extra = {EXTRASAMPLE_UNASSALPHA};
    PageLayout greyAlpha4 = greyAlpha;  // two samples of 4 bits
    greyAlpha4.bits = 4, greyAlpha4.width = 5;
    PageLayout rgb4;  // three samples of 4 bits
    rgb4.samples = 3, rgb4.bits = 4, rgb4.photometric = PHOTOMETRIC_RGB, rgb4.width = 5;
    PageLayout rgba;
    rgba.samples = 4, rgba.photometric = PHOTOMETRIC_RGB, rgba.extra = {EXTRASAMPLE_UNASSALPHA};
    PageLayout rgbaAssoc = rgba;
    rgbaAssoc.extra = {EXTRASAMPLE_ASSOCALPHA};
    PageLayout rgba16Planes = rgba;
    rgba16Planes.bits = 16, rgba16Planes.planar = PLANARCONFIG_SEPARATE;
    PageLayout tiledGrey;  // the last tile column reaches past the image
    tiledGrey.width = 40, tiledGrey.height = 20, tiledGrey.tileWidth = 16, tiledGrey.tileLength = 16;
    PageLayout tiledGrey4 = tiledGrey;
    tiledGrey4.bits = 4;
    PageLayout cmyk;
    cmyk.samples = 4, cmyk.photometric = PHOTOMETRIC_SEPARATED;
    PageLayout lzwRgb;
    lzwRgb.samples = 3, lzwRgb.photometric = PHOTOMETRIC_RGB, lzwRgb.compression = COMPRESSION_LZW;

    const auto px = [](uint32_t x, uint32_t y) { return (x + 2 * y); };
    const Case cases[] = {
        {"bilevel white is zero", bilevelWhite, checker, 1, false,
         [](uint32_t x, uint32_t y) { return Grey((x + y) & 1 ? 0 : 255); }},
        {"bilevel black is zero", bilevelBlack, checker, 1, false,
         [](uint32_t x, uint32_t y) { return Grey((x + y) & 1 ? 255 : 0); }},
        {"grey 2 bits", grey2, ramp(4), 4, false, [&](uint32_t x, uint32_t y) { return Grey(px(x, y) % 4 * 85); }},
        {"grey 3 bits", grey3, ramp(8), 4, false, [&](uint32_t x, uint32_t y) { return Grey(px(x, y) % 8 * 255 / 7); }},
        {"grey 4 bits", grey4, ramp(16), 4, false, [&](uint32_t x, uint32_t y) { return Grey(px(x, y) % 16 * 17); }},
        {"grey 5 bits, white is zero", grey5White, ramp(32), 8, false,
         [&](uint32_t x, uint32_t y) { return Grey(255 - px(x, y) % 32 * 255 / 31); }},
        {"grey 16 bits", grey16, [](uint32_t x, uint32_t y, uint16_t) { return x * 9000 + y * 300 + 77; }, 8, false,
         [](uint32_t x, uint32_t y) { return Grey((x * 9000 + y * 300 + 77) >> 8); }},
        {"palette 1 bit", pal1, checker, 1, false,
         [](uint32_t x, uint32_t y) {
             return (x + y) & 1 ? std::array<uint8_t, 4>{0xEF, 0xDF, 0xCF, 255} : std::array<uint8_t, 4>{0x0F, 0x1F, 0x2F, 255};
         }},
        {"palette 2 bits", pal2, ramp(4), 4, false,
         [&](uint32_t x, uint32_t y) {
             const unsigned i = px(x, y) % 4;
             return std::array<uint8_t, 4>{uint8_t((i * 0x4000 + 0x100) * 255 / 65535), uint8_t(i * 0x3000 * 255 / 65535),
                                           uint8_t((i * 0x1000 + 0x800) * 255 / 65535), 255};
         }},
        {"palette 8 bits, narrow map", pal8narrow, ramp(256), 8, false,
         [&](uint32_t x, uint32_t y) { return std::array<uint8_t, 4>{uint8_t(px(x, y)), 77, 200, 255}; }},
        {"palette 8 bits, wide map", pal8wide, ramp(256), 8, false,
         [&](uint32_t x, uint32_t y) { return std::array<uint8_t, 4>{uint8_t(px(x, y)), 127, 255, 255}; }},
        {"palette 16 bits", pal16, [](uint32_t x, uint32_t y, uint16_t) { return x * 5000 + y * 11; }, 24, false,
         [](uint32_t x, uint32_t y) {
             const unsigned i = x * 5000 + y * 11;
             return std::array<uint8_t, 4>{uint8_t(i * 255 / 65535), uint8_t((i * 3 & 0xFFFF) * 255 / 65535), 0x44, 255};
         }},
        {"grey and alpha", greyAlpha, [](uint32_t x, uint32_t y, uint16_t s) { return s ? 255 - x * 40 : x * 30 + y; }, 8,
         true, [](uint32_t x, uint32_t y) { return Grey(x * 30 + y, 255 - x * 40); }},
        {"grey and alpha of 4 bits", greyAlpha4, [](uint32_t x, uint32_t y, uint16_t s) { return s ? 15 - x : x + y; },
         4, true, [](uint32_t x, uint32_t y) { return Grey((x + y) * 17, (15 - x) * 17); }},
        {"rgb of 4 bits", rgb4, [](uint32_t x, uint32_t y, uint16_t s) { return (x + y + 5 * s) & 15; }, 24, false,
         [](uint32_t x, uint32_t y) {
             return std::array<uint8_t, 4>{uint8_t(((x + y) & 15) * 17), uint8_t(((x + y + 5) & 15) * 17),
                                           uint8_t(((x + y + 10) & 15) * 17), 255};
         }},
        {"rgb with alpha", rgba, [](uint32_t x, uint32_t y, uint16_t s) { return s == 3 ? 60 * x : 10 * s + x + 20 * y; },
         24, true,
         [](uint32_t x, uint32_t y) {
             return std::array<uint8_t, 4>{uint8_t(x + 20 * y), uint8_t(10 + x + 20 * y), uint8_t(20 + x + 20 * y),
                                           uint8_t(60 * x)};
         }},
        {"rgb with premultiplied alpha", rgbaAssoc,
         [](uint32_t x, uint32_t, uint16_t s) { return s == 3 ? 255u - 100 * (x & 1) : (s + 1) * 40u * (255u - 100 * (x & 1)) / 255u; },
         24, true,
         [](uint32_t x, uint32_t) {
             return std::array<uint8_t, 4>{40, 80, 120, uint8_t(255 - 100 * (x & 1))};
         },
         2},
        {"rgba of 16 bits in planes", rgba16Planes, [](uint32_t x, uint32_t y, uint16_t s) { return (x * 4000 + y * 900 + s * 7000) & 0xFFFF; },
         24, true,
         [](uint32_t x, uint32_t y) {
             std::array<uint8_t, 4> c{};
             for (unsigned s = 0; s < 4; ++s) c[s] = uint8_t(((x * 4000 + y * 900 + s * 7000) & 0xFFFF) >> 8);
             return c;
         }},
        {"tiled grey", tiledGrey, [](uint32_t x, uint32_t y, uint16_t) { return (x * 6 + y) & 0xFF; }, 8, false,
         [](uint32_t x, uint32_t y) { return Grey((x * 6 + y) & 0xFF); }},
        {"tiled grey of 4 bits", tiledGrey4, [](uint32_t x, uint32_t y, uint16_t) { return (x + y) & 15; }, 4, false,
         [](uint32_t x, uint32_t y) { return Grey(((x + y) & 15) * 17); }},
        {"cmyk through the library", cmyk, [](uint32_t x, uint32_t, uint16_t s) { return s == 3 ? 0 : s == 0 ? x * 50 : 0; },
         24, false, [](uint32_t x, uint32_t) { return std::array<uint8_t, 4>{uint8_t(255 - x * 50), 255, 255, 255}; }, 1},
        {"rgb lzw", lzwRgb, [](uint32_t x, uint32_t y, uint16_t s) { return (x * 31 + y * 17 + s * 90) & 0xFF; }, 24, false,
         [](uint32_t x, uint32_t y) {
             std::array<uint8_t, 4> c{0, 0, 0, 255};
             for (unsigned s = 0; s < 3; ++s) c[s] = uint8_t((x * 31 + y * 17 + s * 90) & 0xFF);
             return c;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLfImageTIF tif;
        ASSERT_TRUE(Decode(tif, WritePage(c.layout, c.sample))) << tif.GetLastError();
        EXPECT_EQ(tif.GetBpp(), c.bpp);
        EXPECT_EQ(tif.alpha != nullptr, c.alpha);
        EXPECT_EQ(CountDiffs(Rgba(tif), Picture(c.layout.width, c.layout.height, c.expect), c.tolerance), 0u);
    }
}

TEST(CLfImageTIF, BilevelPalettesFollowThePhotometric)
{
    PageLayout layout;
    layout.bits = 1, layout.photometric = PHOTOMETRIC_MINISWHITE;
    CLfImageTIF white;
    ASSERT_TRUE(Decode(white, WritePage(layout, [](uint32_t, uint32_t, uint16_t) { return 0u; })));
    EXPECT_EQ(white.GetPaletteColor(0).rgbRed, 255);
    EXPECT_EQ(white.GetPaletteColor(1).rgbRed, 0);
    layout.photometric = PHOTOMETRIC_MINISBLACK;
    CLfImageTIF black;
    ASSERT_TRUE(Decode(black, WritePage(layout, [](uint32_t, uint32_t, uint16_t) { return 0u; })));
    EXPECT_EQ(black.GetPaletteColor(0).rgbRed, 0);
    EXPECT_EQ(black.GetPaletteColor(1).rgbRed, 255);
}

TEST(CLfImageTIF, CieLabUsesItsFormula)
{
    PageLayout layout;
    layout.width = 2, layout.height = 1, layout.samples = 3, layout.photometric = PHOTOMETRIC_CIELAB;
    CLfImageTIF tif;
    ASSERT_TRUE(Decode(tif, WritePage(layout, [](uint32_t x, uint32_t, uint16_t s) { return s == 0 && x == 0 ? 255u : 0u; })));
    EXPECT_EQ(tif.GetBpp(), 24u);
    EXPECT_EQ(Rgba(tif), (std::vector<uint8_t>{255, 254, 254, 255, 8, 8, 8, 255}));
}

TEST(CLfImageTIF, LogLuminancePagesGoThroughTheLibrary)
{
    // One sample of 16 bits, like a grey page, but the values are encoded luminance.
    lftest::TempDir dir;
    const std::string path = (dir / "logl.tif").string();
    TIFF* out = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(out, nullptr);
    TIFFSetField(out, TIFFTAG_IMAGEWIDTH, 4u);
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, 2u);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_LOGL);
    TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_SGILOG);
    TIFFSetField(out, TIFFTAG_SGILOGDATAFMT, SGILOGDATAFMT_FLOAT);
    TIFFSetField(out, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 32);
    for (uint32_t y = 0; y < 2; ++y) {
        float row[4] = {0.1f, 0.3f, 0.6f, 0.9f};
        ASSERT_EQ(TIFFWriteScanline(out, row, y, 0), 1);
    }
    TIFFClose(out);

    CLfImageTIF tif;
    ASSERT_TRUE(Decode(tif, lftest::ReadBytes(path))) << tif.GetLastError();
    EXPECT_EQ(tif.GetBpp(), 24u);
    const std::vector<uint8_t> got = Rgba(tif);
    EXPECT_EQ(CountDiffs(got, MagickPageRgba(path), 1), 0u);
    ASSERT_EQ(got.size(), 32u);
    for (size_t x = 1; x < 4; ++x) EXPECT_GT(got[4 * x], got[4 * (x - 1)]) << "brighter to the right";
}

TEST(CLfImageTIF, OrientationTurnsThePicture)
{
    // Stored 3 x 2: value 10 * row + column in the red channel and in the alpha.
    const auto stored = [](uint32_t x, uint32_t y, uint16_t s) { return s == 0 || s == 3 ? 10 * y + x : 0u; };
    struct Case {
        uint16_t orientation;
        int32_t width, height;
        std::vector<uint8_t> reds;  // top-down
    };
    const Case cases[] = {
        {ORIENTATION_TOPLEFT, 3, 2, {0, 1, 2, 10, 11, 12}},
        {ORIENTATION_TOPRIGHT, 3, 2, {2, 1, 0, 12, 11, 10}},
        {ORIENTATION_BOTRIGHT, 3, 2, {12, 11, 10, 2, 1, 0}},
        {ORIENTATION_BOTLEFT, 3, 2, {10, 11, 12, 0, 1, 2}},
        {ORIENTATION_LEFTTOP, 2, 3, {0, 10, 1, 11, 2, 12}},
        {ORIENTATION_RIGHTTOP, 2, 3, {10, 0, 11, 1, 12, 2}},
        {ORIENTATION_RIGHTBOT, 2, 3, {12, 2, 11, 1, 10, 0}},
        {ORIENTATION_LEFTBOT, 2, 3, {2, 12, 1, 11, 0, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        PageLayout layout;
        layout.width = 3, layout.height = 2, layout.samples = 4, layout.photometric = PHOTOMETRIC_RGB;
        layout.extra = {EXTRASAMPLE_UNASSALPHA};
        layout.orientation = c.orientation;
        CLfImageTIF tif;
        ASSERT_TRUE(Decode(tif, WritePage(layout, stored)));
        ASSERT_EQ(tif.GetWidth(), c.width);
        ASSERT_EQ(tif.GetHeight(), c.height);
        const std::vector<uint8_t> rgba = Rgba(tif);
        std::vector<uint8_t> reds, alphas;
        for (size_t i = 0; i < rgba.size(); i += 4) reds.push_back(rgba[i]), alphas.push_back(rgba[i + 3]);
        EXPECT_EQ(reds, c.reds);
        EXPECT_EQ(alphas, c.reds);
    }
}

TEST(CLfImageTIF, ResolutionAndPositionComeFromTheTags)
{
    const std::vector<uint8_t> base = WritePage(PageLayout{}, [](uint32_t, uint32_t, uint16_t) { return 9u; });
    struct Case {
        uint16_t unit;
        float x, y;
        int32_t dpiX, dpiY;
    };
    const Case cases[] = {{RESUNIT_INCH, 300.7f, 150.f, 300, 150},
                          {RESUNIT_CENTIMETER, 118.11f, 40.f, 299, 101},
                          {RESUNIT_NONE, 1.f, 2.f, 96, 96}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        lftest::TempDir dir;
        const std::string path = (dir / "res.tif").string();
        TIFF* out = TIFFOpen(path.c_str(), "w");
        ASSERT_NE(out, nullptr);
        TIFFSetField(out, TIFFTAG_IMAGEWIDTH, 2u);
        TIFFSetField(out, TIFFTAG_IMAGELENGTH, 1u);
        TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(out, TIFFTAG_RESOLUTIONUNIT, c.unit);
        TIFFSetField(out, TIFFTAG_XRESOLUTION, c.x);
        TIFFSetField(out, TIFFTAG_YRESOLUTION, c.y);
        TIFFSetField(out, TIFFTAG_XPOSITION, 12.9f);
        TIFFSetField(out, TIFFTAG_YPOSITION, 3.2f);
        uint8_t row[2] = {1, 2};
        TIFFWriteScanline(out, row, 0, 0);
        TIFFClose(out);
        CLfImageTIF tif;
        ASSERT_TRUE(Decode(tif, lftest::ReadBytes(path)));
        EXPECT_EQ(tif.info.xDpi, c.dpiX);
        EXPECT_EQ(tif.info.yDpi, c.dpiY);
        EXPECT_EQ(tif.info.xOffset, 12);
        EXPECT_EQ(tif.info.yOffset, 3);
    }
    CLfImageTIF plain;
    ASSERT_TRUE(Decode(plain, base));
    EXPECT_EQ(plain.info.xDpi, 96);
}

TEST(CLfImageTIF, PagesAreChosenByFrame)
{
    const std::vector<uint8_t> file = lftest::ReadBytes(CorpusTiff("multipage_2.tif"));
    CLfImageTIF second;
    ASSERT_TRUE(Decode(second, file, 1));
    EXPECT_EQ(second.info.frameCount, 2);
    EXPECT_EQ(second.GetWidth(), 97);

    CLfImageTIF missing;
    EXPECT_FALSE(Decode(missing, file, 3));
    EXPECT_STREQ(missing.GetLastError(), "Error: page not present in TIFF file");
    EXPECT_EQ(missing.info.frameCount, 2);
    EXPECT_FALSE(missing.IsValid());
}

// --- Hostile and broken files ---------------------------------------------------------

TEST(CLfImageTIF, TruncatedAndGarbageFilesFailCleanly)
{
    for (const char* name : {"rgb_lzw.tif", "rgb_jpeg.tif", "rgb_tiled64.tif", "F_bilevel_g4.tif", "palette.tif",
                             "rgba_unassoc.tif", "multipage_2.tif"}) {
        const std::vector<uint8_t> whole = lftest::ReadBytes(CorpusTiff(name));
        for (size_t cut : {size_t(0), size_t(5), size_t(12), whole.size() / 3, whole.size() / 2, whole.size() - 40}) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(cut));
            CLfImageTIF tif;
            const bool ok = Decode(tif, std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
            // A cut that spares the pixels of the first page may still decode.
            if (!ok) {
                EXPECT_STRNE(tif.GetLastError(), "");
                EXPECT_FALSE(tif.IsValid());
            }
            if (cut < 16) {
                EXPECT_FALSE(ok);
            }
        }
    }
    CLfImageTIF garbage;
    const std::vector<uint8_t> text{'n', 'o', 't', ' ', 'a', ' ', 't', 'i', 'f', 'f'};
    EXPECT_FALSE(Decode(garbage, text));
    EXPECT_STREQ(garbage.GetLastError(), "Error encountered while opening TIFF file");
}

// A little-endian TIFF of one RGB page whose size and strips are given outright.
std::vector<uint8_t> HandMadeTiff(uint32_t width, uint32_t height, uint32_t stripBytes)
{
    std::vector<uint8_t> f{'I', 'I', 42, 0, 8, 0, 0, 0};
    struct Entry {
        uint16_t tag, type;
        uint32_t count, value;
    };
    const Entry entries[] = {{256, 4, 1, width},       {257, 4, 1, height},  {258, 3, 1, 8},
                             {259, 3, 1, 1},           {262, 3, 1, 2},       {273, 4, 1, 200},
                             {277, 3, 1, 3},           {278, 4, 1, height},  {279, 4, 1, stripBytes}};
    const auto put16 = [&](uint16_t v) { f.insert(f.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    const auto put32 = [&](uint32_t v) { f.insert(f.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); };
    put16(static_cast<uint16_t>(std::size(entries)));
    for (const Entry& e : entries) {
        put16(e.tag), put16(e.type), put32(e.count);
        if (e.type == 3)
            put16(static_cast<uint16_t>(e.value)), put16(0);
        else
            put32(e.value);
    }
    put32(0);
    f.resize(200 + 64, 0x5A);
    return f;
}

TEST(CLfImageTIF, HostileSizesAreRefused)
{
    CLfImageTIF huge;
    EXPECT_FALSE(Decode(huge, HandMadeTiff(60000, 60000, 64)));
    EXPECT_STREQ(huge.GetLastError(), "LFIMAGE_MAX_MEMORY exceeded");

    // The strip claims more bytes than the file holds.
    CLfImageTIF shortStrip;
    EXPECT_FALSE(Decode(shortStrip, HandMadeTiff(100, 100, 30000)));
    EXPECT_STREQ(shortStrip.GetLastError(), "Corrupted TIFF file!");

    CLfImageTIF fits;
    EXPECT_TRUE(Decode(fits, HandMadeTiff(4, 5, 60))) << fits.GetLastError();
}

// The largest resident size of the process so far, in kilobytes.
long PeakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(CLfImageTIF, DeclaredPlanesTheDecoderDoesNotUseCostNothing)
{
    // A small file that declares 300 separate planes of a 1024 x 1024 grey page,
    // each a one-strip megabyte: only the grey and alpha planes may be buffered.
    lftest::TempDir dir;
    const std::string path = (dir / "planes.tif").string();
    TIFF* out = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(out, nullptr);
    const uint16_t samples = 300;
    const std::vector<uint16_t> extra(samples - 1, EXTRASAMPLE_UNASSALPHA);
    TIFFSetField(out, TIFFTAG_IMAGEWIDTH, 1024u);
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, 1024u);
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(out, TIFFTAG_EXTRASAMPLES, static_cast<uint16_t>(extra.size()), extra.data());
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_SEPARATE);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, 1024u);
    uint8_t byte = 7;
    ASSERT_EQ(TIFFWriteRawStrip(out, 0, &byte, 1), 1);
    TIFFClose(out);
    const std::vector<uint8_t> file = lftest::ReadBytes(path);
    ASSERT_LT(file.size(), 10000u);

    const long before = PeakResidentKb();
    CLfImageTIF tif;
    EXPECT_FALSE(Decode(tif, file));  // the strips hold no pixels
    EXPECT_STREQ(tif.GetLastError(), "Corrupted TIFF file!");
    EXPECT_LT(PeakResidentKb() - before, 64 * 1024) << "kilobytes more at the peak";
}

TEST(CLfImageTIF, EscapeCancelsTheDecode)
{
    CLfImageTIF tif;
    tif.info.escape = 1;
    EXPECT_FALSE(Decode(tif, lftest::ReadBytes(CorpusTiff("rgb_none.tif"))));
    EXPECT_STREQ(tif.GetLastError(), "Cancelled");
}

// --- The stream adapter -----------------------------------------------------------------

TEST(CLfImageTIF, StreamAdapterReportsFailedSeeksAndKeepsTheStreamOpen)
{
    const uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
    CLfMemoryStream stream(bytes, 6);
    EXPECT_EQ(TiffStreamSeek(&stream, 4, SEEK_SET), 4u);
    EXPECT_EQ(TiffStreamSeek(&stream, static_cast<toff_t>(-10), SEEK_CUR), static_cast<toff_t>(-1));
    EXPECT_EQ(stream.Tell(), 4);
    EXPECT_EQ(TiffStreamSeek(&stream, 0, SEEK_END), 6u);
    EXPECT_EQ(TiffStreamSize(&stream), 6u);
    uint8_t got[4] = {};
    EXPECT_EQ(TiffStreamSeek(&stream, 1, SEEK_SET), 1u);
    EXPECT_EQ(TiffStreamRead(&stream, got, 4), 4);
    EXPECT_EQ(got[0], 2);
    EXPECT_EQ(TiffStreamClose(&stream), 0);
    EXPECT_EQ(stream.GetC(), 6);  // still open
}

TEST(CLfImageTIF, TileToStripCopiesWithSkips)
{
    const uint8_t tile[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    uint8_t band[12] = {};
    CLfImageTIF::TileToStrip(band + 1, tile, 2, 3, 6, 4);
    EXPECT_EQ(std::vector<uint8_t>(band, band + 12), (std::vector<uint8_t>{0, 1, 2, 3, 0, 0, 0, 5, 6, 7, 0, 0}));
}

// --- Encoding ---------------------------------------------------------------------------

void MakePalette(CLfImage& img, int32_t w, int32_t h, uint32_t bpp, bool grey)
{
    ASSERT_TRUE(img.Create(w, h, bpp, 0));
    const uint32_t n = img.GetNumColors();
    for (uint32_t i = 0; i < n; ++i) {
        const auto v = static_cast<uint8_t>(i * (255 / (n - 1)));
        if (grey)
            img.SetPaletteColor(static_cast<uint8_t>(i), v, v, v);
        else
            img.SetPaletteColor(static_cast<uint8_t>(i), v, static_cast<uint8_t>(255 - v), static_cast<uint8_t>(i * 37));
    }
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) img.SetPixelIndex(x, y, static_cast<uint8_t>((x * 3 + y) % n));
}

// A 1-bit picture in two colours that are not black and white.
void MakeTwoColours(CLfImage& img, int32_t w, int32_t h)
{
    MakePalette(img, w, h, 1, true);
    img.SetPaletteColor(0, 200, 30, 0);
    img.SetPaletteColor(1, 0, 90, 160);
}

void MakeRgb(CLfImage& img, int32_t w, int32_t h)
{
    ASSERT_TRUE(img.Create(w, h, 24, 0));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = img.GetBits(static_cast<uint32_t>(y)) + 3 * x;
            p[0] = static_cast<uint8_t>(x * 7), p[1] = static_cast<uint8_t>(y * 5), p[2] = static_cast<uint8_t>(x + y);
        }
}

void AddAlpha(CLfImage& img)
{
    ASSERT_TRUE(img.AlphaCreate());
    for (int32_t y = 0; y < img.GetHeight(); ++y)
        for (int32_t x = 0; x < img.GetWidth(); ++x) img.AlphaSet(x, y, static_cast<uint8_t>(x * 11 + y));
}

struct TagView {
    uint16_t compression = 0, photometric = 0, samples = 0, bits = 0, predictor = 0, unit = 0;
    uint16_t extraCount = 0, extraType = 0;
    bool colorMap = false;
    float xRes = 0, yRes = 0;
    std::vector<uint8_t> firstStrip;
};

TagView ReadTags(const std::vector<uint8_t>& bytes)
{
    TagView v;
    CLfMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    TIFF* tif = TiffOpenStream(&stream, "r");
    EXPECT_NE(tif, nullptr);
    if (!tif) return v;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &v.compression);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &v.photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &v.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &v.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PREDICTOR, &v.predictor);
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &v.unit);
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &v.xRes);
    TIFFGetField(tif, TIFFTAG_YRESOLUTION, &v.yRes);
    uint16_t* extra = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &v.extraCount, &extra) && v.extraCount) v.extraType = extra[0];
    uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    v.colorMap = TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) != 0;
    v.firstStrip.resize(static_cast<size_t>(TIFFStripSize(tif)));
    TIFFReadEncodedStrip(tif, 0, v.firstStrip.data(), static_cast<tmsize_t>(v.firstStrip.size()));
    TIFFClose(tif);
    return v;
}

TEST(CLfImageTIF, LosslessRoundTripsAreExactAndLeaveTheCallerUnchanged)
{
    struct Maker {
        const char* name;
        void (*make)(CLfImage&);
    };
    const Maker makers[] = {
        {"1-bit, entry 0 black", [](CLfImage& i) { MakePalette(i, 37, 9, 1, true); }},
        {"1-bit, entry 0 white",
         [](CLfImage& i) {
             MakePalette(i, 37, 9, 1, true);
             i.SetPaletteColor(0, 255, 255, 255);
             i.SetPaletteColor(1, 0, 0, 0);
         }},
        {"1-bit, two colours", [](CLfImage& i) { MakeTwoColours(i, 37, 9); }},
        {"4-bit grey", [](CLfImage& i) { MakePalette(i, 21, 8, 4, true); }},
        {"4-bit palette", [](CLfImage& i) { MakePalette(i, 21, 8, 4, false); }},
        {"8-bit grey", [](CLfImage& i) { MakePalette(i, 23, 11, 8, true); }},
        {"8-bit palette", [](CLfImage& i) { MakePalette(i, 23, 11, 8, false); }},
        {"24-bit", [](CLfImage& i) { MakeRgb(i, 19, 13); }},
        {"24-bit with alpha",
         [](CLfImage& i) {
             MakeRgb(i, 19, 13);
             AddAlpha(i);
         }},
        {"8-bit grey with alpha",
         [](CLfImage& i) {
             MakePalette(i, 23, 11, 8, true);
             AddAlpha(i);
         }},
        {"8-bit palette with alpha",
         [](CLfImage& i) {
             MakePalette(i, 23, 11, 8, false);
             AddAlpha(i);
         }},
        {"4-bit palette with alpha",
         [](CLfImage& i) {
             MakePalette(i, 21, 8, 4, false);
             AddAlpha(i);
         }},
    };
    const uint32_t codecs[] = {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_PACKBITS, COMPRESSION_ADOBE_DEFLATE};
    for (const Maker& m : makers) {
        for (uint32_t codec : codecs) {
            SCOPED_TRACE(std::string(m.name) + ", compression " + std::to_string(codec));
            CLfImageTIF src;
            m.make(src);
            src.info.codecOption = codec;
            const lftest::ImageSnapshot before = lftest::Snap(src);
            bool ok = false;
            const std::vector<uint8_t> bytes = EncodeToBytes(src, &ok);
            ASSERT_TRUE(ok) << src.GetLastError();
            lftest::ExpectUnchanged(before, src);
            CLfImageTIF back;
            ASSERT_TRUE(Decode(back, bytes)) << back.GetLastError();
            EXPECT_EQ(Rgba(back), Rgba(src));
            EXPECT_EQ(back.alpha != nullptr, src.alpha != nullptr);
        }
    }
}

TEST(CLfImageTIF, DefaultCompressionFollowsTheDepth)
{
    struct Case {
        const char* name;
        void (*make)(CLfImage&);
        uint16_t compression;
        int tolerance;
    };
    const Case cases[] = {
        {"1-bit", [](CLfImage& i) { MakePalette(i, 40, 10, 1, true); }, COMPRESSION_CCITTFAX4, 0},
        {"1-bit, two colours", [](CLfImage& i) { MakeTwoColours(i, 40, 10); }, COMPRESSION_CCITTFAX4, 0},
        {"4-bit", [](CLfImage& i) { MakePalette(i, 40, 10, 4, false); }, COMPRESSION_NONE, 0},
        {"8-bit", [](CLfImage& i) { MakePalette(i, 40, 10, 8, false); }, COMPRESSION_PACKBITS, 0},
        {"24-bit", [](CLfImage& i) { MakeRgb(i, 40, 24); }, COMPRESSION_JPEG, 8},
        {"24-bit with alpha",
         [](CLfImage& i) {
             MakeRgb(i, 40, 24);
             AddAlpha(i);
         },
         COMPRESSION_JPEG, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLfImageTIF src;
        c.make(src);
        src.info.quality = 95;
        const std::vector<uint8_t> bytes = EncodeToBytes(src);
        EXPECT_EQ(ReadTags(bytes).compression, c.compression);
        CLfImageTIF back;
        ASSERT_TRUE(Decode(back, bytes)) << back.GetLastError();
        EXPECT_EQ(CountDiffs(Rgba(back), Rgba(src), c.tolerance), 0u);
    }
}

TEST(CLfImageTIF, TagsDescribeTheWrittenPage)
{
    CLfImageTIF grey;
    MakePalette(grey, 8, 4, 8, true);
    grey.info.codecOption = COMPRESSION_LZW;
    grey.SetXDPI(300);
    grey.SetYDPI(72);
    TagView g = ReadTags(EncodeToBytes(grey));
    EXPECT_EQ(g.photometric, PHOTOMETRIC_MINISBLACK);
    EXPECT_FALSE(g.colorMap);
    EXPECT_EQ(g.predictor, PREDICTOR_HORIZONTAL);
    EXPECT_EQ(g.unit, RESUNIT_INCH);
    EXPECT_EQ(g.xRes, 300.f);
    EXPECT_EQ(g.yRes, 72.f);

    CLfImageTIF pal;
    MakePalette(pal, 8, 4, 8, false);
    TagView p = ReadTags(EncodeToBytes(pal));
    EXPECT_EQ(p.photometric, PHOTOMETRIC_PALETTE);
    EXPECT_TRUE(p.colorMap);

    // 1 bit with entry 0 black: white is zero in the file, so the bits are inverted there.
    CLfImageTIF bits;
    MakePalette(bits, 8, 1, 1, true);
    bits.info.codecOption = COMPRESSION_LZW;  // LZW on 1 bit needs no predictor
    const uint8_t stored = bits.GetBits(0)[0];
    TagView b = ReadTags(EncodeToBytes(bits));
    EXPECT_EQ(b.photometric, PHOTOMETRIC_MINISWHITE);
    EXPECT_EQ(b.predictor, PREDICTOR_NONE);
    ASSERT_FALSE(b.firstStrip.empty());
    EXPECT_EQ(b.firstStrip[0], static_cast<uint8_t>(~stored));

    // Two colours other than black and white keep them in a colour map.
    CLfImageTIF colours;
    MakeTwoColours(colours, 8, 1);
    TagView c = ReadTags(EncodeToBytes(colours));
    EXPECT_EQ(c.photometric, PHOTOMETRIC_PALETTE);
    EXPECT_EQ(c.bits, 1);
    EXPECT_TRUE(c.colorMap);

    CLfImageTIF rgba;
    MakeRgb(rgba, 5, 5);
    AddAlpha(rgba);
    TagView a = ReadTags(EncodeToBytes(rgba));
    EXPECT_EQ(a.samples, 4);
    EXPECT_EQ(a.bits, 8);
    EXPECT_EQ(a.extraCount, 1);
    EXPECT_EQ(a.extraType, EXTRASAMPLE_UNASSALPHA);

    CLfImageTIF greyAlpha;
    MakePalette(greyAlpha, 5, 5, 8, true);
    AddAlpha(greyAlpha);
    TagView ga = ReadTags(EncodeToBytes(greyAlpha));
    EXPECT_EQ(ga.samples, 2);
    EXPECT_EQ(ga.photometric, PHOTOMETRIC_MINISBLACK);
    EXPECT_EQ(ga.extraType, EXTRASAMPLE_UNASSALPHA);
}

TEST(CLfImageTIF, MultipageWritesEveryImageAsAPage)
{
    CLfImageTIF a, b, c;
    MakePalette(a, 30, 10, 1, true);
    MakePalette(b, 12, 7, 8, false);
    MakeRgb(c, 9, 9);
    c.info.codecOption = COMPRESSION_LZW;
    CLfImage* pages[] = {&a, &b, &c};
    CLfImageTIF writer;
    CLfMemoryStream stream;
    ASSERT_TRUE(writer.Encode(&stream, pages, 3)) << writer.GetLastError();
    const std::vector<uint8_t> bytes = lftest::StreamBytes(stream);
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        CLfImageTIF back;
        ASSERT_TRUE(Decode(back, bytes, page)) << back.GetLastError();
        EXPECT_EQ(back.info.frameCount, 3);
        EXPECT_EQ(Rgba(back), Rgba(*pages[page]));
    }
    CLfMemoryStream in(bytes.data(), static_cast<int64_t>(bytes.size()));
    TIFF* tif = TiffOpenStream(&in, "r");
    ASSERT_NE(tif, nullptr);
    ASSERT_TRUE(TIFFSetDirectory(tif, 1));
    char* name = nullptr;
    uint32_t subfile = 0;
    uint16_t number = 0, total = 0;
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_PAGENAME, &name));
    EXPECT_STREQ(name, "Page 2");
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_SUBFILETYPE, &subfile));
    EXPECT_EQ(subfile, static_cast<uint32_t>(FILETYPE_PAGE));
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_PAGENUMBER, &number, &total));
    EXPECT_EQ(number, 1);
    EXPECT_EQ(total, 3);
    TIFFClose(tif);
}

TEST(CLfImageTIF, EncodeFailuresAreReported)
{
    CLfImageTIF src;
    MakeRgb(src, 40, 40);
    src.info.codecOption = COMPRESSION_NONE;
    const size_t whole = EncodeToBytes(src).size();
    struct Case {
        size_t limit;
        const char* error;
    };
    const Case cases[] = {{0, "initialization fail"}, {200, "Error saving TIFF file"}, {whole - 1, "Error saving TIFF file"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        lftest::ShortStream stream(c.limit);
        EXPECT_FALSE(src.Encode(&stream));
        EXPECT_STREQ(src.GetLastError(), c.error);
    }
    src.info.codecOption = 12345;  // no such coder
    CLfMemoryStream unused;
    EXPECT_FALSE(src.Encode(&unused));
    EXPECT_STREQ(src.GetLastError(), "Error saving TIFF file");
    src.info.codecOption = COMPRESSION_CCITTFAX4;  // Group 4 takes only 1-bit pages
    CLfMemoryStream unused2;
    EXPECT_FALSE(src.Encode(&unused2));

    EXPECT_FALSE(src.Encode(nullptr));
    EXPECT_STREQ(src.GetLastError(), "null file handler");
    CLfImageTIF empty;
    CLfMemoryStream stream;
    EXPECT_FALSE(empty.Encode(&stream));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");

    CLfImageTIF writer;
    CLfImage* none[] = {&src, nullptr};
    EXPECT_FALSE(writer.Encode(nullptr, none, 2));
    EXPECT_STREQ(writer.GetLastError(), "invalid file pointer");
    EXPECT_FALSE(writer.Encode(&stream, none, 0));
    EXPECT_STREQ(writer.GetLastError(), "multipage TIFF, no images!");
    src.info.codecOption = COMPRESSION_NONE;
    EXPECT_FALSE(writer.Encode(&stream, none, 2));
    EXPECT_STREQ(writer.GetLastError(), "Bad image pointer");
}

// --- Through load, save and the format trial -----------------------------------------------

TEST(CLfImageTIF, LoadSaveAndTheTrialReachTheCodec)
{
    lftest::TempDir dir;
    CLfImage src;
    MakePalette(src, 17, 6, 8, false);
    src.info.codecOption = COMPRESSION_LZW;
    const std::string file = (dir / "saved.tif").string();
    ASSERT_TRUE(src.Save(file.c_str(), lfimg::kTypeTIF)) << src.GetLastError();

    for (uint32_t type : {uint32_t(lfimg::kTypeTIF), uint32_t(lfimg::kTypeUnknown), uint32_t(lfimg::kTypeBMP)}) {
        SCOPED_TRACE(type);
        CLfImage loaded;
        ASSERT_TRUE(loaded.Load(file.c_str(), type)) << loaded.GetLastError();
        EXPECT_EQ(loaded.GetType(), lfimg::kTypeTIF);
        EXPECT_EQ(Rgba(loaded), Rgba(src));
    }

    // The default coders write through a file opened for writing only.
    for (uint32_t bpp : {1u, 24u}) {
        SCOPED_TRACE(bpp);
        CLfImage image;
        if (bpp == 1)
            MakePalette(image, 33, 9, 1, true);
        else
            MakeRgb(image, 33, 9);
        const std::string path = (dir / ("default" + std::to_string(bpp) + ".tif")).string();
        ASSERT_TRUE(image.Save(path.c_str(), lfimg::kTypeTIF)) << image.GetLastError();
        CLfImage back;
        ASSERT_TRUE(back.Load(path.c_str(), lfimg::kTypeTIF)) << back.GetLastError();
        EXPECT_EQ(CountDiffs(Rgba(back), Rgba(image), bpp == 1 ? 0 : 8), 0u);
    }

    // The page count comes back even when the asked page is missing.
    CLfImage page;
    page.info.frame = 4;
    EXPECT_FALSE(page.Load(CorpusTiff("multipage_2.tif").string().c_str(), lfimg::kTypeTIF));
    EXPECT_EQ(page.info.frameCount, 2);

    const std::string text = (dir / "text.tif").string();
    lftest::WriteText(text, "plain words, not an image");
    CLfImage refused;
    EXPECT_FALSE(refused.Load(text.c_str(), lfimg::kTypeTIF));
    EXPECT_STREQ(refused.GetLastError(), "Error encountered while opening TIFF file");
}

TEST(CLfImageTIF, MultipageEncodeThroughAFile)
{
    lftest::TempDir dir;
    CLfImage a, b;
    MakeRgb(a, 8, 5);
    MakePalette(b, 6, 6, 4, true);
    a.info.codecOption = b.info.codecOption = COMPRESSION_NONE;
    CLfImage* pages[] = {&a, &b};
    const std::string file = (dir / "pages.tif").string();
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    CLfImage writer;
    EXPECT_TRUE(writer.Encode(out, pages, 2, lfimg::kTypeTIF)) << writer.GetLastError();
    std::fclose(out);
    for (int i = 0; i < 2; ++i) {
        CLfImage back;
        back.info.frame = i;
        ASSERT_TRUE(back.Load(file.c_str(), lfimg::kTypeTIF)) << back.GetLastError();
        EXPECT_EQ(Rgba(back), Rgba(*pages[i]));
    }
    EXPECT_FALSE(writer.Encode(static_cast<CLfStream*>(nullptr), pages, 2, lfimg::kTypeTIF));
    EXPECT_STREQ(writer.GetLastError(), "invalid file pointer");
}

}  // namespace
