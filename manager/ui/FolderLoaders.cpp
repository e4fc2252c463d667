#include "manager/ui/FolderLoaders.h"

#include "manager/ui/CQuorixDoc.h"
#include "platform/FolderPaths.h"
#include "manager/model/FolderScan.h"

namespace folderload {

namespace {

bool TakeViewMode(CQuorixDoc& doc, const CFolderItem& folder)
{
    if (folder.m_nViewMode == doc.m_nViewMode)
        return false;
    doc.m_nViewMode = folder.m_nViewMode;
    return true;
}

}  // namespace

bool LoadTreeFolder(CQuorixDoc& doc, const std::string& path, bool separateFiles, wxView* sender)
{
    CFolderItem* recent = doc.GetCacheDirName(path).empty() ? nullptr : doc.FindFolderByPath(path);
    CFolderItem* record = nullptr;
    if (recent) {
        // Only image-less recent records come here; the clear stops the loaders and
        // drops anything of it from the selection all the same.
        doc.ClearFolderImages(recent);
        recent->m_arrSubfolders.clear();
        recent->m_arrOtherFiles.clear();
        folderscan::ScanFolder(path, *recent, separateFiles);
        doc.SetCurrentFolder(recent);
        record = recent;
    } else {
        auto fresh = std::make_unique<CFolderItem>(LastPathComponent(path), path, 0);
        folderscan::ScanFolder(path, *fresh, separateFiles);
        record = fresh.get();
        // Frees the previous record when it is nobody's (after stopping the loaders).
        doc.SetCurrentFolder(std::move(fresh));
    }
    if (record->m_strDisplayName.empty())
        record->m_strDisplayName = path;
    doc.m_bSearchResults = false;
    doc.m_bFolderChanged = true;
    const bool modeChanged = TakeViewMode(doc, *record);
    doc.m_nCurrentRecent = -1;
    doc.UpdateAllViews(sender);
    return modeChanged;
}

bool RescanCurrentFolder(CQuorixDoc& doc, const std::string& path)
{
    CFolderItem* folder = doc.GetCurrentFolder();
    if (path.empty() || !folder)
        return false;
    doc.ClearFolderImages(folder);
    folder->m_arrSubfolders.clear();
    folder->m_arrOtherFiles.clear();
    folderscan::ScanFolder(path, *folder, true);
    return TakeViewMode(doc, *folder);
}

}  // namespace folderload
