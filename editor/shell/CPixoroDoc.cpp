#include "editor/shell/CPixoroDoc.h"

#include "editor/shell/CMainFrame.h"
#include "editor/shell/CPixoroState.h"
#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorStrings.h"

#include <wx/app.h>
#include <wx/filehistory.h>
#include <wx/utils.h>

#include <unistd.h>

wxBEGIN_EVENT_TABLE(CPixoroDoc, wxDocument)
    EVT_MENU(ID_EDIT_UNDO, CPixoroDoc::OnEditUndo)
    EVT_MENU(ID_EDIT_REDO, CPixoroDoc::OnEditRedo)
    EVT_UPDATE_UI(ID_EDIT_UNDO, CPixoroDoc::OnUpdateEditUndo)
    EVT_UPDATE_UI(ID_EDIT_REDO, CPixoroDoc::OnUpdateEditRedo)
    EVT_MENU(ID_FILE_CLOSE, CPixoroDoc::OnFileClose)
    EVT_MENU(ID_HELP_FILE, CPixoroDoc::OnHelp)
wxEND_EVENT_TABLE()

namespace {

CMainFrame* MainFrame() { return dynamic_cast<CMainFrame*>(wxTheApp ? wxTheApp->GetTopWindow() : nullptr); }

}  // namespace

CPixoroDoc::CPixoroDoc(CPixoroState& state, DocPrompts& prompts) : CPixoroDocModel(state, prompts) {}

CPixoroDoc::~CPixoroDoc()
{
    if (CMainFrame* frame = MainFrame())
        frame->ShowNoImageStatus();
}

bool CPixoroDoc::OnOpenDocument(const wxString& path)
{
    // One image at a time: the document shown so far goes first, with its prompt, even
    // when the new file turns out to be unusable.
    if (wxDocManager* manager = GetDocumentManager()) {
        const wxList others = manager->GetDocuments();
        for (wxObject* object : others)
            if (auto* other = dynamic_cast<wxDocument*>(object); other && other != this)
                manager->CloseDocument(other);
    }
    if (!OpenDocument(path.utf8_string()))
        return false;
    SetFilename(path, true);
    Modify(false);
    UpdateStatus();
    return true;
}

bool CPixoroDoc::OnSaveDocument(const wxString& path) { return SaveDocument(path.utf8_string()); }

bool CPixoroDoc::Save()
{
    // The file's own name when it can be written in place; otherwise the save asks.
    const std::string path = GetFilename().utf8_string();
    const bool inPlace = !path.empty() && ::access(path.c_str(), W_OK) == 0;
    return DoSave(inPlace ? path : std::string(), true);
}

bool CPixoroDoc::SaveAs() { return DoSave(std::string(), true); }

bool CPixoroDoc::OnSaveModified() { return QueryClose(); }

bool CPixoroDoc::OnCloseDocument()
{
    CloseDocument();
    wxBusyCursor wait;
    return wxDocument::OnCloseDocument();
}

void CPixoroDoc::UpdateStatus()
{
    CMainFrame* frame = MainFrame();
    if (!frame)
        return;
    if (const auto texts = GetStatusTexts())
        frame->ShowImageStatus(*texts);
}

void CPixoroDoc::OnImageReplaced(int hint)
{
    CPixoroHint object(hint);
    UpdateAllViews(nullptr, &object);
}

void CPixoroDoc::OnTitleName(const std::string& name) { SetTitle(wxString::FromUTF8(name)); }

void CPixoroDoc::OnPathRecorded(const std::string& path)
{
    SetFilename(wxString::FromUTF8(path), true);
    if (wxDocManager* manager = GetDocumentManager())
        manager->AddFileToHistory(wxString::FromUTF8(path));
}

std::string CPixoroDoc::DocumentPathName() const { return GetFilename().utf8_string(); }

std::string CPixoroDoc::DocumentTitle() const { return GetTitle().utf8_string(); }

void CPixoroDoc::SetBusy(bool busy)
{
    if (busy)
        wxBeginBusyCursor();
    else
        wxEndBusyCursor();
}

void CPixoroDoc::OnEditUndo(wxCommandEvent&) { UndoEdit(); }

void CPixoroDoc::OnEditRedo(wxCommandEvent&) { RedoEdit(); }

void CPixoroDoc::OnUpdateEditUndo(wxUpdateUIEvent& event)
{
    event.Enable(GetImage() && GetUndo().CanUndo());
    event.SetText(wxString::FromUTF8(CUndoRing::UndoMenuText(GetUndo().Count())));
}

void CPixoroDoc::OnUpdateEditRedo(wxUpdateUIEvent& event) { event.Enable(GetUndo().CanRedo()); }

void CPixoroDoc::OnFileClose(wxCommandEvent&)
{
    // Closing the image ends the editor: the main window's close closes the document
    // with its prompt, and stays when the user cancels it.
    if (CMainFrame* frame = MainFrame())
        frame->Close();
}

void CPixoroDoc::OnHelp(wxCommandEvent&)
{
    wxLaunchDefaultBrowser(wxString(estr::kServiceWebHost) + estr::kHelpPagePath);
}
