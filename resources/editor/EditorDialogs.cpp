#include "resources/editor/EditorDialogs.h"

#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorStrings.h"

namespace edlg {

using K = DlgItemKind;

const DialogTemplate& About()
{
    static const DialogTemplate t{IDD_ABOUTBOX,
                                  "About pixoro",
                                  217,
                                  55,
                                  {
                                      {K::Icon, -1, "", 11, 17, 20, 20},
                                      {K::Static, -1, "Lanternfolio Photo Editor Version", 40, 10, 119, 8},
                                      {K::Static, -1, estr::kVersion, 40, 25, 119, 8},
                                      {K::DefaultButton, 1, "OK", 178, 7, 32, 14},
                                  }};
    return t;
}

const DialogTemplate& JpegOptions()
{
    static const DialogTemplate t{
        IDD_JPEG_OPTIONS,
        "JPEG Options",
        200,
        152,
        {
            {K::GroupBox, -1, "Image Quality", 7, 7, 186, 52},
            {K::Static, -1, "Best", 13, 18, 44, 8},
            {K::Static, -1, "Compression", 13, 26, 44, 8},
            {K::Slider, IDC_JPEG_QUALITY_SLIDER, "", 58, 17, 96, 18},
            {K::Static, -1, "Best", 157, 18, 32, 8},
            {K::Static, -1, "Quality", 157, 26, 32, 8},
            {K::Edit, IDC_JPEG_QUALITY_EDIT, "", 82, 39, 28, 13},
            {K::SpinButton, IDC_JPEG_QUALITY_SPIN, "", 110, 39, 10, 13},
            {K::GroupBox, -1, "Encoding", 7, 63, 91, 44},
            {K::CheckBox, IDC_JPEG_PROGRESSIVE, "Progressive", 13, 75, 82, 10},
            {K::CheckBox, IDC_JPEG_OPTIMIZE, "Optimize Huffman Codes", 13, 89, 82, 10},
            {K::GroupBox, -1, "Color Component Sampling", 102, 63, 91, 44},
            {K::CheckBox, IDC_JPEG_HORIZONTAL, "2:1 Horizontal", 108, 75, 82, 10},
            {K::CheckBox, IDC_JPEG_VERTICAL, "2:1 Vertical", 108, 89, 82, 10},
            {K::CheckBox, IDC_JPEG_SAVE_DEFAULT, "Save these settings as the default.", 7, 113, 186, 10},
            {K::DefaultButton, 1, "&Save", 7, 131, 56, 14},
            {K::Button, 2, "&Cancel", 72, 131, 56, 14},
            {K::Button, IDC_JPEG_RESET_ALL, "Reset &All", 137, 131, 56, 14},
        }};
    return t;
}

}  // namespace edlg
