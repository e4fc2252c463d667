#pragma once
// Dialog layouts of the batch jobs and the search (positions in dialog units).

#include "controls/DialogTemplate.h"

namespace mdlg {

// Batch Rename (177).
inline constexpr int kRenamePattern = 1013;
inline constexpr int kRenameStart = 1014;
inline constexpr int kRenameNumbers = 1045;
inline constexpr int kRenameLetters = 1046;
inline constexpr int kRenameNameSame = 1048;
inline constexpr int kRenameNameLower = 1049;
inline constexpr int kRenameNameUpper = 1050;
inline constexpr int kRenameExtSame = 1051;
inline constexpr int kRenameExtLower = 1055;
inline constexpr int kRenameExtUpper = 1056;
inline constexpr int kRenamePreview = 1054;
inline constexpr int kRenameReplace = 1166;
inline constexpr int kRenameHelp = 1060;

// Batch Resize (187).
inline constexpr int kResizeList = 1054;
inline constexpr int kResizeByPercent = 1068;
inline constexpr int kResizeByWidth = 1043;
inline constexpr int kResizeByHeight = 1074;
inline constexpr int kResizePercent = 1013;
inline constexpr int kResizeWidth = 1014;
inline constexpr int kResizeHeight = 1061;
inline constexpr int kResizePercentSpin = 1069;
inline constexpr int kResizeWidthSpin = 1070;
inline constexpr int kResizeHeightSpin = 1072;
inline constexpr int kResizeReplace = 1023;
inline constexpr int kResizeQualityOn = 1032;
inline constexpr int kResizeQuality = 1062;
inline constexpr int kResizeQualitySpin = 1084;
inline constexpr int kResizeProgress = 1195;
inline constexpr int kResizeBusyText = 1196;

// Both batch dialogs: the output folder and its Browse button.
inline constexpr int kBatchOutputFolder = 1073;
inline constexpr int kBatchBrowse = 1057;

// Search By (141).
inline constexpr int kSearchPattern = 1020;
inline constexpr int kSearchKeywords = 1021;
inline constexpr int kSearchFolder = 1022;
inline constexpr int kSearchSubfolders = 1023;
inline constexpr int kSearchHelp = 1024;
inline constexpr int kSearchBrowse = 1026;
inline constexpr int kSearchStop = 1027;
inline constexpr int kSearchLabel = 1093;
inline constexpr int kSearchStatus = 1138;

const DialogTemplate& BatchRename();  // 177
const DialogTemplate& BatchResize();  // 187
const DialogTemplate& SearchBy();     // 141

}  // namespace mdlg
