#include "upload/model/CNewsCheck.h"

#include "upload/model/HttpLogin.h"
#include "upload/model/NewsReply.h"

CNewsCheck::CNewsCheck()
{
    m_fetch = HttpLogin::Fetch;
}

void CNewsCheck::Run(const UploadEndpoints& at, int storedId, const SessionValues& session)
{
    const std::string url = NewsReply::CheckUrl(at, storedId);
    if (!m_connection.Open(url, session))
        return;
    bool ok = false;
    const std::string reply =
        m_fetch(url, HttpLogin::ProxyFor(session.m_strProxy, session.m_strProxyHost, session.m_strProxyPort), ok);
    m_connection.Close();
    if (!ok)
        return;
    if (const auto id = NewsReply::MaxId(reply)) {
        m_newsAvailable = true;
        m_latest = id;
    }
}
