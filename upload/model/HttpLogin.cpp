#include "upload/model/HttpLogin.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace HttpLogin {

namespace {

struct Sink {
    std::string body;
    bool capped = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    const size_t bytes = size * count;
    for (size_t i = 0; i < bytes; ++i) {
        if (data[i] == '\r' || data[i] == '\n')
            continue;
        if (sink->body.size() >= kMaxReply) {
            sink->capped = true;
            break;
        }
        sink->body += data[i];
    }
    return bytes;
}

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

Result Get(const std::string& url, const std::string& proxy, long connectTimeoutSeconds, long totalTimeoutSeconds)
{
    GlobalInit();
    Result result;
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        result.error = "no HTTP session";
        return result;
    }
    Sink sink;
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, totalTimeoutSeconds);
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    // An empty proxy keeps curl from taking one out of the environment.
    curl_easy_setopt(curl.get(), CURLOPT_PROXY, proxy.c_str());
    const CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
        result.error = error[0] ? error : curl_easy_strerror(code);
        return result;
    }
    result.ok = true;
    result.body = std::move(sink.body);
    return result;
}

std::string Fetch(const std::string& url, const std::string& proxy, bool& ok)
{
    Result result = Get(url, proxy);
    ok = result.ok;
    return std::move(result.body);
}

std::string ProxyFor(const std::string& proxyFlag, const std::string& host, const std::string& port)
{
    if (proxyFlag != "YES" || host.empty() || port.empty())
        return {};
    return (host.find("http") == std::string::npos ? "http://" + host : host) + ":" + port;
}

std::string SocketProxyHost(const std::string& host)
{
    if (host.find("http") == std::string::npos)
        return host;
    const size_t slash = host.rfind('/');
    return slash == std::string::npos ? host : host.substr(slash + 1);
}

}  // namespace HttpLogin
