// The window placement of both programs on a display with a window manager, which
// sends the states and sizes in its own order and puts a frame of its own around the
// windows (the tests' shared display has none): starts keep the window's size and place,
// a first start opens wholly on the screen, and a window closed maximised keeps its
// normal size and opens maximised over it.
#include "platform/WindowPlacement.h"
#include "tests/support/ProgramUnderX.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using lftest::Program;

namespace {

const char kTitle[] = "Lanternfolio Photo Editor";

bool SocketListed(int display)
{
    const std::string name = "/tmp/.X11-unix/X" + std::to_string(display);
    const std::string table = lftest::ReadText("/proc/net/unix");
    return table.find(name + "\n") != std::string::npos;
}

// An X server of the test's own with a window manager on it; DISPLAY names it while
// the object lives.
class DisplayWithWindowManager {
public:
    DisplayWithWindowManager()
    {
        for (int attempt = 0; attempt < 20 && !m_server; ++attempt) {
            const int n = 1000 + (std::rand() + ::getpid() * 7 + attempt * 131) % 2000;
            if (SocketListed(n))
                continue;
            std::string name = ":";
            name += std::to_string(n);
            auto server = std::make_unique<Program>(
                "/usr/bin/Xvfb", std::vector<std::string>{name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                                                          "-noreset"},
                "/");
            const auto until = std::chrono::steady_clock::now() + 20s;
            while (!SocketListed(n) && server->Running() && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(20ms);
            if (SocketListed(n) && server->Running()) {
                m_server = std::move(server);
                m_env.emplace("DISPLAY", name);
            }
        }
        if (!m_server)
            return;
        m_manager = std::make_unique<Program>("/usr/bin/openbox", std::vector<std::string>{}, "/");
    }
    bool Ok() const { return m_server && m_manager; }

private:
    std::unique_ptr<Program> m_server;
    std::optional<lftest::ScopedEnv> m_env;
    std::unique_ptr<Program> m_manager;
};

bool WaitForWindowManager(lftest::XWatch& x)
{
    const auto until = std::chrono::steady_clock::now() + 30s;
    while (!x.HasWindowManager() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(20ms);
    return x.HasWindowManager();
}

// Waits until the window manager has framed the window and its place and size have held
// for a while (the window manager and the toolkit exchange a few sizes first).
bool WaitSettled(lftest::XWatch& x, Window window)
{
    const auto until = std::chrono::steady_clock::now() + 30s;
    auto last = std::make_pair(x.Position(window), x.Size(window));
    int steady = 0;
    while (std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(30ms);
        const auto now = std::make_pair(x.Position(window), x.Size(window));
        steady = now == last && x.FrameExtents(window).size() == 4 ? steady + 1 : 0;
        last = now;
        if (steady >= 15)
            return true;
    }
    return false;
}

// What the toolkit says on its error output when a window is laid out at a size below
// its contents' (a window mapped at a passing tiny size).
bool HasLayoutWarning(const std::string& errors)
{
    for (const char* text : {"Gtk-CRITICAL", "Gtk-WARNING", "Invalid rectangle"})
        if (errors.find(text) != std::string::npos)
            return true;
    return false;
}

class PlacementUnderWindowManager : public ::testing::TestWithParam<const char*>, protected lftest::ProgramFolders {
protected:
    fs::path Exe() const { return fs::path(LF_BIN_DIR) / GetParam(); }
    std::optional<PlacementRect> StoredNormal()
    {
        const std::string text = lftest::ReadText(config / "Lanternfolio/settings.ini");
        const size_t at = text.find("MainWndPos=");
        if (at == std::string::npos)
            return std::nullopt;
        const size_t end = text.find('\n', at);
        const auto placement = WindowPlacement::Parse(text.substr(at + 11, end - at - 11));
        if (!placement)
            return std::nullopt;
        return placement->Normal();
    }
};

TEST_P(PlacementUnderWindowManager, AWindowClosedMaximisedKeepsItsNormalSize)
{
    DisplayWithWindowManager display;
    ASSERT_TRUE(display.Ok()) << "Xvfb or openbox did not start";
    lftest::XWatch x;
    ASSERT_TRUE(x.Ok());
    ASSERT_TRUE(WaitForWindowManager(x));

    // First start: a normal window, which the user maximises and closes.
    std::pair<int, int> normalSize;
    {
        Program program(Exe(), {}, work);
        const auto window = x.WaitForOne(program.Pid(), kTitle);
        ASSERT_TRUE(window);
        // The window manager settles the window's size before the user acts.
        std::this_thread::sleep_for(500ms);
        normalSize = x.Size(*window);
        ASSERT_GT(normalSize.first, 300);
        x.SetMaximised(*window, true);
        const auto maximisedBy = std::chrono::steady_clock::now() + 30s;
        while (!(x.IsMaximised(*window) && x.Size(*window).first > normalSize.first) &&
               std::chrono::steady_clock::now() < maximisedBy)
            std::this_thread::sleep_for(20ms);
        ASSERT_TRUE(x.IsMaximised(*window));
        std::this_thread::sleep_for(300ms);
        x.AskToClose(*window);
        ASSERT_EQ(program.WaitExit(30s), 0);
    }
    const auto stored = StoredNormal();
    ASSERT_TRUE(stored);
    // The stored rectangle is the window's with its frame as the toolkit counts it.
    EXPECT_GE(stored->width, normalSize.first);
    EXPECT_LE(stored->width, normalSize.first + 40);
    EXPECT_GE(stored->height, normalSize.second);
    EXPECT_LE(stored->height, normalSize.second + 80);

    // Second start: maximised; taking the state away gives the normal size back.
    {
        Program program(Exe(), {}, work);
        const auto window = x.WaitForOne(program.Pid(), kTitle);
        ASSERT_TRUE(window);
        const auto maximisedBy = std::chrono::steady_clock::now() + 30s;
        while (!x.IsMaximised(*window) && std::chrono::steady_clock::now() < maximisedBy)
            std::this_thread::sleep_for(20ms);
        ASSERT_TRUE(x.IsMaximised(*window));
        std::this_thread::sleep_for(300ms);
        x.SetMaximised(*window, false);
        const auto restoredBy = std::chrono::steady_clock::now() + 30s;
        // The normal size comes back; it may come back larger by the window's frame, which
        // the toolkit does not always know yet when a window shown maximised is restored.
        auto near = [&](std::pair<int, int> size) {
            const int dw = size.first - normalSize.first, dh = size.second - normalSize.second;
            return dw >= -8 && dw <= 40 && dh >= -30 && dh <= 80;
        };
        while (!(!x.IsMaximised(*window) && near(x.Size(*window))) && std::chrono::steady_clock::now() < restoredBy)
            std::this_thread::sleep_for(20ms);
        EXPECT_FALSE(x.IsMaximised(*window));
        const auto restored = x.Size(*window);
        EXPECT_TRUE(near(restored)) << restored.first << " x " << restored.second << " against " << normalSize.first
                                    << " x " << normalSize.second;
        x.AskToClose(*window);
        ASSERT_EQ(program.WaitExit(30s), 0);
    }
}

TEST_P(PlacementUnderWindowManager, StartsKeepTheWindowsSizeAndPlace)
{
    DisplayWithWindowManager display;
    ASSERT_TRUE(display.Ok()) << "Xvfb or openbox did not start";
    lftest::XWatch x;
    ASSERT_TRUE(x.Ok());
    ASSERT_TRUE(WaitForWindowManager(x));
    const auto [screenWidth, screenHeight] = x.ScreenSize();

    std::pair<int, int> firstPosition, firstSize;
    for (int start = 0; start < 5; ++start) {
        SCOPED_TRACE("start " + std::to_string(start + 1));
        const fs::path errors = dir / ("errors-" + std::to_string(start) + ".txt");
        Program program(Exe(), {}, work, errors);
        const auto window = x.WaitForOne(program.Pid(), kTitle);
        ASSERT_TRUE(window);
        ASSERT_TRUE(WaitSettled(x, *window));
        const auto position = x.Position(*window);
        const auto size = x.Size(*window);
        if (start == 0) {
            // No stored placement: the window opens wholly on the screen, frame and all,
            // about in its middle.
            const auto frame = x.FrameExtents(*window);
            const int left = position.first - int(frame[0]), right = position.first + size.first + int(frame[1]);
            const int top = position.second - int(frame[2]), bottom = position.second + size.second + int(frame[3]);
            EXPECT_GE(left, 0);
            EXPECT_GE(top, 0);
            EXPECT_LE(right, screenWidth);
            EXPECT_LE(bottom, screenHeight);
            EXPECT_NEAR(left, screenWidth - right, 40);
            EXPECT_NEAR(top, screenHeight - bottom, 80);
            EXPECT_GT(size.first, 300);
            firstPosition = position;
            firstSize = size;
        } else {
            EXPECT_EQ(position, firstPosition);
            EXPECT_EQ(size, firstSize);
        }
        x.AskToClose(*window);
        ASSERT_EQ(program.WaitExit(30s), 0);
        const std::string said = lftest::ReadText(errors);
        EXPECT_FALSE(HasLayoutWarning(said)) << said;
    }
}

TEST_P(PlacementUnderWindowManager, EveryCloseRequestCloses)
{
    DisplayWithWindowManager display;
    ASSERT_TRUE(display.Ok()) << "Xvfb or openbox did not start";
    lftest::XWatch x;
    ASSERT_TRUE(x.Ok());
    ASSERT_TRUE(WaitForWindowManager(x));

    // A close as soon as the window shows, and one once it has settled: one request each.
    for (int start = 0; start < 10; ++start) {
        SCOPED_TRACE("start " + std::to_string(start + 1));
        Program program(Exe(), {}, work);
        const auto window = x.WaitForOne(program.Pid(), kTitle);
        ASSERT_TRUE(window);
        if (start % 2 == 1) {
            ASSERT_TRUE(WaitSettled(x, *window));
        }
        x.AskToClose(*window);
        EXPECT_EQ(program.WaitExit(30s), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, PlacementUnderWindowManager, ::testing::Values("pixoro", "quorix"));

}  // namespace
