#pragma once
// The modeless search window: finds image files by name pattern in a folder or on every
// mounted volume, optionally through all subfolders, and shows them in the image pane as
// the contents of a pseudo-folder named "Search". The walk runs on a loader thread
// (CFindThread); the records it makes reach the document here, on the user-interface
// thread, and each one is announced to the main frame, whose list view adds its row.

#include "batch/model/CFindThread.h"
#include "batch/ui/BatchHost.h"
#include "platform/gui/MessagePort.h"

#include <wx/dialog.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class CFolderItem;
class CQuorixDoc;
class wxActivityIndicator;

namespace lfplat {
class PostedMessageEvent;
}

class CSearchDlg : public wxDialog {
public:
    static constexpr char kFileNameCaption[] = "Search by Filename";
    static constexpr char kNotesCaption[] = "Search by Notes/Keywords";
    static constexpr char kCompletedText[] = "Search completed. See window behind this window for results.";

    // Creates the window (hidden).
    explicit CSearchDlg(wxWindow* parent = nullptr);
    ~CSearchDlg() override;

    // doc: searched into; owner: the main frame, told of each found image; caption: the
    // mode. Fills the fields for the mode.
    void SetSearch(CQuorixDoc* doc, wxWindow* owner, const std::string& caption);
    // The host's list is told of each record added to the results.
    void SetHost(batch::BatchHost host) { m_host = std::move(host); }

    // Seams for the user's answers: the folder browser gives a path, "My Computer", or
    // nothing (cancel); messages go to a box by default; the view change before a search
    // runs the change-view dialog by default.
    void SetFolderPicker(std::function<std::optional<std::string>(const std::string& start)> pick)
    {
        m_pickFolder = std::move(pick);
    }
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_messageSink = std::move(sink); }
    void SetViewChanger(std::function<void(CQuorixDoc&)> change) { m_changeView = std::move(change); }

    // The search root a search folder text stands for ("My Computer" stays as it is).
    static std::string SearchRootOf(const std::string& folder);

    bool IsSearching() const { return m_stop != nullptr; }
    std::string GetStatusText() const;
    void StartSearch();  // the Search button
    void StopSearch();   // the Stop button

    static constexpr int kFoundMessage = 0x410;
    static constexpr int kDoneMessage = 0x405;

private:
    struct Inbox {
        std::mutex mutex;
        std::vector<std::unique_ptr<CImageItem>> records;
    };

    void OnSearch(wxCommandEvent&) { StartSearch(); }
    void OnStop(wxCommandEvent&) { StopSearch(); }
    void OnClose(wxCommandEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnBrowse(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnFolderChosen(wxCommandEvent& event);
    void OnFound(lfplat::PostedMessageEvent& event);
    void OnDone(lfplat::PostedMessageEvent& event);
    bool Browse();
    void ReadControls();
    void WriteControls();
    void SetStatus(const std::string& text, bool shown);
    void SearchEnded();
    void ForgetThread();

    CQuorixDoc* m_pDoc = nullptr;
    wxWindow* m_pOwner = nullptr;
    std::string m_strCaption = kFileNameCaption;
    std::string m_strPattern;
    std::string m_strKeywords;
    std::string m_strFolder;
    bool m_bSubfolders = true;
    std::string m_strStatus;
    CFolderItem* m_pSearchFolder = nullptr;  // identity of the "Search" record filled now
    std::shared_ptr<std::atomic<bool>> m_stop;  // the running search's, null when none
    std::shared_ptr<Inbox> m_inbox;
    uintptr_t m_nSearchId = 0;  // counts searches; the done message names its own
    wxActivityIndicator* m_busy = nullptr;
    std::function<std::optional<std::string>(const std::string&)> m_pickFolder;
    std::function<void(const std::string&)> m_messageSink;
    std::function<void(CQuorixDoc&)> m_changeView;
    batch::BatchHost m_host;
    lfplat::MessagePort m_port;
};
