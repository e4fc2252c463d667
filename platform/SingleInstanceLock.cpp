#include "platform/SingleInstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
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

namespace {

// Close-on-exec: a program we start must not inherit (and so keep) a lock.
int OpenLockFile(const std::string& path)
{
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

int Lock(int fd, int how)
{
    int rc;
    while ((rc = flock(fd, how)) != 0 && errno == EINTR) {
    }
    return rc;
}

}  // namespace

SingleInstanceLock::SingleInstanceLock(const std::string& name, const std::string& folder)
{
    if (folder.empty())
        return;
    m_path = folder + "/" + name + ".lock";
    TryTake();
}

bool SingleInstanceLock::TryTake()
{
    const int fd = OpenLockFile(m_path);
    if (fd < 0) {
        m_busy = false;
        return false;
    }
    if (Lock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_fd = fd;
        m_busy = false;
        return true;
    }
    m_busy = errno == EWOULDBLOCK;
    ::close(fd);
    return false;
}

SingleInstanceLock::~SingleInstanceLock()
{
    // The instance lock goes first: a start that waits for a closing holder must never
    // find the closing mark gone while the instance lock is still held.
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_closingFd >= 0)
        ::close(m_closingFd);
}

void SingleInstanceLock::MarkClosing()
{
    if (m_fd < 0 || m_closingFd >= 0)
        return;
    const int fd = OpenLockFile(m_path + ".closing");
    if (fd < 0)
        return;
    // A new start may hold the mark for a moment while it looks: wait for that.
    if (Lock(fd, LOCK_EX) != 0) {
        ::close(fd);
        return;
    }
    m_closingFd = fd;
}

bool SingleInstanceLock::AnotherIsClosing() const
{
    if (!m_busy)
        return false;
    const int fd = OpenLockFile(m_path + ".closing");
    if (fd < 0)
        return false;
    const bool closing = Lock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return closing;
}

bool SingleInstanceLock::WaitWhileAnotherCloses(std::chrono::milliseconds timeout)
{
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (m_busy) {
        if (TryTake())
            return true;
        if (!m_busy || !AnotherIsClosing()) {
            // The holder ended between the two looks, or is no longer closing.
            return TryTake();
        }
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return Held();
}

}  // namespace lfplat
