// The manager program itself, started under the tests' X server with a home and XDG
// folders of its own; its windows are watched through the X server.
#include "manager/WindowPlacement.h"
#include "platform/SettingsStore.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const char kTitle[] = "Lanternfolio Photo Editor";
const char kSettingsKey[] = "Software\\Lanternfolio\\Version 1.0";
const char kPlacementSection[] = "Lanternfolio Photo Editor\\Settings";

// A started program; killed at the end of the test if it is still running.
class Program {
public:
    Program(const fs::path& exe, const std::vector<std::string>& args, const fs::path& cwd)
    {
        std::vector<char*> argv{const_cast<char*>(exe.c_str())};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        m_start = std::chrono::steady_clock::now();
        m_pid = fork();
        if (m_pid == 0) {
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
        Window rootOut, parent, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, m_root, &rootOut, &parent, &children, &count))
            return found;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes attributes;
            const std::vector<unsigned long> owner = Property(children[i], "_NET_WM_PID", XA_CARDINAL);
            if (owner.size() == 1 && static_cast<pid_t>(owner[0]) == pid &&
                XGetWindowAttributes(m_display, children[i], &attributes) && attributes.map_state == IsViewable &&
                (title.empty() || Name(children[i]) == title))
                found.push_back(children[i]);
        }
        if (children)
            XFree(children);
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
private:
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

class QuorixProgramTest : public ::testing::Test {
protected:
    QuorixProgramTest()
        : home(dir / "home"), config(dir / "config"), runtime(dir / "runtime"), work(dir / "work"),
          envHome("HOME", home.string()), envConfig("XDG_CONFIG_HOME", config.string()),
          envData("XDG_DATA_HOME", (dir / "data").string()), envCache("XDG_CACHE_HOME", (dir / "cache").string()),
          envRuntime("XDG_RUNTIME_DIR", runtime.string()), envBridge("NO_AT_BRIDGE", "1")
    {
        for (const fs::path& p : {home, config, runtime, work, dir / "data", dir / "cache"})
            fs::create_directories(p);
        fs::permissions(runtime, fs::perms::owner_all);
    }
    void SetUp() override { ASSERT_TRUE(x.Ok()) << "no X display"; }

    static fs::path Quorix() { return fs::path(LF_BIN_DIR) / "quorix"; }
    lfplat::SettingsStore Settings() const { return lfplat::SettingsStore((config / "Lanternfolio/settings.ini").string()); }
    std::string Setting(const char* section, const char* name) const
    {
        return Settings().GetString(section, name, "<none>");
    }
    // Waits for the program to end, watching whether it shows a window meanwhile.
    struct Ending {
        std::optional<int> status;
        bool showedWindow = false;
    };
    Ending WatchUntilExit(Program& program, std::chrono::milliseconds timeout)
    {
        Ending ending;
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (program.Running() && std::chrono::steady_clock::now() < until) {
            ending.showedWindow |= !x.Find(program.Pid()).empty();
            std::this_thread::sleep_for(5ms);
        }
        ending.status = program.WaitExit(0ms);
        return ending;
    }
    // Closes the manager as a window manager would and waits for it to end.
    void CloseAndWait(Program& program, Window window)
    {
        x.AskToClose(window);
        EXPECT_EQ(program.WaitExit(30s), 0);
    }

    lftest::TempDir dir;
    fs::path home, config, runtime, work;
    lftest::ScopedEnv envHome, envConfig, envData, envCache, envRuntime, envBridge;
    XWatch x;
};

void SaveScreenshot(const fs::path& file)
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    wxScreenDC screen;
    const wxSize size = screen.GetSize();
    wxBitmap shot(size);
    {
        wxMemoryDC memory(shot);
        memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
    }
    fs::create_directories(file.parent_path());
    EXPECT_TRUE(shot.ConvertToImage().SaveFile(file.string(), wxBITMAP_TYPE_PNG));
    EXPECT_GT(fs::file_size(file), 1000u);
}

TEST_F(QuorixProgramTest, StartsWithItsWindowWritesTheDefaultsAndStoresThePlacementOnClose)
{
    Program quorix(Quorix(), {}, work);
    const auto window = x.WaitForOne(quorix.Pid(), kTitle);
    ASSERT_TRUE(window) << "no window titled " << kTitle;
    EXPECT_EQ(Setting(kSettingsKey, "LeftViewWidth"), "200");
    EXPECT_EQ(Setting(kSettingsKey, "LeftViewHeigth"), "220");
    EXPECT_EQ(Setting(kSettingsKey, "UploadType"), "0");

    lftest::PumpFor(1000ms);  // let it paint before the picture is taken
    SaveScreenshot(fs::path(LF_BIN_DIR).parent_path() / "artefacts" / "quorix-started.png");

    CloseAndWait(quorix, *window);
    EXPECT_GT(std::stoi(Setting(kSettingsKey, "WindowHeight")), 0);
    const std::string placement = Setting(kPlacementSection, "MainWndPos");
    auto parsed = WindowPlacement::Parse(placement);
    ASSERT_TRUE(parsed) << placement;
    EXPECT_FALSE(parsed->IsMaximized());
}

TEST_F(QuorixProgramTest, AMaximisedCloseReopensMaximised)
{
    const char stored[] = "2,3,-1,-1,-1,-1,40,30,840,630";
    Settings().Set(kPlacementSection, "MainWndPos", stored);
    Program quorix(Quorix(), {}, work);
    const auto window = x.WaitForOne(quorix.Pid(), kTitle);
    ASSERT_TRUE(window);
    // With no window manager nobody confirms the maximised state on the screen: what
    // counts is that the manager keeps it, over the stored normal rectangle, for the next run.
    CloseAndWait(quorix, *window);
    EXPECT_EQ(Setting(kPlacementSection, "MainWndPos"), stored);
}

TEST_F(QuorixProgramTest, ASecondManagerEndsWithinTwoSecondsWithoutAWindow)
{
    Program first(Quorix(), {}, work);
    const auto window = x.WaitForOne(first.Pid(), kTitle);
    ASSERT_TRUE(window);

    Program second(Quorix(), {}, work);
    const Ending ending = WatchUntilExit(second, 2s);
    EXPECT_EQ(ending.status, 0) << "the second manager still runs, or ended as if it had failed";
    EXPECT_LT(second.Lifetime(), 2s);
    EXPECT_FALSE(ending.showedWindow) << "the second manager showed a window";
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(x.Find(first.Pid()).size(), 1u);
    CloseAndWait(first, *window);
}

TEST_F(QuorixProgramTest, TwoStartedTogetherLeaveExactlyOne)
{
    Program a(Quorix(), {}, work);
    Program b(Quorix(), {}, work);
    // Whichever took the lock shows its window; the other ends.
    const auto until = std::chrono::steady_clock::now() + 30s;
    while (a.Running() && b.Running() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(10ms);
    const bool aRuns = a.Running(), bRuns = b.Running();
    ASSERT_NE(aRuns, bRuns) << "exactly one of the two keeps running";
    Program& survivor = aRuns ? a : b;
    Program& ended = aRuns ? b : a;
    EXPECT_EQ(ended.WaitExit(0ms), 0) << "the one that gave way ended without failing";
    const auto window = x.WaitForOne(survivor.Pid(), kTitle);
    ASSERT_TRUE(window);
    EXPECT_EQ(x.Find(survivor.Pid()).size(), 1u);
    EXPECT_TRUE(x.Find(ended.Pid()).empty());
    lftest::PumpFor(300ms);
    EXPECT_TRUE(survivor.Running());
    CloseAndWait(survivor, *window);
}

TEST_F(QuorixProgramTest, AnImageOnTheCommandLineGoesToTheEditorAsOneArgument)
{
    // The manager and a recording editor side by side in a folder of their own.
    const fs::path app = dir / "app";
    fs::create_directories(app);
    std::error_code linked;
    fs::create_hard_link(Quorix(), app / "quorix", linked);
    if (linked)
        fs::copy_file(Quorix(), app / "quorix");
    lftest::WriteText(app / "pixoro", "#!/bin/sh\n"
                                      "out=\"$(dirname \"$0\")/record\"\n"
                                      "{ pwd; printf '%s\\0' \"$@\"; } > \"$out.part\" && mv \"$out.part\" \"$out\"\n");
    fs::permissions(app / "pixoro", fs::perms::owner_all);

    Program quorix(app / "quorix", {"/tmp/a b.jpg"}, work);
    const Ending ending = WatchUntilExit(quorix, 30s);
    ASSERT_TRUE(ending.status);
    EXPECT_EQ(*ending.status, 0) << "the hand-off succeeded";
    EXPECT_FALSE(ending.showedWindow) << "the manager opened a window";
    const fs::path record = app / "record";
    for (int i = 0; i < 500 && !fs::exists(record); ++i)
        std::this_thread::sleep_for(10ms);
    const std::string text = lftest::ReadText(record);
    const size_t eol = text.find('\n');
    ASSERT_NE(eol, std::string::npos) << text;
    // The two programs share their files (the parameter file) in the working folder.
    EXPECT_EQ(fs::canonical(text.substr(0, eol)), fs::canonical(work)) << "started in the manager's working folder";
    EXPECT_EQ(text.substr(eol + 1), std::string("/tmp/a b.jpg") + '\0') << "exactly one argument, as given";
    EXPECT_FALSE(fs::exists(work / "qkparam.dat")) << "this road writes no parameter file";
}

}  // namespace
