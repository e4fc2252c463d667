#include "editor/shell/CMainFrame.h"
#include "editor/shell/CPixoroDoc.h"
#include "editor/shell/CPixoroDocTemplate.h"
#include "editor/shell/CPixoroState.h"
#include "editor/shell/CPixoroView.h"
#include "image/CLfImage.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/docview.h>
#include <wx/statusbr.h>

#include <memory>

namespace {

// The editor's document manager, template and main frame, as start-up builds them.
class CPixoroDocTest : public ::testing::Test {
protected:
    CPixoroDocTest()
    {
        manager = std::make_unique<wxDocManager>(0, false);
        manager->Initialize();
        new CPixoroDocTemplate(manager.get(), state, prompts);
        frame = new CMainFrame(manager.get());
        wxTheApp->SetTopWindow(frame);
        frame->Show();
    }
    ~CPixoroDocTest() override
    {
        manager->Clear(true);
        frame->Destroy();
        lftest::PumpFor(std::chrono::milliseconds(50));
        wxTheApp->SetTopWindow(nullptr);
    }
    std::string Picture(const std::string& name, int width, int height)
    {
        auto picture = lftest::MakePicture(width, height, 24);
        const std::string path = (dir / name).string();
        EXPECT_TRUE(picture->Save(path.c_str(), lfimg::kTypePNG));
        return path;
    }
    wxString Pane(int n) const { return frame->GetStatusBar()->GetStatusText(n); }

    lftest::TempDir dir;
    CPixoroState state{(dir / "settings.ini").string()};
    lftest::ScriptedPrompts prompts;
    std::unique_ptr<wxDocManager> manager;
    CMainFrame* frame = nullptr;
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
    lftest::PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(Pane(1), "No Image Loaded.");
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

}  // namespace
