#include "editor/ui/CWatermarkTextDlg.h"

#include "controls/DialogTemplate.h"
#include "resources/editor/DialogStrings.h"
#include "resources/editor/TextDialog.h"

#include <wx/gauge.h>
#include <wx/stattext.h>

#include <filesystem>

namespace {

constexpr GraphicTextControlIds kIds{
    IDC_TEXT_EDIT,           IDC_TEXT_HEIGHT,     IDC_TEXT_HEIGHT_SPIN, IDC_TEXT_UNIT,         IDC_TEXT_COLOUR,
    IDC_TEXT_FONT,           IDC_TEXT_FACE,       IDC_TEXT_CHAR_SPACING, IDC_TEXT_LINE_SPACING, IDC_TEXT_SLIDER,
    IDC_TEXT_VISIBILITY,     IDC_TEXT_VISIBILITY_SPIN, IDC_TEXT_CENTRE, IDC_TEXT_UNDERLINE,  IDC_TEXT_PREVIEW,
    IDC_TEXT_APPLY,          IDC_TEXT_PREVIEW_BOX, IDC_TEXT_DRAG_LABEL, IDC_TEXT_CENTRED_LABEL,
};

}  // namespace

CWatermarkTextDlg::CWatermarkTextDlg(wxWindow* parent, CLfImage& image, std::string documentPath)
    : CGraphicTextDlg(kIds, kEditorTextStyle), m_image(image), m_path(std::move(documentPath))
{
    m_previewEmptyText = false;
    CreateDialogFromTemplate(*this, parent, edlg::WatermarkText());
    m_progress = dynamic_cast<wxGauge*>(GetControl(IDC_TEXT_PROGRESS));
    m_status = dynamic_cast<wxStaticText*>(GetControl(IDC_TEXT_STATUS));
    if (m_progress)
        m_progress->Hide();
    AttachControls();
    SetupPreview(m_image);
    Bind(wxEVT_BUTTON, &CWatermarkTextDlg::OnApply, this, DialogControlId(IDC_TEXT_APPLY));
}

// The worker renders into m_scratch: it is joined before the members go.
CWatermarkTextDlg::~CWatermarkTextDlg() { m_worker.StopAndJoin(); }

void CWatermarkTextDlg::EnableStep(bool enable)
{
    // Nothing is applied before a preview has shown where the text goes.
    CGraphicTextDlg::EnableStep(enable && m_previewed && !IsWorking());
}

bool CWatermarkTextDlg::ApplyText()
{
    if (IsWorking() || !m_previewed || !m_pane)
        return false;
    ReadControls();
    EnableStep(false);
    for (int id : {IDC_TEXT_PREVIEW, IDC_TEXT_FONT, IDC_TEXT_COLOUR})
        if (wxWindow* control = GetControl(id))
            control->Disable();
    m_pane->DisableDrag();
    if (m_status)
        SetStaticText(m_status, (estr::kTextProcessing + FileName()).c_str());
    if (m_progress) {
        m_progress->SetValue(0);
        m_progress->Show();
    }
    FollowProgress(m_progress);
    m_scratch.Copy(m_image);
    m_completed = false;
    GraphicTextSettings settings = m_settings;
    const TextPosition position = m_pane->Position();
    const int reducedHeight = m_reduced.GetHeight();
    CTextWorker& worker = m_worker;
    return StartWorker(
        [this, settings, position, reducedHeight, &worker](TextLineRasterizer& rasterizer,
                                                           const std::atomic<bool>& stop) mutable {
            FullSizeProgress progress{[&worker](int range) { worker.m_progressRange = range; },
                                      [&worker](int pos) { worker.m_progressPos = pos; }};
            const RenderOutcome outcome =
                m_scratch.IsValid()
                    ? RenderFullSize(m_scratch, settings, position, reducedHeight, rasterizer, kEditorTextStyle, &stop,
                                     progress)
                    : RenderOutcome::Done;
            m_completed = outcome == RenderOutcome::Done && !stop.load();
        },
        [this] { Finished(); });
}

// On the user-interface thread, with the worker joined.
void CWatermarkTextDlg::Finished()
{
    FollowProgress(nullptr);
    if (m_cancelled || !m_completed) {
        EndWith(wxID_CANCEL);
        return;
    }
    m_image = m_scratch;
    // Nothing is written here: the document takes the image once the dialog has ended.
    if (m_status)
        SetStaticText(m_status, (estr::kTextSaving + FileName()).c_str());
    if (m_progress)
        m_progress->SetValue(0);
    EndWith(wxID_OK);
}

std::string CWatermarkTextDlg::FileName() const { return std::filesystem::path(m_path).filename().string(); }

void CWatermarkTextDlg::OnApply(wxCommandEvent&) { ApplyText(); }
