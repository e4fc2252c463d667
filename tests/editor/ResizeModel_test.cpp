#include "editor/model/ResizeModel.h"

#include "resources/editor/DialogStrings.h"

#include <gtest/gtest.h>

namespace {

using Focus = ResizeModel::Focus;

TEST(ResizeModelTest, OkAtOnceReturnsThePresentSize)
{
    ResizeModel model(640, 480);
    const ResizeModel::Verdict v = model.Validate();
    EXPECT_TRUE(v.ok);
    EXPECT_EQ(model.Width(), 640);
    EXPECT_EQ(model.Height(), 480);
}

TEST(ResizeModelTest, PercentageCapsWhileTypingAndOkRefusesTheWidth)
{
    ResizeModel model(3000, 2000);
    model.percentageMode = true;
    EXPECT_EQ(model.PercentageTyped("200"), Focus::None);
    EXPECT_EQ(model.widthText, "4096");
    EXPECT_EQ(model.heightText, "4000");
    const ResizeModel::Verdict v = model.Validate();
    EXPECT_FALSE(v.ok);
    EXPECT_STREQ(v.message, estr::kInvalidWidth);
    EXPECT_EQ(v.focus, Focus::Width);

    EXPECT_EQ(model.PercentageTyped("50"), Focus::None);
    EXPECT_EQ(model.widthText, "1500");
    EXPECT_TRUE(model.Validate().ok);
    EXPECT_EQ(model.Height(), 1000);
}

TEST(ResizeModelTest, PercentageOutsideRangePutsThePresentSizeBack)
{
    for (const char* typed : {"0", "201", "99999999999999999999"}) {
        ResizeModel model(800, 600);
        model.percentageMode = true;
        model.PercentageTyped("50");
        EXPECT_EQ(model.PercentageTyped(typed), Focus::Width) << typed;
        EXPECT_EQ(model.percentageText, typed);
        EXPECT_EQ(model.widthText, "800");
        EXPECT_EQ(model.heightText, "600");
    }
    ResizeModel model(800, 600);
    model.percentageMode = true;
    model.PercentageTyped("");
    const ResizeModel::Verdict v = model.Validate();
    EXPECT_STREQ(v.message, estr::kInvalidNumber);
    EXPECT_EQ(v.focus, Focus::Percentage);
}

TEST(ResizeModelTest, KeepingTheAspectRatioTruncates)
{
    ResizeModel model(1000, 750);
    model.WidthTyped("500");
    EXPECT_EQ(model.heightText, "375");
    model.WidthTyped("333");
    EXPECT_EQ(model.heightText, "249");
    model.HeightTyped("75");
    EXPECT_EQ(model.widthText, "100");
    model.keepAspect = false;
    model.WidthTyped("10");
    EXPECT_EQ(model.heightText, "75");
}

TEST(ResizeModelTest, TypedSizeIsCappedButTheEditKeepsItsText)
{
    ResizeModel model(1000, 750);
    model.WidthTyped("5000");
    EXPECT_EQ(model.Width(), 4096);
    EXPECT_EQ(model.widthText, "5000");
    EXPECT_EQ(model.heightText, "3072");
    const ResizeModel::Verdict v = model.Validate();
    EXPECT_STREQ(v.message, estr::kInvalidWidth);
    EXPECT_EQ(v.focus, Focus::Width);
}

TEST(ResizeModelTest, OkMessagesAndTheirPrecedence)
{
    struct Case {
        const char* width;
        const char* height;
        const char* message;
        Focus focus;
    } cases[] = {
        {"0", "100", estr::kInvalidWidth, Focus::Width},
        {"100", "0", estr::kInvalidHeight, Focus::Height},
        {"5000", "0", estr::kInvalidHeight, Focus::Height},  // both invalid: the height one
        {"", "", estr::kInvalidHeight, Focus::Height},
        {"", "100", estr::kInvalidWidth, Focus::Width},
        {"4096", "100", estr::kInvalidWidth, Focus::Width},
        {"4095", "1", nullptr, Focus::None},
    };
    for (const Case& c : cases) {
        ResizeModel model(1000, 750);
        model.widthText = c.width;
        model.heightText = c.height;
        const ResizeModel::Verdict v = model.Validate();
        EXPECT_EQ(v.ok, c.message == nullptr) << c.width << " x " << c.height;
        if (c.message) {
            EXPECT_STREQ(v.message, c.message) << c.width << " x " << c.height;
        }
        EXPECT_EQ(v.focus, c.focus) << c.width << " x " << c.height;
    }
}

}  // namespace
