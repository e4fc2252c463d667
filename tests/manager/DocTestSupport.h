#pragma once
// A document for tests: no app, a session file in a temporary folder, messages and
// view updates recorded instead of shown.

#include "manager/ui/CQuorixDoc.h"

#include <memory>
#include <string>
#include <vector>

namespace lftest {

class TestDoc : public CQuorixDoc {
public:
    explicit TestDoc(const std::string& sessionPath, CQuorixState* state = nullptr)
        : CQuorixDoc(state, sessionPath)
    {
        SetMessageSink([this](const std::string& text) { messages.push_back(text); });
    }
    void UpdateAllViews(wxView* = nullptr, wxObject* = nullptr) override { ++updates; }

    // A folder record with images named by names, paths under path.
    static std::unique_ptr<CFolderItem> MakeFolder(const std::string& path, std::initializer_list<const char*> names)
    {
        auto folder = std::make_unique<CFolderItem>(path, path, 0);
        for (const char* name : names)
            folder->AddImage(std::make_unique<CImageItem>(name, path + "/" + name, 100, 0, 0));
        return folder;
    }

    std::vector<std::string> messages;
    int updates = 0;
};

}  // namespace lftest
