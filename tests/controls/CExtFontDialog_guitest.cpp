#include "controls/CExtFontDialog.h"
#include "tests/controls/ScriptedInput.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/listbox.h>

namespace {

std::vector<FontFaceInfo> FakeFaces()
{
    return {
        {"DejaVu Sans", false, false},
        {"DejaVu Sans Mono", false, true},
        {"Symbol Dings", true, false},
    };
}

wxListBox* FaceList(CExtFontDialog& dialog)
{
    return dynamic_cast<wxListBox*>(dialog.FindWindow(CExtFontDialog::ID_FACE_LIST));
}

std::vector<wxString> Listed(CExtFontDialog& dialog)
{
    const wxArrayString strings = FaceList(dialog)->GetStrings();
    return std::vector<wxString>(strings.begin(), strings.end());
}

using lftest::PressButton;
using lftest::WhenModal;

TEST(CExtFontDialog, FilterTwoLeavesNoSymbolFaceAndTitleIsTheCallers)
{
    CExtFontDialog dialog;
    dialog.SetFaceSource(FakeFaces);
    dialog.m_strCaption = "Choose Font";
    dialog.m_nFaceFilter = kFaceNoSymbol;
    std::vector<wxString> listed;
    wxString title;
    int selected = -2;
    WhenModal([&] {
        listed = Listed(dialog);
        title = dialog.GetTitle();
        selected = FaceList(dialog)->GetSelection();
        PressButton(&dialog, wxID_OK);
    });
    ASSERT_EQ(dialog.DoModal(), wxID_OK);
    EXPECT_EQ(listed, (std::vector<wxString>{"DejaVu Sans", "DejaVu Sans Mono"}));
    EXPECT_EQ(title, "Choose Font");
    EXPECT_EQ(selected, 0);  // no initial face: the first one
    EXPECT_EQ(dialog.GetFaceName(), "DejaVu Sans");
    EXPECT_EQ(dialog.GetChosenCharSet(), 0);
    EXPECT_EQ(dialog.GetChosenPitchAndFamily() & 1, 1);  // variable pitch
    EXPECT_GT(dialog.GetChosenHeight(), 0);
}

TEST(CExtFontDialog, UnfilteredListAndInitialFaceKeepsItsSize)
{
    const wxFont initial(wxFontInfo(wxSize(0, 30)).FaceName("DejaVu Sans Mono"));
    CExtFontDialog dialog(&initial);
    dialog.SetFaceSource(FakeFaces);
    std::vector<wxString> listed;
    WhenModal([&] {
        listed = Listed(dialog);
        PressButton(&dialog, wxID_OK);
    });
    ASSERT_EQ(dialog.DoModal(), wxID_OK);
    EXPECT_EQ(listed.size(), 3u);
    EXPECT_EQ(dialog.GetFaceName(), "DejaVu Sans Mono");
    EXPECT_EQ(dialog.GetChosenPitchAndFamily() & 1, 0);  // fixed pitch
    const wxFont chosen = dialog.GetCurrentFont();
    ASSERT_TRUE(chosen.IsOk());
    EXPECT_EQ(chosen.GetFaceName(), "DejaVu Sans Mono");
    EXPECT_EQ(chosen.GetPixelSize().y, 30);
}

TEST(CExtFontDialog, CancelClearsTheResults)
{
    CExtFontDialog dialog;
    dialog.SetFaceSource(FakeFaces);
    dialog.m_nFaceFilter = kFaceKeepSymbolOnly;
    WhenModal([&] { PressButton(&dialog, wxID_OK); });
    ASSERT_EQ(dialog.DoModal(), wxID_OK);
    EXPECT_EQ(dialog.GetFaceName(), "Symbol Dings");
    EXPECT_EQ(dialog.GetChosenCharSet(), 2);

    WhenModal([&] {
        FaceList(dialog)->SetSelection(0);
        PressButton(&dialog, wxID_CANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), wxID_CANCEL);
    EXPECT_EQ(dialog.GetFaceName(), "");
    EXPECT_EQ(dialog.GetChosenCharSet(), 0);
    EXPECT_EQ(dialog.GetChosenPitchAndFamily(), 0);
    EXPECT_EQ(dialog.GetChosenHeight(), 0);
    EXPECT_FALSE(dialog.GetCurrentFont().IsOk());
}

TEST(CExtFontDialog, TwoDialogsKeepTheirOwnResults)
{
    CExtFontDialog first;
    CExtFontDialog second;  // constructed later: must not take over the first one
    first.SetFaceSource(FakeFaces);
    second.SetFaceSource(FakeFaces);
    second.m_nFaceFilter = kFaceKeepFixedOnly;
    WhenModal([&] {
        FaceList(first)->SetSelection(2);
        PressButton(&first, wxID_OK);
    });
    ASSERT_EQ(first.DoModal(), wxID_OK);
    EXPECT_EQ(first.GetFaceName(), "Symbol Dings");
    EXPECT_EQ(second.GetFaceName(), "");
}

TEST(CExtFontDialog, SystemFacesFilled)
{
    CExtFontDialog dialog;
    dialog.m_nFaceFilter = kFaceNoSymbol;
    size_t count = 0;
    WhenModal([&] {
        count = FaceList(dialog)->GetCount();
        PressButton(&dialog, wxID_CANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), wxID_CANCEL);
    EXPECT_EQ(count, FilterFaces(SystemFontFaces(), kFaceNoSymbol).size());
    EXPECT_GT(count, 0u);
}

}  // namespace
