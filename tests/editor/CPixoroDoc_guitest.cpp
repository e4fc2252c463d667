#include "editor/ui/CJpegOptionsDlg.h"
#include "editor/ui/CMainFrame.h"
#include "editor/ui/CPixoroDoc.h"
#include "editor/ui/CPixoroDocTemplate.h"
#include "editor/ui/CPixoroPrompts.h"
#include "editor/model/CPixoroState.h"
#include "editor/ui/CPixoroView.h"
#include "image/CLfImage.h"
#include "resources/editor/EditorIds.h"
#include "tests/editor/EditorFrameFixture.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/docview.h>
#include <wx/statusbr.h>

#include <memory>

namespace {

class CPixoroDocTest : public lftest::EditorFrameFixture {
protected:
    std::string Picture(const std::string& name, int width, int height)
    {
        auto picture = lftest::MakePicture(width, height, 24);
        const std::string path = (dir / name).string();
        EXPECT_TRUE(picture->Save(path.c_str(), lfimg::kTypePNG));
        return path;
    }
    wxString Pane(int n) const { return frame->GetStatusBar()->GetStatusText(n); }
};

TEST_F(CPixoroDocTest, OpeningShowsTheTitleAndTheStatusPanes)
{
    const std::string path = Picture("photo.png", 64, 48);
    wxDocument* doc = manager->CreateDocument(wxString::FromUTF8(path), wxDOC_SILENT);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(frame->GetTitle(), "Lanternfolio Photo Editor [ photo.png ]");
    EXPECT_EQ(Pane(1), "Image Size : 64w x 48h ");
    EXPECT_TRUE(Pane(2).StartsWith(" File Size : ")) << Pane(2);
    EXPECT_EQ(doc->GetTitle(), "photo.png");
    ASSERT_NE(dynamic_cast<CPixoroView*>(doc->GetFirstView()), nullptr);
}

TEST_F(CPixoroDocTest, OpeningAnotherImageClosesTheFirstAndAFailedOpenLeavesNoWindow)
{
    const std::string first = Picture("a.png", 10, 10);
    const std::string second = Picture("b.png", 20, 10);
    ASSERT_NE(manager->CreateDocument(wxString::FromUTF8(first), wxDOC_SILENT), nullptr);
    ASSERT_NE(manager->CreateDocument(wxString::FromUTF8(second), wxDOC_SILENT), nullptr);
    EXPECT_EQ(manager->GetDocuments().GetCount(), 1u);
    EXPECT_EQ(Pane(1), "Image Size : 20w x 10h ");

    EXPECT_EQ(manager->CreateDocument(wxString::FromUTF8((dir / "missing.png").string()), wxDOC_SILENT), nullptr);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(manager->GetDocuments().GetCount(), 0u) << "the shown image was closed first";
    lftest::PumpUntil([&] { return Pane(1) == "No Image Loaded."; });
    EXPECT_EQ(Pane(1), "No Image Loaded.");
}

TEST_F(CPixoroDocTest, AFileDroppedOnTheWindowOpens)
{
    auto* files = new wxString[1]{wxString::FromUTF8(Picture("dropped.png", 30, 20))};  // the event owns them
    wxDropFilesEvent drop(wxEVT_DROP_FILES, 1, files);
    frame->GetEventHandler()->ProcessEvent(drop);
    ASSERT_EQ(manager->GetDocuments().GetCount(), 1u);
    EXPECT_EQ(Pane(1), "Image Size : 30w x 20h ");
}

TEST_F(CPixoroDocTest, UndoMenuStateFollowsTheRing)
{
    auto* doc = dynamic_cast<CPixoroDoc*>(
        manager->CreateDocument(wxString::FromUTF8(Picture("a.png", 10, 10)), wxDOC_SILENT));
    ASSERT_NE(doc, nullptr);
    auto state = [&](int id) {
        wxUpdateUIEvent event(id);
        doc->ProcessEvent(event);
        return std::make_pair(event.GetEnabled(), event.GetText());
    };
    EXPECT_EQ(state(wxID_UNDO), std::make_pair(false, wxString("Undo (0)\tCtrl+Z")));
    doc->SubmitUndo();
    doc->GetImage()->GrayScale();
    EXPECT_EQ(state(wxID_UNDO), std::make_pair(true, wxString("Undo (1)\tCtrl+Z")));
    EXPECT_FALSE(state(wxID_REDO).first);
    wxCommandEvent undo(wxEVT_MENU, wxID_UNDO);
    doc->ProcessEvent(undo);
    EXPECT_FALSE(doc->GetImage()->IsGrayScale());
    EXPECT_TRUE(state(wxID_REDO).first);
    EXPECT_FALSE(state(wxID_UNDO).first);
}

TEST_F(CPixoroDocTest, ClosingWithEditsAsksAndCancelKeepsTheDocument)
{
    const std::string path = Picture("a.png", 10, 10);
    auto* doc = dynamic_cast<CPixoroDoc*>(manager->CreateDocument(wxString::FromUTF8(path), wxDOC_SILENT));
    ASSERT_NE(doc, nullptr);
    doc->SubmitUndo();
    doc->GetImage()->GrayScale();
    prompts.answers = {DocPrompts::Answer::Cancel};
    EXPECT_FALSE(manager->CloseDocument(doc));
    EXPECT_EQ(manager->GetDocuments().GetCount(), 1u);
    EXPECT_EQ(doc->GetUndo().Count(), 1);
    prompts.answers = {DocPrompts::Answer::No};
    EXPECT_TRUE(manager->CloseDocument(doc));
    EXPECT_EQ(manager->GetDocuments().GetCount(), 0u);
}

// Once the JPEG options dialog shows: a click on Progressive, then Save.
void ChooseProgressiveWhenTheOptionsShow(int triesLeft = 500)
{
    wxTheApp->CallAfter([triesLeft] {
        CJpegOptionsDlg* dialog = nullptr;
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* d = dynamic_cast<CJpegOptionsDlg*>(w); d && d->IsModal())
                dialog = d;
        if (!dialog) {
            if (triesLeft > 0)
                ChooseProgressiveWhenTheOptionsShow(triesLeft - 1);
            return;
        }
        auto* box = dynamic_cast<wxCheckBox*>(dialog->GetControl(IDC_JPEG_PROGRESSIVE));
        box->SetValue(true);
        wxCommandEvent click(wxEVT_CHECKBOX, box->GetId());
        click.SetEventObject(box);
        click.SetInt(1);
        box->GetEventHandler()->ProcessEvent(click);
        wxCommandEvent save(wxEVT_BUTTON, wxID_OK);
        dialog->GetEventHandler()->ProcessEvent(save);
    });
}

TEST(CPixoroPrompts, TheProgressiveChoiceOfTheOptionsDialogGivesAProgressiveFile)
{
    lftest::TempDir dir;
    CPixoroState state((dir / "settings.ini").string());
    CPixoroPrompts prompts;
    CPixoroDocModel doc(state, prompts);
    const std::string path = (dir / "photo.jpg").string();
    ASSERT_TRUE(lftest::MakePicture(48, 32, 24)->Save(path.c_str(), lfimg::kTypeJPG));
    ASSERT_TRUE(doc.OpenDocument(path));
    ChooseProgressiveWhenTheOptionsShow();
    ASSERT_TRUE(doc.DoSave(path, false));
    const auto bytes = lftest::ReadBytes(path);
    bool progressive = false, baseline = false;
    for (size_t i = 2; i + 1 < bytes.size(); ++i) {
        progressive |= bytes[i] == 0xFF && bytes[i + 1] == 0xC2;
        baseline |= bytes[i] == 0xFF && bytes[i + 1] == 0xC0;
    }
    EXPECT_TRUE(progressive);
    EXPECT_FALSE(baseline);
    EXPECT_EQ(state.m_nJpegEncoding, 1) << "the default box was checked: progressive is the new preset";
}

}  // namespace
