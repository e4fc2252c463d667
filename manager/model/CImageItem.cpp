#include "manager/model/CImageItem.h"

#include <sys/stat.h>

CImageItem::CImageItem(std::string name, std::string path, int64_t size, int height, int width)
    : m_strName(std::move(name)), m_strPath(std::move(path)), m_nSize(size), m_nHeight(height), m_nWidth(width)
{
}

CImageItem::~CImageItem() = default;

void CImageItem::SetFileStamp(const struct stat& st)
{
    m_tLastWrite = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    m_tChange = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    m_nInode = uint64_t(st.st_ino);
}

CImageItem::ThumbnailRef CImageItem::GetThumbnail() const
{
    std::lock_guard lock(m_thumbLock);
    return m_pThumbnail;
}

CImageItem::ThumbnailRef CImageItem::GetFramedThumbnail() const
{
    std::lock_guard lock(m_thumbLock);
    return m_pThumbnail2;
}

void CImageItem::SetThumbnails(ThumbnailRef fitted, ThumbnailRef framed)
{
    const int width = fitted ? fitted->width : 0;
    const int height = fitted ? fitted->height : 0;
    {
        std::lock_guard lock(m_thumbLock);
        m_pThumbnail = std::move(fitted);
        m_pThumbnail2 = std::move(framed);
    }
    m_nThumbWidth = width;
    m_nThumbHeight = height;
}
