#include "editor/model/AdjustSettings.h"

#include "editor/model/AdjustValues.h"
#include "tests/editor/DialogImages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using dlgtest::SamePixels;

TEST(AdjustSettingsTest, StartValuesAndSliderPositions)
{
    struct Case {
        AdjustKind kind;
        std::vector<std::string> texts;
        std::vector<int> positions;
    } cases[] = {
        {AdjustKind::BrightnessContrast, {"50", "50", "20"}, {50, 50, 80}},
        {AdjustKind::RedGreenBlue, {"0", "0", "0"}, {50, 50, 50}},
        {AdjustKind::HueSaturation, {"0", "0", "0"}, {100, 100, 100}},
        {AdjustKind::Exposure, {"50", "50", "50"}, {50, 50, 50}},
        {AdjustKind::Blur, {"0"}, {0}},
        {AdjustKind::Sharpen, {"0"}, {0}},
    };
    for (const Case& c : cases) {
        const AdjustSettings settings(c.kind);
        ASSERT_EQ(settings.Count(), c.texts.size());
        for (size_t i = 0; i < settings.Count(); ++i) {
            EXPECT_EQ(settings.Text(i), c.texts[i]) << static_cast<int>(c.kind) << " " << i;
            EXPECT_EQ(settings.SliderPosition(i), c.positions[i]) << static_cast<int>(c.kind) << " " << i;
        }
        EXPECT_FALSE(settings.InvalidEdit());
    }
}

TEST(AdjustSettingsTest, SlidersSetTheValuesAndTheEdits)
{
    AdjustSettings rgb(AdjustKind::RedGreenBlue);
    rgb.SliderMoved(0, 0);
    EXPECT_EQ(rgb.Value(0), 100.0f);
    EXPECT_EQ(rgb.Text(0), "100");
    rgb.SliderMoved(1, 100);
    EXPECT_EQ(rgb.Text(1), "-100");
    AdjustSettings blur(AdjustKind::Blur);
    blur.SliderMoved(0, 7);
    EXPECT_EQ(blur.Text(0), "7");
    blur.SliderMoved(0, 40);  // past the slider's end
    EXPECT_EQ(blur.Text(0), "10");
}

TEST(AdjustSettingsTest, BrightnessEditsArePulledIntoTheSlidersRange)
{
    AdjustSettings bc(AdjustKind::BrightnessContrast);
    struct Case {
        size_t channel;
        const char* typed;
        bool changed;
        float value;
        const char* shown;
        int position;
    } cases[] = {
        {0, "150", true, 100.0f, "100", 0},
        {0, "", false, 100.0f, "", 0},  // an empty edit is ignored
        {1, "30", true, 30.0f, "30", 70},
        {1, "-7", true, 0.0f, "0", 100},
        {2, " 20 ", false, 20.0f, "20", 80},  // trimmed
        {2, "12.5", true, 12.0f, "12", 88},
        {2, "99999999999999999999999", true, 100.0f, "100", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bc.TextTyped(c.channel, c.typed), c.changed) << c.typed;
        EXPECT_EQ(bc.Value(c.channel), c.value) << c.typed;
        EXPECT_EQ(bc.Text(c.channel), c.shown) << c.typed;
        EXPECT_EQ(bc.SliderPosition(c.channel), c.position) << c.typed;
    }
    EXPECT_FALSE(bc.InvalidEdit());
}

TEST(AdjustSettingsTest, IntegerEditsKeepTheirValueOnTextThatIsNoNumber)
{
    AdjustSettings rgb(AdjustKind::RedGreenBlue);
    EXPECT_TRUE(rgb.TextTyped(0, "33"));
    EXPECT_EQ(rgb.Value(0), 33.0f);
    EXPECT_EQ(rgb.SliderPosition(0), 34);
    EXPECT_EQ(rgb.Text(0), "33");
    EXPECT_FALSE(rgb.TextTyped(0, "-"));
    EXPECT_EQ(rgb.Value(0), 33.0f);
    EXPECT_EQ(rgb.Text(0), "-");
    EXPECT_EQ(rgb.InvalidEdit(), 0u);
    EXPECT_TRUE(rgb.TextTyped(0, "-150"));
    EXPECT_EQ(rgb.Value(0), -100.0f);
    EXPECT_EQ(rgb.Text(0), "-100");
    EXPECT_FALSE(rgb.InvalidEdit());
    EXPECT_TRUE(rgb.TextTyped(2, "99999999999999999999999999"));
    EXPECT_EQ(rgb.Value(2), 100.0f);
    EXPECT_FALSE(rgb.TextTyped(2, ""));
    EXPECT_EQ(rgb.InvalidEdit(), 2u);
}

// The red/green/blue columns are red, blue, green; each kind applies its own operation.
TEST(AdjustSettingsTest, ApplyRunsTheKindsOperationWithTheColumnsInOrder)
{
    const CLfImage original = dlgtest::Gradient(24, 16);
    AdjustSettings rgb(AdjustKind::RedGreenBlue);
    rgb.SliderMoved(1, 0);  // blue +100
    rgb.TextTyped(2, "-40");  // green -40
    CLfImage got(original);
    ASSERT_TRUE(rgb.Apply(got));
    CLfImage expected(original);
    ASSERT_TRUE(ApplyShiftRgb(expected, 0, -40, 100));
    EXPECT_TRUE(SamePixels(got, expected));

    AdjustSettings exposure(AdjustKind::Exposure);
    exposure.SliderMoved(0, 0);    // lighten 100
    exposure.SliderMoved(1, 100);  // darken 0
    got = original;
    ASSERT_TRUE(exposure.Apply(got));
    expected = original;
    ASSERT_TRUE(ApplyExposure(expected, 100, 0, 50.0f));
    EXPECT_TRUE(SamePixels(got, expected));
    EXPECT_FALSE(SamePixels(got, original));

    AdjustSettings bc(AdjustKind::BrightnessContrast);
    got = original;
    ASSERT_TRUE(bc.Apply(got));
    EXPECT_TRUE(SamePixels(got, original)) << "the start values change nothing";
}

TEST(AdjustSettingsTest, WhichOperationsShowTheProgressBar)
{
    AdjustSettings hue(AdjustKind::HueSaturation);
    EXPECT_FALSE(hue.ShowsProgress());
    hue.TextTyped(1, "1");
    EXPECT_TRUE(hue.ShowsProgress());
    EXPECT_FALSE(AdjustSettings(AdjustKind::Sharpen).ShowsProgress());
    EXPECT_TRUE(AdjustSettings(AdjustKind::Blur).ShowsProgress());
    EXPECT_TRUE(AdjustSettings(AdjustKind::BrightnessContrast).ShowsProgress());
}

}  // namespace
