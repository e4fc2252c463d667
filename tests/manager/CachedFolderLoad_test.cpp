#include "ThumbTestSupport.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CachedFolderLoad.h"
#include "manager/model/ThumbnailCache.h"
#include "manager/model/ThumbnailMaker.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

TEST(CachedFolderLoad, AFileShorterThanTenBytesIsNoImage)
{
    lftest::TempDir dir;
    struct Case {
        const char* name;
        size_t bytes;
        bool image;
    } cases[] = {
        {"a.jpg", 9, false}, {"b.jpg", 10, true},  {"c.PNG", 10, true},
        {"d.txt", 100, false}, {"e.tif", 100, false}, {"f.jpeg", 0, false},
    };
    for (const Case& c : cases) {
        lftest::WriteText(dir / c.name, std::string(c.bytes, 'x'));
        EXPECT_EQ(cachedload::IsImageFile((dir / c.name).string()), c.image) << c.name;
    }
    // A file that cannot be opened: the extension decides.
    EXPECT_TRUE(cachedload::IsImageFile((dir / "missing.gif").string()));
    EXPECT_FALSE(cachedload::IsImageFile((dir / "missing.doc").string()));
}

TEST(CachedFolderLoad, ACachedBitmapCountsOnlyWhenWrittenInALaterSecond)
{
    lftest::TempDir dir;
    const fs::path bitmap = dir / "x~jpg.bmp";
    lftest::WriteText(bitmap, "bm");
    lftest::SetFileTime(bitmap, -50);
    const int64_t second = 1000000000;
    struct stat st {};
    ASSERT_EQ(stat(bitmap.c_str(), &st), 0);
    const int64_t at = int64_t(st.st_mtim.tv_sec) * second;
    EXPECT_FALSE(cachedload::CachedBitmapIsFresh(bitmap.string(), at)) << "the same time";
    EXPECT_FALSE(cachedload::CachedBitmapIsFresh(bitmap.string(), at + second / 2)) << "later in the same second";
    EXPECT_TRUE(cachedload::CachedBitmapIsFresh(bitmap.string(), at - 1));
    EXPECT_FALSE(cachedload::CachedBitmapIsFresh(bitmap.string(), at + second));
    EXPECT_FALSE(cachedload::CachedBitmapIsFresh((dir / "none.bmp").string(), 0));
}

class CachedFolderLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(photos / "sub");
        fs::create_directories(cache);
        CLfImage wide = lftest::GradientPicture(200, 100);
        lftest::SavePicture(wide, photos / "b.jpg", 3);
        lftest::SavePicture(wide, photos / "A.png", 4);
        lftest::SavePicture(wide, photos / "c.BMP", 1);
        lftest::WriteText(photos / "short.jpg", "123456789");
        lftest::WriteText(photos / "notes.txt", "not a picture");
        for (const char* name : {"b.jpg", "A.png", "c.BMP"})
            lftest::SetFileTime(photos / name, -100);
        // Cached bitmaps: b's newer than the picture, A's of the picture's own second.
        CLfImage small = lftest::SolidPicture(88, 44, 250, 10, 10);
        lftest::SavePicture(small, ThumbnailCache::BitmapPath(cache.string(), "b.jpg"), 1);
        lftest::SavePicture(small, ThumbnailCache::BitmapPath(cache.string(), "A.png"), 1);
        lftest::SetFileTime(ThumbnailCache::BitmapPath(cache.string(), "b.jpg"), -10);
        // The picture's own time, copied: two clock readings can straddle a second.
        fs::last_write_time(ThumbnailCache::BitmapPath(cache.string(), "A.png"), fs::last_write_time(photos / "A.png"));
    }

    lftest::TempDir dir;
    fs::path photos = dir / "photos";
    fs::path cache = dir / "dir-1";
};

TEST_F(CachedFolderLoadTest, FillsTheRecordAndTakesFreshThumbnailsFromTheCache)
{
    CFolderItem folder("photos", "/elsewhere", 0);
    EXPECT_EQ(cachedload::LoadFolderWithCache(photos.string(), cache.string(), folder), 1u);

    EXPECT_EQ(folder.m_arrSubfolders, std::vector<std::string>{"sub"}) << "no \".\" or \"..\"";
    std::vector<std::string> others = folder.m_arrOtherFiles;
    std::sort(others.begin(), others.end());
    EXPECT_EQ(others, (std::vector<std::string>{"notes.txt", "short.jpg"}));
    ASSERT_EQ(folder.ImageCount(), 3u);
    const char* order[] = {"A.png", "b.jpg", "c.BMP"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(folder.Image(i)->m_strName, order[i]);
        EXPECT_EQ(folder.Image(i)->m_strPath, (photos / order[i]).string()) << "the loaded path, not the record's";
        EXPECT_EQ(folder.Image(i)->m_nSize, int64_t(fs::file_size(photos / order[i])));
        EXPECT_NE(folder.Image(i)->m_tLastWrite, 0);
    }
    EXPECT_EQ(folder.Image(0)->m_nImageType, 4);
    EXPECT_EQ(folder.Image(1)->m_nImageType, 3);
    EXPECT_EQ(folder.Image(2)->m_nImageType, 0) << "an upper-case extension has no type";

    const CImageItem& cached = *folder.Image(1);
    ASSERT_TRUE(cached.HasThumbnail());
    EXPECT_TRUE(cached.m_bThumbnailMade);
    EXPECT_EQ(cached.GetThumbnail()->width, 88);
    EXPECT_EQ(cached.GetThumbnail()->height, 44);
    EXPECT_EQ(lftest::PixelAt(*cached.GetThumbnail(), 40, 20), "250,10,10") << "the cached picture, not the photo";
    EXPECT_EQ(cached.GetFramedThumbnail()->width, 88);
    EXPECT_EQ(cached.GetFramedThumbnail()->height, 66);
    EXPECT_EQ(lftest::PixelAt(*cached.GetFramedThumbnail(), 40, 5), lftest::BackgroundText());
    EXPECT_EQ(lftest::PixelAt(*cached.GetFramedThumbnail(), 40, 33), "250,10,10");

    EXPECT_FALSE(folder.Image(0)->HasThumbnail()) << "a bitmap of the picture's own second is not fresh";
    EXPECT_FALSE(folder.Image(0)->m_bThumbnailMade);
    EXPECT_FALSE(folder.Image(2)->HasThumbnail()) << "no cached bitmap";
}

TEST_F(CachedFolderLoadTest, WithoutACacheFolderOrPathNothingComesFromTheCache)
{
    CFolderItem folder("photos", photos.string(), 0);
    EXPECT_EQ(cachedload::LoadFolderWithCache(photos.string(), "", folder), 0u);
    EXPECT_EQ(folder.ImageCount(), 3u);
    for (const auto& image : folder.m_arrImages)
        EXPECT_FALSE(image->HasThumbnail());

    CFolderItem empty("none", "", 0);
    EXPECT_EQ(cachedload::LoadFolderWithCache("", cache.string(), empty), 0u);
    EXPECT_EQ(empty.ImageCount(), 0u);
    EXPECT_TRUE(empty.m_arrSubfolders.empty());
}

// A bitmap newer than its picture, whose .dat names another picture than the one there now
// (a copy that kept the times), is left to the thumbnail thread.
TEST_F(CachedFolderLoadTest, ABitmapWhoseTextNamesAnotherPictureIsNotTaken)
{
    struct stat st {};
    ASSERT_EQ(::stat((photos / "b.jpg").c_str(), &st), 0);
    auto nanoseconds = [](const timespec& t) { return std::to_string(int64_t(t.tv_sec) * 1000000000 + t.tv_nsec); };
    auto dat = [&](const std::string& change, const std::string& inode) {
        return "<XML><WIDTH>200</WIDTH><HEIGHT>100</HEIGHT><SOURCETIME>" + nanoseconds(st.st_mtim) +
               "</SOURCETIME><SOURCESIZE>" + std::to_string(st.st_size) + "</SOURCESIZE><SOURCECHANGE>" + change +
               "</SOURCECHANGE><SOURCEINODE>" + inode + "</SOURCEINODE></XML>";
    };
    const struct {
        const char* what;
        std::string text;
        size_t taken;
    } cases[] = {
        {"the picture there", dat(nanoseconds(st.st_ctim), std::to_string(st.st_ino)), 1},
        {"changed since", dat("1", std::to_string(st.st_ino)), 0},
        {"another file", dat(nanoseconds(st.st_ctim), std::to_string(st.st_ino + 1)), 0},
    };
    for (const auto& c : cases) {
        lftest::WriteText(ThumbnailCache::DataPath(cache.string(), "b.jpg"), c.text);
        CFolderItem folder("photos", photos.string(), 0);
        EXPECT_EQ(cachedload::LoadFolderWithCache(photos.string(), cache.string(), folder), c.taken) << c.what;
    }
}

TEST(ThumbnailMakerBox, OtherBoxesScaleWithTheSameRule)
{
    CLfImage picture = lftest::GradientPicture(200, 100);
    const thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(&picture, 50, 40);
    ASSERT_TRUE(pair.fitted && pair.framed);
    const thumbs::ThumbnailFit fit = thumbs::FitThumbnail(200, 100, 50, 40);
    EXPECT_EQ(pair.fitted->width, fit.width);
    EXPECT_EQ(pair.fitted->height, fit.height);
    EXPECT_EQ(fit.width, 50);
    EXPECT_EQ(fit.height, 25);
    EXPECT_EQ(pair.framed->width, 50);
    EXPECT_EQ(pair.framed->height, 40);
    EXPECT_EQ(lftest::PixelAt(*pair.framed, 25, 2), lftest::BackgroundText()) << "above the centred picture";

    CLfImage none;
    const thumbs::ThumbnailPair empty = thumbs::MakeThumbnails(&none, 30, 20);
    EXPECT_EQ(empty.fitted->width, 0);
    EXPECT_EQ(empty.framed->width, 30);
    EXPECT_EQ(empty.framed->height, 20);
}

}  // namespace
