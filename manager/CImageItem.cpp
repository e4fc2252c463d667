#include "manager/CImageItem.h"

CImageItem::CImageItem(std::string name, std::string path, int64_t size, int height, int width)
    : m_strName(std::move(name)), m_strPath(std::move(path)), m_nSize(size), m_nHeight(height), m_nWidth(width)
{
}

CImageItem::~CImageItem() = default;
