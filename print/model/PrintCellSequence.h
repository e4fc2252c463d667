#pragma once
// The images placed for printing, in order, cut into pages of the current layout's
// grid: built from the manager's selection, filled from the picker's marks, emptied a
// place or a page at a time. The page view paints and prints it.

#include "manager/model/PrintLayout.h"
#include "print/model/CPrintCell.h"

#include <functional>
#include <memory>
#include <vector>

class CFolderItem;
class CImageItem;
class CLfImage;

class PrintCellSequence {
public:
    // Decodes one image of the folder; null when it does not decode.
    using ImageLoader = std::function<std::unique_ptr<CLfImage>(const CImageItem& image)>;

    explicit PrintCellSequence(ImageLoader loader);

    const PrintLayout& Layout() const { return m_layout; }
    // Takes another layout without changing the page (printing measures the paper).
    void SetLayout(const PrintLayout& layout) { m_layout = layout; }

    // Every cell dropped; the folder's selected images appended in folder order (each
    // once) and marked for print; the last page shown. Nothing for a folder without path.
    void AddSelectedImages(CFolderItem* folder);
    // The marked images of the folder fill the empty places first, then go to the end;
    // the page of the last one filled is shown. False when nothing is marked.
    bool AddToPrint(CFolderItem* folder);
    // Empties the selected cells. False when no selected cell holds an image.
    bool RemoveImages();
    // Deletes the cells of the current page; the later cells move up.
    void RemovePage();
    // A new layout, shown from its first page.
    void ApplyLayout(const PrintLayout& layout);
    // True when the page changed.
    bool PreviousPage();
    bool NextPage();
    void ClearPage();
    // A click at a pane point: the cell of the current page whose last painted
    // rectangle holds it (edges included). With toggle (Ctrl) its selection flips;
    // otherwise it becomes the only one selected. A click on no cell clears them all.
    void Click(int x, int y, bool toggle);

    size_t CellCount() const { return m_cells.size(); }
    CPrintCell* Cell(size_t index) const { return index < m_cells.size() ? m_cells[index].get() : nullptr; }
    int CurrentPage() const { return m_nCurrentPage; }
    int PageCount() const { return m_nPageCount; }
    // Recounts the pages; the current page stays within them.
    void LayoutPages();

private:
    std::unique_ptr<CPrintCell> MakeCell(CFolderItem& folder, size_t index) const;

    ImageLoader m_loader;
    PrintLayout m_layout;
    std::vector<std::unique_ptr<CPrintCell>> m_cells;
    int m_nCurrentPage = 0;
    int m_nPageCount = 1;
};
