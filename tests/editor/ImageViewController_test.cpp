#include "editor/model/ImageViewController.h"

#include "image/CLfImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// The application's and document's fields, and a window and document that record
// what the view asks of them.
struct FakeView : ImageViewController::Host {
    int viewMode = 1;
    int fitMode = 50;
    bool stepped = false;
    bool suspended = false;
    bool imageLoaded = false;
    bool refit = true;
    bool newLayout = true;
    bool sizeChanged = false;

    std::unique_ptr<CLfImage> image;
    int beeps = 0;
    std::vector<std::pair<std::string, std::string>> messages;
    std::vector<RECT> crops;
    bool cropWorks = true;
    int currentFile = -1;
    int fileCount = 0;
    std::vector<int> steps;
    bool stepWorks = true;
    ViewCursor cursor = ViewCursor::Arrow;
    std::string status;
    POINT scrolledTo{};
    ImageViewController* view = nullptr;

    ViewLinks Links()
    {
        return {viewMode, fitMode, stepped, suspended, imageLoaded, refit, newLayout, sizeChanged};
    }
    void ApplyScrollBars(SIZE, SIZE, SIZE, POINT) override {}
    void ScrollTo(POINT p) override { scrolledTo = p; }
    void InvalidateView(bool) override {}
    void Beep() override { ++beeps; }
    void SetViewCursor(ViewCursor c) override { cursor = c; }
    void SetStatusText(const std::string& text) override { status = text; }
    void ShowMessage(const std::string& text, const std::string& caption) override
    {
        messages.emplace_back(text, caption);
    }
    const CLfImage* Image() const override { return image.get(); }
    void UpdateStatus() override {}
    bool CropImage(RECT r) override
    {
        crops.push_back(r);
        if (!cropWorks || !image->Crop(r.left, r.top, r.right, r.bottom))
            return false;
        sizeChanged = true;
        view->OnUpdate(0);
        return true;
    }
    int CurrentFile() const override { return currentFile; }
    int FileCount() const override { return fileCount; }
    bool StepToFile(int index) override
    {
        steps.push_back(index);
        if (!stepWorks)
            return false;
        currentFile = index;
        sizeChanged = imageLoaded = newLayout = true;
        view->OnUpdate(1001);
        return true;
    }
};

struct ViewFixture : ::testing::Test {
    FakeView fake;
    ZoomMapping zoom;
    std::unique_ptr<ImageViewController> view;

    void Open(int32_t w, int32_t h, SIZE client = {800, 600})
    {
        fake.image = std::make_unique<CLfImage>(w, h, 24);
        zoom = ZoomMapping();
        view = std::make_unique<ImageViewController>(fake, fake.Links(), zoom);
        fake.view = view.get();
        view->OnSize(client);
        view->PreparePaint();
    }
    float Scale() const { return view->ActiveScale(); }
    // A press, a drag and a release in the crop tool, then a double click.
    void CropDrag(POINT from, POINT to)
    {
        view->OnCrop();
        view->OnLButtonDown(from);
        view->OnMouseMove({(from.x + to.x) / 2, (from.y + to.y) / 2}, true);
        view->OnMouseMove(to, true);
        view->OnLButtonUp(to);
        view->PreparePaint();
        view->OnLButtonDblClk(to);
    }
};

using ImageViewControllerTest = ViewFixture;

TEST_F(ImageViewControllerTest, LargeImageBestFitsThenZoomsInTheGrid)
{
    Open(4000, 3000);
    EXPECT_FLOAT_EQ(Scale(), 0.2f);
    EXPECT_EQ(view->DisplaySize().cx, 800);
    EXPECT_EQ(view->DisplaySize().cy, 600);
    EXPECT_EQ(fake.fitMode, 51);

    view->OnZoomOut();
    EXPECT_EQ(fake.beeps, 1) << "one beep at the limit";
    EXPECT_FLOAT_EQ(Scale(), 0.2f);

    view->OnZoomIn();
    view->PreparePaint();
    EXPECT_NEAR(Scale(), 0.4f, 1e-5);
    EXPECT_EQ(fake.viewMode, 0) << "zooming leaves best fit";
    EXPECT_TRUE(fake.suspended);
    EXPECT_EQ(view->DisplaySize().cx, 1600);
}

TEST_F(ImageViewControllerTest, SmallImageIsShownFullSizeAndCentred)
{
    Open(300, 200);
    EXPECT_FLOAT_EQ(Scale(), 1.0f);
    EXPECT_EQ(view->ImageOrigin().x, 250);
    EXPECT_EQ(view->ImageOrigin().y, 200);
    const RECT area = view->VisibleDisplayArea();
    EXPECT_EQ(area.left, -250);
    EXPECT_EQ(area.top, -200);
    EXPECT_EQ(area.right - area.left, 800);
}

TEST_F(ImageViewControllerTest, BestFitIsTheLargestScaleThatFits)
{
    struct Case {
        int32_t w, h;
        SIZE client;
    };
    const Case cases[] = {{4000, 3000, {800, 600}}, {1000, 3000, {800, 600}}, {3000, 1000, {800, 600}},
                          {801, 601, {800, 600}},   {6000, 4000, {1000, 750}}, {40000, 300, {800, 600}}};
    for (const Case& c : cases) {
        Open(c.w, c.h, c.client);
        const SIZE d = view->DisplaySize();
        EXPECT_LE(d.cx, c.client.cx) << c.w << "x" << c.h;
        EXPECT_LE(d.cy, c.client.cy) << c.w << "x" << c.h;
        EXPECT_TRUE(d.cx >= c.client.cx - 1 || d.cy >= c.client.cy - 1) << c.w << "x" << c.h << " fills one side";
        EXPECT_LT(Scale(), 1.0f);
    }
}

TEST_F(ImageViewControllerTest, SnappingLeavesBestFitOnTheGrid)
{
    struct Case {
        float reduce;
        float in, out;
    };
    const Case cases[] = {{0.37f, 0.2f, 0.4f}, {0.4f, 0.4f, 0.4f}, {0.2f, 0.2f, 0.2f},
                          {0.99f, 0.8f, 1.0f}, {0.05f, 0.2f, 0.2f}};
    Open(100, 100);
    for (const Case& c : cases) {
        view->Zoom().SetReduce(c.reduce);
        EXPECT_NEAR(view->SnapToZoomGrid(true), c.in, 1e-6) << c.reduce;
        EXPECT_FLOAT_EQ(view->Zoom().Zoom(), view->Zoom().Reduce());
        view->Zoom().SetReduce(c.reduce);
        EXPECT_NEAR(view->SnapToZoomGrid(false), c.out, 1e-6) << c.reduce;
        EXPECT_TRUE(fake.imageLoaded);
    }
}

TEST_F(ImageViewControllerTest, ZoomInStopsAtTheUpperLimitWithOneBeep)
{
    Open(200, 150);
    view->OnFullSize();
    view->PreparePaint();
    int steps = 0;
    while (fake.beeps == 0 && steps < 20) {
        view->OnZoomIn();
        view->PreparePaint();
        ++steps;
    }
    EXPECT_EQ(steps, 11) << "ten steps from 1.0 to 3.0, the eleventh refused";
    EXPECT_NEAR(Scale(), 3.0f, 1e-4);
    EXPECT_EQ(view->DisplaySize().cx, 600);
    EXPECT_EQ(fake.beeps, 1);
}

TEST_F(ImageViewControllerTest, ZoomOutFromFullSizeStepsDownToTheSmallestScale)
{
    Open(2000, 1000);
    view->OnFullSize();
    view->PreparePaint();
    const float expected[] = {0.8f, 0.6f, 0.4f, 0.2f};
    for (float e : expected) {
        view->OnZoomOut();
        view->PreparePaint();
        EXPECT_NEAR(Scale(), e, 1e-4);
    }
    EXPECT_EQ(fake.beeps, 0);
    view->OnZoomOut();
    EXPECT_EQ(fake.beeps, 1);
    EXPECT_NEAR(Scale(), 0.2f, 1e-4);
}

TEST_F(ImageViewControllerTest, ZoomKeepsTheImagePointAtTheCentre)
{
    Open(2000, 2000);
    view->OnFullSize();
    view->PreparePaint();
    view->OnScrolled({600, 700});  // centre shows image pixel (1000, 1000)
    view->OnZoomIn();
    view->PreparePaint();
    const POINT scroll = view->Zoom().ScrollPosition();
    EXPECT_NEAR((scroll.x + 400) / Scale(), 1000, 1.5);
    EXPECT_NEAR((scroll.y + 300) / Scale(), 1000, 1.5);
}

TEST_F(ImageViewControllerTest, ZoomingOutOfBestFitKeepsTheImageCentre)
{
    Open(4000, 3000, {765, 480});  // best fit about 0.16, centred at x = 56
    ASSERT_GT(view->ImageOrigin().x, 0);
    for (int i = 0; i < 5; ++i) {
        view->OnZoomIn();
        view->PreparePaint();
    }
    ASSERT_NEAR(Scale(), 1.2f, 1e-4);
    POINT scroll = view->Zoom().ScrollPosition();
    EXPECT_NEAR((scroll.x + 765 / 2) / Scale(), 2000, 2);
    EXPECT_NEAR((scroll.y + 480 / 2) / Scale(), 1500, 2);
    // Scroll bars appear and take some of the client area.
    view->OnSize({750, 465});
    view->PreparePaint();
    scroll = view->Zoom().ScrollPosition();
    EXPECT_NEAR((scroll.x + 750 / 2) / Scale(), 2000, 8);
    EXPECT_NEAR((scroll.y + 465 / 2) / Scale(), 1500, 8);
}

TEST_F(ImageViewControllerTest, FullSizeNeverReloadsTheFile)
{
    Open(4000, 3000);
    fake.stepped = true;
    fake.currentFile = 0;
    fake.fileCount = 3;
    view->OnBestFit();  // in best fit: full size
    view->PreparePaint();
    EXPECT_TRUE(fake.steps.empty());
    EXPECT_FALSE(fake.stepped);
    EXPECT_FLOAT_EQ(Scale(), 1.0f);
    EXPECT_EQ(fake.viewMode, 0);
    EXPECT_EQ(fake.fitMode, 50);
    view->OnBestFit();
    EXPECT_FLOAT_EQ(Scale(), 0.2f);
    EXPECT_EQ(fake.viewMode, 1);
}

TEST_F(ImageViewControllerTest, FitWidthAndHeightShrinkOnly)
{
    Open(1600, 400);
    view->OnFullSize();
    view->PreparePaint();
    view->OnFitWidth();
    EXPECT_FLOAT_EQ(Scale(), 0.5f);
    EXPECT_EQ(fake.fitMode, 51);
    view->OnFitHeight();  // 600 / 400 = 1.5 is not smaller: nothing changes
    EXPECT_FLOAT_EQ(Scale(), 0.5f);
    EXPECT_EQ(fake.fitMode, 51);
}

TEST_F(ImageViewControllerTest, DragScrollingMovesBothWaysAndBackToZero)
{
    Open(2000, 1500);
    view->OnFullSize();
    view->PreparePaint();
    view->OnLButtonDown({400, 300});
    view->OnMouseMove({300, 250}, true);
    EXPECT_EQ(view->Zoom().ScrollPosition().x, 100);
    EXPECT_EQ(view->Zoom().ScrollPosition().y, 50);
    EXPECT_EQ(fake.cursor, ViewCursor::Hand);
    view->OnMouseMove({450, 350}, true);
    EXPECT_EQ(view->Zoom().ScrollPosition().x, 0) << "dragging can scroll back to 0 on both axes";
    EXPECT_EQ(view->Zoom().ScrollPosition().y, 0);
    view->OnLButtonUp({450, 350});
    view->OnMouseMove({100, 100}, false);
    EXPECT_EQ(view->Zoom().ScrollPosition().x, 0);
}

// Crops: the rectangle handed to the document is the image pixels under the box.
TEST_F(ImageViewControllerTest, CropRectanglesAtSeveralScales)
{
    // 1.0, image 640 x 480 centred in 800 x 600 at (80, 60).
    Open(640, 480);
    CropDrag({100, 80}, {300, 200});
    ASSERT_EQ(fake.crops.size(), 1u);
    EXPECT_EQ(fake.crops[0].left, 20);
    EXPECT_EQ(fake.crops[0].top, 20);
    EXPECT_EQ(fake.crops[0].right, 220);
    EXPECT_EQ(fake.crops[0].bottom, 140);
    EXPECT_EQ(fake.image->GetWidth(), 200);
    EXPECT_EQ(view->ToolMode(), ImageViewController::kToolScroll);
    EXPECT_EQ(fake.status, "") << "the crop hint goes with the crop tool";

    // Best fit 0.2: 4000 x 3000 in 800 x 600.
    Open(4000, 3000);
    CropDrag({10, 20}, {410, 320});
    ASSERT_EQ(fake.crops.size(), 2u);
    EXPECT_EQ(fake.crops[1].left, 50);
    EXPECT_EQ(fake.crops[1].top, 100);
    EXPECT_EQ(fake.crops[1].right, 2050);
    EXPECT_EQ(fake.crops[1].bottom, 1600);
    EXPECT_NEAR(Scale(), 0.4f, 1e-6) << "best fit fits the cropped image anew";
    EXPECT_EQ(fake.viewMode, 1);
}

TEST_F(ImageViewControllerTest, CropAtOnePointSixReturnsToOnePointSix)
{
    Open(1000, 800);
    view->OnFullSize();
    view->PreparePaint();
    for (int i = 0; i < 3; ++i) {
        view->OnZoomIn();
        view->PreparePaint();
    }
    ASSERT_NEAR(Scale(), 1.6f, 1e-4);
    const POINT scroll = view->Zoom().ScrollPosition();
    CropDrag({17, 33}, {401, 250});
    ASSERT_EQ(fake.crops.size(), 1u);
    // Image pixel x covers scroll + 1.6 x .. scroll + 1.6 (x + 1).
    EXPECT_EQ(fake.crops[0].left, int(std::floor((17 + scroll.x) / 1.6)));
    EXPECT_EQ(fake.crops[0].top, int(std::floor((33 + scroll.y) / 1.6)));
    EXPECT_EQ(fake.crops[0].right, int(std::ceil((401 + scroll.x) / 1.6 - 1e-6)));
    EXPECT_EQ(fake.crops[0].bottom, int(std::ceil((250 + scroll.y) / 1.6 - 1e-6)));
    EXPECT_NEAR(Scale(), 1.6f, 1e-4) << "the zoom comes back after the crop";
    EXPECT_EQ(fake.beeps, 0);
}

TEST_F(ImageViewControllerTest, BoxFromTheImageCornerIsCropped)
{
    Open(4000, 3000);  // best fit fills the client area: the image starts at (0, 0)
    CropDrag({0, 0}, {40, 30});
    ASSERT_EQ(fake.crops.size(), 1u);
    EXPECT_EQ(fake.crops[0].left, 0);
    EXPECT_EQ(fake.crops[0].top, 0);
    EXPECT_EQ(fake.crops[0].right, 200);
    EXPECT_EQ(fake.crops[0].bottom, 150);
}

TEST_F(ImageViewControllerTest, BoxBeyondTheImageIsClampedOnRelease)
{
    Open(640, 480);  // at (80, 60) .. (720, 540)
    view->OnCrop();
    view->OnLButtonDown({100, 100});
    view->OnMouseMove({790, 590}, true);
    EXPECT_EQ(view->Tracker().Box().right, 790) << "drawn even outside the image";
    view->OnLButtonUp({790, 590});
    EXPECT_EQ(view->ToolMode(), ImageViewController::kToolCropReady);
    EXPECT_EQ(view->Tracker().Box().right, 720);
    EXPECT_EQ(view->Tracker().Box().bottom, 540);
    EXPECT_FALSE(view->HideCropBox());
}

TEST_F(ImageViewControllerTest, DoubleClickWithoutABoxAbandonsTheCrop)
{
    Open(640, 480);
    view->OnCrop();
    EXPECT_TRUE(view->UpdateCropTick());
    EXPECT_EQ(fake.status, "Drag cursor over image and double click box to crop.");
    view->OnLButtonDblClk({200, 200});
    EXPECT_EQ(view->ToolMode(), ImageViewController::kToolScroll);
    EXPECT_TRUE(fake.crops.empty());
    EXPECT_FALSE(view->UpdateCropTick());
    EXPECT_EQ(fake.status, "");
}

TEST_F(ImageViewControllerTest, CropBoxHandlesResizeAndMove)
{
    Open(640, 480);  // image at (80, 60)
    view->OnCrop();
    view->OnLButtonDown({100, 100});
    view->OnMouseMove({300, 200}, true);
    view->OnLButtonUp({300, 200});
    // Hover the bottom-right corner, drag it.
    view->OnMouseMove({301, 201}, false);
    EXPECT_EQ(fake.cursor, ViewCursor::SizeNWSE);
    view->OnLButtonDown({301, 201});
    view->OnMouseMove({400, 260}, true);
    EXPECT_EQ(fake.cursor, ViewCursor::Cross);
    view->OnLButtonUp({400, 260});
    EXPECT_EQ(view->Tracker().Box().right, 400);
    EXPECT_EQ(view->Tracker().Box().bottom, 260);
    // Move from inside: the whole box shifts.
    view->OnMouseMove({150, 150}, false);
    EXPECT_EQ(fake.cursor, ViewCursor::SizeAll);
    view->OnLButtonDown({150, 150});
    view->OnMouseMove({160, 170}, true);
    view->OnLButtonUp({160, 170});
    EXPECT_EQ(view->Tracker().Box().left, 110);
    EXPECT_EQ(view->Tracker().Box().top, 120);
    EXPECT_EQ(view->Tracker().Box().right, 410);
    // A press away from the box drops it and arms the tool again.
    view->OnLButtonDown({600, 500});
    EXPECT_EQ(view->ToolMode(), ImageViewController::kToolCropArmed);
    EXPECT_FALSE(view->Tracker().HasBox());
}

TEST_F(ImageViewControllerTest, FailedCropChangesNothing)
{
    Open(640, 480);
    fake.cropWorks = false;
    CropDrag({100, 80}, {300, 200});
    EXPECT_EQ(fake.crops.size(), 1u);
    EXPECT_EQ(fake.image->GetWidth(), 640);
    EXPECT_EQ(fake.beeps, 1);
    EXPECT_EQ(view->ToolMode(), ImageViewController::kToolCropReady) << "the box stays for another try";
}

TEST_F(ImageViewControllerTest, StepsStopAtTheEndsOfTheFolder)
{
    Open(640, 480);
    fake.fileCount = 3;
    fake.currentFile = 2;
    view->OnNext();
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].first, "No more files to display.");
    EXPECT_EQ(fake.messages[0].second, "Next");
    EXPECT_TRUE(fake.steps.empty());
    EXPECT_TRUE(fake.stepped);

    view->OnPrevious();
    ASSERT_EQ(fake.steps.size(), 1u);
    EXPECT_EQ(fake.steps[0], 1);
    fake.currentFile = 0;
    view->OnPrevious();
    EXPECT_EQ(fake.messages.back().second, "Previous");

    fake.currentFile = -1;
    view->OnNext();
    EXPECT_EQ(fake.steps.size(), 1u) << "no current file: nothing happens";
    EXPECT_EQ(fake.messages.size(), 2u);
}

TEST_F(ImageViewControllerTest, StepReturnsToBestFitAfterAZoom)
{
    Open(4000, 3000);
    fake.fileCount = 2;
    fake.currentFile = 0;
    view->OnZoomIn();
    view->PreparePaint();
    ASSERT_EQ(fake.viewMode, 0);
    view->OnNext();
    view->PreparePaint();
    EXPECT_EQ(fake.viewMode, 1);
    EXPECT_FALSE(fake.suspended);
    EXPECT_FLOAT_EQ(Scale(), 0.2f);
}

TEST(ImageViewControllerPrint, ImageIsCentredAtTheLargestSizeThatFits)
{
    struct Case {
        SIZE image, page;
        RECT want;
    };
    const Case cases[] = {
        {{4000, 3000}, {850, 1100}, {0, 232, 850, 869}},    // landscape on portrait: full width, centred
        {{3000, 4000}, {850, 1100}, {13, 0, 838, 1100}},    // portrait: full height, centred
        {{400, 300}, {800, 600}, {0, 0, 800, 600}},         // same proportions: the whole page
        {{10, 10}, {850, 1100}, {0, 125, 850, 975}},        // small images grow to the page
        {{0, 300}, {850, 1100}, {0, 0, 0, 0}},
        {{400, 300}, {0, 1100}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const RECT r = ImageViewController::PrintPlacement(c.image, c.page);
        EXPECT_EQ(r.left, c.want.left) << c.image.cx << "x" << c.image.cy;
        EXPECT_EQ(r.top, c.want.top) << c.image.cx << "x" << c.image.cy;
        EXPECT_EQ(r.right, c.want.right) << c.image.cx << "x" << c.image.cy;
        EXPECT_EQ(r.bottom, c.want.bottom) << c.image.cx << "x" << c.image.cy;
    }
}

}  // namespace
