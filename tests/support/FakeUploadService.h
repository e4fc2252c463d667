#pragma once
// A stand-in for the upload host, on loopback: it leads the exchange (AUTHZ, FILEN,
// FILES, FILEC..., OKBYE) and checks every byte of the client's records: command,
// argument digits and their zero fill, payload and its zero fill, the FILEC length
// formula. What it finds wrong goes into Errors(); the files it received into Files().
// Connections are served side by side, each on a thread of its own: a client may hold
// one open without greeting (a proxy's pre-connection) while it uploads on another.

#include "tests/support/LoopbackListener.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lftest {

class FakeUploadService {
public:
    struct Options {
        std::string uidSid;
        std::string inboxPath;
        int totalFiles = 0;  // the upload list's length; FILEN tells how many are left
        // First greeting connection only: after this many FILEC records the service
        // goes silent until the client closes (-1: never).
        int stallAfterChunks = -1;
        // Sent right after the client's HELLO (answered records are checked as DKNOW).
        std::vector<std::string> oddCommands;
    };

    explicit FakeUploadService(Options options);
    ~FakeUploadService();

    int Port() const { return m_listener.Port(); }
    std::vector<std::string> Errors() const;
    // By index in the upload list; a file restarted on a later connection replaces
    // what arrived before.
    std::map<int, std::vector<char>> Files() const;
    int Connections() const { return m_connections; }
    // Connections that sent HELLO.
    int Greetings() const { return m_greetings; }
    // Connections the client closed without sending a byte.
    int Silent() const { return m_silent; }
    // Connections that reached OKBYE.
    int Completed() const { return m_completed; }
    // FILEN counts, per connection.
    std::vector<int> FilesLeftSeen() const;
    // FILEC records asked for, on all connections.
    int64_t ChunkRecords() const { return m_chunks; }
    // The first greeting connection has gone silent (stallAfterChunks reached).
    bool Stalled() const { return m_stalled; }

private:
    void Serve();
    void ServeConnection(int fd);
    bool ReadRecord(int fd, const std::string& command, std::vector<char>& record, std::string& argument,
                    std::string& payload);
    void Fail(const std::string& what);

    Options m_options;
    LoopbackListener m_listener;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::atomic<int> m_greetings{0};
    std::atomic<int> m_silent{0};
    std::atomic<int> m_completed{0};
    std::atomic<int64_t> m_chunks{0};
    std::atomic<bool> m_stalled{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_errors;
    std::map<int, std::vector<char>> m_files;
    std::vector<int> m_filesLeft;
    // The connections being served, shut down when the service ends so that none of
    // their threads waits for a client that is gone.
    std::vector<int> m_open;
    std::vector<std::thread> m_served;
    std::thread m_thread;
};

}  // namespace lftest
