#include "resources/editor/EditorToolbar.h"

#include "resources/editor/EditorIds.h"

#include <wx/dcmemory.h>
#include <wx/font.h>
#include <wx/graphics.h>

namespace {

constexpr int kStripWidth = 16 * kToolButtonWidth;

// The mark drawn above each caption, one per button: a few strokes in the cell's
// upper part (x from 0 to 54, y from 0 to 26).
void DrawMark(wxDC& dc, int index, int left)
{
    const auto at = [left](int x, int y) { return wxPoint(left + x, y); };
    dc.SetPen(wxPen(wxColour(30, 60, 120), 2));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    switch (index) {
    case 0:  // Close: a cross
        dc.DrawLine(at(20, 6), at(34, 20));
        dc.DrawLine(at(34, 6), at(20, 20));
        break;
    case 1:  // Save: a disk
        dc.DrawRectangle(left + 19, 5, 17, 17);
        dc.DrawRectangle(left + 23, 5, 9, 6);
        break;
    case 2:  // Previous
    case 3:  // Next
    {
        const int d = index == 2 ? -1 : 1;
        dc.DrawLine(at(27 - 6 * d, 6), at(27 + 6 * d, 13));
        dc.DrawLine(at(27 + 6 * d, 13), at(27 - 6 * d, 20));
        break;
    }
    case 4:  // Undo
    case 5:  // Redo: a bent arrow
    {
        const int d = index == 4 ? -1 : 1;
        dc.DrawArc(at(27 - 8 * d, 18), at(27 + 8 * d, 12), at(27, 16));
        dc.DrawLine(at(27 + 8 * d, 12), at(27 + 3 * d, 8));
        dc.DrawLine(at(27 + 8 * d, 12), at(27 + 12 * d, 8));
        break;
    }
    case 6:  // Zoom in and out: a magnifier with a sign
    case 7:
        dc.DrawCircle(at(25, 12), 7);
        dc.DrawLine(at(30, 17), at(36, 23));
        dc.DrawLine(at(22, 12), at(28, 12));
        if (index == 6)
            dc.DrawLine(at(25, 9), at(25, 15));
        break;
    case 8:  // Best fit: corners
        dc.DrawRectangle(left + 17, 6, 21, 15);
        dc.DrawRectangle(left + 22, 10, 11, 7);
        break;
    case 9:  // Scroll: a hand (palm and fingers)
        dc.DrawRoundedRectangle(left + 20, 11, 14, 11, 3);
        for (int f = 0; f < 4; ++f)
            dc.DrawLine(at(21 + 4 * f, 11), at(21 + 4 * f, 5));
        break;
    case 10:  // Crop: two brackets
        dc.DrawLine(at(20, 4), at(20, 18));
        dc.DrawLine(at(20, 18), at(36, 18));
        dc.DrawLine(at(16, 8), at(32, 8));
        dc.DrawLine(at(32, 8), at(32, 22));
        break;
    case 11:  // Resize: a frame and a diagonal
        dc.DrawRectangle(left + 17, 5, 20, 16);
        dc.DrawLine(at(22, 16), at(33, 8));
        break;
    case 12:  // Rotate: a circle arrow
        dc.DrawArc(at(34, 13), at(27, 6), at(27, 13));
        dc.DrawLine(at(27, 6), at(31, 3));
        dc.DrawLine(at(27, 6), at(31, 9));
        break;
    case 13:  // Text: a letter
        dc.DrawLine(at(20, 6), at(34, 6));
        dc.DrawLine(at(27, 6), at(27, 21));
        break;
    case 14:  // Levels: bars
        for (int b = 0; b < 4; ++b)
            dc.DrawLine(at(19 + 5 * b, 21), at(19 + 5 * b, 17 - 3 * b));
        break;
    default:  // Red eye: an eye with a red pupil
        dc.DrawEllipse(left + 16, 7, 23, 12);
        dc.SetBrush(wxBrush(wxColour(210, 20, 20)));
        dc.DrawCircle(at(27, 13), 3);
        break;
    }
}

}  // namespace

const std::array<EditorToolButton, 16>& EditorToolButtons()
{
    static const std::array<EditorToolButton, 16> buttons = {{
        {ID_FILE_CLOSE, "Close\nClose", "Close"},
        {ID_FILE_SAVE, "Save\nSave", "Save"},
        {ID_VIEW_PREVIOUS, "Previous\nPrevious", "Prev"},
        {ID_VIEW_NEXT, "Next\nNext", "Next"},
        {ID_EDIT_UNDO, "Undo\nUndo", "Undo"},
        {ID_EDIT_REDO, "Redo\nRedo", "Redo"},
        {ID_VIEW_ZOOMIN, "Zoom In\nZoom In", "Zoom"},
        {ID_VIEW_ZOOMOUT, "Zoom Out\nZoom Out", "Zoom"},
        {ID_VIEW_BESTFIT, "Best Fit\nBest Fit", "Fit"},
        {ID_VIEW_SCROLLTOOL, "Scroll\nScroll", "Scroll"},
        {ID_IMAGE_CROP,
         "Drag cursor over image and double click box to crop.\nDrag cursor over image and double click box to crop.",
         "Crop"},
        {ID_IMAGE_RESIZE, "Resize\nResize", "Resize"},
        {ID_IMAGE_ROTATE, "Rotate\nRotate", "Rotate"},
        {ID_IMAGE_TEXT, "Watermark\nAdd Text", "Text"},
        {ID_ADJUST_BRIGHTNESS, "Adjust Brightness\nAdjust Brightness", "Levels"},
        {ID_IMAGE_REDEYE, "Red eye\nRed eye", "Red-eye"},
    }};
    return buttons;
}

wxString ToolTipText(const EditorToolButton& button)
{
    const wxString prompt = wxString::FromUTF8(button.prompt);
    const int newline = prompt.Find('\n');
    return newline == wxNOT_FOUND ? prompt : prompt.Mid(size_t(newline) + 1);
}

wxString StatusText(const EditorToolButton& button) { return wxString::FromUTF8(button.prompt).BeforeFirst('\n'); }

wxBitmap MakeToolbarStrip()
{
    wxBitmap strip(kStripWidth, kToolStripHeight, 24);
    wxMemoryDC dc(strip);
    dc.SetBackground(wxBrush(wxColour(0xC0, 0xC0, 0xC0)));
    dc.Clear();
    dc.SetFont(wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS)));
    dc.SetTextForeground(wxColour(20, 40, 90));
    // Smoothed strokes would blend into the key colour and leave a grey fringe.
    if (wxGraphicsContext* gc = dc.GetGraphicsContext())
        gc->SetAntialiasMode(wxANTIALIAS_NONE);
    const auto& buttons = EditorToolButtons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        const int left = int(i) * kToolButtonWidth;
        DrawMark(dc, int(i), left);
        const wxString caption = wxString::FromUTF8(buttons[i].caption);
        const wxSize extent = dc.GetTextExtent(caption);
        dc.DrawText(caption, left + (kToolButtonWidth - extent.x) / 2, 26);
    }
    dc.SelectObject(wxNullBitmap);
    return strip;
}

wxBitmap MakeToolbarBackground()
{
    wxBitmap background(kStripWidth, kToolStripHeight, 24);
    wxMemoryDC dc(background);
    dc.GradientFillLinear(wxRect(0, 0, kStripWidth, kToolStripHeight), wxColour(236, 244, 255),
                          wxColour(176, 204, 240), wxSOUTH);
    dc.SelectObject(wxNullBitmap);
    return background;
}
