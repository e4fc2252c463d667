#pragma once
// Gives the image a new canvas size: a smaller one keeps the centre of the image, a
// larger one centres the image on a white canvas. Nothing in the editor opens it.

#include "editor/ui/DialogControls.h"
#include "image/CLfImage.h"

#include <wx/dialog.h>

#include <optional>
#include <string>

class wxSpinEvent;

class CCanvasSizeDlg : public wxDialog {
public:
    using MessageFn = DialogMessageFn;
    // work: the caller's full copy of the image; it receives the result on OK.
    CCanvasSizeDlg(wxWindow* parent, CLfImage& work, MessageFn message = {});

    wxWindow* GetControl(int id) const;

    // A typed side: 1..4095, or nothing.
    static std::optional<int> SideOf(const std::string& text);

private:
    void OnSpin(wxSpinEvent& event);
    void OnOK(wxCommandEvent& event);

    CLfImage& m_work;
    MessageFn m_message;
};
