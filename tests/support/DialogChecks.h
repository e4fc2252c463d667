#pragma once
// Checks of a dialog as it is shown: where its texts are and whether they show whole,
// measured in the fonts the toolkit really uses.

#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/arrstr.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/spinbutt.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/stattext.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace lftest {

// What a static text shows: its lines, measured in its own font.
inline wxSize ShownTextSize(wxStaticText* text, bool trimBlanks)
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
inline wxRect InkRect(wxWindow* control)
{
    auto* text = dynamic_cast<wxStaticText*>(control);
    return text ? wxRect(control->GetPosition(), ShownTextSize(text, true)) : control->GetRect();
}

// A static text's text as one line (wrapping breaks lines at blanks).
inline wxString OneLine(wxString text)
{
    text.Replace("\n", " ");
    return text;
}

// Shows the dialog and checks that every control lies in its client area, every static
// text holds all of its text, every button and check box its caption, and no text runs
// into another control (a group box around it aside).
inline void ExpectWholeTexts(wxDialog& dialog)
{
    dialog.Show();
    PumpUntil([&] {
        const wxRect area(wxPoint(0, 0), dialog.GetClientSize());
        for (wxWindow* control : dialog.GetChildren())
            if (!area.Contains(control->GetRect()))
                return false;
        return true;
    });
    const wxRect client(wxPoint(0, 0), dialog.GetClientSize());
    for (wxWindow* control : dialog.GetChildren()) {
        const wxRect rect = control->GetRect();
        EXPECT_TRUE(client.Contains(rect)) << control->GetLabel() << " lies outside the dialog";
        if (dynamic_cast<wxButton*>(control) || dynamic_cast<wxCheckBox*>(control)) {
            EXPECT_LE(control->GetBestSize().x, rect.width) << control->GetLabel() << " is cut";
        }
        auto* text = dynamic_cast<wxStaticText*>(control);
        if (!text)
            continue;
        const wxString shown = OneLine(text->GetLabel());
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

// Spin arrows whose vertical centre lies more than two pixels from their field's: each
// made right after its field, as the layouts list them. "field id / spin id: offset".
// With checked, the number of field and spin pairs looked at.
inline std::vector<std::string> SpinsOffTheirFields(const wxWindow& dialog, int* checked = nullptr)
{
    std::vector<std::string> found;
    if (checked)
        *checked = 0;
    const wxWindow* before = nullptr;
    for (const wxWindow* control : dialog.GetChildren()) {
        const auto* field = dynamic_cast<const wxTextCtrl*>(before);
        before = control;
        if (!dynamic_cast<const wxSpinButton*>(control) || !field)
            continue;
        if (checked)
            ++*checked;
        const wxRect a = field->GetRect();
        const wxRect b = control->GetRect();
        const int offset = (b.y + b.height / 2) - (a.y + a.height / 2);
        if (std::abs(offset) > 2)
            found.push_back(std::to_string(field->GetId()) + " / " + std::to_string(control->GetId()) + ": " +
                            std::to_string(offset));
    }
    return found;
}

}  // namespace lftest
