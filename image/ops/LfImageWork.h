#pragma once
// Helpers shared by the transforms: every transform builds its result in a work
// image that carries the source's settings, then moves it into place in one step.

#include "image/CLfImage.h"

namespace lfimg {

// Makes out a blank width x height image of bpp bits with src's settings (type,
// transparency, resolution, codec options) and, for palette depths, src's palette.
// False (the reason copied into src's lastError) when the image cannot be created.
bool CreateWorkImage(CLfImage& src, CLfImage& out, int64_t width, int64_t height, uint32_t bpp);

// Moves a finished result into destination when one is given, else into self.
void DeliverResult(CLfImage& self, CLfImage& result, CLfImage* destination);

// Row-at-a-time pixel access for the conversions between depths: one call per
// row instead of one per pixel.
// The palette indices of row y of a 1, 4 or 8-bit image, one byte per pixel.
void UnpackRow(const CLfImage& img, int64_t y, uint8_t* indices);
// Writes one index byte per pixel into row y of a 1, 4 or 8-bit image.
void PackRow(CLfImage& img, int64_t y, const uint8_t* indices);
// The colours of row y as GetPixelColor gives them (alpha from the plane).
void ReadRowColors(const CLfImage& img, int64_t y, RGBQUAD* colors);

// Reverses the order of rows rows of rowBytes bytes at base, swapping each pair in
// place. Pairs that are already equal are left untouched, so the untouched pages of a
// fresh zeroed buffer (a sparse run-length picture) are never written.
void FlipRowsInPlace(uint8_t* base, size_t rowBytes, size_t rows);

// Progress of a row loop; true when the caller asked the operation to stop.
inline bool RowStep(CLfImage& img, int64_t row, int64_t rows)
{
    img.info.progress = rows > 0 ? int32_t(row * 100 / rows) : 0;
    return img.info.escape != 0;
}

}  // namespace lfimg
