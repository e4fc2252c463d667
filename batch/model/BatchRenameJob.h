#pragma once
// The batch rename job: each image is renamed in place, or copied under its new name into
// an output folder. It never replaces an existing file without the user's word: an in-place
// rename onto a taken name fails and is reported, and a copy onto an existing file asks.
// A question ends a run; the dialog asks the user and resumes the job with the answer, so
// the worker never waits for the user-interface thread.

#include "batch/model/BatchMessages.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace batch {

struct RenameItem {
    std::string path;     // full path now
    std::string newName;  // file name it gets
};

// What one copy did: ok, or the error text and whether creating the destination failed
// (the file exists there and may be overwritten on request).
struct CopyOutcome {
    bool ok = false;
    bool destinationFailed = false;
    std::string error;
};
using CopyFunction = std::function<CopyOutcome(const std::string& source, const std::string& target, bool overwrite)>;

// The copy the job makes: the file copier's.
CopyOutcome CopyWithFileCopier(const std::string& source, const std::string& target, bool overwrite);

class BatchRenameJob {
public:
    // replace: rename in place; otherwise copy into outputFolder.
    BatchRenameJob(std::vector<RenameItem> items, bool replace, std::string outputFolder, CopyFunction copy,
                   MessageSink messages);

    // Works through the images from where it stopped. Returns the overwrite question when a
    // copy met an existing file (that image waits for Answer), nothing when all are done.
    std::optional<std::string> Run();
    // The user's answer to the last question: true copies over the existing file.
    void Answer(bool overwrite);
    bool Finished() const { return m_next >= m_items.size(); }

    // Paths of the images the job handled (all but the missing ones), in order.
    const std::vector<std::string>& Handled() const { return m_handled; }

    // "Cannot rename <name>: ..." for a failed rename with errno error.
    static std::string RenameFailureText(const std::string& oldName, int error);

private:
    // One image; false when it waits for an answer.
    bool Process(const RenameItem& item);
    void Report(const std::string& text, MessageKind kind) const;

    std::vector<RenameItem> m_items;
    bool m_bReplace;
    std::string m_strOutputFolder;
    CopyFunction m_copy;
    MessageSink m_messages;
    size_t m_next = 0;
    CopyOutcome m_pending;  // the failed copy the last question was about
    std::vector<std::string> m_handled;
};

}  // namespace batch
