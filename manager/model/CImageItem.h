#pragma once
// One image file of a folder. Its folder record owns it; the selection, the views,
// the loader threads and the dialogs hold it without owning it.

#include "manager/model/ThumbnailPixels.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct stat;

class CImageItem {
public:
    CImageItem(std::string name, std::string path, int64_t size, int height, int width);
    virtual ~CImageItem();
    CImageItem(const CImageItem&) = delete;
    CImageItem& operator=(const CImageItem&) = delete;

    std::string m_strName;  // file name with extension, no folder
    std::string m_strPath;  // full path
    int64_t m_nSize = 0;    // bytes
    // Written by the thumbnail thread while the user-interface thread reads them.
    std::atomic<int> m_nHeight{0};  // pixels; 0 until known
    std::atomic<int> m_nWidth{0};
    int64_t m_tLastWrite = 0;  // last-write time, nanoseconds since 1970-01-01 UTC
    // The last status change (nanoseconds) and the inode number when listed: a picture
    // replaced by a copy of the same size and last-write time still differs in these.
    // 0 when not known.
    int64_t m_tChange = 0;
    uint64_t m_nInode = 0;
    // The three from the file's status as listed.
    void SetFileStamp(const struct stat& st);
    std::string m_strDescription;
    std::string m_strKeywords;
    // The fitted thumbnail (drawn by the grid, stored in the cache) and the framed one.
    // The thumbnail thread sets them while the user-interface thread draws them: each
    // reader gets pixels that stay valid for as long as it holds them.
    using ThumbnailRef = std::shared_ptr<const ThumbnailPixels>;
    ThumbnailRef GetThumbnail() const;
    ThumbnailRef GetFramedThumbnail() const;
    bool HasThumbnail() const { return GetThumbnail() != nullptr; }
    // Sets both and the thumbnail size from the fitted one.
    void SetThumbnails(ThumbnailRef fitted, ThumbnailRef framed);
    std::atomic<int> m_nThumbHeight{0};
    std::atomic<int> m_nThumbWidth{0};
    std::atomic<int> m_nImageType{0};  // ImageType id from the extension
    // Read by loader threads while the user-interface thread changes them.
    std::atomic<bool> m_bSelected{false};
    std::atomic<bool> m_bThumbnailMade{false};
    // The thumbnails came from the cache files rather than from decoding the image.
    std::atomic<bool> m_bThumbFromCache{false};
    bool m_bMarkedForPrint = false;
    bool m_bTicked = false;  // ticked in a dialog's check-box list

private:
    mutable std::mutex m_thumbLock;
    ThumbnailRef m_pThumbnail;
    ThumbnailRef m_pThumbnail2;
};
