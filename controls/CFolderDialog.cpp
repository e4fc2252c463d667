#include "controls/CFolderDialog.h"

#include "platform/SpecialFolders.h"
#include "platform/gui/NameText.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <algorithm>
#include <filesystem>
#include <strings.h>

namespace fs = std::filesystem;

namespace {

bool IsFolder(const wxString& path)
{
    std::error_code ec;
    return !path.empty() && path[0] == '/' && fs::is_directory(fs::path(lfplat::PathFromText(path)), ec);
}

wxString Normalised(const wxString& path)
{
    wxString out = lfplat::PathToText(fs::path(lfplat::PathFromText(path)).lexically_normal().string());
    while (out.length() > 1 && out.EndsWith(wxASCII_STR("/")))
        out.RemoveLast();
    return out;
}

}  // namespace

CFolderDialog::CFolderDialog(wxString* result, wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxASCII_STR("Choose folder"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_result(result)
{
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticText(this, wxID_ANY, wxASCII_STR("Look in:")), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    m_lookIn = new wxStaticText(this, ID_LOOK_IN, wxString(), wxDefaultPosition, wxDefaultSize,
                                wxST_ELLIPSIZE_START | wxST_NO_AUTORESIZE);
    row->Add(m_lookIn, 1, wxALIGN_CENTER_VERTICAL);
    row->Add(new wxButton(this, ID_UP, wxASCII_STR("Up")), 0, wxLEFT, 6);
    top->Add(row, 0, wxEXPAND | wxALL, 8);
    m_list = new wxListBox(this, ID_FOLDER_LIST, wxDefaultPosition, wxSize(360, 240), 0, nullptr, wxLB_SINGLE);
    top->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    auto* select = new wxButton(this, wxID_OK, wxASCII_STR("Select"));
    select->SetDefault();
    buttons->Add(select, 0, wxRIGHT, 4);
    buttons->Add(new wxButton(this, wxID_CANCEL, wxASCII_STR("Cancel")));
    top->Add(buttons, 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(top);

    m_list->Bind(wxEVT_LISTBOX_DCLICK, &CFolderDialog::OnOpenEntry, this);
    Bind(wxEVT_BUTTON, &CFolderDialog::OnUp, this, ID_UP);
    Bind(wxEVT_BUTTON, &CFolderDialog::OnSelect, this, wxID_OK);

    if (!(result && OpenFolder(*result)) && !OpenFolder(lfplat::PathToText(lfplat::HomeFolder())))
        OpenFolder(wxASCII_STR("/"));
    CentreOnParent();
}

bool CFolderDialog::OpenFolder(const wxString& folder)
{
    if (!IsFolder(folder))
        return false;
    m_folder = Normalised(folder);
    Fill();
    return true;
}

void CFolderDialog::Fill()
{
    const std::string folder = lfplat::PathFromText(m_folder);
    m_lookIn->SetLabelText(lfplat::NameToDisplay(folder));
    std::vector<std::string>& names = m_names;
    names.clear();
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied,
                                   ec),
         end;
         !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        std::string name = it->path().filename().string();
        if (it->is_directory(typeError) && !name.empty() && name[0] != '.')
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    m_list->Clear();
    for (const std::string& name : names)
        m_list->Append(lfplat::NameToDisplay(name));
}

void CFolderDialog::OnOpenEntry(wxCommandEvent& event)
{
    const int index = event.GetSelection();
    if (index < 0 || size_t(index) >= m_names.size())
        return;
    // The entry's own bytes: the list shows only their text.
    std::string folder = lfplat::PathFromText(m_folder);
    if (folder != "/")
        folder += '/';
    OpenFolder(lfplat::PathToText(folder + m_names[size_t(index)]));
}

void CFolderDialog::OnUp(wxCommandEvent&)
{
    OpenFolder(lfplat::PathToText(fs::path(lfplat::PathFromText(m_folder)).parent_path().string()));
}

void CFolderDialog::OnSelect(wxCommandEvent&)
{
    if (m_result)
        *m_result = m_folder;
    EndModal(wxID_OK);
}
