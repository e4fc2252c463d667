#pragma once
// "Is another copy of this program running for this user?" without a race: the first
// process takes an exclusive lock on a file in the user's runtime folder and keeps it for
// its life; the kernel drops the lock when the process ends, so no stale lock survives a
// crash, and of two programs started together exactly one gets it.

#include <chrono>
#include <string>

namespace lfplat {

// $XDG_RUNTIME_DIR when it is an absolute path; otherwise a private folder
// /tmp/lanternfolio-<uid> (created with mode 0700, refused when someone else owns it).
// Empty when no usable folder exists.
std::string RuntimeFolder();

class SingleInstanceLock {
public:
    // Tries once, without waiting, to take "<runtime folder>/<name>.lock".
    explicit SingleInstanceLock(const std::string& name);
    // The same in a given folder.
    SingleInstanceLock(const std::string& name, const std::string& folder);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // This process holds the lock.
    bool Held() const { return m_fd >= 0; }
    // Another process holds it. A lock that cannot be tried at all (no runtime folder,
    // unwritable file) counts as free: better two copies than none.
    bool AnotherHolds() const { return m_busy; }

    // The holder says it is closing: from now until it ends, a new start waits for it
    // instead of giving way to a program that is about to go.
    void MarkClosing();
    // Another process holds the lock and has marked itself closing.
    bool AnotherIsClosing() const;
    // Waits, up to timeout, for a closing holder to end; true when this process then
    // holds the lock.
    bool WaitWhileAnotherCloses(std::chrono::milliseconds timeout);

private:
    bool TryTake();

    std::string m_path;
    int m_fd = -1;
    int m_closingFd = -1;
    bool m_busy = false;
};

}  // namespace lfplat
