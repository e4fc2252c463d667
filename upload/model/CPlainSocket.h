#pragma once
// A plain socket to the upload host, without layers: it hands its connection and the
// service's commands (one receive, at most 39 bytes, is one command) to an owner, and a
// receive shorter than a command to a message box.

#include "net/CLayeredSocket.h"
#include "upload/model/CServiceSocket.h"

#include <functional>
#include <string>

class CPlainSocket : public CLayeredSocket {
public:
    static constexpr int kCommandRead = 39;
    static constexpr int kCommandLength = 5;

    void SetOwner(IServiceSocketOwner* owner) { m_owner = owner; }
    // Where a short receive is shown (a plain message box in the program).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_message = std::move(sink); }

    void OnConnect(int error) override;
    void OnReceive(int error) override;

private:
    IServiceSocketOwner* m_owner = nullptr;
    std::function<void(const std::string&)> m_message;
};
