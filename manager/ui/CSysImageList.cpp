#include "manager/ui/CSysImageList.h"

#include "platform/FolderPaths.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>
#include <wx/mimetype.h>

#include <algorithm>
#include <cctype>

namespace {

constexpr int kIconSize = 16;

wxBitmap SmallIcon(const wxArtID& id)
{
    wxBitmap bitmap = wxArtProvider::GetBitmap(id, wxART_LIST, wxSize(kIconSize, kIconSize));
    if (bitmap.IsOk() && (bitmap.GetWidth() != kIconSize || bitmap.GetHeight() != kIconSize))
        bitmap = wxBitmap(bitmap.ConvertToImage().Scale(kIconSize, kIconSize, wxIMAGE_QUALITY_HIGH));
    return bitmap;
}

// Theme icon names for a MIME type, most specific first ("image/jpeg": "image-jpeg",
// then "image-x-generic").
std::vector<wxString> IconNamesForType(const wxString& mimeType)
{
    std::vector<wxString> names;
    if (mimeType.empty())
        return names;
    wxString specific = mimeType;
    specific.Replace("/", "-");
    names.push_back(specific);
    names.push_back(mimeType.BeforeFirst('/') + "-x-generic");
    return names;
}

}  // namespace

CSysImageList::CSysImageList() { Init(true); }

CSysImageList::~CSysImageList() = default;

bool CSysImageList::Init(bool small)
{
    if (m_list || !small)
        return false;
    m_list = std::make_unique<wxImageList>(kIconSize, kIconSize, true, kFixedIconCount);
    // The fixed entries, by the meaning each index had in the shell's list.
    const wxArtID fixed[kFixedIconCount] = {
        wxART_NORMAL_FILE, wxART_NORMAL_FILE, wxART_EXECUTABLE_FILE, wxART_FOLDER,
        wxART_FOLDER_OPEN, wxART_FLOPPY,      wxART_FLOPPY,          wxART_REMOVABLE,
        wxART_HARDDISK,    wxART_HARDDISK,    wxART_HARDDISK,        wxART_CDROM,
        wxART_HARDDISK,    wxART_GO_HOME,     wxART_NORMAL_FILE,     wxART_GO_DIR_UP,
    };
    const wxBitmap blank(kIconSize, kIconSize);
    for (const wxArtID& id : fixed) {
        const wxBitmap icon = SmallIcon(id);
        m_list->Add(icon.IsOk() ? icon : blank);
    }
    return true;
}

int CSysImageList::GetIconIndex(const std::string& path, bool /*small*/)
{
    const std::string ext = LowerExtension(path);
    if (ext.empty() || !m_list)
        return kFileIconIndex;
    if (auto it = m_byExtension.find(ext); it != m_byExtension.end())
        return it->second;

    int index = kFileIconIndex;
    std::unique_ptr<wxFileType> type(wxTheMimeTypesManager->GetFileTypeFromExtension(wxString::FromUTF8(ext)));
    wxString mimeType;
    if (type && type->GetMimeType(&mimeType)) {
        for (const wxString& name : IconNamesForType(mimeType)) {
            const wxBitmap icon = SmallIcon(wxART_MAKE_ART_ID_FROM_STR(name));
            if (icon.IsOk()) {
                index = m_list->Add(icon);
                break;
            }
        }
    }
    m_byExtension[ext] = index;
    return index;
}

wxImageList* CSysImageList::GetImageList(bool small) const { return small ? m_list.get() : nullptr; }
