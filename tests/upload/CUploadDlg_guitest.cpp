// The upload dialog on the toolkit's event loop against the loopback fakes: the
// selection listed and ticked, an upload with its progress, a refused login, Cancel and
// the close box in the middle of a transfer, the manager's Upload command, the
// compression choice and the browser addresses. Every question the dialog asks gets a
// scripted answer.
#include "upload/ui/CCompressionDlg.h"
#include "upload/ui/CServerMessageDlg.h"
#include "upload/ui/CUploadDlg.h"

#include "image/CLfImage.h"
#include "manager/model/CQuorixState.h"
#include "platform/SettingsStore.h"
#include "platform/gui/WxReactor.h"
#include "resources/manager/UploadDialogs.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/net/NetTestPeers.h"
#include "tests/support/FakeUploadService.h"
#include "tests/support/FakeWebHost.h"
#include "tests/support/GuiTest.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/TestEnv.h"
#include "tests/upload/TickGaps.h"
#include "upload/model/ServiceSettings.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <atomic>
#include <fstream>
#include <iostream>
#include <thread>

#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const char kAccepting[] =
    "<uid>7</uid><sid>abc</sid><inboxPath>/in/7</inboxPath><paidMember>1</paidMember>"
    "<Num-Paid>10</Num-Paid><SizeinMB-Paid>10</SizeinMB-Paid><maxDiskSpace>10000000</maxDiskSpace>"
    "<picturelimit>10</picturelimit><WWW>1</WWW>";

struct Said {
    std::vector<std::pair<std::string, std::string>> messages;  // text, caption
    std::vector<std::string> serverMessages, urls;
    int retries = 0;
    int browserResult = 33;
};

void Click(wxWindow* dialog, int id)
{
    wxWindow* button = dialog->FindWindow(id);
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->IsEnabled()) << id;
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->ProcessWindowEvent(event);
}

std::string Bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

int JpegHeight(const std::vector<char>& bytes, const fs::path& scratch)
{
    std::ofstream(scratch, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    CLfImage image;
    return image.Load(scratch.c_str(), lfimg::kTypeJPG) ? std::abs(image.GetHeight()) : -1;
}

class UploadDialog : public ::testing::Test {
protected:
    // Images a.jpg (1200 high), b.jpg (300) and c.jpg (601) in one folder, the first
    // count of them selected; the user's own "resized_a.jpg" beside them.
    void MakeDocument(int selected, const std::string& web, int servicePort,
                      const std::string& uploadHost = "127.0.0.1")
    {
        lfplat::SettingsStore store(state.GetSettingsPath());
        store.Update([&](lfplat::SettingsStore::Content& all) {
            auto& s = all[ServiceSettings::kSection];
            s["ServiceScheme"] = "http";
            s["ServiceWebHost"] = web;
            s["UploadHost"] = uploadHost;
            s["UploadPort"] = std::to_string(servicePort);
        });
        state.m_nUploadType = 1;
        const int heights[] = {1200, 300, 601};
        auto folder = std::make_unique<CFolderItem>("photos", dir.str(), 0);
        for (int i = 0; i < 3; ++i) {
            CLfImage image;
            image.Create(40 + i, heights[i], 24, lfimg::kTypeJPG);
            const std::string name = std::string(1, static_cast<char>('a' + i)) + ".jpg";
            const fs::path path = dir / name;
            EXPECT_TRUE(image.Save(path.c_str(), lfimg::kTypeJPG));
            folder->AddImage(std::make_unique<CImageItem>(name, path.string(),
                                                          static_cast<int64_t>(fs::file_size(path)), 0, 0));
        }
        std::ofstream(dir / "resized_a.jpg", std::ios::binary) << "mine";
        doc.SetCurrentFolder(std::move(folder));
        for (int i = 0; i < selected; ++i)
            doc.SelectImage(i, true, false);
        doc.m_strLogin = "a&b c#%\xC3\xA9";
        doc.m_strPassword = "pw";
    }

    static lftest::FakeUploadService::Options Service(int files, int stall = -1)
    {
        lftest::FakeUploadService::Options options;
        options.uidSid = "7-abc";
        options.inboxPath = "/in/7";
        options.totalFiles = files;
        options.stallAfterChunks = stall;
        return options;
    }

    CUploadDlg::Prompts Answers()
    {
        CUploadDlg::Prompts p;
        p.message = [this](const std::string& text, const std::string& caption) {
            said.messages.emplace_back(text, caption);
        };
        p.retry = [this](const std::string&) {
            ++said.retries;
            return false;
        };
        p.serverMessage = [this](const std::string& reply) { said.serverMessages.push_back(reply); };
        p.compression = [] { return true; };
        p.openBrowser = [this](const std::string& url) {
            said.urls.push_back(url);
            return said.browserResult;
        };
        return p;
    }

    // The dialog shown (not modal), opened over the document.
    std::unique_ptr<CUploadDlg> Open()
    {
        auto dialog = std::make_unique<CUploadDlg>(nullptr);
        dialog->SetDocument(&doc);
        dialog->SetPrompts(Answers());
        dialog->Show();
        return dialog;
    }

    void ExpectNoCopiesLeft()
    {
        EXPECT_EQ(Bytes(dir / "resized_a.jpg"), "mine");
        for (const auto& entry : fs::directory_iterator(dir.path()))
            if (entry.path().filename() != "resized_a.jpg") {
                EXPECT_EQ(entry.path().filename().string().rfind("resized_", 0), std::string::npos)
                    << entry.path();
            }
    }

    lfplat::WxReactor reactor;
    lftest::TempDir dir;
    lftest::TempDir home;
    CQuorixState state{(home / "settings.ini").string()};
    lftest::TestDoc doc{(home / "qkvex.sess").string(), &state};
    Said said;
};

TEST_F(UploadDialog, ListsTheSelectionTickedAndUploadsItWithProgress)
{
    lftest::FakeUploadService service(Service(2));
    lftest::FakeWebHost web(kAccepting);
    MakeDocument(2, web.HostPort(), service.Port());
    auto dialog = Open();

    wxListCtrl* list = dialog->List();
    ASSERT_EQ(list->GetItemCount(), 2);
    for (long i = 0; i < 2; ++i)
        EXPECT_TRUE(list->IsItemChecked(i));
    EXPECT_TRUE(doc.GetCurrentFolder()->Image(0)->m_bTicked);
    EXPECT_TRUE(doc.GetCurrentFolder()->Image(1)->m_bTicked);
    EXPECT_EQ(static_cast<wxTextCtrl*>(dialog->FindWindow(mdlg::kUploadLogin))->GetValue(),
              wxString::FromUTF8(doc.m_strLogin));
    EXPECT_FALSE(dialog->FindWindow(wxID_CANCEL)->IsEnabled());

    Click(dialog.get(), mdlg::kUploadNow);
    EXPECT_TRUE(dialog->FindWindow(wxID_CANCEL)->IsEnabled());
    EXPECT_FALSE(dialog->FindWindow(mdlg::kUploadNow)->IsEnabled());
    ASSERT_TRUE(lftest::PumpUntil([&] { return dialog->Controller()->Finished(); }, 30s));
    lftest::PumpFor(20ms);

    EXPECT_EQ(dialog->Status().utf8_string(), "Transmission Successful: Host closed connection.");
    EXPECT_EQ(service.Errors(), std::vector<std::string>{});
    const auto files = service.Files();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(JpegHeight(files.at(0), home / "got0.jpg"), 600);
    EXPECT_EQ(JpegHeight(files.at(1), home / "got1.jpg"), 300);
    // The bar went to the end of the last file, then back to 0.
    EXPECT_EQ(dialog->ProgressSeen(), static_cast<int64_t>(files.at(1).size()));
    EXPECT_EQ(dialog->Progress()->GetValue(), 0);
    EXPECT_TRUE(said.messages.empty());
    // The account fields went to the document; its selection is the upload list.
    EXPECT_EQ(doc.m_strAccountKey, "7-abc");
    EXPECT_EQ(doc.m_login.inboxPath, "/in/7");
    EXPECT_EQ(doc.GetSelectedImageCount(), 2u);
    // A file is no longer selected in its folder once the next one starts.
    EXPECT_FALSE(doc.GetCurrentFolder()->Image(0)->m_bSelected);
    EXPECT_TRUE(doc.GetCurrentFolder()->Image(1)->m_bSelected);
    EXPECT_EQ(web.Requests().at(0).query.at("login"), "a&b c#%\xC3\xA9");
    EXPECT_TRUE(dialog->FindWindow(wxID_OK)->IsEnabled());
    EXPECT_FALSE(dialog->FindWindow(wxID_CANCEL)->IsEnabled());
    EXPECT_FALSE(dialog->Controller()->WatchdogRunning());
    ExpectNoCopiesLeft();

    Click(dialog.get(), wxID_OK);
    EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
    EXPECT_EQ(doc.GetSelectedImageCount(), 0u);
    EXPECT_FALSE(doc.GetCurrentFolder()->Image(0)->m_bSelected);
}

std::vector<wxString> RowNames(wxListCtrl* list)
{
    std::vector<wxString> names;
    for (long i = 0; i < list->GetItemCount(); ++i)
        names.push_back(list->GetItemText(i));
    return names;
}

TEST_F(UploadDialog, ColumnClicksShareOneToggleAndDeselectAllUnticksEverything)
{
    MakeDocument(3, "127.0.0.1:9", 9);
    auto dialog = Open();
    wxListCtrl* list = dialog->List();
    const std::vector<wxString> ascending{"a.jpg", "b.jpg", "c.jpg"}, descending{"c.jpg", "b.jpg", "a.jpg"};
    EXPECT_EQ(RowNames(list), ascending);
    const auto clickColumn = [&](int column) {
        wxListEvent event(wxEVT_LIST_COL_CLICK, list->GetId());
        event.SetEventObject(list);
        event.SetColumn(column);
        list->ProcessWindowEvent(event);
    };
    clickColumn(0);
    EXPECT_EQ(RowNames(list), descending);
    clickColumn(0);
    EXPECT_EQ(RowNames(list), ascending);
    clickColumn(3);  // the toggle is shared: the path column starts descending too
    EXPECT_EQ(RowNames(list), descending);

    // Deselect All leaves nothing to upload; Select All ticks every file again.
    dialog->OnDeselectAll();
    for (long i = 0; i < list->GetItemCount(); ++i)
        EXPECT_FALSE(list->IsItemChecked(i));
    for (size_t i = 0; i < 3; ++i)
        EXPECT_FALSE(doc.GetCurrentFolder()->Image(i)->m_bTicked);
    Click(dialog.get(), mdlg::kUploadNow);
    lftest::PumpUntil([&] { return !said.messages.empty(); });
    ASSERT_EQ(said.messages.size(), 1u);
    EXPECT_EQ(said.messages[0].first, "No picture selected for upload \nPlease select one or more picture to upload.");
    EXPECT_TRUE(dialog->Controller()->CopyPaths().empty());
    dialog->OnSelectAll();
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(doc.GetCurrentFolder()->Image(i)->m_bTicked);
    dialog->OnCancel();
}

TEST_F(UploadDialog, UntickedRowsStayHome)
{
    lftest::FakeUploadService service(Service(1));
    lftest::FakeWebHost web(kAccepting);
    MakeDocument(2, web.HostPort(), service.Port());
    auto dialog = Open();
    // Untick the row of a.jpg.
    wxListCtrl* list = dialog->List();
    const long row = list->FindItem(-1, "a.jpg");
    ASSERT_GE(row, 0);
    list->CheckItem(row, false);
    lftest::PumpFor(10ms);
    EXPECT_FALSE(doc.GetCurrentFolder()->Image(0)->m_bTicked);

    Click(dialog.get(), mdlg::kUploadNow);
    ASSERT_TRUE(lftest::PumpUntil([&] { return dialog->Controller()->Finished(); }, 30s));
    EXPECT_EQ(service.Errors(), std::vector<std::string>{});
    ASSERT_EQ(service.Files().size(), 1u);
    EXPECT_EQ(JpegHeight(service.Files().at(0), home / "got.jpg"), 300);
    Click(dialog.get(), wxID_OK);
}

TEST_F(UploadDialog, ABadLoginReplyGivesItsMessageAndOpensNoConnection)
{
    lftest::FakeUploadService service(Service(2));
    lftest::FakeWebHost web("<html><Title>Invalid login</Title></html>");
    MakeDocument(2, web.HostPort(), service.Port());
    auto dialog = Open();
    Click(dialog.get(), mdlg::kUploadNow);
    // The login's request runs beside the window: its answer comes through the loop.
    ASSERT_TRUE(lftest::PumpUntil([&] { return said.messages.size() == 1; }, 30s));
    ASSERT_TRUE(lftest::PumpUntil([&] { return dialog->Controller()->Finished(); }, 30s));
    ASSERT_EQ(said.messages.size(), 1u);
    EXPECT_EQ(said.messages[0].first, "Invalid login/password");
    EXPECT_EQ(said.messages[0].second, "Login Error...");
    EXPECT_EQ(dialog->Status().utf8_string(), "ERROR: Please enter correct username and password.");
    EXPECT_EQ(doc.m_strAccountKey, "1-1");
    EXPECT_TRUE(dialog->FindWindow(mdlg::kUploadNow)->IsEnabled());
    EXPECT_FALSE(dialog->FindWindow(wxID_CANCEL)->IsEnabled());
    EXPECT_FALSE(dialog->Controller()->WatchdogRunning());
    EXPECT_EQ(service.Connections(), 0);
    ExpectNoCopiesLeft();

    // A reply without an account is shown whole.
    web.SetBody("<uid></uid><p>Maintenance</p>");
    Click(dialog.get(), mdlg::kUploadNow);
    ASSERT_TRUE(lftest::PumpUntil([&] { return !said.serverMessages.empty(); }, 30s));
    EXPECT_EQ(said.serverMessages, std::vector<std::string>{"<uid></uid><p>Maintenance</p>"});
    EXPECT_EQ(service.Connections(), 0);
    Click(dialog.get(), wxID_OK);
}

TEST_F(UploadDialog, CancelOrCloseBoxMidTransferStopsCleanly)
{
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        lftest::FakeUploadService service(Service(2, 1));
        lftest::FakeWebHost web(kAccepting);
        said = {};
        MakeDocument(2, web.HostPort(), service.Port());
        auto dialog = Open();
        Click(dialog.get(), mdlg::kUploadNow);
        ASSERT_TRUE(lftest::PumpUntil([&] { return service.Stalled(); }, 30s));
        ASSERT_TRUE(dialog->Controller()->WatchdogRunning());
        if (closeBox)
            dialog->Close();
        else
            Click(dialog.get(), wxID_CANCEL);
        EXPECT_FALSE(dialog->IsShown());
        EXPECT_EQ(dialog->GetReturnCode(), closeBox ? wxID_OK : wxID_CANCEL);
        EXPECT_FALSE(dialog->Controller()->WatchdogRunning());
        EXPECT_EQ(doc.GetSelectedImageCount(), 0u);
        for (size_t i = 0; i < doc.GetCurrentFolder()->ImageCount(); ++i)
            EXPECT_FALSE(doc.GetCurrentFolder()->Image(i)->m_bSelected);
        EXPECT_GE(doc.updates, 1);
        ExpectNoCopiesLeft();
        // Nothing more is sent and no question comes after.
        lftest::PumpFor(50ms);
        EXPECT_EQ(service.Completed(), 0);
        EXPECT_EQ(service.Errors(), std::vector<std::string>{});
        EXPECT_EQ(said.retries, 0);
        EXPECT_TRUE(said.messages.empty());
    }
}

TEST_F(UploadDialog, AStallAsksRetryAndCancelThereEndsTheAttempt)
{
    lftest::FakeUploadService service(Service(2, 1));
    lftest::FakeWebHost web(kAccepting);
    MakeDocument(2, web.HostPort(), service.Port());
    std::atomic<int64_t> now{1000};
    auto dialog = std::make_unique<CUploadDlg>(nullptr);
    dialog->SetDocument(&doc);
    dialog->SetPrompts(Answers());
    dialog->SetClock([&] { return now.load(); });
    dialog->Show();
    Click(dialog.get(), mdlg::kUploadNow);
    ASSERT_TRUE(lftest::PumpUntil([&] { return service.Stalled(); }, 30s));
    lftest::PumpFor(20ms);
    now += 20;
    ASSERT_TRUE(lftest::PumpUntil([&] { return said.retries == 1; }, 30s));
    lftest::PumpFor(20ms);
    EXPECT_EQ(said.retries, 1);
    EXPECT_EQ(dialog->Status().utf8_string(), "Uploaded 1 of 2 files. Connection Time Out. Please Check your network");
    EXPECT_TRUE(dialog->FindWindow(mdlg::kUploadNow)->IsEnabled());
    EXPECT_FALSE(dialog->Controller()->WatchdogRunning());
    ExpectNoCopiesLeft();
    Click(dialog.get(), wxID_OK);
}

TEST_F(UploadDialog, TheManagersUploadCommandSendsTheSelectionReducedAndLeavesNoCopy)
{
    lftest::FakeUploadService service(Service(3));
    lftest::FakeWebHost web(kAccepting);
    MakeDocument(3, web.HostPort(), service.Port());
    int runs = 0;
    state.m_services.upload = [&](CQuorixDoc& asked) {
        ++runs;
        CUploadDlg dialog(nullptr);
        dialog.SetDocument(&asked);
        dialog.SetPrompts(Answers());
        // Inside the modal loop: Upload Now, then Close once the service said goodbye.
        dialog.CallAfter([&dialog] { dialog.OnUploadNow(); });
        const auto deadline = std::chrono::steady_clock::now() + 120s;
        wxTimer poll;
        poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (dialog.Controller() && dialog.Controller()->Finished())
                dialog.OnOK();
            else if (std::chrono::steady_clock::now() > deadline)
                dialog.OnCancel();
        });
        poll.Start(10);
        EXPECT_EQ(dialog.ShowModal(), wxID_OK);
        poll.Stop();
    };
    doc.OnUpload();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(service.Errors(), std::vector<std::string>{});
    // The service sees the close on its own thread, a moment after the client.
    EXPECT_TRUE(lftest::PumpUntil([&] { return service.Completed() == 1; }, 10s));
    const auto files = service.Files();
    ASSERT_EQ(files.size(), 3u);
    const int heights[] = {600, 300, 600};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(JpegHeight(files.at(i), home / "got.jpg"), heights[i]) << i;
    EXPECT_TRUE(said.messages.empty());
    ExpectNoCopiesLeft();
}

TEST_F(UploadDialog, GoToInboxAndRegisterHandTheBrowserEncodedAddresses)
{
    MakeDocument(1, "127.0.0.1:9", 9);
    auto dialog = Open();
    static_cast<wxTextCtrl*>(dialog->FindWindow(mdlg::kUploadLogin))->ChangeValue("a&b c");
    static_cast<wxTextCtrl*>(dialog->FindWindow(mdlg::kUploadPassword))->ChangeValue("p#%");
    Click(dialog.get(), mdlg::kUploadGoToInbox);
    ASSERT_EQ(said.urls.size(), 1u);
    EXPECT_EQ(said.urls[0].rfind("http://127.0.0.1:9/members/edit?SET_USERPASS=1&p=27&COOKIE_USER=a%26b%20c"
                                 "&COOKIE_PASS=p%23%25&javascript=1&cookies=1&t=",
                                 0),
              0u)
        << said.urls[0];
    EXPECT_EQ(doc.m_strLogin, "a&b c");
    EXPECT_TRUE(said.messages.empty());

    // A failed start says why; an empty password asks for it first.
    said.browserResult = 31;
    Click(dialog.get(), mdlg::kUploadGoToInbox);
    ASSERT_EQ(said.messages.size(), 1u);
    EXPECT_EQ(said.messages[0].first, CUploadDlg::BrowserFailureText(31));
    static_cast<wxTextCtrl*>(dialog->FindWindow(mdlg::kUploadPassword))->ChangeValue("");
    Click(dialog.get(), mdlg::kUploadGoToInbox);
    ASSERT_EQ(said.messages.size(), 2u);
    EXPECT_EQ(said.messages[1], std::make_pair(std::string("Please enter username/password."),
                                               std::string("Login Error...")));
    EXPECT_EQ(said.urls.size(), 2u);
    EXPECT_EQ(CUploadDlg::BrowserFailureText(33), nullptr);
    dialog->OnRegister();
    EXPECT_EQ(said.urls.back(), "http://127.0.0.1:9/register/register.cgi");
}

TEST_F(UploadDialog, TheLongestStatusShowsEveryWord)
{
    MakeDocument(1, "127.0.0.1:9", 9);
    auto dialog = Open();
    auto* status = static_cast<wxTextCtrl*>(dialog->FindWindow(mdlg::kUploadStatus));
    ASSERT_TRUE(lftest::PumpUntil([&] { return status->IsShownOnScreen(); }));
    for (const char* text : {"ERROR: Could not connect to Authentication Server (HTTP status 407). Closing Connection.",
                             "ERROR: Server did not respond for 90 seconds.Make sure you are connected to the internet"}) {
        SCOPED_TRACE(text);
        status->ChangeValue(text);  // as the dialog writes its status
        lftest::PumpFor(std::chrono::milliseconds(100));
        // The last letter lies inside the field: nothing runs out of sight.
        const wxPoint last = status->PositionToCoords(status->GetLastPosition() - 1);
        const wxSize area = status->GetClientSize();
        if (last == wxDefaultPosition) {  // a one-line field: the text must fit its width
            EXPECT_LE(status->GetTextExtent(text).x, area.x);
            continue;
        }
        EXPECT_GE(last.x, 0);
        EXPECT_LT(last.x, area.x);
        EXPECT_GE(last.y, 0);
        EXPECT_LE(last.y + status->GetCharHeight(), area.y);
    }
}

TEST_F(UploadDialog, TheCompressionChoiceIsSavedOnlyWhenChangedAndSurvivesARestart)
{
    MakeDocument(1, "127.0.0.1:9", 9);
    state.m_nUploadType = 0;
    {
        CCompressionDlg box(nullptr);
        box.SetDocument(&doc);
        box.Show();
        EXPECT_TRUE(static_cast<wxRadioButton*>(box.FindWindow(mdlg::kCompressionNone))->GetValue());
        box.OnCompressed();
        box.OnSaveSelection();
        EXPECT_EQ(box.GetReturnCode(), wxID_OK);
        EXPECT_EQ(doc.m_nReducedHeight, 600);
    }
    CQuorixState restarted(state.GetSettingsPath());
    restarted.ReadSettings();
    EXPECT_EQ(restarted.m_nUploadType, 1);

    // Saving the same choice writes nothing.
    lfplat::SettingsStore(state.GetSettingsPath()).Remove(CQuorixState::kSettingsKey, "UploadType");
    {
        CCompressionDlg box(nullptr);
        box.SetDocument(&doc);
        box.Show();
        EXPECT_TRUE(static_cast<wxRadioButton*>(box.FindWindow(mdlg::kCompressionReduced))->GetValue());
        box.OnSaveSelection();
    }
    EXPECT_FALSE(lfplat::SettingsStore(state.GetSettingsPath()).Get(CQuorixState::kSettingsKey, "UploadType"));
    // Cancel keeps the setting as it was.
    {
        CCompressionDlg box(nullptr);
        box.SetDocument(&doc);
        box.Show();
        box.OnNonCompressed();
        Click(&box, wxID_CANCEL);
        EXPECT_EQ(box.GetReturnCode(), wxID_CANCEL);
    }
    EXPECT_EQ(state.m_nUploadType, 1);
}

TEST_F(UploadDialog, TheServerMessageShowsTheWholeReply)
{
    CServerMessageDlg box(nullptr);
    box.SetText("<uid></uid><b>Closed for maintenance</b>");
    box.Show();
    EXPECT_EQ(box.ShownText(), "<uid></uid><b>Closed for maintenance</b>");
    EXPECT_FALSE(box.FindWindow(mdlg::kServerMessageHtml)->IsShown());
    // A long reply of many lines is there whole, in a box of several lines that scrolls.
    auto* text = static_cast<wxTextCtrl*>(box.FindWindow(mdlg::kServerMessageText));
    EXPECT_TRUE(text->IsMultiLine());
    EXPECT_FALSE(text->IsEditable());
    EXPECT_GT(text->GetSize().y, 5 * text->GetCharHeight());
    std::string longReply;
    for (int i = 0; i < 2000; ++i)
        longReply += "line " + std::to_string(i) + "\n";
    CServerMessageDlg longBox(nullptr);
    longBox.SetText(longReply);
    longBox.Show();
    EXPECT_EQ(longBox.ShownText(), wxString(longReply));
    longBox.Close();
    Click(&box, wxID_OK);
    EXPECT_EQ(box.GetReturnCode(), wxID_OK);
}

using Clock = uploadtest::TickGaps::Clock;

// The window's timer, every 20 ms, ticking into gaps from Upload Now to Cancel.
class WindowTimer {
public:
    explicit WindowTimer(uploadtest::TickGaps& gaps)
    {
        m_timer.Bind(wxEVT_TIMER, [&gaps](wxTimerEvent&) { gaps.Tick(); });
        m_timer.Start(20);
    }

private:
    wxTimer m_timer;
};

// Cancel in the middle of a hanging attempt: at once, and the attempt is over.
void ExpectCancelEndsIt(CUploadDlg& dialog)
{
    EXPECT_TRUE(dialog.FindWindow(wxID_CANCEL)->IsEnabled());
    const auto start = Clock::now();
    Click(&dialog, wxID_CANCEL);
    const auto took = Clock::now() - start;
    std::cout << "Cancel took " << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms\n";
    EXPECT_LT(took, 1s);
    EXPECT_EQ(dialog.GetReturnCode(), wxID_CANCEL);
    EXPECT_FALSE(dialog.Controller()->LoggingIn());
    EXPECT_FALSE(dialog.Controller()->WatchdogRunning());
}

// A login server that takes the request and never answers: over the whole hang the
// window goes on handling its events without standing still for more than about a
// second, shows the status of the login, and Cancel ends the upload at once.
TEST_F(UploadDialog, AHangingLoginKeepsTheWindowAliveAndCancelEndsIt)
{
    lftest::LoopbackListener web;
    std::atomic<bool> stop{false};
    std::atomic<bool> requested{false};
    std::thread server([&] {
        const int fd = web.Accept(stop);
        if (fd < 0)
            return;
        lftest::LoopbackListener::ReadHttpHead(fd);
        requested = true;
        lftest::LoopbackListener::WaitForClose(fd, stop);
        ::close(fd);
    });
    MakeDocument(2, "127.0.0.1:" + std::to_string(web.Port()), web.Port());
    auto dialog = Open();

    uploadtest::TickGaps gaps;
    WindowTimer timer(gaps);
    gaps.Begin();
    Click(dialog.get(), mdlg::kUploadNow);
    const bool reached = lftest::PumpUntil([&] { return requested.load(); }, 30s);
    // The hang goes on well past the request: the measure covers a good stretch of it.
    const size_t atRequest = gaps.Count();
    lftest::PumpUntil([&] { return gaps.Count() >= atRequest + 50; }, 30s);
    EXPECT_TRUE(reached);
    EXPECT_TRUE(dialog->Controller()->LoggingIn());
    EXPECT_EQ(dialog->Status().utf8_string(), "Connecting to Lanternfolio Authentication Server....");
    // No ASSERT before the server's thread is joined: leaving early would end the program.
    EXPECT_LT(gaps.Longest(), 1s);

    ExpectCancelEndsIt(*dialog);
    stop = true;
    server.join();
    ExpectNoCopiesLeft();
}

// A name server that never answers, with the proxy named: neither the login's
// pre-connection in Upload Now nor the upload connection after the login waits for
// it on the window's thread. The window goes on, and Cancel ends the attempt at once.
TEST_F(UploadDialog, ASilentNameServerKeepsTheWindowAliveAndCancelEndsIt)
{
    nettest::FakeNameServer names;
    MakeDocument(2, "web.silent.test", 9197, "upload.silent.test");
    doc.m_strProxy = "YES";
    doc.m_strProxyHost = "proxy.silent.test";
    doc.m_strProxyPort = "3128";
    auto dialog = Open();
    // The login itself is answered (its request does not go through these sockets).
    std::atomic<int> fetched{0};
    dialog->Controller()->SetFetch([&](const std::string&, const std::string& proxy, std::stop_token) {
        EXPECT_EQ(proxy, "http://proxy.silent.test:3128");
        ++fetched;
        HttpLogin::Result result;
        result.ok = true;
        result.status = 200;
        result.body = kAccepting;
        return result;
    });

    uploadtest::TickGaps gaps;
    WindowTimer timer(gaps);
    gaps.Begin();
    Click(dialog.get(), mdlg::kUploadNow);
    // Both connections wait for the proxy's name: the pre-connection and the upload's.
    const bool asked = lftest::PumpUntil([&] { return names.Waiting() == 2; }, 30s);
    EXPECT_TRUE(asked);
    EXPECT_EQ(fetched.load(), 1);
    const size_t atLookUp = gaps.Count();
    lftest::PumpUntil([&] { return gaps.Count() >= atLookUp + 50; }, 30s);
    EXPECT_LT(gaps.Longest(), 1s);
    EXPECT_EQ(names.Asked(), (std::vector<std::string>{"proxy.silent.test", "proxy.silent.test"}));

    ExpectCancelEndsIt(*dialog);
    // The silence ends after the attempt: nothing more happens in the window.
    names.Release();
    lftest::PumpFor(200ms);
    EXPECT_TRUE(said.messages.empty());
    ExpectNoCopiesLeft();
}

}  // namespace
