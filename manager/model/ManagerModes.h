#pragma once
// Names for the manager's modes and marker values. The numbers are what the document,
// the folder records and the files between the programs hold, so they stay as they are.

// What the image pane shows (the document's and each folder's view mode).
enum ViewMode : int {
    kViewThumbnails = 0,
    kViewThumbnailsAndDetails = 1,
    kViewDetailsAndFolders = 2,
};

// The key images are sorted by.
enum SortKey : int {
    kSortByName = 0,
    kSortBySize = 1,
    kSortByDescription = 2,
    kSortByFileTime = 3,
};

enum SortOrder : int {
    kSortForward = 0,
    kSortReverse = 1,
};

// The document's target image index when a command applies to the whole selection.
inline constexpr int kTargetWholeSelection = -100;
// The document's index of the current folder in the recent list before the first lookup.
inline constexpr int kRecentIndexUnknown = -11;
// The image index that stands for "the one selected image of the current folder" when
// an image is handed to the editor.
inline constexpr int kSelectedImageIndex = -1000;
