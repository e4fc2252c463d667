#pragma once
// A socket layer that runs a TLS client session over the connection: the encrypted
// bytes travel through the layer chain, the TLS engine works on them through an
// in-memory buffer pair, and the owner reads and writes clear text.
//
// The engine (OpenSSL 3) is not linked: the first InitClient of the process loads
// libssl.so.3 and libcrypto.so.3 and binds every function by name; a missing library
// or function is failure 2. Until InitClient the layer passes everything through.
//
// The session asks for TLS 1.2 at least, sends the host name given to Connect (SNI)
// and verifies the certificate chain against the system's trust store (or the file
// that SSL_CERT_FILE names) and the host name. A certificate that does not verify is
// put to the owner (notice 2); only an owner that answers 2 ("decide later") and then
// accepts through SetNotifyReply keeps the session; any other answer fails it with
// failure 8, TLS error 10053 and FD_CLOSE.
//
// Notices (callback type 1) to the owner's OnLayerCallback:
//   0 / 0  session established          0 / 1  shutdown completed
//   1 / n  failure: 0 unknown, 1 could not establish the session, 2 libraries or
//          functions not found, 4 initialisation failed, 8 certificate not accepted
//   2 / v  the certificate did not verify (v: the verification result)
//   3 / t  an alert or a failed step (text)
//   4 / t  progress, and once established the protocol and cipher (text)
//
// Usage with a proxy: socket.AddSocketLayer(&ssl) first, then AddSocketLayer(&proxy);
// ssl.InitClient() before or after Connect; the owner's OnConnect reports the TCP (or
// proxy) connection, notice 0 then FD_WRITE tell that clear text can flow.

#include "net/CSocketLayer.h"

#include <cstdint>
#include <string>
#include <vector>

struct ssl_st;
struct bio_st;

// What the owner can learn about the peer's certificate. Texts are NUL-terminated and
// cut to fit.
struct SslCertificateData {
    struct Name {
        char organization[256];
        char unit[256];
        char commonName[256];
        char mail[256];
        char country[256];
        char stateOrProvince[256];
        char town[256];
        char other[1024];  // "short name=value;" for every other entry
    };
    Name subject;
    Name issuer;
    int validFromYear, validFromMonth, validFromDay, validFromHour, validFromMinute, validFromSecond;
    int validUntilYear, validUntilMonth, validUntilDay, validUntilHour, validUntilMinute, validUntilSecond;
    unsigned char sha1[20];
    int verificationId;
};

class CSslLayer : public CSocketLayer {
public:
    enum Notice { kNoticeDone = 0, kNoticeFailure = 1, kNoticeVerifyCert = 2, kNoticeAlert = 3, kNoticeProgress = 4 };
    enum Failure {
        kFailureUnknown = 0,
        kFailureEstablish = 1,
        kFailureLoadLibraries = 2,
        kFailureInit = 4,
        kFailureCertificate = 8,
    };

    CSslLayer();
    ~CSslLayer() override;

    // Binds the libraries, creates the session and starts the handshake (at once when
    // Connect has named the host, else at Connect). True at once when initialised.
    bool InitClient();
    bool IsInitialised() const { return m_initialised; }
    // Fills record from the peer's certificate; false without one or with a validity
    // date that cannot be read.
    bool GetPeerCertificateData(SslCertificateData& record);
    // The owner's late decision about an unverified certificate (after it answered 2):
    // code 2 and the current verification id only; accept non-zero keeps the session.
    void SetNotifyReply(int id, int code, int accept);
    int GetVerificationId() const { return m_verificationId; }

    // The library files the next binding loads (when no layer holds them): for tests.
    static void SetLibraryNames(const std::string& ssl, const std::string& crypto);

    void OnReceive(int error) override;
    void OnSend(int error) override;
    void Close() override;
    bool Connect(const SOCKADDR* address, int length) override;
    bool Connect(const char* host, unsigned port) override;
    int Receive(void* buffer, int length, int flags = 0) override;
    int Send(const void* buffer, int length, int flags = 0) override;
    bool ShutDown(int how = SHUT_WR) override;

private:
    friend struct SslCallbacks;
    void Reset();
    void ReportFailure(int code);
    void StartHandshake();
    // A failed connect drops the session; one under way starts the handshake.
    bool AfterConnect(bool result);
    void DriveHandshake();
    // Moves encrypted bytes from below into the buffer pair: the count, 0 when nothing
    // came, -1 after a network error (then set as TLS error).
    int Feed();
    // Sends the pending output and what the engine has written since.
    void FlushOutput();
    void Abort(int failure);
    void Establish();
    void OnInfo(int where, int ret);
    bool HandleTransferState(bool sending);

    bool m_initialised = false;
    bool m_failureReported = false;
    bool m_holdsLibraries = false;
    int m_shutdownState = 0;
    int m_tlsError = 0;
    int m_verificationId = 0;
    bool m_awaitingDecision = false;
    bool m_established = false;
    bool m_handshakeStarted = false;
    ssl_st* m_ssl = nullptr;
    bio_st* m_networkBio = nullptr;
    bio_st* m_tlsBio = nullptr;
    bio_st* m_filter = nullptr;
    std::vector<char> m_pendingOutput;
    std::string m_host;
};
