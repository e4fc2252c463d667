#include "DocTestSupport.h"
#include "manager/ui/CNotesKeywordsDlg.h"
#include "resources/manager/ManagerDialogs.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/textctrl.h>

namespace {

class NotesDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        lftest::WriteText(dir / "a.jpg", "picture bytes");
        auto folder = lftest::TestDoc::MakeFolder(dir.str(), {"a.jpg", "b.jpg"});
        folder->Image(0)->m_strDescription = "old notes";
        folder->Image(0)->m_bSelected = true;
        doc.SetCurrentFolder(std::move(folder));
        dialog.SetDocument(&doc);
        dialog.SetMessageSink([this](const std::string& text) { messages.push_back(text); });
    }
    wxTextCtrl* Field(int id) { return dynamic_cast<wxTextCtrl*>(dialog.FindWindow(id)); }
    // Types notes and presses OK once the dialog runs; returns whether it was still
    // open afterwards, then cancels it if it was.
    int RunWithNotes(const std::string& notes, bool& stayedOpen)
    {
        dialog.CallAfter([this, notes, &stayedOpen] {
            Field(mdlg::kNotesEdit)->SetValue(wxString::FromUTF8(notes));
            wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
            ok.SetEventObject(dialog.FindWindow(wxID_OK));
            dialog.FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(ok);
            stayedOpen = dialog.IsModal();
            if (stayedOpen)
                dialog.EndModal(wxID_CANCEL);
        });
        return dialog.ShowModal();
    }

    lftest::TempDir dir;
    lftest::TestDoc doc{(dir / "qkvex.sess").string()};
    CNotesKeywordsDlg dialog;
    std::vector<std::string> messages;
};

TEST_F(NotesDialogTest, ShowsTheSelectedImageAndOkStoresTheNotes)
{
    ASSERT_TRUE(dialog.Build());
    EXPECT_EQ(dialog.GetTitle(), "Notes & Keywords");
    EXPECT_EQ(dialog.FindWindow(mdlg::kNotesFileLabel)->GetLabel(), "Filename: a.jpg");
    EXPECT_EQ(Field(mdlg::kNotesEdit)->GetValue(), "old notes");
    EXPECT_TRUE(Field(mdlg::kNotesEdit)->IsMultiLine());
    EXPECT_FALSE(Field(mdlg::kKeywordsEdit)->IsShown()) << "the keywords field stays hidden";

    bool stayedOpen = true;
    EXPECT_EQ(RunWithNotes("line one\nline two", stayedOpen), wxID_OK);
    EXPECT_FALSE(stayedOpen);
    EXPECT_EQ(doc.GetCurrentFolder()->Image(0)->m_strDescription, "line one\nline two");
    EXPECT_EQ(doc.updates, 1);
    EXPECT_EQ(lftest::ReadText(dir / "a.jpg"), "picture bytes");
}

TEST_F(NotesDialogTest, TooLongNotesKeepTheDialogOpenAndChangeNothing)
{
    bool stayedOpen = false;
    EXPECT_EQ(RunWithNotes(std::string(260, 'x'), stayedOpen), wxID_CANCEL);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages, std::vector<std::string>{"Nots & KeyWord are too large.. "});
    EXPECT_EQ(doc.GetCurrentFolder()->Image(0)->m_strDescription, "old notes");
    EXPECT_EQ(doc.updates, 0);
}

TEST(NotesDialog, SeveralSelectedImagesShowNoTexts)
{
    lftest::TempDir dir;
    lftest::TestDoc doc((dir / "qkvex.sess").string());
    auto folder = lftest::TestDoc::MakeFolder(dir.str(), {"a.jpg", "b.jpg"});
    for (const auto& image : folder->m_arrImages) {
        image->m_bSelected = true;
        image->m_strDescription = "notes";
    }
    doc.SetCurrentFolder(std::move(folder));
    CNotesKeywordsDlg dialog;
    dialog.SetDocument(&doc);
    ASSERT_TRUE(dialog.Build());
    EXPECT_EQ(dialog.GetFileLabel(), "Filename: Multiple files selected");
    EXPECT_EQ(dynamic_cast<wxTextCtrl*>(dialog.FindWindow(mdlg::kNotesEdit))->GetValue(), "");
    EXPECT_EQ(CNotesKeywordsDlg::GetExtension("/a/b.c/photo.JPG"), "JPG");
    EXPECT_EQ(CNotesKeywordsDlg::GetExtension("README"), "");
}

}  // namespace
