// Damaged copies of good files through every decoder: each one either decodes
// to a valid image or fails with a message and keeps no pixels; under the
// sanitizers any read or write outside a buffer fails the run. The decoders over
// the codec libraries are included for our own stream, error and row handling
// around them.

#include "image/codecs/CLfImageBMP.h"
#include "image/codecs/CLfImageGIF.h"
#include "image/codecs/CLfImageICO.h"
#include "image/codecs/CLfImageJAS.h"
#include "image/codecs/CLfImageJPG.h"
#include "image/codecs/CLfImagePCX.h"
#include "image/codecs/CLfImagePNG.h"
#include "image/codecs/CLfImageTGA.h"
#include "image/codecs/CLfImageTIF.h"
#include "image/codecs/CLfImageWBMP.h"
#include "image/codecs/CLfImageWMF.h"
#include "tests/image/CodecTestUtil.h"
#include "tests/image/codecs/MetafileBuilder.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace lftest;

namespace {

// The kinds of damage: bytes changed anywhere or in the header (where the
// lengths live), the file cut short, a header byte at an extreme, bytes inserted.
Bytes Mutate(const Bytes& good, std::mt19937& rng)
{
    Bytes f = good;
    switch (rng() % 5) {
    case 0:
        for (int i = 0, n = 1 + int(rng() % 8); i < n && !f.empty(); ++i)
            f[rng() % f.size()] = uint8_t(rng());
        break;
    case 1:
        for (int i = 0, n = 1 + int(rng() % 4); i < n && !f.empty(); ++i)
            f[rng() % std::min<size_t>(f.size(), 140)] = uint8_t(rng());
        break;
    case 2:
        f.resize(rng() % (f.size() + 1));
        break;
    case 3:
        if (!f.empty())
            f[rng() % std::min<size_t>(f.size(), 64)] = (rng() & 1) ? 0xFF : 0x00;
        break;
    default:
        f.insert(f.begin() + long(rng() % (f.size() + 1)), size_t(1 + rng() % 16), uint8_t(rng()));
        break;
    }
    return f;
}

// What one decode of the codec class did.
struct Outcome {
    bool decoded = false;
    bool valid = false;
    int32_t width = 0;
    int32_t height = 0;
    std::string message;
};

template <class Codec>
Outcome DecodeWith(const Bytes& f, int32_t frame)
{
    Codec codec;
    codec.info.frame = frame;
    CLfMemoryStream stream(f.data(), int64_t(f.size()));
    Outcome out;
    out.decoded = codec.Decode(&stream);
    out.valid = codec.IsValid();
    out.width = codec.GetWidth();
    out.height = codec.GetHeight();
    out.message = codec.GetLastError();
    return out;
}

template <class Codec>
Bytes Encoded(const CLfImage& img)
{
    Bytes f;
    EncodeTo<Codec>(img, f);
    return f;
}

// The JPEG-2000 family's one class, decoding as the trial does and encoding as Type.
template <uint32_t Type>
class JasAs : public CLfImageJAS {
public:
    bool Decode(CLfStream* stream) { return CLfImageJAS::Decode(stream, 0); }
    bool Encode(CLfStream* stream) { return CLfImageJAS::Encode(stream, Type); }
};

struct Family {
    const char* name;
    std::function<Outcome(const Bytes&, int32_t)> decode;
    std::function<std::vector<Bytes>()> seeds;  // good files, read or written here
};

std::vector<Family> Families()
{
    auto corpus = [](const char* leaf) { return lftest::ReadBytes(Corpus(leaf)); };
    return {
        {"BMP", DecodeWith<CLfImageBMP>,
         [=] {
             std::vector<Bytes> s;
             for (const char* f : {"bmpsuite/g/pal4rle.bmp", "bmpsuite/g/pal8rle.bmp", "bmpsuite/g/rgb16-565.bmp",
                                   "bmpsuite/g/pal8os2.bmp", "bmpsuite/g/pal8v5.bmp", "bmpsuite/g/rgb32bf.bmp",
                                   "bmpsuite/g/pal1.bmp"})
                 s.push_back(corpus(f));
             return s;
         }},
        {"GIF", DecodeWith<CLfImageGIF>,
         [=] {
             auto pal = MakePicture(23, 17, 8);
             pal->info.transIndex = 3;
             pal->info.codecOption = 2;
             return std::vector<Bytes>{corpus("generated/gif/anim3_4colours.gif"),
                                       corpus("gif-pygif/test-suite/interlace.gif"), Encoded<CLfImageGIF>(*pal),
                                       Encoded<CLfImageGIF>(*MakePicture(20, 17, 24))};
         }},
        {"ICO", DecodeWith<CLfImageICO>,
         [=] {
             return std::vector<Bytes>{corpus("generated/ico/single_32.ico"), Encoded<CLfImageICO>(*MakePicture(9, 7, 4)),
                                       Encoded<CLfImageICO>(*MakePicture(9, 7, 24, true))};
         }},
        {"TGA", DecodeWith<CLfImageTGA>,
         [=] {
             return std::vector<Bytes>{corpus("generated/tga/pal_rle.tga"), corpus("generated/tga/rgba_rle.tga"),
                                       Encoded<CLfImageTGA>(*MakePicture(9, 7, 8))};
         }},
        {"PCX", DecodeWith<CLfImagePCX>,
         [=] {
             return std::vector<Bytes>{corpus("generated/pcx/grad_4plane_131x67.pcx"),
                                       corpus("generated/pcx/grad_8bit_131x67.pcx"),
                                       Encoded<CLfImagePCX>(*MakePicture(9, 7, 24, true)),
                                       Encoded<CLfImagePCX>(*MakePicture(9, 7, 1))};
         }},
        {"WBMP", DecodeWith<CLfImageWBMP>,
         [=] {
             return std::vector<Bytes>{corpus("generated/wbmp/F_97x61.wbmp"), Encoded<CLfImageWBMP>(*MakePicture(200, 3, 1))};
         }},
        {"JPEG", DecodeWith<CLfImageJPG>,
         [=] {
             return std::vector<Bytes>{corpus("generated/jpeg/progressive.jpg"),
                                       corpus("generated/jpeg/restart_every_row.jpg"), corpus("generated/jpeg/cmyk.jpg")};
         }},
        {"PNG", DecodeWith<CLfImagePNG>,
         [=] {
             return std::vector<Bytes>{corpus("pngsuite/png/basi3p08.png"), corpus("pngsuite/png/basn6a16.png"),
                                       corpus("pngsuite/png/tbrn2c08.png")};
         }},
        {"TIFF", DecodeWith<CLfImageTIF>,
         [=] {
             return std::vector<Bytes>{corpus("generated/tiff/palette.tif"), corpus("generated/tiff/F_bilevel_g4.tif"),
                                       Encoded<CLfImageTIF>(*MakePicture(9, 7, 24, true))};
         }},
        {"JPEG2000", DecodeWith<JasAs<0>>,
         [=] {
             CLfImage grey;
             MakeGrey(grey, 9, 7, [](int x, int y) { return x * 20 + y; });
             return std::vector<Bytes>{corpus("generated/jp2/lossless.jp2"), corpus("generated/jp2/lossy_r20.j2k"),
                                       Encoded<JasAs<lfimg::kTypeJP2>>(*MakePicture(9, 7, 24)),
                                       Encoded<JasAs<lfimg::kTypePGX>>(grey),
                                       Encoded<JasAs<lfimg::kTypePNM>>(*MakePicture(9, 7, 24)),
                                       Encoded<JasAs<lfimg::kTypePNM>>(grey),
                                       Encoded<JasAs<lfimg::kTypeRAS>>(*MakePicture(9, 7, 24))};
         }},
        {"WMF", DecodeWith<CLfImageWMF>,
         [=] {
             const Bytes wmf = PlaceableWmf(0, 0, 300, 200, 300,
                                            {{0x02FC, {0, 255, 0, 0}},
                                             {0x012D, {0}},
                                             {0x02FA, {0, 3, 0, 0, 0}},
                                             {0x012D, {1}},
                                             {0x0538, {2, 3, 3, 10, 10, 90, 10, 50, 90, 110, 10, 190, 10, 150, 90}},
                                             {0x061C, {20, 20, 190, 290, 100, 200}},
                                             {0x0325, {3, 0, 0, 300, 200, 0, 200}}});
             Bytes polygon = Ints({0, 0, 0, 0, 3});
             for (int v : {10, 10, 90, 10, 50, 90}) Put16(polygon, v);
             const Bytes emf = Emf(0, 0, 100, 100,
                                   {{39, Ints({1, 0, 0x0000FF00, 0})},
                                    {37, Ints({1})},
                                    {38, Ints({2, 0, 2, 0, 0x00FF0000})},
                                    {37, Ints({2})},
                                    {86, polygon},
                                    {42, Ints({5, 5, 60, 40})},
                                    {44, Ints({50, 50, 95, 95, 10, 10})}});
             return std::vector<Bytes>{wmf, emf};
         }},
    };
}

class CodecMutation : public ::testing::TestWithParam<size_t> {};

TEST_P(CodecMutation, DecoderSurvivesDamage)
{
    const Family family = Families()[GetParam()];
    const std::vector<Bytes> seeds = family.seeds();
    // The good files decode: damage is measured against working input.
    for (size_t i = 0; i < seeds.size(); ++i) {
        const Outcome good = family.decode(seeds[i], 0);
        ASSERT_TRUE(good.decoded && good.valid) << "seed " << i << ": " << good.message;
    }
    std::mt19937 rng(uint32_t(GetParam()) + 1);
    int decoded = 0, refused = 0;
    for (const Bytes& good : seeds) {
        for (int i = 0; i < 250; ++i) {
            const Bytes f = Mutate(good, rng);
            const Outcome o = family.decode(f, rng() % 3 == 0 ? 1 : 0);
            if (o.decoded) {
                ASSERT_TRUE(o.valid);
                ASSERT_GT(o.width, 0);
                ASSERT_GT(o.height, 0);
                ++decoded;
            } else {
                ASSERT_FALSE(o.valid) << "a failed decode keeps no pixels";
                ASSERT_EQ(o.width, 0);
                ASSERT_NE(o.message, "") << "a refusal says why";
                ++refused;
            }
        }
    }
    // The damage reached both outcomes: files that still decode and files refused.
    EXPECT_GT(decoded, 0);
    EXPECT_GT(refused, 0);
}

INSTANTIATE_TEST_SUITE_P(Decoders, CodecMutation, ::testing::Range<size_t>(0, Families().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(Families()[info.param].name);
                         });

}  // namespace
