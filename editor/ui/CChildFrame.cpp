#include "editor/ui/CChildFrame.h"

#include "editor/ui/CMainFrame.h"
#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorMenus.h"

CChildFrame::CChildFrame(wxDocument* doc, wxView* view, CMainFrame* parent)
    : wxDocMDIChildFrame(doc, view, parent, wxID_ANY, doc->GetUserReadableName())
{
    // The menu bar with the image commands shows while an image window is active.
    SetMenuBar(CreateEditorMenuBar(IDR_PIXORTYPE, &m_recentFileMenu));
    if (wxDocManager* manager = doc->GetDocumentManager(); manager && m_recentFileMenu)
    {
        manager->FileHistoryUseMenu(m_recentFileMenu);
        manager->FileHistoryAddFilesToMenu(m_recentFileMenu);
    }
}

CChildFrame::~CChildFrame()
{
    if (wxDocManager* manager = wxDocManager::GetDocumentManager(); manager && m_recentFileMenu)
        manager->FileHistoryRemoveMenu(m_recentFileMenu);
}
