#include "platform/ProgramStart.h"

#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A stand-in program that records its working folder and its arguments, each ended by a NUL.
fs::path WriteRecorder(const lftest::TempDir& dir)
{
    const fs::path script = dir / "recorder";
    lftest::WriteText(script, "#!/bin/sh\n"
                              "out=\"$(dirname \"$0\")/record\"\n"
                              "{ pwd; printf '%s\\0' \"$@\"; } > \"$out.part\" && mv \"$out.part\" \"$out\"\n");
    fs::permissions(script, fs::perms::owner_all);
    return script;
}

struct Record {
    std::string folder;
    std::vector<std::string> args;
};

Record WaitForRecord(const lftest::TempDir& dir)
{
    const fs::path file = dir / "record";
    for (int i = 0; i < 500 && !fs::exists(file); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Record r;
    const std::string text = lftest::ReadText(file);
    const size_t eol = text.find('\n');
    if (eol == std::string::npos)
        return r;
    r.folder = text.substr(0, eol);
    for (size_t pos = eol + 1; pos < text.size();) {
        const size_t end = text.find('\0', pos);
        r.args.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return r;
}

TEST(ProgramStart, EachArgumentArrivesWhole)
{
    const std::vector<std::vector<std::string>> cases = {
        {"/tmp/a b.jpg"},
        {"\"quoted\" name.png", "$HOME;`x`|y*"},
        {"-starts-with-dash", ""},
        {"line\nbreak.jpg"},
    };
    for (const auto& args : cases) {
        lftest::TempDir dir;
        const fs::path recorder = WriteRecorder(dir);
        ASSERT_EQ(lfplat::StartProgram(recorder.string(), args), lfplat::kStartOk);
        EXPECT_EQ(WaitForRecord(dir).args, args) << args[0];
    }
}

TEST(ProgramStart, RunsInTheGivenWorkingFolder)
{
    lftest::TempDir dir, work;
    const fs::path recorder = WriteRecorder(dir);
    ASSERT_EQ(lfplat::StartProgram(recorder.string(), {"x"}, work.str()), lfplat::kStartOk);
    EXPECT_EQ(fs::canonical(WaitForRecord(dir).folder), fs::canonical(work.path()));
}

TEST(ProgramStart, FailuresComeBackAsTheirCodes)
{
    lftest::TempDir dir;
    lftest::WriteText(dir / "plain.txt", "not a program");
    lftest::WriteText(dir / "garbage", "\x01\x02 not an executable format");
    fs::permissions(dir / "garbage", fs::perms::owner_all);
    const fs::path recorder = WriteRecorder(dir);

    struct Case {
        std::string program;
        std::string folder;
        int expected;
    };
    const Case cases[] = {
        {(dir / "pixoro").string(), "", lfplat::kStartFileNotFound},
        {(dir / "plain.txt").string(), "", lfplat::kStartAccessDenied},
        {(dir / "plain.txt" / "pixoro").string(), "", lfplat::kStartPathNotFound},
        {(dir / "garbage").string(), "", lfplat::kStartBadFormat},
        {recorder.string(), (dir / "no such folder").string(), lfplat::kStartPathNotFound},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lfplat::StartProgram(c.program, {"x"}, c.folder), c.expected) << c.program << " in " << c.folder;
    EXPECT_FALSE(fs::exists(dir / "record"));
}

TEST(ProgramStart, FailureTextsCoverTheListedCodesOnly)
{
    EXPECT_STREQ(lfplat::StartFailureText(2), "System Error: Application viewer not found.");
    EXPECT_STREQ(lfplat::StartFailureText(0), "System Error: The operating system is out of memory or resources.");
    EXPECT_STREQ(lfplat::StartFailureText(32), "System Error: The specified dynamic-link library was not found.");
    EXPECT_STREQ(lfplat::StartFailureText(11),
                 "System Error: The .exe file is invalid (non-Win32\u00ae .exe or error in .exe image).");
    const int listed[] = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
    for (int code = -1; code <= 40; ++code) {
        const bool hasText = std::find(std::begin(listed), std::end(listed), code) != std::end(listed);
        EXPECT_EQ(lfplat::StartFailureText(code) != nullptr, hasText) << code;
    }
    // Every code StartProgram can report has a message; success has none.
    for (int code : {lfplat::kStartNoResources, lfplat::kStartFileNotFound, lfplat::kStartPathNotFound,
                     lfplat::kStartAccessDenied, lfplat::kStartOutOfMemory, lfplat::kStartBadFormat,
                     lfplat::kStartSharingViolation, lfplat::kStartLibraryNotFound})
        EXPECT_NE(lfplat::StartFailureText(code), nullptr) << code;
    EXPECT_EQ(lfplat::StartFailureText(lfplat::kStartOk), nullptr);
}

TEST(ProgramStart, ABrowserStartNamesAMissingFileNotAViewer)
{
    using lfplat::StartedFor;
    EXPECT_STREQ(lfplat::StartFailureText(2, StartedFor::File), "System Error: Application file not found.");
    // Every other code reads the same whatever was started.
    for (int code = -1; code <= 40; ++code) {
        if (code == 2)
            continue;
        const char* viewer = lfplat::StartFailureText(code, StartedFor::Viewer);
        const char* file = lfplat::StartFailureText(code, StartedFor::File);
        ASSERT_EQ(viewer == nullptr, file == nullptr) << code;
        if (viewer) {
            EXPECT_STREQ(viewer, file) << code;
        }
    }
}

TEST(ProgramStart, ExecutableFolderHoldsTheRunningProgram)
{
    const std::string folder = lfplat::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::equivalent(folder + "platform_tests", "/proc/self/exe"));
}

}  // namespace
