#pragma once
// Helpers the image dialogs share.

#include "controls/DialogTemplate.h"

#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/window.h>

#include <functional>

// A control of a dialog made from a template, by its template id; null when absent or
// of another kind.
template <class T>
T* DialogControl(const wxWindow& dialog, int id)
{
    return dynamic_cast<T*>(dialog.FindWindow(DialogControlId(id)));
}

// Shows a dialog's refusal; tests pass their own to read the text instead.
using DialogMessageFn = std::function<void(const char*)>;
inline DialogMessageFn PlainMessageBox(wxDialog* dialog)
{
    return [dialog](const char* text) { wxMessageBox(wxString::FromUTF8(text), dialog->GetTitle(), wxOK, dialog); };
}
