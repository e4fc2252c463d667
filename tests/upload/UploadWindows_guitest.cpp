// The upload client's windows that nothing in the program opens: the proxy setting
// dialog with its validation, the news dialog and the inbox view.
#include "upload/ui/CInboxView.h"
#include "upload/ui/CNewsDlg.h"
#include "upload/ui/CProxySettingDlg.h"

#include "manager/model/CQuorixState.h"
#include "platform/SettingsStore.h"
#include "resources/manager/UploadDialogs.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

using namespace std::chrono_literals;

namespace {

class UploadWindows : public ::testing::Test {
protected:
    lftest::TempDir home;
    CQuorixState state{(home / "settings.ini").string()};
    lftest::TestDoc doc{(home / "qkvex.sess").string(), &state};
};

wxTextCtrl* Edit(wxWindow* dialog, int id) { return static_cast<wxTextCtrl*>(dialog->FindWindow(id)); }

TEST_F(UploadWindows, ProxyDialogValidatesEnablesAndStores)
{
    doc.m_strProxy = "NO";
    doc.m_strProxyType = "1";
    doc.m_strProxyHost = "old.host";
    doc.m_strProxyPort = "1080";
    CProxySettingDlg dialog(nullptr);
    dialog.SetDocument(&doc);
    std::vector<std::string> messages;
    dialog.SetMessageSink([&](const std::string& text) { messages.push_back(text); });
    dialog.Show();

    // Opening: the session's values, proxy controls off, Apply off.
    EXPECT_TRUE(static_cast<wxRadioButton*>(dialog.FindWindow(mdlg::kProxySocks4))->GetValue());
    EXPECT_EQ(Edit(&dialog, mdlg::kProxyHost)->GetValue(), "old.host");
    EXPECT_FALSE(dialog.FindWindow(mdlg::kProxyHost)->IsEnabled());
    EXPECT_FALSE(dialog.FindWindow(mdlg::kProxyUser)->IsEnabled());
    EXPECT_FALSE(dialog.FindWindow(mdlg::kProxyApply)->IsEnabled());

    auto* use = static_cast<wxCheckBox*>(dialog.FindWindow(mdlg::kProxyUse));
    use->SetValue(true);
    wxCommandEvent click(wxEVT_CHECKBOX, mdlg::kProxyUse);
    click.SetEventObject(use);
    use->ProcessWindowEvent(click);
    EXPECT_TRUE(dialog.FindWindow(mdlg::kProxyHost)->IsEnabled());
    EXPECT_FALSE(dialog.FindWindow(mdlg::kProxyUser)->IsEnabled());  // follows Authentication
    EXPECT_TRUE(dialog.FindWindow(mdlg::kProxyApply)->IsEnabled());

    // HTTP fills its port.
    auto* http = static_cast<wxRadioButton*>(dialog.FindWindow(mdlg::kProxyHttp));
    http->SetValue(true);
    wxCommandEvent pick(wxEVT_RADIOBUTTON, mdlg::kProxyHttp);
    pick.SetEventObject(http);
    http->ProcessWindowEvent(pick);
    EXPECT_EQ(Edit(&dialog, mdlg::kProxyPort)->GetValue(), "8080");

    struct Case {
        const char* host;
        const char* port;
        const char* message;  // null: stored
        int focus;
    };
    const Case cases[] = {
        {"abc", "8080", ProxySettings::kBadHost, mdlg::kProxyHost},
        {"proxy.local", "0", ProxySettings::kBadPort, mdlg::kProxyPort},
        {"proxy.local", "70000", ProxySettings::kBadPort, mdlg::kProxyPort},
        {"proxy.local", "port", ProxySettings::kBadPort, mdlg::kProxyPort},
        {"proxy.local", "3128", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.host) + ":" + c.port);
        messages.clear();
        Edit(&dialog, mdlg::kProxyHost)->ChangeValue(c.host);
        Edit(&dialog, mdlg::kProxyPort)->ChangeValue(c.port);
        dialog.OnOK();
        if (c.message) {
            EXPECT_EQ(messages, std::vector<std::string>{c.message});
            EXPECT_TRUE(dialog.IsShown());
            EXPECT_EQ(doc.m_strProxy, "NO");
            EXPECT_EQ(doc.m_strProxyHost, "old.host");
            wxTextCtrl* field = Edit(&dialog, c.focus);
            long from = 0, to = 0;
            field->GetSelection(&from, &to);
            EXPECT_EQ(to - from, static_cast<long>(field->GetValue().length()));
        } else {
            EXPECT_TRUE(messages.empty());
            EXPECT_FALSE(dialog.IsShown());
            EXPECT_EQ(dialog.GetReturnCode(), wxID_OK);
            EXPECT_EQ(doc.m_strProxy, "YES");
            EXPECT_EQ(doc.m_strProxyType, "3");
            EXPECT_EQ(doc.m_strProxyHost, "proxy.local");
            EXPECT_EQ(doc.m_strProxyPort, "3128");
            EXPECT_EQ(doc.m_strProxyAuth, "NO");
        }
    }
}

TEST_F(UploadWindows, NewsDialogShowsTheLinksAndRemembersTheLatestId)
{
    state.m_nNewsID = 3;
    state.m_nMaxNewsID = 5;
    std::vector<std::string> asked;
    CNewsDlg dialog(nullptr);
    dialog.SetDocument(&doc);
    dialog.SetFetch([&](const std::string& url, const std::string&, bool& ok) {
        asked.push_back(url);
        ok = true;
        return std::string("<version>1.6</version><news>First</news><url>http://n/1</url>"
                           "<version>1.6</version><news>Bad</news><url>file:///etc/passwd</url>");
    });
    std::vector<std::string> opened;
    dialog.SetBrowser([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    dialog.Show();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].find("?version=1.6&MsgID=3"), std::string::npos);
    const auto texts = dialog.Texts();
    EXPECT_EQ(texts[0], "<a href=http://n/1><u><font size=\"1\" color=\"blue\">First</font></u></a>");
    EXPECT_EQ(texts[2], "");
    dialog.OnClose(wxID_OK);
    EXPECT_EQ(lfplat::SettingsStore(state.GetSettingsPath()).Get(CQuorixState::kSettingsKey, "MaxNewsID"), "5");

    // No reply: the network message, and the first text stays.
    std::vector<std::string> messages;
    CNewsDlg offline(nullptr);
    offline.SetDocument(&doc);
    offline.SetFetch([](const std::string&, const std::string&, bool& ok) {
        ok = false;
        return std::string();
    });
    offline.SetMessageSink([&](const std::string& text) { messages.push_back(text); });
    offline.Show();
    EXPECT_EQ(messages,
              std::vector<std::string>{"ERROR: Network cunection failed. Please try again or connect internet."});
    EXPECT_EQ(offline.Texts()[0], "Check the latest news for the Lanternfolio Photo Editor.");
    offline.OnClose(wxID_CANCEL);
}

TEST_F(UploadWindows, InboxViewShowsTheHelpPageAndHandsWebLinksOn)
{
    wxFrame frame(nullptr, wxID_ANY, "inbox");
    auto* view = new CInboxView(&frame);
    std::vector<std::string> opened;
    view->SetBrowser([&](const std::string& url) {
        opened.push_back(url);
        return true;
    });
    frame.Show();
    lftest::PumpUntil([&] { return view->GetOpenedPageTitle() == "Lanternfolio Uploader Help"; });
    EXPECT_EQ(view->GetOpenedPageTitle(), "Lanternfolio Uploader Help");
    EXPECT_NE(view->ToText().Find("online"), wxNOT_FOUND);
    view->OnLinkClicked(wxHtmlLinkInfo("http://www.lanternfolio.example/webpages/help/uploader.shtml"));
    view->OnLinkClicked(wxHtmlLinkInfo("file:///etc/passwd"));
    EXPECT_EQ(opened, std::vector<std::string>{"http://www.lanternfolio.example/webpages/help/uploader.shtml"});
    EXPECT_EQ(view->GetOpenedPageTitle(), "Lanternfolio Uploader Help");
}

}  // namespace
