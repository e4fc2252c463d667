#include "upload/ui/CInboxView.h"

#include "resources/manager/UploadDialogs.h"
#include "upload/model/NewsReply.h"

#include <wx/utils.h>

CInboxView::CInboxView(wxWindow* parent) : wxHtmlWindow(parent)
{
    m_openBrowser = [](const std::string& url) { return wxLaunchDefaultBrowser(wxString::FromUTF8(url)); };
    SetPage(wxString::FromUTF8(mdlg::kInboxHelpPage));
}

void CInboxView::OnLinkClicked(const wxHtmlLinkInfo& link)
{
    // The page stays; the service's own pages belong in the browser.
    const std::string url = link.GetHref().utf8_string();
    if (NewsReply::IsWebLink(url))
        m_openBrowser(url);
}
