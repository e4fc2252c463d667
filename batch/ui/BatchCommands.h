#pragma once
// The manager's entries into the batch dialogs and the search window (see ManagerServices).

#include <string>

class CQuorixDoc;
class wxWindow;

namespace batch {

// Batch Rename over the selected images of the current folder.
void RunBatchRename(CQuorixDoc& doc);
// Batch Resize; "Resize operation complete." when every image was done.
void RunBatchResize(CQuorixDoc& doc);
// Shows mainFrame's one search window (made on first use) in the caption's mode.
void ShowSearch(CQuorixDoc& doc, wxWindow* mainFrame, const std::string& caption);

}  // namespace batch
