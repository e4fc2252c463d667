#include "batch/ui/BatchCommands.h"
#include "batch/ui/BatchDialogSupport.h"
#include "batch/ui/CBatchResizeDlg.h"
#include "tests/batch/FileFixtures.h"
#include "manager/model/CQuorixState.h"
#include "resources/manager/BatchDialogs.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/manager/ThumbTestSupport.h"
#include "tests/support/DialogChecks.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/frame.h>
#include <wx/timer.h>
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

// Calls a function every few milliseconds from the event loop.
class PollTimer : public wxTimer {
public:
    explicit PollTimer(std::function<void()> tick) : m_tick(std::move(tick)) {}
    void Notify() override { m_tick(); }

private:
    std::function<void()> m_tick;
};

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
        // The arrows stand beside their fields in one straight column.
        int pairs = 0;
        EXPECT_EQ(lftest::SpinsOffTheirFields(dialog, &pairs), std::vector<std::string>{});
        EXPECT_GT(pairs, 0);
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

TEST_F(BatchResizeGuiTest, IntoThePicturesOwnFolderOnlyWhenTheUserSaysSo)
{
    const auto original = lftest::ReadBytes(dir / "p0.jpg");
    std::vector<std::string> questions, messages;
    bool answer = false;
    CBatchResizeDlg dialog;
    dialog.SetDocument(doc.get());
    dialog.SetMessageSink([&](const std::string& text, batch::MessageKind) { messages.push_back(text); });
    dialog.SetQuestionSink([&](const std::string& text) {
        questions.push_back(text);
        return answer;
    });
    wxTheApp->CallAfter([&] {
        auto* folder = dynamic_cast<wxComboBox*>(dialog.FindWindow(mdlg::kBatchOutputFolder));
        folder->ChangeValue("out");  // relative: refused
        Press(&dialog, wxID_OK);
        EXPECT_TRUE(dialog.IsModal());
        folder->ChangeValue(dir.str());
        Press(&dialog, wxID_OK);  // No: nothing starts
        EXPECT_FALSE(dialog.IsJobRunning());
        EXPECT_TRUE(dialog.IsModal());
        answer = true;
        Press(&dialog, wxID_OK);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("full path"), std::string::npos) << messages[0];
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0], batch::ReplaceOriginalsQuestion(dir.str()));
    EXPECT_NE(lftest::ReadBytes(dir / "p0.jpg"), original);
    CLfImage resized((dir / "p0.jpg").c_str(), lfimg::kTypeJPG);
    EXPECT_EQ(resized.GetWidth(), 200) << "half of 400";
}

TEST_F(BatchResizeGuiTest, APictureThatDoesNotDecodeIsListedAsUnreadableAndToldOnce)
{
    // The manager gave the record of a broken picture the placeholder's size.
    state.m_strAppFolder = std::string(LF_BIN_DIR) + "/";
    CLfImage placeholder((state.m_strAppFolder + "bitmap8.bmp").c_str(), lfimg::kTypeBMP);
    ASSERT_TRUE(placeholder.IsValid());
    lftest::WriteText(dir / "broken.jpg", "not a picture at all");
    doc->GetCurrentFolder()->AddImage(
        std::make_unique<CImageItem>("broken.jpg", (dir / "broken.jpg").string(), 20, 0, 0));
    CImageItem* broken = doc->GetCurrentFolder()->Image(3);
    broken->m_nWidth = placeholder.GetWidth();
    broken->m_nHeight = placeholder.GetHeight();
    broken->m_bSelected = true;

    CBatchResizeDlg dialog;
    dialog.SetDocument(doc.get());
    std::vector<std::string> messages, sizes;
    std::vector<bool> ticks;
    dialog.SetMessageSink([&](const std::string& text, batch::MessageKind) { messages.push_back(text); });
    dialog.SetFolderPicker([&](std::string& folder) {
        folder = out.string();
        return true;
    });
    wxTheApp->CallAfter([&] {
        auto* list = dynamic_cast<wxListCtrl*>(dialog.FindWindow(mdlg::kResizeList));
        for (long row = 0; row < list->GetItemCount(); ++row) {
            sizes.push_back(list->GetItemText(row, 1).utf8_string());
            ticks.push_back(list->IsItemChecked(row));
        }
        Press(&dialog, mdlg::kBatchBrowse);
        Press(&dialog, wxID_OK);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK) << "the unreadable picture is not part of the job";
    EXPECT_EQ(sizes, (std::vector<std::string>{"400 X 300", "200 X 400", "300 X 300", "Unreadable"}));
    EXPECT_EQ(ticks, (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(messages, std::vector<std::string>{"These pictures could not be read and are left out:\nbroken.jpg"});
    EXPECT_TRUE(dialog.GetFailures().empty());
    EXPECT_FALSE(fs::exists(out / "broken.jpg"));
}

TEST_F(BatchResizeGuiTest, FailuresAreShownOnceTogetherAboveTheMainWindow)
{
    // Forty pictures whose resized copies may not replace the read-only ones in the
    // output folder.
    CFolderItem* folder = doc->GetCurrentFolder();
    for (int i = 0; i < 40; ++i) {
        const std::string name = "f" + std::to_string(i) + ".jpg";
        CLfImage picture = lftest::GradientPicture(40, 30);
        lftest::SavePicture(picture, dir / name, lfimg::kTypeJPG);
        CLfImage older = lftest::GradientPicture(10, 10);
        lftest::SavePicture(older, out / name, lfimg::kTypeJPG);
        lftest::MakeReadOnly(out / name);
        folder->AddImage(std::make_unique<CImageItem>(name, (dir / name).string(), 100, 0, 0));
        folder->Image(folder->ImageCount() - 1)->m_bSelected = true;
    }
    auto* frame = new wxFrame(nullptr, wxID_ANY, "main");
    frame->Show();
    batch::BatchHost host;
    host.mainWindow = [frame] { return frame; };
    std::vector<std::string> opened;
    host.openFolder = [&](CQuorixDoc&, const std::string& path) { opened.push_back(path); };
    int summaries = 0;
    bool started = false;
    wxWindow* summaryParent = nullptr;
    std::string summaryText;
    // The batch dialog, then the summary; each is answered once it is up. A timer looks
    // for them, leaving the loops free for the job's messages.
    std::function<void()> answer = [&] {
        for (wxWindow* top : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<wxDialog*>(top);
            if (!dialog || !dialog->IsModal())
                continue;
            if (auto* resize = dynamic_cast<CBatchResizeDlg*>(dialog)) {
                if (started)
                    continue;
                started = true;
                EXPECT_EQ(resize->GetParent(), frame);
                resize->SetFolderPicker([&](std::string& chosen) {
                    chosen = out.string();
                    return true;
                });
                Press(resize, mdlg::kBatchBrowse);
                Press(resize, wxID_OK);
            } else {
                ++summaries;
                summaryParent = dialog->GetParent();
                for (wxWindow* child : dialog->GetChildren())
                    if (auto* text = dynamic_cast<wxTextCtrl*>(child))
                        summaryText = text->GetValue().utf8_string();
                dialog->EndModal(wxID_OK);
                return;
            }
        }
    };
    PollTimer poll(answer);
    poll.Start(50);
    batch::RunBatchResize(*doc, host);
    poll.Stop();
    frame->Destroy();
    EXPECT_EQ(summaries, 1);
    EXPECT_EQ(summaryParent, frame);
    for (int i = 0; i < 40; ++i)
        EXPECT_NE(summaryText.find((out / ("f" + std::to_string(i) + ".jpg")).string() + " '\n is read-only"),
                  std::string::npos)
            << i;
    EXPECT_EQ(opened, std::vector<std::string>{out.string()});
}


namespace {

// The modal window of the batch dialogs' lists that is up, other than skip.
wxDialog* OpenListWindow(const wxDialog* skip)
{
    for (wxWindow* top : wxTopLevelWindows)
        if (auto* dialog = dynamic_cast<wxDialog*>(top); dialog && dialog != skip && dialog->IsModal())
            return dialog;
    return nullptr;
}

wxTextCtrl* ListOf(wxWindow* window)
{
    for (wxWindow* child : window->GetChildren())
        if (auto* text = dynamic_cast<wxTextCtrl*>(child))
            return text;
    return nullptr;
}

}  // namespace

TEST_F(BatchResizeGuiTest, ManyUnreadablePicturesAreToldInAListOfFixedSizeOnTheScreen)
{
    CFolderItem* folder = doc->GetCurrentFolder();
    for (int i = 0; i < 150; ++i) {
        const std::string name = "broken_" + std::to_string(i) + ".jpg";
        lftest::WriteText(dir / name, "not a picture");
        folder->AddImage(std::make_unique<CImageItem>(name, (dir / name).string(), 13, 0, 0));
        folder->Image(folder->ImageCount() - 1)->m_bSelected = true;
    }
    CBatchResizeDlg dialog;
    dialog.SetDocument(doc.get());
    wxRect notice, ok;
    wxString listed;
    int lines = 0;
    bool told = false;
    PollTimer poll([&] {
        wxDialog* window = OpenListWindow(&dialog);
        if (!window || told)
            return;
        told = true;
        notice = window->GetScreenRect();
        if (wxWindow* button = window->FindWindow(wxID_OK))
            ok = button->GetScreenRect();
        if (wxTextCtrl* list = ListOf(window)) {
            listed = list->GetValue();
            lines = list->GetNumberOfLines();
        }
        window->EndModal(wxID_OK);
        wxTheApp->CallAfter([&dialog] { dialog.EndModal(wxID_CANCEL); });
    });
    poll.Start(50);
    EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
    poll.Stop();
    ASSERT_TRUE(told);
    EXPECT_EQ(lines, 150);
    EXPECT_TRUE(listed.Contains("broken_0.jpg") && listed.Contains("broken_149.jpg"));
    // As tall as for a few names, and whole on the screen with its OK button.
    EXPECT_LT(notice.height, 500);
    const wxRect screen(wxPoint(0, 0), wxGetDisplaySize());
    EXPECT_TRUE(screen.Contains(notice)) << notice.x << "," << notice.y << " " << notice.width << "x" << notice.height;
    EXPECT_TRUE(screen.Contains(ok));
}

TEST(BatchListWindow, ALongLineBreaksInsteadOfRunningOutOfSight)
{
    const std::string longLine = "' /home/someone/Pictures/holidays/2024/summer/by the sea/with the family/photo_01.jpg '\n"
                                 " could not be written: No such file or directory, the folder may have been removed";
    wxTextCtrl* list = nullptr;
    long atSecondRow = -1;
    int rowHeight = 0;
    wxTheApp->CallAfter([&] {
        wxDialog* window = OpenListWindow(nullptr);
        ASSERT_NE(window, nullptr);
        list = ListOf(window);
        if (!list) {
            window->EndModal(wxID_OK);  // checked once the window is gone
            return;
        }
        lftest::PumpFor(std::chrono::milliseconds(100));
        rowHeight = list->GetCharHeight();
        // The start of the second row on screen is still within the first line of text
        // when that line broke; a line that runs on puts the second line there.
        list->HitTest(wxPoint(8, rowHeight * 3 / 2 + 4), &atSecondRow);
        window->EndModal(wxID_OK);
    });
    batch::ShowListWindow(nullptr, "Batch Resize", "1 picture could not be processed:",
                          longLine.substr(0, longLine.find('\n')) + " " + longLine.substr(longLine.find('\n') + 1) +
                              "\n\nsecond failure");
    ASSERT_NE(list, nullptr);
    ASSERT_GT(rowHeight, 0);
    EXPECT_GT(atSecondRow, 10);
    EXPECT_LT(atSecondRow, 150);  // the first line holds 170 characters
}
