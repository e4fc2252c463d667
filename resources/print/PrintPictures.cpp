#include "resources/print/PrintPictures.h"

#include "resources/print/PrintIds.h"

#include <wx/dcmemory.h>
#include <wx/font.h>

namespace {

const wxColour kKey(0xC0, 0xC0, 0xC0);
const wxColour kBarBlue(90, 174, 231);
const wxColour kBarDark(36, 92, 150);

wxFont LabelFont(int pixels, bool bold)
{
    return wxFont(wxFontInfo(wxSize(0, pixels)).Family(wxFONTFAMILY_SWISS).Bold(bold));
}

void Gradient(wxDC& dc, const wxRect& rect, const wxColour& top, const wxColour& bottom)
{
    dc.GradientFillLinear(rect, top, bottom, wxSOUTH);
}

// Flat, so that the buttons, which fill their corners with the bar's colour, sit on it
// without seams.
wxBitmap Bar()
{
    wxBitmap bitmap(1280, 34, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(kBarBlue));
    dc.Clear();
    dc.SetPen(wxPen(kBarDark));
    dc.DrawLine(0, 33, 1280, 33);
    return bitmap;
}

// A rounded button face with its caption, on the key colour.
wxBitmap Button(int width, int height, const char* caption, const wxColour& face)
{
    wxBitmap bitmap(width, height, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(kKey));
    dc.Clear();
    dc.SetPen(wxPen(wxColour(20, 60, 110)));
    dc.SetBrush(wxBrush(face));
    dc.DrawRoundedRectangle(2, 3, width - 4, height - 6, 6);
    dc.SetFont(LabelFont(13, true));
    dc.SetTextForeground(*wxWHITE);
    const wxString text = wxString::FromUTF8(caption);
    const wxSize extent = dc.GetTextExtent(text);
    dc.DrawText(text, (width - extent.x) / 2, (height - extent.y) / 2);
    return bitmap;
}

wxBitmap Header()
{
    wxBitmap bitmap(1280, 21, 24);
    wxMemoryDC dc(bitmap);
    Gradient(dc, wxRect(0, 0, 1280, 21), wxColour(70, 84, 92), wxColour(40, 48, 54));
    return bitmap;
}

wxBitmap HeaderButton(int width, const char* caption)
{
    wxBitmap bitmap(width, 21, 24);
    wxMemoryDC dc(bitmap);
    Gradient(dc, wxRect(0, 0, width, 21), kBarBlue, kBarDark);
    dc.SetPen(wxPen(wxColour(20, 60, 110)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(0, 0, width, 21);
    dc.SetFont(LabelFont(11, true));
    dc.SetTextForeground(*wxWHITE);
    const wxString text = wxString::FromUTF8(caption);
    const wxSize extent = dc.GetTextExtent(text);
    dc.DrawText(text, (width - extent.x) / 2, (21 - extent.y) / 2);
    return bitmap;
}

}  // namespace

wxBitmap PrintBitmap(int resourceId)
{
    using namespace printid;
    switch (resourceId) {
    case kBitmapBarBackground:
        return Bar();
    case kBitmapAddToPrint:
        return Button(111, 33, "Add to print", wxColour(46, 140, 60));
    case kBitmapRemoveImage:
        return Button(127, 33, "Remove Image", wxColour(190, 90, 40));
    case kBitmapRemovePage:
        return Button(115, 33, "Remove Page", wxColour(190, 90, 40));
    case kBitmapPrintPage:
        return Button(94, 33, "Print Page", wxColour(30, 80, 150));
    case kBitmapPrintAll:
        return Button(118, 33, "Print All Page", wxColour(30, 80, 150));
    case kBitmapPageHeader:
        return Header();
    case kBitmapPreviousPage:
        return HeaderButton(71, "<< Prev");
    case kBitmapNextPage:
        return HeaderButton(48, "Next >>");
    default:
        return wxBitmap();
    }
}
