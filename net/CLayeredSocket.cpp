#include "net/CLayeredSocket.h"

#include "net/CLayeredSocketDispatcher.h"
#include "net/CSocketLayer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>

// A host look-up in flight, on a thread the socket owns. The thread holds only weak
// ties to the socket: Close asks it to stop and lets it finish alone (the system's
// look-up cannot be interrupted), and its answer is then dropped; a finished look-up
// is joined when its answer arrives.
struct CLayeredSocket::Lookup {
    std::jthread thread;
    // Runs on the socket's thread with the answer.
    std::function<void(in_addr_t, int)> done;

    void Abandon()
    {
        if (thread.joinable()) {
            thread.request_stop();
            thread.detach();
        }
    }
    ~Lookup() { Abandon(); }
};

namespace {

bool NameFromSockaddr(const sockaddr_in& in, std::string& address, unsigned& port)
{
    address = DottedIPv4(in.sin_addr.s_addr);
    port = ntohs(in.sin_port);
    return true;
}

bool MakeNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

CLayeredSocket::CLayeredSocket() = default;

CLayeredSocket::~CLayeredSocket()
{
    Close();
    m_dispatcher.reset();
}

// ---- attaching -------------------------------------------------------------------

bool CLayeredSocket::AttachDispatcher()
{
    if (m_dispatcher)
        return true;
    m_dispatcher = CLayeredSocketDispatcher::ForThisThread();
    if (!m_dispatcher) {
        WSASetLastError(WSANOTINITIALISED);
        return false;
    }
    return true;
}

bool CLayeredSocket::NetAdopt(SOCKET handle)
{
    const int slot = m_dispatcher->Slots().Take(this);
    if (slot < 0) {
        WSASetLastError(WSAEMFILE);
        return false;
    }
    m_socket = handle;
    m_slot = slot;
    m_generation = m_dispatcher->NewGeneration();
    m_selected = 0;
    m_connecting = m_listening = m_readArmed = m_writeArmed = m_closeSeen = false;
    m_interest = 0;
    std::weak_ptr<CLayeredSocketDispatcher> dispatcher = m_dispatcher;
    const uint64_t generation = m_generation;
    m_dispatcher->GetReactor().Watch(handle, [dispatcher, slot, generation](int ready) {
        auto alive = dispatcher.lock();
        if (!alive)
            return;
        if (CLayeredSocket* socket = alive->Find(slot, generation))
            socket->OnNetReady(ready);
    });
    return true;
}

bool CLayeredSocket::NetCreate(int type)
{
    const int fd = socket(AF_INET, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        WsaSetErrorFromErrno();
        return false;
    }
    if (!NetAdopt(fd)) {
        ::close(fd);
        return false;
    }
    return true;
}

bool CLayeredSocket::Create(unsigned port, int type, long events, const char* address)
{
    if (m_socket != INVALID_SOCKET) {
        WSASetLastError(WSAEALREADY);
        return false;
    }
    if (!AttachDispatcher())
        return false;
    if (m_firstLayer)
        return m_firstLayer->Create(port, type, events, address);
    if (!NetCreate(type))
        return false;
    if (!AsyncSelect(events) || !Bind(port, address)) {
        const int error = WSAGetLastError();
        Close();
        WSASetLastError(error);
        return false;
    }
    return true;
}

bool CLayeredSocket::Attach(SOCKET handle, long events)
{
    if (handle == INVALID_SOCKET || handle == 0) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    if (m_socket != INVALID_SOCKET) {
        WSASetLastError(WSAEALREADY);
        return false;
    }
    if (!AttachDispatcher())
        return false;
    if (!MakeNonBlocking(handle)) {
        WsaSetErrorFromErrno();
        return false;
    }
    if (!NetAdopt(handle))
        return false;
    return AsyncSelect(events);
}

SOCKET CLayeredSocket::Detach()
{
    const SOCKET handle = m_socket;
    if (handle != INVALID_SOCKET) {
        m_dispatcher->GetReactor().Unwatch(handle);
        m_dispatcher->Slots().Free(m_slot);
    }
    m_slot = -1;
    m_socket = INVALID_SOCKET;
    m_generation = 0;
    return handle;
}

bool CLayeredSocket::AddSocketLayer(CSocketLayer* layer)
{
    if (m_socket != INVALID_SOCKET || !layer)
        return false;
    if (!m_firstLayer) {
        layer->Init(nullptr, this);
        m_firstLayer = m_lastLayer = layer;
    } else {
        m_lastLayer = m_lastLayer->AddLayer(layer);
    }
    return true;
}

void CLayeredSocket::RemoveAllLayers()
{
    // With layers every look-up in flight is a layer's: its answer must not reach a
    // layer that has left.
    if (m_firstLayer && m_lookup) {
        m_lookup->Abandon();
        m_lookup.reset();
    }
    // The layers stay with their constructor, but no longer point at this socket.
    for (CSocketLayer* layer = m_firstLayer; layer;) {
        CSocketLayer* next = layer->m_next;
        layer->m_owner = nullptr;
        layer->m_previous = layer->m_next = nullptr;
        layer = next;
    }
    m_firstLayer = m_lastLayer = nullptr;
}

// ---- closing ---------------------------------------------------------------------

void CLayeredSocket::NetClose()
{
    if (m_socket == INVALID_SOCKET)
        return;
    m_dispatcher->GetReactor().Unwatch(m_socket);
    ::close(m_socket);
    m_dispatcher->Slots().Free(m_slot);
    m_slot = -1;
    m_socket = INVALID_SOCKET;
    m_generation = 0;
}

void CLayeredSocket::Close()
{
    if (m_firstLayer)
        m_firstLayer->Close();
    NetClose();
    RemoveAllLayers();
    if (m_lookup) {
        m_lookup->Abandon();
        m_lookup.reset();
    }
}

// ---- selecting and readiness -----------------------------------------------------

bool CLayeredSocket::AsyncSelect(long events)
{
    // The forced read is the system's own and always wanted.
    m_eventMask = events | FD_FORCEREAD;
    if (m_firstLayer)
        return true;
    if (m_socket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    NetSelect(events);
    return true;
}

void CLayeredSocket::NetSelect(long events)
{
    m_selected = events;
    if (m_listening) {
        m_readArmed = true;
    } else if (!m_connecting) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        if (getpeername(m_socket, reinterpret_cast<sockaddr*>(&peer), &length) == 0) {
            // A connected socket hears about waiting bytes, and about room to write once.
            m_readArmed = !m_closeSeen;
            m_writeArmed = (events & FD_WRITE) != 0;
        }
    }
    UpdateInterest();
}

void CLayeredSocket::UpdateInterest()
{
    if (m_socket == INVALID_SOCKET || m_dispatcher->IsDispatching(m_generation))
        return;
    int interest = 0;
    if (m_readArmed && !m_closeSeen)
        interest |= lfplat::Reactor::kRead;
    if (m_connecting || m_writeArmed)
        interest |= lfplat::Reactor::kWrite;
    if (interest != m_interest) {
        m_interest = interest;
        m_dispatcher->GetReactor().SetInterest(m_socket, interest);
    }
}

void CLayeredSocket::OnNetReady(int ready)
{
    // Handlers may close or delete this socket: after each one, go on only if the
    // same socket still holds the slot.
    const auto dispatcher = m_dispatcher;
    const int slot = m_slot;
    const uint64_t generation = m_generation;
    auto alive = [&] { return dispatcher->Find(slot, generation) == this; };
    // Interest changes wait until the handlers are done: one change instead of many.
    dispatcher->BeginDispatch(generation);
    struct EndDispatch {
        CLayeredSocketDispatcher& dispatcher;
        uint64_t generation;
        ~EndDispatch() { dispatcher.EndDispatch(generation); }
    } endDispatch{*dispatcher, generation};

    if (ready & lfplat::Reactor::kWrite) {
        if (m_connecting) {
            m_connecting = false;
            int soError = 0;
            socklen_t length = sizeof soError;
            getsockopt(m_socket, SOL_SOCKET, SO_ERROR, &soError, &length);
            const int error = WsaErrorFromErrno(soError);
            m_writeArmed = false;
            m_readArmed = error == 0;
            if (m_selected & FD_CONNECT)
                DeliverNetEvent(FD_CONNECT, error);
            if (!alive())
                return;
            if (error == 0 && m_socket != INVALID_SOCKET && (m_selected & FD_WRITE))
                DeliverNetEvent(FD_WRITE, 0);
            if (!alive())
                return;
        } else if (m_writeArmed) {
            m_writeArmed = false;
            if (m_selected & FD_WRITE)
                DeliverNetEvent(FD_WRITE, 0);
            if (!alive())
                return;
        }
    }
    if ((ready & lfplat::Reactor::kRead) && m_readArmed && m_socket != INVALID_SOCKET) {
        if (m_listening) {
            m_readArmed = false;
            if (m_selected & FD_ACCEPT)
                DeliverNetEvent(FD_ACCEPT, 0);
        } else {
            char byte;
            const ssize_t n = recv(m_socket, &byte, 1, MSG_PEEK);
            if (n > 0) {
                // Heard again once the owner has read.
                m_readArmed = false;
                if (m_selected & FD_READ)
                    DeliverNetEvent(FD_READ, 0);
            } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                // The end of the stream is told once; nothing is watched after it.
                const int error = n == 0 ? 0 : WsaErrorFromErrno(errno);
                m_readArmed = false;
                m_closeSeen = true;
                if (m_selected & FD_CLOSE)
                    DeliverNetEvent(FD_CLOSE, error);
            }
        }
        if (!alive())
            return;
    }
    dispatcher->EndDispatch(generation);
    endDispatch.generation = 0;
    UpdateInterest();
}

void CLayeredSocket::DeliverNetEvent(long event, int error)
{
    if (m_lastLayer)
        m_lastLayer->CallEvent(static_cast<int>(event), error);
    else
        CallHandler(event, error);
}

void CLayeredSocket::DeliverToOwner(long event, int error)
{
    if (m_eventMask & event)
        CallHandler(event, error);
}

void CLayeredSocket::CallHandler(long event, int error)
{
    switch (event) {
    case FD_READ:
    case FD_FORCEREAD: OnReceive(error); break;
    case FD_WRITE: OnSend(error); break;
    case FD_ACCEPT: OnAccept(error); break;
    case FD_CONNECT: OnConnect(error); break;
    case FD_CLOSE: OnClose(error); break;
    default: break;
    }
}

bool CLayeredSocket::IsPendingBytes()
{
    int pending = 0;
    return ioctl(m_socket, FIONREAD, &pending) == 0 && pending > 0;
}

bool CLayeredSocket::PostLayerEvent(CSocketLayer* target, long event, int error)
{
    if (m_socket == INVALID_SOCKET)
        return false;
    return m_dispatcher->PostToSocket(m_slot, m_generation, [target, event, error](CLayeredSocket& socket) {
        if (target)
            target->CallEvent(static_cast<int>(event), error);
        else
            socket.DeliverToOwner(event, error);
    });
}

bool CLayeredSocket::TriggerEvent(long event)
{
    if (m_socket == INVALID_SOCKET)
        return false;
    event %= 0xFFFF;
    if (m_firstLayer)
        return PostLayerEvent(nullptr, event, 0);
    return m_dispatcher->PostToSocket(m_slot, m_generation, [event](CLayeredSocket& socket) {
        // As from the network: a read without waiting bytes is no read.
        if ((event == FD_READ || event == FD_FORCEREAD) && !socket.IsPendingBytes())
            return;
        socket.DeliverNetEvent(event, 0);
    });
}

// ---- connecting ------------------------------------------------------------------

bool CLayeredSocket::NetConnect(const SOCKADDR* address, int length)
{
    if (m_socket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    const int rc = ::connect(m_socket, address, static_cast<socklen_t>(length));
    if (rc != 0 && errno != EINPROGRESS) {
        WsaSetErrorFromErrno();
        return false;
    }
    // Even a connection made at once is reported through OnConnect.
    m_connecting = true;
    m_readArmed = m_writeArmed = false;
    UpdateInterest();
    WSASetLastError(WSAEWOULDBLOCK);
    return false;
}

bool CLayeredSocket::Connect(const SOCKADDR* address, int length)
{
    if (m_firstLayer)
        return m_firstLayer->Connect(address, length);
    return NetConnect(address, length);
}

bool CLayeredSocket::Connect(const char* host, unsigned port)
{
    if (m_firstLayer)
        return m_firstLayer->Connect(host, port);
    in_addr_t address;
    if (ParseIPv4(host, address)) {
        const sockaddr_in in = MakeIPv4(address, port);
        return Connect(reinterpret_cast<const SOCKADDR*>(&in), sizeof in);
    }
    if (!LookUp(host, [this, port](in_addr_t found, int error) {
            if (error != 0) {
                OnConnect(error);
                return;
            }
            const sockaddr_in in = MakeIPv4(found, port);
            if (!Connect(reinterpret_cast<const SOCKADDR*>(&in), sizeof in) && WSAGetLastError() != WSAEWOULDBLOCK)
                OnConnect(WSAGetLastError());
        }))
        return false;
    WSASetLastError(WSAEWOULDBLOCK);
    return true;
}

bool CLayeredSocket::LookUp(const char* host, std::function<void(in_addr_t, int)> done)
{
    if (m_socket == INVALID_SOCKET || !host) {
        WSASetLastError(m_socket == INVALID_SOCKET ? WSAENOTSOCK : WSAEINVAL);
        return false;
    }
    if (m_lookup)
        m_lookup->Abandon();
    auto lookup = std::make_shared<Lookup>();
    lookup->done = std::move(done);
    m_lookup = lookup;
    try {
        lookup->thread = std::jthread([weak = std::weak_ptr<Lookup>(lookup), name = std::string(host),
                                       resolve = m_dispatcher->GetResolver(),
                                       poster = m_dispatcher->GetReactor().GetPoster(),
                                       dispatcher = std::weak_ptr<CLayeredSocketDispatcher>(m_dispatcher),
                                       slot = m_slot, generation = m_generation](std::stop_token stop) {
            in_addr_t found = 0;
            int error = 0;
            if (!resolve(name, found, error) && error == 0)
                error = WSAHOST_NOT_FOUND;
            if (stop.stop_requested())
                return;
            CLayeredSocketDispatcher::PostToSocketFrom(
                poster, dispatcher, slot, generation,
                [weak, found, error](CLayeredSocket& socket) { socket.OnLookupDone(weak, found, error); });
        });
    } catch (const std::system_error&) {
        m_lookup.reset();
        WSASetLastError(WSAENOBUFS);
        return false;
    }
    return true;
}

void CLayeredSocket::OnLookupDone(const std::weak_ptr<Lookup>& weak, in_addr_t address, int error)
{
    const std::shared_ptr<Lookup> lookup = weak.lock();
    if (!lookup || lookup != m_lookup)
        return;
    // The thread posted this as its last step: the join is short.
    if (lookup->thread.joinable())
        lookup->thread.join();
    m_lookup.reset();
    // The answer may start the next look-up (a proxy's name after the target's).
    lookup->done(address, error);
}

// ---- data ------------------------------------------------------------------------

int CLayeredSocket::NetReceive(void* buffer, int length, int flags)
{
    if (m_socket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return -1;
    }
    const ssize_t n = ::recv(m_socket, buffer, static_cast<size_t>(std::max(length, 0)), flags);
    const int savedErrno = errno;
    // A read lets the next waiting bytes (or the end) be heard.
    if (!m_listening && !m_connecting)
        m_readArmed = true;
    UpdateInterest();
    if (n < 0) {
        errno = savedErrno;
        WsaSetErrorFromErrno();
        return -1;
    }
    return static_cast<int>(n);
}

int CLayeredSocket::NetSend(const void* buffer, int length, int flags)
{
    if (m_socket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return -1;
    }
    const ssize_t n = ::send(m_socket, buffer, static_cast<size_t>(std::max(length, 0)), flags | MSG_NOSIGNAL);
    if (n < 0) {
        int error = WsaSetErrorFromErrno();
        sockaddr_in peer{};
        socklen_t peerLength = sizeof peer;
        if (error == WSAECONNABORTED && getpeername(m_socket, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0) {
            // Sending on a socket that never connected.
            error = WSAENOTCONN;
            WSASetLastError(error);
        }
        if (error == WSAEWOULDBLOCK) {
            // Room to write is told again only after this.
            m_writeArmed = true;
            UpdateInterest();
        }
        return -1;
    }
    return static_cast<int>(n);
}

int CLayeredSocket::Receive(void* buffer, int length, int flags)
{
    if (m_firstLayer)
        return m_firstLayer->Receive(buffer, length, flags);
    return NetReceive(buffer, length, flags);
}

int CLayeredSocket::Send(const void* buffer, int length, int flags)
{
    if (m_firstLayer)
        return m_firstLayer->Send(buffer, length, flags);
    return NetSend(buffer, length, flags);
}

// ---- listening and accepting -----------------------------------------------------

bool CLayeredSocket::NetListen(int backlog)
{
    if (m_socket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    if (::listen(m_socket, backlog) != 0) {
        WsaSetErrorFromErrno();
        return false;
    }
    m_listening = true;
    m_readArmed = true;
    UpdateInterest();
    return true;
}

bool CLayeredSocket::Listen(int backlog)
{
    if (m_firstLayer)
        return m_firstLayer->Listen(backlog);
    return NetListen(backlog);
}

bool CLayeredSocket::NetAccept(CLayeredSocket& connected, SOCKADDR* address, int* length)
{
    if (m_socket == INVALID_SOCKET) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    socklen_t addressLength = length ? static_cast<socklen_t>(*length) : 0;
    const int fd = ::accept4(m_socket, address, length ? &addressLength : nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int savedErrno = errno;
    m_readArmed = true;
    UpdateInterest();
    if (fd < 0) {
        errno = savedErrno;
        WsaSetErrorFromErrno();
        return false;
    }
    if (length)
        *length = static_cast<int>(addressLength);
    if (connected.m_socket != INVALID_SOCKET || !connected.AttachDispatcher() || !connected.NetAdopt(fd)) {
        if (connected.m_socket != INVALID_SOCKET)
            WSASetLastError(WSAEALREADY);
        ::close(fd);
        return false;
    }
    return true;
}

bool CLayeredSocket::Accept(CLayeredSocket& connected, SOCKADDR* address, int* length)
{
    if (m_firstLayer)
        return m_firstLayer->Accept(connected, address, length);
    return NetAccept(connected, address, length);
}

// ---- the rest --------------------------------------------------------------------

bool CLayeredSocket::Bind(unsigned port, const char* address)
{
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<uint16_t>(port));
    in.sin_addr.s_addr = htonl(INADDR_ANY);
    if (address && !ParseIPv4(address, in.sin_addr.s_addr)) {
        WSASetLastError(WSAEINVAL);
        return false;
    }
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&in), sizeof in) != 0) {
        WsaSetErrorFromErrno();
        return false;
    }
    return true;
}

bool CLayeredSocket::NetShutDown(int how)
{
    if (::shutdown(m_socket, how) != 0) {
        WsaSetErrorFromErrno();
        return false;
    }
    return true;
}

bool CLayeredSocket::ShutDown(int how)
{
    if (m_firstLayer)
        return m_firstLayer->ShutDown(SHUT_WR);
    return NetShutDown(how);
}

bool CLayeredSocket::NetGetPeerName(SOCKADDR* address, int* length)
{
    socklen_t addressLength = length ? static_cast<socklen_t>(*length) : 0;
    if (::getpeername(m_socket, address, &addressLength) != 0) {
        WsaSetErrorFromErrno();
        return false;
    }
    if (length)
        *length = static_cast<int>(addressLength);
    return true;
}

bool CLayeredSocket::GetPeerName(SOCKADDR* address, int* length)
{
    if (m_firstLayer)
        return m_firstLayer->GetPeerName(address, length);
    return NetGetPeerName(address, length);
}

bool CLayeredSocket::GetPeerName(std::string& address, unsigned& port)
{
    if (m_firstLayer)
        return m_firstLayer->GetPeerName(address, port);
    sockaddr_in in{};
    int length = sizeof in;
    return NetGetPeerName(reinterpret_cast<sockaddr*>(&in), &length) && NameFromSockaddr(in, address, port);
}

bool CLayeredSocket::GetSockName(SOCKADDR* address, int* length)
{
    socklen_t addressLength = length ? static_cast<socklen_t>(*length) : 0;
    if (::getsockname(m_socket, address, &addressLength) != 0) {
        WsaSetErrorFromErrno();
        return false;
    }
    if (length)
        *length = static_cast<int>(addressLength);
    return true;
}

bool CLayeredSocket::GetSockName(std::string& address, unsigned& port)
{
    sockaddr_in in{};
    int length = sizeof in;
    return GetSockName(reinterpret_cast<sockaddr*>(&in), &length) && NameFromSockaddr(in, address, port);
}

bool CLayeredSocket::IOCtl(long command, unsigned long* argument)
{
    int value = argument ? static_cast<int>(*argument) : 0;
    if (::ioctl(m_socket, static_cast<unsigned long>(command), &value) != 0) {
        WsaSetErrorFromErrno();
        return false;
    }
    if (argument)
        *argument = static_cast<unsigned long>(value);
    return true;
}

bool CLayeredSocket::GetSockOpt(int option, void* value, int* length, int level)
{
    socklen_t optionLength = length ? static_cast<socklen_t>(*length) : 0;
    if (::getsockopt(m_socket, level, option, value, &optionLength) != 0) {
        WsaSetErrorFromErrno();
        return false;
    }
    if (length)
        *length = static_cast<int>(optionLength);
    return true;
}

bool CLayeredSocket::SetSockOpt(int option, const void* value, int length, int level)
{
    if (::setsockopt(m_socket, level, option, value, static_cast<socklen_t>(length)) != 0) {
        WsaSetErrorFromErrno();
        return false;
    }
    return true;
}

// ---- default handlers ------------------------------------------------------------

void CLayeredSocket::OnAccept(int) {}
void CLayeredSocket::OnClose(int) {}
void CLayeredSocket::OnConnect(int) {}
void CLayeredSocket::OnReceive(int) {}
void CLayeredSocket::OnSend(int) {}
int CLayeredSocket::OnLayerCallback(CSocketLayer*, int, int, intptr_t) { return 1; }
