#pragma once
// Ends a dialog with a result whether it runs modally or was only shown (as tests show
// them): a modal loop ends, a shown dialog hides.

#include <wx/dialog.h>

inline void FinishDialog(wxDialog& dialog, int result)
{
    if (dialog.IsModal()) {
        dialog.EndModal(result);
        return;
    }
    dialog.SetReturnCode(result);
    dialog.Hide();
}
