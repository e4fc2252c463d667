#include "manager/CAboutDlg.h"
#include "manager/CDeleteHistoryDlg.h"
#include "manager/CMessageDlg.h"
#include "resources/manager/ManagerDialogs.h"
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

// What a static text shows: its lines, measured in its own font.
wxSize ShownTextSize(wxStaticText* text, bool trimBlanks)
{
    wxSize size(0, 0);
    for (wxString line : wxSplit(text->GetLabel(), '\n', '\0')) {
        if (trimBlanks)
            line.Trim();
        size.x = std::max(size.x, text->GetTextExtent(line).x);
        size.y += text->GetCharHeight();
    }
    return size;
}

// Where a control draws: a static text only where its text is, any other all of it.
wxRect InkRect(wxWindow* control)
{
    auto* text = dynamic_cast<wxStaticText*>(control);
    return text ? wxRect(control->GetPosition(), ShownTextSize(text, true)) : control->GetRect();
}

// Every control of the shown dialog lies in its client area, every static text holds
// all of its text, and no text runs into another control (a group box around it aside).
void ExpectWholeTexts(wxDialog& dialog, const std::map<int, std::string>& texts)
{
    dialog.Show();
    lftest::PumpFor(std::chrono::milliseconds(50));
    const wxRect client(wxPoint(0, 0), dialog.GetClientSize());
    for (wxWindow* control : dialog.GetChildren()) {
        const wxRect rect = control->GetRect();
        EXPECT_TRUE(client.Contains(rect)) << control->GetLabel() << " lies outside the dialog";
        auto* text = dynamic_cast<wxStaticText*>(control);
        if (!text)
            continue;
        wxString shown = text->GetLabel();
        shown.Replace("\n", " ");
        if (auto it = texts.find(text->GetId()); it != texts.end()) {
            wxString expected = wxString::FromUTF8(it->second);
            expected.Replace("\n", " ");
            EXPECT_EQ(shown, expected);
        }
        const wxSize needed = ShownTextSize(text, false);
        EXPECT_LE(needed.x, rect.width) << shown;
        EXPECT_LE(needed.y, rect.height) << shown;
        const wxRect ink = InkRect(control);
        for (wxWindow* other : dialog.GetChildren()) {
            if (other != control && !dynamic_cast<wxStaticBox*>(other)) {
                EXPECT_FALSE(ink.Intersects(InkRect(other))) << shown << " runs into " << other->GetLabel();
            }
        }
    }
    dialog.Hide();
}

TEST(ShellDialogs, EveryLayoutShowsItsWholeTexts)
{
    const std::string longMessage = "Disk space currently used by cache: 1234.56 MB\nThe thumbnails of every folder "
                                    "you have opened will be made again the next time you open that folder. "
                                    "Delete them all now and free the space they take on this disk?";
    {
        CAboutDlg about;
        ExpectWholeTexts(about, {{mdlg::kAboutVersionStatic, "1.6"}});
        // The name and the version read as one line.
        wxWindow* version = about.FindWindow(mdlg::kAboutVersionStatic);
        for (wxWindow* child : about.GetChildren())
            if (child != version && dynamic_cast<wxStaticText*>(child)) {
                EXPECT_EQ(child->GetLabel(), "Lanternfolio Photo Editor Version ");
                EXPECT_EQ(child->GetPosition().y, version->GetPosition().y);
                EXPECT_LE(child->GetPosition().x + ShownTextSize(static_cast<wxStaticText*>(child), true).x,
                          version->GetPosition().x);
            }
    }
    for (const std::string& message : {std::string("Disk space currently used by cache: 1.50 MB"), longMessage}) {
        CMessageDlg dialog;
        dialog.SetText(message, "Delete cache files");
        ASSERT_TRUE(dialog.Build());
        ExpectWholeTexts(dialog, {{mdlg::kMessageStatic, message}});
    }
    {
        CDeleteHistoryDlg dialog;
        ExpectWholeTexts(dialog, {});
    }
}

TEST(ShellDialogs, GrowingAControlMakesRoomBesideAndBelowIt)
{
    using Boxes = std::vector<LayoutBox>;
    struct Case {
        const char* what;
        Boxes boxes;
        wxSize needed;
        Boxes expected;
        wxSize grown;
    };
    const Case cases[] = {
        {"wider: the neighbour on its row moves, the one below stays",
         {{{10, 10, 50, 10}}, {{58, 10, 20, 10}}, {{10, 30, 40, 10}}},
         {70, 10},
         {{{10, 10, 70, 10}}, {{78, 10, 20, 10}}, {{10, 30, 40, 10}}},
         {20, 0}},
        {"taller inside a group box: the box grows, the buttons below move",
         {{{5, 5, 100, 40}, true}, {{10, 10, 90, 20}}, {{10, 50, 30, 10}}, {{60, 50, 30, 10}}},
         {90, 35},
         {{{5, 5, 100, 55}, true}, {{10, 10, 90, 35}}, {{10, 65, 30, 10}}, {{60, 65, 30, 10}}},
         {0, 15}},
        {"growth that stays inside the layout's extent moves no edge",
         {{{10, 10, 20, 10}}, {{10, 30, 100, 10}}},
         {40, 10},
         {{{10, 10, 40, 10}}, {{10, 30, 100, 10}}},
         {0, 0}},
        {"big enough already", {{{0, 0, 10, 10}}}, {5, 5}, {{{0, 0, 10, 10}}}, {0, 0}},
    };
    for (const Case& c : cases) {
        Boxes boxes = c.boxes;
        EXPECT_EQ(GrowLayoutBox(boxes, c.boxes.size() == 4 ? 1 : 0, c.needed), c.grown) << c.what;
        for (size_t i = 0; i < boxes.size(); ++i)
            EXPECT_EQ(boxes[i].rect, c.expected[i].rect) << c.what << ", box " << i;
    }
}

}  // namespace
