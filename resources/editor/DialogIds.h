#pragma once
// Template and control ids of the editor's image dialogs.

inline constexpr int IDD_RESIZE = 135;

enum ResizeControlId {
    IDC_RESIZE_BY_PERCENTAGE = 1020,
    IDC_RESIZE_PERCENTAGE = 1021,
    IDC_RESIZE_PERCENTAGE_SPIN = 1022,
    IDC_RESIZE_BY_PIXELS = 1023,
    IDC_RESIZE_WIDTH = 1024,
    IDC_RESIZE_WIDTH_SPIN = 1025,
    IDC_RESIZE_HEIGHT = 1026,
    IDC_RESIZE_HEIGHT_SPIN = 1027,
    IDC_RESIZE_KEEP_ASPECT = 1028,
};

inline constexpr int IDD_ROTATE = 131;

enum RotateControlId {
    IDC_ROTATE_RIGHT = 1000,
    IDC_ROTATE_LEFT = 1001,
    IDC_ROTATE_ANGLE = 1002,
    IDC_ROTATE_HORIZONTAL = 1135,
    IDC_ROTATE_VERTICAL = 1136,
    IDC_ROTATE_MODE_ROTATE = 1138,
    IDC_ROTATE_MODE_FLIP = 1139,
    IDC_ROTATE_PREVIEW = 1140,  // the frame the preview pane sits in
};
