#include "net/SocketErrors.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
thread_local int t_lastError = 0;
}  // namespace

int WSAGetLastError() { return t_lastError; }
void WSASetLastError(int error) { t_lastError = error; }

int WsaErrorFromErrno(int err)
{
    switch (err) {
    case 0: return 0;
    case EINTR: return WSAEINTR;
    case EBADF: return WSAENOTSOCK;
    case EACCES: case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE: case ENFILE: return WSAEMFILE;
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case EAGAIN: case EINPROGRESS: return WSAEWOULDBLOCK;
    case EALREADY: return WSAEALREADY;
    case ENOTSOCK: return WSAENOTSOCK;
    case EDESTADDRREQ: return WSAEDESTADDRREQ;
    case EMSGSIZE: return WSAEMSGSIZE;
    case EPROTOTYPE: return WSAEPROTOTYPE;
    case ENOPROTOOPT: return WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return WSAEOPNOTSUPP;
    case EPFNOSUPPORT: return WSAEPFNOSUPPORT;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ENETRESET: return WSAENETRESET;
    case ECONNABORTED: case EPIPE: return WSAECONNABORTED;
    case ECONNRESET: return WSAECONNRESET;
    case ENOBUFS: case ENOMEM: return WSAENOBUFS;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: return WSAESHUTDOWN;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case EHOSTDOWN: return WSAEHOSTDOWN;
    case EHOSTUNREACH: return WSAEHOSTUNREACH;
    default: return WSAEINVAL;
    }
}

int WsaSetErrorFromErrno()
{
    const int error = WsaErrorFromErrno(errno);
    WSASetLastError(error);
    return error;
}

int WsaErrorFromLookup(int gaiError)
{
    switch (gaiError) {
    case 0: return 0;
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
    case EAI_AGAIN: return WSATRY_AGAIN;
#ifdef EAI_NODATA
    case EAI_NODATA: return WSANO_DATA;
#endif
    case EAI_ADDRFAMILY: return WSANO_DATA;
    case EAI_SYSTEM: return WsaErrorFromErrno(errno);
    default: return WSANO_RECOVERY;
    }
}

bool ParseIPv4(const char* text, in_addr_t& address)
{
    in_addr parsed{};
    if (!text || inet_aton(text, &parsed) == 0)
        return false;
    address = parsed.s_addr;
    return true;
}

bool ResolveIPv4(const char* host, in_addr_t& address, int& error)
{
    if (ParseIPv4(host, address))
        return true;
    if (!host || !*host) {
        error = WSAHOST_NOT_FOUND;
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = nullptr;
    const int rc = getaddrinfo(host, nullptr, &hints, &result);
    if (rc != 0 || !result) {
        error = rc != 0 ? WsaErrorFromLookup(rc) : WSAHOST_NOT_FOUND;
        return false;
    }
    address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(result);
    return true;
}

std::string DottedIPv4(in_addr_t address)
{
    const auto* b = reinterpret_cast<const unsigned char*>(&address);
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    return text;
}

sockaddr_in MakeIPv4(in_addr_t address, unsigned port)
{
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<uint16_t>(port));
    in.sin_addr.s_addr = address;
    return in;
}

std::string LookupErrorText(int error)
{
    switch (error) {
    case WSAHOST_NOT_FOUND:
    case WSANO_DATA: return "host not found";
    case WSATRY_AGAIN: return "host not found: the name server did not answer";
    case WSANO_RECOVERY: return "host not found: the name server failed";
    default: return "error " + std::to_string(error);
    }
}

bool IsLookupError(int error) { return error >= WSAHOST_NOT_FOUND && error <= WSANO_DATA; }
