#include "manager/model/CFolderItem.h"
#include "manager/model/FolderScan.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Names(const CFolderItem& folder)
{
    std::vector<std::string> names;
    for (const auto& image : folder.m_arrImages)
        names.push_back(image->m_strName);
    return names;
}

bool Has(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

const std::string kTwelve = "0123456789ab";  // at least 10 bytes: long enough for an image

TEST(FolderScan, ImagesByExtensionInAnyCaseSortedWithoutCaseOtherFilesApart)
{
    lftest::TempDir dir;
    for (const char* name : {"c.jpeg", "notes.txt", "B.png", "d.tif", "a.JPG", "e.", "f.Gif"})
        lftest::WriteText(dir / name, kTwelve);
    lftest::WriteText(dir / "x.jpg", "12345");  // too short for any picture
    for (const char* sub : {"sub", "Alpha", "-dash", "zeta"})
        std::filesystem::create_directory(dir / sub);
    ASSERT_EQ(mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);  // opening it would block

    CFolderItem folder("d", dir.str(), 0);
    folder.m_bThumbsNeeded = false;
    EXPECT_EQ(folderscan::ScanFolder(dir.str(), folder), 4u);
    EXPECT_EQ(Names(folder), (std::vector<std::string>{"a.JPG", "B.png", "c.jpeg", "f.Gif"}));
    // Folders and other files by name as the images are, ".." first: not in the
    // directory's own order.
    EXPECT_EQ(folder.m_arrOtherFiles, (std::vector<std::string>{"d.tif", "e.", "notes.txt", "pipe.jpg", "x.jpg"}));
    EXPECT_EQ(folder.m_arrSubfolders, (std::vector<std::string>{"..", "-dash", "Alpha", "sub", "zeta"}))
        << "'..' listed, '.' not";
    EXPECT_TRUE(folder.m_bThumbsNeeded);
    EXPECT_FALSE(folder.m_bThumbsComplete);

    const CImageItem& a = *folder.Image(0);
    EXPECT_EQ(a.m_strPath, dir.str() + "/a.JPG");
    EXPECT_EQ(a.m_nSize, 12);
    EXPECT_EQ(a.m_nImageType, 0) << "upper-case extension: typed when decoded";
    EXPECT_EQ(folder.Image(1)->m_nImageType, 4);
    EXPECT_EQ(folder.Image(2)->m_nImageType, 3);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "a.JPG").c_str(), &st), 0);
    EXPECT_EQ(a.m_tLastWrite, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec);
}

TEST(FolderScan, RootJoinsOnceAndListsNoParent)
{
    CFolderItem root("/", "/", 0);
    folderscan::ScanFolder("/", root);
    EXPECT_FALSE(Has(root.m_arrSubfolders, ".."));
    EXPECT_TRUE(Has(root.m_arrSubfolders, "tmp"));
    for (const auto& image : root.m_arrImages)
        EXPECT_EQ(image->m_strPath.rfind("//", 0), std::string::npos) << image->m_strPath;
}

TEST(FolderScan, UnlistableFolderAddsNothingAndFilesGoToSubfoldersWithoutSeparation)
{
    lftest::TempDir dir;
    CFolderItem missing("m", dir.str() + "/missing", 0);
    EXPECT_EQ(folderscan::ScanFolder(missing.m_strPath, missing), 0u);
    EXPECT_TRUE(missing.m_arrSubfolders.empty());
    EXPECT_TRUE(missing.m_arrOtherFiles.empty());

    lftest::WriteText(dir / "a.jpg", kTwelve);
    CFolderItem mixed("d", dir.str(), 0);
    EXPECT_EQ(folderscan::ScanFolder(dir.str(), mixed, false), 0u);
    EXPECT_TRUE(Has(mixed.m_arrSubfolders, "a.jpg"));
}

TEST(FolderScan, ImageFileTestTable)
{
    const struct {
        const char* name;
        bool regular;
        int64_t size;
        bool image;
    } cases[] = {
        {"a.jpg", true, 10, true},   {"a.JPEG", true, 100, true}, {"a.bmp", true, 9, false},
        {"a.png", false, 100, false}, {"a.tif", true, 100, false}, {"jpg", true, 100, false},
        {"a.gif.txt", true, 100, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(folderscan::IsImageFile(c.name, c.regular, c.size), c.image) << c.name;
}

}  // namespace
