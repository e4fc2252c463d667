#pragma once
// What the editor opens and saves, by file-name extension, and the rows of its file
// dialogs. Pure logic: the file dialog itself lives in the window layer.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One row of the file dialogs' type list.
struct ImageFileTypeEntry {
    int type;  // an image type id; -1 for the "Supported files" row
    bool canOpen;
    bool canSave;
    const char* description;
    const char* patterns;  // "*.a;*.b"
};

namespace ImageFileTypes {

const std::vector<ImageFileTypeEntry>& Table();

// Position of the type among the rows that open (or save), from 0; -1 when absent.
int GetFilterIndex(int type, bool open);
// The type of the row at that position among the same rows; -1 when absent.
int GetTypeFromIndex(int position, bool open);
// The pattern list of the type's row, "" when the type has no row.
std::string GetExtFromType(int type);
// Whether the type's row can be saved without asking for a name (BMP, JPG, PNG).
bool GetTypeFlag(int type);
// Description, NUL, patterns, NUL per row, then a final NUL (a double NUL at the end).
std::string GetFilterString(bool open);
// The same rows as a toolkit wildcard: "description|patterns|...".
std::string GetWildcard(bool open);
// The extension a name gets for a type's row: the first pattern without "*." ("jpg").
std::string DefaultExtension(int type);

// The text after the last '.' of the file name (not of a folder), "" when none.
std::string GetFileExtension(std::string_view path);
// The image type a file is opened as, by its extension in any case; none when the
// editor does not open it.
std::optional<int> OpenTypeFromExtension(std::string_view extension);
// The same for saving: metafiles are read only.
std::optional<int> SaveTypeFromExtension(std::string_view extension);
// jpg, jpeg, png and bmp files make up a folder's stepping list.
bool IsFolderListExtension(std::string_view extension);
// The path without its extension (and the '.' before it), for proposing a new name.
std::string StripExtension(const std::string& path);

}  // namespace ImageFileTypes
