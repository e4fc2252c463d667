#pragma once
// Batch Resize: scales the ticked images of the current folder's selection to a
// percentage, a width or a height, with a JPEG quality, over themselves or into an output
// folder. The job runs on worker threads with a progress bar; Cancel or closing the
// dialog stops it before the next image and waits for it. The dialog ends with OK only
// when every image was resized and saved; the job's failures are gathered for one
// summary after the dialog has closed.

#include "batch/model/BatchMessages.h"
#include "batch/model/BatchResizeJob.h"
#include "batch/ui/BatchHost.h"
#include "platform/gui/MessagePort.h"

#include <wx/dialog.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CImageItem;
class CQuorixDoc;
class wxListCtrl;
class wxListEvent;
class wxSpinEvent;

namespace lfplat {
class PostedMessageEvent;
}

class CBatchResizeDlg : public wxDialog {
public:
    explicit CBatchResizeDlg(wxWindow* parent = nullptr);
    ~CBatchResizeDlg() override;

    void SetDocument(CQuorixDoc* doc) { m_pDoc = doc; }
    // Lists the selection, then runs the dialog: wxID_OK when the job resized everything,
    // wxID_CANCEL after Cancel or close, wxID_ABORT when some image failed (GetFailures).
    int ShowModal() override;

    void SetHost(batch::BatchHost host) { m_host = std::move(host); }
    // Seams for the user's answers: the boxes while the dialog is open, its Yes/No
    // question, and the folder dialog.
    void SetMessageSink(batch::MessageSink sink) { m_messageSink = std::move(sink); }
    void SetQuestionSink(std::function<bool(const std::string&)> ask) { m_ask = std::move(ask); }
    void SetFolderPicker(std::function<bool(std::string& folder)> pick) { m_pickFolder = std::move(pick); }
    // What the last job could not do (pictures that could not be read are told once,
    // when the dialog opens, and left out).
    const std::vector<std::string>& GetFailures() const { return m_failures; }
    // How many images are resized at once (the machine's cores by default).
    void SetThreads(int threads) { m_nThreads = threads; }

    // Checks a field's text: the value, or the message that stops OK.
    static bool ParseField(const std::string& text, int low, int high, int& value, std::string& error);

    const std::vector<CImageItem*>& GetImages() const { return m_arrImages; }
    bool IsJobRunning() const { return m_worker.joinable(); }

    static constexpr int kProgressMessage = 0x406;
    static constexpr int kDoneMessage = 0x405;

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
    void OnProgress(lfplat::PostedMessageEvent& event);
    void OnJobOver(lfplat::PostedMessageEvent& event);
    void StopWorker();
    void Report(const std::string& text, batch::MessageKind kind);
    bool Ask(const std::string& question);

    // What the worker hands back: the failures it met and its result.
    struct Outbox {
        std::mutex mutex;
        std::vector<std::string> failures;
        batch::ResizeResult result;
    };

    CQuorixDoc* m_pDoc = nullptr;
    std::vector<CImageItem*> m_arrImages;
    batch::ResizeSettings m_settings;
    wxListCtrl* m_list = nullptr;
    bool m_bListing = false;   // rows are being ticked by the dialog itself
    bool m_bClosing = false;   // Cancel or close: what the job still posts is dropped
    int m_nThreads = batch::BatchResizeJob::DefaultThreads();
    std::vector<std::string> m_failures;
    std::shared_ptr<Outbox> m_outbox;
    batch::BatchHost m_host;
    batch::MessageSink m_messageSink;
    std::function<bool(const std::string&)> m_ask;
    std::function<bool(std::string&)> m_pickFolder;
    lfplat::MessagePort m_port{this};
    std::jthread m_worker;  // last: stopped and joined before anything it reports to goes
};
