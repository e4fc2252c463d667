#include "print/ui/PrintWindowService.h"

#include "print/ui/CPrintFrame.h"

#include "controls/CFramePlacementHook.h"

#include <wx/window.h>

namespace {

// The window lies wholly within the work area of the display it opens on.
void KeepOnItsDisplay(wxWindow* frame, const wxWindow* mainFrame)
{
    CFramePlacementHook::FitOntoDisplayOf(*frame, mainFrame);
}

}  // namespace

CPrintFrame* OpenPrintWindow(CQuorixDoc& doc, wxWindow* mainFrame)
{
    CPrintFrame* frame = CPrintFrame::FindFor(mainFrame);
    if (frame) {
        frame->AddSelectedImages();
        KeepOnItsDisplay(frame, mainFrame);
        frame->Show();
    } else {
        frame = new CPrintFrame(doc, mainFrame);
        KeepOnItsDisplay(frame, mainFrame);
        frame->Show();
        frame->Update();
    }
    frame->Raise();
    frame->SetFocus();
    if (mainFrame)
        mainFrame->Hide();
    return frame;
}
