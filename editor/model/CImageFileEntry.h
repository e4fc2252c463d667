#pragma once
// One file of the folder the document steps through.

#include "image/CLfImage.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

struct CImageFileEntry {
    std::string m_strPath;  // full path
    uint64_t m_nSize = 0;   // bytes
    std::time_t m_time = 0; // last write
    // The preload worker's decoded image and its mark; both under the list's preload lock.
    std::unique_ptr<CLfImage> m_pImage;
    bool m_bQueued = false;
};
