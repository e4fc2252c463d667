// The manager's graphical-text wizard under the test X server: the template pick, the
// job on the selected images, its failures, Cancel during the job, and the result list.
#include "batch/ui/CWatermarkDlg.h"
#include "batch/ui/CWatermarkResultDlg.h"
#include "batch/ui/CWatermarkTemplateDlg.h"
#include "graphictext/ui/CWxTextRasterizer.h"
#include "controls/DialogTemplate.h"
#include "resources/manager/WatermarkDialogs.h"
#include "tests/batch/TextTestImages.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/listctrl.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <filesystem>

using namespace texttest;
namespace fs = std::filesystem;

namespace {

const RGBQUAD kWhite = Rgb(255, 255, 255);

void Press(wxDialog* dialog, int id)
{
    wxCommandEvent event(wxEVT_BUTTON, DialogControlId(id));
    event.SetEventObject(dialog);
    dialog->GetEventHandler()->ProcessEvent(event);
}

void Type(wxDialog* dialog, int id, const char* text)
{
    dynamic_cast<wxTextCtrl*>(dialog->FindWindow(DialogControlId(id)))->SetValue(text);
}

// One step of the arrows, as a click on "+" (1) or "-" (-1) reports it: from the value
// the arrows hold, within their range.
void Step(wxSpinButton* spin, int direction)
{
    const int position = std::clamp(spin->GetValue() + direction, spin->GetMin(), spin->GetMax());
    spin->SetValue(position);
    wxSpinEvent event(wxEVT_SPIN, spin->GetId());
    event.SetEventObject(spin);
    event.SetPosition(position);
    spin->GetEventHandler()->ProcessEvent(event);
}

class WizardTest : public ::testing::Test {
protected:
    WizardTest()
    {
        // Five pictures of 120 x 90, one grey and one PNG, all selected; a GIF and an
        // unselected picture that do not qualify.
        auto folder = std::make_unique<CFolderItem>(dir.str(), dir.str(), 0);
        const char* names[] = {"a.jpg", "b.bmp", "grey.bmp", "d.png", "e.JPG", "f.gif", "g.bmp"};
        for (const char* name : names) {
            const std::string path = (dir / name).string();
            CLfImage image = Plain(120, 90, kWhite);
            if (std::string(name) == "grey.bmp") {
                EXPECT_TRUE(image.GrayScale());
            }
            const std::string n(name);
            const uint32_t type = n.ends_with(".png") ? lfimg::kTypePNG
                                  : n.ends_with(".bmp") ? lfimg::kTypeBMP
                                  : n.ends_with(".gif") ? lfimg::kTypeGIF
                                                        : lfimg::kTypeJPG;
            EXPECT_TRUE(image.Save(path.c_str(), type)) << name;
            auto item = std::make_unique<CImageItem>(name, path, int64_t(fs::file_size(path)), 90, 120);
            item->m_bSelected = n != "g.bmp";
            folder->AddImage(std::move(item));
        }
        doc.SetCurrentFolder(std::move(folder));
        templatePath = (dir / "b.bmp").string();
        EXPECT_TRUE(templateImage.Load(templatePath.c_str(), lfimg::kTypeBMP));
        prompts.message = [this](const std::string& text) { messages.push_back(text); };
        prompts.confirm = [this](const std::string& text) {
            questions.push_back(text);
            return confirmAnswer;
        };
        prompts.chooseFolder = [] { return std::string(); };
    }

    // Runs steps 2 and 3 modally with script driving them once they show.
    int Run(std::function<void(CWatermarkDlg*)> script)
    {
        CWatermarkDlg dialog(nullptr, doc, templateImage, templatePath, prompts);
        dialog.SetColourChooser([](wxWindow*) { return std::optional<COLORREF>(RGB(255, 0, 0)); });
        wxTheApp->CallAfter([&dialog, script] { script(&dialog); });
        const int result = dialog.ShowModal();
        settings = dialog.m_settings;
        position = dialog.GetPane()->Position();
        reducedHeight = dialog.GetReducedImage().GetHeight();
        return result;
    }

    // Step 2: red "T" of 20 pixels at full visibility, previewed, then step 3.
    static void SetUpAndGoOn(CWatermarkDlg* dialog)
    {
        Type(dialog, IDC_WM_EDIT, "T");
        Type(dialog, IDC_WM_HEIGHT, "20");
        dynamic_cast<wxComboBox*>(dialog->FindWindow(DialogControlId(IDC_WM_UNIT)))->SetValue("Pixels");
        Type(dialog, IDC_WM_VISIBILITY, "100");
        dialog->ChooseColour();
        EXPECT_TRUE(dialog->FindWindow(DialogControlId(IDC_WM_NEXT))->IsEnabled());
        Press(dialog, IDC_WM_NEXT);
        EXPECT_EQ(dialog->GetStep(), 1);
    }

    std::string Output(const char* name) const { return (dir / "watermark" / name).string(); }

    lftest::TempDir dir;
    lftest::TestDoc doc{(dir / "qkvex.sess").string()};
    CLfImage templateImage;
    std::string templatePath;
    CWatermarkDlg::Prompts prompts;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    bool confirmAnswer = false;
    GraphicTextSettings settings;
    TextPosition position;
    int reducedHeight = 0;
};

TEST_F(WizardTest, TheJobWritesEveryTickedImageWithTheText)
{
    ASSERT_EQ(Run([](CWatermarkDlg* dialog) {
                  SetUpAndGoOn(dialog);
                  EXPECT_EQ(dialog->GetImageList()->GetItemCount(), 5);
                  Press(dialog, IDC_WM_APPLY);
              }),
              wxID_OK);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(doc.m_strTextOutputFolder, (dir / "watermark").string());
    EXPECT_EQ(doc.m_arrTextSavedFiles, (std::vector<std::string>{Output("a.jpg"), Output("b.bmp"), Output("grey.bmp"),
                                                                 Output("d.png"), Output("e.JPG")}));
    // The lossless files carry exactly what the renderer draws for the same settings.
    CLfImage expected = Plain(120, 90, kWhite);
    CWxTextRasterizer rasterizer;
    ASSERT_EQ(RenderFullSize(expected, settings, position, reducedHeight, rasterizer, kManagerTextStyle),
              RenderOutcome::Done);
    const auto textPoints = Changed(expected, kWhite);
    ASSERT_FALSE(textPoints.empty());
    for (const char* name : {"b.bmp", "grey.bmp", "d.png"}) {
        CLfImage out;
        ASSERT_TRUE(out.Load(Output(name).c_str(), 0)) << name;
        EXPECT_EQ(Changed(out, kWhite), textPoints) << name;
        EXPECT_TRUE(Same(out.GetPixelColor(textPoints[0].first, textPoints[0].second), Rgb(255, 0, 0)));
    }
    // The template is not reduced (hp = 90): start row 79 (80.9999998 less 90 / 90), font
    // 20 rows, so raster row k lands on row 90 - k - 79 + 20 from the bottom: 31 down to 12;
    // from 10 % of the width.
    for (const auto& [x, y] : textPoints) {
        EXPECT_GE(x, 12);
        EXPECT_GE(y, 12);
        EXPECT_LE(y, 31);
    }
}

TEST_F(WizardTest, AFailedSaveIsReportedAndNotListed)
{
    fs::create_directories(fs::path(Output("d.png")));
    lftest::WriteText(fs::path(Output("d.png")) / "keep", "x");
    ASSERT_EQ(Run([](CWatermarkDlg* dialog) {
                  SetUpAndGoOn(dialog);
                  Press(dialog, IDC_WM_APPLY);
              }),
              wxID_OK);
    EXPECT_EQ(doc.m_arrTextSavedFiles.size(), 4u);
    EXPECT_EQ(std::count(doc.m_arrTextSavedFiles.begin(), doc.m_arrTextSavedFiles.end(), Output("d.png")), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(Output("d.png")), std::string::npos);
}

TEST_F(WizardTest, CancelDuringTheJobClosesWithNothingWritten)
{
    bool working = false;
    EXPECT_EQ(Run([&working](CWatermarkDlg* dialog) {
                  SetUpAndGoOn(dialog);
                  Press(dialog, IDC_WM_APPLY);
                  // The job cannot finish an image before this thread answers its raster request.
                  working = dialog->IsWorking();
                  Press(dialog, wxID_CANCEL);
              }),
              wxID_CANCEL);
    EXPECT_TRUE(working);
    EXPECT_TRUE(doc.m_arrTextSavedFiles.empty());
    for (const char* name : {"a.jpg", "b.bmp", "grey.bmp", "d.png", "e.JPG"})
        EXPECT_FALSE(fs::exists(Output(name))) << name;
    EXPECT_TRUE(messages.empty());
}

TEST_F(WizardTest, CancelInStep2ClosesAtOnce)
{
    EXPECT_EQ(Run([](CWatermarkDlg* dialog) { Press(dialog, wxID_CANCEL); }), wxID_CANCEL);
    EXPECT_TRUE(doc.m_arrTextSavedFiles.empty());
}

TEST_F(WizardTest, TheVisibilityArrowsCountFromTheField)
{
    EXPECT_EQ(Run([](CWatermarkDlg* dialog) {
                  auto* field = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(DialogControlId(IDC_WM_VISIBILITY)));
                  auto* spin = dynamic_cast<wxSpinButton*>(dialog->FindWindow(DialogControlId(IDC_WM_VISIBILITY_SPIN)));
                  auto* slider = dynamic_cast<wxSlider*>(dialog->FindWindow(DialogControlId(IDC_WM_SLIDER)));
                  ASSERT_TRUE(field && spin && slider);
                  EXPECT_EQ(field->GetValue(), "50");
                  EXPECT_EQ(spin->GetValue(), 50);  // so "-" is not greyed
                  Step(spin, 1);
                  EXPECT_EQ(field->GetValue(), "51");
                  EXPECT_EQ(slider->GetValue(), 51);
                  Type(dialog, IDC_WM_VISIBILITY, "80");
                  Step(spin, -1);
                  EXPECT_EQ(field->GetValue(), "79");
                  Press(dialog, wxID_CANCEL);
              }),
              wxID_CANCEL);
    EXPECT_EQ(settings.visibility, 79);
}

TEST_F(WizardTest, TheSourceFolderAsOutputAsksBeforeReplacingOriginals)
{
    EXPECT_EQ(Run([this](CWatermarkDlg* dialog) {
                  SetUpAndGoOn(dialog);
                  Type(dialog, IDC_WM_OUTPUT, dir.str().c_str());
                  EXPECT_FALSE(dialog->ApplyTextAndSave());  // answered No
                  EXPECT_FALSE(dialog->IsWorking());
                  Press(dialog, wxID_CANCEL);
              }),
              wxID_CANCEL);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], CWatermarkDlg::ReplaceOriginalsQuestion(dir.str()));
    CLfImage original;
    ASSERT_TRUE(original.Load((dir / "b.bmp").c_str(), 0));
    EXPECT_TRUE(Changed(original, kWhite).empty());
}

TEST_F(WizardTest, StepOneListsQualifyingImagesAndPicksTheTemplate)
{
    CWatermarkTemplateDlg step1;
    step1.SetDocument(doc);
    doc.m_strTextSamplePath = "old";
    ASSERT_TRUE(step1.Build());
    EXPECT_TRUE(doc.m_strTextSamplePath.empty());
    wxListCtrl* list = step1.GetList();
    ASSERT_EQ(list->GetItemCount(), 5);  // no GIF, nothing unselected; "JPG" counts
    EXPECT_EQ(list->GetItemText(4), "e.JPG");
    EXPECT_TRUE(list->IsItemChecked(0));
    EXPECT_EQ(step1.GetTemplatePath(), (dir / "a.jpg").string());
    step1.ClickRow(3);
    EXPECT_FALSE(list->IsItemChecked(0));
    EXPECT_TRUE(list->IsItemChecked(3));
    step1.ClickColumn(0);  // descending first
    EXPECT_EQ(list->GetItemText(0), "grey.bmp");
    EXPECT_EQ(doc.m_nSortKey, kSortByName);
    EXPECT_EQ(doc.m_nSortOrder, kSortForward);
    step1.ClickColumn(0);
    EXPECT_EQ(list->GetItemText(0), "a.jpg");
    EXPECT_EQ(doc.m_nSortOrder, kSortReverse);
    // The picked template keeps its check after the sort.
    EXPECT_EQ(list->GetItemText(2), "d.png");
    EXPECT_TRUE(list->IsItemChecked(2));
    EXPECT_FALSE(list->IsItemChecked(3));
    step1.NextStep();
    EXPECT_EQ(doc.m_strTextSamplePath, (dir / "d.png").string());
    EXPECT_EQ(step1.GetReturnCode(), wxID_OK);
    step1.Destroy();
}

TEST(WatermarkTemplate, SizesLessThanOneKBApartCompareEqual)
{
    std::vector<CWatermarkTemplateDlg::Row> rows{{"a", 10.2, 0, "a"}, {"b", 10.7, 0, "b"}, {"c", 12.0, 0, "c"}};
    CWatermarkTemplateDlg::SortRows(rows, 1, false);
    EXPECT_EQ(rows[0].name, "c");
    EXPECT_EQ(rows[1].name, "a");  // equal to b: their order stays
    CWatermarkTemplateDlg::SortRows(rows, 1, true);
    EXPECT_EQ(rows[2].name, "c");
    EXPECT_EQ(CWatermarkTemplateDlg::SizeText(1.5), "1.50 KB");
}

TEST_F(WizardTest, TheResultListsTheSavedFiles)
{
    doc.m_strTextOutputFolder = "/out";
    doc.m_arrTextSavedFiles = {"/out/a.jpg", "/out/b.bmp"};
    CWatermarkResultDlg result;
    result.SetDocument(doc);
    ASSERT_TRUE(result.Build());
    ASSERT_EQ(result.GetList()->GetItemCount(), 2);
    EXPECT_EQ(result.GetList()->GetItemText(1), "b.bmp");
    EXPECT_EQ(dynamic_cast<wxTextCtrl*>(result.FindWindow(DialogControlId(IDC_WMR_FOLDER)))->GetValue(), "/out");
    result.Destroy();
}

}  // namespace
