#include "print/ui/CPrintPageOut.h"

#include "image/CLfImage.h"
#include "print/model/PageComposition.h"
#include "print/model/PrintCellSequence.h"
#include "resources/print/PrintStrings.h"

#include <algorithm>

CPrintPageOut::CPrintPageOut(PrintCellSequence& cells, bool allPages, int screenDpi)
    : wxPrintout(wxString::FromUTF8(pstr::kWindowTitle)), m_cells(cells), m_bAllPages(allPages),
      m_nScreenDpi(screenDpi)
{
}

void CPrintPageOut::OnPreparePrinting()
{
    int width = 0, height = 0, dpiX = 0, dpiY = 0;
    GetPageSizePixels(&width, &height);
    GetPPIPrinter(&dpiX, &dpiY);
    if (width <= 0 || height <= 0 || dpiX <= 0 || dpiY <= 0)
        return;
    PrintLayout layout = m_cells.Layout();
    layout.m_fPageWidth = static_cast<float>(width) / static_cast<float>(dpiX);
    layout.m_fPageHeight = static_cast<float>(height) / static_cast<float>(dpiY);
    m_cells.SetLayout(layout);
}

void CPrintPageOut::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo)
{
    const int count = m_cells.PageCount();
    const int current = m_cells.CurrentPage() + 1;
    *minPage = 1;
    *maxPage = count;
    *pageFrom = m_bAllPages ? 1 : current;
    *pageTo = m_bAllPages ? count : current;
}

bool CPrintPageOut::HasPage(int page)
{
    return page >= 1 && page <= m_cells.PageCount();
}

bool CPrintPageOut::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc)
        return false;
    int dpiX = 0, dpiY = 0;
    GetPPIPrinter(&dpiX, &dpiY);
    DrawPage(*dc, m_cells, page, m_nScreenDpi, wxSize(dpiX, dpiY));
    return true;
}

void CPrintPageOut::DrawPage(wxDC& dc, const PrintCellSequence& cells, int page, int screenDpi, const wxSize& deviceDpi)
{
    const PrintLayout& layout = cells.Layout();
    const PrintGeometry g = PageComposition::Print(layout);
    const int rows = std::max(layout.m_nRows, 1);
    const int columns = std::max(layout.m_nColumns, 1);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const CPrintCell* cell = cells.Cell(PageComposition::PrintCellIndex(page, row, column, layout));
            if (!cell || cell->IsEmptyPlace() || !cell->m_pImage)
                continue;
            const CLfImage& image = *cell->m_pImage;
            const RECT twips = PageComposition::PrintImageRect(PageComposition::PrintCellRect(g, row, column),
                                                               image.GetWidth(), image.GetHeight(), screenDpi);
            const RECT r = PageComposition::TwipsToDevice(twips, deviceDpi.x, deviceDpi.y);
            // Transparent parts print as white paper.
            CLfImage paper(image, true, true, true);
            paper.info.transColor = RGBQUAD{255, 255, 255, 0};
            paper.AlphaStrip();
            paper.Stretch(&dc, r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
    }
}
