#include "controls/DialogTemplate.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/icon.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

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
    for (const DlgItem& item : layout.items) {
        const wxPoint pos = toPixels(item.x, item.y);
        const wxPoint extent = toPixels(item.width, item.height);
        const wxSize size(extent.x, extent.y);
        const int id = DialogControlId(item.id);
        const wxString text = wxString::FromUTF8(item.text ? item.text : "");
        switch (item.kind) {
        case DlgItemKind::Static: {
            auto* label = new wxStaticText(&dialog, id, wxString(), pos, size, wxST_NO_AUTORESIZE);
            SetStaticText(label, item.text);
            break;
        }
        case DlgItemKind::GroupBox: new wxStaticBox(&dialog, id, text, pos, size); break;
        case DlgItemKind::Button:
        case DlgItemKind::DefaultButton: {
            auto* button = new wxButton(&dialog, id, text, pos, size);
            if (item.kind == DlgItemKind::DefaultButton)
                button->SetDefault();
            break;
        }
        case DlgItemKind::Icon:
            new wxStaticBitmap(&dialog, id, icon ? wxBitmap(*icon) : wxBitmap(), pos);
            break;
        case DlgItemKind::CheckBox: new wxCheckBox(&dialog, id, text, pos, size); break;
        case DlgItemKind::Edit: new wxTextCtrl(&dialog, id, text, pos, size); break;
        case DlgItemKind::Slider:
            new wxSlider(&dialog, id, 0, 0, 100, pos, size, wxSL_HORIZONTAL | wxSL_AUTOTICKS);
            break;
        case DlgItemKind::SpinButton: {
            auto* spin = new wxSpinButton(&dialog, id, pos, size, wxSP_VERTICAL);
            spin->SetRange(0, 100);
            break;
        }
        }
    }
    const wxPoint client = toPixels(layout.width, layout.height);
    dialog.SetClientSize(client.x, client.y);
    dialog.CentreOnParent();
    return true;
}

void SetStaticText(wxWindow* control, const char* utf8)
{
    auto* label = dynamic_cast<wxStaticText*>(control);
    if (!label)
        return;
    label->SetLabelText(wxString::FromUTF8(utf8 ? utf8 : ""));
    label->Wrap(label->GetSize().GetWidth());
}
