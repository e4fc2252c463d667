#pragma once
// Asks for the image's new size, as a percentage or in pixels. The rules live in
// ResizeModel; this window only moves them in and out of its controls.

#include "editor/ui/DialogControls.h"
#include "editor/model/ResizeModel.h"

#include <wx/dialog.h>

class wxCheckBox;
class wxRadioButton;
class wxSpinEvent;
class wxTextCtrl;

class CResizeDlg : public wxDialog {
public:
    // message shows a refusal of OK; by default in a plain message box.
    using MessageFn = DialogMessageFn;
    CResizeDlg(wxWindow* parent, int width, int height, MessageFn message = {});

    // The chosen size once the dialog ended with OK.
    int GetWidth() const { return m_model.Width(); }
    int GetHeight() const { return m_model.Height(); }

    // The controls by their template ids, for tests that press them.
    wxWindow* GetControl(int id) const;

private:
    void WriteTexts();
    void SyncSpins();
    void SetMode(bool percentage);
    void OnByPercentage(wxCommandEvent& event);
    void OnByPixels(wxCommandEvent& event);
    void OnText(wxCommandEvent& event);
    void OnSpin(wxSpinEvent& event);
    void OnKeepAspect(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);

    ResizeModel m_model;
    MessageFn m_message;
    wxRadioButton* m_byPercentage = nullptr;
    wxRadioButton* m_byPixels = nullptr;
    wxTextCtrl* m_percentage = nullptr;
    wxTextCtrl* m_width = nullptr;
    wxTextCtrl* m_height = nullptr;
    wxCheckBox* m_keepAspect = nullptr;
};
