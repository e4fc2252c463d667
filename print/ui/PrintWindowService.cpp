#include "print/ui/PrintWindowService.h"

#include "print/ui/CPrintFrame.h"

#include "controls/CFramePlacementHook.h"

#include <wx/window.h>

CPrintFrame* OpenPrintWindow(CQuorixDoc& doc, wxWindow* mainFrame)
{
    CPrintFrame* frame = CPrintFrame::FindFor(mainFrame);
    if (frame) {
        frame->AddSelectedImages();
        CFramePlacementHook::FitOntoDisplayOf(*frame, mainFrame);  // wholly on its display
        frame->Show();
    } else {
        frame = new CPrintFrame(doc, mainFrame);
        CFramePlacementHook::FitOntoDisplayOf(*frame, mainFrame);  // wholly on its display
        frame->Show();
        frame->Update();
    }
    frame->Raise();
    frame->SetFocus();
    if (mainFrame)
        mainFrame->Hide();
    return frame;
}
