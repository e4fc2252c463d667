#include "batch/model/FileOpJob.h"
#include "batch/ui/CCopyMoveDlg.h"
#include "batch/ui/CDestinationDlg.h"
#include "batch/ui/CFileJobRunner.h"
#include "batch/ui/CFileOpDlg.h"
#include "batch/ui/CRenameDlg.h"
#include "controls/CFolderTreeCtrl.h"
#include "manager/model/CFolderItem.h"
#include "platform/gui/PostedMessageEvent.h"
#include "resources/manager/ManagerDialogs.h"
#include "tests/batch/FileFixtures.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

namespace {

using namespace lftest;

// Presses a button of the running modal dialog once its loop runs.
void PressLater(wxDialog& dialog, int id)
{
    wxTheApp->CallAfter([&dialog, id] {
        wxWindow* button = dialog.FindWindow(id);
        ASSERT_NE(button, nullptr);
        wxCommandEvent click(wxEVT_BUTTON, button->GetId());
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    });
}

// A document whose current folder "photos" holds a.jpg, b.jpg and c.jpg; b and c are
// selected. Boxes are recorded and answered by script.
class FileOpDialogs : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(m_dir / "photos");
        std::filesystem::create_directory(m_dir / "out");
        for (unsigned i = 0; i < 3; ++i)
            WriteBytes(Photo(std::string(1, char('a' + i)) + ".jpg"), PatternBytes(2000 + i, i));
        m_doc.SetCurrentFolder(TestDoc::MakeFolder((m_dir / "photos").string(), {"a.jpg", "b.jpg", "c.jpg"}));
        m_doc.SelectImage(1, true, false);
        m_doc.SelectImage(2, true, false);
        ASSERT_EQ(m_doc.GetSelectedImageCount(), 2u);
    }

    std::filesystem::path Photo(const std::string& name) const { return m_dir / "photos" / name; }
    std::filesystem::path Out(const std::string& name) const { return m_dir / "out" / name; }

    CFileJobRunner::PromptSink Prompts()
    {
        return [this](const std::string& text, const std::string&, bool question) {
            m_prompts.push_back(text);
            return question && m_answerYes;
        };
    }
    std::function<void(const std::string&, const std::string&)> Messages()
    {
        return [this](const std::string& text, const std::string& caption) { m_messages.push_back(caption + "|" + text); };
    }

    TempDir m_dir;
    TestDoc m_doc{(m_dir / "qkvex.sess").string()};
    std::vector<std::string> m_prompts;
    std::vector<std::string> m_messages;
    bool m_answerYes = false;
};

TEST_F(FileOpDialogs, DropDialogChoosingCopyCopiesBothSelectedImages)
{
    m_doc.m_strDestFolder = (m_dir / "out").string();
    CCopyMoveDlg dialog;
    dialog.SetDocument(&m_doc);
    dialog.SetPromptSink(Prompts());
    dialog.SetMessageSink(Messages());
    EXPECT_EQ(dialog.GetTitle(), "Lanternfolio Photo Editor Version ");
    PressLater(dialog, mdlg::kGoButton);
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(dialog.FindWindow(mdlg::kFolderStatic)->GetLabel(),
              (m_dir / "out").string());
    EXPECT_FALSE(dialog.IsMove()) << "Copy is the choice the dialog opens with";
    EXPECT_EQ(Listing(m_dir / "out"), (std::vector<std::string>{"b.jpg", "c.jpg"}));
    EXPECT_EQ(ReadBytes(Out("b.jpg")), ReadBytes(Photo("b.jpg")));
    EXPECT_EQ(ReadBytes(Out("c.jpg")), ReadBytes(Photo("c.jpg")));
    EXPECT_EQ(Listing(m_dir / "photos").size(), 3u);
    EXPECT_TRUE(m_prompts.empty());
    EXPECT_EQ(m_messages, std::vector<std::string>{"File Copy|File(s) copied successfully."});
    EXPECT_EQ(m_doc.GetSelectedImageCount(), 0u);
}

TEST_F(FileOpDialogs, DropDialogMoveAnsweredNoKeepsThatSourceAndTheExistingTarget)
{
    m_doc.m_strDestFolder = (m_dir / "out").string() + "/";
    WriteText(Out("c.jpg"), "already there");
    CCopyMoveDlg dialog;
    dialog.SetDocument(&m_doc);
    dialog.SetPromptSink(Prompts());
    dialog.SetMessageSink(Messages());
    wxTheApp->CallAfter([&dialog] {
        dynamic_cast<wxRadioButton*>(dialog.FindWindow(mdlg::kMoveRadio))->SetValue(true);
    });
    PressLater(dialog, mdlg::kGoButton);
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_TRUE(dialog.IsMove());
    EXPECT_EQ(m_prompts, std::vector<std::string>{"Do you want to overwrite " + Out("c.jpg").string()});
    EXPECT_EQ(ReadText(Out("c.jpg")), "already there");
    EXPECT_EQ(Listing(m_dir / "photos"), (std::vector<std::string>{"a.jpg", "c.jpg"}));
    EXPECT_EQ(ReadBytes(Out("b.jpg")), PatternBytes(2001, 1));
    EXPECT_EQ(m_messages.size(), 1u);
    // The rescan shows the folder as it is now.
    ASSERT_EQ(m_doc.GetCurrentFolder()->ImageCount(), 2u);
}

TEST_F(FileOpDialogs, DropDialogCancelBeforeGoTouchesNothingAndEmptiesTheSelection)
{
    m_doc.m_strDestFolder = (m_dir / "out").string();
    CCopyMoveDlg dialog;
    dialog.SetDocument(&m_doc);
    dialog.SetMessageSink(Messages());
    PressLater(dialog, wxID_CANCEL);
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_TRUE(Listing(m_dir / "out").empty());
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_doc.GetSelectedImageCount(), 0u);
}

TEST_F(FileOpDialogs, DestinationStartsAtTheLastCopyFolderAndReportsTheCount)
{
    m_doc.m_strLastCopyFolder = (m_dir / "out").string() + "/";
    WriteText(Out("b.jpg"), "older");
    m_answerYes = false;
    CDestinationDlg dialog;
    dialog.SetTarget(&m_doc, 1);
    dialog.SetPromptSink(Prompts());
    dialog.SetMessageSink(Messages());
    PressLater(dialog, wxID_OK);
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(dialog.FindWindow(mdlg::kModeLabelStatic)->GetLabel(), "Copy to:");
    EXPECT_EQ(dialog.GetTree()->GetItemPath(dialog.GetTree()->GetSelection()).utf8_string().rfind(
                  (m_dir / "out").string(), 0),
              0u)
        << "the tree shows the folder it starts with";
    EXPECT_EQ(m_prompts, std::vector<std::string>{"File already exists. Do you want to \noverwrite on " +
                                                  Out("b.jpg").string() + "?"});
    EXPECT_EQ(ReadText(Out("b.jpg")), "older");
    EXPECT_EQ(ReadBytes(Out("c.jpg")), ReadBytes(Photo("c.jpg")));
    EXPECT_EQ(m_messages, std::vector<std::string>{"File Copy|1 of 2 File(s) copied successfully."});
    EXPECT_EQ(m_doc.m_strDestFolder, (m_dir / "out").string() + "/");
    EXPECT_EQ(m_doc.GetSelectedImageCount(), 0u);
}

TEST_F(FileOpDialogs, DestinationMovesIntoANewFolderOfATypedName)
{
    m_doc.m_strLastMoveFolder = (m_dir / "out").string() + "/";
    CDestinationDlg dialog;
    dialog.SetTarget(&m_doc, 0);
    dialog.SetPromptSink(Prompts());
    dialog.SetMessageSink(Messages());
    wxTheApp->CallAfter([&dialog] {
        auto* check = dynamic_cast<wxCheckBox*>(dialog.FindWindow(mdlg::kCreateNewCheck));
        check->SetValue(true);
        wxCommandEvent toggled(wxEVT_CHECKBOX, mdlg::kCreateNewCheck);
        toggled.SetInt(1);
        toggled.SetEventObject(check);
        check->GetEventHandler()->ProcessEvent(toggled);
        EXPECT_TRUE(dialog.FindWindow(mdlg::kNewFolderEdit)->IsEnabled());
        dynamic_cast<wxTextCtrl*>(dialog.FindWindow(mdlg::kNewFolderEdit))->ChangeValue("  holiday ");
    });
    PressLater(dialog, wxID_OK);
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(Listing(m_dir / "out" / "holiday"), (std::vector<std::string>{"b.jpg", "c.jpg"}));
    EXPECT_EQ(Listing(m_dir / "photos"), std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(m_doc.m_strLastMoveFolder, (m_dir / "out" / "holiday").string() + "/");
    EXPECT_EQ(m_messages, std::vector<std::string>{"File Move|2 of 2 File(s) moved successfully."});
}

TEST(CDestinationDlg, DestinationOfTheChoices)
{
    EXPECT_EQ(CDestinationDlg::Destination("/a/b/", false, "x"), "/a/b/");
    EXPECT_EQ(CDestinationDlg::Destination("/a/b", true, " x "), "/a/b/x/");
    EXPECT_EQ(CDestinationDlg::Destination("/a/b/", true, "x"), "/a/b/x/");
    EXPECT_EQ(CDestinationDlg::Destination("/a/b/", true, "   "), "/a/b/");
}

TEST_F(FileOpDialogs, DeleteReportsTheReadOnlyFileAndDeletesTheOther)
{
    MakeReadOnly(Photo("c.jpg"));
    CFileOpDlg dialog;
    dialog.SetOperation(&m_doc, 2);
    dialog.SetPromptSink(Prompts());
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(m_prompts, std::vector<std::string>{"ERROR:005  Unable to delete  Readonly File.\n" +
                                                  Photo("c.jpg").string()});
    EXPECT_EQ(Listing(m_dir / "photos"), (std::vector<std::string>{"a.jpg", "c.jpg"}));
    EXPECT_EQ(m_doc.m_nFileOpCount, 2);
    EXPECT_EQ(m_doc.GetCurrentFolder()->ImageCount(), 2u);
}

TEST_F(FileOpDialogs, ClosingWhileAQuestionWaitsCancelsTheJobAndJoinsItsWorker)
{
    for (const char* name : {"b.jpg", "c.jpg"})
        WriteText(Out(name), "old");
    m_doc.m_strDestFolder = (m_dir / "out").string();
    CFileOpDlg dialog;
    dialog.SetOperation(&m_doc, 1);
    dialog.SetPause(std::chrono::milliseconds(0));
    // The first question closes the dialog's window as a user would, then says Yes.
    dialog.SetPromptSink([&](const std::string& text, const std::string&, bool) {
        m_prompts.push_back(text);
        dialog.Close();
        return true;
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(m_prompts.size(), 1u) << "the job stopped after the file in hand";
    EXPECT_EQ(ReadBytes(Out("b.jpg")), ReadBytes(Photo("b.jpg")));
    EXPECT_EQ(ReadText(Out("c.jpg")), "old");
    EXPECT_EQ(dialog.GetDoneCount(), 1);
}

TEST_F(FileOpDialogs, TheRunnerStopsItsJobBeforeTheNextFileWhenCancelledOrWhenItEnds)
{
    wxEvtHandler dialog;
    int done = 0;
    dialog.Bind(lfplat::EVT_POSTED_MESSAGE, [&done](lfplat::PostedMessageEvent&) { ++done; },
                CFileJobRunner::kDoneMessage);
    const std::vector<FileOpEntry> entries = {
        {"a.jpg", Photo("a.jpg").string()}, {"b.jpg", Photo("b.jpg").string()}, {"c.jpg", Photo("c.jpg").string()}};
    // Each copy waits a while first: the stop comes during the first file's wait.
    auto start = [&](CFileJobRunner& runner) {
        auto job = std::make_unique<FileOpJob>(FileOpJob::kCopy, FileOpJob::Origin::Commands,
                                               (m_dir / "out").string(), entries, runner.MakePrompts("Copy"));
        job->SetPause(std::chrono::milliseconds(300));
        runner.Start(std::move(job));
        ASSERT_TRUE(runner.Started());
    };

    {
        CFileJobRunner runner(&dialog);
        start(runner);
        runner.Cancel();
        runner.Join();
        EXPECT_LE(runner.Job()->MetCount(), 1);
        EXPECT_TRUE(PumpUntil([&] { return done == 1; })) << "a cancelled job still says it is over";
    }
    EXPECT_LE(Listing(m_dir / "out").size(), 1u);

    std::filesystem::remove_all(m_dir / "out");
    std::filesystem::create_directory(m_dir / "out");
    {
        CFileJobRunner runner(&dialog);
        start(runner);
    }  // the dialog goes while the job waits
    EXPECT_LE(Listing(m_dir / "out").size(), 1u);
    PumpFor(std::chrono::milliseconds(100));
    EXPECT_EQ(done, 1) << "nothing reaches a dialog that has gone";
}

TEST_F(FileOpDialogs, RenameOntoATakenNameStaysOpenThenRenames)
{
    std::vector<std::string> shown;
    CRenameDlg dialog;
    dialog.SetDocument(&m_doc);
    dialog.SetTexts("b", "b.jpg", "jpg");
    EXPECT_EQ(dialog.GetTitle(), "Lanternfolio Photo Editor (Rename)");
    auto* edit = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(mdlg::kNewNameEdit));
    dialog.SetMessageSink([&](const std::string& text) {
        shown.push_back(text);
        // The dialog is still up: the user types another name and tries again.
        wxTheApp->CallAfter([&dialog, edit] {
            EXPECT_TRUE(dialog.IsModal());
            edit->ChangeValue("renamed");
        });
        PressLater(dialog, wxID_OK);
    });
    wxTheApp->CallAfter([edit] { edit->ChangeValue("a"); });
    PressLater(dialog, wxID_OK);
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(shown, std::vector<std::string>{"Cannot rename b.jpg: A file with the name you specified already "
                                              "exists.\nSpecify a different file name."});
    EXPECT_TRUE(dialog.GetDone());
    EXPECT_EQ(Listing(m_dir / "photos"), (std::vector<std::string>{"a.jpg", "c.jpg", "renamed.jpg"}));
    EXPECT_EQ(ReadBytes(Photo("a.jpg")), PatternBytes(2000, 0));
    EXPECT_EQ(ReadBytes(Photo("renamed.jpg")), PatternBytes(2001, 1));
}

TEST_F(FileOpDialogs, RenameUnchangedOrProtectedEndsWithoutDone)
{
    MakeReadOnly(Photo("c.jpg"));
    const struct {
        const char* current;
        const char* typed;
        std::vector<std::string> shown;
    } rows[] = {
        {"a.jpg", "a", {}},
        {"c.jpg", "free", {"This is System file. Rename not possible."}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> shown;
        CRenameDlg dialog;
        dialog.SetDocument(&m_doc);
        const std::string name = row.current;
        dialog.SetTexts(name.substr(0, name.size() - 4), name, "jpg");
        dialog.SetMessageSink([&](const std::string& text) { shown.push_back(text); });
        const std::string typed = row.typed;
        wxTheApp->CallAfter([&dialog, typed] {
            dynamic_cast<wxTextCtrl*>(dialog.FindWindow(mdlg::kNewNameEdit))->ChangeValue(typed);
        });
        PressLater(dialog, wxID_OK);
        EXPECT_EQ(dialog.ShowModal(), wxID_OK);
        EXPECT_FALSE(dialog.GetDone()) << row.current;
        EXPECT_EQ(shown, row.shown) << row.current;
    }
    EXPECT_EQ(Listing(m_dir / "photos"), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
}

TEST_F(FileOpDialogs, CopiesOfSearchResultsGoUnderTheirOwnNames)
{
    // The "Search" folder's records are named by their whole paths.
    auto results = std::make_unique<CFolderItem>("Search", "x", 0);
    for (const char* name : {"b.jpg", "c.jpg"})
        results->AddImage(std::make_unique<CImageItem>(Photo(name).string(), Photo(name).string(), 100, 0, 0));
    m_doc.SetCurrentFolder(std::move(results));
    m_doc.SelectImage(0, true, false);
    m_doc.SelectImage(1, true, false);
    m_doc.m_strDestFolder = (m_dir / "out").string();
    CFileOpDlg dialog;
    dialog.SetOperation(&m_doc, FileOpJob::kCopy);
    dialog.SetPause(std::chrono::milliseconds(0));
    dialog.SetPromptSink(Prompts());
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_TRUE(m_prompts.empty()) << m_prompts.front();
    EXPECT_EQ(Listing(m_dir / "out"), (std::vector<std::string>{"b.jpg", "c.jpg"}));
    EXPECT_EQ(ReadBytes(Out("c.jpg")), PatternBytes(2002, 2));
    EXPECT_EQ(dialog.GetDoneCount(), 2);
}

TEST_F(FileOpDialogs, ANameThatIsNotUtf8KeepsItsBytesThroughRename)
{
    const std::string latin1 = "caf\xE9.jpg";
    WriteBytes(Photo(latin1), PatternBytes(100, 7));
    CRenameDlg dialog;
    dialog.SetDocument(&m_doc);
    dialog.SetTexts("caf\xE9", latin1, "jpg");
    std::string shownName;
    wxTheApp->CallAfter([&] {
        shownName = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(mdlg::kNewNameEdit))->GetValue().utf8_string();
    });
    PressLater(dialog, wxID_OK);  // the user leaves the name as it is
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(shownName, "caf\xEF\xBF\xBD") << "shown, not emptied";
    EXPECT_FALSE(dialog.GetDone());
    EXPECT_EQ(ReadBytes(Photo(latin1)), PatternBytes(100, 7));
    EXPECT_FALSE(Exists(Photo(".jpg")));

    // Appending a letter keeps the byte the shown U+FFFD stands for.
    CRenameDlg appended;
    appended.SetDocument(&m_doc);
    appended.SetTexts("caf\xE9", latin1, "jpg");
    wxTheApp->CallAfter([&] { dynamic_cast<wxTextCtrl*>(appended.FindWindow(mdlg::kNewNameEdit))->AppendText("X"); });
    PressLater(appended, wxID_OK);
    EXPECT_EQ(appended.ShowModal(), wxID_OK);
    EXPECT_TRUE(appended.GetDone());
    EXPECT_EQ(ReadBytes(Photo("caf\xE9X.jpg")), PatternBytes(100, 7));
    EXPECT_FALSE(Exists(Photo("caf\xEF\xBF\xBDX.jpg")));
    std::filesystem::rename(Photo("caf\xE9X.jpg"), Photo(latin1));

    // Typing a new name renames the very file.
    CRenameDlg again;
    again.SetDocument(&m_doc);
    again.SetTexts("caf\xE9", latin1, "jpg");
    wxTheApp->CallAfter([&] { dynamic_cast<wxTextCtrl*>(again.FindWindow(mdlg::kNewNameEdit))->ChangeValue("cafe"); });
    PressLater(again, wxID_OK);
    EXPECT_EQ(again.ShowModal(), wxID_OK);
    EXPECT_TRUE(again.GetDone());
    EXPECT_EQ(ReadBytes(Photo("cafe.jpg")), PatternBytes(100, 7));
}

TEST_F(FileOpDialogs, ADestinationFolderWhoseNameIsNotUtf8IsTheOneTheFilesGoTo)
{
    const std::filesystem::path folder = m_dir / "out" / "f\xF6to";
    std::filesystem::create_directories(folder / "inner");
    std::filesystem::create_directories(m_dir / "out" / ".hidden");
    m_doc.m_strLastCopyFolder = folder.string() + "/";
    CDestinationDlg dialog;
    dialog.SetTarget(&m_doc, 1);
    dialog.SetPromptSink(Prompts());
    dialog.SetMessageSink(Messages());
    std::vector<std::string> shownChildren;
    wxTheApp->CallAfter([&] {
        CFolderTreeCtrl* tree = dialog.GetTree();
        const wxTreeItemId selected = tree->GetSelection();
        ASSERT_TRUE(selected.IsOk());
        EXPECT_EQ(tree->GetItemFolder(selected), folder.string() + "/") << "the tree found the folder itself";
        EXPECT_EQ(tree->GetItemText(selected).utf8_string(), "f\xEF\xBF\xBDto");
        const wxTreeItemId out = tree->GetItemParent(selected);
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = tree->GetFirstChild(out, cookie); child.IsOk(); child = tree->GetNextChild(out, cookie))
            shownChildren.push_back(tree->GetItemText(child).utf8_string());
        // Choosing it again in the tree gives the same bytes.
        tree->SelectItem(tree->GetRootItem());
        tree->SelectItem(selected);
    });
    PressLater(dialog, wxID_OK);
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(shownChildren, std::vector<std::string>{"f\xEF\xBF\xBDto"}) << "dot folders are left out";
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"b.jpg", "c.jpg", "inner"}));
    EXPECT_EQ(m_messages, std::vector<std::string>{"File Copy|2 of 2 File(s) copied successfully."});
}

}  // namespace
