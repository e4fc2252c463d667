#pragma once
// Batch Resize: scales the ticked images of the current folder's selection to a
// percentage, a width or a height, with a JPEG quality, over themselves or into an output
// folder. The job runs on worker threads with a progress bar; Cancel or closing the
// dialog stops it before the next image and waits for it. The dialog ends with OK only
// when every image was resized and saved.

#include "batch/model/BatchMessages.h"
#include "batch/model/BatchResizeJob.h"

#include <wx/dialog.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class CImageItem;
class CQuorixDoc;
class wxListCtrl;
class wxListEvent;
class wxSpinEvent;

class CBatchResizeDlg : public wxDialog {
public:
    explicit CBatchResizeDlg(wxWindow* parent = nullptr);
    ~CBatchResizeDlg() override;

    void SetDocument(CQuorixDoc* doc) { m_pDoc = doc; }
    // Lists the selection, then runs the dialog: wxID_OK when the job resized everything,
    // wxID_CANCEL after Cancel or close, wxID_ABORT when some image failed (each failure
    // was reported).
    int ShowModal() override;

    void SetMessageSink(batch::MessageSink sink) { m_messageSink = std::move(sink); }
    void SetFolderPicker(std::function<bool(std::string& folder)> pick) { m_pickFolder = std::move(pick); }
    // How many images are resized at once (the machine's cores by default).
    void SetThreads(int threads) { m_nThreads = threads; }

    // Checks a field's text: the value, or the message that stops OK.
    static bool ParseField(const std::string& text, int low, int high, int& value, std::string& error);

    const std::vector<CImageItem*>& GetImages() const { return m_arrImages; }
    bool IsJobRunning() const { return m_worker.joinable(); }

private:
    void OnInit();
    bool ReadControls();
    void WriteControls();
    void EnableModeFields();
    void UpdateFolderControls();
    void OnMode(wxCommandEvent& event);
    void OnReplaceClicked(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);
    void OnSpin(wxSpinEvent& event);
    void OnTickChanged(wxListEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnJobOver(batch::ResizeResult result);
    void StopWorker();
    void Report(const std::string& text, batch::MessageKind kind);

    CQuorixDoc* m_pDoc = nullptr;
    std::vector<CImageItem*> m_arrImages;
    batch::ResizeSettings m_settings;
    wxListCtrl* m_list = nullptr;
    bool m_bListing = false;   // rows are being ticked by the dialog itself
    bool m_bClosing = false;   // Cancel or close: what the job still posts is dropped
    int m_nThreads = batch::BatchResizeJob::DefaultThreads();
    std::atomic<bool> m_bCancel{false};
    std::thread m_worker;
    batch::MessageSink m_messageSink;
    std::function<bool(std::string&)> m_pickFolder;
};
