#pragma once
// Reading the programs' own state files (settings, session, cache index): opened without
// blocking and taken only when they are plain files, so that a folder or a pipe in their
// place never stops a program from starting.

#include <cstddef>
#include <string>

namespace lfplat {

struct StateFileText {
    enum class Status {
        Missing,     // no such file: the defaults hold and the file may be written
        Read,        // text holds the file (up to the size asked for, see whole)
        Unreadable,  // the file exists but cannot be read: never replace it
    };
    Status status = Status::Missing;
    std::string text;
    // False when the file holds more than the size asked for: text has only its first
    // bytes, and writing back what was read would cut the file.
    bool whole = true;
    std::string reason;  // the system's words, when Unreadable
};

StateFileText ReadStateFile(const std::string& path, size_t maxBytes);

}  // namespace lfplat
