#pragma once
// The uploader's help page, shown in the program; a link opens the service's page in
// the desktop's browser.

#include <wx/html/htmlwin.h>

#include <functional>
#include <string>

class CInboxView : public wxHtmlWindow {
public:
    explicit CInboxView(wxWindow* parent);
    void SetBrowser(std::function<bool(const std::string&)> open) { m_openBrowser = std::move(open); }
    void OnLinkClicked(const wxHtmlLinkInfo& link) override;

private:
    std::function<bool(const std::string&)> m_openBrowser;
};
