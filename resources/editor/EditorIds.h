#pragma once
// Command and control ids of the editor's menus and dialogs. The framework's own commands
// use the toolkit's standard ids, so that its document manager, frames and application
// handle them; the program's commands keep their numbers below 32767.

#include <wx/defs.h>

enum EditorCommand : int {
    ID_FILE_NEW = wxID_NEW,
    ID_FILE_OPEN = wxID_OPEN,
    ID_FILE_CLOSE = wxID_CLOSE,
    ID_FILE_SAVE = wxID_SAVE,
    ID_FILE_SAVE_AS = wxID_SAVEAS,
    ID_FILE_PRINT_SETUP = wxID_PRINT_SETUP,
    ID_FILE_MRU_MENU = 17616,        // the "Recent File" submenu
    ID_FILE_MRU_FIRST = wxID_FILE1,  // its entries, four at most
    ID_APP_EXIT = wxID_EXIT,
    ID_EDIT_UNDO = wxID_UNDO,
    ID_EDIT_REDO = wxID_REDO,
    ID_HELP_FILE = 17670,
    ID_APP_ABOUT = wxID_ABOUT,
};

// Menu bars: without a document, and with one.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDR_PIXORTYPE = 129;

// About box (template 100).
inline constexpr int IDD_ABOUTBOX = 100;

// JPEG options (template 132).
inline constexpr int IDD_JPEG_OPTIONS = 132;
enum JpegOptionsControl : int {
    IDC_JPEG_RESET_ALL = 1003,
    IDC_JPEG_QUALITY_SLIDER = 1004,
    IDC_JPEG_QUALITY_EDIT = 1008,  // with its arrows
    IDC_JPEG_PROGRESSIVE = 1009,
    IDC_JPEG_OPTIMIZE = 1010,
    IDC_JPEG_HORIZONTAL = 1011,
    IDC_JPEG_VERTICAL = 1012,
    IDC_JPEG_SAVE_DEFAULT = 1013,
};
