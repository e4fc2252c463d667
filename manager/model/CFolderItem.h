#pragma once
// One folder the manager has opened. It owns its image records.

#include "manager/model/CImageItem.h"
#include "manager/model/ManagerModes.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class CFolderItem {
public:
    // keep: written to the session file; any non-zero value counts as set.
    CFolderItem(std::string displayName, std::string path, int keep);
    CFolderItem(const CFolderItem&) = delete;
    CFolderItem& operator=(const CFolderItem&) = delete;

    // Appends the record, which now belongs to the folder. Returns 1.
    int AddImage(std::unique_ptr<CImageItem> image);
    // Deletes the record and closes the gap: 0 when removed, 1 when it is not here.
    // Records may sit in the document's selection: remove them through the document.
    int RemoveImage(const CImageItem* image);
    // key a SortKey, direction a SortOrder (kSortReverse reverses).
    // Returns 1; a key outside the SortKey values changes nothing.
    int SortImages(int key, int direction);

    size_t ImageCount() const { return m_arrImages.size(); }
    CImageItem* Image(size_t index) const { return m_arrImages[index].get(); }
    bool HoldsImage(const CImageItem* image) const;

    std::string m_strDisplayName;
    std::string m_strPath;
    std::vector<std::unique_ptr<CImageItem>> m_arrImages;  // in display order
    std::vector<std::string> m_arrSubfolders;
    std::vector<std::string> m_arrOtherFiles;
    // Set by the thumbnail thread at the end of a pass, read by the views.
    std::atomic<bool> m_bThumbsComplete{false};
    std::atomic<bool> m_bThumbsNeeded{true};
    bool m_bCurrentInRecent = false;
    bool m_bKeepInSession = false;
    int m_nViewMode = kViewThumbnails;  // a ViewMode
};
