#pragma once
// The news check: asks the service's news script for the newest news id. With a reply
// that names one, the news is available and that id is the latest. With the session's
// proxy on, a connection through it is made first (CNewsConnection); when that fails
// at once, the check ends without asking.

#include "manager/model/SessionValues.h"
#include "upload/model/CNewsConnection.h"
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

    void Run(const UploadEndpoints& at, int storedId, const SessionValues& session);
    // The connection through the proxy of the last run (closed once the run ends).
    const CNewsConnection& Connection() const { return m_connection; }

    bool NewsAvailable() const { return m_newsAvailable; }
    std::optional<int> LatestId() const { return m_latest; }

private:
    Fetch m_fetch;
    CNewsConnection m_connection;
    bool m_newsAvailable = false;
    std::optional<int> m_latest;
};
