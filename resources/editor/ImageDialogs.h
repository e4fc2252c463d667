#pragma once
// The layouts of the editor's image dialogs.

#include "controls/DialogTemplate.h"

namespace edlg {

const DialogTemplate& Rotate();  // 131
const DialogTemplate& Resize();  // 135

}  // namespace edlg
