#include "editor/ui/CPixoroApp.h"

#include "editor/ui/CMainFrame.h"
#include "editor/ui/CPixoroAboutDlg.h"
#include "editor/model/CPixoroCommandLineInfo.h"
#include "editor/ui/CPixoroDocTemplate.h"
#include "editor/ui/CPixoroPrompts.h"
#include "editor/model/CPixoroState.h"
#include "editor/model/ImageFileTypes.h"
#include "controls/CFramePlacementHook.h"
#include "platform/SettingsStore.h"
#include "platform/StateFileReport.h"
#include "platform/WorkingFolder.h"
#include "platform/gui/RecentFileStore.h"
#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorStrings.h"

#include <wx/docview.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/log.h>

#include <cstdio>

wxBEGIN_EVENT_TABLE(CPixoroApp, wxApp)
    EVT_MENU(ID_APP_ABOUT, CPixoroApp::OnAppAbout)
wxEND_EVENT_TABLE()

namespace {

// The framework's document handling with a recent-file list of four entries; File > Open
// is the editor's own.
class PixoroDocManager : public wxDocManager {
public:
    PixoroDocManager() : wxDocManager(0, false) { Initialize(); }
    wxFileHistory* OnCreateFileHistory() override { return new wxFileHistory(estr::kRecentFileCount); }

private:
    void OnOpen(wxCommandEvent&)
    {
        if (auto* app = dynamic_cast<CPixoroApp*>(wxTheApp))
            app->FileOpen();
    }
    wxDECLARE_EVENT_TABLE();
};

wxBEGIN_EVENT_TABLE(PixoroDocManager, wxDocManager)
    EVT_MENU(ID_FILE_OPEN, PixoroDocManager::OnOpen)
wxEND_EVENT_TABLE()

std::string ProfileSection(const char* section) { return std::string(estr::kProfileKey) + "\\" + section; }

// Nobody may be left facing a modal box that a test run cannot answer: assertion
// failures and error logs go to the error output.
void PrintAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg)
{
    std::fprintf(stderr, "%s:%d: %s: assertion %s failed: %s\n", file.utf8_str().data(), line,
                 func.utf8_str().data(), cond.utf8_str().data(), msg.utf8_str().data());
}

std::string Absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    return lfplat::WorkingFolder() + "/" + path;
}

}  // namespace

CPixoroApp::CPixoroApp(std::vector<std::string> arguments) : m_arguments(std::move(arguments)) {}

CPixoroApp::~CPixoroApp() = default;

bool CPixoroApp::OnInit()
{
    wxSetAssertHandler(PrintAssert);
    delete wxLog::SetActiveTarget(new wxLogStderr);
    SetAppName("pixoro");
    SetAppDisplayName(estr::kAppTitle);
    lfplat::CaptureWorkingFolder();

    const std::string settingsPath = lfplat::SettingsStore::DefaultPath();
    m_state = std::make_unique<CPixoroState>(settingsPath);
    m_state->m_strParamFilePath = lfplat::WorkingPath(estr::kParamFile);
    m_state->ReadSettings();

    m_docManager = std::make_unique<PixoroDocManager>();
    lfplat::LoadRecentFiles(*m_docManager->GetFileHistory(), lfplat::SettingsStore(settingsPath),
                            ProfileSection(estr::kRecentFileSection), estr::kRecentFileCount);
    m_prompts = std::make_unique<CPixoroPrompts>();
    m_pDocTemplate = new CPixoroDocTemplate(m_docManager.get(), *m_state, *m_prompts);  // the manager owns it

    m_pMainFrame = new CMainFrame(m_docManager.get());
    SetTopWindow(m_pMainFrame);
    m_prompts->SetParent(m_pMainFrame);

    CPixoroCommandLineInfo commandLine;
    commandLine.Parse(m_arguments);
    if (CPixoroCommandLineInfo::IsGifParameter(commandLine.m_strLastParam)) {
        m_prompts->ShowMessage(estr::kGifRefused, DocPrompts::Icon::Error);
        commandLine.m_strLastParam.clear();
    }
    if (!commandLine.m_strLastParam.empty() && !OpenImage(Absolute(commandLine.m_strLastParam))) {
        // The document has said why; the editor ends.
        m_pMainFrame->Destroy();
        m_pMainFrame = nullptr;
        return false;
    }

    m_placement = std::make_unique<CFramePlacementHook>(m_pMainFrame, WindowPlacement::kShow, estr::kPlacementEntry,
                                                        ProfileSection(estr::kPlacementSection),
                                                        lfplat::SettingsStore(settingsPath));
    m_pMainFrame->Update();
    // Settings that cannot be read are left as they are (the writes refuse to replace
    // them); the user is told once, when the window is up.
    if (const std::string problem = lfplat::SettingsStore(settingsPath).Problem(); !problem.empty()) {
        lfplat::StateFileReport report;
        report.Unreadable(settingsPath, problem);
        for (std::string& text : report.TakeNew())
            CallAfter([this, text] {
                if (m_prompts)
                    m_prompts->ShowMessage(text, DocPrompts::Icon::Error);
            });
    }
    return true;
}

int CPixoroApp::OnExit()
{
    if (m_state)
        m_state->WriteRegString(std::to_string(m_state->m_nViewMode), estr::kViewModeValue);
    if (m_docManager) {
        lfplat::SettingsStore store(lfplat::SettingsStore::DefaultPath());
        lfplat::SaveRecentFiles(*m_docManager->GetFileHistory(), store, ProfileSection(estr::kRecentFileSection),
                                estr::kRecentFileCount);
        m_docManager.reset();
    }
    m_placement.reset();
    return wxApp::OnExit();
}

bool CPixoroApp::OpenImage(const std::string& path)
{
    return m_docManager && m_docManager->CreateDocument(wxString::FromUTF8(path), wxDOC_SILENT) != nullptr;
}

bool CPixoroApp::PromptForFileName(wxWindow* parent, std::string& name, bool open, int* type)
{
    const int startType = type ? *type : 3;
    int filterIndex = ImageFileTypes::GetFilterIndex(startType, open);
    if (filterIndex < 0)
        filterIndex = 0;
    const long style = open ? (wxFD_OPEN | wxFD_FILE_MUST_EXIST) : (wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    const wxString path = wxString::FromUTF8(name);
    const size_t slash = name.rfind('/');
    wxFileDialog dialog(parent, open ? estr::kOpenDialogTitle : estr::kSaveDialogTitle,
                        slash == std::string::npos ? wxString() : wxString::FromUTF8(name.substr(0, slash)),
                        wxString::FromUTF8(slash == std::string::npos ? name : name.substr(slash + 1)),
                        wxString::FromUTF8(ImageFileTypes::GetWildcard(open)), style);
    dialog.SetFilterIndex(filterIndex);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    name = dialog.GetPath().utf8_string();
    const int chosen = ImageFileTypes::GetTypeFromIndex(dialog.GetFilterIndex(), open);
    // A name typed without an extension gets the chosen row's.
    if (!open && ImageFileTypes::GetFileExtension(name).empty()) {
        const std::string extension = ImageFileTypes::DefaultExtension(chosen);
        if (!extension.empty())
            name += "." + extension;
    }
    if (type)
        *type = chosen;
    return true;
}

void CPixoroApp::FileOpen()
{
    std::string name;
    int type = -1;
    if (!PromptForFileName(m_pMainFrame, name, true, &type))
        return;
    OpenImage(name);
}

void CPixoroApp::OnAppAbout(wxCommandEvent&)
{
    CPixoroAboutDlg dialog(m_pMainFrame);
    dialog.ShowModal();
}
