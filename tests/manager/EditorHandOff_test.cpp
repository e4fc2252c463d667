#include "manager/model/CFolderItem.h"
#include "manager/model/EditorHandOff.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;
using lftest::TempDir;
using Icon = EditorHandOff::Icon;

const char kNoImage[] = "You must first select an image to edit.";

struct Start {
    std::string program;
    std::vector<std::string> args;
    std::string folder;
};

// A launcher that records what it was asked to start and answers with a fixed code.
struct FakeLauncher {
    int result = 42;
    std::vector<Start> starts;
    EditorHandOff::Launcher Get()
    {
        return [this](const std::string& p, const std::vector<std::string>& a, const std::string& f) {
            starts.push_back({p, a, f});
            return result;
        };
    }
};

std::unique_ptr<CFolderItem> Folder(const std::string& path, std::initializer_list<std::pair<const char*, bool>> images)
{
    auto folder = std::make_unique<CFolderItem>(path, path, 0);
    for (const auto& [name, selected] : images) {
        auto image = std::make_unique<CImageItem>(name, path + "/" + name, 100, 0, 0);
        image->m_bSelected = selected;
        folder->AddImage(std::move(image));
    }
    return folder;
}

class EditorHandOffTest : public ::testing::Test {
protected:
    EditorHandOff HandOff() { return EditorHandOff("/app/pixoro", (work / "qkparam.dat").string(), work.str(), launcher.Get()); }
    TempDir work;
    FakeLauncher launcher;
};

TEST_F(EditorHandOffTest, ChoosesTheImageByIndexOrByTheSelection)
{
    struct Case {
        const char* what;
        std::unique_ptr<CFolderItem> folder;
        int index;
        std::string path;     // started with this path ("" when nothing starts)
        std::string message;  // shown instead ("" when the editor starts)
    };
    Case cases[] = {
        {"one selected", Folder("/f", {{"a.png", false}, {"b.jpg", true}}), -1000, "/f/b.jpg", ""},
        // Every road takes the one rule: the image's own extension in any letter case.
        {"selected name spelt .Jpg", Folder("/f", {{"photo.Jpg", true}}), -1000, "/f/photo.Jpg", ""},
        {"double click on that name", Folder("/f", {{"photo.Jpg", true}}), 0, "/f/photo.Jpg", ""},
        {"selected .jPeG", Folder("/f", {{"p.jPeG", true}}), -1000, "/f/p.jPeG", ""},
        {"selected .Png by index", Folder("/f", {{"p.Png", false}}), 0, "/f/p.Png", ""},
        {"search result .tif by index", Folder("/f", {{"x.tif", false}}), 0, "", EditorHandOff::kUnsupportedText},
        {"selected .tif", Folder("/f", {{"x.tif", true}}), -1000, "", EditorHandOff::kUnsupportedText},
        {"unsupported first of two", Folder("/f", {{"x.tif", true}, {"y.jpg", true}}), -1000, "",
         EditorHandOff::kUnsupportedText},
        {"two supported", Folder("/f", {{"x.bmp", true}, {"y.jpg", true}}), -1000, "",
         EditorHandOff::kSeveralSelectedText},
        {"nothing selected", Folder("/f", {{"x.bmp", false}}), -1000, "", kNoImage},
        {"empty folder", Folder("/f", {}), -1000, "", kNoImage},
        {"index past the end", Folder("/f", {{"x.bmp", false}}), 1, "", kNoImage},
        {"negative index", Folder("/f", {{"x.bmp", false}}), -1, "", kNoImage},
        {"name that only holds .png", Folder("/f", {{"my.pngs.tif", true}}), -1000, "", EditorHandOff::kUnsupportedText},
        {"that name by index", Folder("/f", {{"my.pngs.tif", false}}), 0, "", EditorHandOff::kUnsupportedText},
        {"a .jpg folder", Folder("/f.jpg", {{"notes", false}}), 0, "", EditorHandOff::kUnsupportedText},
    };
    for (Case& c : cases) {
        launcher.starts.clear();
        const auto message = HandOff().EditImage(c.folder.get(), c.index, 0, 0, kNoImage);
        EXPECT_EQ(message ? message->text : "", c.message) << c.what;
        ASSERT_EQ(launcher.starts.size(), c.path.empty() ? 0u : 1u) << c.what;
        if (!c.path.empty()) {
            EXPECT_EQ(launcher.starts[0].program, "/app/pixoro");
            EXPECT_EQ(launcher.starts[0].args, std::vector<std::string>{c.path}) << c.what;
            EXPECT_EQ(launcher.starts[0].folder, work.str());
        }
    }
    EXPECT_EQ(HandOff().EditImage(nullptr, 0, 0, 0, kNoImage)->icon, Icon::Information);
}

TEST_F(EditorHandOffTest, WritesTheSortOrderAndRefusesGifsByTheirExtension)
{
    struct Case {
        const char* name;
        int key, order;
        bool refused;
    };
    const Case cases[] = {
        {"holiday.gifs/sea.jpg", 1, 1, false}, {"x.GIF.jpg", 3, 0, false}, {"anim.gif", 0, 1, true},
        {"anim.GIF", 2, 0, true},              {"anim.Gif", 0, 0, true},
    };
    for (const Case& c : cases) {
        launcher.starts.clear();
        fs::remove(work / "qkparam.dat");
        auto folder = Folder("/pics", {{c.name, false}});
        const auto message = HandOff().EditImage(folder.get(), 0, c.key, c.order, kNoImage);
        // The parameter file is written first, also when the image is refused.
        EXPECT_EQ(lftest::ReadText(work / "qkparam.dat"), std::to_string(c.key) + "|" + std::to_string(c.order));
        if (c.refused) {
            ASSERT_TRUE(message) << c.name;
            EXPECT_EQ(message->text, "Gif images are not supported by Editor.");
            EXPECT_EQ(message->icon, Icon::Stop);
            EXPECT_TRUE(launcher.starts.empty()) << c.name;
        } else {
            EXPECT_FALSE(message) << c.name;
            EXPECT_EQ(launcher.starts.size(), 1u) << c.name;
        }
    }
}

TEST_F(EditorHandOffTest, EachLauncherFailureCodeShowsItsSystemErrorText)
{
    const std::pair<int, const char*> listed[] = {
        {0, "System Error: The operating system is out of memory or resources."},
        {2, "System Error: Application viewer not found."},
        {3, "System Error: The specified path was not found."},
        {5, "System Error: The operating system denied access to the specified file."},
        {8, "System Error: There was not enough memory to complete the operation."},
        {11, "System Error: The .exe file is invalid (non-Win32\u00ae .exe or error in .exe image)."},
        {26, "System Error: A sharing violation occurred."},
        {27, "System Error: The file name association is incomplete or invalid."},
        {28, "System Error: The DDE transaction could not be completed because the request timed out."},
        {29, "System Error: The DDE transaction failed."},
        {30, "System Error: The DDE transaction could not be completed because other DDE transactions were being "
             "processed."},
        {31, "System Error: There is no application associated with the given file name extension."},
        {32, "System Error: The specified dynamic-link library was not found."},
    };
    auto folder = Folder("/pics", {{"a.jpg", false}});
    for (const auto& [code, text] : listed) {
        launcher.result = code;
        const auto message = HandOff().EditImage(folder.get(), 0, 0, 0, kNoImage);
        ASSERT_TRUE(message) << code;
        EXPECT_EQ(message->text, text);
        EXPECT_EQ(message->icon, Icon::Stop);
    }
    for (int code : {1, 4, 6, 7, 9, 10, 12, 20, 25, 33, 42}) {
        launcher.result = code;
        EXPECT_FALSE(HandOff().EditImage(folder.get(), 0, 0, 0, kNoImage)) << code;
    }
}

TEST_F(EditorHandOffTest, StartsTheEditorWithThePathAsOneArgumentInTheWorkingFolder)
{
    TempDir app;
    const fs::path program = app / "pixoro";
    const fs::path record = app / "record";
    // The stand-in writes its folder, its argument count and each argument, then moves
    // the record into place in one step.
    lftest::WriteText(program, "#!/bin/sh\n"
                               "out=\"$(dirname \"$0\")/record\"\n"
                               "{ pwd; echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.tmp\"\n"
                               "mv \"$out.tmp\" \"$out\"\n");
    fs::permissions(program, fs::perms::owner_all);

    const std::string odd = "/my photos/it's a \"quote\" & $HOME; `x`.jpg";
    auto folder = Folder("/pics", {{"x.jpg", false}});
    folder->Image(0)->m_strPath = odd;
    EditorHandOff handOff(program.string(), (work / "qkparam.dat").string(), work.str());
    EXPECT_FALSE(handOff.EditImage(folder.get(), 0, 1, 1, kNoImage));
    EXPECT_EQ(lftest::ReadText(work / "qkparam.dat"), "1|1");

    // The editor runs on its own; wait for its record.
    for (int i = 0; i < 3000 && !fs::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(record)) << "the stand-in never ran";
    EXPECT_EQ(lftest::ReadText(record), fs::canonical(work.path()).string() + "\n1\n" + odd + "\n");

    // A missing program says so.
    EditorHandOff missing((app / "nothing-here").string(), (work / "qkparam.dat").string(), work.str());
    const auto message = missing.EditImage(folder.get(), 0, 0, 0, kNoImage);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "System Error: Application viewer not found.");
}

}  // namespace
