#pragma once
// The connection values of the session settings as the proxy setting dialog edits them:
// whether a proxy is used, its protocol, host and port, and optional credentials. The
// rules of Apply (what is checked, what is stored) live here, without a window.

#include "manager/model/SessionValues.h"

#include <string>

struct ProxyForm {
    bool useProxy = false;
    int protocol = 0;  // 1 SOCKS4, 2 SOCKS5, 3 HTTP; 0 none chosen
    std::string host, port;
    bool authentication = false;
    std::string user, password;
};

namespace ProxySettings {

inline constexpr char kBadHost[] = "Please enter a valid host IP for the proxy server!";
inline constexpr char kBadPort[] = "Please enter a valid port for the proxy server!";

enum class Apply { kStored, kBadHost, kBadPort };

ProxyForm FromSession(const SessionValues& session);
// Checks the form (only with Use Proxy) and stores it; nothing is stored on a refusal.
Apply Store(const ProxyForm& form, SessionValues& session);
// Decimal digits only, 1 to 65535.
bool ValidPort(const std::string& text);
// The port a protocol's radio button fills in: 1080 for SOCKS, 8080 for HTTP.
const char* DefaultPort(int protocol);

}  // namespace ProxySettings
