#pragma once
// How the image dialogs frame a long operation: the wait cursor and the "Processing" bar
// in the main window's first status pane, stepped to its end before the work starts,
// both gone when the scope ends.

#include "editor/ui/CProgressBar.h"
#include "resources/editor/DialogStrings.h"

#include <wx/utils.h>

#include <optional>

class ProcessingScope {
public:
    // shown false: no cursor and no bar (operations that are quick by nature).
    explicit ProcessingScope(bool shown = true)
    {
        if (!shown)
            return;
        m_cursor.emplace();
        m_bar.Create(estr::kProcessing, 40, 1000, false, 0);
        for (int i = 0; i < 1000; ++i)
            m_bar.StepIt();
    }

private:
    std::optional<wxBusyCursor> m_cursor;
    CProgressBar m_bar;
};
