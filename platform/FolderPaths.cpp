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

bool IsImageFileName(std::string_view name)
{
    const std::string ext = PathExtension(name);
    for (const char* known : {".bmp", ".jpg", ".gif", ".jpeg", ".png"})
        if (CompareNoCase(ext, known) == 0)
            return true;
    return false;
}
