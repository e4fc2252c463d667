#pragma once
// Opens when images of the file list are dropped on a folder of the folder tree: asks
// whether to copy or move the selected images of the current folder into the
// document's destination folder, and does it on a worker with a progress bar once Go
// is pressed. When the job is over (or was cancelled) the selection is emptied, the
// folder rescanned and the dialog closes with OK.

#include "batch/ui/CFileJobRunner.h"

#include <wx/dialog.h>
#include <wx/timer.h>

#include <functional>
#include <string>

class CQuorixDoc;
class wxGauge;

namespace lfplat {
class PostedMessageEvent;
}

class CCopyMoveDlg : public wxDialog {
public:
    explicit CCopyMoveDlg(wxWindow* parent = nullptr);
    ~CCopyMoveDlg() override;

    void SetDocument(CQuorixDoc* doc) { m_pDoc = doc; }
    int ShowModal() override;

    bool IsMove() const { return m_bMove; }
    int GetWrittenCount() const { return m_nWrittenCount; }
    void SetPromptSink(CFileJobRunner::PromptSink sink) { m_runner.SetPromptSink(std::move(sink)); }
    // Where the success message goes: text and caption (a message box by default).
    void SetMessageSink(std::function<void(const std::string&, const std::string&)> sink)
    {
        m_messageSink = std::move(sink);
    }

private:
    void OnGo(wxCommandEvent&);
    void OnCancel(wxCommandEvent&);
    void OnClose(wxCloseEvent&);
    void OnTimer(wxTimerEvent&);
    void OnDone(lfplat::PostedMessageEvent&);
    void RequestCancel();
    void Finish();

    CQuorixDoc* m_pDoc = nullptr;
    bool m_bMove = false;
    int m_nWrittenCount = 0;
    int m_nSelected = 0;
    bool m_bFinished = false;
    wxGauge* m_pProgress = nullptr;
    wxTimer m_timer;
    std::function<void(const std::string&, const std::string&)> m_messageSink;
    CFileJobRunner m_runner;
};
