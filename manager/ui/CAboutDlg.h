#pragma once
// Help > About: the program's name and version.

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
public:
    explicit CAboutDlg(wxWindow* parent = nullptr);
};
