#pragma once
// The printout of a list view: its column headings on every page, then its rows, as
// many to a page as fit. The texts are taken when the printout is made, so it prints
// what the list showed even if the list changes meanwhile.

#include <wx/print.h>

#include <array>
#include <string>
#include <vector>

class CListPrintout : public wxPrintout {
public:
    using Line = std::array<std::string, 3>;  // name, size, date

    CListPrintout(const wxString& title, std::vector<Line> rows);

    void OnPreparePrinting() override;
    bool OnPrintPage(int page) override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;

    // Rows on one page; at least one.
    int RowsPerPage() const { return m_rowsPerPage; }
    int PageCount() const { return m_pageCount; }

    // The logical page the layout uses (wider than high pages scale the same way).
    static constexpr int kPageWidth = 850;
    static constexpr int kPageHeight = 1100;
    static constexpr int kMargin = 60;
    static constexpr int kLineHeight = 20;

private:
    void Layout();

    std::vector<Line> m_rows;
    int m_rowsPerPage = 1;
    int m_pageCount = 1;
};
