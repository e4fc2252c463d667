#include "upload/model/CUploadController.h"

#include "upload/model/HttpLogin.h"

#include "platform/WorkingFolder.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

CUploadController::CUploadController(IUploadView& view, std::vector<UploadSource> sources)
    : m_view(view), m_sources(std::move(sources))
{
    m_fetch = HttpLogin::FetchStoppable;
    if (lfplat::Reactor* reactor = lfplat::Reactor::Current())
        m_poster = reactor->GetPoster();
}

CUploadController::~CUploadController()
{
    Cancel();
}

void CUploadController::SetTicked(const std::string& path, bool ticked)
{
    for (UploadSource& source : m_sources)
        if (source.path == path)
            source.ticked = ticked;
}

void CUploadController::SetPhase(IUploadView::Phase phase)
{
    m_phase = phase;
    m_view.SetPhase(phase);
}

bool CUploadController::MakeCopies()
{
    m_copies.RemoveAll();
    std::vector<UploadFile> files;
    int ticked = 0;
    for (const UploadSource& source : m_sources)
        ticked += source.ticked ? 1 : 0;
    m_view.SetProgressRange(ticked);
    int index = 0;
    for (const UploadSource& source : m_sources) {
        m_view.SetProgress(++index);
        if (!source.ticked)
            continue;
        const bool reduce = m_settings.uploadType > 0;
        if (reduce)
            m_view.SetStatus("Please wait, image processing in progress.");
        // A copy that cannot be made drops out of the list; it is never sent as if made.
        if (auto file = m_copies.Make(source.path, reduce ? CUploadCopies::kReducedHeight : 0))
            files.push_back(std::move(*file));
    }
    m_protocol.SetFiles(std::move(files));
    return !m_protocol.Files().empty();
}

void CUploadController::UploadNow()
{
    if (!m_skipAnalysis) {
        SetPhase(IUploadView::kPreparing);
        m_view.SetStatus("Please wait, analyzing images");
        bool any = false;
        for (const UploadSource& source : m_sources)
            any = any || source.ticked;
        if (!any) {
            m_view.ShowMessage("No picture selected for upload \nPlease select one or more picture to upload.",
                               "Error");
            m_view.SetStatus("");
            SetPhase(IUploadView::kListing);
            return;
        }
        const bool made = MakeCopies();
        // A fresh upload starts from the first file; a retry goes on from where it broke.
        m_protocol.ResetToFirstFile();
        if (!made) {
            m_view.SetProgress(0);
            m_view.ShowMessage("No picture selected for upload \n Please select one or more picture to upload", "");
            SetPhase(IUploadView::kListing);
            return;
        }
    }
    m_skipAnalysis = false;
    SetPhase(IUploadView::kUploading);
    m_view.SetStatus("Connecting to Lanternfolio Authentication Server....");
    m_view.SetProgress(0);
    StartWatchdog();
    LoginAndConnect();
}

void CUploadController::StartWatchdog()
{
    StopWatchdog();
    const std::weak_ptr<int> alive = m_alive = std::make_shared<int>(0);
    const auto post = [this, alive](void (CUploadController::*handler)()) {
        return [this, alive, handler] {
            m_poster.Post([this, alive, handler] {
                if (alive.lock())
                    (this->*handler)();
            });
        };
    };
    m_watchdog = std::make_unique<CTransferThread>(
        CTransferThread::Callbacks{post(&CUploadController::OnNoResponse), post(&CUploadController::OnTransferTimeout)},
        m_clock);
    // Without a thread the upload goes on unwatched.
    if (!m_watchdog->Start())
        m_watchdog.reset();
}

void CUploadController::StopWatchdog()
{
    m_alive = std::make_shared<int>(0);
    if (m_watchdog) {
        m_watchdog->Join();
        m_watchdog.reset();
    }
}

void CUploadController::LoginAndConnect()
{
    const UploadSettings& s = m_settings;
    const std::string url =
        LoginReply::LoginUrl(s.endpoints, s.login, s.password, static_cast<long long>(std::time(nullptr)));
    StopLogin();
    m_view.SetLoginReady(false);
    // Both of the login's connections are traced.
    m_protocol.SetTraceFolder(s.trace ? std::filesystem::path(lfplat::WorkingFolder()) : std::filesystem::path());
    // With the proxy on, a connection through it to the upload host is made first;
    // when even that cannot start, the login is not made and the watchdog's limit
    // ends the attempt.
    if (s.proxy == "YES" && !m_protocol.PreConnect(s.endpoints.uploadHost, s.endpoints.uploadPort,
                                                   HttpLogin::SocketProxyHost(s.proxyHost),
                                                   std::atoi(s.proxyPort.c_str())))
        return;
    const auto alive = std::make_shared<int>(0);
    m_loginAlive = alive;
    m_loginPending = true;
    try {
        m_login = std::jthread([this, fetch = m_fetch, url, proxy = HttpLogin::WebProxy(s.proxyHost, s.proxyPort),
                                poster = m_poster, weak = std::weak_ptr<int>(alive)](std::stop_token stop) {
            HttpLogin::Result result = fetch(url, proxy, stop);
            if (stop.stop_requested())
                return;
            // Only the closure touches the controller, on its own thread, and only while
            // this login is still the current one.
            poster.Post([this, weak, result = std::move(result)] {
                if (weak.lock())
                    OnLoginReply(result);
            });
        });
    } catch (const std::system_error&) {
        m_loginPending = false;
        EndAttempt("ERROR: Could not connect to Authentication Server. Closing Connection.");
    }
}

void CUploadController::StopLogin()
{
    m_loginAlive.reset();
    m_loginPending = false;
    if (m_login.joinable()) {
        m_login.request_stop();
        m_login.join();
    }
}

void CUploadController::OnLoginReply(const HttpLogin::Result& result)
{
    StopLogin();
    m_view.SetLoginReady(false);
    const UploadSettings& s = m_settings;
    if (!result.ok) {
        EndAttempt("ERROR: Could not connect to Authentication Server. Closing Connection.");
        return;
    }
    // A proxy's or a server's refusal is no login reply: only a body with the reply's
    // tags is read whatever the status.
    if (result.status != 200 && !LoginReply::CarriesReplyTags(result.body)) {
        EndAttempt("ERROR: Could not connect to Authentication Server (HTTP status " + std::to_string(result.status) +
                   "). Closing Connection.");
        return;
    }
    if (result.capped) {
        EndAttempt("ERROR: The server's reply could not be used. Closing Connection.");
        return;
    }
    const std::string& reply = result.body;
    LoginContext context;
    context.functionalVersion = s.functionalVersion;
    context.interfaceVersion = s.interfaceVersion;
    for (const UploadFile& file : m_protocol.Files())
        context.sizes.push_back(file.size);
    context.login = s.login;
    context.password = s.password;
    context.server = s.server;
    context.endpoints = s.endpoints;
    const LoginDecision d = LoginReply::Evaluate(reply, context, m_reply);
    m_uidSid = d.uidSid;
    m_view.LoginFinished();
    if (!d.uploadBoxText.empty())
        m_view.UploadBoxText(d.uploadBoxText);
    if (d.showStatusButton)
        m_view.ShowStatusButton(d.outcome == LoginDecision::kQuota ? "Check Status" : "");
    if (d.outcome != LoginDecision::kAccepted) {
        if (d.outcome == LoginDecision::kServerMessage)
            m_view.ShowServerMessage(d.message);
        else if (!d.message.empty())
            m_view.ShowMessage(d.message, d.messageCaption);
        EndAttempt(d.status);
        return;
    }
    m_protocol.SetAccount(d.uidSid, m_reply.inboxPath);
    m_protocol.SetFunctionalVersion(s.functionalVersion);
    const bool viaProxy = s.proxy == "YES" && !s.proxyHost.empty();
    m_protocol.Connect(d.uploadHost, s.endpoints.uploadPort, viaProxy ? HttpLogin::SocketProxyHost(s.proxyHost) : "",
                       viaProxy ? std::atoi(s.proxyPort.c_str()) : 0);
}

void CUploadController::EndAttempt(const std::string& status)
{
    StopLogin();
    StopWatchdog();
    m_protocol.CloseSocket();
    m_view.SetStatus(status);
    m_view.SetProgress(0);
    m_copies.RemoveAll();
    SetPhase(IUploadView::kFinished);
}

void CUploadController::OnConnected()
{
    if (m_watchdog)
        m_watchdog->SetConnected();
}

void CUploadController::OnActivity()
{
    if (m_watchdog)
        m_watchdog->Touch();
}

void CUploadController::OnFinished()
{
    EndAttempt("Transmission Successful: Host closed connection.");
}

void CUploadController::OnNoResponse()
{
    EndAttempt("ERROR: Server did not respond for 90 seconds.Make sure you are connected to the internet");
}

void CUploadController::OnTransferTimeout()
{
    StopLogin();
    StopWatchdog();
    m_protocol.CloseSocket();
    // Before the first FILES no file has been sent: never a negative count.
    char status[160];
    std::snprintf(status, sizeof status, "Uploaded %d of %d files. Connection Time Out. Please Check your network",
                  std::max(m_protocol.NextIndex() - 1, 0), static_cast<int>(m_protocol.Files().size()));
    m_view.SetStatus(status);
    if (m_view.AskRetry("Error: Connection failed during upload. Click Retry to try and resume.")) {
        m_protocol.StepBackForRetry();
        m_skipAnalysis = true;
        UploadNow();
        return;
    }
    EndAttempt(status);
}

void CUploadController::Cancel()
{
    StopLogin();
    m_protocol.Abort();
    StopWatchdog();
    m_copies.RemoveAll();
    if (m_phase == IUploadView::kUploading || m_phase == IUploadView::kPreparing)
        m_phase = IUploadView::kFinished;
}
