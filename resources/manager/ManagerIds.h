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
    // The thumbnail grid's context menu.
    ID_IMAGE_EDITOR = 20773,
    ID_IMAGE_COPY = 1016,
    ID_IMAGE_MOVE = 1017,
    ID_IMAGE_DELETE = 1018,
    ID_IMAGE_RENAME = 9206,
    // The recent folders' context menu.
    ID_RECENT_REMOVE = 9205,
    // The tool panel's controls (the hidden Copy, Move and Delete buttons share the
    // grid's command ids, the hidden Refresh button the document's).
    ID_PANEL_EDITOR = 1086,
    ID_PANEL_SEARCH = 1012,
    ID_PANEL_BATCH = 1015,
    ID_PANEL_FILE_OPS = 1078,
    ID_PANEL_PRINT = 1186,
    ID_PANEL_UPLOAD = 1087,
    ID_PANEL_VIEW_MENU = 1090,
    ID_PANEL_ADDRESS = 1079,
    ID_PANEL_NOTES = 1011,
    ID_PANEL_SORT_MENU = 1013,
    ID_PANEL_VIEW_BY = 1014,
    ID_PANEL_ADD_TEXT = 1091,
    // The tool panel's pop-up menus and commands.
    ID_PANEL_SORT_NAME = 9001,
    ID_PANEL_SORT_SIZE = 9002,
    ID_PANEL_SORT_DATE = 9099,
    ID_PANEL_SORT_FORWARD = 9003,
    ID_PANEL_SORT_REVERSE = 9004,
    ID_PANEL_VIEW_THUMBS_DETAIL = 9005,
    ID_PANEL_VIEW_THUMBNAILS = 9006,
    ID_PANEL_VIEW_DETAILS_FOLDERS = 9007,
    ID_PANEL_GRAPHIC_TEXT = 9200,
    ID_PANEL_BATCH_RENAME = 9201,
    ID_PANEL_BATCH_RESIZE = 9202,
    ID_PANEL_SHOW_OTHER_FILES = 9203,
    ID_PANEL_HIDE_OTHER_FILES = 9204,
    ID_PANEL_SEARCH_NOTES = 9097,
};
