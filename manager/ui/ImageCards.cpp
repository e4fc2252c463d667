#include "manager/ui/ImageCards.h"

#include "manager/model/CImageItem.h"
#include "manager/ui/ImageCommands.h"
#include "manager/model/ThumbGrid.h"
#include "manager/model/ThumbnailPixels.h"
#include "platform/gui/NameText.h"

#include <wx/dc.h>
#include <wx/dcmemory.h>

namespace imagecards {

wxBitmap MakeCardBackground(bool highlighted)
{
    wxBitmap bitmap(thumbgrid::kCellWidth, thumbgrid::kCellHeight, 24);
    wxMemoryDC dc(bitmap);
    const wxColour face = highlighted ? wxColour(222, 230, 246) : wxColour(92, 110, 118);
    const wxColour light = highlighted ? wxColour(255, 255, 255) : wxColour(160, 176, 182);
    const wxColour dark = highlighted ? wxColour(70, 100, 190) : wxColour(52, 64, 70);
    dc.SetBackground(wxBrush(face));
    dc.Clear();
    dc.SetPen(wxPen(light));
    dc.DrawLine(0, 0, thumbgrid::kCellWidth - 1, 0);
    dc.DrawLine(0, 0, 0, thumbgrid::kCellHeight - 1);
    dc.SetPen(wxPen(dark));
    dc.DrawLine(thumbgrid::kCellWidth - 1, 0, thumbgrid::kCellWidth - 1, thumbgrid::kCellHeight);
    dc.DrawLine(0, thumbgrid::kCellHeight - 1, thumbgrid::kCellWidth, thumbgrid::kCellHeight - 1);
    // The frame the thumbnail sits in.
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(5, 26, 90, 68);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

void DrawOnBaseline(wxDC& dc, const wxString& text, int x, int y)
{
    wxCoord w = 0, h = 0, descent = 0;
    dc.GetTextExtent(text, &w, &h, &descent);
    dc.DrawText(text, x, y - (h - descent));
}

void DrawCard(wxDC& dc, const RECT& card, int index, const CImageItem& image, const wxBitmap& background,
              bool highlighted, const wxBitmap* thumbnail)
{
    const int x = card.left;
    const int y = card.top;
    dc.DrawBitmap(background, x, y);
    if (thumbnail)
        dc.DrawBitmap(*thumbnail, x + (thumbgrid::kCellWidth - image.m_nThumbWidth) / 2, y + 27);

    dc.SetTextForeground(highlighted ? *wxBLACK : *wxWHITE);
    DrawOnBaseline(dc, thumbgrid::SizeText(image.m_nSize), x + 5, y + 10);
    DrawOnBaseline(dc, thumbgrid::DateText(image.m_tLastWrite), x + 5, y + 22);
    DrawOnBaseline(dc, lfplat::NameToDisplay(thumbgrid::ShortName(image.m_strName)), x + 5, y + 104);
    const wxString number = wxString::Format("%d", index + 1);
    DrawOnBaseline(dc, number, x + 85 - dc.GetTextExtent(number).x, y + 10);
}

const wxBitmap* ThumbnailBitmaps::Get(const CImageItem& image)
{
    CImageItem::ThumbnailRef pixels = image.GetThumbnail();
    if (!pixels)
        return nullptr;
    Entry& entry = m_bitmaps[&image];
    if (entry.pixels != pixels) {
        entry.bitmap = BitmapOfPixels(*pixels);
        entry.pixels = std::move(pixels);
    }
    return entry.bitmap.IsOk() ? &entry.bitmap : nullptr;
}

}  // namespace imagecards
