#include "editor/model/CImageFolderList.h"

#include "editor/model/ImageFileTypes.h"

#include <algorithm>
#include <strings.h>
#include <sys/stat.h>

#include <filesystem>

namespace fs = std::filesystem;

void CImageFolderList::Reload(const std::string& path)
{
    m_files.clear();
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string prefix = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!ImageFileTypes::IsFolderListExtension(ImageFileTypes::GetFileExtension(name)))
            continue;
        // Only files: a folder or a pipe named like an image is nothing to step to.
        const std::string full = prefix + name;
        struct stat st {};
        if (::stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        CImageFileEntry entry;
        entry.m_strPath = full;
        entry.m_nSize = static_cast<uint64_t>(st.st_size);
        entry.m_time = st.st_mtime;
        m_files.push_back(std::move(entry));
    }
    Sort(m_files);
}

int CImageFolderList::FindIndex(const std::string& path) const
{
    for (size_t i = 0; i < m_files.size(); ++i)
        if (strcasecmp(m_files[i].m_strPath.c_str(), path.c_str()) == 0)
            return static_cast<int>(i);
    return -1;
}

void CImageFolderList::Sort(std::vector<CImageFileEntry>& files)
{
    // std::string compares as unsigned bytes.
    std::stable_sort(files.begin(), files.end(),
                     [](const CImageFileEntry& a, const CImageFileEntry& b) { return a.m_strPath < b.m_strPath; });
}
