#include "batch/CFileJobRunner.h"

#include "manager/CFolderItem.h"
#include "manager/CQuorixDoc.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include <optional>

CFileJobRunner::CFileJobRunner(wxEvtHandler* dialog) : m_shared(std::make_shared<Shared>()), m_port(dialog) {}

CFileJobRunner::~CFileJobRunner()
{
    m_port.Close();
    Cancel();
    Abandon();
    Join();
}

void CFileJobRunner::SetPromptSink(PromptSink sink)
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->sink = std::move(sink);
}

JobPrompts CFileJobRunner::MakePrompts(const std::string& caption)
{
    JobPrompts prompts;
    prompts.askYesNo = [shared = m_shared, caption](const std::string& question) {
        return Ask(shared, question, caption, wxYES_NO | wxICON_QUESTION) == wxYES;
    };
    prompts.showError = [shared = m_shared, caption](const std::string& text) {
        Ask(shared, text, caption, wxOK | wxICON_ERROR);
    };
    return prompts;
}

int CFileJobRunner::Ask(const std::shared_ptr<Shared>& shared, const std::string& text, const std::string& caption,
                        long style)
{
    auto answer = std::make_shared<std::optional<int>>();
    {
        std::lock_guard lock(shared->mutex);
        if (shared->abandoned)
            return wxNO;
    }
    wxTheApp->CallAfter([shared, answer, text, caption, style] {
        PromptSink sink;
        {
            std::lock_guard lock(shared->mutex);
            if (shared->abandoned)
                return;
            sink = shared->sink;
        }
        const int result = sink ? sink(text, caption, style)
                                : wxMessageBox(wxString::FromUTF8(text), wxString::FromUTF8(caption), style);
        {
            std::lock_guard lock(shared->mutex);
            *answer = result;
        }
        shared->answered.notify_all();
    });
    std::unique_lock lock(shared->mutex);
    shared->answered.wait(lock, [&] { return answer->has_value() || shared->abandoned; });
    return answer->value_or(wxNO);
}

void CFileJobRunner::Abandon()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->abandoned = true;
    }
    m_shared->answered.notify_all();
}

void CFileJobRunner::Start(std::unique_ptr<FileOpJob> job)
{
    Join();
    m_job = std::move(job);
    FileOpJob* running = m_job.get();
    // A post fails only once the dialog is going away, and then nobody waits for it.
    m_worker = std::thread([running, done = m_port.GetSink()] {
        running->Run();
        done.Post(kDoneMessage);
    });
}

void CFileJobRunner::Cancel()
{
    if (m_job)
        m_job->Cancel();
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
            entries.push_back({image->m_strName, image->m_strPath});
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
