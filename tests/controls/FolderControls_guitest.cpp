#include "controls/CFolderBrowser.h"
#include "controls/CFolderDialog.h"
#include "controls/CFolderTreeCtrl.h"
#include "tests/controls/ScriptedInput.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/listbox.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<wxString> ChildTexts(const wxTreeCtrl& tree, const wxTreeItemId& item)
{
    std::vector<wxString> texts;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = tree.GetFirstChild(item, cookie); child.IsOk(); child = tree.GetNextChild(item, cookie))
        texts.push_back(tree.GetItemText(child));
    return texts;
}

class FolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "a" / "b");
        fs::create_directories(dir / "a" / "c");
        fs::create_directories(dir / "Zed");
        lftest::WriteText(dir / "a" / "file.txt", "not a folder");
        frame = new wxFrame(nullptr, wxID_ANY, "tree", wxPoint(0, 0), wxSize(400, 500));
        tree = new CFolderTreeCtrl(frame, 1082);
        // The temporary folder stands in for a mounted volume.
        tree->SetVolumeLister([this] { return std::vector<std::string>{dir.str()}; });
        tree->Populate(true);
        frame->Show();
    }
    void TearDown() override { frame->Destroy(); lftest::PumpFor(std::chrono::milliseconds(20)); }

    wxString Volume() const { return wxString::FromUTF8(dir.str() + "/"); }

    lftest::TempDir dir;
    wxFrame* frame = nullptr;
    CFolderTreeCtrl* tree = nullptr;
};

TEST_F(FolderTreeTest, TopOfTheTree)
{
    const wxTreeItemId desktop = tree->GetRootItem();
    EXPECT_EQ(tree->GetItemText(desktop), "Desktop");
    EXPECT_TRUE(tree->IsExpanded(desktop));
    ASSERT_EQ(ChildTexts(*tree, desktop), std::vector<wxString>{"My Computer"});
    EXPECT_FALSE(tree->IsExpanded(tree->GetComputerItem()));
    EXPECT_TRUE(tree->ItemHasChildren(tree->GetComputerItem()));
    EXPECT_EQ(tree->GetItemPath(tree->GetComputerItem()), "");
    EXPECT_TRUE(tree->GetItemPath(desktop).EndsWith("/"));
}

TEST_F(FolderTreeTest, SelectPathExpandsDownToTheFolder)
{
    const int images = tree->GetImageList()->GetImageCount();
    ASSERT_TRUE(tree->SelectPath(wxString::FromUTF8((dir / "a" / "b").string())));
    const wxTreeItemId b = tree->GetSelection();
    ASSERT_TRUE(b.IsOk());
    EXPECT_EQ(tree->GetItemText(b), "b");
    const wxTreeItemId a = tree->GetItemParent(b);
    EXPECT_EQ(tree->GetItemText(a), "a");
    EXPECT_TRUE(tree->IsExpanded(a));
    EXPECT_EQ(ChildTexts(*tree, a), (std::vector<wxString>{"b", "c"}));  // folders only
    const wxTreeItemId volume = tree->GetItemParent(a);
    EXPECT_EQ(ChildTexts(*tree, volume), (std::vector<wxString>{"a", "Zed"}));

    // Paths: a volume is its root; a folder showing children ends in "/"; one expanded
    // and found empty does not.
    EXPECT_EQ(tree->GetItemPath(volume), Volume());
    EXPECT_EQ(tree->GetItemPath(a), Volume() + "a/");
    EXPECT_EQ(tree->GetItemPath(b), Volume() + "a/b");
    EXPECT_EQ(tree->GetItemPath(tree->GetLastChild(a)), Volume() + "a/c/");  // not expanded yet: a placeholder child

    // Expanding never adds icons.
    EXPECT_EQ(tree->GetImageList()->GetImageCount(), images);
}

TEST_F(FolderTreeTest, MissingPartStopsWithTheParentsExpanded)
{
    EXPECT_FALSE(tree->SelectPath(wxString::FromUTF8((dir / "a" / "nothere" / "x").string())));
    EXPECT_FALSE(tree->SelectPath(wxString::FromUTF8((dir / "a" / "file.txt").string())));
    wxTreeItemIdValue cookie;
    const wxTreeItemId volume = tree->GetFirstChild(tree->GetComputerItem(), cookie);
    EXPECT_TRUE(tree->IsExpanded(volume));
    EXPECT_FALSE(tree->SelectPath("relative/path"));
    EXPECT_FALSE(tree->SelectPath("/not/on/any/volume"));
}

TEST_F(FolderTreeTest, LetterCaseFallsBackWhenNoExactMatch)
{
    ASSERT_TRUE(tree->SelectPath(wxString::FromUTF8((dir / "A" / "B").string())));
    EXPECT_EQ(tree->GetItemText(tree->GetSelection()), "b");
    ASSERT_TRUE(tree->SelectPath(wxString::FromUTF8(dir.str() + "/zed/")));
    EXPECT_EQ(tree->GetItemText(tree->GetSelection()), "Zed");
}

TEST_F(FolderTreeTest, CollapseAndExpandReadsTheDiskAgain)
{
    ASSERT_TRUE(tree->SelectPath(wxString::FromUTF8((dir / "a").string())));
    const wxTreeItemId a = tree->GetSelection();
    EXPECT_EQ(ChildTexts(*tree, a), (std::vector<wxString>{"b", "c"}));
    fs::create_directory(dir / "a" / "new");
    tree->Collapse(a);
    EXPECT_EQ(ChildTexts(*tree, a), std::vector<wxString>{""});  // the placeholder
    tree->Expand(a);
    EXPECT_EQ(ChildTexts(*tree, a), (std::vector<wxString>{"b", "c", "new"}));
}

TEST_F(FolderTreeTest, PlaceholderHasNoPathAndExeNames)
{
    ASSERT_TRUE(tree->SelectPath(wxString::FromUTF8((dir / "Zed").string())));
    tree->Collapse(tree->GetSelection());
    wxTreeItemIdValue cookie;
    const wxTreeItemId placeholder = tree->GetFirstChild(tree->GetSelection(), cookie);
    EXPECT_EQ(tree->GetItemPath(placeholder), "");
    EXPECT_TRUE(tree->IsExecutableName("setup.exe"));
    EXPECT_FALSE(tree->IsExecutableName("setup.EXE"));
}

using lftest::PressButton;
using lftest::WhenModal;

wxDialog* OpenDialogNamed(const wxString& name)
{
    for (wxWindow* top : wxTopLevelWindows) {
        if (auto* dialog = dynamic_cast<wxDialog*>(top); dialog && dialog->IsModal() && dialog->GetName() == name)
            return dialog;
    }
    return nullptr;
}

TEST(FolderBrowser, MyComputerIsReportedByName)
{
    CFolderBrowser browser;
    browser.m_strCaption = "Select directory";
    browser.m_strPrompt = "Select directory for file search";
    wxString title;
    WhenModal([&] {
        wxDialog* dialog = OpenDialogNamed(CFolderBrowser::kDialogName);
        ASSERT_NE(dialog, nullptr);
        title = dialog->GetTitle();
        auto* tree = dynamic_cast<CFolderTreeCtrl*>(dialog->FindWindow(CFolderBrowser::ID_TREE));
        ASSERT_NE(tree, nullptr);
        tree->SelectItem(tree->GetComputerItem());
        PressButton(dialog, wxID_OK);
    });
    EXPECT_FALSE(browser.Browse(nullptr));
    EXPECT_EQ(browser.m_strPath, "My Computer");
    EXPECT_EQ(title, "Select directory");
}

TEST(FolderBrowser, InitialFolderUnderARootIsChosen)
{
    lftest::TempDir dir;
    fs::create_directories(dir / "photos" / "2024");
    CFolderBrowser browser;
    browser.m_strRoot = wxString::FromUTF8(dir.str());
    browser.m_strInitialFolder = wxString::FromUTF8((dir / "photos").string() + "/ ");
    WhenModal([&] {
        wxDialog* dialog = OpenDialogNamed(CFolderBrowser::kDialogName);
        ASSERT_NE(dialog, nullptr);
        PressButton(dialog, wxID_OK);
    });
    EXPECT_TRUE(browser.Browse(nullptr));
    EXPECT_EQ(browser.m_strPath, wxString::FromUTF8((dir / "photos").string()));
    EXPECT_GE(browser.m_nImageIndex, 0);
}

TEST(FolderBrowser, CancelAndMissingRootGiveFalse)
{
    CFolderBrowser browser;
    browser.m_strRoot = "/no/such/root";
    EXPECT_FALSE(browser.Browse(nullptr));

    CFolderBrowser cancelled;
    WhenModal([&] {
        wxDialog* dialog = OpenDialogNamed(CFolderBrowser::kDialogName);
        ASSERT_NE(dialog, nullptr);
        PressButton(dialog, wxID_CANCEL);
    });
    EXPECT_FALSE(cancelled.Browse(nullptr));
    EXPECT_EQ(cancelled.m_strPath, "");
}

// Accepts only folders whose path ends in "ok".
class PickyBrowser : public CFolderBrowser {
public:
    bool Validate(const wxString& path, wxString& status) override
    {
        status = path.EndsWith("ok") ? "" : "Not this one";
        return path.EndsWith("ok");
    }
};

TEST(FolderBrowser, ValidationEnablesOk)
{
    lftest::TempDir dir;
    fs::create_directories(dir / "bad");
    fs::create_directories(dir / "ok");
    PickyBrowser browser;
    browser.m_bStatusLine = true;
    browser.m_strRoot = wxString::FromUTF8(dir.str());
    browser.m_strInitialFolder = wxString::FromUTF8((dir / "bad").string());
    bool okEnabledOnBad = true;
    wxString status;
    WhenModal([&] {
        wxDialog* dialog = OpenDialogNamed(CFolderBrowser::kDialogName);
        ASSERT_NE(dialog, nullptr);
        okEnabledOnBad = dialog->FindWindow(wxID_OK)->IsEnabled();
        status = dialog->FindWindow(CFolderBrowser::ID_STATUS)->GetLabel();
        auto* tree = dynamic_cast<CFolderTreeCtrl*>(dialog->FindWindow(CFolderBrowser::ID_TREE));
        ASSERT_TRUE(tree->SelectPath(wxString::FromUTF8((dir / "ok").string())));
        EXPECT_TRUE(dialog->FindWindow(wxID_OK)->IsEnabled());
        PressButton(dialog, wxID_OK);
    });
    EXPECT_TRUE(browser.Browse(nullptr));
    EXPECT_FALSE(okEnabledOnBad);
    EXPECT_EQ(status, "Not this one");
    EXPECT_EQ(browser.m_strPath, wxString::FromUTF8((dir / "ok").string()));
}

std::string WorkingFolder()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

TEST(FolderDialog, CancelLeavesTheStringAlone)
{
    lftest::TempDir dir;
    wxString result = wxString::FromUTF8(dir.str());
    const wxString before = result;
    CFolderDialog dialog(&result);
    EXPECT_EQ(dialog.GetTitle(), "Choose folder");
    EXPECT_EQ(dialog.FindWindow(wxID_OK)->GetLabel(), "Select");
    WhenModal([&] { PressButton(&dialog, wxID_CANCEL); });
    EXPECT_EQ(dialog.DoModal(), wxID_CANCEL);
    EXPECT_EQ(result, before);
}

TEST(FolderDialog, SelectReportsTheFolderShown)
{
    lftest::TempDir dir;
    fs::create_directories(dir / "out" / "deep");
    lftest::WriteText(dir / "image.jpg", "x");
    const std::string cwd = WorkingFolder();

    // Opened where the string points and selected at once: that folder.
    wxString result = wxString::FromUTF8(dir.str());
    {
        CFolderDialog dialog(&result);
        auto* list = dynamic_cast<wxListBox*>(dialog.FindWindow(CFolderDialog::ID_FOLDER_LIST));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->GetCount(), 1u);  // folders only
        EXPECT_EQ(list->GetString(0), "out");
        WhenModal([&] { PressButton(&dialog, wxID_OK); });
        EXPECT_EQ(dialog.DoModal(), wxID_OK);
        EXPECT_EQ(result, wxString::FromUTF8(dir.str()));
    }

    // A double click opens a folder; only "Select" ends the dialog.
    {
        CFolderDialog dialog(&result);
        bool stillOpen = false;
        WhenModal([&] {
            auto* list = dynamic_cast<wxListBox*>(dialog.FindWindow(CFolderDialog::ID_FOLDER_LIST));
            wxCommandEvent open(wxEVT_LISTBOX_DCLICK, CFolderDialog::ID_FOLDER_LIST);
            open.SetString("out");
            open.SetEventObject(list);
            list->GetEventHandler()->ProcessEvent(open);
            stillOpen = dialog.IsModal();
            EXPECT_EQ(list->GetCount(), 1u);
            PressButton(&dialog, CFolderDialog::ID_UP);
            open.SetString("out");
            list->GetEventHandler()->ProcessEvent(open);
            PressButton(&dialog, wxID_OK);
        });
        EXPECT_EQ(dialog.DoModal(), wxID_OK);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(result, wxString::FromUTF8((dir / "out").string()));
    }
    EXPECT_EQ(WorkingFolder(), cwd);
}

TEST(FolderDialog, StringThatIsNoFolderOpensInHome)
{
    wxString result = "/no/such/folder";
    CFolderDialog dialog(&result);
    EXPECT_EQ(dialog.GetFolder(), wxString::FromUTF8(fs::path(getenv("HOME")).lexically_normal().string()));
}

}  // namespace
