#pragma once
// Small drawing and placement helpers of the self-drawn controls.

#include "platform/WinTypes.h"

#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/gdicmn.h>
#include <wx/string.h>

#include <functional>

class wxWindow;

inline wxColour ToWxColour(COLORREF c) { return wxColour(GetRValue(c), GetGValue(c), GetBValue(c)); }
inline COLORREF ToColorRef(const wxColour& c) { return RGB(c.Red(), c.Green(), c.Blue()); }
inline RECT ToRect(const wxRect& r) { return RECT{r.x, r.y, r.x + r.width, r.y + r.height}; }
inline wxRect ToWxRect(const RECT& r) { return wxRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

// A one-pixel frame: top and left edges in one colour, bottom and right in the other;
// the bottom and right edges lie on the last row and column inside the rectangle.
void DrawEdgeFrame(wxDC& dc, const wxRect& rect, const wxColour& topLeft, const wxColour& bottomRight);
// A one-pixel frame in one colour just inside the rectangle.
void DrawOutline(wxDC& dc, const wxRect& rect, const wxColour& colour);

// Opens an address in the desktop's browser, the address as one argument; true when the
// launch started. Controls take one so that tests can record what would be opened.
using LinkLauncher = std::function<bool(const wxString& address)>;
LinkLauncher DefaultLinkLauncher();

// Where a control of a dialog layout stood: a self-drawn control takes its place.
struct ControlPlace {
    wxWindow* parent = nullptr;
    wxWindowID id = wxID_ANY;
    wxString label;
    wxPoint position;
    wxSize size;
    bool shown = true;
    bool enabled = true;
};
ControlPlace ReadControlPlace(wxWindow* original);
// Gives the replacement the original's visibility, state and tab position and destroys
// the original.
void TakeControlPlace(wxWindow* replacement, wxWindow* original, const ControlPlace& place);
