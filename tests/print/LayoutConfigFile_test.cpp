#include "print/model/LayoutConfigFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <locale>
#include <sstream>

namespace {

std::string Read(const std::string& file)
{
    std::istringstream in(file);
    return LayoutConfigFile::ReadText(in);
}

std::vector<LayoutBlock> ParseFile(const std::string& file)
{
    return LayoutConfigFile::Parse(Read(file));
}

// One block with the given picture name and rows; the other values as the defaults.
std::string Block(const std::string& name, int rows = 2, int columns = 2)
{
    return "<LAYOUT>\n<IMAGENAME>" + name + "</IMAGENAME>\n<ROW>" + std::to_string(rows) + "</ROW><COLUMN>" +
           std::to_string(columns) +
           "</COLUMN>\n<PAGEHEIGHT>8.0</PAGEHEIGHT><PAGEWIDTH>11.0</PAGEWIDTH>\n"
           "<PAGEORIENTATION>1</PAGEORIENTATION>\n";
}

TEST(LayoutConfigFile, ReadsPiecesDroppingTheirLastCharacter)
{
    struct Case {
        std::string file, text;
    };
    const Case cases[] = {
        {"", ""},
        {"ab\ncd\n", "abcd"},
        {"ab\r\ncd\r\n", "abcd"},     // a Windows line end goes whole
        {"ab\rcd\n", "ab\rcd"},        // a CR inside a line stays
        {"ab\ncd", "abc"},             // the last line loses its last character
        {"\n\n\n", ""},
        {std::string(5000, 'x') + "\n", std::string(3998, 'x') + std::string(1001, 'x')},
        {std::string(3999, 'y'), std::string(3998, 'y')},
        {std::string(3999, 'y') + "z", std::string(3998, 'y')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.file), c.text) << c.file.substr(0, 20);
}

TEST(LayoutConfigFile, MissingFileGivesEmptyText)
{
    EXPECT_EQ(LayoutConfigFile::ReadTextFromFile("/nonexistent/LayoutConfig.txt"), "");
}

TEST(LayoutConfigFile, ReadsEveryValueOfABlock)
{
    const auto blocks = ParseFile(
        "<FRAME>\n<LAYOUT>\n<IMAGENAME>two.png</IMAGENAME><IMAGEPATH>c:\\pics</IMAGEPATH>\n"
        "<ROW>3</ROW><COLUMN>4</COLUMN><PAGEHEIGHT>11.5</PAGEHEIGHT><PAGEWIDTH>8.25</PAGEWIDTH>\n"
        "<VSPAN>0.1</VSPAN><HSPAN>0.2</HSPAN><TOPMARGIN>0.3</TOPMARGIN><BOTMARGIN>0.4</BOTMARGIN>\n"
        "<LMARGIN>0.6</LMARGIN><RMARGIN>0.7</RMARGIN><PHOTOHEIGHT>2.5</PHOTOHEIGHT><PHOTOWIDTH>1.5</PHOTOWIDTH>\n"
        "<PRINTHEAD>5</PRINTHEAD><PRINTFOOT>-6</PRINTFOOT><PAGEORIENTATION>0</PAGEORIENTATION>\n</FRAME>\n");
    ASSERT_EQ(blocks.size(), 1u);
    const LayoutBlock& b = blocks[0];
    EXPECT_EQ(b.m_strImageName, "two.png");
    EXPECT_EQ(b.m_strImagePath, "c:\\pics");
    const PrintLayout& l = b.m_layout;
    EXPECT_EQ(l.m_nRows, 3);
    EXPECT_EQ(l.m_nColumns, 4);
    EXPECT_FLOAT_EQ(l.m_fPageHeight, 11.5f);
    EXPECT_FLOAT_EQ(l.m_fPageWidth, 8.25f);
    EXPECT_FLOAT_EQ(l.m_fVSpan, 0.1f);
    EXPECT_FLOAT_EQ(l.m_fHSpan, 0.2f);
    EXPECT_FLOAT_EQ(l.m_fTopMargin, 0.3f);
    EXPECT_FLOAT_EQ(l.m_fBottomMargin, 0.4f);
    EXPECT_FLOAT_EQ(l.m_fLeftMargin, 0.6f);
    EXPECT_FLOAT_EQ(l.m_fRightMargin, 0.7f);
    EXPECT_FLOAT_EQ(l.m_fPhotoHeight, 2.5f);
    EXPECT_FLOAT_EQ(l.m_fPhotoWidth, 1.5f);
    EXPECT_EQ(l.m_nPrintHead, 5);
    EXPECT_EQ(l.m_nPrintFoot, -6);
    EXPECT_EQ(l.m_nPageOrientation, 0);
}

TEST(LayoutConfigFile, DefaultsAreThoseOfANewLayout)
{
    const PrintLayout l;
    EXPECT_EQ(l.m_nRows, 2);
    EXPECT_EQ(l.m_nColumns, 2);
    EXPECT_FLOAT_EQ(l.m_fPageHeight, 8.0f);
    EXPECT_FLOAT_EQ(l.m_fPageWidth, 11.0f);
    EXPECT_FLOAT_EQ(l.m_fVSpan, 0.25f);
    EXPECT_FLOAT_EQ(l.m_fHSpan, 0.25f);
    for (float margin : {l.m_fTopMargin, l.m_fBottomMargin, l.m_fLeftMargin, l.m_fRightMargin})
        EXPECT_FLOAT_EQ(margin, 0.5f);
    EXPECT_FLOAT_EQ(l.m_fPhotoHeight, 3.0f);
    EXPECT_FLOAT_EQ(l.m_fPhotoWidth, 5.0f);
    EXPECT_EQ(l.m_nPrintHead, 0);
    EXPECT_EQ(l.m_nPrintFoot, 0);
    EXPECT_EQ(l.m_nPageOrientation, 1);
}

// The structure of the file: what is read, what is skipped, where values come from.
TEST(LayoutConfigFile, StructureCases)
{
    struct Case {
        const char* what;
        std::string file;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"no line break after the closing frame", "<FRAME>\n" + Block("a.bmp") + "</FRAME>", {}},
        {"no frame", Block("a.bmp") + "</FRAME>\n", {}},
        {"no closing frame", "<FRAME>\n" + Block("a.bmp"), {}},
        {"no layout", "<FRAME>\n</FRAME>\n", {}},
        {"picture extensions", "<FRAME>\n" + Block("a.bmp") + Block("b.JPG") + Block("c.gif") + Block("d.Jpeg") +
                                   Block("e.png") + Block("f.txt") + Block("g") + Block("h.png.txt") +
                                   Block("dir.png/i") + Block("") + "</FRAME>\n",
         {"a.bmp", "b.JPG", "c.gif", "d.Jpeg", "e.png"}},
        {"skipped block leaves no place", "<FRAME>\n" + Block("a.txt") + Block("b.bmp") + "</FRAME>\n", {"b.bmp"}},
        {"before the frame and after its end", Block("x.bmp") + "<FRAME>\n" + Block("a.bmp") + "</FRAME>\n" +
                                                   Block("y.bmp"),
         {"a.bmp"}},
        {"a tag split over two lines",
         "<FRAME>\n<LAYOUT><IMAGE\nNAME>a.bmp</IMAGENAME><ROW>1</ROW><COLUMN>1</COLUMN>\n"
         "</PAGEORIENTATION>\n</FRAME>\n",
         {"a.bmp"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names;
        for (const LayoutBlock& b : ParseFile(c.file))
            names.push_back(b.m_strImageName);
        EXPECT_EQ(names, c.names) << c.what;
    }
}

TEST(LayoutConfigFile, TagsAreSearchedFromTheBlockStartInAnyOrder)
{
    const auto blocks = ParseFile(
        "<FRAME>\n"
        "<LAYOUT><PAGEORIENTATION>0</PAGEORIENTATION><COLUMN>3</COLUMN>junk<ROW>1</ROW>"
        "<IMAGENAME>a.bmp</IMAGENAME><PAGEHEIGHT>9</PAGEHEIGHT>\n"
        // no PAGEWIDTH here: the next block's is found
        "<LAYOUT><IMAGENAME>b.bmp</IMAGENAME><ROW>2</ROW><COLUMN>2</COLUMN><PAGEWIDTH>7.5</PAGEWIDTH>"
        "<PAGEORIENTATION>1</PAGEORIENTATION>\n"
        "</FRAME>\n");
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].m_layout.m_nRows, 1);
    EXPECT_EQ(blocks[0].m_layout.m_nColumns, 3);
    EXPECT_FLOAT_EQ(blocks[0].m_layout.m_fPageHeight, 9.0f);
    EXPECT_FLOAT_EQ(blocks[0].m_layout.m_fPageWidth, 7.5f);
    EXPECT_EQ(blocks[0].m_layout.m_nPageOrientation, 0);
    // Found nowhere after the block's start: empty, so 0.
    EXPECT_FLOAT_EQ(blocks[1].m_layout.m_fPageHeight, 0.0f);
    EXPECT_FLOAT_EQ(blocks[1].m_layout.m_fTopMargin, 0.0f);
    EXPECT_FLOAT_EQ(blocks[1].m_layout.m_fPageWidth, 7.5f);
}

TEST(LayoutConfigFile, NumbersReadLikeDecimalText)
{
    struct IntCase {
        const char* text;
        int value;
    };
    const IntCase ints[] = {
        {" 2", 2}, {"2x", 2}, {"+2", 2}, {"abc", 0}, {"", 0}, {"\r\n\t-7", -7}, {"+-2", 0}, {"1.9", 1},
        {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const IntCase& c : ints)
        EXPECT_EQ(LayoutConfigFile::ParseInt(c.text), c.value) << c.text;

    struct FloatCase {
        const char* text;
        float value;
    };
    const FloatCase floats[] = {
        {"0.25", 0.25f}, {" 2", 2.0f}, {"2x", 2.0f}, {"+2.5", 2.5f}, {"abc", 0.0f}, {"", 0.0f}, {"-1.5e1", -15.0f},
        {".5", 0.5f}, {"5.", 5.0f}, {"1e", 1.0f}, {"1e+", 1.0f}, {"3,5", 3.0f}, {".", 0.0f}, {"-", 0.0f},
        {"1e-999", 0.0f}, {"0.0000000000000000000000000000000000000000000000000001", 0.0f},
    };
    for (const FloatCase& c : floats)
        EXPECT_FLOAT_EQ(LayoutConfigFile::ParseFloat(c.text), c.value) << c.text;

    // What is no size reads as what it names, for the layout check to refuse.
    constexpr float inf = std::numeric_limits<float>::infinity();
    const FloatCase unbounded[] = {
        {"1e999", inf}, {"-1e999", -inf}, {"inf", inf}, {" -Infinity", -inf}, {"+INF", inf},
        {"100000000000000000000000000000000000000000000000000", inf},
    };
    for (const FloatCase& c : unbounded)
        EXPECT_EQ(LayoutConfigFile::ParseFloat(c.text), c.value) << c.text;
    for (const char* text : {"nan", "NaN(1)", "-nan"})
        EXPECT_TRUE(std::isnan(LayoutConfigFile::ParseFloat(text))) << text;
}

// A decimal separator of ',' where the program runs must not change how the file reads.
TEST(LayoutConfigFile, FloatsDoNotFollowTheLocale)
{
    struct CommaPoint : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    const float value = LayoutConfigFile::ParseFloat("0.75");
    const float comma = LayoutConfigFile::ParseFloat("0,75");
    std::locale::global(previous);
    EXPECT_FLOAT_EQ(value, 0.75f);
    EXPECT_FLOAT_EQ(comma, 0.0f);
}

TEST(LayoutConfigFile, AtMostTwentyLayoutsAreRead)
{
    std::string file = "<FRAME>\n";
    for (int i = 0; i < 25; ++i)
        file += Block("p" + std::to_string(i).append(".bmp"));
    file += "</FRAME>\n";
    const auto blocks = ParseFile(file);
    ASSERT_EQ(blocks.size(), LayoutConfigFile::kMaxLayouts);
    EXPECT_EQ(blocks.back().m_strImageName, "p19.bmp");
}

TEST(LayoutConfigFile, LayoutsWithoutRowsOrColumnsAreRefusedByName)
{
    std::vector<std::string> refused;
    const auto blocks = LayoutConfigFile::Parse(Read("<FRAME>\n" + Block("zero.bmp", 0, 2) + Block("negative.bmp", 2, -1) +
                                                     Block("good.bmp", 1, 1) + Block("minus.bmp", -3, 2) +
                                                     Block("notes.txt", 0, 0) + "</FRAME>\n"),
                                                &refused);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].m_strImageName, "good.bmp");
    EXPECT_EQ(refused, (std::vector<std::string>{"zero.bmp: 0 rows by 2 columns; a page holds at least 1 on a side.",
                                                  "negative.bmp: 2 rows by -1 columns; a page holds at least 1 on a side.",
                                                  "minus.bmp: -3 rows by 2 columns; a page holds at least 1 on a side."}));
}

TEST(LayoutConfigFile, ACrlfFileReadsLikeItsLfTwin)
{
    std::string lf = LayoutConfigFile::ReadTextFromFile(std::string(LF_BIN_DIR) + "/LayoutConfig.txt");
    std::ifstream in(std::string(LF_BIN_DIR) + "/LayoutConfig.txt", std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(file.empty());
    // The shipped file with CRLF line ends, and its values each on a line of their own.
    std::string crlf, split;
    for (char c : file) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    for (char c : file) {
        if (c == '<')
            split += "\r\n";
        split += c;
    }
    const auto want = LayoutConfigFile::Parse(lf);
    ASSERT_GE(want.size(), 4u);
    for (const std::string& text : {Read(crlf), Read(split)}) {
        const auto got = LayoutConfigFile::Parse(text);
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(got[i].m_strImageName, want[i].m_strImageName);
            EXPECT_EQ(got[i].m_layout.m_nRows, want[i].m_layout.m_nRows);
            EXPECT_EQ(got[i].m_layout.m_nColumns, want[i].m_layout.m_nColumns);
            EXPECT_FLOAT_EQ(got[i].m_layout.m_fPhotoWidth, want[i].m_layout.m_fPhotoWidth);
        }
    }
}

TEST(LayoutConfigFile, LayoutsAskingMoreThanAPageHoldsAreRefusedByName)
{
    std::string file = "<FRAME>\n" + Block("huge.bmp", 100000, 100000) + Block("tall.bmp", 21, 1) +
                       Block("many.bmp", 11, 10) + Block("full.bmp", 10, 10) + Block("edge.bmp", 20, 5) + "</FRAME>\n";
    std::vector<std::string> refused;
    const auto blocks = LayoutConfigFile::Parse(Read(file), &refused);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].m_strImageName, "full.bmp");
    EXPECT_EQ(blocks[1].m_strImageName, "edge.bmp");
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(refused[0], "huge.bmp: 100000 rows by 100000 columns; a page holds at most 20 on a side and 100 cells.");
    EXPECT_EQ(refused[1].rfind("tall.bmp: 21 rows by 1 columns", 0), 0u);
    EXPECT_EQ(refused[2].rfind("many.bmp: 11 rows by 10 columns", 0), 0u);

    // Sizes: a page of a mile, a negative margin, a gap of 1e30 inches. (A block's tags
    // are searched from its start, so each file holds one block.)
    const struct {
        const char* tags;
        const char* problem;
    } sizes[] = {
        {"<PAGEWIDTH>63360</PAGEWIDTH>", "wide.bmp: a size of 63360 inches; sizes run from 0 to 100 inches."},
        {"<LMARGIN>-2</LMARGIN>", "wide.bmp: a size of -2 inches; sizes run from 0 to 100 inches."},
        {"<VSPAN>1e30</VSPAN>", "wide.bmp: a size of 1e+30 inches; sizes run from 0 to 100 inches."},
        {"<PHOTOWIDTH>nan</PHOTOWIDTH>", "wide.bmp: a size that is not a number; sizes run from 0 to 100 inches."},
        {"<PAGEHEIGHT>inf</PAGEHEIGHT>", "wide.bmp: an infinite size; sizes run from 0 to 100 inches."},
        {"<HSPAN>1e999</HSPAN>", "wide.bmp: an infinite size; sizes run from 0 to 100 inches."},
        {"<RMARGIN>-INFINITY</RMARGIN>", "wide.bmp: an infinite size; sizes run from 0 to 100 inches."},
    };
    for (const auto& c : sizes) {
        refused.clear();
        const std::string one = std::string("<FRAME>\n<LAYOUT><IMAGENAME>wide.bmp</IMAGENAME><ROW>1</ROW><COLUMN>1</COLUMN>") +
                                c.tags + "<PAGEORIENTATION>1</PAGEORIENTATION>\n</FRAME>\n";
        EXPECT_TRUE(LayoutConfigFile::Parse(Read(one), &refused).empty()) << c.tags;
        EXPECT_EQ(refused, std::vector<std::string>{c.problem});
    }
}

TEST(LayoutConfigFile, HostileTextsEndWithoutFault)
{
    // A block without its own closing orientation tag takes the next block's and the
    // next block is not read; without any, it is the last one read.
    auto blocks = ParseFile("<FRAME>\n<LAYOUT><IMAGENAME>a.bmp</IMAGENAME><ROW>1</ROW><COLUMN>1</COLUMN>\n" +
                            Block("b.bmp") + "</FRAME>\n");
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].m_strImageName, "a.bmp");
    EXPECT_EQ(blocks[0].m_layout.m_nPageOrientation, 1);
    blocks = ParseFile("<FRAME>\n<LAYOUT><IMAGENAME>a.bmp</IMAGENAME><ROW>1</ROW><COLUMN>1</COLUMN>\n</FRAME>\n");
    ASSERT_EQ(blocks.size(), 1u);

    // Closing tags before opening ones, tags cut short, values running past the frame.
    blocks = LayoutConfigFile::Parse("<FRAME><LAYOUT></IMAGENAME>a.bmp<IMAGENAME></ROW><ROW></FRAME>");
    EXPECT_TRUE(blocks.empty());
    blocks = LayoutConfigFile::Parse("<FRAME><LAYOUT><IMAGENAME>a.bmp</FRAME><PAGEORIENTATION>");
    EXPECT_TRUE(blocks.empty());

    // Many blocks that are all skipped: each is searched in the whole rest of the text.
    std::string many = "<FRAME>";
    for (int i = 0; i < 200000; ++i)
        many += "<LAYOUT></PAGEORIENTATION>";
    many += "</FRAME>";
    EXPECT_TRUE(LayoutConfigFile::Parse(many).empty());

    // Arbitrary bytes, including NULs, around the tags.
    std::string noise = "<FRAME>";
    for (int i = 0; i < 4096; ++i)
        noise.push_back(static_cast<char>((i * 131) % 256));
    noise += Block("n.bmp") + std::string("\0\xff<", 3) + "</FRAME>\n";
    blocks = LayoutConfigFile::Parse(noise);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].m_layout.m_nRows, 2);
}

TEST(LayoutConfigFile, TextBeyondTheLimitIsNotRead)
{
    std::string file(LayoutConfigFile::kMaxTextLength + 10000, 'x');
    EXPECT_EQ(Read(file).size(), LayoutConfigFile::kMaxTextLength);
}

TEST(LayoutConfigFile, ShippedFileMakesTheDefaultLayoutCurrent)
{
    const auto blocks =
        LayoutConfigFile::Parse(LayoutConfigFile::ReadTextFromFile(std::string(LF_BIN_DIR) + "/LayoutConfig.txt"));
    ASSERT_GE(blocks.size(), 4u);
    // The document starts with layout index 3: the fourth layout, the defaults.
    const PrintLayout& l = blocks[3].m_layout;
    const PrintLayout defaults;
    EXPECT_EQ(l.m_nRows, defaults.m_nRows);
    EXPECT_EQ(l.m_nColumns, defaults.m_nColumns);
    EXPECT_FLOAT_EQ(l.m_fPageHeight, defaults.m_fPageHeight);
    EXPECT_FLOAT_EQ(l.m_fPageWidth, defaults.m_fPageWidth);
    EXPECT_EQ(l.m_nPageOrientation, defaults.m_nPageOrientation);
    for (const LayoutBlock& b : blocks) {
        EXPECT_GT(b.m_layout.m_nRows, 0);
        EXPECT_GT(b.m_layout.m_fPageWidth, 0.0f) << b.m_strImageName;
        EXPECT_GT(b.m_layout.m_fPageHeight, 0.0f) << b.m_strImageName;
    }
}

}  // namespace
