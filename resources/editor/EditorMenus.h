#pragma once
// The editor's menu bars and accelerators.

#include <wx/accel.h>

class wxMenu;
class wxMenuBar;

// Menu bar 128 (no image open) or 129 (an image open); recentFiles receives the File
// menu's "Recent File" submenu, where the document manager's list shows.
wxMenuBar* CreateEditorMenuBar(int id, wxMenu** recentFiles);

// The shortcuts: copy, paste as new, new, open, print, save, undo (also Alt+Backspace),
// redo and help.
wxAcceleratorTable CreateEditorAccelerators();
