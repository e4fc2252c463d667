#pragma once
// The document's questions and messages as the user sees them: message boxes (captioned with
// the application title unless the question names another caption), the JPEG options dialog and the save file dialog.

#include "editor/model/DocPrompts.h"

class wxWindow;

class CPixoroPrompts : public DocPrompts {
public:
    // parent: the window the boxes belong to (the main frame), or null.
    explicit CPixoroPrompts(wxWindow* parent = nullptr) : m_parent(parent) {}
    void SetParent(wxWindow* parent) { m_parent = parent; }

    Answer AskYesNoCancel(const std::string& text, const std::string& caption) override;
    void ShowMessage(const std::string& text, Icon icon) override;
    bool AskJpegOptions(JpegOptions& options, bool namePending) override;
    bool AskSaveFileName(std::string& name, int& type) override;

private:
    wxWindow* m_parent;
};
