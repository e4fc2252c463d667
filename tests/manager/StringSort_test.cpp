#include "platform/FolderPaths.h"
#include "platform/StringSort.h"

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
        // Letters beyond ASCII (UTF-8 names): capitals and small letters are one letter.
        {{"\xc3\xa9t\xc3\xa9.jpg", "Z.jpg", "\xc3\x89T\xc3\x89.jpg", "\xc3\x89" "cole.jpg"},
         {"Z.jpg", "\xc3\x89" "cole.jpg", "\xc3\xa9t\xc3\xa9.jpg", "\xc3\x89T\xc3\x89.jpg"}},
        {{"\xd0\xb6\xd1\x83\xd0\xba", "\xd0\x90\xd0\xb8\xd1\x81\xd1\x82", "\xd0\x96\xd0\xa3\xd0\x9a",
          "\xd0\xb0\xd0\xb8\xd1\x81\xd1\x82"},
         {"\xd0\x90\xd0\xb8\xd1\x81\xd1\x82", "\xd0\xb0\xd0\xb8\xd1\x81\xd1\x82",
          "\xd0\xb6\xd1\x83\xd0\xba", "\xd0\x96\xd0\xa3\xd0\x9a"}},
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
    // Characters beyond ASCII fold too and then compare by their code, after ASCII.
    struct Case {
        const char *a, *b;
        int sign;
    };
    const Case cases[] = {
        {"\xc3\xa9", "z", 1},                                        // é after z
        {"\xc3\x89", "\xc3\xa9", 0},                                 // É and é
        {"\xce\xa9mega", "\xcf\x89MEGA", 0},                          // Ω and ω
        {"\xd0\x96", "\xd0\xb7", -1},                                 // Ж (ж) before з
        {"\xc4\x80", "\xc3\xbf", 1},                                 // Ā (ā) after ÿ
        {"\xf0\x90\x90\x80", "\xf0\x90\x90\xa8", 0},               // Deseret capital and small
        // Bytes that are no UTF-8 compare by value, after every character.
        {"\xff", "\xf4\x8f\xbf\xbf", 1},
        {"a\xc3", "a\xc3\xa9", 1},                                  // a cut-off sequence
        {"\xc0\xa1", "!", 1},                                       // an overlong form is no "!"
        {"\xed\xa0\x80", "\xed\xa0\x80", 0},
    };
    for (const Case& c : cases) {
        const int ab = CompareNoCase(c.a, c.b), ba = CompareNoCase(c.b, c.a);
        EXPECT_EQ((ab > 0) - (ab < 0), c.sign) << c.a << " " << c.b;
        EXPECT_EQ((ba > 0) - (ba < 0), -c.sign) << c.b << " " << c.a;
    }
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

TEST(FolderPaths, ExtensionsAreTheLastDotsTextLowerCased)
{
    EXPECT_EQ(LowerExtension("photo.JPG"), "jpg");
    EXPECT_EQ(LowerExtension("a.b.Png"), "png");
    EXPECT_EQ(LowerExtension("noext"), "");
    EXPECT_EQ(LowerExtension("trailing."), "");
    EXPECT_EQ(LowerExtension("/pics.old/readme"), "") << "a dot in a folder name is no extension";
    EXPECT_EQ(LowerExtension("/pics.old/x.gif"), "gif");
    EXPECT_EQ(LowerExtension("/home/.Png"), "png") << "as PathExtension, a leading dot starts the extension";
}

TEST(FolderPaths, FolderOfAndParentFolderDifferOnlyWhereThereIsNoParent)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* parent;
    };
    const Case cases[] = {
        {"/photos/2020/a.jpg", "/photos/2020", "/photos/2020"},
        {"/photos", "/", "/"},
        {"/", "/", ""},
        {"a.jpg", ".", ""},
        {"sub/a.jpg", "sub", "sub"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(ParentFolder(c.path), c.parent) << c.path;
    }
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
