#pragma once
// The manager's frame and document in a window test's process, with the session file,
// the settings and the thumbnail cache in the test's folders.

#include "FrameTestSupport.h"
#include "manager/ui/CDirectoryView.h"
#include "manager/ui/CFoldersView.h"
#include "manager/ui/CImageView.h"
#include "manager/ui/CMainFrame.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/ui/CQuorixDocManager.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/CSysImageList.h"
#include "manager/ui/CTollbarView.h"
#include "manager/model/ThumbGrid.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/weakref.h>

#include <memory>
#include <string>
#include <vector>

namespace lftest {

class Manager {
public:
    explicit Manager(const lftest::TempDir& dir)
    {
        state = std::make_unique<CQuorixState>((dir / "settings.ini").string());
        manager = std::make_unique<CQuorixDocManager>();
        new lftest::TestTemplate(manager.get(), *state, (dir / "qkvex.sess").string());
        icons = std::make_unique<CSysImageList>();
        frame = new CMainFrame(manager.get(), *state, icons.get());
        frame->SetMessageSink([this](const std::string& text) { messages.push_back(text); });
        frame->SetSize(0, 0, 1000, 765);
        wxTheApp->SetTopWindow(frame);
        EXPECT_TRUE(manager->CreateNewDocument());
        doc = dynamic_cast<CQuorixDoc*>(manager->GetCurrentDocument());
        doc->SetMessageSink([this](const std::string& text) { messages.push_back(text); });
        frame->Show();
        lftest::PumpFor(std::chrono::milliseconds(50));
    }
    ~Manager() { Close(); }
    void Close()
    {
        wxWeakRef<wxWindow> alive(frame);
        if (frame)
            frame->Close(true);
        EXPECT_TRUE(lftest::PumpUntil([&] { return !alive; }));
        frame = nullptr;
        wxTheApp->SetTopWindow(nullptr);
        manager.reset();
        state.reset();
    }
    CDirectoryView* Tree() const { return dynamic_cast<CDirectoryView*>(frame->GetDirectoryView()); }
    CFoldersView* Recent() const { return dynamic_cast<CFoldersView*>(frame->GetRecentFoldersView()); }
    CImageView* Grid() const { return dynamic_cast<CImageView*>(frame->GetImagePaneView()); }
    CTollbarView* Panel() const { return dynamic_cast<CTollbarView*>(frame->GetToolPanelView()); }
    bool AllThumbnails() const
    {
        CFolderItem* folder = doc->GetCurrentFolder();
        for (const auto& image : folder->m_arrImages)
            if (!image->HasThumbnail())
                return false;
        return state->m_threads.CountRunning() == 0;
    }
    // The client point at the middle of cell i of the grid (not scrolled).
    wxPoint CellPoint(int i) const
    {
        const RECT cell = thumbgrid::CellRect(i, state->m_nThumbColumns);
        return {cell.left + 50, cell.top + 57};
    }

    std::unique_ptr<CSysImageList> icons;  // outlives the frame
    std::unique_ptr<CQuorixState> state;
    std::unique_ptr<CQuorixDocManager> manager;
    CMainFrame* frame = nullptr;
    CQuorixDoc* doc = nullptr;
    std::vector<std::string> messages;
};

}  // namespace lftest
