#include "platform/StateFile.h"

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lfplat {

StateFileText ReadStateFile(const std::string& path, size_t maxBytes)
{
    StateFileText result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) {
            result.status = StateFileText::Status::Unreadable;
            result.reason = std::strerror(errno);
        }
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = StateFileText::Status::Unreadable;
        result.reason = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "it is not a regular file";
        ::close(fd);
        return result;
    }
    // The buffer grows with what arrives: the limit is a bound, not a size to fill
    // (the settings are read several times at start and zeroing megabytes shows).
    size_t got = 0;
    size_t capacity = std::min(maxBytes, static_cast<size_t>(std::max<off_t>(st.st_size, 0)) + 1);
    result.text.resize(capacity);
    while (got < maxBytes) {
        if (got == capacity) {
            capacity = std::min(maxBytes, capacity + std::max<size_t>(capacity, 4096));
            result.text.resize(capacity);
        }
        const ssize_t n = ::read(fd, result.text.data() + got, capacity - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.status = StateFileText::Status::Unreadable;
            result.reason = std::strerror(errno);
            result.text.clear();
            ::close(fd);
            return result;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    result.text.resize(got);
    if (got == maxBytes) {
        // One byte more tells a file of exactly the limit from a larger one.
        char more;
        ssize_t n;
        while ((n = ::read(fd, &more, 1)) < 0 && errno == EINTR) {
        }
        result.whole = n == 0;
    }
    result.status = StateFileText::Status::Read;
    ::close(fd);
    return result;
}

}  // namespace lfplat
