#pragma once
// The editor's document in the toolkit's document/view frame: the logic is
// CPixoroDocModel's; this class ties it to the views, the title, the status panes, the
// recent-file list and the File and Edit commands.

#include "editor/model/CPixoroDocModel.h"

#include <wx/docview.h>

#include <memory>

class CPixoroViewZoomHost;
class EditDialogs;
class CProgressBar;
class CPixoroState;
class DocPrompts;

// The hint that travels with UpdateAllViews (CPixoroDocModel::kHintNewImage, kHintLayout).
class CPixoroHint : public wxObject {
public:
    explicit CPixoroHint(int hint) : m_hint(hint) {}
    int m_hint;
};

class CPixoroDoc : public wxDocument, public CPixoroDocModel {
public:
    CPixoroDoc(CPixoroState& state, DocPrompts& prompts);
    ~CPixoroDoc() override;

    bool OnNewDocument() override;
    bool OnOpenDocument(const wxString& path) override;
    bool OnSaveDocument(const wxString& path) override;
    bool OnCloseDocument() override;
    bool OnSaveModified() override;
    bool Save() override;
    bool SaveAs() override;
    bool IsModified() const override { return HasUnsavedChanges(); }

    // The main window's title and its status panes for this document.
    void UpdateStatus();

protected:
    void OnImageReplaced(int hint) override;
    void OnTitleName(const std::string& name) override;
    void OnPathRecorded(const std::string& path) override;
    void OnStatusChanged() override { UpdateStatus(); }
    std::string DocumentPathName() const override;
    std::string DocumentTitle() const override;
    void SetBusy(bool busy) override;
    void ShowProgress(bool shown) override;

private:
    void OnEditUndo(wxCommandEvent& event);
    void OnEditRedo(wxCommandEvent& event);
    void OnUpdateEditUndo(wxUpdateUIEvent& event);
    void OnUpdateEditRedo(wxUpdateUIEvent& event);
    void OnFileClose(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnRotate(wxCommandEvent& event);
    void OnResize(wxCommandEvent& event);
    void OnAddText(wxCommandEvent& event);
    void OnBrightnessContrast(wxCommandEvent& event);
    void OnRedGreenBlue(wxCommandEvent& event);
    void OnRedEye(wxCommandEvent& event);
    // The adjust commands that nothing sends.
    void OnUnsentAdjust(wxCommandEvent& event);
    void OnGrayScale(wxCommandEvent& event);
    void OnUpdateEditCommand(wxUpdateUIEvent& event);
    void OnUpdateEditCopy(wxUpdateUIEvent& event);

    // The edits drive the zoom of the document's view, when it has one.
    void AttachZoomHost();

    // The status-bar progress bar while a resampling runs.
    std::unique_ptr<CProgressBar> m_progress;
    std::unique_ptr<CPixoroViewZoomHost> m_zoomHost;
    std::unique_ptr<EditDialogs> m_editDialogs;

    wxDECLARE_EVENT_TABLE();
};
