#include "upload/model/CNewsCheck.h"

#include "upload/model/HttpLogin.h"
#include "upload/model/NewsReply.h"

CNewsCheck::CNewsCheck()
{
    m_fetch = HttpLogin::Fetch;
}

void CNewsCheck::Run(const UploadEndpoints& at, int storedId, const std::string& proxy, const std::string& proxyHost,
                     const std::string& proxyPort)
{
    bool ok = false;
    const std::string reply = m_fetch(NewsReply::CheckUrl(at, storedId), HttpLogin::ProxyFor(proxy, proxyHost, proxyPort), ok);
    if (!ok)
        return;
    if (const auto id = NewsReply::MaxId(reply)) {
        m_newsAvailable = true;
        m_latest = id;
    }
}
