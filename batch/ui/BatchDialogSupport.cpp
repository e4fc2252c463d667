#include "batch/ui/BatchDialogSupport.h"

#include "manager/ui/CDirectoryView.h"
#include "manager/ui/CMainFrame.h"
#include "manager/ui/CQuorixDoc.h"
#include "resources/manager/ManagerStrings.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

namespace batch {

void ShowMessageBox(wxWindow* parent, const std::string& text, MessageKind kind)
{
    long style = wxOK;
    if (kind == MessageKind::Information)
        style |= wxICON_INFORMATION;
    else if (kind == MessageKind::Error)
        style |= wxICON_ERROR;
    wxMessageBox(wxString::FromUTF8(text), mstr::kAppTitle, style, parent);
}

bool AskOkCancel(wxWindow* parent, const std::string& text)
{
    return wxMessageBox(wxString::FromUTF8(text), mstr::kAppTitle, wxOK | wxCANCEL | wxICON_INFORMATION, parent) ==
           wxOK;
}

void ShowJobResult(CQuorixDoc& doc, const std::string& folder)
{
    if (!folder.empty()) {
        auto* frame = dynamic_cast<CMainFrame*>(wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
        if (auto* tree = frame ? dynamic_cast<CDirectoryView*>(frame->GetDirectoryView()) : nullptr) {
            if (wxDocManager* manager = doc.GetDocumentManager())
                manager->ActivateView(tree);
            tree->SelectPath(folder);
        }
        doc.m_bFolderChanged = true;
    }
    if (doc.GetCurrentFolder())
        doc.Refresh();
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
