#pragma once
// The manager's application object: the single-instance test, the shared state, the
// document template and the main window; or, with an image named on the command line,
// the hand-off of that image to the editor and an end without a window.

#include "manager/model/ManagerServices.h"

#include <wx/app.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CFramePlacementHook;
class CQuorixState;
class CSysImageList;
class wxDocManager;
class wxFileHistory;

namespace lfplat {
class SingleInstanceLock;
class WxReactor;
}

class CQuorixApp : public wxApp {
public:
    // arguments: the command line after the program name, as the bytes it was given.
    // services: the neighbouring libraries' dialogs, handed to the state at start-up.
    explicit CQuorixApp(std::vector<std::string> arguments = {}, ManagerServices services = {});
    ~CQuorixApp() override;

    bool OnInit() override;
    // Runs the main loop, or ends at once with the exit status when start-up ended the
    // program on purpose (another manager runs, or the image went to the editor).
    int OnRun() override;
    int OnExit() override;

    // The image path the command line names: its first argument that is not an option.
    static std::optional<std::string> FileToHandOff(const std::vector<std::string>& arguments);
    // Starts the editor of appFolder with path as its only argument, in workingFolder (the
    // manager's own, where the two programs share their files); on failure shows the
    // "System Error:" message of the result, when it has one. Returns the result code.
    static int HandOffToEditor(const std::string& appFolder, const std::string& path,
                               const std::string& workingFolder);

    // The recent-file list in the settings file's profile section ("File1" the newest).
    static void LoadRecentFiles(wxFileHistory& history, const std::string& settingsPath);
    static void SaveRecentFiles(const wxFileHistory& history, const std::string& settingsPath);

    CQuorixState& GetState() { return *m_state; }
    CSysImageList& GetSysImageList() { return *m_sysImageList; }

private:
    void OnAppAbout(wxCommandEvent& event);

    std::vector<std::string> m_arguments;
    ManagerServices m_services;
    // Set when start-up ends the program without a window: the exit status.
    std::optional<int> m_endWithoutWindow;
    std::unique_ptr<lfplat::SingleInstanceLock> m_instanceLock;
    // The user-interface thread's reactor: the upload's sockets run on the event loop.
    std::unique_ptr<lfplat::WxReactor> m_reactor;
    std::unique_ptr<CQuorixState> m_state;
    std::unique_ptr<CSysImageList> m_sysImageList;
    std::unique_ptr<wxDocManager> m_docManager;
    std::unique_ptr<CFramePlacementHook> m_placement;

    wxDECLARE_EVENT_TABLE();
};
