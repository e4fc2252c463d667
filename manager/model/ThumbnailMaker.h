#pragma once
// The two thumbnails of an image as plain pixels: the fitted one (the picture scaled
// into 88 x 66, never enlarged) and the framed one (always 88 x 66, the picture centred
// on the grid's background). Any thread may make them; only the user-interface thread
// turns them into bitmaps.

#include "manager/model/ThumbnailPixels.h"

#include <cstdint>
#include <memory>

class CLfImage;

namespace thumbs {

inline constexpr int kThumbWidth = 88;
inline constexpr int kThumbHeight = 66;
// The grid's background, also the frame around a thumbnail that does not fill its cell.
inline constexpr uint8_t kBackgroundRed = 123;
inline constexpr uint8_t kBackgroundGreen = 142;
inline constexpr uint8_t kBackgroundBlue = 148;

// The larger side a decode for thumbnails asks codecs for (CLfImageInfo::neededSide):
// four times the box, so that even hard edges average out close to a full decode's
// thumbnail. A 12-megapixel JPEG still decodes at 1/8.
inline constexpr int kDecodeSide = 4 * kThumbWidth;

// Size of the fitted thumbnail and its place inside the framed one.
struct ThumbnailFit {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
};

// The ratio is rounded to single precision before dividing, so a quotient that would be
// whole can come out just above it and round up: 100 x 50 fits as 88 x 45.
ThumbnailFit FitThumbnail(int width, int height, int boxWidth = kThumbWidth, int boxHeight = kThumbHeight);

struct ThumbnailPair {
    std::shared_ptr<const ThumbnailPixels> fitted;
    std::shared_ptr<const ThumbnailPixels> framed;
};

// Scales image (area averaging where a true-colour picture shrinks) and composes both
// thumbnails; transparent and alpha pixels show the background, as drawing them would.
// image may be scaled in place. Without pixels: an empty fitted thumbnail (0 x 0) and
// a framed one of plain background. The box is the grid's cell unless given.
ThumbnailPair MakeThumbnails(CLfImage* image, int boxWidth = kThumbWidth, int boxHeight = kThumbHeight);

// The picture's pixels, top row first, painted onto the background colour as drawing
// paints them.
ThumbnailPixels PixelsOnBackground(const CLfImage& image);

}  // namespace thumbs
