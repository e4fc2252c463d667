#include "batch/ui/CBatchResizeDlg.h"

#include "batch/model/ImageTypeOfName.h"
#include "batch/model/OutputFolder.h"
#include "batch/ui/BatchDialogSupport.h"
#include "controls/CFolderDialog.h"
#include "image/CLfImage.h"
#include "manager/model/CFolderItem.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/CQuorixDoc.h"
#include "platform/gui/NameText.h"
#include "platform/gui/PostedMessageEvent.h"
#include "resources/manager/BatchDialogs.h"
#include "resources/manager/ManagerStrings.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/spinbutt.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

using namespace mdlg;

namespace {

template <class T>
T* Control(wxWindow* dialog, int id)
{
    return dynamic_cast<T*>(dialog->FindWindow(id));
}

struct Field {
    int edit;
    int spin;
    int low, high;          // accepted by OK
    int spinLow, spinHigh;  // the arrows' range
};
constexpr char kUnreadableHeading[] = "These pictures could not be read and are left out:";

// Percentage, width, height, quality.
constexpr Field kFields[] = {
    {kResizePercent, kResizePercentSpin, 0, 99, 5, 99},
    {kResizeWidth, kResizeWidthSpin, 0, 4096, 0, 1000},
    {kResizeHeight, kResizeHeightSpin, 0, 4096, 0, 1000},
    {kResizeQuality, kResizeQualitySpin, 1, 10, 1, 10},
};

// The size the manager gives a record whose picture does not decode: the placeholder's.
std::pair<int, int> PlaceholderSize(const CQuorixDoc* doc)
{
    const CQuorixState* state = doc ? doc->GetAppState() : nullptr;
    if (!state)
        return {-1, -1};
    CLfImage placeholder;
    placeholder.Load((state->m_strAppFolder + mstr::kPlaceholderPicture).c_str(), lfimg::kTypeBMP);
    if (!placeholder.IsValid())
        return {-1, -1};
    return {placeholder.GetWidth(), placeholder.GetHeight()};
}

}  // namespace

CBatchResizeDlg::CBatchResizeDlg(wxWindow* parent)
{
    CreateDialogFromTemplate(*this, parent, BatchResize());
    m_list = Control<wxListCtrl>(this, kResizeList);
    m_list->SetWindowStyleFlag(m_list->GetWindowStyleFlag() | wxLC_HRULES | wxLC_VRULES);
    m_list->AppendColumn("Name", wxLIST_FORMAT_LEFT, 200);
    m_list->AppendColumn("Dimension", wxLIST_FORMAT_LEFT, 100);
    m_list->AppendColumn("Path", wxLIST_FORMAT_LEFT, 500);
    for (const Field& f : kFields)
        Control<wxSpinButton>(this, f.spin)->SetRange(f.spinLow, f.spinHigh);
    Control<wxTextCtrl>(this, kResizeQuality)->SetEditable(false);
    FindWindow(kResizeBusyText)->Hide();
    FindWindow(kResizeProgress)->Hide();

    for (int id : {kResizeByPercent, kResizeByWidth, kResizeByHeight})
        Bind(wxEVT_RADIOBUTTON, &CBatchResizeDlg::OnMode, this, id);
    Bind(wxEVT_CHECKBOX, &CBatchResizeDlg::OnReplaceClicked, this, kResizeReplace);
    Bind(wxEVT_BUTTON, &CBatchResizeDlg::OnBrowse, this, kBatchBrowse);
    Bind(wxEVT_SPIN, &CBatchResizeDlg::OnSpin, this);
    Bind(wxEVT_LIST_ITEM_CHECKED, &CBatchResizeDlg::OnTickChanged, this, kResizeList);
    Bind(wxEVT_LIST_ITEM_UNCHECKED, &CBatchResizeDlg::OnTickChanged, this, kResizeList);
    Bind(wxEVT_BUTTON, &CBatchResizeDlg::OnOK, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CBatchResizeDlg::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CBatchResizeDlg::OnClose, this);
    Bind(lfplat::EVT_POSTED_MESSAGE, &CBatchResizeDlg::OnProgress, this, kProgressMessage);
    Bind(lfplat::EVT_POSTED_MESSAGE, &CBatchResizeDlg::OnJobOver, this, kDoneMessage);
}

CBatchResizeDlg::~CBatchResizeDlg()
{
    m_port.Close();
    StopWorker();
}

void CBatchResizeDlg::StopWorker()
{
    if (m_worker.joinable()) {
        m_worker.request_stop();
        m_worker.join();
    }
}

bool CBatchResizeDlg::ParseField(const std::string& text, int low, int high, int& value, std::string& error)
{
    const char* begin = text.c_str();
    while (*begin == ' ')
        ++begin;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(begin, &end, 10);
    while (end && *end == ' ')
        ++end;
    if (end == begin || *end != '\0' || errno == ERANGE) {
        error = "Please enter an integer.";
        return false;
    }
    if (number < low || number > high) {
        error = "Please enter an integer between " + std::to_string(low) + " and " + std::to_string(high) + ".";
        return false;
    }
    value = int(number);
    return true;
}

int CBatchResizeDlg::ShowModal()
{
    m_bClosing = false;
    OnInit();
    return wxDialog::ShowModal();
}

void CBatchResizeDlg::OnInit()
{
    m_arrImages.clear();
    m_failures.clear();
    if (CFolderItem* folder = m_pDoc ? m_pDoc->GetCurrentFolder() : nullptr)
        for (const auto& image : folder->m_arrImages)
            if (image->m_bSelected)
                m_arrImages.push_back(image.get());
    // A picture that does not decode carries the placeholder's size in its record: such
    // sizes, like unknown ones, are read from the picture itself.
    const std::pair<int, int> placeholder = PlaceholderSize(m_pDoc);
    std::vector<std::string> unreadableNames;
    m_bListing = true;
    m_list->DeleteAllItems();
    for (size_t i = 0; i < m_arrImages.size(); ++i) {
        CImageItem* image = m_arrImages[i];
        int width = image->m_nWidth;
        int height = image->m_nHeight;
        std::string sizeText;
        bool readable = true;
        struct stat st {};
        if (width == 0 || height == 0 || std::pair(width, height) == placeholder) {
            if (::stat(image->m_strPath.c_str(), &st) != 0) {
                Report(batch::NotFoundText(image->m_strPath), batch::MessageKind::Information);
                width = height = -1;
            } else {
                // Only the size is wanted: a reduced decode reports the picture's own.
                CLfImage picture;
                picture.info.neededSide = 1;
                picture.Load(image->m_strPath.c_str(), batch::ImageTypeOfName(image->m_strName));
                readable = picture.IsValid();
                if (readable) {
                    width = picture.info.fullWidth > 0 ? picture.info.fullWidth : picture.GetWidth();
                    height = picture.info.fullHeight > 0 ? picture.info.fullHeight : picture.GetHeight();
                    if (image->m_nWidth == 0 || image->m_nHeight == 0) {
                        image->m_nWidth = width;
                        image->m_nHeight = height;
                    }
                } else {
                    unreadableNames.push_back(image->m_strName);
                }
            }
        }
        if (!readable)
            sizeText = "Unreadable";
        else if (width >= 0)
            sizeText = std::to_string(width) + " X " + std::to_string(height);
        const long row = m_list->InsertItem(long(i), lfplat::NameToDisplay(image->m_strName));
        m_list->SetItem(row, 1, wxString::FromUTF8(sizeText));
        m_list->SetItem(row, 2, lfplat::NameToDisplay(image->m_strPath));
        // What cannot be read is not offered for resizing.
        m_list->CheckItem(row, readable);
        image->m_bTicked = readable;
    }
    m_bListing = false;
    WriteControls();
    if (!unreadableNames.empty()) {
        std::string names;
        for (const std::string& name : unreadableNames)
            names += (names.empty() ? "" : "\n") + name;
        // Told once the dialog shows, above it, in a list that scrolls however many they are.
        CallAfter([this, names] {
            if (m_bClosing)
                return;
            if (m_messageSink)
                m_messageSink(std::string(kUnreadableHeading) + "\n" + names, batch::MessageKind::Information);
            else
                batch::ShowListWindow(this, mstr::kAppTitle, kUnreadableHeading, names);
        });
    }
}

void CBatchResizeDlg::WriteControls()
{
    const int values[] = {m_settings.percentage, m_settings.width, m_settings.height, m_settings.quality};
    for (size_t i = 0; i < std::size(kFields); ++i) {
        Control<wxTextCtrl>(this, kFields[i].edit)->ChangeValue(std::to_string(values[i]));
        Control<wxSpinButton>(this, kFields[i].spin)->SetValue(values[i]);
    }
    const int modeIds[] = {kResizeByPercent, kResizeByWidth, kResizeByHeight};
    Control<wxRadioButton>(this, modeIds[std::clamp(m_settings.mode, 0, 2)])->SetValue(true);
    Control<wxCheckBox>(this, kResizeReplace)->SetValue(m_settings.replace);
    Control<wxCheckBox>(this, kResizeQualityOn)->SetValue(m_settings.qualityOn);
    Control<wxComboBox>(this, kBatchOutputFolder)->ChangeValue(lfplat::PathToText(m_settings.outputFolder));
    EnableModeFields();
    UpdateFolderControls();
}

bool CBatchResizeDlg::ReadControls()
{
    if (Control<wxRadioButton>(this, kResizeByWidth)->GetValue())
        m_settings.mode = batch::kResizeWidth;
    else if (Control<wxRadioButton>(this, kResizeByHeight)->GetValue())
        m_settings.mode = batch::kResizeHeight;
    else
        m_settings.mode = batch::kResizePercentage;
    m_settings.replace = Control<wxCheckBox>(this, kResizeReplace)->GetValue();
    m_settings.qualityOn = Control<wxCheckBox>(this, kResizeQualityOn)->GetValue();
    m_settings.outputFolder = lfplat::PathFromText(Control<wxComboBox>(this, kBatchOutputFolder)->GetValue());
    int* targets[] = {&m_settings.percentage, &m_settings.width, &m_settings.height, &m_settings.quality};
    for (size_t i = 0; i < std::size(kFields); ++i) {
        auto* edit = Control<wxTextCtrl>(this, kFields[i].edit);
        std::string error;
        if (!ParseField(edit->GetValue().utf8_string(), kFields[i].low, kFields[i].high, *targets[i], error)) {
            Report(error, batch::MessageKind::Plain);
            edit->SetFocus();
            return false;
        }
    }
    return true;
}

void CBatchResizeDlg::EnableModeFields()
{
    FindWindow(kResizePercent)->Enable(m_settings.mode == batch::kResizePercentage);
    FindWindow(kResizeWidth)->Enable(m_settings.mode == batch::kResizeWidth);
    FindWindow(kResizeHeight)->Enable(m_settings.mode == batch::kResizeHeight);
}

void CBatchResizeDlg::UpdateFolderControls()
{
    FindWindow(kBatchOutputFolder)->Enable(!m_settings.replace);
    FindWindow(kBatchBrowse)->Enable(!m_settings.replace);
}

void CBatchResizeDlg::OnMode(wxCommandEvent& event)
{
    m_settings.mode = event.GetId() == kResizeByWidth    ? batch::kResizeWidth
                      : event.GetId() == kResizeByHeight ? batch::kResizeHeight
                                                         : batch::kResizePercentage;
    EnableModeFields();
}

void CBatchResizeDlg::OnReplaceClicked(wxCommandEvent&)
{
    m_settings.replace = Control<wxCheckBox>(this, kResizeReplace)->GetValue();
    UpdateFolderControls();
}

void CBatchResizeDlg::OnBrowse(wxCommandEvent&)
{
    std::string folder = lfplat::PathFromText(Control<wxComboBox>(this, kBatchOutputFolder)->GetValue());
    bool chosen = false;
    if (m_pickFolder) {
        chosen = m_pickFolder(folder);
    } else {
        wxString path = lfplat::PathToText(folder);
        CFolderDialog dialog(&path, this);
        chosen = dialog.DoModal() == wxID_OK;
        folder = lfplat::PathFromText(path);
    }
    if (chosen) {
        m_settings.outputFolder = folder;
        Control<wxComboBox>(this, kBatchOutputFolder)->ChangeValue(lfplat::PathToText(folder));
    }
}

void CBatchResizeDlg::OnSpin(wxSpinEvent& event)
{
    // The arrows step their field, as a buddy edit would.
    for (const Field& f : kFields)
        if (f.spin == event.GetId())
            Control<wxTextCtrl>(this, f.edit)->ChangeValue(std::to_string(event.GetPosition()));
}

void CBatchResizeDlg::OnTickChanged(wxListEvent& event)
{
    if (m_bListing)
        return;
    // Row i lists image i (a name's text may not be its bytes).
    const long row = event.GetIndex();
    if (row >= 0 && size_t(row) < m_arrImages.size())
        m_arrImages[size_t(row)]->m_bTicked = event.GetEventType() == wxEVT_LIST_ITEM_CHECKED;
}

void CBatchResizeDlg::Report(const std::string& text, batch::MessageKind kind)
{
    if (m_bClosing)
        return;
    if (m_messageSink)
        m_messageSink(text, kind);
    else
        batch::ShowMessageBox(this, text, kind);
}

bool CBatchResizeDlg::Ask(const std::string& question)
{
    if (m_ask)
        return m_ask(question);
    return wxMessageBox(lfplat::NameToDisplay(question), GetTitle(), wxYES_NO | wxICON_QUESTION, this) == wxYES;
}

void CBatchResizeDlg::OnOK(wxCommandEvent&)
{
    if (IsJobRunning())
        return;  // one job at a time
    if (!ReadControls())
        return;
    if (!m_settings.replace && m_settings.outputFolder.empty()) {
        Report("Please specify the path to save the resized image", batch::MessageKind::Plain);
        return;
    }
    if (const std::string error = batch::CheckOutputFolder(m_settings); !error.empty()) {
        Report(error, batch::MessageKind::Plain);
        return;
    }
    m_pDoc->EmptySelectionList();
    std::vector<batch::ResizeItem> items;
    for (CImageItem* image : m_arrImages) {
        items.push_back({image->m_strPath, image->m_strName, image->m_nWidth, image->m_nHeight, image->m_bTicked});
        if (image->m_bTicked)
            m_pDoc->UpdateSelectionList(image, true);
    }
    if (m_pDoc->GetSelectedImageCount() == 0) {
        Report("No picture selected for upload \n Please select one or more picture to upload",
               batch::MessageKind::Plain);
        return;
    }
    // Resized pictures saved into their own folder replace the originals: only when the
    // user says so.
    batch::ResizeSettings settings = m_settings;
    settings.replaceInOutputFolder = false;
    if (batch::WritesIntoSourceFolder(items, settings)) {
        if (!Ask(batch::ReplaceOriginalsQuestion(settings.outputFolder)))
            return;
        settings.replaceInOutputFolder = true;
    }
    FindWindow(wxID_OK)->Disable();
    FindWindow(kResizeBusyText)->Show();
    auto* bar = Control<wxGauge>(this, kResizeProgress);
    bar->SetRange(int(m_arrImages.size()) + 1);
    bar->SetValue(0);
    bar->Show();
    m_failures.clear();
    m_outbox = std::make_shared<Outbox>();
    // The worker gets copies of what it reads and reaches the dialog only through its
    // port, which closes before the dialog goes; the dialog stops and joins it first.
    m_worker = std::jthread([items = std::move(items), settings, threads = m_nThreads, outbox = m_outbox,
                             port = m_port.GetSink()](std::stop_token stop) mutable {
        std::atomic<bool> cancel{false};
        std::stop_callback onStop(stop, [&cancel] { cancel = true; });
        batch::BatchResizeJob job(std::move(items), settings, [&outbox](const std::string& text, batch::MessageKind) {
            std::lock_guard lock(outbox->mutex);
            outbox->failures.push_back(text);
        });
        const batch::ResizeResult result =
            job.Run(cancel, threads, [&port](int done) { port.Post(kProgressMessage, uintptr_t(done)); });
        {
            std::lock_guard lock(outbox->mutex);
            outbox->result = result;
        }
        port.Post(kDoneMessage);
    });
}

void CBatchResizeDlg::OnProgress(lfplat::PostedMessageEvent& event)
{
    if (!m_bClosing)
        Control<wxGauge>(this, kResizeProgress)->SetValue(int(event.GetWParam()));
}

void CBatchResizeDlg::OnJobOver(lfplat::PostedMessageEvent&)
{
    StopWorker();
    if (m_bClosing || !m_outbox)
        return;
    batch::ResizeResult result;
    {
        std::lock_guard lock(m_outbox->mutex);
        m_failures.insert(m_failures.end(), m_outbox->failures.begin(), m_outbox->failures.end());
        result = m_outbox->result;
    }
    m_outbox.reset();
    batch::ShowJobResult(*m_pDoc, m_settings.replace ? std::string() : m_settings.outputFolder, m_host);
    m_bClosing = true;
    EndModal(result.Complete() ? wxID_OK : wxID_ABORT);
}

void CBatchResizeDlg::OnCancel(wxCommandEvent&)
{
    m_bClosing = true;
    StopWorker();
    EndModal(wxID_CANCEL);
}

void CBatchResizeDlg::OnClose(wxCloseEvent&)
{
    m_bClosing = true;
    StopWorker();
    if (m_pDoc)
        m_pDoc->UpdateAllViews();
    EndModal(wxID_CANCEL);
}
