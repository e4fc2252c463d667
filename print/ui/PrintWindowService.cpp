#include "print/ui/PrintWindowService.h"

#include "print/ui/CPrintFrame.h"

#include "platform/WindowPlacement.h"

#include <wx/display.h>
#include <wx/window.h>

namespace {

// The window lies wholly within the work area of the display it opens on.
void KeepOnItsDisplay(wxWindow* frame, const wxWindow* mainFrame)
{
    const int index = wxDisplay::GetFromWindow(mainFrame ? mainFrame : frame);
    const wxRect area = wxDisplay(index == wxNOT_FOUND ? 0u : unsigned(index)).GetClientArea();
    const wxRect rect = frame->GetRect();
    const PlacementRect fitted = FitOnto({rect.x, rect.y, rect.width, rect.height},
                                         {area.x, area.y, area.width, area.height});
    if (fitted.x != rect.x || fitted.y != rect.y || fitted.width != rect.width || fitted.height != rect.height)
        frame->SetSize(fitted.x, fitted.y, fitted.width, fitted.height);
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
