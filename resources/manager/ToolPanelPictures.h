#pragma once
// The tool panel's pictures, drawn in code: the buttons' images on the key colour that
// the buttons make transparent, the strip to the right of the buttons and the stand-in
// thumbnail of an image without a picture.

#include <wx/bitmap.h>

#include <array>

namespace mpic {

// The key colour of every button picture.
inline constexpr unsigned char kKeyRed = 92;
inline constexpr unsigned char kKeyGreen = 130;
inline constexpr unsigned char kKeyBlue = 173;

// The thirteen button pictures by resource number.
inline constexpr std::array<int, 13> kButtonPictures{150, 153, 155, 157, 160, 162, 164, 167, 197, 203, 207, 211, 247};
inline constexpr int kStripPicture = 132;      // 1200 x 51
inline constexpr int kNoPictureThumb = 205;   // 88 x 66

// The picture with that resource number; an invalid bitmap for a number not listed.
wxBitmap MakeToolPanelPicture(int resourceId);

}  // namespace mpic
