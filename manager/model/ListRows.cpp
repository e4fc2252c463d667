#include "manager/model/ListRows.h"

#include "manager/model/ManagerModes.h"
#include "platform/StringSort.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace listrows {

std::string SizeText(double kb)
{
    if (kb == 0.0)
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%.2f KB", kb);
    return text;
}

std::string DateText(int64_t lastWrite)
{
    // Floor division: a time before 1970 still names its own second.
    int64_t seconds = lastWrite / 1000000000;
    if (lastWrite % 1000000000 < 0)
        --seconds;
    const time_t t = static_cast<time_t>(seconds);
    tm parts{};
    if (!localtime_r(&t, &parts))
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%d/%.2d/%.2d ", parts.tm_mon + 1, parts.tm_mday, parts.tm_year % 100);
    return text;
}

std::string ColumnText(const ListRowItem& row, int column)
{
    switch (column) {
    case kColumnName: return row.name;
    case kColumnSize: return SizeText(row.sizeKB);
    case kColumnDate: return DateText(row.lastWrite);
    case kColumnDescription: return row.description;
    default: return {};
    }
}

namespace {

template <typename T>
int Order(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

int CompareRows(const ListRowItem& a, const ListRowItem& b, int type)
{
    switch (type) {
    case kColumnName: return CompareNoCase(a.name, b.name);
    // Sizes by their value: rounding differences to whole kilobytes would make rows
    // equal to neighbours that are not equal to each other.
    case kColumnSize: return Order(a.sizeKB, b.sizeKB);
    case kColumnDate: return Order(a.lastWrite, b.lastWrite);
    case kColumnDescription: return CompareNoCase(a.description, b.description);
    default: return 0;
    }
}

int SortKeyOfColumn(int column)
{
    switch (column) {
    case kColumnName: return kSortByName;
    case kColumnSize: return kSortBySize;
    case kColumnDate: return kSortByFileTime;
    default: return -1;
    }
}

bool ClickColumn(int column, int& sortKey, bool& descending)
{
    const int key = SortKeyOfColumn(column);
    if (key < 0)
        return false;
    if (sortKey == key) {
        descending = !descending;
    } else {
        sortKey = key;
        descending = false;
    }
    return true;
}

void SortRows(Rows& rows, int type, bool descending)
{
    if (descending)
        std::stable_sort(rows.begin(), rows.end(),
                         [type](const auto& a, const auto& b) { return CompareRows(*b, *a, type) < 0; });
    else
        std::stable_sort(rows.begin(), rows.end(),
                         [type](const auto& a, const auto& b) { return CompareRows(*a, *b, type) < 0; });
}

}  // namespace listrows
