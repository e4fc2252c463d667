#pragma once
// Hands values from threads to a window through a MessagePort: a thread queues a value
// and posts one message; the window, on the user-interface thread, takes every value
// queued so far when a message arrives (later messages may then find nothing). Once the
// port closes, at the latest when the inbox goes, senders are refused and their values
// dropped with the queue.

#include "platform/gui/MessagePort.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace lfplat {

template <class T>
class MessageInbox {
    struct Queue {
        std::mutex mutex;
        std::vector<T> items;
    };

public:
    class Sender {
    public:
        // Queues item for the window and posts the message; false once the port has
        // closed (the item is then dropped).
        bool Send(T item) const
        {
            {
                std::lock_guard lock(m_queue->mutex);
                m_queue->items.push_back(std::move(item));
            }
            return m_sink.Post(m_message);
        }

    private:
        friend class MessageInbox;
        Sender(std::shared_ptr<Queue> queue, MessagePort::Sink sink, int message)
            : m_queue(std::move(queue)), m_sink(std::move(sink)), m_message(message)
        {
        }
        std::shared_ptr<Queue> m_queue;
        MessagePort::Sink m_sink;
        int m_message;
    };

    // message: the number the target binds (lfplat::EVT_POSTED_MESSAGE with that id).
    MessageInbox(wxEvtHandler* target, int message) : m_port(target), m_message(message) {}

    Sender GetSender() const { return Sender(m_queue, m_port.GetSink(), m_message); }
    // What was queued so far, oldest first.
    std::vector<T> TakeAll()
    {
        std::vector<T> items;
        std::lock_guard lock(m_queue->mutex);
        items.swap(m_queue->items);
        return items;
    }

private:
    std::shared_ptr<Queue> m_queue = std::make_shared<Queue>();
    MessagePort m_port;
    int m_message;
};

}  // namespace lfplat
