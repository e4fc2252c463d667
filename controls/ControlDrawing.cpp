#include "controls/ControlDrawing.h"

#include <wx/brush.h>
#include <wx/pen.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace {

// Filled rectangles stay on whole pixels; toolkit lines may be smoothed across two.
void FillPixels(wxDC& dc, int x, int y, int width, int height)
{
    if (width > 0 && height > 0)
        dc.DrawRectangle(x, y, width, height);
}

}  // namespace

void DrawEdgeFrame(wxDC& dc, const wxRect& rect, const wxColour& topLeft, const wxColour& bottomRight)
{
    if (rect.width <= 0 || rect.height <= 0)
        return;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(topLeft));
    FillPixels(dc, rect.x, rect.y, rect.width, 1);
    FillPixels(dc, rect.x, rect.y, 1, rect.height);
    dc.SetBrush(wxBrush(bottomRight));
    FillPixels(dc, rect.x, rect.y + rect.height - 1, rect.width, 1);
    FillPixels(dc, rect.x + rect.width - 1, rect.y, 1, rect.height);
}

void DrawOutline(wxDC& dc, const wxRect& rect, const wxColour& colour) { DrawEdgeFrame(dc, rect, colour, colour); }

LinkLauncher DefaultLinkLauncher()
{
    return [](const wxString& address) { return wxLaunchDefaultBrowser(address); };
}

ControlPlace ReadControlPlace(wxWindow* original)
{
    ControlPlace place;
    if (!original)
        return place;
    place.parent = original->GetParent();
    place.id = original->GetId();
    place.label = original->GetLabel();
    place.position = original->GetPosition();
    place.size = original->GetSize();
    place.shown = original->IsShown();
    place.enabled = original->IsThisEnabled();
    return place;
}

void TakeControlPlace(wxWindow* replacement, wxWindow* original, const ControlPlace& place)
{
    replacement->Show(place.shown);
    replacement->Enable(place.enabled);
    if (original) {
        replacement->MoveAfterInTabOrder(original);
        original->Destroy();
    }
}
