#include "batch/ui/CCopyMoveDlg.h"

#include "batch/ui/CFileOpDlg.h"
#include "manager/ui/CQuorixDoc.h"
#include "platform/gui/PostedMessageEvent.h"
#include "resources/manager/ManagerDialogs.h"

#include <wx/gauge.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>

CCopyMoveDlg::CCopyMoveDlg(wxWindow* parent) : m_timer(this, 1), m_runner(this)
{
    CreateDialogFromTemplate(*this, parent, mdlg::CopyMove());
    m_pProgress = dynamic_cast<wxGauge*>(FindWindow(mdlg::kProgressBar));
    Bind(wxEVT_BUTTON, &CCopyMoveDlg::OnGo, this, mdlg::kGoButton);
    Bind(wxEVT_BUTTON, &CCopyMoveDlg::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CCopyMoveDlg::OnClose, this);
    Bind(wxEVT_TIMER, &CCopyMoveDlg::OnTimer, this, 1);
    Bind(lfplat::EVT_POSTED_MESSAGE, &CCopyMoveDlg::OnDone, this, CFileJobRunner::kDoneMessage);
}

CCopyMoveDlg::~CCopyMoveDlg() { m_timer.Stop(); }

int CCopyMoveDlg::ShowModal()
{
    if (!m_pDoc)
        return wxID_CANCEL;
    const char* folder = m_pDoc->m_strDestFolder.c_str();
    SetStaticText(FindWindow(mdlg::kFolderStatic), folder);
    SetStaticText(FindWindow(mdlg::kFolderStatic2), folder);
    if (auto* copy = dynamic_cast<wxRadioButton*>(FindWindow(mdlg::kCopyRadio)))
        copy->SetValue(true);
    return wxDialog::ShowModal();
}

void CCopyMoveDlg::OnGo(wxCommandEvent&)
{
    if (m_runner.Started() || m_bFinished)
        return;
    auto* move = dynamic_cast<wxRadioButton*>(FindWindow(mdlg::kMoveRadio));
    m_bMove = move && move->GetValue();
    auto entries = CFileJobRunner::SelectedEntries(*m_pDoc->GetCurrentFolder());
    m_nSelected = static_cast<int>(entries.size());
    m_runner.Start(std::make_unique<FileOpJob>(m_bMove ? FileOpJob::kMove : FileOpJob::kCopy, FileOpJob::Origin::Drop,
                                               m_pDoc->m_strDestFolder, std::move(entries),
                                               m_runner.MakePrompts(GetTitle().utf8_string())));
    m_timer.Start(100);
    if (auto* go = FindWindow(mdlg::kGoButton))
        go->Disable();
    if (auto* cancel = FindWindow(wxID_CANCEL))
        cancel->Enable();
}

void CCopyMoveDlg::OnTimer(wxTimerEvent&)
{
    if (m_pProgress && m_runner.Job())
        m_pProgress->SetValue(CFileOpDlg::BarPosition(m_runner.Job()->Handled(), m_nSelected));
}

void CCopyMoveDlg::RequestCancel()
{
    // Before Go no job runs: the dialog ends as a job that handled nothing would.
    if (!m_runner.Started())
        Finish();
    else
        m_runner.Cancel();
}

void CCopyMoveDlg::OnCancel(wxCommandEvent&) { RequestCancel(); }

void CCopyMoveDlg::OnClose(wxCloseEvent& event)
{
    if (event.CanVeto()) {
        event.Veto();
        RequestCancel();
        return;
    }
    event.Skip();
}

void CCopyMoveDlg::OnDone(lfplat::PostedMessageEvent&)
{
    m_timer.Stop();
    m_runner.Join();
    const FileOpJob* job = m_runner.Job();
    m_nWrittenCount = job->DoneCount();
    CFileJobRunner::DropMovedFromSelection(*m_pDoc, job->MovedPaths());
    Finish();
}

void CCopyMoveDlg::Finish()
{
    if (m_bFinished)
        return;
    m_bFinished = true;
    m_pDoc->EmptySelectionList();
    if (m_nWrittenCount > 0) {
        if (m_messageSink)
            m_messageSink("File(s) copied successfully.", "File Copy");
        else
            wxMessageBox("File(s) copied successfully.", "File Copy", wxOK | wxICON_INFORMATION, this);
    }
    m_pDoc->Refresh();
    EndModal(wxID_OK);
}
