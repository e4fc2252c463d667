#include "tests/net/NetTestPeers.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include <arpa/inet.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace nettest {

namespace {

int ListenLoopback(int port, int* chosen)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<uint16_t>(port));
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0 || listen(fd, 16) != 0) {
        close(fd);
        return -1;
    }
    socklen_t length = sizeof in;
    getsockname(fd, reinterpret_cast<sockaddr*>(&in), &length);
    if (chosen)
        *chosen = ntohs(in.sin_port);
    return fd;
}

int ConnectLoopback(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<uint16_t>(port));
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The inode of the socket listening on 127.0.0.1:port, or 0.
unsigned long ListeningInode(int port)
{
    std::ifstream in("/proc/net/tcp");
    std::string line;
    std::getline(in, line);
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout;
        unsigned long inode = 0;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
        if (local == wanted && state == "0A")
            return inode;
    }
    return 0;
}

// Whether pid or one of its descendants has the listening socket of port open.
bool HoldsListeningPort(int pid, int port)
{
    const unsigned long inode = ListeningInode(port);
    if (inode == 0)
        return false;
    const std::string target = "socket:[" + std::to_string(inode) + "]";
    std::vector<int> tree{pid};
    for (size_t i = 0; i < tree.size(); ++i) {
        std::error_code ec;
        for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(tree[i]) + "/fd", ec)) {
            std::error_code linkError;
            if (std::filesystem::read_symlink(fd.path(), linkError).string() == target)
                return true;
        }
        // Its children, from their status records.
        for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
            const std::string name = entry.path().filename().string();
            if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
                continue;
            std::ifstream stat(entry.path() / "stat");
            std::string text((std::istreambuf_iterator<char>(stat)), {});
            const size_t close = text.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream rest(text.substr(close + 2));
            char state;
            int parent = 0;
            rest >> state >> parent;
            if (parent == tree[i])
                tree.push_back(std::stoi(name));
        }
    }
    return false;
}

}  // namespace

std::string UnresolvableName(size_t length)
{
    const std::string suffix = ".invalid";
    return std::string(std::max<size_t>(length, 64 + suffix.size()) - suffix.size(), 'x') + suffix;
}

struct FakeNameServer::State {
    std::vector<std::pair<std::string, std::string>> answers;
    std::vector<std::string> missing;
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> asked;
    int inside = 0;
    int waiting = 0;
    bool released = false;

    bool Resolve(const std::string& host, in_addr_t& address, int& error)
    {
        std::unique_lock lock(mutex);
        asked.push_back(host);
        for (const auto& [name, dotted] : answers)
            if (name == host)
                return ParseIPv4(dotted.c_str(), address);
        if (std::find(missing.begin(), missing.end(), host) != missing.end()) {
            error = WSAHOST_NOT_FOUND;
            return false;
        }
        ++inside;
        ++waiting;
        changed.notify_all();
        changed.wait(lock, [&] { return released; });
        --waiting;
        --inside;
        changed.notify_all();
        error = WSATRY_AGAIN;
        return false;
    }
};

FakeNameServer::FakeNameServer(std::initializer_list<std::pair<const char*, const char*>> answers,
                               std::initializer_list<const char*> missing)
    : m_state(std::make_shared<State>()), m_dispatcher(CLayeredSocketDispatcher::ForThisThread())
{
    m_state->answers.assign(answers.begin(), answers.end());
    m_state->missing.assign(missing.begin(), missing.end());
    if (!m_dispatcher)
        return;
    m_previous = m_dispatcher->GetResolver();
    m_dispatcher->SetResolver([state = m_state](const std::string& host, in_addr_t& address, int& error) {
            return state->Resolve(host, address, error);
        });
}

FakeNameServer::~FakeNameServer()
{
    if (m_dispatcher)
        m_dispatcher->SetResolver(m_previous);
    Release();
    std::unique_lock lock(m_state->mutex);
    m_state->changed.wait(lock, [&] { return m_state->inside == 0; });
}

std::vector<std::string> FakeNameServer::Asked() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->asked;
}

int FakeNameServer::Waiting() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->waiting;
}

void FakeNameServer::Release()
{
    std::lock_guard lock(m_state->mutex);
    m_state->released = true;
    m_state->changed.notify_all();
}

int FreeLoopbackPort()
{
    int port = 0;
    const int fd = ListenLoopback(0, &port);
    close(fd);
    return port;
}

ClosedPort::ClosedPort()
{
    m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof in;
    if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&in), sizeof in) != 0 ||
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&in), &length) != 0)
        throw std::runtime_error("cannot bind a loopback port");
    m_port = ntohs(in.sin_port);
}

ClosedPort::~ClosedPort()
{
    if (m_fd >= 0)
        close(m_fd);
}

// ---- scripted peer ---------------------------------------------------------------

ScriptedPeer::ScriptedPeer(Script script, int connections)
{
    m_listen = ListenLoopback(0, &m_port);
    if (m_listen < 0)
        throw std::runtime_error("cannot listen on loopback");
    const int listenFd = m_listen;
    m_thread = std::thread([listenFd, current = m_current, script = std::move(script), connections] {
        for (int i = 0; i < connections; ++i) {
            const int fd = accept(listenFd, nullptr, nullptr);
            if (fd < 0)
                return;
            current->store(fd);
            script(fd);
            current->store(-1);
            close(fd);
        }
    });
}

ScriptedPeer::~ScriptedPeer()
{
    // Wakes a thread still waiting in accept.
    if (m_listen >= 0)
        shutdown(m_listen, SHUT_RDWR);
    const int serving = m_current->load();
    if (serving >= 0)
        shutdown(serving, SHUT_RDWR);
    Join();
    if (m_listen >= 0)
        close(m_listen);
}

void ScriptedPeer::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

std::string ReadExactly(int fd, size_t count)
{
    std::string data;
    char buffer[4096];
    while (data.size() < count) {
        const ssize_t n = recv(fd, buffer, std::min(sizeof buffer, count - data.size()), 0);
        if (n <= 0)
            break;
        data.append(buffer, static_cast<size_t>(n));
    }
    return data;
}

std::string ReadHttpHead(int fd)
{
    std::string head;
    char c;
    while (head.size() < 65536 && recv(fd, &c, 1, 0) == 1) {
        head += c;
        if (head.size() >= 4 && head.compare(head.size() - 4, 4, "\r\n\r\n") == 0)
            return head;
    }
    return {};
}

void WriteAll(int fd, const void* data, size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = send(fd, p, size, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        p += n;
        size -= static_cast<size_t>(n);
    }
}

void WriteAll(int fd, const std::string& text) { WriteAll(fd, text.data(), text.size()); }

void EchoUntilEof(int fd)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return;
        WriteAll(fd, buffer, static_cast<size_t>(n));
    }
}

void Relay(int fd, int targetPort)
{
    const int target = ConnectLoopback(targetPort);
    if (target < 0)
        return;
    pollfd fds[2] = {{fd, POLLIN, 0}, {target, POLLIN, 0}};
    bool open[2] = {true, true};
    char buffer[65536];
    while (open[0] || open[1]) {
        fds[0].events = open[0] ? POLLIN : 0;
        fds[1].events = open[1] ? POLLIN : 0;
        if (poll(fds, 2, -1) < 0)
            break;
        for (int i = 0; i < 2; ++i) {
            if (!open[i] || !fds[i].revents)
                continue;
            const ssize_t n = recv(fds[i].fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                open[i] = false;
                shutdown(fds[1 - i].fd, SHUT_WR);
            } else {
                WriteAll(fds[1 - i].fd, buffer, static_cast<size_t>(n));
            }
        }
    }
    close(target);
}

// ---- child processes -------------------------------------------------------------

std::string FindProgram(const std::string& name)
{
    for (const char* dir : {"/usr/sbin", "/usr/bin", "/sbin", "/bin", "/usr/local/sbin", "/usr/local/bin"}) {
        const std::string path = std::string(dir) + "/" + name;
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return {};
}

bool ChildProcess::Start(const std::vector<std::string>& argv, int port, const std::filesystem::path& log,
                         std::string& error)
{
    if (argv.empty() || argv[0].empty() || access(argv[0].c_str(), X_OK) != 0) {
        error = "peer program missing: " + (argv.empty() ? std::string() : argv[0]) +
                " (scripts/install-deps.sh installs it)";
        return false;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        const int in = open("/dev/null", O_RDONLY);
        if (in >= 0)
            dup2(in, 0);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    if (pid < 0)
        return false;
    m_pid = pid;
    // Ready once its own process tree holds the listening socket (then a connection
    // reaches it) and it accepts; a program that died is reported.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        int status;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            std::ifstream in(log);
            error = argv[0] + " ended at start: " + std::string(std::istreambuf_iterator<char>(in), {});
            return false;
        }
        if (HoldsListeningPort(m_pid, port)) {
            const int fd = ConnectLoopback(port);
            if (fd >= 0) {
                close(fd);
                return true;
            }
        }
        usleep(20000);
    }
    error = argv[0] + " did not listen on port " + std::to_string(port);
    Stop();
    return false;
}

bool ChildProcess::StartOnFreePort(const std::function<std::vector<std::string>(int port)>& argvFor, int& port,
                                   const std::filesystem::path& log, std::string& error)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        port = FreeLoopbackPort();
        if (Start(argvFor(port), port, log, error))
            return true;
        std::ifstream in(log);
        const std::string said(std::istreambuf_iterator<char>(in), {});
        // Someone else took the port between the look and the bind: another port.
        const bool taken = said.find("in use") != std::string::npos || said.find("EADDRINUSE") != std::string::npos ||
                           said.find("bind") != std::string::npos || error.find("did not listen") != std::string::npos;
        Stop();
        if (!taken)
            return false;
    }
    return false;
}

void ChildProcess::Stop()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        int status;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return;
        }
        usleep(10000);
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

ChildProcess::~ChildProcess() { Stop(); }

bool StartHttpProxy(ChildProcess& process, const std::filesystem::path& dir, int& port, const std::string& user,
                    const std::string& password, std::string& error)
{
    const auto config = dir / "http-proxy.conf";
    const auto argvFor = [&](int p) {
        std::ofstream out(config);
        out << "Port " << p << "\nListen 127.0.0.1\nTimeout 60\nMaxClients 20\nAllow 127.0.0.1\n"
            << "LogLevel Info\nDisableViaHeader Yes\n";
        if (!user.empty())
            out << "BasicAuth " << user << " " << password << "\n";
        return std::vector<std::string>{FindProgram("tinyproxy"), "-d", "-c", config.string()};
    };
    return process.StartOnFreePort(argvFor, port, dir / "http-proxy.log", error);
}

bool StartSocksServer(ChildProcess& process, const std::filesystem::path& dir, int& port, bool userPassword,
                      std::string& error)
{
    const auto config = dir / "socks.conf";
    const auto argvFor = [&](int p) {
        std::ofstream out(config);
        out << "logoutput: " << (dir / "socks-server.log").string() << "\n"
            << "internal: 127.0.0.1 port = " << p << "\n"
            << "external: 127.0.0.1\n"
            << "clientmethod: none\n"
            << "socksmethod: " << (userPassword ? "username" : "none") << "\n"
            << "user.privileged: root\nuser.unprivileged: nobody\n"
            << "client pass {\n from: 127.0.0.0/8 to: 0.0.0.0/0\n}\n"
            << "socks pass {\n from: 127.0.0.0/8 to: 127.0.0.0/8\n}\n";
        return std::vector<std::string>{FindProgram("danted"), "-f", config.string(), "-N", "1", "-p",
                                        (dir / "socks.pid").string()};
    };
    return process.StartOnFreePort(argvFor, port, dir / "socks.out", error);
}

// ---- recording socket ------------------------------------------------------------

int RecordingSocket::Count(long event) const
{
    int count = 0;
    for (const auto& h : heard)
        count += h.event == event;
    return count;
}

int RecordingSocket::FirstError(long event) const
{
    for (const auto& h : heard) {
        if (h.event == event)
            return h.error;
    }
    return -1;
}

void RecordingSocket::OnConnect(int error)
{
    heard.push_back({FD_CONNECT, error});
    if (onConnect)
        onConnect(error);
}

void RecordingSocket::OnReceive(int error)
{
    heard.push_back({FD_READ, error});
    if (onReceive)
        onReceive(error);
}

void RecordingSocket::OnSend(int error)
{
    heard.push_back({FD_WRITE, error});
    if (onSend)
        onSend(error);
}

void RecordingSocket::OnClose(int error)
{
    heard.push_back({FD_CLOSE, error});
    if (onClose)
        onClose(error);
}

void RecordingSocket::OnAccept(int error)
{
    heard.push_back({FD_ACCEPT, error});
    if (onAccept)
        onAccept(error);
}

int RecordingSocket::OnLayerCallback(CSocketLayer*, int type, int param1, intptr_t param2)
{
    Notice notice{type, param1, param2, {}};
    if (type == 1 && param2 && noticeHasText(param1))
        notice.text = reinterpret_cast<const char*>(param2);
    notices.push_back(notice);
    return answer ? answer(notice) : 1;
}

void RecordingSocket::Drain(std::string& sink)
{
    char buffer[65536];
    for (;;) {
        const int n = Receive(buffer, sizeof buffer);
        if (n <= 0)
            return;
        sink.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace nettest
