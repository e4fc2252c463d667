#pragma once
// Help > About: the program's name and version.

#include <wx/dialog.h>

class CPixoroAboutDlg : public wxDialog {
public:
    explicit CPixoroAboutDlg(wxWindow* parent);
};
