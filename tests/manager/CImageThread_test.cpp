#include "ThumbTestSupport.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CImageThread.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/ThumbnailCache.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using lftest::BackgroundText;
using lftest::PixelAt;
using lftest::TempDir;

const std::string kPlaceholder = std::string(LF_BIN_DIR) + "/bitmap8.bmp";

// Notices as the user-interface side would receive them.
struct RecordingSink {
    std::mutex lock;
    std::vector<ThumbnailReady> notices;
    std::function<void(size_t)> onNotice;  // called with the count so far
    ThumbnailSink Sink()
    {
        return [this](ThumbnailReady notice) {
            size_t count = 0;
            {
                std::lock_guard guard(lock);
                notices.push_back(std::move(notice));
                count = notices.size();
            }
            if (onNotice)
                onNotice(count);
        };
    }
};

std::unique_ptr<CFolderItem> ListFolder(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    auto folder = std::make_unique<CFolderItem>(dir.string(), dir.string(), 0);
    for (const std::string& name : names)
        folder->AddImage(std::make_unique<CImageItem>(name, (dir / name).string(), 100, 0, 0));
    return folder;
}

CImageItem* Find(const CFolderItem& folder, const std::string& name)
{
    for (const auto& image : folder.m_arrImages)
        if (image->m_strName == name)
            return image.get();
    return nullptr;
}

class CImageThreadTest : public ::testing::Test {
protected:
    CImageThread::Settings Settings(const std::string& cacheFolder, int workers = 4) const
    {
        return CImageThread::Settings{cacheFolder, kPlaceholder, workers};
    }

    TempDir settings;
    CQuorixState state{(settings / "settings.ini").string()};
    TempDir images;
    TempDir data;
    std::string root = (data / "Lanternfolio").string();
};

TEST_F(CImageThreadTest, FolderPassMakesThumbnailsCachesThemAndReusesTheCache)
{
    struct Picture {
        const char* name;
        int w, h;
        int tw, th;  // fitted size
        int left, top;  // place in the framed thumbnail
    };
    const Picture jpegs[] = {
        {"a1600.jpg", 1600, 1200, 88, 66, 0, 0}, {"b640.jpg", 640, 200, 88, 28, 0, 19},
        {"c300.jpg", 300, 200, 88, 59, 0, 3},    {"d100.jpg", 100, 50, 88, 45, 0, 10},
        {"e50.jpg", 50, 40, 50, 40, 19, 13},
    };
    for (const Picture& p : jpegs) {
        CLfImage img = lftest::GradientPicture(p.w, p.h);
        lftest::SavePicture(img, images / p.name, lfimg::kTypeJPG);
    }
    CLfImage png = lftest::GradientPicture(120, 90);
    lftest::SavePicture(png, images / "f.png", lfimg::kTypePNG);
    CLfImage gif = lftest::PalettePicture(40, 66);
    lftest::SavePicture(gif, images / "g.gif", lfimg::kTypeGIF);
    lftest::WriteText(images / "h-corrupt.jpg", std::string("\xFF\xD8\xFF\xE0 not really a JPEG at all", 30));
    for (const auto& entry : fs::directory_iterator(images.path()))
        lftest::SetFileTime(entry.path(), -100);

    CLfImage placeholderPicture(kPlaceholder.c_str(), lfimg::kTypeBMP);
    ASSERT_TRUE(placeholderPicture.IsValid()) << "the placeholder ships beside the programs";
    const thumbs::ThumbnailPair placeholder = thumbs::MakeThumbnails(&placeholderPicture);

    auto folder = ListFolder(images.path());
    ASSERT_EQ(folder->ImageCount(), 8u);
    RecordingSink sink;
    std::atomic<bool> running{false};
    {
        CImageThread pass(state, *folder, Settings(""), sink.Sink(), &running);
        pass.InitInstance();
        EXPECT_EQ(pass.DecodeCount(), 8);
        EXPECT_EQ(pass.CacheHitCount(), 0);
    }
    EXPECT_FALSE(running);
    EXPECT_TRUE(folder->m_bThumbsComplete);
    EXPECT_FALSE(folder->m_bThumbsNeeded);

    for (const Picture& p : jpegs) {
        const CImageItem* image = Find(*folder, p.name);
        SCOPED_TRACE(p.name);
        ASSERT_TRUE(image->HasThumbnail());
        EXPECT_EQ(image->m_nWidth, p.w);
        EXPECT_EQ(image->m_nHeight, p.h);
        EXPECT_EQ(image->m_nImageType, int(lfimg::kTypeJPG));
        EXPECT_TRUE(image->m_bThumbnailMade);
        const ThumbnailPixels& fitted = *image->GetThumbnail();
        const ThumbnailPixels& framed = *image->GetFramedThumbnail();
        ASSERT_EQ(fitted.width, p.tw);
        ASSERT_EQ(fitted.height, p.th);
        EXPECT_EQ(image->m_nThumbWidth, p.tw);
        EXPECT_EQ(image->m_nThumbHeight, p.th);
        ASSERT_EQ(framed.width, 88);
        ASSERT_EQ(framed.height, 66);
        // The picture's corners sit where the fit puts them, with frame around.
        EXPECT_EQ(PixelAt(framed, p.left, p.top), PixelAt(fitted, 0, 0));
        EXPECT_EQ(PixelAt(framed, p.left + p.tw - 1, p.top + p.th - 1), PixelAt(fitted, p.tw - 1, p.th - 1));
        if (p.top > 0) {
            EXPECT_EQ(PixelAt(framed, p.left, p.top - 1), BackgroundText());
        }
        if (p.left > 0) {
            EXPECT_EQ(PixelAt(framed, p.left - 1, p.top), BackgroundText());
        }
        // The left third of the gradient is red.
        EXPECT_GT(fitted.rgb[0], 180);
    }
    EXPECT_EQ(Find(*folder, "f.png")->GetThumbnail()->width, 88);
    EXPECT_EQ(Find(*folder, "f.png")->GetThumbnail()->height, 66);
    EXPECT_EQ(Find(*folder, "f.png")->m_nImageType, int(lfimg::kTypePNG));
    EXPECT_EQ(Find(*folder, "g.gif")->GetThumbnail()->width, 40);
    EXPECT_EQ(Find(*folder, "g.gif")->m_nHeight, 66);
    const CImageItem* corrupt = Find(*folder, "h-corrupt.jpg");
    EXPECT_EQ(corrupt->GetThumbnail()->rgb, placeholder.fitted->rgb);
    EXPECT_EQ(corrupt->GetFramedThumbnail()->rgb, placeholder.framed->rgb);
    EXPECT_EQ(corrupt->m_nWidth, placeholderPicture.GetWidth());
    EXPECT_EQ(corrupt->m_nImageType, int(lfimg::kTypeJPG));  // the type still follows the extension

    // One notice per image, each naming its folder, cell and record, with its pixels.
    ASSERT_EQ(sink.notices.size(), 8u);
    std::set<size_t> cells;
    for (const ThumbnailReady& n : sink.notices) {
        cells.insert(n.index);
        EXPECT_EQ(n.folder, folder.get());
        EXPECT_EQ(n.folderPath, images.str());
        ASSERT_LT(n.index, folder->ImageCount());
        EXPECT_EQ(n.image, folder->Image(n.index));
        EXPECT_EQ(n.fitted, folder->Image(n.index)->GetThumbnail());
        EXPECT_EQ(n.framed, folder->Image(n.index)->GetFramedThumbnail());
        EXPECT_EQ(n.width, folder->Image(n.index)->m_nWidth);
    }
    EXPECT_EQ(cells.size(), 8u);

    // The close writes one index block and a pair per image.
    {
        ThumbnailCache cache(root);
        cache.ReadCacheIndex();
        cache.WriteAtClose({folder.get()}, {});
    }
    const std::string index = lftest::ReadText(fs::path(root) / "qkcache.xml");
    EXPECT_EQ(index, "<XML><DIRECTORY><DISKPATH>" + images.str() + "</DISKPATH><MAPNAME>" + root +
                         "/dir-1</MAPNAME><FILECOUNT>8</FILECOUNT></DIRECTORY></XML>");
    ThumbnailCache cache(root);
    cache.ReadCacheIndex();
    const std::string cacheDir = cache.GetCacheDirName(images.str());
    ASSERT_EQ(cacheDir, root + "/dir-1");
    EXPECT_EQ(std::distance(fs::directory_iterator(cacheDir), fs::directory_iterator()), 16);

    // A second showing takes every thumbnail from the cache, with the same pixels.
    auto again = ListFolder(images.path());
    {
        CImageThread pass(state, *again, Settings(cacheDir), {});
        pass.InitInstance();
        EXPECT_EQ(pass.DecodeCount(), 0);
        EXPECT_EQ(pass.CacheHitCount(), 8);
    }
    for (size_t i = 0; i < again->ImageCount(); ++i) {
        SCOPED_TRACE(again->Image(i)->m_strName);
        EXPECT_EQ(again->Image(i)->GetThumbnail()->rgb, folder->Image(i)->GetThumbnail()->rgb);
        EXPECT_EQ(again->Image(i)->GetFramedThumbnail()->rgb, folder->Image(i)->GetFramedThumbnail()->rgb);
        EXPECT_EQ(again->Image(i)->m_nWidth, folder->Image(i)->m_nWidth);
        EXPECT_EQ(again->Image(i)->m_nHeight, folder->Image(i)->m_nHeight);
        EXPECT_TRUE(again->Image(i)->m_bThumbFromCache);
    }

    // An image written after its cache bitmap is decoded again, and only that one.
    lftest::SetFileTime(images / "c300.jpg", 100);
    auto third = ListFolder(images.path());
    CImageThread pass(state, *third, Settings(cacheDir), {});
    pass.InitInstance();
    EXPECT_EQ(pass.DecodeCount(), 1);
    EXPECT_EQ(pass.CacheHitCount(), 7);
    EXPECT_FALSE(Find(*third, "c300.jpg")->m_bThumbFromCache);
}

TEST_F(CImageThreadTest, StoppedPassKeepsWhatWasDoneAndTheNextPassSkipsIt)
{
    CLfImage picture = lftest::GradientPicture(64, 48);
    for (int i = 0; i < 30; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "img%02d.jpg", i);
        lftest::SavePicture(picture, images / name, lfimg::kTypeJPG);
    }
    auto folder = ListFolder(images.path());
    RecordingSink sink;
    CImageThread* current = nullptr;
    sink.onNotice = [&](size_t count) {
        if (count == 10)
            current->RequestStopFlag();
    };
    CImageThread first(state, *folder, Settings(""), sink.Sink());
    current = &first;
    first.InitInstance();

    std::vector<CImageItem::ThumbnailRef> done;
    for (const auto& image : folder->m_arrImages)
        if (image->HasThumbnail())
            done.push_back(image->GetThumbnail());
    EXPECT_EQ(done.size(), 10u);
    EXPECT_EQ(sink.notices.size(), 10u);
    EXPECT_FALSE(folder->m_bThumbsComplete);
    EXPECT_TRUE(folder->m_bThumbsNeeded);

    sink.onNotice = {};
    CImageThread second(state, *folder, Settings(""), sink.Sink());
    second.InitInstance();  // a new pass clears the stop flag it was left with
    EXPECT_EQ(second.DecodeCount(), 20);
    EXPECT_EQ(sink.notices.size(), 30u);
    EXPECT_TRUE(folder->m_bThumbsComplete);
    EXPECT_FALSE(folder->m_bThumbsNeeded);
    size_t kept = 0;
    for (const auto& image : folder->m_arrImages) {
        ASSERT_TRUE(image->HasThumbnail());
        kept += std::count(done.begin(), done.end(), image->GetThumbnail());
    }
    EXPECT_EQ(kept, 10u);
}

TEST_F(CImageThreadTest, StopEventEndsAPassRunOnItsOwnThreadAfterTheImageInHand)
{
    CLfImage picture = lftest::GradientPicture(320, 240);
    for (int i = 0; i < 24; ++i)
        lftest::SavePicture(picture, images / std::string("p").append(std::to_string(i)).append(".jpg"), lfimg::kTypeJPG);
    auto folder = ListFolder(images.path());
    RecordingSink sink;
    std::atomic<bool> running{false};
    auto thread = std::make_unique<CImageThread>(state, *folder, Settings(""), sink.Sink(), &running);
    CImageThread* pass = thread.get();
    sink.onNotice = [pass](size_t) { pass->RequestStop(false); };
    ASSERT_TRUE(state.m_threads.Start(std::move(thread)));
    pass->WaitUntilEnded();
    state.m_threads.StopAndWait(false);

    EXPECT_EQ(sink.notices.size(), 1u);
    const auto withThumbnail = std::count_if(folder->m_arrImages.begin(), folder->m_arrImages.end(),
                                             [](const auto& image) { return image->HasThumbnail(); });
    EXPECT_EQ(withThumbnail, 1);
    EXPECT_TRUE(folder->m_bThumbsNeeded);
    EXPECT_FALSE(running);
}

TEST_F(CImageThreadTest, RecordsThatHaveThumbnailsOrNoReadableTypeAreNotDecoded)
{
    CLfImage picture = lftest::GradientPicture(30, 20);
    lftest::SavePicture(picture, images / "a.jpg", lfimg::kTypeJPG);
    lftest::SavePicture(picture, images / "b.bmp", lfimg::kTypeBMP);
    lftest::WriteText(images / "c.xyz", "unknown");
    auto folder = ListFolder(images.path());
    const auto kept = std::make_shared<ThumbnailPixels>();
    folder->Image(0)->SetThumbnails(kept, kept);

    CImageThread pass(state, *folder, Settings("", 1), {});
    pass.InitInstance();
    EXPECT_EQ(pass.DecodeCount(), 1);  // b.bmp only
    EXPECT_EQ(folder->Image(0)->GetThumbnail(), kept);
    EXPECT_EQ(folder->Image(1)->GetThumbnail()->width, 30);
    EXPECT_FALSE(folder->Image(2)->HasThumbnail());
    EXPECT_TRUE(folder->m_bThumbsComplete);
}

TEST(CImageThreadCells, CellsExtensionsAndTypes)
{
    struct Cell {
        int k, columns;
        RECT rect;
    };
    const Cell cells[] = {
        {9, 7, {210, 124, 310, 238}}, {0, 5, {0, 5, 100, 119}}, {5, 5, {0, 124, 100, 238}}, {4, 5, {420, 5, 520, 119}},
    };
    for (const Cell& c : cells) {
        const RECT r = CImageThread::MakeCell(c.k, c.columns);
        EXPECT_EQ(r.left, c.rect.left) << c.k;
        EXPECT_EQ(r.top, c.rect.top) << c.k;
        EXPECT_EQ(r.right, c.rect.right) << c.k;
        EXPECT_EQ(r.bottom, c.rect.bottom) << c.k;
    }
    EXPECT_EQ(CImageThread::GetExtension("/a/b.c/photo.JPG"), "JPG");
    EXPECT_EQ(CImageThread::GetExtension("/a/b.tar.gz"), "gz");
    EXPECT_EQ(CImageThread::GetExtension("noext"), "");
    const std::pair<const char*, int> types[] = {{"bmp", 1}, {"jpg", 3}, {"jpeg", 3}, {"gif", 2}, {"png", 4},
                                                 {"ico", 5}, {"tiff", 6}, {"tif", 6},  {"tga", 7}, {"pcx", 8},
                                                 {"wbmp", 9}, {"", 0},   {"JPG", 3}, {"txt", 0}, {"wmf", 0}};
    for (const auto& [ext, type] : types)
        EXPECT_EQ(CImageThread::ThumbnailType(ext), type) << ext;
}

}  // namespace
