#pragma once
// The editor's main toolbar: sixteen 55 x 43 buttons on a gradient pattern, with their
// normal, hot and disabled images made from one strip drawn on the key colour. When the
// window is narrower than the toolbar, a chevron at its end lists the hidden buttons
// (CIconMenu).

#include <wx/aui/auibar.h>

#include <vector>

class CPatternToolBar : public wxAuiToolBar {
public:
    explicit CPatternToolBar(wxWindow* parent, wxWindowID id = wxID_ANY);

    // The ids of the buttons that do not fit in the toolbar's present width, in order.
    std::vector<int> HiddenTools() const;
    // The width that shows every button.
    int FullWidth() const;

private:
    void OnOverflow(wxAuiToolBarEvent& event);
};
