#include "editor/model/ImageFileTypes.h"

#include "image/CLfImage.h"
#include "image/LfCodecTable.h"

#include <algorithm>
#include <cctype>

namespace ImageFileTypes {

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

// The rows that open, or save, in table order.
std::vector<const ImageFileTypeEntry*> Rows(bool open)
{
    std::vector<const ImageFileTypeEntry*> rows;
    for (const ImageFileTypeEntry& e : Table())
        if (open ? e.canOpen : e.canSave)
            rows.push_back(&e);
    return rows;
}

const ImageFileTypeEntry* Row(int type)
{
    for (const ImageFileTypeEntry& e : Table())
        if (e.type == type)
            return &e;
    return nullptr;
}

}  // namespace

const std::vector<ImageFileTypeEntry>& Table()
{
    static const std::vector<ImageFileTypeEntry> table{
        {-1, true, true, "Supported files", "*.bmp;*.jpg;*.jpeg;*.png;*.tif;*.tiff"},
        {lfimg::kTypeBMP, true, true, "BMP files", "*.bmp"},
        {lfimg::kTypeJPG, true, true, "JPG files", "*.jpg;*.jpeg"},
        {lfimg::kTypePNG, true, true, "PNG files", "*.png"},
    };
    return table;
}

int GetFilterIndex(int type, bool open)
{
    const auto rows = Rows(open);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i]->type == type)
            return static_cast<int>(i);
    return -1;
}

int GetTypeFromIndex(int position, bool open)
{
    const auto rows = Rows(open);
    if (position < 0 || static_cast<size_t>(position) >= rows.size())
        return -1;
    return rows[static_cast<size_t>(position)]->type;
}

std::string GetExtFromType(int type)
{
    const ImageFileTypeEntry* row = Row(type);
    return row ? row->patterns : "";
}

bool GetTypeFlag(int type)
{
    const ImageFileTypeEntry* row = Row(type);
    return row && row->canSave;
}

std::string GetFilterString(bool open)
{
    std::string filter;
    for (const ImageFileTypeEntry* row : Rows(open)) {
        filter += row->description;
        filter += '\0';
        filter += row->patterns;
        filter += '\0';
    }
    filter += '\0';
    return filter;
}

std::string GetWildcard(bool open)
{
    std::string wildcard;
    for (const ImageFileTypeEntry* row : Rows(open)) {
        if (!wildcard.empty())
            wildcard += '|';
        wildcard += std::string(row->description) + '|' + row->patterns;
    }
    return wildcard;
}

std::string DefaultExtension(int type)
{
    std::string patterns = GetExtFromType(type);
    if (patterns.size() < 3)
        return "";
    const size_t end = patterns.find(';');
    return patterns.substr(2, end == std::string::npos ? std::string::npos : end - 2);
}

std::string GetFileExtension(std::string_view path)
{
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return "";
    return std::string(path.substr(dot + 1));
}

std::optional<int> OpenTypeFromExtension(std::string_view extension)
{
    if (extension.empty())
        return std::nullopt;
    // The metafiles are opened by type even before a codec reads them: the trial of
    // every format then decides.
    const std::string lower = Lower(extension);
    if (lower == "wmf" || lower == "emf")
        return lfimg::kTypeWMF;
    if (const uint32_t type = lfimg::ImageTypeFromExtension(lower, lfimg::kTypeWMF))
        return static_cast<int>(type);
    return std::nullopt;
}

std::optional<int> SaveTypeFromExtension(std::string_view extension)
{
    const auto type = OpenTypeFromExtension(extension);
    if (!type || *type == lfimg::kTypeWMF)
        return std::nullopt;
    return type;
}

bool IsFolderListExtension(std::string_view extension)
{
    const std::string lower = Lower(extension);
    return lower == "jpg" || lower == "jpeg" || lower == "png" || lower == "bmp";
}

std::string StripExtension(const std::string& path)
{
    const std::string extension = GetFileExtension(path);
    if (extension.empty())
        return path;
    return path.substr(0, path.size() - extension.size() - 1);
}

}  // namespace ImageFileTypes
