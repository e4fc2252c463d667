#include "net/CSslLayer.h"

#include "net/CLayeredSocket.h"
#include "net/CSslLibrary.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string_view>

namespace {

constexpr int kPairSize = 256;
constexpr int kChunk = 16384;
// Encrypted output held back before Send reports would-block to the owner.
constexpr size_t kMaxPendingOutput = 256 * 1024;

// The engine, shared by every layer of the process: the bound libraries, how many
// layers use them, the one client context, and the layers with a session (the info
// callback finds its layer there).
struct SslProcess {
    std::mutex mutex;
    CSslLibrary library;
    int users = 0;
    SSL_CTX* context = nullptr;
    std::vector<CSslLayer*> layers;
    std::string sslName = "libssl.so.3";
    std::string cryptoName = "libcrypto.so.3";
};

SslProcess& Process()
{
    static SslProcess process;
    return process;
}

CSslLibrary& Lib() { return Process().library; }

// Adds a user of the libraries, binding them and making the context for the first;
// 0 or the failure code.
int AcquireLibraries()
{
    SslProcess& p = Process();
    std::lock_guard lock(p.mutex);
    if (p.users == 0) {
        std::string missing;
        if (!p.library.Load(p.sslName, p.cryptoName, missing))
            return CSslLayer::kFailureLoadLibraries;
        CSslLibrary& l = p.library;
        if (!l.OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr) ||
            !(p.context = l.SSL_CTX_new(l.TLS_client_method()))) {
            p.library.Unload();
            return CSslLayer::kFailureInit;
        }
        l.SSL_CTX_ctrl(p.context, SSL_CTRL_SET_MIN_PROTO_VERSION, TLS1_2_VERSION, nullptr);
        l.SSL_CTX_set_default_verify_paths(p.context);
        // The chain and the host name are judged when the handshake is done.
        l.SSL_CTX_set_verify(p.context, SSL_VERIFY_NONE, nullptr);
    }
    ++p.users;
    return 0;
}

void ReleaseLibraries()
{
    SslProcess& p = Process();
    std::lock_guard lock(p.mutex);
    if (--p.users > 0)
        return;
    p.library.SSL_CTX_free(p.context);
    p.context = nullptr;
    p.library.Unload();
}

void CopyBounded(char* target, size_t size, std::string_view text)
{
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(target, text.data(), n);
    target[n] = '\0';
}

void AppendBounded(char* target, size_t size, std::string_view text)
{
    const size_t used = std::strlen(target);
    if (used + 1 < size)
        CopyBounded(target + used, size - used, text);
}

bool ReadTwoDigits(const unsigned char* p, int& value)
{
    if (p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9')
        return false;
    value = (p[0] - '0') * 10 + (p[1] - '0');
    return true;
}

// "YYMMDDHHMM[SS]Z" (a two-digit year below 50 is 20YY) or its four-digit-year form.
bool ReadDate(const ASN1_TIME* time, int& year, int& month, int& day, int& hour, int& minute, int& second)
{
    CSslLibrary& l = Lib();
    if (!time)
        return false;
    const unsigned char* p = l.ASN1_STRING_get0_data(time);
    int length = l.ASN1_STRING_length(time);
    if (l.ASN1_STRING_type(time) == V_ASN1_GENERALIZEDTIME) {
        int century = 0;
        int yy = 0;
        if (length < 12 || !ReadTwoDigits(p, century) || !ReadTwoDigits(p + 2, yy))
            return false;
        year = century * 100 + yy;
        p += 2;
        length -= 2;
    } else {
        if (length < 10 || !ReadTwoDigits(p, year))
            return false;
        year += year < 50 ? 2000 : 1900;
    }
    if (!ReadTwoDigits(p + 2, month) || !ReadTwoDigits(p + 4, day) || !ReadTwoDigits(p + 6, hour) ||
        !ReadTwoDigits(p + 8, minute) || month < 1 || month > 12)
        return false;
    if (length < 12 || !ReadTwoDigits(p + 10, second))
        second = 0;
    return true;
}

void FillName(X509_NAME* name, SslCertificateData::Name& out)
{
    CSslLibrary& l = Lib();
    if (!name)
        return;
    const int count = l.X509_NAME_entry_count(name);
    for (int i = 0; i < count; ++i) {
        X509_NAME_ENTRY* entry = l.X509_NAME_get_entry(name, i);
        ASN1_OBJECT* object = l.X509_NAME_ENTRY_get_object(entry);
        const ASN1_STRING* data = l.X509_NAME_ENTRY_get_data(entry);
        const std::string_view value(reinterpret_cast<const char*>(l.ASN1_STRING_get0_data(data)),
                                     static_cast<size_t>(std::max(0, l.ASN1_STRING_length(data))));
        const int nid = l.OBJ_obj2nid(object);
        switch (nid) {
        case NID_organizationName: CopyBounded(out.organization, sizeof out.organization, value); break;
        case NID_organizationalUnitName: CopyBounded(out.unit, sizeof out.unit, value); break;
        case NID_commonName: CopyBounded(out.commonName, sizeof out.commonName, value); break;
        case NID_pkcs9_emailAddress: CopyBounded(out.mail, sizeof out.mail, value); break;
        case NID_countryName: CopyBounded(out.country, sizeof out.country, value); break;
        case NID_stateOrProvinceName: CopyBounded(out.stateOrProvince, sizeof out.stateOrProvince, value); break;
        case NID_localityName: CopyBounded(out.town, sizeof out.town, value); break;
        default: {
            const char* shortName = nid != NID_undef ? l.OBJ_nid2sn(nid) : nullptr;
            char number[80] = "";
            if (!shortName) {
                l.i2t_ASN1_OBJECT(number, sizeof number, object);
                shortName = number;
            }
            AppendBounded(out.other, sizeof out.other, shortName);
            AppendBounded(out.other, sizeof out.other, "=");
            AppendBounded(out.other, sizeof out.other, value);
            AppendBounded(out.other, sizeof out.other, ";");
            break;
        }
        }
    }
}

bool IsIPv4Text(const std::string& host)
{
    in_addr address{};
    return inet_pton(AF_INET, host.c_str(), &address) == 1;
}

}  // namespace

// The engine calls back into the layer that owns the session.
struct SslCallbacks {
    static void Info(const SSL* ssl, int where, int ret)
    {
        CSslLayer* layer = nullptr;
        {
            SslProcess& p = Process();
            std::lock_guard lock(p.mutex);
            for (CSslLayer* candidate : p.layers) {
                if (candidate->m_ssl == ssl)
                    layer = candidate;
            }
        }
        if (layer)
            layer->OnInfo(where, ret);
    }
};

void CSslLayer::SetLibraryNames(const std::string& ssl, const std::string& crypto)
{
    SslProcess& p = Process();
    std::lock_guard lock(p.mutex);
    p.sslName = ssl;
    p.cryptoName = crypto;
}

CSslLayer::CSslLayer() = default;

CSslLayer::~CSslLayer()
{
    Reset();
    if (m_holdsLibraries)
        ReleaseLibraries();
}

void CSslLayer::ReportFailure(int code)
{
    if (m_failureReported)
        return;
    m_failureReported = true;
    DoLayerCallback(1, kNoticeFailure, code);
}

bool CSslLayer::InitClient()
{
    if (m_initialised)
        return true;
    if (!m_holdsLibraries) {
        const int failure = AcquireLibraries();
        if (failure) {
            ReportFailure(failure);
            return false;
        }
        m_holdsLibraries = true;
    }
    CSslLibrary& l = Lib();
    m_ssl = l.SSL_new(Process().context);
    if (!m_ssl) {
        ReportFailure(kFailureInit);
        Reset();
        return false;
    }
    {
        std::lock_guard lock(Process().mutex);
        Process().layers.push_back(this);
    }
    l.SSL_set_info_callback(m_ssl, &SslCallbacks::Info);
    m_filter = l.BIO_new(l.BIO_f_ssl());
    if (!m_filter || !l.BIO_new_bio_pair(&m_tlsBio, kPairSize, &m_networkBio, kPairSize)) {
        ReportFailure(kFailureInit);
        Reset();
        return false;
    }
    l.SSL_set_bio(m_ssl, m_tlsBio, m_tlsBio);
    m_tlsBio = nullptr;  // the session owns it now
    l.SSL_set_session(m_ssl, nullptr);
    l.SSL_set_connect_state(m_ssl);
    l.BIO_ctrl(m_filter, BIO_C_SET_SSL, BIO_NOCLOSE, m_ssl);
    // Encrypted output leaves through a small buffer: a write may finish in pieces
    // and be retried from another address.
    l.SSL_ctrl(m_ssl, SSL_CTRL_MODE, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER, nullptr);
    m_initialised = true;
    if (GetLayerState() == kConnecting || GetLayerState() == kConnected)
        StartHandshake();
    if (GetLayerState() == kConnected)
        TriggerEvent(FD_WRITE, 0, false);
    return true;
}

void CSslLayer::StartHandshake()
{
    if (m_handshakeStarted || !m_ssl)
        return;
    m_handshakeStarted = true;
    CSslLibrary& l = Lib();
    if (!m_host.empty()) {
        if (!IsIPv4Text(m_host))
            l.SSL_ctrl(m_ssl, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                       const_cast<char*>(m_host.c_str()));
        l.SSL_set1_host(m_ssl, m_host.c_str());
    }
    DriveHandshake();
    if (GetLayerState() == kConnected)
        FlushOutput();
}

void CSslLayer::DriveHandshake()
{
    if (!m_handshakeStarted || m_established || m_awaitingDecision || m_tlsError)
        return;
    CSslLibrary& l = Lib();
    const int result = l.SSL_do_handshake(m_ssl);
    if (result <= 0 && !m_tlsError) {
        const int error = l.SSL_get_error(m_ssl, result);
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE)
            Abort(kFailureEstablish);
    }
}

void CSslLayer::Abort(int failure)
{
    m_tlsError = WSAECONNABORTED;
    ReportFailure(failure);
    TriggerEvent(FD_CLOSE, WSAECONNABORTED, true);
}

void CSslLayer::Establish()
{
    CSslLibrary& l = Lib();
    m_established = true;
    std::string key;
    if (X509* certificate = l.SSL_get1_peer_certificate(m_ssl)) {
        if (EVP_PKEY* publicKey = l.X509_get_pubkey(certificate)) {
            const int bits = l.EVP_PKEY_get_bits(publicKey);
            const int type = l.EVP_PKEY_get_base_id(publicKey);
            if (type == EVP_PKEY_RSA)
                key = std::to_string(bits) + " bit RSA";
            else if (type == EVP_PKEY_DSA)
                key = std::to_string(bits) + " bit DSA";
            l.EVP_PKEY_free(publicKey);
        }
        l.X509_free(certificate);
    }
    const SSL_CIPHER* cipher = l.SSL_get_current_cipher(m_ssl);
    const std::string text = std::string("Using ") + l.SSL_get_version(m_ssl) + ", cipher " +
                             (cipher ? l.SSL_CIPHER_get_version(cipher) : "") + ": " +
                             (cipher ? l.SSL_CIPHER_get_name(cipher) : "") + ", " + key;
    DoLayerCallback(1, kNoticeProgress, reinterpret_cast<intptr_t>(text.c_str()));
    DoLayerCallback(1, kNoticeDone, 0);
    // Sends were refused until now: tell the owner it can write, and read what came.
    TriggerEvent(FD_WRITE, 0, true);
    TriggerEvent(FD_READ, 0, true);
}

void CSslLayer::OnInfo(int where, int ret)
{
    CSslLibrary& l = Lib();
    const char* role = (where & SSL_ST_CONNECT) ? "SSL_connect" : (where & SSL_ST_ACCEPT) ? "SSL_accept" : "undefined";
    const std::string state = l.SSL_state_string_long(m_ssl);
    if (where & SSL_CB_LOOP) {
        const std::string text = std::string(role) + ":" + state;
        DoLayerCallback(1, kNoticeProgress, reinterpret_cast<intptr_t>(text.c_str()));
    } else if (where & SSL_CB_ALERT) {
        const std::string text = std::string("SSL3 alert ") + ((where & SSL_CB_READ) ? "read" : "write") + ":" +
                                 l.SSL_alert_type_string_long(ret) + ":" + l.SSL_alert_desc_string_long(ret);
        DoLayerCallback(1, kNoticeAlert, reinterpret_cast<intptr_t>(text.c_str()));
    } else if ((where & SSL_CB_EXIT) && ret == 0) {
        const std::string text = std::string(role) + ":failed in " + state;
        DoLayerCallback(1, kNoticeAlert, reinterpret_cast<intptr_t>(text.c_str()));
        ReportFailure(m_established ? kFailureUnknown : kFailureEstablish);
    }
    if ((where & SSL_CB_HANDSHAKE_DONE) && !m_established && !m_awaitingDecision && !m_tlsError) {
        const long result = l.SSL_get_verify_result(m_ssl);
        if (result != X509_V_OK) {
            if (DoLayerCallback(1, kNoticeVerifyCert, static_cast<intptr_t>(result)) == 2) {
                m_awaitingDecision = true;
                return;
            }
            Abort(kFailureCertificate);
            return;
        }
        Establish();
    }
}

void CSslLayer::SetNotifyReply(int id, int code, int accept)
{
    if (code != 2 || id != m_verificationId || !m_awaitingDecision)
        return;
    m_awaitingDecision = false;
    if (!accept) {
        Abort(kFailureCertificate);
        return;
    }
    Establish();
}

// ---- moving bytes ----------------------------------------------------------------

int CSslLayer::Feed()
{
    CSslLibrary& l = Lib();
    const size_t room = l.BIO_ctrl_get_write_guarantee(m_networkBio);
    if (room == 0)
        return 0;
    char buffer[kChunk];
    const int n = ReceiveNext(buffer, static_cast<int>(std::min<size_t>(room, sizeof buffer)));
    if (n > 0) {
        l.BIO_write(m_networkBio, buffer, n);
        return n;
    }
    if (n < 0) {
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK && error != WSAENOTCONN) {
            m_tlsError = error;
            TriggerEvent(FD_CLOSE, error, true);
            return -1;
        }
    }
    return 0;
}

void CSslLayer::FlushOutput()
{
    if (!m_networkBio)
        return;
    CSslLibrary& l = Lib();
    char buffer[kChunk];
    for (;;) {
        while (l.BIO_ctrl_pending(m_networkBio) > 0) {
            const int n = l.BIO_read(m_networkBio, buffer, sizeof buffer);
            if (n <= 0)
                break;
            m_pendingOutput.insert(m_pendingOutput.end(), buffer, buffer + n);
        }
        // A handshake message larger than the buffer pair leaves the engine in pieces:
        // each piece moved out lets the engine write the next.
        if (m_established || !m_handshakeStarted || m_awaitingDecision || m_tlsError)
            break;
        DriveHandshake();
        if (l.BIO_ctrl_pending(m_networkBio) == 0)
            break;
    }
    while (!m_pendingOutput.empty() && !m_tlsError) {
        const int n = SendNext(m_pendingOutput.data(), static_cast<int>(m_pendingOutput.size()));
        if (n < 0) {
            const int error = WSAGetLastError();
            if (error != WSAEWOULDBLOCK && error != WSAENOTCONN) {
                m_tlsError = error;
                TriggerEvent(FD_CLOSE, error, true);
            }
            return;
        }
        m_pendingOutput.erase(m_pendingOutput.begin(), m_pendingOutput.begin() + n);
    }
}

void CSslLayer::OnReceive(int error)
{
    if (!m_initialised || error) {
        CSocketLayer::OnReceive(error);
        return;
    }
    if (m_awaitingDecision || m_tlsError)
        return;
    for (;;) {
        const int n = Feed();
        if (n < 0)
            return;
        DriveHandshake();
        if (m_tlsError)
            return;
        if (n == 0 || m_established)
            break;
    }
    FlushOutput();
    CSslLibrary& l = Lib();
    if (m_shutdownState == 1 && l.SSL_shutdown(m_ssl) == 1) {
        m_shutdownState = 2;
        DoLayerCallback(1, kNoticeDone, 1);
    }
    if (m_established && !m_tlsError && l.BIO_ctrl_pending(m_filter) > 0)
        TriggerEvent(FD_READ, 0, true);
}

void CSslLayer::OnSend(int error)
{
    if (!m_initialised || error) {
        CSocketLayer::OnSend(error);
        return;
    }
    FlushOutput();
    if (m_established && !m_awaitingDecision && !m_tlsError && m_pendingOutput.empty())
        CSocketLayer::OnSend(0);
}

bool CSslLayer::HandleTransferState(bool sending)
{
    if (m_awaitingDecision || (!m_established && !m_tlsError)) {
        WSASetLastError(WSAEWOULDBLOCK);
        return false;
    }
    if (m_tlsError) {
        WSASetLastError(m_tlsError);
        return false;
    }
    if (m_shutdownState && sending) {
        WSASetLastError(WSAESHUTDOWN);
        return false;
    }
    return true;
}

int CSslLayer::Send(const void* buffer, int length, int flags)
{
    if (!m_initialised)
        return SendNext(buffer, length, flags);
    if (!HandleTransferState(true))
        return -1;
    CSslLibrary& l = Lib();
    if (m_pendingOutput.size() >= kMaxPendingOutput) {
        FlushOutput();
        if (m_pendingOutput.size() >= kMaxPendingOutput) {
            WSASetLastError(WSAEWOULDBLOCK);
            return -1;
        }
    }
    int n = l.BIO_write(m_filter, buffer, length);
    while (n <= 0 && l.BIO_test_flags(m_filter, BIO_FLAGS_SHOULD_RETRY)) {
        // Make room in the small buffer by moving what is encrypted so far out.
        const size_t before = m_pendingOutput.size();
        FlushOutput();
        if (m_tlsError || (m_pendingOutput.size() == before && l.BIO_ctrl_pending(m_networkBio) == 0 &&
                           l.BIO_ctrl_get_write_guarantee(m_networkBio) == 0))
            break;
        n = l.BIO_write(m_filter, buffer, length);
    }
    if (n > 0) {
        FlushOutput();
        return n;
    }
    if (m_tlsError) {
        WSASetLastError(m_tlsError);
        return -1;
    }
    if (l.BIO_test_flags(m_filter, BIO_FLAGS_SHOULD_RETRY)) {
        TriggerEvent(FD_WRITE, 0, false);
        WSASetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    WSASetLastError(WSAECONNABORTED);
    return -1;
}

int CSslLayer::Receive(void* buffer, int length, int flags)
{
    if (!m_initialised)
        return ReceiveNext(buffer, length, flags);
    CSslLibrary& l = Lib();
    if (m_tlsError && !m_awaitingDecision && m_filter) {
        // What was decrypted before the failure can still be read.
        const int n = l.BIO_read(m_filter, buffer, length);
        if (n > 0)
            return n;
    }
    if (!HandleTransferState(false))
        return -1;
    if (m_shutdownState) {
        WSASetLastError(WSAESHUTDOWN);
        return -1;
    }
    int n;
    for (;;) {
        n = l.BIO_read(m_filter, buffer, length);
        if (n > 0)
            break;
        if (!l.BIO_test_flags(m_filter, BIO_FLAGS_SHOULD_RETRY)) {
            if (n == 0)
                return 0;  // the peer ended the session
            m_tlsError = WSAECONNABORTED;
            TriggerEvent(FD_CLOSE, WSAECONNABORTED, true);
            WSASetLastError(WSAECONNABORTED);
            return -1;
        }
        const int fed = Feed();
        if (fed <= 0) {
            FlushOutput();
            WSASetLastError(fed < 0 ? m_tlsError : WSAEWOULDBLOCK);
            return -1;
        }
    }
    FlushOutput();
    if (l.BIO_ctrl_pending(m_filter) > 0)
        TriggerEvent(FD_READ, 0, true);
    return n;
}

bool CSslLayer::ShutDown(int how)
{
    if (!m_initialised)
        return ShutDownNext(how);
    m_shutdownState = 1;
    CSslLibrary& l = Lib();
    const int result = l.SSL_shutdown(m_ssl);
    if (result < 0) {
        const int error = l.SSL_get_error(m_ssl, result);
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
            WSASetLastError(WSAEWOULDBLOCK);
            return false;
        }
    }
    FlushOutput();
    return ShutDownNext(SHUT_WR);
}

// ---- connecting and closing ------------------------------------------------------

bool CSslLayer::Connect(const char* host, unsigned port)
{
    m_host = host ? host : "";
    return AfterConnect(ConnectNext(host, port));
}

bool CSslLayer::AfterConnect(bool result)
{
    const int error = WSAGetLastError();
    if (!result && error != WSAEWOULDBLOCK)
        Reset();
    else if (m_initialised)
        StartHandshake();
    WSASetLastError(error);
    return result;
}

bool CSslLayer::Connect(const SOCKADDR* address, int length)
{
    if (address && length >= static_cast<int>(sizeof(sockaddr_in)) && address->sa_family == AF_INET)
        m_host = DottedIPv4(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
    return AfterConnect(ConnectNext(address, length));
}

void CSslLayer::Close()
{
    m_shutdownState = 0;
    Reset();
    CloseNext();
}

void CSslLayer::Reset()
{
    m_failureReported = false;
    m_awaitingDecision = false;
    m_tlsError = 0;
    m_established = false;
    m_handshakeStarted = false;
    ++m_verificationId;
    if (m_ssl) {
        SslProcess& p = Process();
        std::lock_guard lock(p.mutex);
        p.layers.erase(std::remove(p.layers.begin(), p.layers.end(), this), p.layers.end());
    }
    if (m_holdsLibraries) {
        CSslLibrary& l = Lib();
        // The filter holds a reference of its own to the session's buffer.
        if (m_filter)
            l.BIO_free_all(m_filter);
        if (m_ssl)
            l.SSL_free(m_ssl);
        if (m_tlsBio)
            l.BIO_free(m_tlsBio);
        if (m_networkBio)
            l.BIO_free(m_networkBio);
    }
    m_filter = nullptr;
    m_ssl = nullptr;
    m_tlsBio = nullptr;
    m_networkBio = nullptr;
    m_pendingOutput.clear();
    m_initialised = false;
}

bool CSslLayer::GetPeerCertificateData(SslCertificateData& record)
{
    std::memset(&record, 0, sizeof record);
    if (!m_ssl)
        return false;
    CSslLibrary& l = Lib();
    X509* certificate = l.SSL_get1_peer_certificate(m_ssl);
    if (!certificate)
        return false;
    FillName(l.X509_get_subject_name(certificate), record.subject);
    FillName(l.X509_get_issuer_name(certificate), record.issuer);
    const bool dates = ReadDate(l.X509_get0_notBefore(certificate), record.validFromYear, record.validFromMonth,
                                record.validFromDay, record.validFromHour, record.validFromMinute,
                                record.validFromSecond) &&
                       ReadDate(l.X509_get0_notAfter(certificate), record.validUntilYear, record.validUntilMonth,
                                record.validUntilDay, record.validUntilHour, record.validUntilMinute,
                                record.validUntilSecond);
    unsigned int size = sizeof record.sha1;
    l.X509_digest(certificate, l.EVP_sha1(), record.sha1, &size);
    record.verificationId = m_verificationId;
    l.X509_free(certificate);
    return dates;
}
