#include "image/CLfImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void ExpectBox(const CLfImage& img, int32_t left, int32_t bottom, int32_t right, int32_t top)
{
    const RECT& b = img.info.selectionBox;
    EXPECT_EQ(b.left, left);
    EXPECT_EQ(b.bottom, bottom);
    EXPECT_EQ(b.right, right);
    EXPECT_EQ(b.top, top);
}

// The mask as text, top row first: '#' selected, '.' not.
std::string Picture(const CLfImage& img)
{
    std::string s;
    for (int y = img.GetHeight() - 1; y >= 0; --y) {
        for (int x = 0; x < img.GetWidth(); ++x)
            s += img.SelectionIsInside(x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

int CountSelected(const CLfImage& img)
{
    int n = 0;
    for (int y = 0; y < img.GetHeight(); ++y)
        for (int x = 0; x < img.GetWidth(); ++x)
            n += img.SelectionIsInside(x, y);
    return n;
}

TEST(CLfImageSelection, NoMaskSelectsEverythingInside)
{
    CLfImage img(4, 4, 8);
    EXPECT_TRUE(img.SelectionIsInside(0, 0));
    EXPECT_TRUE(img.SelectionIsInside(3, 3));
    EXPECT_FALSE(img.SelectionIsInside(4, 0));
    EXPECT_FALSE(img.SelectionIsInside(0, -1));
    ExpectBox(img, 4, 4, 0, 0);  // the empty box after Create
    EXPECT_FALSE(img.SelectionClear());
    EXPECT_FALSE(img.SelectionInvert());
    std::vector<RECT> region;
    EXPECT_FALSE(img.SelectionToHRGN(&region));
}

struct RectCase {
    const char* name;
    RECT rect;
    int32_t left, bottom, right, top;  // expected box
    int selected;
};
void PrintTo(const RectCase& c, std::ostream* os)
{
    *os << c.name;
}

class SelectionRect : public ::testing::TestWithParam<RectCase> {};

TEST_P(SelectionRect, Table)
{
    const RectCase c = GetParam();
    CLfImage img(20, 20, 24);
    ASSERT_TRUE(img.SelectionAddRect(c.rect));
    ExpectBox(img, c.left, c.bottom, c.right, c.top);
    EXPECT_EQ(CountSelected(img), c.selected);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(img.SelectionIsInside(x, y),
                      x >= c.left && x < c.right && y >= c.bottom && y < c.top) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionRect,
    ::testing::Values(RectCase{"reversed", RECT{10, 5, 0, 0}, 0, 0, 10, 5, 50},
                      RectCase{"ordered", RECT{2, 3, 6, 9}, 2, 3, 6, 9, 24},
                      RectCase{"clampedLow", RECT{-5, -5, 3, 3}, 0, 0, 3, 3, 9},
                      RectCase{"clampedHigh", RECT{15, 18, 40, 400}, 15, 18, 20, 20, 10},
                      RectCase{"hugeValues", RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 0, 0, 20, 20, 400}));

TEST(CLfImageSelection, TwoRectanglesUnionTheBoxNotTheGap)
{
    CLfImage img(20, 20, 8);
    ASSERT_TRUE(img.SelectionAddRect(RECT{0, 2, 2, 0}));
    ASSERT_TRUE(img.SelectionAddRect(RECT{10, 12, 12, 10}));
    ExpectBox(img, 0, 0, 12, 12);
    EXPECT_FALSE(img.SelectionIsInside(5, 5));
    EXPECT_TRUE(img.SelectionIsInside(11, 11));
    EXPECT_EQ(CountSelected(img), 8);
}

TEST(CLfImageSelection, EllipseInscribedInItsRectangle)
{
    CLfImage img(11, 11, 8);
    EXPECT_FALSE(img.SelectionAddEllipse(RECT{0, 0, 1, 10}));  // rx = 0
    EXPECT_FALSE(img.SelectionAddEllipse(RECT{0, 10, 10, 11}));  // ry = 0
    ASSERT_TRUE(img.SelectionAddEllipse(RECT{0, 10, 10, 0}));
    ExpectBox(img, 0, 0, 10, 10);
    // Centre (5, 5), radii 5: column 0 and row 0 touch the ellipse only at its
    // edge and stay out; the top row 9 holds just the centre column.
    EXPECT_EQ(Picture(img),
              "...........\n"
              ".....#.....\n"
              "..#######..\n"
              "..#######..\n"
              ".#########.\n"
              ".#########.\n"
              ".#########.\n"
              ".#########.\n"
              "..#######..\n"
              "...#####...\n"
              "...........\n");
}

TEST(CLfImageSelection, EllipseAroundACentreOutsideTheImageStaysInside)
{
    // Centre far above and right of a small image: the rows and columns are clamped.
    CLfImage img(8, 8, 8);
    ASSERT_TRUE(img.SelectionAddEllipse(RECT{-2000, 3000, 2010, -2990}));
    EXPECT_GT(CountSelected(img), 0);
    CLfImage below(8, 8, 8);
    ASSERT_TRUE(below.SelectionAddEllipse(RECT{-100, -50, 100, -10}));
    EXPECT_EQ(CountSelected(below), 0);
    ASSERT_TRUE(below.SelectionAddEllipse(RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}));
}

TEST(CLfImageSelection, PolygonTriangle)
{
    CLfImage img(20, 20, 24);
    const POINT tri[3] = {{0, 0}, {10, 0}, {0, 10}};
    ASSERT_TRUE(img.SelectionAddPolygon(tri, 3));
    ExpectBox(img, 0, 0, 12, 12);
    EXPECT_TRUE(img.SelectionIsInside(0, 0));
    EXPECT_TRUE(img.SelectionIsInside(10, 0));
    EXPECT_TRUE(img.SelectionIsInside(0, 10));
    EXPECT_TRUE(img.SelectionIsInside(3, 3));   // inside
    EXPECT_TRUE(img.SelectionIsInside(5, 5));   // on the hypotenuse
    EXPECT_FALSE(img.SelectionIsInside(7, 7));  // beyond it
    EXPECT_FALSE(img.SelectionIsInside(11, 0));
    EXPECT_FALSE(img.SelectionIsInside(0, 11));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(img.SelectionIsInside(x, y), x + y <= 10) << x << "," << y;
}

TEST(CLfImageSelection, PolygonSeparatorsMakeTwoOutlines)
{
    CLfImage img(20, 20, 8);
    const POINT pts[9] = {{1, 1}, {4, 1}, {4, 4}, {1, 4}, {-1, 0}, {10, 10}, {13, 10}, {13, 13}, {10, 13}};
    ASSERT_TRUE(img.SelectionAddPolygon(pts, 9));
    EXPECT_EQ(CountSelected(img), 16 + 16);
    EXPECT_TRUE(img.SelectionIsInside(2, 2));
    EXPECT_TRUE(img.SelectionIsInside(12, 12));
    EXPECT_FALSE(img.SelectionIsInside(7, 7));  // no edge joins the two squares
    ExpectBox(img, 0, 0, 15, 15);
}

TEST(CLfImageSelection, OnePixelWidePolygons)
{
    // A polygon that collapses to one column.
    CLfImage img(10, 10, 8);
    const POINT line[3] = {{4, 2}, {4, 7}, {4, 2}};
    ASSERT_TRUE(img.SelectionAddPolygon(line, 3));
    EXPECT_EQ(CountSelected(img), 6);
    EXPECT_TRUE(img.SelectionIsInside(4, 2));
    EXPECT_TRUE(img.SelectionIsInside(4, 7));
    EXPECT_FALSE(img.SelectionIsInside(5, 5));

    // On an image one pixel wide the polygon's box has no width to spare.
    CLfImage thin(1, 12, 8);
    const POINT pts[3] = {{0, 3}, {0, 8}, {0, 5}};
    ASSERT_TRUE(thin.SelectionAddPolygon(pts, 3));
    EXPECT_EQ(CountSelected(thin), 6);
    ExpectBox(thin, 0, 2, 1, 10);

    // And on a one-pixel image.
    CLfImage dot(1, 1, 24);
    const POINT tri[3] = {{0, 0}, {5, 0}, {0, 5}};
    ASSERT_TRUE(dot.SelectionAddPolygon(tri, 3));
    EXPECT_TRUE(dot.SelectionIsInside(0, 0));
}

TEST(CLfImageSelection, PolygonRefusalsAndHostilePoints)
{
    CLfImage img(16, 16, 8);
    const POINT two[2] = {{0, 0}, {5, 5}};
    EXPECT_FALSE(img.SelectionAddPolygon(two, 2));
    EXPECT_FALSE(img.SelectionAddPolygon(nullptr, 5));
    // Coordinates at the ends of the range finish quickly and touch only the image.
    const POINT wild[4] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}, {0, INT32_MAX}};
    EXPECT_TRUE(img.SelectionAddPolygon(wild, 4));
    ExpectBox(img, 0, 0, 16, 16);
}

TEST(CLfImageSelection, ColourAndPixel)
{
    CLfImage img(6, 4, 24);
    img.SetPixelColor(1, 1, RGBQUAD{1, 2, 3, 0});
    img.SetPixelColor(4, 2, RGBQUAD{1, 2, 3, 0});
    ASSERT_TRUE(img.SelectionAddColor(RGBQUAD{9, 9, 9, 0}));  // nowhere
    ExpectBox(img, 6, 4, 0, 0);
    EXPECT_EQ(CountSelected(img), 0);
    ASSERT_TRUE(img.SelectionAddColor(RGBQUAD{1, 2, 3, 200}));  // fourth byte ignored
    EXPECT_EQ(CountSelected(img), 2);
    ExpectBox(img, 1, 1, 5, 3);

    EXPECT_FALSE(img.SelectionAddPixel(6, 0));
    ASSERT_TRUE(img.SelectionAddPixel(5, 3));
    ExpectBox(img, 1, 1, 6, 4);
    EXPECT_EQ(CountSelected(img), 3);
}

TEST(CLfImageSelection, InvertClearDeleteAndRegion)
{
    CLfImage img(5, 2, 8);
    ASSERT_TRUE(img.SelectionAddPixel(3, 0));
    std::vector<RECT> region;
    ASSERT_TRUE(img.SelectionToHRGN(&region));
    ASSERT_EQ(region.size(), 1u);
    EXPECT_EQ(region[0].left, 3);
    EXPECT_EQ(region[0].top, 0);
    EXPECT_EQ(region[0].right, 4);
    EXPECT_EQ(region[0].bottom, 1);
    EXPECT_FALSE(img.SelectionToHRGN(nullptr));

    img.selection[1] = 1;  // selected for IsInside, not a run for the region
    EXPECT_TRUE(img.SelectionIsInside(1, 0));
    region.clear();
    img.SelectionToHRGN(&region);
    EXPECT_EQ(region.size(), 1u);

    ASSERT_TRUE(img.SelectionInvert());
    ExpectBox(img, 3, 0, 4, 1);  // unchanged
    EXPECT_EQ(img.selection[1], 254);
    EXPECT_EQ(img.selection[3], 0);
    region.clear();
    img.SelectionToHRGN(&region);
    EXPECT_EQ(region.size(), 4u);  // (0), (2), (4) in row 0 and all of row 1
    ASSERT_TRUE(img.SelectionInvert());
    EXPECT_EQ(img.selection[3], 255);

    ASSERT_TRUE(img.SelectionClear());
    EXPECT_EQ(CountSelected(img), 0);
    ExpectBox(img, 5, 2, 0, 0);
    EXPECT_TRUE(img.SelectionDelete());
    EXPECT_EQ(img.selection, nullptr);
    EXPECT_TRUE(img.SelectionIsInside(0, 0));
}

TEST(CLfImageSelection, CopyNeedsTheSameSize)
{
    CLfImage src(6, 6, 8);
    src.SelectionAddRect(RECT{1, 1, 3, 3});
    CLfImage dst(6, 6, 24);
    ASSERT_TRUE(dst.SelectionCopy(src));
    EXPECT_TRUE(dst.SelectionIsInside(2, 2));
    ExpectBox(dst, 1, 1, 3, 3);
    CLfImage taller(6, 9, 8);
    EXPECT_FALSE(taller.SelectionCopy(src));
    EXPECT_EQ(taller.selection, nullptr);
    CLfImage none(6, 6, 8);
    EXPECT_FALSE(dst.SelectionCopy(none));
}

TEST(CLfImageSelection, CreateDropsTheMask)
{
    CLfImage img(6, 6, 8);
    img.SelectionAddRect(RECT{0, 0, 2, 2});
    img.Create(3, 3, 8);
    EXPECT_EQ(img.selection, nullptr);
    ExpectBox(img, 3, 3, 0, 0);
    CLfImage empty;
    EXPECT_FALSE(empty.SelectionAddRect(RECT{0, 0, 1, 1}));
}

}  // namespace
