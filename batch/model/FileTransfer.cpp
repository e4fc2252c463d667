#include "batch/model/FileTransfer.h"

#include "batch/model/CFileCopier.h"
#include "batch/model/FileAttributes.h"
#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

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
    struct stat copied {}, original {};
    const bool complete = ::stat(target.c_str(), &copied) == 0 && ::stat(source.c_str(), &original) == 0 &&
                          copied.st_size == original.st_size;
    if (!complete) {
        outcome.deleteError = EIO;
        return outcome;
    }
    if (protectedSource) {
        outcome.deleteError = EACCES;
        return outcome;
    }
    if (::unlink(source.c_str()) == 0)
        outcome.sourceDeleted = true;
    else
        outcome.deleteError = errno;
    return outcome;
}
