#include "batch/ui/CWatermarkDlg.h"

#include "batch/model/OutputFolder.h"
#include "batch/ui/CWatermarkTemplateDlg.h"
#include "controls/CFolderBrowser.h"
#include "controls/DialogTemplate.h"
#include "manager/model/CImageItem.h"
#include "manager/ui/CQuorixDoc.h"
#include "resources/manager/WatermarkDialogs.h"

#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr GraphicTextControlIds kIds{
    IDC_WM_EDIT,       IDC_WM_HEIGHT,          0,              IDC_WM_UNIT,          IDC_WM_COLOUR,
    IDC_WM_FONT,       IDC_WM_FACE,            IDC_WM_CHAR_SPACING, IDC_WM_LINE_SPACING, IDC_WM_SLIDER,
    IDC_WM_VISIBILITY, IDC_WM_VISIBILITY_SPIN, IDC_WM_CENTRE,  IDC_WM_UNDERLINE,     IDC_WM_PREVIEW,
    IDC_WM_NEXT,       IDC_WM_PREVIEW_BOX,     IDC_WM_DRAG_LABEL, IDC_WM_CENTRED_LABEL,
};

constexpr int kStep2Controls[] = {
    IDC_WM_STEP2_HINT,   IDC_WM_STEP2_GROUP,   IDC_WM_HEIGHT_LABEL,  IDC_WM_HEIGHT,           IDC_WM_UNIT,
    IDC_WM_COLOUR_LABEL, IDC_WM_COLOUR,        IDC_WM_FONT,          IDC_WM_FACE,             IDC_WM_SPACING_LABEL,
    IDC_WM_CHAR_SPACING, IDC_WM_LINE_LABEL,    IDC_WM_LINE_SPACING,  IDC_WM_VISIBILITY_LABEL, IDC_WM_SLIDER,
    IDC_WM_VISIBILITY,   IDC_WM_VISIBILITY_SPIN, IDC_WM_PERCENT_LABEL, IDC_WM_CENTRE,         IDC_WM_UNDERLINE,
    IDC_WM_PREVIEW,      IDC_WM_STEP2_TEXT_GROUP, IDC_WM_EDIT,       IDC_WM_DRAG_LABEL,       IDC_WM_CENTRED_LABEL,
    IDC_WM_NEXT,
};
constexpr int kStep3Controls[] = {
    IDC_WM_STEP3_GROUP, IDC_WM_STEP3_HINT, IDC_WM_STEP3_FOLDER_LABEL, IDC_WM_OUTPUT,
    IDC_WM_IMAGES,      IDC_WM_STATUS,     IDC_WM_APPLY,
};

}  // namespace

std::string CWatermarkDlg::ReplaceOriginalsQuestion(const std::string& folder)
{
    return "The images will be saved into their own folder:\n" + folder +
           "\nThe original images will be replaced by the images with text. Continue?";
}

CWatermarkDlg::CWatermarkDlg(wxWindow* parent, CQuorixDoc& doc, const CLfImage& templateImage,
                             std::string templatePath, Prompts prompts)
    : CGraphicTextDlg(kIds, kManagerTextStyle), m_doc(doc), m_templateImage(templateImage),
      m_templatePath(std::move(templatePath)), m_prompts(std::move(prompts))
{
    if (!m_prompts.message)
        m_prompts.message = [this](const std::string& text) {
            wxMessageBox(wxString::FromUTF8(text), GetTitle(), wxOK | wxICON_INFORMATION, this);
        };
    if (!m_prompts.confirm)
        m_prompts.confirm = [this](const std::string& text) {
            return wxMessageBox(wxString::FromUTF8(text), GetTitle(), wxYES_NO | wxICON_QUESTION, this) == wxYES;
        };
    if (!m_prompts.chooseFolder)
        m_prompts.chooseFolder = [this] {
            CFolderBrowser browser;
            browser.m_strCaption = "Select Folder";
            return browser.Browse(this) ? browser.m_strPath.ToStdString(wxConvUTF8) : std::string();
        };
    CreateDialogFromTemplate(*this, parent, mdlg::Watermark());
    m_images = dynamic_cast<wxListCtrl*>(GetControl(IDC_WM_IMAGES));
    m_output = dynamic_cast<wxTextCtrl*>(GetControl(IDC_WM_OUTPUT));
    m_progress = dynamic_cast<wxGauge*>(GetControl(IDC_WM_PROGRESS));
    m_status = dynamic_cast<wxStaticText*>(GetControl(IDC_WM_STATUS));
    AttachControls();
    SetupPreview(m_templateImage);
    const fs::path path(m_templatePath);
    m_templateName = path.filename().string();
    m_outputFolder = (path.parent_path() / "watermark").string();
    m_doc.m_strTextOutputFolder = m_outputFolder;
    m_doc.m_arrTextSavedFiles.clear();
    if (m_output)
        m_output->ChangeValue(wxString::FromUTF8(m_outputFolder));
    ShowStep(0);
    if (m_progress)
        m_progress->Hide();
    Bind(wxEVT_BUTTON, &CWatermarkDlg::OnNext, this, DialogControlId(IDC_WM_NEXT));
    Bind(wxEVT_BUTTON, &CWatermarkDlg::OnApply, this, DialogControlId(IDC_WM_APPLY));
}

// The job's result and settings are members: the worker is joined before they go.
CWatermarkDlg::~CWatermarkDlg() { m_worker.StopAndJoin(); }

void CWatermarkDlg::ShowStep(int step)
{
    m_step = step;
    for (int id : kStep2Controls)
        if (wxWindow* w = GetControl(id))
            w->Show(step == 0);
    for (int id : kStep3Controls)
        if (wxWindow* w = GetControl(id))
            w->Show(step == 1);
    if (wxWindow* title = GetControl(IDC_WM_STEP_TITLE))
        SetStaticText(title, step == 0 ? "Step 2" : "Step 3");
}

void CWatermarkDlg::EnableStep(bool enable) { CGraphicTextDlg::EnableStep(enable && m_previewed); }

void CWatermarkDlg::NextStep()
{
    if (m_step != 0 || !m_previewed)
        return;
    ReadControls();
    if (m_pane)
        m_pane->DisableDrag();
    ShowStep(1);
    m_paths.clear();
    m_doc.m_arrTextSavedFiles.clear();
    if (m_images) {
        m_images->ClearAll();
        m_images->InsertColumn(0, "Name", wxLIST_FORMAT_LEFT, 350);
        m_images->InsertColumn(1, "Dimension", wxLIST_FORMAT_LEFT, 0);
    }
    // The list pass reads only names: it runs here, not on the worker.
    for (CImageItem* image : CWatermarkTemplateDlg::QualifyingImages(m_doc)) {
        m_paths.push_back(image->m_strPath);
        if (m_images) {
            const long row = m_images->InsertItem(m_images->GetItemCount(),
                                                  wxString::FromUTF8(fs::path(image->m_strPath).filename().string()));
            m_images->CheckItem(row, true);
        }
    }
    Layout();
    Refresh();
}

bool CWatermarkDlg::ApplyTextAndSave()
{
    if (m_step != 1 || IsWorking())
        return false;
    if (m_output)
        m_outputFolder = m_output->GetValue().ToStdString(wxConvUTF8);
    if (m_outputFolder.empty()) {
        m_prompts.message(kNoFolder);
        m_outputFolder = m_prompts.chooseFolder();
        if (m_outputFolder.empty())
            return false;
        if (m_output)
            m_output->ChangeValue(wxString::FromUTF8(m_outputFolder));
    }
    std::vector<GraphicTextJobItem> items;
    bool intoSourceFolder = false;
    for (size_t i = 0; i < m_paths.size(); ++i) {
        const bool ticked = !m_images || m_images->IsItemChecked(static_cast<long>(i));
        items.push_back({m_paths[i], ticked});
        if (ticked && batch::SameFolder(fs::path(m_paths[i]).parent_path().string(), m_outputFolder))
            intoSourceFolder = true;
    }
    // Writing into the images' own folder replaces the originals: asked first.
    if (intoSourceFolder && !m_prompts.confirm(ReplaceOriginalsQuestion(m_outputFolder)))
        return false;
    m_doc.m_strTextOutputFolder = m_outputFolder;
    if (wxWindow* apply = GetControl(IDC_WM_APPLY))
        apply->Disable();
    if (m_progress) {
        m_progress->SetValue(0);
        m_progress->Show();
    }
    FollowProgress(m_progress);
    auto job = std::make_shared<GraphicTextJob>(m_settings, m_pane ? m_pane->Position() : TextPosition{},
                                                m_reduced.GetHeight(), m_outputFolder, std::move(items), m_templatePath);
    CTextWorker& worker = m_worker;
    return StartWorker(
        [this, job, &worker](TextLineRasterizer& rasterizer, const std::atomic<bool>& stop) {
            GraphicTextJob::Callbacks callbacks;
            callbacks.processing = [this](const std::string& name) {
                // The status line is the dialog's: written on the user-interface thread.
                CallAfter([this, name] {
                    if (m_status)
                        SetStaticText(m_status, ("Processing:" + name).c_str());
                });
            };
            callbacks.progress.start = [&worker](int range) {
                worker.m_progressRange = range;
                worker.m_progressPos = 0;
            };
            callbacks.progress.step = [&worker](int pos) { worker.m_progressPos = pos; };
            m_result = job->Run(rasterizer, stop, callbacks);
        },
        [this] { Finished(); });
}

// On the user-interface thread, with the worker joined.
void CWatermarkDlg::Finished()
{
    FollowProgress(nullptr);
    if (m_progress)
        m_progress->Hide();
    m_doc.m_arrTextSavedFiles = m_result.written;
    if (m_result.templateImage)
        m_templateImage = *m_result.templateImage;
    if (!m_cancelled)
        for (const std::string& message : m_result.messages)
            m_prompts.message(message);
    EndWith(m_cancelled || m_result.stopped ? wxID_CANCEL : wxID_OK);
}

void CWatermarkDlg::OnNext(wxCommandEvent&) { NextStep(); }
void CWatermarkDlg::OnApply(wxCommandEvent&) { ApplyTextAndSave(); }
