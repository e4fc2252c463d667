#include "manager/ui/CListPrintout.h"
#include "platform/gui/NameText.h"

#include <wx/dc.h>

#include <algorithm>

namespace {

const char* const kHeadings[3] = {"Filename", "Size", "Date"};
// Where each column starts, in logical units from the left margin (the list's widths).
constexpr int kColumnX[3] = {0, 400, 520};

}  // namespace

CListPrintout::CListPrintout(const wxString& title, std::vector<Line> rows)
    : wxPrintout(title), m_rows(std::move(rows))
{
    Layout();
}

void CListPrintout::Layout()
{
    // One line of headings and a gap above the rows.
    const int usable = kPageHeight - 2 * kMargin - 2 * kLineHeight;
    m_rowsPerPage = std::max(1, usable / kLineHeight);
    m_pageCount = std::max<int>(1, int((m_rows.size() + size_t(m_rowsPerPage) - 1) / size_t(m_rowsPerPage)));
}

void CListPrintout::OnPreparePrinting() { Layout(); }

bool CListPrintout::HasPage(int page) { return page >= 1 && page <= m_pageCount; }

void CListPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo)
{
    *minPage = 1;
    *maxPage = m_pageCount;
    *pageFrom = 1;
    *pageTo = m_pageCount;
}

bool CListPrintout::OnPrintPage(int page)
{
    wxDC* dc = GetDC();
    if (!dc || !HasPage(page))
        return false;
    FitThisSizeToPage(wxSize(kPageWidth, kPageHeight));
    // The font is sized in the page's logical units, so it scales with the page.
    dc->SetFont(wxFontInfo(wxSize(0, kLineHeight * 7 / 10)).Family(wxFONTFAMILY_SWISS));
    dc->SetTextForeground(*wxBLACK);
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);

    int y = kMargin;
    for (int c = 0; c < 3; ++c)
        dc->DrawText(kHeadings[c], kMargin + kColumnX[c], y);
    dc->SetPen(*wxBLACK_PEN);
    dc->DrawLine(kMargin, y + kLineHeight, kPageWidth - kMargin, y + kLineHeight);
    y += 2 * kLineHeight;

    const size_t first = size_t(page - 1) * size_t(m_rowsPerPage);
    const size_t end = std::min(m_rows.size(), first + size_t(m_rowsPerPage));
    for (size_t i = first; i < end; ++i, y += kLineHeight)
        for (int c = 0; c < 3; ++c)
            dc->DrawText(lfplat::NameToDisplay(m_rows[i][size_t(c)]), kMargin + kColumnX[c], y);
    return true;
}
