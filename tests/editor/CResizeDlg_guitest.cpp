#include "editor/ui/CResizeDlg.h"

#include "resources/editor/DialogIds.h"
#include "resources/editor/DialogStrings.h"

#include <gtest/gtest.h>
#include <glib-object.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

namespace {

class CResizeDlgTest : public ::testing::Test {
protected:
    void Open(int width, int height)
    {
        dialog = new CResizeDlg(nullptr, width, height, [this](const char* text) { messages.emplace_back(text); });
    }
    void TearDown() override
    {
        if (dialog)
            dialog->Destroy();
    }
    wxTextCtrl* Edit(int id) const { return dynamic_cast<wxTextCtrl*>(dialog->GetControl(id)); }
    // Typing replaces the edit's text, which tells the dialog.
    void Type(int id, const char* text) { Edit(id)->SetValue(text); }
    void PressOK()
    {
        wxCommandEvent event(wxEVT_BUTTON, wxID_OK);
        dialog->GetEventHandler()->ProcessEvent(event);
    }
    std::string Text(int id) const { return Edit(id)->GetValue().ToStdString(); }
    // One press of an arrow, through the toolkit's own stepping: the spin button's
    // "change-value" action with GTK_SCROLL_STEP_UP (6) or GTK_SCROLL_STEP_DOWN (7).
    void Arrow(int spinId, bool up)
    {
        auto* spin = dynamic_cast<wxSpinButton*>(dialog->GetControl(spinId));
        ASSERT_NE(spin, nullptr);
        g_signal_emit_by_name(spin->GetHandle(), "change-value", up ? 6 : 7);
    }

    CResizeDlg* dialog = nullptr;
    std::vector<std::string> messages;
};

TEST_F(CResizeDlgTest, OpensInPixelModeWithThePresentSize)
{
    Open(1000, 750);
    EXPECT_EQ(Text(IDC_RESIZE_WIDTH), "1000");
    EXPECT_EQ(Text(IDC_RESIZE_HEIGHT), "750");
    EXPECT_EQ(Text(IDC_RESIZE_PERCENTAGE), "100");
    EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog->GetControl(IDC_RESIZE_BY_PIXELS))->GetValue());
    EXPECT_FALSE(Edit(IDC_RESIZE_PERCENTAGE)->IsEnabled());
    PressOK();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
    EXPECT_EQ(dialog->GetWidth(), 1000);
}

TEST_F(CResizeDlgTest, ArrowsStepFromTheNumberTheirEditShows)
{
    Open(1200, 800);
    Arrow(IDC_RESIZE_WIDTH_SPIN, true);
    EXPECT_EQ(Text(IDC_RESIZE_WIDTH), "1201");
    EXPECT_EQ(Text(IDC_RESIZE_HEIGHT), "800") << "kept aspect, truncated";
    Arrow(IDC_RESIZE_HEIGHT_SPIN, false);
    Arrow(IDC_RESIZE_HEIGHT_SPIN, false);
    EXPECT_EQ(Text(IDC_RESIZE_HEIGHT), "798");
    // A typed number is where the next press starts.
    Type(IDC_RESIZE_WIDTH, "640");
    Arrow(IDC_RESIZE_WIDTH_SPIN, false);
    EXPECT_EQ(Text(IDC_RESIZE_WIDTH), "639");

    dynamic_cast<wxRadioButton*>(dialog->GetControl(IDC_RESIZE_BY_PERCENTAGE))->SetValue(true);
    wxCommandEvent toPercentage(wxEVT_RADIOBUTTON, dialog->GetControl(IDC_RESIZE_BY_PERCENTAGE)->GetId());
    dialog->GetEventHandler()->ProcessEvent(toPercentage);
    Type(IDC_RESIZE_PERCENTAGE, "100");
    Arrow(IDC_RESIZE_PERCENTAGE_SPIN, true);
    EXPECT_EQ(Text(IDC_RESIZE_PERCENTAGE), "101");
    Arrow(IDC_RESIZE_PERCENTAGE_SPIN, false);
    Arrow(IDC_RESIZE_PERCENTAGE_SPIN, false);
    EXPECT_EQ(Text(IDC_RESIZE_PERCENTAGE), "99");
    EXPECT_EQ(Text(IDC_RESIZE_WIDTH), "1188");
}

TEST_F(CResizeDlgTest, WidthKeepsTheAspectAndOkRefusesSizesOutOfRange)
{
    Open(1000, 750);
    Type(IDC_RESIZE_WIDTH, "333");
    EXPECT_EQ(Text(IDC_RESIZE_HEIGHT), "249");
    Type(IDC_RESIZE_WIDTH, "5000");
    EXPECT_EQ(Text(IDC_RESIZE_WIDTH), "5000");
    PressOK();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], estr::kInvalidWidth);
    EXPECT_NE(dialog->GetReturnCode(), wxID_OK);

    Type(IDC_RESIZE_HEIGHT, "0");
    PressOK();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1], estr::kInvalidHeight);
    // Width 0 makes the height 0 too: with both invalid the height message is the one shown.
    Type(IDC_RESIZE_WIDTH, "0");
    EXPECT_EQ(Text(IDC_RESIZE_HEIGHT), "0");
    PressOK();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], estr::kInvalidHeight);
    EXPECT_NE(dialog->GetReturnCode(), wxID_OK);
}

TEST_F(CResizeDlgTest, PercentageModeSetsThePixelEdits)
{
    Open(3000, 2000);
    auto* byPercentage = dynamic_cast<wxRadioButton*>(dialog->GetControl(IDC_RESIZE_BY_PERCENTAGE));
    byPercentage->SetValue(true);
    wxCommandEvent click(wxEVT_RADIOBUTTON, byPercentage->GetId());
    click.SetEventObject(byPercentage);
    byPercentage->GetEventHandler()->ProcessEvent(click);
    EXPECT_TRUE(Edit(IDC_RESIZE_PERCENTAGE)->IsEnabled());
    EXPECT_FALSE(Edit(IDC_RESIZE_WIDTH)->IsEnabled());
    Type(IDC_RESIZE_PERCENTAGE, "50");
    EXPECT_EQ(Text(IDC_RESIZE_WIDTH), "1500");
    EXPECT_EQ(Text(IDC_RESIZE_HEIGHT), "1000");
    Type(IDC_RESIZE_PERCENTAGE, "201");
    EXPECT_EQ(Text(IDC_RESIZE_PERCENTAGE), "201");
    EXPECT_EQ(Text(IDC_RESIZE_WIDTH), "3000");
    Type(IDC_RESIZE_PERCENTAGE, "");
    PressOK();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], estr::kInvalidNumber);
}

}  // namespace
