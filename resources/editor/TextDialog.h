#pragma once
// The layout and control ids of the editor's graphical-text dialog.

#include "controls/DialogTemplate.h"

inline constexpr int IDD_WATERMARK_TEXT = 179;

enum TextDialogControlId {
    IDC_TEXT_HEIGHT = 1021,
    IDC_TEXT_SLIDER = 1094,
    IDC_TEXT_UNIT = 1103,
    IDC_TEXT_COLOUR = 1105,
    IDC_TEXT_EDIT = 1110,
    IDC_TEXT_CENTRE = 1111,
    IDC_TEXT_UNDERLINE = 1112,
    IDC_TEXT_APPLY = 1113,
    IDC_TEXT_VISIBILITY = 1120,
    IDC_TEXT_VISIBILITY_SPIN = 1121,
    IDC_TEXT_CHAR_SPACING = 1128,
    IDC_TEXT_LINE_SPACING = 1129,
    IDC_TEXT_FONT = 1135,
    IDC_TEXT_PREVIEW = 1140,
    IDC_TEXT_FACE = 1142,
    IDC_TEXT_PROGRESS = 1143,
    IDC_TEXT_STATUS = 1144,
    IDC_TEXT_PREVIEW_BOX = 1145,  // an empty place whose corner places the preview pane
    IDC_TEXT_HEIGHT_SPIN = 1147,
    IDC_TEXT_DRAG_LABEL = 1148,
    IDC_TEXT_CENTRED_LABEL = 1149,
};

namespace edlg {

const DialogTemplate& WatermarkText();  // 179

}  // namespace edlg
