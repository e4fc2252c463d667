#include "manager/ui/CQuorixDocTemplate.h"

#include "manager/ui/CQuorixDoc.h"
#include "manager/ui/CQuorixView.h"
#include "resources/manager/ManagerStrings.h"

CQuorixDocTemplate::CQuorixDocTemplate(wxDocManager* manager, CQuorixState& state)
    : wxDocTemplate(manager, mstr::kAppTitle, "*.*", "", "", "Quorix Document", "Quorix View",
                    wxCLASSINFO(CQuorixDoc), wxCLASSINFO(CQuorixView)),
      m_state(state)
{
    // One document at a time; CQuorixDocManager keeps it for New and Open.
    manager->SetMaxDocsOpen(1);
}

wxDocument* CQuorixDocTemplate::DoCreateDocument()
{
    auto* doc = new CQuorixDoc;  // reads the session file of the working folder
    doc->SetAppState(&m_state);
    return doc;
}
