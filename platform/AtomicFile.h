#pragma once
// Replaces a file so that readers see either the old bytes or the new ones, never a
// half-written file: the bytes go to a temporary file in the same folder, which is
// flushed, synced and renamed over the target only when everything was written.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace lfplat {

class AtomicFile {
public:
    // mode applies when the target does not exist yet; an existing target keeps its own.
    explicit AtomicFile(std::string target, unsigned mode = 0666);
    ~AtomicFile();  // discards the temporary file unless Commit succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false with Error() set when the folder refuses it.
    bool Open();
    // The temporary file as a stdio stream, for writers that want one (null before Open).
    FILE* Stream() const { return m_file; }
    bool Write(const void* data, size_t size);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    // Flushes, syncs and renames; false (target untouched) when any write failed.
    // With replace false an existing target is never replaced: the commit fails with
    // ErrorNumber() EEXIST instead.
    bool Commit(bool replace = true);
    // Drops the temporary file; the target stays as it was.
    void Discard();

    const std::string& Error() const { return m_error; }
    // The errno of the first failure (0 when none).
    int ErrorNumber() const { return m_errno; }
    const std::string& Target() const { return m_target; }

private:
    bool Fail(const std::string& what);

    std::string m_target;
    std::string m_tempPath;
    unsigned m_mode;
    FILE* m_file = nullptr;
    bool m_failed = false;
    std::string m_error;
    int m_errno = 0;
};

// Renames from to to unless to exists (then false with errno EEXIST); false with errno
// set on any other failure. POSIX rename would silently replace the existing file.
bool RenameNoReplace(const std::string& from, const std::string& to);

// Writes the whole of data to target through an AtomicFile; error gets the reason.
bool WriteFileAtomically(const std::string& target, std::string_view data, unsigned mode = 0666,
                         std::string* error = nullptr);

}  // namespace lfplat
