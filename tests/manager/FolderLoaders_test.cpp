#include "DocTestSupport.h"
#include "ThumbTestSupport.h"
#include "manager/model/CImageThread.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/FolderLoaders.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

class FolderLoadersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* folder : {"one", "two", "recent"}) {
            std::filesystem::create_directories(dir / folder / "sub");
            for (const char* name : {"b.jpg", "A.png"})
                lftest::WriteText(dir / folder / name, "0123456789ab");
        }
        doc = std::make_unique<lftest::TestDoc>((dir / "qkvex.sess").string());
    }
    std::string Path(const char* folder) const { return (dir / folder).string(); }

    lftest::TempDir dir;
    std::unique_ptr<lftest::TestDoc> doc;
};

TEST_F(FolderLoadersTest, TreeLoadMakesANewRecordCurrentAndSetsTheFlags)
{
    doc->m_bSearchResults = true;
    doc->m_nCurrentRecent = 3;
    EXPECT_FALSE(folderload::LoadTreeFolder(*doc, Path("one"), true, nullptr));
    CFolderItem* folder = doc->GetCurrentFolder();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->m_strPath, Path("one"));
    EXPECT_EQ(folder->m_strDisplayName, "one");
    ASSERT_EQ(folder->ImageCount(), 2u);
    EXPECT_EQ(folder->Image(0)->m_strName, "A.png");
    EXPECT_EQ(folder->Image(0)->m_strPath, Path("one") + "/A.png");
    EXPECT_FALSE(doc->m_bSearchResults);
    EXPECT_TRUE(doc->m_bFolderChanged);
    EXPECT_EQ(doc->m_nCurrentRecent, -1);
    EXPECT_EQ(doc->updates, 1);
    EXPECT_TRUE(doc->IsCurrentFolderUnlisted());
}

TEST_F(FolderLoadersTest, TreeLoadDropsTheFreedFolderFromTheSelection)
{
    folderload::LoadTreeFolder(*doc, Path("one"), true, nullptr);
    doc->SelectImage(1, true, false);
    ASSERT_EQ(doc->GetSelectedImageCount(), 1u);
    folderload::LoadTreeFolder(*doc, Path("two"), true, nullptr);
    EXPECT_EQ(doc->GetSelectedImageCount(), 0u) << "the record of 'one' is gone with the load";
    EXPECT_EQ(doc->GetCurrentFolder()->m_strPath, Path("two"));
}

TEST_F(FolderLoadersTest, TreeLoadFillsAnImagelessRecentRecordOnceAndKeepsIt)
{
    CFolderItem* recent = doc->AddRecentFolder(std::make_unique<CFolderItem>("recent", Path("recent"), 1));
    recent->m_arrSubfolders = {"sub", ".."};  // from an earlier scan
    doc->AddCacheEntry(Path("recent"), (dir / "cache" / "recent").string());
    folderload::LoadTreeFolder(*doc, Path("recent"), true, nullptr);
    EXPECT_EQ(doc->GetCurrentFolder(), recent);
    EXPECT_EQ(recent->ImageCount(), 2u);
    EXPECT_EQ(recent->m_arrSubfolders.size(), 2u) << "'..' and sub, not listed twice";

    folderload::LoadTreeFolder(*doc, Path("one"), true, nullptr);
    EXPECT_EQ(doc->GetRecentCount(), 1u);
    EXPECT_EQ(doc->GetRecentFolder(0), recent) << "the recent record stays in the list";
    EXPECT_EQ(recent->ImageCount(), 2u);
}

TEST_F(FolderLoadersTest, RescanRefillsTheCurrentRecordInPlace)
{
    CFolderItem* recent = doc->AddRecentFolder(std::make_unique<CFolderItem>("recent", Path("recent"), 1));
    doc->SetCurrentFolder(recent);
    folderload::RescanCurrentFolder(*doc, Path("recent"));
    ASSERT_EQ(recent->ImageCount(), 2u);
    doc->SelectImage(0, true, false);
    lftest::WriteText(dir / "recent" / "c.gif", "0123456789ab");

    recent->m_nViewMode = kViewDetailsAndFolders;
    EXPECT_TRUE(folderload::RescanCurrentFolder(*doc, Path("recent"))) << "the folder's view mode taken";
    EXPECT_EQ(doc->m_nViewMode, kViewDetailsAndFolders);
    EXPECT_EQ(doc->GetCurrentFolder(), recent);
    EXPECT_EQ(recent->ImageCount(), 3u);
    EXPECT_EQ(recent->m_arrSubfolders.size(), 2u);
    EXPECT_EQ(doc->GetSelectedImageCount(), 0u) << "the old records left the selection";
    EXPECT_EQ(doc->updates, 0) << "the callers update the views";

    EXPECT_FALSE(folderload::RescanCurrentFolder(*doc, ""));
    EXPECT_EQ(recent->ImageCount(), 3u) << "an empty path does nothing";
}

// The loads free and refill the records a running pass walks: they stop it first.
TEST_F(FolderLoadersTest, LoadsDuringARunningPassStopItBeforeTheRecordsChange)
{
    CQuorixState state((dir / "settings.ini").string());
    lftest::TestDoc threaded((dir / "threaded.sess").string(), &state);
    fs::create_directories(dir / "many");
    for (int i = 0; i < 40; ++i) {
        CLfImage picture = lftest::GradientPicture(400, 300);
        std::string name = "p";  // appended: GCC 12 misreads the concatenation in Release
        name += std::to_string(i);
        name += ".jpg";
        lftest::SavePicture(picture, dir / "many" / name, 3);
    }
    std::atomic<int> announced{0};
    auto startPass = [&] {
        state.m_threads.StopAndWait(true);
        state.m_threads.Start(threaded.MakeThumbnailThread([&](ThumbnailReady) { ++announced; }));
    };

    folderload::LoadTreeFolder(threaded, Path("many"), true, nullptr);
    startPass();
    folderload::LoadTreeFolder(threaded, Path("one"), true, nullptr);  // frees the record of "many"
    EXPECT_EQ(state.m_threads.CountRunning(), 0);
    EXPECT_EQ(threaded.GetCurrentFolder()->ImageCount(), 2u);

    CFolderItem* recent = threaded.AddRecentFolder(std::make_unique<CFolderItem>("many", Path("many"), 1));
    threaded.SetCurrentFolder(recent);
    folderload::RescanCurrentFolder(threaded, Path("many"));
    startPass();
    folderload::RescanCurrentFolder(threaded, Path("many"));  // refills it in place
    EXPECT_EQ(recent->ImageCount(), 40u);
    startPass();
    threaded.ClearFolderImages(recent);  // what removing a recent folder does
    EXPECT_EQ(recent->ImageCount(), 0u);
    EXPECT_EQ(state.m_threads.CountRunning(), 0);
}

}  // namespace
