#include "batch/ui/BatchCommands.h"
#include "batch/ui/CBatchRenameDlg.h"
#include "manager/model/CQuorixState.h"
#include "resources/manager/BatchDialogs.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A file's bytes: long enough for the folder scan to take it for an image.
std::string Bytes(const std::string& name) { return name + std::string(300, '.'); }

template <class T>
T* FindModal()
{
    for (wxWindow* top : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<T*>(top); dialog && dialog->IsModal())
            return dialog;
    return nullptr;
}

std::vector<std::string> PreviewColumn(wxDialog* dialog, int column)
{
    auto* list = dynamic_cast<wxListCtrl*>(dialog->FindWindow(mdlg::kRenamePreview));
    std::vector<std::string> texts;
    for (long row = 0; row < list->GetItemCount(); ++row)
        texts.push_back(list->GetItemText(row, column).utf8_string());
    return texts;
}

void Press(wxWindow* dialog, int id)
{
    wxWindow* button = dialog->FindWindow(id);
    wxCommandEvent click(button->IsKindOf(wxCLASSINFO(wxRadioButton)) ? wxEVT_RADIOBUTTON : wxEVT_BUTTON, id);
    click.SetEventObject(button);
    if (auto* radio = dynamic_cast<wxRadioButton*>(button))
        radio->SetValue(true);
    button->GetEventHandler()->ProcessEvent(click);
}

class BatchRenameGuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"IMG_1.JPG", "IMG_2.JPG", "IMG_3.JPG", "other.jpg"})
            lftest::WriteText(dir / name, Bytes(name));
        doc = std::make_unique<lftest::TestDoc>((dir / "qkvex.sess").string(), &state);
        doc->SetCurrentFolder(lftest::TestDoc::MakeFolder(dir.str(), {"IMG_1.JPG", "IMG_2.JPG", "IMG_3.JPG", "other.jpg"}));
        for (int i = 0; i < 3; ++i) {
            CImageItem* image = doc->GetCurrentFolder()->Image(size_t(i));
            image->m_bSelected = true;
            doc->UpdateSelectionList(image, true);
        }
    }
    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path()))
            if (entry.path().filename() != "qkvex.sess")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    lftest::TempDir dir;
    CQuorixState state{(dir / "settings.ini").string()};
    std::unique_ptr<lftest::TestDoc> doc;
};

}  // namespace

TEST_F(BatchRenameGuiTest, ThreeSelectedImagesAreRenamedAsPreviewedThroughTheServicesEntry)
{
    std::vector<std::string> openedFolders;
    batch::BatchHost host;
    host.openFolder = [&](CQuorixDoc&, const std::string& folder) { openedFolders.push_back(folder); };
    state.m_services.batchRename = [&host](CQuorixDoc& d) { batch::RunBatchRename(d, host); };
    std::vector<std::string> opened, previewed, messages;
    bool scripted = false;
    wxTheApp->CallAfter([&] {
        CBatchRenameDlg* dialog = FindModal<CBatchRenameDlg>();
        ASSERT_NE(dialog, nullptr);
        dialog->SetMessageSink([&](const std::string& text, batch::MessageKind) { messages.push_back(text); });
        dialog->SetQuestionSink([&](const std::string& text) {
            messages.push_back(text);
            return false;
        });
        opened = PreviewColumn(dialog, 1);
        // The user types a pattern, picks upper-case names and lower-case extensions and
        // replaces the originals.
        auto* pattern = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(mdlg::kRenamePattern));
        pattern->SetValue("trip??");
        Press(dialog, mdlg::kRenameNameUpper);
        Press(dialog, mdlg::kRenameExtLower);
        // Three groups of option buttons: each keeps its own choice.
        for (int id : {mdlg::kRenameNumbers, mdlg::kRenameNameUpper, mdlg::kRenameExtLower})
            EXPECT_TRUE(dynamic_cast<wxRadioButton*>(dialog->FindWindow(id))->GetValue()) << id;
        auto* replace = dynamic_cast<wxCheckBox*>(dialog->FindWindow(mdlg::kRenameReplace));
        replace->SetValue(true);
        wxCommandEvent tick(wxEVT_CHECKBOX, mdlg::kRenameReplace);
        tick.SetEventObject(replace);
        replace->GetEventHandler()->ProcessEvent(tick);
        EXPECT_FALSE(dialog->FindWindow(mdlg::kBatchOutputFolder)->IsEnabled());
        previewed = PreviewColumn(dialog, 1);
        EXPECT_EQ(PreviewColumn(dialog, 0), (std::vector<std::string>{"IMG_1.JPG", "IMG_2.JPG", "IMG_3.JPG"}));
        scripted = true;
        Press(dialog, wxID_OK);
        EXPECT_FALSE(dialog->FindWindow(wxID_OK)->IsEnabled()) << "one job at a time";
    });
    state.m_services.batchRename(*doc);

    EXPECT_TRUE(scripted);
    EXPECT_EQ(opened, (std::vector<std::string>{"IMG_1000.JPG", "IMG_1001.JPG", "IMG_1002.JPG"}));
    const std::vector<std::string> expected{"TRIP00.jpg", "TRIP01.jpg", "TRIP02.jpg"};
    EXPECT_EQ(previewed, expected);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(Listing(), (std::vector<std::string>{"TRIP00.jpg", "TRIP01.jpg", "TRIP02.jpg", "other.jpg"}));
    EXPECT_EQ(lftest::ReadText(dir / "TRIP01.jpg"), Bytes("IMG_2.JPG"));
    // The document rescanned the folder: its records are the new names.
    ASSERT_EQ(doc->GetCurrentFolder()->ImageCount(), 4u);
    EXPECT_EQ(doc->GetCurrentFolder()->Image(0)->m_strName, "TRIP00.jpg");
    EXPECT_EQ(doc->GetSelectedImageCount(), 0u);
    EXPECT_TRUE(openedFolders.empty()) << "renamed in place: no output folder to open";
}

TEST_F(BatchRenameGuiTest, CopiesIntoAFolderAndAsksBeforeOverwriting)
{
    const fs::path out = dir / "out";
    fs::create_directory(out);
    lftest::WriteText(out / "IMG_1001.JPG", "old");
    std::vector<std::string> messages, questions;
    CBatchRenameDlg dialog;
    dialog.SetDocument(doc.get());
    dialog.SetMessageSink([&](const std::string& text, batch::MessageKind) { messages.push_back(text); });
    dialog.SetQuestionSink([&](const std::string& text) {
        questions.push_back(text);
        return true;
    });
    dialog.SetFolderPicker([&](std::string& folder) {
        folder = out.string();
        return true;
    });
    wxTheApp->CallAfter([&] {
        Press(&dialog, wxID_OK);  // no folder yet: refused
        EXPECT_TRUE(dialog.IsModal());
        Press(&dialog, mdlg::kBatchBrowse);
        Press(&dialog, wxID_OK);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(messages, (std::vector<std::string>{"Please specify the path to save the renamed image"}));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "The specified destination file already exists.\nDo you want to overwrite the existing file?");
    EXPECT_EQ(lftest::ReadText(out / "IMG_1000.JPG"), Bytes("IMG_1.JPG"));
    EXPECT_EQ(lftest::ReadText(out / "IMG_1001.JPG"), Bytes("IMG_2.JPG"));
    EXPECT_EQ(lftest::ReadText(out / "IMG_1002.JPG"), Bytes("IMG_3.JPG"));
    EXPECT_TRUE(fs::exists(dir / "IMG_1.JPG")) << "copies leave the originals";
}

TEST_F(BatchRenameGuiTest, LetterModeStartsAtAAndAPatternWithoutCounterGetsOne)
{
    CBatchRenameDlg dialog;
    dialog.SetDocument(doc.get());
    std::vector<std::string> letters, appended;
    std::string typed, pattern;
    wxTheApp->CallAfter([&] {
        Press(&dialog, mdlg::kRenameLetters);
        letters = PreviewColumn(&dialog, 1);
        auto* box = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(mdlg::kRenamePattern));
        box->SetValue("day");
        // While the user types, the box keeps what was typed; the names have the counter.
        typed = box->GetValue().utf8_string();
        appended = PreviewColumn(&dialog, 1);
        wxFocusEvent leave(wxEVT_KILL_FOCUS, box->GetId());
        leave.SetEventObject(box);
        box->GetEventHandler()->ProcessEvent(leave);
        pattern = box->GetValue().utf8_string();
        Press(&dialog, wxID_CANCEL);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
    EXPECT_EQ(letters, (std::vector<std::string>{"IMG_1a.JPG", "IMG_1b.JPG", "IMG_1c.JPG"}));
    EXPECT_EQ(typed, "day");
    EXPECT_EQ(pattern, "day?") << "the counter shows once the user has left the box";
    EXPECT_EQ(appended, (std::vector<std::string>{"daya.JPG", "dayb.JPG", "dayc.JPG"}));
    EXPECT_TRUE(fs::exists(dir / "IMG_1.JPG"));
}
