#include "batch/model/FileOpJob.h"

#include "batch/model/FileAttributes.h"
#include "batch/model/FileTransfer.h"
#include "platform/FolderPaths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

FileOpJob::FileOpJob(int mode, Origin origin, std::string destinationFolder, std::vector<FileOpEntry> entries,
                     JobPrompts prompts)
    : m_nMode(mode), m_origin(origin), m_strDestination(std::move(destinationFolder)), m_entries(std::move(entries)),
      m_prompts(std::move(prompts))
{
    if (origin == Origin::Drop)
        m_pause = std::chrono::milliseconds(0);
}

std::string FileOpJob::OverwriteQuestion(Origin origin, const std::string& folder, const std::string& name)
{
    const std::string target = JoinPath(folder, name);
    if (origin == Origin::Drop)
        return "Do you want to overwrite " + target;
    return "File already exists. Do you want to \noverwrite on " + target + "?";
}

std::string FileOpJob::DeleteErrorText(bool move, int cause, const std::string& attributeText, const std::string& path)
{
    return "ERROR:00" + std::to_string(cause) + (move ? "  Unable to move " : "  Unable to delete ") + attributeText +
           "\n" + path;
}

void FileOpJob::Ask(bool& answer, const std::string& question)
{
    answer = m_prompts.askYesNo && m_prompts.askYesNo(question);
}

void FileOpJob::Report(const std::string& text)
{
    if (m_prompts.showError)
        m_prompts.showError(text);
}

void FileOpJob::Run()
{
    m_nHandled = 0;
    m_nMet = 0;
    m_sameFiles.clear();
    for (const FileOpEntry& entry : m_entries) {
        if (m_bCancel)
            break;
        ++m_nMet;
        if (m_nMode == kDelete) {
            Delete(entry);
        } else {
            // A source that cannot be read is passed over without a word.
            const int source = ::open(entry.path.c_str(), O_RDONLY | O_CLOEXEC);
            if (source < 0)
                continue;
            ::close(source);
            CopyOrMove(entry);
        }
        ++m_nHandled;
    }
    if (!m_sameFiles.empty())
        Report(SameFileText(m_sameFiles));
    m_nHandled = 0;
}

std::string FileOpJob::SameFileText(const std::vector<std::string>& paths)
{
    std::string text = "Source and destination are the same file:";
    for (size_t i = 0; i < paths.size() && i < kSameFilesListed; ++i)
        text += "\n" + paths[i];
    if (paths.size() > kSameFilesListed)
        text += "\n(" + std::to_string(paths.size() - kSameFilesListed) + " more)";
    return text;
}

void FileOpJob::CopyOrMove(const FileOpEntry& entry)
{
    if (m_pause.count() > 0)
        std::this_thread::sleep_for(m_pause);
    if (!IsAbsoluteLocalPath(m_strDestination)) {
        Report(kWriteError);
        return;
    }
    const std::string target = JoinPath(m_strDestination, entry.name);
    const bool move = m_nMode == kMove;
    // Into its own folder (by any path to it): the file stays as it is, no question is
    // asked, and the end of the job says so.
    if (IsSameFile(entry.path, target)) {
        m_sameFiles.push_back(entry.path);
        return;
    }
    bool replace = false;
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0) {
        Ask(replace, OverwriteQuestion(m_origin, m_strDestination, entry.name));
        if (!replace)
            return;
    }
    const TransferOutcome outcome = TransferFile(entry.path, target, move, replace);
    if (outcome.sameFile) {
        m_sameFiles.push_back(entry.path);
        return;
    }
    if (!outcome.written) {
        Report(kWriteError);
        return;
    }
    // Only what was done counts: a move whose source stays was not a move.
    if (!move) {
        ++m_nDone;
        return;
    }
    if (outcome.sourceDeleted) {
        ++m_nDone;
        m_movedPaths.push_back(entry.path);
        return;
    }
    Report(DeleteErrorText(true, FileErrorCause(outcome.deleteError), AttributeText(ReadFileAttributes(entry.path)),
                           entry.path));
}

void FileOpJob::Delete(const FileOpEntry& entry)
{
    const FileAttributes attributes = ReadFileAttributes(entry.path);
    int error = 0;
    // A protected file is refused as the user's own permissions would refuse it.
    if (attributes.readOnly && attributes.exists)
        error = EACCES;
    else if (::unlink(entry.path.c_str()) != 0)
        error = errno;
    if (error != 0)
        Report(DeleteErrorText(false, FileErrorCause(error), AttributeText(attributes), entry.path));
}
