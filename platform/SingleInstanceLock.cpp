#include "platform/SingleInstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lfplat {

std::string RuntimeFolder()
{
    if (const char* value = std::getenv("XDG_RUNTIME_DIR"); value && value[0] == '/')
        return value;
    const std::string folder = "/tmp/lanternfolio-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    // Another user could have made the folder first to catch our lock file.
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return {};
    return folder;
}

SingleInstanceLock::SingleInstanceLock(const std::string& name) : SingleInstanceLock(name, RuntimeFolder()) {}

SingleInstanceLock::SingleInstanceLock(const std::string& name, const std::string& folder)
{
    if (folder.empty())
        return;
    // Close-on-exec: a program we start must not inherit (and so keep) the lock.
    const int fd = ::open((folder + "/" + name + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    int rc;
    while ((rc = flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (rc == 0) {
        m_fd = fd;
        return;
    }
    m_busy = errno == EWOULDBLOCK;
    ::close(fd);
}

SingleInstanceLock::~SingleInstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);  // releases the lock
}

}  // namespace lfplat
