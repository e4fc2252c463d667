#include "batch/ui/CBatchRenameDlg.h"

#include "batch/model/OutputFolder.h"
#include "batch/ui/BatchDialogSupport.h"
#include "controls/CFolderDialog.h"
#include "manager/model/CFolderItem.h"
#include "manager/ui/CQuorixDoc.h"
#include "platform/FolderPaths.h"
#include "platform/gui/NameText.h"
#include "platform/gui/PostedMessageEvent.h"
#include "resources/manager/BatchDialogs.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

using namespace mdlg;

namespace {

template <class T>
T* Control(wxWindow* dialog, int id)
{
    return dynamic_cast<T*>(dialog->FindWindow(id));
}

}  // namespace

CBatchRenameDlg::CBatchRenameDlg(wxWindow* parent)
{
    CreateDialogFromTemplate(*this, parent, BatchRename());
    m_list = Control<wxListCtrl>(this, kRenamePreview);
    m_list->EnableCheckBoxes(false);
    m_list->AppendColumn("Old Name", wxLIST_FORMAT_LEFT, 200);
    m_list->AppendColumn("New Name", wxLIST_FORMAT_LEFT, 200);

    Bind(wxEVT_TEXT, &CBatchRenameDlg::OnPatternChanged, this, kRenamePattern);
    Bind(wxEVT_TEXT, &CBatchRenameDlg::OnPatternChanged, this, kRenameStart);
    FindWindow(kRenamePattern)->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
        event.Skip();
        if (!m_bWriting && !m_bClosing && m_pDoc && IsShown()) {
            ReadControls();
            BuildNewNames();
            // The counter the names got shows in the box once the user has left it.
            WriteControls();
        }
    });
    for (int id : {kRenameNameSame, kRenameNameLower, kRenameNameUpper, kRenameExtSame, kRenameExtLower, kRenameExtUpper})
        Bind(wxEVT_RADIOBUTTON, &CBatchRenameDlg::OnCaseClicked, this, id);
    Bind(wxEVT_RADIOBUTTON, &CBatchRenameDlg::OnCounterKind, this, kRenameNumbers);
    Bind(wxEVT_RADIOBUTTON, &CBatchRenameDlg::OnCounterKind, this, kRenameLetters);
    Bind(wxEVT_CHECKBOX, &CBatchRenameDlg::OnReplaceClicked, this, kRenameReplace);
    Bind(wxEVT_BUTTON, &CBatchRenameDlg::OnBrowse, this, kBatchBrowse);
    Bind(wxEVT_BUTTON, &CBatchRenameDlg::OnOK, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CBatchRenameDlg::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CBatchRenameDlg::OnClose, this);
    Bind(lfplat::EVT_POSTED_MESSAGE, &CBatchRenameDlg::OnRunEnded, this, kRunEndedMessage);
    // The Help button has no action.
}

CBatchRenameDlg::~CBatchRenameDlg()
{
    m_port.Close();
    JoinWorker();
}

void CBatchRenameDlg::JoinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

std::vector<CImageItem*> CBatchRenameDlg::Participants() const
{
    std::vector<CImageItem*> images;
    if (CFolderItem* folder = m_pDoc ? m_pDoc->GetCurrentFolder() : nullptr)
        for (const auto& image : folder->m_arrImages)
            if (image->m_bSelected)
                images.push_back(image.get());
    return images;
}

int CBatchRenameDlg::ShowModal()
{
    m_bClosing = false;
    OnInit();
    return wxDialog::ShowModal();
}

void CBatchRenameDlg::OnInit()
{
    m_options = batch::RenameOptions();
    m_list->DeleteAllItems();
    m_nListed = 0;
    for (CImageItem* image : Participants()) {
        const std::string name = LastPathComponent(image->m_strPath);
        const long row = m_list->InsertItem(long(m_nListed), lfplat::NameToDisplay(name));
        m_list->SetItem(row, 1, lfplat::NameToDisplay(name));
        if (m_nListed == 0)
            m_options.pattern = batch::DefaultPattern(name);
        ++m_nListed;
    }
    BuildNewNames();
    WriteControls();
}

void CBatchRenameDlg::ReadControls()
{
    // The pattern may hold bytes of an old name that are not UTF-8: carried as they are.
    m_options.pattern = lfplat::PathFromText(Control<wxTextCtrl>(this, kRenamePattern)->GetValue());
    m_options.startValue = Control<wxTextCtrl>(this, kRenameStart)->GetValue().utf8_string();
    m_options.counterKind =
        Control<wxRadioButton>(this, kRenameLetters)->GetValue() ? batch::kCounterLetters : batch::kCounterNumber;
    auto caseOf = [this](int lower, int upper) {
        if (Control<wxRadioButton>(this, lower)->GetValue())
            return int(batch::kCaseLower);
        if (Control<wxRadioButton>(this, upper)->GetValue())
            return int(batch::kCaseUpper);
        return int(batch::kCaseUnchanged);
    };
    m_options.nameCase = caseOf(kRenameNameLower, kRenameNameUpper);
    m_options.extensionCase = caseOf(kRenameExtLower, kRenameExtUpper);
    m_bReplace = Control<wxCheckBox>(this, kRenameReplace)->GetValue();
    m_strOutputFolder = lfplat::PathFromText(Control<wxComboBox>(this, kBatchOutputFolder)->GetValue());
}

void CBatchRenameDlg::WriteControls()
{
    m_bWriting = true;
    auto* pattern = Control<wxTextCtrl>(this, kRenamePattern);
    if (lfplat::PathFromText(pattern->GetValue()) != m_options.pattern)
        pattern->ChangeValue(lfplat::PathToText(m_options.pattern));
    Control<wxTextCtrl>(this, kRenameStart)->ChangeValue(wxString::FromUTF8(m_options.startValue));
    Control<wxRadioButton>(this, m_options.counterKind == batch::kCounterLetters ? kRenameLetters : kRenameNumbers)
        ->SetValue(true);
    const int nameIds[] = {kRenameNameSame, kRenameNameLower, kRenameNameUpper};
    const int extIds[] = {kRenameExtSame, kRenameExtLower, kRenameExtUpper};
    Control<wxRadioButton>(this, nameIds[std::clamp(m_options.nameCase, 0, 2)])->SetValue(true);
    Control<wxRadioButton>(this, extIds[std::clamp(m_options.extensionCase, 0, 2)])->SetValue(true);
    Control<wxCheckBox>(this, kRenameReplace)->SetValue(m_bReplace);
    Control<wxComboBox>(this, kBatchOutputFolder)->ChangeValue(lfplat::PathToText(m_strOutputFolder));
    UpdateFolderControls();
    m_bWriting = false;
}

void CBatchRenameDlg::UpdateFolderControls()
{
    FindWindow(kBatchOutputFolder)->Enable(!m_bReplace);
    FindWindow(kBatchBrowse)->Enable(!m_bReplace);
}

void CBatchRenameDlg::BuildNewNames()
{
    m_arrNewNames.clear();
    m_list->DeleteAllItems();
    // Several files need a counter to tell them apart: the pattern gets one. The box is
    // not rewritten here, while the user may be typing in it (that would move the caret);
    // it shows the counter when the user leaves it or presses OK.
    if (batch::PatternNeedsCounter(m_options.pattern, m_nListed))
        m_options.pattern += "?";
    const std::vector<CImageItem*> images = Participants();
    std::vector<std::string> oldNames;
    for (CImageItem* image : images)
        oldNames.push_back(LastPathComponent(image->m_strPath));  // a search result's name is its path
    m_arrNewNames = batch::BuildNewNames(m_options, oldNames);
    for (size_t i = 0; i < images.size(); ++i) {
        const long row = m_list->InsertItem(long(i), lfplat::NameToDisplay(oldNames[i]));
        m_list->SetItem(row, 1, lfplat::NameToDisplay(m_arrNewNames[i]));
    }
}

void CBatchRenameDlg::OnPatternChanged(wxCommandEvent&)
{
    if (m_bWriting || !m_pDoc)
        return;
    ReadControls();
    BuildNewNames();
}

void CBatchRenameDlg::OnCaseClicked(wxCommandEvent&)
{
    if (m_bWriting || !m_pDoc)
        return;
    ReadControls();
    BuildNewNames();
}

void CBatchRenameDlg::OnCounterKind(wxCommandEvent& event)
{
    if (m_bWriting || !m_pDoc)
        return;
    ReadControls();
    // Built first and moved in: GCC 12 warns falsely (-Wrestrict) on assigning the literal.
    m_options.startValue = std::string(event.GetId() == kRenameLetters ? "a" : "0");
    WriteControls();
    BuildNewNames();
}

void CBatchRenameDlg::OnReplaceClicked(wxCommandEvent&)
{
    ReadControls();
    UpdateFolderControls();
}

void CBatchRenameDlg::OnBrowse(wxCommandEvent&)
{
    ReadControls();
    std::string folder = m_strOutputFolder;
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
        m_strOutputFolder = folder;
        WriteControls();
    }
}

void CBatchRenameDlg::Report(const std::string& text, batch::MessageKind kind)
{
    if (m_bClosing)
        return;
    if (m_messageSink)
        m_messageSink(text, kind);
    else
        batch::ShowMessageBox(this, text, kind);
}

void CBatchRenameDlg::OnOK(wxCommandEvent&)
{
    if (IsJobRunning() || m_job)
        return;  // one job at a time
    ReadControls();
    if (!m_bReplace && m_strOutputFolder.empty()) {
        Report("Please specify the path to save the renamed image", batch::MessageKind::Plain);
        return;
    }
    if (const std::string error = m_bReplace ? std::string() : batch::OutputFolderError(m_strOutputFolder);
        !error.empty()) {
        Report(error, batch::MessageKind::Plain);
        return;
    }
    BuildNewNames();
    WriteControls();
    std::vector<batch::RenameItem> items;
    const std::vector<CImageItem*> images = Participants();
    for (size_t i = 0; i < images.size() && i < m_arrNewNames.size(); ++i)
        items.push_back({images[i]->m_strPath, m_arrNewNames[i]});
    // The job's failures are gathered for one summary; the worker reaches the dialog only
    // through its port, and Cancel and close wait for it.
    m_failures.clear();
    m_outbox = std::make_shared<Outbox>();
    m_job = std::make_unique<batch::BatchRenameJob>(
        std::move(items), m_bReplace, m_strOutputFolder, batch::CopyWithFileCopier,
        [outbox = m_outbox](const std::string& text, batch::MessageKind) {
            std::lock_guard lock(outbox->mutex);
            outbox->failures.push_back(text);
        });
    FindWindow(wxID_OK)->Disable();
    StartRun(std::nullopt);
}

void CBatchRenameDlg::StartRun(std::optional<bool> answer)
{
    JoinWorker();
    m_worker = std::jthread([job = m_job.get(), outbox = m_outbox, port = m_port.GetSink(), answer] {
        if (answer)
            job->Answer(*answer);
        std::optional<std::string> question = job->Run();
        {
            std::lock_guard lock(outbox->mutex);
            outbox->question = std::move(question);
        }
        port.Post(kRunEndedMessage);
    });
}

void CBatchRenameDlg::OnRunEnded(lfplat::PostedMessageEvent&)
{
    JoinWorker();
    if (m_bClosing || !m_outbox || !m_job)
        return;
    std::optional<std::string> question;
    {
        std::lock_guard lock(m_outbox->mutex);
        question = std::move(m_outbox->question);
        m_outbox->question.reset();
        m_failures.insert(m_failures.end(), m_outbox->failures.begin(), m_outbox->failures.end());
        m_outbox->failures.clear();
    }
    if (question) {
        const bool overwrite = m_ask ? m_ask(*question) : batch::AskOkCancel(this, *question);
        StartRun(overwrite);
        return;
    }
    // The job is over: the document changes here, on the user-interface thread.
    for (const std::string& path : m_job->Handled())
        batch::DropFromSelection(*m_pDoc, path);
    m_job.reset();
    m_outbox.reset();
    batch::ShowJobResult(*m_pDoc, m_bReplace ? std::string() : m_strOutputFolder, m_host);
    m_bClosing = true;
    EndModal(wxID_OK);
}

void CBatchRenameDlg::OnCancel(wxCommandEvent&)
{
    m_bClosing = true;
    JoinWorker();
    EndModal(wxID_CANCEL);
}

void CBatchRenameDlg::OnClose(wxCloseEvent&)
{
    m_bClosing = true;
    JoinWorker();
    EndModal(wxID_CANCEL);
}
