#include "manager/CAboutDlg.h"
#include "manager/CDeleteHistoryDlg.h"
#include "manager/CMessageDlg.h"
#include "resources/manager/ManagerDialogs.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

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
    // Dialog units: the OK button at 178,7 size 50 x 14, the client area 235 x 55.
    EXPECT_EQ(ok->GetPosition(), about.ConvertDialogToPixels(wxPoint(178, 7)));
    EXPECT_EQ(ok->GetSize(), about.ConvertDialogToPixels(wxSize(50, 14)));
    EXPECT_EQ(about.GetClientSize(), about.ConvertDialogToPixels(wxSize(235, 55)));
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

}  // namespace
