#pragma once
// The manager's entries into the batch dialogs and the search window (see ManagerServices).

#include "batch/ui/BatchHost.h"

#include <string>

class CQuorixDoc;
class wxWindow;

namespace batch {

// Batch Rename over the selected images of the current folder.
void RunBatchRename(CQuorixDoc& doc, const BatchHost& host);
// Batch Resize; "Resize operation complete." when every image was done, else one
// summary of what failed.
void RunBatchResize(CQuorixDoc& doc, const BatchHost& host);
// Shows mainFrame's one search window (made on first use) in the caption's mode.
void ShowSearch(CQuorixDoc& doc, wxWindow* mainFrame, const std::string& caption, const BatchHost& host);

}  // namespace batch
