#include "editor/model/PreviewFit.h"

#include <gtest/gtest.h>

namespace {

struct FitCase {
    int paneW, paneH, imageW, imageH;
    int width, height, drawX, drawY;
};

TEST(PreviewFitTest, ShrinksToFitNeverEnlargesAndCentres)
{
    const FitCase cases[] = {
        {325, 180, 100, 50, 100, 50, 112, 65},     // smaller: own size, centred
        {325, 180, 650, 180, 325, 90, 0, 45},      // too wide only: by width
        {325, 180, 325, 360, 162, 180, 81, 0},     // exactly as wide, higher: by height alone
        {325, 180, 3000, 2000, 270, 180, 27, 0},   // both too big: the smaller factor
        {160, 176, 4000, 1, 160, 1, 0, 87},        // extreme ratio still gives 1 pixel
        {160, 176, 1, 100000, 1, 176, 79, 0},
    };
    for (const FitCase& c : cases) {
        const PreviewFit fit = FitIntoPane(c.paneW, c.paneH, c.imageW, c.imageH);
        EXPECT_EQ(fit.width, c.width) << c.imageW << "x" << c.imageH;
        EXPECT_EQ(fit.height, c.height) << c.imageW << "x" << c.imageH;
        EXPECT_EQ(fit.drawX, c.drawX) << c.imageW << "x" << c.imageH;
        EXPECT_EQ(fit.drawY, c.drawY) << c.imageW << "x" << c.imageH;
    }
}

TEST(PreviewFitTest, FactorIsOneForAFittingImage)
{
    EXPECT_EQ(FitIntoPane(350, 215, 350, 215).factor, 1.0f);
    EXPECT_FLOAT_EQ(FitIntoPane(350, 215, 1600, 1200).factor, 215.0f / 1200.0f);
}

}  // namespace
