#include "controls/CHoverButton.h"
#include "tests/controls/ScriptedInput.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/artprov.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/settings.h>

#include <memory>

namespace {

constexpr int kBitmapId = 4711;
constexpr COLORREF kKey = RGB(92, 130, 173);

// 8 x 8: the transparent colour with a red square of 4 x 4 in the middle.
wxBitmap KeyedPicture()
{
    wxImage image(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
            image.SetRGB(x, y, inside ? 255 : 92, inside ? 0 : 130, inside ? 0 : 173);
        }
    return wxBitmap(image);
}

// The program's resources as the art provider offers them.
class TestArt : public wxArtProvider {
protected:
    wxBitmap CreateBitmap(const wxArtID& id, const wxArtClient&, const wxSize&) override
    {
        return id == ResourceArtId(kBitmapId) ? KeyedPicture() : wxNullBitmap;
    }
};

class HoverButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "hover", wxPoint(0, 0), wxSize(300, 200));
        panel = new wxPanel(frame);
        panel->SetBackgroundColour(wxColour(10, 120, 30));
        button = new CHoverButton(panel, 1186, wxString(), wxPoint(20, 20), wxSize(60, 40));
        button->SetLinkLauncher([this](const wxString& address) {
            opened.push_back(address);
            return true;
        });
        panel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ++clicks; });
        frame->Show();
        lftest::PumpUntil([this] { return button->IsShownOnScreen(); });
        lftest::PumpFor(std::chrono::milliseconds(100));
    }
    void TearDown() override { frame->Destroy(); lftest::PumpFor(std::chrono::milliseconds(20)); }

    wxImage Render()
    {
        wxBitmap bitmap(button->GetClientSize());
        {
            wxMemoryDC dc(bitmap);
            button->Draw(dc, wxRect(button->GetClientSize()));
        }
        return bitmap.ConvertToImage();
    }

    wxFrame* frame = nullptr;
    wxPanel* panel = nullptr;
    CHoverButton* button = nullptr;
    int clicks = 0;
    std::vector<wxString> opened;
};

TEST_F(HoverButtonTest, DoubleClickGivesTwoClicks)
{
    // The toolkit reports the second press of a double click as a double click.
    lftest::SendMouse(button, wxEVT_LEFT_DOWN);
    lftest::SendMouse(button, wxEVT_LEFT_UP);
    lftest::SendMouse(button, wxEVT_LEFT_DCLICK);
    lftest::SendMouse(button, wxEVT_LEFT_UP);
    EXPECT_EQ(clicks, 2);
}

TEST_F(HoverButtonTest, ReleaseOffTheButtonIsNoClick)
{
    lftest::SendMouse(button, wxEVT_LEFT_DOWN);
    lftest::SendMouse(button, wxEVT_MOTION, 200, 10);
    lftest::SendMouse(button, wxEVT_LEFT_UP, 200, 10);
    EXPECT_EQ(clicks, 0);
    lftest::SendMouse(button, wxEVT_LEFT_UP);  // a release without a press
    EXPECT_EQ(clicks, 0);
}

TEST_F(HoverButtonTest, SetterCodes)
{
    EXPECT_EQ(button->SetStateColor(6, RGB(1, 2, 3)), kHoverBadColorIndex);
    EXPECT_EQ(button->SetImageAlign(3), kHoverBadAlignment);
    EXPECT_EQ(button->SetBitmaps(wxNullBitmap, kKey), kHoverLoadFailed);
    EXPECT_EQ(button->SetBitmaps(999, kKey), kHoverLoadFailed);  // no such resource
    EXPECT_EQ(button->SetHoverCursor(998), kHoverLoadFailed);
    EXPECT_EQ(button->SetIcons(wxNullIcon), kHoverLoadFailed);

    wxArtProvider::Push(new TestArt);
    EXPECT_EQ(button->SetBitmaps(kBitmapId, kKey), kHoverOk);
    EXPECT_EQ(button->SetBitmaps(kBitmapId, kKey, 997, kKey), kHoverLoadFailed);  // the out-image is missing
    wxArtProvider::Pop();
}

TEST_F(HoverButtonTest, FlatButtonShowsEdgesOnlyWhileHovering)
{
    const wxColour back = panel->GetBackgroundColour();
    // A fresh button counts as hovered and draws its raised border.
    ASSERT_TRUE(button->IsHovering());
    wxImage image = Render();
    EXPECT_NE(wxColour(image.GetRed(0, 0), image.GetGreen(0, 0), image.GetBlue(0, 0)), back);

    wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
    leave.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(leave);
    ASSERT_FALSE(button->IsHovering());
    image = Render();
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            ASSERT_EQ(wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)), back)
                << x << "," << y;
}

TEST_F(HoverButtonTest, BitmapKeyColourIsTransparent)
{
    wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
    button->GetEventHandler()->ProcessEvent(leave);
    ASSERT_EQ(button->SetBitmaps(KeyedPicture(), kKey), kHoverOk);
    const wxImage image = Render();
    // Without a caption the 8 x 8 picture stands centred at (26, 16).
    EXPECT_EQ(wxColour(image.GetRed(30, 20), image.GetGreen(30, 20), image.GetBlue(30, 20)), wxColour(255, 0, 0));
    EXPECT_EQ(wxColour(image.GetRed(26, 16), image.GetGreen(26, 16), image.GetBlue(26, 16)),
              panel->GetBackgroundColour());
}

TEST_F(HoverButtonTest, CheckBoxModeFlipsOnEachClick)
{
    EXPECT_EQ(button->SetTicked(true), kHoverOk);
    EXPECT_FALSE(button->IsTicked());  // only in check-box mode

    auto* box = new wxCheckBox(panel, 1200, "Tick", wxPoint(100, 20), wxSize(60, 40));
    auto* check = new CHoverButton;
    ASSERT_TRUE(check->SubclassControl(box));
    EXPECT_TRUE(check->IsCheckBoxMode());
    EXPECT_EQ(check->GetId(), 1200);
    EXPECT_EQ(check->GetLabel(), "Tick");
    EXPECT_EQ(check->GetPosition(), wxPoint(100, 20));

    lftest::SendClick(check);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(check->IsTicked());
    lftest::SendClick(check);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(check->IsTicked());
}

TEST_F(HoverButtonTest, AddressOpensOnClickAndParentHearsIt)
{
    button->SetUrl("https://www.example.org/inbox");
    lftest::SendClick(button);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "https://www.example.org/inbox");
}

TEST_F(HoverButtonTest, TooltipAndDisabledCaption)
{
    button->SetTooltipText("Print");
    ASSERT_NE(button->GetToolTip(), nullptr);
    EXPECT_EQ(button->GetToolTipText(), "Print");
    button->EnableTooltip(false);
    EXPECT_EQ(button->GetToolTip(), nullptr);

    // Disabled: the caption is embossed in the highlight and shadow colours, whatever
    // the caption colour says.
    button->SetLabel("WWWW");
    button->SetStateColor(kColorForeIn, RGB(255, 0, 0), false);
    button->SetStateColor(kColorForeOut, RGB(255, 0, 0), false);
    button->Enable(false);
    const wxImage image = Render();
    bool red = false;
    bool shadow = false;
    const wxColour shadowColour = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x) {
            const wxColour c(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
            red = red || c == wxColour(255, 0, 0);
            shadow = shadow || c == shadowColour;
        }
    EXPECT_FALSE(red);
    EXPECT_TRUE(shadow);
}

}  // namespace
