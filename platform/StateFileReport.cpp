#include "platform/StateFileReport.h"

namespace lfplat {

void StateFileReport::Unreadable(const std::string& path, const std::string& reason)
{
    Note(path, "Lanternfolio cannot keep its settings: the file \"" + path + "\" cannot be read (" + reason +
                   ").\nThe program runs with its default settings and leaves the file as it is.");
}

void StateFileReport::WriteFailed(const std::string& path, const std::string& reason)
{
    Note(path, "Lanternfolio could not save \"" + path + "\" (" + reason + ").\nThe changes to it are lost.");
}

void StateFileReport::Note(const std::string& path, std::string text)
{
    for (const Entry& entry : m_entries)
        if (entry.path == path)
            return;
    m_entries.push_back({path, std::move(text), false});
}

std::vector<std::string> StateFileReport::TakeNew()
{
    std::vector<std::string> texts;
    for (Entry& entry : m_entries) {
        if (!entry.shown)
            texts.push_back(entry.text);
        entry.shown = true;
    }
    return texts;
}

}  // namespace lfplat
