#pragma once
// One row of the list views; the document's list-row array owns it.

#include <cstdint>
#include <string>

struct ListRowItem {
    std::string name;
    double sizeKB = 0.0;     // bytes / 1024
    int64_t lastWrite = 0;   // nanoseconds since 1970-01-01 UTC
    std::string description;
};
