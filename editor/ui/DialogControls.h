#pragma once
// Helpers the image dialogs share.

#include "controls/DialogTemplate.h"

#include <wx/dialog.h>
#include <wx/gdicmn.h>
#include <wx/msgdlg.h>
#include <wx/window.h>

#include <algorithm>
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

// The rectangle for panes that together take extent, inside a frame (a group box) of the
// dialog: below its caption, centred across. The frame, and the dialog with it, grow
// when the panes would not fit.
inline wxRect PlaceInFrame(wxDialog& dialog, wxWindow* frame, const wxSize& extent, int top = 20)
{
    constexpr int kMargin = 10;
    wxRect box = frame ? frame->GetRect() : wxRect(kMargin, kMargin, 0, 0);
    box.width = std::max(box.width, extent.x + 2 * kMargin);
    box.height = std::max(box.height, top + extent.y + kMargin);
    if (frame)
        frame->SetSize(box);
    const wxSize client = dialog.GetClientSize();
    dialog.SetClientSize(std::max(client.x, box.GetRight() + kMargin), std::max(client.y, box.GetBottom() + kMargin));
    return wxRect(box.x + (box.width - extent.x) / 2, box.y + top, extent.x, extent.y);
}
