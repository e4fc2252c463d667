#include "batch/model/CFindThread.h"

#include "batch/model/FindTerms.h"
#include "manager/model/CThreadList.h"
#include "tests/manager/ThumbTestSupport.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>

namespace fs = std::filesystem;

namespace {

const std::string kPlaceholder = std::string(LF_BIN_DIR) + "/bitmap8.bmp";

CFindThread::Request Ask(const std::string& root, bool subfolders, const std::string& pattern)
{
    CFindThread::Request request;
    request.root = root;
    request.includeSubfolders = subfolders;
    request.terms = batch::BuildNameTerms(pattern);
    request.placeholderPath = kPlaceholder;
    return request;
}

// What reached the user-interface side, in order.
struct Results {
    std::mutex mutex;
    std::vector<std::unique_ptr<CImageItem>> records;
    std::function<void(size_t)> onRecord;
    CFindThread::Summary summary;
    int doneCalls = 0;

    std::vector<std::string> Paths()
    {
        std::lock_guard lock(mutex);
        std::vector<std::string> paths;
        for (const auto& r : records)
            paths.push_back(r->m_strPath);
        return paths;
    }
};

// A tree of pictures: nested folders, both letter cases of the extension, a picture no
// codec reads, a file of another kind and a link back up the tree.
class FindThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "a" / "deep");
        fs::create_directories(dir / "b");
        Save(dir / "top.jpg", 40, 30);
        Save(dir / "a" / "cat1.JPG", 60, 20);
        Save(dir / "a" / "deep" / "cat2.jpg", 30, 60);
        Save(dir / "b" / "dog.png", 20, 20);
        lftest::WriteText(dir / "b" / "broken.jpg", "not a picture");
        lftest::WriteText(dir / "b" / "notes.txt", "text");
        fs::create_directory_symlink(dir.path(), dir / "a" / "loop");
    }
    void Save(const fs::path& path, int width, int height)
    {
        CLfImage picture = lftest::GradientPicture(width, height);
        lftest::SavePicture(picture, path, path.extension() == ".png" ? lfimg::kTypePNG : lfimg::kTypeJPG);
    }

    // Runs a search to its end as a loader thread of threads.
    void Search(CFindThread::Request request, std::shared_ptr<std::atomic<bool>> stop = nullptr)
    {
        auto thread = std::make_unique<CFindThread>(
            std::move(request), &mutexB, std::move(stop),
            [this](std::unique_ptr<CImageItem> record) {
                size_t count = 0;
                {
                    std::lock_guard lock(results.mutex);
                    results.records.push_back(std::move(record));
                    count = results.records.size();
                }
                if (results.onRecord)
                    results.onRecord(count);
            },
            [this](const CFindThread::Summary& summary) {
                std::lock_guard lock(results.mutex);
                results.summary = summary;
                ++results.doneCalls;
            });
        CMainThread* started = threads.Start(std::move(thread));
        ASSERT_TRUE(started);
        started->WaitUntilEnded();
        threads.StopAndWait(false);
    }

    std::string P(const std::string& relative) const { return (dir / relative).string(); }

    lftest::TempDir dir;
    std::recursive_timed_mutex mutexB;
    CThreadList threads;
    Results results;
};

}  // namespace

TEST_F(FindThreadTest, WalksSubfoldersFirstOnceEachAndMakesRecords)
{
    Search(Ask(dir.str(), true, ""));
    EXPECT_EQ(results.Paths(), (std::vector<std::string>{P("a/deep/cat2.jpg"), P("a/cat1.JPG"), P("b/broken.jpg"),
                                                          P("b/dog.png"), P("top.jpg")}))
        << "a folder's subfolders before its own files; the link back to the top is not walked again";
    EXPECT_EQ(results.doneCalls, 1);
    EXPECT_EQ(results.summary.found, 5);
    EXPECT_FALSE(results.summary.stopped);
    EXPECT_FALSE(results.summary.listingFailed);

    std::lock_guard lock(results.mutex);
    const CImageItem& cat1 = *results.records[1];
    EXPECT_EQ(cat1.m_strName, P("a/cat1.JPG"));
    EXPECT_EQ(cat1.m_nWidth, 60);
    EXPECT_EQ(cat1.m_nHeight, 20);
    EXPECT_EQ(cat1.m_nSize, int64_t(fs::file_size(dir / "a" / "cat1.JPG")));
    EXPECT_EQ(cat1.m_nImageType, int(lfimg::kTypeJPG));
    EXPECT_GT(cat1.m_tLastWrite, 0);
    ASSERT_TRUE(cat1.GetThumbnail());
    EXPECT_EQ(cat1.m_nThumbWidth, 60) << "never enlarged";
    EXPECT_EQ(cat1.m_nThumbHeight, 20);
    ASSERT_TRUE(cat1.GetFramedThumbnail());
    EXPECT_EQ(cat1.GetFramedThumbnail()->width, 88);

    // The undecodable picture is listed with the placeholder's thumbnails and no pixel size.
    const CImageItem& broken = *results.records[2];
    EXPECT_EQ(broken.m_nWidth, 0);
    EXPECT_EQ(broken.m_nSize, 13);
    ASSERT_TRUE(broken.GetThumbnail());
    EXPECT_GT(broken.GetThumbnail()->width, 0) << "the placeholder picture";
}

TEST_F(FindThreadTest, TermsPickNamesInAnyCaseAndOnceForEachMatchingTerm)
{
    Search(Ask(dir.str(), true, "cat"));
    EXPECT_EQ(results.Paths(), (std::vector<std::string>{P("a/deep/cat2.jpg"), P("a/cat1.JPG")}));

    results.records.clear();
    Search(Ask(dir.str(), true, "cat*.jpg cat1.jpg"));
    EXPECT_EQ(results.Paths(), (std::vector<std::string>{P("a/deep/cat2.jpg"), P("a/cat1.JPG"), P("a/cat1.JPG")}));

    results.records.clear();
    Search(Ask(P("a"), false, ""));
    EXPECT_EQ(results.Paths(), (std::vector<std::string>{P("a/cat1.JPG")})) << "without subfolders";
}

TEST_F(FindThreadTest, SkippedFoldersAreNotEntered)
{
    CFindThread::Request request = Ask(dir.str(), true, "");
    request.skipFolders = {P("a"), P("b")};
    Search(request);
    EXPECT_EQ(results.Paths(), (std::vector<std::string>{P("top.jpg")}));
}

TEST_F(FindThreadTest, StopEndsTheWalkWithinOneImage)
{
    auto stop = std::make_shared<std::atomic<bool>>(false);
    results.onRecord = [stop](size_t count) {
        if (count == 1)
            *stop = true;
    };
    Search(Ask(dir.str(), true, ""), stop);
    EXPECT_EQ(results.Paths(), (std::vector<std::string>{P("a/deep/cat2.jpg")}));
    EXPECT_TRUE(results.summary.stopped);
    EXPECT_EQ(results.doneCalls, 1) << "a stopped search still ends";
}

TEST_F(FindThreadTest, AMissingRootEndsTheSearch)
{
    Search(Ask(P("nowhere"), true, ""));
    EXPECT_TRUE(results.Paths().empty());
    EXPECT_EQ(results.doneCalls, 1);
    EXPECT_TRUE(results.summary.listingFailed);
}

TEST_F(FindThreadTest, TheManagersStopRequestsStopItToo)
{
    // The stop flag the manager sets on its loaders before a folder loads.
    results.onRecord = [this](size_t count) {
        if (count == 1)
            threads.RequestStop(true);
    };
    Search(Ask(dir.str(), true, ""));
    EXPECT_EQ(results.Paths().size(), 1u);
    EXPECT_TRUE(results.summary.stopped);
}
