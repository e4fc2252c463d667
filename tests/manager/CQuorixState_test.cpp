#include "manager/model/CQuorixState.h"
#include "platform/DecimalText.h"
#include "platform/SettingsStore.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(CQuorixState, FreshSettingsGetTheirDefaultsWritten)
{
    lftest::TempDir dir;
    const std::string path = (dir / "settings.ini").string();
    CQuorixState state(path);
    state.ReadSettings();
    EXPECT_EQ(state.m_nLeftViewWidth, 0);  // the frame then uses its own width
    EXPECT_EQ(state.m_nLeftViewHeight, 220);
    EXPECT_EQ(state.m_nUploadType, 0);
    lfplat::SettingsStore store(path);
    EXPECT_EQ(store.Get(CQuorixState::kSettingsKey, "LeftViewWidth"), "200");
    EXPECT_EQ(store.Get(CQuorixState::kSettingsKey, "LeftViewHeigth"), "220");
    EXPECT_EQ(store.Get(CQuorixState::kSettingsKey, "UploadType"), "0");
    EXPECT_FALSE(store.Get(CQuorixState::kSettingsKey, "WindowHeight").has_value());
}

TEST(CQuorixState, ReadsStoredSettings)
{
    lftest::TempDir dir;
    const std::string path = (dir / "settings.ini").string();
    lfplat::SettingsStore store(path);
    store.Set(CQuorixState::kSettingsKey, "LeftViewWidth", "310");
    store.Set(CQuorixState::kSettingsKey, "LeftViewHeigth", "abc");
    store.Set(CQuorixState::kSettingsKey, "WindowHeight", "700");
    store.Set(CQuorixState::kSettingsKey, "MaxNewsID", "12");
    store.Set(CQuorixState::kSettingsKey, "UploadType", "1");
    CQuorixState state(path);
    state.ReadSettings();
    EXPECT_EQ(state.m_nLeftViewWidth, 310);
    EXPECT_EQ(state.m_nLeftViewHeight, 0);  // not a number
    EXPECT_EQ(state.m_nWindowHeight, 700);
    EXPECT_EQ(state.m_nMaxNewsID, 12);
    EXPECT_EQ(state.m_nNewsID, 12);
    EXPECT_EQ(state.m_nUploadType, 1);
    EXPECT_EQ(store.Get(CQuorixState::kSettingsKey, "LeftViewHeigth"), "abc");
}

TEST(CQuorixState, TotalsAddUpAcrossThreads)
{
    lftest::TempDir dir;
    CQuorixState state((dir / "s.ini").string());
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 1000; ++i)
                state.AddToTotals(1, 0.5);
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(state.GetTotals(), std::make_pair(4000, 2000.0));
    state.ResetTotals();
    EXPECT_EQ(state.GetTotals(), std::make_pair(0, 0.0));
}

TEST(DecimalText, ParsesLikeTheStoredValues)
{
    const std::pair<const char*, int> cases[] = {
        {"42", 42}, {"  -7x", -7}, {"+3", 3}, {"", 0}, {"x1", 0}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ParseDecimal(text), value) << text;
}

}  // namespace
