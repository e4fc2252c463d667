#pragma once
// Colours the print window's panes share.

#include <wx/colour.h>

namespace printcolours {

// Behind the cards, the pages and the layout pictures.
inline const wxColour kPaneBackground(123, 142, 148);
// The frame of a selected cell.
inline const wxColour kSelectedCell(253, 146, 34);
// The frame of every grid position.
inline const wxColour kCellFrame(0xC0, 0xC0, 0xC0);

}  // namespace printcolours
