#include "batch/model/BatchRenameNames.h"

#include <gtest/gtest.h>

using namespace batch;

namespace {

struct NamesCase {
    const char* label;
    RenameOptions options;
    std::vector<std::string> oldNames;
    std::vector<std::string> expected;
};

}  // namespace

TEST(BatchRenameNames, BuildsNamesFromPatternCounterAndCase)
{
    const std::vector<std::string> two = {"IMG_1.JPG", "IMG_2.JPG"};
    const std::vector<NamesCase> cases = {
        {"lower extension", {"photo???", kCounterNumber, "0", kCaseUnchanged, kCaseLower}, two,
         {"photo000.jpg", "photo001.jpg"}},
        {"counter across runs and files", {"a??b??", kCounterNumber, "0", kCaseUnchanged, kCaseUnchanged}, two,
         {"a00b01.JPG", "a02b03.JPG"}},
        {"dot in the pattern splits the case", {"x.w?", kCounterNumber, "0", kCaseUpper, kCaseUnchanged}, two,
         {"X.w0.JPG", "X.w1.JPG"}},
        {"start 9, runs of two", {"p??", kCounterNumber, "9", kCaseUnchanged, kCaseUnchanged},
         {"a.jpg", "b.jpg", "c.jpg"}, {"p09.jpg", "p10.jpg", "p11.jpg"}},
        {"counter longer than its run", {"p??", kCounterNumber, "100", kCaseUnchanged, kCaseUnchanged}, {"a.jpg"},
         {"p100.jpg"}},
        {"start text used as typed, then 1", {"p???", kCounterNumber, "abc", kCaseUnchanged, kCaseUnchanged},
         {"a.jpg", "b.jpg"}, {"pabc.jpg", "p001.jpg"}},
        {"letters past z", {"s?", kCounterLetters, "y", kCaseUnchanged, kCaseUnchanged},
         {"a.jpg", "b.jpg", "c.jpg"}, {"sy.jpg", "sz.jpg", "s{.jpg"}},
        {"one letter for a long run", {"s???", kCounterLetters, "a", kCaseUnchanged, kCaseUnchanged},
         {"a.jpg", "b.jpg"}, {"sa.jpg", "sb.jpg"}},
        {"everything after the old first dot", {"n?", kCounterNumber, "0", kCaseUnchanged, kCaseUnchanged},
         {"a.b.jpg"}, {"n0.b.jpg"}},
        {"pattern without counter, one file", {"holiday", kCounterNumber, "0", kCaseUnchanged, kCaseUnchanged},
         {"IMG.JPG"}, {"holiday.JPG"}},
        {"empty pattern", {"", kCounterNumber, "0", kCaseUnchanged, kCaseUnchanged}, {"IMG.JPG"}, {".JPG"}},
        {"name without a dot", {"n?", kCounterNumber, "0", kCaseUnchanged, kCaseLower}, {"README"},
         {"n0.readme"}},
    };
    for (const NamesCase& c : cases)
        EXPECT_EQ(BuildNewNames(c.options, c.oldNames), c.expected) << c.label;
}

TEST(BatchRenameNames, LetterCounterNeverMakesSlashesOrControlCharacters)
{
    // From every starting character, a long run of the counter stays printable and
    // never gives "/", so no new name leaves its folder.
    for (int start = 0; start < 256; ++start) {
        std::string counter(1, char(start));
        for (int step = 0; step < 300; ++step) {
            counter = NextCounter(counter, kCounterLetters);
            ASSERT_EQ(counter.size(), 1u);
            const unsigned char c = static_cast<unsigned char>(counter[0]);
            ASSERT_TRUE(c > ' ' && c <= '~' && c != '/') << "from " << start << " step " << step << ": " << int(c);
        }
    }
    EXPECT_EQ(NextCounter("~", kCounterLetters), "!");
    EXPECT_EQ(NextCounter(".", kCounterLetters), "0") << "the slash is passed over";
    EXPECT_EQ(NextCounter("99", kCounterNumber), "100");
    EXPECT_EQ(NextCounter("x", kCounterNumber), "1");
}

TEST(BatchRenameNames, PatternHelpers)
{
    EXPECT_TRUE(PatternNeedsCounter("photo", 2));
    EXPECT_FALSE(PatternNeedsCounter("photo", 1));
    EXPECT_FALSE(PatternNeedsCounter("photo?", 2));
    EXPECT_EQ(DefaultPattern("IMG_0001.JPG"), "IMG_0001???");
    EXPECT_EQ(DefaultPattern("a.b.jpg"), "a???");
    for (const char* bad : {"", ".", "..", "a/b.jpg", "a\nb.jpg", "a\x7f.jpg"})
        EXPECT_FALSE(IsUsableFileName(bad)) << bad;
    EXPECT_TRUE(IsUsableFileName(".JPG"));
    EXPECT_TRUE(IsUsableFileName("s{.jpg"));
}
