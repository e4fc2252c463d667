#pragma once
// The font dialog's face list and its filter: which typefaces the system has, whether
// each is a symbol font and whether it is fixed-pitch, and which faces a filter removes.

#include <string>
#include <vector>

struct FontFaceInfo {
    std::string name;
    bool symbol = false;  // the face's characters are symbols, not letters
    bool fixedPitch = false;
};

// Filter bits: each removes the faces that match it.
enum FontFaceFilterBits : unsigned {
    kFaceKeepSymbolOnly = 1,  // removes faces that are not symbol fonts
    kFaceNoSymbol = 2,        // removes symbol fonts
    kFaceKeepFixedOnly = 4,   // removes variable-pitch faces
    kFaceNoFixed = 8,         // removes fixed-pitch faces
};

bool FaceFilteredOut(const FontFaceInfo& face, unsigned filter);
// The faces the filter keeps, in their order.
std::vector<FontFaceInfo> FilterFaces(const std::vector<FontFaceInfo>& faces, unsigned filter);

// The system's typefaces through fontconfig, one entry per family name, sorted by name.
// A family counts as symbol when one of its fonts is a symbol font, and as fixed-pitch
// when its fonts are monospaced or character-cell.
std::vector<FontFaceInfo> SystemFontFaces();
