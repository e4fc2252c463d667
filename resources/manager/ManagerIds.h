#pragma once
// Every command id of the manager's menus, accelerators and windows. The framework's own
// commands use the toolkit's standard ids, so that its document manager, frame and
// application handle them as before; the program's commands keep their numbers, except
// that menu ids must stay below 32767: the 327xx commands become 20xxx and the 576xx
// ones 176xx, keeping their last digits.

#include <wx/defs.h>

enum ManagerCommand : int {
    // File
    ID_FILE_NEW = wxID_NEW,                  // the document manager
    ID_FILE_OPEN = wxID_OPEN,                // the document manager
    ID_FILE_PRINT_SETUP = wxID_PRINT_SETUP,  // the document manager
    // Print and Print Preview are the active list view's; Print Preview falls back to the
    // frame. Own ids keep the document manager's printing out of that routing.
    ID_FILE_PRINT = 17607,
    ID_FILE_PRINT_DIRECT = 17608,
    ID_FILE_PRINT_PREVIEW = 17609,
    ID_FILE_MRU_MENU = 17616,        // the "Recent File" submenu
    ID_FILE_MRU_FIRST = wxID_FILE1,  // its entries, four at most
    ID_APP_EXIT = wxID_EXIT,
    ID_DOC_SELECT_ALL = 20776,    // File > Select all files (the document)
    ID_DOC_DESELECT_ALL = 20775,  // File > Deselect all files (the document)
    // View
    ID_DOC_REFRESH = 1081,  // the document
    // Options
    ID_DOC_DELETE_CACHE = 20781,  // the document
    ID_OPTIONS_DELETE_HISTORY = 20784,
    ID_OPTIONS_SET_PROXY = 232,
    // Help
    ID_HELP_FILE = 17670,
    ID_APP_ABOUT = wxID_ABOUT,
    // The tool panel's Upload button ("Uploader"), handled by the document.
    ID_DOC_UPLOADER = 20774,
};
