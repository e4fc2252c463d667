#pragma once
// The news check: asks the service's news script for the newest news id. With a reply
// that names one, the news is available and that id is the latest.

#include "upload/model/LoginReply.h"

#include <functional>
#include <optional>
#include <string>

class CNewsCheck {
public:
    // One GET: the body, ok false when no reply came. proxy "" or "http://host:port".
    using Fetch = std::function<std::string(const std::string& url, const std::string& proxy, bool& ok)>;

    CNewsCheck();
    void SetFetch(Fetch fetch) { m_fetch = std::move(fetch); }

    // The session's proxy values: PROXY, PROXYHOST, PROXYPORT.
    void Run(const UploadEndpoints& at, int storedId, const std::string& proxy, const std::string& proxyHost,
             const std::string& proxyPort);

    bool NewsAvailable() const { return m_newsAvailable; }
    std::optional<int> LatestId() const { return m_latest; }

private:
    Fetch m_fetch;
    bool m_newsAvailable = false;
    std::optional<int> m_latest;
};
