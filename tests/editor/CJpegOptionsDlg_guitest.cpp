#include "editor/ui/CJpegOptionsDlg.h"

#include "resources/editor/EditorIds.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>

namespace {

class CJpegOptionsDlgTest : public ::testing::Test {
protected:
    void Open(const JpegOptions& start, bool namePending)
    {
        dialog = new CJpegOptionsDlg(nullptr, start, namePending);
    }
    void TearDown() override
    {
        if (dialog)
            dialog->Destroy();
    }
    wxCheckBox* Box(int id) const { return dynamic_cast<wxCheckBox*>(dialog->GetControl(id)); }
    wxSpinCtrlDouble* Edit() const
    {
        return dynamic_cast<wxSpinCtrlDouble*>(dialog->GetControl(IDC_JPEG_QUALITY_EDIT));
    }
    // Typing into the quality field.
    void Type(const char* text)
    {
        Edit()->SetValue(wxString(text));
        wxCommandEvent event(wxEVT_TEXT, Edit()->GetId());
        event.SetEventObject(Edit());
        event.SetString(text);
        Edit()->GetEventHandler()->ProcessEvent(event);
    }
    wxSlider* Slider() const { return dynamic_cast<wxSlider*>(dialog->GetControl(IDC_JPEG_QUALITY_SLIDER)); }
    // A click on a check box: it toggles and tells the dialog.
    void Click(int id)
    {
        wxCheckBox* box = Box(id);
        box->SetValue(!box->GetValue());
        wxCommandEvent event(wxEVT_CHECKBOX, box->GetId());
        event.SetEventObject(box);
        event.SetInt(box->GetValue() ? 1 : 0);
        box->GetEventHandler()->ProcessEvent(event);
    }
    void Press(int id)
    {
        wxCommandEvent event(wxEVT_BUTTON, id);
        dialog->GetEventHandler()->ProcessEvent(event);
    }

    CJpegOptionsDlg* dialog = nullptr;
};

TEST_F(CJpegOptionsDlgTest, ShowsTheStartValuesAndNextWhileTheNameIsPending)
{
    JpegOptions start;
    start.quality = 42.5;
    start.optimize = true;
    start.vertical = true;
    start.saveAsDefault = true;
    Open(start, true);
    EXPECT_EQ(Edit()->GetValue(), 42.5);
    EXPECT_EQ(Slider()->GetValue(), 42);
    EXPECT_TRUE(Box(IDC_JPEG_OPTIMIZE)->GetValue());
    EXPECT_FALSE(Box(IDC_JPEG_PROGRESSIVE)->GetValue());
    EXPECT_TRUE(Box(IDC_JPEG_VERTICAL)->GetValue());
    EXPECT_TRUE(Box(IDC_JPEG_SAVE_DEFAULT)->GetValue());
    EXPECT_EQ(dynamic_cast<wxButton*>(dialog->GetControl(1))->GetLabel(), "&Next>>");
}

TEST_F(CJpegOptionsDlgTest, SaveReadsOnWhenTheNameIsKnown)
{
    Open(JpegOptions{}, false);
    EXPECT_EQ(dynamic_cast<wxButton*>(dialog->GetControl(1))->GetLabel(), "&Save");
}

TEST_F(CJpegOptionsDlgTest, PairsExcludeEachOtherAndTheChoiceIsRead)
{
    JpegOptions start;
    start.optimize = true;
    start.vertical = true;
    Open(start, false);
    Click(IDC_JPEG_PROGRESSIVE);
    EXPECT_TRUE(Box(IDC_JPEG_PROGRESSIVE)->GetValue());
    EXPECT_FALSE(Box(IDC_JPEG_OPTIMIZE)->GetValue());
    Click(IDC_JPEG_HORIZONTAL);
    EXPECT_FALSE(Box(IDC_JPEG_VERTICAL)->GetValue());
    Click(IDC_JPEG_HORIZONTAL);  // off again: both of the pair off
    EXPECT_FALSE(Box(IDC_JPEG_HORIZONTAL)->GetValue());
    EXPECT_FALSE(Box(IDC_JPEG_VERTICAL)->GetValue());
    Type("70");
    EXPECT_EQ(Slider()->GetValue(), 70) << "the slider follows the field";
    ASSERT_TRUE(dialog->ReadControls(false));
    const JpegOptions& o = dialog->GetOptions();
    EXPECT_EQ(o.quality, 70.0);
    EXPECT_TRUE(o.progressive);
    EXPECT_FALSE(o.optimize || o.horizontal || o.vertical);
}

TEST_F(CJpegOptionsDlgTest, ResetAllAndABadQuality)
{
    JpegOptions start;
    start.quality = 20;
    start.progressive = true;
    start.horizontal = true;
    start.saveAsDefault = true;
    Open(start, false);
    Press(IDC_JPEG_RESET_ALL);
    EXPECT_EQ(Edit()->GetValue(), 85.0);
    EXPECT_EQ(Slider()->GetValue(), 85);
    for (int id : {IDC_JPEG_PROGRESSIVE, IDC_JPEG_OPTIMIZE, IDC_JPEG_HORIZONTAL, IDC_JPEG_VERTICAL,
                   IDC_JPEG_SAVE_DEFAULT})
        EXPECT_FALSE(Box(id)->GetValue()) << id;
    // The field keeps the quality within its range.
    Type("120");
    ASSERT_TRUE(dialog->ReadControls(false));
    EXPECT_EQ(dialog->GetOptions().quality, 100.0);
    Type("abc");
    EXPECT_FALSE(dialog->ReadControls(false));
}

}  // namespace
