#pragma once
// Turns the image by whole degrees or flips it, with a small preview. Flips go into the
// working image at once; the rotation is applied on OK.

#include "editor/ui/DialogControls.h"
#include "image/CLfImage.h"

#include <wx/dialog.h>

class CDlgImageView;
class wxRadioButton;
class wxTextCtrl;

class CRotateDlg : public wxDialog {
public:
    using MessageFn = DialogMessageFn;
    // work: the caller's full copy of the image; it receives the result.
    CRotateDlg(wxWindow* parent, CLfImage& work, MessageFn message = {});

    // After OK: whether the working image differs from what came in.
    bool Changed() const { return m_rotated || m_mirrored || m_flipped; }
    wxWindow* GetControl(int id) const;

private:
    void SetMode(bool rotate);
    void UpdatePreview();
    void ShowPreview();
    void OnMode(wxCommandEvent& event);
    void OnStep(wxCommandEvent& event);
    void OnAngleText(wxCommandEvent& event);
    void OnFlip(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);

    CLfImage& m_work;
    MessageFn m_message;
    CLfImage m_base;     // the working image fitted to the pane
    CLfImage m_preview;  // what the pane shows
    CDlgImageView* m_pane = nullptr;
    wxRect m_paneRect;
    wxTextCtrl* m_angle = nullptr;
    wxRadioButton* m_rotateMode = nullptr;
    wxRadioButton* m_flipMode = nullptr;
    bool m_rotated = false;
    bool m_mirrored = false;  // an odd number of Horizontal presses
    bool m_flipped = false;   // an odd number of Vertical presses
};
