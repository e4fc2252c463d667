// The editor's preload worker on real files, run again under ThreadSanitizer.
#include "editor/model/CImageThread.h"

#include "editor/model/CImageFolderList.h"
#include "editor/model/CPixoroDocModel.h"
#include "editor/model/CPixoroState.h"
#include "image/CLfImage.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class CImageThreadTest : public ::testing::Test {
protected:
    CImageThreadTest()
    {
        for (int i = 0; i < 6; ++i)
            Write(std::string("p").append(std::to_string(i)).append(".png"), 8 + i, 6);
        std::ofstream((dir / "broken.jpg").string()) << "not a picture";
        Write("placeholder.bmp", 3, 2, lfimg::kTypeBMP);
        list.Reload((dir / "p0.png").string());
    }
    void Write(const std::string& name, int w, int h, uint32_t type = lfimg::kTypePNG)
    {
        ASSERT_TRUE(lftest::MakePicture(w, h, 24)->Save((dir / name).string().c_str(), type));
    }
    std::string Placeholder() const { return (dir / "placeholder.bmp").string(); }

    lftest::TempDir dir;
    CImageFolderList list;
    pixoro::PreloadState state;
};

TEST_F(CImageThreadTest, APassLoadsEveryEntryAndTheBrokenOneGetsThePlaceholder)
{
    ASSERT_EQ(list.Count(), 8);  // six pictures, the broken file and the placeholder
    pixoro::CImageThread thread(list, state, Placeholder());
    ASSERT_TRUE(thread.Start());
    EXPECT_FALSE(thread.Start());
    thread.Join();
    EXPECT_TRUE(thread.Finished());
    EXPECT_TRUE(state.done);
    EXPECT_FALSE(state.stopped);
    EXPECT_FALSE(state.preloading);
    std::lock_guard lock(list.PreloadMutex());
    for (int i = 0; i < list.Count(); ++i) {
        const CImageFileEntry& e = list.Files()[size_t(i)];
        ASSERT_NE(e.m_pImage, nullptr) << e.m_strPath;
        EXPECT_TRUE(e.m_bQueued);
        const uint32_t type = e.m_strPath.ends_with(".png")   ? uint32_t(lfimg::kTypePNG)
                              : e.m_strPath.ends_with(".bmp") ? uint32_t(lfimg::kTypeBMP)
                                                              : uint32_t(lfimg::kTypeJPG);
        CLfImage expected(e.m_strPath.c_str(), type);
        if (!expected.IsValid())
            expected.Load(Placeholder().c_str(), lfimg::kTypeBMP);
        EXPECT_EQ(e.m_pImage->GetWidth(), expected.GetWidth()) << e.m_strPath;
    }
}

TEST_F(CImageThreadTest, WithoutAPlaceholderABrokenFilesSlotStaysEmpty)
{
    pixoro::CImageThread thread(list, state, "");
    thread.Run();
    std::lock_guard lock(list.PreloadMutex());
    EXPECT_EQ(list.Files()[0].m_pImage, nullptr);  // broken.jpg sorts first
    EXPECT_NE(list.Files()[1].m_pImage, nullptr);
}

TEST_F(CImageThreadTest, AStopBeforeTheStartLoadsNothingAndMarksTheEarlyEnd)
{
    pixoro::CImageThread thread(list, state, Placeholder());
    thread.Stop();
    thread.Run();
    EXPECT_FALSE(state.done);
    EXPECT_TRUE(state.stopped);
    for (const CImageFileEntry& e : list.Files())
        EXPECT_EQ(e.m_pImage, nullptr);
}

TEST_F(CImageThreadTest, TheDocumentStopsAndJoinsTheWorkerBeforeItsListChanges)
{
    lftest::ScriptedPrompts prompts;
    CPixoroState settings((dir / "settings.ini").string());
    for (int round = 0; round < 3; ++round) {
        CPixoroDocModel doc(settings, prompts);
        ASSERT_TRUE(doc.OpenDocument((dir / "p1.png").string()));
        ASSERT_TRUE(doc.StartPreload(Placeholder()));
        EXPECT_FALSE(doc.StartPreload(Placeholder()));
        // Stepping rebuilds the list while the worker may still run; closing frees it;
        // the third round lets the destructor do it.
        if (round == 0) {
            EXPECT_TRUE(doc.LoadFromList((dir / "p2.png").string()));
        } else if (round == 1) {
            doc.CloseDocument();
        }
    }
}

TEST(CImageThread, ExtensionTypes)
{
    struct Case { const char* ext; int type; };
    const Case cases[] = {{"bmp", 1}, {"JPG", 3}, {"jpeg", 3}, {"gif", 2}, {"Png", 4}, {"ico", 5}, {"tif", 6},
                          {"tiff", 6}, {"tga", 7}, {"pcx", 8}, {"wbmp", 9}, {"", 0}, {"webp", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(pixoro::CImageThread::TypeForExtension(c.ext), c.type) << c.ext;
}

}  // namespace
