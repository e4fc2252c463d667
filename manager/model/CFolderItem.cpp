#include "manager/model/CFolderItem.h"

#include <algorithm>

CFolderItem::CFolderItem(std::string displayName, std::string path, int keep)
    : m_strDisplayName(std::move(displayName)), m_strPath(std::move(path)), m_bKeepInSession(keep != 0)
{
}

int CFolderItem::AddImage(std::unique_ptr<CImageItem> image)
{
    m_arrImages.push_back(std::move(image));
    return 1;
}

int CFolderItem::RemoveImage(const CImageItem* image)
{
    auto it = std::find_if(m_arrImages.begin(), m_arrImages.end(),
                           [image](const auto& p) { return p.get() == image; });
    if (it == m_arrImages.end())
        return 1;
    m_arrImages.erase(it);
    return 0;
}

bool CFolderItem::HoldsImage(const CImageItem* image) const
{
    return std::any_of(m_arrImages.begin(), m_arrImages.end(),
                       [image](const auto& p) { return p.get() == image; });
}

int CFolderItem::SortImages(int key, int direction)
{
    using Less = bool (*)(const CImageItem&, const CImageItem&);
    // Indexed by SortKey.
    static const Less keys[] = {
        [](const CImageItem& a, const CImageItem& b) { return a.m_strName < b.m_strName; },
        [](const CImageItem& a, const CImageItem& b) { return a.m_nSize < b.m_nSize; },
        [](const CImageItem& a, const CImageItem& b) { return a.m_strDescription < b.m_strDescription; },
        // Forward shows the newest file first: the time key runs the other way round.
        [](const CImageItem& a, const CImageItem& b) { return a.m_tLastWrite > b.m_tLastWrite; },
    };
    if (key < kSortByName || key > kSortByFileTime || m_arrImages.size() < 2)
        return 1;
    const Less less = keys[key];
    const bool reverse = direction == kSortReverse;
    std::stable_sort(m_arrImages.begin(), m_arrImages.end(), [&](const auto& a, const auto& b) {
        return reverse ? less(*b, *a) : less(*a, *b);
    });
    return 1;
}
