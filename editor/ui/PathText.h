#pragma once
// Paths are the system's bytes, which need not be UTF-8. Where a path must travel through
// wx (documents, file history), it goes as a wxString that keeps every byte; text that is
// only shown turns bytes that are not UTF-8 into the replacement character.

#include <wx/string.h>

#include <string>

namespace pixoro {

// The path's bytes as a wxString, undone exactly by PathFromWx.
wxString PathToWx(const std::string& path);
std::string PathFromWx(const wxString& path);
// Text to show: UTF-8 as it stands, each stray byte as U+FFFD.
wxString ShowText(const std::string& text);

}  // namespace pixoro
