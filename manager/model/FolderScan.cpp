#include "manager/model/FolderScan.h"

#include "manager/model/CFolderItem.h"
#include "manager/model/CImageThread.h"
#include "platform/FolderPaths.h"
#include "platform/StringSort.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace folderscan {

namespace {

constexpr int64_t kMinImageFileSize = 10;


class DirCloser {
public:
    explicit DirCloser(DIR* dir) : m_dir(dir) {}
    ~DirCloser()
    {
        if (m_dir)
            closedir(m_dir);
    }
    DirCloser(const DirCloser&) = delete;
    DirCloser& operator=(const DirCloser&) = delete;

private:
    DIR* m_dir;
};

}  // namespace

bool IsImageFile(std::string_view name, bool regularFile, int64_t size)
{
    return regularFile && size >= kMinImageFileSize && IsImageFileName(name);
}

int ImageTypeOfExtension(std::string_view extension)
{
    const bool lower = std::none_of(extension.begin(), extension.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    return lower && !extension.empty() ? CImageThread::ThumbnailType(std::string(extension)) : 0;
}

namespace {

void SortNamesFrom(std::vector<std::string>& names, size_t first)
{
    std::vector<std::string> tail(names.begin() + std::ptrdiff_t(first), names.end());
    const auto parent = std::find(tail.begin(), tail.end(), "..");
    const bool hasParent = parent != tail.end();
    if (hasParent)
        tail.erase(parent);
    if (tail.size() >= 2)
        SortStringArray(tail);
    names.resize(first);
    if (hasParent)
        names.push_back("..");
    names.insert(names.end(), tail.begin(), tail.end());
}

}  // namespace

size_t ScanFolder(const std::string& path, CFolderItem& folder, bool separateFiles)
{
    DIR* dir = opendir(path.empty() ? "/" : path.c_str());
    if (!dir)
        return 0;
    DirCloser closer(dir);
    const size_t firstSubfolder = folder.m_arrSubfolders.size();
    const size_t firstOther = folder.m_arrOtherFiles.size();
    const int dirFd = dirfd(dir);
    const bool atRoot = path == "/";

    std::vector<std::string> imageNames;
    std::unordered_map<std::string, struct stat> facts;  // as listed
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || (atRoot && name == ".."))
            continue;
        // Links are followed: a link to a folder is a folder, to a picture a picture.
        struct stat st {};
        const bool known = fstatat(dirFd, entry->d_name, &st, 0) == 0;
        if (known && S_ISDIR(st.st_mode)) {
            folder.m_arrSubfolders.push_back(name);
            continue;
        }
        if (!separateFiles) {
            folder.m_arrSubfolders.push_back(name);
            continue;
        }
        const int64_t size = known ? static_cast<int64_t>(st.st_size) : 0;
        if (!IsImageFile(name, known && S_ISREG(st.st_mode), size)) {
            folder.m_arrOtherFiles.push_back(name);
            continue;
        }
        imageNames.push_back(name);
        facts[name] = st;
    }
    if (imageNames.size() >= 2)
        SortStringArray(imageNames);
    // The directory's own order is arbitrary here: folders and other files are listed by
    // name like the images, with ".." ahead of them all.
    SortNamesFrom(folder.m_arrSubfolders, firstSubfolder);
    SortNamesFrom(folder.m_arrOtherFiles, firstOther);

    size_t made = 0;
    for (const std::string& name : imageNames) {
        const std::string extension = PathExtension(name);
        const struct stat& file = facts[name];
        auto image =
            std::make_unique<CImageItem>(name, JoinPath(folder.m_strPath, name), static_cast<int64_t>(file.st_size), 0, 0);
        image->SetFileStamp(file);
        image->m_nImageType = ImageTypeOfExtension(std::string_view(extension).substr(1));
        folder.AddImage(std::move(image));
        ++made;
    }
    if (made > 0) {
        folder.m_bThumbsComplete = false;
        folder.m_bThumbsNeeded = true;
    }
    return made;
}

}  // namespace folderscan
