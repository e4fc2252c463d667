// The image view in a real main frame and child window under the test X server: best
// fit and zoom limits, crops made with mouse events compared with ImageMagick's crop,
// undo, copy through the clipboard, printing onto a page in memory, folder steps.
#include "editor/ui/CChildFrame.h"
#include "editor/ui/CMainFrame.h"
#include "editor/ui/CPixoroDoc.h"
#include "editor/ui/CPixoroDocTemplate.h"
#include "editor/model/CPixoroState.h"
#include "editor/ui/CPixoroView.h"
#include "image/CLfImage.h"
#include "image/gui/LfClipboard.h"
#include "resources/editor/EditorIds.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/docview.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Every pixel differs from its neighbours, so a crop one pixel off shows.
void WritePicture(const std::filesystem::path& path, int32_t w, int32_t h, uint32_t type)
{
    CLfImage img(w, h, 24);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            img.SetPixelColor(x, y, lftest::Rgb(uint8_t(x * 3 + y), uint8_t(y * 5), uint8_t((x ^ y) * 7)));
    ASSERT_TRUE(img.Save(path.string().c_str(), type)) << img.GetLastError();
}

bool SamePixels(const CLfImage& a, const CLfImage& b, std::string* where = nullptr)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) {
        if (where)
            *where = "sizes " + std::to_string(a.GetWidth()) + "x" + std::to_string(a.GetHeight()) + " and " +
                     std::to_string(b.GetWidth()) + "x" + std::to_string(b.GetHeight());
        return false;
    }
    for (int32_t y = 0; y < a.GetHeight(); ++y)
        for (int32_t x = 0; x < a.GetWidth(); ++x) {
            const RGBQUAD p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue) {
                if (where)
                    *where = "pixel " + std::to_string(x) + "," + std::to_string(y);
                return false;
            }
        }
    return true;
}

class PixoroViewTest : public ::testing::Test {
protected:
    lftest::TempDir dir;
    CPixoroState state{(dir / "settings.ini").string()};
    lftest::ScriptedPrompts prompts;
    std::unique_ptr<wxDocManager> manager = std::make_unique<wxDocManager>();
    CMainFrame* frame = nullptr;
    std::vector<std::pair<std::string, std::string>> boxes;

    void SetUp() override
    {
        new CPixoroDocTemplate(manager.get(), state, prompts);  // the manager owns it
        frame = new CMainFrame(manager.get());
        wxTheApp->SetTopWindow(frame);
        frame->Show();
    }
    void TearDown() override
    {
        for (wxDocument* doc : manager->GetDocumentsVector()) {
            doc->Modify(false);
            static_cast<CPixoroDoc*>(doc)->CloseDocument();
        }
        manager->CloseDocuments(true);
        frame->Destroy();
        lftest::PumpFor(50ms);
        wxTheApp->SetTopWindow(nullptr);
        manager.reset();
    }

    CPixoroDoc* Open(const std::filesystem::path& path)
    {
        wxDocument* doc = manager->CreateDocument(wxString::FromUTF8(path.string()), wxDOC_SILENT);
        auto* pixoro = dynamic_cast<CPixoroDoc*>(doc);
        if (pixoro)
            View(pixoro)->SetMessageSink([this](const std::string& t, const std::string& c) {
                boxes.emplace_back(t, c);
            });
        return pixoro;
    }
    static CPixoroView* View(CPixoroDoc* doc) { return dynamic_cast<CPixoroView*>(doc->GetFirstView()); }

    // Writes a picture, opens it and gives its window's client area the size.
    CPixoroView* OpenPicture(const std::filesystem::path& path, int32_t w, int32_t h, uint32_t type, wxSize client,
                             CPixoroDoc** docOut = nullptr)
    {
        WritePicture(path, w, h, type);
        CPixoroDoc* doc = Open(path);
        EXPECT_NE(doc, nullptr);
        if (!doc)
            return nullptr;
        if (docOut)
            *docOut = doc;
        CPixoroView* view = View(doc);
        SetClientSize(view, client);
        return view;
    }

    // Resizes the main window until the image window's client area has the size.
    void SetClientSize(CPixoroView* view, wxSize want)
    {
        for (int i = 0; i < 5; ++i) {
            lftest::PumpFor(30ms);
            const wxSize now = view->GetCanvas()->GetClientSize();
            if (now == want)
                break;
            frame->SetSize(frame->GetSize() + (want - now));
            lftest::PumpUntil([&] { return view->GetCanvas()->GetClientSize() == want; }, 1000ms);
        }
        ASSERT_EQ(view->GetCanvas()->GetClientSize(), want);
        lftest::PumpFor(50ms);
    }
    // Runs a command as the menu would.
    static void Command(CPixoroView* view, int id)
    {
        wxCommandEvent event(wxEVT_MENU, id);
        view->ProcessEvent(event);
        lftest::PumpFor(20ms);
    }
    // A paint into memory: the client area as the screen would show it.
    static wxImage Paint(CPixoroView* view)
    {
        const wxSize size = view->GetCanvas()->GetClientSize();
        wxBitmap bitmap(size, 24);
        wxMemoryDC dc(bitmap);
        view->OnDraw(&dc);
        dc.SelectObject(wxNullBitmap);
        return bitmap.ConvertToImage();
    }

    // Sends the canvas one mouse event as the toolkit would deliver it. (Input made
    // through the X server would reach whatever window of a test running alongside lies
    // on top at that point.)
    static void Mouse(wxWindow* canvas, wxEventType type, wxPoint at, bool leftDown)
    {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.m_leftDown = leftDown;
        event.SetEventObject(canvas);
        canvas->GetEventHandler()->ProcessEvent(event);
        lftest::PumpFor(10ms);
    }

    // Drags a crop box with the mouse from one client point to another and double
    // clicks inside it.
    void MouseCrop(CPixoroView* view, wxPoint from, wxPoint to)
    {
        wxWindow* canvas = view->GetCanvas();
        Command(view, ID_IMAGE_CROP);
        Mouse(canvas, wxEVT_MOTION, from, false);
        Mouse(canvas, wxEVT_LEFT_DOWN, from, true);
        for (int i = 1; i <= 4; ++i)
            Mouse(canvas, wxEVT_MOTION, from + (to - from) * i / 4, true);
        Mouse(canvas, wxEVT_LEFT_UP, to, false);
        ASSERT_EQ(view->Controller().ToolMode(), ImageViewController::kToolCropReady);
        lftest::PumpFor(150ms);  // the paint and the overlay timer show the box
        const wxPoint inside = (from + to) / 2;
        Mouse(canvas, wxEVT_MOTION, inside, false);
        Mouse(canvas, wxEVT_LEFT_DOWN, inside, true);
        Mouse(canvas, wxEVT_LEFT_UP, inside, false);
        Mouse(canvas, wxEVT_LEFT_DCLICK, inside, true);
        Mouse(canvas, wxEVT_LEFT_UP, inside, false);
        ASSERT_EQ(view->Controller().ToolMode(), ImageViewController::kToolScroll);
        lftest::PumpFor(50ms);
    }

    // ImageMagick's crop of the box of image pixels under the client points.
    CLfImage ExpectedCrop(const std::filesystem::path& source, CPixoroView* view, wxPoint from, wxPoint to)
    {
        const ImageViewController& c = view->Controller();
        const POINT offset = c.CanvasOffset();
        const POINT origin = c.ImageOrigin();
        const double s = c.ActiveScale();
        const int left = int(std::floor((from.x + offset.x - origin.x) / s + 1e-3));
        const int top = int(std::floor((from.y + offset.y - origin.y) / s + 1e-3));
        const int right = int(std::ceil((to.x + offset.x - origin.x) / s - 1e-3));
        const int bottom = int(std::ceil((to.y + offset.y - origin.y) / s - 1e-3));
        const auto out = dir / "expected.png";
        const std::string command = "convert '" + source.string() + "' -crop " + std::to_string(right - left) + "x" +
                                    std::to_string(bottom - top) + "+" + std::to_string(left) + "+" +
                                    std::to_string(top) + " +repage '" + out.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        CLfImage expected;
        EXPECT_TRUE(expected.Load(out.string().c_str(), 0)) << expected.GetLastError();
        return expected;
    }
};

TEST_F(PixoroViewTest, LargeImageBestFitsAtOneFifthAndZoomStopsAtTheLimitWithOneBeep)
{
    const auto path = dir / "large.bmp";
    CPixoroDoc* doc = nullptr;
    CPixoroView* view = OpenPicture(path, 4000, 3000, 1, {800, 600}, &doc);
    ASSERT_NE(view, nullptr);
    lftest::PumpFor(50ms);
    Paint(view);
    EXPECT_FLOAT_EQ(view->GetZoom(), 0.2f);
    EXPECT_EQ(view->Controller().DisplaySize().cx, 800);

    Command(view, ID_VIEW_ZOOMOUT);
    EXPECT_EQ(view->BeepCount(), 1);
    EXPECT_FLOAT_EQ(view->GetZoom(), 0.2f);

    Command(view, ID_VIEW_ZOOMIN);
    Paint(view);
    EXPECT_NEAR(view->GetZoom(), 0.4, 1e-5);
    EXPECT_EQ(view->BeepCount(), 1);
    EXPECT_EQ(state.m_nViewMode, 0);
}

TEST_F(PixoroViewTest, SmallImageIsCentredOnGreyAndPaintsReuseThePicture)
{
    const auto path = dir / "small.png";
    CPixoroDoc* doc = nullptr;
    CPixoroView* view = OpenPicture(path, 200, 100, 4, {400, 300}, &doc);
    ASSERT_NE(view, nullptr);
    const wxImage shot = Paint(view);
    EXPECT_FLOAT_EQ(view->GetZoom(), 1.0f);
    // Grey around, the image's pixels from (100, 100).
    EXPECT_EQ(shot.GetRed(5, 5), 70);
    EXPECT_EQ(shot.GetGreen(399, 299), 70);
    EXPECT_EQ(shot.GetRed(99, 150), 70);
    const RGBQUAD first = doc->GetImage()->GetPixelColor(0, 99);  // top-left pixel
    EXPECT_EQ(shot.GetRed(100, 100), first.rgbRed);
    EXPECT_EQ(shot.GetGreen(100, 100), first.rgbGreen);
    EXPECT_EQ(shot.GetBlue(100, 100), first.rgbBlue);
    const RGBQUAD last = doc->GetImage()->GetPixelColor(199, 0);
    EXPECT_EQ(shot.GetBlue(299, 199), last.rgbBlue);
    EXPECT_EQ(shot.GetRed(300, 199), 70);

    const int builds = view->PictureBuilds();
    for (int i = 0; i < 5; ++i)
        Paint(view);
    EXPECT_EQ(view->PictureBuilds(), builds) << "a paint without a change reuses the picture";
    Command(view, ID_VIEW_ZOOMIN);
    Paint(view);
    Paint(view);
    EXPECT_EQ(view->PictureBuilds(), builds + 1) << "once per zoom level";
}

TEST_F(PixoroViewTest, MouseCropsMatchImageMagickAndUndoRestores)
{
    const auto path = dir / "photo.png";
    CPixoroDoc* doc = nullptr;
    CPixoroView* view = OpenPicture(path, 640, 480, 4, {800, 600}, &doc);
    ASSERT_NE(view, nullptr);
    CLfImage original;
    ASSERT_TRUE(original.Load(path.string().c_str(), 0));

    // 1.0: the image is centred at (80, 60).
    Command(view, ID_VIEW_BESTFIT);  // in best fit: full size
    Paint(view);
    ASSERT_FLOAT_EQ(view->GetZoom(), 1.0f);
    const wxPoint a(130, 100), b(331, 251);
    CLfImage expected = ExpectedCrop(path, view, a, b);
    MouseCrop(view, a, b);
    std::string where;
    EXPECT_TRUE(SamePixels(*doc->GetImage(), expected, &where)) << "at 1.0: " << where;
    EXPECT_EQ(doc->GetUndo().Count(), 1);
    ASSERT_TRUE(doc->UndoEdit());
    lftest::PumpFor(30ms);
    EXPECT_TRUE(SamePixels(*doc->GetImage(), original, &where)) << "undo: " << where;

    // 1.6: three steps in from 1.0; the view scrolls.
    Paint(view);
    for (int i = 0; i < 3; ++i) {
        Command(view, ID_VIEW_ZOOMIN);
        Paint(view);
    }
    ASSERT_NEAR(view->GetZoom(), 1.6, 1e-4);
    const wxPoint c(37, 45), d(418, 333);
    expected = ExpectedCrop(path, view, c, d);
    MouseCrop(view, c, d);
    EXPECT_TRUE(SamePixels(*doc->GetImage(), expected, &where)) << "at 1.6: " << where;
    Paint(view);
    EXPECT_NEAR(view->GetZoom(), 1.6, 1e-4) << "the view returns to the zoom of the crop";
    ASSERT_TRUE(doc->UndoEdit());
    lftest::PumpFor(30ms);
    EXPECT_TRUE(SamePixels(*doc->GetImage(), original, &where)) << "undo: " << where;
}

TEST_F(PixoroViewTest, MouseCropAtBestFitAndABoxFromTheCorner)
{
    const auto path = dir / "wide.png";
    CPixoroDoc* doc = nullptr;
    CPixoroView* view = OpenPicture(path, 1600, 1200, 4, {800, 600}, &doc);
    ASSERT_NE(view, nullptr);
    Paint(view);
    ASSERT_FLOAT_EQ(view->GetZoom(), 0.5f);
    ASSERT_EQ(view->Controller().ImageOrigin().x, 0);
    // From the image's very first pixel at (0, 0).
    const wxPoint a(0, 0), b(301, 203);
    const CLfImage expected = ExpectedCrop(path, view, a, b);
    MouseCrop(view, a, b);
    std::string where;
    EXPECT_EQ(doc->GetImage()->GetWidth(), 602);
    EXPECT_TRUE(SamePixels(*doc->GetImage(), expected, &where)) << where;
    EXPECT_EQ(state.m_nViewMode, 1);
}

TEST_F(PixoroViewTest, CopyPutsTheSamePixelsOnTheClipboard)
{
    const auto path = dir / "copy.png";
    WritePicture(path, 97, 61, 4);
    CPixoroDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    CPixoroView* view = View(doc);
    Command(view, ID_EDIT_COPY);
    EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : boxes[0].first);
    CLfImage back;
    ASSERT_TRUE(lfclip::PasteImage(back));
    std::string where;
    EXPECT_TRUE(SamePixels(back, *doc->GetImage(), &where)) << where;
}

TEST_F(PixoroViewTest, LandscapePrintedOnAPortraitPageIsCentred)
{
    const auto path = dir / "landscape.bmp";
    CLfImage solid(400, 300, 24);
    for (int32_t y = 0; y < 300; ++y)
        for (int32_t x = 0; x < 400; ++x)
            solid.SetPixelColor(x, y, lftest::Rgb(200, 30, 40));
    ASSERT_TRUE(solid.Save(path.string().c_str(), 1));
    CPixoroDoc* doc = Open(path);
    ASSERT_NE(doc, nullptr);
    std::unique_ptr<wxPrintout> printout(View(doc)->OnCreatePrintout());
    ASSERT_NE(printout, nullptr);

    const int pw = 850, ph = 1100;
    wxBitmap page(pw, ph, 24);
    wxMemoryDC dc(page);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    printout->SetDC(&dc);
    printout->SetPageSizePixels(pw, ph);
    printout->SetPaperRectPixels(wxRect(0, 0, pw, ph));
    printout->SetPPIScreen(96, 96);
    printout->SetPPIPrinter(96, 96);
    int minPage = 0, maxPage = 0, from = 0, to = 0;
    printout->GetPageInfo(&minPage, &maxPage, &from, &to);
    EXPECT_EQ(maxPage, 1);
    ASSERT_TRUE(printout->OnPrintPage(1));
    dc.SelectObject(wxNullBitmap);
    const wxImage shot = page.ConvertToImage();

    // 850 wide, 637 high, centred: rows 232 .. 868.
    auto isImage = [&](int x, int y) { return shot.GetRed(x, y) == 200 && shot.GetGreen(x, y) == 30; };
    auto isWhite = [&](int x, int y) { return shot.GetRed(x, y) == 255 && shot.GetBlue(x, y) == 255; };
    EXPECT_TRUE(isImage(0, 550));
    EXPECT_TRUE(isImage(849, 550));
    EXPECT_TRUE(isImage(425, 232));
    EXPECT_TRUE(isImage(425, 868));
    EXPECT_TRUE(isWhite(425, 231));
    EXPECT_TRUE(isWhite(425, 869));
    EXPECT_TRUE(isWhite(0, 100));
    EXPECT_TRUE(isWhite(849, 1000));
}

TEST_F(PixoroViewTest, StepsStopAtTheEndAndACorruptFileIsSteppedPast)
{
    WritePicture(dir / "a.png", 50, 40, 4);
    lftest::WriteText(dir / "b.png", "not a picture at all");
    WritePicture(dir / "c.png", 60, 30, 4);
    const std::string first = (dir / "a.png").string();
    CPixoroDoc* doc = Open(dir / "a.png");
    ASSERT_NE(doc, nullptr);
    CPixoroView* view = View(doc);
    ASSERT_EQ(doc->GetFiles().Count(), 3);

    Command(view, ID_VIEW_PREVIOUS);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "No more files to display.");
    EXPECT_EQ(boxes[0].second, "Previous");

    // b.png cannot be read: the picture shown stays, the position moves past it.
    Command(view, ID_VIEW_NEXT);
    EXPECT_EQ(state.m_strCurrentPath, first);
    EXPECT_EQ(doc->m_nCurrentFile, 1);
    EXPECT_EQ(doc->GetImage()->GetWidth(), 50);
    EXPECT_FALSE(prompts.messages.empty()) << "the document says why";
    const size_t said = prompts.messages.size();

    // The next press goes on from there to c.png, without the message again.
    Command(view, ID_VIEW_NEXT);
    ASSERT_TRUE(lftest::PumpUntil([&] { return doc->GetImage()->GetWidth() == 60; }));
    EXPECT_EQ(doc->m_nCurrentFile, 2);
    EXPECT_EQ(prompts.messages.size(), said);

    Command(view, ID_VIEW_NEXT);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].first, "No more files to display.");
    EXPECT_EQ(boxes[1].second, "Next");
    EXPECT_EQ(doc->GetImage()->GetWidth(), 60);
}

}  // namespace
