#include "platform/FolderPaths.h"

#include "platform/StringSort.h"

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string out(folder);
    if (out.empty() || out.back() != '/')
        out += '/';
    out += name;
    return out;
}

bool IsAbsoluteLocalPath(std::string_view path) { return !path.empty() && path.front() == '/'; }

std::string LastPathComponent(std::string_view path)
{
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string PathExtension(std::string_view path)
{
    const std::string leaf = LastPathComponent(path);
    const size_t dot = leaf.rfind('.');
    return dot == std::string::npos ? std::string() : leaf.substr(dot);
}

std::string LowerExtension(std::string_view path)
{
    std::string extension = PathExtension(path);
    if (!extension.empty())
        extension.erase(0, 1);
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return extension;
}

std::string FolderOf(std::string_view path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return ".";
    return slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
}

std::string ParentFolder(std::string_view path)
{
    if (path.find('/') == std::string_view::npos || path == "/")
        return {};
    return FolderOf(path);
}

bool IsImageFileName(std::string_view name)
{
    const std::string ext = PathExtension(name);
    for (const char* known : {".bmp", ".jpg", ".gif", ".jpeg", ".png"})
        if (CompareNoCase(ext, known) == 0)
            return true;
    return false;
}
