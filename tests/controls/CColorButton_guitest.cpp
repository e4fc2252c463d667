#include "controls/CColorButton.h"
#include "controls/ControlDrawing.h"
#include "tests/controls/ScriptedInput.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dcmemory.h>
#include <wx/dialog.h>
#include <wx/settings.h>

// Colours in failure messages as #RRGGBB.
void PrintTo(const wxColour& c, std::ostream* os) { *os << c.GetAsString(wxC2S_HTML_SYNTAX).utf8_string(); }

namespace {

wxColour At(const wxImage& image, int x, int y) { return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)); }

class ColorButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog = new wxDialog(nullptr, wxID_ANY, "colour");
        button = new CColorButton(dialog, 1033, wxString(), wxPoint(10, 10), wxSize(40, 24));
    }
    void TearDown() override { dialog->Destroy(); lftest::PumpFor(std::chrono::milliseconds(20)); }

    wxImage Render(const CColorButton::DrawState& state)
    {
        wxBitmap bitmap(40, 24);
        {
            wxMemoryDC dc(bitmap);
            button->Draw(dc, wxRect(0, 0, 40, 24), state);
        }
        return bitmap.ConvertToImage();
    }

    wxDialog* dialog = nullptr;
    CColorButton* button = nullptr;
};

TEST_F(ColorButtonTest, OneColourGivesASolidBlockInsideTheFrame)
{
    const COLORREF chosen = RGB(200, 40, 90);
    button->SetColors(chosen, chosen, chosen);
    const wxImage image = Render({});
    // Two frame pixels on every side, the block of the colour inside.
    for (int y = 2; y < 22; ++y)
        for (int x = 2; x < 38; ++x)
            ASSERT_EQ(At(image, x, y), wxColour(200, 40, 90)) << x << "," << y;
    EXPECT_EQ(At(image, 0, 0), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
    EXPECT_EQ(At(image, 39, 23), wxSystemSettings::GetColour(wxSYS_COLOUR_3DDKSHADOW));
    EXPECT_EQ(At(image, 1, 1), wxSystemSettings::GetColour(wxSYS_COLOUR_3DLIGHT));
    EXPECT_EQ(At(image, 38, 22), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
}

TEST_F(ColorButtonTest, PressedIsSunkenDefaultHasABlackOutline)
{
    const COLORREF chosen = RGB(20, 200, 90);
    button->SetColors(chosen, chosen, chosen);
    CColorButton::DrawState pressed;
    pressed.pressed = true;
    wxImage image = Render(pressed);
    EXPECT_EQ(At(image, 0, 0), wxSystemSettings::GetColour(wxSYS_COLOUR_3DDKSHADOW));
    EXPECT_EQ(At(image, 1, 1), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
    EXPECT_EQ(At(image, 2, 2), wxColour(20, 200, 90));

    CColorButton::DrawState byDefault;
    byDefault.isDefault = true;
    image = Render(byDefault);
    EXPECT_EQ(At(image, 0, 0), *wxBLACK);
    EXPECT_EQ(At(image, 1, 1), wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
    EXPECT_EQ(At(image, 3, 3), wxColour(20, 200, 90));
}

TEST_F(ColorButtonTest, DisabledCaptionIsEngraved)
{
    button->SetLabel("WWW");
    button->SetColors(RGB(255, 0, 0), RGB(0, 0, 200), RGB(0, 90, 0));
    CColorButton::DrawState disabled;
    disabled.disabled = true;
    const wxImage image = Render(disabled);
    bool white = false, grey = false, red = false;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) {
            const wxColour c = At(image, x, y);
            white = white || c == *wxWHITE;
            grey = grey || c == wxColour(0x80, 0x80, 0x80);
            red = red || c == wxColour(255, 0, 0);
        }
    EXPECT_TRUE(white);
    EXPECT_TRUE(grey);
    EXPECT_FALSE(red);
    EXPECT_EQ(At(image, 3, 3), wxColour(0, 90, 0));  // the disabled face
}

TEST_F(ColorButtonTest, ResetAndSubclass)
{
    button->SetTextAndFace(RGB(1, 2, 3), RGB(4, 5, 6));
    EXPECT_EQ(button->GetDisabledFaceColor(), ToColorRef(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    button->ResetColors();
    EXPECT_EQ(button->GetFaceColor(), ToColorRef(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));

    auto* plain = new wxButton(dialog, 1044, "", wxPoint(60, 10), wxSize(30, 20));
    auto* swatch = new CColorButton;
    ASSERT_TRUE(swatch->SubclassControl(plain));
    lftest::PumpFor(std::chrono::milliseconds(20));
    EXPECT_EQ(dialog->FindWindow(1044), swatch);
    EXPECT_EQ(swatch->GetRect(), wxRect(60, 10, 30, 20));
}

TEST_F(ColorButtonTest, ClickReachesTheParent)
{
    int clicks = 0;
    dialog->Bind(wxEVT_BUTTON, [&](wxCommandEvent& e) { clicks += e.GetId() == 1033; });
    lftest::SendClick(button, 5, 5);
    EXPECT_EQ(clicks, 1);
}

}  // namespace
