#pragma once
// Everything the document asks the user or tells the user goes through this interface:
// the window layer answers with message boxes and dialogs, tests with scripted answers.

#include <string>

struct JpegOptions;

class DocPrompts {
public:
    enum class Answer { Yes, No, Cancel };
    enum class Icon { None, Information, Error, Question };

    virtual ~DocPrompts() = default;

    // A box with Yes, No and Cancel and the question icon, captioned with caption.
    virtual Answer AskYesNoCancel(const std::string& text, const std::string& caption) = 0;
    // A box with an OK button.
    virtual void ShowMessage(const std::string& text, Icon icon) = 0;
    // The JPEG options dialog, started from options; true with the user's choice in
    // options when it ended with Save. namePending: the file name is still to be asked.
    virtual bool AskJpegOptions(JpegOptions& options, bool namePending) = 0;
    // The save file dialog, proposing name (which gets the chosen path) with the type's
    // row selected; false when cancelled.
    virtual bool AskSaveFileName(std::string& name, int& type) = 0;
};
