#include "editor/model/JpegOptions.h"

#include "editor/model/CPixoroState.h"
#include "platform/SettingsStore.h"
#include "resources/editor/EditorStrings.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class JpegOptionsTest : public ::testing::Test {
protected:
    std::string Stored(const char* name) const
    {
        return lfplat::SettingsStore(settings).GetString(estr::kSettingsKey, name, "<none>");
    }
    lftest::TempDir dir;
    std::string settings = (dir / "settings.ini").string();
    CPixoroState state{settings};
};

TEST_F(JpegOptionsTest, FirstUseShows85WithVerticalSamplingOptimisedCodesAndTheDefaultBox)
{
    state.m_fJpegQuality = 0;
    const JpegOptions o = JpegOptions::FromPresets(state);
    EXPECT_EQ(o.quality, 85.0);
    EXPECT_TRUE(o.vertical);
    EXPECT_FALSE(o.horizontal);
    EXPECT_TRUE(o.optimize);
    EXPECT_FALSE(o.progressive);
    EXPECT_TRUE(o.saveAsDefault);
}

TEST_F(JpegOptionsTest, PresetsChooseTheBoxes)
{
    struct Case {
        int color, encoding;
        bool horizontal, vertical, progressive, optimize;
    };
    const Case cases[] = {
        {1, 1, true, false, true, false}, {2, 2, false, true, false, true},
        {7, 5, true, false, true, false}, {-3, -1, false, true, false, true},
    };
    for (const Case& c : cases) {
        state.m_nJpegColor = c.color;
        state.m_nJpegEncoding = c.encoding;
        state.m_fJpegQuality = 42.5f;
        const JpegOptions o = JpegOptions::FromPresets(state);
        EXPECT_EQ(o.quality, 42.5);
        EXPECT_EQ(o.horizontal, c.horizontal) << c.color;
        EXPECT_EQ(o.vertical, c.vertical) << c.color;
        EXPECT_EQ(o.progressive, c.progressive) << c.encoding;
        EXPECT_EQ(o.optimize, c.optimize) << c.encoding;
    }
}

TEST_F(JpegOptionsTest, PairsExcludeEachOtherButMayBothBeOff)
{
    JpegOptions o;
    o.SetProgressive(true);
    o.SetOptimize(true);
    EXPECT_FALSE(o.progressive);
    EXPECT_TRUE(o.optimize);
    o.SetOptimize(false);
    EXPECT_FALSE(o.progressive || o.optimize);
    o.SetVertical(true);
    o.SetHorizontal(true);
    EXPECT_TRUE(o.horizontal);
    EXPECT_FALSE(o.vertical);
}

TEST_F(JpegOptionsTest, SaveAsDefaultStoresTheFourValues)
{
    JpegOptions o;
    o.quality = 42.5;
    o.progressive = true;
    o.horizontal = true;
    o.saveAsDefault = true;
    o.StoreAsDefault(state);
    EXPECT_TRUE(state.m_bJpegSaveSetting);
    EXPECT_FLOAT_EQ(state.m_fJpegQuality, 42.5f);
    EXPECT_EQ(state.m_nJpegEncoding, 1);
    EXPECT_EQ(state.m_nJpegColor, 1);
    EXPECT_EQ(Stored(estr::kJpegSaveSettingValue), "1");
    EXPECT_EQ(Stored(estr::kJpegQualityValue), "42");
    EXPECT_EQ(Stored(estr::kJpegEncodingValue), "1");
    EXPECT_EQ(Stored(estr::kJpegColorValue), "1");

    // A fresh state reads them back.
    CPixoroState again(settings);
    again.ReadSettings();
    EXPECT_FLOAT_EQ(again.m_fJpegQuality, 42.0f);
    EXPECT_EQ(again.m_nJpegEncoding, 1);
    EXPECT_EQ(again.m_nJpegColor, 1);
    EXPECT_TRUE(again.m_bJpegSaveSetting);
}

TEST_F(JpegOptionsTest, APairWithNeitherBoxKeepsItsFormerValue)
{
    state.m_nJpegColor = 2;
    state.m_nJpegEncoding = 1;
    JpegOptions o;
    o.saveAsDefault = true;
    o.StoreAsDefault(state);
    EXPECT_EQ(Stored(estr::kJpegColorValue), "2");
    EXPECT_EQ(Stored(estr::kJpegEncodingValue), "1");
}

TEST_F(JpegOptionsTest, ResetAllThenSaveStoresNothing)
{
    JpegOptions o = JpegOptions::ResetAll();
    EXPECT_EQ(o.quality, 85.0);
    EXPECT_FALSE(o.progressive || o.optimize || o.horizontal || o.vertical || o.saveAsDefault);
    o.StoreAsDefault(state);
    EXPECT_FALSE(state.m_bJpegSaveSetting);
    EXPECT_EQ(Stored(estr::kJpegQualityValue), "<none>");
}

TEST_F(JpegOptionsTest, SaveQuality)
{
    struct Case {
        double quality;
        int saved;
    };
    const Case cases[] = {{100, 95}, {99, 95}, {98.5, 95}, {98, 98}, {42.9, 42}, {1, 1}, {0, 1}, {0.5, 1}};
    for (const Case& c : cases) {
        JpegOptions o;
        o.quality = c.quality;
        EXPECT_EQ(o.SaveQuality(), c.saved) << c.quality;
    }
}

TEST_F(JpegOptionsTest, QualityTextIsANumberWithinTheRange)
{
    std::string message;
    EXPECT_EQ(JpegOptions::ParseQuality("85", &message), 85.0);
    EXPECT_EQ(JpegOptions::ParseQuality(" 42.5 ", &message), 42.5);
    EXPECT_EQ(JpegOptions::ParseQuality("0", &message), 0.0);
    EXPECT_EQ(JpegOptions::ParseQuality("100", &message), 100.0);
    for (const char* text : {"", "abc", "12x", "nan", "inf"}) {
        message.clear();
        EXPECT_FALSE(JpegOptions::ParseQuality(text, &message)) << text;
        EXPECT_EQ(message, "Please enter a number.") << text;
    }
    for (const char* text : {"101", "-1", "100.5"}) {
        message.clear();
        EXPECT_FALSE(JpegOptions::ParseQuality(text, &message)) << text;
        EXPECT_EQ(message, "Please enter a number between 0 and 100.") << text;
    }
}

TEST_F(JpegOptionsTest, StoredSettingsAreReadAndAMissingViewModeIsWritten)
{
    state.ReadSettings();
    EXPECT_EQ(state.m_nViewMode, 1);
    EXPECT_EQ(Stored(estr::kViewModeValue), "1");
    EXPECT_FLOAT_EQ(state.m_fJpegQuality, 85.0f);

    lfplat::SettingsStore store(settings);
    struct Case {
        const char* quality;
        float expected;
    };
    const Case cases[] = {{"250", 100.0f}, {"-4", 1.0f}, {"0", 1.0f}, {"abc", 85.0f}, {"77.5", 77.5f}};
    for (const Case& c : cases) {
        store.Set(estr::kSettingsKey, estr::kJpegQualityValue, c.quality);
        store.Set(estr::kSettingsKey, estr::kViewModeValue, "0");
        CPixoroState fresh(settings);
        fresh.ReadSettings();
        EXPECT_FLOAT_EQ(fresh.m_fJpegQuality, c.expected) << c.quality;
        EXPECT_EQ(fresh.m_nViewMode, 0);
    }
}

// The editor's settings writes that fail (a full disk here) are noted once, naming the
// file and the system's reason; a settings file that cannot be read is noted as such
// and is not written over.
TEST_F(JpegOptionsTest, FailedSettingsReadsAndWritesAreNotedOncePerFile)
{
    {
        lftest::ScopedFileSizeLimit full(0);
        state.ReadSettings();
        JpegOptions options = JpegOptions::FromPresets(state);
        options.saveAsDefault = true;
        options.StoreAsDefault(state);
        state.WriteRegString("2", estr::kViewModeValue);
    }
    const auto texts = state.m_stateFiles.TakeNew();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find(settings), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("File too large"), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find("could not save"), std::string::npos) << texts[0];
    state.WriteRegString("1", estr::kViewModeValue);
    EXPECT_TRUE(state.m_stateFiles.TakeNew().empty());
    EXPECT_EQ(Stored(estr::kViewModeValue), "1");

    lftest::TempDir other;
    std::filesystem::create_directories(other / "settings.ini");
    CPixoroState blocked((other / "settings.ini").string());
    blocked.ReadSettings();
    blocked.WriteRegString("2", estr::kViewModeValue);
    const auto told = blocked.m_stateFiles.TakeNew();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("cannot be read"), std::string::npos) << told[0];
    EXPECT_TRUE(std::filesystem::is_directory(other / "settings.ini"));
}

}  // namespace
