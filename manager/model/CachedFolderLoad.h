#pragma once
// A folder load that takes thumbnails from the thumbnail cache where the cache holds
// newer ones than the pictures, instead of leaving them all to the thumbnail thread.
// It fills a folder record on the calling thread; no loader may read the record
// meanwhile.

#include <cstdint>
#include <string>

class CFolderItem;

namespace cachedload {

// A file that opens and holds fewer than 10 bytes is no image; otherwise the extension
// decides (.bmp, .jpg, .gif, .jpeg, .png in any letter case).
bool IsImageFile(const std::string& path);

// The cached bitmap counts when it exists and was last written in a later second than
// the picture (imageLastWrite in nanoseconds since 1970 UTC).
bool CachedBitmapIsFresh(const std::string& bitmapPath, int64_t imageLastWrite);

// Appends the subfolders (without "." and ".."), the image records (in case-insensitive
// order of names, with size, time and type) and the other files of the folder at path
// to folder. cacheDir is the folder's cache folder (empty when the cache knows none);
// a record whose cached bitmap is fresh gets both thumbnails made from it. Returns the
// number of records that came with thumbnails.
size_t LoadFolderWithCache(const std::string& path, const std::string& cacheDir, CFolderItem& folder);

}  // namespace cachedload
