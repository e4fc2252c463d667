#include "batch/model/JobQuestions.h"

#include <condition_variable>
#include <mutex>
#include <optional>

struct JobQuestions::Shared {
    std::mutex mutex;
    std::condition_variable answered;
    bool abandoned = false;
    Poster poster;
    Shower shower;
};

JobQuestions::JobQuestions(Poster poster) : m_shared(std::make_shared<Shared>())
{
    m_shared->poster = std::move(poster);
}

JobQuestions::~JobQuestions() { Abandon(); }

void JobQuestions::SetShower(Shower shower)
{
    std::lock_guard lock(m_shared->mutex);
    m_shared->shower = std::move(shower);
}

void JobQuestions::Abandon()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->abandoned = true;
    }
    m_shared->answered.notify_all();
}

bool JobQuestions::Ask(const std::string& text, const std::string& caption, bool question) const
{
    return Ask(m_shared, text, caption, question);
}

bool JobQuestions::Ask(const std::shared_ptr<Shared>& shared, const std::string& text, const std::string& caption,
                       bool question)
{
    auto answer = std::make_shared<std::optional<bool>>();
    Poster poster;
    {
        std::lock_guard lock(shared->mutex);
        if (shared->abandoned)
            return false;
        poster = shared->poster;
    }
    poster([shared, answer, text, caption, question] {
        Shower shower;
        {
            std::lock_guard lock(shared->mutex);
            if (shared->abandoned)
                return;
            shower = shared->shower;
        }
        const bool result = shower && shower(text, caption, question);
        {
            std::lock_guard lock(shared->mutex);
            *answer = result;
        }
        shared->answered.notify_all();
    });
    std::unique_lock lock(shared->mutex);
    shared->answered.wait(lock, [&] { return answer->has_value() || shared->abandoned; });
    return answer->value_or(false);
}

JobPrompts JobQuestions::MakePrompts(const std::string& caption) const
{
    JobPrompts prompts;
    prompts.askYesNo = [shared = m_shared, caption](const std::string& text) { return Ask(shared, text, caption, true); };
    prompts.showError = [shared = m_shared, caption](const std::string& text) { Ask(shared, text, caption, false); };
    return prompts;
}
