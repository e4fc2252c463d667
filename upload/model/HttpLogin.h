#pragma once
// One blocking GET of the login script (or the news script): the body counts whatever
// the HTTP status, its lines are joined without separators, and it is capped.

#include <string>

namespace HttpLogin {

constexpr size_t kMaxReply = 1 << 20;

struct Result {
    bool ok = false;      // false: the request could not be made
    std::string body;     // the lines joined, at most kMaxReply bytes
    std::string error;
};

// proxy: "" for a direct request, else "host:port" of an HTTP proxy.
Result Get(const std::string& url, const std::string& proxy, long connectTimeoutSeconds = 20,
           long totalTimeoutSeconds = 60);

// Get with the default time-outs, in the shape the login and the news take a fetch: the
// body, ok false when the request could not be made.
std::string Fetch(const std::string& url, const std::string& proxy, bool& ok);

// The proxy of the session values for the web request: only when PROXY is "YES" and
// host and port are set; a host written with its scheme is taken as it stands.
std::string ProxyFor(const std::string& proxyFlag, const std::string& host, const std::string& port);
// The bare host name for the socket layer: the text after the last "/" when the host
// carries a scheme.
std::string SocketProxyHost(const std::string& host);

}  // namespace HttpLogin
