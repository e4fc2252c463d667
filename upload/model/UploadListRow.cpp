#include "upload/model/UploadListRow.h"

#include <strings.h>

#include <cstdio>
#include <ctime>

std::string UploadListRow::ColumnText(int column) const
{
    char text[64];
    switch (column) {
    case 0: return name;
    case 1: std::snprintf(text, sizeof text, "%.2lf KB", sizeKB); return text;
    case 2: {
        const std::time_t seconds = static_cast<std::time_t>(lastWrite / 1000000000);
        std::tm local{};
        localtime_r(&seconds, &local);
        std::snprintf(text, sizeof text, "%d/%.2d/%.2d ", local.tm_mon + 1, local.tm_mday, local.tm_year % 100);
        return text;
    }
    case 3: return path;
    default: return {};
    }
}

int CompareRowsAscending(const UploadListRow& a, const UploadListRow& b, int column)
{
    switch (column) {
    case 0: return strcasecmp(a.name.c_str(), b.name.c_str());
    case 1: {
        // The difference truncated toward zero decides.
        const double difference = a.sizeKB - b.sizeKB;
        return difference >= 1 ? 1 : difference <= -1 ? -1 : 0;
    }
    case 2: return a.lastWrite < b.lastWrite ? -1 : a.lastWrite > b.lastWrite ? 1 : 0;
    case 3: return strcasecmp(a.path.c_str(), b.path.c_str());
    default: return 0;
    }
}
