#pragma once
// The editor's dialog layouts.

#include "controls/DialogTemplate.h"

namespace edlg {

const DialogTemplate& About();        // 100
const DialogTemplate& JpegOptions();  // 132

}  // namespace edlg
