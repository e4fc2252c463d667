#include "print/ui/PrintWindowService.h"

#include "print/ui/CPrintFrame.h"

#include <wx/window.h>

CPrintFrame* OpenPrintWindow(CQuorixDoc& doc, wxWindow* mainFrame)
{
    CPrintFrame* frame = CPrintFrame::FindFor(mainFrame);
    if (frame) {
        frame->AddSelectedImages();
        frame->Show();
    } else {
        frame = new CPrintFrame(doc, mainFrame);
        frame->Show();
        frame->Update();
    }
    frame->Raise();
    frame->SetFocus();
    if (mainFrame)
        mainFrame->Hide();
    return frame;
}
