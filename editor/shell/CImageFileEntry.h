#pragma once
// One file of the folder the document steps through.

#include <cstdint>
#include <ctime>
#include <string>

struct CImageFileEntry {
    std::string m_strPath;  // full path
    uint64_t m_nSize = 0;   // bytes
    std::time_t m_time = 0; // last write
};
