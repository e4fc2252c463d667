// The upload list's column texts and orders, and where the service's hosts come from.
#include "upload/model/ServiceSettings.h"
#include "upload/model/UploadListRow.h"

#include "platform/SettingsStore.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(UploadListRow, ColumnsCompareAsTheirKindsDo)
{
    const UploadListRow small{"B.jpg", 10.2, 2000, "/x/B.jpg"};
    const UploadListRow large{"a.jpg", 10.9, 1000, "/Y/a.jpg"};
    const UploadListRow larger{"c.jpg", 11.3, 3000, "/z/c.jpg"};
    struct Case {
        const UploadListRow& a;
        const UploadListRow& b;
        int column;
        int sign;  // of CompareRowsAscending(a, b)
    };
    const Case cases[] = {
        {large, small, 0, -1},  // names without regard to case
        {small, large, 1, 0},   // less than 1 KB apart
        {small, larger, 1, -1},
        {larger, small, 1, 1},
        {small, large, 2, 1},   // by time
        {small, large, 3, -1},  // paths without regard to case
        {small, large, 7, 0},   // no such column
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        const int ascending = CompareRowsAscending(c.a, c.b, c.column);
        EXPECT_EQ((ascending > 0) - (ascending < 0), c.sign);
        const int descending = CompareRowsDescending(c.a, c.b, c.column);
        EXPECT_EQ((descending > 0) - (descending < 0), -c.sign);
    }
}

TEST(UploadListRow, SizeAndDateTexts)
{
    lftest::ScopedEnv tz("TZ", "UTC");
    tzset();
    // 2024-03-05 12:00 UTC
    const UploadListRow row{"a.jpg", 1536.0 / 1024, 1709640000LL * 1000000000, "/p/a.jpg"};
    EXPECT_EQ(row.ColumnText(0), "a.jpg");
    EXPECT_EQ(row.ColumnText(1), "1.50 KB");
    EXPECT_EQ(row.ColumnText(2), "3/05/24 ");
    EXPECT_EQ(row.ColumnText(3), "/p/a.jpg");
}

TEST(ServiceSettings, HostsAndPortComeFromTheSettingsWithTheServiceAsDefault)
{
    lftest::TempDir dir;
    const std::string path = (dir / "settings.ini").string();
    const UploadEndpoints defaults = ServiceSettings::Read(path);
    EXPECT_EQ(defaults.uploadPort, 9197u);
    EXPECT_EQ(defaults.scheme, "http");

    lfplat::SettingsStore store(path);
    store.Set(ServiceSettings::kSection, "ServiceWebHost", "127.0.0.1:8080");
    store.Set(ServiceSettings::kSection, "UploadHost", "127.0.0.1");
    store.Set(ServiceSettings::kSection, "UploadPort", "4000");
    const UploadEndpoints at = ServiceSettings::Read(path);
    EXPECT_EQ(at.webHost, "127.0.0.1:8080");
    EXPECT_EQ(at.uploadHost, "127.0.0.1");
    EXPECT_EQ(at.uploadPort, 4000u);
    EXPECT_EQ(at.stagingHost, defaults.stagingHost);

    // A port out of range keeps the service's.
    store.Set(ServiceSettings::kSection, "UploadPort", "70000");
    EXPECT_EQ(ServiceSettings::Read(path).uploadPort, 9197u);
}

}  // namespace
