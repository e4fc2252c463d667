#include "resources/manager/BatchDialogs.h"

namespace mdlg {

using K = DlgItemKind;

const DialogTemplate& BatchRename()
{
    static const DialogTemplate t{
        177,
        "Batch Rename",
        300,
        262,
        {
            {K::Static, -1, "Edit the filename pattern that will used to rename the file ", 7, 7, 180, 8},
            {K::Edit, kRenamePattern, "", 7, 18, 180, 12},
            {K::RadioGroup, kRenameNumbers, "Replace ? with number", 195, 7, 100, 10},
            {K::RadioButton, kRenameLetters, "Replace ? with letters", 195, 19, 100, 10},
            {K::Static, -1, "Start at", 195, 34, 34, 8},
            {K::Edit, kRenameStart, "", 232, 32, 40, 12},
            {K::GroupBox, -1, "Filename Case:", 7, 50, 90, 48},
            {K::RadioGroup, kRenameNameSame, "No Change ", 13, 61, 75, 10},
            {K::RadioButton, kRenameNameLower, "Lower Case", 13, 72, 75, 10},
            {K::RadioButton, kRenameNameUpper, "Upper Case", 13, 83, 75, 10},
            {K::GroupBox, -1, "Filename Extension:", 104, 50, 90, 48},
            {K::RadioGroup, kRenameExtSame, "No Change", 110, 61, 75, 10},
            {K::RadioButton, kRenameExtLower, "Lower Case", 110, 72, 75, 10},
            {K::RadioButton, kRenameExtUpper, "Upper Case", 110, 83, 75, 10},
            {K::ListView, kRenamePreview, "", 7, 104, 286, 80},
            {K::GroupBox, -1, "Output Options", 7, 188, 286, 50},
            {K::CheckBox, kRenameReplace, "Replace original file(s) with renamed file(s)", 13, 199, 200, 10},
            {K::Static, -1, "Place the renamed images in the following folder:", 13, 211, 200, 8},
            {K::ComboBox, kBatchOutputFolder, "", 13, 221, 210, 12},
            {K::Button, kBatchBrowse, "Browse", 230, 220, 50, 14},
            {K::DefaultButton, 1, "OK", 133, 243, 50, 14},
            {K::Button, 2, "Cancel", 188, 243, 50, 14},
            {K::Button, kRenameHelp, "Help", 243, 243, 50, 14},
        }};
    return t;
}

const DialogTemplate& BatchResize()
{
    static const DialogTemplate t{
        187,
        "Batch Resize",
        344,
        252,
        {
            {K::ListView, kResizeList, "", 7, 7, 330, 80},
            {K::GroupBox, -1, "Select a resize option below:", 7, 92, 330, 72},
            {K::Static, -1, "Change image dimensions to:", 13, 103, 150, 8},
            {K::RadioGroup, kResizeByPercent, "Reduce to", 13, 116, 50, 10},
            {K::Edit, kResizePercent, "", 66, 115, 30, 12},
            {K::SpinButton, kResizePercentSpin, "", 97, 115, 10, 12},
            {K::Static, -1, "% of Original", 110, 117, 60, 8},
            {K::RadioButton, kResizeByWidth, "", 13, 132, 12, 10},
            {K::Edit, kResizeWidth, "", 66, 131, 30, 12},
            {K::SpinButton, kResizeWidthSpin, "", 97, 131, 10, 12},
            {K::Static, -1, "Pixels wide", 110, 133, 60, 8},
            {K::RadioButton, kResizeByHeight, "", 13, 148, 12, 10},
            {K::Edit, kResizeHeight, "", 66, 147, 30, 12},
            {K::SpinButton, kResizeHeightSpin, "", 97, 147, 10, 12},
            {K::Static, -1, "Pixels high", 110, 149, 60, 8},
            {K::CheckBox, kResizeQualityOn, "Save resized images with ", 190, 116, 110, 10},
            {K::Edit, kResizeQuality, "", 190, 131, 25, 12},
            {K::SpinButton, kResizeQualitySpin, "", 216, 131, 10, 12},
            {K::Static, -1, "Jpeg quality", 230, 133, 60, 8},
            {K::GroupBox, -1, "Output Options", 7, 168, 330, 50},
            {K::CheckBox, kResizeReplace, "Replace original file(s) with resized file(s)", 13, 179, 200, 10},
            {K::Static, -1, "Place the resized images in the following folder:", 13, 191, 200, 8},
            {K::ComboBox, kBatchOutputFolder, "", 13, 201, 250, 12},
            {K::Button, kBatchBrowse, "Browse", 270, 200, 50, 14},
            {K::Static, kResizeBusyText, "Please wait, batch in progress.", 7, 224, 150, 8},
            {K::Progress, kResizeProgress, "", 7, 234, 200, 10},
            {K::DefaultButton, 1, "OK", 230, 230, 50, 14},
            {K::Button, 2, "Cancel", 287, 230, 50, 14},
        }};
    return t;
}

const DialogTemplate& SearchBy()
{
    static const DialogTemplate t{
        141,
        "Search By",
        297,
        104,
        {
            {K::Static, kSearchLabel, "Enter full or partial filename:", 7, 7, 170, 8},
            {K::ComboBox, kSearchPattern, "", 7, 18, 170, 12},
            {K::ComboBox, kSearchKeywords, "", 7, 34, 170, 12},
            {K::Static, -1, "Search in:", 7, 50, 60, 8},
            {K::ComboBox, kSearchFolder, "", 7, 60, 170, 12},
            {K::Button, kSearchBrowse, "Browse", 182, 59, 50, 14},
            {K::CheckBox, kSearchSubfolders, "Include Subfolders", 7, 77, 100, 10},
            {K::Static, kSearchStatus, "", 7, 90, 225, 10},
            {K::DefaultButton, 1, "Search", 240, 7, 50, 14},
            {K::Button, kSearchStop, "Stop", 240, 24, 50, 14},
            {K::Button, 2, "Close", 240, 41, 50, 14},
            {K::Button, kSearchHelp, "Help", 240, 58, 50, 14},
        }};
    return t;
}

}  // namespace mdlg
