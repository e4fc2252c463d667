#include "batch/model/BatchResizeJob.h"

#include "image/CLfImage.h"
#include "tests/batch/FileFixtures.h"
#include "tests/manager/ThumbTestSupport.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

using namespace batch;
namespace fs = std::filesystem;

namespace {

struct Message {
    std::string text;
    MessageKind kind;
};

class Messages {
public:
    MessageSink Sink()
    {
        return [this](const std::string& text, MessageKind kind) {
            std::lock_guard lock(m_mutex);
            m_list.push_back({text, kind});
        };
    }
    std::vector<Message> List()
    {
        std::lock_guard lock(m_mutex);
        return m_list;
    }

private:
    std::mutex m_mutex;
    std::vector<Message> m_list;
};

ResizeItem Item(const fs::path& path, int width, int height)
{
    return {path.string(), path.filename().string(), width, height, true};
}

void MakeJpeg(const fs::path& path, int width, int height)
{
    CLfImage picture = lftest::GradientPicture(width, height);
    lftest::SavePicture(picture, path, lfimg::kTypeJPG);
}

}  // namespace

TEST(BatchResize, NewSizeTruncatesTowardZero)
{
    struct Case {
        int mode, percentage, width, height;
        int w, h;
        NewSize expected;
    };
    const Case cases[] = {
        {kResizePercentage, 50, 0, 0, 1001, 667, {500, 333}},
        {kResizeWidth, 0, 800, 0, 1600, 1200, {800, 600}},
        {kResizeHeight, 0, 0, 600, 1200, 1600, {450, 600}},
        {kResizeWidth, 0, 800, 0, 3, 1000, {800, 266666}},
        {kResizePercentage, 0, 0, 0, 640, 480, {0, 0}},
    };
    for (const Case& c : cases) {
        ResizeSettings s;
        s.mode = c.mode;
        s.percentage = c.percentage;
        s.width = c.width;
        s.height = c.height;
        const NewSize got = ComputeNewSize(s, c.w, c.h);
        EXPECT_EQ(got.width, c.expected.width) << c.w << "x" << c.h << " mode " << c.mode;
        EXPECT_EQ(got.height, c.expected.height) << c.w << "x" << c.h << " mode " << c.mode;
    }
}

TEST(BatchResize, TwentyJpegsByWidthIntoAFolderOnSeveralThreads)
{
    lftest::TempDir dir;
    const fs::path out = dir / "out";
    fs::create_directory(out);
    std::vector<ResizeItem> items;
    for (int i = 0; i < 20; ++i) {
        const int width = 1000 + 40 * i;
        const int height = 600 + 25 * i;
        const fs::path path = dir / ("p" + std::to_string(i) + ".jpg");
        MakeJpeg(path, width, height);
        // Two records the manager has not measured yet: the picture gives their size.
        const bool measured = i != 3 && i != 11;
        items.push_back(Item(path, measured ? width : 0, measured ? height : 0));
    }
    ResizeSettings settings;
    settings.mode = kResizeWidth;
    settings.width = 800;
    settings.quality = 7;
    settings.outputFolder = out.string();
    Messages messages;
    std::atomic<bool> cancel{false};
    std::atomic<int> lastProgress{0};
    const ResizeResult result = BatchResizeJob(items, settings, messages.Sink())
                                    .Run(cancel, 4, [&](int done) { lastProgress = std::max(lastProgress.load(), done); });
    EXPECT_TRUE(result.Complete());
    EXPECT_EQ(result.saved, 20);
    EXPECT_EQ(lastProgress, 20);
    EXPECT_TRUE(messages.List().empty());
    for (int i = 0; i < 20; ++i) {
        CLfImage resized((out / ("p" + std::to_string(i) + ".jpg")).c_str(), lfimg::kTypeJPG);
        ASSERT_TRUE(resized.IsValid()) << i;
        EXPECT_EQ(resized.GetWidth(), 800) << i;
        EXPECT_EQ(resized.GetHeight(), (600 + 25 * i) * 800 / (1000 + 40 * i)) << i;
    }
}

TEST(BatchResize, QualityTenthsApplyToJpegOnly)
{
    // An unmeasured record is decoded whole, so the expected bytes can be made the same way.
    lftest::TempDir dir;
    MakeJpeg(dir / "a.jpg", 300, 200);
    const fs::path out = dir / "out";
    fs::create_directory(out);
    ResizeSettings settings;
    settings.mode = kResizePercentage;
    settings.percentage = 50;
    settings.outputFolder = out.string();
    for (int quality : {7, 10}) {
        settings.quality = quality;
        std::atomic<bool> cancel{false};
        ASSERT_TRUE(BatchResizeJob({Item(dir / "a.jpg", 0, 0)}, settings, {}).Run(cancel, 1).Complete());

        CLfImage expected((dir / "a.jpg").c_str(), lfimg::kTypeJPG);
        ASSERT_TRUE(expected.Resample(150, 100, 3));
        if (quality < 10)
            expected.info.quality = uint8_t(quality * 10);
        uint8_t* bytes = nullptr;
        int64_t size = 0;
        ASSERT_TRUE(expected.Encode(bytes, size, lfimg::kTypeJPG));
        const std::vector<uint8_t> want(bytes, bytes + size);
        std::free(bytes);
        EXPECT_EQ(lftest::ReadBytes(out / "a.jpg"), want) << "quality " << quality;
    }
}

TEST(BatchResize, FailuresAreReportedAndNeverDamageTheOriginal)
{
    lftest::TempDir dir;
    MakeJpeg(dir / "a.jpg", 640, 480);
    lftest::WriteText(dir / "broken.jpg", "not a picture");
    const auto original = lftest::ReadBytes(dir / "a.jpg");
    ResizeSettings settings;
    settings.replace = true;
    settings.mode = kResizePercentage;
    settings.percentage = 99;
    Messages messages;
    std::atomic<bool> cancel{false};
    ResizeResult result;
    {
        lftest::ScopedFileSizeLimit limit(1000);  // the new picture cannot be written whole
        result = BatchResizeJob({Item(dir / "a.jpg", 640, 480), Item(dir / "broken.jpg", 0, 0),
                                 Item(dir / "missing.jpg", 10, 10)},
                                settings, messages.Sink())
                     .Run(cancel, 1);
    }
    EXPECT_FALSE(result.Complete());
    EXPECT_EQ(result.failed, 3);
    EXPECT_EQ(lftest::ReadBytes(dir / "a.jpg"), original);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.jpg", "broken.jpg"})) << "no temporary file stays";
    const auto list = messages.List();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].text.rfind("Resize failed to as new file.\n' " + (dir / "a.jpg").string() + " '", 0), 0u)
        << list[0].text;
    EXPECT_EQ(list[0].kind, MessageKind::Plain);
    EXPECT_NE(list[1].text.find("broken.jpg"), std::string::npos);
    EXPECT_EQ(list[2].text, "' " + (dir / "missing.jpg").string() + " '\n Was not found, it has been Removed Or Renamed.");
}

TEST(BatchResize, SidesAboveTheLimitAreReportedAndNeverWritten)
{
    lftest::TempDir dir;
    MakeJpeg(dir / "wide.jpg", 64, 16);
    MakeJpeg(dir / "tiny.jpg", 1, 1);
    const auto original = lftest::ReadBytes(dir / "wide.jpg");
    const fs::path out = dir / "out";
    fs::create_directory(out);
    ResizeSettings settings;
    settings.mode = kResizeHeight;
    settings.height = 1024;  // 64 x 16 would become 4096 x 1024
    settings.outputFolder = out.string();
    std::atomic<bool> cancel{false};
    // Measured or read from the picture, into a folder or over the original: not written.
    for (const bool replace : {false, true}) {
        for (const int measured : {1, 0}) {
            settings.replace = replace;
            Messages messages;
            const ResizeResult result =
                BatchResizeJob({Item(dir / "wide.jpg", 64 * measured, 16 * measured)}, settings, messages.Sink())
                    .Run(cancel, 1);
            const std::string which = "replace " + std::to_string(replace) + " measured " + std::to_string(measured);
            EXPECT_FALSE(result.Complete()) << which;
            EXPECT_EQ(result.failed, 1) << which;
            ASSERT_EQ(messages.List().size(), 1u) << which;
            const std::string text = messages.List()[0].text;
            EXPECT_EQ(text.rfind("Unable to allocate memory for Resize Process", 0), 0u) << text;
            EXPECT_NE(text.find("4096 X 1024 is larger than 4095 pixels"), std::string::npos) << text;
            EXPECT_NE(text.find((dir / "wide.jpg").string()), std::string::npos) << text;
            EXPECT_EQ(messages.List()[0].kind, MessageKind::Error);
            EXPECT_FALSE(fs::exists(out / "wide.jpg")) << which;
            EXPECT_EQ(lftest::ReadBytes(dir / "wide.jpg"), original) << which;
        }
    }

    settings.replace = false;
    settings.height = 1023;  // exactly 4092 wide: resampled
    ResizeResult result = BatchResizeJob({Item(dir / "wide.jpg", 64, 16)}, settings, {}).Run(cancel, 1);
    EXPECT_TRUE(result.Complete());
    CLfImage scaled((out / "wide.jpg").c_str(), lfimg::kTypeJPG);
    EXPECT_EQ(scaled.GetWidth(), 4092);

    settings.mode = kResizePercentage;
    settings.percentage = 50;  // 1 x 1 becomes 0 x 0
    result = BatchResizeJob({Item(dir / "tiny.jpg", 1, 1)}, settings, {}).Run(cancel, 1);
    EXPECT_FALSE(result.Complete()) << "nothing to save is a failure, not a success";
    EXPECT_FALSE(fs::exists(out / "tiny.jpg"));
}

TEST(BatchResize, AnOriginalIsReplacedOnlyWhenTheUserChoseIt)
{
    lftest::TempDir dir;
    MakeJpeg(dir / "a.jpg", 200, 100);
    const auto original = lftest::ReadBytes(dir / "a.jpg");
    ResizeSettings settings;
    settings.percentage = 50;
    std::atomic<bool> cancel{false};
    // The pictures' own folder as the output folder, named directly and through "..".
    for (const fs::path& folder : {dir.path(), dir.path() / "sub" / ".."}) {
        fs::create_directories(dir / "sub");
        settings.outputFolder = folder.string();
        const std::vector<ResizeItem> items{Item(dir / "a.jpg", 200, 100)};
        EXPECT_TRUE(WritesIntoSourceFolder(items, settings)) << folder;
        Messages messages;
        const ResizeResult result = BatchResizeJob(items, settings, messages.Sink()).Run(cancel, 1);
        EXPECT_EQ(result.failed, 1) << folder;
        ASSERT_EQ(messages.List().size(), 1u);
        EXPECT_NE(messages.List()[0].text.find("the output folder is its own folder"), std::string::npos);
        EXPECT_EQ(lftest::ReadBytes(dir / "a.jpg"), original) << folder;
    }
    std::vector<ResizeItem> unticked{Item(dir / "a.jpg", 200, 100)};
    unticked[0].ticked = false;
    EXPECT_FALSE(WritesIntoSourceFolder(unticked, settings));
    EXPECT_NE(ReplaceOriginalsQuestion("/p").find("/p"), std::string::npos);

    // Agreed to: the original is replaced by its resized picture.
    settings.outputFolder = dir.path().string();
    settings.replaceInOutputFolder = true;
    ASSERT_TRUE(BatchResizeJob({Item(dir / "a.jpg", 200, 100)}, settings, {}).Run(cancel, 1).Complete());
    CLfImage resized((dir / "a.jpg").c_str(), lfimg::kTypeJPG);
    EXPECT_EQ(resized.GetWidth(), 100);
}

TEST(BatchResize, ReadOnlyFilesAreNeverReplacedAndAreReported)
{
    lftest::TempDir dir;
    const fs::path out = dir / "out";
    fs::create_directory(out);
    MakeJpeg(dir / "a.jpg", 200, 100);
    MakeJpeg(out / "a.jpg", 30, 30);  // a protected picture of that name in the output folder
    lftest::MakeReadOnly(dir / "a.jpg");
    lftest::MakeReadOnly(out / "a.jpg");
    const auto original = lftest::ReadBytes(dir / "a.jpg");
    const auto inOutput = lftest::ReadBytes(out / "a.jpg");
    std::atomic<bool> cancel{false};
    for (const bool replace : {true, false}) {
        ResizeSettings settings;
        settings.replace = replace;
        settings.outputFolder = out.string();
        Messages messages;
        const ResizeResult result =
            BatchResizeJob({Item(dir / "a.jpg", 200, 100)}, settings, messages.Sink()).Run(cancel, 1);
        EXPECT_EQ(result.failed, 1) << "replace " << replace;
        ASSERT_EQ(messages.List().size(), 1u);
        const fs::path target = replace ? dir / "a.jpg" : out / "a.jpg";
        EXPECT_EQ(messages.List()[0].text, "' " + target.string() + " '\n is read-only and was not replaced.");
    }
    EXPECT_EQ(lftest::ReadBytes(dir / "a.jpg"), original);
    EXPECT_EQ(lftest::ReadBytes(out / "a.jpg"), inOutput);
    EXPECT_EQ(lftest::Listing(dir.path()), (std::vector<std::string>{"a.jpg", "out"})) << "no temporary file stays";
}

TEST(BatchResize, ARelativeOutputFolderIsRefused)
{
    lftest::TempDir dir;
    MakeJpeg(dir / "a.jpg", 200, 100);
    for (const char* folder : {"out", "./out", "", "~/out"}) {
        ResizeSettings settings;
        settings.outputFolder = folder;
        EXPECT_FALSE(CheckOutputFolder(settings).empty()) << folder;
        Messages messages;
        std::atomic<bool> cancel{false};
        EXPECT_EQ(BatchResizeJob({Item(dir / "a.jpg", 200, 100)}, settings, messages.Sink()).Run(cancel, 1).failed, 1);
        EXPECT_EQ(messages.List().size(), 1u);
    }
    ResizeSettings inPlace;
    inPlace.replace = true;
    EXPECT_TRUE(CheckOutputFolder(inPlace).empty()) << "replacing needs no output folder";
}

TEST(BatchResize, CancelAfterTheFifthImageStopsBeforeTheSixth)
{
    lftest::TempDir dir;
    const fs::path out = dir / "out";
    fs::create_directory(out);
    std::vector<ResizeItem> items;
    for (int i = 0; i < 10; ++i) {
        MakeJpeg(dir / ("p" + std::to_string(i) + ".jpg"), 80, 60);
        items.push_back(Item(dir / ("p" + std::to_string(i) + ".jpg"), 80, 60));
    }
    items[2].ticked = false;  // unticked rows are passed over
    ResizeSettings settings;
    settings.outputFolder = out.string();
    std::atomic<bool> cancel{false};
    const ResizeResult result = BatchResizeJob(items, settings, {}).Run(cancel, 1, [&](int done) {
        if (done == 5)
            cancel = true;
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.Complete());
    EXPECT_EQ(result.saved, 5);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(fs::exists(out / ("p" + std::to_string(i) + ".jpg")), i != 2 && i < 6) << i;
}
