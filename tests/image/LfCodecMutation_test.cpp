// Damaged copies of good files through every decoder: each one either decodes
// to a valid image or fails with a message; under the sanitizers any read or
// write outside a buffer fails the run. The decoders over the codec libraries
// are included for our own stream, error and row handling around them.

#include "image/codecs/CLfImageGIF.h"
#include "image/codecs/CLfImageICO.h"
#include "image/codecs/CLfImageJAS.h"
#include "image/codecs/CLfImageJPG.h"
#include "image/codecs/CLfImagePCX.h"
#include "image/codecs/CLfImagePNG.h"
#include "image/codecs/CLfImageTGA.h"
#include "image/codecs/CLfImageTIF.h"
#include "image/codecs/CLfImageWBMP.h"
#include "tests/image/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <random>

using namespace lftest;

namespace {

Bytes Mutate(const Bytes& good, std::mt19937& rng)
{
    Bytes f = good;
    switch (rng() % 4) {
    case 0:  // a few bytes changed
        for (int i = 0, n = 1 + int(rng() % 8); i < n && !f.empty(); ++i)
            f[rng() % f.size()] = uint8_t(rng());
        break;
    case 1:  // cut short
        f.resize(rng() % (f.size() + 1));
        break;
    case 2:  // a header byte set to an extreme
        if (!f.empty())
            f[rng() % std::min<size_t>(f.size(), 64)] = (rng() & 1) ? 0xFF : 0x00;
        break;
    default:  // bytes inserted
        f.insert(f.begin() + long(rng() % (f.size() + 1)), size_t(1 + rng() % 16), uint8_t(rng()));
        break;
    }
    return f;
}

template <class Codec>
void Batter(const std::vector<Bytes>& seeds, uint32_t seed)
{
    std::mt19937 rng(seed);
    int decoded = 0, refused = 0;
    for (const Bytes& good : seeds) {
        for (int i = 0; i < 250; ++i) {
            const Bytes f = Mutate(good, rng);
            Codec codec;
            codec.info.frame = int32_t(rng() % 3) == 0 ? 1 : 0;
            CLfMemoryStream stream(f.data(), int64_t(f.size()));
            if (codec.Decode(&stream)) {
                ASSERT_TRUE(codec.IsValid());
                ++decoded;
            } else {
                ASSERT_FALSE(codec.IsValid());
                ASSERT_NE(std::string(codec.GetLastError()), "") << "a refusal says why";
                ++refused;
            }
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(decoded + refused, 0);
}

template <class Codec>
Bytes Encoded(const CLfImage& img)
{
    Bytes f;
    EncodeTo<Codec>(img, f);
    return f;
}

TEST(CodecMutation, GifDecoderSurvivesDamage)
{
    auto pal = MakePicture(23, 17, 8);
    pal->info.transIndex = 3;
    pal->info.codecOption = 2;
    Batter<CLfImageGIF>({lftest::ReadBytes(Corpus("generated/gif/anim3_4colours.gif")),
                         lftest::ReadBytes(Corpus("gif-pygif/test-suite/interlace.gif")), Encoded<CLfImageGIF>(*pal),
                         Encoded<CLfImageGIF>(*MakePicture(20, 17, 24))},
                        1);
}

TEST(CodecMutation, IcoDecoderSurvivesDamage)
{
    Batter<CLfImageICO>({lftest::ReadBytes(Corpus("generated/ico/single_32.ico")),
                         Encoded<CLfImageICO>(*MakePicture(9, 7, 4)), Encoded<CLfImageICO>(*MakePicture(9, 7, 24, true))},
                        2);
}

TEST(CodecMutation, TgaDecoderSurvivesDamage)
{
    Batter<CLfImageTGA>({lftest::ReadBytes(Corpus("generated/tga/pal_rle.tga")),
                         lftest::ReadBytes(Corpus("generated/tga/rgba_rle.tga")), Encoded<CLfImageTGA>(*MakePicture(9, 7, 8))},
                        3);
}

TEST(CodecMutation, PcxDecoderSurvivesDamage)
{
    Batter<CLfImagePCX>({lftest::ReadBytes(Corpus("generated/pcx/grad_4plane_131x67.pcx")),
                         lftest::ReadBytes(Corpus("generated/pcx/grad_8bit_131x67.pcx")),
                         Encoded<CLfImagePCX>(*MakePicture(9, 7, 24, true)), Encoded<CLfImagePCX>(*MakePicture(9, 7, 1))},
                        4);
}

TEST(CodecMutation, WbmpDecoderSurvivesDamage)
{
    Batter<CLfImageWBMP>({lftest::ReadBytes(Corpus("generated/wbmp/F_97x61.wbmp")), Encoded<CLfImageWBMP>(*MakePicture(200, 3, 1))},
                         5);
}

TEST(CodecMutation, JpegDecoderSurvivesDamage)
{
    Batter<CLfImageJPG>({lftest::ReadBytes(Corpus("generated/jpeg/progressive.jpg")),
                         lftest::ReadBytes(Corpus("generated/jpeg/restart_every_row.jpg")),
                         lftest::ReadBytes(Corpus("generated/jpeg/cmyk.jpg"))},
                        6);
}

TEST(CodecMutation, PngDecoderSurvivesDamage)
{
    Batter<CLfImagePNG>({lftest::ReadBytes(Corpus("pngsuite/png/basi3p08.png")),
                         lftest::ReadBytes(Corpus("pngsuite/png/basn6a16.png")),
                         lftest::ReadBytes(Corpus("pngsuite/png/tbrn2c08.png"))},
                        7);
}

TEST(CodecMutation, TiffDecoderSurvivesDamage)
{
    Batter<CLfImageTIF>({lftest::ReadBytes(Corpus("generated/tiff/palette.tif")),
                         lftest::ReadBytes(Corpus("generated/tiff/F_bilevel_g4.tif")),
                         Encoded<CLfImageTIF>(*MakePicture(9, 7, 24, true))},
                        8);
}

// The JPEG-2000 family's one class, decoding as the trial does and encoding as Type.
template <uint32_t Type>
class JasAs : public CLfImageJAS {
public:
    bool Decode(CLfStream* stream) { return CLfImageJAS::Decode(stream, 0); }
    bool Encode(CLfStream* stream) { return CLfImageJAS::Encode(stream, Type); }
};

TEST(CodecMutation, JpegTwoThousandFamilySurvivesDamage)
{
    CLfImage grey;
    MakeGrey(grey, 9, 7, [](int x, int y) { return x * 20 + y; });
    Batter<JasAs<0>>({lftest::ReadBytes(Corpus("generated/jp2/lossless.jp2")),
                      lftest::ReadBytes(Corpus("generated/jp2/lossy_r20.j2k")),
                      Encoded<JasAs<lfimg::kTypeJP2>>(*MakePicture(9, 7, 24)), Encoded<JasAs<lfimg::kTypePGX>>(grey),
                      Encoded<JasAs<lfimg::kTypePNM>>(*MakePicture(9, 7, 24)), Encoded<JasAs<lfimg::kTypePNM>>(grey),
                      Encoded<JasAs<lfimg::kTypeRAS>>(*MakePicture(9, 7, 24))},
                     9);
}

}  // namespace
