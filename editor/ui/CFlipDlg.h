#pragma once
// Flips the image top to bottom and mirrors it left to right, with a small preview. OK
// applies what the preview shows: presses that cancel out leave the image as it was.
// Nothing in the editor opens it.

#include "image/CLfImage.h"

#include <wx/dialog.h>

class CDlgImageView;

class CFlipDlg : public wxDialog {
public:
    static constexpr int kPaneWidth = 160;
    static constexpr int kPaneHeight = 176;

    // work: the caller's full copy of the image; it receives the result on OK.
    CFlipDlg(wxWindow* parent, CLfImage& work);

    // After OK: whether the working image differs from what came in.
    bool Changed() const { return m_flipped || m_mirrored; }
    wxWindow* GetControl(int id) const;
    const CLfImage& Preview() const { return m_preview; }
    CDlgImageView* Pane() const { return m_pane; }

private:
    void OnFlip(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);

    CLfImage& m_work;
    CLfImage m_preview;
    CDlgImageView* m_pane = nullptr;
    bool m_flipped = false;   // an odd number of Vertical presses
    bool m_mirrored = false;  // an odd number of Horizontal presses
};
