#pragma once
// The image view's own cursors: the open hand of drag scrolling (hot spot 16, 14) and
// the crop symbol of the crop tool (hot spot 14, 12). GUI thread only; the view keeps
// the ones it makes.

#include <wx/cursor.h>

namespace ViewCursors {

wxCursor Hand();
wxCursor Crop();

}  // namespace ViewCursors
