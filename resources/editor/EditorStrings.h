#pragma once
// The editor's fixed texts and settings names (UTF-8).

namespace estr {

inline constexpr char kAppTitle[] = "Lanternfolio Photo Editor";
inline constexpr char kVersion[] = "1.6";

// Settings: the program's own values sit under kSettingsKey (shared with the manager's
// values); the framework's profile values under "<kProfileKey>\<section>".
inline constexpr char kSettingsKey[] = "Software\\Lanternfolio\\Version 1.0";
inline constexpr char kProfileKey[] = "Local AppWizard-Generated Applications";
inline constexpr char kPlacementSection[] = "Settings";
inline constexpr char kPlacementEntry[] = "MainWndPos";
inline constexpr char kRecentFileSection[] = "Recent File List";
inline constexpr int kRecentFileCount = 4;

inline constexpr char kViewModeValue[] = "ProgramQKMViewMod";
inline constexpr char kJpegSaveSettingValue[] = "ImgSaveSetting";
inline constexpr char kJpegQualityValue[] = "ImgQuality";
inline constexpr char kJpegEncodingValue[] = "ImgEncoding";
inline constexpr char kJpegColorValue[] = "ImgColor";

// The manager's parameter file, in the working folder.
inline constexpr char kParamFile[] = "qkparam.dat";

inline constexpr char kGifRefused[] = "Sorry, this application does not support viewing or editing of GIF images";
inline constexpr char kNotFoundBefore[] = "' ";
inline constexpr char kNotFoundAfter[] = " '\n Was not found, it has been Removed Or Renamed.";
inline constexpr char kIsFolderAfter[] = " '\n Is a folder, not a picture.";
inline constexpr char kNotValidOnOpen[] = "ERROR:It is not a valid PIXORO File.";
inline constexpr char kNotValidOnStep[] = "ERROR: It is not a valid PIXORO File.";
inline constexpr char kSaveChangesTo[] = "Save Changes To : \n";
// The main window asks about unsaved changes under the program's name, not its title.
inline constexpr char kFrameCloseCaption[] = "pixoro";
inline constexpr char kNoMoreFiles[] = "No more files to display.";
inline constexpr char kNoImageLoaded[] = "No Image Loaded.";
inline constexpr char kUntitledImage[] = "UntitledImage";
inline constexpr char kResizeTooLarge[] = "Unable to allocate memory for Resize process";
inline constexpr char kProcessing[] = "Processing";

inline constexpr char kOpenDialogTitle[] = "Open image file";
inline constexpr char kSaveDialogTitle[] = "Save image file";

// The document string of the template: file type, new-document name and the ".jpg" type.
inline constexpr char kDocTypeName[] = "JPEG";
inline constexpr char kNewDocName[] = "newimage";
inline constexpr char kDocFilter[] = "Pixoro Files (*.jpg)";
inline constexpr char kDocExtension[] = "jpg";

}  // namespace estr

namespace estr {

// Help > Help File opens this page of the service's web host.
inline constexpr char kServiceWebHost[] = "https://www.lanternfolio.example";
inline constexpr char kHelpPagePath[] = "/webpages/help/photoeditor.shtml";

}  // namespace estr
