#pragma once
// Runs one file job for a dialog: the worker thread, its questions and error boxes
// (shown on the user-interface thread while the worker waits), and the done message
// (0x405) posted to the dialog through its port when the job is over. The runner's end
// closes the port, stops the job before its next file and joins the worker; a question
// still waiting counts as No.

#include "batch/model/FileOpJob.h"
#include "batch/model/JobQuestions.h"
#include "platform/gui/MessagePort.h"

#include <functional>
#include <memory>
#include <string>
#include <thread>

class CFolderItem;
class CQuorixDoc;
class wxEvtHandler;

class CFileJobRunner {
public:
    // Shows a box on the user-interface thread (a message box by default; tests answer
    // by script): a Yes/No question, true for Yes, or an error.
    using PromptSink = JobQuestions::Shower;

    explicit CFileJobRunner(wxEvtHandler* dialog);
    ~CFileJobRunner();
    CFileJobRunner(const CFileJobRunner&) = delete;
    CFileJobRunner& operator=(const CFileJobRunner&) = delete;

    void SetPromptSink(PromptSink sink);
    // The prompts a job gets: Yes/No questions with the question icon, errors with the
    // error icon, under the caption.
    JobPrompts MakePrompts(const std::string& caption);
    // Starts job on a worker; the dialog receives kDoneMessage when it is over.
    void Start(std::unique_ptr<FileOpJob> job);
    bool Started() const { return m_job != nullptr; }
    // The job stops before its next file (or, if it waits in a question, after it).
    void Cancel();
    // Waits for the worker to end (after the done message, at once).
    void Join();
    FileOpJob* Job() const { return m_job.get(); }

    static constexpr int kDoneMessage = 0x405;

    // The selected images of the document's current folder, in folder order.
    static std::vector<FileOpEntry> SelectedEntries(const CFolderItem& folder);
    // The job's moved images leave the document's selection (on the user-interface thread).
    static void DropMovedFromSelection(CQuorixDoc& doc, const std::vector<std::string>& movedPaths);

private:
    JobQuestions m_questions;
    std::unique_ptr<FileOpJob> m_job;
    lfplat::MessagePort m_port;
    std::jthread m_worker;  // last: stopped and joined before the job it runs goes
};
