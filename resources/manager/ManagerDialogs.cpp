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
                                      {K::Static, kMessageStatic, "", 1, 7, 258, 66},
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
