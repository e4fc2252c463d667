#include "editor/ui/CCanvasSizeDlg.h"

#include "resources/editor/DialogIds.h"
#include "resources/editor/DialogStrings.h"
#include "tests/editor/DialogImages.h"
#include "tests/editor/ScriptedDialogs.h"

#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

namespace {

using dlgtest::At;

class CCanvasSizeDlgTest : public ::testing::Test {
protected:
    CCanvasSizeDlgTest()
    {
        dialog = new CCanvasSizeDlg(nullptr, work, [this](const char* text) { messages.emplace_back(text); });
    }
    ~CCanvasSizeDlgTest() override { dialog->Destroy(); }
    wxTextCtrl* Edit(int id) const { return dynamic_cast<wxTextCtrl*>(dialog->GetControl(id)); }
    void Ok(const char* width, const char* height)
    {
        Edit(IDC_CANVAS_WIDTH)->SetValue(width);
        Edit(IDC_CANVAS_HEIGHT)->SetValue(height);
        lftest::PressButton(*dialog, 1);
    }

    const CLfImage original = dlgtest::Gradient(40, 30);
    CLfImage work{original};
    CCanvasSizeDlg* dialog = nullptr;
    std::vector<std::string> messages;
};

TEST_F(CCanvasSizeDlgTest, ShowsThePresentSizeInBothPlaces)
{
    EXPECT_EQ(Edit(IDC_CANVAS_OLD_WIDTH)->GetValue(), "40");
    EXPECT_EQ(Edit(IDC_CANVAS_OLD_HEIGHT)->GetValue(), "30");
    EXPECT_FALSE(Edit(IDC_CANVAS_OLD_WIDTH)->IsEditable());
    EXPECT_EQ(Edit(IDC_CANVAS_WIDTH)->GetValue(), "40");
    EXPECT_EQ(Edit(IDC_CANVAS_HEIGHT)->GetValue(), "30");
}

TEST_F(CCanvasSizeDlgTest, ASmallerCanvasKeepsTheCentre)
{
    Ok("20", "10");
    EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
    ASSERT_EQ(work.GetWidth(), 20);
    ASSERT_EQ(work.GetHeight(), 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(At(work, x, y).rgbRed, At(original, x + 10, y + 10).rgbRed) << x << "," << y;
}

TEST_F(CCanvasSizeDlgTest, ALargerCanvasCentresTheImageOnWhite)
{
    Ok("60", "30");
    ASSERT_EQ(work.GetWidth(), 60);
    ASSERT_EQ(work.GetHeight(), 30);
    EXPECT_EQ(At(work, 0, 0).rgbGreen, 255);
    EXPECT_EQ(At(work, 59, 29).rgbBlue, 255);
    EXPECT_EQ(At(work, 10 + 5, 7).rgbGreen, At(original, 5, 7).rgbGreen);
}

TEST_F(CCanvasSizeDlgTest, SizesOutsideOneTo4095AreRefused)
{
    for (const char* bad : {"0", "", "x", "4096", "99999999999999999999999"}) {
        Ok(bad, "30");
        EXPECT_NE(dialog->GetReturnCode(), wxID_OK) << bad;
    }
    EXPECT_EQ(messages, std::vector<std::string>(5, estr::kInvalidNumber));
    EXPECT_TRUE(dlgtest::SamePixels(work, original));
}

}  // namespace
