#include "upload/ui/CUploadDlg.h"

#include "upload/ui/BrowserLaunch.h"

#include "controls/CHtmlStatic.h"
#include "controls/ControlDrawing.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "resources/manager/ManagerStrings.h"
#include "resources/manager/UploadDialogs.h"
#include "upload/ui/CCompressionDlg.h"
#include "upload/ui/CServerMessageDlg.h"
#include "upload/ui/FinishDialog.h"
#include "upload/model/ServiceSettings.h"
#include "platform/ProgramStart.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/gauge.h>
#include <wx/image.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <filesystem>

namespace {

std::string FromWx(const wxString& text) { return std::string(text.utf8_str()); }
wxString ToWx(const std::string& text) { return wxString::FromUTF8(text); }

// Every folder record of the document: the current one and the recent ones.
template <typename Fn>
void ForEachFolder(CQuorixDoc& doc, Fn fn)
{
    CFolderItem* current = doc.GetCurrentFolder();
    if (current)
        fn(*current);
    for (size_t i = 0; i < doc.GetRecentCount(); ++i)
        if (doc.GetRecentFolder(i) != current)
            fn(*doc.GetRecentFolder(i));
}

int ClampInt(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, INT_MIN, INT_MAX)); }

}  // namespace

CUploadDlg::CUploadDlg(wxWindow* parent)
{
    CreateDialogFromTemplate(*this, parent, mdlg::Upload());
    m_list = static_cast<wxListCtrl*>(FindWindow(mdlg::kUploadList));
    m_progress = static_cast<wxGauge*>(FindWindow(mdlg::kUploadProgress));
    m_status = static_cast<wxTextCtrl*>(FindWindow(mdlg::kUploadStatus));
    m_login = static_cast<wxTextCtrl*>(FindWindow(mdlg::kUploadLogin));
    m_password = static_cast<wxTextCtrl*>(FindWindow(mdlg::kUploadPassword));
    m_status->SetWindowStyleFlag(m_status->GetWindowStyleFlag() | wxTE_READONLY | wxTE_CENTRE);
    m_login->SetHint("User name");
    m_password->SetHint("Password");
    // The statics that carry markup.
    // The dialog's own face colour, which the toolkit's theme decides.
    const COLORREF face = ToColorRef(GetBackgroundColour());
    for (int id : {mdlg::kUploadHeader, mdlg::kUploadNotice, mdlg::kUploadLink}) {
        auto* html = new CHtmlStatic;
        html->SubclassControl(FindWindow(id));
        html->SetBackgroundColor(face);
        html->SetLinkLauncher([this](const wxString& address) { return OpenBrowser(FromWx(address), false) > 32; });
    }
    FindWindow(mdlg::kUploadStatusButton)->Hide();
    for (int id : {mdlg::kUploadRegister, mdlg::kUploadSelectAll, mdlg::kUploadDeselectAll, int(wxID_OK)}) {
        FindWindow(id)->Hide();
        FindWindow(id)->Disable();
    }
    FindWindow(wxID_CANCEL)->Disable();

    m_prompts.message = [this](const std::string& text, const std::string& caption) {
        wxMessageBox(ToWx(text), caption.empty() ? wxString(mstr::kAppTitle) : ToWx(caption),
                     wxOK | (caption.empty() ? 0 : wxICON_ERROR), this);
    };
    m_prompts.retry = [this](const std::string& text) {
        wxMessageDialog box(this, ToWx(text), mstr::kAppTitle, wxOK | wxCANCEL);
        box.SetOKCancelLabels("Retry", "Cancel");
        return box.ShowModal() == wxID_OK;
    };
    m_prompts.serverMessage = [this](const std::string& reply) {
        CServerMessageDlg box(this);
        box.SetText(reply);
        box.ShowModal();
    };
    m_prompts.compression = [this] {
        CCompressionDlg box(this);
        box.SetDocument(m_doc);
        return box.ShowModal() != wxID_CANCEL;
    };
    m_prompts.openBrowser = [](const std::string& url) { return upload::OpenInBrowser(url); };

    Bind(wxEVT_INIT_DIALOG, &CUploadDlg::OnInitDialog, this);
    Bind(wxEVT_CLOSE_WINDOW, &CUploadDlg::OnCloseBox, this);
    Bind(wxEVT_PAINT, &CUploadDlg::OnPaint, this);
    m_list->Bind(wxEVT_LIST_COL_CLICK, &CUploadDlg::OnColumnClick, this);
    m_list->Bind(wxEVT_LIST_ITEM_CHECKED, &CUploadDlg::OnItemChecked, this);
    m_list->Bind(wxEVT_LIST_ITEM_UNCHECKED, &CUploadDlg::OnItemChecked, this);
    const auto button = [this](int id, void (CUploadDlg::*handler)()) {
        Bind(wxEVT_BUTTON, [this, handler](wxCommandEvent&) { (this->*handler)(); }, id);
    };
    button(mdlg::kUploadNow, &CUploadDlg::OnUploadNow);
    button(mdlg::kUploadGoToInbox, &CUploadDlg::OnGoToInbox);
    button(mdlg::kUploadStatusButton, &CUploadDlg::OnCheckStatus);
    button(mdlg::kUploadSelectAll, &CUploadDlg::OnSelectAll);
    button(mdlg::kUploadDeselectAll, &CUploadDlg::OnDeselectAll);
    button(mdlg::kUploadCompression, &CUploadDlg::OnCompressionSettings);
    button(mdlg::kUploadRegister, &CUploadDlg::OnRegister);
    button(wxID_OK, &CUploadDlg::OnOK);
    button(wxID_CANCEL, &CUploadDlg::OnCancel);
}

CUploadDlg::~CUploadDlg()
{
    // The controller ends its watchdog and closes its socket before the window goes.
    m_controller.reset();
}

void CUploadDlg::SetDocument(CQuorixDoc* doc)
{
    m_doc = doc;
    if (m_doc && m_doc->GetAppState())
        m_endpoints = ServiceSettings::Read(m_doc->GetAppState()->GetSettingsPath());
}

void CUploadDlg::SetPrompts(const Prompts& prompts)
{
    if (prompts.message)
        m_prompts.message = prompts.message;
    if (prompts.retry)
        m_prompts.retry = prompts.retry;
    if (prompts.serverMessage)
        m_prompts.serverMessage = prompts.serverMessage;
    if (prompts.compression)
        m_prompts.compression = prompts.compression;
    if (prompts.openBrowser)
        m_prompts.openBrowser = prompts.openBrowser;
}

const char* CUploadDlg::BrowserFailureText(int code)
{
    return lfplat::StartFailureText(code, lfplat::StartedFor::File);
}

wxString CUploadDlg::Status() const { return m_status->GetValue(); }

// ---- Opening and the list ----------------------------------------------------------

void CUploadDlg::OnInitDialog(wxInitDialogEvent& event)
{
    event.Skip();
    if (m_opened || !m_doc)
        return;
    m_opened = true;
    std::vector<UploadSource> sources;
    for (size_t i = 0; i < m_doc->GetSelectedImageCount(); ++i) {
        CImageItem* item = m_doc->GetSelectedImage(i);
        m_files.push_back(item);
        sources.push_back({item->m_strPath, item->m_strName, item->m_nSize, true});
    }
    m_controller = std::make_unique<CUploadController>(static_cast<IUploadView&>(*this), std::move(sources));
    if (m_clock)
        m_controller->SetClock(m_clock);
    m_login->ChangeValue(ToWx(m_doc->m_strLogin));
    m_password->ChangeValue(ToWx(m_doc->m_strPassword));

    m_list->AppendColumn("Name", wxLIST_FORMAT_LEFT, 200);
    // Wide enough for "999.99 KB" and a date in the toolkit's font.
    m_list->AppendColumn("Size", wxLIST_FORMAT_LEFT, 75);
    m_list->AppendColumn("Date Modified", wxLIST_FORMAT_LEFT, 100);
    m_list->AppendColumn("Path", wxLIST_FORMAT_LEFT, 500);
    FillList(true);
    SortList(0, true);
    m_sortAscending = true;

    static_cast<CHtmlStatic*>(FindWindow(mdlg::kUploadHeader))
        ->SetLabel("<font size=\"1\"><b>Upload Images to your Lanternfolio inbox.</b></font>");
    auto* notice = static_cast<CHtmlStatic*>(FindWindow(mdlg::kUploadNotice));
    notice->SetLabel("<font size=\"1\">If you don't already have an account </font>");
    // Right-aligned: the text ends where the link begins.
    const wxRect box = notice->GetRect();
    const int width = std::min(box.GetRight() + 1, notice->GetBestSize().x);
    notice->SetSize(box.GetRight() + 1 - width, box.y, width, box.height);
    static_cast<CHtmlStatic*>(FindWindow(mdlg::kUploadLink))
        ->SetLabel(ToWx("<a href=" + LoginReply::RegisterPageUrl(m_endpoints) +
                        "><u><font size=\"1\" color=\"blue\">Click Here</font></u></a>"));
    SetPhase(kListing);
}

void CUploadDlg::FillList(bool checked)
{
    m_list->DeleteAllItems();
    m_rows.clear();
    for (CImageItem* item : m_files) {
        std::error_code error;
        UploadListRow row;
        row.name = item->m_strName;
        const auto size = std::filesystem::file_size(item->m_strPath, error);
        row.sizeKB = static_cast<double>(error ? item->m_nSize : static_cast<int64_t>(size)) / 1024.0;
        row.lastWrite = item->m_tLastWrite;
        row.path = item->m_strPath;
        m_rows.push_back(row);
        const long index = m_list->InsertItem(m_list->GetItemCount(), ToWx(row.name));
        for (int column = 1; column < UploadListRow::kColumns; ++column)
            m_list->SetItem(index, column, ToWx(row.ColumnText(column)));
        m_list->SetItemData(index, static_cast<long>(m_rows.size() - 1));
        // Checking a row ticks its file through the check notice.
        item->m_bTicked = false;
        if (m_controller)
            m_controller->SetTicked(item->m_strPath, false);
        if (checked)
            m_list->CheckItem(index, true);
    }
}

void CUploadDlg::SortList(int column, bool ascending)
{
    struct Order {
        const std::vector<UploadListRow>* rows;
        int column;
        bool ascending;
    } order{&m_rows, column, ascending};
    m_list->SortItems(
        [](wxIntPtr a, wxIntPtr b, wxIntPtr data) {
            const auto* o = reinterpret_cast<const Order*>(data);
            const UploadListRow& ra = (*o->rows)[static_cast<size_t>(a)];
            const UploadListRow& rb = (*o->rows)[static_cast<size_t>(b)];
            return o->ascending ? CompareRowsAscending(ra, rb, o->column) : CompareRowsDescending(ra, rb, o->column);
        },
        reinterpret_cast<wxIntPtr>(&order));
}

void CUploadDlg::OnColumnClick(wxListEvent& event)
{
    // One toggle for every column: the first click sorts descending.
    SortList(event.GetColumn(), !m_sortAscending);
    m_sortAscending = !m_sortAscending;
}

void CUploadDlg::OnItemChecked(wxListEvent& event)
{
    const long index = event.GetIndex();
    const size_t row = static_cast<size_t>(m_list->GetItemData(index));
    if (row >= m_rows.size())
        return;
    const bool checked = m_list->IsItemChecked(index);
    // Rows match their files by path: two files of one name stay apart.
    if (CImageItem* item = FileOf(m_rows[row].path))
        item->m_bTicked = checked;
    if (m_controller)
        m_controller->SetTicked(m_rows[row].path, checked);
}

std::vector<std::string> CUploadDlg::RowPathsInOrder() const
{
    std::vector<std::string> paths;
    for (long i = 0; i < m_list->GetItemCount(); ++i)
        paths.push_back(m_rows[static_cast<size_t>(m_list->GetItemData(i))].path);
    return paths;
}

CImageItem* CUploadDlg::FileOf(const std::string& sourcePath) const
{
    for (CImageItem* item : m_files)
        if (item->m_strPath == sourcePath)
            return item;
    return nullptr;
}

void CUploadDlg::OnSelectAll()
{
    FillList(true);
}

void CUploadDlg::OnDeselectAll()
{
    FillList(false);
}

// ---- Upload Now and the end ---------------------------------------------------------

void CUploadDlg::ReadCredentials()
{
    m_doc->m_strLogin = FromWx(m_login->GetValue());
    m_doc->m_strPassword = FromWx(m_password->GetValue());
}

void CUploadDlg::OnUploadNow()
{
    if (!m_controller || !m_doc)
        return;
    ReadCredentials();
    // The list's order is the upload's order.
    std::vector<UploadSource>& sources = m_controller->Sources();
    std::vector<UploadSource> ordered;
    for (const std::string& path : RowPathsInOrder())
        for (const UploadSource& source : sources)
            if (source.path == path)
                ordered.push_back(source);
    sources = std::move(ordered);

    UploadSettings s;
    s.login = m_doc->m_strLogin;
    s.password = m_doc->m_strPassword;
    s.server = m_doc->m_strServer;
    s.proxy = m_doc->m_strProxy;
    s.proxyHost = m_doc->m_strProxyHost;
    s.proxyPort = m_doc->m_strProxyPort;
    s.uploadType = m_doc->GetAppState() ? m_doc->GetAppState()->m_nUploadType : 0;
    s.functionalVersion = m_doc->m_fClientVersion;
    s.interfaceVersion = m_doc->m_fCompareVersion;
    s.endpoints = m_endpoints;
    m_controller->SetSettings(std::move(s));
    m_doc->m_nReducedHeight = CUploadCopies::kReducedHeight;
    m_doc->m_login.uploadBoxText.clear();
    // The login's request runs beside the window; LoginFinished takes its reply.
    m_controller->UploadNow();
}

void CUploadDlg::LoginFinished()
{
    // The account fields of the reply are the document's.
    CopyReplyToDocument();
}

void CUploadDlg::SetLoginReady(bool ready)
{
    // The document's login-ready flag.
    m_doc->m_bLoginReady = ready;
}

void CUploadDlg::CopyReplyToDocument()
{
    const LoginReplyFields& r = m_controller->Reply();
    LoginReplyInfo& d = m_doc->m_login;
    m_doc->m_strAccountKey = m_controller->UidSid();
    d.inboxPath = r.inboxPath;
    d.paidMember = ClampInt(r.paidMember);
    d.pictureLimit = ClampInt(r.pictureLimit);
    d.imageCount = ClampInt(r.imageCount);
    d.diskSpaceLimit = ClampInt(r.maxDiskSpace);
    d.diskSpaceUsed = ClampInt(r.diskSpaceInUse);
    d.paidFileLimit = ClampInt(r.numPaid);
    d.freeFileLimit = ClampInt(r.numFree);
    d.paidMBLimit = ClampInt(r.sizePaidMB);
    d.freeMBLimit = ClampInt(r.sizeFreeMB);
    d.paidFileNotice = r.numPaidNotice;
    d.freeFileNotice = r.numFreeNotice;
    d.paidMBNotice = r.sizePaidNotice;
    d.freeMBNotice = r.sizeFreeNotice;
    d.pictureLimitUrl = r.pictureLimitUrl;
    d.diskLimitUrl = r.diskSpaceLimitUrl;
    d.webHost = ClampInt(r.www);
    d.pictureQuotaFullText = r.pictureQuotaFullText;
    d.spaceQuotaFullText = r.spaceQuotaFullText;
    d.fileLimitMessage = r.fileLimitMessage;
    d.downloadUrl = r.downloadUrl;
    d.inboxFileCount = ClampInt(r.inboxFileCount);
    d.inboxFileLimit = ClampInt(r.inboxFileLimit);
    d.functionalUpdateError = r.functionalUpdateError;
    d.inboxExceededError = r.inboxExceededError;
    if (!r.interfaceUpdateText.empty())
        d.interfaceUpdateNotice = r.interfaceUpdateText;
    if (!r.functionalUpdateText.empty())
        d.functionalUpdateNotice = r.functionalUpdateText;
    if (!r.inboxExceededText.empty())
        d.inboxExceededNotice = r.inboxExceededText;
}

void CUploadDlg::SetPhase(Phase phase)
{
    const bool listing = phase == kListing, preparing = phase == kPreparing, finished = phase == kFinished;
    FindWindow(mdlg::kUploadNow)->Enable(listing || finished);
    FindWindow(wxID_CANCEL)->Enable(phase == kUploading);
    FindWindow(wxID_OK)->Enable(finished);
    FindWindow(mdlg::kUploadGoToInbox)->Enable(listing || preparing || finished);
    FindWindow(mdlg::kUploadCompression)->Enable(listing || finished);
    FindWindow(mdlg::kUploadSelectAll)->Enable(finished);
    FindWindow(mdlg::kUploadDeselectAll)->Enable(finished);
    if (m_doc && m_controller && (phase == kUploading || finished)) {
        CopyReplyToDocument();
        // The document's selection is the upload list: the files whose copies were made.
        m_doc->EmptySelectionList();
        for (const UploadFile& file : m_controller->UploadList())
            if (CImageItem* item = FileOf(file.source))
                m_doc->UpdateSelectionList(item, true);
    }
    if (finished)
        m_thumbnailPath.clear();
}

void CUploadDlg::SetStatus(const std::string& text)
{
    m_status->ChangeValue(ToWx(text));
}

void CUploadDlg::SetProgressRange(int64_t upper)
{
    // The bar counts in at most a million steps, whatever the size of the file.
    m_progressUpper = std::max<int64_t>(upper, 0);
    m_progressSeen = 0;
    m_progress->SetRange(static_cast<int>(std::min<int64_t>(std::max<int64_t>(m_progressUpper, 1), 1000000)));
    m_progress->SetValue(0);
}

void CUploadDlg::SetProgress(int64_t position)
{
    position = std::clamp<int64_t>(position, 0, std::max<int64_t>(m_progressUpper, 0));
    m_progressSeen = std::max(m_progressSeen, position);
    const int64_t range = m_progress->GetRange();
    const int64_t value = m_progressUpper > range ? position * range / m_progressUpper : position;
    m_progress->SetValue(static_cast<int>(std::min(value, range)));
}

void CUploadDlg::ShowMessage(const std::string& text, const std::string& caption)
{
    // Message boxes wait for the current handler (a socket's, maybe) to return.
    CallAfter([this, text, caption] { m_prompts.message(text, caption); });
}

void CUploadDlg::ShowServerMessage(const std::string& reply)
{
    CallAfter([this, reply] { m_prompts.serverMessage(reply); });
}

void CUploadDlg::ShowStatusButton(const std::string& caption)
{
    wxWindow* button = FindWindow(mdlg::kUploadStatusButton);
    if (!caption.empty())
        button->SetLabel(ToWx(caption));
    button->Show();
    button->Enable();
}

bool CUploadDlg::AskRetry(const std::string& text)
{
    return m_prompts.retry(text);
}

void CUploadDlg::FileStarted(int previous, int next)
{
    const auto& files = m_controller->UploadList();
    // The file finished last is no longer selected in its folder.
    if (previous >= 0 && static_cast<size_t>(previous) < files.size() && m_doc) {
        const std::string& path = files[static_cast<size_t>(previous)].source;
        const std::string folder = std::filesystem::path(path).parent_path().string();
        ForEachFolder(*m_doc, [&](CFolderItem& f) {
            if (f.m_strPath != folder)
                return;
            for (auto& image : f.m_arrImages)
                if (image->m_strPath == path)
                    image->m_bSelected = false;
        });
    }
    if (m_doc)
        m_doc->m_bShowThumbnail = true;
    m_thumbnailPath = next >= 0 && static_cast<size_t>(next) < files.size() ? files[static_cast<size_t>(next)].source
                                                                              : std::string();
    if (wxWindow* frame = FindWindow(mdlg::kUploadThumbnailFrame))
        RefreshRect(frame->GetRect());
}

void CUploadDlg::UploadBoxText(const std::string& text)
{
    if (m_doc)
        m_doc->m_login.uploadBoxText = text;
}

void CUploadDlg::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    const CImageItem* item = m_thumbnailPath.empty() ? nullptr : FileOf(m_thumbnailPath);
    const auto pixels = item ? item->GetThumbnail() : nullptr;
    wxWindow* frame = FindWindow(mdlg::kUploadThumbnailFrame);
    if (!pixels || pixels->width <= 0 || pixels->height <= 0 || !frame)
        return;
    wxImage image(pixels->width, pixels->height, false);
    std::copy(pixels->rgb.begin(),
              pixels->rgb.begin() + std::min<size_t>(pixels->rgb.size(), static_cast<size_t>(pixels->width) *
                                                                             static_cast<size_t>(pixels->height) * 3),
              image.GetData());
    const wxRect box = frame->GetRect().Deflate(6);
    const double scale = std::min(static_cast<double>(box.width) / pixels->width,
                                  static_cast<double>(box.height) / pixels->height);
    const int w = std::max(1, static_cast<int>(pixels->width * scale));
    const int h = std::max(1, static_cast<int>(pixels->height * scale));
    dc.DrawBitmap(wxBitmap(image.Scale(w, h)), box.x + (box.width - w) / 2, box.y + (box.height - h) / 2);
}

// ---- The other buttons --------------------------------------------------------------

int CUploadDlg::OpenBrowser(const std::string& url, bool report)
{
    const int result = m_prompts.openBrowser(url);
    if (report && result <= 32)
        if (const char* text = BrowserFailureText(result))
            m_prompts.message(text, "Error");
    return result;
}

void CUploadDlg::OnGoToInbox()
{
    if (!m_doc)
        return;
    ReadCredentials();
    if (m_doc->m_strLogin.empty() || m_doc->m_strPassword.empty()) {
        m_prompts.message("Please enter username/password.", "Login Error...");
        return;
    }
    OpenBrowser(LoginReply::InboxUrl(m_endpoints, m_doc->m_strLogin, m_doc->m_strPassword,
                                     static_cast<long long>(std::time(nullptr))),
                true);
}

void CUploadDlg::OnRegister()
{
    OpenBrowser(LoginReply::RegisterUrl(m_endpoints), true);
}

void CUploadDlg::OnCheckStatus()
{
    if (m_controller && !m_controller->Reply().pictureLimitUrl.empty())
        OpenBrowser(m_controller->Reply().pictureLimitUrl, false);
}

void CUploadDlg::OnCompressionSettings()
{
    if (!m_prompts.compression())
        FindWindow(mdlg::kUploadCompression)->Enable();
}

void CUploadDlg::EndUpload(int result)
{
    if (m_controller)
        m_controller->Cancel();
    if (m_doc) {
        ForEachFolder(*m_doc, [](CFolderItem& folder) {
            for (auto& image : folder.m_arrImages)
                image->m_bSelected = false;
        });
        m_doc->EmptySelectionList();
        m_doc->UpdateAllViews();
    }
    m_files.clear();
    m_thumbnailPath.clear();
    FinishDialog(*this, result);
}

void CUploadDlg::OnOK()
{
    EndUpload(wxID_OK);
}

void CUploadDlg::OnCancel()
{
    EndUpload(wxID_CANCEL);
}

void CUploadDlg::OnCloseBox(wxCloseEvent&)
{
    EndUpload(wxID_OK);
}

void RunUploadDialog(CQuorixDoc& doc)
{
    CUploadDlg dialog(nullptr);
    dialog.SetDocument(&doc);
    dialog.ShowModal();
}
