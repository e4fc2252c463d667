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

}  // namespace mdlg
