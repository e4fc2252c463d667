#pragma once
// Where the images of the print window go: the cell sequence cut into pages of a
// layout's grid, the preview of one page scaled to the pane (pixels) and the printed
// page (twips, y growing upward). Pure arithmetic, shared by the page view and tests.

#include "manager/model/PrintLayout.h"
#include "platform/WinTypes.h"

#include <cstddef>

struct FittedSize {
    float width = 0;
    float height = 0;
};

// Page, row and column of one cell of the sequence.
struct CellPlace {
    int page = 0;
    int row = 0;
    int column = 0;
    bool operator==(const CellPlace&) const = default;
};

// The preview of one page in a pane of a given size (pixels).
struct PreviewGeometry {
    int margin = 0;       // left and right of the page
    int pageWidth = 0;    // aw
    int pageHeight = 0;   // ph
    int zoomPercent = 0;  // whole percentage
    float zoom = 0;       // zoomPercent x 0.01
    int cellWidth = 0;
    int cellHeight = 0;
    int columnGap = 0;  // the layout's VSPAN zoomed
    int rowGap = 0;     // the layout's HSPAN zoomed
    int firstLeft = 0;  // top-left corner of the first cell
    int firstTop = 0;
    int previousButtonX = 0;  // header buttons
    int nextButtonX = 0;
};

// The printed page in twips.
struct PrintGeometry {
    int cellWidth = 0;
    int cellHeight = 0;
    int leftMargin = 0;
    int topMargin = 0;
    int columnGap = 0;
    int rowGap = 0;
};

enum class PreviewHit { Page, Header, PreviousPage, NextPage };

class PageComposition {
public:
    static constexpr int kHeaderHeight = 21;
    static constexpr int kPageTop = 50;
    static constexpr int kPreviousButtonWidth = 71;
    static constexpr int kNextButtonWidth = 48;
    static constexpr int kTwipsPerInch = 1440;

    // rows x columns, at least 1 (a layout without cells is never composed).
    static int CellsPerPage(const PrintLayout& layout);
    // ceil(cells / n), and 1 without cells.
    static int PageCount(size_t cells, const PrintLayout& layout);
    static CellPlace PlaceOfCell(size_t index, const PrintLayout& layout);
    // The page that holds the last cell (0 without cells).
    static int LastPage(size_t cells, const PrintLayout& layout);
    // Index of the first cell of a page and the number of existing cells on it.
    static size_t FirstCellOfPage(int page, const PrintLayout& layout);
    static size_t CellsOnPage(int page, size_t cells, const PrintLayout& layout);
    // The current page after its cells were removed: back by one when it was the last.
    static int PageAfterRemovingPage(int current, int pageCountBefore);

    // Reduces a x b to fit a box of c x d keeping its proportions; never enlarges.
    static FittedSize FitImage(int a, int b, int c, int d);

    static PreviewGeometry Preview(const PrintLayout& layout, int paneWidth, int paneHeight, int screenDpi);
    static RECT PreviewCellRect(const PreviewGeometry& geometry, int row, int column);
    // Left edge of the page caption of the given text width.
    static int CaptionLeft(int paneWidth, int textWidth);
    static PreviewHit HitPreview(const PreviewGeometry& geometry, int x, int y);
    // The image of a cell in the preview: zoomed, then reduced to fit and centred. The
    // image is resampled to (right - left + 1) x (bottom - top + 1).
    static RECT PreviewImageRect(const RECT& cell, int imageWidth, int imageHeight, float zoom);

    // An inch length in twips (truncated).
    static int Twips(float inches);
    static PrintGeometry Print(const PrintLayout& layout);
    // The cell of the sequence at row and column of page p (counted from 1).
    static size_t PrintCellIndex(int page, int row, int column, const PrintLayout& layout);
    // A cell of the printed page: y grows upward, so top is above bottom.
    static RECT PrintCellRect(const PrintGeometry& geometry, int row, int column);
    // The image at its natural size for the screen resolution, reduced to fit and centred.
    static RECT PrintImageRect(const RECT& cell, int imageWidth, int imageHeight, int screenDpi);
    // A twips rectangle (y upward from the top-left corner) in the pixels of a device of
    // that resolution (y downward).
    static RECT TwipsToDevice(const RECT& twips, int dpiX, int dpiY);
};
