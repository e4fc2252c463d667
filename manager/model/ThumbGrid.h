#pragma once
// The arithmetic of the thumbnail grid, apart from its window: cells of 100 x 114 on a
// 105 x 119 pitch, 5 pixels from the top, K cells per row; hit tests, the scroll
// extent, the cell texts and Shift ranges.

#include "platform/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace thumbgrid {

inline constexpr int kPitchX = 105;
inline constexpr int kPitchY = 119;
inline constexpr int kCellWidth = 100;
inline constexpr int kCellHeight = 114;
inline constexpr int kTop = 5;

// The cell of image i with K columns.
RECT CellRect(int index, int columns);
// The image under a client point with the scroll position (sx, sy), or -1. Points of the
// 5-pixel strip above the first row belong to it; a column of K or more hits nothing.
int HitTest(int x, int y, int sx, int sy, int columns, int imageCount);
// The first and one past the last image whose cell meets the rectangle (logical
// coordinates); an empty range when none does.
std::pair<int, int> CellsInRect(const RECT& rect, int columns, int imageCount);

struct Extent {
    int width = 0;
    int height = 0;
};
// 105 K + 15 by 119 (N div K) + 119, or the client size where that is larger.
Extent ScrollExtent(int imageCount, int columns, int clientWidth, int clientHeight);

// The name as a cell shows it: more than 12 characters become the first 12 and "..".
std::string ShortName(const std::string& name);
// "%3.1fKB" of the size in kilobytes.
std::string SizeText(int64_t bytes);
// month/day/year of the last-write time (nanoseconds since 1970, UTC).
std::string DateText(int64_t lastWrite);

// The images a Shift+click on hit selects, given which images are selected: from the
// highest selected image up to the hit one, or from the hit one up to just before it,
// unselected images only (from the first image when none is selected).
std::vector<int> ShiftRange(const std::vector<bool>& selected, int hit);

}  // namespace thumbgrid
