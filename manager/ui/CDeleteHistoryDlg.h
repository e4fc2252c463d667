#pragma once
// Asks before the address box's folder history is emptied; OK means delete.

#include <wx/dialog.h>

class CDeleteHistoryDlg : public wxDialog {
public:
    explicit CDeleteHistoryDlg(wxWindow* parent = nullptr);
};
