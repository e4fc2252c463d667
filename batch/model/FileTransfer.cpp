#include "batch/model/FileTransfer.h"

#include "batch/model/CFileCopier.h"
#include "batch/model/FileAttributes.h"
#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileIdentity IdentityOf(const struct stat& st)
{
    return {uint64_t(st.st_dev), uint64_t(st.st_ino), int64_t(st.st_size),
            int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool DeleteIfUnchanged(const std::string& path, const FileIdentity& identity, int& error)
{
    // Looked at and deleted through its folder, so that the folder cannot change between.
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        error = errno;
        return false;
    }
    struct stat now {};
    bool deleted = false;
    if (::fstatat(dir, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0)
        error = errno;
    else if (!S_ISREG(now.st_mode) || !(IdentityOf(now) == identity))
        error = ESTALE;
    else if (::unlinkat(dir, name.c_str(), 0) != 0)
        error = errno;
    else
        deleted = true;
    ::close(dir);
    return deleted;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat first {}, second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

namespace {

bool RenameInto(const std::string& source, const std::string& target, bool replace)
{
    if (!replace)
        return lfplat::RenameNoReplace(source, target);
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && (!S_ISREG(existing.st_mode) || ReadFileAttributes(target).readOnly)) {
        errno = EACCES;
        return false;
    }
    return std::rename(source.c_str(), target.c_str()) == 0;
}

}  // namespace

TransferOutcome TransferFile(const std::string& source, const std::string& target, bool move, bool replace)
{
    TransferOutcome outcome;
    if (IsSameFile(source, target)) {
        outcome.sameFile = true;
        return outcome;
    }
    const bool protectedSource = move && ReadFileAttributes(source).readOnly;
    if (move && !protectedSource) {
        if (RenameInto(source, target, replace)) {
            outcome.written = outcome.sourceDeleted = true;
            return outcome;
        }
        // A taken name or a protected target stays as it is; across file systems (or
        // when the source's folder refuses the rename) the file is copied instead.
        if (errno == EEXIST || errno == EACCES || errno == EISDIR || errno == ENOTDIR) {
            struct stat st {};
            if (::stat(target.c_str(), &st) == 0)
                return outcome;
        }
    }
    CFileCopier copier;
    if (!copier.Copy(source, target, replace))
        return outcome;
    outcome.written = true;
    if (!move)
        return outcome;
    if (protectedSource) {
        outcome.deleteError = EACCES;
        return outcome;
    }
    // The copy is of the file as it was opened; only that file, still unchanged, goes.
    int error = 0;
    if (DeleteIfUnchanged(source, copier.SourceIdentity(), error))
        outcome.sourceDeleted = true;
    else
        outcome.deleteError = error;
    return outcome;
}
