#pragma once
// The JPEG options asked before a save: quality by slider or field (with arrows), the encoding
// and chroma sampling pairs, and whether the choice becomes the default. The rules live
// in JpegOptions; this window only moves them in and out of its controls.

#include "editor/model/JpegOptions.h"

#include <wx/dialog.h>

class wxCheckBox;
class wxScrollEvent;
class wxSlider;
class wxSpinCtrlDouble;
class wxSpinDoubleEvent;

class CJpegOptionsDlg : public wxDialog {
public:
    // namePending: the file name is still to be asked, so the save button reads "&Next>>".
    CJpegOptionsDlg(wxWindow* parent, const JpegOptions& start, bool namePending);

    // The choice once the dialog ended with OK.
    const JpegOptions& GetOptions() const { return m_options; }

    // Reads the controls into the options; false with the message shown (when show is
    // set) when the quality is not a number within 0..100.
    bool ReadControls(bool showMessage);
    void WriteControls();

    // The controls by their template ids, for tests that press them.
    wxWindow* GetControl(int id) const;

private:
    void ReadChecks();
    void WriteChecks();
    void OnSliderReleased(wxScrollEvent& event);
    void OnQualityText(wxCommandEvent& event);
    void OnSpin(wxSpinDoubleEvent& event);
    void OnCheck(wxCommandEvent& event);
    void OnResetAll(wxCommandEvent& event);
    void OnOK(wxCommandEvent& event);

    JpegOptions m_options;
    wxSlider* m_slider = nullptr;
    wxSpinCtrlDouble* m_edit = nullptr;  // the quality, typed or stepped with its arrows
    wxCheckBox* m_progressive = nullptr;
    wxCheckBox* m_optimize = nullptr;
    wxCheckBox* m_horizontal = nullptr;
    wxCheckBox* m_vertical = nullptr;
    wxCheckBox* m_saveDefault = nullptr;
    bool m_writing = false;  // notifications caused by WriteControls are ignored
};
