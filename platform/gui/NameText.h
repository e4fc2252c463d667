#pragma once
// File names are the bytes the system gives; the windows show and carry text. A name that is not
// valid UTF-8 is shown with U+FFFD for each byte that does not decode, and a shown name
// that the user left as it was turns back into the original bytes, so a rename, copy or
// tree path never loses or changes bytes the user did not touch.

#include <wx/string.h>

#include <string>
#include <string_view>

namespace lfplat {

// A path carried in a wxString without loss: bytes that are not UTF-8 ride in the
// private-use code points of the toolkit's file-name conversion. For values that travel
// (tree items, dialogs' results), not for labels the user reads.
wxString PathToText(std::string_view path);
std::string PathFromText(const wxString& text);

// The text that shows name (or a path) in a window.
wxString NameToDisplay(std::string_view name);

// The bytes for text read back from a window that first showed original: every
// character the user left as it was keeps its original bytes (a U+FFFD that stands for
// a byte turns back into that byte), and what the user typed is taken in UTF-8.
std::string NameFromDisplay(const wxString& text, std::string_view original);

// The same on bytes: edited is the UTF-8 of the text the user ended with.
std::string NameBytesFromEdit(std::string_view original, std::string_view edited);
// Above this many (original x edited) characters only the common ends are matched.
inline constexpr size_t kMaxEditCells = 1u << 20;

}  // namespace lfplat
