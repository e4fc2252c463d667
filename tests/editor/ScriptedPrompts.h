#pragma once
// Answers the document's questions from a script and records what it was asked and told.

#include "editor/model/JpegOptions.h"
#include "editor/model/DocPrompts.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace lftest {

class ScriptedPrompts : public DocPrompts {
public:
    // Queued answers; a question without a queued answer fails the test and cancels.
    std::deque<Answer> answers;
    // The JPEG options dialog: OK with these options (changed by the test as wanted), or
    // Cancel when jpegOk is false.
    bool jpegOk = true;
    std::optional<JpegOptions> jpegChoice;
    // The save file dialog: the chosen path, or Cancel when empty.
    std::string saveName;

    std::vector<std::string> questions;
    std::vector<std::string> captions;  // one per question
    std::vector<std::pair<std::string, Icon>> messages;
    std::vector<bool> jpegNamePending;
    std::vector<std::string> proposedNames;

    Answer AskYesNoCancel(const std::string& text, const std::string& caption) override
    {
        questions.push_back(text);
        captions.push_back(caption);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return Answer::Cancel;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowMessage(const std::string& text, Icon icon) override { messages.emplace_back(text, icon); }
    bool AskJpegOptions(JpegOptions& options, bool namePending) override
    {
        jpegNamePending.push_back(namePending);
        if (!jpegOk)
            return false;
        if (jpegChoice)
            options = *jpegChoice;
        return true;
    }
    bool AskSaveFileName(std::string& name, int& type) override
    {
        proposedNames.push_back(name);
        (void)type;
        if (saveName.empty())
            return false;
        name = saveName;
        return true;
    }
};

}  // namespace lftest
