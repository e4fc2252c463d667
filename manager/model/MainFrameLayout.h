#pragma once
// The main window's numbers that need no window: pane sizes, thumbnail columns and the
// status texts.

#include <string>

namespace mainframe {

// Cells per row of the thumbnail grid for a client area this wide.
int ThumbColumnsForWidth(int clientWidth);

// Width of the left column: the stored width, or 260 when none (0) or a nonsense one is stored.
int LeftColumnWidth(int storedWidth);

// Height of the folder tree over the recent folders when no recent-folders height is
// stored: three fifths of the window less its frame. Never negative, also on a very
// small window.
int TreePaneHeight(int windowHeight);

// The left column's sash position: the stored recent-folders height measured from the
// column's bottom (the splitter takes a negative position as that), else the tree's
// default height. The height stored is the same measure: column height - sash position.
int LeftSashPosition(int windowHeight, int storedRecentHeight);
int StoredRecentHeight(int columnHeight, int sashPosition);

// Status bar pane 1 and pane 2.
std::string ImageFilesText(int imageFiles);
std::string TotalKBText(double totalKB);

}  // namespace mainframe
