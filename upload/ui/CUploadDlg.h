#pragma once
// The upload dialog: the document's selection as a check-box list, the login and
// password, the compression choice, progress and status. The work is the controller's
// (CUploadController); this window shows what it reports and turns the buttons into its
// calls, and keeps the document's selection, ticks and account fields in step.

#include "upload/model/CUploadController.h"
#include "upload/model/UploadListRow.h"

#include <wx/dialog.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CImageItem;
class CQuorixDoc;
class wxButton;
class wxGauge;
class wxListCtrl;
class wxListEvent;
class wxTextCtrl;

class CUploadDlg : public wxDialog, private IUploadView {
public:
    // What the dialog asks the user and hands to the desktop. Each has a default (message
    // boxes, the sub-dialogs, the desktop's browser); tests give their own answers.
    struct Prompts {
        // caption empty: a plain box; otherwise a box with the error icon.
        std::function<void(const std::string& text, const std::string& caption)> message;
        // True for Retry.
        std::function<bool(const std::string& text)> retry;
        std::function<void(const std::string& reply)> serverMessage;
        // The compression dialog; false when it was cancelled.
        std::function<bool()> compression;
        // Opens an address in the browser; above 32 is success, else the failure's code.
        std::function<int(const std::string& url)> openBrowser;
    };

    explicit CUploadDlg(wxWindow* parent);
    ~CUploadDlg() override;

    void SetDocument(CQuorixDoc* doc);
    // Replaces the prompts that are set in prompts (the others keep their defaults).
    void SetPrompts(const Prompts& prompts);
    // The service's hosts (read from the program's settings by SetDocument).
    void SetEndpoints(const UploadEndpoints& endpoints) { m_endpoints = endpoints; }
    // The watchdog's clock, for tests.
    void SetClock(CTransferThread::Clock clock) { m_clock = std::move(clock); }

    // The message for a failed browser start, or null.
    static const char* BrowserFailureText(int code);

    // The dialog's parts, for tests and the views that host it.
    CUploadController* Controller() { return m_controller.get(); }
    wxListCtrl* List() const { return m_list; }
    wxGauge* Progress() const { return m_progress; }
    wxString Status() const;
    // The highest progress position shown since the last range was set.
    int64_t ProgressSeen() const { return m_progressSeen; }

    // Buttons (also reached through their ids).
    void OnUploadNow();
    void OnGoToInbox();
    void OnRegister();
    void OnCheckStatus();
    void OnCompressionSettings();
    void OnSelectAll();
    void OnDeselectAll();
    void OnOK();
    void OnCancel();

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void OnCloseBox(wxCloseEvent& event);
    void OnPaint(wxPaintEvent& event);
    void OnColumnClick(wxListEvent& event);
    void OnItemChecked(wxListEvent& event);
    void FillList(bool checked);
    void SortList(int column, bool ascending);
    // The list's rows in display order, by their source paths.
    std::vector<std::string> RowPathsInOrder() const;
    void ReadCredentials();
    int OpenBrowser(const std::string& url, bool report);
    // Close, Cancel and the close box: nothing more happens, nothing of the upload stays.
    void EndUpload(int result);
    void CopyReplyToDocument();
    CImageItem* FileOf(const std::string& sourcePath) const;

    // IUploadView
    void SetStatus(const std::string& text) override;
    void SetProgressRange(int64_t upper) override;
    void SetProgress(int64_t position) override;
    void SetPhase(Phase phase) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ShowServerMessage(const std::string& reply) override;
    void ShowStatusButton(const std::string& caption) override;
    bool AskRetry(const std::string& text) override;
    void FileStarted(int previous, int next) override;
    void UploadBoxText(const std::string& text) override;
    void LoginFinished() override;
    void SetLoginReady(bool ready) override;

    CQuorixDoc* m_doc = nullptr;
    Prompts m_prompts;
    UploadEndpoints m_endpoints;
    CTransferThread::Clock m_clock;
    std::unique_ptr<CUploadController> m_controller;
    bool m_opened = false;
    bool m_sortAscending = true;
    // The file array: the document's selection when the dialog opened; not owned.
    std::vector<CImageItem*> m_files;
    std::vector<UploadListRow> m_rows;  // the list's item data are indexes into this
    // The progress bar works in a range of at most this many steps.
    int64_t m_progressUpper = 0;
    int64_t m_progressSeen = 0;
    std::string m_thumbnailPath;  // the file being sent, whose thumbnail is drawn

    wxListCtrl* m_list = nullptr;
    wxGauge* m_progress = nullptr;
    wxTextCtrl* m_status = nullptr;
    wxTextCtrl* m_login = nullptr;
    wxTextCtrl* m_password = nullptr;
};

// The Uploader command: the dialog over the document's selection, run modally.
void RunUploadDialog(CQuorixDoc& doc);
