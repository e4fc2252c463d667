#include "batch/ui/CFileJobRunner.h"

#include "manager/model/CFolderItem.h"
#include "manager/ui/CQuorixDoc.h"
#include "platform/FolderPaths.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include <stop_token>

namespace {

bool ShowBox(const std::string& text, const std::string& caption, bool question)
{
    const long style = question ? wxYES_NO | wxICON_QUESTION : wxOK | wxICON_ERROR;
    return wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(caption), style) == wxYES;
}

}  // namespace

CFileJobRunner::CFileJobRunner(wxEvtHandler* dialog)
    : m_questions([](std::function<void()> task) { wxTheApp->CallAfter(std::move(task)); }), m_port(dialog)
{
    m_questions.SetShower(ShowBox);
}

CFileJobRunner::~CFileJobRunner()
{
    m_port.Close();
    Cancel();
    m_questions.Abandon();
    Join();
}

void CFileJobRunner::SetPromptSink(PromptSink sink) { m_questions.SetShower(sink ? std::move(sink) : ShowBox); }

JobPrompts CFileJobRunner::MakePrompts(const std::string& caption) { return m_questions.MakePrompts(caption); }

void CFileJobRunner::Start(std::unique_ptr<FileOpJob> job)
{
    Join();
    m_job = std::move(job);
    FileOpJob* running = m_job.get();
    // A post fails only once the dialog is going away, and then nobody waits for it.
    m_worker = std::jthread([running, done = m_port.GetSink()](std::stop_token stop) {
        std::stop_callback onStop(stop, [running] { running->Cancel(); });
        running->Run();
        done.Post(kDoneMessage);
    });
}

void CFileJobRunner::Cancel()
{
    if (m_worker.joinable())
        m_worker.request_stop();
}

void CFileJobRunner::Join()
{
    if (m_worker.joinable())
        m_worker.join();
}

std::vector<FileOpEntry> CFileJobRunner::SelectedEntries(const CFolderItem& folder)
{
    std::vector<FileOpEntry> entries;
    for (const auto& image : folder.m_arrImages)
        if (image->m_bSelected)
            // A search result's record is named by its whole path: the file's own name is
            // the last part of its path, whatever the record shows.
            entries.push_back({LastPathComponent(image->m_strPath), image->m_strPath});
    return entries;
}

void CFileJobRunner::DropMovedFromSelection(CQuorixDoc& doc, const std::vector<std::string>& movedPaths)
{
    CFolderItem* folder = doc.GetCurrentFolder();
    for (const std::string& path : movedPaths)
        for (const auto& image : folder->m_arrImages)
            if (image->m_strPath == path) {
                doc.UpdateSelectionList(image.get(), false);
                break;
            }
}
