#pragma once
// The manager's only document: the current and recent folder records, the
// cross-folder selection, the sort order, the view mode, the session values and the
// state the upload and print windows share. It knows no window; the views read its
// fields and call its operations on the user-interface thread. The session file's
// values are its own fields (SessionValues).

#include "manager/model/CFolderItem.h"
#include "manager/model/EditorHandOff.h"
#include "manager/model/ListRowItem.h"
#include "manager/model/LoginReplyInfo.h"
#include "manager/model/ManagerModes.h"
#include "manager/model/PrintLayout.h"
#include "manager/model/SessionValues.h"
#include "manager/model/ThumbnailCache.h"
#include "manager/model/ThumbnailSink.h"
#include "platform/SpecialFolders.h"

#include <wx/docview.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CImageThread;
class CQuorixState;

class CQuorixDoc : public wxDocument, public SessionValues {
    wxDECLARE_DYNAMIC_CLASS(CQuorixDoc);

public:
    // Reads the session file "qkvex.sess" of the working folder.
    CQuorixDoc();
    // Reads the session file at sessionPath instead; state may be null (no loaders).
    CQuorixDoc(CQuorixState* state, std::string sessionPath);
    ~CQuorixDoc() override;

    bool OnNewDocument() override;
    // Stops the loaders, writes the session file and the thumbnail cache (unless the
    // cache was deleted in this run) and stores the pane sizes.
    bool OnCloseDocument() override;

    void SetAppState(CQuorixState* state);
    CQuorixState* GetAppState() const { return m_pState; }
    // Where the document's information messages go (a message box by default).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_messageSink = std::move(sink); }
    // Tells the user, once per file, of state files (settings, session, cache index) that
    // could not be read or written; the program shows this when its window is up.
    void ShowStateFileProblems();
    // A state file that exists but cannot be read, for the report.
    void NoteUnreadable(const std::string& path, const std::string& reason);
    // Where Delete Cache asks before it deletes (the message dialog by default): true
    // for OK.
    void SetConfirmSink(std::function<bool(const std::string& text)> sink) { m_confirmSink = std::move(sink); }
    // What starts the editor (the platform's program start by default).
    void SetEditorLauncher(EditorHandOff::Launcher launcher) { m_editorLauncher = std::move(launcher); }

    // ---- Folders. Every change that frees or replaces image records goes through
    // these, so that loaders have ended first and the selection never keeps a freed
    // record.
    CFolderItem* GetCurrentFolder() const { return m_pCurrentFolder; }
    // Makes a new record of its own the current folder.
    void SetCurrentFolder(std::unique_ptr<CFolderItem> folder);
    // Makes an entry of the recent list the current folder.
    void SetCurrentFolder(CFolderItem* recentEntry);
    size_t GetRecentCount() const { return m_arrRecentFolders.size(); }
    CFolderItem* GetRecentFolder(size_t index) const { return m_arrRecentFolders[index].get(); }
    CFolderItem* AddRecentFolder(std::unique_ptr<CFolderItem> folder);
    // Deletes all image records of a folder.
    void ClearFolderImages(CFolderItem* folder);
    // Deletes one record of a folder: 0 when removed, 1 when the folder does not hold it.
    int RemoveImage(CFolderItem* folder, const CImageItem* image);

    // ---- Selection and recent folders.
    void SelectImage(int index, bool keepOthers, bool markOnly);
    int UpdateSelectionList(CImageItem* image, bool add);
    CImageItem* GetSelectedImage(size_t index) const { return m_arrSelected[index]; }
    size_t GetSelectedImageCount() const { return m_arrSelected.size(); }
    void EmptySelectionList() { m_arrSelected.clear(); }
    // Selected images of the current folder, counted from their flags.
    int GetSelectedCount() const;
    CFolderItem* RememberCurrentFolder(bool keep);
    CFolderItem* FindCurrentInRecent();
    CFolderItem* FindFolderByPath(const std::string& path);
    bool IsCurrentFolderUnlisted() const;
    void OnSelectAll();
    void OnDeselectAll();

    // ---- Commands and helpers.
    // Rescans the current folder's image files.
    void Refresh();
    void OnUpload();
    static int ImageTypeFromExtension(const std::string& extension);

    // ---- Thumbnails and the editor.
    // Reads the cache index (at the end of reading the session file).
    void ReadCacheIndex();
    // The cache folder of an image folder (byte-for-byte path match); empty when none.
    std::string GetCacheDirName(const std::string& folderPath) const { return m_cache.GetCacheDirName(folderPath); }
    void AddCacheEntry(const std::string& diskPath, const std::string& cacheDir)
    {
        m_cache.AddCacheEntry(diskPath, cacheDir);
    }
    const ThumbnailCache& GetThumbnailCache() const { return m_cache; }
    // Options > Delete Cache: shows the cache's size and, on OK, deletes it and writes
    // the short session file; the close then writes neither.
    void OnDeleteCache();
    // A thumbnail pass over the current folder with its cache folder, for a view to
    // start through the thread list; sink receives each finished thumbnail.
    std::unique_ptr<CImageThread> MakeThumbnailThread(ThumbnailSink sink);
    // Hands an image of the current folder (an index, or kSelectedImageIndex for the one
    // selected image) to the editor, or says why not.
    void EditImage(int index);

    // ---- Session file.
    void ReadSession();
    bool WriteSession(std::string* error = nullptr) const;
    // The recent folders the session file keeps, in list order.
    std::vector<std::string> SessionFolders() const;
    const std::string& GetSessionPath() const { return m_sessionPath; }

    // ---- Browsing state.
    std::vector<std::unique_ptr<ListRowItem>> m_arrListRows;
    bool m_bFolderChanged = false;
    bool m_bCacheDeleted = false;
    int m_nViewMode = kViewThumbnails;  // a ViewMode
    bool m_bSearchResults = false;
    std::string m_strTextSamplePath;
    std::string m_strDestFolder;
    std::string m_strLastMoveFolder;  // where the last Move went (the destination dialog starts there)
    std::string m_strLastCopyFolder;
    std::string m_strTextOutputFolder;
    int m_nTargetImage = 0;           // an image index, or kTargetWholeSelection
    int m_nSortKey = kSortByName;     // a SortKey
    int m_nSortOrder = kSortForward;  // a SortOrder
    std::string m_strNoImageText =
        "You must first select an image to edit.\nTo select an image, click on a thumbnail image "
        "below.\nTip: Double click a thumbnail to launch the photo editor.";
    std::vector<std::string> m_arrTextSavedFiles;
    std::string m_strSearchRoot;
    // The search dialog's: what it searched for last and what was typed before.
    int m_nSearchMode = 0;  // 0 file name, 1 notes and keywords
    std::vector<std::string> m_arrNameTerms;
    std::vector<std::string> m_arrKeywordTerms;
    std::vector<std::string> m_arrPatternHistory;
    std::vector<std::string> m_arrKeywordHistory;
    std::vector<std::string> m_arrSearchFolderHistory;
    bool m_bIncludeSubfolders = true;
    bool m_bSearching = false;  // a search walks
    int m_nFileOpCount = 0;
    bool m_bShowOtherFiles = true;
    std::atomic<bool> m_bThumbThreadRunning{false};  // set by the thumbnail thread
    int m_nCurrentRecent = kRecentIndexUnknown;  // index of the current folder in the recent list
    bool m_bViewReplaced = false;

    // ---- Upload state.
    bool m_bNoResponse = false;
    bool m_bStampTime = false;
    bool m_bLoginReady = false;  // set when a traced service connection closes
    bool m_bShowThumbnail = false;
    int64_t m_tStoredTime = 0;  // seconds
    int m_nReducedHeight = 0;   // height of the reduced upload copies
    int m_nCompression = 0;
    std::string m_strAccountKey;  // user id and session id joined by a hyphen
    float m_fClientVersion = 1.0f;
    float m_fCompareVersion = 1.0f;
    LoginReplyInfo m_login;

    // ---- Print layout state.
    std::vector<std::unique_ptr<CImageItem>> m_arrLayoutPictures;
    int m_nCurrentLayout = 3;
    std::unique_ptr<PrintLayout> m_pPrintLayout;

private:
    void Init();
    enum class MessageKind { Information, Plain, Stop };
    void ShowMessage(const std::string& text, MessageKind kind = MessageKind::Information);
    bool Confirm(const std::string& text);
    void WriteCache();
    // The working folder, where the session and parameter files lie.
    std::string WorkingFolderOfSession() const;
    // Waits until no loader runs: records that loaders read are about to change.
    void StopLoaders();
    void DropFromSelection(const CFolderItem* folder);
    // Frees the current folder when it is a record of its own.
    void ReleaseCurrentFolder();
    bool HasAbsoluteCurrentPath() const;

    void OnSelectAllCommand(wxCommandEvent&) { OnSelectAll(); }
    void OnDeselectAllCommand(wxCommandEvent&) { OnDeselectAll(); }
    void OnRefreshCommand(wxCommandEvent&) { Refresh(); }
    void OnUploadCommand(wxCommandEvent&) { OnUpload(); }
    void OnDeleteCacheCommand(wxCommandEvent&) { OnDeleteCache(); }

    CQuorixState* m_pState = nullptr;
    // State files found unreadable before the state was attached: path and reason.
    std::vector<std::pair<std::string, std::string>> m_unreadableBeforeState;
    std::string m_sessionPath;
    std::function<void(const std::string&)> m_messageSink;
    std::function<bool(const std::string&)> m_confirmSink;
    EditorHandOff::Launcher m_editorLauncher;
    ThumbnailCache m_cache{lfplat::CacheFolder()};
    std::vector<CImageItem*> m_arrSelected;  // non-owning; no two with the same path
    std::vector<std::unique_ptr<CFolderItem>> m_arrRecentFolders;
    std::unique_ptr<CFolderItem> m_ownedCurrent;  // set while the current folder is not a recent entry
    CFolderItem* m_pCurrentFolder = nullptr;

    wxDECLARE_EVENT_TABLE();
};
