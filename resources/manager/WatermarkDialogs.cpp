#include "resources/manager/WatermarkDialogs.h"

namespace mdlg {

using K = DlgItemKind;

const DialogTemplate& WatermarkTemplate()
{
    static const DialogTemplate t{
        IDD_WATERMARK_TEMPLATE,
        "Batch Mode: Add Graphical Text (Watermark)",
        330,
        200,
        {
            {K::Static, IDC_WMT_STEP, "Step 1", 64, 6, 40, 10},
            {K::Static, -1, "Choose the image on which to lay out your graphical text.", 64, 20, 250, 10},
            {K::List, IDC_WMT_LIST, "", 7, 40, 316, 134},
            {K::DefaultButton, 1, "Next Step", 208, 180, 56, 14},
            {K::Button, 2, "Close", 268, 180, 56, 14},
        }};
    return t;
}

const DialogTemplate& Watermark()
{
    static const DialogTemplate t{
        IDD_WATERMARK,
        "Batch Mode: Add Graphical Text (Watermark)",
        392,
        246,
        {
            {K::Static, IDC_WM_STEP_TITLE, "Step 2", 7, 4, 100, 10},
            {K::Static, IDC_WM_STEP2_HINT, "Add graphical text to image.", 7, 16, 190, 8},
            {K::GroupBox, IDC_WM_STEP2_GROUP, "Text Options", 7, 28, 198, 110},
            {K::Static, IDC_WM_HEIGHT_LABEL, "Text Height", 14, 42, 44, 8},
            {K::Edit, IDC_WM_HEIGHT, "", 62, 40, 24, 12},
            {K::ComboBox, IDC_WM_UNIT, "Pixels|Percent", 90, 40, 64, 14},
            {K::Static, IDC_WM_COLOUR_LABEL, "Color", 14, 61, 44, 8},
            {K::Button, IDC_WM_COLOUR, "", 62, 58, 34, 14},
            {K::Button, IDC_WM_FONT, "Font", 100, 58, 36, 14},
            {K::Static, IDC_WM_FACE, "", 140, 61, 60, 8},
            {K::Static, IDC_WM_SPACING_LABEL, "Character Spacing", 14, 80, 66, 8},
            {K::Edit, IDC_WM_CHAR_SPACING, "", 80, 78, 22, 12},
            {K::Static, IDC_WM_LINE_LABEL, "Line Spacing", 110, 80, 50, 8},
            {K::Edit, IDC_WM_LINE_SPACING, "", 162, 78, 22, 12},
            {K::Static, IDC_WM_VISIBILITY_LABEL, "Visibility", 14, 100, 36, 8},
            {K::Slider, IDC_WM_SLIDER, "", 50, 97, 78, 16},
            {K::Edit, IDC_WM_VISIBILITY, "", 130, 98, 24, 12},
            {K::SpinButton, IDC_WM_VISIBILITY_SPIN, "", 154, 98, 26, 12},
            {K::Static, IDC_WM_PERCENT_LABEL, "%", 183, 100, 10, 8},
            {K::CheckBox, IDC_WM_CENTRE, "Center", 14, 120, 50, 10},
            {K::CheckBox, IDC_WM_UNDERLINE, "Under Line", 66, 120, 56, 10},
            {K::Button, IDC_WM_PREVIEW, "Preview Text", 130, 118, 66, 14},
            {K::GroupBox, IDC_WM_STEP2_TEXT_GROUP, "Enter Text", 7, 142, 198, 66},
            {K::MultiEdit, IDC_WM_EDIT, "", 14, 154, 184, 48},
            // Step 3 takes the same place.
            {K::GroupBox, IDC_WM_STEP3_GROUP, "Selected Images", 7, 28, 198, 190},
            {K::Static, IDC_WM_STEP3_HINT, "Confirm the selection of images below to apply your graphical text.", 14,
             40, 184, 16},
            {K::Static, IDC_WM_STEP3_FOLDER_LABEL, "Images will be saved to:", 14, 58, 184, 8},
            {K::Edit, IDC_WM_OUTPUT, "", 14, 68, 184, 12},
            {K::List, IDC_WM_IMAGES, "", 14, 84, 184, 100},
            {K::Static, IDC_WM_STATUS, "", 14, 188, 184, 8},
            {K::Progress, IDC_WM_PROGRESS, "", 14, 198, 184, 8},
            {K::Static, IDC_WM_DRAG_LABEL, "Drag text to change position.", 250, 5, 110, 8},
            {K::Static, IDC_WM_CENTRED_LABEL, "(Not available in Centered Text mode.)", 230, 14, 150, 8},
            {K::Static, IDC_WM_PREVIEW_BOX, "", 212, 26, 8, 8},
            {K::Button, IDC_WM_NEXT, "Next Step", 210, 226, 60, 14},
            {K::Button, IDC_WM_APPLY, "Apply Text and Save", 190, 226, 80, 14},
            {K::Button, 2, "Cancel", 332, 226, 54, 14},
        }};
    return t;
}

const DialogTemplate& WatermarkResult()
{
    static const DialogTemplate t{
        IDD_WATERMARK_RESULT,
        "Batch Mode: Add Watermark or Graphical Text",
        240,
        200,
        {
            {K::Static, -1, "Images sucessfully saved to:", 7, 6, 200, 8},
            {K::Edit, IDC_WMR_FOLDER, "", 7, 18, 226, 12},
            {K::Static, -1, "Saved Images", 7, 36, 200, 8},
            {K::List, IDC_WMR_LIST, "", 7, 46, 226, 128},
            {K::DefaultButton, 1, "Close", 177, 180, 56, 14},
        }};
    return t;
}

}  // namespace mdlg
