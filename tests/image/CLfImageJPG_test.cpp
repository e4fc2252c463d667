#include "image/CLfImageJPG.h"
#include "image/CLfImageJPG_io.h"
#include "image/CLfMemoryStream.h"
#include "tests/image/ExifBuilder.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using lftest::ExifBuilder;

namespace {

std::filesystem::path JpegCorpus(const std::string& name)
{
    return lftest::CorporaDir() / "generated" / name;
}

// Pixels as ImageMagick decodes them: top-down rows of RGB (or grey) bytes.
std::vector<uint8_t> Reference(const std::filesystem::path& file, bool grey)
{
    const std::string cmd = "convert '" + file.string() + "' -depth 8 " + (grey ? "gray:-" : "rgb:-");
    std::vector<uint8_t> out;
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe)
        return out;
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    pclose(pipe);
    return out;
}

// Largest difference of any sample between the image and top-down RGB/grey bytes.
int MaxDifference(const CLfImage& img, const std::vector<uint8_t>& reference)
{
    const int w = img.GetWidth();
    const int h = img.GetHeight();
    const int channels = img.GetBpp() == 8 ? 1 : 3;
    if (reference.size() != size_t(w) * h * channels)
        return 256;
    int worst = 0;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = img.GetBits(h - 1 - y);
        const uint8_t* ref = reference.data() + size_t(y) * w * channels;
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < channels; ++c) {
                // The DIB stores blue, green, red.
                const int ours = row[x * channels + (channels == 3 ? 2 - c : 0)];
                worst = std::max(worst, std::abs(ours - ref[x * channels + c]));
            }
        }
    }
    return worst;
}

struct Decoded {
    bool ok = false;
    std::string error;
    CLfImageJPG img;
};

void DecodeBytes(const std::vector<uint8_t>& bytes, Decoded& out)
{
    CLfMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    out.ok = out.img.Decode(&stream);
    out.error = out.img.GetLastError();
}

std::vector<uint8_t> EncodeToBytes(CLfImage& src, bool* ok = nullptr, std::string* error = nullptr)
{
    CLfImageJPG codec;
    codec.Ghost(&src);
    CLfMemoryStream stream;
    const bool result = codec.Encode(&stream);
    if (ok)
        *ok = result;
    if (error)
        *error = codec.GetLastError();
    const uint8_t* data = stream.GetBuffer();
    return result ? std::vector<uint8_t>(data, data + stream.Size()) : std::vector<uint8_t>{};
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
            img.GetBits(y)[x] = static_cast<uint8_t>((x * 7 + y * 3) % 256);
}

// Offsets into the JFIF APP0 segment that our encoder writes right after SOI.
constexpr size_t kJfifUnits = 13;
constexpr size_t kJfifXDensity = 14;
constexpr size_t kJfifYDensity = 16;
constexpr size_t kAfterJfif = 20;

std::vector<uint8_t> SmallJpeg()
{
    CLfImage img;
    MakeGradient(img, 16, 16);
    return EncodeToBytes(img);
}

void SetJfif(std::vector<uint8_t>& jpeg, int units, int x, int y)
{
    jpeg[kJfifUnits] = static_cast<uint8_t>(units);
    jpeg[kJfifXDensity] = static_cast<uint8_t>(x >> 8);
    jpeg[kJfifXDensity + 1] = static_cast<uint8_t>(x);
    jpeg[kJfifYDensity] = static_cast<uint8_t>(y >> 8);
    jpeg[kJfifYDensity + 1] = static_cast<uint8_t>(y);
}

void InsertAfterJfif(std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& segment)
{
    jpeg.insert(jpeg.begin() + kAfterJfif, segment.begin(), segment.end());
}

size_t FindMarker(const std::vector<uint8_t>& jpeg, uint8_t marker)
{
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == marker)
            return i;
    return std::string::npos;
}

// A stream whose writes fail once a number of bytes has gone through, or whose
// flush fails.
class FailingStream : public CLfMemoryStream {
public:
    FailingStream(size_t allowed, bool failFlush) : m_allowed(allowed), m_failFlush(failFlush) {}
    size_t Write(const void* buffer, size_t itemSize, size_t count) override
    {
        const size_t bytes = itemSize * count;
        if (m_written + bytes > m_allowed)
            return 0;
        m_written += bytes;
        return CLfMemoryStream::Write(buffer, itemSize, count);
    }
    bool Flush() override { return !m_failFlush; }

private:
    size_t m_allowed;
    bool m_failFlush;
    size_t m_written = 0;
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
        const auto path = JpegCorpus(c.file);
        Decoded d;
        DecodeBytes(lftest::ReadBytes(path), d);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.img.GetWidth(), c.width);
        EXPECT_EQ(d.img.GetHeight(), c.height);
        EXPECT_EQ(d.img.GetType(), 3u);
        if (c.grey) {
            ASSERT_EQ(d.img.GetBpp(), 8u);
            EXPECT_EQ(d.img.GetNumColors(), 256u);
            EXPECT_TRUE(d.img.IsGrayScale());
        } else {
            EXPECT_EQ(d.img.GetBpp(), 24u);
            EXPECT_EQ(d.img.GetNumColors(), 0u);
        }
        // Both decode with the same libjpeg; only the CMYK conversion rounds differently.
        EXPECT_LE(MaxDifference(d.img, Reference(path, c.grey)), 1);
    }
}

TEST(CLfImageJPG, CmykSamplesAreScaledByK)
{
    // One CMYK pixel decoded by libjpeg, compared with the rule worked by hand.
    const auto bytes = lftest::ReadBytes(JpegCorpus("jpeg/cmyk.jpg"));
    Decoded d;
    DecodeBytes(bytes, d);
    ASSERT_TRUE(d.ok) << d.error;

    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    ASSERT_EQ(cinfo.output_components, 4);
    std::vector<uint8_t> line(cinfo.output_width * 4);
    JSAMPROW row = line.data();
    jpeg_read_scanlines(&cinfo, &row, 1);
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);

    const uint8_t* top = d.img.GetBits(d.img.GetHeight() - 1);
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
        Decoded d;
        DecodeBytes(lftest::ReadBytes(JpegCorpus("orient/F_orient" + std::to_string(o) + ".jpg")), d);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_TRUE(d.img.exifInfo.isExif);
        EXPECT_EQ(d.img.exifInfo.orientation, o);
        EXPECT_EQ(d.img.GetWidth(), o <= 4 ? 97 : 61);
        // EXIF unit "none" and a JFIF aspect ratio carry no resolution.
        EXPECT_EQ(d.img.info.xDpi, 96);
        EXPECT_EQ(d.img.info.yDpi, 96);
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
        std::vector<uint8_t> exif;
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
        std::vector<uint8_t> jpeg = SmallJpeg();
        SetJfif(jpeg, c.units, c.x, c.y);
        if (!c.exif.empty())
            InsertAfterJfif(jpeg, c.exif);
        Decoded d;
        DecodeBytes(jpeg, d);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.img.info.xDpi, c.xDpi);
        EXPECT_EQ(d.img.info.yDpi, c.yDpi);
        EXPECT_EQ(d.img.header.biXPelsPerMeter, static_cast<int32_t>(std::floor(c.xDpi * 39.37007874015748 + 0.5)));
    }
}

TEST(CLfImageJPG, NoJfifHeaderKeeps96Dpi)
{
    std::vector<uint8_t> jpeg = SmallJpeg();
    jpeg.erase(jpeg.begin() + 2, jpeg.begin() + kAfterJfif);
    Decoded d;
    DecodeBytes(jpeg, d);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.img.info.xDpi, 96);
}

TEST(CLfImageJPG, HostileExifNeverStopsTheDecode)
{
    ExifBuilder loop(false);
    const uint32_t dir = loop.AddDirectory({loop.Rational(0x011A, 300, 1), loop.Short(0x0128, 2)});
    loop.Patch32(ExifBuilder::NextLinkOffset(dir, 2), dir);

    ExifBuilder overflow(false);
    overflow.AddDirectory({ExifBuilder::Entry{0x010F, 2, 0xFFFFFFF0u, {8, 0, 0, 0}}});

    std::vector<uint8_t> truncated = ExifBuilder(true).App1();
    truncated.resize(10);
    truncated[3] = 8;  // the segment claims only what is there

    for (const auto& segment : {loop.App1(), overflow.App1(), truncated}) {
        std::vector<uint8_t> jpeg = SmallJpeg();
        InsertAfterJfif(jpeg, segment);
        Decoded d;
        DecodeBytes(jpeg, d);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.img.GetWidth(), 16);
    }
}

TEST(CLfImageJPG, TruncatedFiles)
{
    // Cut inside the entropy-coded data: the whole picture comes back.
    {
        Decoded d;
        DecodeBytes(lftest::ReadBytes(JpegCorpus("jpeg/bad_truncated_progressive.jpg")), d);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.img.GetWidth(), 131);
        EXPECT_EQ(d.img.GetHeight(), 67);
    }
    const std::vector<uint8_t> whole = lftest::ReadBytes(JpegCorpus("jpeg/baseline_420.jpg"));
    const size_t scan = FindMarker(whole, 0xDA);
    ASSERT_NE(scan, std::string::npos);
    {
        Decoded d;
        DecodeBytes(std::vector<uint8_t>(whole.begin(), whole.begin() + scan + 40), d);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.img.GetHeight(), 67);
    }
    // Cut before the frame is known: libjpeg's message, no image.
    for (size_t cut : {size_t(2), size_t(30), scan}) {
        SCOPED_TRACE(cut);
        Decoded d;
        DecodeBytes(std::vector<uint8_t>(whole.begin(), whole.begin() + cut), d);
        EXPECT_FALSE(d.ok);
        EXPECT_FALSE(d.error.empty());
        EXPECT_FALSE(d.img.IsValid());
    }
}

TEST(CLfImageJPG, RefusedInput)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* message;  // part of libjpeg's text, or ours
    } cases[] = {
        {"empty stream", {}, "Empty input file"},
        {"text", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, "Not a JPEG file"},
        {"only SOI and EOI", {0xFF, 0xD8, 0xFF, 0xD9}, "JPEG datastream contains no image"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d;
        DecodeBytes(c.bytes, d);
        EXPECT_FALSE(d.ok);
        EXPECT_NE(d.error.find(c.message), std::string::npos) << d.error;
    }
}

TEST(CLfImageJPG, HostileFrameHeaders)
{
    const std::vector<uint8_t> whole = SmallJpeg();
    const size_t sof = FindMarker(whole, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    struct Case {
        const char* name;
        size_t at;
        std::vector<uint8_t> bytes;
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
        std::vector<uint8_t> jpeg = whole;
        std::copy(c.bytes.begin(), c.bytes.end(), jpeg.begin() + c.at);
        Decoded d;
        DecodeBytes(jpeg, d);
        EXPECT_FALSE(d.ok);
        EXPECT_NE(d.error.find(c.message), std::string::npos) << d.error;
    }
}

TEST(CLfImageJPG, CancelLeavesTheMessageAlone)
{
    Decoded d;
    d.img.SetLastError("before");
    d.img.info.escape = 1;
    DecodeBytes(SmallJpeg(), d);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.error, "before");  // a cancel leaves the text alone
}

TEST(CLfImageJPG, ExifScanLeavesTheStreamWhereItWas)
{
    std::vector<uint8_t> jpeg(5, 0);
    const std::vector<uint8_t> small = SmallJpeg();
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
    const std::vector<uint8_t> before(img.dib, img.dib + img.GetSize());

    bool ok = false;
    std::string error;
    const std::vector<uint8_t> jpeg = EncodeToBytes(img, &ok, &error);
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(std::vector<uint8_t>(img.dib, img.dib + img.GetSize()), before);  // caller unchanged

    Decoded d;
    DecodeBytes(jpeg, d);
    ASSERT_TRUE(d.ok) << d.error;
    ASSERT_EQ(d.img.GetWidth(), 301);
    ASSERT_EQ(d.img.GetHeight(), 203);
    ASSERT_EQ(d.img.GetBpp(), 24u);
    EXPECT_EQ(d.img.info.xDpi, 300);
    EXPECT_EQ(d.img.info.yDpi, 150);
    int worst = 0;
    for (int y = 0; y < 203; ++y)
        for (int i = 0; i < 301 * 3; ++i)
            worst = std::max(worst, std::abs(d.img.GetBits(y)[i] - img.GetBits(y)[i]));
    EXPECT_LE(worst, 8);  // channel order and row order both survive
}

TEST(CLfImageJPG, GreyRoundTripIsOneComponent)
{
    CLfImage img;
    MakeGrey(img, 33, 17);
    bool ok = false;
    std::string error;
    const std::vector<uint8_t> jpeg = EncodeToBytes(img, &ok, &error);
    ASSERT_TRUE(ok) << error;
    const size_t sof = FindMarker(jpeg, 0xC0);  // baseline
    ASSERT_NE(sof, std::string::npos);
    EXPECT_EQ(jpeg[sof + 9], 1);

    Decoded d;
    DecodeBytes(jpeg, d);
    ASSERT_TRUE(d.ok) << d.error;
    ASSERT_EQ(d.img.GetBpp(), 8u);
    EXPECT_TRUE(d.img.IsGrayScale());
    int worst = 0;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 33; ++x)
            worst = std::max(worst, std::abs(d.img.GetBits(y)[x] - img.GetBits(y)[x]));
    EXPECT_LE(worst, 40);  // sharp steps in the pattern ring a little
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
