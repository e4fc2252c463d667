#include "batch/ui/CFileOpDlg.h"

#include "manager/ui/CQuorixDoc.h"
#include "platform/gui/PostedMessageEvent.h"
#include "resources/manager/ManagerDialogs.h"

#include <wx/app.h>
#include <wx/gauge.h>

#include <algorithm>

CFileOpDlg::CFileOpDlg(wxWindow* parent) : m_timer(this, 1), m_runner(this)
{
    CreateDialogFromTemplate(*this, parent, mdlg::FileOperation());
    m_pProgress = dynamic_cast<wxGauge*>(FindWindow(mdlg::kProgressBar));
    Bind(wxEVT_TIMER, &CFileOpDlg::OnTimer, this, 1);
    Bind(lfplat::EVT_POSTED_MESSAGE, &CFileOpDlg::OnDone, this, CFileJobRunner::kDoneMessage);
    Bind(wxEVT_BUTTON, &CFileOpDlg::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CFileOpDlg::OnClose, this);
}

CFileOpDlg::~CFileOpDlg() { m_timer.Stop(); }

void CFileOpDlg::SetOperation(CQuorixDoc* doc, int mode)
{
    m_pDoc = doc;
    m_nMode = mode;
}

int CFileOpDlg::BarPosition(int handled, int selected)
{
    return selected > 0 ? std::clamp(handled * 100 / selected, 0, 100) : 0;
}

int CFileOpDlg::ShowModal()
{
    if (!m_pDoc || m_runner.Started())
        return wxID_CANCEL;
    std::string& destination = m_pDoc->m_strDestFolder;
    if (m_nMode != FileOpJob::kDelete && !destination.empty() && destination.back() != '/')
        destination += '/';
    auto entries = CFileJobRunner::SelectedEntries(*m_pDoc->GetCurrentFolder());
    m_nSelected = static_cast<int>(entries.size());
    auto job = std::make_unique<FileOpJob>(m_nMode, FileOpJob::Origin::Commands, destination, std::move(entries),
                                           m_runner.MakePrompts(wxTheApp ? wxTheApp->GetAppDisplayName().utf8_string()
                                                                         : std::string()));
    job->SetPause(m_pause);
    m_runner.Start(std::move(job));
    m_timer.Start(100);
    return wxDialog::ShowModal();
}

void CFileOpDlg::OnTimer(wxTimerEvent&)
{
    if (m_pProgress && m_runner.Job())
        m_pProgress->SetValue(BarPosition(m_runner.Job()->Handled(), m_nSelected));
}

void CFileOpDlg::RequestCancel()
{
    m_runner.Cancel();
    if (m_pDoc)
        m_pDoc->UpdateAllViews();
}

void CFileOpDlg::OnCancel(wxCommandEvent&) { RequestCancel(); }

void CFileOpDlg::OnClose(wxCloseEvent& event)
{
    // The dialog stays until the worker has finished the file in hand.
    if (event.CanVeto()) {
        event.Veto();
        RequestCancel();
        return;
    }
    event.Skip();
}

void CFileOpDlg::OnDone(lfplat::PostedMessageEvent&)
{
    m_timer.Stop();
    m_runner.Join();
    const FileOpJob* job = m_runner.Job();
    m_nDoneCount = job->DoneCount();
    m_pDoc->m_nFileOpCount = job->MetCount();
    CFileJobRunner::DropMovedFromSelection(*m_pDoc, job->MovedPaths());
    m_pDoc->Refresh();
    m_pDoc->EmptySelectionList();
    EndModal(wxID_OK);
}
