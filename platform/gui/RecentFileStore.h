#pragma once
// A program's recent-file list in its settings section: "File1" (the newest) to "FileN".

#include "platform/SettingsStore.h"

#include <string>

class wxFileHistory;

namespace lfplat {

void LoadRecentFiles(wxFileHistory& history, const SettingsStore& store, const std::string& section, int count);
// False (with the store's LastError) when the list could not be written.
bool SaveRecentFiles(const wxFileHistory& history, SettingsStore& store, const std::string& section, int count);

}  // namespace lfplat
