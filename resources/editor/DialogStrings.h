#pragma once
// The fixed texts of the editor's image dialogs (UTF-8).

namespace estr {

inline constexpr char kInvalidNumber[] = "Please insert valid number.";
inline constexpr char kInvalidWidth[] = "Please insert valid image width. This should be 1 to 4095.";
inline constexpr char kInvalidHeight[] = "Please insert valid image height. This should be 1 to 4095.";
inline constexpr char kEnterInteger[] = "Please enter an integer.";
inline constexpr char kEnterNumber[] = "Please enter a number.";
inline constexpr char kProcessing[] = "Processing";
// The text dialog's status before and after the full-size rendering, each followed by the file name.
inline constexpr char kTextProcessing[] = "Processing : ";
inline constexpr char kTextSaving[] = "Saving : ";

}  // namespace estr
