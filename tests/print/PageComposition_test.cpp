#include "print/model/PageComposition.h"

#include <gtest/gtest.h>

#include <array>

#include <climits>

namespace {

using Edges = std::array<int, 4>;

Edges EdgesOf(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

PrintLayout Grid(int rows, int columns)
{
    PrintLayout layout;
    layout.m_nRows = rows;
    layout.m_nColumns = columns;
    return layout;
}

TEST(PageComposition, CellsArePlacedRowAfterRowOnPages)
{
    struct Case {
        int rows, columns;
        size_t cells;
        int pages, lastPage;
    };
    const Case cases[] = {
        {2, 2, 0, 1, 0}, {2, 2, 1, 1, 0}, {2, 2, 4, 1, 0}, {2, 2, 5, 2, 1},
        {2, 2, 8, 2, 1}, {2, 2, 9, 3, 2}, {1, 1, 3, 3, 2}, {2, 3, 7, 2, 1},
    };
    for (const Case& c : cases) {
        const PrintLayout layout = Grid(c.rows, c.columns);
        EXPECT_EQ(PageComposition::PageCount(c.cells, layout), c.pages) << c.rows << "x" << c.columns << " " << c.cells;
        EXPECT_EQ(PageComposition::LastPage(c.cells, layout), c.lastPage) << c.rows << "x" << c.columns << " " << c.cells;
    }

    const PrintLayout twoByThree = Grid(2, 3);
    EXPECT_EQ(PageComposition::PlaceOfCell(0, twoByThree), (CellPlace{0, 0, 0}));
    EXPECT_EQ(PageComposition::PlaceOfCell(2, twoByThree), (CellPlace{0, 0, 2}));
    EXPECT_EQ(PageComposition::PlaceOfCell(4, twoByThree), (CellPlace{0, 1, 1}));
    EXPECT_EQ(PageComposition::PlaceOfCell(6, twoByThree), (CellPlace{1, 0, 0}));
    EXPECT_EQ(PageComposition::PlaceOfCell(11, twoByThree), (CellPlace{1, 1, 2}));
}

TEST(PageComposition, RemovingTheLastPageOfFiveCellsLeavesFourOnOnePage)
{
    const PrintLayout layout = Grid(2, 2);
    size_t cells = 5;
    int current = PageComposition::LastPage(cells, layout);
    ASSERT_EQ(current, 1);
    EXPECT_EQ(PageComposition::FirstCellOfPage(current, layout), 4u);
    const int pagesBefore = PageComposition::PageCount(cells, layout);
    cells -= PageComposition::CellsOnPage(current, cells, layout);
    current = PageComposition::PageAfterRemovingPage(current, pagesBefore);
    EXPECT_EQ(cells, 4u);
    EXPECT_EQ(current, 0);
    EXPECT_EQ(PageComposition::PageCount(cells, layout), 1);

    EXPECT_EQ(PageComposition::CellsOnPage(0, 4, layout), 4u);
    EXPECT_EQ(PageComposition::CellsOnPage(1, 4, layout), 0u);
    // Not the last page: the current page stays; never below the first.
    EXPECT_EQ(PageComposition::PageAfterRemovingPage(0, 2), 0);
    EXPECT_EQ(PageComposition::PageAfterRemovingPage(1, 3), 1);
    EXPECT_EQ(PageComposition::PageAfterRemovingPage(0, 1), 0);
}

TEST(PageComposition, GridsWithoutCellsOrBeyondTheIntRangeStayComposable)
{
    EXPECT_EQ(PageComposition::CellsPerPage(Grid(0, 3)), 3);
    EXPECT_EQ(PageComposition::CellsPerPage(Grid(-2, -2)), 1);
    EXPECT_EQ(PageComposition::CellsPerPage(Grid(INT_MAX, INT_MAX)), INT_MAX);
    EXPECT_EQ(PageComposition::PageCount(10, Grid(0, 0)), 10);
}

TEST(PageComposition, FitImageReducesAndNeverEnlarges)
{
    struct Case {
        int a, b, c, d;
        float width, height;
    };
    const Case cases[] = {
        {100, 50, 200, 200, 100, 50},
        {400, 200, 200, 200, 200, 100},
        {200, 400, 100, 100, 50, 100},
        {300, 300, 100, 200, 100, 100},
        {10, 10, 0, 5, 0, 0},
        {10, 10, 5, -1, 0, 0},
    };
    for (const Case& c : cases) {
        const FittedSize f = PageComposition::FitImage(c.a, c.b, c.c, c.d);
        EXPECT_FLOAT_EQ(f.width, c.width) << c.a << "x" << c.b << " in " << c.c << "x" << c.d;
        EXPECT_FLOAT_EQ(f.height, c.height) << c.a << "x" << c.b << " in " << c.c << "x" << c.d;
    }
}

TEST(PageComposition, PreviewOfALandscapePageTooTallForThePane)
{
    const PreviewGeometry g = PageComposition::Preview(PrintLayout(), 800, 600, 96);
    EXPECT_EQ(g.margin, 26);  // 20, grown by half of what the page was too tall
    EXPECT_EQ(g.pageWidth, 748);
    EXPECT_EQ(g.pageHeight, 540);
    EXPECT_EQ(g.zoomPercent, 70);
    EXPECT_FLOAT_EQ(g.zoom, 0.7f);
    EXPECT_EQ(g.columnGap, 16);
    EXPECT_EQ(g.rowGap, 16);
    EXPECT_EQ(g.cellWidth, 333);
    EXPECT_EQ(g.cellHeight, 229);
    EXPECT_EQ(EdgesOf(PageComposition::PreviewCellRect(g, 0, 0)), (Edges{59, 83, 392, 312}));
    EXPECT_EQ(EdgesOf(PageComposition::PreviewCellRect(g, 1, 1)), (Edges{408, 328, 741, 557}));
    EXPECT_EQ(g.previousButtonX, 336);
    EXPECT_EQ(g.nextButtonX, 417);
}

TEST(PageComposition, PreviewOfAPortraitPageThatFits)
{
    PrintLayout layout;
    layout.m_fPageHeight = 11.0f;
    layout.m_fPageWidth = 8.0f;
    layout.m_nPageOrientation = 0;
    const PreviewGeometry g = PageComposition::Preview(layout, 800, 1000, 96);
    EXPECT_EQ(g.margin, 75);
    EXPECT_EQ(g.pageWidth, 650);
    EXPECT_EQ(g.pageHeight, 893);
    EXPECT_EQ(g.zoomPercent, 84);
    EXPECT_EQ(g.cellWidth, 275);
    EXPECT_EQ(g.cellHeight, 396);
    EXPECT_EQ(EdgesOf(PageComposition::PreviewCellRect(g, 0, 1)), (Edges{410, 90, 685, 486}));
}

TEST(PageComposition, MarginsWiderThanThePageGiveEmptyCells)
{
    PrintLayout layout;
    layout.m_fLeftMargin = 6.0f;
    layout.m_fRightMargin = 6.0f;
    layout.m_fTopMargin = 8.0f;
    const PreviewGeometry preview = PageComposition::Preview(layout, 800, 600, 96);
    EXPECT_EQ(preview.cellWidth, 0);
    EXPECT_EQ(preview.cellHeight, 0);
    const PrintGeometry print = PageComposition::Print(layout);
    EXPECT_EQ(print.cellWidth, 0);
    EXPECT_EQ(print.cellHeight, 0);
    const RECT cell = PageComposition::PrintCellRect(print, 1, 1);
    EXPECT_EQ(cell.right, cell.left);
    EXPECT_EQ(cell.bottom, cell.top);
    // An image in a cell of no size is not drawn at some negative size either.
    const RECT image = PageComposition::PrintImageRect(cell, 100, 100, 96);
    EXPECT_EQ(image.right - image.left, 0);
    EXPECT_EQ(image.top - image.bottom, 0);
}

TEST(PageComposition, PagesOfNoSizeOrTinyPanesComposeNothing)
{
    PrintLayout flat;
    flat.m_fPageWidth = 0.0f;
    flat.m_fPageHeight = 0.0f;
    PrintLayout huge;
    huge.m_fLeftMargin = 3e38f;
    huge.m_fVSpan = -3e38f;
    huge.m_nColumns = INT_MAX;
    struct Case {
        const char* what;
        PrintLayout layout;
        int width, height, dpi;
    };
    const Case cases[] = {
        {"page of no size", flat, 800, 600, 96},
        {"pane smaller than the margins", PrintLayout(), 10, 10, 96},
        {"no screen resolution", PrintLayout(), 800, 600, 0},
        {"values beyond any page", huge, 800, 600, 96},
    };
    for (const Case& c : cases) {
        const PreviewGeometry g = PageComposition::Preview(c.layout, c.width, c.height, c.dpi);
        EXPECT_GE(g.zoomPercent, 0) << c.what;
        EXPECT_GE(g.cellWidth, 0) << c.what;
        EXPECT_GE(g.cellHeight, 0) << c.what;
        const PrintGeometry p = PageComposition::Print(c.layout);
        EXPECT_GE(p.cellWidth, 0) << c.what;
        EXPECT_GE(p.cellHeight, 0) << c.what;
        PageComposition::PrintCellRect(p, 3, 3);
        PageComposition::PreviewCellRect(g, 3, 3);
    }
    EXPECT_EQ(PageComposition::Preview(flat, 800, 600, 96).zoomPercent, 0);
}

TEST(PageComposition, HeaderButtonsAndCaption)
{
    const PreviewGeometry g = PageComposition::Preview(PrintLayout(), 800, 600, 96);
    struct Case {
        int x, y;
        PreviewHit hit;
    };
    const Case cases[] = {
        {337, 10, PreviewHit::PreviousPage}, {406, 20, PreviewHit::PreviousPage}, {336, 10, PreviewHit::Header},
        {410, 10, PreviewHit::Header},       {418, 1, PreviewHit::NextPage},      {465, 10, PreviewHit::Header},
        {340, 21, PreviewHit::Page},         {340, 0, PreviewHit::Page},          {500, 300, PreviewHit::Page},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageComposition::HitPreview(g, c.x, c.y), c.hit) << c.x << "," << c.y;

    EXPECT_EQ(PageComposition::CaptionLeft(800, 100), 348);
    EXPECT_EQ(PageComposition::CaptionLeft(50, 200), 1);
}

TEST(PageComposition, PreviewImageIsZoomedThenFittedAndCentred)
{
    const RECT cell{59, 83, 392, 312};  // 333 x 229
    // Small: zoomed to 140 x 70 and centred, not enlarged to the cell.
    EXPECT_EQ(EdgesOf(PageComposition::PreviewImageRect(cell, 200, 100, 0.7f)), (Edges{155, 162, 295, 232}));
    // Large: zoomed, then reduced to the cell's width keeping 2:1.
    const RECT big = PageComposition::PreviewImageRect(cell, 2000, 1000, 0.7f);
    EXPECT_EQ(big.left, 59);
    EXPECT_NEAR(big.right, 392, 1);
    EXPECT_NEAR(big.bottom - big.top, 166, 1);
    EXPECT_NEAR((big.top - cell.top) - (cell.bottom - big.bottom), 0, 2);
}

TEST(PageComposition, PrintedPageInTwips)
{
    const PrintLayout layout;
    const PrintGeometry g = PageComposition::Print(layout);
    EXPECT_EQ(g.cellWidth, 7020);   // (15840 - 720 - 720 - 360) / 2
    EXPECT_EQ(g.cellHeight, 4860);  // (11520 - 720 - 720 - 360) / 2
    EXPECT_EQ(EdgesOf(PageComposition::PrintCellRect(g, 0, 0)), (Edges{720, -720, 7740, -5580}));
    EXPECT_EQ(EdgesOf(PageComposition::PrintCellRect(g, 1, 1)), (Edges{8100, -5940, 15120, -10800}));
    EXPECT_EQ(PageComposition::PrintCellIndex(1, 0, 0, layout), 0u);
    EXPECT_EQ(PageComposition::PrintCellIndex(2, 1, 0, layout), 6u);
    EXPECT_EQ(PageComposition::PrintCellIndex(3, 1, 1, layout), 11u);
    EXPECT_EQ(PageComposition::Twips(0.25f), 360);
    EXPECT_EQ(PageComposition::Twips(-1.0f), -1440);
}

TEST(PageComposition, PrintedImageKeepsItsScreenSizeOrIsReducedToItsCell)
{
    const RECT cell{720, -720, 7740, -5580};  // 7020 x 4860
    // 100 pixels at 96 dpi are 1500 twips, centred in the cell, downward from its top.
    EXPECT_EQ(EdgesOf(PageComposition::PrintImageRect(cell, 100, 100, 96)), (Edges{3480, -2400, 4980, -3900}));
    // Larger than the cell: reduced to its width keeping 2:1, centred vertically.
    const RECT big = PageComposition::PrintImageRect(cell, 1920, 960, 96);
    EXPECT_EQ(big.left, 720);
    EXPECT_NEAR(big.right, 7740, 1);
    EXPECT_NEAR(big.top - big.bottom, 3510, 1);
    EXPECT_NEAR(big.top, -720 - 675, 1);
    EXPECT_EQ(EdgesOf(PageComposition::PrintImageRect(cell, 100, 100, 0)), (Edges{4230, -3150, 4230, -3150}));
}

TEST(PageComposition, TwipsBecomeDevicePixelsDownward)
{
    // The 1500-twip image above on a 720-dpi device: 750 pixels from 1740 across and
    // 1200 down; on 600 x 300 dpi each axis takes its own resolution.
    const RECT twips{3480, -2400, 4980, -3900};
    EXPECT_EQ(EdgesOf(PageComposition::TwipsToDevice(twips, 720, 720)), (Edges{1740, 1200, 2490, 1950}));
    EXPECT_EQ(EdgesOf(PageComposition::TwipsToDevice(twips, 600, 300)), (Edges{1450, 500, 2075, 812}));
}

}  // namespace
