#pragma once
// Command and control ids of the print window. Window ids must stay below 32767: the
// 576xx command becomes 176xx, keeping its last digits, as in the manager's menus.

namespace printid {

// The print bar's buttons.
inline constexpr int kAddToPrint = 1183;
inline constexpr int kRemoveImage = 1184;
inline constexpr int kPrintAllPages = 1188;
inline constexpr int kRemovePage = 1189;
inline constexpr int kPreviousPage = 1191;
inline constexpr int kNextPage = 1192;
inline constexpr int kPrintPage = 17607;

// Pictures drawn for the window (PrintBitmap).
inline constexpr int kBitmapAddToPrint = 242;
inline constexpr int kBitmapPrintPage = 243;
inline constexpr int kBitmapRemoveImage = 244;
inline constexpr int kBitmapRemovePage = 249;
inline constexpr int kBitmapPrintAll = 250;
inline constexpr int kBitmapPreviousPage = 251;
inline constexpr int kBitmapNextPage = 252;
inline constexpr int kBitmapBarBackground = 255;
inline constexpr int kBitmapPageHeader = 256;

}  // namespace printid
