#pragma once
// One file copied or moved to a target path, the step the copy, move and drop jobs
// share. A move is a rename when source and target lie on one file system; otherwise
// the file is copied completely (see CFileCopier) and only then is the source deleted.
// Nothing is ever written over the source itself, and a read-only source is copied but
// not deleted.

#include <string>

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
