#include "batch/model/FileAttributes.h"
#include "batch/model/FileOpJob.h"
#include "tests/batch/FileFixtures.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

namespace {

using namespace lftest;

// Five images a.jpg .. e.jpg in "from", an empty "to"; prompts recorded and answered
// by script.
class FileOpJobTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(m_dir / "from");
        std::filesystem::create_directory(m_dir / "to");
        for (unsigned i = 0; i < 5; ++i) {
            const std::string name = std::string(1, char('a' + i)) + ".jpg";
            WriteBytes(From(name), PatternBytes(5000 + i, i));
            m_entries.push_back({name, From(name).string()});
        }
    }

    std::filesystem::path From(const std::string& name) const { return m_dir / "from" / name; }
    std::filesystem::path To(const std::string& name) const { return m_dir / "to" / name; }

    std::unique_ptr<FileOpJob> Make(int mode, const std::string& destination,
                                    FileOpJob::Origin origin = FileOpJob::Origin::Commands)
    {
        JobPrompts prompts;
        prompts.askYesNo = [this](const std::string& question) {
            m_questions.push_back(question);
            return m_answer;
        };
        prompts.showError = [this](const std::string& text) { m_errors.push_back(text); };
        auto job = std::make_unique<FileOpJob>(mode, origin, destination, m_entries, prompts);
        job->SetPause(std::chrono::milliseconds(0));
        return job;
    }

    TempDir m_dir;
    std::vector<FileOpEntry> m_entries;
    bool m_answer = false;
    std::vector<std::string> m_questions;
    std::vector<std::string> m_errors;
};

TEST_F(FileOpJobTest, CopyAsksForTheExistingTargetAndNoLeavesItUntouched)
{
    WriteText(To("c.jpg"), "already here");
    auto job = Make(FileOpJob::kCopy, (m_dir / "to").string() + "/");
    job->Run();
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0], "File already exists. Do you want to \noverwrite on " + To("c.jpg").string() + "?");
    EXPECT_EQ(ReadText(To("c.jpg")), "already here");
    for (const char* name : {"a.jpg", "b.jpg", "d.jpg", "e.jpg"})
        EXPECT_EQ(ReadBytes(To(name)), ReadBytes(From(name))) << name;
    EXPECT_EQ(job->DoneCount(), 4);
    EXPECT_EQ(job->MetCount(), 5);
    EXPECT_TRUE(m_errors.empty());
    EXPECT_TRUE(job->MovedPaths().empty());
    EXPECT_EQ(Listing(m_dir / "from").size(), 5u);
}

TEST_F(FileOpJobTest, YesReplacesTheExistingTarget)
{
    WriteText(To("a.jpg"), "old");
    m_answer = true;
    auto job = Make(FileOpJob::kCopy, (m_dir / "to").string());
    job->Run();
    EXPECT_EQ(ReadBytes(To("a.jpg")), ReadBytes(From("a.jpg")));
    EXPECT_EQ(job->DoneCount(), 5);
}

TEST_F(FileOpJobTest, MoveTakesEverySourceAwayAndListsIt)
{
    std::vector<std::vector<uint8_t>> contents;
    for (const auto& entry : m_entries)
        contents.push_back(ReadBytes(entry.path));
    auto job = Make(FileOpJob::kMove, (m_dir / "to").string() + "/");
    job->Run();
    EXPECT_EQ(job->DoneCount(), 5);
    EXPECT_TRUE(Listing(m_dir / "from").empty());
    for (size_t i = 0; i < m_entries.size(); ++i)
        EXPECT_EQ(ReadBytes(To(m_entries[i].name)), contents[i]);
    ASSERT_EQ(job->MovedPaths().size(), 5u);
    EXPECT_EQ(job->MovedPaths()[0], m_entries[0].path);
}

TEST_F(FileOpJobTest, CopyOrMoveIntoItsOwnFolderKeepsEveryFileAndSaysSo)
{
    // The folder itself, and the folder reached through a link and through "..": the
    // files are the same by device and inode, whatever their paths read.
    std::filesystem::create_directory_symlink(m_dir / "from", m_dir / "link");
    const std::string ways[] = {(m_dir / "from").string() + "/", (m_dir / "link").string(),
                                (m_dir / "to" / ".." / "from").string()};
    std::vector<std::string> sources;
    for (const FileOpEntry& entry : m_entries)
        sources.push_back(entry.path);
    for (const int mode : {FileOpJob::kCopy, FileOpJob::kMove})
        for (const auto origin : {FileOpJob::Origin::Commands, FileOpJob::Origin::Drop})
            for (const std::string& way : ways) {
                m_questions.clear();
                m_errors.clear();
                m_answer = true;  // a Yes would empty the files: each would be written over itself
                auto job = Make(mode, way, origin);
                job->Run();
                EXPECT_TRUE(m_questions.empty()) << way;
                EXPECT_EQ(job->DoneCount(), 0) << way;
                EXPECT_TRUE(job->MovedPaths().empty()) << way;
                ASSERT_EQ(m_errors.size(), 1u) << "one message for the job: " << way;
                EXPECT_EQ(m_errors[0], FileOpJob::SameFileText(sources));
                for (unsigned i = 0; i < 5; ++i)
                    EXPECT_EQ(ReadBytes(m_entries[i].path), PatternBytes(5000 + i, i)) << way;
            }
}

TEST(FileOpJobText, SameFileTextListsTheFirstPaths)
{
    EXPECT_EQ(FileOpJob::SameFileText({"/p/a.jpg"}), "Source and destination are the same file:\n/p/a.jpg");
    std::vector<std::string> many;
    for (size_t i = 0; i < FileOpJob::kSameFilesListed + 3; ++i)
        many.push_back("/p/" + std::to_string(i) + ".jpg");
    const std::string text = FileOpJob::SameFileText(many);
    EXPECT_NE(text.find("\n/p/9.jpg\n(3 more)"), std::string::npos) << text;
    EXPECT_EQ(text.find("/p/10.jpg"), std::string::npos) << text;
}

TEST_F(FileOpJobTest, AnotherFileOfTheSameNameIsAskedAboutNotCalledTheSame)
{
    // A file of the same name that is another file is asked about, not called the same.
    WriteText(To("a.jpg"), "other");
    auto job = Make(FileOpJob::kCopy, (m_dir / "to").string());
    job->Run();
    EXPECT_EQ(m_questions.size(), 1u);
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(FileOpJobTest, UnwritableTargetKeepsTheSourceAndCountsNothingDone)
{
    auto job = Make(FileOpJob::kMove, (m_dir / "missing").string() + "/");
    job->Run();
    EXPECT_EQ(job->DoneCount(), 0);
    EXPECT_EQ(m_errors, std::vector<std::string>(5, FileOpJob::kWriteError));
    EXPECT_EQ(Listing(m_dir / "from").size(), 5u);
    EXPECT_TRUE(job->MovedPaths().empty());
}

TEST_F(FileOpJobTest, ReadOnlySourceIsCopiedOnAMoveButKeptWithTheMoveErrorAndNotCountedAsMoved)
{
    MakeReadOnly(From("b.jpg"));
    auto job = Make(FileOpJob::kMove, (m_dir / "to").string() + "/");
    job->Run();
    EXPECT_EQ(job->DoneCount(), 4) << "the file whose source stayed was not moved";
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_EQ(m_errors[0], "ERROR:005  Unable to move  Readonly File.\n" + From("b.jpg").string());
    EXPECT_TRUE(Exists(From("b.jpg")));
    EXPECT_EQ(ReadBytes(To("b.jpg")), ReadBytes(From("b.jpg")));
    EXPECT_EQ(job->MovedPaths().size(), 4u);
}

TEST_F(FileOpJobTest, DeleteRefusesTheReadOnlyFileWithCauseFiveAndDeletesTheOthers)
{
    MakeReadOnly(From("c.jpg"));
    auto job = Make(FileOpJob::kDelete, "");
    job->Run();
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_EQ(m_errors[0], "ERROR:005  Unable to delete  Readonly File.\n" + From("c.jpg").string());
    EXPECT_EQ(Listing(m_dir / "from"), std::vector<std::string>{"c.jpg"});
    EXPECT_EQ(job->MetCount(), 5);
}

TEST_F(FileOpJobTest, DeleteOfAVanishedFileTellsFileNotFound)
{
    std::filesystem::remove(From("a.jpg"));
    auto job = Make(FileOpJob::kDelete, "");
    job->Run();
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_EQ(m_errors[0], "ERROR:002  Unable to delete  File.\n" + From("a.jpg").string());
}

TEST_F(FileOpJobTest, UnreadableSourceIsPassedOverSilently)
{
    std::filesystem::remove(From("d.jpg"));
    auto job = Make(FileOpJob::kCopy, (m_dir / "to").string());
    job->Run();
    EXPECT_TRUE(m_errors.empty());
    EXPECT_EQ(job->DoneCount(), 4);
    EXPECT_EQ(job->MetCount(), 5);
}

TEST_F(FileOpJobTest, DropAsksItsOwnQuestion)
{
    WriteText(To("e.jpg"), "x");
    auto job = Make(FileOpJob::kCopy, (m_dir / "to").string(), FileOpJob::Origin::Drop);
    job->Run();
    EXPECT_EQ(m_questions, std::vector<std::string>{"Do you want to overwrite " + To("e.jpg").string()});
}

TEST_F(FileOpJobTest, RelativeDestinationWritesNothing)
{
    for (const std::string destination : {"", "to/"}) {
        m_errors.clear();
        auto job = Make(FileOpJob::kCopy, destination);
        job->Run();
        EXPECT_EQ(job->DoneCount(), 0);
        EXPECT_EQ(m_errors.size(), 5u);
    }
}

TEST_F(FileOpJobTest, CancelFromAnotherThreadStopsAfterTheFileInHand)
{
    // Every target exists: the job waits in each question, where the user-interface
    // thread cancels it as the dialog's Cancel would.
    for (const auto& entry : m_entries)
        WriteText(To(entry.name), "old");
    std::atomic<int> asked{0};
    FileOpJob* running = nullptr;
    JobPrompts prompts;
    prompts.askYesNo = [&](const std::string&) {
        if (++asked == 2) {
            std::thread canceller([&] { running->Cancel(); });
            canceller.join();
        }
        return true;
    };
    FileOpJob job(FileOpJob::kCopy, FileOpJob::Origin::Commands, (m_dir / "to").string(), m_entries, prompts);
    job.SetPause(std::chrono::milliseconds(0));
    running = &job;
    std::thread worker([&] { job.Run(); });
    worker.join();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(job.DoneCount(), 2);
    EXPECT_EQ(job.Handled(), 0) << "the count goes back to 0 when the job ends";
    EXPECT_EQ(ReadText(To("c.jpg")), "old");
}

TEST_F(FileOpJobTest, NamesUpToTheSystemsLimitAreCopiedAndMoved)
{
    for (const size_t length : {244u, 250u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".jpg";
        WriteBytes(From(name), PatternBytes(3000, unsigned(length)));
        m_entries = {{name, From(name).string()}};
        auto copy = Make(FileOpJob::kCopy, (m_dir / "to").string());
        copy->Run();
        EXPECT_TRUE(m_errors.empty()) << length << ": " << (m_errors.empty() ? "" : m_errors[0]);
        EXPECT_EQ(ReadBytes(To(name)), PatternBytes(3000, unsigned(length)));
        std::filesystem::remove(To(name));
        auto move = Make(FileOpJob::kMove, (m_dir / "to").string());
        move->Run();
        EXPECT_EQ(move->DoneCount(), 1) << length;
        EXPECT_FALSE(Exists(From(name)));
        m_errors.clear();
    }
}

TEST(FileAttributes, TextAndCauses)
{
    EXPECT_EQ(AttributeText({true, false, false, false}), " File.");
    EXPECT_EQ(AttributeText({true, true, false, false}), " Readonly File.");
    EXPECT_EQ(AttributeText({true, true, true, false}), " Hidden File.");
    EXPECT_EQ(AttributeText({true, true, true, true}), " System File.");
    const std::pair<int, int> causes[] = {{0, 0},       {ENOENT, 2}, {ENOTDIR, 3}, {EMFILE, 4}, {EACCES, 5},
                                          {EPERM, 5},   {EROFS, 5},  {EISDIR, 6},  {EBUSY, 7},  {ESPIPE, 9},
                                          {EIO, 10},    {ETXTBSY, 11}, {ENOLCK, 12}, {ENOSPC, 13}, {EDQUOT, 13},
                                          {EOVERFLOW, 1}};
    for (const auto& [errnum, cause] : causes)
        EXPECT_EQ(FileErrorCause(errnum), cause) << errnum;
    EXPECT_EQ(FileOpJob::DeleteErrorText(false, 13, " File.", "/a/b.jpg"), "ERROR:0013  Unable to delete  File.\n/a/b.jpg");
}

TEST(FileAttributes, ReadOnlyAndHiddenFromModeAndName)
{
    TempDir dir;
    WriteText(dir / "plain.jpg", "x");
    WriteText(dir / ".hidden.jpg", "x");
    WriteText(dir / "locked.jpg", "x");
    MakeReadOnly(dir / "locked.jpg");
    const FileAttributes plain = ReadFileAttributes((dir / "plain.jpg").string());
    EXPECT_TRUE(plain.exists);
    EXPECT_FALSE(plain.readOnly || plain.hidden || plain.system);
    EXPECT_TRUE(ReadFileAttributes((dir / ".hidden.jpg").string()).hidden);
    EXPECT_TRUE(ReadFileAttributes((dir / "locked.jpg").string()).readOnly);
    EXPECT_FALSE(ReadFileAttributes((dir / "none.jpg").string()).exists);
}

}  // namespace
