// Opening the browser on an address that carries the account's password: the command
// is built from BROWSER and PATH, and neither the launch nor its failure writes the
// address anywhere.
#include "upload/ui/BrowserLaunch.h"
#include "upload/ui/CUploadDlg.h"

#include "manager/model/CQuorixState.h"
#include "platform/ProgramStart.h"
#include "resources/manager/UploadDialogs.h"
#include "tests/manager/DocTestSupport.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/textctrl.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char kUrl[] = "http://host/members/edit?COOKIE_USER=u&COOKIE_PASS=Secret42&t=1";

void WriteProgram(const fs::path& path, const std::string& script)
{
    lftest::WriteText(path, "#!/bin/sh\n" + script);
    ::chmod(path.c_str(), 0755);
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// Everything this process writes to its standard error while it lives goes to a file.
class CapturedOutput {
public:
    // What this process writes to descriptor fd (standard error by default) goes to file.
    explicit CapturedOutput(const fs::path& file, int fd = STDERR_FILENO) : m_file(file), m_fd(fd)
    {
        fflush(nullptr);
        m_saved = ::dup(m_fd);
        const int out = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, m_fd);
        ::close(out);
    }
    ~CapturedOutput() { Restore(); }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;
    std::string Text()
    {
        Restore();
        return ReadAll(m_file);
    }

private:
    void Restore()
    {
        if (m_saved < 0)
            return;
        fflush(nullptr);
        ::dup2(m_saved, m_fd);
        ::close(m_saved);
        m_saved = -1;
    }
    fs::path m_file;
    int m_fd;
    int m_saved = -1;
};

TEST(BrowserCommand, TakesTheFirstBrowserFoundElseXdgOpen)
{
    lftest::TempDir dir;
    const std::string bin = (dir / "bin").string();
    fs::create_directory(bin);
    WriteProgram(dir / "bin" / "firefox", "exit 0\n");
    WriteProgram(dir / "bin" / "xdg-open", "exit 0\n");
    lftest::WriteText(dir / "bin" / "notexec", "");
    const std::string url = kUrl;
    struct Case {
        std::optional<std::string> browser;  // none: unset
        std::string path;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"firefox --new-window %s", bin, {bin + "/firefox", "--new-window", url}},
        {"missing:firefox", bin, {bin + "/firefox", url}},
        {std::nullopt, "/nowhere:" + bin, {bin + "/xdg-open", url}},
        {"notexec", bin, {bin + "/xdg-open", url}},
        {bin + "/firefox", "", {bin + "/firefox", url}},
        {"/nonexistent/browser", "", {}},
        {std::nullopt, "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(upload::BrowserCommand(url, c.browser ? c.browser->c_str() : nullptr, c.path.c_str()), c.expected)
            << c.browser.value_or("(unset)") << " in " << c.path;
}

class GoToInbox : public ::testing::Test {
protected:
    // Go To Inbox with the dialog's own browser opener; the messages it shows are kept.
    void Press()
    {
        doc.SetCurrentFolder(lftest::TestDoc::MakeFolder(dir.str(), {"a.jpg"}));
        CUploadDlg dialog(nullptr);
        dialog.SetDocument(&doc);
        CUploadDlg::Prompts prompts;
        prompts.message = [this](const std::string& text, const std::string& caption) {
            messages.emplace_back(text, caption);
        };
        dialog.SetPrompts(prompts);
        static_cast<wxTextCtrl*>(dialog.FindWindow(mdlg::kUploadLogin))->ChangeValue("u");
        static_cast<wxTextCtrl*>(dialog.FindWindow(mdlg::kUploadPassword))->ChangeValue("Secret42");
        wxCommandEvent click(wxEVT_BUTTON, mdlg::kUploadGoToInbox);
        click.SetEventObject(dialog.FindWindow(mdlg::kUploadGoToInbox));
        dialog.GetEventHandler()->ProcessEvent(click);
        lftest::PumpFor(std::chrono::milliseconds(50));
    }

    lftest::TempDir dir;
    lftest::TempDir home;
    CQuorixState state{(home / "settings.ini").string()};
    lftest::TestDoc doc{(home / "qkvex.sess").string(), &state};
    std::vector<std::pair<std::string, std::string>> messages;
};

TEST_F(GoToInbox, NoBrowserIsToldInTheDialogsWordsAndThePasswordIsWrittenNowhere)
{
    lftest::ScopedEnv path("PATH", "");
    lftest::ScopedEnv browser("BROWSER", "/nonexistent/browser");
    std::string errors;
    {
        CapturedOutput capture(dir / "stderr.txt");
        Press();
        errors = capture.Text();
    }
    EXPECT_EQ(errors.find("Secret42"), std::string::npos) << errors;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, lfplat::StartFailureText(lfplat::kStartFileNotFound, lfplat::StartedFor::File));
    EXPECT_EQ(messages[0].first.find("Secret42"), std::string::npos);
}

TEST_F(GoToInbox, TheBrowserGetsTheAddressAndWhatItSaysGoesNowhere)
{
    const fs::path got = dir / "got.txt";
    // The browser speaks on both outputs first and leaves the address last, so all it
    // said has been written by the time the test reads the outputs.
    WriteProgram(dir / "browser", "echo \"cannot show $1\" >&2\necho \"showing $1\"\necho \"$1\" > '" + got.string() +
                                      ".part' && mv '" + got.string() + ".part' '" + got.string() + "'\n");
    lftest::ScopedEnv browser("BROWSER", (dir / "browser").string());
    std::string errors, output;
    {
        CapturedOutput captureErrors(dir / "stderr.txt");
        CapturedOutput captureOutput(dir / "stdout.txt", STDOUT_FILENO);
        Press();
        ASSERT_TRUE(lftest::PumpUntil([&] { return fs::exists(got); }, std::chrono::seconds(10)));
        output = captureOutput.Text();
        errors = captureErrors.Text();
    }
    EXPECT_TRUE(messages.empty());
    const std::string address = ReadAll(got);
    EXPECT_EQ(address.rfind("http://", 0), 0u) << address;
    EXPECT_NE(address.find("COOKIE_PASS=Secret42"), std::string::npos) << address;
    EXPECT_EQ(errors.find("Secret42"), std::string::npos) << errors;
    EXPECT_EQ(output.find("Secret42"), std::string::npos) << output;
}

}  // namespace
