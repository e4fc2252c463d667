#pragma once
// The main window's numbers that need no window: pane sizes, thumbnail columns and the
// status texts.

#include <string>

namespace mainframe {

// Cells per row of the thumbnail grid for a client area this wide.
int ThumbColumnsForWidth(int clientWidth);

// Width of the left column: the stored width, or 260 when none (0) or a nonsense one is stored.
int LeftColumnWidth(int storedWidth);

// Height of the folder tree over the recent folders: three fifths of the window less its
// frame, or, when a window height and a recent-folders height were stored, what the
// stored window left for the tree. Never negative, also on a very small window.
int TreePaneHeight(int windowHeight, int storedWindowHeight, int storedRecentHeight);

// Status bar pane 1 and pane 2.
std::string ImageFilesText(int imageFiles);
std::string TotalKBText(double totalKB);

}  // namespace mainframe
