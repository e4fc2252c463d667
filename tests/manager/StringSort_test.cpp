#include "manager/FolderPaths.h"
#include "manager/StringSort.h"

#include <gtest/gtest.h>

namespace {

TEST(StringSort, IgnoresCaseAndKeepsOrderOfCaseVariants)
{
    struct Case {
        std::vector<std::string> in, out;
    };
    const Case cases[] = {
        {{}, {}},
        {{"Z.jpg"}, {"Z.jpg"}},
        {{"b.jpg", "A.jpg", "a.JPG"}, {"A.jpg", "a.JPG", "b.jpg"}},
        {{"a.JPG", "b.jpg", "A.jpg"}, {"a.JPG", "A.jpg", "b.jpg"}},
        {{"img10.png", "IMG1.png", "img_2.png", "img.png"}, {"img.png", "IMG1.png", "img10.png", "img_2.png"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> names = c.in;
        SortStringArray(names);
        EXPECT_EQ(names, c.out);
    }
}

TEST(StringSort, CompareNoCaseOrdersPrefixesFirst)
{
    EXPECT_EQ(CompareNoCase("ABC", "abc"), 0);
    EXPECT_LT(CompareNoCase("ab", "ABC"), 0);
    EXPECT_GT(CompareNoCase("b", "A"), 0);
    // Bytes outside ASCII compare by value, above every ASCII letter.
    EXPECT_GT(CompareNoCase("\xc3\xa9", "z"), 0);
}

TEST(FolderPaths, JoinsWithoutDoublingSeparators)
{
    EXPECT_EQ(JoinPath("/", "a.jpg"), "/a.jpg");
    EXPECT_EQ(JoinPath("/photos", "a.jpg"), "/photos/a.jpg");
    EXPECT_EQ(JoinPath("/photos/", "a.jpg"), "/photos/a.jpg");
    EXPECT_EQ(LastPathComponent("/photos/2020"), "2020");
    EXPECT_EQ(LastPathComponent("/"), "");
    EXPECT_EQ(LastPathComponent("plain"), "plain");
    EXPECT_TRUE(IsAbsoluteLocalPath("/"));
    EXPECT_FALSE(IsAbsoluteLocalPath("photos/a"));
    EXPECT_FALSE(IsAbsoluteLocalPath(""));
}

TEST(FolderPaths, RecognisesImageNamesByExtension)
{
    const std::pair<const char*, bool> cases[] = {
        {"a.jpg", true},     {"A.JPG", true},      {"b.Jpeg", true},   {"c.png", true},  {"d.bmp", true},
        {"e.GIF", true},     {"/x.y/photo.png", true}, {"photo.tif", false}, {"notes.txt", false},
        {"jpg", false},      {"/dir.jpg/file", false}, {"archive.jpg.gz", false}, {"", false},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(IsImageFileName(name), expected) << name;
}

}  // namespace
