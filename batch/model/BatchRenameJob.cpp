#include "batch/model/BatchRenameJob.h"

#include "batch/model/BatchRenameNames.h"
#include "batch/model/CFileCopier.h"
#include "batch/model/OutputFolder.h"
#include "platform/FolderPaths.h"
#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace batch {

namespace {

constexpr char kOverwriteQuestion[] = "\nDo you want to overwrite the existing file?";

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

CopyOutcome CopyWithFileCopier(const std::string& source, const std::string& target, bool overwrite)
{
    CFileCopier copier;
    if (copier.Copy(source, target, overwrite))
        return {true, false, {}};
    return {false, copier.DestinationFailed(), copier.ErrorText()};
}

BatchRenameJob::BatchRenameJob(std::vector<RenameItem> items, bool replace, std::string outputFolder,
                               CopyFunction copy, MessageSink messages)
    : m_items(std::move(items)), m_bReplace(replace), m_strOutputFolder(std::move(outputFolder)),
      m_copy(std::move(copy)), m_messages(std::move(messages))
{
}

void BatchRenameJob::Report(const std::string& text, MessageKind kind) const
{
    if (m_messages)
        m_messages(text, kind);
}

std::string BatchRenameJob::RenameFailureText(const std::string& oldName, int error)
{
    if (error == EEXIST || error == ENOTEMPTY)
        return "Cannot rename " + oldName +
               ": A file with the name you specified already exists.\nSpecify a different file name.";
    return "Cannot rename " + oldName + ": " + std::strerror(error) + ".";
}

bool BatchRenameJob::Process(const RenameItem& item)
{
    if (!Exists(item.path)) {
        Report(NotFoundText(item.path), MessageKind::Information);
        return true;
    }
    m_handled.push_back(item.path);
    const std::string oldName = LastPathComponent(item.path);
    if (!IsUsableFileName(item.newName)) {
        Report(RenameFailureText(oldName, EINVAL), MessageKind::Information);
        return true;
    }
    if (m_bReplace) {
        const std::string target = JoinPath(FolderOf(item.path), item.newName);
        if (target != item.path && !lfplat::RenameNoReplace(item.path, target))
            Report(RenameFailureText(oldName, errno), MessageKind::Information);
        return true;
    }
    const CopyOutcome outcome = m_copy(item.path, JoinPath(m_strOutputFolder, item.newName), false);
    if (outcome.ok)
        return true;
    if (outcome.destinationFailed) {
        m_pending = outcome;
        return false;
    }
    Report(outcome.error, MessageKind::Plain);
    return true;
}

std::optional<std::string> BatchRenameJob::Run()
{
    // Copies land in the output folder only: a relative one is refused before any file.
    if (m_next == 0 && !m_bReplace) {
        if (const std::string error = OutputFolderError(m_strOutputFolder); !error.empty()) {
            Report(error, MessageKind::Plain);
            m_next = m_items.size();
        }
    }
    while (m_next < m_items.size()) {
        if (!Process(m_items[m_next]))
            return m_pending.error + kOverwriteQuestion;
        ++m_next;
    }
    return std::nullopt;
}

void BatchRenameJob::Answer(bool overwrite)
{
    if (m_next >= m_items.size())
        return;
    if (overwrite) {
        const RenameItem& item = m_items[m_next];
        const CopyOutcome again = m_copy(item.path, JoinPath(m_strOutputFolder, item.newName), true);
        if (!again.ok)
            Report(again.error, MessageKind::Plain);
    }
    ++m_next;
}

}  // namespace batch
