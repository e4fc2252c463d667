#pragma once
// The editor's document manager, template and main window, as start-up builds them, for
// window tests; edits left by a test are dropped without saving.

#include "editor/ui/CMainFrame.h"
#include "editor/ui/CPixoroDocTemplate.h"
#include "editor/model/CPixoroState.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/docview.h>

#include <memory>

namespace lftest {

class EditorFrameFixture : public ::testing::Test {
protected:
    EditorFrameFixture()
    {
        manager = std::make_unique<wxDocManager>(0, false);
        manager->Initialize();
        new CPixoroDocTemplate(manager.get(), state, prompts);
        frame = new CMainFrame(manager.get());
        wxTheApp->SetTopWindow(frame);
        frame->Show();
        PumpFor(std::chrono::milliseconds(30));
    }
    ~EditorFrameFixture() override
    {
        prompts.answers.assign(4, DocPrompts::Answer::No);
        manager->Clear(true);
        frame->Destroy();
        PumpFor(std::chrono::milliseconds(50));
        wxTheApp->SetTopWindow(nullptr);
    }

    TempDir dir;
    CPixoroState state{(dir / "settings.ini").string()};
    ScriptedPrompts prompts;
    std::unique_ptr<wxDocManager> manager;
    CMainFrame* frame = nullptr;
};

}  // namespace lftest
