#pragma once
// The layouts and control ids of the manager's graphical-text wizard.

#include "controls/DialogTemplate.h"

inline constexpr int IDD_WATERMARK = 213;
inline constexpr int IDD_WATERMARK_TEMPLATE = 215;
inline constexpr int IDD_WATERMARK_RESULT = 216;

// Steps 2 and 3.
enum WatermarkControlId {
    IDC_WM_HEIGHT = 1021,
    IDC_WM_SLIDER = 1094,
    IDC_WM_NEXT = 1099,
    IDC_WM_UNIT = 1103,
    IDC_WM_COLOUR = 1105,
    IDC_WM_FONT = 1108,
    IDC_WM_EDIT = 1110,
    IDC_WM_CENTRE = 1111,
    IDC_WM_UNDERLINE = 1112,
    IDC_WM_OUTPUT = 1115,
    IDC_WM_PREVIEW = 1116,
    IDC_WM_APPLY = 1117,
    IDC_WM_IMAGES = 1119,
    IDC_WM_VISIBILITY = 1120,
    IDC_WM_VISIBILITY_SPIN = 1121,
    IDC_WM_CHAR_SPACING = 1128,
    IDC_WM_LINE_SPACING = 1129,
    IDC_WM_PROGRESS = 1135,
    IDC_WM_STATUS = 1136,
    IDC_WM_FACE = 1142,
    IDC_WM_PREVIEW_BOX = 1145,  // an empty place whose corner places the preview pane
    IDC_WM_DRAG_LABEL = 1148,
    IDC_WM_CENTRED_LABEL = 1149,
    IDC_WM_STEP_TITLE = 1150,
    IDC_WM_STEP2_GROUP = 1151,
    IDC_WM_STEP2_TEXT_GROUP = 1152,
    IDC_WM_STEP2_HINT = 1153,
    IDC_WM_STEP3_GROUP = 1154,
    IDC_WM_STEP3_HINT = 1155,
    IDC_WM_STEP3_FOLDER_LABEL = 1156,
    IDC_WM_HEIGHT_LABEL = 1157,
    IDC_WM_COLOUR_LABEL = 1158,
    IDC_WM_SPACING_LABEL = 1159,
    IDC_WM_LINE_LABEL = 1160,
    IDC_WM_VISIBILITY_LABEL = 1161,
    IDC_WM_PERCENT_LABEL = 1162,
};

// Step 1 and the result list.
enum WatermarkListControlId {
    IDC_WMT_LIST = 1094,
    IDC_WMT_STEP = 1096,
    IDC_WMR_FOLDER = 1132,
    IDC_WMR_LIST = 1134,
};

namespace mdlg {

const DialogTemplate& WatermarkTemplate();  // 215
const DialogTemplate& Watermark();          // 213
const DialogTemplate& WatermarkResult();    // 216

}  // namespace mdlg
