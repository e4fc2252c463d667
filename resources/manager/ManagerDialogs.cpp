#include "resources/manager/ManagerDialogs.h"

#include "resources/manager/ManagerStrings.h"

namespace mdlg {

using K = DlgItemKind;

const DialogTemplate& About()
{
    static const DialogTemplate t{100,
                                  "About Lanternfolio Photo Editor Version ",
                                  235,
                                  55,
                                  {
                                      {K::Icon, -1, "", 13, 12, 21, 20},
                                      {K::Static, -1, "Lanternfolio Photo Editor Version ", 40, 10, 81, 8},
                                      {K::Static, kAboutVersionStatic, mstr::kVersion, 120, 10, 34, 8},
                                      {K::DefaultButton, 1, "OK", 178, 7, 50, 14},
                                  }};
    return t;
}

const DialogTemplate& Message()
{
    static const DialogTemplate t{221,
                                  "Lanternfolio photo editor",
                                  263,
                                  101,
                                  {
                                      {K::GroupBox, -1, "", 5, 5, 254, 67},
                                      {K::Static, kMessageStatic, "", 12, 14, 240, 54},
                                      {K::DefaultButton, 1, "Delete cache files", 39, 84, 69, 16},
                                      {K::Button, 2, "Cancel", 181, 84, 50, 16},
                                  }};
    return t;
}

const DialogTemplate& DeleteHistory()
{
    static const DialogTemplate t{
        225,
        "Delete History",
        204,
        66,
        {
            {K::GroupBox, -1, "", 7, 4, 192, 38},
            {K::Static, -1,
             "This function will delete the history of previously selected folders listed in the location bar's "
             "pulldown menu.",
             14, 15, 179, 20},
            {K::DefaultButton, 1, "Delete folder history", 25, 46, 73, 14},
            {K::Button, 2, "Cancel", 124, 46, 50, 14},
        }};
    return t;
}

const DialogTemplate& CopyMove()
{
    static const DialogTemplate t{169,
                                  "Lanternfolio Photo Editor Version ",
                                  272,
                                  84,
                                  {
                                      {K::RadioButton, kCopyRadio, "Copy selected file to", 10, 10, 96, 10},
                                      {K::Static, kFolderStatic, "", 110, 11, 155, 8},
                                      {K::RadioButton, kMoveRadio, "Move selected file to", 10, 26, 96, 10},
                                      {K::Static, kFolderStatic2, "", 110, 27, 155, 8},
                                      {K::Progress, kProgressBar, "", 10, 44, 255, 10},
                                      {K::DefaultButton, kGoButton, "&Go", 153, 62, 50, 14},
                                      {K::Button, 2, "Cancel", 215, 62, 50, 14},
                                  }};
    return t;
}

const DialogTemplate& FileOperation()
{
    static const DialogTemplate t{171,
                                  "Lanternfolio Photo Editor",
                                  214,
                                  46,
                                  {
                                      {K::Progress, kProgressBar, "", 7, 7, 200, 12},
                                      {K::Button, 2, "Cancel", 82, 26, 50, 14},
                                  }};
    return t;
}

const DialogTemplate& Destination()
{
    static const DialogTemplate t{200,
                                  "Please select the destination path",
                                  234,
                                  230,
                                  {
                                      {K::Static, kModeLabelStatic, "", 7, 7, 60, 8},
                                      {K::GroupBox, -1, "Select Existing Directory", 7, 18, 220, 152},
                                      {K::FolderTree, kFolderTree, "", 13, 30, 208, 120},
                                      {K::Static, kSelectedPathStatic, "", 13, 155, 208, 10},
                                      {K::CheckBox, kCreateNewCheck, "Create New Directory", 7, 176, 100, 10},
                                      {K::Static, -1, "Name", 7, 193, 25, 8},
                                      {K::Edit, kNewFolderEdit, "", 35, 191, 192, 12},
                                      {K::DefaultButton, 1, "OK", 120, 210, 50, 14},
                                      {K::Button, 2, "Cancel", 177, 210, 50, 14},
                                  }};
    return t;
}

const DialogTemplate& Rename()
{
    static const DialogTemplate t{234,
                                  "Lanternfolio Photo Editor (Rename)",
                                  222,
                                  68,
                                  {
                                      {K::Static, -1, "Current Name:", 7, 9, 50, 8},
                                      {K::Static, kCurrentNameStatic, "", 60, 9, 155, 8},
                                      {K::Static, -1, "New Name:", 7, 27, 50, 8},
                                      {K::Edit, kNewNameEdit, "", 60, 25, 120, 12},
                                      {K::Static, kExtensionStatic, "", 183, 27, 32, 8},
                                      {K::DefaultButton, 1, "OK", 105, 47, 50, 14},
                                      {K::Button, 2, "Cancel", 165, 47, 50, 14},
                                  }};
    return t;
}

const DialogTemplate& NotesKeywords()
{
    static const DialogTemplate t{
        139,
        "Notes & Keywords",
        311,
        141,
        {
            {K::DefaultButton, 1, "OK", 194, 120, 50, 14},
            {K::Button, 2, "Cancel", 254, 120, 50, 14},
            {K::GroupBox, -1, "Add/Edit Notes", 268, 75, 36, 13},
            {K::GroupBox, -1, "Add/Edit Notes & Keywords", 7, 41, 297, 72},
            {K::MultiLineEdit, kNotesEdit, "", 14, 50, 283, 59},
            {K::MultiLineEdit, kKeywordsEdit, "", 288, 94, 10, 12},
            {K::Static, kNotesFileLabel, "Static", 7, 7, 108, 24},
            {K::Static, -1, "Notes and Keywords can be used to search for images with the Search function.", 7, 30,
             297, 11},
        }};
    return t;
}

const DialogTemplate& ToolPanel()
{
    static const DialogTemplate t{101,
                                  "",
                                  400,
                                  68,
                                  {
                                      {K::Button, 1086, "", 0, 0, 40, 31},
                                      {K::Button, 1012, "", 40, 0, 36, 31},
                                      {K::Button, 1015, "", 76, 0, 35, 31},
                                      {K::Button, 1078, "", 111, 0, 47, 31},
                                      {K::Button, 1186, "", 157, 0, 39, 31},
                                      {K::Button, 1087, "", 196, 0, 43, 31},
                                      {K::Button, 1090, "", 7, 46, 67, 15},
                                      {K::Edit, 1079, "", 77, 46, 190, 15},
                                      {K::Button, 1011, "", 245, 0, 35, 31},
                                      {K::Button, 1013, "", 284, 0, 36, 33},
                                      {K::Button, 1014, "", 324, 0, 36, 33},
                                      {K::Button, 1016, "", 364, 0, 36, 28},
                                      {K::Button, 1017, "", 364, 34, 35, 28},
                                      {K::Button, 1018, "", 324, 34, 35, 28},
                                      {K::Button, 1081, "Refresh", 272, 46, 40, 14},
                                      {K::Button, 1091, "Add Text", 272, 30, 40, 14},
                                  }};
    return t;
}

}  // namespace mdlg
