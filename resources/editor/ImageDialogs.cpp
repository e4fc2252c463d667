#include "resources/editor/ImageDialogs.h"

#include "resources/editor/DialogIds.h"

namespace edlg {

using K = DlgItemKind;

const DialogTemplate& Rotate()
{
    static const DialogTemplate t{
        IDD_ROTATE,
        "Rotate",
        248,
        150,
        {
            {K::GroupBox, -1, "Rotation", 7, 7, 118, 136},
            {K::RadioButton, IDC_ROTATE_MODE_ROTATE, "Rotate Image :", 14, 20, 100, 10},
            {K::Button, IDC_ROTATE_LEFT, "Left", 22, 34, 44, 14},
            {K::Button, IDC_ROTATE_RIGHT, "Right", 72, 34, 44, 14},
            {K::Static, -1, "Angle", 22, 56, 30, 8},
            {K::Edit, IDC_ROTATE_ANGLE, "", 52, 54, 36, 12},
            {K::Static, -1, "Degrees", 92, 56, 30, 8},
            {K::RadioButton, IDC_ROTATE_MODE_FLIP, "Flip Image :", 14, 78, 100, 10},
            {K::Button, IDC_ROTATE_HORIZONTAL, "Horizontal", 22, 92, 94, 14},
            {K::Button, IDC_ROTATE_VERTICAL, "Vertical", 22, 110, 94, 14},
            {K::GroupBox, IDC_ROTATE_PREVIEW, "Preview", 131, 7, 110, 112},
            {K::DefaultButton, 1, "OK", 131, 127, 52, 14},
            {K::Button, 2, "Cancel", 189, 127, 52, 14},
        }};
    return t;
}

const DialogTemplate& Resize()
{
    static const DialogTemplate t{
        IDD_RESIZE,
        "Resize",
        210,
        112,
        {
            {K::GroupBox, -1, "New size", 7, 7, 196, 78},
            {K::RadioButton, IDC_RESIZE_BY_PERCENTAGE, "Percentage of original", 14, 19, 92, 10},
            {K::Edit, IDC_RESIZE_PERCENTAGE, "", 118, 18, 30, 12},
            {K::SpinButton, IDC_RESIZE_PERCENTAGE_SPIN, "", 148, 18, 32, 12},
            {K::Static, -1, "%", 184, 20, 12, 8},
            {K::RadioButton, IDC_RESIZE_BY_PIXELS, "Pixels", 14, 35, 60, 10},
            {K::Edit, IDC_RESIZE_WIDTH, "", 20, 48, 30, 12},
            {K::SpinButton, IDC_RESIZE_WIDTH_SPIN, "", 50, 48, 32, 12},
            {K::Static, -1, " wide", 83, 50, 22, 8},
            {K::Edit, IDC_RESIZE_HEIGHT, "", 108, 48, 30, 12},
            {K::SpinButton, IDC_RESIZE_HEIGHT_SPIN, "", 138, 48, 32, 12},
            {K::Static, -1, " high", 171, 50, 22, 8},
            {K::CheckBox, IDC_RESIZE_KEEP_ASPECT, "Maintain aspect ratio", 24, 66, 120, 10},
            {K::DefaultButton, 1, "OK", 96, 91, 50, 14},
            {K::Button, 2, "Cancel", 153, 91, 50, 14},
        }};
    return t;
}

}  // namespace edlg
