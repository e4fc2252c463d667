#include "DocTestSupport.h"
#include "manager/model/CQuorixState.h"
#include "platform/SettingsStore.h"
#include "tests/support/AsOrdinaryUser.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

using lftest::TempDir;
using lftest::TestDoc;

void MakeFile(const std::filesystem::path& path, size_t size, time_t seconds)
{
    lftest::WriteText(path, std::string(size, 'x'));
    timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

std::string Names(const CFolderItem& folder)
{
    std::string out;
    for (const auto& image : folder.m_arrImages)
        out += image->m_strName + " ";
    return out;
}

class RefreshTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeFile(dir / "a.JPG", 20, 1000);
        MakeFile(dir / "B.png", 50, 3000);
        MakeFile(dir / "notes.txt", 30, 2000);
        MakeFile(dir / "x.jpg", 5, 2000);
        std::filesystem::create_directory(dir / "sub.jpg");
    }
    TempDir dir;
    TempDir sessionDir;
};

TEST_F(RefreshTest, ListsImageFilesWithTypesSizesAndTimes)
{
    TestDoc doc((sessionDir / "s").string());
    doc.SetCurrentFolder(std::make_unique<CFolderItem>("d", dir.str(), 0));
    doc.m_bFolderChanged = false;
    doc.GetCurrentFolder()->m_bThumbsNeeded = false;
    doc.Refresh();

    const CFolderItem& folder = *doc.GetCurrentFolder();
    ASSERT_EQ(folder.ImageCount(), 2u);
    const CImageItem& b = *folder.Image(0);  // name order: upper case first
    const CImageItem& a = *folder.Image(1);
    EXPECT_EQ(b.m_strName, "B.png");
    EXPECT_EQ(b.m_strPath, (dir / "B.png").string());
    EXPECT_EQ(b.m_nSize, 50);
    EXPECT_EQ(b.m_nImageType, 4);
    EXPECT_EQ(b.m_tLastWrite, 3000LL * 1000000000);
    EXPECT_EQ(a.m_strName, "a.JPG");
    EXPECT_EQ(a.m_nSize, 20);
    EXPECT_EQ(a.m_nImageType, 0);  // the type comparison is case-sensitive
    EXPECT_EQ(a.m_tLastWrite, 1000LL * 1000000000);
    EXPECT_EQ(a.m_nHeight, 0);
    EXPECT_TRUE(doc.m_bFolderChanged);
    EXPECT_TRUE(folder.m_bThumbsNeeded);
    EXPECT_EQ(doc.updates, 1);
}

TEST_F(RefreshTest, SortsByEachKeyInBothDirections)
{
    struct Case {
        int key, order;
        const char* names;
    };
    const Case cases[] = {
        {0, 0, "B.png a.JPG "}, {0, 1, "a.JPG B.png "}, {1, 0, "a.JPG B.png "},
        {1, 1, "B.png a.JPG "}, {3, 0, "B.png a.JPG "}, {3, 1, "a.JPG B.png "},
    };
    for (const Case& c : cases) {
        TestDoc doc((sessionDir / "s").string());
        doc.m_nSortKey = c.key;
        doc.m_nSortOrder = c.order;
        doc.SetCurrentFolder(std::make_unique<CFolderItem>("d", dir.str(), 0));
        doc.Refresh();
        EXPECT_EQ(Names(*doc.GetCurrentFolder()), c.names) << "key " << c.key << " order " << c.order;
    }
}

TEST_F(RefreshTest, DoesNothingForRelativePathsAndEmptiesAVanishedFolder)
{
    TestDoc doc((sessionDir / "s").string());
    doc.SetCurrentFolder(lftest::TestDoc::MakeFolder("relative/dir", {"a.jpg"}));
    doc.Refresh();
    EXPECT_EQ(doc.GetCurrentFolder()->ImageCount(), 1u);
    EXPECT_EQ(doc.updates, 0);

    doc.SetCurrentFolder(lftest::TestDoc::MakeFolder((dir / "gone").string(), {"a.jpg"}));
    doc.SelectImage(0, true, false);
    doc.m_bFolderChanged = false;
    doc.Refresh();
    EXPECT_EQ(doc.GetCurrentFolder()->ImageCount(), 0u);
    EXPECT_EQ(doc.GetSelectedImageCount(), 0u);
    EXPECT_FALSE(doc.m_bFolderChanged);  // nothing was added
}

TEST_F(RefreshTest, SkipsSpecialFilesWithoutOpeningThem)
{
    // Opening a pipe for reading would wait for a writer that never comes.
    ASSERT_EQ(::mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);
    TestDoc doc((sessionDir / "s").string());
    doc.SetCurrentFolder(std::make_unique<CFolderItem>("d", dir.str(), 0));
    doc.Refresh();
    EXPECT_EQ(Names(*doc.GetCurrentFolder()), "B.png a.JPG ");
}

TEST_F(RefreshTest, DropsOnlyThisFoldersSelection)
{
    TestDoc doc((sessionDir / "s").string());
    doc.AddRecentFolder(lftest::TestDoc::MakeFolder("/other", {"o.jpg"}));
    doc.SetCurrentFolder(doc.GetRecentFolder(0));
    doc.SelectImage(0, true, false);
    doc.SetCurrentFolder(std::make_unique<CFolderItem>("d", dir.str(), 0));
    doc.Refresh();
    doc.SelectImage(0, true, false);
    ASSERT_EQ(doc.GetSelectedImageCount(), 2u);

    doc.Refresh();
    ASSERT_EQ(doc.GetSelectedImageCount(), 1u);
    EXPECT_EQ(doc.GetSelectedImage(0)->m_strPath, "/other/o.jpg");
}

TEST(CQuorixDoc, ImageTypeFromExtensionIsExact)
{
    const std::pair<const char*, int> cases[] = {
        {"bmp", 1}, {"gif", 2}, {"jpg", 3}, {"jpeg", 3}, {"png", 4}, {"ico", 5}, {"tif", 6},
        {"tiff", 6}, {"tga", 7}, {"pcx", 8}, {"wbmp", 9}, {"JPG", 0}, {"wmf", 0}, {"", 0},
    };
    for (const auto& [ext, id] : cases)
        EXPECT_EQ(CQuorixDoc::ImageTypeFromExtension(ext), id) << ext;
}

// Two folders: A (current, three images) and B (in the recent list, two images).
class SelectionTest : public ::testing::Test {
protected:
    SelectionTest() : doc((dir / "s").string())
    {
        b = doc.AddRecentFolder(TestDoc::MakeFolder("/b", {"b0.jpg", "b1.jpg"}));
        doc.SetCurrentFolder(TestDoc::MakeFolder("/a", {"a0.jpg", "a1.jpg", "a2.jpg"}));
        a = doc.GetCurrentFolder();
    }
    TempDir dir;
    TestDoc doc;
    CFolderItem* a = nullptr;
    CFolderItem* b = nullptr;
};

TEST_F(SelectionTest, ClickTwiceDeselects)
{
    doc.SelectImage(1, true, false);
    EXPECT_TRUE(a->Image(1)->m_bSelected);
    EXPECT_EQ(doc.GetSelectedCount(), 1);
    EXPECT_EQ(doc.GetSelectedImageCount(), 1u);
    doc.SelectImage(1, true, false);
    EXPECT_FALSE(a->Image(1)->m_bSelected);
    EXPECT_EQ(doc.GetSelectedCount(), 0);
    EXPECT_EQ(doc.GetSelectedImageCount(), 0u);
}

TEST_F(SelectionTest, SelectionSpansFoldersWithoutDuplicatePaths)
{
    doc.SelectImage(0, true, false);
    doc.SetCurrentFolder(b);  // A, a record of its own, is freed with its selection
    EXPECT_EQ(doc.GetSelectedImageCount(), 0u);

    doc.SelectImage(0, true, false);
    doc.SetCurrentFolder(TestDoc::MakeFolder("/a", {"a0.jpg"}));
    doc.SelectImage(0, true, false);
    ASSERT_EQ(doc.GetSelectedImageCount(), 2u);
    EXPECT_EQ(doc.GetSelectedImage(0)->m_strPath, "/b/b0.jpg");
    EXPECT_EQ(doc.GetSelectedImage(1)->m_strPath, "/a/a0.jpg");

    // A second record of the same file adds no second entry.
    doc.RememberCurrentFolder(false);  // keeps /a alive as a recent entry
    doc.SetCurrentFolder(TestDoc::MakeFolder("/c", {}));
    doc.GetCurrentFolder()->AddImage(std::make_unique<CImageItem>("b0.jpg", "/b/b0.jpg", 1, 0, 0));
    doc.SelectImage(0, true, false);
    EXPECT_EQ(doc.GetSelectedImageCount(), 2u);
}

TEST_F(SelectionTest, MarkOnlyNeitherListsNorDriftsTheCount)
{
    doc.SelectImage(2, false, true);
    doc.SelectImage(2, false, true);
    EXPECT_TRUE(a->Image(2)->m_bSelected);
    EXPECT_EQ(doc.GetSelectedCount(), 1);
    EXPECT_EQ(doc.GetSelectedImageCount(), 0u);
    doc.SelectImage(7, true, false);  // out of range: nothing
    doc.SelectImage(-1, true, false);
    EXPECT_EQ(doc.GetSelectedCount(), 1);
}

TEST_F(SelectionTest, ClickWithoutKeepDeselectsTheOthers)
{
    doc.SelectImage(0, true, false);
    doc.SelectImage(1, true, false);
    doc.SelectImage(2, false, false);
    EXPECT_FALSE(a->Image(0)->m_bSelected);
    EXPECT_FALSE(a->Image(1)->m_bSelected);
    ASSERT_EQ(doc.GetSelectedImageCount(), 1u);
    EXPECT_EQ(doc.GetSelectedImage(0), a->Image(2));
}

TEST_F(SelectionTest, SelectAllAndDeselectAll)
{
    doc.OnSelectAll();
    EXPECT_EQ(doc.GetSelectedCount(), 3);
    EXPECT_EQ(doc.GetSelectedImageCount(), 3u);
    EXPECT_EQ(doc.updates, 1);
    // Select all remembered the folder: it is now the last recent entry.
    ASSERT_EQ(doc.GetRecentCount(), 2u);
    EXPECT_EQ(doc.GetRecentFolder(1), a);
    EXPECT_EQ(doc.m_nCurrentRecent, 1);

    doc.OnSelectAll();  // everything is selected already
    EXPECT_EQ(doc.updates, 1);

    doc.OnDeselectAll();
    EXPECT_EQ(doc.GetSelectedCount(), 0);
    EXPECT_EQ(doc.GetSelectedImageCount(), 0u);
    EXPECT_EQ(doc.updates, 2);
    doc.OnDeselectAll();  // nothing selected: nothing happens
    EXPECT_EQ(doc.updates, 2);
}

TEST_F(SelectionTest, SelectAllNeverWritesPastAShorterRecentEntry)
{
    // The recent index points at B (two images) while A (three images) is current.
    ASSERT_EQ(doc.FindFolderByPath("/b"), b);
    ASSERT_EQ(doc.m_nCurrentRecent, 0);
    doc.OnSelectAll();
    EXPECT_EQ(doc.GetSelectedCount(), 3);
    EXPECT_TRUE(b->Image(0)->m_bSelected);
    EXPECT_TRUE(b->Image(1)->m_bSelected);
}

TEST_F(SelectionTest, SelectAllNeedsAnAbsolutePath)
{
    doc.SetCurrentFolder(TestDoc::MakeFolder("", {"x.jpg"}));
    doc.OnSelectAll();
    EXPECT_EQ(doc.GetSelectedCount(), 0);
    EXPECT_EQ(doc.updates, 0);
}

TEST_F(SelectionTest, RemovingARecordRemovesItFromTheSelection)
{
    doc.SelectImage(0, true, false);
    doc.SelectImage(1, true, false);
    CImageItem* first = a->Image(0);
    CImageItem stranger("s", "/a/a1.jpg", 1, 0, 0);
    EXPECT_EQ(doc.RemoveImage(a, &stranger), 1);
    EXPECT_EQ(doc.RemoveImage(a, first), 0);
    ASSERT_EQ(doc.GetSelectedImageCount(), 1u);
    EXPECT_EQ(doc.GetSelectedImage(0)->m_strName, "a1.jpg");
    EXPECT_EQ(a->ImageCount(), 2u);
}

TEST_F(SelectionTest, RecentListLookups)
{
    EXPECT_TRUE(doc.IsCurrentFolderUnlisted());
    EXPECT_EQ(doc.FindCurrentInRecent(), nullptr);
    EXPECT_EQ(doc.m_nCurrentRecent, 1);
    EXPECT_EQ(doc.FindFolderByPath("/nowhere"), nullptr);

    // Remembering appends the record itself and returns null; the next time finds it.
    EXPECT_EQ(doc.RememberCurrentFolder(true), nullptr);
    EXPECT_FALSE(a->m_bKeepInSession);
    EXPECT_FALSE(doc.IsCurrentFolderUnlisted());
    EXPECT_EQ(doc.RememberCurrentFolder(true), a);
    EXPECT_TRUE(a->m_bKeepInSession);
    EXPECT_TRUE(a->m_bCurrentInRecent);
    EXPECT_FALSE(b->m_bCurrentInRecent);
    EXPECT_EQ(doc.GetRecentCount(), 2u);

    doc.m_bSearchResults = true;
    doc.SetCurrentFolder(TestDoc::MakeFolder("/results", {}));
    EXPECT_EQ(doc.RememberCurrentFolder(true), nullptr);
    EXPECT_EQ(doc.FindFolderByPath("/b"), nullptr);
    EXPECT_EQ(doc.GetRecentCount(), 2u);

    doc.m_bSearchResults = false;
    doc.SetCurrentFolder(TestDoc::MakeFolder("", {}));
    doc.RememberCurrentFolder(true);
    EXPECT_EQ(doc.GetRecentCount(), 2u);  // an empty path is never remembered
}

TEST(CQuorixDoc, UploadWithoutSelectionShowsTheMessage)
{
    TempDir dir;
    CQuorixState state((dir / "settings.ini").string());
    TestDoc doc((dir / "s").string(), &state);
    int runs = 0;
    state.m_services.upload = [&](CQuorixDoc& asked) {
        EXPECT_EQ(&asked, &doc);
        ++runs;
    };
    doc.m_bShowThumbnail = true;
    doc.OnUpload();
    EXPECT_EQ(doc.m_nUploaded, 1);
    EXPECT_FALSE(doc.m_bShowThumbnail);
    ASSERT_EQ(doc.messages.size(), 1u);
    EXPECT_EQ(doc.messages[0].rfind("You must first select an image to upload.", 0), 0u);
    EXPECT_EQ(runs, 0);

    doc.SetCurrentFolder(TestDoc::MakeFolder("/a", {"a.jpg"}));
    doc.SelectImage(0, true, false);
    doc.OnUpload();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(doc.messages.size(), 1u);
}

TEST(CQuorixDoc, CloseWritesSessionAndPaneSizesUnlessCacheWasDeleted)
{
    for (bool cacheDeleted : {false, true}) {
        TempDir dir;
        CQuorixState state((dir / "settings.ini").string());
        state.m_nLeftViewWidth = 240;
        state.m_nLeftViewHeight = 180;
        TestDoc doc((dir / "qkvex.sess").string(), &state);
        doc.m_bCacheDeleted = cacheDeleted;
        doc.m_arrListRows.push_back(std::make_unique<ListRowItem>());
        EXPECT_TRUE(doc.OnCloseDocument());
        EXPECT_EQ(std::filesystem::exists(dir / "qkvex.sess"), !cacheDeleted);
        EXPECT_TRUE(doc.m_arrListRows.empty());
        lfplat::SettingsStore store((dir / "settings.ini").string());
        EXPECT_EQ(store.GetString(CQuorixState::kSettingsKey, "LeftViewWidth", ""), "240");
        EXPECT_EQ(store.GetString(CQuorixState::kSettingsKey, "LeftViewHeigth", ""), "180");
    }
}

TEST(CQuorixDoc, StartsWithTheDefaults)
{
    TempDir dir;
    TestDoc doc((dir / "s").string());
    ASSERT_NE(doc.GetCurrentFolder(), nullptr);
    EXPECT_EQ(doc.GetCurrentFolder()->m_strPath, "");
    EXPECT_FALSE(doc.GetCurrentFolder()->m_bKeepInSession);
    EXPECT_EQ(doc.m_nCurrentRecent, -11);
    EXPECT_EQ(doc.m_nCurrentLayout, 3);
    ASSERT_NE(doc.m_pPrintLayout, nullptr);
    EXPECT_EQ(doc.m_pPrintLayout->m_nRows, 2);
    EXPECT_FLOAT_EQ(doc.m_pPrintLayout->m_fPageWidth, 11.0f);
    EXPECT_EQ(doc.m_pPrintLayout->m_nPageOrientation, 1);
    EXPECT_TRUE(doc.m_bShowOtherFiles);
    EXPECT_EQ(doc.m_login.inboxFileLimit, 100);
}

}  // namespace

TEST(CQuorixDoc, StateFilesThatCannotBeReadAreKeptAndToldOnce)
{
    // Folders and pipes in place of the settings and the session: the start neither
    // throws nor blocks, the close replaces neither, and each is told once.
    struct Case {
        const char* name;
        void (*make)(const std::filesystem::path&);
        std::filesystem::file_type type;
    };
    const Case cases[] = {
        {"folder", [](const std::filesystem::path& p) { std::filesystem::create_directory(p); },
         std::filesystem::file_type::directory},
        {"pipe", [](const std::filesystem::path& p) { ::mkfifo(p.c_str(), 0600); }, std::filesystem::file_type::fifo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto settings = dir / "settings.ini";
        const auto session = dir / "qkvex.sess";
        c.make(settings);
        c.make(session);
        CQuorixState state(settings.string());
        state.ReadSettings();
        EXPECT_EQ(state.m_nLeftViewHeight, 220);
        TestDoc doc(session.string(), &state);
        doc.ShowStateFileProblems();
        ASSERT_EQ(doc.messages.size(), 2u);
        EXPECT_NE(doc.messages[0].find(settings.string()), std::string::npos) << doc.messages[0];
        EXPECT_NE(doc.messages[0].find("cannot keep its settings"), std::string::npos) << doc.messages[0];
        EXPECT_NE(doc.messages[1].find(session.string()), std::string::npos) << doc.messages[1];
        EXPECT_TRUE(doc.OnCloseDocument());
        EXPECT_EQ(doc.messages.size(), 2u);
        EXPECT_EQ(std::filesystem::status(settings).type(), c.type);
        EXPECT_EQ(std::filesystem::status(session).type(), c.type);
    }
}

TEST(CQuorixDoc, SessionTheUserCannotReadKeepsItsBytes)
{
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const auto session = dir / "qkvex.sess";
    const std::string bytes = "UPLOADED=1\r\nLOGIN=bob\r\nPASS=s3cret\r\nDIRECTORY=/tmp\r\n";
    lftest::WriteText(session, bytes);
    std::filesystem::permissions(session, std::filesystem::perms::none);
    std::filesystem::create_directory(dir / "data");
    std::filesystem::permissions(dir / "data", std::filesystem::perms::all);
    const auto status = lftest::RunAsOrdinaryUser([&] {
        lftest::ScopedEnv data("XDG_DATA_HOME", (dir / "data").string());
        CQuorixState state((dir / "settings.ini").string());
        TestDoc doc(session.string(), &state);
        doc.OnCloseDocument();
        return doc.messages.size() == 1 && doc.messages[0].find("Permission denied") != std::string::npos ? 0 : 1;
    });
    if (!status)
        GTEST_SKIP() << "needs root to act as an ordinary user";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(lftest::ReadText(session), bytes);
}

TEST(CQuorixDoc, FailedStateWritesAreToldOnceNamingTheFileAndReason)
{
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    const auto folder = dir / "ro";
    std::filesystem::create_directory(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all | std::filesystem::perms::others_read |
                                             std::filesystem::perms::others_exec);
    std::filesystem::create_directory(dir / "data");
    std::filesystem::permissions(dir / "data", std::filesystem::perms::all);
    const auto status = lftest::RunAsOrdinaryUser([&] {
        lftest::ScopedEnv data("XDG_DATA_HOME", (dir / "data").string());
        CQuorixState state((folder / "settings.ini").string());
        state.ReadSettings();
        TestDoc doc((folder / "qkvex.sess").string(), &state);
        doc.OnCloseDocument();
        if (doc.messages.size() != 2)
            return 1;
        for (const std::string& text : doc.messages)
            if (text.find("Permission denied") == std::string::npos)
                return 2;
        return doc.messages[0].find("settings.ini") != std::string::npos &&
                       doc.messages[1].find("qkvex.sess") != std::string::npos
                   ? 0
                   : 3;
    });
    if (!status)
        GTEST_SKIP() << "needs root to act as an ordinary user";
    EXPECT_EQ(*status, 0);
}
