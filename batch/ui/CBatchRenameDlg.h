#pragma once
// Batch Rename: gives every selected image of the current folder a new name built from one
// pattern, shows old and new names side by side while the user edits, and on OK renames
// the images in place or copies them under their new names into an output folder. The job
// runs on a worker thread; OK stays disabled while it runs, and Cancel or closing the
// dialog waits for it to end.

#include "batch/model/BatchMessages.h"
#include "batch/model/BatchRenameJob.h"
#include "batch/model/BatchRenameNames.h"
#include "batch/ui/BatchHost.h"
#include "platform/gui/MessagePort.h"

#include <wx/dialog.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class CImageItem;
class CQuorixDoc;
class wxListCtrl;

namespace lfplat {
class PostedMessageEvent;
}

class CBatchRenameDlg : public wxDialog {
public:
    explicit CBatchRenameDlg(wxWindow* parent = nullptr);
    ~CBatchRenameDlg() override;

    void SetDocument(CQuorixDoc* doc) { m_pDoc = doc; }
    void SetHost(batch::BatchHost host) { m_host = std::move(host); }
    // Fills the list and the fields from the document's selection, then runs the dialog.
    int ShowModal() override;

    // Seams for the user's answers (message boxes and the folder dialog by default). The
    // job's own failures are not shown one by one: GetFailures lists them once it ended.
    void SetMessageSink(batch::MessageSink sink) { m_messageSink = std::move(sink); }
    void SetQuestionSink(std::function<bool(const std::string&)> ask) { m_ask = std::move(ask); }
    void SetFolderPicker(std::function<bool(std::string& folder)> pick) { m_pickFolder = std::move(pick); }

    // Recomputes the new names and the preview from the members.
    void BuildNewNames();
    const std::vector<std::string>& GetNewNames() const { return m_arrNewNames; }
    const batch::RenameOptions& GetOptions() const { return m_options; }
    bool IsJobRunning() const { return m_worker.joinable(); }
    const std::vector<std::string>& GetFailures() const { return m_failures; }

    static constexpr int kRunEndedMessage = 0x405;

private:
    void OnInit();
    void ReadControls();
    void WriteControls();
    std::vector<CImageItem*> Participants() const;
    void OnPatternChanged(wxCommandEvent& event);
    void OnCaseClicked(wxCommandEvent& event);
    void OnCounterKind(wxCommandEvent& event);
    void OnReplaceClicked(wxCommandEvent& event);
    void OnBrowse(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void UpdateFolderControls();
    // Runs the job from where it stopped on the worker (answer: to the pending question).
    void StartRun(std::optional<bool> answer);
    void OnRunEnded(lfplat::PostedMessageEvent& event);
    void Report(const std::string& text, batch::MessageKind kind);
    void JoinWorker();

    CQuorixDoc* m_pDoc = nullptr;
    size_t m_nListed = 0;
    std::vector<std::string> m_arrNewNames;
    batch::RenameOptions m_options;
    bool m_bReplace = false;
    std::string m_strOutputFolder;
    bool m_bWriting = false;  // the controls are being written: their notices are ignored
    bool m_bClosing = false;  // Cancel or close: what the job still posts is dropped

    wxListCtrl* m_list = nullptr;
    // What a run hands back: the failures it met and its question, if it stopped at one.
    struct Outbox {
        std::mutex mutex;
        std::vector<std::string> failures;
        std::optional<std::string> question;
    };

    std::unique_ptr<batch::BatchRenameJob> m_job;
    std::shared_ptr<Outbox> m_outbox;
    std::vector<std::string> m_failures;
    batch::BatchHost m_host;
    batch::MessageSink m_messageSink;
    std::function<bool(const std::string&)> m_ask;
    std::function<bool(std::string&)> m_pickFolder;
    lfplat::MessagePort m_port{this};
    std::jthread m_worker;  // last: joined before anything it reports to goes
};
