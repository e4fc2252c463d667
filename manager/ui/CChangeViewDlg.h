#pragma once
// The small "change view" progress dialog: while it is up, a worker thread stops every
// loader and waits for them; then the dialog refreshes the document's views or has the
// main frame switch the image pane, and closes with OK.

#include "platform/gui/MessagePort.h"

#include <wx/dialog.h>
#include <wx/timer.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class CQuorixDoc;
class CThreadList;
class wxGauge;

namespace lfplat {
class PostedMessageEvent;
}

class CChangeViewDlg : public wxDialog {
public:
    CChangeViewDlg(wxWindow* parent, CThreadList& threads);
    ~CChangeViewDlg() override;

    // refresh: update all views of doc afterwards; otherwise switchPane runs, or, when
    // none is given, the application's main frame switches the image pane to the
    // document's view mode.
    void SetTarget(CQuorixDoc* doc, bool refresh, std::function<void()> switchPane = {});
    // Where the "Not Posted" report goes, on the user-interface thread (a message box by
    // default).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_messageSink = std::move(sink); }
    int ShowModal() override;

    // Bar position for a progress count: count * 100 / 600, kept inside the bar.
    static int BarPosition(int progress);
    int GetBarPosition() const;

    static constexpr int kDoneMessage = 0x405;

    // The worker's whole job: stops and joins every loader of threads, counting progress,
    // then posts kDoneMessage through done. When that fails (the dialog has gone), report
    // receives "Not Posted" on the user-interface thread, or a message box shows it.
    static void StopLoadersAndPost(CThreadList& threads, std::atomic<int>& progress,
                                   const lfplat::MessagePort::Sink& done,
                                   std::function<void(const std::string&)> report);

private:
    void OnTimer(wxTimerEvent&);
    void OnDone(lfplat::PostedMessageEvent&);
    void OnClose(wxCloseEvent& event);
    void JoinWorker();

    CThreadList& m_threads;
    CQuorixDoc* m_pDoc = nullptr;
    bool m_bRefresh = true;
    std::function<void()> m_switchPane;
    std::function<void(const std::string&)> m_messageSink;
    wxGauge* m_pProgress = nullptr;
    wxTimer m_timer;
    std::atomic<int> m_progress{0};
    std::atomic<bool> m_bWorking{false};
    std::jthread m_worker;
    lfplat::MessagePort m_port;
};
