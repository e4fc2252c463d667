#include "print/model/PageComposition.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Truncates toward zero into the int range; values from a hand-made layout file may be
// anything, and a float beyond the range must not become an undefined conversion.
int ToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

int Clamp(long long value)
{
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// (length - first - second - (count - 1) x gap) / count, never below 0: margins wider
// than the page leave empty cells, not inverted ones.
int CellLength(int length, int first, int second, int gap, int count)
{
    const long long free = static_cast<long long>(length) - first - second - static_cast<long long>(count - 1) * gap;
    return Clamp(std::max(free / count, 0LL));
}

int Columns(const PrintLayout& layout)
{
    return std::max(layout.m_nColumns, 1);
}

int Rows(const PrintLayout& layout)
{
    return std::max(layout.m_nRows, 1);
}

}  // namespace

int PageComposition::CellsPerPage(const PrintLayout& layout)
{
    return Clamp(static_cast<long long>(Rows(layout)) * Columns(layout));
}

int PageComposition::PageCount(size_t cells, const PrintLayout& layout)
{
    const size_t n = static_cast<size_t>(CellsPerPage(layout));
    return cells == 0 ? 1 : Clamp(static_cast<long long>((cells + n - 1) / n));
}

CellPlace PageComposition::PlaceOfCell(size_t index, const PrintLayout& layout)
{
    const size_t n = static_cast<size_t>(CellsPerPage(layout));
    const size_t columns = static_cast<size_t>(Columns(layout));
    const size_t onPage = index % n;
    return {Clamp(static_cast<long long>(index / n)), static_cast<int>(onPage / columns),
            static_cast<int>(onPage % columns)};
}

int PageComposition::LastPage(size_t cells, const PrintLayout& layout)
{
    return PlaceOfCell(cells == 0 ? 0 : cells - 1, layout).page;
}

size_t PageComposition::FirstCellOfPage(int page, const PrintLayout& layout)
{
    return static_cast<size_t>(std::max(page, 0)) * static_cast<size_t>(CellsPerPage(layout));
}

size_t PageComposition::CellsOnPage(int page, size_t cells, const PrintLayout& layout)
{
    const size_t first = FirstCellOfPage(page, layout);
    return first >= cells ? 0 : std::min(cells - first, static_cast<size_t>(CellsPerPage(layout)));
}

int PageComposition::PageAfterRemovingPage(int current, int pageCountBefore)
{
    return current == pageCountBefore - 1 ? std::max(current - 1, 0) : current;
}

FittedSize PageComposition::FitImage(int a, int b, int c, int d)
{
    if (c <= 0 || d <= 0)
        return {};
    float factor = std::max(static_cast<float>(a) / static_cast<float>(c), static_cast<float>(b) / static_cast<float>(d));
    if (factor < 1.0f)
        factor = 1.0f;
    return {static_cast<float>(a) / factor, static_cast<float>(b) / factor};
}

PreviewGeometry PageComposition::Preview(const PrintLayout& layout, int paneWidth, int paneHeight, int screenDpi)
{
    PreviewGeometry g;
    g.margin = layout.m_nPageOrientation == 1 ? 20 : 75;
    g.pageWidth = paneWidth - 2 * g.margin;
    g.pageHeight = layout.m_fPageWidth > 0 ? ToInt(layout.m_fPageHeight / layout.m_fPageWidth * g.pageWidth) : 0;
    const int tallest = paneHeight - 60;
    if (g.pageHeight > tallest) {
        g.margin += Clamp((static_cast<long long>(g.pageHeight) - tallest) / 2);
        g.pageHeight = tallest;
        g.pageWidth = paneWidth - 2 * g.margin;
    }

    const float across = static_cast<float>(screenDpi) * layout.m_fPageWidth;
    const float down = static_cast<float>(screenDpi) * layout.m_fPageHeight;
    if (across > 0 && down > 0)
        g.zoomPercent = std::min(ToInt(g.pageWidth * 100.0f / across), ToInt(g.pageHeight * 100.0f / down));
    g.zoomPercent = std::max(g.zoomPercent, 0);
    g.zoom = static_cast<float>(g.zoomPercent * 0.01);

    const float z = g.zoom;
    const float dpi = static_cast<float>(screenDpi);
    auto pixels = [z, dpi](float inches) { return ToInt(z * inches * dpi); };
    g.columnGap = pixels(layout.m_fVSpan);
    g.rowGap = pixels(layout.m_fHSpan);
    g.cellWidth = CellLength(g.pageWidth, pixels(layout.m_fRightMargin), pixels(layout.m_fLeftMargin), g.columnGap,
                             Columns(layout));
    g.cellHeight = CellLength(g.pageHeight, pixels(layout.m_fBottomMargin), pixels(layout.m_fTopMargin), g.rowGap,
                              Rows(layout));
    g.firstTop = Clamp(static_cast<long long>(ToInt(dpi * z * layout.m_fTopMargin)) + kPageTop);
    g.firstLeft = Clamp(static_cast<long long>(ToInt(dpi * z * layout.m_fLeftMargin)) + g.margin);
    g.previousButtonX = paneWidth / 2 - 64;
    g.nextButtonX = g.previousButtonX + 81;
    return g;
}

RECT PageComposition::PreviewCellRect(const PreviewGeometry& g, int row, int column)
{
    const long long x = g.firstLeft + static_cast<long long>(column) * (static_cast<long long>(g.cellWidth) + g.columnGap);
    const long long y = g.firstTop + static_cast<long long>(row) * (static_cast<long long>(g.cellHeight) + g.rowGap);
    return {Clamp(x), Clamp(y), Clamp(x + g.cellWidth), Clamp(y + g.cellHeight)};
}

int PageComposition::CaptionLeft(int paneWidth, int textWidth)
{
    const int left = paneWidth / 2 - (textWidth + 5) / 2;
    return left < 0 ? 1 : left;
}

PreviewHit PageComposition::HitPreview(const PreviewGeometry& g, int x, int y)
{
    if (y <= 0 || y >= kHeaderHeight)
        return PreviewHit::Page;
    if (x > g.previousButtonX && x < g.previousButtonX + kPreviousButtonWidth)
        return PreviewHit::PreviousPage;
    if (x > g.nextButtonX && x < g.nextButtonX + kNextButtonWidth)
        return PreviewHit::NextPage;
    return PreviewHit::Header;
}

RECT PageComposition::PreviewImageRect(const RECT& cell, int imageWidth, int imageHeight, float zoom)
{
    const int cw = cell.right - cell.left;
    const int ch = cell.bottom - cell.top;
    const FittedSize fitted = FitImage(ToInt(imageWidth * zoom), ToInt(imageHeight * zoom), cw, ch);
    RECT r;
    r.left = cell.left + ToInt((cw - fitted.width) * 0.5);
    r.top = cell.top + ToInt((ch - fitted.height) * 0.5);
    r.right = ToInt(r.left + fitted.width);
    r.bottom = ToInt(r.top + fitted.height);
    return r;
}

int PageComposition::Twips(float inches)
{
    return ToInt(inches * static_cast<float>(kTwipsPerInch));
}

PrintGeometry PageComposition::Print(const PrintLayout& layout)
{
    PrintGeometry g;
    g.leftMargin = Twips(layout.m_fLeftMargin);
    g.topMargin = Twips(layout.m_fTopMargin);
    g.columnGap = Twips(layout.m_fVSpan);
    g.rowGap = Twips(layout.m_fHSpan);
    g.cellHeight = CellLength(Twips(layout.m_fPageHeight), g.topMargin, Twips(layout.m_fBottomMargin), g.rowGap,
                              Rows(layout));
    g.cellWidth = CellLength(Twips(layout.m_fPageWidth), g.leftMargin, Twips(layout.m_fRightMargin), g.columnGap,
                             Columns(layout));
    return g;
}

size_t PageComposition::PrintCellIndex(int page, int row, int column, const PrintLayout& layout)
{
    return FirstCellOfPage(page - 1, layout) + static_cast<size_t>(std::max(row, 0)) * Columns(layout) +
           static_cast<size_t>(std::max(column, 0));
}

RECT PageComposition::PrintCellRect(const PrintGeometry& g, int row, int column)
{
    const long long top = -(g.topMargin + static_cast<long long>(row) * (static_cast<long long>(g.cellHeight) + g.rowGap));
    const long long left = g.leftMargin + static_cast<long long>(column) * (static_cast<long long>(g.cellWidth) + g.columnGap);
    return {Clamp(left), Clamp(top), Clamp(left + g.cellWidth), Clamp(top - g.cellHeight)};
}

RECT PageComposition::PrintImageRect(const RECT& cell, int imageWidth, int imageHeight, int screenDpi)
{
    const int cw = cell.right - cell.left;
    const int ch = cell.top - cell.bottom;
    int naturalWidth = 0;
    int naturalHeight = 0;
    if (screenDpi > 0) {
        naturalWidth = ToInt(static_cast<double>(imageWidth) * kTwipsPerInch / screenDpi);
        naturalHeight = ToInt(static_cast<double>(imageHeight) * kTwipsPerInch / screenDpi);
    }
    const FittedSize fitted = FitImage(naturalWidth, naturalHeight, cw, ch);
    RECT r;
    r.left = cell.left + ToInt((cw - fitted.width) * 0.5);
    r.top = cell.top + ToInt((ch - fitted.height) * -0.5);
    r.right = ToInt(r.left + fitted.width);
    r.bottom = ToInt(r.top - fitted.height);
    return r;
}

RECT PageComposition::TwipsToDevice(const RECT& twips, int dpiX, int dpiY)
{
    auto across = [dpiX](int v) { return ToInt(static_cast<double>(v) * dpiX / kTwipsPerInch); };
    auto down = [dpiY](int v) { return ToInt(-static_cast<double>(v) * dpiY / kTwipsPerInch); };
    return {across(twips.left), down(twips.top), across(twips.right), down(twips.bottom)};
}
