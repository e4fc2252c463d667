#pragma once
// Images on the clipboard. An image goes up twice: as a packed DIB in a format of
// this suite (exact: palette images stay palette images) and as a plain bitmap that
// other programs understand. Reading prefers the packed DIB. GUI thread only.

class CLfImage;

namespace lfclip {

// False when the image has no pixels or the clipboard cannot be opened.
bool CopyImage(const CLfImage& image);
// True when the clipboard holds a picture PasteImage can read.
bool HasImage();
// Replaces image with the clipboard's picture; false (image unchanged) without one.
bool PasteImage(CLfImage& image);

}  // namespace lfclip
