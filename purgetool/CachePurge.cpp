#include "purgetool/CachePurge.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// Entry names of an open folder, without "." and "..". The descriptor stays open.
std::vector<std::string> ListEntries(int dirFd)
{
    std::vector<std::string> names;
    int dup = ::dup(dirFd);
    if (dup < 0)
        return names;
    DIR* dir = fdopendir(dup);
    if (!dir) {
        ::close(dup);
        return names;
    }
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(std::move(name));
    }
    closedir(dir);
    return names;
}

// Empties one cache sub-folder (files and links only, as a plain delete would) and
// removes it; a sub-folder that still holds a folder stays.
void RemoveSubFolder(int cacheFd, const std::string& name)
{
    int fd = openat(cacheFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    for (const std::string& entry : ListEntries(fd)) {
        struct stat st {};
        if (fstatat(fd, entry.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
            unlinkat(fd, entry.c_str(), 0);
    }
    ::close(fd);
    unlinkat(cacheFd, name.c_str(), AT_REMOVEDIR);
}

}  // namespace

CachePurge::CachePurge(std::string sessionFile, std::string cacheFolder)
    : m_sessionFile(std::move(sessionFile)), m_cacheFolder(std::move(cacheFolder))
{
}

void CachePurge::Run() const
{
    EmptySessionFile();
    RemoveCacheFolders();
    RemoveCacheIndex();
}

void CachePurge::EmptySessionFile() const
{
    if (FILE* f = std::fopen(m_sessionFile.c_str(), "wb"))
        std::fclose(f);
}

void CachePurge::RemoveCacheFolders() const
{
    // O_NOFOLLOW: a cache folder that is itself a link is not a cache folder.
    int cacheFd = ::open(m_cacheFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (cacheFd < 0)
        return;
    for (const std::string& name : ListEntries(cacheFd)) {
        struct stat st {};
        if (fstatat(cacheFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISLNK(st.st_mode))
            unlinkat(cacheFd, name.c_str(), 0);  // the link goes, never what it points to
        else if (S_ISDIR(st.st_mode))
            RemoveSubFolder(cacheFd, name);
        // Plain files directly in the cache folder are left alone.
    }
    ::close(cacheFd);
}

void CachePurge::RemoveCacheIndex() const
{
    int cacheFd = ::open(m_cacheFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (cacheFd < 0)
        return;
    unlinkat(cacheFd, "qkcache.xml", 0);
    ::close(cacheFd);
}

int CachePurge::Main(bool frameworkReady, const CachePurge& purge, FILE* err)
{
    if (!frameworkReady) {
        std::fputs("Fatal Error: MFC initialization failed\n", err);
        std::fflush(err);
        return 1;
    }
    purge.Run();
    return 0;
}
