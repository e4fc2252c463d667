#pragma once
// Replaces a file so that readers see either the old bytes or the new ones, never a
// half-written file: the bytes go to an unnamed file in the same folder (a named
// temporary where the file system has no unnamed files), which is flushed, synced and
// given the target's name only when everything was written.
//
// A target that is a symbolic link is resolved and the file it points to is written;
// the link stays. A target the user could not open for writing (a read-only file) is
// never replaced, even when the process could override its mode.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace lfplat {

// How much a commit waits for the disk. Files that can always be rebuilt (caches)
// skip the per-file sync: a torn one is detected and rebuilt by its reader.
enum class AtomicSync { Durable, NoSync };

class AtomicFile {
public:
    // mode applies when the target does not exist yet; an existing target keeps its own.
    explicit AtomicFile(std::string target, unsigned mode = 0666, AtomicSync sync = AtomicSync::Durable);
    ~AtomicFile();  // discards the temporary file unless Commit succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false with Error() set when the folder refuses it or
    // the target may not be replaced.
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
    // The name given to the constructor (a link stays a link).
    const std::string& Target() const { return m_target; }

private:
    bool Fail(const std::string& what);
    bool Fail(const std::string& what, int error);
    bool OpenUnnamed(const std::string& folder, mode_t mode);
    bool OpenNamed(const std::string& folder, mode_t mode);
    bool MayReplaceTarget();
    bool NameUnnamed();

    std::string m_target;
    std::string m_path;      // the file actually written: the target with links resolved
    std::string m_tempPath;  // the temporary's name; empty while it has none
    unsigned m_mode;
    AtomicSync m_sync;
    FILE* m_file = nullptr;
    bool m_unnamed = false;
    bool m_failed = false;
    std::string m_error;
    int m_errno = 0;
};

// Renames from to to unless to exists (then false with errno EEXIST); false with errno
// set on any other failure. POSIX rename would silently replace the existing file.
bool RenameNoReplace(const std::string& from, const std::string& to);

// Writes the whole of data to target through an AtomicFile; error gets the reason.
bool WriteFileAtomically(const std::string& target, std::string_view data, unsigned mode = 0666,
                         std::string* error = nullptr, AtomicSync sync = AtomicSync::Durable);

// True for the names AtomicFile gives its temporaries: a writer killed half way leaves
// one behind, and folders that belong to the program alone may remove them.
bool IsAtomicTemporaryName(std::string_view leaf);

// The file a path names once symbolic links in its last part are followed (the path
// itself when it is no link, or when a link points to a file not created yet).
std::string ResolveLinks(const std::string& path);

}  // namespace lfplat
