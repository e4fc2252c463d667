#pragma once
// One GET of the login script (or the news script): the body counts whatever the HTTP
// status, its lines are joined without separators, and it is bounded: a longer body is
// not read on. A stop token ends a request at once, wherever it waits.

#include <stop_token>
#include <string>

namespace HttpLogin {

constexpr size_t kMaxReply = 1 << 20;

struct Result {
    bool ok = false;      // false: the request could not be made
    long status = 0;      // the HTTP status of the answer
    bool capped = false;  // the body went on past kMaxReply and was not read further
    std::string body;     // the lines joined, at most kMaxReply bytes
    std::string error;
};

// proxy: "" for a direct request, else "host:port" of an HTTP proxy. A stop request
// ends the request within a moment (ok false).
Result Get(const std::string& url, const std::string& proxy, long connectTimeoutSeconds = 20,
           long totalTimeoutSeconds = 60, std::stop_token stop = {});

// Get with the default time-outs, in the shape the news takes a fetch: the body, ok
// false when the request could not be made.
std::string Fetch(const std::string& url, const std::string& proxy, bool& ok);
// Get with the default time-outs, in the shape the login takes it.
Result FetchStoppable(const std::string& url, const std::string& proxy, std::stop_token stop);

// The web proxy of the login: whenever host and port are set, whatever PROXY says; a
// host written with its scheme is taken as it stands, a bare one gets "http://".
std::string WebProxy(const std::string& host, const std::string& port);
// The proxy of the session values for the news request: only when PROXY is "YES".
std::string ProxyFor(const std::string& proxyFlag, const std::string& host, const std::string& port);
// The bare host name for the socket layer: the text after the last "/" when the host
// carries a scheme.
std::string SocketProxyHost(const std::string& host);

}  // namespace HttpLogin
