// The editor's graphical-text dialog on the document's Text command: Apply renders at
// full size on the worker and only a completed rendering reaches the document, as one
// undo step; Cancel, also during the rendering, changes nothing.
#include "editor/ui/CWatermarkTextDlg.h"

#include "graphictext/ui/CWxTextRasterizer.h"
#include "controls/DialogTemplate.h"
#include "editor/ui/CPixoroEditDialogs.h"
#include "editor/model/CPixoroDocModel.h"
#include "editor/model/CPixoroState.h"
#include "resources/editor/TextDialog.h"
#include "tests/editor/DialogImages.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <functional>

namespace {

CWatermarkTextDlg* OpenTextDialog()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<CWatermarkTextDlg*>(window); dialog && dialog->IsModal())
            return dialog;
    return nullptr;
}

void Press(wxDialog* dialog, int id)
{
    wxCommandEvent event(wxEVT_BUTTON, DialogControlId(id));
    event.SetEventObject(dialog);
    dialog->GetEventHandler()->ProcessEvent(event);
}

// Types the text and the visibility, then previews.
void SetUpText(CWatermarkTextDlg* dialog, const char* text, int visibility)
{
    dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_TEXT_EDIT))->SetValue(text);
    dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_TEXT_VISIBILITY))->SetValue(std::to_string(visibility));
    Press(dialog, IDC_TEXT_PREVIEW);
}

class TextCommandTest : public ::testing::Test {
protected:
    TextCommandTest()
    {
        doc.SetEditDialogs(&dialogs);
        doc.SetImage(std::make_unique<CLfImage>(original));
        doc.m_strPath = (dir / "photo.bmp").string();
    }

    // Runs the Text command with the dialog driven by script once it is open.
    bool RunText(std::function<void(CWatermarkTextDlg*)> script)
    {
        bool ran = false;
        wxTheApp->CallAfter([&ran, script] {
            CWatermarkTextDlg* dialog = OpenTextDialog();
            if (!dialog) {
                ADD_FAILURE() << "the text dialog did not open";
                return;
            }
            ran = true;
            script(dialog);
        });
        const bool result = doc.AddText();
        EXPECT_TRUE(ran);
        return result;
    }

    lftest::TempDir dir;
    CPixoroState state{(dir / "settings.ini").string()};
    lftest::ScriptedPrompts prompts;
    CPixoroDocModel doc{state, prompts};
    CPixoroEditDialogs dialogs;
    const CLfImage original = dlgtest::MakeImage(400, 300, [](int, int) { return dlgtest::Rgb(255, 255, 255); });
};

TEST_F(TextCommandTest, ApplyChangesOnlyTheTextBlockAndUndoRestores)
{
    ASSERT_TRUE(doc.CanAddText());
    int reducedHeight = 0;
    TextPosition position;
    GraphicTextSettings settings;
    wxString statusAtEnd;
    ASSERT_TRUE(RunText([&](CWatermarkTextDlg* dialog) {
        EXPECT_FALSE(dialog->GetControl(IDC_TEXT_APPLY)->IsEnabled());  // nothing previewed yet
        SetUpText(dialog, "TEST", 50);
        EXPECT_TRUE(dialog->GetControl(IDC_TEXT_APPLY)->IsEnabled());
        reducedHeight = dialog->GetReducedImage().GetHeight();
        position = dialog->GetPane()->Position();
        settings = dialog->m_settings;
        // The status as the dialog goes away: the rendering is done and the image is handed on.
        dialog->Bind(wxEVT_SHOW, [&statusAtEnd, dialog](wxShowEvent& event) {
            if (!event.IsShown())
                statusAtEnd = dialog->GetStatus()->GetLabel();
            event.Skip();
        });
        Press(dialog, IDC_TEXT_APPLY);
    }));
    EXPECT_EQ(statusAtEnd, "Saving : photo.bmp");
    // The same rendering made here, on the user-interface thread, changes the same pixels.
    CLfImage expected(original);
    CWxTextRasterizer rasterizer;
    ASSERT_EQ(RenderFullSize(expected, settings, position, reducedHeight, rasterizer, kEditorTextStyle),
              RenderOutcome::Done);
    ASSERT_TRUE(dlgtest::SamePixels(*doc.GetImage(), expected));
    // The text is grey (black at 50 % over white) and lies in the block: from a tenth of
    // the width; with the start row 269 (270 less 225 / 300) and 30 rows of font, raster
    // row k lands on row k + 269 - 30 - 1 from the top.
    int changed = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) {
            const RGBQUAD c = dlgtest::At(*doc.GetImage(), x, y);
            if (c.rgbRed == 255)
                continue;
            ++changed;
            EXPECT_EQ(c.rgbRed, 127);
            EXPECT_TRUE(x >= 40 && x < 400 && y >= 238 && y < 238 + 30) << x << "," << y;
        }
    EXPECT_GT(changed, 100);
    EXPECT_EQ(doc.GetUndo().Count(), 1);
    ASSERT_TRUE(doc.UndoEdit());
    EXPECT_TRUE(dlgtest::SamePixels(*doc.GetImage(), original));
}

TEST_F(TextCommandTest, CancelDuringApplyChangesNothingAndTheNextDialogStaysOpen)
{
    bool workingAtCancel = false;
    EXPECT_FALSE(RunText([&](CWatermarkTextDlg* dialog) {
        SetUpText(dialog, "TEST", 50);
        Press(dialog, IDC_TEXT_APPLY);
        // The worker cannot finish before this thread answers its raster request.
        workingAtCancel = dialog->IsWorking();
        Press(dialog, wxID_CANCEL);
    }));
    EXPECT_TRUE(workingAtCancel);
    EXPECT_TRUE(dlgtest::SamePixels(*doc.GetImage(), original));
    EXPECT_EQ(doc.GetUndo().Count(), 0);

    // Opened again at once: nothing left over from the cancelled run closes it.
    bool stayedOpen = false;
    EXPECT_FALSE(RunText([&](CWatermarkTextDlg* dialog) {
        wxTheApp->CallAfter([&stayedOpen, dialog] {
            stayedOpen = OpenTextDialog() == dialog && dialog->IsShown();
            Press(dialog, wxID_CANCEL);
        });
    }));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(doc.GetUndo().Count(), 0);
}

TEST_F(TextCommandTest, TheArrowsHoldTheNumbersTheirFieldsShow)
{
    EXPECT_FALSE(RunText([](CWatermarkTextDlg* dialog) {
        auto* height = dynamic_cast<wxSpinButton*>(dialog->GetControl(IDC_TEXT_HEIGHT_SPIN));
        auto* visibility = dynamic_cast<wxSpinButton*>(dialog->GetControl(IDC_TEXT_VISIBILITY_SPIN));
        ASSERT_TRUE(height && visibility);
        EXPECT_EQ(height->GetValue(), 10);
        EXPECT_EQ(visibility->GetValue(), 50);
        dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_TEXT_HEIGHT))->SetValue("17");
        dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_TEXT_VISIBILITY))->SetValue("64");
        EXPECT_EQ(height->GetValue(), 17);
        EXPECT_EQ(visibility->GetValue(), 64);
        Press(dialog, wxID_CANCEL);
    }));
}

TEST_F(TextCommandTest, CancelBeforeApplyEndsAtOnce)
{
    EXPECT_FALSE(RunText([](CWatermarkTextDlg* dialog) {
        EXPECT_FALSE(dialog->IsWorking());
        Press(dialog, wxID_CANCEL);
    }));
    EXPECT_EQ(doc.GetUndo().Count(), 0);
}

class TextDialogTest : public ::testing::Test {
protected:
    ~TextDialogTest() override { dialog->Destroy(); }
    CLfImage image = dlgtest::MakeImage(200, 100, [](int, int) { return dlgtest::Rgb(255, 255, 255); });
    CWatermarkTextDlg* dialog = new CWatermarkTextDlg(nullptr, image, "/x/photo.bmp");
};

TEST_F(TextDialogTest, PercentUnitCapsTheHeightAndEmptyTextDrawsNothing)
{
    dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_TEXT_HEIGHT))->SetValue("40");
    dialog->ReadControls();
    EXPECT_EQ(dialog->m_settings.unit, "Percent");
    Press(dialog, IDC_TEXT_PREVIEW);
    EXPECT_EQ(dialog->m_settings.heightText, "25");
    EXPECT_EQ(dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_TEXT_HEIGHT))->GetValue(), "25");
    EXPECT_TRUE(dlgtest::SamePixels(dialog->GetWorkingImage(), dialog->GetReducedImage()));
}

TEST_F(TextDialogTest, LettersInTheVisibilityEditMakeItZero)
{
    dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_TEXT_VISIBILITY))->SetValue("abc");
    EXPECT_EQ(dialog->m_settings.visibility, 0);
    dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_TEXT_VISIBILITY))->SetValue("70x");
    EXPECT_EQ(dialog->m_settings.visibility, 70);
}

TEST_F(TextDialogTest, CentredPreviewRefusesDragsAndColourChangePreviews)
{
    dynamic_cast<wxTextCtrl*>(dialog->GetControl(IDC_TEXT_EDIT))->SetValue("Hi");
    dialog->SetColourChooser([](wxWindow*) { return std::optional<COLORREF>(RGB(255, 0, 0)); });
    dialog->ChooseColour();
    EXPECT_FALSE(dlgtest::SamePixels(dialog->GetWorkingImage(), dialog->GetReducedImage()));
    auto* centre = dynamic_cast<wxCheckBox*>(dialog->GetControl(IDC_TEXT_CENTRE));
    centre->SetValue(true);
    wxCommandEvent event(wxEVT_CHECKBOX, centre->GetId());
    dialog->GetEventHandler()->ProcessEvent(event);
    EXPECT_TRUE(dialog->GetPane()->IsDragDisabled());
    const TextPosition before = dialog->GetPane()->Position();
    const wxRect draw = dialog->GetPane()->GetDrawRect();
    dialog->GetPane()->ButtonDown(wxPoint(draw.x + before.originX + 1, draw.y + draw.height - before.originY - 1));
    dialog->GetPane()->PointerMove(wxPoint(draw.x + 5, draw.y + 5));
    dialog->GetPane()->ButtonUp();
    EXPECT_EQ(dialog->GetPane()->Position().originX, before.originX);
    EXPECT_EQ(dialog->GetPane()->Position().originY, before.originY);
}

}  // namespace
