#pragma once
// One layer of a socket's layer chain: it sits between a CLayeredSocket and the network
// and may rewrite what passes (the proxy layer makes a proxy handshake before the owner
// sees the connection; the SSL layer encrypts). Calls go down the chain (socket, first
// layer, ..., last layer, network); events come up (network, last layer, ..., first
// layer, socket). An operation a derived layer does not override passes through.
//
// Each layer keeps a state of its own and reports every change to the owner's
// OnLayerCallback (type 0: new state, old state); derived layers report their own
// notices as type 1. After any event that carries an error the layer is dead: it
// drops further events and sends and receives fail with that error.
//
// Layers belong to whoever constructs them, never to the socket or to each other.

#include "net/SocketErrors.h"

#include <cstdint>
#include <functional>
#include <string>

class CLayeredSocket;

class CSocketLayer {
public:
    enum State {
        kNoSocket = 0,
        kUnconnected = 1,
        kConnecting = 2,
        kListening = 3,
        kConnected = 4,
        kClosed = 5,
        kAborted = 6,
    };

    CSocketLayer();
    // A layer still in a chain closes its socket first.
    virtual ~CSocketLayer();
    CSocketLayer(const CSocketLayer&) = delete;
    CSocketLayer& operator=(const CSocketLayer&) = delete;

    virtual void OnAccept(int error);
    virtual void OnClose(int error);
    virtual void OnConnect(int error);
    virtual void OnReceive(int error);
    virtual void OnSend(int error);
    virtual bool Accept(CLayeredSocket& connected, SOCKADDR* address = nullptr, int* length = nullptr);
    virtual void Close();
    virtual bool Connect(const SOCKADDR* address, int length);
    virtual bool Connect(const char* host, unsigned port);
    virtual bool Create(unsigned port, int type, long events, const char* address);
    virtual bool GetPeerName(std::string& address, unsigned& port);
    virtual bool GetPeerName(SOCKADDR* address, int* length);
    virtual bool Listen(int backlog);
    virtual int Receive(void* buffer, int length, int flags = 0);
    virtual int Send(const void* buffer, int length, int flags = 0);
    virtual bool ShutDown(int how = SHUT_WR);

    void Init(CSocketLayer* previous, CLayeredSocket* owner);
    // Appends layer below the end of this chain; returns it.
    CSocketLayer* AddLayer(CSocketLayer* layer);

    int GetLayerState() const { return m_state; }
    // Stores the state; a change is reported to the owner (type 0: new, old).
    void SetLayerState(int state);
    int GetCriticalError() const { return m_criticalError; }
    CLayeredSocket* GetOwner() const { return m_owner; }
    CSocketLayer* GetNextLayer() const { return m_next; }
    CSocketLayer* GetPreviousLayer() const { return m_previous; }

    // Calls the owner's OnLayerCallback and keeps the thread's last socket error as it
    // was before the call; 0 without an owner.
    int DoLayerCallback(int type, int param1, intptr_t param2);
    // Raises event later, through the event loop: to the previous layer (or the socket
    // under its event mask, for the first layer) when toPrevious, else to this layer.
    // FD_CONNECT with an error and FD_CLOSE move this layer to its aborted or closed
    // state at once. False when the owner has no socket.
    bool TriggerEvent(long event, int error, bool toPrevious);
    // Entry of events from below: applies the state rules, then the On* handler.
    void CallEvent(int event, int error);

protected:
    bool AcceptNext(CLayeredSocket& connected, SOCKADDR* address, int* length);
    void CloseNext();
    bool ConnectNext(const SOCKADDR* address, int length);
    // The bottom layer's ConnectNext(host, port) looks a name up on the owner's worker
    // (true with WSAEWOULDBLOCK) and reports the end as FD_CONNECT, with the look-up's
    // error when the name was not found.
    bool ConnectNext(const char* host, unsigned port);
    bool CreateNext(unsigned port, int type, long events, const char* address);
    bool GetPeerNameNext(std::string& address, unsigned& port);
    bool GetPeerNameNext(SOCKADDR* address, int* length);
    bool ListenNext(int backlog);
    int ReceiveNext(void* buffer, int length, int flags = 0);
    int SendNext(const void* buffer, int length, int flags = 0);
    bool ShutDownNext(int how = SHUT_WR);
    // Looks host up on the owner's worker thread; done runs later on this thread
    // (never once the socket has closed). False with the last error set when the
    // look-up could not start.
    bool LookUp(const char* host, std::function<void(in_addr_t address, int error)> done);

private:
    friend class CLayeredSocket;
    // The send/receive checks of one layer: false with the last error set when the
    // layer cannot carry data.
    bool CheckCanTransfer() const;
    // Events the base On* handlers pass up: to the previous layer (under its state
    // rules), or to the owner under its mask.
    void PassUp(long event, int error);

    CLayeredSocket* m_owner = nullptr;
    int m_state = kNoSocket;
    int m_criticalError = 0;
    CSocketLayer* m_next = nullptr;
    CSocketLayer* m_previous = nullptr;
};
