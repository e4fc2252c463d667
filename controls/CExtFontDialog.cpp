#include "controls/CExtFontDialog.h"

#include <wx/button.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

namespace {

constexpr uint8_t kSymbolCharSet = 2;
constexpr uint8_t kVariablePitchBit = 1;

}  // namespace

CExtFontDialog::CExtFontDialog(const wxFont* initial, long flags, wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxASCII_STR("Choose Font")), m_flags(flags), m_faceSource(SystemFontFaces)
{
    if (initial && initial->IsOk()) {
        m_initialFace = initial->GetFaceName();
        m_initialHeight = initial->GetPixelSize().y;
    }
    if (m_initialHeight <= 0)
        m_initialHeight = GetFont().GetPixelSize().y > 0 ? GetFont().GetPixelSize().y : 13;

    const wxSize list = ConvertDialogToPixels(wxSize(140, 90));
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* left = new wxBoxSizer(wxVERTICAL);
    left->Add(new wxStaticText(this, ID_FACE_LABEL, wxASCII_STR("&Font:")), 0, wxBOTTOM, 4);
    m_list = new wxListBox(this, ID_FACE_LIST, wxDefaultPosition, list, 0, nullptr, wxLB_SINGLE | wxLB_NEEDED_SB);
    left->Add(m_list, 1, wxEXPAND);
    row->Add(left, 1, wxEXPAND | wxRIGHT, 8);
    auto* buttons = new wxBoxSizer(wxVERTICAL);
    auto* ok = new wxButton(this, wxID_OK, wxASCII_STR("OK"));
    ok->SetDefault();
    buttons->Add(ok, 0, wxBOTTOM, 4);
    buttons->Add(new wxButton(this, wxID_CANCEL, wxASCII_STR("Cancel")));
    row->Add(buttons, 0);
    top->Add(row, 1, wxEXPAND | wxALL, 8);
    auto* sample = new wxStaticBoxSizer(new wxStaticBox(this, ID_SAMPLE_GROUP, wxASCII_STR("Sample")), wxVERTICAL);
    m_sample = new wxStaticText(sample->GetStaticBox(), ID_SAMPLE, wxASCII_STR("AaBbYyZz"), wxDefaultPosition,
                                ConvertDialogToPixels(wxSize(200, 24)), wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    sample->Add(m_sample, 1, wxEXPAND | wxALL, 4);
    top->Add(sample, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizerAndFit(top);

    m_list->Bind(wxEVT_LISTBOX, [this](wxCommandEvent&) { ShowSample(); });
    Bind(wxEVT_BUTTON, &CExtFontDialog::OnOk, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CExtFontDialog::OnCancel, this, wxID_CANCEL);
}

void CExtFontDialog::FillFaces()
{
    m_faces = FilterFaces(m_faceSource ? m_faceSource() : std::vector<FontFaceInfo>{}, m_nFaceFilter);
    m_list->Clear();
    int selection = wxNOT_FOUND;
    for (size_t i = 0; i < m_faces.size(); ++i) {
        const wxString name = wxString::FromUTF8(m_faces[i].name);
        m_list->Append(name);
        if (selection == wxNOT_FOUND && !m_initialFace.empty() && name.CmpNoCase(m_initialFace) == 0)
            selection = static_cast<int>(i);
    }
    // Without an initial face (or when the filter removed it) the first face is selected.
    if (selection == wxNOT_FOUND && !m_faces.empty())
        selection = 0;
    if (selection != wxNOT_FOUND) {
        m_list->SetSelection(selection);
        m_list->SetFirstItem(selection);
    }
    ShowSample();
}

void CExtFontDialog::ShowSample()
{
    const int selection = m_list->GetSelection();
    if (selection == wxNOT_FOUND)
        return;
    m_sample->SetFont(wxFont(wxFontInfo(wxSize(0, m_initialHeight)).FaceName(m_list->GetString(selection))));
    m_sample->Refresh();
}

int CExtFontDialog::DoModal()
{
    SetTitle(m_strCaption);
    FillFaces();
    return ShowModal();
}

wxFont CExtFontDialog::GetCurrentFont() const
{
    if (m_chosenFace.empty())
        return wxNullFont;
    return wxFont(wxFontInfo(wxSize(0, m_initialHeight)).FaceName(m_chosenFace));
}

void CExtFontDialog::ClearResults()
{
    m_chosenFace.clear();
    m_chosenCharSet = 0;
    m_chosenPitch = 0;
    m_chosenHeight = 0;
}

void CExtFontDialog::OnOk(wxCommandEvent&)
{
    ClearResults();
    const int selection = m_list->GetSelection();
    if (selection != wxNOT_FOUND && static_cast<size_t>(selection) < m_faces.size()) {
        const FontFaceInfo& face = m_faces[static_cast<size_t>(selection)];
        m_chosenFace = wxString::FromUTF8(face.name);
        m_chosenCharSet = face.symbol ? kSymbolCharSet : 0;
        m_chosenPitch = face.fixedPitch ? 0 : kVariablePitchBit;
        const wxFont font = GetCurrentFont();
        int width = 0;
        GetTextExtent(wxASCII_STR("Wg"), &width, &m_chosenHeight, nullptr, nullptr, &font);
    }
    EndModal(wxID_OK);
}

void CExtFontDialog::OnCancel(wxCommandEvent&)
{
    ClearResults();
    EndModal(wxID_CANCEL);
}
