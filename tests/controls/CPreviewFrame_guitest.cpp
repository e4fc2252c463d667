#include "controls/CPreviewFrame.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/dc.h>
#include <wx/display.h>
#include <wx/print.h>

namespace {

class OnePage : public wxPrintout {
public:
    bool HasPage(int page) override { return page == 1; }
    void GetPageInfo(int* minPage, int* maxPage, int* from, int* to) override
    {
        *minPage = *maxPage = *from = *to = 1;
    }
    bool OnPrintPage(int) override
    {
        GetDC()->DrawText("page", 10, 10);
        return true;
    }
};

// The frame is placed as the document framework places it: centred for its default size,
// then initialised, which sizes it to the page.
TEST(PreviewFrame, APreviewSizedToItsPageLiesWhollyOnTheScreen)
{
    auto* preview = new wxPrintPreview(new OnePage, new OnePage);
    ASSERT_TRUE(preview->IsOk());
    auto* frame = new CPreviewFrame(preview, nullptr, "Print Preview");
    frame->Centre(wxBOTH);
    frame->Initialize();
    frame->Show();
    const wxRect rect = lftest::PumpUntilSettled(*frame);
    const wxRect area = wxDisplay(0u).GetClientArea();
    EXPECT_TRUE(area.Contains(rect)) << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height << " on "
                                     << area.width << "x" << area.height;
    // Centred on the screen, not where the smaller default size was centred.
    EXPECT_NEAR(rect.x + rect.width / 2, area.x + area.width / 2, 2);
    EXPECT_NEAR(rect.y + rect.height / 2, area.y + area.height / 2, 2);
    frame->Destroy();
    lftest::PumpFor(std::chrono::milliseconds(20));
}

}  // namespace
