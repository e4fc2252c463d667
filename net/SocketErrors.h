#pragma once
// The socket classes' error vocabulary: the Windows Sockets error numbers that callers
// compare against (a false or -1 result leaves one of them as the thread's last socket
// error), the event bits of the socket notifications, and the mapping from errno.

#include <netinet/in.h>
#include <string>
#include <sys/socket.h>

using SOCKET = int;
using SOCKADDR = sockaddr;
using SOCKADDR_IN = sockaddr_in;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;

// Network events, as in a socket's event mask.
constexpr long FD_READ = 0x01;
constexpr long FD_WRITE = 0x02;
constexpr long FD_OOB = 0x04;
constexpr long FD_ACCEPT = 0x08;
constexpr long FD_CONNECT = 0x10;
constexpr long FD_CLOSE = 0x20;
constexpr long FD_ALL_EVENTS = 0x3F;
// Raised by the layers themselves: "read again, clear text is waiting".
constexpr long FD_FORCEREAD = 0x8000;

constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAEALREADY = 10037;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEDESTADDRREQ = 10039;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAEPROTOTYPE = 10041;
constexpr int WSAENOPROTOOPT = 10042;
constexpr int WSAEPROTONOSUPPORT = 10043;
constexpr int WSAESOCKTNOSUPPORT = 10044;
constexpr int WSAEOPNOTSUPP = 10045;
constexpr int WSAEPFNOSUPPORT = 10046;
constexpr int WSAEAFNOSUPPORT = 10047;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAEADDRNOTAVAIL = 10049;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAENETRESET = 10052;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAEISCONN = 10056;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAEHOSTDOWN = 10064;
constexpr int WSAEHOSTUNREACH = 10065;
// No reactor drives the calling thread: sockets cannot deliver events there.
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

// The calling thread's last socket error.
int WSAGetLastError();
void WSASetLastError(int error);

// The socket error that stands for an errno value.
int WsaErrorFromErrno(int err);
// Sets the last socket error from errno and returns it.
int WsaSetErrorFromErrno();
// The socket error for a failed getaddrinfo.
int WsaErrorFromLookup(int gaiError);

// An IPv4 dotted address (in the forms inet_aton reads) into network order;
// false when the text is no address.
bool ParseIPv4(const char* text, in_addr_t& address);
// "%d.%d.%d.%d" of an address in network order, first byte first.
std::string DottedIPv4(in_addr_t address);
// An IPv4 socket address; address in network order, port in host order.
sockaddr_in MakeIPv4(in_addr_t address, unsigned port);
// What a look-up's error says, for a message: "host not found" and the like, or
// "error N" for any other socket error.
std::string LookupErrorText(int error);
// One of the look-up's own errors (WSAHOST_NOT_FOUND to WSANO_DATA).
bool IsLookupError(int error);
// Blocking IPv4 look-up of a name or dotted address: the first address, network order.
// On failure returns false with the socket error in error.
bool ResolveIPv4(const char* host, in_addr_t& address, int& error);
