#include "resources/editor/ImageDialogs.h"

#include "resources/editor/DialogIds.h"

#include <array>

namespace edlg {

using K = DlgItemKind;

namespace {

// One value of a colour dialog: its label over a vertical slider, its edit and spin below.
struct LevelColumn {
    const char* label;
    int labelId, slider, edit, spin;
};

struct PreviewIds {
    int button, box, before, after;
};

// The three-slider dialogs: the sliders in a frame on the left with the buttons under
// it, the before and after panes in the "Preview" frame on the right.
DialogTemplate LevelsLayout(int id, const char* caption, const char* groupText, int groupId,
                            const std::array<LevelColumn, 3>& columns, const PreviewIds& preview,
                            const std::vector<DlgItem>& extraButtons = {})
{
    DialogTemplate t{id, caption, 411, 226, {{K::GroupBox, groupId, groupText, 7, 7, 190, 160}}};
    for (size_t i = 0; i < columns.size(); ++i) {
        const int x = 14 + static_cast<int>(i) * 60;
        const LevelColumn& c = columns[i];
        t.items.push_back({K::Static, c.labelId, c.label, x, 20, 56, 8});
        t.items.push_back({K::VerticalSlider, c.slider, "", x + 14, 31, 24, 110});
        t.items.push_back({K::Edit, c.edit, "", x, 146, 22, 12});
        t.items.push_back({K::SpinButton, c.spin, "", x + 22, 146, 32, 12});
    }
    t.items.push_back({K::Button, preview.button, "Preview", 7, 174, 58, 14});
    t.items.push_back({K::DefaultButton, 1, "OK", 73, 174, 58, 14});
    t.items.push_back({K::Button, 2, "Cancel", 139, 174, 58, 14});
    t.items.insert(t.items.end(), extraButtons.begin(), extraButtons.end());
    t.items.push_back({K::GroupBox, preview.box, "Preview", 204, 7, 200, 212});
    t.items.push_back({K::Static, preview.before, "Before", 212, 18, 60, 8});
    t.items.push_back({K::Static, preview.after, "After", 212, 112, 60, 8});
    return t;
}

// Blur and sharpen: one horizontal slider over the two panes side by side.
DialogTemplate AmountLayout(int id, const char* caption)
{
    return {id,
            caption,
            290,
            146,
            {
                {K::GroupBox, IDC_ADJUST_AMOUNT_BOX, "Amount", 7, 7, 210, 38},
                {K::Slider, IDC_FILTER_AMOUNT, "", 14, 18, 120, 20},
                {K::Edit, IDC_FILTER_AMOUNT_EDIT, "", 140, 22, 24, 12},
                {K::SpinButton, IDC_FILTER_AMOUNT_SPIN, "", 164, 22, 32, 12},
                {K::Button, IDC_FILTER_PREVIEW_BUTTON, "Preview", 224, 7, 58, 14},
                {K::DefaultButton, 1, "OK", 224, 25, 58, 14},
                {K::Button, 2, "Cancel", 224, 43, 58, 14},
                {K::GroupBox, IDC_ADJUST_PREVIEW_BOX, "Preview", 7, 52, 210, 86},
                {K::Static, IDC_ADJUST_BEFORE, "Before", 14, 62, 60, 8},
                {K::Static, IDC_ADJUST_AFTER, "After", 110, 62, 60, 8},
            }};
}

}  // namespace

const DialogTemplate& BrightnessContrast()
{
    static const DialogTemplate t =
        LevelsLayout(IDD_BRIGHTNESS_CONTRAST, "Adjust Brightness/Contrast/Gamma", "Levels", IDC_BC_LEVELS_BOX,
                     {{{"Brightness", -1, IDC_BC_BRIGHTNESS, IDC_BC_BRIGHTNESS_EDIT, IDC_BC_BRIGHTNESS_SPIN},
                       {"Contrast", -1, IDC_BC_CONTRAST, IDC_BC_CONTRAST_EDIT, IDC_BC_CONTRAST_SPIN},
                       {"Gamma", -1, IDC_BC_GAMMA, IDC_BC_GAMMA_EDIT, IDC_BC_GAMMA_SPIN}}},
                     {IDC_BC_PREVIEW_BUTTON, IDC_ADJUST_PREVIEW_BOX, IDC_ADJUST_BEFORE, IDC_ADJUST_AFTER});
    return t;
}

const DialogTemplate& RedGreenBlue()
{
    static const DialogTemplate t =
        LevelsLayout(IDD_RED_GREEN_BLUE, "Adjust Red/Blue/Green", "Amount", IDC_ADJUST_AMOUNT_BOX,
                     {{{"Red", IDC_RGB_RED_LABEL, IDC_RGB_RED, IDC_RGB_RED_EDIT, IDC_RGB_RED_SPIN},
                       {"Blue", IDC_RGB_BLUE_LABEL, IDC_RGB_BLUE, IDC_RGB_BLUE_EDIT, IDC_RGB_BLUE_SPIN},
                       {"Green", IDC_RGB_GREEN_LABEL, IDC_RGB_GREEN, IDC_RGB_GREEN_EDIT, IDC_RGB_GREEN_SPIN}}},
                     {IDC_ADJUST_PREVIEW_BUTTON, IDC_ADJUST_PREVIEW_BOX, IDC_ADJUST_BEFORE, IDC_ADJUST_AFTER});
    return t;
}

const DialogTemplate& HueSaturation()
{
    static const DialogTemplate t = LevelsLayout(
        IDD_HUE_SATURATION, "Adjust Hue/Saturation/Lightness", "Amount", IDC_ADJUST_AMOUNT_BOX,
        {{{"Hue", IDC_HUE_HUE_LABEL, IDC_HUE_HUE, IDC_HUE_HUE_EDIT, IDC_HUE_HUE_SPIN},
          {"Saturation", IDC_HUE_SATURATION_LABEL, IDC_HUE_SATURATION, IDC_HUE_SATURATION_EDIT,
           IDC_HUE_SATURATION_SPIN},
          {"Lightness", IDC_HUE_LIGHTNESS_LABEL, IDC_HUE_LIGHTNESS, IDC_HUE_LIGHTNESS_EDIT, IDC_HUE_LIGHTNESS_SPIN}}},
        {IDC_ADJUST_PREVIEW_BUTTON, IDC_ADJUST_PREVIEW_BOX, IDC_ADJUST_BEFORE, IDC_ADJUST_AFTER});
    return t;
}

const DialogTemplate& Exposure()
{
    static const DialogTemplate t = LevelsLayout(
        IDD_EXPOSURE, "Adjust Exposure", "Levels", -1,
        {{{"Lighten", -1, IDC_EXPOSURE_LIGHTEN, IDC_EXPOSURE_LIGHTEN_EDIT, IDC_EXPOSURE_LIGHTEN_SPIN},
          {"Darken", -1, IDC_EXPOSURE_DARKEN, IDC_EXPOSURE_DARKEN_EDIT, IDC_EXPOSURE_DARKEN_SPIN},
          {"Gamma", -1, IDC_EXPOSURE_GAMMA, IDC_EXPOSURE_GAMMA_EDIT, IDC_EXPOSURE_GAMMA_SPIN}}},
        {IDC_EXPOSURE_PREVIEW_BUTTON, IDC_EXPOSURE_PREVIEW_BOX, IDC_EXPOSURE_BEFORE, IDC_EXPOSURE_AFTER},
        {{K::Button, IDC_EXPOSURE_AUTO, "Auto", 7, 194, 58, 14}, {K::Button, IDC_EXPOSURE_RESET, "Reset", 73, 194, 58, 14}});
    return t;
}

const DialogTemplate& Blur()
{
    static const DialogTemplate t = AmountLayout(IDD_BLUR, "Blur");
    return t;
}

const DialogTemplate& Sharpen()
{
    static const DialogTemplate t = AmountLayout(IDD_SHARPEN, "Sharpen");
    return t;
}

const DialogTemplate& Flip()
{
    static const DialogTemplate t{
        IDD_FLIP,
        "Flip",
        232,
        150,
        {
            {K::GroupBox, -1, "Flip", 7, 7, 104, 56},
            {K::Button, IDC_FLIP_VERTICAL, "Vertical", 14, 20, 90, 14},
            {K::Button, IDC_FLIP_HORIZONTAL, "Horizontal", 14, 40, 90, 14},
            {K::GroupBox, IDC_FLIP_PREVIEW_BOX, "Preview", 117, 7, 108, 116},
            {K::DefaultButton, 1, "OK", 117, 129, 50, 14},
            {K::Button, 2, "Cancel", 175, 129, 50, 14},
        }};
    return t;
}

const DialogTemplate& CanvasSize()
{
    static const DialogTemplate t{
        IDD_CANVAS_SIZE,
        "Canvas Size",
        300,
        128,
        {
            {K::GroupBox, -1, "Original Image Size", 7, 7, 130, 48},
            {K::Static, -1, "Width:", 14, 21, 34, 8},
            {K::Edit, IDC_CANVAS_OLD_WIDTH, "", 52, 19, 40, 12},
            {K::Static, -1, "Height:", 14, 37, 34, 8},
            {K::Edit, IDC_CANVAS_OLD_HEIGHT, "", 52, 35, 40, 12},
            {K::GroupBox, -1, "New Image Size", 7, 61, 130, 48},
            {K::Static, -1, "Width:", 14, 75, 34, 8},
            {K::Edit, IDC_CANVAS_WIDTH, "", 52, 73, 40, 12},
            {K::SpinButton, IDC_CANVAS_WIDTH_SPIN, "", 92, 73, 32, 12},
            {K::Static, -1, "Height:", 14, 91, 34, 8},
            {K::Edit, IDC_CANVAS_HEIGHT, "", 52, 89, 40, 12},
            {K::SpinButton, IDC_CANVAS_HEIGHT_SPIN, "", 92, 89, 32, 12},
            {K::Static, -1, "Note:", 144, 9, 150, 8},
            {K::Static, -1, "If the new image size is smaller than the", 144, 21, 150, 8},
            {K::Static, -1, "original image, this operation will crop to the", 144, 31, 150, 8},
            {K::Static, -1, "center of the image. If a more accurate crop", 144, 41, 150, 8},
            {K::Static, -1, "is desired, please use the crop tool.", 144, 51, 150, 8},
            {K::DefaultButton, 1, "OK", 186, 107, 50, 14},
            {K::Button, 2, "Cancel", 243, 107, 50, 14},
        }};
    return t;
}

const DialogTemplate& RedEye()
{
    static const DialogTemplate t{
        IDD_RED_EYE,
        "Red Eye",
        262,
        288,
        {
            {K::GroupBox, -1, "", 4, 4, 254, 280},
            {K::GroupBox, IDC_REDEYE_TOP_BOX, "", 12, 10, 238, 110},
            {K::Static, -1, "Step 1: Click on a red eye in the top image.", 12, 126, 122, 18},
            {K::Static, -1,
             "Step 2: Click on the Zoom buttons below the Red Eye Zoom box so the red eye fills the entire box. "
             "Click on the center of the red eye to center it in the box.",
             12, 146, 122, 50},
            {K::Static, -1, "Step 3: Click Fix to fix the red eye.", 12, 198, 122, 18},
            {K::Static, -1, "Step 4: Select another red eye in the top image to fix.", 12, 218, 122, 18},
            {K::Static, -1, "Step 5: Click on Save All Changes when all done.", 12, 238, 122, 18},
            {K::GroupBox, IDC_REDEYE_ZOOM_BOX, "Red Eye Zoom", 140, 126, 110, 96},
            {K::Button, IDC_REDEYE_ZOOM_IN, "+", 150, 226, 40, 18},
            {K::Button, IDC_REDEYE_ZOOM_OUT, "-", 200, 226, 40, 18},
            {K::Button, IDC_REDEYE_FIX, "&Fix", 12, 262, 56, 14},
            {K::Button, IDC_REDEYE_UNFIX, "&Unfix", 72, 262, 56, 14},
            {K::DefaultButton, 1, "&Save All Changes", 132, 262, 66, 14},
            {K::Button, 2, "&Cancel", 202, 262, 48, 14},
        }};
    return t;
}

const DialogTemplate& ColorChooser()
{
    static const DialogTemplate t{
        IDD_COLOR_CHOOSER,
        "Color Chooser",
        411,
        229,
        {
            {K::DefaultButton, 1, "OK", 354, 7, 50, 14},
            {K::Button, 2, "Cancel", 354, 24, 50, 14},
            {K::GroupBox, IDC_CHOOSER_RGB_BOX, "RGB", 7, 7, 138, 157},
            {K::GroupBox, IDC_CHOOSER_HSB_BOX, "HSB", 150, 7, 180, 157},
            {K::GroupBox, -1, "RGB Values", 7, 174, 172, 48},
            {K::Static, -1, "Red", 12, 188, 50, 8},
            {K::Edit, IDC_CHOOSER_RED, "", 12, 201, 22, 12},
            {K::SpinButton, IDC_CHOOSER_RED_SPIN, "", 34, 201, 32, 12},
            {K::Static, -1, "Green", 68, 188, 50, 8},
            {K::Edit, IDC_CHOOSER_GREEN, "", 68, 201, 22, 12},
            {K::SpinButton, IDC_CHOOSER_GREEN_SPIN, "", 90, 201, 32, 12},
            {K::Static, -1, "Blue", 124, 188, 50, 8},
            {K::Edit, IDC_CHOOSER_BLUE, "", 124, 201, 22, 12},
            {K::SpinButton, IDC_CHOOSER_BLUE_SPIN, "", 146, 201, 32, 12},
            {K::GroupBox, -1, "HSB Values", 184, 174, 220, 48},
            {K::Static, -1, "Hue", 190, 188, 56, 8},
            {K::Edit, IDC_CHOOSER_HUE, "", 190, 201, 24, 12},
            {K::SpinButton, IDC_CHOOSER_HUE_SPIN, "", 214, 201, 32, 12},
            {K::Static, -1, "Saturation", 262, 188, 56, 8},
            {K::Edit, IDC_CHOOSER_SATURATION, "", 262, 201, 24, 12},
            {K::SpinButton, IDC_CHOOSER_SATURATION_SPIN, "", 286, 201, 32, 12},
            {K::Static, -1, "Brightness", 334, 188, 56, 8},
            {K::Edit, IDC_CHOOSER_BRIGHTNESS, "", 334, 201, 24, 12},
            {K::SpinButton, IDC_CHOOSER_BRIGHTNESS_SPIN, "", 358, 201, 32, 12},
            {K::Static, -1, "Old Color", 355, 56, 49, 8},
            {K::Static, IDC_CHOOSER_OLD_COLOR, "", 355, 66, 49, 31},
            {K::Static, -1, "New Color", 355, 122, 49, 8},
            {K::Static, IDC_CHOOSER_NEW_COLOR, "", 355, 132, 49, 31},
        }};
    return t;
}

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
