#include "ThumbTestSupport.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CImageThread.h"
#include "manager/model/NotesKeywords.h"
#include "manager/model/ThumbnailCache.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class NotesKeywordsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CLfImage picture = lftest::GradientPicture(120, 90);
        lftest::SavePicture(picture, dir / "a.jpg", 3);
        lftest::SavePicture(picture, dir / "b.bmp", 1);
        lftest::SavePicture(picture, dir / "c.png", 4);
        lftest::WriteText(dir / ".hidden.jpg", "hidden picture");
        lftest::WriteText(dir / "notes.txt", "not a picture");
        for (const char* name : {"a.jpg", "b.bmp", "c.png", ".hidden.jpg", "notes.txt"})
            lftest::SetFileTime(dir / name, -100);
        folder = std::make_unique<CFolderItem>("d", dir.str(), 0);
        for (const char* name : {"c.png", "a.jpg", "gone.jpg", "b.bmp", ".hidden.jpg", "notes.txt"})
            folder->AddImage(std::make_unique<CImageItem>(name, (dir / name).string(), 100, 0, 0));
        fs::create_directories(cache);
    }
    CImageItem* Image(const std::string& name) const
    {
        for (const auto& image : folder->m_arrImages)
            if (image->m_strName == name)
                return image.get();
        return nullptr;
    }
    void SelectAll()
    {
        for (const auto& image : folder->m_arrImages)
            image->m_bSelected = true;
    }
    // A cached thumbnail of a.jpg, as a close of an earlier run left it.
    void CacheThumbnailOfA()
    {
        // The fitted thumbnail of the 120 x 90 picture the .dat names: a bitmap of
        // another size would be taken for a garbled entry and rebuilt.
        ThumbnailPixels pixels{88, 66, std::vector<uint8_t>(88 * 66 * 3, 200)};
        ASSERT_EQ(ThumbnailCache::WriteDIBFile(ThumbnailCache::BitmapPath(cache.string(), "a.jpg"),
                                               ThumbnailCache::BitmapToDIB(pixels)),
                  1);
        lftest::WriteText(ThumbnailCache::DataPath(cache.string(), "a.jpg"),
                          "<XML><WIDTH>120</WIDTH><HEIGHT>90</HEIGHT><KEYWORDS></KEYWORDS><DESCRIPTION></DESCRIPTION></XML>");
    }
    std::vector<uint8_t> Bytes(const char* name) const { return lftest::ReadBytes(dir / name); }

    lftest::TempDir dir;
    fs::path cache = dir / "cache";
    std::unique_ptr<CFolderItem> folder;
    std::vector<std::string> messages;
    std::function<void(const std::string&)> sink = [this](const std::string& text) { messages.push_back(text); };
};

TEST_F(NotesKeywordsTest, TheDialogShowsOneSelectedImageOrSaysSeveral)
{
    Image("a.jpg")->m_strDescription = "harbour";
    Image("a.jpg")->m_strKeywords = "sea";
    EXPECT_EQ(noteskeywords::ForSelection(*folder).label, "");
    Image("a.jpg")->m_bSelected = true;
    const auto one = noteskeywords::ForSelection(*folder);
    EXPECT_EQ(one.label, "Filename: a.jpg");
    EXPECT_EQ(one.notes, "harbour");
    EXPECT_EQ(one.keywords, "sea");
    EXPECT_EQ(one.path, (dir / "a.jpg").string());
    Image("b.bmp")->m_bSelected = true;
    const auto two = noteskeywords::ForSelection(*folder);
    EXPECT_EQ(two.label, "Filename: Multiple files selected");
    EXPECT_EQ(two.notes, "");
    EXPECT_EQ(two.keywords, "");
}

TEST_F(NotesKeywordsTest, StoredTextsAndTypes)
{
    EXPECT_EQ(noteskeywords::StoredText(1, "", ""), "IPTC:2:25= \nIPTC:2:25= \nIPTC:2:105=108a");
    EXPECT_EQ(noteskeywords::StoredText(3, "n", "a\nb\n"), "n\na\nb");
    EXPECT_EQ(noteskeywords::StoredText(1, "n", "k"), "IPTC:2:25=n\nIPTC:2:25=k\nIPTC:2:105=108a");
    const struct {
        const char* extension;
        int type;
    } types[] = {{"jpeg", 3}, {"tif", 6}, {"wbmp", 9}, {"gif", 2}, {"txt", 0}, {"", 0}};
    for (const auto& t : types)
        EXPECT_EQ(noteskeywords::TypeOfExtension(t.extension), t.type) << t.extension;
}

TEST_F(NotesKeywordsTest, OkGivesEverySelectedImageTheNotesWithoutTouchingTheFiles)
{
    CacheThumbnailOfA();
    SelectAll();
    const auto jpeg = Bytes("a.jpg"), bitmap = Bytes("b.bmp"), png = Bytes("c.png");
    const std::string notes = "Harbour at dawn & <friends>";
    EXPECT_TRUE(noteskeywords::Apply(*folder, notes, "sea\nsun", cache.string(), sink));
    EXPECT_EQ(messages, std::vector<std::string>{noteskeywords::MissingFileText((dir / "gone.jpg").string())});
    for (const char* name : {"a.jpg", "b.bmp", "c.png"}) {
        EXPECT_EQ(Image(name)->m_strDescription, notes) << name;
        EXPECT_EQ(Image(name)->m_strKeywords, "sea\nsun") << name;
    }
    for (const char* name : {".hidden.jpg", "notes.txt", "gone.jpg"})
        EXPECT_EQ(Image(name)->m_strDescription, "") << name;
    EXPECT_EQ(Bytes("a.jpg"), jpeg) << "no image is written again";
    EXPECT_EQ(Bytes("b.bmp"), bitmap);
    EXPECT_EQ(Bytes("c.png"), png);

    // The notes went to the cache beside the thumbnail, and come back with it.
    const auto cached = ThumbnailCache::Load((dir / "a.jpg").string(), "a.jpg", cache.string());
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->description, notes);
    EXPECT_EQ(cached->keywords, "sea\nsun");
    EXPECT_EQ(cached->width, 120) << "the size the record did not know stays";
    EXPECT_FALSE(fs::exists(ThumbnailCache::DataPath(cache.string(), "b.bmp"))) << "no thumbnail cached, no .dat";

    // A later run's record of the image gets them from the thumbnail pass.
    CImageItem later("a.jpg", (dir / "a.jpg").string(), 100, 0, 0);
    const CImageThread::Made made = CImageThread::MakeThumbnail(later.m_strPath, later.m_strName, 3, cache.string());
    ASSERT_TRUE(made.fromCache);
    CImageThread::StoreInRecord(later, made, 3);
    EXPECT_EQ(later.m_strDescription, "") << "the worker leaves the notes to the user-interface side";
    CImageThread::TakeCachedNotes(later, made.description, made.keywords);
    EXPECT_EQ(later.m_strDescription, notes);
    EXPECT_EQ(later.m_strKeywords, "sea\nsun");
}

TEST_F(NotesKeywordsTest, ATextOverTheLimitStopsBeforeThatImage)
{
    SelectAll();
    const std::string notes(300, 'n');
    EXPECT_FALSE(noteskeywords::Apply(*folder, notes, "", cache.string(), sink));
    EXPECT_EQ(messages, std::vector<std::string>{noteskeywords::kTooLargeText});
    EXPECT_EQ(Image("c.png")->m_strDescription, notes) << "handled before the stop: it keeps its notes";
    EXPECT_EQ(Image("a.jpg")->m_strDescription, "") << "the image that stopped it is unchanged";
    EXPECT_EQ(Image("b.bmp")->m_strDescription, "");
}

TEST_F(NotesKeywordsTest, ReadOnlyFilesKeepTheirNotes)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "every file is writable for root";
    fs::permissions(dir / "a.jpg", fs::perms::owner_write, fs::perm_options::remove);
    Image("a.jpg")->m_bSelected = true;
    EXPECT_TRUE(noteskeywords::Apply(*folder, "n", "", cache.string(), sink));
    EXPECT_EQ(Image("a.jpg")->m_strDescription, "");
}

}  // namespace
