#include "platform/StateFileReport.h"

#include <gtest/gtest.h>

TEST(StateFileReport, EachFileIsReportedOnceNamingTheFileAndTheReason)
{
    lfplat::StateFileReport report;
    report.Unreadable("/home/u/.config/Lanternfolio/settings.ini", "Permission denied");
    report.WriteFailed("/home/u/.config/Lanternfolio/settings.ini", "No space left on device");
    report.WriteFailed("/home/u/qkvex.sess", "Read-only file system");
    const auto first = report.TakeNew();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_NE(first[0].find("cannot keep its settings"), std::string::npos) << first[0];
    EXPECT_NE(first[0].find("settings.ini"), std::string::npos);
    EXPECT_NE(first[0].find("Permission denied"), std::string::npos);
    EXPECT_NE(first[1].find("qkvex.sess"), std::string::npos);
    EXPECT_NE(first[1].find("Read-only file system"), std::string::npos);

    report.WriteFailed("/home/u/qkvex.sess", "Read-only file system");
    EXPECT_TRUE(report.TakeNew().empty());
    report.WriteFailed("/home/u/qkcache.xml", "No space left on device");
    EXPECT_EQ(report.TakeNew().size(), 1u);
}
