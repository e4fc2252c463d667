#pragma once
// What the file operations need to know of a file before they touch it, and how a
// failed system call is told to the user. POSIX has no read-only, hidden or system
// flags: a file counts as read-only when its owner may not write it or the user may
// not, as hidden when its name starts with a dot; nothing counts as a system file.

#include <string>

struct FileAttributes {
    bool exists = false;
    bool readOnly = false;
    bool hidden = false;
    bool system = false;
};

FileAttributes ReadFileAttributes(const std::string& path);

// " File.", or " Readonly File.", " Hidden File.", " System File." (the last that
// applies wins), as the error texts of a failed delete or move name the file.
std::string AttributeText(const FileAttributes& attributes);

// The cause number of a file error for an errno value: 0 none, 1 generic, 2 file not
// found, 3 bad path, 4 too many open files, 5 access denied, 6 invalid file, 7 remove
// current directory, 8 directory full, 9 bad seek, 10 hard input/output error,
// 11 sharing violation, 12 lock violation, 13 disk full, 14 end of file.
int FileErrorCause(int errnum);
