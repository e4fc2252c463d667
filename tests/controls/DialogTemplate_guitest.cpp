// The control kinds of a dialog layout become the toolkit's controls they stand for.
#include "controls/DialogTemplate.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

namespace {

TEST(DialogTemplate, ListProgressAndPasswordKinds)
{
    const DialogTemplate layout{1, "Kinds", 200, 120,
                                {
                                    {DlgItemKind::Edit, 10, "", 5, 5, 80, 12},
                                    {DlgItemKind::Password, 11, "", 5, 20, 80, 12},
                                    {DlgItemKind::List, 12, "", 5, 35, 190, 50},
                                    {DlgItemKind::Progress, 13, "", 5, 90, 190, 10},
                                }};
    wxDialog dialog;
    ASSERT_TRUE(CreateDialogFromTemplate(dialog, nullptr, layout));

    auto* edit = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(10));
    auto* password = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(11));
    ASSERT_TRUE(edit && password);
    EXPECT_FALSE(edit->HasFlag(wxTE_PASSWORD));
    EXPECT_TRUE(password->HasFlag(wxTE_PASSWORD));
    password->ChangeValue("secret");
    EXPECT_EQ(password->GetValue(), "secret");

    auto* list = dynamic_cast<wxListCtrl*>(dialog.FindWindow(12));
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->InReportView());
    EXPECT_TRUE(list->HasCheckBoxes());
    list->AppendColumn("Name");
    const long row = list->InsertItem(0, "a.jpg");
    list->CheckItem(row, true);
    EXPECT_TRUE(list->IsItemChecked(row));

    auto* progress = dynamic_cast<wxGauge*>(dialog.FindWindow(13));
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->GetRange(), 100);
    EXPECT_FALSE(progress->IsVertical());
    const wxPoint size = dialog.ConvertDialogToPixels(wxPoint(190, 10));
    EXPECT_EQ(progress->GetSize().x, size.x);
}

}  // namespace
