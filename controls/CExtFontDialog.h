#pragma once
// The font chooser of the graphical-text dialogs: a list of typeface names with a sample,
// a caption chosen by the caller and an optional filter that removes faces by symbol
// set or pitch. On OK the chosen face, its symbol set, pitch and height are kept; Cancel
// clears them. Each dialog keeps its own state: several may exist at once.

#include "controls/model/FontFaceFilter.h"

#include <wx/dialog.h>
#include <wx/font.h>

#include <cstdint>
#include <functional>
#include <vector>

class wxListBox;
class wxStaticText;

class CExtFontDialog : public wxDialog {
public:
    using FaceSource = std::function<std::vector<FontFaceInfo>()>;

    // initial: the font whose face is preselected and whose size the chosen font keeps.
    // flags: the caller's chooser flags, kept as given.
    explicit CExtFontDialog(const wxFont* initial = nullptr, long flags = 0, wxWindow* parent = nullptr);

    // Where the faces come from; the system's fonts by default.
    void SetFaceSource(FaceSource source) { m_faceSource = std::move(source); }

    // Fills the face list through the filter, titles the window with the caption and
    // runs it: wxID_OK when a face was chosen, wxID_CANCEL otherwise.
    int DoModal();

    // Results, empty or zero until OK and again after Cancel.
    wxString GetFaceName() const { return m_chosenFace; }
    // The chosen face at the initial font's size.
    wxFont GetCurrentFont() const;
    // 2 for a symbol font, else 0.
    uint8_t GetChosenCharSet() const { return m_chosenCharSet; }
    // Lowest bit clear for a fixed-pitch face, set for a variable one.
    uint8_t GetChosenPitchAndFamily() const { return m_chosenPitch; }
    // Character height in pixels of the chosen face at the initial size.
    int GetChosenHeight() const { return m_chosenHeight; }
    long GetFlags() const { return m_flags; }

    wxString m_strCaption = wxASCII_STR("Font");
    unsigned m_nFaceFilter = 0;  // FontFaceFilterBits

    enum { ID_FACE_LABEL = 1088, ID_FACE_LIST = 1136, ID_SAMPLE_GROUP = 1073, ID_SAMPLE = 1092 };

private:
    void FillFaces();
    void ShowSample();
    void ClearResults();
    void OnOk(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);

    wxString m_initialFace;
    int m_initialHeight = 0;
    long m_flags = 0;
    FaceSource m_faceSource;
    std::vector<FontFaceInfo> m_faces;  // as listed
    wxListBox* m_list = nullptr;
    wxStaticText* m_sample = nullptr;

    wxString m_chosenFace;
    uint8_t m_chosenCharSet = 0;
    uint8_t m_chosenPitch = 0;
    int m_chosenHeight = 0;
};
