#include "print/model/PrintCellSequence.h"

#include "image/CLfImage.h"
#include "manager/model/CFolderItem.h"
#include "print/model/PageComposition.h"

#include <algorithm>

PrintCellSequence::PrintCellSequence(ImageLoader loader) : m_loader(std::move(loader)) {}

std::unique_ptr<CPrintCell> PrintCellSequence::MakeCell(CFolderItem& folder, size_t index) const
{
    std::unique_ptr<CLfImage> image = m_loader ? m_loader(*folder.Image(index)) : nullptr;
    if (image && !image->IsValid())
        image.reset();
    return std::make_unique<CPrintCell>(static_cast<int>(index), std::move(image));
}

void PrintCellSequence::AddSelectedImages(CFolderItem* folder)
{
    if (!folder || folder->m_strPath.empty())
        return;
    m_cells.clear();
    for (size_t i = 0; i < folder->ImageCount(); ++i) {
        CImageItem* image = folder->Image(i);
        if (!image->m_bSelected)
            continue;
        const bool placed = std::any_of(m_cells.begin(), m_cells.end(),
                                        [i](const auto& cell) { return cell->m_nImageIndex == static_cast<int>(i); });
        if (!placed)
            m_cells.push_back(MakeCell(*folder, i));
        image->m_bMarkedForPrint = true;
    }
    m_nCurrentPage = PageComposition::LastPage(m_cells.size(), m_layout);
    LayoutPages();
}

bool PrintCellSequence::AddToPrint(CFolderItem* folder)
{
    if (!folder)
        return false;
    const auto& images = folder->m_arrImages;
    if (std::none_of(images.begin(), images.end(), [](const auto& image) { return image->m_bMarkedForPrint; }))
        return false;
    size_t lastFilled = 0;
    for (size_t j = 0; j < folder->ImageCount(); ++j) {
        if (!folder->Image(j)->m_bMarkedForPrint)
            continue;
        auto empty = std::find_if(m_cells.begin(), m_cells.end(), [](const auto& cell) { return cell->IsEmptyPlace(); });
        if (empty != m_cells.end()) {
            std::unique_ptr<CPrintCell> made = MakeCell(*folder, j);
            (*empty)->Fill(made->m_nImageIndex, std::move(made->m_pImage));
            lastFilled = static_cast<size_t>(empty - m_cells.begin());
        } else {
            m_cells.push_back(MakeCell(*folder, j));
            lastFilled = m_cells.size() - 1;
        }
    }
    m_nCurrentPage = PageComposition::PlaceOfCell(lastFilled, m_layout).page;
    LayoutPages();
    return true;
}

bool PrintCellSequence::RemoveImages()
{
    const bool any = std::any_of(m_cells.begin(), m_cells.end(),
                                 [](const auto& cell) { return cell->m_bSelected && !cell->IsEmptyPlace(); });
    if (!any)
        return false;
    for (const auto& cell : m_cells) {
        if (cell->m_bSelected)
            cell->Empty();
    }
    return true;
}

void PrintCellSequence::RemovePage()
{
    const size_t first = PageComposition::FirstCellOfPage(m_nCurrentPage, m_layout);
    const size_t count = PageComposition::CellsOnPage(m_nCurrentPage, m_cells.size(), m_layout);
    const auto begin = m_cells.begin() + static_cast<std::ptrdiff_t>(std::min(first, m_cells.size()));
    m_cells.erase(begin, begin + static_cast<std::ptrdiff_t>(count));
    m_nCurrentPage = PageComposition::PageAfterRemovingPage(m_nCurrentPage, m_nPageCount);
    LayoutPages();
}

void PrintCellSequence::ApplyLayout(const PrintLayout& layout)
{
    m_layout = layout;
    m_nCurrentPage = 0;
    LayoutPages();
}

bool PrintCellSequence::PreviousPage()
{
    if (m_nCurrentPage <= 0)
        return false;
    --m_nCurrentPage;
    return true;
}

bool PrintCellSequence::NextPage()
{
    if (m_nCurrentPage + 1 >= m_nPageCount)
        return false;
    ++m_nCurrentPage;
    return true;
}

void PrintCellSequence::ClearPage()
{
    m_cells.clear();
    m_nCurrentPage = 0;
    m_nPageCount = 1;
}

void PrintCellSequence::Click(int x, int y, bool toggle)
{
    const size_t first = PageComposition::FirstCellOfPage(m_nCurrentPage, m_layout);
    const size_t count = PageComposition::CellsOnPage(m_nCurrentPage, m_cells.size(), m_layout);
    CPrintCell* hit = nullptr;
    for (size_t i = first; i < first + count && !hit; ++i) {
        const RECT& r = m_cells[i]->m_rcCell;
        if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom)
            hit = m_cells[i].get();
    }
    if (hit && toggle) {
        hit->m_bSelected = !hit->m_bSelected;
        return;
    }
    for (const auto& cell : m_cells)
        cell->m_bSelected = cell.get() == hit;
}

void PrintCellSequence::LayoutPages()
{
    m_nPageCount = PageComposition::PageCount(m_cells.size(), m_layout);
    m_nCurrentPage = std::clamp(m_nCurrentPage, 0, m_nPageCount - 1);
}
