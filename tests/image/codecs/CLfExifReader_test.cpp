#include "image/codecs/CLfExifReader.h"
#include "image/CLfMemoryStream.h"
#include "platform/Dib.h"
#include "tests/image/ExifBuilder.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using lftest::ExifBuilder;
using Entry = ExifBuilder::Entry;

namespace {

// Parses a segment body held in a buffer of exactly its size, so any read past the
// end shows up under the address sanitizer.
struct Parsed {
    bool ok = false;
    ExifInfo info{};
    std::string error;
};

Parsed Parse(std::vector<uint8_t> body)
{
    Parsed p;
    CLfExifReader reader(&p.info);
    p.ok = reader.ParseExifSegment(body.data(), static_cast<uint32_t>(body.size()));
    p.error = reader.LastError();
    return p;
}

std::vector<Entry> CameraEntries(const ExifBuilder& b)
{
    return {
        b.Ascii(0x010F, "Lanterncam"),
        b.Ascii(0x0110, "Model with a rather long name"),
        b.Short(0x0112, 6),
        b.Rational(0x011A, 72, 1),
        b.Rational(0x011B, 144, 2),
        b.Short(0x0128, 2),
    };
}

}  // namespace

TEST(CLfExifReader, BothByteOrdersGiveTheSameFields)
{
    for (bool motorola : {false, true}) {
        SCOPED_TRACE(motorola ? "MM" : "II");
        ExifBuilder b(motorola);
        std::vector<Entry> ifd0 = CameraEntries(b);
        ifd0.push_back(b.Long(0x8769, 0));  // patched below
        const uint32_t dir0 = b.AddDirectory(ifd0);
        const uint32_t sub = b.AddDirectory({
            b.Undefined(0x9000, "0230"),
            b.Ascii(0x9003, "2024:05:06 07:08:09"),
            b.Rational(0x829D, 28, 10),
            b.Short(0x8827, 2),
            b.Short(0x9209, 0x19),
            b.SRational(0x9204, -2, 3),
            b.Rational(0x920A, 50, 1),
            b.Long(0xA002, 4000),
            b.Long(0xA003, 3000),
            b.Rational(0xA20E, 2000, 1),
            b.Short(0xA210, 3),
            b.SRational(0x9201, 7, 1),
        });
        b.Patch32(ExifBuilder::ValueOffset(dir0, static_cast<int>(ifd0.size()) - 1), sub);

        const Parsed p = Parse(b.Segment());
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_STREQ(p.info.cameraMake, "Lanterncam");
        EXPECT_STREQ(p.info.cameraModel, "Model with a rather long name");
        EXPECT_EQ(p.info.orientation, 6);
        EXPECT_FLOAT_EQ(p.info.xResolution, 72.0f);
        EXPECT_FLOAT_EQ(p.info.yResolution, 72.0f);
        EXPECT_FLOAT_EQ(p.info.resolutionUnit, 1.0f);
        EXPECT_STREQ(p.info.version, "0230");
        EXPECT_STREQ(p.info.dateTime, "2024:05:06 07:08:09");
        EXPECT_FLOAT_EQ(p.info.apertureFNumber, 2.8f);
        EXPECT_EQ(p.info.isoEquivalent, 400);  // values under 50 are scaled by 200
        EXPECT_EQ(p.info.flashUsed, 1);
        EXPECT_FLOAT_EQ(p.info.exposureBias, -2.0f / 3.0f);
        EXPECT_FLOAT_EQ(p.info.focalLength, 50.0f);
        EXPECT_FLOAT_EQ(p.info.exposureTime, 1.0f / 128.0f);
        EXPECT_NEAR(p.info.ccdWidth, 4000 * 0.3937008f / 2000.0f, 1e-5);
    }
}

TEST(CLfExifReader, TextFieldsAreCutToTheirSize)
{
    ExifBuilder b(false);
    b.AddDirectory({b.Ascii(0x010F, std::string(60, 'M')), b.Ascii(0x0110, std::string(60, 'L')),
                    b.Ascii(0x9003, "2024:05:06 07:08:09 and more")});
    const Parsed p = Parse(b.Segment());
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(std::string(p.info.cameraMake), std::string(31, 'M'));
    EXPECT_EQ(std::string(p.info.cameraModel), std::string(39, 'L'));
    EXPECT_STREQ(p.info.dateTime, "2024:05:06 07:08:09");
}

TEST(CLfExifReader, ResolutionUnitCodes)
{
    struct Case {
        int code;
        float factor;  // 0: the field keeps its value
    } cases[] = {{2, 1.0f}, {3, 0.3937008f}, {4, 0.03937008f}, {5, 0.00003937008f}, {1, 0.0f}, {9, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ExifBuilder b(true);
        b.AddDirectory({b.Rational(0x011A, 2835, 100), b.Short(0x0128, c.code)});
        const Parsed p = Parse(b.Segment());
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_FLOAT_EQ(p.info.resolutionUnit, c.factor);
        if (c.code == 3) {
            EXPECT_EQ(static_cast<int>(p.info.xResolution / p.info.resolutionUnit), 72);
        }
    }
}

TEST(CLfExifReader, BadOrientationIsZeroAndTheWalkGoesOn)
{
    ExifBuilder b(false);
    b.AddDirectory({b.Ascii(0x010F, "Before"), b.Short(0x0112, 9), b.Rational(0x011A, 300, 1)});
    const Parsed p = Parse(b.Segment());
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.info.orientation, 0);
    EXPECT_EQ(p.error, "Undefined rotation value");
    EXPECT_FLOAT_EQ(p.info.xResolution, 300.0f);
}

TEST(CLfExifReader, UserComment)
{
    struct Case {
        const char* name;
        std::string value;
        const char* expected;
    } cases[] = {
        {"ascii code, zeros, trailing blanks", std::string("ASCII\0\0\0Hello there  ", 21), "Hello there"},
        {"ascii code with only zeros", std::string("ASCII\0\0\0\0\0", 10), ""},
        {"no code", "plain words", "plain words"},
        {"long text", std::string(300, 'c'), nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExifBuilder b(false);
        b.AddDirectory({b.Undefined(0x9286, c.value)});
        const Parsed p = Parse(b.Segment());
        ASSERT_TRUE(p.ok) << p.error;
        if (c.expected)
            EXPECT_STREQ(p.info.comment, c.expected);
        else
            EXPECT_EQ(std::string(p.info.comment), std::string(199, 'c'));
    }
}

TEST(CLfExifReader, ThumbnailOfTheNextDirectory)
{
    ExifBuilder b(true);
    const uint32_t dir0 = b.AddDirectory({b.Rational(0x011A, 72, 1)});
    const uint32_t dir1 = b.AddDirectory({b.Long(0x0201, 0), b.Long(0x0202, 4), b.Rational(0x011A, 96, 1)});
    b.Patch32(ExifBuilder::NextLinkOffset(dir0, 1), dir1);
    const uint32_t thumb = b.AddBytes({0xFF, 0xD8, 0xFF, 0xD9});
    b.Patch32(ExifBuilder::ValueOffset(dir1, 0), thumb);

    std::vector<uint8_t> body = b.Segment();
    ExifInfo info{};
    CLfExifReader reader(&info);
    ASSERT_TRUE(reader.ParseExifSegment(body.data(), static_cast<uint32_t>(body.size())));
    EXPECT_FLOAT_EQ(info.xResolution, 96.0f);  // the later directory wins
    ASSERT_EQ(info.thumbnailSize, 4u);
    EXPECT_EQ(info.thumbnail, body.data() + 6 + thumb);
}

// A valid block with one byte changed: the header checks each name their fault.
TEST(CLfExifReader, DamagedHeaders)
{
    struct Case {
        const char* name;
        size_t at;
        uint8_t value;
        const char* error;
    } cases[] = {
        {"bad identifier", 5, 1, "Incorrect Exif header"},
        {"bad byte order", 6, 'X', "Invalid Exif alignment marker."},
        {"not 42", 8, 43, "Invalid Exif start (1)"},
        {"first directory far away", 10, 200, "Suspicious offset of first IFD value"},
        {"first directory before the header", 10, 4, "Suspicious offset of first IFD value"},
        {"directory count beyond the segment", 14, 0xFF, "Illegally sized directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExifBuilder b(false);
        b.AddDirectory({b.Short(0x0112, 1)});
        std::vector<uint8_t> body = b.Segment();
        body[c.at] = c.value;
        const Parsed p = Parse(body);
        EXPECT_FALSE(p.ok);
        EXPECT_EQ(p.error, c.error);
    }
}

// Hostile blocks: each is refused with its message, reads nothing outside the buffer,
// and keeps the fields read before the fault.
TEST(CLfExifReader, HostileSegments)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> (*make)();
        const char* error;
    } cases[] = {
        {"short header", [] { return std::vector<uint8_t>{'E', 'x', 'i', 'f', 0, 0, 'I', 'I'}; },
         "Incorrect Exif header"},
        {"format 13",
         [] {
             ExifBuilder b(false);
             b.AddDirectory({Entry{0x011A, 13, 1, {0, 0, 0, 0}}});
             return b.Segment();
         },
         "Illegal format code in EXIF dir"},
        {"count whose byte size overflows 32 bits",
         [] {
             ExifBuilder b(false);
             // 0x20000001 rationals: 8 bytes each wrap to 8 in 32 bits.
             b.AddDirectory({Entry{0x011A, 5, 0x20000001u, {8, 0, 0, 0}}});
             return b.Segment();
         },
         "Illegal pointer offset value in EXIF."},
        {"value two bytes past the end",
         [] {
             ExifBuilder b(false);
             const uint32_t dir = b.AddDirectory({b.Rational(0x011A, 72, 1)});
             std::vector<uint8_t> v = b.Segment();
             const uint32_t tiffSize = static_cast<uint32_t>(v.size() - 6);
             const uint32_t at = 6 + ExifBuilder::ValueOffset(dir, 0);
             lfdib::PutLE32(v.data() + at, tiffSize - 6);
             return v;
         },
         "Illegal pointer offset value in EXIF."},
        {"sub-directory beyond the segment",
         [] {
             ExifBuilder b(true);
             b.AddDirectory({b.Long(0x8769, 0x7FFFFFF0)});
             return b.Segment();
         },
         "Illegal subdirectory link"},
        {"next directory beyond the segment",
         [] {
             ExifBuilder b(true);
             const uint32_t dir = b.AddDirectory({b.Short(0x0112, 3)});
             b.Patch32(ExifBuilder::NextLinkOffset(dir, 1), 0xFFFFFFF0u);
             return b.Segment();
         },
         "Illegal subdirectory link"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed p = Parse(c.make());
        EXPECT_FALSE(p.ok);
        EXPECT_EQ(p.error, c.error);
    }
}

TEST(CLfExifReader, ValueEndingExactlyAtTheSegmentEndIsRead)
{
    ExifBuilder b(false);
    b.AddDirectory({b.Rational(0x011A, 300, 1)});
    const Parsed p = Parse(b.Segment());  // the rational is the segment's last 8 bytes
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_FLOAT_EQ(p.info.xResolution, 300.0f);
}

TEST(CLfExifReader, LinksThatLoopAreFollowedOnce)
{
    struct Case {
        const char* name;
        bool subDirectory;  // loop through an EXIF sub-directory link, else a next link
        bool toSelf;
    } cases[] = {{"next link to itself", false, true},
                 {"next link back to the first", false, false},
                 {"sub-directory to itself", true, true},
                 {"sub-directory back to the first", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExifBuilder b(false);
        const uint32_t dir0 = b.AddDirectory({b.Rational(0x011A, 300, 1), b.Long(0x8769, 0)});
        const uint32_t dir1 = b.AddDirectory(
            {c.subDirectory ? b.Long(0x8769, 0) : b.Short(0x0112, 1), b.Short(0x8827, 100)});
        b.Patch32(ExifBuilder::ValueOffset(dir0, 1), dir1);
        const uint32_t target = c.toSelf ? dir1 : dir0;
        if (c.subDirectory)
            b.Patch32(ExifBuilder::ValueOffset(dir1, 0), target);
        else
            b.Patch32(ExifBuilder::NextLinkOffset(dir1, 2), target);

        const Parsed p = Parse(b.Segment());
        EXPECT_TRUE(p.ok);  // the loop ends only the inner walk
        EXPECT_EQ(p.error, "EXIF directory linked more than once");
        EXPECT_FLOAT_EQ(p.info.xResolution, 300.0f);
        EXPECT_EQ(p.info.isoEquivalent, 100);
    }
}

TEST(CLfExifReader, ChainOfDirectoriesIsBounded)
{
    // Hundreds of distinct directories, each linking to the next: the walk stops.
    ExifBuilder b(false);
    uint32_t previous = b.AddDirectory({b.Short(0x8827, 100)});
    for (int i = 0; i < 500; ++i) {
        const uint32_t dir = b.AddDirectory({b.Short(0x8827, 100)});
        b.Patch32(ExifBuilder::NextLinkOffset(previous, 1), dir);
        previous = dir;
    }
    const Parsed p = Parse(b.Segment());
    EXPECT_EQ(p.error, "Too many EXIF directories");
    EXPECT_EQ(p.info.isoEquivalent, 100);
}

TEST(CLfExifReader, ShortValuesAreNotReadBeyondTheirBytes)
{
    // A DOUBLE with no components has no value bytes: nothing beyond the entry is read.
    ExifBuilder b(false);
    b.AddDirectory({Entry{0x011A, 12, 0, {0, 0, 0, 0}}, Entry{0x8827, 3, 0, {9, 0, 0, 0}}});
    std::vector<uint8_t> body = b.Segment();
    body.resize(body.size() - 4);  // drop the next link: the last entry ends the segment
    const Parsed p = Parse(body);
    EXPECT_TRUE(p.ok) << p.error;
    EXPECT_FLOAT_EQ(p.info.xResolution, 0.0f);
    EXPECT_EQ(p.info.isoEquivalent, 0);
}

TEST(CLfExifReader, ValueAsNumberFormats)
{
    CLfExifReader reader;
    const uint8_t rational[8] = {0, 0, 0, 3, 0, 0, 0, 0};
    EXPECT_EQ(reader.ValueAsNumber(rational, 5), 0.0);  // zero divisor
    const uint8_t sshort[2] = {0xFE, 0xFF};
    EXPECT_EQ(reader.ValueAsNumber(sshort, 8, 2), -2.0);
    const uint8_t sbyte[1] = {0x80};
    EXPECT_EQ(reader.ValueAsNumber(sbyte, 6, 1), -128.0);
    const uint8_t ulong[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(reader.ValueAsNumber(ulong, 4, 4), 4294967295.0);
    EXPECT_EQ(reader.ValueAsNumber(ulong, 9, 4), -1.0);
    float f = 1.5f;
    uint8_t fbytes[4];
    std::memcpy(fbytes, &f, 4);
    EXPECT_EQ(reader.ValueAsNumber(fbytes, 11, 4), 1.5);
    EXPECT_EQ(reader.ValueAsNumber(ulong, 12, 4), 0.0);  // 4 bytes are not a double
    EXPECT_EQ(reader.ValueAsNumber(ulong, 7, 4), 0.0);
}

TEST(CLfExifReader, CommentSegment)
{
    const std::string text = "Line\r\nnext\ttab\x01\xff";
    std::vector<uint8_t> data = {0, static_cast<uint8_t>(text.size() + 2)};
    data.insert(data.end(), text.begin(), text.end());
    CLfExifReader reader;
    reader.ReadComment(data.data(), static_cast<uint32_t>(data.size()));
    EXPECT_STREQ(reader.Info()->comment, "Line\nnext\ttab??");
}

namespace {

std::vector<uint8_t> Seg(uint8_t marker, const std::vector<uint8_t>& body)
{
    const size_t length = body.size() + 2;
    return lftest::Joined({0xFF, marker, uint8_t(length >> 8), uint8_t(length)}, body);
}

std::vector<uint8_t> Join(const std::vector<std::vector<uint8_t>>& parts)
{
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<uint8_t> Repeat(int n, const std::vector<uint8_t>& segment)
{
    return Join(std::vector<std::vector<uint8_t>>(n, segment));
}

const std::vector<uint8_t> kSoi = {0xFF, 0xD8};
const std::vector<uint8_t> kSos = Seg(0xDA, {1, 1, 0, 0, 63, 0});

struct Scanned {
    bool ok = false;
    ExifInfo info{};
    std::string error;
    int sections = 0;
};

Scanned Scan(const std::vector<uint8_t>& bytes)
{
    Scanned s;
    CLfMemoryStream stream(bytes.data(), static_cast<int64_t>(bytes.size()));
    CLfExifReader reader(&s.info);
    s.ok = reader.DecodeExif(&stream);
    s.error = reader.LastError();
    s.sections = reader.SectionCount();
    return s;
}

}  // namespace

TEST(CLfExifReader, SegmentLimit)
{
    const std::vector<uint8_t> app2 = Seg(0xE2, {1, 2, 3});
    const std::vector<uint8_t> app0 = Seg(0xE0, {'J', 'F', 'I', 'F', 0});
    const std::vector<uint8_t> otherApp1 = Seg(0xE1, {'h', 't', 't', 'p'});
    struct Case {
        const char* name;
        std::vector<uint8_t> segments;
        bool ok;
    } cases[] = {
        {"19 kept, then the scan", (Repeat(19, app2)), true},
        {"20 kept", (Repeat(20, app2)), false},
        {"APP0 and foreign APP1 are not kept",
         Join({(Repeat(10, app0)), (Repeat(19, app2)), (Repeat(10, otherApp1))}), true},
        {"only the first comment is kept",
         Join({(Repeat(18, app2)), Seg(0xFE, {'h', 'i'}), (Repeat(5, Seg(0xFE, {'x'})))}), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Scanned s = Scan(Join({kSoi, c.segments, kSos}));
        EXPECT_EQ(s.ok, c.ok);
        EXPECT_EQ(s.sections, 20);
        EXPECT_EQ(s.error, c.ok ? "" : "Too many sections in jpg file");
    }
}

TEST(CLfExifReader, ScanFailures)
{
    const std::vector<uint8_t> app2 = Seg(0xE2, {1, 2, 3});
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool ok;
        const char* error;
    } cases[] = {
        {"no start of image", Join({{0xFF, 0xD9}, app2, kSos}), false, ""},
        {"empty", {}, false, ""},
        {"end of image before the scan", Join({kSoi, app2, {0xFF, 0xD9, 0, 2}}), false, ""},
        {"six padding bytes", Join({kSoi, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, app2, kSos}), true, ""},
        {"seven padding bytes", Join({kSoi, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, app2, kSos}), false, ""},
        {"length below 2", Join({kSoi, {0xFF, 0xE2, 0, 1}, kSos}), false, "invalid marker"},
        {"segment longer than the file", Join({kSoi, {0xFF, 0xE2, 0x10, 0, 1, 2}}), false,
         "Premature end of file?"},
        {"file ends at a marker", Join({kSoi, app2, {0xFF}}), false, "Premature end of file?"},
        {"file ends in a length", Join({kSoi, app2, {0xFF, 0xE2, 0}}), false, "Premature end of file?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Scanned s = Scan(c.bytes);
        EXPECT_EQ(s.ok, c.ok);
        EXPECT_EQ(s.error, c.error);
    }
}

TEST(CLfExifReader, FrameHeaderCommentAndExif)
{
    ExifBuilder b(false);
    b.AddDirectory({b.Short(0x0112, 8), b.Ascii(0x010F, "Cam")});
    std::vector<uint8_t> app1 = b.App1();
    const Scanned s = Scan(Join({kSoi, Seg(0xFE, {'n', 'o', 't', 'e'}), app1,
                                 Seg(0xC2, {8, 0x01, 0x2C, 0x02, 0x58, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1}),
                                 kSos}));
    ASSERT_TRUE(s.ok) << s.error;
    EXPECT_TRUE(s.info.isExif);
    EXPECT_EQ(s.info.orientation, 8);
    EXPECT_STREQ(s.info.cameraMake, "Cam");
    EXPECT_EQ(s.info.height, 300);
    EXPECT_EQ(s.info.width, 600);
    EXPECT_EQ(s.info.isColor, 1);
    EXPECT_EQ(s.info.process, 0xC2);
    EXPECT_STREQ(s.info.comment, "");  // the EXIF block, read after it, empties the comment
}

TEST(CLfExifReader, ShortFrameHeaderIsNotRead)
{
    // Four bytes of body: too short for the frame fields, so they stay zero.
    const Scanned s = Scan(Join({kSoi, Seg(0xC0, {8, 0, 10, 0}), Seg(0xFE, {'o', 'k'}), kSos}));
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(s.info.width, 0);
    EXPECT_EQ(s.info.process, 0);
    EXPECT_STREQ(s.info.comment, "ok");
}

TEST(CLfExifReader, ExifParsedBeforeALaterFaultStillCounts)
{
    ExifBuilder b(true);
    b.AddDirectory({b.Rational(0x011A, 240, 1), b.Short(0x0128, 2)});
    const Scanned s = Scan(Join({kSoi, b.App1(), {0xFF, 0xE2, 0x40, 0}}));
    EXPECT_FALSE(s.ok);
    EXPECT_TRUE(s.info.isExif);
    EXPECT_FLOAT_EQ(s.info.xResolution, 240.0f);
}

TEST(CLfExifReader, ThumbnailPointerDiesWithTheReader)
{
    ExifBuilder b(false);
    const uint32_t dir0 = b.AddDirectory({b.Short(0x0112, 1)});
    const uint32_t dir1 = b.AddDirectory({b.Long(0x0201, 0), b.Long(0x0202, 4)});
    b.Patch32(ExifBuilder::NextLinkOffset(dir0, 1), dir1);
    b.Patch32(ExifBuilder::ValueOffset(dir1, 0), b.AddBytes({0xFF, 0xD8, 0xFF, 0xD9}));
    const std::vector<uint8_t> jpeg = Join({kSoi, b.App1(), kSos});

    ExifInfo info{};
    {
        CLfMemoryStream stream(jpeg.data(), static_cast<int64_t>(jpeg.size()));
        CLfExifReader reader(&info);
        ASSERT_TRUE(reader.DecodeExif(&stream));
        ASSERT_NE(info.thumbnail, nullptr);
        EXPECT_EQ(info.thumbnail[0], 0xFF);
        EXPECT_EQ(info.thumbnail[1], 0xD8);
    }
    EXPECT_EQ(info.thumbnail, nullptr);  // the segment it pointed into is gone
    EXPECT_EQ(info.thumbnailSize, 4u);
}
