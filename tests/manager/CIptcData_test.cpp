#include "ThumbTestSupport.h"
#include "manager/model/CIptcData.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& out, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        out.push_back(uint8_t(b));
}
void Append(Bytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }
void AppendBe16(Bytes& out, size_t v) { Append(out, {int(v >> 8) & 0xFF, int(v) & 0xFF}); }

Bytes Dataset(int number, const std::string& text)
{
    Bytes d;
    Append(d, {0x1C, 0x02, number});
    AppendBe16(d, text.size());
    Append(d, text);
    return d;
}

// A resource block: "8BIM", id, name (padded), 4-byte size, data (padded).
Bytes Resource(int id, const std::string& name, const Bytes& data)
{
    Bytes r;
    Append(r, "8BIM");
    AppendBe16(r, size_t(id));
    r.push_back(uint8_t(name.size()));
    Append(r, name);
    if ((name.size() + 1) % 2)
        r.push_back(0);
    Append(r, {0, 0});
    AppendBe16(r, data.size());
    r.insert(r.end(), data.begin(), data.end());
    if (data.size() % 2)
        r.push_back(0);
    return r;
}

Bytes Segment(int code, const Bytes& data)
{
    Bytes s;
    Append(s, {0xFF, code});
    AppendBe16(s, data.size() + 2);
    s.insert(s.end(), data.begin(), data.end());
    return s;
}

Bytes PhotoshopData(const Bytes& resources)
{
    Bytes d;
    Append(d, "Photoshop 3.0");
    d.push_back(0);
    d.insert(d.end(), resources.begin(), resources.end());
    return d;
}

// SOI, a JFIF header (length 16), what comes between, a quantisation table, a
// scan and the end.
Bytes Jpeg(const Bytes& between = {})
{
    Bytes f;
    Append(f, {0xFF, 0xD8});
    Bytes jfif;
    Append(jfif, "JFIF");
    Append(jfif, {0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    const Bytes app0 = Segment(0xE0, jfif);
    f.insert(f.end(), app0.begin(), app0.end());
    f.insert(f.end(), between.begin(), between.end());
    Bytes table(65, 1);
    table[0] = 0;
    const Bytes dqt = Segment(0xDB, table);
    f.insert(f.end(), dqt.begin(), dqt.end());
    Append(f, {0xFF, 0xDA, 0x00, 0x08, 1, 1, 0, 0, 0x3F, 0, 0x12, 0x34, 0xFF, 0xD9});
    return f;
}

Bytes Iptc(std::initializer_list<Bytes> datasets)
{
    Bytes all;
    for (const Bytes& d : datasets)
        all.insert(all.end(), d.begin(), d.end());
    return all;
}

Bytes JpegWithIptc(const Bytes& iptc, const Bytes& before = {}, const std::string& name = "")
{
    Bytes between = before;
    const Bytes app13 = Segment(0xED, PhotoshopData(Resource(0x0404, name, iptc)));
    between.insert(between.end(), app13.begin(), app13.end());
    return Jpeg(between);
}

TEST(CIptcData, NoSegmentReadsNothingAndTheWriterInsertsOneBeforeTheTable)
{
    const Bytes file = Jpeg();
    CIptcData record;
    EXPECT_TRUE(record.ReadFromBytes(file));
    EXPECT_TRUE(record.m_arrKeywords.empty());
    EXPECT_TRUE(record.m_strObjectName.empty());

    record.m_arrKeywords = {"sun", "sea"};
    const auto written = record.WithKeywords(file);
    ASSERT_TRUE(written);
    ASSERT_EQ(written->size(), file.size() + 46);
    const size_t at = 20;  // after SOI and the JFIF header
    Bytes expected;
    Append(expected, {0xFF, 0xED, 0x00, 44});
    Append(expected, "Photoshop 3.0");
    Append(expected, {0, '8', 'B', 'I', 'M', 0x04, 0x04, 0, 0, 0, 0, 0, 16});
    for (const Bytes& d : {Dataset(25, "sea"), Dataset(25, "sun")})  // the last keyword first
        expected.insert(expected.end(), d.begin(), d.end());
    EXPECT_EQ(Bytes(written->begin() + at, written->begin() + at + 46), expected);
    EXPECT_EQ(Bytes(written->begin(), written->begin() + at), Bytes(file.begin(), file.begin() + at));
    EXPECT_EQ(Bytes(written->begin() + at + 46, written->end()), Bytes(file.begin() + at, file.end()));

    CIptcData again;
    EXPECT_TRUE(again.ReadFromBytes(*written));
    EXPECT_EQ(again.m_arrKeywords, (std::vector<std::string>{"sea", "sun"}));
}

TEST(CIptcData, DatasetsFillTheirFields)
{
    const Bytes file = JpegWithIptc(Iptc({Dataset(5, "first"), Dataset(5, "second"), Dataset(25, "k1"),
                                          Dataset(80, "Ann"), Dataset(20, "s1"), Dataset(25, "k2"),
                                          Dataset(116, "(c) Ann"), Dataset(200, "skipped"), Dataset(101, "NL"),
                                          Dataset(0, ""), Dataset(25, "after the empty one")}));
    CIptcData record;
    ASSERT_TRUE(record.ReadFromBytes(file));
    EXPECT_EQ(record.m_strObjectName, "second") << "a later dataset replaces an earlier one";
    EXPECT_EQ(record.m_arrKeywords, (std::vector<std::string>{"k1", "k2"})) << "file order; the empty one ends it";
    EXPECT_EQ(record.m_arrSupplementalCategories, std::vector<std::string>{"s1"});
    EXPECT_EQ(record.m_strByLine, "Ann");
    EXPECT_EQ(record.m_strCopyrightNotice, "(c) Ann");
    EXPECT_EQ(record.m_strCountry, "NL");
}

// An empty dataset ends the data, also when its header is the last byte of the file:
// there is no data to take after it.
TEST(CIptcData, AnEmptyDatasetAtTheEndOfTheFileEndsTheData)
{
    const Bytes whole = JpegWithIptc(Iptc({Dataset(25, "k1"), Dataset(5, "")}));
    const CIptcData::Marker marker = CIptcData::FindMarker(whole);
    ASSERT_TRUE(marker.found);
    // The file cut right after the segment, whose last bytes are the empty dataset.
    const Bytes file(whole.begin(), whole.begin() + std::ptrdiff_t(marker.marker + 4 + marker.dataLength));
    ASSERT_EQ(Bytes(file.end() - 5, file.end()), (Bytes{0x1C, 0x02, 5, 0, 0}));
    CIptcData record;
    ASSERT_TRUE(record.ReadFromBytes(file));
    EXPECT_EQ(record.m_arrKeywords, std::vector<std::string>{"k1"});
    EXPECT_EQ(record.m_strObjectName, "");

    const Bytes alone{0x1C, 0x02, 25, 0, 0};
    int number = -1;
    std::string text;
    EXPECT_EQ(CIptcData::ReadDataset(alone, 0, alone.size(), number, text), 0u);
}

TEST(CIptcData, SegmentsAndResourcesAreFoundWhereTheyStand)
{
    // Behind an EXIF segment full of zero bytes, and with a two-letter resource name.
    Bytes exif;
    Append(exif, "Exif");
    exif.resize(40, 0);
    const Bytes app1 = Segment(0xE1, exif);
    CIptcData record;
    ASSERT_TRUE(record.ReadFromBytes(JpegWithIptc(Iptc({Dataset(25, "k")}), app1, "ab")));
    EXPECT_EQ(record.m_arrKeywords, std::vector<std::string>{"k"});

    // Another resource first, the IPTC one behind it.
    Bytes resources = Resource(0x040C, "", Bytes(9, 7));
    const Bytes iptc = Resource(0x0404, "", Dataset(25, "later"));
    resources.insert(resources.end(), iptc.begin(), iptc.end());
    CIptcData second;
    ASSERT_TRUE(second.ReadFromBytes(Jpeg(Segment(0xED, PhotoshopData(resources)))));
    EXPECT_EQ(second.m_arrKeywords, std::vector<std::string>{"later"});

    Bytes notPhotoshop;
    Append(notPhotoshop, "Adobe_CM");
    notPhotoshop.resize(20, 0);
    CIptcData third;
    EXPECT_FALSE(third.ReadFromBytes(Jpeg(Segment(0xED, notPhotoshop))));
    EXPECT_FALSE(third.ReadFromBytes(Jpeg(Segment(0xED, PhotoshopData(Resource(0x040C, "", Bytes(4, 1)))))))
        << "no IPTC resource";
    EXPECT_TRUE(third.ReadFromBytes(Bytes{'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0})) << "no JPEG, no segment";
}

TEST(CIptcData, TheWriterReplacesTheOldDataAndKeepsTheRest)
{
    // Odd-sized old data with its pad byte, and a resource behind it.
    Bytes resources = Resource(0x0404, "", Iptc({Dataset(25, "old"), Dataset(5, "name")}));
    const Bytes other = Resource(0x040C, "", Bytes(9, 7));
    resources.insert(resources.end(), other.begin(), other.end());
    const Bytes file = Jpeg(Segment(0xED, PhotoshopData(resources)));
    CIptcData record;
    record.m_arrKeywords = {"sun", "sea", "x"};  // 8 + 8 + 6 = 22 bytes
    const auto written = record.WithKeywords(file);
    ASSERT_TRUE(written);

    const CIptcData::Marker marker = CIptcData::FindMarker(*written);
    ASSERT_TRUE(marker.found);
    // The segment's length covers exactly what stands up to the next marker.
    EXPECT_EQ((*written)[marker.marker + 4 + marker.dataLength], 0xFF);
    EXPECT_EQ((*written)[marker.marker + 5 + marker.dataLength], 0xDB);
    const auto sizeAt = CIptcData::FindResource(*written, marker.marker + 4, marker.marker + 4 + marker.dataLength,
                                                0x0404, 100);
    ASSERT_TRUE(sizeAt);
    EXPECT_EQ((*written)[*sizeAt - 2], 0);
    EXPECT_EQ((*written)[*sizeAt - 1], 0);
    EXPECT_EQ(size_t((*written)[*sizeAt]) << 8 | (*written)[*sizeAt + 1], 22u);
    EXPECT_TRUE(CIptcData::FindResource(*written, *sizeAt + 24, written->size(), 0x040C, 2))
        << "the next resource follows right after the new data";

    CIptcData again;
    ASSERT_TRUE(again.ReadFromBytes(*written));
    EXPECT_EQ(again.m_arrKeywords, (std::vector<std::string>{"x", "sea", "sun"}));
    EXPECT_EQ(again.m_strObjectName, "") << "the old datasets are gone";

    // Odd new data gets its pad byte.
    record.m_arrKeywords = {"ab"};  // 7 bytes
    const auto odd = record.WithKeywords(file);
    ASSERT_TRUE(odd);
    const CIptcData::Marker oddMarker = CIptcData::FindMarker(*odd);
    EXPECT_EQ((*odd)[oddMarker.marker + 4 + oddMarker.dataLength + 1], 0xDB);
    EXPECT_EQ(oddMarker.dataLength % 2, 0u);
}

TEST(CIptcData, TheWriterRefusesWhatWouldNotFit)
{
    CIptcData record;
    record.m_arrKeywords = std::vector<std::string>(3, std::string(30000, 'k'));
    EXPECT_FALSE(record.WithKeywords(Jpeg())) << "more than a segment holds";
    record.m_arrKeywords = {"fine"};
    EXPECT_FALSE(record.WithKeywords(Bytes{0xFF, 0xD8, 0x00, 0x00})) << "no place for the segment";
    // IPTC data that claims more bytes than its segment has.
    Bytes iptc = Dataset(25, "abc");
    Bytes resource = Resource(0x0404, "", iptc);
    resource[10] = 0x7F;  // size low word, high byte
    EXPECT_FALSE(record.WithKeywords(Jpeg(Segment(0xED, PhotoshopData(resource)))));
    // Another program's APP13 that happens to hold the resource's bytes is left alone.
    Bytes foreign;
    Append(foreign, "Adobe_CM");
    const Bytes inside = Resource(0x0404, "", Dataset(25, "abc"));
    foreign.insert(foreign.end(), inside.begin(), inside.end());
    EXPECT_FALSE(record.WithKeywords(Jpeg(Segment(0xED, foreign))));
}

TEST(CIptcData, TruncatedAndLyingFilesAreReadWithinTheirBounds)
{
    const Bytes good = JpegWithIptc(Iptc({Dataset(25, "k1"), Dataset(5, "name"), Dataset(25, "k2")}), {}, "nm");
    CIptcData probe;
    probe.m_arrKeywords = {"a", "b"};
    for (size_t n = 0; n <= good.size(); ++n) {
        const Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        CIptcData record;
        record.ReadFromBytes(cut);
        probe.WithKeywords(cut);
        for (const std::string& k : record.m_arrKeywords)
            EXPECT_TRUE(k == "k1" || k == "k2") << n;
    }
    // Every byte of the segment set to a lying value in turn.
    const CIptcData::Marker marker = CIptcData::FindMarker(good);
    ASSERT_TRUE(marker.found);
    for (size_t i = marker.marker + 2; i < marker.marker + 4 + marker.dataLength; ++i)
        for (uint8_t value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x80), uint8_t(0x1C)}) {
            Bytes bad = good;
            bad[i] = value;
            CIptcData record;
            record.ReadFromBytes(bad);
            const auto written = probe.WithKeywords(bad);
            if (written) {
                CIptcData back;
                EXPECT_TRUE(back.ReadFromBytes(*written)) << i << " " << int(value);
            }
        }
}

TEST(CIptcData, KeywordsWrittenIntoARealJpegLeaveItReadable)
{
    lftest::TempDir dir;
    const auto path = dir / "photo.jpg";
    CLfImage picture = lftest::GradientPicture(64, 48);
    lftest::SavePicture(picture, path, 3);
    CIptcData record;
    record.m_arrKeywords = {"sun", "sea"};
    ASSERT_TRUE(record.WriteKeywordsToJpeg(path.string()));
    CLfImage back(path.c_str(), 3);
    ASSERT_TRUE(back.IsValid()) << back.GetLastError();
    EXPECT_EQ(back.GetWidth(), 64u);
    CIptcData read;
    ASSERT_TRUE(read.ReadFromJpeg(path.string()));
    EXPECT_EQ(read.m_arrKeywords, (std::vector<std::string>{"sea", "sun"}));

    const auto png = dir / "photo.png";
    lftest::SavePicture(picture, png, 4);
    const std::vector<uint8_t> before = lftest::ReadBytes(png);
    EXPECT_FALSE(record.WriteKeywordsToJpeg(png.string()));
    EXPECT_EQ(lftest::ReadBytes(png), before);
    EXPECT_FALSE(record.WriteKeywordsToJpeg((dir / "missing.jpg").string()));
    EXPECT_FALSE(read.ReadFromJpeg((dir / "missing.jpg").string()));
}

TEST(IptcKeywordText, CuttingAndJoiningLines)
{
    const struct {
        const char* text;
        const char* first;
        const char* rest;
    } parse[] = {
        {"IPTC:2:25=sun\nIPTC:2:25= sea \nIPTC:2:25=sky", "sun", "sea"},  // the last line is dropped
        {"IPTC:2:25=a\nIPTC:2:25=b\nIPTC:2:25=c\n", "a", "b\nc"},
        {"no line feed", "", ""},
    };
    for (const auto& c : parse) {
        std::string first, rest;
        ParseIptcKeywordText(first, rest, c.text);
        EXPECT_EQ(first, c.first) << c.text;
        EXPECT_EQ(rest, c.rest) << c.text;
    }
    std::string first, rest;
    SplitFirstLine(first, rest, "notes here\n  sun \nsea");
    EXPECT_EQ(first, "notes here");
    EXPECT_EQ(rest, "sun\nsea");

    std::string a = "x", b;
    AppendTextCharacters(a, b, "abcdef", "1\n2\r3", 3, 5);
    EXPECT_EQ(a, "xabc");
    EXPECT_EQ(b, "1\n\r\n2\r");
    AppendTextCharacters(a, b, "abc", "xyz", 10, 0);
    EXPECT_EQ(a, "xabcabc");
    EXPECT_EQ(b, "1\n\r\n2\r");
}

}  // namespace
