#include "batch/model/JobQuestions.h"
#include "tests/batch/FileFixtures.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using namespace lftest;

// The user-interface thread's queue, drained by the test's own thread.
class UiQueue {
public:
    JobQuestions::Poster Poster()
    {
        return [this](std::function<void()> task) {
            {
                std::lock_guard lock(m_mutex);
                m_tasks.push_back(std::move(task));
            }
            m_posted.notify_all();
        };
    }
    // Runs queued tasks until done holds.
    void RunUntil(const std::function<bool()>& done)
    {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock lock(m_mutex);
                m_posted.wait_for(lock, std::chrono::milliseconds(5), [this] { return !m_tasks.empty(); });
                if (m_tasks.empty()) {
                    lock.unlock();
                    if (done())
                        return;
                    continue;
                }
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            task();
        }
    }
    size_t Pending()
    {
        std::lock_guard lock(m_mutex);
        return m_tasks.size();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::function<void()>> m_tasks;
};

TEST(JobQuestions, AJobOnAWorkerGetsTheAnswersGivenOnTheUserInterfaceThread)
{
    TempDir dir;
    std::vector<FileOpEntry> entries;
    for (const char* name : {"a.jpg", "b.jpg"}) {
        WriteText(dir / name, std::string("new ") + name);
        std::filesystem::create_directories(dir / "to");
        WriteText(dir / "to" / name, "old");
        entries.push_back({name, (dir / name).string()});
    }
    UiQueue ui;
    JobQuestions questions(ui.Poster());
    const std::thread::id uiThread = std::this_thread::get_id();
    std::vector<std::string> shown;
    questions.SetShower([&](const std::string& text, const std::string& caption, bool question) {
        EXPECT_EQ(std::this_thread::get_id(), uiThread);
        EXPECT_EQ(caption, "Lanternfolio Photo Editor");
        EXPECT_TRUE(question);
        shown.push_back(text);
        return shown.size() == 1;  // Yes for a.jpg, No for b.jpg
    });
    FileOpJob job(FileOpJob::kCopy, FileOpJob::Origin::Drop, (dir / "to").string(), entries,
                  questions.MakePrompts("Lanternfolio Photo Editor"));
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        job.Run();
        finished = true;
    });
    ui.RunUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(ReadText(dir / "to" / "a.jpg"), "new a.jpg");
    EXPECT_EQ(ReadText(dir / "to" / "b.jpg"), "old");
    EXPECT_EQ(job.DoneCount(), 1);
}

TEST(JobQuestions, AbandoningAnswersTheWaitingQuestionNoAndShowsNoBoxLater)
{
    UiQueue ui;
    bool showed = false;
    JobPrompts prompts;
    std::atomic<int> answer{-1};
    std::thread worker;
    {
        JobQuestions questions(ui.Poster());
        questions.SetShower([&](const std::string&, const std::string&, bool) { return showed = true; });
        prompts = questions.MakePrompts("caption");
        worker = std::thread([&] { answer = prompts.askYesNo("Replace?") ? 1 : 0; });
        // The question is posted; the dialog goes before the user-interface thread runs it.
        while (ui.Pending() == 0)
            std::this_thread::yield();
        questions.Abandon();
        worker.join();
        EXPECT_EQ(answer, 0);
    }
    ui.RunUntil([] { return true; });
    EXPECT_FALSE(showed) << "a question posted before the end shows no box after it";
    // Prompts kept past their questions' end still answer, with No, at once.
    EXPECT_FALSE(prompts.askYesNo("again?"));
    prompts.showError("an error nobody sees");
    EXPECT_EQ(ui.Pending(), 0u);
}

}  // namespace
