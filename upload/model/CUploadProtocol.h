#pragma once
// The client side of the upload connection. The service leads with five-letter
// commands; the client answers each with one record (UploadCommandRecord): HELLO on
// connecting, AUTHZ, FILEN, then per file FILES and FILEC chunks until OKBYE. Records
// wait in a pending buffer that drains whenever the socket takes bytes, so the thread
// never sleeps on a full socket. The buffer holds a few chunks at most: a service that
// keeps sending and never reads fills it, and then the connection has failed
// ("Connection Failed"); it handles no more commands, so the watchdog sees the stall. Everything runs on the socket's thread; what the
// user must see goes to the sink, which shows message boxes outside the socket's
// handlers.

#include "upload/model/CServiceSocket.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct UploadFile {
    std::string path;         // what is sent (the upload copy)
    std::string name;         // the source file's name
    int64_t size = 0;         // bytes of path
    int64_t preCopySize = 0;  // bytes of the source file
    std::string source;       // the image the copy was made of
};

class IUploadProtocolSink {
public:
    virtual ~IUploadProtocolSink() = default;
    virtual void OnStatus(const std::string& /*text*/) {}
    virtual void OnProgressRange(int64_t /*upper*/) {}
    virtual void OnProgress(int64_t /*position*/) {}
    // The service greeted: the watchdog starts watching activity.
    virtual void OnConnected() {}
    // A command was handled: the last-activity time.
    virtual void OnActivity() {}
    // FILES moved on: previous is the file finished last (-1 none), next the one starting.
    virtual void OnFileStarted(int /*previous*/, int /*next*/) {}
    // OKBYE: the connection is closed.
    virtual void OnFinished() {}
    // A message for a box, outside the socket handler.
    virtual void OnMessage(const std::string& /*text*/) {}
    // The attempt cannot go on (connect failure, proxy refusal, unreadable copy).
    virtual void OnFailed(const std::string& /*status*/) {}
    // A traced connection closed: a login may go ahead.
    virtual void OnLoginReady() {}
};

class CUploadProtocol : public IServiceSocketOwner {
public:
    // Most bytes waiting for the socket: a few of the largest records.
    static constexpr size_t kMaxPending = 4 * 10496;

    explicit CUploadProtocol(IUploadProtocolSink& sink);
    ~CUploadProtocol() override;

    void SetFiles(std::vector<UploadFile> files) { m_files = std::move(files); }
    const std::vector<UploadFile>& Files() const { return m_files; }
    void SetAccount(std::string uidSid, std::string inboxPath)
    {
        m_uidSid = std::move(uidSid);
        m_inboxPath = std::move(inboxPath);
    }
    void SetFunctionalVersion(float version) { m_functionalVersion = version; }
    // Traces each connection's socket, the pre-connection's too, into "userinfo.xml" in
    // folder (empty: no trace); set it before the connections are made.
    void SetTraceFolder(std::filesystem::path folder) { m_traceFolder = std::move(folder); }
    // The current connection's socket (null before the first Connect).
    const CServiceSocket* Socket() const { return m_socket.get(); }

    // Starts the attempt: files left = count - next index, a fresh socket connecting
    // to host:port (through the HTTP proxy when proxyHost is set). False when it
    // failed at once (the sink has been told).
    bool Connect(const std::string& host, unsigned port, const std::string& proxyHost = {}, int proxyPort = 0);
    // The login's pre-connection: a second connection to host:port through the HTTP
    // proxy, made before the login's request. Its connection and its commands count
    // like the upload connection's, and what they answer goes on the upload
    // connection; the greeting is said once per upload connection, and one that
    // arrives before the upload connection is opened waits for it (a refused login
    // never opens one). Its failures are no one's business: the upload connection
    // tells its own. False when it failed at once.
    bool PreConnect(const std::string& host, unsigned port, const std::string& proxyHost, int proxyPort);
    const CServiceSocket* PreConnectSocket() const { return m_preSocket.get(); }
    // Cancel: nothing more is sent or handled; the socket is closed.
    void Abort();
    // A fresh upload starts from the first file; a retry restarts the interrupted one.
    void ResetToFirstFile() { m_nextIndex = 0; m_previousIndex = -1; }
    void StepBackForRetry();
    // Closes the upload connection and the pre-connection.
    void CloseSocket();

    int NextIndex() const { return m_nextIndex; }
    int PreviousIndex() const { return m_previousIndex; }
    int64_t FileOffset() const { return m_offset; }
    bool Aborted() const { return m_abort; }
    size_t PendingBytes() const { return m_pending.size() - m_pendingHead; }
    // The most bytes that have waited at once on this connection.
    size_t PeakPendingBytes() const { return m_peakPending; }
    // A send failed on this connection: it handles no more commands.
    bool SendFailed() const { return m_broken; }

    // IServiceSocketOwner
    void OnSocketConnected() override;
    void OnServerCommand(const std::string& text) override;
    void OnSocketWritable() override;
    void OnSocketFailed(const std::string& notice) override;
    void OnTraceClosed() override;

private:
    // The owner of the pre-connection's socket.
    class PreConnectOwner : public IServiceSocketOwner {
    public:
        explicit PreConnectOwner(CUploadProtocol& protocol) : m_protocol(protocol) {}
        void OnSocketConnected() override { m_protocol.OnPreConnected(); }
        void OnServerCommand(const std::string& text) override { m_protocol.OnServerCommand(text); }
        void OnSocketWritable() override {}
        void OnSocketFailed(const std::string&) override {}
        void OnTraceClosed() override { m_protocol.OnTraceClosed(); }

    private:
        CUploadProtocol& m_protocol;
    };

    void OnPreConnected();
    void Greet();
    void CloseUploadSocket();
    bool Send(const std::vector<char>& record);
    bool SendText(const char* command, std::optional<int64_t> argument, const std::string& payload);
    bool Drain();
    void FailSend();
    bool OnFiles();
    bool OnFileChunk();
    void Stop(const std::string& status);

    IUploadProtocolSink& m_sink;
    std::unique_ptr<CServiceSocket> m_socket;
    PreConnectOwner m_preOwner{*this};
    std::unique_ptr<CServiceSocket> m_preSocket;
    std::vector<UploadFile> m_files;
    std::string m_uidSid, m_inboxPath;
    std::filesystem::path m_traceFolder;
    float m_functionalVersion = 1.0f;
    bool m_abort = false;
    bool m_announced = false;  // FILEN answered on this connection
    bool m_uploadOpen = false;       // the upload connection is being made or made
    bool m_uploadConnected = false;  // ... and is made
    bool m_greeted = false;          // the greeting was said for it
    bool m_helloSent = false;
    bool m_preConnected = false;     // the pre-connection greeted before there was one
    bool m_broken = false;  // "Connection Failed" was told for this connection
    int m_filesLeft = 0;
    int m_previousIndex = -1;
    int m_nextIndex = 0;
    int m_current = -1;  // index of the file being sent
    int64_t m_offset = 0;
    int64_t m_size = 0;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_file{nullptr, std::fclose};
    std::vector<char> m_pending;
    size_t m_pendingHead = 0;
    size_t m_peakPending = 0;
};
