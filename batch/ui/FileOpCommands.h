#pragma once
// The file operations as the manager's commands run them (its services table holds
// these): each runs its dialog modally on the user-interface thread.

#include <string>

class CQuorixDoc;

// Copy (mode 1) or Move (mode 0): the destination dialog, then the job.
void RunDestinationDialog(CQuorixDoc& doc, int mode);
// Delete: the file-operation dialog in mode 2.
void RunDeleteDialog(CQuorixDoc& doc);
// Rename: true when the file now bears the new name.
bool RunRenameDialog(CQuorixDoc& doc, const std::string& stem, const std::string& oldName,
                     const std::string& extension);
// Rows dropped on the folder tree: the copy/move dialog.
void RunCopyMoveDialog(CQuorixDoc& doc);
