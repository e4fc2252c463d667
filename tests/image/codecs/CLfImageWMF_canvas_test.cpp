// The metafile raster on its own: long paths stroked in pieces look as one stroke,
// and a cancel or a spent work budget stops a long path part-way, keeping what was
// drawn.

#include "image/codecs/CLfImageWMF_priv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using lfwmf::Canvas;
using lfwmf::PointD;
using lfwmf::Region;

namespace {

constexpr double kPi = 3.14159265358979323846;
const RGBQUAD kWhite{255, 255, 255, 0};

// The picture's pixels as rows of blue-green-red bytes.
struct Picture {
    explicit Picture(Canvas& canvas) : width(canvas.Width()), rows(canvas.Height())
    {
        for (uint32_t y = 0; y < canvas.Height(); ++y) {
            rows[y].resize(size_t(width) * 3);
            canvas.CopyRow(y, rows[y].data());
        }
    }
    // The darkest channel sum of column x between rows top and bottom (exclusive).
    int Darkest(int x, int top, int bottom) const
    {
        int least = 3 * 255;
        for (int y = top; y < bottom; ++y) {
            const uint8_t* p = rows[size_t(y)].data() + 3 * x;
            least = std::min(least, p[0] + p[1] + p[2]);
        }
        return least;
    }
    bool Dark(int x, int y) const { return Darkest(x, y, y + 1) < 3 * 128; }
    uint32_t width;
    std::vector<std::vector<uint8_t>> rows;
};

lfwmf::Pen SolidPen(double width, int cap = 0)
{
    lfwmf::Pen pen;
    pen.width = width;
    pen.cap = cap;
    pen.geometric = width > 1;
    return pen;
}

// A line along y through count points, step pixels apart from x 0, every other
// point wobble pixels below (a straight line would be one segment to the renderer).
void LongLine(Canvas& canvas, int count, double step, double y, double wobble)
{
    canvas.NewPath();
    canvas.MoveTo({0, y});
    for (int i = 1; i < count; ++i) canvas.LineTo({i * step, y + (i % 2) * wobble});
}
int Ink(const Picture& p, int from, int to)
{
    int n = 0;
    for (int x = from; x < to; ++x) n += p.Darkest(x, 7, 14) < 3 * 128;
    return n;
}

}  // namespace

TEST(CLfImageWMFCanvas, LongOutlinesAreStrokedWholeAcrossTheirPieces)
{
    // A ring of 3,000 points with a pen 6 pixels wide: no gap where one piece ends.
    Canvas canvas(200, 200, kWhite, 1ull << 40);
    canvas.NewPath();
    for (int i = 0; i < 3000; ++i) {
        const double t = 2 * kPi * i / 3000;
        const PointD p{100 + 80 * std::cos(t), 100 + 80 * std::sin(t)};
        i == 0 ? canvas.MoveTo(p) : canvas.LineTo(p);
    }
    canvas.ClosePath();
    canvas.Stroke(SolidPen(6), lfwmf::Identity());
    const Picture picture(canvas);
    int gaps = 0;
    for (int i = 0; i < 720; ++i) {
        const double t = 2 * kPi * i / 720;
        gaps += !picture.Dark(int(std::lround(100 + 80 * std::cos(t))), int(std::lround(100 + 80 * std::sin(t))));
    }
    EXPECT_EQ(gaps, 0);
    EXPECT_FALSE(picture.Dark(100, 100));  // inside
    EXPECT_FALSE(picture.Dark(100, 10));   // outside
    EXPECT_TRUE(canvas.WithinBudget());
}

TEST(CLfImageWMFCanvas, StrokesShortAndLongKeepWithinTheClip)
{
    // The left half is the clip: a line of two points and one of 800 end at it.
    for (const int points : {2, 800}) {
        Canvas canvas(800, 20, kWhite, 1ull << 40);
        const cairo_rectangle_int_t left{0, 0, 400, 20};
        Region clip(cairo_region_create_rectangle(&left));
        canvas.SetClip(clip.get());
        LongLine(canvas, points, 799.0 / (points - 1), 9, 2);
        canvas.Stroke(SolidPen(points == 2 ? 3 : 1), lfwmf::Identity());
        const Picture picture(canvas);
        EXPECT_GT(Ink(picture, 0, 400), 350) << points;
        EXPECT_EQ(Ink(picture, 400, 800), 0) << points;
    }
}

TEST(CLfImageWMFCanvas, DashesRunOnAcrossPiecesOfALongPath)
{
    // 2,000 points half a pixel apart (1,000 pixels): a flat-capped pen 4 pixels wide
    // with 20 on and 20 off keeps its pattern over every piece.
    Canvas canvas(1000, 20, kWhite, 1ull << 40);
    LongLine(canvas, 2001, 0.5, 10, 0.01);
    lfwmf::Pen pen = SolidPen(4, 2);
    pen.style = 7;
    pen.dashes = {20, 20};
    canvas.Stroke(pen, lfwmf::Identity());
    const Picture picture(canvas);
    int wrong = 0;
    std::string first;
    for (int x = 2; x < 998; ++x) {
        if (x % 20 < 2 || x % 20 > 17)
            continue;  // dash ends: smoothed
        const bool on = (x / 20) % 2 == 0;
        if (picture.Dark(x, 10) != on && ++wrong == 1)
            first = std::to_string(x);
    }
    EXPECT_EQ(wrong, 0) << "first at x = " << first;
}

TEST(CLfImageWMFCanvas, CancelStopsALongPathKeepingWhatWasDrawn)
{
    // A zig-zag of 800 points over 800 pixels; the second time the canvas asks, it
    // is cancelled.
    int asked = 0;
    Canvas canvas(800, 20, kWhite, 1ull << 40, [&] { return ++asked >= 2; });
    LongLine(canvas, 800, 1, 9, 2);
    canvas.Stroke(SolidPen(1), lfwmf::Identity());
    EXPECT_TRUE(canvas.Cancelled());
    EXPECT_FALSE(canvas.WithinBudget());
    const Picture picture(canvas);
    EXPECT_GT(Ink(picture, 0, 100), 95);  // the first piece
    EXPECT_EQ(Ink(picture, 400, 800), 0);
    // Nothing more is drawn afterwards.
    LongLine(canvas, 2, 700, 15, 0);
    canvas.Stroke(SolidPen(1), lfwmf::Identity());
    EXPECT_FALSE(Picture(canvas).Dark(600, 15));
}

TEST(CLfImageWMFCanvas, SpentBudgetStopsALongPathKeepingWhatWasDrawn)
{
    const auto draw = [](uint64_t budget) {
        auto canvas = std::make_unique<Canvas>(800, 20, kWhite, budget);
        LongLine(*canvas, 800, 1, 9, 2);
        canvas->Stroke(SolidPen(1), lfwmf::Identity());
        return canvas;
    };
    // Plenty: the whole zig-zag.
    auto whole = draw(1ull << 40);
    EXPECT_TRUE(whole->WithinBudget());
    EXPECT_EQ(Ink(Picture(*whole), 0, 800), 800);
    // The points cost a pixel each; what is left pays for a piece or two of the
    // stroke (about 20,000 each: 200 segments), not for all four.
    auto part = draw(800 + 50000);
    EXPECT_FALSE(part->WithinBudget());
    EXPECT_FALSE(part->Cancelled());
    const Picture picture(*part);
    EXPECT_GT(Ink(picture, 0, 100), 95);
    EXPECT_EQ(Ink(picture, 500, 800), 0);
}

TEST(CLfImageWMFCanvas, ARasterOperationMeetsEachPixelOnceAlongALongPath)
{
    // A zig-zag of 800 points (four pieces) inverted over white marks the same pixels a
    // black pen does: where two pieces join, the pixel is not inverted twice.
    const auto draw = [](int rop2) {
        Canvas canvas(800, 20, kWhite, 1ull << 40);
        LongLine(canvas, 800, 1, 9, 2);
        lfwmf::Pen pen = SolidPen(1);
        pen.colour = RGBQUAD{0, 0, 0, 0};
        canvas.Stroke(pen, lfwmf::Identity(), false, rop2);
        return Picture(canvas).rows;
    };
    constexpr int kInvert = 6, kXorPen = 7;
    const auto copied = draw(lfwmf::kRop2Copy);
    EXPECT_EQ(draw(kInvert), copied);
    // A white pen in exclusive-or inverts too.
    const auto xorDraw = [](const RGBQUAD& colour) {
        Canvas canvas(800, 20, kWhite, 1ull << 40);
        LongLine(canvas, 800, 1, 9, 2);
        lfwmf::Pen pen = SolidPen(1);
        pen.colour = colour;
        canvas.Stroke(pen, lfwmf::Identity(), false, kXorPen);
        return Picture(canvas).rows;
    };
    EXPECT_EQ(xorDraw(RGBQUAD{255, 255, 255, 0}), copied);
}

TEST(CLfImageWMFCanvas, AWidenedPathIsTheWholePensAreaWhateverTheClip)
{
    // A thick line across the picture widened while only its left half is the clip,
    // then the clip widened to the whole picture: the outline's right end is the
    // line's, not the old clip's edge.
    Canvas canvas(400, 40, kWhite, 1ull << 40);
    const cairo_rectangle_int_t left{0, 0, 200, 40};
    Region clip(cairo_region_create_rectangle(&left));
    canvas.SetClip(clip.get());
    LongLine(canvas, 2, 300, 20, 0);
    canvas.WidenPath(SolidPen(10), lfwmf::Identity());
    canvas.SetClip(nullptr);
    canvas.Stroke(SolidPen(1), lfwmf::Identity());
    const Picture picture(canvas);
    EXPECT_FALSE(picture.Dark(200, 20));  // no edge where the clip ended
    EXPECT_TRUE(picture.Dark(250, 15));   // the outline's upper edge goes on
}
