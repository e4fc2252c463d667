#include "batch/model/RenameFile.h"
#include "tests/batch/FileFixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace lftest;

struct RenameCase {
    const char* what;
    const char* current;
    const char* stem;
    RenameOutcome expected;
    std::vector<std::string> after;  // the folder's names afterwards
};

TEST(RenameImageFile, Table)
{
    const RenameCase rows[] = {
        {"unchanged", "one.jpg", "one", RenameOutcome::Unchanged, {"one.jpg", "two.jpg"}},
        {"new name", "one.jpg", "three", RenameOutcome::Renamed, {"three.jpg", "two.jpg"}},
        {"letter case only", "one.jpg", "One", RenameOutcome::Renamed, {"One.jpg", "two.jpg"}},
        {"onto an existing name", "one.jpg", "two", RenameOutcome::Failed, {"one.jpg", "two.jpg"}},
        {"a path, not a name", "one.jpg", "../one", RenameOutcome::Failed, {"one.jpg", "two.jpg"}},
    };
    for (const RenameCase& row : rows) {
        TempDir dir;
        WriteText(dir / "one.jpg", "first");
        WriteText(dir / "two.jpg", "second");
        EXPECT_EQ(RenameImageFile(dir.str(), row.current, row.stem, "jpg"), row.expected) << row.what;
        EXPECT_EQ(Listing(dir.path()), row.after) << row.what;
        // Both files keep their bytes, whatever their names now.
        EXPECT_EQ(ReadText(dir / "two.jpg"), "second") << row.what;
    }
}

TEST(RenameImageFile, ProtectedFilesAreRefusedAsSystemFiles)
{
    TempDir dir;
    WriteText(dir / ".hidden.jpg", "x");
    WriteText(dir / "locked.jpg", "x");
    MakeReadOnly(dir / "locked.jpg");
    EXPECT_EQ(RenameImageFile(dir.str(), ".hidden.jpg", "shown", "jpg"), RenameOutcome::SystemFile);
    EXPECT_EQ(RenameImageFile(dir.str(), "locked.jpg", "free", "jpg"), RenameOutcome::SystemFile);
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{".hidden.jpg", "locked.jpg"}));
    // An unchanged name of a protected file closes quietly, as any unchanged name does.
    EXPECT_EQ(RenameImageFile(dir.str(), "locked.jpg", "locked", "jpg"), RenameOutcome::Unchanged);
}

TEST(RenameImageFile, FailureText)
{
    EXPECT_EQ(RenameFailedText("a.jpg"),
              "Cannot rename a.jpg: A file with the name you specified already exists.\nSpecify a different file name.");
}

}  // namespace
