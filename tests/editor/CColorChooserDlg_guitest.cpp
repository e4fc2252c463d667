#include "editor/ui/CColorChooserDlg.h"

#include "controls/DialogTemplate.h"
#include "resources/editor/DialogIds.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <cstdlib>

namespace {

using M = ColorChooserModel;

class CColorChooserDlgTest : public ::testing::Test {
protected:
    ~CColorChooserDlgTest() override { dialog->Destroy(); }
    wxString Text(int id) const { return dynamic_cast<wxTextCtrl*>(dialog->GetControl(id))->GetValue(); }
    void Type(int id, const char* text) { dynamic_cast<wxTextCtrl*>(dialog->GetControl(id))->SetValue(text); }
    void Mouse(wxWindow* picture, wxEventType type, POINT at)
    {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(at.x, at.y));
        event.m_leftDown = type != wxEVT_LEFT_UP;
        event.SetEventObject(picture);
        picture->GetEventHandler()->ProcessEvent(event);
    }
    void Drag(wxWindow* picture, POINT from, POINT to)
    {
        Mouse(picture, wxEVT_LEFT_DOWN, from);
        Mouse(picture, wxEVT_MOTION, to);
        Mouse(picture, wxEVT_LEFT_UP, to);
    }

    CColorChooserDlg* dialog = new CColorChooserDlg(nullptr, RGB(255, 0, 0));
};

TEST_F(CColorChooserDlgTest, TheEditsShowTheColourInBothForms)
{
    EXPECT_EQ(Text(IDC_CHOOSER_RED), "255");
    EXPECT_EQ(Text(IDC_CHOOSER_GREEN), "0");
    EXPECT_EQ(Text(IDC_CHOOSER_HUE), "0");
    EXPECT_EQ(Text(IDC_CHOOSER_SATURATION), "255");
    EXPECT_EQ(Text(IDC_CHOOSER_BRIGHTNESS), "255");
    EXPECT_EQ(dynamic_cast<wxSpinButton*>(dialog->GetControl(IDC_CHOOSER_HUE_SPIN))->GetMax(), 360);
}

TEST_F(CColorChooserDlgTest, AnEditChangesEveryOtherPlace)
{
    Type(IDC_CHOOSER_HUE, "120");
    EXPECT_EQ(Text(IDC_CHOOSER_RED), "0");
    EXPECT_EQ(Text(IDC_CHOOSER_GREEN), "255");
    EXPECT_EQ(dynamic_cast<wxSpinButton*>(dialog->GetControl(IDC_CHOOSER_GREEN_SPIN))->GetValue(), 255);
    EXPECT_EQ(dialog->GetColor(), RGB(0, 255, 0));
    EXPECT_EQ(dialog->Model().Old(), RGB(255, 0, 0));
    // The bar follows the hue: its top row is the brightest green.
    EXPECT_EQ(dialog->Bar().GetColour(0, 0), RGB(0, 253, 0));
    Type(IDC_CHOOSER_BLUE, "300");
    EXPECT_EQ(Text(IDC_CHOOSER_BLUE), "255") << "pulled back into range";
    Type(IDC_CHOOSER_BLUE, "-");
    EXPECT_EQ(dialog->GetColor(), RGB(0, 255, 255)) << "no number, no change";
}

TEST_F(CColorChooserDlgTest, DragsOnThePicturesSetTheColour)
{
    const POINT c = M::kWheelCentre;
    Drag(dialog->HsbPicture(), {c.x + 10, c.y}, {c.x, c.y - 50});
    EXPECT_EQ(Text(IDC_CHOOSER_HUE), "90");
    EXPECT_EQ(Text(IDC_CHOOSER_SATURATION), "127");
    Drag(dialog->HsbPicture(), {M::kBarLeft + 5, 10}, {M::kBarLeft + 5, M::kWheelHeight});
    EXPECT_EQ(Text(IDC_CHOOSER_BRIGHTNESS), "0");
    EXPECT_EQ(dialog->GetColor(), RGB(0, 0, 0));
    EXPECT_FALSE(dialog->HsbPicture()->HasCapture());

    // The red handle sits at the end of its axis; dragged to the centre, red goes to 0.
    Type(IDC_CHOOSER_RED, "255");
    Drag(dialog->RgbPicture(), M::kAxisEnds[0], M::kAxisCentre);
    EXPECT_EQ(Text(IDC_CHOOSER_RED), "0");
    // A press beside every handle starts nothing.
    Drag(dialog->RgbPicture(), {5, 5}, M::kAxisEnds[1]);
    EXPECT_EQ(Text(IDC_CHOOSER_GREEN), "0");
}

}  // namespace
