#include "image/codecs/CLfImageWMF.h"

#include "image/CLfMemoryStream.h"
#include "image/LfCodecTable.h"
#include "tests/image/CodecTestUtil.h"
#include "tests/image/codecs/MetafileBuilder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

using namespace lftest;

namespace {

std::unique_ptr<CLfImage> Decode(const Bytes& data, uint32_t type = lfimg::kTypeWMF)
{
    auto img = std::make_unique<CLfImage>();
    img->Decode(data.data(), int64_t(data.size()), type);
    return img;
}

std::string At(const CLfImage& img, int x, int top)
{
    return Str(lftest::Colour(img, x, img.GetHeight() - 1 - top));
}
const std::string kWhite = Str(Rgb(255, 255, 255));

}  // namespace

TEST(CLfImageWMF, PlaceableFileRendersItsShapesAtNinetySixDpi)
{
    // Two inches by one at 1440 units an inch: 192 x 96 pixels.
    const std::vector<WmfRecord> records = {
        {0x020B, {0, 0}},                            // window origin
        {0x020C, {1440, 2880}},                      // window extent (y, x)
        {0x02FC, {0, 255, 0, 0}},                    // solid red brush -> slot 0
        {0x012D, {0}},                               //   selected
        {0x02FA, {5, 0, 0, 0, 0}},                   // null pen -> slot 1
        {0x012D, {1}},                               //   selected
        {0x041B, {1440, 1440, 0, 0}},                // rectangle: the left half
        {0x01F0, {0}},                               // red brush deleted: slot 0 free again
        {0x02FC, {0, 0, 255, 0}},                    // solid blue brush -> slot 0
        {0x012D, {0}},
        {0x0418, {1440, 2880, 0, 1440}},             // ellipse in the right half
        {0x02FA, {0, 30, 0, 0, 0}},                  // black pen, 30 units (2 pixels) -> slot 2
        {0x012D, {2}},
        {0x0214, {1300, 0}},                         // move to (0, 1300)
        {0x0213, {1300, 2880}},                      // line across near the bottom
        {0x0521, {2, 'H' | ('i' << 8), 10, 10}},     // text: skipped
    };
    const Bytes file = PlaceableWmf(0, 0, 2880, 1440, 1440, records);
    auto img = Decode(file);
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    EXPECT_EQ(img->GetWidth(), 192);
    EXPECT_EQ(img->GetHeight(), 96);
    EXPECT_EQ(img->GetType(), uint32_t(lfimg::kTypeWMF));
    EXPECT_EQ(At(*img, 20, 20), Str(Rgb(255, 0, 0)));
    EXPECT_EQ(At(*img, 144, 48), Str(Rgb(0, 0, 255)));  // ellipse centre
    EXPECT_EQ(At(*img, 190, 2), kWhite);                // outside the ellipse: window colour
    EXPECT_EQ(At(*img, 100, 86), Str(Rgb(0, 0, 0)));    // the line, two pixels about y = 1300 / 15
    EXPECT_EQ(At(*img, 144, 80), Str(Rgb(0, 0, 255)));  // ellipse above the line
    // The type-0 trial finds it too.
    auto trial = Decode(file, 0);
    ASSERT_TRUE(trial->IsValid());
    EXPECT_EQ(trial->GetType(), uint32_t(lfimg::kTypeWMF));
}

TEST(CLfImageWMF, PolygonsFillByTheirRuleAndBitmapsStretch)
{
    // A window of 100 x 100 units onto 96 x 96 pixels (1 inch at 100 units).
    Bytes dib = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0};  // 2 x 2, 24 bits
    dib.resize(40, 0);
    // Bottom row: red, green; top row: blue, white (each row padded to 8 bytes).
    for (int v : {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}) dib.push_back(uint8_t(v));
    std::vector<int> stretch = {0x0020, 0x00CC, 0, 2, 2, 0, 0, 50, 50, 50, 50};  // SRCCOPY; 2x2 -> (50,50) 50x50
    for (size_t i = 0; i < dib.size(); i += 2) stretch.push_back(dib[i] | (dib[i + 1] << 8));
    // A five-point star: its centre is outside by the alternate rule, inside by winding.
    std::vector<int> poly = {5};
    const int xs[] = {25, 31, 2, 48, 19}, ys[] = {2, 48, 18, 18, 48};
    for (int i = 0; i < 5; ++i) {
        poly.push_back(xs[i]);
        poly.push_back(ys[i]);
    }
    const auto file = [&](int fillMode) {
        return PlaceableWmf(0, 0, 100, 100, 100,
                            {{0x020C, {100, 100}},
                             {0x02FC, {0, 0x8000, 0, 0}},  // green brush (0, 128, 0)
                             {0x012D, {0}},
                             {0x02FA, {5, 0, 0, 0, 0}},
                             {0x012D, {1}},
                             {0x0106, {fillMode}},
                             {0x0324, poly},
                             {0x0F43, stretch}});
    };
    auto alternate = Decode(file(1));
    ASSERT_TRUE(alternate->IsValid()) << alternate->GetLastError();
    EXPECT_EQ(At(*alternate, 24, 24), kWhite);               // the star's middle: a hole
    EXPECT_EQ(At(*alternate, 8, 20), Str(Rgb(0, 128, 0)));  // a point of the star
    auto winding = Decode(file(2));
    ASSERT_TRUE(winding->IsValid());
    EXPECT_EQ(At(*winding, 24, 24), Str(Rgb(0, 128, 0)));
    // The bitmap fills (48..96, 48..96), top row of the picture first.
    EXPECT_EQ(At(*winding, 60, 60), Str(Rgb(0, 0, 255)));
    EXPECT_EQ(At(*winding, 90, 60), Str(Rgb(255, 255, 255)));
    EXPECT_EQ(At(*winding, 60, 90), Str(Rgb(255, 0, 0)));
    EXPECT_EQ(At(*winding, 90, 90), Str(Rgb(0, 255, 0)));
}

TEST(CLfImageWMF, EnhancedMetafileFitsWithinFourThousand)
{
    const std::vector<EmfRecord> records = {
        {39, Ints({1, 0, 0x00FF0000, 0})},  // brush 1: solid blue
        {37, Ints({1})},
        {37, Ints({0x80000008})},  // stock null pen
        {43, Ints({0, 0, 5000, 5000})},  // rectangle over the left half
        {86, [] {                         // 16-bit polygon: a triangle on the right
             Bytes b = Ints({0, 0, 0, 0, 3});
             for (int v : {6000, 1000, 9000, 1000, 7500, 4000}) Put16(b, v);
             return b;
         }()},
    };
    auto img = Decode(Emf(0, 0, 10000, 5000, records));
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    EXPECT_EQ(img->GetWidth(), 4000);
    EXPECT_EQ(img->GetHeight(), 2000);
    EXPECT_EQ(At(*img, 1000, 1000), Str(Rgb(0, 0, 255)));
    EXPECT_EQ(At(*img, 3000, 800), Str(Rgb(0, 0, 255)));   // triangle (7500, 2000) scaled by 0.4
    EXPECT_EQ(At(*img, 3000, 1900), kWhite);
    EXPECT_EQ(At(*img, 2200, 100), kWhite);
}

TEST(CLfImageWMF, FitWithinLimitKeepsTheAspect)
{
    struct Case {
        int64_t w, h, fw, fh;
    } cases[] = {{10000, 5000, 4000, 2000}, {5000, 10000, 2000, 4000}, {4000, 4000, 4000, 4000},
                 {300, 200, 300, 200}, {9000, 8000, 4000, 3555}};
    for (const Case& c : cases) {
        int64_t w = c.w, h = c.h;
        CLfImageWMF::FitWithinLimit(w, h);
        EXPECT_EQ(w, c.fw);
        EXPECT_EQ(h, c.fh);
    }
}

TEST(CLfImageWMF, DamagedAndEmptyFilesFailPromptly)
{
    const std::vector<WmfRecord> one = {{0x041B, {10, 10, 0, 0}}};
    Bytes overrun = PlaceableWmf(0, 0, 100, 100, 100, one);
    // The rectangle record claims 0x7FFF words.
    overrun[22 + 18] = 0xFF;
    overrun[22 + 18 + 1] = 0x7F;
    Bytes manyPoints = PlaceableWmf(0, 0, 100, 100, 100, {{0x0324, {30000, 1, 1, 2, 2}}});
    Bytes emfOverrun = Emf(0, 0, 100, 100, {{43, Ints({0, 0, 10, 10})}});
    emfOverrun[88 + 4] = 0xF0;  // the rectangle record's size
    struct Case {
        std::string what;
        Bytes data;
        const char* error;
    } cases[] = {
        {"bad checksum", PlaceableWmf(0, 0, 100, 100, 100, one, 1), "corrupted WMF"},
        {"zero width", PlaceableWmf(50, 0, 50, 100, 100, one), "empty WMF"},
        {"negative height", PlaceableWmf(0, 100, 100, -100, 100, one), "empty WMF"},
        {"inch 0", PlaceableWmf(0, 0, 100, 100, 0, one), "corrupted WMF"},
        {"overrunning record", overrun, "WMF record overruns the file"},
        {"more points than bytes", manyPoints, "WMF record holds fewer points than it names"},
        {"empty EMF bounds", Emf(10, 0, 10, 100, {}), "empty WMF"},
        {"overrunning EMF record", emfOverrun, "EMF record overruns the file"},
        {"not a metafile", Bytes(200, 'x'), "corrupted WMF"},
    };
    for (const Case& c : cases) {
        auto img = Decode(c.data);
        EXPECT_FALSE(img->IsValid()) << c.what;
        EXPECT_STREQ(img->GetLastError(), c.error) << c.what;
    }
    // Cut short anywhere: refused, never read past the end.
    const Bytes good = PlaceableWmf(0, 0, 100, 100, 100, one);
    for (size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(Decode(Bytes(good.begin(), good.begin() + long(cut)))->IsValid()) << cut;
}

TEST(CLfImageWMF, DrawingBeyondTheWorkBudgetKeepsWhatWasDrawn)
{
    // A red rectangle, then a polygon of 120,000 points zig-zagging over all 300 rows
    // (scanning it would cost more than a picture may), then a blue rectangle: the
    // picture comes back with the red one alone, and without a message.
    Bytes zigzag = Ints({0, 0, 0, 0, 120000});
    for (int i = 0; i < 120000; ++i) {
        Put16(zigzag, i % 400);
        Put16(zigzag, i % 2 ? 299 : 0);
    }
    std::vector<EmfRecord> records = {{39, Ints({1, 0, 0x0000FF, 0})}, {37, Ints({1})},
                                      {37, Ints({int64_t(0x80000008)})}, {43, Ints({0, 0, 100, 100})},
                                      {86, zigzag},
                                      {39, Ints({2, 0, 0xFF0000, 0})}, {37, Ints({2})}, {43, Ints({200, 0, 300, 100})}};
    auto img = Decode(Emf(0, 0, 400, 300, records));
    ASSERT_TRUE(img->IsValid()) << img->GetLastError();
    EXPECT_STREQ(img->GetLastError(), "");
    EXPECT_EQ(At(*img, 50, 50), Str(Rgb(255, 0, 0)));
    EXPECT_EQ(At(*img, 250, 50), kWhite);
    EXPECT_EQ(At(*img, 150, 200), kWhite);
}

TEST(CLfImageWMF, ExtremeFieldValuesDrawWithoutOverflow)
{
    // Fields at the ends of their ranges, where negating, subtracting or scaling them
    // would leave the integers (the sanitizer builds stop on that): each file still
    // draws, or is refused with its message.
    constexpr int64_t kMin = -2147483647 - 1, kMax = 2147483647;
    const Bytes dib = Dib24(2, 2, [](int, int) { return Rgb(0, 0, 255); });
    const auto dibAt = [&](uint32_t type, std::vector<int64_t> fixed) {
        Bytes b;
        for (int64_t v : fixed) Put32(b, v);
        return EmfWithDib(type, b, 40, dib);
    };
    std::vector<EmfRecord> infinite = {{17, Ints({8})}, {9, Ints({1, 1})}};
    for (int i = 0; i < 40; ++i) infinite.push_back({31, Ints({kMax, 1, kMax, 1})});  // viewport extent x 2^31
    infinite.push_back({30, Ints({0, 0, 10, 10})});                                    // clip through it
    infinite.push_back({43, Ints({0, 0, 50, 50})});
    Bytes manyPoints = Ints({0, 0, 0, 0, kMax});
    struct Case {
        std::string what;
        Bytes file;
        int width, height;  // 0: refused
        const char* error = "";
    } cases[] = {
        {"font width -2^31", Emf(0, 0, 100, 50, {EmfFont(1, -20, int(kMin)), {37, Ints({1})}, EmfText(5, 5, "Hi")}), 100, 50},
        {"bounds at -2^31", Emf(int(kMin), int(kMin), int(kMin) + 100, int(kMin) + 50, {{43, Ints({kMin, kMin, kMin + 20, kMin + 20})}}), 100, 50},
        {"DIB rows from -2^31", Emf(0, 0, 100, 50, {dibAt(80, {0, 0, 0, 0, 10, 10, 0, kMin, 2, 2, 0, 0, 0, 0, 0, 1, 2})}), 100, 50},
        {"stretched DIB from -2^31", Emf(0, 0, 100, 50, {dibAt(81, {0, 0, 0, 0, 10, 10, 0, kMin, 2, 2, 0, 0, 0, 0, 0, 0xCC0020, 20, 20})}), 100, 50},
        {"stretched DIB of -2^31 rows", Emf(0, 0, 100, 50, {dibAt(81, {0, 0, 0, 0, 10, 10, kMax, kMax, kMin, kMin, 0, 0, 0, 0, 0, 0xCC0020, kMin, kMax})}), 100, 50},
        {"extents scaled past any number", Emf(0, 0, 100, 50, infinite), 100, 50},
        {"pen width -2^31", Emf(0, 0, 100, 50, {{38, Ints({1, 0, kMin, 0, 0})}, {37, Ints({1})}, {27, Ints({0, 0})}, {54, Ints({90, 40})}}), 100, 50},
        {"user dashes at 2^32 - 1", Emf(0, 0, 100, 50, {{95, Ints({1, 0, 0, 0, 0, 0x10007, kMax, 0, 0, 0, 2, 0xFFFFFFFF, 0xFFFFFFFF})}, {37, Ints({1})}, {27, Ints({kMin, kMin})}, {54, Ints({kMax, kMax})}}), 100, 50},
        {"restore -2^31 states back", Emf(0, 0, 100, 50, {{33, {}}, {34, Ints({kMin})}}), 100, 50},
        {"region frame of -2^31", Emf(0, 0, 100, 50, {{39, Ints({1, 0, 0, 0})}, {72, Ints({0, 0, 0, 0, 48, 1, kMin, kMin, 32, 1, 1, 16, 0, 0, 10, 10, 0, 0, 10, 10})}}), 100, 50},
        {"arc of radius 2^32 - 1", Emf(0, 0, 100, 50, {{41, Ints({kMin, kMax, 0xFFFFFFFF}) + Floats({1e30f, -1e30f})}}), 100, 50},
        {"blit at the ends", Emf(0, 0, 100, 50, {{76, Ints({0, 0, 0, 0, kMin, kMin, kMax, kMax, 0xF00021}) + Bytes(56, 0)}}), 100, 50},
        {"WMF font width -2^15", PlaceableWmf(0, 0, 100, 50, 96, {{0x02FB, WmfFont(-20, -32768, -32768, -32768)}, {0x012D, {0}}, {0x0108, {-32768}}, {0x0521, {2, 'H' | ('i' << 8), 5, 5}}}), 100, 50},
        {"WMF extents scaled by -2^15", PlaceableWmf(0, 0, 100, 50, 96, {{0x0412, {-32768, 1, -32768, 1}}, {0x0410, {1, -32768, 1, -32768}}, {0x0416, {10, 10, 0, 0}}, {0x041B, {-32768, -32768, 32767, 32767}}}), 100, 50},
        {"2^31 - 1 points", Emf(0, 0, 100, 50, {{87, manyPoints}}), 0, 0, "EMF record holds fewer points than it names"},
    };
    for (const Case& c : cases) {
        auto img = Decode(c.file);
        if (c.width == 0) {
            EXPECT_FALSE(img->IsValid()) << c.what;
            EXPECT_STREQ(img->GetLastError(), c.error) << c.what;
            continue;
        }
        ASSERT_TRUE(img->IsValid()) << c.what << ": " << img->GetLastError();
        EXPECT_EQ(img->GetWidth(), c.width) << c.what;
        EXPECT_EQ(img->GetHeight(), c.height) << c.what;
    }
}

TEST(CLfImageWMF, SavingIsRefused)
{
    TempDir dir;
    auto img = MakePicture(4, 4, 24);
    const auto file = dir / "out.wmf";
    EXPECT_FALSE(img->Save(file.string().c_str(), lfimg::kTypeWMF));
    EXPECT_STREQ(img->GetLastError(), "Save WMF not supported");
    EXPECT_EQ(lfimg::ImageTypeFromExtension("emf"), uint32_t(lfimg::kTypeWMF));
}
