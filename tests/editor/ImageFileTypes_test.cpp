#include "editor/model/CImageFolderList.h"
#include "editor/model/CPixoroCommandLineInfo.h"
#include "editor/model/ImageFileTypes.h"
#include "editor/model/ParamFile.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace ImageFileTypes;

namespace {

TEST(ImageFileTypes, FilterRowsAndTheirPositions)
{
    EXPECT_EQ(GetFilterIndex(-1, true), 0);
    EXPECT_EQ(GetFilterIndex(1, true), 1);
    EXPECT_EQ(GetFilterIndex(3, false), 2);
    EXPECT_EQ(GetFilterIndex(4, false), 3);
    EXPECT_EQ(GetFilterIndex(6, true), -1) << "TIFF has no row of its own";
    EXPECT_EQ(GetTypeFromIndex(2, true), 3);
    EXPECT_EQ(GetTypeFromIndex(4, true), -1);
    EXPECT_EQ(GetTypeFromIndex(-1, true), -1);
    EXPECT_EQ(GetExtFromType(3), "*.jpg;*.jpeg");
    EXPECT_EQ(GetExtFromType(6), "");
    EXPECT_TRUE(GetTypeFlag(1));
    EXPECT_TRUE(GetTypeFlag(3));
    EXPECT_TRUE(GetTypeFlag(4));
    EXPECT_FALSE(GetTypeFlag(6));
    EXPECT_EQ(DefaultExtension(3), "jpg");
    EXPECT_EQ(DefaultExtension(-1), "bmp");
    EXPECT_EQ(DefaultExtension(6), "");
}

TEST(ImageFileTypes, FilterStringEndsInADoubleZero)
{
    const std::string filter = GetFilterString(true);
    using namespace std::string_literals;
    const std::string expected =
        "Supported files\0*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff\0BMP files\0*.bmp\0JPG files\0*.jpg;*.jpeg\0PNG "
        "files\0*.png\0\0"s;
    EXPECT_EQ(filter, expected);
    EXPECT_EQ(GetFilterString(false), filter);
    EXPECT_EQ(GetWildcard(true),
              "Supported files|*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff|BMP files|*.bmp|JPG files|*.jpg;*.jpeg|PNG "
              "files|*.png");
}

TEST(ImageFileTypes, ExtensionsOpenedAndSaved)
{
    struct Case {
        const char* extension;
        int open;  // -1: not opened
        int save;  // -1: not saved
    };
    const Case cases[] = {
        {"bmp", 1, 1},  {"GIF", 2, 2},  {"jpg", 3, 3},  {"JPEG", 3, 3},  {"png", 4, 4},   {"ico", 5, 5},
        {"tif", 6, 6},  {"Tiff", 6, 6}, {"tga", 7, 7},  {"pcx", 8, 8},   {"wbmp", 9, 9},  {"wmf", 10, -1},
        {"EMF", 10, -1}, {"txt", -1, -1}, {"", -1, -1}, {"jpgx", -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OpenTypeFromExtension(c.extension).value_or(-1), c.open) << c.extension;
        EXPECT_EQ(SaveTypeFromExtension(c.extension).value_or(-1), c.save) << c.extension;
    }
}

TEST(ImageFileTypes, ExtensionOfTheFileNameOnly)
{
    EXPECT_EQ(GetFileExtension("/a/b/photo.JPG"), "JPG");
    EXPECT_EQ(GetFileExtension("/a/b.d/photo"), "") << "a dot in a folder name is no extension";
    EXPECT_EQ(GetFileExtension("/a/photo."), "");
    EXPECT_EQ(GetFileExtension("x.tar.gz"), "gz");
    EXPECT_EQ(StripExtension("/a/photo.jpeg"), "/a/photo");
    EXPECT_EQ(StripExtension("/a/scan.tiff"), "/a/scan");
    EXPECT_EQ(StripExtension("/a.b/x"), "/a.b/x");
    EXPECT_EQ(StripExtension("a.j"), "a");
    EXPECT_EQ(StripExtension(""), "");
}

TEST(CPixoroCommandLineInfo, LastParameterAndTheGifTestInAnyCase)
{
    CPixoroCommandLineInfo info;
    info.Parse({});
    EXPECT_EQ(info.m_strLastParam, "");
    info.Parse({"-x", "/p/a b.jpg"});
    EXPECT_EQ(info.m_strLastParam, "/p/a b.jpg");
    EXPECT_TRUE(CPixoroCommandLineInfo::IsGifParameter("/p/a.gif"));
    // Only the lower-case extension is refused: an upper-case one is opened as a GIF.
    EXPECT_FALSE(CPixoroCommandLineInfo::IsGifParameter("/p/A.GIF"));
    EXPECT_FALSE(CPixoroCommandLineInfo::IsGifParameter("/p/upper.Gif"));
    EXPECT_TRUE(CPixoroCommandLineInfo::IsGifParameter("gif"));
    EXPECT_FALSE(CPixoroCommandLineInfo::IsGifParameter("/p/a.gifx"));
    EXPECT_FALSE(CPixoroCommandLineInfo::IsGifParameter("/p/a.jpg"));
    EXPECT_FALSE(CPixoroCommandLineInfo::IsGifParameter(""));
}

TEST(CImageFolderList, ListsImageFilesByteOrderedAndFindsTheCurrentOneWithoutCase)
{
    lftest::TempDir dir;
    for (const char* name : {"c.png", "a.jpg", "B.jpg", "d.txt", "e.JPEG", "f.Bmp", "g.gif"})
        lftest::WriteText(dir / name, "x");
    fs::create_directory(dir / "sub.jpg");
    CImageFolderList list;
    list.Reload((dir / "a.jpg").string());
    std::vector<std::string> names;
    for (const CImageFileEntry& e : list.Files())
        names.push_back(fs::path(e.m_strPath).filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"B.jpg", "a.jpg", "c.png", "e.JPEG", "f.Bmp"}));
    EXPECT_EQ(list.Files()[1].m_strPath, (dir / "a.jpg").string());
    EXPECT_EQ(list.Files()[1].m_nSize, 1u);
    EXPECT_GT(list.Files()[1].m_time, 0);
    EXPECT_EQ(list.FindIndex((dir / "A.JPG").string()), 1);
    EXPECT_EQ(list.FindIndex((dir / "b.jpg").string()), 0);
    EXPECT_EQ(list.FindIndex((dir / "sub.jpg").string()), -1);
    EXPECT_EQ(list.FindIndex((dir / "d.txt").string()), -1);
}

TEST(CImageFolderList, AMissingFolderGivesAnEmptyList)
{
    lftest::TempDir dir;
    CImageFolderList list;
    list.Reload((dir / "gone" / "a.jpg").string());
    EXPECT_EQ(list.Count(), 0);
}

TEST(ParamFile, OnlyADigitABarAndADigitOnTheLastLineCount)
{
    lftest::TempDir dir;
    const fs::path file = dir / "qkparam.dat";
    EXPECT_FALSE(ReadParamFile(file.string())) << "missing";
    struct Case {
        const char* text;
        int key;  // -1: refused
        int order;
    };
    const Case cases[] = {
        {"2|1", 2, 1},      {"0|0\n", 0, 0},  {"1|0\r\n", 1, 0}, {"9|9\n2|1\n", 2, 1}, {"", -1, 0},
        {"2|", -1, 0},      {"21|1", -1, 0},  {"a|1", -1, 0},    {"2-1", -1, 0},       {"2|1x", -1, 0},
        {"2|1\nxyz", -1, 0}, {"-1|1", -1, 0},
    };
    for (const Case& c : cases) {
        lftest::WriteText(file, c.text);
        const auto digits = ReadParamFile(file.string());
        if (c.key < 0) {
            EXPECT_FALSE(digits) << c.text;
            continue;
        }
        ASSERT_TRUE(digits) << c.text;
        EXPECT_EQ(digits->sortKey, c.key) << c.text;
        EXPECT_EQ(digits->sortOrder, c.order) << c.text;
    }
}

}  // namespace
