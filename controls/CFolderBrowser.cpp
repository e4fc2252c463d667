#include "controls/CFolderBrowser.h"

#include "controls/CFolderTreeCtrl.h"
#include "controls/model/FolderTreePath.h"
#include "platform/gui/NameText.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

bool CFolderBrowser::Validate(const wxString&, wxString& status)
{
    status.clear();
    return true;
}

bool CFolderBrowser::Browse(wxWindow* parent)
{
    const wxString initial =
        wxString::FromUTF8(TrimInitialFolder(m_strInitialFolder.utf8_string()));

    wxDialog dialog(parent, wxID_ANY, m_strCaption.empty() ? wxString(wxASCII_STR("Browse for Folder")) : m_strCaption,
                    wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER,
                    wxString::FromAscii(kDialogName));
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new wxStaticText(&dialog, wxID_ANY, m_strPrompt.empty() ? wxString(wxASCII_STR("Open")) : m_strPrompt), 0,
             wxALL, 8);
    wxStaticText* status = nullptr;
    if (m_bStatusLine) {
        status = new wxStaticText(&dialog, ID_STATUS, wxString());
        top->Add(status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    }
    auto* tree = new CFolderTreeCtrl(&dialog, ID_TREE, wxDefaultPosition, wxSize(320, 300));
    top->Add(tree, 1, wxEXPAND | wxLEFT | wxRIGHT, 8);
    top->Add(dialog.CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 8);
    dialog.SetSizerAndFit(top);
    dialog.CentreOnParent();

    if (m_strRoot.empty())
        tree->Populate(true);
    else if (!tree->PopulateRoot(m_strRoot))
        return false;

    wxWindow* ok = dialog.FindWindow(wxID_OK);
    auto onSelection = [tree, status, ok, this](wxTreeEvent&) {
        const wxTreeItemId item = tree->GetSelection();
        const wxString path =
            item.IsOk() ? lfplat::PathToText(ChosenFolderPath(tree->GetItemFolder(item))) : wxString();
        wxString text;
        const bool valid = Validate(path, text);
        if (status)
            status->SetLabelText(text);
        if (ok)
            ok->Enable(valid);
    };
    tree->Bind(wxEVT_TREE_SEL_CHANGED, onSelection);
    if (!initial.empty())
        tree->SelectPath(initial);

    const int answer = dialog.ShowModal();
    tree->Unbind(wxEVT_TREE_SEL_CHANGED, onSelection);
    if (answer != wxID_OK)
        return false;
    const wxTreeItemId chosen = tree->GetSelection();
    if (!chosen.IsOk())
        return false;
    m_nImageIndex = tree->GetItemImage(chosen);
    const wxString name = tree->GetItemText(chosen);
    const std::string path = tree->GetItemFolder(chosen);
    if (!path.empty()) {
        m_strPath = lfplat::PathToText(ChosenFolderPath(path));
        return true;
    }
    m_strPath = name;
    return false;
}
