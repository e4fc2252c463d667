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
        232,
        160,
        {
            {K::GroupBox, -1, "Image Quality", 7, 7, 218, 56},
            {K::Static, -1, "Best", 13, 19, 48, 8},
            {K::Static, -1, "Compression", 13, 27, 48, 8},
            {K::Slider, IDC_JPEG_QUALITY_SLIDER, "", 62, 18, 110, 18},
            {K::Static, -1, "Best", 178, 19, 42, 8},
            {K::Static, -1, "Quality", 178, 27, 42, 8},
            {K::SpinEdit, IDC_JPEG_QUALITY_EDIT, "", 80, 41, 72, 14},
            {K::GroupBox, -1, "Encoding", 7, 67, 107, 46},
            {K::CheckBox, IDC_JPEG_PROGRESSIVE, "Progressive", 13, 78, 98, 12},
            {K::CheckBox, IDC_JPEG_OPTIMIZE, "Optimize Huffman Codes", 13, 94, 98, 12},
            {K::GroupBox, -1, "Color Component Sampling", 118, 67, 107, 46},
            {K::CheckBox, IDC_JPEG_HORIZONTAL, "2:1 Horizontal", 124, 78, 98, 12},
            {K::CheckBox, IDC_JPEG_VERTICAL, "2:1 Vertical", 124, 94, 98, 12},
            {K::CheckBox, IDC_JPEG_SAVE_DEFAULT, "Save these settings as the default.", 7, 118, 218, 12},
            {K::DefaultButton, 1, "&Save", 7, 138, 64, 15},
            {K::Button, 2, "&Cancel", 84, 138, 64, 15},
            {K::Button, IDC_JPEG_RESET_ALL, "Reset &All", 161, 138, 64, 15},
        }};
    return t;
}

}  // namespace edlg
