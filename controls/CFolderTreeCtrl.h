#pragma once
// A tree of the folders a user can reach (hidden dot folders left out): "Desktop", under it "My Computer" with the
// mounted volumes, and the folders on them. A branch is read from disk when it is
// expanded and forgotten when it is collapsed, so each expansion shows the disk as it is.
// Items carry fixed shared icons; the icon list never grows.

#include <wx/imaglist.h>
#include <wx/treectrl.h>

#include <functional>
#include <string>
#include <vector>

class CFolderTreeCtrl : public wxTreeCtrl {
public:
    // Lists the mount points shown under "My Computer"; by default the mounted volumes.
    using VolumeLister = std::function<std::vector<std::string>()>;

    CFolderTreeCtrl() = default;
    CFolderTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                    const wxSize& size = wxDefaultSize, long style = wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT);
    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT);

    void SetVolumeLister(VolumeLister lister) { m_volumeLister = std::move(lister); }

    // Builds the top of the tree: "Desktop" expanded, "My Computer" under it collapsed.
    void Populate(bool clearFirst = true);
    // Builds a tree whose top is one folder instead; false when it is not a folder.
    bool PopulateRoot(const wxString& folder);

    // Expands down to the folder of an absolute path and selects it; false at the first
    // part that has no matching child (what was expanded so far stays expanded).
    bool SelectFolder(const std::string& path);
    // The same for a path carried as text (lfplat::PathToText).
    bool SelectPath(const wxString& path);

    // The item's path; folders that still show children end in "/", a folder expanded
    // and found empty does not, a volume is its mount point with "/". Empty for
    // "My Computer" and for the placeholder that makes an item expandable.
    std::string GetItemFolder(const wxTreeItemId& item) const;
    // The same path carried as text (lfplat::PathToText): its bytes come back whole.
    wxString GetItemPath(const wxTreeItemId& item) const;

    wxTreeItemId GetDesktopItem() const { return m_desktopItem; }
    wxTreeItemId GetComputerItem() const { return m_computerItem; }

    // True when the name ends in ".exe".
    virtual bool IsExecutableName(const wxString& name) const;

    enum class ItemKind { Placeholder, Desktop, Computer, Volume, Folder, TopFolder };
    ItemKind GetItemKind(const wxTreeItemId& item) const;

private:
    class ItemData;
    enum Icon { kIconBlank, kIconDesktop, kIconComputer, kIconVolume, kIconFolder, kIconFolderOpen, kIconCount };

    void MakeImages();
    wxTreeItemId AddItem(const wxTreeItemId& parent, const wxString& text, ItemKind kind, const std::string& root,
                         int image, int selectedImage, bool expandable, const std::string& name = {});
    void AddPlaceholder(const wxTreeItemId& parent);
    void FillItem(const wxTreeItemId& item);
    void OnExpanding(wxTreeEvent& event);
    void OnCollapsed(wxTreeEvent& event);
    wxTreeItemId FindChild(const wxTreeItemId& parent, const std::string& part) const;

    wxImageList m_images;
    wxTreeItemId m_desktopItem;
    wxTreeItemId m_computerItem;
    std::string m_desktopPath;
    VolumeLister m_volumeLister;
};
