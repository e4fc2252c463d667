#pragma once
// The news of this version of the program: up to five links from the service's news
// script and a closing "View All." link. Closing it remembers the latest news id the
// news check found.

#include "upload/model/CNewsCheck.h"

#include <wx/dialog.h>

#include <functional>
#include <string>
#include <vector>

class CQuorixDoc;

class CNewsDlg : public wxDialog {
public:
    explicit CNewsDlg(wxWindow* parent);
    void SetDocument(CQuorixDoc* doc);
    void SetFetch(CNewsCheck::Fetch fetch) { m_fetch = std::move(fetch); }
    // The network failure's message box (a stop box by default).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_message = std::move(sink); }
    // Opens a link; only web addresses reach it.
    void SetBrowser(std::function<bool(const std::string&)> open) { m_openBrowser = std::move(open); }

    // The six link texts as shown.
    std::vector<std::string> Texts() const;
    void OnClose(int result);

private:
    void OnInitDialog(wxInitDialogEvent& event);

    CQuorixDoc* m_doc = nullptr;
    UploadEndpoints m_endpoints;
    CNewsCheck::Fetch m_fetch;
    CNewsConnection m_connection;
    std::function<void(const std::string&)> m_message;
    std::function<bool(const std::string&)> m_openBrowser;
};

// Shows the news dialog without a parent window.
void ShowNewsDialog(CQuorixDoc& doc);
