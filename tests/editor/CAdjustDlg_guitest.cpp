#include "editor/ui/CAdjustDlg.h"

#include "controls/DialogTemplate.h"
#include "editor/ui/CDlgImageView.h"
#include "resources/editor/DialogIds.h"
#include "resources/editor/DialogStrings.h"
#include "tests/editor/DialogImages.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using dlgtest::SamePixels;

// A dialog over a working copy and a "document image", counting the view redraws.
class AdjustDialog {
public:
    explicit AdjustDialog(AdjustKind kind, int width = 60, int height = 40)
        : original(dlgtest::Gradient(width, height)), work(original), current(original)
    {
        dialog = new CAdjustDlg(nullptr, kind, work, &current, [this] { ++redraws; },
                                [this](const char* text) { messages.emplace_back(text); });
    }
    ~AdjustDialog()
    {
        if (dialog)
            dialog->Destroy();
    }
    void Press(int id)
    {
        wxCommandEvent event(wxEVT_BUTTON, DialogControlId(id));
        dialog->GetEventHandler()->ProcessEvent(event);
    }
    void Slide(int id, int position)
    {
        auto* slider = dynamic_cast<wxSlider*>(dialog->GetControl(id));
        slider->SetValue(position);
        wxCommandEvent event(wxEVT_SLIDER, slider->GetId());
        event.SetInt(position);
        dialog->GetEventHandler()->ProcessEvent(event);
    }
    wxTextCtrl* Edit(int id) const { return dynamic_cast<wxTextCtrl*>(dialog->GetControl(id)); }
    int SliderAt(int id) const { return dynamic_cast<wxSlider*>(dialog->GetControl(id))->GetValue(); }

    const CLfImage original;
    CLfImage work;
    CLfImage current;
    CAdjustDlg* dialog = nullptr;
    int redraws = 0;
    std::vector<std::string> messages;
};

// The adjustment of the dialog's present values on a copy of image.
CLfImage Adjusted(const CAdjustDlg& dialog, const CLfImage& image)
{
    CLfImage copy(image);
    EXPECT_TRUE(dialog.Settings().Apply(copy));
    return copy;
}

TEST(CAdjustDlgTest, SlidersEditsAndSpinsMoveTogetherAndTheAfterPictureFollows)
{
    AdjustDialog d(AdjustKind::BrightnessContrast);
    EXPECT_EQ(d.Edit(IDC_BC_GAMMA_EDIT)->GetValue(), "20");
    EXPECT_EQ(d.SliderAt(IDC_BC_GAMMA), 80);
    EXPECT_TRUE(SamePixels(d.dialog->After(), d.dialog->Before()));
    d.Slide(IDC_BC_BRIGHTNESS, 20);
    EXPECT_EQ(d.Edit(IDC_BC_BRIGHTNESS_EDIT)->GetValue(), "80");
    EXPECT_TRUE(SamePixels(d.dialog->After(), Adjusted(*d.dialog, d.dialog->Before())));
    EXPECT_FALSE(SamePixels(d.dialog->After(), d.dialog->Before()));

    d.Edit(IDC_BC_CONTRAST_EDIT)->SetValue("150");
    EXPECT_EQ(d.Edit(IDC_BC_CONTRAST_EDIT)->GetValue(), "100");
    EXPECT_EQ(d.SliderAt(IDC_BC_CONTRAST), 0);
    EXPECT_EQ(d.dialog->Settings().Value(1), 100.0f);

    // A spin writes its number into its edit.
    auto* spin = dynamic_cast<wxSpinButton*>(d.dialog->GetControl(IDC_BC_GAMMA_SPIN));
    wxSpinEvent click(wxEVT_SPIN, spin->GetId());
    click.SetPosition(40);
    d.dialog->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(d.Edit(IDC_BC_GAMMA_EDIT)->GetValue(), "40");
    EXPECT_EQ(d.SliderAt(IDC_BC_GAMMA), 60);
    // The work and the document's image are untouched until Preview or OK.
    EXPECT_TRUE(SamePixels(d.work, d.original));
    EXPECT_TRUE(SamePixels(d.current, d.original));
    EXPECT_EQ(d.redraws, 0);
}

TEST(CAdjustDlgTest, TheAfterPictureIsComputedOnValueChangesOnly)
{
    AdjustDialog d(AdjustKind::Sharpen);
    d.dialog->Show();
    lftest::PumpFor(std::chrono::milliseconds(50));
    const int start = d.dialog->AfterComputations();
    for (int i = 0; i < 3; ++i) {
        d.dialog->AfterPane()->Refresh();
        d.dialog->AfterPane()->Update();
    }
    lftest::PumpFor(std::chrono::milliseconds(30));
    EXPECT_EQ(d.dialog->AfterComputations(), start);
    d.Slide(IDC_FILTER_AMOUNT, 4);
    EXPECT_EQ(d.dialog->AfterComputations(), start + 1);
    EXPECT_EQ(d.Edit(IDC_FILTER_AMOUNT_EDIT)->GetValue(), "4");
}

// Preview writes into the document's image; Cancel, or closing the dialog any other way,
// puts it back; OK leaves the result in the working image and the document's image as
// it was, for the document to take.
TEST(CAdjustDlgTest, PreviewThenCancelOrCloseRestoresAndOkGivesTheResult)
{
    struct Case {
        AdjustKind kind;
        int slider;
        int position;
    } cases[] = {{AdjustKind::BrightnessContrast, IDC_BC_BRIGHTNESS, 10},
                 {AdjustKind::RedGreenBlue, IDC_RGB_GREEN, 20},
                 {AdjustKind::Blur, IDC_FILTER_AMOUNT, 2}};
    const int previewButtons[] = {IDC_BC_PREVIEW_BUTTON, IDC_ADJUST_PREVIEW_BUTTON, IDC_FILTER_PREVIEW_BUTTON};
    for (size_t n = 0; n < std::size(cases); ++n) {
        const Case& c = cases[n];
        SCOPED_TRACE(static_cast<int>(c.kind));
        {
            AdjustDialog d(c.kind);
            d.Slide(c.slider, c.position);
            const CLfImage expected = Adjusted(*d.dialog, d.original);
            d.Press(previewButtons[n]);
            d.Press(previewButtons[n]);  // previews do not pile up
            EXPECT_TRUE(SamePixels(d.current, expected));
            EXPECT_EQ(d.redraws, 2);
            d.Press(wxID_CANCEL);
            EXPECT_EQ(d.dialog->GetReturnCode(), wxID_CANCEL);
            EXPECT_TRUE(SamePixels(d.current, d.original));
            EXPECT_TRUE(SamePixels(d.work, d.original));
            EXPECT_EQ(d.redraws, 3);
        }
        {
            AdjustDialog d(c.kind);
            d.Slide(c.slider, c.position);
            d.Press(previewButtons[n]);
            delete d.dialog;  // closed without Cancel
            d.dialog = nullptr;
            EXPECT_TRUE(SamePixels(d.current, d.original));
        }
        {
            AdjustDialog d(c.kind);
            d.Slide(c.slider, c.position);
            const CLfImage expected = Adjusted(*d.dialog, d.original);
            d.Press(previewButtons[n]);
            d.Press(wxID_OK);
            EXPECT_EQ(d.dialog->GetReturnCode(), wxID_OK);
            EXPECT_TRUE(SamePixels(d.work, expected));
            EXPECT_TRUE(SamePixels(d.current, d.original));
            EXPECT_FALSE(d.dialog->ShowsPreview());
        }
    }
}

TEST(CAdjustDlgTest, OkRefusesAnEditThatIsNoIntegerAndKeepsTheDialogOpen)
{
    AdjustDialog d(AdjustKind::RedGreenBlue);
    d.Edit(IDC_RGB_RED_EDIT)->SetValue("100");
    EXPECT_EQ(d.SliderAt(IDC_RGB_RED), 0);
    d.Edit(IDC_RGB_BLUE_EDIT)->SetValue("-");
    d.Press(wxID_OK);
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0], estr::kEnterInteger);
    EXPECT_NE(d.dialog->GetReturnCode(), wxID_OK);
    EXPECT_TRUE(SamePixels(d.work, d.original));
    d.Edit(IDC_RGB_BLUE_EDIT)->SetValue("0");
    d.Press(wxID_OK);
    EXPECT_EQ(d.dialog->GetReturnCode(), wxID_OK);
    // Red 100 shifts the red channel by 250 (clamped).
    const RGBQUAD p = dlgtest::At(d.work, 3, 2), q = dlgtest::At(d.original, 3, 2);
    EXPECT_EQ(p.rgbRed, std::min(255, q.rgbRed + 250));
    EXPECT_EQ(p.rgbGreen, q.rgbGreen);
    EXPECT_EQ(p.rgbBlue, q.rgbBlue);
}

TEST(CAdjustDlgTest, ExposureAutoAndResetSetTheSliders)
{
    AdjustDialog d(AdjustKind::Exposure);
    d.Press(IDC_EXPOSURE_AUTO);
    EXPECT_EQ(d.SliderAt(IDC_EXPOSURE_LIGHTEN), 48);
    EXPECT_EQ(d.SliderAt(IDC_EXPOSURE_DARKEN), 54);
    EXPECT_EQ(d.SliderAt(IDC_EXPOSURE_GAMMA), 53);
    EXPECT_EQ(d.Edit(IDC_EXPOSURE_LIGHTEN_EDIT)->GetValue(), "52");
    EXPECT_EQ(d.Edit(IDC_EXPOSURE_DARKEN_EDIT)->GetValue(), "46");
    EXPECT_FALSE(SamePixels(d.dialog->After(), d.dialog->Before()));
    d.Press(IDC_EXPOSURE_RESET);
    EXPECT_EQ(d.Edit(IDC_EXPOSURE_GAMMA_EDIT)->GetValue(), "50");
    EXPECT_TRUE(SamePixels(d.dialog->After(), d.dialog->Before()));
}

// Panes of the given size, the picture fitted and centred in them, for extreme shapes too.
TEST(CAdjustDlgTest, PanesHoldThePictureFittedToThem)
{
    struct Case {
        AdjustKind kind;
        int width, height;
        wxSize pane;
        wxRect draw;
    } cases[] = {
        {AdjustKind::BrightnessContrast, 650, 180, {325, 180}, {0, 45, 325, 90}},
        {AdjustKind::HueSaturation, 60, 40, {130, 100}, {35, 30, 60, 40}},
        {AdjustKind::Blur, 2000, 1, {130, 110}, {0, 54, 130, 1}},
    };
    for (const Case& c : cases) {
        AdjustDialog d(c.kind, c.width, c.height);
        EXPECT_EQ(d.dialog->BeforePane()->GetSize(), c.pane);
        EXPECT_EQ(d.dialog->BeforePane()->GetDrawRect(), c.draw);
        EXPECT_EQ(d.dialog->AfterPane()->GetDrawRect(), c.draw);
        EXPECT_EQ(d.dialog->Before().GetWidth(), c.draw.width);
        EXPECT_EQ(d.dialog->Before().GetHeight(), c.draw.height);
    }
}

}  // namespace
