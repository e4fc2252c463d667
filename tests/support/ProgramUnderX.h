#pragma once
// Programs of the suite started by tests under the tests' X server, and a connection of
// the test's own to that server that finds their windows and closes them.

#include "tests/support/TestEnv.h"

// Before the X headers, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace lftest {

using namespace std::chrono_literals;

// A started program; killed at the end of the test if it is still running.
class Program {
public:
    // With errorOutput, the program's error output goes to that file.
    Program(const std::filesystem::path& exe, const std::vector<std::string>& args, const std::filesystem::path& cwd,
            const std::filesystem::path& errorOutput = {})
    {
        std::vector<char*> argv{const_cast<char*>(exe.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        m_start = std::chrono::steady_clock::now();
        m_pid = fork();
        if (m_pid == 0) {
            // As a user's shell starts it: signals the test ignores or blocks (a file size
            // limit's SIGXFSZ) would outlive the exec and hide what the program does.
            for (int s = 1; s < NSIG; ++s)
                ::signal(s, SIG_DFL);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            if (!errorOutput.empty()) {
                const int fd = ::open(errorOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                if (fd >= 0)
                    dup2(fd, 2);
            }
            if (chdir(cwd.c_str()) == 0)
                execv(exe.c_str(), argv.data());
            _exit(127);
        }
    }
    ~Program()
    {
        if (Running()) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool Running()
    {
        if (m_status)
            return false;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_status = status;
            m_end = std::chrono::steady_clock::now();
            return false;
        }
        return true;
    }
    // The exit status once the program has ended within the time, else nothing.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout)
    {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (Running() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(10ms);
        if (Running())
            return std::nullopt;
        return WIFEXITED(*m_status) ? WEXITSTATUS(*m_status) : 128 + WTERMSIG(*m_status);
    }
    pid_t Pid() const { return m_pid; }
    std::chrono::milliseconds Lifetime() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(m_end - m_start);
    }

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
    std::chrono::steady_clock::time_point m_start, m_end;
};

// A connection of our own to the X server: finds the shown top-level windows of a
// process and asks windows to close as a window manager does. Other tests may show
// windows on the same server at the same time, so windows count by process.
class XWatch {
public:
    XWatch() : m_display(XOpenDisplay(nullptr))
    {
        if (m_display) {
            m_root = DefaultRootWindow(m_display);
            s_previousHandler = XSetErrorHandler(&XWatch::OnError);
            s_display = m_display;
        }
    }
    ~XWatch()
    {
        if (m_display) {
            XSetErrorHandler(s_previousHandler);
            s_display = nullptr;
            XCloseDisplay(m_display);
        }
    }
    bool Ok() const { return m_display != nullptr; }

    // The shown top-level windows of process pid titled title (any title when empty).
    std::vector<Window> Find(pid_t pid, const std::string& title = {})
    {
        std::vector<Window> found;
        for (const Shown& w : AllShown())
            if (w.pid == pid && (title.empty() || w.title == title))
                found.push_back(w.window);
        return found;
    }
    std::optional<Window> WaitForOne(pid_t pid, const std::string& title, std::chrono::milliseconds timeout = 30s)
    {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            if (auto windows = Find(pid, title); !windows.empty())
                return windows.front();
            std::this_thread::sleep_for(20ms);
        }
        return std::nullopt;
    }
    // Waits for a window of process pid titled title other than except (a message box over
    // the main window), asks it to close and waits until it has gone. False when none
    // came or it stayed. Waiting for that one window to go cannot be fooled by the next
    // box, which a program may show at once.
    bool CloseBox(pid_t pid, const std::string& title, std::optional<Window> except,
                  std::chrono::milliseconds timeout = 30s)
    {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            for (Window w : Find(pid, title)) {
                if (except && w == *except)
                    continue;
                AskToClose(w);
                while (std::chrono::steady_clock::now() < until) {
                    const auto shown = Find(pid, title);
                    if (std::find(shown.begin(), shown.end(), w) == shown.end())
                        return true;
                    std::this_thread::sleep_for(20ms);
                }
                return false;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    void AskToClose(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = Intern("WM_PROTOCOLS");
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(Intern("WM_DELETE_WINDOW"));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, window, False, NoEventMask, &event);
        XFlush(m_display);
    }
    std::string Title(Window window) { return Name(window); }

    // Asks the window manager to maximise a window or to take the state away.
    void SetMaximised(Window window, bool maximised)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = Intern("_NET_WM_STATE");
        event.xclient.format = 32;
        event.xclient.data.l[0] = maximised ? 1 : 0;
        event.xclient.data.l[1] = static_cast<long>(Intern("_NET_WM_STATE_MAXIMIZED_VERT"));
        event.xclient.data.l[2] = static_cast<long>(Intern("_NET_WM_STATE_MAXIMIZED_HORZ"));
        event.xclient.data.l[3] = 1;
        XSendEvent(m_display, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XFlush(m_display);
    }
    // The state the window manager has set on the window.
    bool IsMaximised(Window window)
    {
        const std::vector<unsigned long> states = Property(window, "_NET_WM_STATE", XA_ATOM);
        return std::find(states.begin(), states.end(), Intern("_NET_WM_STATE_MAXIMIZED_VERT")) != states.end();
    }
    // The window's own size (its frame not counted).
    std::pair<int, int> Size(Window window)
    {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(m_display, window, &attributes))
            return {0, 0};
        return {attributes.width, attributes.height};
    }
    // Where the window's own top left corner lies on the screen.
    std::pair<int, int> Position(Window window)
    {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(m_display, window, m_root, 0, 0, &x, &y, &child);
        return {x, y};
    }
    // The window manager's frame around the window (left, right, top, bottom); empty
    // until the window manager has set it.
    std::vector<unsigned long> FrameExtents(Window window) { return Property(window, "_NET_FRAME_EXTENTS", XA_CARDINAL); }
    // The screen's size.
    std::pair<int, int> ScreenSize()
    {
        return {DisplayWidth(m_display, DefaultScreen(m_display)), DisplayHeight(m_display, DefaultScreen(m_display))};
    }

    // True when a window manager runs on the display.
    bool HasWindowManager() { return !Property(m_root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty(); }

    // The shown top-level windows titled title, of any process, with their process ids.
    std::vector<std::pair<Window, pid_t>> FindTitled(const std::string& title)
    {
        std::vector<std::pair<Window, pid_t>> found;
        for (const Shown& w : AllShown())
            if (w.title == title)
                found.emplace_back(w.window, w.pid);
        return found;
    }

private:
    struct Shown {
        Window window;
        pid_t pid;
        std::string title;
    };
    // Every shown top-level window that names its process.
    std::vector<Shown> AllShown()
    {
        std::vector<Shown> shown;
        Window rootOut, parent, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, m_root, &rootOut, &parent, &children, &count))
            return shown;
        for (unsigned i = 0; i < count; ++i)
            Collect(children[i], 0, shown);
        if (children)
            XFree(children);
        return shown;
    }
    // A program's window is a child of the root, or inside the frame a window manager
    // puts around it.
    void Collect(Window window, int depth, std::vector<Shown>& shown)
    {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(m_display, window, &attributes) || attributes.map_state != IsViewable)
            return;
        const std::vector<unsigned long> owner = Property(window, "_NET_WM_PID", XA_CARDINAL);
        if (owner.size() == 1) {
            shown.push_back({window, static_cast<pid_t>(owner[0]), Name(window)});
            return;
        }
        if (depth >= 3)
            return;
        Window rootOut, parent, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, window, &rootOut, &parent, &children, &count))
            return;
        for (unsigned i = 0; i < count; ++i)
            Collect(children[i], depth + 1, shown);
        if (children)
            XFree(children);
    }

    // Windows may vanish while they are looked at; errors of this connection are expected.
    static int OnError(Display* display, XErrorEvent* error)
    {
        if (display == s_display)
            return 0;
        return s_previousHandler ? s_previousHandler(display, error) : 0;
    }
    static inline Display* s_display = nullptr;
    static inline XErrorHandler s_previousHandler = nullptr;

    ::Atom Intern(const char* name) { return XInternAtom(m_display, name, False); }
    std::string Name(Window window)
    {
        const std::vector<unsigned long> bytes = Property(window, "_NET_WM_NAME", Intern("UTF8_STRING"));
        return std::string(bytes.begin(), bytes.end());
    }
    std::vector<unsigned long> Property(Window window, const char* name, ::Atom type)
    {
        ::Atom actualType;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(m_display, window, Intern(name), 0, 1024, False, type, &actualType, &format, &count,
                               &after, &data) == Success &&
            data) {
            for (unsigned long i = 0; i < count; ++i)
                values.push_back(format == 8    ? data[i]
                                 : format == 32 ? reinterpret_cast<unsigned long*>(data)[i]
                                                : 0);
            XFree(data);
        }
        return values;
    }

    Display* m_display;
    Window m_root = 0;
};

// A home, XDG folders and a working folder of a program's own inside a temporary folder,
// set in the environment the program is started with.
struct ProgramFolders {
    ProgramFolders()
        : home(dir / "home"), config(dir / "config"), runtime(dir / "runtime"), work(dir / "work"),
          envHome("HOME", home.string()), envConfig("XDG_CONFIG_HOME", config.string()),
          envData("XDG_DATA_HOME", (dir / "data").string()), envCache("XDG_CACHE_HOME", (dir / "cache").string()),
          envRuntime("XDG_RUNTIME_DIR", runtime.string()), envBridge("NO_AT_BRIDGE", "1")
    {
        for (const std::filesystem::path& p : {home, config, runtime, work, dir / "data", dir / "cache"})
            std::filesystem::create_directories(p);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    }

    TempDir dir;
    std::filesystem::path home, config, runtime, work;
    ScopedEnv envHome, envConfig, envData, envCache, envRuntime, envBridge;
};

}  // namespace lftest
