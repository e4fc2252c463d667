#include "upload/model/CPlainSocket.h"

#include <cstring>

void CPlainSocket::OnConnect(int error)
{
    if (!error && m_owner)
        m_owner->OnSocketConnected();
}

void CPlainSocket::OnReceive(int error)
{
    char buffer[kCommandRead + 1] = {};
    const int n = Receive(buffer, kCommandRead);
    const std::string text(buffer, strnlen(buffer, n > 0 ? static_cast<size_t>(n) : 0));
    if (n < kCommandLength && m_message)
        m_message(text);
    // A failed or empty read is no command.
    if (!error && n > 0 && m_owner)
        m_owner->OnServerCommand(text);
}
