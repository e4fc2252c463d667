#include "tests/support/FakeUploadService.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace lftest {

namespace {

bool AllZero(const std::vector<char>& bytes, size_t from)
{
    for (size_t i = from; i < bytes.size(); ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

// A field that runs up to its first zero byte within [from, to), zeros after it.
bool ZeroEnded(const std::vector<char>& bytes, size_t from, size_t to, std::string& text)
{
    size_t end = from;
    while (end < to && bytes[end] != 0)
        ++end;
    text.assign(bytes.data() + from, end - from);
    for (size_t i = end; i < to; ++i)
        if (bytes[i] != 0)
            return false;
    return true;
}

bool Digits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

}  // namespace

FakeUploadService::FakeUploadService(Options options) : m_options(std::move(options))
{
    m_thread = std::thread([this] { Serve(); });
}

FakeUploadService::~FakeUploadService()
{
    m_stop = true;
    m_thread.join();
    {
        std::lock_guard lock(m_mutex);
        for (int fd : m_open)
            ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& served : m_served)
        served.join();
}

std::vector<std::string> FakeUploadService::Errors() const
{
    std::lock_guard lock(m_mutex);
    return m_errors;
}

std::map<int, std::vector<char>> FakeUploadService::Files() const
{
    std::lock_guard lock(m_mutex);
    return m_files;
}

std::vector<int> FakeUploadService::FilesLeftSeen() const
{
    std::lock_guard lock(m_mutex);
    return m_filesLeft;
}

void FakeUploadService::Fail(const std::string& what)
{
    std::lock_guard lock(m_mutex);
    m_errors.push_back(what);
}

void FakeUploadService::Serve()
{
    for (;;) {
        const int fd = m_listener.Accept(m_stop);
        if (fd < 0)
            return;
        ++m_connections;
        std::lock_guard lock(m_mutex);
        m_open.push_back(fd);
        m_served.emplace_back([this, fd] {
            ServeConnection(fd);
            std::lock_guard closing(m_mutex);
            std::erase(m_open, fd);
            ::close(fd);
        });
    }
}

// Reads one 256-byte record of the given command and splits its fields.
bool FakeUploadService::ReadRecord(int fd, const std::string& command, std::vector<char>& record,
                                   std::string& argument, std::string& payload)
{
    record.assign(256, 0);
    if (!LoopbackListener::ReadExactly(fd, record.data(), record.size())) {
        Fail("connection ended before the " + command + " record");
        return false;
    }
    if (std::string(record.data(), 5) != command) {
        Fail("expected " + command + ", got " + std::string(record.data(), 5));
        return false;
    }
    if (!ZeroEnded(record, 5, 24, argument))
        Fail(command + ": bytes after the argument are not zero");
    if (!ZeroEnded(record, 24, 256, payload))
        Fail(command + ": bytes after the payload are not zero");
    return true;
}

void FakeUploadService::ServeConnection(int fd)
{
    const auto say = [&](const std::string& command) { return LoopbackListener::WriteAll(fd, command.data(), command.size()); };
    std::vector<char> record;
    std::string argument, payload;
    // A connection closed before its first byte is no failed greeting.
    char first;
    if (::recv(fd, &first, 1, MSG_PEEK) == 0) {
        ++m_silent;
        return;
    }
    if (!ReadRecord(fd, "HELLO", record, argument, payload))
        return;
    const int connection = m_greetings++;
    if (!argument.empty() || payload != "1.00")
        Fail("HELLO: argument '" + argument + "', payload '" + payload + "'");
    for (const std::string& odd : m_options.oddCommands) {
        say(odd);
        if (!ReadRecord(fd, "DKNOW", record, argument, payload))
            return;
        if (!argument.empty() || payload != odd.substr(0, 5))
            Fail("DKNOW for '" + odd + "' carries '" + payload + "'");
    }
    say("AUTHZ");
    if (!ReadRecord(fd, "AUTHZ", record, argument, payload))
        return;
    if (!argument.empty() || payload != m_options.uidSid)
        Fail("AUTHZ carries '" + payload + "'");
    say("FILEN");
    if (!ReadRecord(fd, "FILEN", record, argument, payload))
        return;
    if (!Digits(argument) || payload != m_options.inboxPath) {
        Fail("FILEN: argument '" + argument + "', payload '" + payload + "'");
        return;
    }
    const int left = std::stoi(argument);
    {
        std::lock_guard lock(m_mutex);
        m_filesLeft.push_back(left);
    }
    if (left < 0 || left > m_options.totalFiles) {
        Fail("FILEN counts " + argument + " files of " + std::to_string(m_options.totalFiles));
        return;
    }
    int chunks = 0;
    for (int index = m_options.totalFiles - left; index < m_options.totalFiles; ++index) {
        say("FILES");
        if (!ReadRecord(fd, "FILES", record, argument, payload))
            return;
        if (!Digits(argument) || !payload.empty()) {
            Fail("FILES: argument '" + argument + "', payload '" + payload + "'");
            return;
        }
        const long long size = std::stoll(argument);
        std::vector<char> file;
        while (static_cast<long long>(file.size()) < size) {
            if (connection == 0 && chunks == m_options.stallAfterChunks) {
                m_stalled = true;
                LoopbackListener::WaitForClose(fd, m_stop);
                return;
            }
            say("FILEC");
            ++chunks;
            ++m_chunks;
            std::vector<char> head(24);
            if (!LoopbackListener::ReadExactly(fd, head.data(), head.size())) {
                Fail("connection ended before a FILEC record");
                return;
            }
            if (std::string(head.data(), 5) != "FILEC") {
                Fail("expected FILEC, got " + std::string(head.data(), 5));
                return;
            }
            if (!ZeroEnded(head, 5, 24, argument) || !Digits(argument)) {
                Fail("FILEC argument '" + argument + "'");
                return;
            }
            const size_t n = std::stoul(argument);
            if (n > 10240 || (n < 10240 && static_cast<long long>(file.size() + n) != size)) {
                Fail("FILEC of " + argument + " bytes at " + std::to_string(file.size()) + " of " +
                     std::to_string(size));
                return;
            }
            const size_t length = 24 + n + 256 - ((24 + n) % 256);
            record.assign(length, 0);
            std::memcpy(record.data(), head.data(), head.size());
            if (!LoopbackListener::ReadExactly(fd, record.data() + 24, length - 24)) {
                Fail("FILEC record cut short");
                return;
            }
            if (!AllZero(record, 24 + n))
                Fail("FILEC: bytes after the data are not zero");
            file.insert(file.end(), record.begin() + 24, record.begin() + 24 + static_cast<long>(n));
        }
        std::lock_guard lock(m_mutex);
        m_files[index] = std::move(file);
    }
    say("OKBYE");
    if (LoopbackListener::WaitForClose(fd, m_stop))
        ++m_completed;
}

}  // namespace lftest
