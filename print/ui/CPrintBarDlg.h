#pragma once
// The print window's button bar: five picture buttons on a blue band. Enter in it does
// nothing; its buttons run the frame's operations.

#include <wx/bitmap.h>
#include <wx/panel.h>

#include <array>

class CHoverButton;
class CPrintFrame;

class CPrintBarDlg : public wxPanel {
public:
    static constexpr int kHeight = 34;

    CPrintBarDlg(CPrintFrame* frame, wxWindow* parent);

    // The button of a command id (printid::kAddToPrint ...), or null.
    CHoverButton* GetButton(int id) const;

private:
    void PlaceButtons(bool resized);
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnButton(wxCommandEvent& event);

    CPrintFrame* m_frame;  // not owned: the bar is the frame's child
    wxBitmap m_background;
    std::array<CHoverButton*, 5> m_buttons{};
};
