#pragma once
// The chevron's popup menu: one item per hidden toolbar button, with the button's image
// and its tooltip text, greyed when the button is disabled.

#include <wx/menu.h>

#include <vector>

class wxAuiToolBar;

class CIconMenu : public wxMenu {
public:
    CIconMenu(wxAuiToolBar& toolBar, const std::vector<int>& ids);
};
