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

// The file operations' dialogs.
inline constexpr int kFolderStatic = 1015;       // copy/move: the destination folder, twice
inline constexpr int kFolderStatic2 = 1041;
inline constexpr int kCopyRadio = 1042;
inline constexpr int kMoveRadio = 1043;
inline constexpr int kGoButton = 1036;
inline constexpr int kProgressBar = 1038;       // copy/move and the file-operation progress
inline constexpr int kCreateNewCheck = 1023;    // destination
inline constexpr int kNewFolderEdit = 1013;
inline constexpr int kFolderTree = 1082;
inline constexpr int kSelectedPathStatic = 1083;
inline constexpr int kModeLabelStatic = 1182;
inline constexpr int kCurrentNameStatic = 1168;  // rename
inline constexpr int kNewNameEdit = 1169;
inline constexpr int kExtensionStatic = 1170;

const DialogTemplate& About();          // 100
const DialogTemplate& Message();        // 221
const DialogTemplate& DeleteHistory();  // 225
const DialogTemplate& CopyMove();       // 169
const DialogTemplate& FileOperation();  // 171
const DialogTemplate& Destination();    // 200
const DialogTemplate& Rename();         // 234
// The tool panel: its buttons (bitmap buttons but the two captioned ones) and the
// address box (an edit field with a drop-down list of folders).
const DialogTemplate& ToolPanel();  // 101
// Notes & Keywords (139). The items that stay hidden: the frame "Add/Edit Notes" (the
// third item) and the keywords field.
const DialogTemplate& NotesKeywords();
inline constexpr size_t kNotesHiddenFrameItem = 2;

}  // namespace mdlg
