#include "manager/ui/CChangeViewDlg.h"

#include "manager/ui/CMainFrame.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CThreadList.h"
#include "platform/gui/PostedMessageEvent.h"

#include <wx/app.h>
#include <wx/gauge.h>
#include <wx/msgdlg.h>

#include <algorithm>

CChangeViewDlg::CChangeViewDlg(wxWindow* parent, CThreadList& threads)
    : wxDialog(parent, wxID_ANY, "Lanternfolio Photo Editor (change view)", wxDefaultPosition, wxDefaultSize,
               wxCAPTION),
      m_threads(threads), m_timer(this, 1), m_port(this)
{
    SetClientSize(ConvertDialogToPixels(wxSize(271, 26)));
    m_pProgress = new wxGauge(this, 1038, 100, ConvertDialogToPixels(wxPoint(7, 7)),
                              ConvertDialogToPixels(wxSize(257, 12)));
    Bind(wxEVT_TIMER, &CChangeViewDlg::OnTimer, this, 1);
    Bind(lfplat::EVT_POSTED_MESSAGE, &CChangeViewDlg::OnDone, this, kDoneMessage);
    Bind(wxEVT_CLOSE_WINDOW, &CChangeViewDlg::OnClose, this);
    CentreOnParent();
}

CChangeViewDlg::~CChangeViewDlg()
{
    m_timer.Stop();
    JoinWorker();
    m_port.Close();
}

void CChangeViewDlg::SetTarget(CQuorixDoc* doc, bool refresh, std::function<void()> switchPane)
{
    m_pDoc = doc;
    m_bRefresh = refresh;
    m_switchPane = std::move(switchPane);
}

int CChangeViewDlg::BarPosition(int progress) { return std::clamp(progress * 100 / 600, 0, 100); }

int CChangeViewDlg::GetBarPosition() const { return m_pProgress->GetValue(); }

int CChangeViewDlg::ShowModal()
{
    JoinWorker();
    m_bWorking = true;
    m_worker = std::jthread([this] {
        StopLoadersAndPost(m_threads, m_progress, m_port.GetSink(), m_messageSink);
        m_bWorking = false;
    });
    m_timer.Start(100);
    return wxDialog::ShowModal();
}

void CChangeViewDlg::StopLoadersAndPost(CThreadList& threads, std::atomic<int>& progress,
                                        const lfplat::MessagePort::Sink& done,
                                        std::function<void(const std::string&)> report)
{
    threads.StopAndWait(false, &progress);
    if (!done.Post(kDoneMessage)) {
        // The dialog may be gone: the report takes nothing of it along.
        wxTheApp->CallAfter([report = std::move(report)] {
            if (report)
                report("Not Posted");
            else
                wxMessageBox("Not Posted", wxTheApp->GetAppDisplayName(), wxOK);
        });
    }
    progress = 0;
}

void CChangeViewDlg::JoinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void CChangeViewDlg::OnTimer(wxTimerEvent&) { m_pProgress->SetValue(BarPosition(m_progress)); }

void CChangeViewDlg::OnDone(lfplat::PostedMessageEvent&)
{
    m_timer.Stop();
    JoinWorker();
    if (m_bRefresh) {
        if (m_pDoc)
            m_pDoc->UpdateAllViews();
    } else if (m_switchPane) {
        m_switchPane();
    } else if (auto* frame = wxDynamicCast(wxTheApp->GetTopWindow(), CMainFrame); frame && m_pDoc) {
        frame->SwitchImageView(m_pDoc->m_nViewMode);
    }
    EndModal(wxID_OK);
}

void CChangeViewDlg::OnClose(wxCloseEvent& event)
{
    // The dialog ends itself once the loaders have stopped; only a dialog whose worker
    // has finished without reaching it may be closed.
    if (m_bWorking && event.CanVeto()) {
        event.Veto();
        return;
    }
    event.Skip();
}
