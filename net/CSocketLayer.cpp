#include "net/CSocketLayer.h"

#include "net/CLayeredSocket.h"

#include <arpa/inet.h>


CSocketLayer::CSocketLayer() = default;

CSocketLayer::~CSocketLayer()
{
    // Left in a chain, the socket would call into a freed layer.
    if (m_owner)
        m_owner->Close();
}

void CSocketLayer::Init(CSocketLayer* previous, CLayeredSocket* owner)
{
    m_previous = previous;
    m_owner = owner;
    m_next = nullptr;
}

CSocketLayer* CSocketLayer::AddLayer(CSocketLayer* layer)
{
    CSocketLayer* end = this;
    while (end->m_next)
        end = end->m_next;
    layer->Init(end, end->m_owner);
    end->m_next = layer;
    return layer;
}

void CSocketLayer::SetLayerState(int state)
{
    const int old = m_state;
    m_state = state;
    if (state != old)
        DoLayerCallback(0, state, old);
}

int CSocketLayer::DoLayerCallback(int type, int param1, intptr_t param2)
{
    if (!m_owner)
        return 0;
    const int error = WSAGetLastError();
    const int result = m_owner->OnLayerCallback(this, type, param1, param2);
    WSASetLastError(error);
    return result;
}

// ---- events ----------------------------------------------------------------------

bool CSocketLayer::TriggerEvent(long event, int error, bool toPrevious)
{
    if (!m_owner || m_owner->GetSocketHandle() == INVALID_SOCKET)
        return false;
    if (event == FD_CONNECT && error) {
        SetLayerState(kAborted);
        m_criticalError = error;
    } else if (event == FD_CLOSE) {
        SetLayerState(error ? kAborted : kClosed);
        if (error)
            m_criticalError = error;
    }
    CSocketLayer* target = toPrevious ? m_previous : this;
    return m_owner->PostLayerEvent(target, event % 0xFFFF, error);
}

void CSocketLayer::CallEvent(int event, int error)
{
    if (m_criticalError)
        return;
    m_criticalError = error;
    switch (event) {
    case FD_READ:
    case FD_FORCEREAD:
        if (m_state != kConnected)
            return;
        if (error)
            SetLayerState(kAborted);
        OnReceive(error);
        break;
    case FD_WRITE:
        if (m_state != kConnected)
            return;
        if (error)
            SetLayerState(kAborted);
        OnSend(error);
        break;
    case FD_CONNECT:
        if (m_state != kConnecting)
            return;
        SetLayerState(error ? kAborted : kConnected);
        OnConnect(error);
        break;
    case FD_ACCEPT:
        if (m_state != kListening)
            return;
        SetLayerState(error ? kAborted : kConnected);
        OnAccept(error);
        break;
    case FD_CLOSE:
        if (m_state != kConnected)
            return;
        SetLayerState(error ? kAborted : kClosed);
        OnClose(error);
        break;
    default:
        break;
    }
}

void CSocketLayer::PassUp(long event, int error)
{
    // Through the layer above's own state rules: a layer above a pass-through layer
    // must become connected (and closed) like any other, or it refuses to send.
    if (m_previous)
        m_previous->CallEvent(static_cast<int>(event), error);
    else if (m_owner)
        m_owner->DeliverToOwner(event, error);
}

void CSocketLayer::OnAccept(int error) { PassUp(FD_ACCEPT, error); }
void CSocketLayer::OnClose(int error) { PassUp(FD_CLOSE, error); }
void CSocketLayer::OnConnect(int error) { PassUp(FD_CONNECT, error); }
void CSocketLayer::OnReceive(int error) { PassUp(FD_READ, error); }
void CSocketLayer::OnSend(int error) { PassUp(FD_WRITE, error); }

// ---- operations: by default passed on --------------------------------------------

bool CSocketLayer::Accept(CLayeredSocket& connected, SOCKADDR* address, int* length)
{
    return AcceptNext(connected, address, length);
}
void CSocketLayer::Close() { CloseNext(); }
bool CSocketLayer::Connect(const SOCKADDR* address, int length) { return ConnectNext(address, length); }
bool CSocketLayer::Connect(const char* host, unsigned port) { return ConnectNext(host, port); }
bool CSocketLayer::Create(unsigned port, int type, long events, const char* address)
{
    return CreateNext(port, type, events, address);
}
bool CSocketLayer::GetPeerName(std::string& address, unsigned& port) { return GetPeerNameNext(address, port); }
bool CSocketLayer::GetPeerName(SOCKADDR* address, int* length) { return GetPeerNameNext(address, length); }
bool CSocketLayer::Listen(int backlog) { return ListenNext(backlog); }
int CSocketLayer::Receive(void* buffer, int length, int flags) { return ReceiveNext(buffer, length, flags); }
int CSocketLayer::Send(const void* buffer, int length, int flags) { return SendNext(buffer, length, flags); }
bool CSocketLayer::ShutDown(int how) { return ShutDownNext(how); }

// ---- the "next" operations -------------------------------------------------------

bool CSocketLayer::AcceptNext(CLayeredSocket& connected, SOCKADDR* address, int* length)
{
    if (m_next)
        return m_next->Accept(connected, address, length);
    if (!m_owner) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    return m_owner->NetAccept(connected, address, length);
}

void CSocketLayer::CloseNext()
{
    SetLayerState(kNoSocket);
    if (m_next)
        m_next->Close();
}

bool CSocketLayer::ConnectNext(const SOCKADDR* address, int length)
{
    bool result;
    if (m_next) {
        result = m_next->Connect(address, length);
    } else if (m_owner) {
        result = m_owner->NetConnect(address, length);
    } else {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    if (result || WSAGetLastError() == WSAEWOULDBLOCK)
        SetLayerState(kConnecting);
    return result;
}

bool CSocketLayer::ConnectNext(const char* host, unsigned port)
{
    bool result;
    if (m_next) {
        result = m_next->Connect(host, port);
    } else if (m_owner) {
        in_addr_t address;
        if (ParseIPv4(host, address)) {
            const sockaddr_in in = MakeIPv4(address, port);
            result = m_owner->NetConnect(reinterpret_cast<const SOCKADDR*>(&in), sizeof in);
        } else {
            // A name is looked up off this thread; its end comes up the chain as
            // FD_CONNECT, with the look-up's error when it failed.
            if (!LookUp(host, [this, port](in_addr_t found, int error) {
                    if (error == 0) {
                        const sockaddr_in in = MakeIPv4(found, port);
                        if (m_owner->NetConnect(reinterpret_cast<const SOCKADDR*>(&in), sizeof in) ||
                            WSAGetLastError() == WSAEWOULDBLOCK)
                            return;
                        error = WSAGetLastError();
                    }
                    CallEvent(FD_CONNECT, error);
                }))
                return false;
            WSASetLastError(WSAEWOULDBLOCK);
            result = true;
        }
    } else {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    if (result || WSAGetLastError() == WSAEWOULDBLOCK)
        SetLayerState(kConnecting);
    return result;
}

bool CSocketLayer::LookUp(const char* host, std::function<void(in_addr_t address, int error)> done)
{
    if (!m_owner) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    return m_owner->LookUp(host, std::move(done));
}

bool CSocketLayer::CreateNext(unsigned port, int type, long events, const char* address)
{
    if (m_next) {
        if (!m_next->Create(port, type, events, address))
            return false;
        SetLayerState(kUnconnected);
        return true;
    }
    if (!m_owner) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    CLayeredSocket* owner = m_owner;
    if (!owner->NetCreate(type))
        return false;
    // The owner's mask says what it wants to hear; the chain hears everything.
    owner->AsyncSelect(events);
    owner->NetSelect(FD_ALL_EVENTS);
    if (!owner->Bind(port, address)) {
        const int error = WSAGetLastError();
        owner->Close();
        WSASetLastError(error);
        return false;
    }
    SetLayerState(kUnconnected);
    return true;
}

bool CSocketLayer::GetPeerNameNext(std::string& address, unsigned& port)
{
    if (m_next)
        return m_next->GetPeerName(address, port);
    sockaddr_in in{};
    int length = sizeof in;
    if (!GetPeerNameNext(reinterpret_cast<SOCKADDR*>(&in), &length))
        return false;
    address = DottedIPv4(in.sin_addr.s_addr);
    port = ntohs(in.sin_port);
    return true;
}

bool CSocketLayer::GetPeerNameNext(SOCKADDR* address, int* length)
{
    if (m_next)
        return m_next->GetPeerName(address, length);
    if (!m_owner) {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    return m_owner->NetGetPeerName(address, length);
}

bool CSocketLayer::ListenNext(int backlog)
{
    bool result;
    if (m_next) {
        result = m_next->Listen(backlog);
    } else if (m_owner) {
        result = m_owner->NetListen(backlog);
    } else {
        WSASetLastError(WSAENOTSOCK);
        return false;
    }
    if (result)
        SetLayerState(kListening);
    return result;
}

bool CSocketLayer::CheckCanTransfer() const
{
    if (m_criticalError) {
        WSASetLastError(m_criticalError);
        return false;
    }
    switch (m_state) {
    case kNoSocket: WSASetLastError(WSAENOTSOCK); return false;
    case kUnconnected:
    case kConnecting:
    case kListening: WSASetLastError(WSAENOTCONN); return false;
    default: return m_owner != nullptr || (WSASetLastError(WSAENOTSOCK), false);
    }
}

int CSocketLayer::ReceiveNext(void* buffer, int length, int flags)
{
    if (!CheckCanTransfer())
        return -1;
    if (m_next)
        return m_next->Receive(buffer, length, flags);
    return m_owner->NetReceive(buffer, length, flags);
}

int CSocketLayer::SendNext(const void* buffer, int length, int flags)
{
    if (!CheckCanTransfer())
        return -1;
    if (m_next)
        return m_next->Send(buffer, length, flags);
    return m_owner->NetSend(buffer, length, flags);
}

bool CSocketLayer::ShutDownNext(int how)
{
    for (const CSocketLayer* layer = this; layer; layer = layer->m_next) {
        if (!layer->CheckCanTransfer())
            return false;
    }
    CSocketLayer* last = this;
    while (last->m_next)
        last = last->m_next;
    return last->m_owner->NetShutDown(how);
}
