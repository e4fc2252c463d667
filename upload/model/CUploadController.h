#pragma once
// What the upload dialog does, without a window: the check-box list's files, Upload
// Now (copies, watchdog, login, connection), the progress and status it reports, the
// end of an upload, Cancel and Close, the time-out with its Retry question. The dialog
// implements IUploadView and forwards its buttons here. Everything runs on the thread
// of the current reactor (the user-interface thread in the program), except the HTTP
// request of the login, which runs on a thread of its own so that the window keeps
// painting and Cancel ends it at once. The watchdog's reports and the login's reply
// come back to the reactor's thread as posted closures.

#include "upload/model/CTransferThread.h"
#include "upload/model/CUploadCopies.h"
#include "upload/model/CUploadProtocol.h"
#include "upload/model/LoginReply.h"

#include "platform/Reactor.h"

#include "upload/model/HttpLogin.h"

#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

// One row of the dialog's list: a selected image of the document.
struct UploadSource {
    std::string path;
    std::string name;
    int64_t size = 0;
    bool ticked = true;
};

// The session values the upload reads.
struct UploadSettings {
    std::string login, password;
    std::string server;  // when set, the upload host
    std::string proxy, proxyHost, proxyPort;
    int uploadType = 0;  // above 0: tall images are reduced
    float functionalVersion = 1.0f, interfaceVersion = 1.0f;
    // The trace flag: each upload connection is traced into "userinfo.xml" in the
    // working folder. Nothing in the program sets it.
    bool trace = false;
    UploadEndpoints endpoints;
};

class IUploadView {
public:
    // Which buttons are enabled in a phase of the dialog.
    enum Phase { kListing, kPreparing, kUploading, kFinished };
    virtual ~IUploadView() = default;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetProgressRange(int64_t upper) = 0;
    virtual void SetProgress(int64_t position) = 0;
    virtual void SetPhase(Phase phase) = 0;
    // A message box; caption empty for a plain one. The view shows it after the
    // current handler returns.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // The service's own page (a reply without an account).
    virtual void ShowServerMessage(const std::string& reply) = 0;
    // The status button, with its caption ("" keeps it).
    virtual void ShowStatusButton(const std::string& caption) = 0;
    // The time-out's question: true for Retry.
    virtual bool AskRetry(const std::string& text) = 0;
    // A file starts (the dialog draws its thumbnail); previous is the one finished.
    virtual void FileStarted(int /*previous*/, int /*next*/) {}
    virtual void UploadBoxText(const std::string& /*text*/) {}
    // The login's reply has been read (Reply() holds its fields).
    virtual void LoginFinished() {}
    // The login-ready flag: cleared when a login starts and when its reply is in, set
    // when a traced connection closes.
    virtual void SetLoginReady(bool /*ready*/) {}
};

class CUploadController : private IUploadProtocolSink {
public:
    // The login's GET; runs on the login thread and ends soon after stop is requested.
    using Fetch =
        std::function<HttpLogin::Result(const std::string& url, const std::string& proxy, std::stop_token stop)>;

    CUploadController(IUploadView& view, std::vector<UploadSource> sources);
    ~CUploadController() override;

    void SetSettings(UploadSettings settings) { m_settings = std::move(settings); }
    const UploadSettings& Settings() const { return m_settings; }
    // The HTTP fetch (HttpLogin::FetchStoppable by default); tests may replace it.
    void SetFetch(Fetch fetch) { m_fetch = std::move(fetch); }
    // The watchdog's clock (seconds); tests step it.
    void SetClock(CTransferThread::Clock clock) { m_clock = std::move(clock); }

    std::vector<UploadSource>& Sources() { return m_sources; }
    // Rows match their files by path, so two files of one name stay apart.
    void SetTicked(const std::string& path, bool ticked);

    void UploadNow();
    // Cancel, Close and the close box: nothing more is sent, the watchdog has ended and
    // the copies are gone when this returns.
    void Cancel();

    bool Finished() const { return m_phase == IUploadView::kFinished; }
    // The login's request is under way on its thread.
    bool LoggingIn() const { return m_loginPending; }
    bool WatchdogRunning() const { return m_watchdog && !m_watchdog->Done(); }
    const std::vector<UploadFile>& UploadList() const { return m_protocol.Files(); }
    const std::vector<std::string>& CopyPaths() const { return m_copies.Paths(); }
    const LoginReplyFields& Reply() const { return m_reply; }
    // The account key of the last login ("1-1" after a refusal).
    const std::string& UidSid() const { return m_uidSid; }
    int NextIndex() const { return m_protocol.NextIndex(); }

private:
    void SetPhase(IUploadView::Phase phase);
    bool MakeCopies();
    void StartWatchdog();
    void StopWatchdog();
    void LoginAndConnect();
    void OnLoginReply(const HttpLogin::Result& result);
    void StopLogin();
    void OnNoResponse();
    void OnTransferTimeout();
    void EndAttempt(const std::string& status);

    // IUploadProtocolSink
    void OnStatus(const std::string& text) override { m_view.SetStatus(text); }
    void OnProgressRange(int64_t upper) override { m_view.SetProgressRange(upper); }
    void OnProgress(int64_t position) override { m_view.SetProgress(position); }
    void OnConnected() override;
    void OnActivity() override;
    void OnFileStarted(int previous, int next) override { m_view.FileStarted(previous, next); }
    void OnFinished() override;
    void OnMessage(const std::string& text) override { m_view.ShowMessage(text, ""); }
    void OnFailed(const std::string& status) override { EndAttempt(status); }
    void OnLoginReady() override { m_view.SetLoginReady(true); }

    IUploadView& m_view;
    std::vector<UploadSource> m_sources;
    UploadSettings m_settings;
    Fetch m_fetch;
    CTransferThread::Clock m_clock;
    CUploadCopies m_copies;
    CUploadProtocol m_protocol{*this};
    std::unique_ptr<CTransferThread> m_watchdog;
    // The login's request; a reply posted by an earlier one is dropped by its token.
    std::jthread m_login;
    std::shared_ptr<int> m_loginAlive;
    bool m_loginPending = false;
    lfplat::Reactor::Poster m_poster;
    // Closures posted by a watchdog carry its generation: a report of a watchdog that
    // has since been replaced is dropped.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    LoginReplyFields m_reply;
    std::string m_uidSid = "1-1";
    IUploadView::Phase m_phase = IUploadView::kListing;
    bool m_skipAnalysis = false;
};
