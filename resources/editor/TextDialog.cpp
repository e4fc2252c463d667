#include "resources/editor/TextDialog.h"

namespace edlg {

using K = DlgItemKind;

const DialogTemplate& WatermarkText()
{
    static const DialogTemplate t{
        IDD_WATERMARK_TEXT,
        "Add Graphical Text (Watermark)",
        392,
        240,
        {
            {K::GroupBox, -1, "Text Options", 7, 5, 198, 118},
            {K::Static, -1, "Text Height", 14, 20, 44, 8},
            {K::Edit, IDC_TEXT_HEIGHT, "", 62, 18, 24, 12},
            {K::SpinButton, IDC_TEXT_HEIGHT_SPIN, "", 86, 18, 26, 12},
            {K::DropList, IDC_TEXT_UNIT, "Pixels|Percent", 116, 18, 60, 14},
            {K::Static, -1, "Color", 14, 39, 44, 8},
            {K::Button, IDC_TEXT_COLOUR, "", 62, 36, 34, 14},
            {K::Button, IDC_TEXT_FONT, "Font", 100, 36, 36, 14},
            {K::Static, IDC_TEXT_FACE, "", 140, 39, 60, 8},
            {K::Static, -1, "Character Spacing", 14, 58, 66, 8},
            {K::Edit, IDC_TEXT_CHAR_SPACING, "", 80, 56, 22, 12},
            {K::Static, -1, "Line Spacing", 110, 58, 50, 8},
            {K::Edit, IDC_TEXT_LINE_SPACING, "", 162, 56, 22, 12},
            {K::Static, -1, "Visibility", 14, 78, 40, 8},
            {K::Slider, IDC_TEXT_SLIDER, "", 50, 75, 78, 16},
            {K::Edit, IDC_TEXT_VISIBILITY, "", 130, 76, 24, 12},
            {K::SpinButton, IDC_TEXT_VISIBILITY_SPIN, "", 154, 76, 26, 12},
            {K::Static, -1, "%", 183, 78, 10, 8},
            {K::CheckBox, IDC_TEXT_CENTRE, "Center", 14, 100, 50, 10},
            {K::CheckBox, IDC_TEXT_UNDERLINE, "Underline", 66, 100, 56, 10},
            {K::Button, IDC_TEXT_PREVIEW, "Preview Text", 130, 98, 66, 14},
            {K::GroupBox, -1, "Enter Text", 7, 128, 198, 66},
            {K::MultiEdit, IDC_TEXT_EDIT, "", 14, 140, 184, 48},
            {K::Static, IDC_TEXT_STATUS, "", 7, 198, 198, 8},
            {K::Progress, IDC_TEXT_PROGRESS, "", 7, 208, 198, 8},
            {K::Static, IDC_TEXT_DRAG_LABEL, "Drag text to change position.", 250, 5, 110, 8},
            {K::Static, IDC_TEXT_CENTRED_LABEL, "(Not available in Centered Text mode.)", 230, 14, 150, 8},
            {K::Static, IDC_TEXT_PREVIEW_BOX, "", 212, 26, 8, 8},
            {K::Button, IDC_TEXT_APPLY, "Apply Text", 268, 220, 60, 14},
            {K::Button, 2, "Cancel", 332, 220, 54, 14},
        }};
    return t;
}

}  // namespace edlg
