#pragma once
// The print window's image picker: a card per image of the current folder in a grid of
// two columns (the thumbnail grid's cards), and the print marks that clicks set. Its
// arithmetic, apart from the window.

#include "platform/WinTypes.h"

#include <cstddef>

class CFolderItem;

class PickerCards {
public:
    static constexpr int kColumns = 2;
    static constexpr int kMinScrollWidth = 210;

    // Where card i lies, before scrolling.
    static RECT CardRect(int index);
    // What repainting one card invalidates: its column and its whole grid row band.
    static RECT CardRepaintRect(int index);
    static int ScrollHeight(size_t images);
    static int ScrollWidth(int clientWidth);
    // The card index under a pane point with the scroll position; callers drop indexes
    // beyond the folder.
    static int HitIndex(int x, int y, int scrollX, int scrollY);

    // What a click changed on screen.
    enum class Repaint { Card, All };
    // A click on card i sets the folder's print marks: Shift marks the run from the
    // last marked card (marks are only added), Ctrl toggles the card, a plain click
    // makes it the only mark.
    static Repaint Click(CFolderItem& folder, int index, bool shift, bool ctrl);
};
