// The metafile player, one record family a table: small hand-made files and the
// pixels they must give.

#include "image/codecs/CLfImageWMF.h"

#include "tests/image/CodecTestUtil.h"
#include "tests/image/codecs/MetafileBuilder.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

using namespace lftest;

namespace {

using lftest::operator+;

std::unique_ptr<CLfImage> Decode(const Bytes& data)
{
    auto img = std::make_unique<CLfImage>();
    img->Decode(data.data(), int64_t(data.size()), lfimg::kTypeWMF);
    return img;
}

RGBQUAD Px(const CLfImage& img, int x, int top)
{
    return Colour(img, x, img.GetHeight() - 1 - top);
}
std::string At(const CLfImage& img, int x, int top)
{
    return Str(Px(img, x, top));
}
const std::string kWhite = Str(Rgb(255, 255, 255));
const std::string kBlack = Str(Rgb(0, 0, 0));
const std::string kRed = Str(Rgb(255, 0, 0));
const std::string kBlue = Str(Rgb(0, 0, 255));
// Any dark pixel next to the point (thin lines are smoothed across two pixels).
const std::string kDark = "dark";

bool IsDark(RGBQUAD c)
{
    return c.rgbRed < 128 && c.rgbGreen < 128 && c.rgbBlue < 128;
}

// The dark pixels of a picture: how many and their box (right and bottom exclusive).
struct Ink {
    int count = 0, left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};
Ink InkOf(const CLfImage& img, int l = 0, int t = 0, int r = -1, int b = -1)
{
    if (r < 0)
        r = img.GetWidth();
    if (b < 0)
        b = img.GetHeight();
    Ink ink;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            if (IsDark(Px(img, x, y))) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x + 1);
                ink.bottom = std::max(ink.bottom, y + 1);
            }
    return ink;
}

// Records that select a black solid brush and the null pen (EMF slots 1).
std::vector<EmfRecord> BlackFill()
{
    return {{39, Ints({1, 0, 0, 0})}, {37, Ints({1})}, {37, Ints({int64_t(0x80000008)})}};
}
std::vector<EmfRecord> operator+(std::vector<EmfRecord> a, const std::vector<EmfRecord>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
EmfRecord Rect(int l, int t, int r, int b)
{
    return {43, Ints({l, t, r, b})};
}
EmfRecord XForm(float m11, float m12, float m21, float m22, float dx, float dy, int mode = -1)
{
    Bytes b = Floats({m11, m12, m21, m22, dx, dy});
    if (mode < 0)
        return {35, b};
    return {36, b + Ints({mode})};
}

// A point of the picture and the colour it must have.
struct Expect {
    int x, y;
    std::string colour;
};
struct Case {
    std::string what;
    Bytes file;
    std::vector<Expect> points;
};
void Check(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        auto img = Decode(c.file);
        ASSERT_TRUE(img->IsValid()) << c.what << ": " << img->GetLastError();
        for (const Expect& e : c.points) {
            if (e.colour == kDark)
                EXPECT_GT(InkOf(*img, e.x - 1, e.y - 1, e.x + 2, e.y + 2).count, 0) << c.what << " at " << e.x << "," << e.y;
            else
                EXPECT_EQ(At(*img, e.x, e.y), e.colour) << c.what << " at " << e.x << "," << e.y;
        }
    }
}

}  // namespace

// ---- text ---------------------------------------------------------------------------------

TEST(CLfImageWMFRecords, TextTakesItsFontColourAlignmentAndSpacing)
{
    // 200 x 100 pixels, logical units are pixels.
    const auto emf = [](std::vector<EmfRecord> records) { return Emf(0, 0, 200, 100, records); };
    const auto font = [](int height) { return std::vector<EmfRecord>{EmfFont(1, height), {37, Ints({1})}}; };
    const auto align = [](int a) { return EmfRecord{22, Ints({a})}; };
    struct TextCase {
        std::string what;
        Bytes file;
        std::function<void(const CLfImage&, const Ink&)> check;
    } cases[] = {
        {"top-left reference", emf(font(-40) + std::vector<EmfRecord>{EmfText(20, 20, "HH")}),
         [](const CLfImage&, const Ink& ink) {
             EXPECT_GT(ink.count, 300);
             EXPECT_GE(ink.left, 19);
             EXPECT_GE(ink.top, 20);
             EXPECT_LE(ink.bottom, 20 + 48);
             EXPECT_GT(ink.Height(), 25);  // capitals of a 40-unit character height
             EXPECT_LT(ink.Height(), 35);
         }},
        {"cell height: smaller glyphs", emf(font(40) + std::vector<EmfRecord>{EmfText(20, 20, "HH")}),
         [](const CLfImage&, const Ink& ink) {
             EXPECT_GT(ink.Height(), 20);
             EXPECT_LT(ink.Height(), 28);
         }},
        {"baseline", emf(font(-40) + std::vector<EmfRecord>{align(24), EmfText(20, 70, "HH")}),
         [](const CLfImage&, const Ink& ink) {
             EXPECT_LE(ink.bottom, 71);
             EXPECT_GE(ink.bottom, 68);
         }},
        {"bottom", emf(font(-40) + std::vector<EmfRecord>{align(8), EmfText(20, 90, "Hg")}),
         [](const CLfImage&, const Ink& ink) {
             EXPECT_LE(ink.bottom, 91);
             EXPECT_GE(ink.bottom, 85);
         }},
        {"right", emf(font(-40) + std::vector<EmfRecord>{align(2), EmfText(180, 20, "HH")}),
         [](const CLfImage&, const Ink& ink) {
             EXPECT_LE(ink.right, 181);
             EXPECT_GE(ink.right, 170);
         }},
        {"centre", emf(font(-40) + std::vector<EmfRecord>{align(6), EmfText(100, 20, "HH")}),
         [](const CLfImage&, const Ink& ink) { EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 4); }},
        {"escapement: upwards", emf({EmfFont(1, -30, 0, 900), {37, Ints({1})}, align(24), EmfText(100, 95, "HHH")}),
         [](const CLfImage&, const Ink& ink) {
             EXPECT_GT(ink.Height(), 2 * ink.Width());
             EXPECT_LE(ink.bottom, 96);
             EXPECT_LE(ink.right, 101);  // the letters' tops face left
         }},
        {"advances from the record", emf(font(-30) + std::vector<EmfRecord>{EmfText(10, 20, "II", 0, {0, 0, -1, -1}, {150, 20})}),
         [](const CLfImage& img, const Ink&) {
             EXPECT_GT(InkOf(img, 0, 0, 40).count, 20);
             EXPECT_EQ(InkOf(img, 40, 0, 150).count, 0);
             EXPECT_GT(InkOf(img, 150, 0, 200).count, 20);
         }},
        {"width doubles the letters", emf({EmfFont(1, -30, 36), {37, Ints({1})}, EmfText(10, 20, "HHH")}),
         [](const CLfImage&, const Ink& ink) { EXPECT_GT(ink.Width(), 90); }},
        {"bold has more ink", emf({EmfFont(1, -30, 0, 0, 700), {37, Ints({1})}, EmfText(10, 20, "HHH")}),
         [](const CLfImage& img, const Ink& ink) {
             auto plain = Decode(Emf(0, 0, 200, 100, {EmfFont(1, -30), {37, Ints({1})}, EmfText(10, 20, "HHH")}));
             EXPECT_GT(ink.count, InkOf(*plain).count * 5 / 4);
             (void)img;
         }},
        {"underline joins the letters", emf({EmfFont(1, -30, 0, 0, 400, false, true), {37, Ints({1})}, EmfText(10, 20, "I I")}),
         [](const CLfImage& img, const Ink& ink) {
             // A row below the letters is dark all along, also between them.
             bool found = false;
             for (int y = ink.top + 20; y < ink.bottom && !found; ++y)
                 found = InkOf(img, ink.left + 3, y, ink.right - 3, y + 1).count == ink.Width() - 6;
             EXPECT_TRUE(found);
         }},
        {"strike-out crosses the space", emf({EmfFont(1, -30, 0, 0, 400, false, false, true), {37, Ints({1})}, EmfText(10, 20, "I      I")}),
         [](const CLfImage& img, const Ink& ink) { EXPECT_GT(InkOf(img, ink.left + 12, 0, ink.right - 12).count, 10); }},
        {"update the current position",
         emf(font(-30) + std::vector<EmfRecord>{align(1), {27, Ints({10, 20})}, EmfText(0, 0, "H"), EmfText(0, 0, "H")}),
         [](const CLfImage& img, const Ink& ink) {
             EXPECT_GE(ink.left, 9);
             EXPECT_GT(ink.right, 45);  // two letters side by side
             EXPECT_GT(InkOf(img, ink.left + 22, 0, 200).count, 50);
         }},
        {"8-bit text", emf(font(-40) + std::vector<EmfRecord>{EmfText(20, 20, "HH", 0, {0, 0, -1, -1}, {}, false)}),
         [](const CLfImage&, const Ink& ink) { EXPECT_GT(ink.count, 300); }},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto img = Decode(c.file);
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        c.check(*img, InkOf(*img));
    }
}

TEST(CLfImageWMFRecords, TextColourBackgroundAndRectangle)
{
    const std::vector<EmfRecord> red = {EmfFont(1, -40), {37, Ints({1})}, {24, Ints({0x0000FF})}};
    const int eto_opaque = 2, eto_clipped = 4;
    Check({
        {"opaque background", Emf(0, 0, 200, 100, red + std::vector<EmfRecord>{{25, Ints({0xFF0000})}, {18, Ints({2})}, EmfText(20, 20, "HH")}),
         {{22, 22, kBlue}, {10, 10, kWhite}}},
        {"transparent background", Emf(0, 0, 200, 100, red + std::vector<EmfRecord>{{25, Ints({0xFF0000})}, {18, Ints({1})}, EmfText(20, 20, "HH")}),
         {{22, 22, kWhite}}},
        {"opaque rectangle", Emf(0, 0, 200, 100, red + std::vector<EmfRecord>{{25, Ints({0x00FF00})}, {18, Ints({1})}, EmfText(20, 20, "H", eto_opaque, {0, 0, 10, 10})}),
         {{5, 5, Str(Rgb(0, 255, 0))}, {12, 12, kWhite}}},
    });
    // The letters in the text colour.
    auto img = Decode(Emf(0, 0, 200, 100, red + std::vector<EmfRecord>{EmfText(20, 20, "HH")}));
    ASSERT_TRUE(img->IsValid());
    int redPixels = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) redPixels += At(*img, x, y) == kRed;
    EXPECT_GT(redPixels, 200);
    // Clipped to its rectangle: the second letter is cut off.
    auto clipped = Decode(Emf(0, 0, 200, 100, {EmfFont(1, -40), {37, Ints({1})}, EmfText(20, 20, "HHHH", eto_clipped, {0, 0, 45, 100})}));
    ASSERT_TRUE(clipped->IsValid());
    EXPECT_LE(InkOf(*clipped).right, 45);
    EXPECT_GT(InkOf(*clipped).count, 100);
}

TEST(CLfImageWMFRecords, PolyTextDrawsEachString)
{
    Bytes b = Ints({0, 0, -1, -1, 1}) + Floats({1, 1}) + Ints({2});
    const int64_t start = 8 + 32 + 2 * 40;
    Bytes chars;
    for (char c : std::string("HHHH")) Put16(chars, c);
    for (int i = 0; i < 2; ++i)
        b = b + Ints({10 + 100 * i, 20, 2, start + 4 * i, 0, 0, 0, -1, -1, 0});
    b = b + chars;
    auto img = Decode(Emf(0, 0, 200, 100, {EmfFont(1, -30), {37, Ints({1})}, {97, b}}));
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    EXPECT_GT(InkOf(*img, 0, 0, 60).count, 50);
    EXPECT_EQ(InkOf(*img, 60, 0, 105).count, 0);
    EXPECT_GT(InkOf(*img, 105, 0, 200).count, 50);
}

TEST(CLfImageWMFRecords, WmfTextOutAndExtTextOut)
{
    // 200 x 100 units at 96 an inch: one unit a pixel.
    const auto file = [](std::vector<WmfRecord> text) {
        std::vector<WmfRecord> r = {{0x02FB, WmfFont(-40)}, {0x012D, {0}}, {0x0209, {0x0000, 0x0064}}};  // dark blue
        r.insert(r.end(), text.begin(), text.end());
        return PlaceableWmf(0, 0, 200, 100, 96, r);
    };
    auto textOut = Decode(file({{0x0521, std::vector<int>{3} + Words(std::string("HHH")) + std::vector<int>{20, 10}}}));
    ASSERT_TRUE(textOut->IsValid()) << textOut->GetLastError();
    const Ink ink = InkOf(*textOut);
    EXPECT_GT(ink.count, 300);
    EXPECT_GE(ink.left, 9);
    EXPECT_GE(ink.top, 20);
    EXPECT_LT(ink.top, 32);
    // ExtTextOut with advances: the second letter 120 units on.
    auto ext = Decode(file({{0x0A32, std::vector<int>{20, 10, 2, 0} + Words(std::string("II")) + std::vector<int>{120, 20}}}));
    ASSERT_TRUE(ext->IsValid()) << ext->GetLastError();
    EXPECT_GT(InkOf(*ext, 0, 0, 40).count, 20);
    EXPECT_EQ(InkOf(*ext, 40, 0, 125).count, 0);
    EXPECT_GT(InkOf(*ext, 125, 0, 160).count, 20);
    // Underlined face from the font record, and the text colour.
    auto under = Decode(PlaceableWmf(0, 0, 200, 100, 96,
                                     {{0x02FB, WmfFont(-40, 0, 0, 400, true)}, {0x012D, {0}}, {0x0209, {0x00FF, 0}},
                                      {0x0521, std::vector<int>{3} + Words(std::string("I I")) + std::vector<int>{20, 10}}}));
    ASSERT_TRUE(under->IsValid());
    int redPixels = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) redPixels += At(*under, x, y) == kRed;
    EXPECT_GT(redPixels, 100);
}

// ---- mapping and transforms ---------------------------------------------------------------

TEST(CLfImageWMFRecords, WorldTransformsAndMappingModes)
{
    // 200 x 200 reference pixels onto 200 x 200; a black square of 10 x 10 logical units
    // at the origin lands where the mapping puts it. Reference device: 4 pixels a
    // millimetre across, 1024 / 240 down.
    const auto square = [](std::vector<EmfRecord> setup, EmfRecord shape = Rect(0, 0, 10, 10)) {
        return Emf(0, 0, 200, 200, BlackFill() + setup + std::vector<EmfRecord>{shape});
    };
    const auto mapMode = [](int m) { return EmfRecord{17, Ints({m})}; };
    Check({
        {"scale 4 and move", square({XForm(4, 0, 0, 4, 20, 30)}), {{40, 50, kBlack}, {5, 5, kWhite}, {62, 50, kWhite}}},
        {"turned a quarter", square({XForm(0, 1, -1, 0, 100, 0)}), {{95, 5, kBlack}, {5, 5, kWhite}}},
        {"modify: set", square({XForm(2, 0, 0, 2, 0, 0, 4)}), {{15, 15, kBlack}, {25, 15, kWhite}}},
        {"modify: before the current", square({XForm(2, 0, 0, 2, 0, 0, 4), XForm(1, 0, 0, 1, 10, 0, 2)}),
         {{30, 10, kBlack}, {15, 10, kWhite}}},
        {"modify: after the current", square({XForm(2, 0, 0, 2, 0, 0, 4), XForm(1, 0, 0, 1, 10, 0, 3)}),
         {{20, 10, kBlack}, {35, 10, kWhite}}},
        {"modify: identity", square({XForm(2, 0, 0, 2, 0, 0, 4), XForm(1, 0, 0, 1, 0, 0, 1)}),
         {{5, 5, kBlack}, {15, 15, kWhite}}},
        {"low metric: tenths of a millimetre, y up", square({mapMode(2)}, Rect(0, 0, 100, -100)),
         {{20, 20, kBlack}, {38, 40, kBlack}, {44, 20, kWhite}, {20, 46, kWhite}}},
        {"high metric", square({mapMode(3)}, Rect(0, 0, 1000, -1000)), {{38, 40, kBlack}, {44, 20, kWhite}}},
        {"low English", square({mapMode(4)}, Rect(0, 0, 40, -40)), {{38, 41, kBlack}, {44, 20, kWhite}}},
        {"high English", square({mapMode(5)}, Rect(0, 0, 400, -400)), {{38, 41, kBlack}, {44, 20, kWhite}}},
        {"twips", square({mapMode(6)}, Rect(0, 0, 576, -576)), {{38, 41, kBlack}, {44, 20, kWhite}}},
        {"isotropic keeps squares square",
         square({mapMode(7), {9, Ints({100, 100})}, {11, Ints({200, 100})}}), {{5, 5, kBlack}, {15, 5, kWhite}}},
        {"anisotropic stretches", square({mapMode(8), {9, Ints({100, 100})}, {11, Ints({200, 100})}}),
         {{15, 5, kBlack}, {25, 5, kWhite}}},
        {"viewport extent scaled", square({mapMode(8), {9, Ints({100, 100})}, {11, Ints({100, 100})}, {31, Ints({3, 1, 1, 1})}}),
         {{25, 5, kBlack}, {35, 5, kWhite}}},
        {"window extent scaled", square({mapMode(8), {9, Ints({100, 100})}, {11, Ints({100, 100})}, {32, Ints({1, 2, 1, 1})}}),
         {{15, 5, kBlack}, {25, 5, kWhite}}},
        {"viewport origin", square({{12, Ints({50, 60})}}), {{55, 65, kBlack}, {5, 5, kWhite}}},
        {"window origin", square({{10, Ints({-20, -30})}}), {{25, 35, kBlack}, {5, 5, kWhite}}},
    });
}

TEST(CLfImageWMFRecords, WmfMappingRecords)
{
    // 200 x 200 units at 96 an inch: the frame is the picture, a unit a pixel.
    const auto square = [](std::vector<WmfRecord> setup) {
        std::vector<WmfRecord> r = {{0x02FC, {0, 0, 0, 0}}, {0x012D, {0}}, {0x02FA, {5, 0, 0, 0, 0}}, {0x012D, {1}}};
        r.insert(r.end(), setup.begin(), setup.end());
        r.push_back({0x041B, {10, 10, 0, 0}});
        return PlaceableWmf(0, 0, 200, 200, 96, r);
    };
    Check({
        {"text mode", square({{0x0103, {1}}}), {{5, 5, kBlack}, {15, 5, kWhite}}},
        {"viewport origin", square({{0x0103, {1}}, {0x020D, {100, 50}}}), {{55, 105, kBlack}, {5, 5, kWhite}}},
        {"viewport moved", square({{0x0103, {1}}, {0x020D, {100, 50}}, {0x0211, {10, 10}}}), {{65, 115, kBlack}}},
        {"window extent halved", square({{0x020C, {100, 100}}}), {{15, 15, kBlack}, {25, 25, kWhite}}},
        {"window scaled", square({{0x0410, {1, 1, 4, 1}}}), {{25, 5, kBlack}, {45, 5, kWhite}, {5, 15, kWhite}}},
        {"viewport extent", square({{0x020C, {100, 100}}, {0x020E, {50, 50}}}), {{3, 3, kBlack}, {8, 8, kWhite}}},
        {"metric, y up", square({{0x0103, {2}}, {0x020D, {100, 0}}}), {{1, 98, kBlack}, {1, 102, kWhite}, {6, 98, kWhite}}},
    });
}

// ---- clipping -----------------------------------------------------------------------------

TEST(CLfImageWMFRecords, ClippingRecords)
{
    // A black rectangle over the whole 100 x 100 picture after the clip is set.
    const auto clip = [](std::vector<EmfRecord> setup) {
        return Emf(0, 0, 100, 100, BlackFill() + setup + std::vector<EmfRecord>{Rect(-10, -10, 110, 110)});
    };
    const auto region = [](int mode, std::vector<std::array<int, 4>> rects) {
        Bytes data = Ints({32, 1, int64_t(rects.size()), int64_t(rects.size() * 16), 0, 0, 100, 100});
        for (const auto& r : rects) data = data + Ints({r[0], r[1], r[2], r[3]});
        return EmfRecord{75, Ints({int64_t(data.size()), mode}) + data};
    };
    const EmfRecord intersect{30, Ints({20, 20, 40, 40})};
    Check({
        {"intersect", clip({intersect}), {{30, 30, kBlack}, {10, 10, kWhite}, {45, 30, kWhite}}},
        {"exclude", clip({{29, Ints({20, 20, 40, 40})}}), {{30, 30, kWhite}, {10, 10, kBlack}, {45, 30, kBlack}}},
        {"offset", clip({intersect, {26, Ints({30, 0})}}), {{60, 30, kBlack}, {30, 30, kWhite}}},
        {"region data", clip({region(5, {{0, 0, 10, 10}, {50, 50, 60, 60}})}),
         {{5, 5, kBlack}, {55, 55, kBlack}, {30, 30, kWhite}}},
        {"region or", clip({intersect, region(2, {{50, 50, 60, 60}})}), {{30, 30, kBlack}, {55, 55, kBlack}, {45, 45, kWhite}}},
        {"region and", clip({intersect, region(1, {{30, 30, 60, 60}})}), {{35, 35, kBlack}, {25, 25, kWhite}}},
        {"region xor", clip({intersect, region(3, {{30, 30, 60, 60}})}), {{25, 25, kBlack}, {35, 35, kWhite}, {50, 50, kBlack}}},
        {"region difference", clip({intersect, region(4, {{30, 30, 60, 60}})}), {{25, 25, kBlack}, {35, 35, kWhite}}},
        {"no region: clip removed", clip({intersect, {75, Ints({0, 5})}}), {{90, 90, kBlack}}},
        {"path", clip({{59, {}}, {42, Ints({20, 20, 80, 80})}, {60, {}}, {67, Ints({5})}}),
         {{50, 50, kBlack}, {23, 23, kWhite}, {5, 50, kWhite}}},
        {"save and restore keep the clip", clip({{33, {}}, intersect, {34, Ints({-1})}}), {{90, 90, kBlack}}},
        {"restore brings the saved clip back", clip({intersect, {33, {}}, {29, Ints({20, 20, 40, 40})}, {34, Ints({-1})}}),
         {{30, 30, kBlack}, {90, 90, kWhite}}},
    });
    // Metafiles of 16 bits: clip rectangles and region objects.
    const auto wmf = [](std::vector<WmfRecord> setup) {
        std::vector<WmfRecord> r = {{0x02FC, {0, 0, 0, 0}}, {0x012D, {0}}, {0x02FA, {5, 0, 0, 0, 0}}, {0x012D, {1}}};
        r.insert(r.end(), setup.begin(), setup.end());
        r.push_back({0x041B, {110, 110, -10, -10}});
        return PlaceableWmf(0, 0, 100, 100, 96, r);
    };
    // A region of one scan (20..40 high) with two runs: 10..20 and 50..60.
    const std::vector<int> regionObject = {0, 6, 0, 0, 0, 1, 0, 10, 20, 60, 40, 4, 20, 40, 10, 20, 50, 60, 4};
    Check({
        {"wmf intersect", wmf({{0x0416, {40, 40, 20, 20}}}), {{30, 30, kBlack}, {10, 10, kWhite}}},
        {"wmf exclude", wmf({{0x0415, {40, 40, 20, 20}}}), {{30, 30, kWhite}, {10, 10, kBlack}}},
        {"wmf offset", wmf({{0x0416, {40, 40, 20, 20}}, {0x0220, {0, 30}}}), {{60, 30, kBlack}, {30, 30, kWhite}}},
        {"wmf region", wmf({{0x06FF, regionObject}, {0x012C, {2}}}),
         {{15, 30, kBlack}, {55, 30, kBlack}, {30, 30, kWhite}, {15, 50, kWhite}}},
    });
}

// ---- paths and curves ---------------------------------------------------------------------

TEST(CLfImageWMFRecords, PathsAndBezierCurves)
{
    // A red brush and a black pen of 3 units.
    const std::vector<EmfRecord> tools = {{39, Ints({1, 0, 0x0000FF, 0})}, {37, Ints({1})}, {38, Ints({2, 0, 3, 0, 0})}, {37, Ints({2})}};
    // A closed figure: a box (20,20)-(80,80) whose top is a Bézier bulging up to y = 5.
    Bytes bezierTo = Ints({0, 0, 0, 0, 3}) + Ints({40, 0, 60, 0, 80, 20});
    const std::vector<EmfRecord> figure = {{59, {}}, {27, Ints({20, 20})}, {5, bezierTo}, {54, Ints({80, 80})}, {54, Ints({20, 80})}, {61, {}}, {60, {}}};
    const auto path = [&](std::vector<EmfRecord> end) { return Emf(0, 0, 100, 100, tools + figure + end); };
    Check({
        {"fill path", path({{62, Ints({0, 0, 0, 0})}}), {{50, 50, kRed}, {50, 8, kRed}, {50, 2, kWhite}, {20, 50, kRed}}},
        {"stroke path", path({{64, Ints({0, 0, 0, 0})}}), {{50, 50, kWhite}, {20, 50, kBlack}, {50, 80, kBlack}}},
        {"stroke and fill", path({{63, Ints({0, 0, 0, 0})}}), {{50, 50, kRed}, {20, 50, kBlack}}},
        {"abort path", path({{68, {}}, {62, Ints({0, 0, 0, 0})}}), {{50, 50, kWhite}, {20, 50, kWhite}}},
    });
    // A 32-bit Bézier is a curve: it passes y = 12.5 in the middle, nowhere near its
    // control points' line at y = 0.
    const auto curve = [&](uint32_t type, bool wide) {
        Bytes b = Ints({0, 0, 0, 0, 4});
        for (int v : {10, 50, 10, 0, 90, 0, 90, 50}) {
            if (wide)
                Put32(b, v);
            else
                Put16(b, v);
        }
        return Emf(0, 0, 100, 100, tools + std::vector<EmfRecord>{{type, b}});
    };
    const auto curveTo = [&](uint32_t type, bool wide) {
        Bytes b = Ints({0, 0, 0, 0, 3});
        for (int v : {10, 0, 90, 0, 90, 50}) {
            if (wide)
                Put32(b, v);
            else
                Put16(b, v);
        }
        return Emf(0, 0, 100, 100, tools + std::vector<EmfRecord>{{27, Ints({10, 50})}, {type, b}});
    };
    for (const Bytes& file : {curve(2, true), curve(85, false), curveTo(5, true), curveTo(88, false)}) {
        auto img = Decode(file);
        ASSERT_TRUE(img->IsValid());
        EXPECT_TRUE(IsDark(Px(*img, 50, 12)) || IsDark(Px(*img, 50, 13)));
        EXPECT_EQ(At(*img, 50, 1), kWhite);
        EXPECT_EQ(At(*img, 50, 30), kWhite);
    }
    // Angle arc: a line from the position to the circle, then a quarter turn upwards.
    Bytes angle = Ints({50, 50, 30}) + Floats({0, 90});
    // Arc-to: a line from the position to the arc's start, then the arc.
    Check({
        {"angle arc", Emf(0, 0, 100, 100, tools + std::vector<EmfRecord>{{27, Ints({50, 50})}, {41, angle}}),
         {{65, 50, kBlack}, {71, 29, kBlack}, {29, 71, kWhite}, {29, 29, kWhite}}},
        {"arc to", Emf(0, 0, 100, 100, tools + std::vector<EmfRecord>{{27, Ints({0, 0})}, {55, Ints({20, 20, 80, 80, 80, 50, 50, 20})}, {54, Ints({100, 0})}}),
         {{40, 25, kDark}, {71, 29, kDark}, {75, 10, kDark}, {29, 71, kWhite}}},
    });
}

// ---- shapes -------------------------------------------------------------------------------

TEST(CLfImageWMFRecords, ArcsPiesChordsRegionsAndPixels)
{
    const std::vector<EmfRecord> tools = {{39, Ints({1, 0, 0x0000FF, 0})}, {37, Ints({1})}, {38, Ints({2, 0, 1, 0, 0})}, {37, Ints({2})}};
    // The quarter from the right-hand point up to the top (counter-clockwise).
    const Bytes quarter = Ints({10, 10, 91, 91, 90, 50, 50, 10});
    const auto emf = [&](std::vector<EmfRecord> r) { return Emf(0, 0, 100, 100, tools + r); };
    Check({
        {"arc", emf({{45, quarter}}), {{78, 22, kDark}, {78, 78, kWhite}, {60, 40, kWhite}}},
        {"pie", emf({{47, quarter}}), {{60, 40, kRed}, {40, 60, kWhite}, {78, 22, kDark}}},
        {"chord", emf({{46, quarter}}), {{75, 25, kRed}, {60, 40, kWhite}}},
        {"pie clockwise: the long way", emf({{57, Ints({2})}, {47, quarter}}), {{40, 60, kRed}, {60, 40, kWhite}}},
        {"set pixel", emf({{15, Ints({5, 6, 0x00FF00})}}), {{5, 6, Str(Rgb(0, 255, 0))}, {6, 6, kWhite}}},
    });
    // Regions: a 40 x 40 square filled, framed, painted and inverted.
    const auto regionData = [] {
        return Ints({32, 1, 1, 16, 10, 10, 50, 50}) + Ints({10, 10, 50, 50});
    };
    const EmfRecord blueBrush{39, Ints({3, 0, 0xFF0000, 0})};
    Check({
        {"fill region", emf({blueBrush, {71, Ints({10, 10, 50, 50, 48, 3}) + regionData()}}), {{30, 30, kBlue}, {55, 30, kWhite}}},
        {"frame region", emf({blueBrush, {72, Ints({10, 10, 50, 50, 48, 3, 3, 3}) + regionData()}}),
         {{11, 30, kBlue}, {48, 30, kBlue}, {30, 30, kWhite}, {55, 30, kWhite}}},
        {"paint region", emf({{74, Ints({10, 10, 50, 50, 48}) + regionData()}}), {{30, 30, kRed}, {55, 30, kWhite}}},
        {"invert region", emf({{73, Ints({10, 10, 50, 50, 48}) + regionData()}}), {{30, 30, kBlack}, {55, 30, kWhite}}},
    });
    // The same shapes from 16-bit records, and a pattern blit.
    const auto wmf = [](std::vector<WmfRecord> r) {
        std::vector<WmfRecord> all = {{0x02FC, {0, 0x00FF, 0, 0}}, {0x012D, {0}}, {0x02FA, {0, 1, 0, 0, 0}}, {0x012D, {1}}};
        all.insert(all.end(), r.begin(), r.end());
        return PlaceableWmf(0, 0, 100, 100, 96, all);
    };
    const std::vector<int> wquarter = {10, 50, 50, 90, 91, 91, 10, 10};
    Check({
        {"wmf arc", wmf({{0x0817, wquarter}}), {{78, 22, kDark}, {78, 78, kWhite}}},
        {"wmf pie", wmf({{0x081A, wquarter}}), {{60, 40, kRed}, {40, 60, kWhite}}},
        {"wmf chord", wmf({{0x0830, wquarter}}), {{75, 25, kRed}, {60, 40, kWhite}}},
        {"wmf pattern blit", wmf({{0x061D, {0x0021, 0x00F0, 20, 20, 10, 10}}}), {{15, 15, kRed}, {35, 15, kWhite}}},
        {"wmf pixel", wmf({{0x041F, {0xFF00, 0, 7, 3}}}), {{3, 7, Str(Rgb(0, 255, 0))}}},
    });
}

// ---- bitmaps ------------------------------------------------------------------------------

TEST(CLfImageWMFRecords, BitmapsAndRasterOperations)
{
    // 2 x 2: blue, white on top; red, green below.
    const Bytes quad = Dib24(2, 2, [](int x, int y) {
        return y == 0 ? (x == 0 ? Rgb(0, 0, 255) : Rgb(255, 255, 255)) : (x == 0 ? Rgb(255, 0, 0) : Rgb(0, 255, 0));
    });
    const auto bitBlt = [&](int x, int y, int w, int h, int64_t rop, const Bytes& dib) {
        Bytes fixed = Ints({0, 0, -1, -1, x, y, w, h, rop, 0, 0}) + Floats({1, 0, 0, 1, 0, 0}) + Ints({0, 0, 0, 0, 0, 0});
        return EmfWithDib(76, fixed, 76, dib);
    };
    const auto stretchBlt = [&](int x, int y, int w, int h, int64_t rop, const Bytes& dib, int sw, int sh) {
        Bytes fixed = Ints({0, 0, -1, -1, x, y, w, h, rop, 0, 0}) + Floats({1, 0, 0, 1, 0, 0}) +
                      Ints({0, 0, 0, 0, 0, 0, sw, sh});
        return EmfWithDib(77, fixed, 76, dib);
    };
    const auto setDIBits = [&](int x, int y, const Bytes& dib) {
        Bytes fixed = Ints({0, 0, -1, -1, x, y, 0, 0, 2, 2, 0, 0, 0, 0, 0, 0, 2});
        return EmfWithDib(80, fixed, 40, dib);
    };
    Check({
        {"bit blit", Emf(0, 0, 100, 100, {bitBlt(10, 10, 2, 2, 0xCC0020, quad)}),
         {{10, 10, kBlue}, {11, 10, kWhite}, {10, 11, kRed}, {11, 11, Str(Rgb(0, 255, 0))}, {12, 12, kWhite}}},
        {"stretch blit", Emf(0, 0, 100, 100, {stretchBlt(0, 0, 40, 40, 0xCC0020, quad, 2, 2)}),
         {{10, 10, kBlue}, {30, 10, kWhite}, {10, 30, kRed}, {30, 30, Str(Rgb(0, 255, 0))}, {45, 45, kWhite}}},
        {"set bits at their size", Emf(0, 0, 100, 100, {setDIBits(50, 60, quad)}),
         {{50, 60, kBlue}, {50, 61, kRed}, {51, 61, Str(Rgb(0, 255, 0))}}},
        {"stretched and turned by the world transform",
         Emf(0, 0, 100, 100, {XForm(0, 1, -1, 0, 100, 0), stretchBlt(0, 0, 40, 40, 0xCC0020, quad, 2, 2)}),
         {{90, 10, kBlue}, {70, 10, kRed}, {90, 30, kWhite}}},
    });
    // Raster operations of a one-pixel source (100, 150, 200) stretched over a
    // destination painted (60, 120, 240) first; the brush is (10, 20, 30).
    const Bytes one = Dib24(1, 1, [](int, int) { return Rgb(100, 150, 200); });
    const std::vector<EmfRecord> ground = {{39, Ints({1, 0, 0xF0783C, 0})}, {37, Ints({1})}, {37, Ints({int64_t(0x80000008)})},
                                           Rect(0, 0, 100, 100), {39, Ints({2, 0, 0x1E140A, 0})}, {37, Ints({2})}};
    struct Rop {
        const char* name;
        int64_t code;
        RGBQUAD expected;
    } rops[] = {
        {"copy", 0xCC0020, Rgb(100, 150, 200)},
        {"or", 0xEE0086, Rgb(100 | 60, 150 | 120, 200 | 240)},
        {"and", 0x8800C6, Rgb(100 & 60, 150 & 120, 200 & 240)},
        {"xor", 0x660046, Rgb(100 ^ 60, 150 ^ 120, 200 ^ 240)},
        {"pattern", 0xF00021, Rgb(10, 20, 30)},
        {"black", 0x000042, Rgb(0, 0, 0)},
        {"white", 0xFF0062, Rgb(255, 255, 255)},
        {"invert the destination", 0x550009, Rgb(255 - 60, 255 - 120, 255 - 240)},
        {"inverted source", 0x330008, Rgb(255 - 100, 255 - 150, 255 - 200)},
    };
    for (const Rop& r : rops) {
        auto img = Decode(Emf(0, 0, 100, 100, ground + std::vector<EmfRecord>{stretchBlt(20, 20, 30, 30, r.code, one, 1, 1)}));
        ASSERT_TRUE(img->IsValid()) << r.name;
        EXPECT_EQ(At(*img, 30, 30), Str(r.expected)) << r.name;
        EXPECT_EQ(At(*img, 60, 30), Str(Rgb(60, 120, 240))) << r.name;
    }
    // Mask blit: where the mask is white the source, where black the destination.
    const Bytes pair = Dib24(2, 1, [](int x, int) { return x == 0 ? Rgb(255, 0, 0) : Rgb(0, 0, 255); });
    const Bytes mask = Dib1(2, 1, [](int x, int) { return x == 0; });
    // The fixed part (with the mask's fields), the source picture, the mask.
    Bytes fixed = Ints({0, 0, -1, -1, 10, 10, 2, 1, 0xAACC0020, 0, 0}) + Floats({1, 0, 0, 1, 0, 0}) +
                  Ints({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const int64_t sourceAt = 8 + int64_t(fixed.size()), maskAt = sourceAt + int64_t(pair.size());
    const Bytes fields = Ints({sourceAt, 40, sourceAt + 40, int64_t(pair.size() - 40), 0, 0, 0, maskAt, 48, maskAt + 48,
                               int64_t(mask.size() - 48)});
    std::copy(fields.begin(), fields.end(), fixed.begin() + 76);
    const EmfRecord maskBlt{78, fixed + pair + mask};
    Check({{"mask blit", Emf(0, 0, 100, 100, ground + std::vector<EmfRecord>{maskBlt}),
            {{10, 10, kRed}, {11, 10, Str(Rgb(60, 120, 240))}}}});

    // 16-bit records: old one-bit bitmaps take the text and background colours.
    std::vector<int> bitmap16 = {0, 16, 2, 2, 0x0101};  // type, width 16, height 2, 2 bytes a row, one plane of 1 bit
    bitmap16 = bitmap16 + std::vector<int>{0x00F0, 0x000F};  // rows: 1111 0000 ..., 0000 1111 ... (bytes F0 00 / 0F 00)
    const std::vector<WmfRecord> colours = {{0x0209, {0x00FF, 0}}, {0x0201, {0x0000, 0x00FF}}};  // text red, background blue
    std::vector<WmfRecord> oldBlt = colours;
    oldBlt.push_back({0x0922, std::vector<int>{0x0020, 0x00CC, 0, 0, 2, 16, 10, 10} + bitmap16});
    std::vector<WmfRecord> oldStretch = colours;
    oldStretch.push_back({0x0B23, std::vector<int>{0x0020, 0x00CC, 2, 16, 0, 0, 20, 32, 40, 40} + bitmap16});
    Check({
        {"old bitmap copied", PlaceableWmf(0, 0, 100, 100, 96, oldBlt),
         {{10, 10, kBlue}, {14, 10, kRed}, {10, 11, kRed}, {14, 11, kBlue}, {22, 10, kRed}}},
        {"old bitmap stretched", PlaceableWmf(0, 0, 100, 100, 96, oldStretch),
         {{41, 41, kBlue}, {49, 41, kRed}, {41, 51, kRed}, {49, 51, kBlue}}},
        {"blackness without a bitmap", PlaceableWmf(0, 0, 100, 100, 96, {{0x0940, {0x0042, 0x0000, 0, 0, 0, 10, 10, 5, 5}}}),
         {{7, 7, kBlack}, {20, 20, kWhite}}},
    });
}

// ---- brushes and pens ---------------------------------------------------------------------

TEST(CLfImageWMFRecords, HatchesPatternsAndPenStyles)
{
    // Hatches of red lines every 8 pixels from the picture's corner.
    const auto hatched = [](int hatch, bool opaque) {
        return Emf(0, 0, 64, 64, {{39, Ints({1, 2, 0x0000FF, hatch})}, {37, Ints({1})}, {37, Ints({int64_t(0x80000008)})},
                                  {25, Ints({0xFF0000})}, {18, Ints({opaque ? 2 : 1})}, Rect(0, 0, 65, 65)});
    };
    Check({
        {"horizontal", hatched(0, false), {{20, 16, kRed}, {21, 16, kRed}, {20, 19, kWhite}}},
        {"vertical", hatched(1, false), {{16, 21, kRed}, {19, 21, kWhite}}},
        {"downward diagonal", hatched(2, false), {{17, 17, kRed}, {18, 17, kWhite}}},
        {"upward diagonal", hatched(3, false), {{16, 23, kRed}, {17, 17, kWhite}}},
        {"cross", hatched(4, false), {{16, 19, kRed}, {19, 16, kRed}, {19, 19, kWhite}}},
        {"diagonal cross", hatched(5, false), {{17, 17, kRed}, {16, 23, kRed}, {16, 19, kWhite}}},
        {"opaque gaps", hatched(0, true), {{20, 16, kRed}, {20, 19, kBlue}}},
    });
    // A 2 x 2 picture as brush repeats over the shape.
    const Bytes tile = Dib24(2, 2, [](int x, int y) { return (x + y) % 2 ? Rgb(255, 0, 0) : Rgb(0, 0, 255); });
    EmfRecord pattern = EmfWithDib(94, Ints({1, 0, 0, 0, 0, 0}), 8, tile);
    std::vector<WmfRecord> wmfPattern = {{0x0142, std::vector<int>{3, 0} + Words(tile)}, {0x012D, {0}}, {0x02FA, {5, 0, 0, 0, 0}},
                                         {0x012D, {1}}, {0x041B, {41, 41, 0, 0}}};
    Check({
        {"picture brush", Emf(0, 0, 64, 64, {pattern, {37, Ints({1})}, {37, Ints({int64_t(0x80000008)})}, Rect(0, 0, 41, 41)}),
         {{10, 10, kBlue}, {11, 10, kRed}, {11, 11, kBlue}, {30, 31, kRed}}},
        {"wmf picture brush", PlaceableWmf(0, 0, 64, 64, 96, wmfPattern), {{10, 10, kBlue}, {11, 10, kRed}, {30, 31, kRed}}},
    });

    // Pens along y = 50 from x = 0 to 99.
    const auto line = [](std::vector<EmfRecord> pen) {
        return Emf(0, 0, 100, 100, pen + std::vector<EmfRecord>{{37, Ints({1})}, {27, Ints({0, 50})}, {54, Ints({99, 50})}});
    };
    const auto pen = [](int style, int width) { return std::vector<EmfRecord>{{38, Ints({1, style, width, 0, 0})}}; };
    Check({
        {"solid", line(pen(0, 0)), {{5, 50, kBlack}, {20, 50, kBlack}, {5, 49, kWhite}}},
        {"dash: 18 on, 6 off", line(pen(1, 0)), {{5, 50, kBlack}, {20, 50, kWhite}, {30, 50, kBlack}}},
        {"dot: 3 on, 3 off", line(pen(2, 0)), {{1, 50, kBlack}, {4, 50, kWhite}, {7, 50, kBlack}}},
        {"null", line(pen(5, 0)), {{5, 50, kWhite}, {20, 50, kWhite}}},
        {"width in logical units", line(std::vector<EmfRecord>{XForm(1, 0, 0, 4, 0, -150)} + pen(0, 5)),
         {{50, 50, kBlack}, {50, 41, kBlack}, {50, 59, kBlack}, {50, 37, kWhite}, {50, 63, kWhite}}},
    });
    // Geometric pens of 20 pixels from (30, 50) to (70, 50): the caps.
    const auto capped = [](int endCap) {
        Bytes b = Ints({1, 0, 0, 0, 0, 0x10000 | endCap, 20, 0, 0, 0, 0});
        return Emf(0, 0, 100, 100, {{95, b}, {37, Ints({1})}, {27, Ints({30, 50})}, {54, Ints({70, 50})}});
    };
    Check({
        {"flat cap", capped(0x200), {{50, 50, kBlack}, {31, 50, kBlack}, {27, 50, kWhite}, {73, 50, kWhite}}},
        {"square cap", capped(0x100), {{27, 50, kBlack}, {73, 50, kBlack}, {22, 42, kBlack}, {17, 50, kWhite}}},
        {"round cap", capped(0), {{27, 50, kBlack}, {21, 41, kWhite}, {17, 50, kWhite}}},
    });
    // Inside frame: a 10-unit pen stays within the rectangle's box.
    const auto framed = [](int style) {
        return Emf(0, 0, 100, 100, {{38, Ints({1, style, 10, 0, 0})}, {37, Ints({1})}, Rect(20, 20, 80, 80)});
    };
    Check({
        {"inside frame", framed(6), {{17, 50, kWhite}, {22, 50, kBlack}, {28, 50, kBlack}, {50, 50, kWhite}}},
        {"centred on the outline", framed(0), {{17, 50, kBlack}, {28, 50, kWhite}}},
    });
    // Thin lines leave no gaps: a dark pixel in every column of a shallow diagonal.
    auto diagonal = Decode(Emf(0, 0, 100, 100, {{27, Ints({0, 0})}, {54, Ints({99, 37})}}));
    ASSERT_TRUE(diagonal->IsValid());
    for (int x = 1; x < 99; ++x) {
        int darkest = 255;
        for (int y = 0; y < 100; ++y) darkest = std::min<int>(darkest, Px(*diagonal, x, y).rgbRed);
        EXPECT_LT(darkest, 160) << x;
    }
}

// ---- a file written by another program ----------------------------------------------------

// Written by a PostScript-to-metafile converter from a page with a red box, a blue
// disc, a black curve and the word "Hi" in a sans face at 24 points.
TEST(CLfImageWMFRecords, ConvertedDrawingLooksRight)
{
    std::ifstream in(std::string(LF_TEST_DATA_DIR) + "/image/metafile/converted_clip.emf", std::ios::binary);
    ASSERT_TRUE(in) << "fixture missing";
    const Bytes file((std::istreambuf_iterator<char>(in)), {});
    auto img = Decode(file);
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    EXPECT_EQ(img->GetWidth(), 180);
    EXPECT_EQ(img->GetHeight(), 74);
    EXPECT_EQ(At(*img, 70, 30), kRed);
    EXPECT_EQ(At(*img, 141, 33), kBlue);
    EXPECT_EQ(At(*img, 100, 40), kWhite);
    // The word: dark letters on the red box, between its reference point and the baseline.
    const Ink word = InkOf(*img, 5, 30, 80, 72);
    EXPECT_GT(word.count, 40);
    EXPECT_GE(word.left, 10);
    EXPECT_LE(word.bottom, 59);
    EXPECT_GT(word.Height(), 12);
    // The curve along the top.
    EXPECT_GT(InkOf(*img, 0, 0, 180, 8).count, 100);
}

// ---- gradients, blends and fills ----------------------------------------------------------

namespace {

// The colour at (x, top-down y) is within tolerance of the one expected, channel by channel.
::testing::AssertionResult Near(const CLfImage& img, int x, int y, RGBQUAD expected, int tolerance = 1)
{
    const RGBQUAD c = Px(img, x, y);
    if (std::abs(c.rgbRed - expected.rgbRed) <= tolerance && std::abs(c.rgbGreen - expected.rgbGreen) <= tolerance &&
        std::abs(c.rgbBlue - expected.rgbBlue) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "at " << x << "," << y << ": " << Str(c) << " instead of " << Str(expected);
}

// EMR_GRADIENTFILL: vertices (x, y, 16-bit r, g, b), items of vertex numbers.
EmfRecord GradientFill(const std::vector<std::array<int, 5>>& vertices, const std::vector<std::vector<int64_t>>& items,
                       int mode)
{
    Bytes b = Ints({0, 0, -1, -1, int64_t(vertices.size()), int64_t(items.size()), mode});
    for (const auto& v : vertices) {
        b = b + Ints({v[0], v[1]});
        for (int k = 2; k < 5; ++k) Put16(b, v[k]);
        Put16(b, 0);
    }
    for (const auto& item : items)
        for (int64_t n : item) Put32(b, n);
    return {118, b};
}

}  // namespace

TEST(CLfImageWMFRecords, GradientFills)
{
    const auto emf = [](std::vector<EmfRecord> r) { return Emf(0, 0, 200, 200, r); };
    // Horizontal: black at x 10 to red at x 110 (the right edge excluded).
    {
        auto img = Decode(emf({GradientFill({{10, 10, 0, 0, 0}, {110, 30, 0xFF00, 0, 0}}, {{0, 1}}, 0)}));
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_TRUE(Near(*img, 10, 20, Rgb(0, 0, 0)));
        EXPECT_TRUE(Near(*img, 60, 20, Rgb(128, 0, 0)));
        EXPECT_TRUE(Near(*img, 109, 20, Rgb(252, 0, 0), 2));
        EXPECT_TRUE(Near(*img, 60, 10, Rgb(128, 0, 0)));
        EXPECT_TRUE(Near(*img, 60, 29, Rgb(128, 0, 0)));
        for (auto [x, y] : {std::pair{9, 20}, std::pair{110, 20}, std::pair{60, 9}, std::pair{60, 30}})
            EXPECT_EQ(At(*img, x, y), kWhite) << x << "," << y;
    }
    // Vertical, vertices given bottom-right first: the colour follows the vertices.
    {
        auto img = Decode(emf({GradientFill({{50, 150, 0, 0, 0xFF00}, {10, 50, 0, 0xFF00, 0}}, {{0, 1}}, 1)}));
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_TRUE(Near(*img, 30, 50, Rgb(0, 255, 0)));
        EXPECT_TRUE(Near(*img, 30, 100, Rgb(0, 128, 128)));
        EXPECT_TRUE(Near(*img, 30, 149, Rgb(0, 3, 252), 2));
        EXPECT_EQ(At(*img, 30, 150), kWhite);
    }
    // Triangles: each corner its colour, the middle the three mixed, outside untouched;
    // channels keep their high byte, and a rectangle list may hold several.
    {
        auto img = Decode(emf({GradientFill({{20, 20, 0xFF00, 0, 0}, {180, 20, 0, 0xFF00, 0}, {20, 180, 0, 0, 0xFF00}},
                                            {{0, 1, 2}}, 2)}));
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_TRUE(Near(*img, 21, 21, Rgb(255, 0, 0), 5));
        EXPECT_TRUE(Near(*img, 176, 21, Rgb(0, 255, 0), 8));
        EXPECT_TRUE(Near(*img, 21, 176, Rgb(0, 0, 255), 8));
        EXPECT_TRUE(Near(*img, 73, 73, Rgb(85, 85, 85), 3));
        EXPECT_TRUE(Near(*img, 100, 21, Rgb(128, 127, 0), 3));
        EXPECT_EQ(At(*img, 150, 150), kWhite);
    }
    {
        auto img = Decode(emf({GradientFill({{0, 0, 0x80FF, 0x80FF, 0x80FF}, {10, 10, 0x80FF, 0x80FF, 0x80FF},
                                             {20, 0, 0, 0, 0}, {30, 10, 0, 0, 0}},
                                            {{0, 1}, {2, 3}}, 0)}));
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(At(*img, 5, 5), Str(Rgb(128, 128, 128)));
        EXPECT_EQ(At(*img, 25, 5), kBlack);
    }
    // Four bytes a vertex between vertices and items, as some writers leave them.
    {
        EmfRecord padded = GradientFill({{0, 0, 0, 0, 0}, {10, 10, 0, 0, 0}}, {{0, 1}}, 0);
        padded.params.insert(padded.params.begin() + 28 + 2 * 16, 8, uint8_t(0));
        auto img = Decode(emf({padded}));
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(At(*img, 5, 5), kBlack);
        EXPECT_EQ(At(*img, 15, 15), kWhite);
    }
    // Hostile: an item naming a vertex past the list is left out, the others drawn; counts past
    // the record fail with a message.
    {
        auto img = Decode(emf({GradientFill({{0, 0, 0, 0, 0}, {10, 10, 0, 0, 0}}, {{0, 7}, {0, 1}}, 0)}));
        ASSERT_TRUE(img->IsValid()) << img->GetLastError();
        EXPECT_EQ(At(*img, 5, 5), kBlack);
        EXPECT_EQ(At(*img, 15, 15), kWhite);
        EmfRecord many = GradientFill({{0, 0, 0, 0, 0}, {10, 10, 0, 0, 0}}, {{0, 1}}, 0);
        std::copy_n(Ints({0x10000000}).begin(), 4, many.params.begin() + 16);
        auto bad = Decode(emf({many}));
        EXPECT_FALSE(bad->IsValid());
        EXPECT_STREQ(bad->GetLastError(), "EMF record holds fewer points than it names");
        EmfRecord items = GradientFill({{0, 0, 0, 0, 0}, {10, 10, 0, 0, 0}}, {{0, 1}}, 2);
        auto shortTriangles = Decode(emf({items}));  // a triangle needs twelve bytes, the record has eight
        EXPECT_FALSE(shortTriangles->IsValid());
    }
}

TEST(CLfImageWMFRecords, AlphaTransparentAndParallelogramBlits)
{
    // Ground (60, 120, 240) over the whole picture.
    const std::vector<EmfRecord> ground = {{39, Ints({1, 0, 0xF0783C, 0})}, {37, Ints({1})},
                                           {37, Ints({int64_t(0x80000008)})}, Rect(0, 0, 101, 101)};
    const auto scaledBlit = [](uint32_t type, int x, int y, int w, int h, int64_t rop, const Bytes& dib, int sw, int sh) {
        Bytes fixed = Ints({0, 0, -1, -1, x, y, w, h, rop, 0, 0}) + Floats({1, 0, 0, 1, 0, 0}) +
                      Ints({0, 0, 0, 0, 0, 0, sw, sh});
        return EmfWithDib(type, fixed, 76, dib);
    };
    const auto blend = [](int constant, bool perPixel) { return int64_t(constant) << 16 | int64_t(perPixel) << 24; };
    const auto with = [&](const EmfRecord& r) { return Emf(0, 0, 100, 100, ground + std::vector<EmfRecord>{r}); };
    const Bytes one = Dib24(1, 1, [](int, int) { return Rgb(100, 150, 200); });
    // A 32-bit picture, bottom-up: half-covering red (premultiplied), then nothing.
    Bytes argb = DibHeader(2, 1, 32, {});
    for (int v : {0, 0, 128, 128, 0, 0, 0, 0}) argb.push_back(uint8_t(v));
    const Bytes pair = Dib24(2, 1, [](int x, int) { return x == 0 ? Rgb(255, 0, 0) : Rgb(0, 255, 0); });
    struct BlendCase {
        const char* what;
        EmfRecord record;
        std::vector<std::pair<std::pair<int, int>, RGBQUAD>> points;
    } cases[] = {
        {"constant alpha", scaledBlit(114, 20, 20, 30, 30, blend(128, false), one, 1, 1),
         {{{30, 30}, Rgb(80, 135, 220)}, {{60, 30}, Rgb(60, 120, 240)}}},
        {"opaque constant alpha copies", scaledBlit(114, 20, 20, 30, 30, blend(255, false), one, 1, 1),
         {{{30, 30}, Rgb(100, 150, 200)}}},
        {"zero constant alpha leaves all", scaledBlit(114, 20, 20, 30, 30, blend(0, false), one, 1, 1),
         {{{30, 30}, Rgb(60, 120, 240)}}},
        {"per-pixel alpha, premultiplied", scaledBlit(114, 10, 10, 20, 10, blend(255, true), argb, 2, 1),
         {{{15, 15}, Rgb(158, 60, 120)}, {{25, 15}, Rgb(60, 120, 240)}}},
        {"per-pixel and constant alpha", scaledBlit(114, 10, 10, 20, 10, blend(128, true), argb, 2, 1),
         {{{15, 15}, Rgb(109, 90, 180)}, {{25, 15}, Rgb(60, 120, 240)}}},
        {"without the alpha flag the fourth byte is not read", scaledBlit(114, 10, 10, 20, 10, blend(255, false), argb, 2, 1),
         {{{15, 15}, Rgb(128, 0, 0)}, {{25, 15}, Rgb(0, 0, 0)}}},
        {"transparent colour left out", scaledBlit(116, 10, 10, 40, 10, 0x00FF00, pair, 2, 1),
         {{{15, 15}, Rgb(255, 0, 0)}, {{35, 15}, Rgb(60, 120, 240)}}},
        {"other colours than the transparent one stay", scaledBlit(116, 10, 10, 40, 10, 0xFF0000, pair, 2, 1),
         {{{15, 15}, Rgb(255, 0, 0)}, {{35, 15}, Rgb(0, 255, 0)}}},
    };
    for (const BlendCase& c : cases) {
        auto img = Decode(with(c.record));
        ASSERT_TRUE(img->IsValid()) << c.what << ": " << img->GetLastError();
        for (const auto& [at, colour] : c.points) EXPECT_TRUE(Near(*img, at.first, at.second, colour)) << c.what;
    }
    // Clipped, and the clip still holds for what follows.
    auto clipped = Decode(Emf(0, 0, 100, 100, ground + std::vector<EmfRecord>{{30, Ints({0, 0, 40, 40})},
                                                                              scaledBlit(114, 20, 20, 60, 60, blend(255, false), one, 1, 1),
                                                                              {37, Ints({int64_t(0x80000004)})},
                                                                              Rect(0, 0, 25, 25), Rect(50, 50, 101, 101)}));
    ASSERT_TRUE(clipped->IsValid());
    EXPECT_TRUE(Near(*clipped, 10, 10, Rgb(0, 0, 0)));
    EXPECT_TRUE(Near(*clipped, 30, 30, Rgb(100, 150, 200)));
    EXPECT_TRUE(Near(*clipped, 45, 45, Rgb(60, 120, 240)));
    EXPECT_TRUE(Near(*clipped, 60, 60, Rgb(60, 120, 240)));

    // Parallelograms: the source's top-left, top-right and bottom-left corners go to
    // the three points; 2 x 2 blue, white over red, green.
    const Bytes quad = Dib24(2, 2, [](int x, int y) {
        return y == 0 ? (x == 0 ? Rgb(0, 0, 255) : Rgb(255, 255, 255)) : (x == 0 ? Rgb(255, 0, 0) : Rgb(0, 255, 0));
    });
    const Bytes topLeft = Dib1(2, 2, [](int x, int y) { return x == 0 && y == 0; });
    const auto plg = [&](std::array<int, 6> corners, const Bytes* mask, int maskX = 0) {
        Bytes fixed = Ints({0, 0, -1, -1, corners[0], corners[1], corners[2], corners[3], corners[4], corners[5], 0, 0, 2,
                            2}) +
                      Floats({1, 0, 0, 1, 0, 0}) + Ints({0, 0, 0, 0, 0, 0, maskX, 0, 0, 0, 0, 0, 0});
        const int64_t sourceAt = 8 + int64_t(fixed.size()), maskAt = sourceAt + int64_t(quad.size());
        Bytes fields = Ints({sourceAt, 40, sourceAt + 40, int64_t(quad.size() - 40)});
        std::copy(fields.begin(), fields.end(), fixed.begin() + 88);
        Bytes record = fixed + quad;
        if (mask) {
            fields = Ints({maskAt, 48, maskAt + 48, int64_t(mask->size() - 48)});
            std::copy(fields.begin(), fields.end(), record.begin() + 116);
            record = record + *mask;
        }
        return EmfRecord{79, record};
    };
    const RGBQUAD groundColour = Rgb(60, 120, 240);
    struct PlgCase {
        const char* what;
        EmfRecord record;
        std::vector<std::pair<std::pair<int, int>, RGBQUAD>> points;
    } plgs[] = {
        {"mirrored", plg({50, 10, 10, 10, 50, 50}, nullptr),
         {{{45, 15}, Rgb(0, 0, 255)}, {{15, 15}, Rgb(255, 255, 255)}, {{45, 45}, Rgb(255, 0, 0)}, {{15, 45}, Rgb(0, 255, 0)},
          {{55, 30}, groundColour}}},
        {"turned a quarter", plg({50, 10, 50, 50, 10, 10}, nullptr),
         {{{45, 15}, Rgb(0, 0, 255)}, {{45, 45}, Rgb(255, 255, 255)}, {{15, 15}, Rgb(255, 0, 0)}}},
        {"sheared", plg({10, 10, 50, 10, 30, 50}, nullptr),
         {{{12, 12}, Rgb(0, 0, 255)}, {{12, 45}, groundColour}, {{45, 45}, Rgb(255, 0, 0)}, {{55, 45}, Rgb(0, 255, 0)},
          {{60, 15}, groundColour}}},
        {"masked", plg({10, 10, 50, 10, 10, 50}, &topLeft),
         {{{15, 15}, Rgb(0, 0, 255)}, {{45, 15}, groundColour}, {{15, 45}, groundColour}, {{45, 45}, groundColour}}},
        {"mask from its own corner", plg({10, 10, 50, 10, 10, 50}, &topLeft, 1),
         {{{15, 15}, groundColour}, {{45, 15}, groundColour}}},
        {"corners on one line draw nothing", plg({10, 10, 50, 50, 30, 30}, nullptr),
         {{{30, 30}, groundColour}, {{12, 12}, groundColour}}},
    };
    for (const PlgCase& c : plgs) {
        auto img = Decode(with(c.record));
        ASSERT_TRUE(img->IsValid()) << c.what << ": " << img->GetLastError();
        for (const auto& [at, colour] : c.points) EXPECT_TRUE(Near(*img, at.first, at.second, colour)) << c.what;
    }
}

// ---- text as glyph numbers and small text -------------------------------------------------

namespace {

// The glyph numbers of the characters in the installed face of that family, read
// with FreeType; empty when the family is not installed.
std::vector<int> GlyphNumbers(const std::string& family, const std::string& text)
{
    std::vector<int> out;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
    if (!pattern)
        return out;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* file = nullptr;
    FcChar8* found = nullptr;
    int index = 0;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(match, FC_FAMILY, 0, &found) == FcResultMatch &&
        family == reinterpret_cast<const char*>(found)) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FT_Library library;
        if (FT_Init_FreeType(&library) == 0) {
            FT_Face face;
            if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) == 0) {
                for (char c : text) out.push_back(int(FT_Get_Char_Index(face, FT_ULong(uint8_t(c)))));
                FT_Done_Face(face);
            }
            FT_Done_FreeType(library);
        }
    }
    if (match)
        FcPatternDestroy(match);
    return out;
}

// EMR_EXTTEXTOUTW whose 16-bit values are glyph numbers (ETO_GLYPH_INDEX).
EmfRecord EmfGlyphs(int x, int y, const std::vector<int>& numbers, int options = 0x10)
{
    Bytes chars;
    for (int n : numbers) Put16(chars, n);
    while (chars.size() % 4) chars.push_back(0);
    return {84, Ints({0, 0, -1, -1, 1}) + Floats({1, 1}) +
                    Ints({x, y, int64_t(numbers.size()), 8 + 28 + 40, options, 0, 0, -1, -1, 0}) + chars};
}

// EMR_SMALLTEXTOUT: 0x100 leaves out the rectangle, 0x200 takes 8-bit characters.
EmfRecord SmallText(int x, int y, const std::vector<int>& chars, int options, std::array<int, 4> rect = {0, 0, 0, 0})
{
    Bytes b = Ints({x, y, int64_t(chars.size()), options, 1}) + Floats({1, 1});
    if (!(options & 0x100))
        b = b + Ints({rect[0], rect[1], rect[2], rect[3]});
    for (int c : chars) (options & 0x200) ? b.push_back(uint8_t(c)) : Put16(b, c);
    while (b.size() % 4) b.push_back(0);
    return {108, b};
}

std::vector<int> Codes(const std::string& text)
{
    return std::vector<int>(text.begin(), text.end());
}

}  // namespace

TEST(CLfImageWMFRecords, GlyphNumbersAndSmallText)
{
    const auto emf = [](std::vector<EmfRecord> r, const std::string& face = "DejaVu Sans") {
        return Emf(0, 0, 200, 100, std::vector<EmfRecord>{EmfFont(1, -40, 0, 0, 400, false, false, false, face),
                                                          {37, Ints({1})}} + r);
    };
    const std::vector<int> numbers = GlyphNumbers("DejaVu Sans", "Hig");
    ASSERT_EQ(numbers.size(), 3u) << "the tests' fonts are installed";
    auto characters = Decode(emf({EmfText(20, 20, "Hig")}));
    ASSERT_TRUE(characters->IsValid());
    ASSERT_GT(InkOf(*characters).count, 300);
    struct Same {
        const char* what;
        EmfRecord record;
    } same[] = {
        {"glyph numbers of the face", EmfGlyphs(20, 20, numbers)},
        {"small text, 16-bit, no rectangle", SmallText(20, 20, Codes("Hig"), 0x100)},
        {"small text, 8-bit, no rectangle", SmallText(20, 20, Codes("Hig"), 0x300)},
        {"small text, rectangle not used", SmallText(20, 20, Codes("Hig"), 0, {0, 0, 5, 5})},
        {"small text of glyph numbers", SmallText(20, 20, numbers, 0x110)},
    };
    for (const Same& c : same) {
        auto img = Decode(emf({c.record}));
        ASSERT_TRUE(img->IsValid()) << c.what << ": " << img->GetLastError();
        EXPECT_TRUE(SamePicture(*img, *characters)) << c.what;
    }

    // Clipped to its rectangle, and the rectangle painted in the background colour.
    auto clipped = Decode(emf({SmallText(20, 20, Codes("Hig"), 0x4, {20, 20, 45, 90})}));
    ASSERT_TRUE(clipped->IsValid());
    const Ink inside = InkOf(*clipped);
    EXPECT_GT(inside.count, 50);
    EXPECT_GE(inside.left, 20);
    EXPECT_LE(inside.right, 45);
    EXPECT_LT(inside.count, InkOf(*characters).count / 2);
    auto opaque = Decode(emf({{25, Ints({0x0000FF})}, SmallText(20, 20, Codes("Hig"), 0x2, {100, 10, 150, 40})}));
    ASSERT_TRUE(opaque->IsValid());
    EXPECT_EQ(At(*opaque, 140, 35), kRed);
    EXPECT_EQ(At(*opaque, 160, 35), kWhite);

    // A face that is not installed: the substitute face's glyphs of those numbers.
    auto missing = Decode(emf({EmfGlyphs(20, 20, numbers)}, "Lanternfolio Absent Face"));
    ASSERT_TRUE(missing->IsValid());
    EXPECT_GT(InkOf(*missing).count, 100);
    EXPECT_LE(InkOf(*missing).bottom, 80);

    // Numbers past the face's glyphs draw its empty-glyph box and break nothing after.
    auto past = Decode(emf({EmfGlyphs(20, 20, {65535, 65534}), EmfText(20, 20, "Hig")}));
    ASSERT_TRUE(past->IsValid());
    EXPECT_GE(InkOf(*past).count, InkOf(*characters).count);

    // The 16-bit ExtTextOut: byte glyph numbers (these are below 256) as they stand.
    const auto wmf = [](const std::vector<int>& bytes, int options) {
        std::string text(bytes.begin(), bytes.end());
        return PlaceableWmf(0, 0, 200, 100, 96,
                            {{0x02FB, WmfFont(-40)}, {0x012D, {0}}, {0x0A32, std::vector<int>{20, 20, 3, options} + Words(text)}});
    };
    ASSERT_TRUE(std::all_of(numbers.begin(), numbers.end(), [](int n) { return n < 256; }));
    auto wmfCharacters = Decode(wmf(Codes("Hig"), 0));
    auto wmfGlyphs = Decode(wmf(numbers, 0x10));
    ASSERT_TRUE(wmfCharacters->IsValid() && wmfGlyphs->IsValid());
    EXPECT_GT(InkOf(*wmfCharacters).count, 300);
    EXPECT_TRUE(SamePicture(*wmfGlyphs, *wmfCharacters));

    // Hostile: more characters than the record holds.
    EmfRecord longer = SmallText(20, 20, Codes("Hig"), 0x100);
    std::copy_n(Ints({1000}).begin(), 4, longer.params.begin() + 8);
    auto bad = Decode(emf({longer}));
    EXPECT_FALSE(bad->IsValid());
    EXPECT_STREQ(bad->GetLastError(), "EMF record too short");
}

// ---- flood fills, raster operations of pens and brushes, widened paths, brush origin -----

TEST(CLfImageWMFRecords, FloodFills)
{
    // A black frame on pixels 10..49 (hollow brush, one-pixel pen), then a red brush.
    const std::vector<EmfRecord> frame = {{37, Ints({int64_t(0x80000005)})}, Rect(10, 10, 50, 50),
                                          {39, Ints({1, 0, 0x0000FF, 0})}, {37, Ints({1})}};
    const auto emf = [&](std::vector<EmfRecord> r) { return Emf(0, 0, 100, 100, frame + r); };
    const auto flood = [](int x, int y, int64_t colour, int mode) { return EmfRecord{53, Ints({x, y, colour, mode})}; };
    // WMF: a null brush, the frame, a red brush.
    const auto wmf = [](std::vector<WmfRecord> r) {
        std::vector<WmfRecord> all = {{0x02FC, {1, 0, 0, 0}}, {0x012D, {0}}, {0x041B, {50, 50, 10, 10}},
                                      {0x02FC, {0, 0x00FF, 0, 0}}, {0x012D, {1}}};
        all.insert(all.end(), r.begin(), r.end());
        return PlaceableWmf(0, 0, 100, 100, 96, all);
    };
    Check({
        {"border: inside the frame", emf({flood(30, 30, 0x000000, 0)}),
         {{30, 30, kRed}, {11, 11, kRed}, {48, 48, kRed}, {10, 30, kBlack}, {49, 49, kBlack}, {60, 60, kWhite}, {5, 5, kWhite}}},
        {"surface: the white around the frame", emf({flood(60, 60, 0xFFFFFF, 1)}),
         {{60, 60, kRed}, {0, 0, kRed}, {99, 99, kRed}, {9, 30, kRed}, {10, 30, kBlack}, {30, 30, kWhite}}},
        {"border: starting on the border colour fills nothing", emf({flood(10, 30, 0x000000, 0)}),
         {{30, 30, kWhite}, {60, 60, kWhite}, {10, 30, kBlack}}},
        {"surface: starting on another colour fills nothing", emf({flood(30, 30, 0x0000FF, 1)}),
         {{30, 30, kWhite}}},
        {"clipped: only inside the clip", emf({{30, Ints({0, 0, 20, 20})}, flood(15, 15, 0x000000, 0)}),
         {{15, 15, kRed}, {19, 19, kRed}, {30, 30, kWhite}}},
        {"clipped: a start outside the clip fills nothing", emf({{30, Ints({0, 0, 20, 20})}, flood(30, 30, 0x000000, 0)}),
         {{30, 30, kWhite}, {15, 15, kWhite}}},
        {"border: inside an ellipse's outline",
         Emf(0, 0, 100, 100, {{37, Ints({int64_t(0x80000005)})}, {42, Ints({10, 10, 70, 70})}, {39, Ints({1, 0, 0x0000FF, 0})},
                              {37, Ints({1})}, flood(40, 40, 0x000000, 0)}),
         {{40, 40, kRed}, {15, 40, kRed}, {13, 13, kWhite}, {80, 80, kWhite}, {40, 80, kWhite}}},
        {"wmf flood fill", wmf({{0x0419, {0, 0, 30, 30}}}), {{30, 30, kRed}, {60, 60, kWhite}, {10, 30, kBlack}}},
        {"wmf extended, surface", wmf({{0x0548, {1, 0xFFFF, 0x00FF, 60, 60}}}), {{60, 60, kRed}, {30, 30, kWhite}}},
        {"wmf extended, border", wmf({{0x0548, {0, 0, 0, 30, 30}}}), {{30, 30, kRed}, {60, 60, kWhite}}},
    });
}

TEST(CLfImageWMFRecords, BinaryRasterOperationsOfPensAndBrushes)
{
    // Destination (60, 120, 240), a brush of (10, 20, 30) over 20..59.
    const int d[3] = {60, 120, 240}, pen[3] = {10, 20, 30};
    const std::vector<EmfRecord> ground = {{39, Ints({1, 0, 0xF0783C, 0})}, {37, Ints({1})}, {37, Ints({int64_t(0x80000008)})},
                                           Rect(0, 0, 101, 101), {39, Ints({2, 0, 0x1E140A, 0})}, {37, Ints({2})}};
    const std::function<int(int, int)> ops[16] = {
        [](int, int) { return 0; },                  // black
        [](int p, int q) { return ~(p | q); },      // not merge pen
        [](int p, int q) { return ~p & q; },        // mask not pen
        [](int p, int) { return ~p; },               // not copy pen
        [](int p, int q) { return p & ~q; },        // mask pen not
        [](int, int q) { return ~q; },               // not
        [](int p, int q) { return p ^ q; },         // xor pen
        [](int p, int q) { return ~(p & q); },      // not mask pen
        [](int p, int q) { return p & q; },         // mask pen
        [](int p, int q) { return ~(p ^ q); },      // not xor pen
        [](int, int q) { return q; },                // nop
        [](int p, int q) { return ~p | q; },        // merge not pen
        [](int p, int) { return p; },                // copy pen
        [](int p, int q) { return p | ~q; },        // merge pen not
        [](int p, int q) { return p | q; },         // merge pen
        [](int, int) { return 255; },                // white
    };
    for (int op = 1; op <= 16; ++op) {
        const auto expected = [&](const int* source) {
            const auto f = ops[op - 1];
            return Rgb(uint8_t(f(source[0], d[0])), uint8_t(f(source[1], d[1])), uint8_t(f(source[2], d[2])));
        };
        auto img = Decode(Emf(0, 0, 100, 100, ground + std::vector<EmfRecord>{{20, Ints({op})}, Rect(20, 20, 60, 60)}));
        ASSERT_TRUE(img->IsValid()) << op;
        EXPECT_EQ(At(*img, 40, 40), Str(expected(pen))) << "brush, operation " << op;
        EXPECT_EQ(At(*img, 80, 80), Str(Rgb(60, 120, 240))) << "brush, operation " << op;
        // A one-pixel pen of (10, 20, 30) along y 80.
        auto line = Decode(Emf(0, 0, 100, 100, ground + std::vector<EmfRecord>{{38, Ints({3, 0, 0, 0, 0x1E140A})},
                                                                           {37, Ints({3})}, {20, Ints({op})},
                                                                           {27, Ints({10, 80})}, {54, Ints({90, 80})}}));
        ASSERT_TRUE(line->IsValid()) << op;
        EXPECT_EQ(At(*line, 50, 80), Str(expected(pen))) << "pen, operation " << op;
        EXPECT_EQ(At(*line, 50, 85), Str(Rgb(60, 120, 240))) << "pen, operation " << op;
    }
    // The same ellipse and wide line twice in exclusive-or give the picture back.
    const std::vector<EmfRecord> twice = {{20, Ints({7})}, {38, Ints({3, 0, 7, 0, 0x00FF00})}, {37, Ints({3})},
                                          {42, Ints({13, 17, 71, 58})}, {42, Ints({13, 17, 71, 58})},
                                          {27, Ints({5, 90})}, {54, Ints({93, 66})}, {27, Ints({5, 90})}, {54, Ints({93, 66})}};
    auto undone = Decode(Emf(0, 0, 100, 100, ground + twice));
    auto plain = Decode(Emf(0, 0, 100, 100, ground));
    ASSERT_TRUE(undone->IsValid() && plain->IsValid());
    EXPECT_TRUE(SamePicture(*undone, *plain));
    // A saved context brings the operation back; the 16-bit record sets it too.
    Check({
        {"restored", Emf(0, 0, 100, 100, ground + std::vector<EmfRecord>{{33, {}}, {20, Ints({6})}, {34, Ints({-1})},
                                                                         Rect(20, 20, 60, 60)}),
         {{40, 40, Str(Rgb(10, 20, 30))}}},
        {"wmf xor", PlaceableWmf(0, 0, 100, 100, 96, {{0x02FC, {0, 0x783C, 0x00F0, 0}}, {0x012D, {0}}, {0x041B, {101, 101, 0, 0}},
                                                      {0x02FC, {0, 0x140A, 0x001E, 0}}, {0x012D, {1}}, {0x0104, {7}},
                                                      {0x041B, {60, 60, 20, 20}}}),
         {{40, 40, Str(Rgb(10 ^ 60, 20 ^ 120, 30 ^ 240))}, {80, 80, Str(Rgb(60, 120, 240))}}},
    });
}

TEST(CLfImageWMFRecords, WidenedPathsAndBrushOrigin)
{
    // A pen 10 wide (round ends) and a red brush; the path is one line at y 50.
    const std::vector<EmfRecord> tools = {{38, Ints({2, 0, 10, 0, 0})}, {37, Ints({2})}, {39, Ints({1, 0, 0x0000FF, 0})},
                                          {37, Ints({1})}};
    const std::vector<EmfRecord> line = {{59, {}}, {27, Ints({20, 50})}, {54, Ints({80, 50})}, {60, {}}};
    const auto emf = [&](std::vector<EmfRecord> r) { return Emf(0, 0, 100, 100, tools + r); };
    Check({
        {"widened and filled", emf(line + std::vector<EmfRecord>{{66, {}}, {62, Ints({0, 0, -1, -1})}}),
         {{50, 50, kRed}, {50, 46, kRed}, {50, 53, kRed}, {17, 50, kRed}, {83, 50, kRed}, {50, 42, kWhite}, {50, 58, kWhite},
          {12, 50, kWhite}}},
        {"a line alone fills nothing", emf(line + std::vector<EmfRecord>{{62, Ints({0, 0, -1, -1})}}),
         {{50, 50, kWhite}}},
        {"widened and stroked: the outline", emf(line + std::vector<EmfRecord>{{66, {}}, {37, Ints({int64_t(0x80000007)})},
                                                                                {64, Ints({0, 0, -1, -1})}}),
         {{50, 50, kWhite}, {50, 45, kDark}, {50, 55, kDark}, {15, 50, kDark}, {50, 40, kWhite}}},
        {"a one-pixel pen leaves the path", emf({{37, Ints({int64_t(0x80000007)})}, {59, {}}, Rect(20, 20, 60, 60), {60, {}},
                                                 {66, {}}, {62, Ints({0, 0, -1, -1})}}),
         {{40, 40, kRed}}},
    });
    // Vertical red hatch lines every 8 pixels, moved by the brush origin.
    const auto hatched = [](std::vector<EmfRecord> before) {
        std::vector<EmfRecord> r = before;
        for (const EmfRecord& e : std::vector<EmfRecord>{{39, Ints({1, 2, 0x0000FF, 1})}, {37, Ints({1})},
                                                         {37, Ints({int64_t(0x80000008)})}, {18, Ints({1})},
                                                         Rect(0, 0, 65, 65)})
            r.push_back(e);
        return Emf(0, 0, 64, 64, r);
    };
    const Bytes tile = Dib24(2, 2, [](int x, int y) { return (x + y) % 2 ? Rgb(255, 0, 0) : Rgb(0, 0, 255); });
    const auto pattern = [&](std::vector<EmfRecord> before) {
        return Emf(0, 0, 64, 64, before + std::vector<EmfRecord>{EmfWithDib(94, Ints({1, 0, 0, 0, 0, 0}), 8, tile),
                                                                 {37, Ints({1})}, {37, Ints({int64_t(0x80000008)})},
                                                                 Rect(0, 0, 65, 65)});
    };
    Check({
        {"hatch from the corner", hatched({}), {{16, 20, kRed}, {19, 20, kWhite}}},
        {"hatch from the origin", hatched({{13, Ints({3, 0})}}), {{19, 20, kRed}, {16, 20, kWhite}}},
        {"origin restored with the context", hatched({{33, {}}, {13, Ints({3, 0})}, {34, Ints({-1})}}),
         {{16, 20, kRed}, {19, 20, kWhite}}},
        {"picture brush from the origin", pattern({{13, Ints({1, 0})}}), {{10, 10, kRed}, {11, 10, kBlue}}},
        {"picture brush from the corner", pattern({}), {{10, 10, kBlue}, {11, 10, kRed}}},
    });
}
