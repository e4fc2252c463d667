#pragma once
// The main window's menu bar and accelerators.

#include <wx/accel.h>

class wxMenu;
class wxMenuBar;

// The menu bar; recentFiles receives the File menu's "Recent File" submenu, where the
// document manager's recent-file list shows.
wxMenuBar* CreateMainMenuBar(wxMenu** recentFiles);

// The shortcuts that reach a command: New, Open and Print.
wxAcceleratorTable CreateMainAccelerators();

// The image commands of the thumbnail grid's and the list views' context menu: Editor,
// Copy, Move, Delete and Rename.
void AppendImageCommands(wxMenu& menu);
