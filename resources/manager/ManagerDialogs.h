#pragma once
// The manager's dialog layouts (positions in dialog units).

#include "controls/DialogTemplate.h"

namespace mdlg {

// Control ids the dialog classes address.
inline constexpr int kAboutVersionStatic = 1141;
inline constexpr int kMessageStatic = 1140;

const DialogTemplate& About();          // 100
const DialogTemplate& Message();        // 221
const DialogTemplate& DeleteHistory();  // 225
// The tool panel: its buttons (bitmap buttons but the two captioned ones) and the
// address box (an edit field with a drop-down list of folders).
const DialogTemplate& ToolPanel();  // 101

}  // namespace mdlg
