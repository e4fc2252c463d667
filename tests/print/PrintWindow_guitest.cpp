#include "image/CLfImage.h"
#include "manager/ui/CMainFrame.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/ui/CQuorixDocManager.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/ThumbnailPixels.h"
#include "print/ui/CLockSplitterWnd.h"
#include "print/ui/CPrintBarDlg.h"
#include "print/ui/CPrintFrame.h"
#include "print/ui/CPrintLayoutView.h"
#include "print/ui/CPrintLeftView.h"
#include "print/ui/CQKPrintView.h"
#include "print/ui/PrintWindowService.h"
#include "resources/manager/ManagerIds.h"
#include "resources/print/PrintIds.h"
#include "tests/manager/FrameTestSupport.h"
#include "tests/manager/ManagerHarness.h"
#include "tests/print/PostScriptRun.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include "controls/CHoverButton.h"

#include <gtest/gtest.h>

#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/weakref.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Colour {
    uint8_t r, g, b;
};

// Solid pictures, one colour each, as the folder's images.
const Colour kColours[] = {{220, 30, 30}, {30, 160, 40}, {30, 60, 220}, {230, 200, 20}, {150, 40, 170}, {20, 190, 200}};

void WritePicture(const fs::path& file, int width, int height, Colour colour)
{
    CLfImage image(width, height, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.GetBits(static_cast<uint32_t>(y));
        for (int x = 0; x < width; ++x) {
            row[3 * x] = colour.b;
            row[3 * x + 1] = colour.g;
            row[3 * x + 2] = colour.r;
        }
    }
    ASSERT_TRUE(image.Save(file.string().c_str(), lfimg::kTypeBMP));
}

bool Near(const wxImage& image, int x, int y, Colour c, int tolerance = 40)
{
    if (x < 0 || y < 0 || x >= image.GetWidth() || y >= image.GetHeight())
        return false;
    return std::abs(image.GetRed(x, y) - c.r) <= tolerance && std::abs(image.GetGreen(x, y) - c.g) <= tolerance &&
           std::abs(image.GetBlue(x, y) - c.b) <= tolerance;
}

std::string ColourAt(const wxImage& image, int x, int y)
{
    return std::to_string(image.GetRed(x, y)) + "," + std::to_string(image.GetGreen(x, y)) + "," +
           std::to_string(image.GetBlue(x, y));
}

std::vector<int> CellIndexes(const PrintCellSequence& cells)
{
    std::vector<int> indexes;
    for (size_t i = 0; i < cells.CellCount(); ++i)
        indexes.push_back(cells.Cell(i)->m_nImageIndex);
    return indexes;
}

class PrintWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The layout file is read from the working folder, its pictures from beside the
        // programs.
        fs::copy_file(fs::path(LF_BIN_DIR) / "LayoutConfig.txt", dir / "LayoutConfig.txt");
        cwd = std::make_unique<lftest::ScopedCwd>(dir.path());
        fs::create_directories(dir / "photos");
        app = std::make_unique<lftest::Manager>(dir);
        app->state->m_strAppFolder = std::string(LF_BIN_DIR) + "/";
        app->state->m_services.printLayout = [](CQuorixDoc& doc, wxWindow* main) { OpenPrintWindow(doc, main); };
        frame = app->frame;
        doc = app->doc;
    }
    void TearDown() override { app.reset(); }

    // A folder of `count` pictures of width x height, made the current folder.
    CFolderItem* MakeFolder(int count, int width = 60, int height = 40)
    {
        auto folder = std::make_unique<CFolderItem>("photos", (dir / "photos").string(), 0);
        for (int i = 0; i < count; ++i) {
            const std::string name = "photo" + std::to_string(i) + ".bmp";
            const fs::path file = dir / "photos" / name;
            WritePicture(file, width, height, kColours[i % 6]);
            folder->AddImage(std::make_unique<CImageItem>(name, file.string(), int64_t(fs::file_size(file)), 0, 0));
        }
        CFolderItem* made = folder.get();
        doc->SetCurrentFolder(std::move(folder));
        return made;
    }
    void Select(CFolderItem* folder, std::vector<int> indexes)
    {
        for (auto& image : folder->m_arrImages)
            image->m_bSelected = false;
        for (int i : indexes)
            folder->Image(static_cast<size_t>(i))->m_bSelected = true;
    }
    CPrintFrame* PrintPreview()
    {
        wxCommandEvent preview(wxEVT_MENU, ID_FILE_PRINT_PREVIEW);
        frame->GetEventHandler()->ProcessEvent(preview);
        CPrintFrame* print = CPrintFrame::FindFor(frame);
        if (print)
            print->SetMessageSink([this](const std::string& text) { app->messages.push_back(text); });
        return print;
    }
    // The layout of the document made current in the page view.
    void UseLayout(CPrintFrame* print, int rows, int columns, int orientation)
    {
        doc->m_pPrintLayout->m_nRows = rows;
        doc->m_pPrintLayout->m_nColumns = columns;
        doc->m_pPrintLayout->m_nPageOrientation = orientation;
        doc->m_pPrintLayout->m_fPageWidth = orientation == 1 ? 11.0f : 8.0f;
        doc->m_pPrintLayout->m_fPageHeight = orientation == 1 ? 8.0f : 11.0f;
        print->ApplyLayout();
    }
    void Button(CPrintFrame* print, int id)
    {
        CHoverButton* button = print->GetPrintBar()->GetButton(id);
        ASSERT_NE(button, nullptr);
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(button);
        button->GetEventHandler()->ProcessEvent(click);
    }
    void Mouse(wxWindow* window, wxEventType type, wxPoint at, bool shift = false, bool ctrl = false)
    {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetShiftDown(shift);
        event.SetControlDown(ctrl);
        event.SetEventObject(window);
        window->GetEventHandler()->ProcessEvent(event);
    }

    lftest::TempDir dir;
    std::unique_ptr<lftest::ScopedCwd> cwd;
    std::unique_ptr<lftest::Manager> app;
    CMainFrame* frame = nullptr;
    CQuorixDoc* doc = nullptr;
};

TEST_F(PrintWindowTest, PrintPreviewOpensTheWindowWithTheLayoutsAndTheSelection)
{
    CFolderItem* folder = MakeFolder(5);
    Select(folder, {1, 3});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    lftest::PumpUntil([&] { return print->IsShown() && !frame->IsShown(); });
    EXPECT_TRUE(print->IsShown());
    EXPECT_FALSE(frame->IsShown()) << "the main window hides";
    EXPECT_EQ(print->GetTitle(), "Lanternfolio Photo Editor");

    // The three locked columns, picker to layout list.
    CLockSplitterWnd* splitter = print->GetSplitter();
    EXPECT_TRUE(splitter->IsLocked());
    EXPECT_EQ(splitter->GetPane(0), static_cast<wxWindow*>(print->GetPicker()));
    EXPECT_EQ(splitter->GetPane(1), static_cast<wxWindow*>(print->GetPageView()));
    EXPECT_EQ(splitter->GetPane(2), static_cast<wxWindow*>(print->GetLayoutList()));
    EXPECT_EQ(print->GetPicker()->GetSize().x, 230);
    EXPECT_LT(print->GetPageView()->GetPosition().x, print->GetLayoutList()->GetPosition().x);
    EXPECT_EQ(print->GetStatusBar()->GetFieldsCount(), 1);
    // Resizing sets the columns: 230 for the picker, the width less 370 for the page.
    print->SetSize(1000, 700);
    lftest::PumpUntil([&] {
        return print->GetPicker()->GetSize().x == 230 &&
               print->GetPageView()->GetSize().x == print->GetClientSize().x - 370;
    });
    const int client = print->GetClientSize().x;
    EXPECT_EQ(print->GetPicker()->GetSize().x, 230);
    EXPECT_EQ(print->GetPageView()->GetSize().x, client - 370);
    EXPECT_EQ(print->GetLayoutList()->GetRect().GetRight(), client - 1) << "the list takes the rest";

    // The shipped layouts, the fourth current (2 x 2) with its highlighted picture.
    CPrintLayoutView* list = print->GetLayoutList();
    ASSERT_EQ(list->GetCount(), 6u);
    ASSERT_EQ(doc->m_arrLayoutPictures.size(), 6u);
    EXPECT_EQ(doc->m_arrLayoutPictures[0]->m_strName, "layout1x1.bmp");
    EXPECT_GT(doc->m_arrLayoutPictures[0]->m_nSize, 0);
    EXPECT_TRUE(doc->m_arrLayoutPictures[3]->m_bSelected);
    EXPECT_EQ(doc->m_pPrintLayout->m_nRows, 2);
    EXPECT_EQ(doc->m_pPrintLayout->m_nColumns, 2);
    const Colour orange{253, 146, 34};
    const Colour slate{123, 142, 148};
    lftest::PumpUntil([&] { return Near(list->GetThumbnail(3).ConvertToImage(), 0, 0, orange, 10); });
    EXPECT_TRUE(Near(list->GetThumbnail(3).ConvertToImage(), 0, 0, orange, 10)) << "highlighted";
    EXPECT_TRUE(Near(list->GetThumbnail(2).ConvertToImage(), 0, 0, slate, 10)) << "plain";

    // The page view holds the selected images; the picker shows them marked.
    EXPECT_EQ(CellIndexes(print->GetPageView()->Cells()), (std::vector<int>{1, 3}));
    EXPECT_EQ(print->GetPageView()->Cells().Layout().m_nRows, 2);
    EXPECT_TRUE(folder->Image(1)->m_bMarkedForPrint);
    EXPECT_FALSE(folder->Image(0)->m_bMarkedForPrint);
}

TEST_F(PrintWindowTest, ThePreviewWindowLiesWhollyOnTheScreen)
{
    CFolderItem* folder = MakeFolder(3);
    Select(folder, {0});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    lftest::PumpUntil([&] { return print->IsShown() && !frame->IsShown(); });
    const wxRect rect = lftest::PumpUntilSettled(*print);
    const wxRect screen = wxDisplay(0u).GetGeometry();
    EXPECT_TRUE(screen.Contains(rect)) << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height
                                       << " on " << screen.width << "x" << screen.height;
}

TEST_F(PrintWindowTest, WithoutALayoutFileInTheWorkingFolderTheShippedOneServes)
{
    fs::remove(dir / "LayoutConfig.txt");  // a manager started from another folder
    Select(MakeFolder(2), {0});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->GetLayoutList()->GetCount(), 6u);
    EXPECT_EQ(doc->m_pPrintLayout->m_nRows, 2);
}

TEST_F(PrintWindowTest, ClosingHidesAndTheNextPreviewRebuildsThePage)
{
    CFolderItem* folder = MakeFolder(5);
    Select(folder, {0});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    folder->Image(4)->m_bMarkedForPrint = true;
    print->AddToPrint();
    EXPECT_EQ(CellIndexes(print->GetPageView()->Cells()), (std::vector<int>{0, 0, 4}));

    print->Close();
    EXPECT_FALSE(print->IsShown());
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(print->GetPageView()->Cells().CellCount(), 0u);
    lftest::PumpFor(std::chrono::milliseconds(50));
    ASSERT_EQ(CPrintFrame::FindFor(frame), print) << "hidden, not destroyed";

    // The layout chosen stays; the page is built anew from the selection then.
    print->GetLayoutList()->SelectLayout(0);
    Select(folder, {2, 3});
    EXPECT_EQ(PrintPreview(), print);
    EXPECT_TRUE(print->IsShown());
    EXPECT_EQ(CellIndexes(print->GetPageView()->Cells()), (std::vector<int>{2, 3}));
    EXPECT_EQ(print->GetPageView()->Cells().CurrentPage(), 1) << "1 x 1 pages: the last one shows";
    EXPECT_EQ(doc->m_nCurrentLayout, 0);

    // The main window's close takes the print window with it.
    wxWeakRef<wxWindow> printAlive(print);
    wxWeakRef<wxWindow> mainAlive(frame);
    app->Close();
    EXPECT_TRUE(lftest::PumpUntil([&] { return !printAlive && !mainAlive; }));
}

TEST_F(PrintWindowTest, LayoutClicksMakeALayoutCurrentAndShowItsFirstPage)
{
    CFolderItem* folder = MakeFolder(6);
    Select(folder, {0, 1, 2, 3, 4, 5});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    CQKPrintView* page = print->GetPageView();
    ASSERT_EQ(page->Cells().CurrentPage(), 1);
    CPrintLayoutView* list = print->GetLayoutList();
    list->Scroll(0, 0);

    struct Step {
        wxPoint at;
        bool shift;
        int current;
    };
    const Step steps[] = {
        {{30, 30}, false, 0},    // the first picture
        {{30, 100}, false, 1},   // the lowest 20 pixels of picture 0 select entry 1
        {{30, 350}, true, 4},    // Shift toward a later entry: the last stays
        {{30, 30}, true, 3},     // Shift above: the entry just above the current one
        {{30, 900}, false, 3},   // below the last picture: nothing
    };
    for (const Step& s : steps) {
        Mouse(list, wxEVT_LEFT_DOWN, s.at, s.shift);
        EXPECT_EQ(doc->m_nCurrentLayout, s.current) << s.at.y;
        int selected = 0;
        for (const auto& entry : doc->m_arrLayoutPictures)
            selected += entry->m_bSelected ? 1 : 0;
        EXPECT_EQ(selected, 1);
        EXPECT_EQ(page->Cells().Layout().m_nRows, list->GetLayout(static_cast<size_t>(s.current)).m_nRows);
        EXPECT_EQ(page->Cells().Layout().m_nColumns, list->GetLayout(static_cast<size_t>(s.current)).m_nColumns);
        EXPECT_EQ(page->Cells().CurrentPage(), 0);
    }
    // Layout 3 (2 x 2) holds six images on two pages.
    EXPECT_EQ(page->Cells().PageCount(), 2);
}

TEST_F(PrintWindowTest, PickerMarksAndDoubleClickAdds)
{
    CFolderItem* folder = MakeFolder(5);
    Select(folder, {0});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    CPrintLeftView* picker = print->GetPicker();
    picker->Scroll(0, 0);
    auto marks = [&] {
        std::vector<int> m;
        for (size_t i = 0; i < folder->ImageCount(); ++i) {
            if (folder->Image(i)->m_bMarkedForPrint)
                m.push_back(static_cast<int>(i));
        }
        return m;
    };
    Mouse(picker, wxEVT_LEFT_DOWN, {150, 60});  // card 2 (right column)
    EXPECT_EQ(marks(), (std::vector<int>{1}));
    Mouse(picker, wxEVT_LEFT_DOWN, {50, 250}, true);  // Shift on card 4
    EXPECT_EQ(marks(), (std::vector<int>{1, 2, 3, 4}));
    Mouse(picker, wxEVT_LEFT_DOWN, {150, 150}, false, true);  // Ctrl on card 3
    EXPECT_EQ(marks(), (std::vector<int>{1, 2, 4}));
    Mouse(picker, wxEVT_LEFT_DOWN, {150, 300});  // beside the last card: nothing
    EXPECT_EQ(marks(), (std::vector<int>{1, 2, 4}));

    Mouse(picker, wxEVT_LEFT_DCLICK, {150, 300});
    EXPECT_EQ(print->GetPageView()->Cells().CellCount(), 1u) << "a double click beside the cards adds nothing";
    Mouse(picker, wxEVT_LEFT_DCLICK, {50, 60});
    EXPECT_EQ(CellIndexes(print->GetPageView()->Cells()), (std::vector<int>{0, 1, 2, 4}));
}

TEST_F(PrintWindowTest, BarButtonsAndTheirMessages)
{
    CFolderItem* folder = MakeFolder(5);
    Select(folder, {0, 1, 2, 3, 4});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    CQKPrintView* page = print->GetPageView();
    ASSERT_EQ(page->Cells().PageCount(), 2);

    Button(print, printid::kRemoveImage);
    ASSERT_EQ(app->messages.size(), 1u);
    EXPECT_EQ(app->messages[0].rfind("Please select an image in the print page (the middle pane) to remove.", 0), 0u);

    Button(print, printid::kRemovePage);  // page 2 of 2
    EXPECT_EQ(page->Cells().CellCount(), 4u);
    EXPECT_EQ(page->Cells().CurrentPage(), 0);

    page->Cells().Cell(1)->m_bSelected = true;
    Button(print, printid::kRemoveImage);
    EXPECT_EQ(CellIndexes(page->Cells()), (std::vector<int>{0, CPrintCell::kEmptyPlace, 2, 3}));

    for (auto& image : folder->m_arrImages)
        image->m_bMarkedForPrint = false;
    Button(print, printid::kAddToPrint);
    ASSERT_EQ(app->messages.size(), 2u);
    EXPECT_EQ(app->messages[1].rfind("You have not chosen any image to add to the print page.", 0), 0u);
    folder->Image(4)->m_bMarkedForPrint = true;
    Button(print, printid::kAddToPrint);
    EXPECT_EQ(CellIndexes(page->Cells()), (std::vector<int>{0, 4, 2, 3}));

    // A print dialog that gives no printer.
    print->SetPrintRunner([](wxWindow*, wxPrintout&, wxPrintDialogData&, bool& error) {
        error = true;
        return false;
    });
    Button(print, printid::kPrintPage);
    ASSERT_EQ(app->messages.size(), 3u);
    EXPECT_EQ(app->messages[2], "Invalid Printer");
    // A cancelled dialog says nothing.
    print->SetPrintRunner([](wxWindow*, wxPrintout&, wxPrintDialogData&, bool& error) {
        error = false;
        return false;
    });
    Button(print, printid::kPrintAllPages);
    EXPECT_EQ(app->messages.size(), 3u);
}

TEST_F(PrintWindowTest, PreviewPaintsThePageAndHitsTheHeaderButtons)
{
    CFolderItem* folder = MakeFolder(5, 300, 200);
    Select(folder, {0, 1, 2, 3, 4});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    CQKPrintView* page = print->GetPageView();
    UseLayout(print, 2, 2, 1);
    page->Cells().Cell(2)->m_bSelected = true;

    const wxSize pane(700, 520);
    wxBitmap bitmap(pane);
    PreviewGeometry g;
    {
        wxMemoryDC dc(bitmap);
        g = page->DrawPreview(dc, pane, 96);
    }
    const wxImage shot = bitmap.ConvertToImage();
    // Each cell of page 1 shows its image in the middle, framed in grey; the selected
    // one has the orange frame two pixels outside.
    for (size_t i = 0; i < 4; ++i) {
        const RECT r = page->Cells().Cell(i)->m_rcCell;
        EXPECT_EQ(r.right - r.left, g.cellWidth);
        const int cx = (r.left + r.right) / 2;
        const int cy = (r.top + r.bottom) / 2;
        EXPECT_TRUE(Near(shot, cx, cy, kColours[i], 8)) << i << ": " << ColourAt(shot, cx, cy);
        EXPECT_TRUE(Near(shot, r.left, cy - 40, Colour{192, 192, 192}, 2)) << i;
        EXPECT_EQ(Near(shot, r.left - 2, cy - 40, Colour{253, 146, 34}, 2), i == 2) << i;
    }
    EXPECT_TRUE(Near(shot, g.margin + 3, g.firstTop - 3, Colour{255, 255, 255}, 0)) << "white paper";
    EXPECT_TRUE(Near(shot, g.margin / 2, 300, Colour{123, 142, 148}, 0)) << "slate around the page";

    // Header buttons step the pages; a click between them does nothing.
    page->SetSize(pane);
    Mouse(page, wxEVT_LEFT_DOWN, {g.nextButtonX + 10, 10});
    EXPECT_EQ(page->Cells().CurrentPage(), 1);
    Mouse(page, wxEVT_LEFT_DOWN, {g.previousButtonX + 75, 10});
    EXPECT_EQ(page->Cells().CurrentPage(), 1);
    Mouse(page, wxEVT_LEFT_DOWN, {g.previousButtonX + 10, 10});
    EXPECT_EQ(page->Cells().CurrentPage(), 0);
}

class PrintJobTest : public PrintWindowTest {
protected:
    // Prints through a PostScript file and rasterises its pages at `dpi`.
    std::vector<wxImage> PrintPages(CPrintFrame* print, bool allPages, int dpi, wxPrintOrientation* orientation)
    {
        const fs::path file = dir / (allPages ? "all.ps" : "page.ps");
        print->SetPrintRunner([&](wxWindow*, wxPrintout& printout, wxPrintDialogData& data, bool&) {
            *orientation = data.GetPrintData().GetOrientation();
            EXPECT_EQ(data.GetPrintData().GetPaperId(), wxPAPER_A4);
            return lftest::PrintToPostScript(printout, data, file.string());
        });
        if (allPages)
            print->PrintAllPages();
        else
            print->PrintCurrentPage();
        return lftest::RasterisePostScript(file, dir / "pages", dpi);
    }
};

TEST_F(PrintJobTest, AllPagesPrintEachImageCentredInItsCell)
{
    CFolderItem* folder = MakeFolder(5);
    Select(folder, {0, 1, 2, 3, 4});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    UseLayout(print, 2, 2, 0);  // portrait

    constexpr int dpi = 50;
    wxPrintOrientation orientation = wxLANDSCAPE;
    const std::vector<wxImage> pages = PrintPages(print, true, dpi, &orientation);
    EXPECT_EQ(orientation, wxPORTRAIT);
    ASSERT_EQ(pages.size(), 2u);

    // A4 in inches; cells inside 0.5-inch margins with 0.25-inch gaps. The images
    // (60 x 40 at the screen's resolution, well under 1 inch) sit in the cells' middles.
    const double width = 210 / 25.4, height = 297 / 25.4;
    const double cellWidth = (width - 1.0 - 0.25) / 2, cellHeight = (height - 1.0 - 0.25) / 2;
    auto centre = [&](int row, int column) {
        return wxPoint(int((0.5 + column * (cellWidth + 0.25) + cellWidth / 2) * dpi),
                       int((0.5 + row * (cellHeight + 0.25) + cellHeight / 2) * dpi));
    };
    const Colour white{255, 255, 255};
    for (size_t p = 0; p < pages.size(); ++p) {
        const wxImage& shot = pages[p];
        EXPECT_NEAR(shot.GetWidth(), width * dpi, 2);
        for (int cell = 0; cell < 4; ++cell) {
            const size_t index = p * 4 + size_t(cell);
            const wxPoint c = centre(cell / 2, cell % 2);
            if (index < 5) {
                EXPECT_TRUE(Near(shot, c.x, c.y, kColours[index])) << "page " << p + 1 << " cell " << cell << ": "
                                                                   << ColourAt(shot, c.x, c.y);
                // Small images keep their size: a cell's corner stays white.
                EXPECT_TRUE(Near(shot, c.x - int(cellWidth * dpi / 2) + 3, c.y, white, 10));
            } else {
                EXPECT_TRUE(Near(shot, c.x, c.y, white, 10)) << "page " << p + 1 << " empty cell " << cell;
            }
        }
    }
    // The preview now has the proportions of the printable area.
    EXPECT_NEAR(print->GetPageView()->Cells().Layout().m_fPageWidth, width, 0.02);
}

TEST_F(PrintJobTest, CurrentPageOnlyWithLargeImagesReducedToTheirCell)
{
    CFolderItem* folder = MakeFolder(10, 400, 100);
    Select(folder, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    CQKPrintView* page = print->GetPageView();

    // A landscape layout goes to the print dialog as landscape A4.
    wxPrintOrientation orientation = wxPORTRAIT;
    print->SetPrintRunner([&](wxWindow*, wxPrintout&, wxPrintDialogData& data, bool&) {
        orientation = data.GetPrintData().GetOrientation();
        return false;
    });
    print->PrintCurrentPage();
    EXPECT_EQ(orientation, wxLANDSCAPE);

    UseLayout(print, 3, 3, 0);
    ASSERT_TRUE(page->Cells().NextPage());
    constexpr int dpi = 30;
    const std::vector<wxImage> pages = PrintPages(print, false, dpi, &orientation);
    ASSERT_EQ(pages.size(), 1u) << "the current page only";
    const wxImage& shot = pages[0];
    // Page 2 holds image 9 in its first cell. 400 x 100 pixels are over 4 inches wide,
    // more than the cell: reduced to the cell's width, 4:1, centred.
    const double width = 210 / 25.4, height = 297 / 25.4;
    const double cellWidth = (width - 1.5) / 3, cellHeight = (height - 1.5) / 3;
    const int cx = int((0.5 + cellWidth / 2) * dpi), cy = int((0.5 + cellHeight / 2) * dpi);
    const Colour colour = kColours[9 % 6];
    const Colour white{255, 255, 255};
    EXPECT_TRUE(Near(shot, cx, cy, colour)) << ColourAt(shot, cx, cy);
    EXPECT_TRUE(Near(shot, int(0.5 * dpi) + 2, cy, colour)) << "as wide as the cell";
    EXPECT_TRUE(Near(shot, int(0.5 * dpi) - 3, cy, white, 10));
    const int quarter = int(cellWidth / 4 * dpi);  // the image's height
    EXPECT_TRUE(Near(shot, cx, cy - quarter / 2 + 2, colour));
    EXPECT_TRUE(Near(shot, cx, cy - quarter / 2 - 3, white, 10)) << "kept to 4:1";
    EXPECT_TRUE(Near(shot, cx, cy + quarter / 2 + 3, white, 10));
    const int nextCell = int((0.5 + cellWidth * 1.5 + 0.25) * dpi);
    EXPECT_TRUE(Near(shot, nextCell, cy, white, 10)) << "no more images on page 2";
}

TEST_F(PrintWindowTest, ScreenshotOfAComposedPage)
{
    CFolderItem* folder = MakeFolder(6, 300, 200);
    // Thumbnails and dates as the manager's grid leaves them.
    for (size_t i = 0; i < folder->ImageCount(); ++i) {
        auto thumbnail = std::make_shared<ThumbnailPixels>();
        thumbnail->width = 90;
        thumbnail->height = 60;
        for (int p = 0; p < 90 * 60; ++p)
            thumbnail->rgb.insert(thumbnail->rgb.end(), {kColours[i].r, kColours[i].g, kColours[i].b});
        folder->Image(i)->SetThumbnails(thumbnail, thumbnail);
        folder->Image(i)->m_tLastWrite = int64_t(1767225600 + 86400 * int64_t(i)) * 1000000000;
    }
    Select(folder, {0, 1, 2, 3, 4});
    CPrintFrame* print = PrintPreview();
    ASSERT_NE(print, nullptr);
    folder->Image(5)->m_bMarkedForPrint = true;
    print->GetPageView()->PreviousPage();
    print->GetPageView()->Cells().Cell(1)->m_bSelected = true;
    print->SetSize(0, 0, 1200, 760);
    lftest::PumpFor(std::chrono::milliseconds(300));
    print->Refresh();
    print->Update();
    lftest::PumpFor(std::chrono::milliseconds(100));
    lftest::SaveScreenshot(fs::path(LF_BIN_DIR).parent_path() / "artefacts" / "print-window.png", wxSize(1200, 760));
}

}  // namespace
