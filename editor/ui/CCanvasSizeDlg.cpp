#include "editor/ui/CCanvasSizeDlg.h"

#include "editor/model/AdjustValues.h"
#include "editor/model/NumberText.h"
#include "resources/editor/DialogIds.h"
#include "resources/editor/DialogStrings.h"
#include "resources/editor/ImageDialogs.h"

#include <wx/spinbutt.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

namespace {

constexpr int kSpinHigh = 2000;
constexpr int kLargestSide = 4095;

}  // namespace

CCanvasSizeDlg::CCanvasSizeDlg(wxWindow* parent, CLfImage& work, MessageFn message)
    : m_work(work), m_message(std::move(message))
{
    if (!m_message)
        m_message = PlainMessageBox(this);
    CreateDialogFromTemplate(*this, parent, edlg::CanvasSize());
    const int sides[] = {m_work.GetWidth(), m_work.GetHeight()};
    const int shown[] = {IDC_CANVAS_OLD_WIDTH, IDC_CANVAS_OLD_HEIGHT};
    const int edits[] = {IDC_CANVAS_WIDTH, IDC_CANVAS_HEIGHT};
    const int spins[] = {IDC_CANVAS_WIDTH_SPIN, IDC_CANVAS_HEIGHT_SPIN};
    for (int i = 0; i < 2; ++i) {
        const wxString text = wxString::Format("%d", sides[i]);
        if (auto* old = DialogControl<wxTextCtrl>(*this, shown[i])) {
            old->ChangeValue(text);
            old->SetEditable(false);
        }
        if (auto* edit = DialogControl<wxTextCtrl>(*this, edits[i]))
            edit->ChangeValue(text);
        if (auto* spin = DialogControl<wxSpinButton>(*this, spins[i])) {
            spin->SetRange(0, kSpinHigh);
            spin->SetValue(std::min(sides[i], kSpinHigh));
            Bind(wxEVT_SPIN, &CCanvasSizeDlg::OnSpin, this, spin->GetId());
        }
    }
    if (wxWindow* width = GetControl(IDC_CANVAS_WIDTH))
        width->SetFocus();
    Bind(wxEVT_BUTTON, &CCanvasSizeDlg::OnOK, this, wxID_OK);
}

wxWindow* CCanvasSizeDlg::GetControl(int id) const { return FindWindow(DialogControlId(id)); }

std::optional<int> CCanvasSizeDlg::SideOf(const std::string& text)
{
    const std::optional<long> side = ParseBoundedInteger(text, 0, kLargestSide + 1);
    if (!side || *side < 1 || *side > kLargestSide)
        return std::nullopt;
    return static_cast<int>(*side);
}

void CCanvasSizeDlg::OnSpin(wxSpinEvent& event)
{
    const int edit = event.GetId() == DialogControlId(IDC_CANVAS_WIDTH_SPIN) ? IDC_CANVAS_WIDTH : IDC_CANVAS_HEIGHT;
    if (auto* text = DialogControl<wxTextCtrl>(*this, edit))
        text->SetValue(wxString::Format("%d", event.GetPosition()));
}

void CCanvasSizeDlg::OnOK(wxCommandEvent&)
{
    std::optional<int> sides[2];
    const int edits[] = {IDC_CANVAS_WIDTH, IDC_CANVAS_HEIGHT};
    for (int i = 0; i < 2; ++i) {
        auto* edit = DialogControl<wxTextCtrl>(*this, edits[i]);
        sides[i] = edit ? SideOf(edit->GetValue().utf8_string()) : std::nullopt;
        if (!sides[i]) {
            m_message(estr::kInvalidNumber);
            if (edit)
                edit->SetFocus();
            return;
        }
    }
    {
        wxBusyCursor wait;
        ApplyCanvasSize(m_work, *sides[0], *sides[1]);
    }
    SetReturnCode(wxID_OK);
    EndDialog(wxID_OK);
}
