#include "platform/AtomicFile.h"

#include "platform/FolderPaths.h"

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lfplat {

namespace {

// The process umask, read without changing it (umask() itself would race other threads).
mode_t CurrentUmask()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    mode_t mask = 022;
    if (!f)
        return mask;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        unsigned value = 0;
        if (std::sscanf(line, "Umask: %o", &value) == 1) {
            mask = static_cast<mode_t>(value);
            break;
        }
    }
    std::fclose(f);
    return mask;
}

}  // namespace

bool RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the flag: a hard link fails on an existing name just the same.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

AtomicFile::AtomicFile(std::string target, unsigned mode) : m_target(std::move(target)), m_mode(mode) {}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Fail(const std::string& what)
{
    m_failed = true;
    if (m_error.empty()) {
        m_errno = errno;
        m_error = what + ": " + std::strerror(errno);
    }
    return false;
}

bool AtomicFile::Open()
{
    Discard();
    m_failed = false;
    m_error.clear();
    m_errno = 0;
    std::string name = m_target;
    auto slash = name.rfind('/');
    std::string leaf = slash == std::string::npos ? name : name.substr(slash + 1);
    m_tempPath = FolderOf(m_target) + "/." + leaf + ".tmp-XXXXXX";
    int fd = mkstemp(m_tempPath.data());
    if (fd < 0) {
        m_tempPath.clear();
        return Fail("cannot create a temporary file beside " + m_target);
    }
    struct stat st {};
    mode_t mode = ::stat(m_target.c_str(), &st) == 0 ? (st.st_mode & 07777)
                                                      : (static_cast<mode_t>(m_mode) & ~CurrentUmask());
    if (fchmod(fd, mode) != 0) {
        ::close(fd);
        return Fail("cannot set the mode of " + m_tempPath);
    }
    m_file = fdopen(fd, "wb");
    if (!m_file) {
        ::close(fd);
        return Fail("cannot open " + m_tempPath);
    }
    return true;
}

bool AtomicFile::Write(const void* data, size_t size)
{
    if (!m_file)
        return Fail("write to " + m_target + " without an open file");
    if (m_failed)
        return false;
    if (size && std::fwrite(data, 1, size, m_file) != size)
        return Fail("cannot write " + m_target);
    return true;
}

bool AtomicFile::Commit(bool replace)
{
    if (!m_file) {
        if (m_error.empty())
            m_error = "nothing to commit for " + m_target;
        return false;
    }
    // Writers that used Stream() directly leave their errors in the stream.
    if (std::ferror(m_file))
        Fail("cannot write " + m_target);
    if (!m_failed && std::fflush(m_file) != 0)
        Fail("cannot write " + m_target);
    if (!m_failed && fsync(fileno(m_file)) != 0)
        Fail("cannot sync " + m_target);
    if (std::fclose(m_file) != 0 && !m_failed)
        Fail("cannot close " + m_target);
    m_file = nullptr;
    if (m_failed) {
        Discard();
        return false;
    }
    if (!replace ? !RenameNoReplace(m_tempPath, m_target) : std::rename(m_tempPath.c_str(), m_target.c_str()) != 0) {
        Fail((replace ? "cannot replace " : "cannot create ") + m_target);
        Discard();
        return false;
    }
    m_tempPath.clear();
    // Make the rename itself durable.
    int dir = ::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        fsync(dir);
        ::close(dir);
    }
    return true;
}

void AtomicFile::Discard()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
}

bool WriteFileAtomically(const std::string& target, std::string_view data, unsigned mode, std::string* error)
{
    AtomicFile file(target, mode);
    bool ok = file.Open() && file.Write(data) && file.Commit();
    if (!ok && error)
        *error = file.Error();
    return ok;
}

}  // namespace lfplat
