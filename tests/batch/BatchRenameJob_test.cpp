#include "batch/model/BatchRenameJob.h"

#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace batch;
namespace fs = std::filesystem;

namespace {

struct Message {
    std::string text;
    MessageKind kind;
};

class BatchRenameJobTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes)
    {
        lftest::WriteText(dir / name, bytes);
        return (dir / name).string();
    }
    MessageSink Sink()
    {
        return [this](const std::string& text, MessageKind kind) { messages.push_back({text, kind}); };
    }

    lftest::TempDir dir;
    std::vector<Message> messages;
};

}  // namespace

TEST_F(BatchRenameJobTest, RenamesInPlaceAndNeverReplacesAnExistingFile)
{
    const std::string a = Make("a.jpg", "A");
    const std::string b = Make("b.jpg", "B");
    const std::string c = Make("c.jpg", "C");
    // b would take a's name, which c still holds for a moment: the rename of b fails, and
    // both files keep their bytes.
    BatchRenameJob job({{a, "x.jpg"}, {b, "c.jpg"}, {c, "y.jpg"}}, true, "", CopyWithFileCopier, Sink());
    EXPECT_EQ(job.Run(), std::nullopt);
    EXPECT_TRUE(job.Finished());
    EXPECT_EQ(lftest::ReadText(dir / "x.jpg"), "A");
    EXPECT_EQ(lftest::ReadText(dir / "b.jpg"), "B");
    EXPECT_EQ(lftest::ReadText(dir / "y.jpg"), "C");
    EXPECT_FALSE(fs::exists(dir / "c.jpg"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "Cannot rename b.jpg: A file with the name you specified already exists.\nSpecify a different file name.");
    EXPECT_EQ(job.Handled(), (std::vector<std::string>{a, b, c}));
}

TEST_F(BatchRenameJobTest, MissingFilesAndUnusableNamesAreReportedAndTheJobGoesOn)
{
    const std::string gone = (dir / "gone.jpg").string();
    const std::string keep = Make("keep.jpg", "K");
    const std::string next = Make("next.jpg", "N");
    // The folder is what precedes the last "/", even when the name also appears earlier.
    const fs::path nested = dir / "next.jpg.d";
    fs::create_directory(nested);
    lftest::WriteText(nested / "next.jpg", "D");
    BatchRenameJob job({{gone, "g.jpg"}, {keep, "sub/k.jpg"}, {(nested / "next.jpg").string(), "n1.jpg"}, {next, "n2.jpg"}},
                       true, "", CopyWithFileCopier, Sink());
    EXPECT_EQ(job.Run(), std::nullopt);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "' " + gone + " '\n Was not found, it has been Removed Or Renamed.");
    EXPECT_EQ(messages[0].kind, MessageKind::Information);
    EXPECT_NE(messages[1].text.find("Cannot rename keep.jpg"), std::string::npos);
    EXPECT_EQ(lftest::ReadText(dir / "keep.jpg"), "K");
    EXPECT_EQ(lftest::ReadText(nested / "n1.jpg"), "D");
    EXPECT_EQ(lftest::ReadText(dir / "n2.jpg"), "N");
}

TEST_F(BatchRenameJobTest, CopiesIntoTheOutputFolderAndAsksBeforeOverwriting)
{
    const std::string a = Make("a.jpg", "A");
    const std::string b = Make("b.jpg", "B");
    const std::string c = Make("c.jpg", "C");
    const fs::path out = dir / "out";
    fs::create_directory(out);
    lftest::WriteText(out / "p1.jpg", "old1");
    lftest::WriteText(out / "p2.jpg", "old2");
    BatchRenameJob job({{a, "p0.jpg"}, {b, "p1.jpg"}, {c, "p2.jpg"}}, false, out.string(), CopyWithFileCopier, Sink());

    auto question = job.Run();
    ASSERT_TRUE(question);
    EXPECT_EQ(*question, "The specified destination file already exists.\nDo you want to overwrite the existing file?");
    EXPECT_EQ(lftest::ReadText(out / "p0.jpg"), "A");
    job.Answer(true);
    question = job.Run();
    ASSERT_TRUE(question) << "the second existing file asks again";
    job.Answer(false);
    EXPECT_EQ(job.Run(), std::nullopt);
    EXPECT_TRUE(job.Finished());

    EXPECT_EQ(lftest::ReadText(out / "p1.jpg"), "B");
    EXPECT_EQ(lftest::ReadText(out / "p2.jpg"), "old2") << "answered No";
    EXPECT_EQ(lftest::ReadText(dir / "c.jpg"), "C") << "a copy leaves the source";
    EXPECT_TRUE(messages.empty());
}

TEST_F(BatchRenameJobTest, CopyFailuresShowTheCopiersText)
{
    const std::string a = Make("a.jpg", std::string(20000, 'a'));
    const fs::path out = dir / "out";
    fs::create_directory(out);
    BatchRenameJob job({{a, "p.jpg"}}, false, out.string(), CopyWithFileCopier, Sink());
    {
        lftest::ScopedFileSizeLimit limit(5000);  // the copy cannot be written whole
        EXPECT_EQ(job.Run(), std::nullopt);
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "There have problem to make into out source.");
    EXPECT_EQ(messages[0].kind, MessageKind::Plain);
    EXPECT_TRUE(fs::is_empty(out)) << "no partial copy stays";
}

TEST_F(BatchRenameJobTest, ARelativeOutputFolderIsRefusedBeforeAnyFile)
{
    const std::string a = Make("a.jpg", "A");
    for (const char* folder : {"out", "./out", ""}) {
        messages.clear();
        std::vector<std::string> copied;
        BatchRenameJob job({{a, "x.jpg"}}, false, folder,
                           [&](const std::string&, const std::string& target, bool) {
                               copied.push_back(target);
                               return CopyOutcome{true, false, {}};
                           },
                           Sink());
        EXPECT_EQ(job.Run(), std::nullopt) << folder;
        EXPECT_TRUE(job.Finished());
        EXPECT_TRUE(copied.empty()) << folder;
        ASSERT_EQ(messages.size(), 1u) << folder;
        EXPECT_NE(messages[0].text.find("full path"), std::string::npos);
    }
}
