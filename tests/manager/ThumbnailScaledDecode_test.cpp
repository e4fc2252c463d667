// A JPEG decoded at reduced scale for its thumbnail must give the thumbnail a full
// decode gives, within a few levels, on smooth photographs and on hard edges alike.
#include "ThumbTestSupport.h"
#include "manager/model/ThumbnailMaker.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace {

// A photograph-like picture: smooth gradients with a little noise.
CLfImage Photographic(int w, int h)
{
    CLfImage img(w, h, 24);
    uint32_t seed = 7;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = img.GetBits(uint32_t(y));
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = int((seed >> 16) & 15);
            row[3 * x] = uint8_t((x * 255 / w + noise) & 255);
            row[3 * x + 1] = uint8_t(std::min(255, y * 200 / h + noise));
            row[3 * x + 2] = uint8_t(std::min(255, (x + y) * 180 / (w + h) + 40 + noise));
        }
    }
    return img;
}

// Hard edges: a checkerboard of 45-pixel squares (edges off the 8-pixel blocks), thin
// dark lines every 37 pixels and saturated colour bars.
CLfImage HighContrast(int w, int h)
{
    CLfImage img(w, h, 24);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = img.GetBits(uint32_t(y));
        for (int x = 0; x < w; ++x) {
            const bool white = ((x / 45) + (y / 45)) % 2 == 0;
            uint8_t r = white ? 255 : 0, g = white ? 255 : 0, b = white ? 255 : 0;
            if (x % 37 < 2 || y % 37 < 2)
                r = g = b = 20;
            if (y > h * 3 / 4) {
                r = (x / 60) % 3 == 0 ? 255 : 0;
                g = (x / 60) % 3 == 1 ? 255 : 0;
                b = (x / 60) % 3 == 2 ? 255 : 0;
            }
            row[3 * x] = b;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
        }
    }
    return img;
}

thumbs::ThumbnailPair ThumbnailOf(const std::string& path, int neededSide, int* width = nullptr, int* height = nullptr)
{
    CLfImage img;
    img.info.neededSide = neededSide;
    EXPECT_TRUE(img.Load(path.c_str(), lfimg::kTypeJPG)) << img.GetLastError();
    if (width)
        *width = img.info.fullWidth;
    if (height)
        *height = img.info.fullHeight;
    return thumbs::MakeThumbnails(&img);
}

TEST(ThumbnailScaledDecode, MatchesTheFullDecodeWithinAFewLevels)
{
    lftest::TempDir dir;
    // A decode by 8 x 8 block means cannot place a hard edge inside a block exactly, so
    // single thumbnail pixels along such edges may differ more; on average they agree.
    struct Fixture {
        const char* name;
        std::function<CLfImage(int, int)> make;
        int maxLimit;
    };
    const Fixture fixtures[] = {
        {"photographic", Photographic, 12},
        {"high contrast", HighContrast, 32},
    };
    const std::pair<int, int> sizes[] = {{4000, 3000}, {2400, 1800}, {1800, 2400}, {1000, 333}};
    for (const auto& [name, make, maxLimit] : fixtures) {
        for (const auto& [w, h] : sizes) {
            SCOPED_TRACE(std::string(name) + " " + std::to_string(w) + "x" + std::to_string(h));
            CLfImage picture = make(w, h);
            const std::string path = (dir / "p.jpg").string();
            lftest::SavePicture(picture, path, lfimg::kTypeJPG);

            const thumbs::ThumbnailPair full = ThumbnailOf(path, 0);
            int fullW = 0, fullH = 0;
            const thumbs::ThumbnailPair scaled = ThumbnailOf(path, thumbs::kDecodeSide, &fullW, &fullH);
            EXPECT_EQ(fullW, w) << "the record needs the picture's true size";
            EXPECT_EQ(fullH, h);
            ASSERT_EQ(scaled.fitted->width, full.fitted->width);
            ASSERT_EQ(scaled.fitted->height, full.fitted->height);
            ASSERT_EQ(scaled.fitted->rgb.size(), full.fitted->rgb.size());
            int64_t sum = 0;
            int worst = 0;
            for (size_t i = 0; i < full.fitted->rgb.size(); ++i) {
                const int d = std::abs(int(full.fitted->rgb[i]) - int(scaled.fitted->rgb[i]));
                sum += d;
                worst = std::max(worst, d);
            }
            const double mean = double(sum) / double(full.fitted->rgb.size());
            EXPECT_LT(mean, 2.0);
            EXPECT_LT(worst, maxLimit);
        }
    }
}

}  // namespace

namespace {

TEST(ThumbnailScaledDecode, ThinPanoramasKeepTheirSizeAndStayInsideThePicture)
{
    lftest::TempDir dir;
    for (const auto& [w, h] : {std::pair{8000, 16}, std::pair{16, 8000}, std::pair{3000, 9}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        CLfImage picture = lftest::GradientPicture(w, h);
        const std::string path = (dir / "thin.jpg").string();
        lftest::SavePicture(picture, path, lfimg::kTypeJPG);
        int fullW = 0, fullH = 0;
        const thumbs::ThumbnailPair scaled = ThumbnailOf(path, thumbs::kDecodeSide, &fullW, &fullH);
        const thumbs::ThumbnailFit fit = thumbs::FitThumbnail(w, h);
        EXPECT_EQ(fullW, w);
        EXPECT_EQ(fullH, h);
        EXPECT_EQ(scaled.fitted->width, fit.width);
        EXPECT_EQ(scaled.fitted->height, fit.height);
    }
}

}  // namespace
