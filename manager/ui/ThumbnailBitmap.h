#pragma once
// Thumbnail pixels as a bitmap to draw, on the user-interface thread.

#include "manager/model/ThumbnailPixels.h"

#include <wx/bitmap.h>

// An invalid bitmap for pixels without a picture or of an inconsistent size.
wxBitmap BitmapOfPixels(const ThumbnailPixels& pixels);
