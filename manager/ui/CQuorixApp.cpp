#include "manager/ui/CQuorixApp.h"

#include "manager/ui/CAboutDlg.h"
#include "controls/CFramePlacementHook.h"
#include "manager/ui/CMainFrame.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/ui/CQuorixDocManager.h"
#include "manager/ui/CQuorixDocTemplate.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/CSysImageList.h"
#include "manager/ui/StopWorkerThreads.h"
#include "platform/ProgramStart.h"
#include "platform/SettingsStore.h"
#include "platform/SingleInstanceLock.h"
#include "platform/gui/WxReactor.h"
#include "platform/WorkingFolder.h"
#include "resources/manager/ManagerIds.h"
#include "resources/manager/ManagerStrings.h"

#include <wx/docview.h>
#include <wx/filehistory.h>
#include <wx/log.h>
#include <wx/msgdlg.h>

#include <chrono>
#include <cstdio>

wxBEGIN_EVENT_TABLE(CQuorixApp, wxApp)
    EVT_MENU(ID_APP_ABOUT, CQuorixApp::OnAppAbout)
wxEND_EVENT_TABLE()

namespace {

// A manager that closes writes its session and its thumbnail cache; a large cache on a
// slow disk takes a while.
constexpr std::chrono::seconds kWaitForClosingManager{60};
const char kStillClosing[] = "The program is still closing its last window. Start it again when it has ended.";

std::string ProfileSection(const char* section) { return std::string(mstr::kProfileKey) + "\\" + section; }

// Nobody may be left facing a modal box that a test run cannot answer: assertion
// failures and error logs go to the error output.
void PrintAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    std::fprintf(stderr, "%s:%d: %s: assertion %s failed: %s\n", file.utf8_str().data(), line,
                 func.utf8_str().data(), cond.utf8_str().data(), msg.utf8_str().data());
}

}  // namespace

CQuorixApp::CQuorixApp(std::vector<std::string> arguments, ManagerServices services)
    : m_arguments(std::move(arguments)), m_services(std::move(services))
{
}

CQuorixApp::~CQuorixApp() = default;

std::optional<std::string> CQuorixApp::FileToHandOff(const std::vector<std::string>& arguments)
{
    for (const std::string& a : arguments)
        if (!a.empty() && a[0] != '-')
            return a;
    return std::nullopt;
}

int CQuorixApp::HandOffToEditor(const std::string& appFolder, const std::string& path,
                                const std::string& workingFolder)
{
    const int result = lfplat::StartProgram(appFolder + mstr::kEditorProgram, {path}, workingFolder);
    if (result <= 32)
        if (const char* text = lfplat::StartFailureText(result))
            wxMessageBox(wxString::FromUTF8(text), mstr::kAppTitle, wxOK | wxICON_STOP);
    return result;
}

bool CQuorixApp::OnInit()
{
    wxSetAssertHandler(PrintAssert);
    delete wxLog::SetActiveTarget(new wxLogStderr);

    // Another manager of this user runs: end at once, without a word (and without
    // failing whoever started us). One that is closing (writing its session and cache)
    // is waited for: the user started the manager and expects its window.
    m_instanceLock = std::make_unique<lfplat::SingleInstanceLock>(mstr::kInstanceLockName);
    if (m_instanceLock->AnotherIsClosing() && !m_instanceLock->WaitWhileAnotherCloses(kWaitForClosingManager) &&
        m_instanceLock->AnotherIsClosing()) {
        wxMessageBox(kStillClosing, mstr::kAppTitle, wxOK | wxICON_INFORMATION);
        m_endWithoutWindow = 0;
        return true;
    }
    if (m_instanceLock->AnotherHolds()) {
        m_endWithoutWindow = 0;
        return true;
    }

    SetAppName("quorix");
    SetAppDisplayName(mstr::kAppTitle);
    m_docManager = std::make_unique<CQuorixDocManager>();
    LoadRecentFiles(*m_docManager->GetFileHistory(), lfplat::SettingsStore::DefaultPath());

    m_state = std::make_unique<CQuorixState>(lfplat::SettingsStore::DefaultPath());
    m_state->ReadSettings();
    m_state->m_services = std::move(m_services);
    // While the user-interface thread waits for loaders, it still delivers what they post.
    m_state->m_pumpWhileWaiting = [] { wxTheApp->ProcessPendingEvents(); };
    new CQuorixDocTemplate(m_docManager.get(), *m_state);  // the manager owns its templates

    // The programs of the suite lie side by side; the editor is started from here, in
    // the working folder the manager was started in.
    m_state->m_strAppFolder = lfplat::ExecutableFolder();
    const std::string& workingFolder = lfplat::CaptureWorkingFolder();
    if (const auto file = FileToHandOff(m_arguments)) {
        const int result = HandOffToEditor(m_state->m_strAppFolder, *file, workingFolder);
        m_endWithoutWindow = result > 32 ? 0 : 1;
        return true;
    }

    m_reactor = std::make_unique<lfplat::WxReactor>();
    m_sysImageList = std::make_unique<CSysImageList>();
    auto* frame = new CMainFrame(m_docManager.get(), *m_state, m_sysImageList.get());
    SetTopWindow(frame);
    if (!m_docManager->CreateNewDocument()) {
        frame->Destroy();
        return false;
    }
    frame->SetTitle(mstr::kAppTitle);
    // From the close on, a new start waits for this one to end instead of giving way.
    frame->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
        if (m_instanceLock)
            m_instanceLock->MarkClosing();
        event.Skip();
    });
    m_placement = std::make_unique<CFramePlacementHook>(frame, WindowPlacement::kShow, mstr::kPlacementEntry,
                                                        ProfileSection(mstr::kPlacementSection),
                                                        lfplat::SettingsStore(lfplat::SettingsStore::DefaultPath()));
    frame->Update();
    // Settings or a session that cannot be kept are told once the window is up.
    CallAfter([this] {
        if (auto* doc = m_docManager ? dynamic_cast<CQuorixDoc*>(m_docManager->GetCurrentDocument()) : nullptr)
            doc->ShowStateFileProblems();
    });
    return true;
}

int CQuorixApp::OnRun()
{
    if (m_endWithoutWindow)
        return *m_endWithoutWindow;
    return wxApp::OnRun();
}

int CQuorixApp::OnExit()
{
    if (m_endWithoutWindow)
        return wxApp::OnExit();
    if (m_state)
        StopWorkerThreads(*m_state, true, nullptr, nullptr);
    if (m_docManager) {
        SaveRecentFiles(*m_docManager->GetFileHistory(), lfplat::SettingsStore::DefaultPath());
        m_docManager.reset();
    }
    m_placement.reset();
    m_reactor.reset();
    return wxApp::OnExit();
}

void CQuorixApp::OnAppAbout(wxCommandEvent&)
{
    CAboutDlg dialog(GetTopWindow());
    dialog.ShowModal();
}

void CQuorixApp::LoadRecentFiles(wxFileHistory& history, const std::string& settingsPath)
{
    const auto all = lfplat::SettingsStore(settingsPath).ReadAll();
    const auto section = all.find(ProfileSection(mstr::kRecentFileSection));
    if (section == all.end())
        return;
    // The newest is File1: add the oldest first.
    for (int i = mstr::kRecentFileCount; i >= 1; --i)
        if (auto file = section->second.find("File" + std::to_string(i));
            file != section->second.end() && !file->second.empty())
            history.AddFileToHistory(wxString::FromUTF8(file->second));
}

void CQuorixApp::SaveRecentFiles(const wxFileHistory& history, const std::string& settingsPath)
{
    const std::string name = ProfileSection(mstr::kRecentFileSection);
    lfplat::SettingsStore(settingsPath).Update([&](lfplat::SettingsStore::Content& all) {
        auto& section = all[name];
        for (int i = 1; i <= mstr::kRecentFileCount; ++i) {
            const std::string key = "File" + std::to_string(i);
            if (static_cast<size_t>(i) <= history.GetCount())
                section[key] = history.GetHistoryFile(i - 1).utf8_string();
            else
                section.erase(key);
        }
    });
}
