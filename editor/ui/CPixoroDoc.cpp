#include "editor/ui/CPixoroDoc.h"

#include "editor/ui/PathText.h"
#include "editor/ui/CPixoroEditDialogs.h"
#include "editor/ui/CMainFrame.h"
#include "editor/model/CPixoroState.h"
#include "editor/ui/CPixoroView.h"
#include "editor/ui/CPixoroViewZoomHost.h"
#include "editor/ui/CProgressBar.h"
#include "editor/model/EditDialogs.h"
#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorStrings.h"

#include <wx/app.h>
#include <wx/filehistory.h>
#include <wx/utils.h>

wxBEGIN_EVENT_TABLE(CPixoroDoc, wxDocument)
    EVT_MENU(ID_EDIT_UNDO, CPixoroDoc::OnEditUndo)
    EVT_MENU(ID_EDIT_REDO, CPixoroDoc::OnEditRedo)
    EVT_UPDATE_UI(ID_EDIT_UNDO, CPixoroDoc::OnUpdateEditUndo)
    EVT_UPDATE_UI(ID_EDIT_REDO, CPixoroDoc::OnUpdateEditRedo)
    EVT_MENU(ID_FILE_CLOSE, CPixoroDoc::OnFileClose)
    EVT_MENU(ID_HELP_FILE, CPixoroDoc::OnHelp)
    EVT_MENU(ID_IMAGE_ROTATE, CPixoroDoc::OnRotate)
    EVT_MENU(ID_IMAGE_RESIZE, CPixoroDoc::OnResize)
    EVT_MENU(ID_IMAGE_TEXT, CPixoroDoc::OnAddText)
    EVT_MENU(ID_IMAGE_TEXT_UNSENT, CPixoroDoc::OnAddText)
    EVT_MENU(ID_ADJUST_BRIGHTNESS, CPixoroDoc::OnBrightnessContrast)
    EVT_MENU(ID_ADJUST_RGB, CPixoroDoc::OnRedGreenBlue)
    EVT_MENU(ID_IMAGE_REDEYE, CPixoroDoc::OnRedEye)
    EVT_MENU(ID_ADJUST_EXPOSURE, CPixoroDoc::OnUnsentAdjust)
    EVT_MENU(ID_ADJUST_HUE_SATURATION, CPixoroDoc::OnUnsentAdjust)
    EVT_MENU(ID_ADJUST_BLUR, CPixoroDoc::OnUnsentAdjust)
    EVT_MENU(ID_ADJUST_SHARPEN, CPixoroDoc::OnUnsentAdjust)
    EVT_MENU(ID_ADJUST_GRAYSCALE, CPixoroDoc::OnGrayScale)
    EVT_UPDATE_UI(ID_IMAGE_ROTATE, CPixoroDoc::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_IMAGE_RESIZE, CPixoroDoc::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_IMAGE_TEXT, CPixoroDoc::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_ADJUST_BRIGHTNESS, CPixoroDoc::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_ADJUST_RGB, CPixoroDoc::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_IMAGE_REDEYE, CPixoroDoc::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_ADJUST_GRAYSCALE, CPixoroDoc::OnUpdateEditCommand)
    EVT_UPDATE_UI(ID_EDIT_COPY, CPixoroDoc::OnUpdateEditCopy)
wxEND_EVENT_TABLE()

namespace {

CMainFrame* MainFrame() { return dynamic_cast<CMainFrame*>(wxTheApp ? wxTheApp->GetTopWindow() : nullptr); }

}  // namespace

CPixoroDoc::CPixoroDoc(CPixoroState& state, DocPrompts& prompts)
    : CPixoroDocModel(state, prompts), m_editDialogs(std::make_unique<CPixoroEditDialogs>())
{
    SetEditDialogs(m_editDialogs.get());
}

CPixoroDoc::~CPixoroDoc()
{
    SetZoomHost(nullptr);
    if (CMainFrame* frame = MainFrame())
        frame->ShowNoImageStatus();
}

bool CPixoroDoc::OnNewDocument()
{
    if (!wxDocument::OnNewDocument())
        return false;
    // A new or pasted image is called by the template's document name.
    SetTitle(estr::kNewDocName);
    return true;
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
    if (!OpenDocument(pixoro::PathFromWx(path)))
        return false;
    SetFilename(path, true);
    Modify(false);
    UpdateStatus();
    return true;
}

bool CPixoroDoc::OnSaveDocument(const wxString& path) { return SaveDocument(pixoro::PathFromWx(path)); }

bool CPixoroDoc::Save()
{
    // The file's own name; the save road asks for another when it may not be written.
    return DoSave(DocumentPathName(), true);
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

void CPixoroDoc::OnTitleName(const std::string& name) { SetTitle(pixoro::ShowText(name)); }

void CPixoroDoc::OnPathRecorded(const std::string& path)
{
    SetFilename(pixoro::PathToWx(path), true);
    if (wxDocManager* manager = GetDocumentManager())
        manager->AddFileToHistory(pixoro::PathToWx(path));
}

std::string CPixoroDoc::DocumentPathName() const { return pixoro::PathFromWx(GetFilename()); }

std::string CPixoroDoc::DocumentTitle() const { return pixoro::PathFromWx(GetTitle()); }

void CPixoroDoc::SetBusy(bool busy)
{
    if (busy)
        wxBeginBusyCursor();
    else
        wxEndBusyCursor();
}

void CPixoroDoc::ShowProgress(bool shown)
{
    if (!shown) {
        m_progress.reset();
        return;
    }
    m_progress = std::make_unique<CProgressBar>(estr::kProcessing, 40, 1000, false, 0);
    for (int i = 0; i < 1000; ++i)
        m_progress->StepIt();
}

void CPixoroDoc::AttachZoomHost()
{
    auto* view = dynamic_cast<CPixoroView*>(GetFirstView());
    if (!view) {
        SetZoomHost(nullptr);
        m_zoomHost.reset();
        return;
    }
    m_zoomHost = std::make_unique<CPixoroViewZoomHost>(*view);
    SetZoomHost(m_zoomHost.get());
}

void CPixoroDoc::OnRotate(wxCommandEvent&)
{
    AttachZoomHost();
    Rotate();
}

void CPixoroDoc::OnResize(wxCommandEvent&)
{
    AttachZoomHost();
    Resize();
}

void CPixoroDoc::OnAddText(wxCommandEvent&)
{
    AttachZoomHost();
    AddText();
}

void CPixoroDoc::OnGrayScale(wxCommandEvent&)
{
    AttachZoomHost();
    GrayScale();
}

void CPixoroDoc::OnBrightnessContrast(wxCommandEvent&)
{
    AttachZoomHost();
    AdjustImage(static_cast<int>(EditDialogs::Adjust::BrightnessContrast));
}

void CPixoroDoc::OnRedGreenBlue(wxCommandEvent&)
{
    AttachZoomHost();
    AdjustImage(static_cast<int>(EditDialogs::Adjust::RedGreenBlue));
}

void CPixoroDoc::OnRedEye(wxCommandEvent&)
{
    AttachZoomHost();
    AdjustImage(static_cast<int>(EditDialogs::Adjust::RedEye));
}

void CPixoroDoc::OnUnsentAdjust(wxCommandEvent& event)
{
    using Adjust = EditDialogs::Adjust;
    const Adjust kind = event.GetId() == ID_ADJUST_EXPOSURE         ? Adjust::Exposure
                        : event.GetId() == ID_ADJUST_HUE_SATURATION ? Adjust::HueSaturation
                        : event.GetId() == ID_ADJUST_BLUR           ? Adjust::Blur
                                                                    : Adjust::Sharpen;
    AttachZoomHost();
    AdjustImage(static_cast<int>(kind));
}

void CPixoroDoc::OnUpdateEditCommand(wxUpdateUIEvent& event)
{
    switch (event.GetId()) {
    case ID_IMAGE_ROTATE: event.Enable(CanRotate()); break;
    case ID_IMAGE_RESIZE: event.Enable(CanResize()); break;
    case ID_IMAGE_TEXT: event.Enable(CanAddText()); break;
    case ID_ADJUST_BRIGHTNESS: event.Enable(CanAdjust(static_cast<int>(EditDialogs::Adjust::BrightnessContrast))); break;
    case ID_ADJUST_RGB: event.Enable(CanAdjust(static_cast<int>(EditDialogs::Adjust::RedGreenBlue))); break;
    case ID_IMAGE_REDEYE: event.Enable(CanAdjust(static_cast<int>(EditDialogs::Adjust::RedEye))); break;
    default: event.Enable(HasImage()); break;
    }
}

void CPixoroDoc::OnUpdateEditCopy(wxUpdateUIEvent& event)
{
    if (!HasImage())
        event.Enable(false);
    else
        event.Skip();
}

void CPixoroDoc::OnEditUndo(wxCommandEvent&)
{
    AttachZoomHost();
    UndoEdit();
}

void CPixoroDoc::OnEditRedo(wxCommandEvent&)
{
    AttachZoomHost();
    RedoEdit();
}

void CPixoroDoc::OnUpdateEditUndo(wxUpdateUIEvent& event)
{
    event.Enable(HasImage() && GetUndo().CanUndo());
    event.SetText(wxString::FromUTF8(CUndoRing::UndoMenuText(GetUndo().Count())));
}

void CPixoroDoc::OnUpdateEditRedo(wxUpdateUIEvent& event) { event.Enable(HasImage() && GetUndo().CanRedo()); }

void CPixoroDoc::OnFileClose(wxCommandEvent&)
{
    // Closing the image ends the editor: the main window's close closes the document
    // with its prompt, and stays when the user cancels it.
    if (CMainFrame* frame = MainFrame())
        frame->Close();
}

void CPixoroDoc::OnHelp(wxCommandEvent&)
{
    if (CMainFrame* frame = MainFrame())
        frame->OpenHelp();
}
