#include "batch/model/FileAttributes.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

FileAttributes ReadFileAttributes(const std::string& path)
{
    FileAttributes attributes;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return attributes;
    attributes.exists = true;
    // The owner's write bit is the file's own flag; access() covers other users (and is
    // always granted to root, who would otherwise delete protected files unasked).
    attributes.readOnly = (st.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0;
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    attributes.hidden = !name.empty() && name[0] == '.';
    return attributes;
}

std::string AttributeText(const FileAttributes& attributes)
{
    std::string text = " File.";
    if (attributes.readOnly)
        text = " Readonly File.";
    if (attributes.hidden)
        text = " Hidden File.";
    if (attributes.system)
        text = " System File.";
    return text;
}

int FileErrorCause(int errnum)
{
    switch (errnum) {
    case 0: return 0;
    case ENOENT: return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EXDEV: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EEXIST: return 5;
    case EBADF:
    case EINVAL:
    case EISDIR: return 6;
    case EBUSY:
    case ENOTEMPTY: return 7;
    case EMLINK: return 8;
    case ESPIPE: return 9;
    case EIO: return 10;
    case ETXTBSY: return 11;
    case ENOLCK:
    case EDEADLK: return 12;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return 13;
    default: return 1;
    }
}
