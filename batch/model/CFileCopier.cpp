#include "batch/model/CFileCopier.h"

#include "batch/model/FileAttributes.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CFileCopier::~CFileCopier() { CloseSource(); }

void CFileCopier::CloseSource()
{
    if (m_hSource >= 0) {
        ::close(m_hSource);
        m_hSource = -1;
    }
}

bool CFileCopier::Fail(const char* text, bool destinationFailed)
{
    m_strError = text;
    m_bDestinationFailed = destinationFailed;
    CloseSource();
    return false;
}

bool CFileCopier::Copy(std::string sourcePath, std::string destinationPath, bool overwrite, uint64_t sourceOffset,
                       uint64_t destinationOffset)
{
    CloseSource();
    m_bDestinationFailed = false;
    m_strSourcePath = std::move(sourcePath);
    m_strDestinationPath = std::move(destinationPath);
    m_strError.clear();
    m_nPosition = 0;
    m_nSourceSize = 0;
    m_sourceIdentity = {};
    if (m_strSourcePath.empty())
        return Fail(kNoSource);
    if (m_strDestinationPath.empty())
        return Fail(kNoDestination);

    const char* cannotCreate = overwrite ? kCannotOverwrite : kDestinationExists;
    m_hSource = ::open(m_strSourcePath.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat source {};
    if (m_hSource < 0 || ::fstat(m_hSource, &source) != 0 || !S_ISREG(source.st_mode))
        return Fail(kSourceProblem);
    m_nSourceSize = static_cast<uint64_t>(source.st_size);
    m_sourceIdentity = IdentityOf(source);

    struct stat existing {};
    if (::stat(m_strDestinationPath.c_str(), &existing) == 0) {
        const bool sameFile = existing.st_dev == source.st_dev && existing.st_ino == source.st_ino;
        if (!overwrite || sameFile || !S_ISREG(existing.st_mode) ||
            ReadFileAttributes(m_strDestinationPath).readOnly)
            return Fail(cannotCreate, true);
    }

    lfplat::AtomicFile destination(m_strDestinationPath);
    if (!destination.Open())
        return Fail(cannotCreate, true);
    if (!CopyBytes(m_hSource, m_nSourceSize, sourceOffset, destinationOffset, destination.Stream()))
        return Fail(kCopyProblem);
    struct stat after {};
    if (::fstat(m_hSource, &after) != 0 || !(IdentityOf(after) == m_sourceIdentity))
        return Fail(kCopyProblem);
    CloseSource();
    if (!destination.Commit(overwrite)) {
        const int error = destination.ErrorNumber();
        // The name was taken meanwhile, or the folder refused the rename.
        if (error == EEXIST || error == EISDIR || error == ENOTDIR || error == EACCES || error == EPERM)
            return Fail(cannotCreate, true);
        return Fail(kCopyProblem);
    }
    return true;
}

bool CFileCopier::CopyBytes(int source, uint64_t sourceSize, uint64_t sourceOffset, uint64_t destinationOffset,
                            std::FILE* destination)
{
    constexpr uint64_t kMaxOffset = static_cast<uint64_t>(INT64_MAX) / 2;
    if (sourceOffset > kMaxOffset || destinationOffset > kMaxOffset)
        return false;
    uint64_t position = sourceOffset;
    uint64_t dataEnd = position;  // end of the stretch of data the position is in
    while (position < sourceSize) {
        if (position >= dataEnd) {
            // Holes of the source stay holes: the destination only moves on past them.
            const off_t data = ::lseek(source, static_cast<off_t>(position), SEEK_DATA);
            if (data < 0 && errno == ENXIO)
                break;
            if (data >= 0)
                position = static_cast<uint64_t>(data);
            const off_t hole = ::lseek(source, static_cast<off_t>(position), SEEK_HOLE);
            dataEnd = hole > static_cast<off_t>(position) ? std::min<uint64_t>(static_cast<uint64_t>(hole), sourceSize)
                                                          : sourceSize;
            if (position >= sourceSize)
                break;
        }
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(kChunkSize, dataEnd - position));
        std::memset(m_buffer, 0, sizeof m_buffer);
        size_t got = 0;
        while (got < chunk) {
            const ssize_t n = ::pread(source, m_buffer + got, chunk - got, static_cast<off_t>(position + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)  // a source that shrank meanwhile gives no complete copy
                return false;
            got += static_cast<size_t>(n);
        }
        const uint64_t at = destinationOffset + (position - sourceOffset);
        if (::fseeko(destination, static_cast<off_t>(at), SEEK_SET) != 0 ||
            std::fwrite(m_buffer, 1, chunk, destination) != chunk)
            return false;
        position += chunk;
    }
    m_nPosition = sourceSize > sourceOffset ? sourceSize - sourceOffset : 0;
    // The length covers a hole at the end as well.
    const uint64_t length = destinationOffset + m_nPosition;
    return std::fflush(destination) == 0 && ::ftruncate(fileno(destination), static_cast<off_t>(length)) == 0;
}
