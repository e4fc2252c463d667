#include "editor/ui/CFlipDlg.h"

#include "editor/ui/CDlgImageView.h"
#include "editor/ui/DialogControls.h"
#include "editor/model/PreviewFit.h"
#include "editor/ui/ProcessingScope.h"
#include "resources/editor/DialogIds.h"
#include "resources/editor/ImageDialogs.h"

CFlipDlg::CFlipDlg(wxWindow* parent, CLfImage& work) : m_work(work)
{
    CreateDialogFromTemplate(*this, parent, edlg::Flip());
    const PreviewFit fit = FitIntoPane(kPaneWidth, kPaneHeight, m_work.GetWidth(), m_work.GetHeight());
    m_work.Resample(fit.width, fit.height, 2, &m_preview);
    m_pane = new CDlgImageView(this, PlaceInFrame(*this, GetControl(IDC_FLIP_PREVIEW_BOX), {kPaneWidth, kPaneHeight}));
    m_pane->SetImage(&m_preview);
    m_pane->SetDrawRect(wxRect(fit.drawX, fit.drawY, fit.width, fit.height));
    if (wxWindow* ok = FindWindow(wxID_OK))
        ok->Disable();
    Bind(wxEVT_BUTTON, &CFlipDlg::OnFlip, this, DialogControlId(IDC_FLIP_VERTICAL));
    Bind(wxEVT_BUTTON, &CFlipDlg::OnFlip, this, DialogControlId(IDC_FLIP_HORIZONTAL));
    Bind(wxEVT_BUTTON, &CFlipDlg::OnOK, this, wxID_OK);
}

wxWindow* CFlipDlg::GetControl(int id) const { return FindWindow(DialogControlId(id)); }

// Only the picture turns over here; the image waits for OK.
void CFlipDlg::OnFlip(wxCommandEvent& event)
{
    ProcessingScope processing;
    if (event.GetId() == DialogControlId(IDC_FLIP_VERTICAL)) {
        m_preview.Flip();
        m_flipped = !m_flipped;
    } else {
        m_preview.Mirror();
        m_mirrored = !m_mirrored;
    }
    m_pane->Refresh(false);
    if (wxWindow* ok = FindWindow(wxID_OK))
        ok->Enable();
}

void CFlipDlg::OnOK(wxCommandEvent&)
{
    {
        ProcessingScope processing(Changed());
        if (m_flipped)
            m_work.Flip();
        if (m_mirrored)
            m_work.Mirror();
    }
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
}
