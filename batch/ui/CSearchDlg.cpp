#include "batch/ui/CSearchDlg.h"

#include "batch/ui/BatchDialogSupport.h"
#include "batch/model/FindTerms.h"
#include "controls/CFolderBrowser.h"
#include "manager/ui/CChangeViewDlg.h"
#include "manager/model/CFolderItem.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "platform/MountedVolumes.h"
#include "platform/gui/PostedMessageEvent.h"
#include "resources/manager/BatchDialogs.h"
#include "resources/manager/ManagerStrings.h"

#include <wx/activityindicator.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>

using namespace mdlg;

namespace {

template <class T>
T* Control(wxWindow* dialog, int id)
{
    return dynamic_cast<T*>(dialog->FindWindow(id));
}

void FillCombo(wxComboBox* combo, const std::vector<std::string>& entries)
{
    const wxString value = combo->GetValue();
    combo->Clear();
    for (const std::string& entry : entries)
        combo->Append(wxString::FromUTF8(entry));
    combo->ChangeValue(value);
}

}  // namespace

CSearchDlg::CSearchDlg(wxWindow* parent) : m_port(this)
{
    CreateDialogFromTemplate(*this, parent, SearchBy());
    const wxRect status = FindWindow(kSearchStatus)->GetRect();
    const wxRect help = FindWindow(kSearchHelp)->GetRect();
    m_busy = new wxActivityIndicator(this, 1067, wxPoint(help.x + help.width / 2 - 12, status.y - 6), wxSize(24, 24));
    FindWindow(kSearchStop)->Disable();
    FindWindow(kSearchStatus)->Hide();

    Bind(wxEVT_BUTTON, &CSearchDlg::OnSearch, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CSearchDlg::OnStop, this, kSearchStop);
    Bind(wxEVT_BUTTON, &CSearchDlg::OnClose, this, wxID_CANCEL);
    Bind(wxEVT_BUTTON, &CSearchDlg::OnBrowse, this, kSearchBrowse);
    Bind(wxEVT_BUTTON, &CSearchDlg::OnHelp, this, kSearchHelp);
    Bind(wxEVT_COMBOBOX, &CSearchDlg::OnFolderChosen, this, kSearchFolder);
    Bind(wxEVT_CLOSE_WINDOW, &CSearchDlg::OnCloseWindow, this);
    Bind(lfplat::EVT_POSTED_MESSAGE, &CSearchDlg::OnFound, this, kFoundMessage);
    Bind(lfplat::EVT_POSTED_MESSAGE, &CSearchDlg::OnDone, this, kDoneMessage);
}

CSearchDlg::~CSearchDlg()
{
    // A running walk is told to stop; what it still finds has nowhere to go.
    ForgetThread();
    m_port.Close();
}

void CSearchDlg::SetSearch(CQuorixDoc* doc, wxWindow* owner, const std::string& caption)
{
    m_pDoc = doc;
    m_pOwner = owner;
    m_strCaption = caption;
    const bool byName = caption != kNotesCaption;
    SetStatus(m_strStatus, false);
    if (doc) {
        FillCombo(Control<wxComboBox>(this, kSearchPattern), doc->m_arrPatternHistory);
        FillCombo(Control<wxComboBox>(this, kSearchKeywords), doc->m_arrKeywordHistory);
        doc->m_nSearchMode = byName ? 0 : 1;
    }
    // The drive list: every mounted volume, after the entry that searches them all.
    std::vector<std::string> volumes{kSearchEverywhere};
    for (const std::string& volume : lfplat::MountedVolumes())
        volumes.push_back(volume);
    FillCombo(Control<wxComboBox>(this, kSearchFolder), volumes);

    SetTitle(wxString::FromUTF8(byName ? kFileNameCaption : kNotesCaption));
    SetStaticText(FindWindow(kSearchLabel),
                  byName ? "Enter full or partial filename:" : "That Contains Keywords and Notes");
    FindWindow(kSearchPattern)->Show(byName);
    FindWindow(kSearchKeywords)->Show(!byName);
    if (!byName)
        SetStatus(m_strStatus, true);
    WriteControls();
}

void CSearchDlg::ReadControls()
{
    m_strPattern = Control<wxComboBox>(this, kSearchPattern)->GetValue().utf8_string();
    m_strKeywords = Control<wxComboBox>(this, kSearchKeywords)->GetValue().utf8_string();
    m_strFolder = Control<wxComboBox>(this, kSearchFolder)->GetValue().utf8_string();
    m_bSubfolders = Control<wxCheckBox>(this, kSearchSubfolders)->GetValue();
}

void CSearchDlg::WriteControls()
{
    Control<wxComboBox>(this, kSearchPattern)->ChangeValue(wxString::FromUTF8(m_strPattern));
    Control<wxComboBox>(this, kSearchKeywords)->ChangeValue(wxString::FromUTF8(m_strKeywords));
    Control<wxComboBox>(this, kSearchFolder)->ChangeValue(wxString::FromUTF8(m_strFolder));
    Control<wxCheckBox>(this, kSearchSubfolders)->SetValue(m_bSubfolders);
}

void CSearchDlg::SetStatus(const std::string& text, bool shown)
{
    m_strStatus = text;
    SetStaticText(FindWindow(kSearchStatus), text.c_str());
    FindWindow(kSearchStatus)->Show(shown);
}

std::string CSearchDlg::GetStatusText() const
{
    return FindWindow(kSearchStatus)->IsShown() ? m_strStatus : std::string();
}

std::string CSearchDlg::SearchRootOf(const std::string& folder)
{
    if (folder == kSearchEverywhere || folder.size() <= 1)
        return folder;
    std::string root = folder;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

void CSearchDlg::OnFolderChosen(wxCommandEvent&)
{
    m_strFolder = Control<wxComboBox>(this, kSearchFolder)->GetValue().utf8_string();
}

bool CSearchDlg::Browse()
{
    std::optional<std::string> chosen;
    if (m_pickFolder) {
        chosen = m_pickFolder(m_strFolder);
    } else {
        CFolderBrowser browser;
        browser.m_strCaption = "Select directory";
        browser.m_strPrompt = "Select directory for file search";
        browser.m_strInitialFolder = wxString::FromUTF8(m_strFolder);
        if (browser.Browse(this))
            chosen = browser.m_strPath.utf8_string();
        else if (browser.m_strPath == kSearchEverywhere)
            chosen = kSearchEverywhere;
    }
    if (!chosen)
        return false;
    m_strFolder = *chosen;
    if (m_strFolder != kSearchEverywhere && (m_strFolder.empty() || m_strFolder.back() != '/'))
        m_strFolder += '/';
    WriteControls();
    return true;
}

void CSearchDlg::OnBrowse(wxCommandEvent&)
{
    ReadControls();
    Browse();
}

void CSearchDlg::OnHelp(wxCommandEvent&)
{
    const std::string text =
        "You may enter a partial filename and add * to represent the rest of the filename.\nFor example \"my*.jpg\" "
        "will match with \"mygarden.jpg\" and well as \"myboat.jpg\", etc.";
    if (m_messageSink)
        m_messageSink(text);
    else
        wxMessageBox(wxString::FromUTF8(text), mstr::kAppTitle, wxOK | wxICON_INFORMATION | wxSTAY_ON_TOP, this);
}

void CSearchDlg::StartSearch()
{
    if (!m_pDoc || IsSearching())
        return;
    ReadControls();
    if (m_strFolder.empty() && !Browse())
        return;
    CQuorixDoc& doc = *m_pDoc;
    CQuorixState* state = doc.GetAppState();
    m_busy->Start();
    SetStatus(m_strStatus, true);

    // The image pane shows the file list while the results come in.
    doc.m_nViewMode = kViewThumbnailsAndDetails;
    if (m_changeView) {
        m_changeView(doc);
    } else if (state) {
        CChangeViewDlg change(this, state->m_threads);
        change.SetTarget(&doc, false);
        change.ShowModal();
    }

    const std::string typed = m_strPattern;
    doc.m_arrNameTerms = batch::BuildNameTerms(m_strPattern);
    doc.m_arrKeywordTerms = batch::BuildNameTerms(batch::TrimBlanks(m_strKeywords));
    m_strPattern = batch::ExpandNamePattern(m_strPattern);
    doc.m_strSearchRoot = SearchRootOf(m_strFolder);
    doc.m_bIncludeSubfolders = m_bSubfolders;
    doc.m_arrPatternHistory.push_back(m_strPattern);
    doc.m_arrKeywordHistory.push_back(m_strKeywords);
    doc.m_arrSearchFolderHistory.push_back(doc.m_strSearchRoot);
    doc.m_bSearchResults = true;

    // The results' folder: the document's current folder from now on, filled here as the
    // walk finds images.
    auto folder = std::make_unique<CFolderItem>("Search", "x", 0);
    folder->m_bThumbsNeeded = false;
    m_pSearchFolder = folder.get();
    doc.SetCurrentFolder(std::move(folder));
    doc.m_bFolderChanged = true;
    doc.m_bSearching = true;
    doc.m_arrListRows.clear();
    if (state)
        state->ResetTotals();
    doc.UpdateAllViews();

    FindWindow(wxID_OK)->Disable();
    FindWindow(kSearchStop)->Enable();
    CFindThread::Request request;
    request.root = doc.m_strSearchRoot;
    request.includeSubfolders = m_bSubfolders;
    request.terms = doc.m_arrNameTerms;
    if (state)
        request.placeholderPath = state->m_strAppFolder + mstr::kPlaceholderPicture;
    m_stop = std::make_shared<std::atomic<bool>>(false);
    m_inbox = std::make_shared<Inbox>();
    const uintptr_t id = ++m_nSearchId;
    const lfplat::MessagePort::Sink port = m_port.GetSink();
    auto thread = std::make_unique<CFindThread>(
        std::move(request), state ? &state->m_mutexB : nullptr, m_stop,
        [inbox = m_inbox, port](std::unique_ptr<CImageItem> record) {
            {
                std::lock_guard lock(inbox->mutex);
                inbox->records.push_back(std::move(record));
            }
            port.Post(kFoundMessage);
        },
        [port, id](const CFindThread::Summary&) { port.Post(kDoneMessage, id); });
    CMainThread* started = state ? state->m_threads.Start(std::move(thread)) : nullptr;
    if (!started) {
        ForgetThread();
        return;
    }
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(m_pOwner))
        top->SetTitle(mstr::kAppTitle);
    m_strPattern = typed;
    SetStatus("Searching...", true);
    FindWindow(wxID_CANCEL)->Disable();
    WriteControls();
}

void CSearchDlg::OnFound(lfplat::PostedMessageEvent&)
{
    if (!m_inbox || !m_pDoc)
        return;
    std::vector<std::unique_ptr<CImageItem>> records;
    {
        std::lock_guard lock(m_inbox->mutex);
        records.swap(m_inbox->records);
    }
    CFolderItem* folder = m_pDoc->GetCurrentFolder();
    // The user may have opened another folder since: the results then go nowhere.
    if (!folder || folder != m_pSearchFolder)
        return;
    for (auto& record : records) {
        {
            // The list filler reads the folder's records under this mutex.
            std::unique_lock<std::recursive_timed_mutex> lock;
            if (CQuorixState* state = m_pDoc->GetAppState())
                lock = std::unique_lock(state->m_mutexB);
            folder->AddImage(std::move(record));
        }
        if (m_host.foundImage)
            m_host.foundImage();
    }
}

void CSearchDlg::OnDone(lfplat::PostedMessageEvent& event)
{
    if (event.GetWParam() != m_nSearchId || !m_stop)
        return;
    lfplat::PostedMessageEvent pending(kFoundMessage, 0, 0);
    OnFound(pending);  // what came in before the end
    ForgetThread();
    SearchEnded();
    const bool any = m_pDoc && m_pDoc->GetCurrentFolder() && m_pDoc->GetCurrentFolder()->ImageCount() > 0;
    SetStatus(any ? kCompletedText : " 0 files found.", true);
}

void CSearchDlg::SearchEnded()
{
    FindWindow(wxID_OK)->Enable();
    FindWindow(kSearchStop)->Disable();
    FindWindow(wxID_CANCEL)->Enable();
    m_busy->Stop();
    if (m_pDoc)
        m_pDoc->m_bSearching = false;
}

void CSearchDlg::ForgetThread()
{
    if (m_stop)
        *m_stop = true;
    m_stop.reset();
}

void CSearchDlg::StopSearch()
{
    ReadControls();
    m_busy->Stop();
    ForgetThread();
    const bool any = m_pDoc && m_pDoc->GetCurrentFolder() && m_pDoc->GetCurrentFolder()->ImageCount() > 0;
    SetStatus(any ? kCompletedText : "No files found.", false);
    SearchEnded();
    WriteControls();
}

void CSearchDlg::OnClose(wxCommandEvent&)
{
    ForgetThread();
    Hide();
}

void CSearchDlg::OnCloseWindow(wxCloseEvent& event)
{
    ForgetThread();
    if (event.CanVeto()) {
        Hide();
        event.Veto();
        return;
    }
    event.Skip();
}
