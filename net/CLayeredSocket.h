#pragma once
// A non-blocking IPv4 TCP socket whose notifications (OnConnect, OnReceive, OnSend,
// OnClose, OnAccept) run on the thread that created it, from that thread's reactor
// (platform/Reactor.h): a thread without a reactor cannot create sockets.
//
// Failures are reported the Windows Sockets way: a false result or -1, with the code
// (net/SocketErrors.h) in the thread's last socket error. WSAEWOULDBLOCK means "in
// progress": Connect returns false with it while the connection is being made, and
// the end is reported once through OnConnect(error); a true result with it from
// Connect(host, port) means the host name is being looked up on a worker thread. No
// call waits on a name server: the layers look their names up on the same worker.
//
// Notifications follow the Windows Sockets rules: OnSend comes once after the
// connection is made and again only after a Send failed with WSAEWOULDBLOCK; OnReceive
// comes when bytes wait and again only after a Receive; the peer's orderly close gives
// exactly one OnClose(0) (a reset: OnClose with the error).
//
// A socket may carry a chain of socket layers (CSocketLayer): AddSocketLayer before
// Create; every operation then goes to the first layer and every network event to the
// last layer, and the layers decide what reaches the socket. The socket does not own
// its layers: close the socket (Close) before deleting them; a layer deleted while it
// is still in a chain closes the socket itself.

#include "net/SocketErrors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CSocketLayer;
class CLayeredSocketDispatcher;

class CLayeredSocket {
public:
    CLayeredSocket();
    virtual ~CLayeredSocket();
    CLayeredSocket(const CLayeredSocket&) = delete;
    CLayeredSocket& operator=(const CLayeredSocket&) = delete;

    // Hands an accepted connection to connected (which gets no event selection: call
    // its AsyncSelect). With layers: the first layer's Accept.
    virtual bool Accept(CLayeredSocket& connected, SOCKADDR* address = nullptr, int* length = nullptr);
    // Closes the layers (downwards), the socket, forgets the layers and cancels a
    // pending look-up. Events still queued for this socket are dropped.
    virtual void Close();
    virtual bool Connect(const SOCKADDR* address, int length);
    // A dotted address connects at once; a name is looked up asynchronously (true
    // with WSAEWOULDBLOCK); a failed look-up is reported as OnConnect(error).
    virtual bool Connect(const char* host, unsigned port);
    virtual int Receive(void* buffer, int length, int flags = 0);
    virtual int Send(const void* buffer, int length, int flags = 0);

    virtual void OnAccept(int error);
    virtual void OnClose(int error);
    virtual void OnConnect(int error);
    virtual void OnReceive(int error);
    virtual void OnSend(int error);
    // Layer callbacks: type 0 state change (param1 new state, param2 old state), type 1
    // layer notice (param1 the layer's code, param2 a number or a pointer to a text or
    // record that is valid only during the call). The result goes back to the layer.
    virtual int OnLayerCallback(CSocketLayer* layer, int type, int param1, intptr_t param2);

    // Makes the socket of this type, selects events for the owner and binds port and
    // address (any when null). WSAEALREADY when a socket exists.
    bool Create(unsigned port = 0, int type = SOCK_STREAM, long events = FD_ALL_EVENTS,
                const char* address = nullptr);
    // False once the socket exists; a further layer goes below the end of the chain.
    bool AddSocketLayer(CSocketLayer* layer);
    // Forgets the layers without deleting them.
    void RemoveAllLayers();
    static int GetLastError() { return WSAGetLastError(); }
    // Raises event asynchronously (taken modulo 0xFFFF): with layers it reaches this
    // socket under its event mask, without layers as if the network had sent it.
    bool TriggerEvent(long event);
    // The events the owner wants to hear about.
    bool AsyncSelect(long events);
    bool Bind(unsigned port, const char* address);
    bool Attach(SOCKET handle, long events);
    SOCKET Detach();
    bool Listen(int backlog = 5);
    // With layers only the sending direction is shut down, whatever how says.
    bool ShutDown(int how = SHUT_WR);
    bool GetPeerName(std::string& address, unsigned& port);
    bool GetPeerName(SOCKADDR* address, int* length);
    bool GetSockName(std::string& address, unsigned& port);
    bool GetSockName(SOCKADDR* address, int* length);
    bool IOCtl(long command, unsigned long* argument);
    bool GetSockOpt(int option, void* value, int* length, int level = SOL_SOCKET);
    bool SetSockOpt(int option, const void* value, int length, int level = SOL_SOCKET);

    SOCKET GetSocketHandle() const { return m_socket; }
    // The per-thread record this socket is attached to (null before Create/Attach).
    CLayeredSocketDispatcher* GetDispatcher() const { return m_dispatcher.get(); }
    int GetSlot() const { return m_slot; }
    long GetEventMask() const { return m_eventMask; }

private:
    friend class CSocketLayer;
    friend class CLayeredSocketDispatcher;
    struct Lookup;

    bool AttachDispatcher();
    // The network side, used directly without layers and by the last layer.
    bool NetAdopt(SOCKET handle);
    bool NetCreate(int type);
    void NetSelect(long events);
    bool NetConnect(const SOCKADDR* address, int length);
    int NetReceive(void* buffer, int length, int flags);
    int NetSend(const void* buffer, int length, int flags);
    bool NetAccept(CLayeredSocket& connected, SOCKADDR* address, int* length);
    bool NetListen(int backlog);
    bool NetShutDown(int how);
    bool NetGetPeerName(SOCKADDR* address, int* length);
    void NetClose();
    void OnNetReady(int ready);
    void UpdateInterest();
    // A network event as the socket hears it: to the last layer, or to the handlers.
    void DeliverNetEvent(long event, int error);
    // A posted event for the socket itself, under its event mask.
    void DeliverToOwner(long event, int error);
    void CallHandler(long event, int error);
    // Queues an event for target (null: this socket under its mask).
    bool PostLayerEvent(CSocketLayer* target, long event, int error);
    // Looks host up on a worker thread with the dispatcher's resolver; done runs on
    // this thread with the address (network order) or the look-up's error, unless the
    // socket closed or another look-up began meanwhile. False (last error set) when
    // none could start.
    bool LookUp(const char* host, std::function<void(in_addr_t address, int error)> done);
    void OnLookupDone(const std::weak_ptr<Lookup>& lookup, in_addr_t address, int error);
    bool IsPendingBytes();

    SOCKET m_socket = INVALID_SOCKET;
    int m_slot = -1;
    long m_eventMask = 0;
    std::shared_ptr<Lookup> m_lookup;
    std::shared_ptr<CLayeredSocketDispatcher> m_dispatcher;
    CSocketLayer* m_firstLayer = nullptr;
    CSocketLayer* m_lastLayer = nullptr;

    // Network side: what the network reports (all six events when layered), and the
    // readiness that is being waited for.
    uint64_t m_generation = 0;
    long m_selected = 0;
    bool m_connecting = false;
    bool m_listening = false;
    bool m_readArmed = false;
    bool m_writeArmed = false;
    bool m_closeSeen = false;
    int m_interest = 0;
};
