#include "editor/ui/CDlgImageView.h"

#include "editor/model/PreviewFit.h"
#include "tests/editor/DialogImages.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>

namespace {

class CDlgImageViewTest : public ::testing::Test {
protected:
    void TearDown() override { frame->Destroy(); }
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "pane");
};

TEST_F(CDlgImageViewTest, DrawsTheImageCentredOnGrey)
{
    const CLfImage image = dlgtest::MakeImage(40, 20, [](int, int) { return dlgtest::Rgb(250, 10, 10); });
    auto* pane = new CDlgImageView(frame, wxRect(0, 0, 100, 80));
    const PreviewFit fit = FitIntoPane(100, 80, 40, 20);
    pane->SetImage(&image);
    pane->SetDrawRect(wxRect(fit.drawX, fit.drawY, fit.width, fit.height));
    wxBitmap bitmap(100, 80, 24);
    {
        wxMemoryDC dc(bitmap);
        pane->Render(dc);
    }
    const wxImage shot = bitmap.ConvertToImage();
    EXPECT_EQ(shot.GetRed(1, 1), CDlgImageView::kBackground);
    EXPECT_EQ(shot.GetGreen(99, 79), CDlgImageView::kBackground);
    EXPECT_EQ(shot.GetRed(50, 40), 250);   // the image at its own size, centred
    EXPECT_EQ(shot.GetRed(30, 30), 250);
    EXPECT_EQ(shot.GetRed(29, 29), CDlgImageView::kBackground);
    EXPECT_EQ(shot.GetRed(70, 50), CDlgImageView::kBackground);
}

TEST_F(CDlgImageViewTest, ReportsClicksOnlyInClickMode)
{
    auto* pane = new CDlgImageView(frame, wxRect(0, 0, 100, 80));
    std::vector<wxPoint> clicks;
    frame->Bind(EVT_DLG_IMAGE_CLICK, [&](DlgImageClickEvent& e) { clicks.push_back(e.GetPoint()); });
    auto click = [&](int x, int y) {
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        down.SetPosition(wxPoint(x, y));
        down.SetEventObject(pane);
        pane->GetEventHandler()->ProcessEvent(down);
    };
    click(10, 10);
    EXPECT_TRUE(clicks.empty());
    pane->SetClickMode(true, wxSize(100, 80));
    click(12, 34);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], wxPoint(12, 34));
    EXPECT_FALSE(pane->HasCapture());
}

}  // namespace
