#include "editor/ui/CPixoroApp.h"

#include "editor/ui/PathText.h"
#include "editor/model/CEarlyDecode.h"
#include "editor/ui/CMainFrame.h"
#include "editor/ui/CPixoroAboutDlg.h"
#include "editor/model/CPixoroCommandLineInfo.h"
#include "editor/ui/CPixoroDocTemplate.h"
#include "editor/ui/CPixoroPrompts.h"
#include "editor/model/CPixoroState.h"
#include "editor/model/ImageFileTypes.h"
#include "controls/CFramePlacementHook.h"
#include "controls/CPreviewFrame.h"
#include "platform/SettingsStore.h"
#include "platform/StateFileReport.h"
#include "platform/WorkingFolder.h"
#include "platform/gui/RecentFileStore.h"
#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorStrings.h"

#include <wx/docview.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/log.h>

#include <chrono>
#include <cstdio>
#include <thread>

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
    wxPreviewFrame* CreatePreviewFrame(wxPrintPreviewBase* preview, wxWindow* parent, const wxString& title) override
    {
        return new CPreviewFrame(preview, parent, title);
    }

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

}  // namespace

CPixoroApp::CPixoroApp(std::vector<std::string> arguments, std::unique_ptr<CEarlyDecode> earlyDecode)
    : m_arguments(std::move(arguments)), m_earlyDecode(std::move(earlyDecode))
{
}

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
    m_state->m_pEarlyDecode = m_earlyDecode.get();

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
    const auto showFrame = [this, settingsPath] {
        m_placement = std::make_unique<CFramePlacementHook>(
            m_pMainFrame, WindowPlacement::kShow, estr::kPlacementEntry, ProfileSection(estr::kPlacementSection),
            lfplat::SettingsStore(settingsPath));
    };
    // When the open has made the image's window and the picture is still being decoded,
    // the window shows and draws itself meanwhile: only the picture is left to draw.
    if (m_earlyDecode)
        m_earlyDecode->SetWhileWaiting([this, showFrame] {
            showFrame();
            WaitForEarlyDecode();
        });
    if (!commandLine.m_strLastParam.empty() && !OpenImage(CPixoroCommandLineInfo::AbsolutePath(commandLine.m_strLastParam, lfplat::WorkingFolder()))) {
        // The document has said why; the editor ends, leaving the stored placement as it was.
        m_placement.reset();
        m_pMainFrame->Destroy();
        m_pMainFrame = nullptr;
        return false;
    }
    if (m_earlyDecode)
        m_earlyDecode->SetWhileWaiting(nullptr);

    if (!m_placement)
        showFrame();
    m_pMainFrame->Update();
    // Settings that cannot be read are left as they are (the writes refuse to replace
    // them); the user is told once, when the window is up, and of a failed write when
    // the command that wrote has ended.
    CallAfter([this] { ShowStateFileProblems(); });
    Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
        event.Skip();
        ShowStateFileProblems();
    });
    return true;
}

void CPixoroApp::WaitForEarlyDecode()
{
    // The application's own loop does not run yet and the document is half made: a loop
    // of the moment lets the window show and draw itself, and keeps the user's input and
    // a close for when the image is there.
    m_pMainFrame->Bind(wxEVT_CLOSE_WINDOW, &CPixoroApp::KeepCloseWhileOpening, this);
    {
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        while (!m_earlyDecode->Done()) {
            loop.YieldFor(wxEVT_CATEGORY_UI);
            if (!m_earlyDecode->Done())
                std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    m_pMainFrame->Unbind(wxEVT_CLOSE_WINDOW, &CPixoroApp::KeepCloseWhileOpening, this);
    if (m_closeAskedWhileOpening)
        CallAfter([this] {
            if (m_pMainFrame)
                m_pMainFrame->Close();
        });
}

void CPixoroApp::KeepCloseWhileOpening(wxCloseEvent& event)
{
    if (!event.CanVeto()) {
        event.Skip();
        return;
    }
    event.Veto();
    m_closeAskedWhileOpening = true;
}

void CPixoroApp::ShowStateFileProblems()
{
    if (!m_state || !m_prompts || m_showingStateFileProblems)
        return;
    m_showingStateFileProblems = true;  // the box's own idle time must not show it again
    for (const std::string& text : m_state->m_stateFiles.TakeNew())
        m_prompts->ShowMessage(text, DocPrompts::Icon::Error);
    m_showingStateFileProblems = false;
}

int CPixoroApp::OnExit()
{
    if (m_state)
        m_state->WriteRegString(std::to_string(m_state->m_nViewMode), estr::kViewModeValue);
    if (m_docManager) {
        lfplat::SettingsStore store(lfplat::SettingsStore::DefaultPath());
        if (!lfplat::SaveRecentFiles(*m_docManager->GetFileHistory(), store, ProfileSection(estr::kRecentFileSection),
                                     estr::kRecentFileCount) &&
            m_state)
            m_state->m_stateFiles.WriteFailed(store.Path(), store.LastError());
        m_docManager.reset();
    }
    if (m_placement && m_state && !m_placement->WriteError().empty())
        m_state->m_stateFiles.WriteFailed(m_placement->SettingsPath(), m_placement->WriteError());
    // The window is gone: what could not be kept is said in a box of its own.
    if (m_prompts)
        m_prompts->SetParent(nullptr);
    ShowStateFileProblems();
    m_placement.reset();
    if (m_state)
        m_state->m_pEarlyDecode = nullptr;
    m_earlyDecode.reset();
    return wxApp::OnExit();
}

bool CPixoroApp::OpenImage(const std::string& path)
{
    return m_docManager && m_docManager->CreateDocument(pixoro::PathToWx(path), wxDOC_SILENT) != nullptr;
}

std::unique_ptr<wxFileDialog> CPixoroApp::MakeFileDialog(wxWindow* parent, const std::string& name, bool open,
                                                         int type)
{
    int filterIndex = ImageFileTypes::GetFilterIndex(type, open);
    if (filterIndex < 0)
        filterIndex = 0;
    // The proposed name carries the extension of the filter shown with it, so that
    // pressing Enter saves in the format the dialog says.
    std::string proposed = name;
    const size_t slash = proposed.rfind('/');
    const std::string leaf = slash == std::string::npos ? proposed : proposed.substr(slash + 1);
    const std::string extension = ImageFileTypes::DefaultExtension(ImageFileTypes::GetTypeFromIndex(filterIndex, open));
    std::string proposedLeaf = leaf;
    if (!open && !leaf.empty() && !extension.empty() && ImageFileTypes::GetFileExtension(leaf).empty())
        proposedLeaf += "." + extension;
    const long style = open ? (wxFD_OPEN | wxFD_FILE_MUST_EXIST) : (wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    auto dialog = std::make_unique<wxFileDialog>(
        parent, open ? estr::kOpenDialogTitle : estr::kSaveDialogTitle,
        slash == std::string::npos ? wxString() : pixoro::PathToWx(proposed.substr(0, slash)),
        pixoro::PathToWx(proposedLeaf), wxString::FromUTF8(ImageFileTypes::GetWildcard(open)), style);
    dialog->SetFilterIndex(filterIndex);
    // Choosing the filter may have given the name the first filter's extension: the
    // proposal is set again after it.
    if (!open && !proposedLeaf.empty())
        dialog->SetFilename(pixoro::PathToWx(proposedLeaf));
    return dialog;
}

bool CPixoroApp::PromptForFileName(wxWindow* parent, std::string& name, bool open, int* type)
{
    const auto made = MakeFileDialog(parent, name, open, type ? *type : 3);
    wxFileDialog& dialog = *made;
    if (dialog.ShowModal() != wxID_OK)
        return false;
    name = pixoro::PathFromWx(dialog.GetPath());
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
