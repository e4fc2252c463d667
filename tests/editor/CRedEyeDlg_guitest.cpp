#include "editor/ui/CRedEyeDlg.h"

#include "controls/DialogTemplate.h"
#include "editor/ui/CDlgImageView.h"
#include "editor/ui/CRedEyeSmallImageView.h"
#include "resources/editor/DialogIds.h"
#include "tests/editor/DialogImages.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using dlgtest::At;
using dlgtest::SamePixels;

// A red disc of radius 10 around (60, 40) on grey.
CLfImage RedDisc(int width = 120, int height = 80)
{
    return dlgtest::MakeImage(width, height, [](int x, int y) {
        const int dx = x - 60, dy = y - 40;
        return dx * dx + dy * dy <= 100 ? dlgtest::Rgb(220, 30, 40) : dlgtest::Rgb(128, 128, 128);
    });
}

class CRedEyeDlgTest : public ::testing::Test {
protected:
    void Open(const CLfImage& picture)
    {
        original = picture;
        result = picture;
        dialog = new CRedEyeDlg(nullptr, result);
    }
    ~CRedEyeDlgTest() override
    {
        if (dialog)
            dialog->Destroy();
    }
    void Press(int id)
    {
        wxCommandEvent event(wxEVT_BUTTON, DialogControlId(id));
        dialog->GetEventHandler()->ProcessEvent(event);
    }
    void Click(wxWindow* pane, wxPoint point)
    {
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        down.SetPosition(point);
        pane->GetEventHandler()->ProcessEvent(down);
    }
    // A click on image pixel (x, y) in the top pane.
    void ClickTop(int x, int y)
    {
        const PreviewFit& fit = dialog->TopFit();
        Click(dialog->TopPane(), {fit.drawX + static_cast<int>(x * fit.factor), fit.drawY + static_cast<int>(y * fit.factor)});
    }
    bool On(int id) const { return dialog->GetControl(id)->IsEnabled(); }

    CLfImage original;
    CLfImage result;
    CRedEyeDlg* dialog = nullptr;
};

TEST_F(CRedEyeDlgTest, APickPlacesTheBoxAndShowsTheZoom)
{
    Open(RedDisc(1600, 1200));
    EXPECT_FALSE(On(IDC_REDEYE_FIX));
    EXPECT_FALSE(On(IDC_REDEYE_UNFIX));
    EXPECT_FALSE(On(1));
    EXPECT_TRUE(On(IDC_REDEYE_ZOOM_IN));
    EXPECT_FALSE(dialog->ZoomPane()->IsShown());
    EXPECT_EQ(dialog->Box().Side(), 120);
    ClickTop(400, 300);
    EXPECT_EQ(dialog->Box().Side(), 63);
    EXPECT_NEAR(dialog->Box().CentreX(), 400, 5);
    EXPECT_NEAR(dialog->Box().CentreY(), 300, 5);
    EXPECT_TRUE(dialog->ZoomPane()->IsShown());
    EXPECT_EQ(dialog->ZoomImage().GetWidth(), 150);
    EXPECT_TRUE(On(IDC_REDEYE_FIX));
    EXPECT_FALSE(On(IDC_REDEYE_UNFIX));

    // A click at the zoom pane's centre keeps the box; one near its right edge moves it
    // right by about half a box.
    const int x = dialog->Box().CentreX();
    Click(dialog->ZoomPane(), {75, 75});
    EXPECT_EQ(dialog->Box().CentreX(), x);
    Click(dialog->ZoomPane(), {149, 75});
    EXPECT_NEAR(dialog->Box().CentreX(), x + 31, 1);
}

TEST_F(CRedEyeDlgTest, ZoomBeforeAnyPickActsOnTheCentre)
{
    Open(RedDisc());
    Press(IDC_REDEYE_ZOOM_OUT);
    EXPECT_TRUE(dialog->ZoomPane()->IsShown());
    EXPECT_EQ(dialog->Box().CentreX(), 60);
    EXPECT_EQ(dialog->Box().CentreY(), 40);
    EXPECT_FALSE(On(IDC_REDEYE_FIX)) << "only a pick enables Fix";
}

TEST_F(CRedEyeDlgTest, FixTakesTheRedOutAndFixUnfixOkGivesTheImageBack)
{
    Open(RedDisc());
    ClickTop(60, 40);
    Press(IDC_REDEYE_FIX);
    EXPECT_FALSE(On(IDC_REDEYE_FIX));
    EXPECT_TRUE(On(IDC_REDEYE_UNFIX));
    EXPECT_TRUE(On(1));
    const RGBQUAD centre = At(dialog->Working(), 60, 40);
    EXPECT_LT(std::abs(centre.rgbRed - centre.rgbGreen), 40);
    EXPECT_TRUE(SamePixels(result, original)) << "the caller's image waits for OK";
    EXPECT_EQ(dialog->TopPane()->GetImage(), &dialog->Working());

    Press(IDC_REDEYE_UNFIX);
    EXPECT_TRUE(On(IDC_REDEYE_FIX));
    EXPECT_FALSE(On(IDC_REDEYE_UNFIX));
    EXPECT_TRUE(On(1));
    Press(1);
    EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
    EXPECT_TRUE(SamePixels(result, original));
}

TEST_F(CRedEyeDlgTest, CancelAfterAFixLeavesTheCallersImage)
{
    Open(RedDisc());
    ClickTop(60, 40);
    Press(IDC_REDEYE_FIX);
    Press(2);
    EXPECT_TRUE(SamePixels(result, original));
}

TEST_F(CRedEyeDlgTest, ATinyImageCanBePickedZoomedAndFixed)
{
    Open(dlgtest::MakeImage(3, 2, [](int, int) { return dlgtest::Rgb(250, 10, 10); }));
    ClickTop(1, 1);
    Press(IDC_REDEYE_ZOOM_IN);
    Press(IDC_REDEYE_ZOOM_OUT);
    Press(IDC_REDEYE_FIX);
    Press(1);
    EXPECT_EQ(result.GetWidth(), 3);
    EXPECT_EQ(dialog->ZoomImage().GetWidth(), 150);
}

}  // namespace
