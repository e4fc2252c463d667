#pragma once
// The state files (settings, session, cache index) that could not be read or written
// in this run, so that the user is told once per file, in words naming the file and the
// reason, and never again for the same file.

#include <string>
#include <vector>

namespace lfplat {

class StateFileReport {
public:
    // The file exists but cannot be read: the program runs on defaults and leaves it.
    void Unreadable(const std::string& path, const std::string& reason);
    // A write failed for the reason given in the system's words.
    void WriteFailed(const std::string& path, const std::string& reason);

    // The messages not shown yet, each marked shown.
    std::vector<std::string> TakeNew();

private:
    void Note(const std::string& path, std::string text);

    struct Entry {
        std::string path;
        std::string text;
        bool shown = false;
    };
    std::vector<Entry> m_entries;
};

}  // namespace lfplat
