#pragma once
// Answers a modal dialog from a test: once a dialog of the given class runs modally, the
// script runs on it; a dialog the script left open is cancelled, so a test never hangs.

#include "controls/DialogTemplate.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/toplevel.h>

#include <functional>

namespace lftest {

template <class Dialog>
void WhenModal(std::function<void(Dialog&)> script, int triesLeft = 500)
{
    wxTheApp->CallAfter([script, triesLeft] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* dialog = dynamic_cast<Dialog*>(w); dialog && dialog->IsModal()) {
                script(*dialog);
                if (dialog->IsModal())
                    dialog->EndModal(wxID_CANCEL);
                return;
            }
        if (triesLeft > 0)
            WhenModal<Dialog>(script, triesLeft - 1);
    });
}

// A press on a dialog's button by its template id.
inline void PressButton(wxDialog& dialog, int templateId)
{
    wxCommandEvent event(wxEVT_BUTTON, DialogControlId(templateId));
    event.SetEventObject(dialog.FindWindow(DialogControlId(templateId)));
    dialog.GetEventHandler()->ProcessEvent(event);
}

}  // namespace lftest
