#include "upload/model/CUploadProtocol.h"

#include "upload/model/UploadCommandRecord.h"

#include "net/CProxyLayer.h"

#include <algorithm>

CUploadProtocol::CUploadProtocol(IUploadProtocolSink& sink) : m_sink(sink) {}

CUploadProtocol::~CUploadProtocol() = default;

bool CUploadProtocol::Connect(const std::string& host, unsigned port, const std::string& proxyHost, int proxyPort)
{
    CloseUploadSocket();
    m_socket = std::make_unique<CServiceSocket>(*this);
    if (!m_traceFolder.empty())
        m_socket->SetTrace(m_traceFolder);
    m_abort = false;
    m_announced = false;
    m_broken = false;
    m_peakPending = 0;
    m_previousIndex = -1;
    m_current = -1;
    m_offset = 0;
    m_size = 0;
    m_file.reset();
    m_pending.clear();
    m_pendingHead = 0;
    m_filesLeft = static_cast<int>(m_files.size()) - m_nextIndex;
    m_greeted = false;
    m_helloSent = false;
    m_uploadConnected = false;
    m_uploadOpen = false;
    if (!m_socket->Open(host, port, proxyHost, proxyPort))
        return false;
    m_uploadOpen = true;
    if (m_preConnected)
        Greet();
    return true;
}

bool CUploadProtocol::PreConnect(const std::string& host, unsigned port, const std::string& proxyHost, int proxyPort)
{
    m_preConnected = false;
    if (m_preSocket)
        m_preSocket->Close();
    m_preSocket = std::make_unique<CServiceSocket>(m_preOwner);
    if (!m_traceFolder.empty())
        m_preSocket->SetTrace(m_traceFolder);
    ServiceProxy proxy;
    proxy.type = CProxyLayer::kHttp;
    proxy.host = proxyHost;
    proxy.port = proxyPort;
    return m_preSocket->Open(host, port, proxy);
}

void CUploadProtocol::OnPreConnected()
{
    if (m_uploadOpen)
        Greet();
    else
        m_preConnected = true;
}

void CUploadProtocol::Abort()
{
    m_abort = true;
    CloseSocket();
}

void CUploadProtocol::StepBackForRetry()
{
    m_nextIndex = std::max(0, m_nextIndex - 1);
}

void CUploadProtocol::CloseSocket()
{
    CloseUploadSocket();
    if (m_preSocket)
        m_preSocket->Close();
    m_preConnected = false;
}

void CUploadProtocol::CloseUploadSocket()
{
    if (m_socket)
        m_socket->Close();
    m_uploadOpen = false;
    m_uploadConnected = false;
    m_file.reset();
    m_pending.clear();
    m_pendingHead = 0;
}

void CUploadProtocol::OnSocketConnected()
{
    m_uploadConnected = true;
    Greet();
}

void CUploadProtocol::Greet()
{
    if (m_abort)
        return;
    if (!m_greeted) {
        m_greeted = true;
        m_sink.OnConnected();
        m_sink.OnStatus("Connected to server....");
    }
    // HELLO goes on the upload connection once it is made.
    if (!m_uploadConnected || m_helloSent)
        return;
    m_helloSent = true;
    char version[32];
    std::snprintf(version, sizeof version, "%1.2f", static_cast<double>(m_functionalVersion));
    SendText("HELLO", std::nullopt, version);
}

void CUploadProtocol::OnSocketFailed(const std::string& notice)
{
    if (!m_abort)
        m_sink.OnFailed(notice);
}

void CUploadProtocol::OnTraceClosed()
{
    m_sink.OnLoginReady();
}

void CUploadProtocol::OnServerCommand(const std::string& text)
{
    // After a failed send the connection is stalled: nothing more counts as activity,
    // so the watchdog's limit offers the Retry.
    if (m_abort || m_broken)
        return;
    const std::string command = text.substr(0, 5);
    bool handled = true;
    if (command == "AUTHZ") {
        m_sink.OnStatus("Authenticating User....");
        handled = SendText("AUTHZ", std::nullopt, m_uidSid);
    } else if (command == "FILEN") {
        m_current = -1;
        m_file.reset();
        m_announced = true;
        handled = SendText("FILEN", m_filesLeft, m_inboxPath);
    } else if (command == "FILES") {
        handled = OnFiles();
    } else if (command == "ERROR") {
        m_sink.OnMessage("ERROR: Transmission failed.");
    } else if (command == "OKBYE") {
        CloseSocket();
        m_sink.OnFinished();
    } else if (command == "FILEC") {
        handled = OnFileChunk();
    } else {
        handled = SendText("DKNOW", std::nullopt, command);
    }
    if (handled && !m_abort)
        m_sink.OnActivity();
}

bool CUploadProtocol::OnFiles()
{
    // The service was told how many files there are; a request beyond them, or before
    // FILEN, is refused rather than answered with a file that is not in the list.
    if (!m_announced || m_nextIndex < 0 || m_nextIndex >= static_cast<int>(m_files.size())) {
        m_sink.OnMessage("ERROR: The server asked for a file that is not in the upload list.");
        return false;
    }
    const int previous = m_previousIndex;
    m_previousIndex = m_nextIndex;
    m_current = m_nextIndex++;
    m_sink.OnFileStarted(previous, m_current);
    m_offset = 0;
    m_size = m_files[m_current].size;
    m_file.reset();
    m_sink.OnProgressRange(m_size);
    m_sink.OnProgress(0);
    return SendText("FILES", m_size, {});
}

bool CUploadProtocol::OnFileChunk()
{
    if (m_current < 0 || m_files[m_current].path.empty())
        return false;
    const UploadFile& file = m_files[m_current];
    if (!m_file) {
        m_file.reset(std::fopen(file.path.c_str(), "rb"));
        if (!m_file || fseeko(m_file.get(), m_offset, SEEK_SET) != 0) {
            m_file.reset();
            Stop("ERROR: Could not read " + file.name + ". Upload stopped.");
            return false;
        }
    }
    char data[UploadCommandRecord::kMaxChunk];
    const size_t n = std::fread(data, 1, sizeof data, m_file.get());
    if (n < sizeof data && std::ferror(m_file.get())) {
        m_file.reset();
        Stop("ERROR: Could not read " + file.name + ". Upload stopped.");
        return false;
    }
    m_offset += static_cast<int64_t>(n);
    char status[512];
    const long long percent = m_size > 0 ? m_offset * 100 / m_size : 100;
    std::snprintf(status, sizeof status, "Uploading %d of %d files: %s (Size of file: %1.1f KB) %lld%% Done...",
                  m_current + 1, static_cast<int>(m_files.size()), file.name.c_str(),
                  static_cast<double>(file.preCopySize) / 1024.0, percent);
    m_sink.OnStatus(status);
    m_sink.OnProgress(m_offset);
    return Send(UploadCommandRecord::FileChunk(data, n));
}

void CUploadProtocol::Stop(const std::string& status)
{
    m_abort = true;
    CloseSocket();
    m_sink.OnFailed(status);
}

bool CUploadProtocol::SendText(const char* command, std::optional<int64_t> argument, const std::string& payload)
{
    auto record = UploadCommandRecord::Text(command, argument, payload);
    if (!record) {
        // The login refuses texts that do not fit; nothing cut ever reaches the wire.
        Stop("ERROR: The text for " + std::string(command) + " is too long. Upload stopped.");
        return false;
    }
    return Send(*record);
}

bool CUploadProtocol::Send(const std::vector<char>& record)
{
    if (m_abort || m_broken || !m_socket)
        return false;
    if (m_pendingHead == m_pending.size()) {
        m_pending.clear();
        m_pendingHead = 0;
    }
    // A peer that does not read what it asked for: the queue stays bounded and the
    // send fails, as when the socket stays blocked.
    if (PendingBytes() + record.size() > kMaxPending) {
        FailSend();
        return false;
    }
    if (m_pendingHead > 0) {
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(m_pendingHead));
        m_pendingHead = 0;
    }
    m_pending.insert(m_pending.end(), record.begin(), record.end());
    m_peakPending = std::max(m_peakPending, PendingBytes());
    return Drain();
}

void CUploadProtocol::OnSocketWritable()
{
    Drain();
}

bool CUploadProtocol::Drain()
{
    while (!m_abort && !m_broken && m_socket && m_pendingHead < m_pending.size()) {
        const size_t rest = m_pending.size() - m_pendingHead;
        const int n = m_socket->Send(m_pending.data() + m_pendingHead, static_cast<int>(rest));
        if (n >= 0) {
            m_pendingHead += static_cast<size_t>(n);
            continue;
        }
        if (CLayeredSocket::GetLastError() == WSAEWOULDBLOCK)
            return true;  // OnSocketWritable goes on
        FailSend();
        return false;
    }
    return !m_broken;
}

void CUploadProtocol::FailSend()
{
    m_pending.clear();
    m_pending.shrink_to_fit();
    m_pendingHead = 0;
    if (!m_broken) {
        m_broken = true;
        m_sink.OnMessage("Connection Failed");
    }
}
