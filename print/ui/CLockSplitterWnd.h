#pragma once
// A splitter of one row and three columns whose bars cannot be dragged: only the
// frame's size moves them (SetColumns).

#include "print/model/PrintFrameGeometry.h"

#include <wx/window.h>

#include <array>

class CLockSplitterWnd : public wxWindow {
public:
    static constexpr int kBarWidth = 6;

    CLockSplitterWnd(wxWindow* parent, wxWindowID id);

    // Puts a pane in column 0, 1 or 2 (a child of this window).
    void SetPane(int column, wxWindow* pane);
    wxWindow* GetPane(int column) const;
    // Set once the panes are made; never cleared.
    void Lock() { m_bLocked = true; }
    bool IsLocked() const { return m_bLocked; }
    // The ideal widths of the columns; the last column takes what is left.
    void SetColumns(const PrintColumns& columns);
    void RecalcLayout();

private:
    void OnSize(wxSizeEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);

    std::array<wxWindow*, 3> m_panes{};
    PrintColumns m_columns{230, 250, 120};
    bool m_bLocked = false;
};
