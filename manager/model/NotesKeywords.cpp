#include "manager/model/NotesKeywords.h"

#include "manager/model/CFolderItem.h"
#include "manager/model/CImageThread.h"
#include "manager/model/ManagerModes.h"
#include "manager/model/ThumbnailCache.h"
#include "platform/FolderPaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace noteskeywords {

Shown ForSelection(const CFolderItem& folder)
{
    Shown shown;
    int selected = 0;
    for (const auto& image : folder.m_arrImages) {
        if (!image->m_bSelected)
            continue;
        shown.path = image->m_strPath;
        shown.type = image->m_nImageType;
        shown.label = "Filename: " + image->m_strName;
        shown.keywords = image->m_strKeywords;
        shown.notes = image->m_strDescription;
        if (++selected == 2) {
            shown.keywords.clear();
            shown.notes.clear();
            shown.label = "Filename: Multiple files selected";
            break;
        }
    }
    return shown;
}

int TypeOfExtension(const std::string& extension)
{
    static const struct {
        const char* extension;
        int type;
    } types[] = {{"bmp", 1}, {"jpg", 3}, {"jpeg", 3}, {"gif", 2}, {"png", 4}, {"ico", 5},
                 {"tiff", 6}, {"tif", 6}, {"tga", 7}, {"pcx", 8}, {"wbmp", 9}};
    for (const auto& t : types)
        if (extension == t.extension)
            return t.type;
    return 0;
}

std::string StoredText(int type, const std::string& notes, const std::string& keywords)
{
    std::vector<std::string> entries{notes.empty() ? std::string(" ") : notes};
    if (keywords.empty()) {
        entries.emplace_back(" ");
    } else {
        // One entry per line; the lines between the first and the last keep their line
        // feed, and a line feed at the very end adds no line.
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t feed = keywords.find('\n'); feed != std::string::npos; feed = keywords.find('\n', start)) {
            lines.push_back(keywords.substr(start, feed - start + 1));
            start = feed + 1;
        }
        if (start < keywords.size())
            lines.push_back(keywords.substr(start));
        if (!lines.empty() && lines.front().ends_with('\n'))
            lines.front().pop_back();
        if (lines.size() > 1 && lines.back().ends_with('\n'))
            lines.back().pop_back();
        entries.insert(entries.end(), lines.begin(), lines.end());
    }
    const bool bitmap = type == 1;
    std::string text;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            text += '\n';
        if (bitmap)
            text += "IPTC:2:25=";
        text += entries[i];
    }
    if (bitmap)
        text += "\nIPTC:2:105=108a";
    return text;
}

std::string MissingFileText(const std::string& path)
{
    return "'" + path + " '\n Was not found, it has been Removed Or Renamed.";
}

bool Apply(CFolderItem& folder, const std::string& notes, const std::string& keywords, const std::string& cacheDir,
           const std::function<void(const std::string&)>& message)
{
    for (const auto& record : folder.m_arrImages) {
        CImageItem& image = *record;
        if (!image.m_bSelected)
            continue;
        struct stat st {};
        if (::stat(image.m_strPath.c_str(), &st) != 0) {
            message(MissingFileText(image.m_strPath));
            continue;
        }
        // Read-only, hidden and special files keep what they have.
        if (!S_ISREG(st.st_mode) || image.m_strName.starts_with('.') || ::access(image.m_strPath.c_str(), W_OK) != 0)
            continue;
        const int type = TypeOfExtension(LowerExtension(image.m_strPath));
        if (type == 0)
            continue;
        if ((type == 1 || type == 3) && StoredText(type, notes, keywords).size() >= kTextLimit) {
            message(kTooLargeText);
            return false;
        }
        image.m_strDescription = notes;
        image.m_strKeywords = keywords;
        ThumbnailCache::WriteNotes(cacheDir, image);
    }
    return true;
}

}  // namespace noteskeywords
