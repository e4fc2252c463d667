#include "manager/model/RecentRows.h"

#include <algorithm>
#include <cmath>

namespace recentrows {

int RowOfPoint(int y, int scrollY)
{
    const double row = static_cast<double>(y - kTop + scrollY - 5) / kRowHeight;
    return static_cast<int>(std::trunc(row));
}

int RecordOfRow(const std::vector<bool>& shown, int row)
{
    if (row < 0)
        return -1;
    int counter = -1;
    for (size_t i = 0; i < shown.size(); ++i)
        if (shown[i] && ++counter == row)
            return static_cast<int>(i);
    return -1;
}

int StoredWidth(int clientWidth) { return std::max(0, clientWidth + 6); }

}  // namespace recentrows
