#include "manager/ui/CQuorixDocManager.h"

#include "resources/manager/ManagerStrings.h"

#include <wx/filehistory.h>

#include <vector>

CQuorixDocManager::CQuorixDocManager() : wxDocManager(0, false) { Initialize(); }

wxFileHistory* CQuorixDocManager::OnCreateFileHistory() { return new wxFileHistory(mstr::kRecentFileCount); }

wxDocument* CQuorixDocManager::CreateDocument(const wxString& pathGiven, long flags)
{
    if (GetDocuments().empty())
        return wxDocManager::CreateDocument(pathGiven, flags);
    auto* doc = static_cast<wxDocument*>(GetDocuments().GetFirst()->GetData());

    const bool isNew = (flags & wxDOC_NEW) != 0;
    wxString path = pathGiven;
    if (!isNew && path.empty()) {
        std::vector<wxDocTemplate*> templates;
        for (wxObject* item : GetTemplates())
            if (auto* t = static_cast<wxDocTemplate*>(item); t->IsVisible())
                templates.push_back(t);
        if (templates.empty() ||
            !SelectDocumentPath(templates.data(), static_cast<int>(templates.size()), path, flags) || path.empty())
            return nullptr;
    }
    if (!doc->OnSaveModified())
        return nullptr;
    if (isNew) {
        if (!doc->OnNewDocument())
            return nullptr;
        // What a fresh document's views get when they are made.
        doc->UpdateAllViews();
    } else {
        // Reading the file updates the views.
        if (!doc->OnOpenDocument(path))
            return nullptr;
        AddFileToHistory(path);
    }
    doc->Activate();
    return doc;
}
