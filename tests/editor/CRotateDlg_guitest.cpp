#include "editor/ui/CRotateDlg.h"

#include "controls/DialogTemplate.h"

#include "resources/editor/DialogIds.h"
#include "resources/editor/DialogStrings.h"
#include "tests/editor/DialogImages.h"

#include <gtest/gtest.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

namespace {

using dlgtest::SamePixels;

class CRotateDlgTest : public ::testing::Test {
protected:
    CRotateDlgTest()
    {
        dialog = new CRotateDlg(nullptr, work, [this](const char* text) { messages.emplace_back(text); });
    }
    ~CRotateDlgTest() override { dialog->Destroy(); }
    void Press(int id)
    {
        wxCommandEvent event(wxEVT_BUTTON, id == wxID_OK ? wxID_OK : DialogControlId(id));
        dialog->GetEventHandler()->ProcessEvent(event);
    }
    void Choose(int id)
    {
        auto* radio = dynamic_cast<wxRadioButton*>(dialog->GetControl(id));
        radio->SetValue(true);
        wxCommandEvent event(wxEVT_RADIOBUTTON, radio->GetId());
        dialog->GetEventHandler()->ProcessEvent(event);
    }
    wxTextCtrl* Angle() const { return dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_ROTATE_ANGLE)); }
    bool OkEnabled() const { return dialog->FindWindow(wxID_OK)->IsEnabled(); }

    const CLfImage original = dlgtest::Gradient(30, 20);
    CLfImage work{original};
    CRotateDlg* dialog = nullptr;
    std::vector<std::string> messages;
};

TEST_F(CRotateDlgTest, RightStepsTheAngleAndOkTurnsTheWorkingImage)
{
    EXPECT_FALSE(OkEnabled());
    EXPECT_EQ(Angle()->GetValue(), "0");
    Press(IDC_ROTATE_RIGHT);
    EXPECT_EQ(Angle()->GetValue(), "90");
    EXPECT_TRUE(OkEnabled());
    EXPECT_TRUE(SamePixels(work, original));  // the rotation waits for OK
    Press(wxID_OK);
    EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
    EXPECT_TRUE(dialog->Changed());
    CLfImage expected(original);
    expected.RotateRight();
    EXPECT_TRUE(SamePixels(work, expected));
}

TEST_F(CRotateDlgTest, TypedAnglesAreNormalisedAndZeroChangesNothing)
{
    Angle()->SetValue("400");
    EXPECT_EQ(Angle()->GetValue(), "40");
    Angle()->SetValue("-");
    EXPECT_EQ(Angle()->GetValue(), "0");
    Angle()->SetValue("");
    Press(wxID_OK);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], estr::kInvalidNumber);
    EXPECT_NE(dialog->GetReturnCode(), wxID_OK);
    Angle()->SetValue("720");
    Press(wxID_OK);
    EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
    EXPECT_FALSE(dialog->Changed());
    EXPECT_TRUE(SamePixels(work, original));
}

TEST_F(CRotateDlgTest, FlipsGoIntoTheWorkingImageAtOnce)
{
    EXPECT_FALSE(dialog->GetControl(IDC_ROTATE_HORIZONTAL)->IsEnabled());
    Choose(IDC_ROTATE_MODE_FLIP);
    EXPECT_TRUE(dialog->GetControl(IDC_ROTATE_HORIZONTAL)->IsEnabled());
    EXPECT_FALSE(dialog->GetControl(IDC_ROTATE_RIGHT)->IsEnabled());
    Press(IDC_ROTATE_HORIZONTAL);
    CLfImage mirrored(original);
    mirrored.Mirror();
    EXPECT_TRUE(SamePixels(work, mirrored));
    Press(IDC_ROTATE_HORIZONTAL);
    EXPECT_TRUE(SamePixels(work, original));
    Press(IDC_ROTATE_VERTICAL);
    Press(wxID_OK);
    EXPECT_TRUE(dialog->Changed());
    CLfImage flipped(original);
    flipped.Flip();
    EXPECT_TRUE(SamePixels(work, flipped));
}

}  // namespace
