#include "controls/DialogTemplate.h"

#include "controls/CFolderTreeCtrl.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/icon.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/spinctrl.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace {

bool CentreInside(const wxRect& inner, const wxRect& outer)
{
    return outer.Contains(inner.x + inner.width / 2, inner.y + inner.height / 2);
}

// The right and bottom edge of everything in the layout (exclusive).
wxSize LayoutExtent(const std::vector<LayoutBox>& boxes)
{
    wxSize extent;
    for (const LayoutBox& b : boxes) {
        extent.x = std::max(extent.x, b.rect.x + b.rect.width);
        extent.y = std::max(extent.y, b.rect.y + b.rect.height);
    }
    return extent;
}

// The size a static text needs to show all of its label within the width it has: a
// control tall enough for two lines wraps its text and grows downwards when needed;
// a one-line control grows to the right.
wxSize NeededStaticSize(wxStaticText* label, const wxString& text)
{
    const wxSize size = label->GetSize();
    const int lineHeight = label->GetCharHeight();
    // The best size is kept between calls: measure afresh after each change of the text.
    label->SetLabelText(text);
    label->InvalidateBestSize();
    wxSize needed = label->GetBestSize();
    if (size.y >= 2 * lineHeight && needed.x > size.x) {
        label->Wrap(size.x);
        label->InvalidateBestSize();
        needed = label->GetBestSize();  // wider than size only for a word that cannot be broken
    }
    return {std::max(size.x, needed.x), std::max(size.y, needed.y)};
}

// The dialog's controls with the rectangles they have now; group boxes enclose.
std::vector<LayoutBox> CurrentLayout(wxWindow& dialog, std::vector<wxWindow*>& controls)
{
    std::vector<LayoutBox> boxes;
    for (wxWindow* child : dialog.GetChildren()) {
        if (child->IsTopLevel())
            continue;
        controls.push_back(child);
        boxes.push_back({child->GetRect(), dynamic_cast<wxStaticBox*>(child) != nullptr});
    }
    return boxes;
}

// Grows control to needed (if it is smaller) and makes room for it in its dialog.
void GrowInDialog(wxWindow* control, const wxSize& needed)
{
    wxWindow* dialog = control->GetParent();
    if (!dialog || (needed.x <= control->GetSize().x && needed.y <= control->GetSize().y))
        return;
    std::vector<wxWindow*> controls;
    std::vector<LayoutBox> boxes = CurrentLayout(*dialog, controls);
    const size_t index = std::find(controls.begin(), controls.end(), control) - controls.begin();
    if (index == controls.size())
        return;
    const wxSize grown = GrowLayoutBox(boxes, index, needed);
    for (size_t i = 0; i < controls.size(); ++i)
        controls[i]->SetSize(boxes[i].rect);
    if (grown.x > 0 || grown.y > 0)
        dialog->SetClientSize(dialog->GetClientSize() + grown);
}

}  // namespace

wxSize GrowLayoutBox(std::vector<LayoutBox>& boxes, size_t index, const wxSize& needed)
{
    const wxRect old = boxes[index].rect;
    const int dw = std::max(0, needed.x - old.width);
    const int dh = std::max(0, needed.y - old.height);
    if (dw == 0 && dh == 0)
        return {0, 0};
    const wxSize before = LayoutExtent(boxes);
    std::vector<wxPoint> moves(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        const wxRect& r = boxes[i].rect;
        if (i == index || (boxes[i].encloses && CentreInside(old, r)))
            continue;
        const bool sameRows = r.y < old.y + old.height && old.y < r.y + r.height;
        const bool sameColumns = r.x < old.x + old.width && old.x < r.x + r.width;
        // A neighbour that starts just inside the old edge (layouts overlap by a unit
        // now and then) still counts as beside or below.
        if (sameRows && r.x + r.width > old.x + old.width && r.x > old.x)
            moves[i].x = dw;
        if (sameColumns && r.y + r.height > old.y + old.height && r.y > old.y)
            moves[i].y = dh;
    }
    // A group box that grows with the control pushes what lies beside or below it too.
    for (size_t g = 0; g < boxes.size(); ++g) {
        const wxRect& frame = boxes[g].rect;
        if (g == index || !boxes[g].encloses || !CentreInside(old, frame))
            continue;
        for (size_t i = 0; i < boxes.size(); ++i) {
            const wxRect& r = boxes[i].rect;
            if (i == index || i == g || CentreInside(r, frame))
                continue;
            const bool sameRows = r.y < frame.y + frame.height && frame.y < r.y + r.height;
            const bool sameColumns = r.x < frame.x + frame.width && frame.x < r.x + r.width;
            if (sameRows && r.x + r.width > frame.x + frame.width && r.x > frame.x)
                moves[i].x = std::max(moves[i].x, dw);
            if (sameColumns && r.y + r.height > frame.y + frame.height && r.y > frame.y)
                moves[i].y = std::max(moves[i].y, dh);
        }
    }
    // What a moving group box encloses moves with it.
    for (size_t g = 0; g < boxes.size(); ++g) {
        if (!boxes[g].encloses || moves[g] == wxPoint())
            continue;
        for (size_t i = 0; i < boxes.size(); ++i)
            if (i != g && i != index && CentreInside(boxes[i].rect, boxes[g].rect)) {
                moves[i].x = std::max(moves[i].x, moves[g].x);
                moves[i].y = std::max(moves[i].y, moves[g].y);
            }
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
        wxRect& r = boxes[i].rect;
        if (i != index && boxes[i].encloses && CentreInside(old, r)) {
            r.width += dw;
            r.height += dh;
        }
        r.Offset(moves[i]);
    }
    boxes[index].rect.SetSize({old.width + dw, old.height + dh});
    const wxSize after = LayoutExtent(boxes);
    return {std::max(0, after.x - before.x), std::max(0, after.y - before.y)};
}

int DialogControlId(int templateId)
{
    switch (templateId) {
    case 1: return wxID_OK;
    case 2: return wxID_CANCEL;
    case -1: return wxID_ANY;
    default: return templateId;
    }
}

bool CreateDialogFromTemplate(wxDialog& dialog, wxWindow* parent, const DialogTemplate& layout, const wxIcon* icon)
{
    if (!dialog.Create(parent, wxID_ANY, wxString::FromUTF8(layout.caption), wxDefaultPosition, wxDefaultSize,
                       wxDEFAULT_DIALOG_STYLE))
        return false;
    auto toPixels = [&dialog](int x, int y) { return dialog.ConvertDialogToPixels(wxPoint(x, y)); };
    std::vector<wxWindow*> controls;
    std::vector<LayoutBox> boxes;
    bool firstRadio = true;
    for (const DlgItem& item : layout.items) {
        const wxPoint pos = toPixels(item.x, item.y);
        const wxPoint extent = toPixels(item.width, item.height);
        const wxSize size(extent.x, extent.y);
        const int id = DialogControlId(item.id);
        const wxString text = wxString::FromUTF8(item.text ? item.text : "");
        wxWindow* control = nullptr;
        switch (item.kind) {
        case DlgItemKind::Static:
            control = new wxStaticText(&dialog, id, wxString(), pos, size, wxST_NO_AUTORESIZE);
            break;
        case DlgItemKind::GroupBox: control = new wxStaticBox(&dialog, id, text, pos, size); break;
        case DlgItemKind::Button:
        case DlgItemKind::DefaultButton: {
            auto* button = new wxButton(&dialog, id, text, pos, size);
            if (item.kind == DlgItemKind::DefaultButton)
                button->SetDefault();
            control = button;
            break;
        }
        case DlgItemKind::Icon:
            control = new wxStaticBitmap(&dialog, id, icon ? wxBitmap(*icon) : wxBitmap(), pos);
            break;
        case DlgItemKind::CheckBox: control = new wxCheckBox(&dialog, id, text, pos, size); break;
        case DlgItemKind::RadioButton:
        case DlgItemKind::RadioGroup:
            // Option buttons form one group, up to the next that starts its own: checking
            // one clears the others of its group.
            control = new wxRadioButton(&dialog, id, text, pos, size,
                                        firstRadio || item.kind == DlgItemKind::RadioGroup ? wxRB_GROUP : 0);
            firstRadio = false;
            break;
        case DlgItemKind::SpinButton: control = new wxSpinButton(&dialog, id, pos, size, wxSP_VERTICAL); break;
        case DlgItemKind::Edit: control = new wxTextCtrl(&dialog, id, text, pos, size); break;
        case DlgItemKind::MultiLineEdit:
            control = new wxTextCtrl(&dialog, id, text, pos, size, wxTE_MULTILINE | wxVSCROLL);
            break;
        case DlgItemKind::Password: control = new wxTextCtrl(&dialog, id, text, pos, size, wxTE_PASSWORD); break;
        case DlgItemKind::List: {
            auto* list = new wxListCtrl(&dialog, id, pos, size, wxLC_REPORT | wxLC_HRULES | wxLC_VRULES | wxBORDER_SUNKEN);
            list->EnableCheckBoxes();
            control = list;
            break;
        }
        case DlgItemKind::Progress:
            control = new wxGauge(&dialog, id, 100, pos, size, wxGA_HORIZONTAL | wxGA_SMOOTH);
            break;
        case DlgItemKind::Slider:
            control = new wxSlider(&dialog, id, 0, 0, 100, pos, size, wxSL_HORIZONTAL | wxSL_AUTOTICKS);
            break;
        case DlgItemKind::MultiEdit:
            control = new wxTextCtrl(&dialog, id, text, pos, size, wxTE_MULTILINE);
            break;
        case DlgItemKind::DropList:
            control = new wxChoice(&dialog, id, pos, size, wxSplit(text, '|', '\0'));
            break;
        case DlgItemKind::ComboBox:
            control = new wxComboBox(&dialog, id, wxString(), pos, size, wxSplit(text, '|', '\0'), wxCB_DROPDOWN);
            break;
        case DlgItemKind::ListView: {
            auto* list = new wxListCtrl(&dialog, id, pos, size, wxLC_REPORT | wxBORDER_SUNKEN);
            list->EnableCheckBoxes();
            control = list;
            break;
        }
        case DlgItemKind::FolderTree:
            control = new CFolderTreeCtrl(&dialog, id, pos, size, wxTR_HAS_BUTTONS | wxTR_LINES_AT_ROOT | wxBORDER_SUNKEN);
            break;
        case DlgItemKind::VerticalSlider:
            control = new wxSlider(&dialog, id, 0, 0, 100, pos, size, wxSL_VERTICAL | wxSL_AUTOTICKS | wxSL_BOTH);
            break;
        case DlgItemKind::SpinEdit: {
            auto* spin = new wxSpinCtrlDouble(&dialog, id, text, pos, size, wxSP_ARROW_KEYS, 0, 100, 0, 1);
            spin->SetDigits(1);
            control = spin;
            break;
        }
        }
        controls.push_back(control);
        boxes.push_back({control->GetRect(), item.kind == DlgItemKind::GroupBox});
    }
    // Dialog units follow the font's average character, not the widths of the letters of
    // a text: a static text or caption that would be cut grows, and what lies to its
    // right or below moves along.
    wxSize grown(0, 0);
    for (size_t i = 0; i < controls.size(); ++i) {
        switch (layout.items[i].kind) {
        case DlgItemKind::Static: {
            auto* label = static_cast<wxStaticText*>(controls[i]);
            label->SetSize(boxes[i].rect);
            const wxString text = wxString::FromUTF8(layout.items[i].text);
            grown += GrowLayoutBox(boxes, i, NeededStaticSize(label, text));
            break;
        }
        // Captions of buttons and check boxes are one line: they grow to the right.
        case DlgItemKind::Button:
        case DlgItemKind::DefaultButton:
        case DlgItemKind::CheckBox:
        case DlgItemKind::RadioButton:
        case DlgItemKind::RadioGroup:
            grown += GrowLayoutBox(boxes, i, {controls[i]->GetBestSize().x, boxes[i].rect.height});
            break;
        // Spin controls below their natural size lose their arrows and make the toolkit
        // complain: they take that size, and their neighbours move as for texts. Arrows
        // made right after a field are that field's and only widen here; their height is
        // centred on the field below, so that a column of fields keeps its arrows in line.
        case DlgItemKind::SpinButton:
            if (i > 0 && layout.items[i - 1].kind == DlgItemKind::Edit) {
                grown += GrowLayoutBox(boxes, i, {controls[i]->GetBestSize().x, boxes[i].rect.height});
                break;
            }
            [[fallthrough]];
        case DlgItemKind::SpinEdit: grown += GrowLayoutBox(boxes, i, controls[i]->GetBestSize()); break;
        default: break;
        }
    }
    const wxSize extentBefore = LayoutExtent(boxes);
    for (size_t i = 1; i < controls.size(); ++i) {
        if (layout.items[i].kind != DlgItemKind::SpinButton || layout.items[i - 1].kind != DlgItemKind::Edit)
            continue;
        const wxRect field = boxes[i - 1].rect;
        wxRect& arrows = boxes[i].rect;
        arrows.height = std::max(arrows.height, controls[i]->GetBestSize().y);
        arrows.y = std::max(0, field.y + (field.height - arrows.height) / 2);
    }
    const wxSize extentAfter = LayoutExtent(boxes);
    grown.y += std::max(0, extentAfter.y - extentBefore.y);
    for (size_t i = 0; i < controls.size(); ++i) {
        controls[i]->SetSize(boxes[i].rect);
        if (layout.items[i].kind == DlgItemKind::Static)
            SetStaticText(controls[i], layout.items[i].text);
    }
    const wxPoint client = toPixels(layout.width, layout.height);
    dialog.SetClientSize(client.x + grown.x, client.y + grown.y);
    dialog.CentreOnParent();
    return true;
}

void SetStaticText(wxWindow* control, const char* utf8)
{
    auto* label = dynamic_cast<wxStaticText*>(control);
    if (!label)
        return;
    const wxString text = wxString::FromUTF8(utf8 ? utf8 : "");
    GrowInDialog(label, NeededStaticSize(label, text));
    label->SetLabelText(text);
    label->Wrap(label->GetSize().GetWidth());
}
