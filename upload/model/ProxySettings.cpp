#include "upload/model/ProxySettings.h"

namespace ProxySettings {

ProxyForm FromSession(const SessionValues& s)
{
    ProxyForm form;
    form.useProxy = s.m_strProxy == "YES";
    form.protocol = s.m_strProxyType == "1" ? 1 : s.m_strProxyType == "2" ? 2 : s.m_strProxyType == "3" ? 3 : 0;
    form.host = s.m_strProxyHost;
    form.port = s.m_strProxyPort;
    form.authentication = s.m_strProxyAuth == "YES";
    form.user = s.m_strProxyUser;
    form.password = s.m_strProxyPass;
    return form;
}

bool ValidPort(const std::string& text)
{
    if (text.empty() || text.size() > 5)
        return false;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

const char* DefaultPort(int protocol)
{
    return protocol == 3 ? "8080" : "1080";
}

Apply Store(const ProxyForm& form, SessionValues& s)
{
    if (form.useProxy) {
        if (form.host.size() < 4)
            return Apply::kBadHost;
        if (!ValidPort(form.port))
            return Apply::kBadPort;
        s.m_strProxyHost = form.host;
        s.m_strProxyPort = form.port;
        s.m_strProxy = "YES";
    } else {
        s.m_strProxy = "NO";
    }
    // None chosen counts as HTTP.
    s.m_strProxyType = std::string(1, form.protocol == 1 || form.protocol == 2 ? static_cast<char>('0' + form.protocol) : '3');
    if (form.authentication) {
        s.m_strProxyAuth = "YES";
        s.m_strProxyUser = form.user;
        s.m_strProxyPass = form.password;
    } else {
        s.m_strProxyAuth = "NO";
    }
    return Apply::kStored;
}

}  // namespace ProxySettings
