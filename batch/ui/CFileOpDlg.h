#pragma once
// The small progress dialog of the copy, move and delete commands: its worker handles
// the selected images of the document's current folder while the bar shows how many
// are done; Cancel stops the job after the file in hand. When the job is over the
// dialog rescans the folder, empties the selection and closes with OK.

#include "batch/ui/CFileJobRunner.h"

#include <wx/dialog.h>
#include <wx/timer.h>

#include <chrono>
#include <string>

class CQuorixDoc;
class wxGauge;

namespace lfplat {
class PostedMessageEvent;
}

class CFileOpDlg : public wxDialog {
public:
    explicit CFileOpDlg(wxWindow* parent = nullptr);
    ~CFileOpDlg() override;

    // mode: 0 move, 1 copy, 2 delete.
    void SetOperation(CQuorixDoc* doc, int mode);
    // Starts the job and runs the dialog until the job is over.
    int ShowModal() override;

    // Files whose copy was written (after the run).
    int GetDoneCount() const { return m_nDoneCount; }
    void SetPromptSink(CFileJobRunner::PromptSink sink) { m_runner.SetPromptSink(std::move(sink)); }
    // The pause before each copy or move (the bar moves visibly); tests set 0.
    void SetPause(std::chrono::milliseconds pause) { m_pause = pause; }
    // Bar position: handled * 100 / selected, 0 without a selection.
    static int BarPosition(int handled, int selected);

private:
    void OnTimer(wxTimerEvent&);
    void OnDone(lfplat::PostedMessageEvent&);
    void OnCancel(wxCommandEvent&);
    void OnClose(wxCloseEvent&);
    void RequestCancel();

    CQuorixDoc* m_pDoc = nullptr;
    int m_nMode = 1;
    int m_nDoneCount = 0;
    int m_nSelected = 0;
    std::chrono::milliseconds m_pause{100};
    wxGauge* m_pProgress = nullptr;
    wxTimer m_timer;
    CFileJobRunner m_runner;
};
