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

// The image view's commands (toolkit ids must stay below 32767: 10000 less than their
// customary numbers).
enum ViewCommand : int {
    ID_EDIT_COPY = wxID_COPY,
    ID_FILE_PRINT = wxID_PRINT,
    ID_FILE_PRINT_PREVIEW = wxID_PREVIEW,
    ID_VIEW_ZOOMIN = 22773,
    ID_VIEW_ZOOMOUT = 22774,
    ID_EDIT_PASTE_INTO = 22789,      // does nothing
    ID_EDIT_PASTE_NEW_VIEW = 22790,  // does nothing while an image is open
    ID_IMAGE_CROP = 22791,
    ID_VIEW_SCROLLTOOL = 22792,
    ID_VIEW_FULLSIZE = 22812,
    ID_VIEW_FITWIDTH = 22813,
    ID_VIEW_FITHEIGHT = 22814,
    ID_VIEW_PREVIOUS = 22815,
    ID_VIEW_NEXT = 22817,
    ID_VIEW_BESTFIT = 22849,
};

// The document's edit commands and the main window's bars (same numbering).
enum EditCommand : int {
    ID_IMAGE_ROTATE = 22776,
    ID_IMAGE_TEXT_UNSENT = 22777,  // a second Text id that nothing sends
    ID_ADJUST_EXPOSURE = 22780,        // these four are sent by nothing
    ID_ADJUST_HUE_SATURATION = 22782,
    ID_ADJUST_BLUR = 22784,
    ID_ADJUST_SHARPEN = 22785,
    ID_ADJUST_BRIGHTNESS = 22781,
    ID_ADJUST_RGB = 22783,
    ID_IMAGE_RESIZE = 22787,
    ID_IMAGE_TEXT = 22818,
    ID_ADJUST_GRAYSCALE = 22851,
    ID_IMAGE_REDEYE = 22858,
    ID_VIEW_TOOLBAR = 17392,
    ID_VIEW_STATUS_BAR = 17393,
    ID_HELP_INDEX = 17667,
    ID_MAIN_TOOLBAR = 17440,
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
