#include "image/codecs/CLfImageJPG.h"
#include "image/codecs/CLfImageJPG_priv.h"
#include "tests/image/ExifBuilder.h"
#include "tests/image/CodecTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using lftest::Bytes;
using lftest::Corpus;
using lftest::ExifBuilder;

namespace {

int ChannelDifference(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift = 8; shift < 32; shift += 8)
        worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
    return worst;
}

// Largest colour difference of any pixel against ImageMagick's top-down RGBA dump.
int MaxDifference(const CLfImage& img, const Bytes& rgba)
{
    const int w = img.GetWidth();
    const int h = img.GetHeight();
    if (rgba.size() != size_t(w) * h * 4)
        return 256;
    int worst = 0;
    for (int top = 0; top < h; ++top) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgba[(size_t(top) * w + x) * 4];
            const uint32_t theirs = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8);
            worst = std::max(worst, ChannelDifference(lftest::Rgba(img, x, h - 1 - top), theirs));
        }
    }
    return worst;
}

int MaxDifference(const CLfImage& a, const CLfImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return 256;
    int worst = 0;
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            worst = std::max(worst, ChannelDifference(lftest::Rgba(a, x, y), lftest::Rgba(b, x, y)));
    return worst;
}

std::unique_ptr<CLfImageJPG> Decode(const Bytes& bytes)
{
    return lftest::DecodeFrom<CLfImageJPG>(bytes);
}

Bytes EncodeToBytes(const CLfImage& src, bool* ok = nullptr, std::string* error = nullptr)
{
    Bytes out;
    const bool result = lftest::EncodeTo<CLfImageJPG>(src, out, error);
    if (ok)
        *ok = result;
    return out;
}

// A smooth colour picture that survives JPEG with small errors.
void MakeGradient(CLfImage& img, int w, int h)
{
    ASSERT_TRUE(img.Create(w, h, 24, 0));
    for (int y = 0; y < h; ++y) {
        uint8_t* row = img.GetBits(y);
        for (int x = 0; x < w; ++x) {
            row[3 * x] = static_cast<uint8_t>(255 * x / (w - 1));
            row[3 * x + 1] = static_cast<uint8_t>(255 * y / (h - 1));
            row[3 * x + 2] = static_cast<uint8_t>(128 + 100 * (x - y) / (w + h));
        }
    }
}

void MakeGrey(CLfImage& img, int w, int h)
{
    ASSERT_TRUE(img.Create(w, h, 8, 0));
    img.SetGrayPalette();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.GetBits(y)[x] = static_cast<uint8_t>(x * 5 + y * 4);
}

// Offsets into the JFIF APP0 segment that our encoder writes right after SOI.
constexpr size_t kJfifUnits = 13;
constexpr size_t kJfifXDensity = 14;
constexpr size_t kJfifYDensity = 16;
constexpr size_t kAfterJfif = 20;

Bytes SmallJpeg()
{
    CLfImage img;
    MakeGradient(img, 16, 16);
    return EncodeToBytes(img);
}

void SetJfif(Bytes& jpeg, int units, int x, int y)
{
    jpeg[kJfifUnits] = static_cast<uint8_t>(units);
    jpeg[kJfifXDensity] = static_cast<uint8_t>(x >> 8);
    jpeg[kJfifXDensity + 1] = static_cast<uint8_t>(x);
    jpeg[kJfifYDensity] = static_cast<uint8_t>(y >> 8);
    jpeg[kJfifYDensity + 1] = static_cast<uint8_t>(y);
}

void InsertAfterJfif(Bytes& jpeg, const Bytes& segment)
{
    jpeg.insert(jpeg.begin() + kAfterJfif, segment.begin(), segment.end());
}

size_t FindMarker(const Bytes& jpeg, uint8_t marker)
{
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == marker)
            return i;
    return std::string::npos;
}

// A stream whose writes fail once a number of bytes has gone through, or whose
// flush fails.
class FailingStream : public lftest::ShortWriteStream {
public:
    FailingStream(size_t allowed, bool failFlush) : ShortWriteStream(allowed), m_failFlush(failFlush) {}
    bool Flush() override { return !m_failFlush; }

private:
    bool m_failFlush;
};

}  // namespace

TEST(CLfImageJPG, CorpusFilesMatchTheReferenceDecoder)
{
    struct Case {
        const char* file;
        int width;
        int height;
        bool grey;
    } cases[] = {
        {"jpeg/baseline_420.jpg", 131, 67, false},
        {"jpeg/baseline_422.jpg", 131, 67, false},
        {"jpeg/baseline_444.jpg", 131, 67, false},
        {"jpeg/progressive.jpg", 131, 67, false},
        {"jpeg/arithmetic.jpg", 131, 67, false},
        {"jpeg/restart_every_row.jpg", 131, 67, false},
        {"jpeg/optimized_huffman.jpg", 131, 67, false},
        {"jpeg/rot90_imperfect.jpg", 67, 131, false},
        {"jpeg/grey.jpg", 131, 67, true},
        {"jpeg/cmyk.jpg", 131, 67, false},
        {"orient/F_orient1.jpg", 97, 61, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const auto path = Corpus(std::string("generated/") + c.file);
        const auto d = Decode(lftest::ReadBytes(path));
        ASSERT_TRUE(d->IsValid()) << d->GetLastError();
        EXPECT_EQ(d->GetWidth(), c.width);
        EXPECT_EQ(d->GetHeight(), c.height);
        EXPECT_EQ(d->GetType(), 3u);
        if (c.grey) {
            ASSERT_EQ(d->GetBpp(), 8u);
            EXPECT_EQ(d->GetNumColors(), 256u);
            EXPECT_TRUE(d->IsGrayScale());
        } else {
            EXPECT_EQ(d->GetBpp(), 24u);
            EXPECT_EQ(d->GetNumColors(), 0u);
        }
        // Both decode with the same libjpeg; only the CMYK conversion rounds differently.
        EXPECT_LE(MaxDifference(*d, lftest::MagickRgba(path)), 1);
    }
}

TEST(CLfImageJPG, CmykSamplesAreScaledByK)
{
    // The top row as libjpeg gives its CMYK samples, against the rule worked by hand.
    const auto bytes = lftest::ReadBytes(Corpus("generated/jpeg/cmyk.jpg"));
    const auto d = Decode(bytes);
    ASSERT_TRUE(d->IsValid()) << d->GetLastError();

    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    ASSERT_EQ(cinfo.output_components, 4);
    Bytes line(cinfo.output_width * 4);
    JSAMPROW row = line.data();
    jpeg_read_scanlines(&cinfo, &row, 1);
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);

    const uint8_t* top = d->GetBits(d->GetHeight() - 1);
    for (int x : {0, 60, 130}) {
        const unsigned k = line[4 * x + 3];
        EXPECT_EQ(top[3 * x], line[4 * x + 2] * k / 255);
        EXPECT_EQ(top[3 * x + 1], line[4 * x + 1] * k / 255);
        EXPECT_EQ(top[3 * x + 2], line[4 * x] * k / 255);
    }
}

TEST(CLfImageJPG, OrientationIsReadAndPixelsStayAsStored)
{
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        const auto d = Decode(lftest::ReadBytes(Corpus("generated/orient/F_orient" + std::to_string(o) + ".jpg")));
        ASSERT_TRUE(d->IsValid()) << d->GetLastError();
        EXPECT_TRUE(d->exifInfo.isExif);
        EXPECT_EQ(d->exifInfo.orientation, o);
        EXPECT_EQ(d->GetWidth(), o <= 4 ? 97 : 61);
        // EXIF unit "none" and a JFIF aspect ratio carry no resolution.
        EXPECT_EQ(d->info.xDpi, 96);
        EXPECT_EQ(d->info.yDpi, 96);
    }
}

TEST(CLfImageJPG, Resolution)
{
    auto exifResolution = [](uint32_t res, uint16_t unit) {
        ExifBuilder b(true);
        b.AddDirectory({b.Rational(0x011A, res, 1), b.Rational(0x011B, res, 1), b.Short(0x0128, unit)});
        return b.App1();
    };
    struct Case {
        const char* name;
        int units, x, y;
        Bytes exif;
        int xDpi, yDpi;
    } cases[] = {
        {"dots per inch", 1, 72, 300, {}, 72, 300},
        {"dots per centimetre", 2, 28, 28, {}, 71, 71},
        {"dots per centimetre rounded up", 2, 11, 118, {}, 28, 300},
        {"aspect ratio only", 0, 1, 1, {}, 96, 96},
        {"density zero", 1, 0, 0, {}, 96, 96},
        {"EXIF inches win over JFIF", 1, 72, 72, exifResolution(300, 2), 300, 300},
        {"EXIF centimetres", 0, 1, 1, exifResolution(118, 3), 299, 299},
        {"EXIF without unit falls back to JFIF", 1, 150, 150, exifResolution(300, 1), 150, 150},
        {"EXIF resolution out of range", 1, 72, 72, exifResolution(2000000000, 2), 72, 72},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes jpeg = SmallJpeg();
        SetJfif(jpeg, c.units, c.x, c.y);
        if (!c.exif.empty())
            InsertAfterJfif(jpeg, c.exif);
        const auto d = Decode(jpeg);
        ASSERT_TRUE(d->IsValid()) << d->GetLastError();
        EXPECT_EQ(d->info.xDpi, c.xDpi);
        EXPECT_EQ(d->info.yDpi, c.yDpi);
        EXPECT_EQ(d->header.biXPelsPerMeter, static_cast<int32_t>(std::floor(c.xDpi * 39.37007874015748 + 0.5)));
    }
}

TEST(CLfImageJPG, NoJfifHeaderKeeps96Dpi)
{
    Bytes jpeg = SmallJpeg();
    jpeg.erase(jpeg.begin() + 2, jpeg.begin() + kAfterJfif);
    const auto d = Decode(jpeg);
    ASSERT_TRUE(d->IsValid()) << d->GetLastError();
    EXPECT_EQ(d->info.xDpi, 96);
}

TEST(CLfImageJPG, HostileExifNeverStopsTheDecode)
{
    ExifBuilder loop(false);
    const uint32_t dir = loop.AddDirectory({loop.Rational(0x011A, 300, 1), loop.Short(0x0128, 2)});
    loop.Patch32(ExifBuilder::NextLinkOffset(dir, 2), dir);

    ExifBuilder overflow(false);
    overflow.AddDirectory({ExifBuilder::Entry{0x010F, 2, 0xFFFFFFF0u, {8, 0, 0, 0}}});

    Bytes truncated = ExifBuilder(true).App1();
    truncated.resize(10);
    truncated[3] = 8;  // the segment claims only what is there

    for (const auto& segment : {loop.App1(), overflow.App1(), truncated}) {
        Bytes jpeg = SmallJpeg();
        InsertAfterJfif(jpeg, segment);
        const auto d = Decode(jpeg);
        ASSERT_TRUE(d->IsValid()) << d->GetLastError();
        EXPECT_EQ(d->GetWidth(), 16);
    }
}

TEST(CLfImageJPG, TruncatedFiles)
{
    // Cut inside the entropy-coded data: the whole picture comes back.
    {
        const auto d = Decode(lftest::ReadBytes(Corpus("generated/jpeg/bad_truncated_progressive.jpg")));
        ASSERT_TRUE(d->IsValid()) << d->GetLastError();
        EXPECT_EQ(d->GetWidth(), 131);
        EXPECT_EQ(d->GetHeight(), 67);
    }
    const Bytes whole = lftest::ReadBytes(Corpus("generated/jpeg/baseline_420.jpg"));
    const size_t scan = FindMarker(whole, 0xDA);
    ASSERT_NE(scan, std::string::npos);
    {
        const auto d = Decode(Bytes(whole.begin(), whole.begin() + scan + 40));
        ASSERT_TRUE(d->IsValid()) << d->GetLastError();
        EXPECT_EQ(d->GetHeight(), 67);
    }
    // Cut before the frame is known: libjpeg's message, no image.
    for (size_t cut : {size_t(2), size_t(30), scan}) {
        SCOPED_TRACE(cut);
        const auto d = Decode(Bytes(whole.begin(), whole.begin() + cut));
        EXPECT_FALSE(d->IsValid());
        EXPECT_FALSE(std::string(d->GetLastError()).empty());
        EXPECT_FALSE(d->IsValid());
    }
}

TEST(CLfImageJPG, RefusedInput)
{
    struct Case {
        const char* name;
        Bytes bytes;
        const char* message;  // part of libjpeg's text, or ours
    } cases[] = {
        {"empty stream", {}, "Empty input file"},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, "Not a JPEG file"},
        {"only SOI and EOI", {0xFF, 0xD8, 0xFF, 0xD9}, "JPEG datastream contains no image"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto d = Decode(c.bytes);
        EXPECT_FALSE(d->IsValid());
        EXPECT_NE(std::string(d->GetLastError()).find(c.message), std::string::npos) << std::string(d->GetLastError());
    }
}

TEST(CLfImageJPG, HostileFrameHeaders)
{
    const Bytes whole = SmallJpeg();
    const size_t sof = FindMarker(whole, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    struct Case {
        const char* name;
        size_t at;
        Bytes bytes;
        const char* message;
    } cases[] = {
        // height and width 65500: within libjpeg's limits, beyond ours
        {"huge frame", sof + 5, {0xFF, 0xDC, 0xFF, 0xDC}, "LFIMAGE_MAX_MEMORY exceeded"},
        {"zero width", sof + 7, {0, 0}, "Empty JPEG image"},
        {"short frame header", sof + 2, {0, 6}, "Bogus marker length"},
        {"five components", sof + 9, {5}, "Bogus marker length"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes jpeg = whole;
        std::copy(c.bytes.begin(), c.bytes.end(), jpeg.begin() + c.at);
        const auto d = Decode(jpeg);
        EXPECT_FALSE(d->IsValid());
        EXPECT_NE(std::string(d->GetLastError()).find(c.message), std::string::npos) << std::string(d->GetLastError());
    }
}

TEST(CLfImageJPG, CancelLeavesTheMessageAlone)
{
    const Bytes jpeg = SmallJpeg();
    CLfMemoryStream stream(jpeg.data(), int64_t(jpeg.size()));
    CLfImageJPG codec;
    codec.SetLastError("before");
    codec.info.escape = 1;
    EXPECT_FALSE(codec.Decode(&stream));
    EXPECT_STREQ(codec.GetLastError(), "before");
    EXPECT_FALSE(codec.IsValid());
}

TEST(CLfImageJPG, ExifScanLeavesTheStreamWhereItWas)
{
    Bytes jpeg(5, 0);
    const Bytes small = SmallJpeg();
    jpeg.insert(jpeg.end(), small.begin(), small.end());
    CLfMemoryStream stream(jpeg.data(), static_cast<int64_t>(jpeg.size()));
    ASSERT_TRUE(stream.Seek(5, CLfStream::kSeekSet));
    CLfImageJPG codec;
    EXPECT_FALSE(codec.ReadExifInfo(&stream));
    EXPECT_EQ(stream.Tell(), 5);
    EXPECT_EQ(codec.exifInfo.width, 16);  // the frame header was read
    EXPECT_TRUE(codec.Decode(&stream)) << codec.GetLastError();
}

TEST(CLfImageJPG, ColourRoundTrip)
{
    CLfImage img;
    MakeGradient(img, 301, 203);  // odd sizes: padded rows, partial blocks
    img.SetXDPI(300);
    img.SetYDPI(150);
    img.info.quality = 95;
    const Bytes before(img.dib, img.dib + img.GetSize());

    bool ok = false;
    std::string error;
    const Bytes jpeg = EncodeToBytes(img, &ok, &error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(Bytes(img.dib, img.dib + img.GetSize()), before);  // caller unchanged

    const auto d = Decode(jpeg);
    ASSERT_TRUE(d->IsValid()) << d->GetLastError();
    ASSERT_EQ(d->GetWidth(), 301);
    ASSERT_EQ(d->GetHeight(), 203);
    ASSERT_EQ(d->GetBpp(), 24u);
    EXPECT_EQ(d->info.xDpi, 300);
    EXPECT_EQ(d->info.yDpi, 150);
    EXPECT_LE(MaxDifference(*d, img), 8);  // channel order and row order both survive
}

TEST(CLfImageJPG, GreyRoundTripIsOneComponent)
{
    CLfImage img;
    MakeGrey(img, 33, 17);
    bool ok = false;
    std::string error;
    const Bytes jpeg = EncodeToBytes(img, &ok, &error);
    ASSERT_TRUE(ok) << error;
    const size_t sof = FindMarker(jpeg, 0xC0);  // baseline
    ASSERT_NE(sof, std::string::npos);
    EXPECT_EQ(jpeg[sof + 9], 1);

    const auto d = Decode(jpeg);
    ASSERT_TRUE(d->IsValid()) << d->GetLastError();
    ASSERT_EQ(d->GetBpp(), 8u);
    EXPECT_TRUE(d->IsGrayScale());
    EXPECT_LE(MaxDifference(*d, img), 3);  // a smooth ramp: rows upside down would be far off
}

TEST(CLfImageJPG, EncoderOptionsReachTheFile)
{
    CLfImage img;
    MakeGradient(img, 64, 48);
    auto encode = [&](uint32_t options) {
        img.info.codecOption = options;
        return EncodeToBytes(img);
    };
    // The frame marker and the sampling byte (horizontal << 4 | vertical) of each component.
    struct Case {
        uint32_t options;
        int frame;  // 0xC0 baseline, 0xC1 extended, 0xC2 progressive
        int luma, chroma;
    };
    const Case cases[] = {
        {0, 0xC0, 0x22, 0x11},
        {kJpegProgressive, 0xC2, 0x22, 0x11},
        {kJpegSetSampling, 0xC0, 0x11, 0x11},
        {kJpegSetSampling | kJpegHalveHorizontally, 0xC0, 0x21, 0x11},
        {kJpegSetSampling | kJpegHalveVertically, 0xC0, 0x12, 0x11},
        {kJpegSetSampling | kJpegHalveHorizontally | kJpegHalveVertically | kJpegProgressive, 0xC2, 0x22, 0x11},
    };
    for (const Case& c : cases) {
        const Bytes jpeg = encode(c.options);
        const size_t sof = FindMarker(jpeg, static_cast<uint8_t>(c.frame));
        ASSERT_NE(sof, std::string::npos) << "options " << c.options;
        EXPECT_EQ(FindMarker(jpeg, c.frame == 0xC2 ? 0xC0 : 0xC2), std::string::npos) << "options " << c.options;
        ASSERT_EQ(jpeg[sof + 9], 3);
        EXPECT_EQ(jpeg[sof + 11], c.luma) << "options " << c.options;
        EXPECT_EQ(jpeg[sof + 14], c.chroma) << "options " << c.options;
        EXPECT_EQ(jpeg[sof + 17], c.chroma) << "options " << c.options;
        const auto d = Decode(jpeg);
        ASSERT_TRUE(d->IsValid()) << d->GetLastError();
        EXPECT_LE(MaxDifference(*d, img), 12) << "options " << c.options;
    }
    // Optimised Huffman codes change the coding only: other bytes, the same pixels.
    const Bytes plain = encode(0);
    const Bytes optimised = encode(kJpegOptimizeCoding);
    EXPECT_NE(optimised, plain);
    EXPECT_LT(optimised.size(), plain.size());
    EXPECT_TRUE(lftest::SamePicture(*Decode(optimised), *Decode(plain)));
}

TEST(CLfImageJPG, QualityIsClampedByLibjpeg)
{
    CLfImage img;
    MakeGradient(img, 40, 30);
    auto at = [&](int q) {
        img.info.quality = static_cast<uint8_t>(q);
        return EncodeToBytes(img);
    };
    EXPECT_EQ(at(0), at(1));
    EXPECT_EQ(at(255), at(100));
    EXPECT_LT(at(10).size(), at(90).size());
}

TEST(CLfImageJPG, EncodeRefusals)
{
    auto palette = [](int bpp, bool grey) {
        auto img = std::make_unique<CLfImage>();
        img->Create(8, 8, bpp, 0);
        const uint32_t n = img->GetNumColors();
        for (uint32_t i = 0; i < n; ++i)
            img->SetPaletteColor(static_cast<uint8_t>(i), static_cast<uint8_t>(i),
                                 static_cast<uint8_t>(i), static_cast<uint8_t>(grey ? i : 255 - i));
        return img;
    };
    struct Case {
        const char* name;
        std::unique_ptr<CLfImage> img;
        const char* error;
    };
    std::vector<Case> cases;
    cases.push_back({"1-bit", palette(1, false), "JPEG can save only RGB or GreyScale images"});
    cases.push_back({"4-bit colour", palette(4, false), "JPEG can save only RGB or GreyScale images"});
    cases.push_back({"8-bit colour", palette(8, false), "JPEG can save only RGB or GreyScale images"});
    cases.push_back({"4-bit grey ramp", palette(4, true), "JPEG can save only RGB or GreyScale images"});
    cases.push_back({"no image", std::make_unique<CLfImage>(), "null image!!!"});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = true;
        std::string error;
        EncodeToBytes(*c.img, &ok, &error);
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, c.error);
    }
    CLfImage img;
    MakeGradient(img, 4, 4);
    CLfImageJPG codec;
    codec.Ghost(&img);
    EXPECT_FALSE(codec.Encode(nullptr));
    EXPECT_STREQ(codec.GetLastError(), "null file handler");
}

TEST(CLfImageJPG, WriteFailuresAreReported)
{
    // Noise compresses badly: several 4096-byte buffers and a partial last one.
    CLfImage img;
    ASSERT_TRUE(img.Create(200, 200, 24, 0));
    uint32_t seed = 12345;
    for (uint32_t i = 0; i < img.GetSize() - 40; ++i) {
        seed = seed * 1103515245u + 12345u;
        img.dib[40 + i] = static_cast<uint8_t>(seed >> 24);
    }
    const size_t total = EncodeToBytes(img).size();
    ASSERT_GT(total, 3 * 4096u);
    ASSERT_NE(total % 4096, 0u);

    struct Case {
        const char* name;
        size_t allowed;
        bool failFlush;
    } cases[] = {
        {"first full buffer", 0, false},
        {"third full buffer", 2 * 4096 + 100, false},
        {"last partial buffer", total - total % 4096, false},
        {"flush", total, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CLfImageJPG codec;
        codec.Ghost(&img);
        FailingStream stream(c.allowed, c.failFlush);
        EXPECT_FALSE(codec.Encode(&stream));
        EXPECT_NE(std::string(codec.GetLastError()).find("Output file write error"), std::string::npos)
            << codec.GetLastError();
    }
}

TEST(CLfImageJPG, LoadAndSaveByType)
{
    lftest::TempDir dir;
    const std::string file = (dir / "picture.jpg").string();
    auto src = lftest::MakePicture(24, 12, 24);
    src->SetXDPI(200);
    src->SetYDPI(200);
    ASSERT_TRUE(src->Save(file.c_str(), lfimg::kTypeJPG)) << src->GetLastError();

    for (uint32_t type : {uint32_t(lfimg::kTypeJPG), uint32_t(lfimg::kTypeUnknown), uint32_t(lfimg::kTypeBMP)}) {
        SCOPED_TRACE(type);
        CLfImage img;
        ASSERT_TRUE(img.Load(file.c_str(), type)) << img.GetLastError();
        EXPECT_EQ(img.GetType(), lfimg::kTypeJPG);
        EXPECT_EQ(img.GetWidth(), 24);
        EXPECT_EQ(img.info.xDpi, 200);
    }

    const std::string text = (dir / "notes.jpg").string();
    lftest::WriteText(text, "not a picture at all");
    CLfImage img;
    EXPECT_FALSE(img.Load(text.c_str(), lfimg::kTypeJPG));
    EXPECT_NE(std::string(img.GetLastError()).find("Not a JPEG file"), std::string::npos) << img.GetLastError();

    CLfImage palette(4, 4, 4, 0);
    EXPECT_FALSE(palette.Save(file.c_str(), lfimg::kTypeJPG));
    EXPECT_STREQ(palette.GetLastError(), "JPEG can save only RGB or GreyScale images");
    CLfImage still(file.c_str(), lfimg::kTypeJPG);  // the failed save left the file alone
    EXPECT_EQ(still.GetWidth(), 24);
}

TEST(CLfImageJPG, SmallProgressiveFileCannotClaimHugeWorkingMemory)
{
    // 9000 x 9000 passes the pixel gate, but a four-component progressive frame
    // needs 648 MB of coefficients in libjpeg before the first row comes out.
    const Bytes small = lftest::ReadBytes(lftest::OwnData("jpeg/cmyk_progressive_16x16.jpg"));
    {
        const auto d = Decode(small);
        ASSERT_TRUE(d->IsValid()) << d->GetLastError();
        EXPECT_EQ(d->GetWidth(), 16);
    }
    Bytes huge = small;
    const size_t sof = FindMarker(huge, 0xC2);
    ASSERT_NE(sof, std::string::npos);
    ASSERT_EQ(huge[sof + 9], 4);
    for (size_t at : {sof + 5, sof + 7}) {
        huge[at] = 9000 >> 8;
        huge[at + 1] = 9000 & 0xFF;
    }
    const auto d = Decode(huge);
    EXPECT_FALSE(d->IsValid());
    EXPECT_STREQ(d->GetLastError(), "LFIMAGE_MAX_MEMORY exceeded");
}

TEST(CLfImageJPG, NeededSideDecodesAtTheLargestScaleThatStillCoversIt)
{
    struct Case {
        int w, h, needed;
        int outW, outH;
    } cases[] = {
        {1600, 1200, 176, 200, 150},  // 1/8
        {640, 200, 176, 320, 100},    // 1/4 would leave 160
        {300, 200, 176, 300, 200},    // 1/2 would leave 150: full size
        {200, 1601, 176, 25, 201},    // the larger side counts; sizes round up
        {1600, 1200, 200, 200, 150},  // exactly enough
        {1600, 1200, 201, 400, 300},
        {1600, 1200, 0, 1600, 1200},  // no hint
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " needing " + std::to_string(c.needed));
        CLfImage img;
        MakeGradient(img, c.w, c.h);
        img.SetXDPI(300);
        img.SetYDPI(200);
        bool ok = false;
        const Bytes jpeg = EncodeToBytes(img, &ok);
        ASSERT_TRUE(ok);
        // Through the dispatch, named and by trial: the hint reaches the codec both ways.
        for (uint32_t type : {uint32_t(lfimg::kTypeJPG), uint32_t(lfimg::kTypeUnknown)}) {
            CLfImage d;
            d.info.neededSide = c.needed;
            d.info.fullWidth = 12345;  // left over from an earlier decode
            ASSERT_TRUE(d.Decode(jpeg.data(), int64_t(jpeg.size()), type)) << d.GetLastError();
            EXPECT_EQ(d.GetWidth(), c.outW);
            EXPECT_EQ(d.GetHeight(), c.outH);
            const bool scaled = c.outW != c.w;
            EXPECT_EQ(d.info.fullWidth, scaled ? c.w : 0);
            EXPECT_EQ(d.info.fullHeight, scaled ? c.h : 0);
            EXPECT_EQ(d.info.xDpi, 300);
            EXPECT_EQ(d.info.yDpi, 200);
        }
    }
}

namespace {

// A picture of many megapixels straight from libjpeg, with the sampling, component
// count and restart interval asked; grain everywhere so every block has coefficients.
Bytes LibjpegEncode(int width, int height, int components, int hSamp, int vSamp, int restartRows)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    if (components == 3) {
        cinfo.comp_info[0].h_samp_factor = hSamp;
        cinfo.comp_info[0].v_samp_factor = vSamp;
    }
    cinfo.restart_in_rows = restartRows;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(size_t(width) * components);
    uint32_t seed = 12345;
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c) {
                seed = seed * 1103515245u + 12345u;
                row[size_t(x) * components + c] = uint8_t((x * (c + 1) + y * 3) / 16 + (seed >> 27));
            }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes bytes(out, out + outSize);
    std::free(out);
    return bytes;
}

// The rows one libjpeg decompressor gives, top row first, in the DIB's blue-green-red
// order; damaged data is decoded as far as libjpeg goes, its warnings let through.
std::vector<Bytes> LibjpegRows(const Bytes& jpeg)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    err.emit_message = [](j_common_ptr, int) {};
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.out_color_space == JCS_RGB)
        cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    std::vector<Bytes> rows;
    while (cinfo.output_scanline < cinfo.output_height) {
        Bytes row(size_t(cinfo.output_width) * cinfo.output_components);
        JSAMPROW target[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, target, 1);
        rows.push_back(std::move(row));
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return rows;
}

// The first row (top first) where the decoded picture and libjpeg's rows differ; -1 when none.
int FirstDifferentRow(const CLfImage& image, const std::vector<Bytes>& rows)
{
    if (size_t(image.GetHeight()) != rows.size())
        return 0;
    for (size_t top = 0; top < rows.size(); ++top) {
        const uint8_t* mine = image.GetBits(uint32_t(image.GetHeight() - 1 - top));
        if (std::memcmp(mine, rows[top].data(), rows[top].size()) != 0)
            return int(top);
    }
    return -1;
}

}  // namespace

// Pictures of many megapixels are decoded in bands on several threads: every row equals
// what one decompressor gives, for every sampling, for grey and with restart markers;
// a damaged file makes the bands give up, and the codec decodes it the one way.
TEST(CLfImageJPG, LargePicturesDecodeExactlyAsOneDecompressorDoes)
{
    struct Case {
        const char* name;
        int components, hSamp, vSamp, restartRows;
        double cut;  // the share of the file kept (1: whole)
    };
    const Case cases[] = {
        {"4:2:0", 3, 2, 2, 0, 1.0},        {"4:2:2", 3, 2, 1, 0, 1.0},
        {"4:4:4", 3, 1, 1, 0, 1.0},        {"grey", 1, 1, 1, 0, 1.0},
        {"restarts", 3, 2, 2, 1, 1.0},     {"cut in the last band", 3, 2, 2, 0, 0.97},
        {"cut in the first band", 3, 2, 2, 0, 0.2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Over eight million pixels, and a height that is no multiple of a row group.
        Bytes jpeg = LibjpegEncode(3001, 2777, c.components, c.hSamp, c.vSamp, c.restartRows);
        jpeg.resize(size_t(double(jpeg.size()) * c.cut));
        const std::vector<Bytes> expected = LibjpegRows(jpeg);

        for (unsigned bands : {2u, 4u, 7u}) {
            CLfImage banded;
            ASSERT_TRUE(banded.Create(3001, 2777, c.components == 1 ? 8 : 24, 0));
            const LfSharedInt go = 0;
            const LfJpgBandTarget target{jpeg.data(), jpeg.size(), banded.GetBits(0), banded.GetRowBytes(),
                                         3001,        2777,        c.components,       &go};
            const bool whole = c.cut == 1.0;
            EXPECT_EQ(LfJpgDecodeBands(target, bands, uint32_t(c.vSamp) * 8), whole) << bands;
            if (whole) {
                EXPECT_EQ(FirstDifferentRow(banded, expected), -1) << bands;
            }
        }
        const auto decoded = Decode(jpeg);
        ASSERT_TRUE(decoded->IsValid()) << decoded->GetLastError();
        EXPECT_EQ(FirstDifferentRow(*decoded, expected), -1);
    }
}
