#pragma once
// One file copied or moved to a target path, the step the copy, move and drop jobs
// share. A move is a rename when source and target lie on one file system; otherwise
// the file is copied completely from the source as opened (see CFileCopier) and only
// then is the source deleted: only when its path still names that very file, unchanged.
// Nothing is ever written over the source itself, and a read-only source is copied but
// not deleted.

#include <cstdint>
#include <string>

struct stat;

// Which file a path named, and as it was: a file put in its place, or written to
// meanwhile, is another.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity IdentityOf(const struct stat& st);

// Deletes path when it still names the file identity describes; false with error set
// (ESTALE when another file or other bytes are there now).
bool DeleteIfUnchanged(const std::string& path, const FileIdentity& identity, int& error);

struct TransferOutcome {
    bool sameFile = false;       // the target is the source itself: nothing was done
    bool written = false;        // the target now holds the source's bytes
    bool sourceDeleted = false;  // a move whose source is gone
    int deleteError = 0;         // errno of a move whose source could not be deleted
};

// replace: an existing target may be replaced (the user agreed); otherwise it is never
// touched. A read-only or non-regular existing target is never replaced.
TransferOutcome TransferFile(const std::string& source, const std::string& target, bool move, bool replace);

// True when both paths name one file (same device and inode).
bool IsSameFile(const std::string& a, const std::string& b);
