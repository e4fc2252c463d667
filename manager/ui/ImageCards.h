#pragma once
// The image card that the thumbnail grid and the print window's picker draw for an
// image: a tile of 100 x 114 with the thumbnail, the size, the date, the name and the
// card number.

#include "platform/WinTypes.h"

#include <wx/bitmap.h>
#include <wx/string.h>

#include <memory>
#include <unordered_map>

class CImageItem;
class wxDC;
struct ThumbnailPixels;

namespace imagecards {

// The tile: a raised slate one, or a light one for a highlighted (selected or marked)
// image.
wxBitmap MakeCardBackground(bool highlighted);
// Draws text so that its baseline lies at y.
void DrawOnBaseline(wxDC& dc, const wxString& text, int x, int y);
// The card of image `index` in the rectangle; texts in black on a highlighted card,
// white otherwise. thumbnail may be null.
void DrawCard(wxDC& dc, const RECT& card, int index, const CImageItem& image, const wxBitmap& background,
              bool highlighted, const wxBitmap* thumbnail);

// The thumbnails of a folder's images as bitmaps, made again when an image's thumbnail
// changes.
class ThumbnailBitmaps {
public:
    // Null while the image has no thumbnail.
    const wxBitmap* Get(const CImageItem& image);
    void Clear() { m_bitmaps.clear(); }

private:
    struct Entry {
        std::shared_ptr<const ThumbnailPixels> pixels;
        wxBitmap bitmap;
    };
    std::unordered_map<const CImageItem*, Entry> m_bitmaps;
};

}  // namespace imagecards
