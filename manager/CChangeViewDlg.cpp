#include "manager/CChangeViewDlg.h"

#include "manager/CQuorixDoc.h"
#include "manager/CThreadList.h"
#include "platform/gui/PostedMessageEvent.h"

#include <wx/gauge.h>

#include <algorithm>
#include <cstdio>

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
    m_worker = std::thread([this] { RunWorker(); });
    m_timer.Start(100);
    return wxDialog::ShowModal();
}

void CChangeViewDlg::RunWorker()
{
    m_threads.StopAndWait(false, &m_progress);
    // Posting fails only when the dialog has gone; nobody is left to tell but the log.
    if (!m_port.GetSink().Post(kDoneMessage))
        std::fputs("Not Posted\n", stderr);
    m_progress = 0;
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
    }
    EndModal(wxID_OK);
}

void CChangeViewDlg::OnClose(wxCloseEvent& event)
{
    // The dialog ends itself once the loaders have stopped.
    if (m_worker.joinable() && event.CanVeto()) {
        event.Veto();
        return;
    }
    event.Skip();
}
