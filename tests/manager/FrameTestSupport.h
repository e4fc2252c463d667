#pragma once
// The manager's document template with the session file in a test's folder, the
// manager's frame and document in a test's process, and a screenshot of the test
// display kept as an artefact.

#include "manager/CMainFrame.h"
#include "manager/CQuorixDoc.h"
#include "manager/CQuorixDocManager.h"
#include "manager/CQuorixDocTemplate.h"
#include "manager/CQuorixState.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/weakref.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace lftest {

class TestTemplate : public CQuorixDocTemplate {
public:
    TestTemplate(wxDocManager* manager, CQuorixState& state, std::string session)
        : CQuorixDocTemplate(manager, state), m_state(state), m_session(std::move(session))
    {
    }

protected:
    wxDocument* DoCreateDocument() override { return new CQuorixDoc(&m_state, m_session); }

private:
    CQuorixState& m_state;
    std::string m_session;
};

// The manager's frame and document in this process, with the session file, the
// settings and the thumbnail cache in the test's folders.
class ManagerWindow {
public:
    explicit ManagerWindow(const TempDir& dir)
    {
        state = std::make_unique<CQuorixState>((dir / "settings.ini").string());
        manager = std::make_unique<CQuorixDocManager>();
        new TestTemplate(manager.get(), *state, (dir / "qkvex.sess").string());
        frame = new CMainFrame(manager.get(), *state);
        frame->SetMessageSink([this](const std::string& text) { messages.push_back(text); });
        frame->SetSize(0, 0, 1000, 765);
        wxTheApp->SetTopWindow(frame);
        EXPECT_TRUE(manager->CreateNewDocument());
        doc = dynamic_cast<CQuorixDoc*>(manager->GetCurrentDocument());
        doc->SetMessageSink([this](const std::string& text) { messages.push_back(text); });
        frame->Show();
        PumpFor(std::chrono::milliseconds(50));
    }
    ~ManagerWindow() { Close(); }
    ManagerWindow(const ManagerWindow&) = delete;
    ManagerWindow& operator=(const ManagerWindow&) = delete;
    void Close()
    {
        wxWeakRef<wxWindow> alive(frame);
        if (frame)
            frame->Close(true);
        EXPECT_TRUE(PumpUntil([&] { return !alive; }));
        frame = nullptr;
        wxTheApp->SetTopWindow(nullptr);
        manager.reset();
        state.reset();
    }

    std::unique_ptr<CQuorixState> state;
    std::unique_ptr<CQuorixDocManager> manager;
    CMainFrame* frame = nullptr;
    CQuorixDoc* doc = nullptr;
    std::vector<std::string> messages;
};

// Saves the top-left size of the screen as a PNG file.
inline void SaveScreenshot(const std::filesystem::path& file, wxSize size = wxSize())
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
        wxImage::AddHandler(new wxPNGHandler);
    wxScreenDC screen;
    if (size == wxSize())
        size = screen.GetSize();
    wxBitmap shot(size);
    {
        wxMemoryDC memory(shot);
        memory.Blit(0, 0, size.x, size.y, &screen, 0, 0);
    }
    std::filesystem::create_directories(file.parent_path());
    EXPECT_TRUE(shot.ConvertToImage().SaveFile(file.string(), wxBITMAP_TYPE_PNG));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

}  // namespace lftest
