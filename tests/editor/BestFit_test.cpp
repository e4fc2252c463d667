#include "editor/model/BestFit.h"

#include <gtest/gtest.h>

namespace {

TEST(BestFit, KeepsTheProportionsInsideTheAreaAndNeverEnlarges)
{
    struct Case {
        int iw, ih, aw, ah;
        int w, h;
    };
    const Case cases[] = {
        {4000, 3000, 800, 600, 800, 600}, {4000, 3000, 800, 800, 800, 600}, {3000, 4000, 800, 600, 450, 600},
        {640, 480, 800, 600, 640, 480},   {6000, 1, 600, 600, 600, 1},      {1, 6000, 600, 600, 1, 600},
        {0, 10, 800, 600, 0, 0},          {10, 10, 0, 600, 0, 0},           {-5, 10, 800, 600, 0, 0},
    };
    for (const Case& c : cases) {
        const DisplaySize s = BestFitSize(c.iw, c.ih, c.aw, c.ah);
        EXPECT_EQ(s.width, c.w) << c.iw << "x" << c.ih << " in " << c.aw << "x" << c.ah;
        EXPECT_EQ(s.height, c.h) << c.iw << "x" << c.ih << " in " << c.aw << "x" << c.ah;
    }
}

}  // namespace
