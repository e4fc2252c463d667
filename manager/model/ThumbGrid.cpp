#include "manager/model/ThumbGrid.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace thumbgrid {

RECT CellRect(int index, int columns)
{
    const int k = std::max(columns, 1);
    RECT cell;
    cell.left = (index % k) * kPitchX;
    cell.top = (index / k) * kPitchY + kTop;
    cell.right = cell.left + kCellWidth;
    cell.bottom = cell.top + kCellHeight;
    return cell;
}

int HitTest(int x, int y, int sx, int sy, int columns, int imageCount)
{
    const int k = std::max(columns, 1);
    const int gx = sx + x;
    const int gy = sy + y - kTop;
    // Truncation toward zero: the strip above the first row counts as row 0.
    const int column = gx / kPitchX;
    const int row = gy / kPitchY;
    if (gx < 0 || column >= k)
        return -1;
    const int64_t index = static_cast<int64_t>(row) * k + column;
    return index >= 0 && index < imageCount ? static_cast<int>(index) : -1;
}

std::pair<int, int> CellsInRect(const RECT& rect, int columns, int imageCount)
{
    const int k = std::max(columns, 1);
    const int firstRow = std::max(0, (rect.top - kTop) / kPitchY);
    const int lastRow = std::max(0, (rect.bottom - kTop) / kPitchY);
    const int first = std::min(imageCount, firstRow * k);
    const int end = std::min<int64_t>(imageCount, static_cast<int64_t>(lastRow + 1) * k);
    return first < end ? std::pair{first, end} : std::pair{0, 0};
}

Extent ScrollExtent(int imageCount, int columns, int clientWidth, int clientHeight)
{
    const int k = std::max(columns, 1);
    return {std::max(kPitchX * k + 15, clientWidth), std::max(kPitchY * (imageCount / k) + kPitchY, clientHeight)};
}

std::string ShortName(const std::string& name)
{
    // Twelve characters, not bytes: a name is UTF-8, and half a character shows nothing.
    constexpr int kKeep = 12;
    int characters = 0;
    for (size_t i = 0; i < name.size(); ++i) {
        if ((static_cast<unsigned char>(name[i]) & 0xC0) == 0x80)
            continue;  // continues the character before
        if (characters++ == kKeep)
            return name.substr(0, i) + "..";
    }
    return name;
}

std::string SizeText(int64_t bytes)
{
    char text[64];
    std::snprintf(text, sizeof text, "%3.1fKB", static_cast<double>(bytes) / 1024.0);
    return text;
}

std::string DateText(int64_t lastWrite)
{
    const time_t seconds = static_cast<time_t>(lastWrite / 1000000000);
    tm parts{};
    if (!gmtime_r(&seconds, &parts))
        return "0/0/0";
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d/%d", parts.tm_mon + 1, parts.tm_mday, parts.tm_year + 1900);
    return text;
}

std::vector<int> ShiftRange(const std::vector<bool>& selected, int hit)
{
    int highest = -1;
    for (int i = static_cast<int>(selected.size()) - 1; i >= 0; --i)
        if (selected[static_cast<size_t>(i)]) {
            highest = i;
            break;
        }
    const int from = highest < hit ? highest + 1 : hit;
    const int to = highest < hit ? hit : highest - 1;
    std::vector<int> range;
    for (int i = from; i <= to && i < static_cast<int>(selected.size()); ++i)
        if (i >= 0 && !selected[static_cast<size_t>(i)])
            range.push_back(i);
    return range;
}

}  // namespace thumbgrid
