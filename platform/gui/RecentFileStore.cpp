#include "platform/gui/RecentFileStore.h"

#include <wx/filehistory.h>

namespace lfplat {

void LoadRecentFiles(wxFileHistory& history, const SettingsStore& store, const std::string& section, int count)
{
    const auto all = store.ReadAll();
    const auto found = all.find(section);
    if (found == all.end())
        return;
    // The newest is File1: add the oldest first.
    for (int i = count; i >= 1; --i)
        if (auto file = found->second.find("File" + std::to_string(i));
            file != found->second.end() && !file->second.empty())
            history.AddFileToHistory(wxString::FromUTF8(file->second));
}

bool SaveRecentFiles(const wxFileHistory& history, SettingsStore& store, const std::string& section, int count)
{
    return store.Update([&](SettingsStore::Content& all) {
        auto& values = all[section];
        for (int i = 1; i <= count; ++i) {
            const std::string key = "File" + std::to_string(i);
            if (static_cast<size_t>(i) <= history.GetCount())
                values[key] = history.GetHistoryFile(static_cast<size_t>(i - 1)).utf8_string();
            else
                values.erase(key);
        }
    });
}

}  // namespace lfplat
