#pragma once
// Turns the listing of one folder into a folder record: the subfolder names (".."
// included), one image record per image file in a case-insensitive order of names, and
// the names of the other files. Nothing is opened or read: the listing's type, size and
// time decide, so a pipe named x.jpg cannot block and a slow share is listed once.

#include <cstdint>
#include <string>
#include <string_view>

class CFolderItem;

namespace folderscan {

// A file of the listing is an image when it is a regular file of at least 10 bytes whose
// extension is .bmp, .jpg, .gif, .jpeg or .png in any letter case.
bool IsImageFile(std::string_view name, bool regularFile, int64_t size);

// The type id of an extension as the name carries it: the lower-case table only, so
// "JPG" gives 0 until the thumbnail thread decodes the file.
int ImageTypeOfExtension(std::string_view extension);

// Appends what the folder at path holds to folder; image paths are folder's own path
// joined with the name. With separateFiles clear every file goes to the subfolder names.
// A folder that cannot be listed adds nothing. Returns the number of image records made;
// when there are any, the folder needs thumbnails again.
size_t ScanFolder(const std::string& path, CFolderItem& folder, bool separateFiles = true);

}  // namespace folderscan
