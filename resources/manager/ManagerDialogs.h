#pragma once
// The manager's dialog layouts (positions in dialog units).

#include "controls/DialogTemplate.h"

namespace mdlg {

// Control ids the dialog classes address.
inline constexpr int kAboutVersionStatic = 1141;
inline constexpr int kMessageStatic = 1140;
inline constexpr int kNotesEdit = 1013;
inline constexpr int kKeywordsEdit = 1014;
inline constexpr int kNotesFileLabel = 1015;

const DialogTemplate& About();          // 100
const DialogTemplate& Message();        // 221
const DialogTemplate& DeleteHistory();  // 225
// The tool panel: its buttons (bitmap buttons but the two captioned ones) and the
// address box (an edit field with a drop-down list of folders).
const DialogTemplate& ToolPanel();  // 101
// Notes & Keywords (139). The items that stay hidden: the frame "Add/Edit Notes" (the
// third item) and the keywords field.
const DialogTemplate& NotesKeywords();
inline constexpr size_t kNotesHiddenFrameItem = 2;

}  // namespace mdlg
