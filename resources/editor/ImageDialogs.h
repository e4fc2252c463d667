#pragma once
// The layouts of the editor's image dialogs.

#include "controls/DialogTemplate.h"

namespace edlg {

const DialogTemplate& Rotate();  // 131
const DialogTemplate& Resize();  // 135

// The colour dialogs.
const DialogTemplate& BrightnessContrast();  // 137
const DialogTemplate& RedGreenBlue();        // 139
const DialogTemplate& HueSaturation();       // 138
const DialogTemplate& Exposure();            // 136
const DialogTemplate& Blur();                // 140
const DialogTemplate& Sharpen();             // 141

const DialogTemplate& Flip();        // 133
const DialogTemplate& CanvasSize();  // 134
const DialogTemplate& RedEye();      // 207
const DialogTemplate& ColorChooser();  // 202

}  // namespace edlg
