#include "manager/model/CachedFolderLoad.h"

#include "image/CLfImage.h"
#include "image/LfCodecTable.h"
#include "manager/model/CFolderItem.h"
#include "platform/FolderPaths.h"
#include "manager/model/FolderScan.h"
#include "manager/model/ThumbnailCache.h"
#include "manager/model/ThumbnailMaker.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>

namespace cachedload {

namespace {

constexpr std::streamoff kMinImageFileSize = 10;

}  // namespace

bool IsImageFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (file) {
        const std::streamoff size = file.tellg();
        if (size >= 0 && size < kMinImageFileSize)
            return false;
    }
    return IsImageFileName(LastPathComponent(path));
}

bool CachedBitmapIsFresh(const std::string& bitmapPath, int64_t imageLastWrite)
{
    struct stat st {};
    if (stat(bitmapPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // Whole seconds, as the cache compares them: file systems that keep coarser times
    // must not make a bitmap of the same moment look newer.
    int64_t imageSeconds = imageLastWrite / 1000000000;
    if (imageLastWrite < 0 && imageLastWrite % 1000000000 != 0)
        --imageSeconds;
    return int64_t(st.st_mtim.tv_sec) > imageSeconds;
}

size_t LoadFolderWithCache(const std::string& path, const std::string& cacheDir, CFolderItem& folder)
{
    if (path.empty())
        return 0;
    const size_t firstImage = folder.ImageCount();
    const size_t firstSubfolder = folder.m_arrSubfolders.size();
    folderscan::ScanFolder(path, folder);
    // The scan lists ".." for the tree's sake; this load keeps real subfolders only.
    folder.m_arrSubfolders.erase(
        std::remove(folder.m_arrSubfolders.begin() + std::ptrdiff_t(firstSubfolder), folder.m_arrSubfolders.end(), ".."),
        folder.m_arrSubfolders.end());

    size_t fromCache = 0;
    for (size_t i = firstImage; i < folder.ImageCount(); ++i) {
        CImageItem& image = *folder.Image(i);
        image.m_strPath = JoinPath(path, image.m_strName);
        if (cacheDir.empty())
            continue;
        const std::string bitmapPath = ThumbnailCache::BitmapPath(cacheDir, image.m_strName);
        // A bitmap newer than the picture's last write may still show another picture:
        // a copy that kept the times. Its .dat, when it names the source, tells.
        if (!CachedBitmapIsFresh(bitmapPath, image.m_tLastWrite) ||
            ThumbnailCache::NamesAnotherPicture(image.m_strPath, image.m_strName, cacheDir))
            continue;
        CLfImage cached(bitmapPath.c_str(), lfimg::kTypeBMP);
        if (!cached.IsValid())
            continue;
        thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(&cached);
        image.SetThumbnails(std::move(pair.fitted), std::move(pair.framed));
        image.m_bThumbFromCache = true;
        image.m_bThumbnailMade = true;
        ++fromCache;
    }
    return fromCache;
}

}  // namespace cachedload
