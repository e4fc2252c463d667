#pragma once
// The job behind the copy, move and delete commands and behind rows dropped on the
// folder tree: it walks the selected images of a folder in folder order on a worker
// thread, asks before replacing a file, reports what fails, and counts its progress.
// It knows no window and no document: the dialog hands it the images and the
// destination, answers its questions on the user-interface thread and applies its
// results to the document when it has ended.

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct FileOpEntry {
    std::string name;  // file name with extension
    std::string path;  // full path
};

// How a job talks to the user; both are called on the worker and wait for the user.
struct JobPrompts {
    std::function<bool(const std::string& question)> askYesNo;  // true for Yes
    std::function<void(const std::string& text)> showError;
};

class FileOpJob {
public:
    enum Mode { kMove = 0, kCopy = 1, kDelete = 2 };
    // Who started it: the copy/move/delete commands, or rows dropped on the folder tree
    // (another overwrite question, no pause between files).
    enum class Origin { Commands, Drop };

    // destinationFolder: where copies and moves go (an absolute folder; anything else
    // makes every write fail).
    FileOpJob(int mode, Origin origin, std::string destinationFolder, std::vector<FileOpEntry> entries,
              JobPrompts prompts);

    // The whole job; on the worker thread.
    void Run();
    // From any thread: the job stops before its next file.
    void Cancel() { m_bCancel = true; }
    // The pause before each copy or move of the commands' job (the progress shows it).
    void SetPause(std::chrono::milliseconds pause) { m_pause = pause; }

    // Files handled so far; read by the progress timer while the job runs.
    int Handled() const { return m_nHandled; }
    // After Run: files copied, or moved away from their folder (done), selected images
    // met, and the images moved away (their records leave the selection).
    int DoneCount() const { return m_nDone; }
    int MetCount() const { return m_nMet; }
    const std::vector<std::string>& MovedPaths() const { return m_movedPaths; }

    static std::string OverwriteQuestion(Origin origin, const std::string& folder, const std::string& name);
    // "ERROR:00<cause>  Unable to move|delete <attribute text>\n<path>".
    static std::string DeleteErrorText(bool move, int cause, const std::string& attributeText,
                                       const std::string& path);
    // Said once at the end of a copy or move that met files whose target is the file
    // itself (same device and inode): the first few paths are listed.
    static std::string SameFileText(const std::vector<std::string>& paths);
    static constexpr size_t kSameFilesListed = 10;
    static constexpr const char* kWriteError = "Error in writing file to the destination folder.";

private:
    void CopyOrMove(const FileOpEntry& entry);
    void Delete(const FileOpEntry& entry);
    void Ask(bool& answer, const std::string& question);
    void Report(const std::string& text);

    const int m_nMode;
    const Origin m_origin;
    const std::string m_strDestination;
    const std::vector<FileOpEntry> m_entries;
    const JobPrompts m_prompts;
    std::chrono::milliseconds m_pause{100};
    std::atomic<bool> m_bCancel{false};
    std::atomic<int> m_nHandled{0};
    int m_nDone = 0;
    int m_nMet = 0;
    std::vector<std::string> m_movedPaths;
    std::vector<std::string> m_sameFiles;
};
