#include "editor/shell/CMainFrame.h"

#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorMenus.h"
#include "resources/editor/EditorStrings.h"

#include <wx/menu.h>
#include <wx/statusbr.h>

wxBEGIN_EVENT_TABLE(CMainFrame, wxDocMDIParentFrame)
    EVT_DROP_FILES(CMainFrame::OnDropFiles)
wxEND_EVENT_TABLE()

CMainFrame::CMainFrame(wxDocManager* manager)
    : wxDocMDIParentFrame(manager, nullptr, wxID_ANY, estr::kAppTitle, wxDefaultPosition, wxSize(800, 600))
{
    SetMenuBar(CreateEditorMenuBar(IDR_MAINFRAME, &m_recentFileMenu));
    SetAcceleratorTable(CreateEditorAccelerators());
    if (manager && m_recentFileMenu) {
        manager->FileHistoryUseMenu(m_recentFileMenu);
        manager->FileHistoryAddFilesToMenu(m_recentFileMenu);
    }
    CreateStatusBar(4);
    const int widths[] = {-1, 230, 170, 70};
    SetStatusWidths(4, widths);
    ShowNoImageStatus();
    DragAcceptFiles(true);
}

void CMainFrame::ShowImageStatus(const CPixoroDocModel::StatusTexts& texts)
{
    SetTitle(wxString::FromUTF8(texts.title));
    SetStatusText(wxString::FromUTF8(texts.imageSize), 1);
    SetStatusText(wxString::FromUTF8(texts.fileSize), 2);
}

void CMainFrame::ShowNoImageStatus()
{
    SetStatusText(estr::kNoImageLoaded, 1);
    SetStatusText(wxString::FromUTF8(CPixoroDocModel::FileSizeText(0)), 2);
    ShowZoom(0);
}

void CMainFrame::ShowZoom(double zoom) { SetStatusText(wxString::FromUTF8(CPixoroDocModel::ZoomText(zoom)), 3); }

void CMainFrame::OnDropFiles(wxDropFilesEvent& event)
{
    // Each file opens as File > Open would (the shown image closes first).
    if (wxDocManager* manager = GetDocumentManager())
        for (int i = 0; i < event.GetNumberOfFiles(); ++i)
            manager->CreateDocument(event.GetFiles()[i], wxDOC_SILENT);
}
