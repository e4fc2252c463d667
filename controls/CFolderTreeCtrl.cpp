#include "controls/CFolderTreeCtrl.h"

#include "controls/model/FolderTreePath.h"
#include "platform/MountedVolumes.h"
#include "platform/SpecialFolders.h"
#include "platform/gui/NameText.h"

#include <wx/artprov.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>

#include <algorithm>
#include <filesystem>
#include <strings.h>

namespace fs = std::filesystem;

namespace {

constexpr int kIconSize = 16;

// Paths travel as the system's bytes; labels are only for reading.
std::string ToBytes(const wxString& text) { return lfplat::PathFromText(text); }
wxString ToText(const std::string& path) { return lfplat::PathToText(path); }

// The desktop folder: ~/Desktop when it exists, else the home folder.
std::string DesktopFolder()
{
    const std::string home = lfplat::HomeFolder();
    std::error_code ec;
    if (fs::is_directory(home + "/Desktop", ec))
        return home + "/Desktop";
    return home;
}

wxBitmap ArtIcon(std::initializer_list<wxArtID> ids)
{
    for (const wxArtID& id : ids) {
        wxBitmap bitmap = wxArtProvider::GetBitmap(id, wxART_OTHER, wxSize(kIconSize, kIconSize));
        if (bitmap.IsOk()) {
            if (bitmap.GetWidth() != kIconSize || bitmap.GetHeight() != kIconSize)
                bitmap = wxBitmap(bitmap.ConvertToImage().Rescale(kIconSize, kIconSize, wxIMAGE_QUALITY_HIGH));
            return bitmap;
        }
    }
    wxBitmap blank(kIconSize, kIconSize);
    {
        wxMemoryDC dc(blank);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
    }
    blank.SetMask(new wxMask(blank, *wxWHITE));
    return blank;
}

// The folders of a folder by name, without regard to case; hidden (dot) folders are left out.
std::vector<std::string> SubfolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError))
            continue;
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = strcasecmp(a.c_str(), b.c_str());
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

}  // namespace

class CFolderTreeCtrl::ItemData : public wxTreeItemData {
public:
    ItemData(ItemKind kind, std::string root, std::string name)
        : kind(kind), root(std::move(root)), name(std::move(name))
    {
    }
    ItemKind kind;
    std::string root;  // volumes, the desktop and a top folder: their path ending in "/"
    std::string name;  // a folder: its name as the system gives it
};

CFolderTreeCtrl::CFolderTreeCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
{
    Create(parent, id, pos, size, style);
}

bool CFolderTreeCtrl::Create(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size, long style)
{
    if (!wxTreeCtrl::Create(parent, id, pos, size, style))
        return false;
    MakeImages();
    Bind(wxEVT_TREE_ITEM_EXPANDING, &CFolderTreeCtrl::OnExpanding, this);
    Bind(wxEVT_TREE_ITEM_COLLAPSED, &CFolderTreeCtrl::OnCollapsed, this);
    return true;
}

void CFolderTreeCtrl::MakeImages()
{
    m_images.Create(kIconSize, kIconSize, true, kIconCount);
    m_images.Add(ArtIcon({}));
    m_images.Add(ArtIcon({wxASCII_STR("user-desktop"), wxART_GO_HOME}));
    m_images.Add(ArtIcon({wxASCII_STR("computer"), wxART_HARDDISK}));
    m_images.Add(ArtIcon({wxART_HARDDISK}));
    m_images.Add(ArtIcon({wxART_FOLDER}));
    m_images.Add(ArtIcon({wxART_FOLDER_OPEN, wxART_FOLDER}));
    SetImageList(&m_images);
}

CFolderTreeCtrl::ItemKind CFolderTreeCtrl::GetItemKind(const wxTreeItemId& item) const
{
    const auto* data = item.IsOk() ? static_cast<ItemData*>(GetItemData(item)) : nullptr;
    return data ? data->kind : ItemKind::Placeholder;
}

wxTreeItemId CFolderTreeCtrl::AddItem(const wxTreeItemId& parent, const wxString& text, ItemKind kind,
                                      const std::string& root, int image, int selectedImage, bool expandable,
                                      const std::string& name)
{
    auto* data = new ItemData(kind, root, name);
    const wxTreeItemId item = parent.IsOk() ? AppendItem(parent, text, image, selectedImage, data)
                                            : AddRoot(text, image, selectedImage, data);
    if (expandable)
        AddPlaceholder(item);
    return item;
}

void CFolderTreeCtrl::AddPlaceholder(const wxTreeItemId& parent)
{
    AppendItem(parent, wxString(), kIconBlank, kIconBlank);
}

void CFolderTreeCtrl::Populate(bool clearFirst)
{
    // A tree has one top item, so an existing tree is always cleared.
    if (clearFirst || GetRootItem().IsOk())
        DeleteAllItems();
    m_desktopPath = DesktopFolder();
    m_desktopItem = AddItem({}, wxASCII_STR("Desktop"), ItemKind::Desktop, VolumeRoot(m_desktopPath), kIconDesktop,
                            kIconDesktop, false);
    m_computerItem = AddItem(m_desktopItem, wxASCII_STR("My Computer"), ItemKind::Computer, {}, kIconComputer,
                             kIconComputer, true);
    Expand(m_desktopItem);
}

bool CFolderTreeCtrl::PopulateRoot(const wxString& folder)
{
    const std::string path = ToBytes(folder);
    std::error_code ec;
    if (path.empty() || path[0] != '/' || !fs::is_directory(path, ec))
        return false;
    DeleteAllItems();
    m_desktopItem = m_computerItem = wxTreeItemId();
    const wxTreeItemId top = AddItem({}, lfplat::NameToDisplay(path), ItemKind::TopFolder, VolumeRoot(path), kIconFolder,
                                     kIconFolderOpen, true);
    Expand(top);
    return true;
}

void CFolderTreeCtrl::FillItem(const wxTreeItemId& item)
{
    DeleteChildren(item);
    switch (GetItemKind(item)) {
    case ItemKind::Desktop:
        // The desktop holds "My Computer" alone.
        m_computerItem = AddItem(item, wxASCII_STR("My Computer"), ItemKind::Computer, {}, kIconComputer,
                                 kIconComputer, true);
        break;
    case ItemKind::Computer: {
        const std::vector<std::string> volumes = m_volumeLister ? m_volumeLister() : lfplat::MountedVolumes();
        for (const std::string& mountPoint : volumes)
            AddItem(item, lfplat::NameToDisplay(mountPoint), ItemKind::Volume, VolumeRoot(mountPoint), kIconVolume, kIconVolume,
                    true);
        break;
    }
    case ItemKind::Volume:
    case ItemKind::Folder:
    case ItemKind::TopFolder: {
        std::string folder = GetItemFolder(item);
        if (folder.empty())
            break;
        if (folder.back() != '/')
            folder += '/';
        for (const std::string& name : SubfolderNames(folder))
            AddItem(item, lfplat::NameToDisplay(name), ItemKind::Folder, {}, kIconFolder, kIconFolderOpen, true, name);
        break;
    }
    case ItemKind::Placeholder: break;
    }
}

void CFolderTreeCtrl::OnExpanding(wxTreeEvent& event)
{
    FillItem(event.GetItem());
    event.Skip();
}

void CFolderTreeCtrl::OnCollapsed(wxTreeEvent& event)
{
    // Forget the branch; the next expansion reads the disk anew.
    const wxTreeItemId item = event.GetItem();
    if (GetItemKind(item) != ItemKind::Placeholder) {
        DeleteChildren(item);
        AddPlaceholder(item);
    }
    event.Skip();
}

wxString CFolderTreeCtrl::GetItemPath(const wxTreeItemId& item) const { return ToText(GetItemFolder(item)); }

std::string CFolderTreeCtrl::GetItemFolder(const wxTreeItemId& item) const
{
    if (!item.IsOk())
        return {};
    switch (GetItemKind(item)) {
    case ItemKind::Placeholder:
    case ItemKind::Computer: return {};
    case ItemKind::Desktop:
    case ItemKind::Volume:
    case ItemKind::TopFolder: return static_cast<ItemData*>(GetItemData(item))->root;
    case ItemKind::Folder: break;
    }
    std::vector<std::string> names;
    wxTreeItemId at = item;
    while (at.IsOk() && GetItemKind(at) == ItemKind::Folder) {
        names.push_back(static_cast<ItemData*>(GetItemData(at))->name);
        at = GetItemParent(at);
    }
    if (!at.IsOk() || GetItemKind(at) == ItemKind::Computer || GetItemKind(at) == ItemKind::Placeholder)
        return {};
    std::reverse(names.begin(), names.end());
    const std::string& root = static_cast<ItemData*>(GetItemData(at))->root;
    return JoinItemPath(root, names, GetChildrenCount(item, false) > 0);
}

wxTreeItemId CFolderTreeCtrl::FindChild(const wxTreeItemId& parent, const std::string& part) const
{
    std::vector<std::string> names;
    std::vector<wxTreeItemId> items;
    wxTreeItemIdValue cookie;
    for (wxTreeItemId child = GetFirstChild(parent, cookie); child.IsOk(); child = GetNextChild(parent, cookie)) {
        if (GetItemKind(child) == ItemKind::Placeholder)
            continue;
        names.push_back(static_cast<ItemData*>(GetItemData(child))->name);
        items.push_back(child);
    }
    const auto index = MatchChildName(names, part);
    return index ? items[*index] : wxTreeItemId();
}

bool CFolderTreeCtrl::SelectPath(const wxString& pathText) { return SelectFolder(ToBytes(pathText)); }

bool CFolderTreeCtrl::SelectFolder(const std::string& path)
{
    wxTreeItemId current;
    std::string root;
    const wxTreeItemId top = GetRootItem();
    if (GetItemKind(top) == ItemKind::TopFolder) {
        root = static_cast<ItemData*>(GetItemData(top))->root;
        if (FindVolume({root}, path) != 0)
            return false;
        current = top;
    } else {
        if (!m_computerItem.IsOk())
            return false;
        Expand(m_computerItem);
        std::vector<std::string> roots;
        std::vector<wxTreeItemId> volumes;
        wxTreeItemIdValue cookie;
        for (wxTreeItemId child = GetFirstChild(m_computerItem, cookie); child.IsOk();
             child = GetNextChild(m_computerItem, cookie)) {
            roots.push_back(static_cast<ItemData*>(GetItemData(child))->root);
            volumes.push_back(child);
        }
        const auto volume = FindVolume(roots, path);
        if (!volume)
            return false;
        root = roots[*volume];
        current = volumes[*volume];
    }
    Expand(current);
    for (const std::string& part : PathPartsAfter(root, path)) {
        const wxTreeItemId child = FindChild(current, part);
        if (!child.IsOk())
            return false;
        current = child;
        Expand(current);
    }
    SelectItem(current);
    EnsureVisible(current);
    return true;
}

bool CFolderTreeCtrl::IsExecutableName(const wxString& name) const { return name.EndsWith(wxASCII_STR(".exe")); }
