#pragma once
// Renaming one image of a folder under a new name with its old extension. An existing
// file of the new name is never replaced, and a protected file is never renamed.

#include <string>

enum class RenameOutcome {
    Unchanged,   // the new name is the old one: nothing to do
    SystemFile,  // read-only, hidden or system: refused
    Renamed,
    Failed,      // the name is taken, not a file name, or the system refused
};

// folder: the folder holding currentName; the new name is newStem + "." + extension.
RenameOutcome RenameImageFile(const std::string& folder, const std::string& currentName, const std::string& newStem,
                              const std::string& extension);

// The texts the rename shows.
std::string RenameFailedText(const std::string& currentName);
inline constexpr const char* kRenameSystemFileText = "This is System file. Rename not possible.";
