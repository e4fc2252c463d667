#pragma once
// The print job of the page view: the current page or all pages of the cells, each
// image centred in its cell at its natural size for the screen (reduced to fit),
// nothing else on the paper. Positions are worked out in twips from the top-left corner
// of the printable area, whose size replaces the layout's page size.

#include <wx/print.h>

class PrintCellSequence;

class CPrintPageOut : public wxPrintout {
public:
    CPrintPageOut(PrintCellSequence& cells, bool allPages, int screenDpi);

    // Measures the printable area of the printer's page.
    void OnPreparePrinting() override;
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;
    bool HasPage(int page) override;
    bool OnPrintPage(int page) override;

    // Draws page p (counted from 1) on a device of the given resolution.
    static void DrawPage(wxDC& dc, const PrintCellSequence& cells, int page, int screenDpi, const wxSize& deviceDpi);

private:
    PrintCellSequence& m_cells;
    bool m_bAllPages;
    int m_nScreenDpi;
};
