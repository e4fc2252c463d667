#include "batch/model/CFileCopier.h"
#include "tests/batch/FileFixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <functional>

namespace {

using namespace lftest;

// One row of the copier table: the files before the copy, the call, what must hold.
struct CopierCase {
    const char* what;
    std::function<void(const TempDir&)> setUp;  // src and dst live in the folder
    bool overwrite;
    bool expectOk;
    const char* expectText;  // "" for success
    bool expectDestinationFailed;
    std::function<void(const TempDir&)> check;
};

void PrintTo(const CopierCase& row, std::ostream* out) { *out << row.what; }

class CopierTable : public testing::TestWithParam<CopierCase> {};

TEST_P(CopierTable, MatchesTheRow)
{
    const CopierCase& row = GetParam();
    TempDir dir;
    row.setUp(dir);
    const bool hadSource = std::filesystem::is_regular_file(dir / "src");
    const auto sourceBefore = hadSource ? ReadBytes(dir / "src") : std::vector<uint8_t>();
    const bool hadDestination = Exists(dir / "dst");
    const auto destinationBefore = hadDestination && std::filesystem::is_regular_file(dir / "dst")
                                       ? ReadBytes(dir / "dst")
                                       : std::vector<uint8_t>();

    CFileCopier copier;
    EXPECT_EQ(copier.Copy((dir / "src").string(), (dir / "dst").string(), row.overwrite), row.expectOk) << row.what;
    EXPECT_EQ(copier.ErrorText(), row.expectText) << row.what;
    EXPECT_EQ(copier.DestinationFailed(), row.expectDestinationFailed) << row.what;

    // Whatever happened, the source is as it was, and a failure leaves no destination
    // that was not there, changes none that was, and leaves no temporary file behind.
    if (hadSource) {
        EXPECT_EQ(ReadBytes(dir / "src"), sourceBefore) << row.what;
    }
    if (!row.expectOk) {
        EXPECT_EQ(Exists(dir / "dst"), hadDestination) << row.what;
        if (hadDestination && std::filesystem::is_regular_file(dir / "dst")) {
            EXPECT_EQ(ReadBytes(dir / "dst"), destinationBefore) << row.what;
        }
    } else {
        EXPECT_EQ(ReadBytes(dir / "dst"), sourceBefore) << row.what;
    }
    for (const std::string& name : Listing(dir.path()))
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << row.what << ": " << name << " left behind";
    if (row.check)
        row.check(dir);
}

void Source(const TempDir& dir, size_t size) { WriteBytes(dir / "src", PatternBytes(size, 1)); }

INSTANTIATE_TEST_SUITE_P(
    Rows, CopierTable,
    testing::Values(
        CopierCase{"empty source", [](const TempDir& d) { Source(d, 0); }, false, true, "", false,
                   [](const TempDir& d) { EXPECT_EQ(std::filesystem::file_size(d / "dst"), 0u); }},
        CopierCase{"one byte past a chunk", [](const TempDir& d) { Source(d, CFileCopier::kChunkSize + 1); }, false,
                   true, "", false, nullptr},
        CopierCase{"several chunks", [](const TempDir& d) { Source(d, 3 * CFileCopier::kChunkSize + 17); }, false,
                   true, "", false, nullptr},
        CopierCase{"missing source, free destination", [](const TempDir&) {}, false, false,
                   CFileCopier::kSourceProblem, false, nullptr},
        CopierCase{"source is a folder",
                   [](const TempDir& d) { std::filesystem::create_directory(d / "src"); }, false, false,
                   CFileCopier::kSourceProblem, false, nullptr},
        CopierCase{"read-only source is read, not refused",
                   [](const TempDir& d) {
                       Source(d, 5000);
                       MakeReadOnly(d / "src");
                   },
                   false, true, "", false, nullptr},
        CopierCase{"existing destination without overwrite",
                   [](const TempDir& d) {
                       Source(d, 100);
                       WriteText(d / "dst", "keep me");
                   },
                   false, false, CFileCopier::kDestinationExists, true, nullptr},
        CopierCase{"existing destination with overwrite",
                   [](const TempDir& d) {
                       Source(d, 100);
                       WriteText(d / "dst", "a longer text than the source's hundred bytes would ever need to be, "
                                            "so that a copy that forgot to shorten the file shows it");
                   },
                   true, true, "", false, nullptr},
        CopierCase{"read-only destination with overwrite",
                   [](const TempDir& d) {
                       Source(d, 100);
                       WriteText(d / "dst", "protected");
                       MakeReadOnly(d / "dst");
                   },
                   true, false, CFileCopier::kCannotOverwrite, true, nullptr},
        CopierCase{"destination is a folder, with overwrite",
                   [](const TempDir& d) {
                       Source(d, 100);
                       std::filesystem::create_directory(d / "dst");
                   },
                   true, false, CFileCopier::kCannotOverwrite, true, nullptr},
        CopierCase{"destination is the source through a second name",
                   [](const TempDir& d) {
                       Source(d, 100);
                       ASSERT_EQ(::link((d / "src").c_str(), (d / "dst").c_str()), 0);
                   },
                   true, false, CFileCopier::kCannotOverwrite, true, nullptr}),
    [](const testing::TestParamInfo<CopierCase>& info) { return "Row" + std::to_string(info.index); });

TEST(CFileCopier, EmptyPathsAreRefusedFirst)
{
    CFileCopier copier;
    EXPECT_FALSE(copier.Copy("", "/tmp/x", false));
    EXPECT_EQ(copier.ErrorText(), CFileCopier::kNoSource);
    EXPECT_FALSE(copier.Copy("/tmp/x", "", false));
    EXPECT_EQ(copier.ErrorText(), CFileCopier::kNoDestination);
    EXPECT_FALSE(copier.DestinationFailed());
}

TEST(CFileCopier, SourceOntoItselfNeverTruncatesIt)
{
    TempDir dir;
    const auto bytes = PatternBytes(9000, 3);
    WriteBytes(dir / "src", bytes);
    CFileCopier copier;
    for (bool overwrite : {false, true}) {
        EXPECT_FALSE(copier.Copy((dir / "src").string(), (dir / "src").string(), overwrite));
        EXPECT_TRUE(copier.DestinationFailed());
        EXPECT_EQ(ReadBytes(dir / "src"), bytes);
    }
}

TEST(CFileCopier, ExistingDestinationFailsThenCopiesWithOverwrite)
{
    TempDir dir;
    WriteBytes(dir / "src", PatternBytes(300, 1));
    WriteText(dir / "dst", "old");
    CFileCopier copier;
    EXPECT_FALSE(copier.Copy((dir / "src").string(), (dir / "dst").string(), false));
    EXPECT_TRUE(copier.DestinationFailed());
    EXPECT_TRUE(copier.Copy((dir / "src").string(), (dir / "dst").string(), true));
    EXPECT_FALSE(copier.DestinationFailed());
    EXPECT_TRUE(copier.ErrorText().empty());
    EXPECT_EQ(ReadBytes(dir / "dst"), PatternBytes(300, 1));
}

TEST(CFileCopier, MissingDestinationFolderFailsAsTheDestination)
{
    TempDir dir;
    WriteBytes(dir / "src", PatternBytes(10, 1));
    CFileCopier copier;
    EXPECT_FALSE(copier.Copy((dir / "src").string(), (dir / "nowhere" / "dst").string(), false));
    EXPECT_EQ(copier.ErrorText(), CFileCopier::kDestinationExists);
    EXPECT_TRUE(copier.DestinationFailed());
}

TEST(CFileCopier, WriteFailureMidwayKeepsTheOldDestinationAndLeavesNoTemporaryFile)
{
    TempDir dir;
    const auto source = PatternBytes(3 * CFileCopier::kChunkSize, 4);
    WriteBytes(dir / "src", source);
    WriteText(dir / "dst", "the old destination");
    CFileCopier copier;
    {
        ScopedFileSizeLimit limit(CFileCopier::kChunkSize + 10);
        EXPECT_FALSE(copier.Copy((dir / "src").string(), (dir / "dst").string(), true));
        EXPECT_FALSE(copier.Copy((dir / "src").string(), (dir / "fresh").string(), false));
    }
    EXPECT_EQ(copier.ErrorText(), CFileCopier::kCopyProblem);
    EXPECT_FALSE(copier.DestinationFailed());
    EXPECT_EQ(ReadText(dir / "dst"), "the old destination");
    EXPECT_EQ(ReadBytes(dir / "src"), source);
    EXPECT_EQ(Listing(dir.path()), (std::vector<std::string>{"dst", "src"}));
}

TEST(CFileCopier, OffsetsSkipSourceBytesAndLeaveZerosBeforeTheDestinationOffset)
{
    TempDir dir;
    WriteText(dir / "src", "abcdefgh");
    CFileCopier copier;
    ASSERT_TRUE(copier.Copy((dir / "src").string(), (dir / "dst").string(), false, 2, 3));
    EXPECT_EQ(copier.Position(), 6u);
    EXPECT_EQ(ReadText(dir / "dst"), std::string("\0\0\0cdefgh", 9));
}

TEST(CFileCopier, SparseSourceBeyondFourGigabytesCopiesWholeAndStaysSparse)
{
    TempDir dir;
    const uint64_t size = (uint64_t(1) << 32) + 4097;  // past what 32 bits can count
    {
        const int fd = ::open((dir / "src").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "head", 4, 0), 4);
        ASSERT_EQ(::pwrite(fd, "middle", 6, off_t(1) << 31), 6);
        ASSERT_EQ(::pwrite(fd, "tail", 4, off_t(size - 4)), 4);
        ::close(fd);
    }
    CFileCopier copier;
    ASSERT_TRUE(copier.Copy((dir / "src").string(), (dir / "dst").string(), false)) << copier.ErrorText();
    struct stat st {};
    ASSERT_EQ(::stat((dir / "dst").c_str(), &st), 0);
    EXPECT_EQ(uint64_t(st.st_size), size);
    EXPECT_LT(uint64_t(st.st_blocks) * 512, uint64_t(16) << 20) << "the holes were written out";
    const int fd = ::open((dir / "dst").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    char buffer[8] = {};
    EXPECT_EQ(::pread(fd, buffer, 4, 0), 4);
    EXPECT_EQ(std::string(buffer, 4), "head");
    EXPECT_EQ(::pread(fd, buffer, 6, off_t(1) << 31), 6);
    EXPECT_EQ(std::string(buffer, 6), "middle");
    EXPECT_EQ(::pread(fd, buffer, 4, off_t(size - 4)), 4);
    EXPECT_EQ(std::string(buffer, 4), "tail");
    EXPECT_EQ(::pread(fd, buffer, 8, 100), 8);
    EXPECT_EQ(std::string(buffer, 8), std::string(8, '\0'));
    ::close(fd);
}

}  // namespace
