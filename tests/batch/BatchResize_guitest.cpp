#include "batch/ui/CBatchResizeDlg.h"
#include "manager/model/CQuorixState.h"
#include "resources/manager/BatchDialogs.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/manager/ThumbTestSupport.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

void Press(wxWindow* dialog, int id)
{
    wxWindow* button = dialog->FindWindow(id);
    auto* radio = dynamic_cast<wxRadioButton*>(button);
    wxCommandEvent click(radio ? wxEVT_RADIOBUTTON : wxEVT_BUTTON, id);
    click.SetEventObject(button);
    if (radio)
        radio->SetValue(true);
    button->GetEventHandler()->ProcessEvent(click);
}

void Type(wxWindow* dialog, int id, const char* text)
{
    dynamic_cast<wxTextCtrl*>(dialog->FindWindow(id))->ChangeValue(text);
}

class BatchResizeGuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const int sizes[][2] = {{400, 300}, {200, 400}, {300, 300}};
        for (int i = 0; i < 3; ++i) {
            CLfImage picture = lftest::GradientPicture(sizes[i][0], sizes[i][1]);
            lftest::SavePicture(picture, dir / ("p" + std::to_string(i) + ".jpg"), lfimg::kTypeJPG);
        }
        doc = std::make_unique<lftest::TestDoc>((dir / "qkvex.sess").string(), &state);
        doc->SetCurrentFolder(lftest::TestDoc::MakeFolder(dir.str(), {"p0.jpg", "p1.jpg", "p2.jpg"}));
        CFolderItem* folder = doc->GetCurrentFolder();
        // The first picture is measured; the others are not yet.
        folder->Image(0)->m_nWidth = 400;
        folder->Image(0)->m_nHeight = 300;
        for (size_t i = 0; i < 3; ++i)
            folder->Image(i)->m_bSelected = true;
        fs::create_directory(out);
    }

    lftest::TempDir dir;
    fs::path out = dir / "out";
    CQuorixState state{(dir / "settings.ini").string()};
    std::unique_ptr<lftest::TestDoc> doc;
};

}  // namespace

TEST_F(BatchResizeGuiTest, TickedImagesAreResizedByWidthIntoTheChosenFolder)
{
    CBatchResizeDlg dialog;
    dialog.SetDocument(doc.get());
    dialog.SetThreads(2);
    std::vector<std::string> messages;
    dialog.SetMessageSink([&](const std::string& text, batch::MessageKind) { messages.push_back(text); });
    dialog.SetFolderPicker([&](std::string& folder) {
        folder = out.string();
        return true;
    });
    std::vector<std::string> sizes;
    wxTheApp->CallAfter([&] {
        auto* list = dynamic_cast<wxListCtrl*>(dialog.FindWindow(mdlg::kResizeList));
        for (long row = 0; row < list->GetItemCount(); ++row)
            sizes.push_back(list->GetItemText(row, 1).utf8_string());
        EXPECT_TRUE(list->IsItemChecked(1));
        list->CheckItem(1, false);
        Press(&dialog, mdlg::kResizeByWidth);
        EXPECT_FALSE(dialog.FindWindow(mdlg::kResizePercent)->IsEnabled());
        Type(&dialog, mdlg::kResizeWidth, "1x");
        Press(&dialog, wxID_OK);  // not a number
        Type(&dialog, mdlg::kResizeWidth, "5000");
        Press(&dialog, wxID_OK);  // out of range
        Type(&dialog, mdlg::kResizeWidth, "100");
        Press(&dialog, wxID_OK);  // no folder
        Press(&dialog, mdlg::kBatchBrowse);
        Press(&dialog, wxID_OK);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(sizes, (std::vector<std::string>{"400 X 300", "200 X 400", "300 X 300"}));
    EXPECT_EQ(messages, (std::vector<std::string>{"Please enter an integer.",
                                                  "Please enter an integer between 0 and 4096.",
                                                  "Please specify the path to save the resized image"}));
    EXPECT_FALSE(doc->GetCurrentFolder() && fs::exists(out / "p1.jpg")) << "the unticked image";
    CLfImage first((out / "p0.jpg").c_str(), lfimg::kTypeJPG);
    EXPECT_EQ(first.GetWidth(), 100);
    EXPECT_EQ(first.GetHeight(), 75);
    CLfImage third((out / "p2.jpg").c_str(), lfimg::kTypeJPG);
    EXPECT_EQ(third.GetWidth(), 100) << "an unmeasured record takes the picture's size";
    EXPECT_EQ(third.GetHeight(), 100);
}

TEST_F(BatchResizeGuiTest, NothingTickedStaysOpenAndCancelEndsWithCancel)
{
    CBatchResizeDlg dialog;
    dialog.SetDocument(doc.get());
    std::vector<std::string> messages;
    dialog.SetMessageSink([&](const std::string& text, batch::MessageKind) { messages.push_back(text); });
    wxTheApp->CallAfter([&] {
        auto* list = dynamic_cast<wxListCtrl*>(dialog.FindWindow(mdlg::kResizeList));
        for (long row = 0; row < list->GetItemCount(); ++row)
            list->CheckItem(row, false);
        dynamic_cast<wxCheckBox*>(dialog.FindWindow(mdlg::kResizeReplace))->SetValue(true);
        Press(&dialog, wxID_OK);
        EXPECT_TRUE(dialog.IsModal());
        Press(&dialog, wxID_CANCEL);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
    EXPECT_EQ(messages,
              (std::vector<std::string>{"No picture selected for upload \n Please select one or more picture to upload"}));
    for (size_t i = 0; i < 3; ++i)
        EXPECT_FALSE(doc->GetCurrentFolder()->Image(i)->m_bTicked) << i;
}
