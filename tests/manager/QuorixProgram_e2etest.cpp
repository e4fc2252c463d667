// The manager program itself, started under the tests' X server with a home and XDG
// folders of its own; its windows are watched through the X server.
#include "FrameTestSupport.h"
#include "image/CLfImage.h"
#include "platform/WindowPlacement.h"
#include "platform/SettingsStore.h"
#include "platform/SingleInstanceLock.h"
#include "resources/manager/ManagerStrings.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ProgramUnderX.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using lftest::Program;
using lftest::XWatch;

namespace {

const char kTitle[] = "Lanternfolio Photo Editor";
const char kSettingsKey[] = "Software\\Lanternfolio\\Version 1.0";
const char kPlacementSection[] = "Lanternfolio Photo Editor\\Settings";

class QuorixProgramTest : public ::testing::Test, protected lftest::ProgramFolders {
protected:
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

    XWatch x;
};

TEST_F(QuorixProgramTest, StartsWithItsWindowWritesTheDefaultsAndStoresThePlacementOnClose)
{
    Program quorix(Quorix(), {}, work);
    const auto window = x.WaitForOne(quorix.Pid(), kTitle);
    ASSERT_TRUE(window) << "no window titled " << kTitle;
    EXPECT_EQ(Setting(kSettingsKey, "LeftViewWidth"), "200");
    EXPECT_EQ(Setting(kSettingsKey, "LeftViewHeigth"), "220");
    EXPECT_EQ(Setting(kSettingsKey, "UploadType"), "0");

    lftest::PumpFor(1000ms);  // let it paint before the picture is taken
    lftest::SaveScreenshot(fs::path(LF_BIN_DIR).parent_path() / "artefacts" / "quorix-started.png");

    CloseAndWait(quorix, *window);
    EXPECT_GT(std::stoi(Setting(kSettingsKey, "WindowHeight")), 0);
    const std::string placement = Setting(kPlacementSection, "MainWndPos");
    auto parsed = WindowPlacement::Parse(placement);
    ASSERT_TRUE(parsed) << placement;
    EXPECT_FALSE(parsed->IsMaximized());
}

TEST_F(QuorixProgramTest, FiveStartsKeepThePaneSizes)
{
    // Nothing changes the panes between these starts: what is stored must come back.
    std::vector<std::string> heights, widths;
    for (int start = 0; start < 5; ++start) {
        Program quorix(Quorix(), {}, work);
        const auto window = x.WaitForOne(quorix.Pid(), kTitle);
        ASSERT_TRUE(window) << "start " << start;
        CloseAndWait(quorix, *window);
        heights.push_back(Setting(kSettingsKey, "LeftViewHeigth"));
        widths.push_back(Setting(kSettingsKey, "LeftViewWidth"));
    }
    EXPECT_EQ(heights, std::vector<std::string>(5, "220"));
    EXPECT_EQ(widths, std::vector<std::string>(5, widths.front()));
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

TEST_F(QuorixProgramTest, ASecondManagerEndsWithoutAWindow)
{
    Program first(Quorix(), {}, work);
    const auto window = x.WaitForOne(first.Pid(), kTitle);
    ASSERT_TRUE(window);

    Program second(Quorix(), {}, work);
    // A generous deadline: a loaded machine may be slow, the outcome is what counts.
    const Ending ending = WatchUntilExit(second, 60s);
    EXPECT_EQ(ending.status, 0) << "the second manager still runs, or ended as if it had failed";
    EXPECT_FALSE(ending.showedWindow) << "the second manager showed a window";
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(x.Find(first.Pid()).size(), 1u);
    CloseAndWait(first, *window);
}

TEST_F(QuorixProgramTest, AStartDuringTheCloseOfTheLastOneOpensItsWindowOnceThatHasEnded)
{
    // This test stands in for a manager that is writing its session and cache at close:
    // it holds the instance lock with the closing mark, then lets go.
    auto closing = std::make_unique<lfplat::SingleInstanceLock>(mstr::kInstanceLockName, runtime.string());
    ASSERT_TRUE(closing->Held());
    closing->MarkClosing();
    Program quorix(Quorix(), {}, work);
    lftest::PumpFor(500ms);
    EXPECT_TRUE(quorix.Running()) << "the start gave way to a manager that was closing";
    EXPECT_TRUE(x.Find(quorix.Pid()).empty()) << "a window while the other still closes";
    closing.reset();
    const auto window = x.WaitForOne(quorix.Pid(), kTitle);
    ASSERT_TRUE(window) << "no window once the closing manager had ended";
    CloseAndWait(quorix, *window);
}

TEST_F(QuorixProgramTest, StateFilesItCannotReadNeitherStopTheStartNorAreReplaced)
{
    // A folder in place of the settings and a pipe in place of the session.
    fs::create_directories(config / "Lanternfolio" / "settings.ini");
    ASSERT_EQ(::mkfifo((work / "qkvex.sess").c_str(), 0600), 0);
    Program quorix(Quorix(), {}, work);
    const auto window = x.WaitForOne(quorix.Pid(), kTitle);
    ASSERT_TRUE(window) << "the manager did not start";
    // Each file is named once, in a message of its own, shown over the window. The
    // second box may follow the first at once: each is waited for until it has gone, and
    // only after the last one does the window stand alone.
    for (int message = 0; message < 2; ++message)
        ASSERT_TRUE(x.CloseBox(quorix.Pid(), kTitle, *window, 60s)) << "message " << message + 1;
    EXPECT_TRUE(lftest::PumpUntil([&] { return x.Find(quorix.Pid(), kTitle).size() == 1; }));
    CloseAndWait(quorix, *window);
    EXPECT_TRUE(fs::is_directory(config / "Lanternfolio" / "settings.ini"));
    EXPECT_TRUE(fs::is_fifo(work / "qkvex.sess"));
}

// Under a file size limit (ulimit -f) nothing can be written: the manager says so and
// runs on, and at its close the session it could not write stays as it was. Started
// with the signal's default, as from a shell; SIGXFSZ would otherwise end it at the
// first settings write, before any window.
TEST_F(QuorixProgramTest, AFileSizeLimitIsToldAndNeverEndsTheManager)
{
    const std::string session = "UPLOADED=1\r\nLOGIN=bob\r\nPASS=pw\r\n";
    lftest::WriteText(work / "qkvex.sess", session);
    std::optional<Program> quorix;
    {
        lftest::ScopedFileSizeLimit full(0);  // inherited by the program only
        quorix.emplace(Quorix(), std::vector<std::string>{}, work);
    }
    std::optional<Window> window;
    ASSERT_TRUE(lftest::PumpUntil(
        [&] {
            const auto shown = x.Find(quorix->Pid(), kTitle);
            if (!shown.empty())
                window = shown.front();
            return window || !quorix->Running();
        },
        60s));
    ASSERT_TRUE(window) << "no window; ended with " << quorix->WaitExit(0ms).value_or(-1);
    EXPECT_TRUE(x.CloseBox(quorix->Pid(), kTitle, *window)) << "the settings that could not be written were not told";
    x.AskToClose(*window);
    // The close cannot write the session or the cache either: each is told in a box.
    int boxes = 0;
    for (int tries = 0; quorix->Running() && tries < 30; ++tries)
        boxes += x.CloseBox(quorix->Pid(), kTitle, window, 2s) ? 1 : 0;
    EXPECT_GE(boxes, 1);
    EXPECT_EQ(quorix->WaitExit(30s), 0);
    EXPECT_EQ(lftest::ReadText(work / "qkvex.sess"), session);
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

TEST_F(QuorixProgramTest, TheEditorBesideTheManagerOpensTheHandedImage)
{
    // The two real programs side by side in a folder of their own.
    const fs::path app = dir / "app";
    fs::create_directories(app);
    for (const char* program : {"quorix", "pixoro"}) {
        std::error_code linked;
        fs::create_hard_link(fs::path(LF_BIN_DIR) / program, app / program, linked);
        if (linked)
            fs::copy_file(fs::path(LF_BIN_DIR) / program, app / program);
    }
    auto picture = std::make_unique<CLfImage>(32, 24, 24);
    const fs::path image = work / "hand off.jpg";
    ASSERT_TRUE(picture->Save(image.c_str(), lfimg::kTypeJPG));

    Program quorix(app / "quorix", {image.string()}, work);
    EXPECT_EQ(quorix.WaitExit(30s), 0) << "the hand-off succeeded";
    // The editor runs in a session of its own: found by its window's title, closed, gone.
    std::optional<Window> editor;
    pid_t editorPid = 0;
    const auto until = std::chrono::steady_clock::now() + 30s;
    while (!editor && std::chrono::steady_clock::now() < until) {
        for (const auto& [window, pid] : x.FindTitled(std::string(kTitle) + " [ hand off.jpg ]"))
            editor = window, editorPid = pid;
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(editor) << "no editor window shows the image";
    x.AskToClose(*editor);
    for (int i = 0; i < 1500 && kill(editorPid, 0) == 0; ++i)
        std::this_thread::sleep_for(20ms);
    EXPECT_NE(kill(editorPid, 0), 0) << "the editor still runs";
}

}  // namespace
