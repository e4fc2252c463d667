// The news script's addresses and replies, and the news check over HTTP.
#include "upload/model/CNewsCheck.h"
#include "upload/model/NewsReply.h"

#include "tests/support/FakeWebHost.h"

#include <gtest/gtest.h>

namespace {

UploadEndpoints At()
{
    UploadEndpoints at;
    at.newsBase = "https://news.example";
    return at;
}

std::string Items(int count)
{
    std::string reply;
    for (int i = 0; i < count; ++i)
        reply += "<version>1.6</version><news>N" + std::to_string(i) + "</news><url>http://n/" +
                 std::to_string(i) + "</url>";
    return reply;
}

TEST(NewsReply, AddressesCarryTheVersionAndTheStoredId)
{
    EXPECT_EQ(NewsReply::CheckUrl(At(), 12),
              "https://news.example/cgi-bin/pixoronews/pixoronewsres.cgi?version=1.6&m=2&MsgID=12");
    EXPECT_EQ(NewsReply::ListUrl(At(), 12),
              "https://news.example/cgi-bin/pixoronews/pixoronewsres.cgi?version=1.6&MsgID=12");
}

TEST(NewsReply, MaxIdIsTakenOnlyWhenThereIsOne)
{
    EXPECT_EQ(NewsReply::MaxId("x<maxid>17</maxid>y"), 17);
    EXPECT_EQ(NewsReply::MaxId("<maxid></maxid>"), std::nullopt);
    EXPECT_EQ(NewsReply::MaxId("<maxid>17"), std::nullopt);
    EXPECT_EQ(NewsReply::MaxId("</maxid><maxid>"), std::nullopt);
}

TEST(NewsReply, FiveLinksAndViewAllAtMost)
{
    const auto seven = NewsReply::Links(Items(7), At(), 3);
    ASSERT_EQ(seven.size(), 6u);
    EXPECT_EQ(seven[0], "<a href=http://n/0><u><font size=\"1\" color=\"blue\">N0</font></u></a>");
    EXPECT_EQ(seven[4], "<a href=http://n/4><u><font size=\"1\" color=\"blue\">N4</font></u></a>");
    EXPECT_EQ(seven[5], "<a href=https://news.example/cgi-bin/pixoronews/pixoronewsres.cgi?version=1.6&m=a&MsgID=3>"
                        "<u><font size=\"1\" color=\"blue\">View All.</font></u></a>");

    // Two items: two links, and the list ends with the reply.
    const auto two = NewsReply::Links(Items(2) + "<version>", At(), 3);
    EXPECT_EQ(two[1], "<a href=http://n/1><u><font size=\"1\" color=\"blue\">N1</font></u></a>");
    for (size_t i = 2; i < 6; ++i)
        EXPECT_EQ(two[i], "") << i;
    EXPECT_EQ(NewsReply::Links("", At(), 3), std::vector<std::string>(6));
}

TEST(NewsReply, OnlyWebAddressesCountAsLinks)
{
    struct Case {
        const char* address;
        bool web;
    };
    const Case cases[] = {{"http://a/", true},    {"HTTPS://a/", true},    {"\"https://a/\"", true},
                          {"file:///etc/passwd", false}, {"javascript:x", false}, {"", false},
                          {"-e http://a", false}};
    for (const Case& c : cases)
        EXPECT_EQ(NewsReply::IsWebLink(c.address), c.web) << c.address;
}

TEST(CNewsCheck, AReplyWithAnIdMakesNewsAvailable)
{
    lftest::FakeWebHost web("<maxid>42</maxid>");
    UploadEndpoints at;
    at.newsBase = "http://" + web.HostPort();
    CNewsCheck check;
    check.Run(at, 7, SessionValues{});
    EXPECT_TRUE(check.NewsAvailable());
    EXPECT_EQ(check.LatestId(), 42);
    const auto requests = web.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/cgi-bin/pixoronews/pixoronewsres.cgi");
    EXPECT_EQ(requests[0].query.at("MsgID"), "7");
    EXPECT_EQ(requests[0].query.at("m"), "2");

    // No reply, or none that names an id: no news.
    for (const char* body : {"", "<maxid></maxid>"}) {
        CNewsCheck none;
        none.SetFetch([body](const std::string&, const std::string&, bool& ok) {
            ok = *body != 0;
            return std::string(body);
        });
        none.Run(at, 7, SessionValues{});
        EXPECT_FALSE(none.NewsAvailable());
        EXPECT_EQ(none.LatestId(), std::nullopt);
    }
}

// Only "YES" itself turns the proxy on (the proxied case runs against a real SOCKS
// server in CNewsConnection_test).
TEST(CNewsCheck, TheProxyIsUsedOnlyWhenTheSessionSaysYes)
{
    std::vector<std::string> proxies;
    CNewsCheck check;
    check.SetFetch([&](const std::string&, const std::string& proxy, bool& ok) {
        proxies.push_back(proxy);
        ok = false;
        return std::string();
    });
    for (const char* flag : {"NO", "yes", ""}) {
        SessionValues session;
        session.m_strProxy = flag;
        session.m_strProxyType = "2";
        session.m_strProxyHost = "proxy.local";
        session.m_strProxyPort = "3128";
        check.Run(At(), 0, session);
        EXPECT_FALSE(check.Connection().Connected());
    }
    EXPECT_EQ(proxies, (std::vector<std::string>{"", "", ""}));
}

}  // namespace
