#include "controls/model/FolderTreePath.h"

#include <algorithm>
#include <cctype>

std::string VolumeRoot(std::string_view mountPoint)
{
    std::string root(mountPoint);
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    if (root.empty() || root.back() != '/')
        root += '/';
    return root;
}

std::string JoinItemPath(std::string_view root, const std::vector<std::string>& names, bool itemHasChildren)
{
    std::string path(root);
    if (names.empty())
        return path;
    for (const std::string& name : names)
        path += name + "/";
    if (!itemHasChildren)
        path.pop_back();
    return path;
}

std::optional<size_t> FindVolume(const std::vector<std::string>& volumeRoots, std::string_view path)
{
    std::optional<size_t> best;
    size_t bestLength = 0;
    for (size_t i = 0; i < volumeRoots.size(); ++i) {
        const std::string& root = volumeRoots[i];  // ends in "/"
        const std::string_view bare = std::string_view(root).substr(0, root.size() > 1 ? root.size() - 1 : 1);
        const bool holds = root == "/" ? path.starts_with('/')
                                       : (path == bare || path.starts_with(root));
        if (holds && (!best || root.size() > bestLength)) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

std::vector<std::string> PathPartsAfter(std::string_view root, std::string_view path)
{
    if (path.starts_with(root))
        path.remove_prefix(root.size());
    else if (root.size() > 1 && path == root.substr(0, root.size() - 1))
        path = {};
    std::vector<std::string> parts;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        if (!part.empty())
            parts.emplace_back(part);
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

std::optional<size_t> MatchChildName(const std::vector<std::string>& children, std::string_view part)
{
    const auto exact = std::find(children.begin(), children.end(), part);
    if (exact != children.end())
        return static_cast<size_t>(exact - children.begin());
    auto upper = [](std::string_view text) {
        std::string out(text);
        for (char& c : out)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return out;
    };
    const std::string wanted = upper(part);
    for (size_t i = 0; i < children.size(); ++i) {
        if (upper(children[i]) == wanted)
            return i;
    }
    return std::nullopt;
}

std::string TrimInitialFolder(std::string_view folder)
{
    while (!folder.empty() && std::isspace(static_cast<unsigned char>(folder.back())))
        folder.remove_suffix(1);
    if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.remove_suffix(1);
    return std::string(folder);
}

std::string ChosenFolderPath(std::string_view itemPath)
{
    while (itemPath.size() > 1 && itemPath.back() == '/')
        itemPath.remove_suffix(1);
    return std::string(itemPath);
}
