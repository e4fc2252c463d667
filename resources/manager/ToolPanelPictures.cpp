#include "resources/manager/ToolPanelPictures.h"

#include <wx/dcmemory.h>
#include <wx/font.h>

namespace mpic {

namespace {

struct ButtonPicture {
    int id;
    int width, height;
    const char* caption;
};

constexpr ButtonPicture kPictures[] = {
    {150, 52, 51, "Batch"},  {153, 53, 51, "Notes"}, {155, 54, 51, "Search"}, {157, 54, 54, "Sort By"},
    {160, 54, 54, "View"},   {162, 57, 51, "Copy"},  {164, 53, 46, "Move"},   {167, 53, 46, "Delete"},
    {197, 70, 51, "Copy/Del"}, {207, 65, 51, "Upload"}, {211, 60, 51, "Editor"}, {247, 58, 51, "Print"},
};

const wxColour kKey(kKeyRed, kKeyGreen, kKeyBlue);
const wxColour kInk(250, 250, 240);
const wxColour kAccent(255, 204, 92);

// The button's face: a rounded slate tile over the key colour, lit from above.
void DrawTile(wxDC& dc, int width, int height)
{
    dc.SetBackground(wxBrush(kKey));
    dc.Clear();
    dc.GradientFillLinear(wxRect(2, 2, width - 4, height - 4), wxColour(88, 108, 118), wxColour(48, 62, 70), wxDOWN);
    dc.SetPen(wxPen(wxColour(150, 170, 178)));
    dc.DrawLine(3, 2, width - 3, 2);
    dc.SetPen(wxPen(wxColour(30, 40, 46)));
    dc.DrawLine(3, height - 3, width - 3, height - 3);
}

// The mark of a button, centred on (cx, cy), about 24 x 22 pixels.
void DrawMark(wxDC& dc, int id, int cx, int cy)
{
    dc.SetPen(wxPen(kInk, 2));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    switch (id) {
    case 211:  // a pencil over a picture frame
        dc.DrawRectangle(cx - 11, cy - 8, 18, 16);
        dc.SetPen(wxPen(kAccent, 3));
        dc.DrawLine(cx - 2, cy + 4, cx + 10, cy - 9);
        break;
    case 155:  // a magnifying glass
        dc.DrawCircle(cx - 3, cy - 3, 7);
        dc.SetPen(wxPen(kAccent, 3));
        dc.DrawLine(cx + 2, cy + 2, cx + 9, cy + 9);
        break;
    case 150:  // a stack of pictures
        for (int i = 2; i >= 0; --i) {
            dc.SetBrush(wxBrush(i == 0 ? kAccent : wxColour(70, 86, 96)));
            dc.DrawRectangle(cx - 10 + 4 * i, cy - 9 + 3 * i, 14, 11);
        }
        break;
    case 197:  // two pages and an arrow
    case 162:
        dc.DrawRectangle(cx - 11, cy - 9, 12, 15);
        dc.DrawRectangle(cx - 3, cy - 4, 12, 15);
        if (id == 197) {
            dc.SetPen(wxPen(kAccent, 2));
            dc.DrawLine(cx + 12, cy - 9, cx + 12, cy + 6);
            dc.DrawLine(cx + 9, cy + 3, cx + 12, cy + 7);
            dc.DrawLine(cx + 15, cy + 3, cx + 12, cy + 7);
        }
        break;
    case 164:  // a page moving right
        dc.DrawRectangle(cx - 11, cy - 8, 12, 15);
        dc.SetPen(wxPen(kAccent, 2));
        dc.DrawLine(cx + 3, cy, cx + 12, cy);
        dc.DrawLine(cx + 8, cy - 4, cx + 12, cy);
        dc.DrawLine(cx + 8, cy + 4, cx + 12, cy);
        break;
    case 167:  // a cross
        dc.SetPen(wxPen(kAccent, 3));
        dc.DrawLine(cx - 7, cy - 7, cx + 7, cy + 7);
        dc.DrawLine(cx + 7, cy - 7, cx - 7, cy + 7);
        break;
    case 247:  // a printer
        dc.DrawRectangle(cx - 6, cy - 10, 12, 7);
        dc.SetBrush(wxBrush(wxColour(70, 86, 96)));
        dc.DrawRoundedRectangle(cx - 11, cy - 4, 22, 10, 2);
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.DrawRectangle(cx - 6, cy + 3, 12, 7);
        break;
    case 207:  // an arrow up out of a tray
        dc.DrawLine(cx - 11, cy + 4, cx - 11, cy + 9);
        dc.DrawLine(cx - 11, cy + 9, cx + 11, cy + 9);
        dc.DrawLine(cx + 11, cy + 9, cx + 11, cy + 4);
        dc.SetPen(wxPen(kAccent, 3));
        dc.DrawLine(cx, cy + 5, cx, cy - 9);
        dc.DrawLine(cx - 6, cy - 3, cx, cy - 9);
        dc.DrawLine(cx + 6, cy - 3, cx, cy - 9);
        break;
    case 153:  // a note with lines
        dc.DrawRectangle(cx - 9, cy - 10, 18, 20);
        dc.SetPen(wxPen(kAccent, 1));
        for (int y = cy - 5; y <= cy + 5; y += 4)
            dc.DrawLine(cx - 5, y, cx + 6, y);
        break;
    case 157:  // bars of three lengths and an arrow down
        for (int i = 0; i < 3; ++i)
            dc.DrawLine(cx - 10, cy - 7 + 7 * i, cx - 4 + 5 * i, cy - 7 + 7 * i);
        dc.SetPen(wxPen(kAccent, 2));
        dc.DrawLine(cx + 9, cy - 9, cx + 9, cy + 8);
        dc.DrawLine(cx + 5, cy + 4, cx + 9, cy + 8);
        dc.DrawLine(cx + 13, cy + 4, cx + 9, cy + 8);
        break;
    case 160:  // four cells
        for (int i = 0; i < 4; ++i)
            dc.DrawRectangle(cx - 10 + (i % 2) * 11, cy - 9 + (i / 2) * 10, 9, 8);
        break;
    default: break;
    }
}

wxBitmap ButtonBitmap(const ButtonPicture& picture)
{
    wxBitmap bitmap(picture.width, picture.height, 24);
    wxMemoryDC dc(bitmap);
    DrawTile(dc, picture.width, picture.height);
    const int captionHeight = 13;
    DrawMark(dc, picture.id, picture.width / 2, (picture.height - captionHeight) / 2 + 1);
    dc.SetFont(wxFont(wxFontInfo(7).Family(wxFONTFAMILY_SWISS).Bold()));
    dc.SetTextForeground(kInk);
    const wxString caption(picture.caption);
    const wxSize extent = dc.GetTextExtent(caption);
    dc.DrawText(caption, (picture.width - extent.x) / 2, picture.height - captionHeight - 2 + (captionHeight - extent.y) / 2);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

// The View By button: a captioned bar with a drop-down arrow.
wxBitmap ViewByBitmap()
{
    wxBitmap bitmap(101, 24, 24);
    wxMemoryDC dc(bitmap);
    DrawTile(dc, 101, 24);
    dc.SetFont(wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS).Bold()));
    dc.SetTextForeground(kInk);
    const wxSize extent = dc.GetTextExtent("View By");
    dc.DrawText("View By", 12, (24 - extent.y) / 2);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(kAccent));
    const wxPoint arrow[] = {{80, 9}, {90, 9}, {85, 15}};
    dc.DrawPolygon(3, arrow);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

// The strip beside the buttons: the panel's slate with a darker band along the bottom.
wxBitmap StripBitmap()
{
    wxBitmap bitmap(1200, 51, 24);
    wxMemoryDC dc(bitmap);
    dc.GradientFillLinear(wxRect(0, 0, 1200, 51), wxColour(110, 128, 136), wxColour(72, 90, 98), wxDOWN);
    dc.SetPen(wxPen(wxColour(40, 52, 58)));
    dc.DrawLine(0, 50, 1200, 50);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

// The thumbnail of an image without a picture: a blank frame with a diagonal.
wxBitmap NoPictureBitmap()
{
    wxBitmap bitmap(88, 66, 24);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(wxColour(123, 142, 148)));
    dc.Clear();
    dc.SetPen(wxPen(wxColour(200, 208, 210)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(4, 4, 80, 58);
    dc.DrawLine(4, 61, 83, 4);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

}  // namespace

wxBitmap MakeToolPanelPicture(int resourceId)
{
    switch (resourceId) {
    case 203: return ViewByBitmap();
    case kStripPicture: return StripBitmap();
    case kNoPictureThumb: return NoPictureBitmap();
    default: break;
    }
    for (const ButtonPicture& picture : kPictures)
        if (picture.id == resourceId)
            return ButtonBitmap(picture);
    return wxBitmap();
}

}  // namespace mpic
