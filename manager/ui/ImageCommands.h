#pragma once
// What the thumbnail grid and the list views share around their image commands: the
// dispatch of the context menu's commands and thumbnails as bitmaps.

#include "manager/ui/ThumbnailBitmap.h"
#include "resources/manager/ManagerIds.h"

// Runs the command of id on a view with OnEditor, OnCopy, OnMove, OnDelete and OnRename;
// false for an id that is none of them.
template <typename View>
bool RunImageCommand(View& view, int id)
{
    switch (id) {
    case ID_IMAGE_EDITOR: view.OnEditor(); return true;
    case ID_IMAGE_COPY: view.OnCopy(); return true;
    case ID_IMAGE_MOVE: view.OnMove(); return true;
    case ID_IMAGE_DELETE: view.OnDelete(); return true;
    case ID_IMAGE_RENAME: view.OnRename(); return true;
    default: return false;
    }
}
