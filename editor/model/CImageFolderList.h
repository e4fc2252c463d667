#pragma once
// The image files of one folder that Next and Previous step through: the regular files
// whose extension is jpg, jpeg, png or bmp in any case, sorted by full path byte by byte
// (capital letters before small ones).

#include "editor/model/CImageFileEntry.h"

#include <mutex>
#include <string>
#include <vector>

class CImageFolderList {
public:
    // Lists the folder of path (the part before its last '/'); an unreadable folder
    // gives an empty list.
    void Reload(const std::string& path);
    void Clear() { m_files.clear(); }

    // The first entry whose path equals path when compared without case; -1 when none.
    int FindIndex(const std::string& path) const;

    const std::vector<CImageFileEntry>& Files() const { return m_files; }
    int Count() const { return static_cast<int>(m_files.size()); }

    // The preload worker's side: entry i's preload slot, read and written under the lock.
    // The list itself is replaced or cleared only while no worker runs.
    std::mutex& PreloadMutex() const { return m_preloadMutex; }
    CImageFileEntry& Entry(int i) { return m_files[static_cast<size_t>(i)]; }

    // Ascending by path in character-code order.
    static void Sort(std::vector<CImageFileEntry>& files);

private:
    std::vector<CImageFileEntry> m_files;
    mutable std::mutex m_preloadMutex;
};
