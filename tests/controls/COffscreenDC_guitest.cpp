#include "controls/COffscreenDC.h"

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/cmndata.h>
#include <wx/dcmemory.h>
#include <wx/dcps.h>
#include <wx/filename.h>
#include <wx/image.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

const wxColour kPaper(1, 2, 3);
const wxColour kBackground(200, 210, 220);

// A scene with shapes that cross the clip box's edges, in logical coordinates.
void DrawScene(wxDC& dc)
{
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour(255, 0, 0)));
    dc.DrawRectangle(0, 0, 12, 9);
    dc.SetBrush(wxBrush(wxColour(0, 0, 255)));
    dc.DrawRectangle(10, 8, 30, 4);
    dc.SetPen(wxPen(wxColour(0, 128, 0), 1));
    dc.DrawLine(0, 20, 40, 20);
}

// A target bitmap filled with kPaper, prepared by setUp, drawn on by draw.
wxImage Render(const std::function<void(wxDC&)>& setUp, const std::function<void(wxDC&)>& draw)
{
    wxBitmap bitmap(40, 30, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(kPaper));
        dc.Clear();
        dc.SetBackground(wxBrush(kBackground));
        setUp(dc);
        draw(dc);
    }
    return bitmap.ConvertToImage();
}

// Direct drawing as the off-screen context shows it: the clip box pre-filled first.
void DrawDirect(wxDC& dc)
{
    wxRect box;
    dc.GetClippingBox(box);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(kBackground));
    dc.DrawRectangle(box);
    DrawScene(dc);
}

void DrawOffscreen(wxDC& dc)
{
    COffscreenDC off(&dc);
    EXPECT_TRUE(off.IsMemoryMode());
    DrawScene(off.GetDrawDC());
}

std::string Pixel(const wxImage& image, int x, int y)
{
    return std::to_string(image.GetRed(x, y)) + "," + std::to_string(image.GetGreen(x, y)) + "," +
           std::to_string(image.GetBlue(x, y));
}

void ExpectSameImages(const wxImage& a, const wxImage& b)
{
    ASSERT_EQ(a.GetSize(), b.GetSize());
    for (int y = 0; y < a.GetHeight(); ++y)
        for (int x = 0; x < a.GetWidth(); ++x)
            ASSERT_EQ(Pixel(a, x, y), Pixel(b, x, y)) << x << "," << y;
}

}  // namespace

TEST(COffscreenDC, ClippedTargetGetsTheSamePixelsAndNothingOutsideTheClip)
{
    const auto clip = [](wxDC& dc) { dc.SetClippingRegion(5, 6, 20, 10); };
    const wxImage direct = Render(clip, DrawDirect);
    const wxImage buffered = Render(clip, DrawOffscreen);
    ExpectSameImages(buffered, direct);
    const std::string paper = Pixel(buffered, 0, 0);
    EXPECT_EQ(paper, "1,2,3");
    EXPECT_EQ(Pixel(buffered, 4, 8), paper);    // left of the clip: the red box stays out
    EXPECT_EQ(Pixel(buffered, 25, 10), paper);  // right of the clip: the blue bar stays out
    EXPECT_EQ(Pixel(buffered, 15, 20), paper);  // below the clip: the line stays out
    EXPECT_EQ(Pixel(buffered, 6, 7), "255,0,0");
    EXPECT_EQ(Pixel(buffered, 20, 14), "200,210,220");  // undrawn part of the clip: background
}

TEST(COffscreenDC, OnlyTheClipBoxIsBuffered)
{
    wxBitmap bitmap(40, 30, 24);
    wxMemoryDC dc(bitmap);
    dc.SetClippingRegion(5, 6, 20, 10);
    COffscreenDC off(&dc);
    EXPECT_EQ(off.GetArea(), wxRect(5, 6, 20, 10));
    EXPECT_EQ(off.GetSize(), wxSize(20, 10));
}

TEST(COffscreenDC, ScaledAndMovedMappingDrawsAtTheSameLogicalCoordinates)
{
    const auto mapped = [](wxDC& dc) {
        dc.SetUserScale(2, 2);
        dc.SetLogicalOrigin(-2, -1);
        dc.SetClippingRegion(1, 1, 12, 9);  // logical units
    };
    const wxImage direct = Render(mapped, DrawDirect);
    const wxImage buffered = Render(mapped, DrawOffscreen);
    ExpectSameImages(buffered, direct);
    // Logical (1, 1) is device (6, 4); the red box fills it, scaled twice.
    EXPECT_EQ(Pixel(buffered, 6, 4), "255,0,0");
    EXPECT_EQ(Pixel(buffered, 5, 4), "1,2,3");
}

TEST(COffscreenDC, EmptyClipBoxDrawsStraightOnTheTarget)
{
    wxBitmap bitmap(10, 10, 24);
    wxMemoryDC dc(bitmap);
    dc.SetClippingRegion(3, 3, 0, 0);
    COffscreenDC off(&dc);
    EXPECT_FALSE(off.IsMemoryMode());
    EXPECT_EQ(&off.GetDrawDC(), static_cast<wxDC*>(&dc));
}

TEST(COffscreenDC, PrinterTargetIsDrawnOnDirectlyAndSurvives)
{
    const wxString file = wxFileName::CreateTempFileName("offscreen-ps");
    wxPrintData data;
    data.SetPrintMode(wxPRINT_MODE_FILE);
    data.SetFilename(file);
    wxPostScriptDC ps(data);
    ASSERT_TRUE(ps.IsOk());
    ASSERT_TRUE(ps.StartDoc("offscreen"));
    ps.StartPage();
    {
        COffscreenDC off(&ps);
        EXPECT_FALSE(off.IsMemoryMode());
        EXPECT_EQ(&off.GetDrawDC(), static_cast<wxDC*>(&ps));
        off.GetDrawDC().SetBrush(wxBrush(wxColour(255, 0, 0)));
        off.GetDrawDC().DrawRectangle(10, 10, 50, 50);
    }
    EXPECT_TRUE(ps.IsOk());
    ps.DrawRectangle(70, 70, 10, 10);  // still usable after the object
    ps.EndPage();
    ps.EndDoc();
    std::ifstream in(file.fn_str());
    std::stringstream text;
    text << in.rdbuf();
    std::remove(file.fn_str());
    // The red fill reached the page.
    EXPECT_NE(text.str().find("1.000000 0.000000 0.000000 setrgbcolor"), std::string::npos);
}
