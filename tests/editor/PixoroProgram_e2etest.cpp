// The editor program itself, started under the tests' X server with a home and XDG
// folders of its own; its windows are watched through the X server.
#include "image/CLfImage.h"
#include "image/codecs/CLfImageJPG.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ProgramUnderX.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using lftest::Program;
using lftest::XWatch;

namespace {

const char kTitle[] = "Lanternfolio Photo Editor";

class PixoroProgramTest : public ::testing::Test, protected lftest::ProgramFolders {
protected:
    void SetUp() override { ASSERT_TRUE(x.Ok()) << "no X display"; }

    static fs::path Pixoro() { return fs::path(LF_BIN_DIR) / "pixoro"; }
    fs::path Picture(const std::string& name, uint32_t type)
    {
        auto picture = lftest::MakePicture(64, 48, 24);
        const fs::path path = work / name;
        EXPECT_TRUE(picture->Save(path.c_str(), type));
        return path;
    }
    // Waits for a box of the program (titled kTitle, besides the main window when it
    // shows) and closes it as a window manager would.
    void CloseBox(Program& program, const std::optional<Window>& mainWindow)
    {
        EXPECT_TRUE(x.CloseBox(program.Pid(), kTitle, mainWindow)) << "no box appeared, or it stays";
    }

    XWatch x;
};

TEST_F(PixoroProgramTest, OpensTheImageOfItsCommandLineWithItsNameInTheTitle)
{
    Picture("photo.jpg", lfimg::kTypeJPG);
    Program pixoro(Pixoro(), {"photo.jpg"}, work);
    const auto window = x.WaitForOne(pixoro.Pid(), std::string(kTitle) + " [ photo.jpg ]");
    ASSERT_TRUE(window) << "no window titled with the image's name";
    x.AskToClose(*window);
    EXPECT_EQ(pixoro.WaitExit(30s), 0);
    const std::string settings = lftest::ReadText(config / "Lanternfolio/settings.ini");
    EXPECT_NE(settings.find("MainWndPos="), std::string::npos) << settings;
    EXPECT_NE(settings.find("ProgramQKMViewMod=1"), std::string::npos) << settings;
}

// The window shows while a large picture is still being decoded; a close asked for then
// waits for the picture and ends the editor normally, storing its placement.
TEST_F(PixoroProgramTest, AWindowClosedWhileItsPictureIsDecodingEndsNormallyOnceItIsOpen)
{
    // Grainy and progressive (decoded in one piece, scan by scan): its decode outlasts the
    // making of the windows, also in the slower test builds.
    CLfImage picture(4000, 3000, 24, lfimg::kTypeJPG);
    uint32_t grain = 12345;
    for (int y = 0; y < picture.GetHeight(); ++y) {
        uint8_t* row = picture.GetBits(uint32_t(y));
        for (int x = 0; x < picture.GetWidth() * 3; ++x) {
            grain = grain * 1103515245u + 12345u;
            row[x] = uint8_t(x / 24 + y / 16 + (grain >> 26));
        }
    }
    picture.info.codecOption = kJpegProgressive;
    picture.info.quality = 90;
    ASSERT_TRUE(picture.Save((work / "large.jpg").c_str(), lfimg::kTypeJPG));
    Program pixoro(Pixoro(), {"large.jpg"}, work);
    // The first window of the program, whatever its title: the picture may not be there.
    const auto window = x.WaitForOne(pixoro.Pid(), "");
    ASSERT_TRUE(window);
    x.AskToClose(*window);
    EXPECT_EQ(pixoro.WaitExit(60s), 0);
    const std::string settings = lftest::ReadText(config / "Lanternfolio/settings.ini");
    EXPECT_NE(settings.find("MainWndPos="), std::string::npos) << settings;
}

TEST_F(PixoroProgramTest, WithoutAParameterItOpensEmptyAndLeavesTheWorkingFolderAlone)
{
    lftest::WriteText(work / "qkparam.dat", "2|1\n");
    lftest::WriteText(work / "pixoro.vxd", "someone's file");
    Program pixoro(Pixoro(), {}, work);
    const auto window = x.WaitForOne(pixoro.Pid(), kTitle);
    ASSERT_TRUE(window);
    x.AskToClose(*window);
    EXPECT_EQ(pixoro.WaitExit(30s), 0);
    EXPECT_EQ(lftest::ReadText(work / "qkparam.dat"), "2|1\n");
    EXPECT_EQ(lftest::ReadText(work / "pixoro.vxd"), "someone's file");
}

// A missing file, and a FIFO named like a picture (which would wait for a writer for
// ever), each get a box and end the program with a failure.
TEST_F(PixoroProgramTest, AMissingFileAFifoOrAFolderShowsTheBoxAndEndsTheProgramWithAFailure)
{
    ASSERT_EQ(::mkfifo((work / "fifo.jpg").c_str(), 0600), 0);
    fs::create_directory(work / "folder.jpg");
    for (const char* name : {"missing.jpg", "fifo.jpg", "folder.jpg"}) {
        SCOPED_TRACE(name);
        Program pixoro(Pixoro(), {(work / name).string()}, work);
        CloseBox(pixoro, std::nullopt);
        const auto status = pixoro.WaitExit(30s);
        ASSERT_TRUE(status) << "still running";
        EXPECT_NE(*status, 0);
    }
}

TEST_F(PixoroProgramTest, ALowerCaseGifIsRefusedWithABoxAndTheEditorOpensEmpty)
{
    Picture("anim.gif", lfimg::kTypeGIF);
    Program pixoro(Pixoro(), {"anim.gif"}, work);
    CloseBox(pixoro, std::nullopt);
    const auto window = x.WaitForOne(pixoro.Pid(), kTitle);
    ASSERT_TRUE(window) << "the main window shows after the box";
    EXPECT_TRUE(x.Find(pixoro.Pid(), std::string(kTitle) + " [ anim.gif ]").empty());
    x.AskToClose(*window);
    EXPECT_EQ(pixoro.WaitExit(30s), 0);
}

TEST_F(PixoroProgramTest, NamesTheCaseRuleAndTheBytesOfTheSystemLetThroughAreOpened)
{
    struct Case {
        const char* file;
        uint32_t type;
        const char* shown;  // the name in the title
    };
    const Case cases[] = {
        {"upper.GIF", lfimg::kTypeGIF, "upper.GIF"},
        // Latin-1 bytes, not UTF-8: the file is opened and its name shown as well as it can be.
        {"caf\xe9.jpg", lfimg::kTypeJPG, "caf\xef\xbf\xbd.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Picture(c.file, c.type);
        Program pixoro(Pixoro(), {c.file}, work);
        const auto window = x.WaitForOne(pixoro.Pid(), std::string(kTitle) + " [ " + c.shown + " ]");
        ASSERT_TRUE(window) << "no window titled with the image's name";
        x.AskToClose(*window);
        EXPECT_EQ(pixoro.WaitExit(30s), 0);
    }
}

// Settings the editor cannot write (a full disk) are told in a box, at the start for the
// value written then and at the close for the placement and the recent files, and the
// editor still ends normally with the stored file as it was.
TEST_F(PixoroProgramTest, SettingsThatCannotBeWrittenAreToldAndTheEditorEnds)
{
    struct Case {
        const char* name;
        bool settingsBefore;  // a complete settings file exists: nothing is due at the start
    };
    for (const Case c : {Case{"at the start", false}, Case{"at the close", true}}) {
        SCOPED_TRACE(c.name);
        const fs::path settings = config / "Lanternfolio" / "settings.ini";
        fs::remove_all(settings.parent_path());
        // Backslashes in section names are written doubled.
        const std::string before = "[Software\\\\Lanternfolio\\\\Version 1.0]\nProgramQKMViewMod=1\n";
        if (c.settingsBefore) {
            fs::create_directories(settings.parent_path());
            lftest::WriteText(settings, before);
        }
        std::optional<Program> pixoro;
        {
            lftest::ScopedFileSizeLimit full(0);  // inherited by the program only
            pixoro.emplace(Pixoro(), std::vector<std::string>{}, work);
        }
        const auto window = x.WaitForOne(pixoro->Pid(), kTitle);
        ASSERT_TRUE(window);
        if (!c.settingsBefore)
            CloseBox(*pixoro, window);
        else
            EXPECT_TRUE(lftest::PumpUntil([&] { return x.Find(pixoro->Pid(), kTitle).size() == 1; }));
        x.AskToClose(*window);
        if (c.settingsBefore)
            CloseBox(*pixoro, window);  // the box after the window, not the window going
        EXPECT_EQ(pixoro->WaitExit(30s), 0);
        if (c.settingsBefore) {
            EXPECT_EQ(lftest::ReadText(settings), before);
        }
    }
}

}  // namespace
