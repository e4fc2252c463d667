#include "editor/model/CEarlyDecode.h"

#include "editor/model/CPixoroDocModel.h"
#include "editor/model/CPixoroState.h"
#include "image/CLfImage.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

class CEarlyDecodeTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, int width, int height)
    {
        auto picture = lftest::MakePicture(width, height, 24);
        const std::string path = (dir / name).string();
        EXPECT_TRUE(picture->Save(path.c_str(), lfimg::kTypeJPG));
        return path;
    }
    static bool SamePixels(const CLfImage& a, const CLfImage& b)
    {
        if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBpp() != b.GetBpp())
            return false;
        for (int y = 0; y < a.GetHeight(); ++y)
            for (int x = 0; x < a.GetWidth(); ++x) {
                const RGBQUAD p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
                if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue)
                    return false;
            }
        return true;
    }

    lftest::TempDir dir;
    CPixoroState state{(dir / "settings.ini").string()};
    lftest::ScriptedPrompts prompts;
};

TEST_F(CEarlyDecodeTest, TheOpenTakesTheImageDecodedMeanwhileOnceAndOnlyForItsPath)
{
    const std::string photo = Write("photo.jpg", 300, 200);
    const std::string other = Write("other.jpg", 30, 20);
    CEarlyDecode early(photo);
    ASSERT_TRUE(early.Started());
    state.m_pEarlyDecode = &early;
    EXPECT_EQ(early.Take(other), nullptr) << "another path is decoded by the open road";

    CPixoroDocModel doc(state, prompts);
    ASSERT_TRUE(doc.OpenDocument(photo));
    const CLfImage direct(photo.c_str(), lfimg::kTypeJPG);
    EXPECT_TRUE(SamePixels(*doc.GetImage(), direct));
    EXPECT_EQ(early.Take(photo), nullptr) << "taken once";

    CPixoroDocModel again(state, prompts);
    ASSERT_TRUE(again.OpenDocument(photo)) << "a later open decodes the file itself";
    EXPECT_EQ(again.GetImage()->GetWidth(), 300);
}

// What the taker does meanwhile runs only when Take would wait, on the taking thread,
// once; the image taken afterwards is the whole decode.
TEST_F(CEarlyDecodeTest, WhatIsDoneWhileWaitingRunsOnlyWhenTheDecodeIsNotDone)
{
    const std::string photo = Write("large.jpg", 3000, 2000);
    const std::string other = Write("other.jpg", 30, 20);
    const CLfImage direct(photo.c_str(), lfimg::kTypeJPG);

    // Taken at once: a 6-megapixel decode has not ended yet.
    CEarlyDecode early(photo);
    int calls = 0;
    bool doneAtStart = true;
    std::thread::id caller;
    early.SetWhileWaiting([&] {
        ++calls;
        doneAtStart = early.Done();
        caller = std::this_thread::get_id();
        while (!early.Done())
            std::this_thread::yield();
    });
    EXPECT_EQ(early.Take(other), nullptr);
    EXPECT_EQ(calls, 0) << "nothing is waited for another path";
    const auto image = early.Take(photo);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(doneAtStart);
    EXPECT_EQ(caller, std::this_thread::get_id());
    ASSERT_TRUE(image);
    EXPECT_TRUE(SamePixels(*image, direct));

    // Taken after the decode has ended: nothing to wait for.
    CEarlyDecode finished(photo);
    bool called = false;
    finished.SetWhileWaiting([&] { called = true; });
    while (!finished.Done())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto again = finished.Take(photo);
    EXPECT_FALSE(called);
    ASSERT_TRUE(again);
    EXPECT_TRUE(SamePixels(*again, direct));
}

TEST_F(CEarlyDecodeTest, ADamagedFileSaysSoAndAPathTheEditorDoesNotOpenStartsNothing)
{
    const std::string broken = (dir / "broken.jpg").string();
    lftest::WriteText(broken, "not a picture");
    CEarlyDecode early(broken);
    state.m_pEarlyDecode = &early;
    CPixoroDocModel doc(state, prompts);
    EXPECT_FALSE(doc.OpenDocument(broken));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].first, "ERROR:It is not a valid PIXORO File.");

    EXPECT_FALSE(CEarlyDecode((dir / "notes.txt").string()).Started());
    EXPECT_FALSE(CEarlyDecode("").Started());
}

}  // namespace
