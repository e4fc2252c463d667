#include "ThumbTestSupport.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CImageShow.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/ManagerModes.h"
#include "manager/model/ThumbnailMaker.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>

namespace {

namespace fs = std::filesystem;

const std::string kPlaceholder = std::string(LF_BIN_DIR) + "/bitmap8.bmp";

// Batches as the user-interface side would receive them.
struct Received {
    std::mutex lock;
    std::vector<CImageShow::Batch> batches;
    std::function<void()> onBatch;
    CImageShow::Sink Sink()
    {
        return [this](CImageShow::Batch batch) {
            {
                std::lock_guard guard(lock);
                batches.push_back(std::move(batch));
            }
            if (onBatch)
                onBatch();
        };
    }
    std::vector<const ListRowItem*> Rows()
    {
        std::vector<const ListRowItem*> rows;
        for (const auto& batch : batches)
            for (const auto& row : batch.rows)
                rows.push_back(row.get());
        return rows;
    }
    std::string Names()
    {
        std::string names;
        for (const ListRowItem* row : Rows())
            names += row->name + " ";
        return names;
    }
};

class ListFillTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "x");
        const int widths[] = {40, 120, 90};
        const char* names[] = {"a.jpg", "b.jpg", "c.jpg"};
        for (int i = 0; i < 3; ++i) {
            CLfImage picture = lftest::GradientPicture(widths[i], 60);
            lftest::SavePicture(picture, dir / names[i], 3);
        }
        lftest::WriteText(dir / "readme.txt", "read me");
        folder = std::make_unique<CFolderItem>("f", dir.str(), 0);
        folder->m_arrSubfolders = {"..", "x"};
        folder->m_arrOtherFiles = {"readme.txt"};
        for (const char* name : names) {
            const fs::path path = dir / name;
            folder->AddImage(std::make_unique<CImageItem>(name, path.string(), int64_t(fs::file_size(path)), 0, 0));
        }
    }

    CImageShow::Settings Settings(int mode)
    {
        CImageShow::Settings settings;
        settings.viewMode = mode;
        settings.placeholderPath = kPlaceholder;
        settings.fill = 7;
        return settings;
    }

    double ImagesKB() const
    {
        double kb = 0;
        for (const auto& image : folder->m_arrImages)
            kb += double(image->m_nSize) / 1024.0;
        return kb;
    }

    lftest::TempDir dir;
    CQuorixState state{(dir / "settings.ini").string()};
    std::unique_ptr<CFolderItem> folder;
    Received received;
};

TEST_F(ListFillTest, DetailsListsFoldersImagesAndOtherFilesWithTotals)
{
    folder->Image(1)->m_bSelected = true;
    state.AddToTotals(99, 5.0);  // a previous fill's totals
    CImageShow fill(state, *folder, Settings(kViewDetailsAndFolders), received.Sink());
    EXPECT_FALSE(fill.InitInstance());

    EXPECT_EQ(received.Names(), ".. x a.jpg b.jpg c.jpg readme.txt ");
    const auto rows = received.Rows();
    ASSERT_EQ(rows.size(), 6u);
    using Kind = ListRowItem::Kind;
    const Kind kinds[] = {Kind::ParentFolder, Kind::Folder, Kind::Image, Kind::Image, Kind::Image, Kind::OtherFile};
    const double sizes[] = {0.0, 0.0, folder->Image(0)->m_nSize / 1024.0, folder->Image(1)->m_nSize / 1024.0,
                            folder->Image(2)->m_nSize / 1024.0, 1.0};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i]->kind, kinds[i]) << i;
        EXPECT_DOUBLE_EQ(rows[i]->sizeKB, sizes[i]) << i;
        EXPECT_GT(rows[i]->lastWrite, 0) << i;
        EXPECT_FALSE(rows[i]->thumbnail) << "the details list shows file icons";
    }
    EXPECT_EQ(rows[3]->image, folder->Image(1));
    EXPECT_TRUE(rows[3]->selected);
    EXPECT_FALSE(rows[2]->selected);
    EXPECT_TRUE(received.batches.back().last);
    for (const auto& batch : received.batches)
        EXPECT_EQ(batch.fill, 7u);

    // The status bar's "Image Files": the folders' rows and the other file are not counted.
    const auto [files, kb] = state.GetTotals();
    EXPECT_EQ(files, 3);
    EXPECT_NEAR(kb, ImagesKB(), 1e-9);
}

TEST_F(ListFillTest, DetailsWithoutOtherFilesListsImagesOnly)
{
    CImageShow::Settings settings = Settings(kViewDetailsAndFolders);
    settings.showOtherFiles = false;
    CImageShow fill(state, *folder, settings, received.Sink());
    fill.InitInstance();
    EXPECT_EQ(received.Names(), "a.jpg b.jpg c.jpg ");
}

TEST_F(ListFillTest, VanishedEntriesGetNoRow)
{
    fs::remove(dir / "b.jpg");
    fs::remove(dir / "readme.txt");
    fs::remove(dir / "x");
    CImageShow fill(state, *folder, Settings(kViewDetailsAndFolders), received.Sink());
    fill.InitInstance();
    EXPECT_EQ(received.Names(), ".. a.jpg c.jpg ");
    EXPECT_EQ(state.GetTotals().first, 2);
}

TEST_F(ListFillTest, ThumbnailListMakesFramedThumbnailsIntoTheRecords)
{
    lftest::WriteText(dir / "broken.jpg", "not a jpeg at all");
    folder->AddImage(std::make_unique<CImageItem>("broken.jpg", (dir / "broken.jpg").string(), 17, 0, 0));
    CImageShow fill(state, *folder, Settings(kViewThumbnailsAndDetails), received.Sink());
    fill.InitInstance();

    EXPECT_EQ(received.Names(), "a.jpg b.jpg c.jpg broken.jpg ") << "no folders or other files in this mode";
    const auto rows = received.Rows();
    ASSERT_EQ(rows.size(), 4u);
    for (const ListRowItem* row : rows) {
        ASSERT_TRUE(row->thumbnail) << row->name;
        EXPECT_EQ(row->thumbnail->width, thumbs::kThumbWidth) << row->name;
        EXPECT_EQ(row->thumbnail->height, thumbs::kThumbHeight) << row->name;
    }
    // A 40 x 60 picture stands in the middle of its frame: the frame shows at the left.
    EXPECT_EQ(lftest::PixelAt(*rows[0]->thumbnail, 2, 30), lftest::BackgroundText());
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(folder->Image(i)->HasThumbnail()) << "the grid and the cache get them too";
        EXPECT_EQ(folder->Image(i)->GetFramedThumbnail(), rows[i]->thumbnail);
    }
    EXPECT_EQ(folder->Image(1)->m_nWidth, 120);
    EXPECT_NE(lftest::PixelAt(*rows[3]->thumbnail, 44, 33), lftest::BackgroundText()) << "the placeholder picture";
}

TEST_F(ListFillTest, StopInThumbnailListEndsWithinOneImage)
{
    CImageShow::Settings settings = Settings(kViewThumbnailsAndDetails);
    settings.firstBatchRows = 1;
    CImageShow fill(state, *folder, settings, received.Sink());
    // The user switches away as soon as the first row shows.
    received.onBatch = [&] { fill.RequestStopFlag(); };
    fill.InitInstance();
    EXPECT_EQ(received.Names(), "a.jpg ");
    EXPECT_TRUE(received.batches.back().last) << "a stopped fill still says it ended";
    EXPECT_FALSE(folder->Image(1)->HasThumbnail()) << "nothing decoded after the stop";
    EXPECT_FALSE(folder->m_bThumbsComplete);
}

TEST_F(ListFillTest, ThumbnailsModeFillsNothingButResetsTotals)
{
    state.AddToTotals(4, 2.0);
    CImageShow fill(state, *folder, Settings(kViewThumbnails), received.Sink());
    fill.InitInstance();
    EXPECT_EQ(received.Rows().size(), 0u);
    ASSERT_EQ(received.batches.size(), 1u);
    EXPECT_TRUE(received.batches[0].last);
    EXPECT_EQ(state.GetTotals().first, 0);
}

TEST_F(ListFillTest, RowsArriveInBatchesInOrder)
{
    for (int i = 0; i < 20; ++i) {
        std::string name = "o";  // appended: GCC 12 misreads the concatenation in Release
        name += std::to_string(100 + i);
        name += ".txt";
        lftest::WriteText(dir / name, "x");
        folder->m_arrOtherFiles.push_back(name);
    }
    CImageShow::Settings settings = Settings(kViewDetailsAndFolders);
    settings.firstBatchRows = 3;
    settings.batchRows = 5;
    CImageShow fill(state, *folder, settings, received.Sink());
    fill.InitInstance();
    ASSERT_EQ(received.Rows().size(), 26u);
    EXPECT_LE(received.batches[0].rows.size(), 3u) << "the first screen goes early";
    for (const auto& batch : received.batches)
        EXPECT_LE(batch.rows.size(), 5u);
    EXPECT_EQ(received.Rows()[25]->name, "o119.txt");
}

TEST_F(ListFillTest, RunsAsALoaderThread)
{
    Received* sink = &received;
    auto fill = std::make_unique<CImageShow>(state, *folder, Settings(kViewThumbnailsAndDetails), sink->Sink());
    CMainThread* running = state.m_threads.Start(std::move(fill));
    ASSERT_NE(running, nullptr);
    ASSERT_TRUE(running->Ended(std::chrono::seconds(60)));
    state.m_threads.StopAndWait(true);
    std::lock_guard guard(received.lock);
    EXPECT_EQ(received.Names(), "a.jpg b.jpg c.jpg ");
    EXPECT_TRUE(folder->m_bThumbsComplete);
}

}  // namespace
