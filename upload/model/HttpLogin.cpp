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
            // Reading on would only cost time and memory: the transfer ends here.
            sink->capped = true;
            return 0;
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

using Easy = std::unique_ptr<CURL, void (*)(CURL*)>;
using Multi = std::unique_ptr<CURLM, CURLMcode (*)(CURLM*)>;

// Runs the transfer on a multi handle, so that a stop request wakes its wait at once.
CURLcode Perform(CURL* easy, const std::stop_token& stop, bool& stopped)
{
    Multi multi(curl_multi_init(), curl_multi_cleanup);
    if (!multi)
        return CURLE_OUT_OF_MEMORY;
    if (curl_multi_add_handle(multi.get(), easy) != CURLM_OK)
        return CURLE_OUT_OF_MEMORY;
    std::stop_callback wake(stop, [m = multi.get()] { curl_multi_wakeup(m); });
    CURLcode result = CURLE_OK;
    for (;;) {
        if (stop.stop_requested()) {
            stopped = true;
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        int running = 0;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_RECV_ERROR;
            break;
        }
        int queued = 0;
        if (CURLMsg* message = curl_multi_info_read(multi.get(), &queued); message && message->msg == CURLMSG_DONE) {
            result = message->data.result;
            break;
        }
        if (running == 0)
            continue;  // the done message follows
        if (curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr) != CURLM_OK) {
            result = CURLE_RECV_ERROR;
            break;
        }
    }
    curl_multi_remove_handle(multi.get(), easy);
    return result;
}

}  // namespace

Result Get(const std::string& url, const std::string& proxy, long connectTimeoutSeconds, long totalTimeoutSeconds,
           std::stop_token stop)
{
    GlobalInit();
    Result result;
    Easy curl(curl_easy_init(), curl_easy_cleanup);
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
    // A stop must not wait for a name look-up that hangs (a silent name server): the
    // look-up's thread is left to end alone instead of being waited for.
    curl_easy_setopt(curl.get(), CURLOPT_QUICK_EXIT, 1L);
    // An empty proxy keeps curl from taking one out of the environment.
    curl_easy_setopt(curl.get(), CURLOPT_PROXY, proxy.c_str());
    bool stopped = false;
    const CURLcode code = Perform(curl.get(), stop, stopped);
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &result.status);
    if (stopped) {
        result.error = "stopped";
        return result;
    }
    if (code != CURLE_OK && !(code == CURLE_WRITE_ERROR && sink.capped)) {
        result.error = error[0] ? error : curl_easy_strerror(code);
        return result;
    }
    result.ok = true;
    result.capped = sink.capped;
    result.body = std::move(sink.body);
    return result;
}

std::string Fetch(const std::string& url, const std::string& proxy, bool& ok)
{
    Result result = Get(url, proxy);
    ok = result.ok;
    return std::move(result.body);
}

Result FetchStoppable(const std::string& url, const std::string& proxy, std::stop_token stop)
{
    return Get(url, proxy, 20, 60, std::move(stop));
}

std::string WebProxy(const std::string& host, const std::string& port)
{
    if (host.empty() || port.empty())
        return {};
    return (host.find("http") == std::string::npos ? "http://" + host : host) + ":" + port;
}

std::string ProxyFor(const std::string& proxyFlag, const std::string& host, const std::string& port)
{
    return proxyFlag == "YES" ? WebProxy(host, port) : std::string();
}

std::string SocketProxyHost(const std::string& host)
{
    if (host.find("http") == std::string::npos)
        return host;
    const size_t slash = host.rfind('/');
    return slash == std::string::npos ? host : host.substr(slash + 1);
}

}  // namespace HttpLogin
