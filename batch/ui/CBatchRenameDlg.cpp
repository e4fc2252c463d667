#include "batch/ui/CBatchRenameDlg.h"

#include "batch/ui/BatchDialogSupport.h"
#include "controls/CFolderDialog.h"
#include "manager/model/CFolderItem.h"
#include "manager/ui/CQuorixDoc.h"
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
    // The Help button has no action.
}

CBatchRenameDlg::~CBatchRenameDlg() { JoinWorker(); }

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
        const long row = m_list->InsertItem(long(m_nListed), wxString::FromUTF8(image->m_strName));
        m_list->SetItem(row, 1, wxString::FromUTF8(image->m_strName));
        if (m_nListed == 0)
            m_options.pattern = batch::DefaultPattern(image->m_strName);
        ++m_nListed;
    }
    BuildNewNames();
    WriteControls();
}

void CBatchRenameDlg::ReadControls()
{
    m_options.pattern = Control<wxTextCtrl>(this, kRenamePattern)->GetValue().utf8_string();
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
    m_strOutputFolder = Control<wxComboBox>(this, kBatchOutputFolder)->GetValue().utf8_string();
}

void CBatchRenameDlg::WriteControls()
{
    m_bWriting = true;
    Control<wxTextCtrl>(this, kRenamePattern)->ChangeValue(wxString::FromUTF8(m_options.pattern));
    Control<wxTextCtrl>(this, kRenameStart)->ChangeValue(wxString::FromUTF8(m_options.startValue));
    Control<wxRadioButton>(this, m_options.counterKind == batch::kCounterLetters ? kRenameLetters : kRenameNumbers)
        ->SetValue(true);
    const int nameIds[] = {kRenameNameSame, kRenameNameLower, kRenameNameUpper};
    const int extIds[] = {kRenameExtSame, kRenameExtLower, kRenameExtUpper};
    Control<wxRadioButton>(this, nameIds[std::clamp(m_options.nameCase, 0, 2)])->SetValue(true);
    Control<wxRadioButton>(this, extIds[std::clamp(m_options.extensionCase, 0, 2)])->SetValue(true);
    Control<wxCheckBox>(this, kRenameReplace)->SetValue(m_bReplace);
    Control<wxComboBox>(this, kBatchOutputFolder)->ChangeValue(wxString::FromUTF8(m_strOutputFolder));
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
    if (batch::PatternNeedsCounter(m_options.pattern, m_nListed)) {
        // Several files need a counter to tell them apart: the pattern gets one, and the
        // names follow from the changed pattern.
        m_options.pattern += "?";
        WriteControls();
    }
    const std::vector<CImageItem*> images = Participants();
    std::vector<std::string> oldNames;
    for (CImageItem* image : images)
        oldNames.push_back(image->m_strName);
    m_arrNewNames = batch::BuildNewNames(m_options, oldNames);
    for (size_t i = 0; i < images.size(); ++i) {
        const long row = m_list->InsertItem(long(i), wxString::FromUTF8(oldNames[i]));
        m_list->SetItem(row, 1, wxString::FromUTF8(m_arrNewNames[i]));
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
    m_options.startValue = event.GetId() == kRenameLetters ? "a" : "0";
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
        wxString path = wxString::FromUTF8(folder);
        CFolderDialog dialog(&path, this);
        chosen = dialog.DoModal() == wxID_OK;
        folder = path.utf8_string();
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
    BuildNewNames();
    std::vector<batch::RenameItem> items;
    const std::vector<CImageItem*> images = Participants();
    for (size_t i = 0; i < images.size() && i < m_arrNewNames.size(); ++i)
        items.push_back({images[i]->m_strPath, m_arrNewNames[i]});
    // The worker reports through the dialog's queue; Cancel and close wait for it, so
    // nothing it posts outlives the dialog.
    m_job = std::make_unique<batch::BatchRenameJob>(
        std::move(items), m_bReplace, m_strOutputFolder, batch::CopyWithFileCopier,
        [this](const std::string& text, batch::MessageKind kind) { CallAfter([this, text, kind] { Report(text, kind); }); });
    FindWindow(wxID_OK)->Disable();
    StartRun(std::nullopt);
}

void CBatchRenameDlg::StartRun(std::optional<bool> answer)
{
    JoinWorker();
    m_worker = std::thread([this, answer] {
        if (answer)
            m_job->Answer(*answer);
        std::optional<std::string> question = m_job->Run();
        CallAfter([this, question] { OnRunEnded(question); });
    });
}

void CBatchRenameDlg::OnRunEnded(std::optional<std::string> question)
{
    JoinWorker();
    if (m_bClosing)
        return;
    if (question) {
        const bool overwrite = m_ask ? m_ask(*question) : batch::AskOkCancel(this, *question);
        StartRun(overwrite);
        return;
    }
    // The job is over: the document changes here, on the user-interface thread.
    for (const std::string& path : m_job->Handled())
        batch::DropFromSelection(*m_pDoc, path);
    m_job.reset();
    batch::ShowJobResult(*m_pDoc, m_bReplace ? std::string() : m_strOutputFolder);
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
