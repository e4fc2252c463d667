#pragma once
// The folder tree: the desktop, the file system root and the network shares, listed
// level by level as the user opens nodes. Choosing a folder makes it the document's
// current folder: a recent folder that holds images at once, any other one through the
// tree's folder load.

#include "manager/ui/CPaneView.h"

#include <wx/treebase.h>

#include <string>
#include <vector>

class CQuorixDoc;
class wxTreeCtrl;
class wxTreeEvent;

class CDirectoryView : public CPaneView {
    wxDECLARE_DYNAMIC_CLASS(CDirectoryView);

public:
    static constexpr const char* kNetworkText = "Network Neighborhood";

    // Fills the tree with its roots; separateFiles is handed to the folder load.
    bool InitTree(const std::string& root, bool separateFiles);
    bool InsertRoots();
    // Appends a node for a folder (path) under parent, with an expand button when the
    // folder has subfolders (always for a top-level node).
    wxTreeItemId InsertShellItem(const wxTreeItemId& parent, const std::string& path, const std::string& text,
                                 bool network = false);
    // Lists the subfolders of path under node, sorted without regard to letter case.
    void ExpandFolder(const wxTreeItemId& node, const std::string& path);
    // The network node lists the mounted network shares.
    void ExpandNetwork(const wxTreeItemId& node);
    void RefreshChildren(const wxTreeItemId& node);
    // The folder a node stands for ("" for none; the network node gives its text).
    std::string GetItemPath(const wxTreeItemId& node) const;
    // True when a top-level node holds path and path is a folder.
    bool CheckDrivePath(const std::string& path) const;
    wxTreeItemId FindChild(const wxTreeItemId& parent, const std::string& text) const;
    // Opens the nodes down to path and selects it, which opens the folder.
    bool SelectPath(const std::string& path);
    static bool HasSubfolders(const std::string& path);
    // The tree's folder load (a new or image-less recent record made current).
    void LoadFolder(const std::string& path);

    // The top-level folders: the desktop, "/", then the other mounted volumes (the
    // network node follows them).
    static std::vector<std::string> RootFolders(const std::string& desktop);
    // Mount points of network file systems of a mount table (/proc/self/mounts layout).
    static std::vector<std::string> NetworkMounts(const std::string& mountTable = "/proc/self/mounts");

    wxTreeCtrl* GetTree() const { return m_tree; }

    // The drop target of rows dragged from a list: drawn highlighted, the selection left
    // as it is. An invalid node clears it. False when the node could not be highlighted.
    bool SetDropHighlight(const wxTreeItemId& node);
    wxTreeItemId GetDropHighlight() const { return m_dropHighlight; }
    const std::string& GetDesktopPath() const { return m_strDesktopPath; }

protected:
    wxWindow* CreatePaneWindow(wxWindow* parent, const wxSize& size) override;

private:
    CQuorixDoc* Doc() const;
    void OpenFolder(const std::string& path, bool fromClick);
    void AddPlaceholder(const wxTreeItemId& node);
    void OnItemExpanding(wxTreeEvent& event);
    void OnItemCollapsed(wxTreeEvent& event);
    void OnSelChanged(wxTreeEvent& event);
    void OnLButtonUp(wxMouseEvent& event);

    wxTreeCtrl* m_tree = nullptr;
    wxTreeItemId m_root;  // hidden
    std::string m_strDesktopPath;
    bool m_bExpandClick = false;
    bool m_bSeparateFiles = false;
    std::string m_strError;
    std::string m_strRoot;
    bool m_bFirstSelection = true;
    bool m_bSelectedByClick = false;  // the selection changed since the last button release
    wxTreeItemId m_dropHighlight;
};
