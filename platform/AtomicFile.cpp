#include "platform/AtomicFile.h"

#include "platform/FolderPaths.h"

#include <array>
#include <cerrno>
#include <climits>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace lfplat {

namespace {

constexpr std::string_view kTempMark = ".tmp-";
constexpr size_t kTempRandomLength = 6;
constexpr int kMaxLinkHops = 40;

// A line of /proc/self/status after its "Name:" label, empty when absent.
std::string StatusField(const char* name)
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return {};
    const size_t nameLength = std::strlen(name);
    std::string value;
    char line[256];
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, name, nameLength) == 0 && line[nameLength] == ':') {
            value = line + nameLength + 1;
            break;
        }
    }
    std::fclose(f);
    return value;
}

// The process umask, read without changing it (umask() itself would race other threads).
mode_t CurrentUmask()
{
    unsigned value = 0;
    const std::string field = StatusField("Umask");
    return std::sscanf(field.c_str(), "%o", &value) == 1 ? static_cast<mode_t>(value) : mode_t{022};
}

// Whether the process may write files whatever their mode (root, or the capability).
bool CanOverrideFileModes()
{
    constexpr unsigned long long kDacOverride = 1ull << 1;
    unsigned long long caps = 0;
    const std::string field = StatusField("CapEff");
    if (std::sscanf(field.c_str(), "%llx", &caps) == 1)
        return (caps & kDacOverride) != 0;
    return geteuid() == 0;
}

bool InGroup(gid_t gid)
{
    if (gid == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<size_t>(i)] == gid)
            return true;
    }
    return false;
}

// The file's mode bits as they apply to this process's user, as the system would
// judge them for a user who cannot override them.
bool ModeLetsUserWrite(const struct stat& st)
{
    if (st.st_uid == geteuid())
        return (st.st_mode & S_IWUSR) != 0;
    if (InGroup(st.st_gid))
        return (st.st_mode & S_IWGRP) != 0;
    return (st.st_mode & S_IWOTH) != 0;
}

size_t NameMaxOf(const std::string& folder)
{
    const long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? static_cast<size_t>(max) : size_t{NAME_MAX};
}

// "." + leaf + ".tmp-" + random, with the leaf shortened (at a character boundary)
// so that the whole name fits the folder.
std::string TempNameFor(const std::string& folder, const std::string& leaf, bool withRandom)
{
    const size_t fixed = 1 + kTempMark.size() + kTempRandomLength;
    const size_t nameMax = NameMaxOf(folder);
    size_t keep = nameMax > fixed ? std::min(leaf.size(), nameMax - fixed) : 0;
    while (keep > 0 && keep < leaf.size() && (static_cast<unsigned char>(leaf[keep]) & 0xC0) == 0x80)
        --keep;
    std::string name;
    name.reserve(fixed + keep);
    name.append(1, '.').append(leaf, 0, keep).append(kTempMark);
    if (!withRandom)
        return name + std::string(kTempRandomLength, 'X');
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::array<unsigned char, kTempRandomLength> bytes{};
    if (getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
        // No entropy available: the time still differs between tries.
        const unsigned long long seed = static_cast<unsigned long long>(::clock()) ^ static_cast<unsigned long long>(::getpid());
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(seed >> (i * 8));
    }
    for (unsigned char b : bytes)
        name += kLetters[b % (sizeof kLetters - 1)];
    return name;
}

std::string JoinFolder(const std::string& folder, const std::string& name)
{
    return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

std::string ResolveLinks(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::vector<char> buffer(static_cast<size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (length < 0 || static_cast<size_t>(length) >= buffer.size())
            return current;
        std::string destination(buffer.data(), static_cast<size_t>(length));
        current = destination.starts_with('/') ? destination : JoinFolder(FolderOf(current), destination);
    }
    return current;
}

bool IsAtomicTemporaryName(std::string_view leaf)
{
    const size_t tail = kTempMark.size() + kTempRandomLength;
    if (leaf.size() < 1 + tail || leaf.front() != '.')
        return false;
    if (leaf.substr(leaf.size() - tail, kTempMark.size()) != kTempMark)
        return false;
    for (char c : leaf.substr(leaf.size() - kTempRandomLength)) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!letter)
            return false;
    }
    return true;
}

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

AtomicFile::AtomicFile(std::string target, unsigned mode, AtomicSync sync)
    : m_target(std::move(target)), m_mode(mode), m_sync(sync)
{
}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Fail(const std::string& what) { return Fail(what, errno); }

bool AtomicFile::Fail(const std::string& what, int error)
{
    m_failed = true;
    if (m_error.empty()) {
        m_errno = error;
        m_error = what + ": " + std::strerror(error);
    }
    return false;
}

// False (with the reason) when the file to be written exists and the user could not
// open it for writing, or is no plain file: renaming over it needs only the folder's
// permission, so the check has to be made here.
bool AtomicFile::MayReplaceTarget()
{
    struct stat st {};
    if (::lstat(m_path.c_str(), &st) != 0)
        return errno == ENOENT ? true : Fail("cannot replace " + m_target);
    if (S_ISLNK(st.st_mode))
        return Fail("cannot replace " + m_target, ELOOP);
    if (S_ISDIR(st.st_mode))
        return Fail("cannot replace " + m_target, EISDIR);
    if (!S_ISREG(st.st_mode)) {
        m_failed = true;
        if (m_error.empty()) {
            m_errno = EINVAL;
            m_error = "cannot replace " + m_target + ": it is not a regular file";
        }
        return false;
    }
    if (::faccessat(AT_FDCWD, m_path.c_str(), W_OK, AT_EACCESS) != 0)
        return Fail("cannot replace " + m_target);
    if (CanOverrideFileModes() && !ModeLetsUserWrite(st))
        return Fail("cannot replace " + m_target, EACCES);
    return true;
}

bool AtomicFile::OpenUnnamed(const std::string& folder, mode_t mode)
{
    if (::access("/proc/self/fd", X_OK) != 0)
        return false;
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) {
        // File systems (and kernels) without unnamed files: the named way below.
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
            return false;
        return Fail("cannot create a temporary file beside " + m_target);
    }
    m_file = fdopen(fd, "wb");
    if (!m_file) {
        ::close(fd);
        return Fail("cannot open a temporary file beside " + m_target);
    }
    m_unnamed = true;
    return true;
}

bool AtomicFile::OpenNamed(const std::string& folder, mode_t mode)
{
    m_tempPath = JoinFolder(folder, TempNameFor(folder, LastPathComponent(m_path), false));
    const int fd = mkostemp(m_tempPath.data(), O_CLOEXEC);
    if (fd < 0) {
        m_tempPath.clear();
        return Fail("cannot create a temporary file beside " + m_target);
    }
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

bool AtomicFile::Open()
{
    Discard();
    m_failed = false;
    m_error.clear();
    m_errno = 0;
    m_unnamed = false;
    m_path = ResolveLinks(m_target);
    if (!MayReplaceTarget())
        return false;

    struct stat st {};
    const bool exists = ::stat(m_path.c_str(), &st) == 0;
    const mode_t mode = exists ? (st.st_mode & 07777) : (static_cast<mode_t>(m_mode) & 07777 & ~CurrentUmask());
    const std::string folder = FolderOf(m_path);
    if (!OpenUnnamed(folder, mode) && (m_failed || !OpenNamed(folder, mode)))
        return false;

    const int fd = fileno(m_file);
    if (exists) {
        // The owner first: changing it may clear the mode's set-id bits.
        struct stat mine {};
        if (::fstat(fd, &mine) == 0 && (mine.st_uid != st.st_uid || mine.st_gid != st.st_gid)) {
            // Where the user may not give the file away, the group alone may still be kept.
            if (::fchown(fd, st.st_uid, st.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
                // Neither is allowed: the file stays the user's own, as a new file would.
            }
        }
    }
    // An unnamed file got its mode through the umask; the target's own mode holds.
    if (fchmod(fd, mode) != 0) {
        Discard();
        return Fail("cannot set the mode of a temporary file beside " + m_target);
    }
    return true;
}

bool AtomicFile::Write(const void* data, size_t size)
{
    if (!m_file)
        return Fail("write to " + m_target + " without an open file", EBADF);
    if (m_failed)
        return false;
    if (size && std::fwrite(data, 1, size, m_file) != size)
        return Fail("cannot write " + m_target);
    return true;
}

// Gives the unnamed file a temporary name beside the target.
bool AtomicFile::NameUnnamed()
{
    const std::string procPath = "/proc/self/fd/" + std::to_string(fileno(m_file));
    const std::string folder = FolderOf(m_path);
    const std::string leaf = LastPathComponent(m_path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = JoinFolder(folder, TempNameFor(folder, leaf, true));
        if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            m_tempPath = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    return Fail("cannot create " + m_target);
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
    if (!m_failed && m_sync == AtomicSync::Durable && fsync(fileno(m_file)) != 0)
        Fail("cannot sync " + m_target);
    // The target may have become read-only while the bytes were prepared.
    if (!m_failed && replace)
        MayReplaceTarget();
    if (!m_failed && m_unnamed)
        NameUnnamed();
    if (std::fclose(m_file) != 0 && !m_failed)
        Fail("cannot close " + m_target);
    m_file = nullptr;
    if (m_failed) {
        Discard();
        return false;
    }
    if (!replace ? !RenameNoReplace(m_tempPath, m_path) : std::rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        Fail((replace ? "cannot replace " : "cannot create ") + m_target);
        Discard();
        return false;
    }
    m_tempPath.clear();
    if (m_sync == AtomicSync::Durable) {
        // Make the rename itself durable.
        int dir = ::open(FolderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            fsync(dir);
            ::close(dir);
        }
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

bool WriteFileAtomically(const std::string& target, std::string_view data, unsigned mode, std::string* error,
                         AtomicSync sync)
{
    AtomicFile file(target, mode, sync);
    bool ok = file.Open() && file.Write(data) && file.Commit();
    if (!ok && error)
        *error = file.Error();
    return ok;
}

}  // namespace lfplat
