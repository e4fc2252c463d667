#include "manager/ui/CAboutDlg.h"
#include "manager/ui/CDeleteHistoryDlg.h"
#include "manager/model/ThumbnailCache.h"
#include "manager/ui/CMessageDlg.h"
#include "resources/manager/ManagerDialogs.h"
#include "tests/support/DialogChecks.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace {

using lftest::ExpectWholeTexts;

wxString Label(wxWindow* dialog, int id)
{
    wxWindow* control = dialog->FindWindow(id);
    return control ? control->GetLabel() : wxString("<missing>");
}

// Presses a button of the running modal dialog once its loop runs.
void PressLater(wxDialog& dialog, int id)
{
    wxTheApp->CallAfter([&dialog, id] {
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(dialog.FindWindow(id));
        dialog.FindWindow(id)->GetEventHandler()->ProcessEvent(click);
    });
}

TEST(ShellDialogs, AboutShowsNameVersionAndIconWhereTheLayoutPutsThem)
{
    CAboutDlg about;
    EXPECT_EQ(about.GetTitle(), "About Lanternfolio Photo Editor Version ");
    EXPECT_EQ(Label(&about, mdlg::kAboutVersionStatic), "1.6");
    wxWindow* ok = about.FindWindow(wxID_OK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetLabel(), "OK");
    // Dialog units: the OK button at 178,7 size 50 x 14, the client area 235 x 55; the
    // name's text may be wider than its 81 units, and then the version and OK move right
    // and the dialog widens by as much.
    wxWindow* version = about.FindWindow(mdlg::kAboutVersionStatic);
    const int moved = version->GetPosition().x - about.ConvertDialogToPixels(wxPoint(120, 0)).x;
    EXPECT_GE(moved, 0);
    EXPECT_EQ(ok->GetPosition(), about.ConvertDialogToPixels(wxPoint(178, 7)) + wxPoint(moved, 0));
    EXPECT_EQ(ok->GetSize(), about.ConvertDialogToPixels(wxSize(50, 14)));
    EXPECT_EQ(about.GetClientSize(), about.ConvertDialogToPixels(wxSize(235, 55)) + wxSize(moved, 0));
    bool hasIcon = false;
    for (wxWindow* child : about.GetChildren())
        if (auto* bitmap = dynamic_cast<wxStaticBitmap*>(child))
            hasIcon = bitmap->GetBitmap().IsOk();
    EXPECT_TRUE(hasIcon);

    PressLater(about, wxID_OK);
    EXPECT_EQ(about.ShowModal(), wxID_OK);
}

TEST(ShellDialogs, MessageTextSetBeforeRunningShowsButOkKeepsItsCaption)
{
    CMessageDlg dialog;
    dialog.SetText("Disk space currently used by cache: 1.50 MB", "Go ahead");
    EXPECT_EQ(dialog.GetHandle(), nullptr) << "no window before the dialog runs";
    ASSERT_TRUE(dialog.Build());
    EXPECT_EQ(dialog.GetTitle(), "Lanternfolio photo editor");
    wxString shown = Label(&dialog, mdlg::kMessageStatic);
    shown.Replace("\n", " ");
    EXPECT_EQ(shown, "Disk space currently used by cache: 1.50 MB");
    EXPECT_EQ(Label(&dialog, wxID_OK), "Delete cache files");
    EXPECT_EQ(Label(&dialog, wxID_CANCEL), "Cancel");

    dialog.SetText("other", "Go ahead");
    EXPECT_EQ(Label(&dialog, wxID_OK), "Go ahead");
    EXPECT_EQ(dialog.GetText(), "other");
}

TEST(ShellDialogs, MessageDialogAnswersOkOrCancel)
{
    for (int id : {wxID_OK, wxID_CANCEL}) {
        CMessageDlg dialog;
        dialog.SetText("text", "Delete cache files");
        PressLater(dialog, id);
        EXPECT_EQ(dialog.ShowModal(), id);
    }
}

TEST(ShellDialogs, DeleteHistoryAsksBeforeDeleting)
{
    for (int id : {wxID_OK, wxID_CANCEL}) {
        CDeleteHistoryDlg dialog;
        EXPECT_EQ(dialog.GetTitle(), "Delete History");
        EXPECT_EQ(Label(&dialog, wxID_OK), "Delete folder history");
        EXPECT_EQ(Label(&dialog, wxID_CANCEL), "Cancel");
        bool explained = false;
        for (wxWindow* child : dialog.GetChildren())
            if (auto* text = dynamic_cast<wxStaticText*>(child))
                explained |= text->GetLabel().StartsWith("This function will delete the history");
        EXPECT_TRUE(explained);
        PressLater(dialog, id);
        EXPECT_EQ(dialog.ShowModal(), id);
    }
}

TEST(ShellDialogs, TextsShowWholeInTheShownDialogs)
{
    const std::string longMessage = "Disk space currently used by cache: 1234.56 MB\nThe thumbnails of every folder "
                                    "you have opened will be made again the next time you open that folder. "
                                    "Delete them all now and free the space they take on this disk?";
    {
        CAboutDlg about;
        ExpectWholeTexts(about);
        EXPECT_EQ(Label(&about, mdlg::kAboutVersionStatic), "1.6");
        // The name and the version read as one line.
        wxWindow* version = about.FindWindow(mdlg::kAboutVersionStatic);
        for (wxWindow* child : about.GetChildren())
            if (child != version && dynamic_cast<wxStaticText*>(child)) {
                EXPECT_EQ(child->GetLabel(), "Lanternfolio Photo Editor Version ");
                EXPECT_EQ(child->GetPosition().y, version->GetPosition().y);
                EXPECT_LE(child->GetPosition().x + lftest::ShownTextSize(static_cast<wxStaticText*>(child), true).x,
                          version->GetPosition().x);
            }
    }
    for (const std::string& message : {std::string("Disk space currently used by cache: 1.50 MB"), longMessage,
                                       ThumbnailCache::DeleteCacheText(uint64_t(1234) << 20)}) {
        CMessageDlg dialog;
        dialog.SetText(message, "Delete cache files");
        ASSERT_TRUE(dialog.Build());
        ExpectWholeTexts(dialog);
        EXPECT_EQ(lftest::OneLine(Label(&dialog, mdlg::kMessageStatic)), lftest::OneLine(wxString::FromUTF8(message)));
        // The text stands inside its group box, clear of the frame on every side.
        wxWindow* text = dialog.FindWindow(mdlg::kMessageStatic);
        wxStaticBox* box = nullptr;
        for (wxWindow* child : dialog.GetChildren())
            if (auto* found = dynamic_cast<wxStaticBox*>(child))
                box = found;
        ASSERT_TRUE(box && text);
        const int margin = dialog.ConvertDialogToPixels(wxSize(4, 4)).x;
        wxRect inner = box->GetRect();
        inner.Deflate(margin);
        EXPECT_TRUE(inner.Contains(text->GetRect())) << "text " << text->GetRect().x << "," << text->GetRect().y << " "
                                                     << text->GetRect().width << "x" << text->GetRect().height;
    }
    {
        CDeleteHistoryDlg dialog;
        ExpectWholeTexts(dialog);
    }
}

TEST(ShellDialogs, GrowingAControlMakesRoomBesideAndBelowIt)
{
    using Boxes = std::vector<LayoutBox>;
    struct Case {
        const char* what;
        Boxes boxes;
        size_t grow;  // the box that grows
        wxSize needed;
        Boxes expected;
        wxSize grown;
    };
    const Case cases[] = {
        {"wider: the neighbour on its row moves, the one below stays",
         {{{10, 10, 50, 10}}, {{58, 10, 20, 10}}, {{10, 30, 40, 10}}},
         0,
         {70, 10},
         {{{10, 10, 70, 10}}, {{78, 10, 20, 10}}, {{10, 30, 40, 10}}},
         {20, 0}},
        {"taller inside a group box: the box grows, the buttons below move",
         {{{5, 5, 100, 40}, true}, {{10, 10, 90, 20}}, {{10, 50, 30, 10}}, {{60, 50, 30, 10}}},
         1,
         {90, 35},
         {{{5, 5, 100, 55}, true}, {{10, 10, 90, 35}}, {{10, 65, 30, 10}}, {{60, 65, 30, 10}}},
         {0, 15}},
        {"growth that stays inside the layout's extent moves no edge",
         {{{10, 10, 20, 10}}, {{10, 30, 100, 10}}},
         0,
         {40, 10},
         {{{10, 10, 40, 10}}, {{10, 30, 100, 10}}},
         {0, 0}},
        {"big enough already", {{{0, 0, 10, 10}}}, 0, {5, 5}, {{{0, 0, 10, 10}}}, {0, 0}},
        {"a group box beside moves with all it holds, also off the grown one's rows",
         {{{10, 40, 50, 10}}, {{70, 0, 50, 60}, true}, {{75, 10, 40, 10}}, {{75, 40, 40, 10}}},
         0,
         {60, 10},
         {{{10, 40, 60, 10}}, {{80, 0, 50, 60}, true}, {{85, 10, 40, 10}}, {{85, 40, 40, 10}}},
         {10, 0}},
    };
    for (const Case& c : cases) {
        Boxes boxes = c.boxes;
        EXPECT_EQ(GrowLayoutBox(boxes, c.grow, c.needed), c.grown) << c.what;
        for (size_t i = 0; i < boxes.size(); ++i)
            EXPECT_EQ(boxes[i].rect, c.expected[i].rect) << c.what << ", box " << i;
    }
}

}  // namespace
