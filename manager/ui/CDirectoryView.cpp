#include "manager/ui/CDirectoryView.h"

#include "manager/ui/CPaneHost.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/CSysImageList.h"
#include "manager/ui/FolderLoaders.h"
#include "platform/FolderPaths.h"
#include "platform/StringSort.h"
#include "platform/MountedVolumes.h"
#include "platform/SpecialFolders.h"
#include "platform/gui/NameText.h"

#include <wx/settings.h>
#include <wx/treectrl.h>
#include <wx/utils.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

wxIMPLEMENT_DYNAMIC_CLASS(CDirectoryView, CPaneView);

namespace {

// What a node stands for: its folder (or a share's mount point). The tree owns it and
// frees it with the node.
class NodeData : public wxTreeItemData {
public:
    NodeData(std::string path, bool network) : m_path(std::move(path)), m_network(network) {}
    std::string m_path;
    bool m_network;
};

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Calls visit(name) for each subfolder of path until it returns false. Hidden (dot)
// folders are left out, as the desktop's own folder choosers do.
template <typename Visit>
void ForEachSubfolder(const std::string& path, Visit visit)
{
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK)
            folder = IsFolder(JoinPath(path, name));
        if (folder && !visit(name))
            break;
    }
    closedir(dir);
}

bool IsNetworkFileSystem(const std::string& type)
{
    return type == "cifs" || type == "smb3" || type == "smbfs" || type == "nfs" || type == "nfs4" ||
           type == "fuse.gvfsd-fuse" || type == "fuse.sshfs";
}

std::string TrimTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

}  // namespace

wxWindow* CDirectoryView::CreatePaneWindow(wxWindow* parent, const wxSize& size)
{
    m_tree = new wxTreeCtrl(parent, wxID_ANY, wxDefaultPosition, size,
                            wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxTR_HIDE_ROOT | wxTR_SINGLE | wxBORDER_SUNKEN);
    m_tree->Bind(wxEVT_TREE_ITEM_EXPANDING, &CDirectoryView::OnItemExpanding, this);
    m_tree->Bind(wxEVT_TREE_ITEM_COLLAPSED, &CDirectoryView::OnItemCollapsed, this);
    m_tree->Bind(wxEVT_TREE_SEL_CHANGED, &CDirectoryView::OnSelChanged, this);
    m_tree->Bind(wxEVT_LEFT_UP, &CDirectoryView::OnLButtonUp, this);
    m_tree->Bind(wxEVT_TREE_DELETE_ITEM, [this](wxTreeEvent& event) {
        if (event.GetItem() == m_dropHighlight)
            m_dropHighlight.Unset();
        event.Skip();
    });
    if (auto* frame = dynamic_cast<CPaneHost*>(wxGetTopLevelParent(parent)); frame && frame->GetSysImageList())
        m_tree->SetImageList(frame->GetSysImageList()->GetImageList(true));
    InitTree("", true);
    return m_tree;
}

CQuorixDoc* CDirectoryView::Doc() const { return dynamic_cast<CQuorixDoc*>(GetDocument()); }

bool CDirectoryView::SetDropHighlight(const wxTreeItemId& node)
{
    if (!m_tree)
        return false;
    if (m_dropHighlight.IsOk() && m_dropHighlight != node)
        m_tree->SetItemDropHighlight(m_dropHighlight, false);
    m_dropHighlight.Unset();
    if (!node.IsOk())
        return true;
    m_tree->SetItemDropHighlight(node, true);
    // The control keeps the highlight as the node's colours: read back, they tell
    // whether it took.
    if (m_tree->GetItemBackgroundColour(node) != wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT))
        return false;
    m_dropHighlight = node;
    return true;
}

// ---- Building the tree ---------------------------------------------------------------

std::vector<std::string> CDirectoryView::RootFolders(const std::string& desktop)
{
    std::vector<std::string> roots;
    if (!desktop.empty() && desktop != "/" && IsFolder(desktop))
        roots.push_back(TrimTrailingSlashes(desktop));
    roots.push_back("/");
    // The other mounted volumes follow the root; network shares are under their own node.
    const std::vector<std::string> network = NetworkMounts();
    for (const std::string& volume : lfplat::MountedVolumes())
        if (volume != "/" && std::find(network.begin(), network.end(), volume) == network.end())
            roots.push_back(volume);
    return roots;
}

std::vector<std::string> CDirectoryView::NetworkMounts(const std::string& mountTable)
{
    std::ifstream in(mountTable);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> mounts;
    for (const lfplat::MountEntry& entry : lfplat::ParseMountTable(text))
        if (IsNetworkFileSystem(entry.type))
            mounts.push_back(entry.mountPoint);
    return mounts;
}

bool CDirectoryView::InitTree(const std::string& root, bool separateFiles)
{
    m_bSeparateFiles = separateFiles;
    if (!InsertRoots())
        return false;
    m_strRoot = root.empty() ? std::string() : root;
    // The first node starts selected; that first selection opens nothing.
    wxTreeItemIdValue cookie;
    if (const wxTreeItemId first = m_tree->GetFirstChild(m_root, cookie); first.IsOk())
        m_tree->SelectItem(first);
    return true;
}

bool CDirectoryView::InsertRoots()
{
    m_tree->DeleteAllItems();
    m_root = m_tree->AddRoot("");
    m_strDesktopPath = lfplat::DesktopFolder();
    for (const std::string& folder : RootFolders(m_strDesktopPath)) {
        const std::string text = folder == "/" ? folder : LastPathComponent(folder);
        if (const wxTreeItemId node = InsertShellItem(m_root, folder, text); node.IsOk() && !m_tree->HasChildren(node))
            AddPlaceholder(node);
    }
    const wxTreeItemId network = m_tree->AppendItem(m_root, kNetworkText, -1, -1, nullptr);
    AddPlaceholder(network);
    return true;
}

void CDirectoryView::AddPlaceholder(const wxTreeItemId& node) { m_tree->AppendItem(node, ""); }

wxTreeItemId CDirectoryView::InsertShellItem(const wxTreeItemId& parent, const std::string& path,
                                             const std::string& text, bool network)
{
    const int closed = m_tree->GetImageList() ? CSysImageList::kFolderIconIndex : -1;
    const int open = m_tree->GetImageList() ? CSysImageList::kOpenFolderIconIndex : -1;
    const wxTreeItemId node =
        m_tree->AppendItem(parent, lfplat::NameToDisplay(text), closed, open, new NodeData(path, network));
    if (parent != m_root && HasSubfolders(path))
        AddPlaceholder(node);
    return node;
}

bool CDirectoryView::HasSubfolders(const std::string& path)
{
    bool found = false;
    ForEachSubfolder(path, [&found](const std::string&) {
        found = true;
        return false;
    });
    return found;
}

void CDirectoryView::ExpandFolder(const wxTreeItemId& node, const std::string& path)
{
    if (!node.IsOk())
        return;
    std::vector<std::string> names;
    ForEachSubfolder(path, [&names](const std::string& name) {
        names.push_back(name);
        return true;
    });
    SortStringArray(names);
    const auto* data = dynamic_cast<NodeData*>(m_tree->GetItemData(node));
    const bool network = data && data->m_network;
    wxBusyCursor wait;
    m_tree->Freeze();
    for (const std::string& name : names)
        InsertShellItem(node, JoinPath(path, name), name, network);
    m_tree->Thaw();
}

void CDirectoryView::ExpandNetwork(const wxTreeItemId& node)
{
    for (const std::string& mount : NetworkMounts())
        InsertShellItem(node, mount, LastPathComponent(mount), true);
}

void CDirectoryView::RefreshChildren(const wxTreeItemId& node)
{
    m_tree->DeleteChildren(node);
    const std::string path = GetItemPath(node);
    if (path == kNetworkText)
        ExpandNetwork(node);
    else
        ExpandFolder(node, path);
}

void CDirectoryView::OnItemExpanding(wxTreeEvent& event)
{
    m_bExpandClick = true;
    RefreshChildren(event.GetItem());
}

void CDirectoryView::OnItemCollapsed(wxTreeEvent& event)
{
    m_bExpandClick = true;
    // Forgotten when closed, listed afresh when opened again.
    m_tree->DeleteChildren(event.GetItem());
    AddPlaceholder(event.GetItem());
}

// ---- Paths ---------------------------------------------------------------------------

std::string CDirectoryView::GetItemPath(const wxTreeItemId& node) const
{
    if (!node.IsOk() || node == m_root)
        return {};
    if (const auto* data = dynamic_cast<NodeData*>(m_tree->GetItemData(node)))
        return data->m_path;
    // Placeholders have no text; the network node has its own.
    return m_tree->GetItemText(node).utf8_string();
}

bool CDirectoryView::CheckDrivePath(const std::string& path) const
{
    const std::string wanted = TrimTrailingSlashes(path);
    if (wanted.empty() || wanted[0] != '/')
        return false;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId top = m_tree->GetFirstChild(m_root, cookie); top.IsOk();
         top = m_tree->GetNextChild(m_root, cookie)) {
        const std::string root = GetItemPath(top);
        const bool holds = root == "/" || wanted == root || wanted.rfind(root + "/", 0) == 0;
        if (!root.empty() && root[0] == '/' && holds)
            return IsFolder(wanted);
    }
    return false;
}

wxTreeItemId CDirectoryView::FindChild(const wxTreeItemId& parent, const std::string& text) const
{
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = m_tree->GetFirstChild(parent, cookie); child.IsOk();
         child = m_tree->GetNextChild(parent, cookie)) {
        // By the folder's own name: its label is only text to read.
        const auto* data = dynamic_cast<NodeData*>(m_tree->GetItemData(child));
        if (data ? LastPathComponent(data->m_path) == text : m_tree->GetItemText(child).utf8_string() == text)
            return child;
    }
    return {};
}

bool CDirectoryView::SelectPath(const std::string& path)
{
    if (!CheckDrivePath(path))
        return false;
    const std::string wanted = TrimTrailingSlashes(path);
    // The deepest top-level folder that holds the path (the desktop before "/").
    wxTreeItemId node;
    std::string nodePath;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId top = m_tree->GetFirstChild(m_root, cookie); top.IsOk();
         top = m_tree->GetNextChild(m_root, cookie)) {
        const std::string root = GetItemPath(top);
        if (root.empty() || root[0] != '/')
            continue;
        if (root == "/" || wanted == root || wanted.rfind(root + "/", 0) == 0) {
            node = top;
            nodePath = root;
            break;
        }
    }
    if (!node.IsOk())
        return false;
    std::string rest = nodePath == "/" ? wanted.substr(1) : wanted.substr(nodePath.size());
    while (!rest.empty() && rest[0] == '/')
        rest.erase(0, 1);
    while (node.IsOk() && !rest.empty()) {
        const size_t slash = rest.find('/');
        const std::string segment = rest.substr(0, slash);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
        if (segment.empty())
            continue;
        // Opening lists the children afresh, also of a node that was open before.
        if (m_tree->IsExpanded(node))
            m_tree->Collapse(node);
        m_tree->Expand(node);
        node = FindChild(node, segment);
    }
    if (!node.IsOk())
        return false;
    if (m_tree->GetSelection() == node)
        OpenFolder(GetItemPath(node), false);  // selecting it again raises no event
    else
        m_tree->SelectItem(node);
    return true;
}

// ---- Opening folders -----------------------------------------------------------------

void CDirectoryView::LoadFolder(const std::string& path)
{
    CQuorixDoc* doc = Doc();
    if (!doc)
        return;
    wxBusyCursor wait;
    if (folderload::LoadTreeFolder(*doc, path, m_bSeparateFiles, this))
        if (auto* frame = dynamic_cast<CPaneHost*>(wxGetTopLevelParent(m_tree)))
            frame->SwitchImageView(doc->m_nViewMode);
}

void CDirectoryView::OpenFolder(const std::string& path, bool fromClick)
{
    CQuorixDoc* doc = Doc();
    if (!doc || path.empty() || path == kNetworkText)
        return;
    CFolderItem* found = doc->FindFolderByPath(path);
    if (fromClick && found && (!doc->GetCurrentFolder() || doc->GetCurrentFolder() == found))
        return;
    if (!found) {
        doc->m_bFolderChanged = true;
        LoadFolder(path);
        return;
    }
    if (!found->m_bThumbsComplete)
        found->m_bThumbsNeeded = true;
    if (found->ImageCount() == 0) {
        LoadFolder(path);
        return;
    }
    wxBusyCursor wait;
    // Stops the loaders (waiting, without a dialog) before the records change hands.
    doc->SetCurrentFolder(found);
    if (found->m_nViewMode != doc->m_nViewMode) {
        doc->m_nViewMode = found->m_nViewMode;
        if (auto* frame = dynamic_cast<CPaneHost*>(wxGetTopLevelParent(m_tree)))
            frame->SwitchImageView(doc->m_nViewMode);
    }
    doc->UpdateAllViews(this);
}

void CDirectoryView::OnSelChanged(wxTreeEvent& event)
{
    const wxTreeItemId node = event.GetItem();
    const std::string path = GetItemPath(node);
    if (!node.IsOk() || path.empty())
        return;
    CQuorixDoc* doc = Doc();
    if (doc && doc->GetAppState() && doc->GetAppState()->m_bDragging)
        return;
    if (m_bFirstSelection) {
        m_bFirstSelection = false;
        return;
    }
    OpenFolder(path, false);
    m_bFirstSelection = false;
    m_bSelectedByClick = wxGetMouseState().LeftIsDown();
}

void CDirectoryView::OnLButtonUp(wxMouseEvent& event)
{
    if (m_bExpandClick) {
        m_bExpandClick = false;
        return;
    }
    // A click that changed the selection has opened its folder already.
    if (std::exchange(m_bSelectedByClick, false)) {
        event.Skip();
        return;
    }
    const wxTreeItemId selected = m_tree->GetSelection();
    wxRect label;
    if (selected.IsOk() && m_tree->GetBoundingRect(selected, label, true) &&
        (event.GetX() > label.GetRight() || event.GetY() > label.GetBottom())) {
        m_bExpandClick = false;
        return;
    }
    if (selected.IsOk())
        OpenFolder(GetItemPath(selected), true);
    event.Skip();
}
