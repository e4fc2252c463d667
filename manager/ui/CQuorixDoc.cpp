#include "manager/ui/CQuorixDoc.h"

#include "image/LfCodecTable.h"

#include "manager/model/CImageThread.h"
#include "manager/ui/CMessageDlg.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/CSessionFile.h"
#include "platform/FolderPaths.h"
#include "platform/StringSort.h"
#include "platform/ProgramStart.h"
#include "platform/SpecialFolders.h"
#include "platform/WorkingFolder.h"
#include "resources/manager/ManagerIds.h"
#include "resources/manager/ManagerStrings.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

wxIMPLEMENT_DYNAMIC_CLASS(CQuorixDoc, wxDocument);

wxBEGIN_EVENT_TABLE(CQuorixDoc, wxDocument)
    EVT_MENU(ID_DOC_SELECT_ALL, CQuorixDoc::OnSelectAllCommand)
    EVT_MENU(ID_DOC_DESELECT_ALL, CQuorixDoc::OnDeselectAllCommand)
    EVT_MENU(ID_DOC_REFRESH, CQuorixDoc::OnRefreshCommand)
    EVT_MENU(ID_DOC_UPLOADER, CQuorixDoc::OnUploadCommand)
    EVT_MENU(ID_DOC_DELETE_CACHE, CQuorixDoc::OnDeleteCacheCommand)
wxEND_EVENT_TABLE()

namespace {

const char kSessionFileName[] = "qkvex.sess";

// A file this short cannot hold an image of any of the listed formats.
constexpr int64_t kMinImageFileSize = 10;

bool TooShortForAnImage(const std::string& path, int64_t size)
{
    if (size >= kMinImageFileSize)
        return false;
    // A file that cannot be opened is judged by its extension alone.
    return std::ifstream(path, std::ios::binary).is_open();
}

}  // namespace

CQuorixDoc::CQuorixDoc() : m_sessionPath(lfplat::WorkingPath(kSessionFileName)) { Init(); }

CQuorixDoc::CQuorixDoc(CQuorixState* state, std::string sessionPath)
    : m_pState(state), m_sessionPath(std::move(sessionPath))
{
    Init();
}

void CQuorixDoc::Init()
{
    m_ownedCurrent = std::make_unique<CFolderItem>("", "", 0);
    m_pCurrentFolder = m_ownedCurrent.get();
    ReadSession();
    m_pPrintLayout = std::make_unique<PrintLayout>();
}

CQuorixDoc::~CQuorixDoc()
{
    StopLoaders();
    m_arrSelected.clear();
}

void CQuorixDoc::StopLoaders()
{
    if (m_pState)
        m_pState->m_threads.StopAndWait(true, nullptr, m_pState->m_pumpWhileWaiting);
}

bool CQuorixDoc::OnNewDocument()
{
    if (!wxDocument::OnNewDocument())
        return false;
    SetTitle(wxString());
    return true;
}

bool CQuorixDoc::OnCloseDocument()
{
    StopLoaders();
    if (!m_bCacheDeleted) {
        std::string error;
        if (!WriteSession(&error) && m_pState)
            m_pState->m_stateFiles.WriteFailed(m_sessionPath, error);
        WriteCache();
    }
    m_arrListRows.clear();
    if (m_pState) {
        m_pState->WriteRegString(std::to_string(m_pState->m_nLeftViewWidth), "LeftViewWidth");
        m_pState->WriteRegString(std::to_string(m_pState->m_nLeftViewHeight), "LeftViewHeigth");
    }
    ShowStateFileProblems();
    return wxDocument::OnCloseDocument();
}

void CQuorixDoc::ShowMessage(const std::string& text, MessageKind kind)
{
    if (m_messageSink) {
        m_messageSink(text);
        return;
    }
    const wxString caption = wxTheApp ? wxTheApp->GetAppDisplayName() : wxString(mstr::kAppTitle);
    const long icon = kind == MessageKind::Information ? wxICON_INFORMATION
                      : kind == MessageKind::Stop      ? wxICON_STOP
                                                       : 0;
    wxMessageBox(wxString::FromUTF8(text), caption, wxOK | icon);
}

void CQuorixDoc::SetAppState(CQuorixState* state)
{
    m_pState = state;
    if (!m_pState)
        return;
    for (const auto& [path, reason] : m_unreadableBeforeState)
        m_pState->m_stateFiles.Unreadable(path, reason);
    m_unreadableBeforeState.clear();
}

void CQuorixDoc::NoteUnreadable(const std::string& path, const std::string& reason)
{
    if (m_pState)
        m_pState->m_stateFiles.Unreadable(path, reason);
    else
        m_unreadableBeforeState.emplace_back(path, reason);
}

void CQuorixDoc::ShowStateFileProblems()
{
    if (!m_pState)
        return;
    for (const std::string& text : m_pState->m_stateFiles.TakeNew())
        ShowMessage(text, MessageKind::Stop);
}

bool CQuorixDoc::Confirm(const std::string& text)
{
    if (m_confirmSink)
        return m_confirmSink(text);
    CMessageDlg dialog(wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    dialog.SetText(text, "Delete cache files");
    return dialog.ShowModal() == wxID_OK;
}

// ---- Folders -------------------------------------------------------------------

void CQuorixDoc::DropFromSelection(const CFolderItem* folder)
{
    std::erase_if(m_arrSelected, [folder](CImageItem* image) { return folder->HoldsImage(image); });
}

void CQuorixDoc::ReleaseCurrentFolder()
{
    if (m_ownedCurrent) {
        DropFromSelection(m_ownedCurrent.get());
        m_ownedCurrent.reset();
    }
    m_pCurrentFolder = nullptr;
}

void CQuorixDoc::SetCurrentFolder(std::unique_ptr<CFolderItem> folder)
{
    if (!folder || folder.get() == m_pCurrentFolder)
        return;
    StopLoaders();
    ReleaseCurrentFolder();
    m_ownedCurrent = std::move(folder);
    m_pCurrentFolder = m_ownedCurrent.get();
}

void CQuorixDoc::SetCurrentFolder(CFolderItem* recentEntry)
{
    const bool listed = std::any_of(m_arrRecentFolders.begin(), m_arrRecentFolders.end(),
                                    [recentEntry](const auto& f) { return f.get() == recentEntry; });
    if (!listed || recentEntry == m_pCurrentFolder)
        return;
    StopLoaders();
    ReleaseCurrentFolder();
    m_pCurrentFolder = recentEntry;
}

CFolderItem* CQuorixDoc::AddRecentFolder(std::unique_ptr<CFolderItem> folder)
{
    m_arrRecentFolders.push_back(std::move(folder));
    return m_arrRecentFolders.back().get();
}

void CQuorixDoc::ClearFolderImages(CFolderItem* folder)
{
    StopLoaders();
    DropFromSelection(folder);
    folder->m_arrImages.clear();
}

int CQuorixDoc::RemoveImage(CFolderItem* folder, const CImageItem* image)
{
    if (!folder->HoldsImage(image))
        return 1;
    StopLoaders();
    std::erase(m_arrSelected, image);
    return folder->RemoveImage(image);
}

// ---- Selection and recent folders ----------------------------------------------

void CQuorixDoc::SelectImage(int index, bool keepOthers, bool markOnly)
{
    CFolderItem* folder = m_pCurrentFolder;
    if (index < 0 || static_cast<size_t>(index) >= folder->ImageCount())
        return;
    CImageItem* image = folder->Image(static_cast<size_t>(index));
    if (markOnly) {
        image->m_bSelected = true;
        return;
    }
    if (image->m_bSelected) {
        image->m_bSelected = false;
        UpdateSelectionList(image, false);
    } else {
        image->m_bSelected = true;
        UpdateSelectionList(image, true);
    }
    if (!keepOthers) {
        for (size_t i = 0; i < folder->ImageCount(); ++i) {
            if (i == static_cast<size_t>(index))
                continue;
            folder->Image(i)->m_bSelected = false;
            UpdateSelectionList(folder->Image(i), false);
        }
    }
}

int CQuorixDoc::UpdateSelectionList(CImageItem* image, bool add)
{
    auto samePath = [image](const CImageItem* entry) { return entry->m_strPath == image->m_strPath; };
    if (add) {
        if (std::none_of(m_arrSelected.begin(), m_arrSelected.end(), samePath))
            m_arrSelected.push_back(image);
    } else {
        auto it = std::find_if(m_arrSelected.rbegin(), m_arrSelected.rend(), samePath);
        if (it != m_arrSelected.rend())
            m_arrSelected.erase(std::next(it).base());
    }
    return 0;
}

int CQuorixDoc::GetSelectedCount() const
{
    const auto& images = m_pCurrentFolder->m_arrImages;
    return static_cast<int>(
        std::count_if(images.begin(), images.end(), [](const auto& image) { return image->m_bSelected.load(); }));
}

CFolderItem* CQuorixDoc::FindCurrentInRecent()
{
    for (size_t i = 0; i < m_arrRecentFolders.size(); ++i) {
        CFolderItem* entry = m_arrRecentFolders[i].get();
        if (entry->m_strPath != m_pCurrentFolder->m_strPath) {
            entry->m_bCurrentInRecent = false;
            continue;
        }
        m_nCurrentRecent = static_cast<int>(i);
        entry->m_bCurrentInRecent = true;
        return m_pCurrentFolder;
    }
    m_nCurrentRecent = static_cast<int>(m_arrRecentFolders.size());
    return nullptr;
}

CFolderItem* CQuorixDoc::RememberCurrentFolder(bool keep)
{
    if (m_bSearchResults)
        return nullptr;
    CFolderItem* found = FindCurrentInRecent();
    const bool hasPath = !m_pCurrentFolder->m_strPath.empty();
    // Only a record of its own can join the list; a recent entry is there already.
    if (!found && hasPath && m_ownedCurrent)
        m_arrRecentFolders.push_back(std::move(m_ownedCurrent));
    if (keep && found && hasPath)
        m_pCurrentFolder->m_bKeepInSession = true;
    return found;
}

CFolderItem* CQuorixDoc::FindFolderByPath(const std::string& path)
{
    if (m_bSearchResults)
        return nullptr;
    for (size_t i = 0; i < m_arrRecentFolders.size(); ++i) {
        if (m_arrRecentFolders[i]->m_strPath == path) {
            m_nCurrentRecent = static_cast<int>(i);
            return m_arrRecentFolders[i].get();
        }
    }
    return nullptr;
}

bool CQuorixDoc::IsCurrentFolderUnlisted() const
{
    return std::none_of(m_arrRecentFolders.begin(), m_arrRecentFolders.end(),
                        [this](const auto& f) { return f.get() == m_pCurrentFolder; });
}

bool CQuorixDoc::HasAbsoluteCurrentPath() const { return IsAbsoluteLocalPath(m_pCurrentFolder->m_strPath); }

void CQuorixDoc::OnSelectAll()
{
    if (!HasAbsoluteCurrentPath())
        return;
    CFolderItem* folder = m_pCurrentFolder;
    if (GetSelectedCount() == static_cast<int>(folder->ImageCount()))
        return;
    for (size_t i = 0; i < folder->ImageCount(); ++i) {
        CImageItem* image = folder->Image(i);
        image->m_bSelected = true;
        UpdateSelectionList(image, true);
        if (m_nCurrentRecent < 0)
            RememberCurrentFolder(false);
        // Normally the entry is the current folder itself; another one may be shorter.
        if (m_nCurrentRecent >= 0 && static_cast<size_t>(m_nCurrentRecent) < m_arrRecentFolders.size()) {
            CFolderItem* entry = m_arrRecentFolders[static_cast<size_t>(m_nCurrentRecent)].get();
            if (i < entry->ImageCount())
                entry->Image(i)->m_bSelected = true;
        }
    }
    UpdateAllViews();
}

void CQuorixDoc::OnDeselectAll()
{
    if (!HasAbsoluteCurrentPath() || GetSelectedCount() == 0)
        return;
    if (m_nCurrentRecent < 0 || static_cast<size_t>(m_nCurrentRecent) >= m_arrRecentFolders.size())
        return;
    CFolderItem* entry = m_arrRecentFolders[static_cast<size_t>(m_nCurrentRecent)].get();
    for (size_t i = 0; i < entry->ImageCount(); ++i) {
        entry->Image(i)->m_bSelected = false;
        UpdateSelectionList(entry->Image(i), false);
    }
    UpdateAllViews();
}

// ---- Commands ------------------------------------------------------------------

int CQuorixDoc::ImageTypeFromExtension(const std::string& extension)
{
    // The folder records keep the type of the extension as written: "JPG" is no known
    // type here, while the thumbnail paths read any case.
    if (std::any_of(extension.begin(), extension.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
        return 0;
    return int(lfimg::ImageTypeFromExtension(extension, lfimg::kTypeWBMP));
}

void CQuorixDoc::Refresh()
{
    CFolderItem* folder = m_pCurrentFolder;
    const std::string folderPath = folder->m_strPath;
    if (!IsAbsoluteLocalPath(folderPath))
        return;

    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folderPath, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            continue;
        std::string name = it->path().filename().string();
        if (IsImageFileName(name))
            names.push_back(std::move(name));
    }
    ClearFolderImages(folder);
    SortStringArray(names);

    size_t added = 0;
    for (const std::string& name : names) {
        const std::string extension = PathExtension(name);
        if (extension.size() < 2)
            continue;
        const std::string path = JoinPath(folderPath, name);
        struct stat st {};
        // Only regular files hold images; opening a pipe or a device could block.
        if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const int64_t size = static_cast<int64_t>(st.st_size);
        if (TooShortForAnImage(path, size))
            continue;
        auto image = std::make_unique<CImageItem>(name, path, size, 0, 0);
        image->SetFileStamp(st);
        image->m_nImageType = ImageTypeFromExtension(extension.substr(1));
        folder->AddImage(std::move(image));
        ++added;
    }
    folder->SortImages(m_nSortKey, m_nSortOrder);
    if (added > 0) {
        folder->m_bThumbsComplete = false;
        folder->m_bThumbsNeeded = true;
        m_bFolderChanged = true;
    }
    UpdateAllViews();
}

void CQuorixDoc::OnUpload()
{
    m_nUploaded = 1;
    m_bShowThumbnail = false;
    if (m_arrSelected.empty()) {
        ShowMessage("You must first select an image to upload.\nTo select one or more images, click on "
                    "thumbnail images below.");
        return;
    }
    // The upload dialog, from the services table of the program (or of a test).
    if (m_pState && m_pState->m_services.upload)
        m_pState->m_services.upload(*this);
}

// ---- Session file --------------------------------------------------------------

void CQuorixDoc::ReadSession()
{
    m_strSessionFile = kSessionFileName;
    std::string problem;
    for (const std::string& path : CSessionFile::Read(m_sessionPath, *this, &problem))
        AddRecentFolder(std::make_unique<CFolderItem>(LastPathComponent(path), path, 1));
    if (!problem.empty())
        NoteUnreadable(m_sessionPath, problem);
    ReadCacheIndex();
}

// ---- Thumbnail cache and editor hand-off ---------------------------------------

void CQuorixDoc::ReadCacheIndex()
{
    m_cache.ReadCacheIndex();
    if (!m_cache.IndexProblem().empty())
        NoteUnreadable(m_cache.IndexPath(), m_cache.IndexProblem());
}

void CQuorixDoc::WriteCache()
{
    std::vector<const CFolderItem*> folders;
    for (const auto& folder : m_arrRecentFolders)
        folders.push_back(folder.get());
    m_cache.WriteAtClose(folders, [this](const std::string& text) { ShowMessage(text, MessageKind::Plain); });
    if (!m_cache.WriteProblem().empty() && m_pState)
        m_pState->m_stateFiles.WriteFailed(m_cache.IndexPath(), m_cache.WriteProblem());
}

void CQuorixDoc::OnDeleteCache()
{
    const std::optional<uint64_t> bytes = m_cache.MeasureBytes();
    if (!bytes)
        return;
    if (!Confirm(ThumbnailCache::DeleteCacheText(*bytes)))
        return;  // a cancelled command leaves the close to write the session and the cache
    m_strSessionFile = kSessionFileName;
    m_bCacheDeleted = true;
    if (!m_cache.DeleteFiles())
        return;
    std::string error;
    if (!CSessionFile::WriteShort(m_sessionPath, *this, &error) && m_pState)
        m_pState->m_stateFiles.WriteFailed(m_sessionPath, error);
    ShowStateFileProblems();
}

std::unique_ptr<CImageThread> CQuorixDoc::MakeThumbnailThread(ThumbnailSink sink)
{
    if (!m_pState)
        return nullptr;
    CImageThread::Settings settings;
    settings.cacheFolder = GetCacheDirName(m_pCurrentFolder->m_strPath);
    settings.placeholderPath = m_pState->m_strAppFolder + mstr::kPlaceholderPicture;
    return std::make_unique<CImageThread>(*m_pState, *m_pCurrentFolder, std::move(settings), std::move(sink),
                                          &m_bThumbThreadRunning);
}

std::string CQuorixDoc::WorkingFolderOfSession() const
{
    const size_t slash = m_sessionPath.rfind('/');
    return slash == std::string::npos ? lfplat::WorkingFolder() : m_sessionPath.substr(0, std::max<size_t>(slash, 1));
}

void CQuorixDoc::EditImage(int index)
{
    const std::string appFolder =
        m_pState && !m_pState->m_strAppFolder.empty() ? m_pState->m_strAppFolder : lfplat::ExecutableFolder();
    const std::string workingFolder = WorkingFolderOfSession();
    EditorHandOff handOff(appFolder + mstr::kEditorProgram, JoinPath(workingFolder, mstr::kParameterFile),
                          workingFolder, m_editorLauncher ? m_editorLauncher : EditorHandOff::Launcher(&lfplat::StartProgram));
    const auto message = handOff.EditImage(m_pCurrentFolder, index, m_nSortKey, m_nSortOrder, m_strNoImageText);
    if (!message)
        return;
    const MessageKind kind = message->icon == EditorHandOff::Icon::Information ? MessageKind::Information
                             : message->icon == EditorHandOff::Icon::Stop      ? MessageKind::Stop
                                                                               : MessageKind::Plain;
    ShowMessage(message->text, kind);
}

std::vector<std::string> CQuorixDoc::SessionFolders() const
{
    std::vector<std::string> folders;
    for (const auto& folder : m_arrRecentFolders)
        if (folder->m_bKeepInSession)
            folders.push_back(folder->m_strPath);
    return folders;
}

bool CQuorixDoc::WriteSession(std::string* error) const
{
    return CSessionFile::Write(m_sessionPath, *this, SessionFolders(), error);
}
