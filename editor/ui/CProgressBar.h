#pragma once
// A progress bar that places itself in a pane of the main window's status bar, right of a
// short label written into the pane. An operation makes one on the stack, steps it and
// lets it go; the pane then gets its former text back (pane 0 is left empty). Without a
// main window or status bar there is no bar, and every operation does nothing.

#include "platform/WinTypes.h"

#include <wx/gauge.h>
#include <wx/string.h>

class wxSizeEvent;
class wxStatusBar;

class CProgressBar {
public:
    CProgressBar() = default;
    CProgressBar(const wxString& label, int widthPercent, int maximum, bool smooth, int pane);
    ~CProgressBar();
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

    bool Create(const wxString& label, int widthPercent, int maximum, bool smooth, int pane);
    bool IsCreated() const { return m_gauge != nullptr; }

    bool SetRange(int lower, int upper, int step);
    // Each returns the former value (0 without a bar).
    int SetStep(int step);
    int SetPos(int pos);
    int OffsetPos(int delta);
    int StepIt();
    void SetLabel(const wxString& label);
    void SetWidthPercent(int percent);
    // Places the bar for the pane's present size; false without a bar.
    bool UpdatePlacement();

    wxGauge* GetGauge() const { return m_gauge; }

    // The bar's rectangle in a pane: right of the label (its width plus four blanks, when
    // there is a label), widthPercent of the rest, a tenth of the height off top and bottom.
    static RECT Place(RECT pane, int labelWidth, int blankWidth, int widthPercent);
    // The main window's status bar, or null.
    static wxStatusBar* FindStatusBar();

private:
    void RestorePane();
    void OnBarSize(wxSizeEvent& event);
    // Shows the bar's progress now; the callers' work keeps the event loop from running.
    void Repaint();

    wxGauge* m_gauge = nullptr;
    wxStatusBar* m_bar = nullptr;
    int m_nWidthPercent = 0;
    int m_nPane = 0;
    wxString m_strLabel;
    wxString m_strOldPaneText;
    RECT m_rcPlaced{};
    int m_nLower = 0;
    int m_nStep = 1;
    int m_nLastShown = -1;
};
