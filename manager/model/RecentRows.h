#pragma once
// The row arithmetic of the recent-folders pane: rows 20 pixels high from 20 pixels
// down, one per recent folder the session keeps.

#include <vector>

namespace recentrows {

inline constexpr int kTop = 20;
inline constexpr int kLeft = 10;
inline constexpr int kRowHeight = 20;

// The row of a client y with the vertical scroll position (-1 for points above row 0).
int RowOfPoint(int y, int scrollY);
// The recent-list index shown as the row, or -1 when no shown record stands there (a
// click below the last row does nothing). shown[i]: record i is kept in the session.
int RecordOfRow(const std::vector<bool>& shown, int row);

// The pane width the settings keep: width + 6, never negative.
int StoredWidth(int clientWidth);

}  // namespace recentrows
