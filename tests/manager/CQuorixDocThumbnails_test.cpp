#include "DocTestSupport.h"
#include "ThumbTestSupport.h"
#include "manager/model/CImageThread.h"
#include "manager/model/CQuorixState.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using lftest::TempDir;
using lftest::TestDoc;

// Each test gets an application-data folder of its own.
class DocThumbnailsTest : public ::testing::Test {
protected:
    fs::path CacheRoot() const { return data / "Lanternfolio"; }
    std::string SessionPath() const { return (work / "qkvex.sess").string(); }

    // A recent folder with two images whose thumbnails are made.
    CFolderItem* AddShownFolder(TestDoc& doc)
    {
        for (const char* name : {"a.jpg", "b.png"}) {
            lftest::WriteText(images / name, "bytes");
            lftest::SetFileTime(images / name, -100);
        }
        auto folder = TestDoc::MakeFolder(images.str(), {"a.jpg", "b.png"});
        for (const auto& image : folder->m_arrImages) {
            CLfImage picture = lftest::SolidPicture(40, 30, 200, 10, 10);
            const thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(&picture);
            image->SetThumbnails(pair.fitted, pair.framed);
            image->m_nWidth = 40;
            image->m_nHeight = 30;
        }
        folder->m_bKeepInSession = true;  // written to the session file
        return doc.AddRecentFolder(std::move(folder));
    }

    TempDir data;
    lftest::ScopedEnv dataHome{"XDG_DATA_HOME", data.str()};
    TempDir work;
    TempDir images;
    TempDir settings;
    CQuorixState state{(settings / "settings.ini").string()};
};

TEST_F(DocThumbnailsTest, CloseWritesTheCacheThatTheNextStartReads)
{
    {
        TestDoc doc(SessionPath(), &state);
        AddShownFolder(doc);
        EXPECT_TRUE(doc.OnCloseDocument());
    }
    EXPECT_TRUE(fs::exists(CacheRoot() / "qkcache.xml"));
    EXPECT_TRUE(fs::exists(CacheRoot() / "dir-1" / "a~jpg.bmp"));
    EXPECT_TRUE(fs::exists(CacheRoot() / "dir-1" / "b~png.dat"));

    TestDoc next(SessionPath(), &state);
    EXPECT_EQ(next.GetCacheDirName(images.str()), (CacheRoot() / "dir-1").string());
    // The session brought the folder back; its pass takes both thumbnails from the cache.
    ASSERT_EQ(next.GetRecentCount(), 1u);
    next.SetCurrentFolder(next.GetRecentFolder(0));
    next.GetCurrentFolder()->m_arrImages.clear();
    for (const char* name : {"a.jpg", "b.png"})
        next.GetCurrentFolder()->AddImage(std::make_unique<CImageItem>(name, (images / name).string(), 5, 0, 0));
    std::unique_ptr<CImageThread> pass = next.MakeThumbnailThread({});
    ASSERT_TRUE(pass);
    pass->InitInstance();
    EXPECT_EQ(pass->DecodeCount(), 0);
    EXPECT_EQ(pass->CacheHitCount(), 2);
    EXPECT_EQ(next.GetCurrentFolder()->Image(0)->m_nWidth, 40);
    EXPECT_FALSE(next.m_bThumbThreadRunning);
}

TEST_F(DocThumbnailsTest, DeleteCacheAsksWithTheSizeAndCancelChangesNothing)
{
    fs::create_directories(CacheRoot() / "dir-1");
    lftest::WriteText(CacheRoot() / "dir-1" / "a~jpg.bmp", std::string(1536 * 1024, 'x'));
    // The index names the folder: a cache folder it does not name is a leftover, removed at start.
    lftest::WriteText(CacheRoot() / "qkcache.xml", "<XML><DIRECTORY><DISKPATH>/elsewhere</DISKPATH><MAPNAME>" +
                                                      (CacheRoot() / "dir-1").string() +
                                                      "</MAPNAME><FILECOUNT>1</FILECOUNT></DIRECTORY></XML>");

    TestDoc doc(SessionPath(), &state);
    AddShownFolder(doc);
    std::vector<std::string> asked;
    doc.SetConfirmSink([&](const std::string& text) {
        asked.push_back(text);
        return false;
    });
    doc.OnDeleteCache();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].rfind("Disk space currently used by cache: 1.50 MB\n\nThis application uses", 0), 0u);
    EXPECT_FALSE(doc.m_bCacheDeleted);
    EXPECT_TRUE(fs::exists(CacheRoot() / "dir-1" / "a~jpg.bmp"));
    // The close still writes the session and the cache.
    EXPECT_TRUE(doc.OnCloseDocument());
    EXPECT_NE(lftest::ReadText(SessionPath()).find("DIRECTORY="), std::string::npos);
    EXPECT_TRUE(fs::exists(CacheRoot() / "dir-2" / "a~jpg.bmp"));
}

TEST_F(DocThumbnailsTest, DeleteCacheOnOkDeletesAndWritesTheShortSessionOnly)
{
    fs::create_directories(CacheRoot() / "dir-1");
    lftest::WriteText(CacheRoot() / "dir-1" / "a~jpg.bmp", "x");
    lftest::WriteText(CacheRoot() / "qkcache.xml", "<XML></XML>");

    TestDoc doc(SessionPath(), &state);
    AddShownFolder(doc);
    doc.m_strLogin = "someone";
    doc.SetConfirmSink([](const std::string&) { return true; });
    doc.OnDeleteCache();
    EXPECT_TRUE(doc.m_bCacheDeleted);
    EXPECT_FALSE(fs::exists(CacheRoot() / "dir-1"));
    EXPECT_FALSE(fs::exists(CacheRoot() / "qkcache.xml"));
    const std::string shortSession = lftest::ReadText(SessionPath());
    EXPECT_NE(shortSession.find("LOGIN=someone"), std::string::npos);
    EXPECT_EQ(shortSession.find("DIRECTORY="), std::string::npos);

    // The close writes neither the session file nor the cache.
    EXPECT_TRUE(doc.OnCloseDocument());
    EXPECT_EQ(lftest::ReadText(SessionPath()), shortSession);
    EXPECT_FALSE(fs::exists(CacheRoot() / "qkcache.xml"));
    EXPECT_FALSE(fs::exists(CacheRoot() / "dir-1"));
}

TEST_F(DocThumbnailsTest, DeleteCacheWithoutACacheAsksNothingAndChangesNothing)
{
    TestDoc doc(SessionPath(), &state);
    int asked = 0;
    doc.SetConfirmSink([&](const std::string&) { return ++asked, true; });
    doc.OnDeleteCache();
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(doc.messages.empty());
    EXPECT_FALSE(doc.m_bCacheDeleted);
}

TEST_F(DocThumbnailsTest, EditImageWritesTheParameterFileBesideTheSessionAndStartsTheEditor)
{
    state.m_strAppFolder = "/opt/lanternfolio/";
    TestDoc doc(SessionPath(), &state);
    std::vector<std::vector<std::string>> starts;
    std::string program, folder;
    doc.SetEditorLauncher([&](const std::string& p, const std::vector<std::string>& a, const std::string& f) {
        program = p;
        folder = f;
        starts.push_back(a);
        return 2;  // the program is missing
    });
    doc.SetCurrentFolder(TestDoc::MakeFolder("/pics", {"a b.jpg", "c.gif"}));
    doc.m_nSortKey = kSortBySize;
    doc.m_nSortOrder = kSortReverse;

    doc.EditImage(kSelectedImageIndex);  // nothing selected
    ASSERT_EQ(doc.messages.size(), 1u);
    EXPECT_EQ(doc.messages[0], doc.m_strNoImageText);
    EXPECT_TRUE(starts.empty());

    doc.SelectImage(0, false, false);
    doc.EditImage(kSelectedImageIndex);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], std::vector<std::string>{"/pics/a b.jpg"});
    EXPECT_EQ(program, "/opt/lanternfolio/pixoro");
    EXPECT_EQ(folder, work.str());
    EXPECT_EQ(lftest::ReadText(work / "qkparam.dat"), "1|1");
    ASSERT_EQ(doc.messages.size(), 2u);
    EXPECT_EQ(doc.messages[1], "System Error: Application viewer not found.");

    doc.EditImage(1);
    EXPECT_EQ(doc.messages.back(), "Gif images are not supported by Editor.");
    EXPECT_EQ(starts.size(), 1u);
}

}  // namespace
