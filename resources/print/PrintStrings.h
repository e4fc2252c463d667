#pragma once
// The print window's fixed texts (UTF-8).

namespace pstr {

inline constexpr char kWindowTitle[] = "Lanternfolio Photo Editor";
inline constexpr char kPageCaption[] = "Page %d of %d";

inline constexpr char kTipAddToPrint[] = "Add to print";
inline constexpr char kTipRemoveImage[] = "Remove Image";
inline constexpr char kTipRemovePage[] = "Remove Page";
inline constexpr char kTipPrintPage[] = "Print Page";
inline constexpr char kTipPrintAll[] = "Print All Page";

inline constexpr char kNothingMarked[] =
    "You have not chosen any image to add to the print page. Please select\n"
    "images from the from the list of images shown in the left pane and then\n"
    "click on \"Add Images\" to include them in the print page.\n\n"
    "Tip: You can select multiple images by pressing the \"Ctrl\" key while clicking on\n"
    "the images.";
inline constexpr char kNothingToRemove[] =
    "Please select an image in the print page (the middle pane) to remove.\n\n"
    "Tip: You can select multiple images by pressing the \"Ctrl\" key while clicking on the images.";
inline constexpr char kInvalidPrinter[] = "Invalid Printer";

}  // namespace pstr
