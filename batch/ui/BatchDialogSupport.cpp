#include "batch/ui/BatchDialogSupport.h"

#include "manager/ui/CQuorixDoc.h"
#include "platform/gui/NameText.h"
#include "resources/manager/ManagerStrings.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace batch {

void ShowMessageBox(wxWindow* parent, const std::string& text, MessageKind kind)
{
    long style = wxOK;
    if (kind == MessageKind::Information)
        style |= wxICON_INFORMATION;
    else if (kind == MessageKind::Error)
        style |= wxICON_ERROR;
    wxMessageBox(lfplat::NameToDisplay(text), mstr::kAppTitle, style, parent);
}

bool AskOkCancel(wxWindow* parent, const std::string& text)
{
    return wxMessageBox(lfplat::NameToDisplay(text), mstr::kAppTitle, wxOK | wxCANCEL | wxICON_INFORMATION, parent) ==
           wxOK;
}

void ShowJobResult(CQuorixDoc& doc, const std::string& folder, const BatchHost& host)
{
    if (!folder.empty()) {
        if (host.openFolder)
            host.openFolder(doc, folder);
        doc.m_bFolderChanged = true;
    }
    if (doc.GetCurrentFolder())
        doc.Refresh();
}

void ShowListWindow(wxWindow* parent, const std::string& caption, const std::string& heading, const std::string& lines)
{
    // However many lines there are, the window keeps its size: the list scrolls, and a
    // long line (a path and its error) breaks rather than running out of sight.
    wxDialog box(parent, wxID_ANY, wxString::FromUTF8(caption), wxDefaultPosition, wxDefaultSize,
                 wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new wxStaticText(&box, wxID_ANY, wxString::FromUTF8(heading)), 0, wxALL, 10);
    auto* list = new wxTextCtrl(&box, wxID_ANY, lfplat::NameToDisplay(lines), wxDefaultPosition, wxSize(560, 280),
                                wxTE_MULTILINE | wxTE_READONLY | wxTE_BESTWRAP);
    top->Add(list, 1, wxEXPAND | wxLEFT | wxRIGHT, 10);
    top->Add(box.CreateButtonSizer(wxOK), 0, wxEXPAND | wxALL, 10);
    box.SetSizerAndFit(top);
    box.CentreOnParent();
    box.ShowModal();
}

void ShowFailureSummary(const BatchHost& host, const std::string& caption, const std::vector<std::string>& failures)
{
    if (failures.empty())
        return;
    ShowListWindow(host.mainWindow ? host.mainWindow() : nullptr, caption, FailureHeading(failures.size()),
                   FailureListText(failures));
}

void DropFromSelection(CQuorixDoc& doc, const std::string& path)
{
    for (size_t i = 0; i < doc.GetSelectedImageCount(); ++i) {
        if (doc.GetSelectedImage(i)->m_strPath == path) {
            doc.UpdateSelectionList(doc.GetSelectedImage(i), false);
            return;
        }
    }
}

}  // namespace batch
