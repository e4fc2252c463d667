#pragma once
// The questions and error boxes of a worker: each is shown on the user-interface thread
// while the worker waits for the answer. Once abandoned (the dialog is going away),
// every waiting and every later question is answered No without a box, so whoever joins
// the worker never waits on the user.

#include "batch/model/FileOpJob.h"

#include <functional>
#include <memory>
#include <string>

class JobQuestions {
public:
    // Runs a task on the user-interface thread, later; never waits for it.
    using Poster = std::function<void(std::function<void()>)>;
    // Shows a box on the user-interface thread: a Yes/No question (true for Yes) or an
    // error with OK (the result is ignored).
    using Shower = std::function<bool(const std::string& text, const std::string& caption, bool question)>;

    explicit JobQuestions(Poster poster);
    ~JobQuestions();  // abandons
    JobQuestions(const JobQuestions&) = delete;
    JobQuestions& operator=(const JobQuestions&) = delete;

    void SetShower(Shower shower);
    // On the worker: the box's answer, false once abandoned.
    bool Ask(const std::string& text, const std::string& caption, bool question) const;
    void Abandon();
    // The prompts of a job, under the caption; they stay usable after this object goes.
    JobPrompts MakePrompts(const std::string& caption) const;

private:
    struct Shared;
    static bool Ask(const std::shared_ptr<Shared>& shared, const std::string& text, const std::string& caption,
                    bool question);
    std::shared_ptr<Shared> m_shared;
};
