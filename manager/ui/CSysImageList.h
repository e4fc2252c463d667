#pragma once
// Small icons for files and folders from the desktop's icon theme, in one image list that
// the list views and the folder tree share. The first sixteen entries have fixed meanings
// (3 a folder, 15 the parent folder ".."); icons for file types are added behind them the
// first time a type is asked for, so an index stays valid for the life of the list.

#include <map>
#include <memory>
#include <string>

class wxImageList;

class CSysImageList {
public:
    static constexpr int kFileIconIndex = 0;
    static constexpr int kFolderIconIndex = 3;
    static constexpr int kOpenFolderIconIndex = 4;
    static constexpr int kParentFolderIconIndex = 15;
    static constexpr int kFixedIconCount = 16;

    // Builds the small list.
    CSysImageList();
    ~CSysImageList();
    CSysImageList(const CSysImageList&) = delete;
    CSysImageList& operator=(const CSysImageList&) = delete;

    // Makes the list; false when it exists already. Only small icons are kept.
    bool Init(bool small);
    // The icon of a file by its name alone (the file need not exist): by the type its
    // extension stands for, or the plain file icon.
    int GetIconIndex(const std::string& path, bool small = true);
    // The icon of the parent-folder entry "..".
    static int GetCurrentFolderIconIndex() { return kParentFolderIconIndex; }
    // The small list, or null when asked for large icons.
    wxImageList* GetImageList(bool small) const;

private:
    std::unique_ptr<wxImageList> m_list;
    std::map<std::string, int> m_byExtension;
};
