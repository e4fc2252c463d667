#include "batch/model/RenameFile.h"

#include "batch/model/FileAttributes.h"
#include "platform/FolderPaths.h"
#include "platform/AtomicFile.h"

RenameOutcome RenameImageFile(const std::string& folder, const std::string& currentName, const std::string& newStem,
                              const std::string& extension)
{
    const std::string newName = newStem + "." + extension;
    const std::string newPath = JoinPath(folder, newName);
    const std::string oldPath = JoinPath(folder, currentName);
    const FileAttributes attributes = ReadFileAttributes(oldPath);
    if (newPath == oldPath)
        return RenameOutcome::Unchanged;
    if (attributes.readOnly || attributes.hidden || attributes.system)
        return RenameOutcome::SystemFile;
    // A name, not a path: a "/" would move the file elsewhere.
    if (newName.find('/') != std::string::npos || newName.find('\0') != std::string::npos)
        return RenameOutcome::Failed;
    return lfplat::RenameNoReplace(oldPath, newPath) ? RenameOutcome::Renamed : RenameOutcome::Failed;
}

std::string RenameFailedText(const std::string& currentName)
{
    return "Cannot rename " + currentName +
           ": A file with the name you specified already exists.\nSpecify a different file name.";
}
