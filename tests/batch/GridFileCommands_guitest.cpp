// The thumbnail grid's context-menu commands reach the file operations through the
// manager's services, as the program fills them.
#include "batch/ui/CDestinationDlg.h"
#include "manager/ui/CDirectoryView.h"
#include "manager/ui/CImageView.h"
#include "manager/ui/CMainFrame.h"
#include "manager/ui/CQuorixDocManager.h"
#include "manager/model/CQuorixState.h"
#include "tests/batch/FileFixtures.h"
#include "tests/manager/FrameTestSupport.h"
#include "tests/manager/ThumbTestSupport.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/weakref.h>

namespace {

using namespace lftest;

TEST(GridFileCommands, CopyOfTwoSelectedImagesCopiesBothAndDeleteAsksFirst)
{
    TempDir dir;
    ScopedEnv data{"XDG_DATA_HOME", (dir / "data").string()};
    std::filesystem::create_directories(dir / "data");
    std::filesystem::create_directories(dir / "photos");
    std::filesystem::create_directories(dir / "copies");
    for (int i = 0; i < 3; ++i) {
        CLfImage picture = GradientPicture(120, 90);
        SavePicture(picture, dir / "photos" / ("p" + std::to_string(i) + ".jpg"), 3);
        SetFileTime(dir / "photos" / ("p" + std::to_string(i) + ".jpg"), -100);
    }

    CQuorixState state((dir / "settings.ini").string());
    std::vector<std::string> messages;
    std::vector<std::string> prompts;
    // The program's services, with every box of the dialogs answered here.
    state.m_services.destination = [&](CQuorixDoc& doc, int mode) {
        CDestinationDlg dialog;
        dialog.SetTarget(&doc, mode);
        dialog.SetMessageSink([&](const std::string& text, const std::string&) { messages.push_back(text); });
        dialog.SetPromptSink([&](const std::string& text, const std::string&, bool) {
            prompts.push_back(text);
            return false;
        });
        wxTheApp->CallAfter([&dialog] {
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            ok.SetEventObject(dialog.FindWindow(wxID_OK));
            dialog.FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(ok);
        });
        dialog.ShowModal();
    };
    int deletes = 0;
    state.m_services.deleteFiles = [&](CQuorixDoc&) { ++deletes; };

    auto manager = std::make_unique<CQuorixDocManager>();
    new TestTemplate(manager.get(), state, (dir / "qkvex.sess").string());
    auto* frame = new CMainFrame(manager.get(), state);
    frame->SetSize(0, 0, 1000, 765);
    wxTheApp->SetTopWindow(frame);
    ASSERT_TRUE(manager->CreateNewDocument());
    auto* doc = dynamic_cast<CQuorixDoc*>(manager->GetCurrentDocument());
    doc->SetMessageSink([&](const std::string& text) { messages.push_back(text); });
    frame->Show();
    PumpFor(std::chrono::milliseconds(50));

    auto* tree = dynamic_cast<CDirectoryView*>(frame->GetDirectoryView());
    auto* grid = dynamic_cast<CImageView*>(frame->GetImagePaneView());
    ASSERT_TRUE(tree && grid);
    ASSERT_TRUE(tree->SelectPath((dir / "photos").string()));
    ASSERT_EQ(doc->GetCurrentFolder()->ImageCount(), 3u);
    doc->SelectImage(0, true, false);
    doc->SelectImage(2, true, false);
    doc->m_strLastCopyFolder = (dir / "copies").string() + "/";
    grid->SetMessageSink([&](const std::string& text, const std::string&) { messages.push_back(text); });

    grid->OnCopy();
    EXPECT_EQ(Listing(dir / "copies"), (std::vector<std::string>{"p0.jpg", "p2.jpg"}));
    EXPECT_EQ(ReadBytes(dir / "copies" / "p2.jpg"), ReadBytes(dir / "photos" / "p2.jpg"));
    EXPECT_TRUE(prompts.empty());
    EXPECT_EQ(messages, std::vector<std::string>{"2 of 2 File(s) copied successfully."});
    EXPECT_EQ(doc->GetSelectedImageCount(), 0u);

    // Delete asks before its dialog runs; No runs nothing.
    doc->SelectImage(1, true, false);
    std::vector<std::string> questions;
    bool yes = false;
    grid->SetQuestionSink([&](const std::string& text) {
        questions.push_back(text);
        return yes;
    });
    grid->OnDelete();
    EXPECT_EQ(deletes, 0);
    yes = true;
    grid->OnDelete();
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(questions, std::vector<std::string>(2, " The file(s) you have selected will be deleted.\nAre you sure?"));

    wxWeakRef<wxWindow> alive(frame);
    frame->Close(true);
    EXPECT_TRUE(PumpUntil([&] { return !alive; }));
    wxTheApp->SetTopWindow(nullptr);
    manager.reset();
}

}  // namespace
