// The proxy values' Apply rules: what is refused, what is stored, what stays.
#include "upload/model/ProxySettings.h"

#include <gtest/gtest.h>

namespace {

SessionValues Session()
{
    SessionValues s;
    s.m_strProxy = std::string("NO");
    s.m_strProxyType = std::string("1");
    s.m_strProxyHost = std::string("old.host");
    s.m_strProxyPort = std::string("1080");
    s.m_strProxyAuth = std::string("NO");
    s.m_strProxyUser = std::string("olduser");
    s.m_strProxyPass = std::string("oldpass");
    return s;
}

TEST(ProxySettings, ApplyRefusesBadHostsAndPortsAndStoresNothing)
{
    struct Case {
        const char* host;
        const char* port;
        ProxySettings::Apply result;
    };
    const Case cases[] = {
        {"abc", "8080", ProxySettings::Apply::kBadHost},  {"", "8080", ProxySettings::Apply::kBadHost},
        {"a.bc", "0", ProxySettings::Apply::kBadPort},    {"a.bc", "70000", ProxySettings::Apply::kBadPort},
        {"a.bc", "http", ProxySettings::Apply::kBadPort}, {"a.bc", "", ProxySettings::Apply::kBadPort},
        {"a.bc", "80x", ProxySettings::Apply::kBadPort},  {"a.bc", "-80", ProxySettings::Apply::kBadPort},
        {"a.bc", "1", ProxySettings::Apply::kStored},     {"a.bc", "65535", ProxySettings::Apply::kStored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.host) + ":" + c.port);
        SessionValues s = Session();
        ProxyForm form = ProxySettings::FromSession(s);
        form.useProxy = true;
        form.protocol = 3;
        form.host = c.host;
        form.port = c.port;
        EXPECT_EQ(ProxySettings::Store(form, s), c.result);
        if (c.result == ProxySettings::Apply::kStored) {
            EXPECT_EQ(s.m_strProxy, "YES");
            EXPECT_EQ(s.m_strProxyHost, c.host);
            EXPECT_EQ(s.m_strProxyPort, c.port);
            EXPECT_EQ(s.m_strProxyType, "3");
        } else {
            const SessionValues before = Session();
            EXPECT_EQ(s.m_strProxy, before.m_strProxy);
            EXPECT_EQ(s.m_strProxyHost, before.m_strProxyHost);
            EXPECT_EQ(s.m_strProxyPort, before.m_strProxyPort);
            EXPECT_EQ(s.m_strProxyType, before.m_strProxyType);
        }
    }
}

TEST(ProxySettings, WithoutAProxyOnlyTheFlagsChange)
{
    SessionValues s = Session();
    s.m_strProxy = std::string("YES");
    ProxyForm form = ProxySettings::FromSession(s);
    EXPECT_TRUE(form.useProxy);
    EXPECT_EQ(form.protocol, 1);
    form.useProxy = false;
    form.host = std::string("x");  // not checked, not stored
    form.port = std::string("bad");
    form.protocol = 0;
    ASSERT_EQ(ProxySettings::Store(form, s), ProxySettings::Apply::kStored);
    EXPECT_EQ(s.m_strProxy, "NO");
    EXPECT_EQ(s.m_strProxyType, "3");  // none chosen counts as HTTP
    EXPECT_EQ(s.m_strProxyHost, "old.host");
    EXPECT_EQ(s.m_strProxyPort, "1080");
    EXPECT_EQ(s.m_strProxyAuth, "NO");
    EXPECT_EQ(s.m_strProxyUser, "olduser");

    form.authentication = true;
    form.user = std::string("me");
    form.password = std::string("secret");
    form.protocol = 2;
    ASSERT_EQ(ProxySettings::Store(form, s), ProxySettings::Apply::kStored);
    EXPECT_EQ(s.m_strProxyType, "2");
    EXPECT_EQ(s.m_strProxyAuth, "YES");
    EXPECT_EQ(s.m_strProxyUser, "me");
    EXPECT_EQ(s.m_strProxyPass, "secret");
}

TEST(ProxySettings, ProtocolsFillTheirPorts)
{
    EXPECT_STREQ(ProxySettings::DefaultPort(1), "1080");
    EXPECT_STREQ(ProxySettings::DefaultPort(2), "1080");
    EXPECT_STREQ(ProxySettings::DefaultPort(3), "8080");
    SessionValues s;
    s.m_strProxyType = "7";
    EXPECT_EQ(ProxySettings::FromSession(s).protocol, 0);
}

}  // namespace
