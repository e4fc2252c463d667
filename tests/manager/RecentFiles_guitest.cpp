#include "manager/ui/CQuorixApp.h"
#include "platform/SettingsStore.h"
#include "resources/manager/ManagerStrings.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/filehistory.h>

namespace {

const std::string kSection = std::string(mstr::kProfileKey) + "\\" + mstr::kRecentFileSection;

TEST(RecentFiles, SurviveARestartNewestFirstAndDropStaleEntries)
{
    lftest::TempDir dir;
    const std::string path = (dir / "settings.ini").string();
    lfplat::SettingsStore store(path);
    ASSERT_TRUE(store.Set(kSection, "File3", "/photos/stale.jpg"));
    ASSERT_TRUE(store.Set("Software\\Lanternfolio\\Version 1.0", "ImgQuality", "90"));

    wxFileHistory before(mstr::kRecentFileCount);
    before.AddFileToHistory("/photos/old.jpg");
    before.AddFileToHistory("/photos/new.png");
    CQuorixApp::SaveRecentFiles(before, path);

    auto all = store.ReadAll();
    EXPECT_EQ(all[kSection], (lfplat::SettingsStore::Section{{"File1", "/photos/new.png"},
                                                            {"File2", "/photos/old.jpg"}}));
    EXPECT_EQ(all["Software\\Lanternfolio\\Version 1.0"]["ImgQuality"], "90");

    wxFileHistory after(mstr::kRecentFileCount);
    CQuorixApp::LoadRecentFiles(after, path);
    ASSERT_EQ(after.GetCount(), 2u);
    EXPECT_EQ(after.GetHistoryFile(0), "/photos/new.png");
    EXPECT_EQ(after.GetHistoryFile(1), "/photos/old.jpg");
}

}  // namespace
