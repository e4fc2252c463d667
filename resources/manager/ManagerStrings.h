#pragma once
// The manager's fixed texts and settings names (UTF-8).

namespace mstr {

inline constexpr char kAppTitle[] = "Lanternfolio Photo Editor";
inline constexpr char kVersion[] = "1.6";

// Settings: the program's own values sit under kSettingsKey (see CQuorixState); the
// framework's profile values under "<kProfileKey>\<section>".
inline constexpr char kProfileKey[] = "Lanternfolio Photo Editor";
inline constexpr char kPlacementSection[] = "Settings";
inline constexpr char kPlacementEntry[] = "MainWndPos";
inline constexpr char kRecentFileSection[] = "Recent File List";
inline constexpr int kRecentFileCount = 4;

// The single-instance lock's name.
inline constexpr char kInstanceLockName[] = "quorix";
// The editor, beside the manager.
inline constexpr char kEditorProgram[] = "pixoro";
// The picture that stands in for unreadable images, beside the programs.
inline constexpr char kPlaceholderPicture[] = "bitmap8.bmp";
// The hand-off's parameter file in the working folder.
inline constexpr char kParameterFile[] = "qkparam.dat";

// Status bar: pane widths are measured on these blank texts.
inline constexpr char kStatusPane1Sizing[] = "                                               ";  // 47
inline constexpr char kStatusPane2Sizing[] = "                                              ";   // 46
inline constexpr int kStatusPane0Width = 120;
inline constexpr int kStatusTimerMs = 120;

// Help > Help File opens this page of the service's web host.
inline constexpr char kServiceWebHost[] = "https://www.lanternfolio.example";
inline constexpr char kHelpPagePath[] = "/webpages/help/photoeditor.shtml";

inline constexpr char kPrintNoFolder[] =
    "You must select a folder before using the print utility.\nPlease make sure that you have selected a folder "
    "containing some images.";
inline constexpr char kPrintNoImages[] =
    "The selected folder does not contain any images. Please make sure\nthat you have selected a folder containing "
    "some images.";

}  // namespace mstr
