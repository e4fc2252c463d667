#pragma once
// The two ways a folder on disk becomes the document's folder record: the folder tree's
// load (a new record, or an image-less recent one, made current) and the recent
// folders' rescan of the current record in place. Both stop the loader threads and drop
// the old records from the selection before any record is freed or refilled.

#include <string>

class CQuorixDoc;
class wxView;

namespace folderload {

// The tree's load: finds or makes the record, scans it, makes it current, clears the
// search-results mode, raises folder-changed, forgets the highlighted recent entry and
// updates all views (sender). Returns true when the document's view mode changed to the
// folder's, so that the caller switches the image pane.
bool LoadTreeFolder(CQuorixDoc& doc, const std::string& path, bool separateFiles, wxView* sender);

// The recent folders' load: empties the current folder record and scans path into it;
// neither the current folder nor the views change. Returns true when the view mode
// changed to the folder's. An empty path does nothing.
bool RescanCurrentFolder(CQuorixDoc& doc, const std::string& path);

}  // namespace folderload
