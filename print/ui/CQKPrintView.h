#pragma once
// The print window's page view: the images placed for printing, laid out page after
// page in the current layout's grid, one page shown scaled to the pane; it prints the
// current page or all pages.

#include "print/model/PageComposition.h"
#include "print/model/PrintCellSequence.h"

#include <wx/bitmap.h>
#include <wx/cmndata.h>
#include <wx/window.h>

class CImageItem;
class CLfImage;
class CPrintFrame;

class CQKPrintView : public wxWindow {
public:
    // The screen resolution assumed until the first paint measures it.
    static constexpr int kInitialScreenDpi = 97;

    CQKPrintView(wxWindow* parent, CPrintFrame* frame, const wxSize& size);

    // Takes the document's layout and builds the cells from the manager's selection.
    void InitialUpdate();
    void AddSelectedImages();
    void AddToPrint();
    void RemoveImages();
    void RemovePage();
    void ApplyLayout();
    void PreviousPage();
    void NextPage();
    void ClearPage();
    void Print(bool allPages);
    void LayoutPages();

    const PrintCellSequence& Cells() const { return m_cells; }
    PrintCellSequence& Cells() { return m_cells; }
    int GetScreenDpi() const { return m_nScreenDpi; }
    // The page settings the next print dialog starts from (orientation, A4 paper).
    const wxPrintData& GetPrintData() const { return m_printData; }

    // Decodes an image of the folder as the cells hold it; null when it does not decode.
    static std::unique_ptr<CLfImage> LoadCellImage(const CImageItem& image);
    // Paints the current page into a pane of the given size; the cells and the header
    // buttons keep their places for the hit test.
    PreviewGeometry DrawPreview(wxDC& dc, const wxSize& pane, int screenDpi);

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnLeftDown(wxMouseEvent& event);

    CPrintFrame* m_frame;  // not owned: the frame owns this pane
    PrintCellSequence m_cells;
    int m_nScreenDpi = kInitialScreenDpi;
    PreviewGeometry m_geometry;  // as last painted, for the hit test
    wxPrintData m_printData;
    wxBitmap m_header;
    wxBitmap m_previousButton;
    wxBitmap m_nextButton;
};
