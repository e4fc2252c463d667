#include "resources/manager/QuorixIcon.h"

#include <wx/bitmap.h>

namespace {

// 32 x 32: a lantern framed in the manager's grey.
const char* const kLanternXpm[] = {
    "32 32 6 1",
    ". c None",
    "k c #2B3A40",
    "g c #7B8E94",
    "o c #F29D38",
    "y c #FFD35A",
    "w c #FFF6D0",
    "................................",
    "...........kkkkkkkkkk...........",
    "...........k........k...........",
    "...........k........k...........",
    "...........k........k...........",
    "........kkkkkkkkkkkkkkkk........",
    "........kggggggggggggggk........",
    "........kkkkkkkkkkkkkkkk........",
    ".......kkkkkkkkkkkkkkkkkk.......",
    ".......kkoooooogoooooookk.......",
    ".......kkoooooygyyoooookk.......",
    ".......kkoooyyygyyyyoookk.......",
    ".......kkoooyyygyyyyoookk.......",
    ".......kkooyyyywwyyyyookk.......",
    ".......kkooyyywwwwyyyookk.......",
    ".......kkoyyywwwwwwyyyokk.......",
    ".......kkoyyywwwwwwyyyokk.......",
    ".......kkoyyywwwwwwyyyokk.......",
    ".......kkoyyywwwwwwyyyokk.......",
    ".......kkoyyywwwwwwyyyokk.......",
    ".......kkooyyywwwwyyyookk.......",
    ".......kkooyyyywwyyyyookk.......",
    ".......kkoooyyygyyyyoookk.......",
    ".......kkoooyyygyyyyoookk.......",
    ".......kkoooooygyyoooookk.......",
    ".......kkoooooogoooooookk.......",
    ".......kkkkkkkkkkkkkkkkkk.......",
    "......kkkkkkkkkkkkkkkkkkkk......",
    "......kggggggggggggggggggk......",
    "......kkkkkkkkkkkkkkkkkkkk......",
    "................................",
    "................................"};

}  // namespace

wxIcon QuorixIcon()
{
    wxIcon icon;
    icon.CopyFromBitmap(wxBitmap(kLanternXpm));
    return icon;
}
