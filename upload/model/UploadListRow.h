#pragma once
// One row of the upload dialog's file list and the orders a column click gives.

#include <cstdint>
#include <string>

struct UploadListRow {
    std::string name;
    double sizeKB = 0;      // bytes / 1024
    int64_t lastWrite = 0;  // nanoseconds since 1970-01-01 UTC
    std::string path;

    static constexpr int kColumns = 4;  // name, size, date, path

    // The text of a column: the size as "%.2lf KB", the date as month/day/two-digit year
    // in local time followed by a blank.
    std::string ColumnText(int column) const;
};

// Negative, 0 or positive as a sorts before, with or after b on column: names and paths
// without regard to case, sizes by whole kilobytes of difference (sizes less than 1 KB
// apart are equal), dates by time; any other column is equal.
int CompareRowsAscending(const UploadListRow& a, const UploadListRow& b, int column);
inline int CompareRowsDescending(const UploadListRow& a, const UploadListRow& b, int column)
{
    return CompareRowsAscending(b, a, column);
}
