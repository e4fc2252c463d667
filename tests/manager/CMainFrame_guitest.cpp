#include "FakeLoader.h"
#include "FrameTestSupport.h"
#include "manager/ui/CChangeViewDlg.h"
#include "manager/ui/CDirectoryView.h"
#include "manager/ui/CFoldersView.h"
#include "manager/ui/CDetailListView.h"
#include "manager/ui/CImageListView.h"
#include "manager/ui/CImageView.h"
#include "manager/ui/CMainFrame.h"
#include "manager/ui/CTollbarView.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/ui/CQuorixDocManager.h"
#include "manager/ui/CQuorixDocTemplate.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/CQuorixView.h"
#include "manager/ui/CSplitter.h"
#include "manager/model/MainFrameLayout.h"
#include "manager/model/ManagerModes.h"
#include "platform/SettingsStore.h"
#include "resources/manager/ManagerIds.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <wx/menu.h>
#include <wx/weakref.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

namespace {

// Counts what reaches a pane: search results and Delete History.
class CountingView : public CPaneView {
    wxDECLARE_DYNAMIC_CLASS(CountingView);

public:
    void AddImageItem() override { ++s_found; }
    static inline int s_found = 0;
    static inline int s_deleteHistory = 0;

protected:
    wxWindow* CreatePaneWindow(wxWindow* parent, const wxSize& size) override
    {
        return new wxWindow(parent, wxID_ANY, wxDefaultPosition, size);
    }

private:
    void OnDeleteHistory(wxCommandEvent&) { ++s_deleteHistory; }
    wxDECLARE_EVENT_TABLE();
};
wxIMPLEMENT_DYNAMIC_CLASS(CountingView, CPaneView);
wxBEGIN_EVENT_TABLE(CountingView, CPaneView)
    EVT_MENU(ID_OPTIONS_DELETE_HISTORY, CountingView::OnDeleteHistory)
wxEND_EVENT_TABLE()

class OtherCountingView : public CountingView {
    wxDECLARE_DYNAMIC_CLASS(OtherCountingView);
};
wxIMPLEMENT_DYNAMIC_CLASS(OtherCountingView, CountingView);

// An image pane that prints, as the list views will.
class PrintingView : public CountingView {
    wxDECLARE_DYNAMIC_CLASS(PrintingView);

private:
    void OnUpdatePrint(wxUpdateUIEvent& event) { event.Enable(true); }
    wxDECLARE_EVENT_TABLE();
};
wxIMPLEMENT_DYNAMIC_CLASS(PrintingView, CountingView);
wxBEGIN_EVENT_TABLE(PrintingView, CountingView)
    EVT_UPDATE_UI(ID_FILE_PRINT, PrintingView::OnUpdatePrint)
wxEND_EVENT_TABLE()

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state = std::make_unique<CQuorixState>((dir / "settings.ini").string());
        manager = std::make_unique<CQuorixDocManager>();
        new lftest::TestTemplate(manager.get(), *state, (dir / "qkvex.sess").string());
        frame = new CMainFrame(manager.get(), *state);
        frame->SetMessageSink([this](const std::string& text) { messages.push_back(text); });
        frame->SetSize(0, 0, 1000, 765);
        wxTheApp->SetTopWindow(frame);
        ASSERT_TRUE(manager->CreateNewDocument());
        doc = dynamic_cast<CQuorixDoc*>(manager->GetCurrentDocument());
        ASSERT_NE(doc, nullptr);
        frame->Show();
        lftest::PumpFor(std::chrono::milliseconds(50));
    }
    void TearDown() override
    {
        wxWeakRef<wxWindow> alive(frame);
        if (frame)
            frame->Close(true);
        // The frame goes at idle time; it must be gone before its document manager.
        EXPECT_TRUE(lftest::PumpUntil([&] { return !alive; }));
        frame = nullptr;
        wxTheApp->SetTopWindow(nullptr);
        manager.reset();
    }
    std::string Setting(const char* name)
    {
        return lfplat::SettingsStore((dir / "settings.ini").string())
            .GetString(CQuorixState::kSettingsKey, name, "<none>");
    }

    lftest::TempDir dir;
    std::unique_ptr<CQuorixState> state;
    std::unique_ptr<CQuorixDocManager> manager;
    CMainFrame* frame = nullptr;
    CQuorixDoc* doc = nullptr;
    std::vector<std::string> messages;
};

TEST_F(MainFrameTest, FourPanesInTwoColumnsForTheDocument)
{
    EXPECT_TRUE(frame->GetDirectoryView()->IsKindOf(wxCLASSINFO(CDirectoryView)));
    EXPECT_TRUE(frame->GetRecentFoldersView()->IsKindOf(wxCLASSINFO(CFoldersView)));
    EXPECT_TRUE(frame->GetToolPanelView()->IsKindOf(wxCLASSINFO(CTollbarView)));
    EXPECT_TRUE(frame->GetImagePaneView()->IsKindOf(wxCLASSINFO(CImageView)));
    for (CPaneView* view : {frame->GetDirectoryView(), frame->GetRecentFoldersView(), frame->GetToolPanelView(),
                            frame->GetImagePaneView()}) {
        EXPECT_EQ(view->GetDocument(), doc);
        EXPECT_TRUE(view->GetPaneWindow()->IsShownOnScreen());
    }
    EXPECT_EQ(doc->GetViews().size(), 5u) << "the template's view and the four panes";

    EXPECT_EQ(frame->GetMainSplitter()->GetSplitMode(), wxSPLIT_VERTICAL);
    EXPECT_EQ(frame->GetMainSplitter()->GetSashPosition(), 260) << "no width stored";
    EXPECT_EQ(state->m_nLeftViewWidth, 260);
    EXPECT_EQ(frame->GetLeftSplitter()->GetSplitMode(), wxSPLIT_HORIZONTAL);
    // The stored recent-folders height (the default 220) from the column's bottom.
    EXPECT_EQ(mainframe::StoredRecentHeight(frame->GetLeftSplitter()->GetClientSize().GetHeight(),
                                            frame->GetLeftSplitter()->GetSashPosition()),
              220);
    EXPECT_EQ(frame->GetRightSplitter()->GetSashPosition(), 100);
    EXPECT_EQ(frame->GetTitle(), "Lanternfolio Photo Editor");
}

TEST_F(MainFrameTest, ImagePaneFollowsTheViewMode)
{
    CPaneView* grid = frame->GetImagePaneView();
    frame->SwitchImageView(1);
    CPaneView* list = frame->GetImagePaneView();
    EXPECT_TRUE(list->IsKindOf(wxCLASSINFO(CImageListView)));
    EXPECT_TRUE(doc->m_bViewReplaced);
    EXPECT_EQ(doc->GetViews().IndexOf(grid), wxNOT_FOUND) << "the old view left the document";
    EXPECT_EQ(doc->GetViews().size(), 5u);

    doc->m_bViewReplaced = false;
    frame->SwitchImageView(1);
    EXPECT_EQ(frame->GetImagePaneView(), list) << "the same mode leaves the pane untouched";
    EXPECT_FALSE(doc->m_bViewReplaced);

    frame->SwitchImageView(7);
    EXPECT_EQ(frame->GetImagePaneView(), list);
    frame->SwitchImageView(2);
    EXPECT_TRUE(frame->GetImagePaneView()->IsKindOf(wxCLASSINFO(CDetailListView)));
    EXPECT_EQ(frame->GetRightSplitter()->GetReplaceMode(), 2);
    EXPECT_TRUE(frame->GetImagePaneView()->GetPaneWindow()->IsShownOnScreen());
}

TEST_F(MainFrameTest, NewAndOpenKeepTheOneDocumentWithItsFolderAndSelection)
{
    auto folder = std::make_unique<CFolderItem>("photos", dir.str(), 0);
    folder->AddImage(std::make_unique<CImageItem>("a.jpg", dir.str() + "/a.jpg", 100, 0, 0));
    folder->AddImage(std::make_unique<CImageItem>("b.jpg", dir.str() + "/b.jpg", 100, 0, 0));
    doc->SetCurrentFolder(std::move(folder));
    doc->SelectImage(1, false, false);
    // A recent folder the session file does not keep: a document made afresh would lose it.
    doc->AddRecentFolder(std::make_unique<CFolderItem>("other", "/other", 0));
    const std::string opened = (dir / "picked.txt").string();
    lftest::WriteText(opened, "x");

    struct Case {
        const char* step;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"File > New",
         [&] {
             wxCommandEvent command(wxEVT_MENU, ID_FILE_NEW);
             frame->GetEventHandler()->ProcessEvent(command);
         }},
        {"opening a file", [&] { EXPECT_NE(manager->CreateDocument(opened, wxDOC_SILENT), nullptr); }},
        {"opening a missing file", [&] { EXPECT_EQ(manager->CreateDocument(opened + ".gone", wxDOC_SILENT), nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        c.run();
        ASSERT_EQ(manager->GetDocuments().size(), 1u);
        // Read through what the manager holds now: a replaced document would show defaults.
        auto* current = dynamic_cast<CQuorixDoc*>(manager->GetCurrentDocument());
        ASSERT_NE(current, nullptr);
        EXPECT_EQ(current->GetCurrentFolder()->m_strPath, dir.str());
        ASSERT_EQ(current->GetSelectedImageCount(), 1u);
        EXPECT_EQ(current->GetSelectedImage(0)->m_strName, "b.jpg");
        // The tool panel's update lists the current folder behind the recent one.
        ASSERT_EQ(current->GetRecentCount(), 2u);
        EXPECT_EQ(current->GetRecentFolder(0)->m_strPath, "/other");
        EXPECT_EQ(current->GetRecentFolder(1)->m_strPath, dir.str());
        EXPECT_EQ(current->GetViews().size(), 5u) << "the views stay";
        EXPECT_FALSE(std::filesystem::exists(dir / "qkvex.sess")) << "the document was not closed";
    }
    ASSERT_EQ(manager->GetHistoryFilesCount(), 1u);
    EXPECT_EQ(manager->GetHistoryFile(0), opened);
}

TEST_F(MainFrameTest, ChangeViewDialogSwitchesThePaneByItself)
{
    lftest::LoaderProbe probe;
    state->m_threads.Start(std::make_unique<lftest::FakeLoader>(probe));
    // The folder's mode too: the grid's first paint, late on a busy machine, takes the
    // document's mode from the folder.
    doc->GetCurrentFolder()->m_nViewMode = kViewDetailsAndFolders;
    doc->m_nViewMode = kViewDetailsAndFolders;
    CChangeViewDlg dialog(frame, state->m_threads);
    dialog.SetTarget(doc, false);
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(probe.destroyed, 1);
    EXPECT_TRUE(frame->GetImagePaneView()->IsKindOf(wxCLASSINFO(CDetailListView)));
    EXPECT_EQ(frame->GetRightSplitter()->GetReplaceMode(), kViewDetailsAndFolders);
}

TEST_F(MainFrameTest, StatusBarShowsTheTotals)
{
    // The grid counts the shown folder into the totals whenever it paints.
    auto folder = std::make_unique<CFolderItem>("f", dir.str(), 0);
    for (int64_t size : {4096, 4096, 4608, 4})
        folder->AddImage(std::make_unique<CImageItem>("a.jpg", dir.str() + "/a.jpg", size, 0, 0));
    folder->m_bThumbsNeeded = false;
    doc->SetCurrentFolder(std::move(folder));
    doc->UpdateAllViews();
    EXPECT_TRUE(lftest::PumpUntil([&] { return frame->GetStatusBar()->GetStatusText(1) == "4  Image Files"; }));
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(2), "12.50 KB total");
    EXPECT_EQ(frame->GetStatusBar()->GetFieldsCount(), 3);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusWidth(0), 120);
}

TEST_F(MainFrameTest, ThumbnailColumnsFollowTheClientWidth)
{
    struct Case {
        int width, columns;
    };
    // The frame starts wider than 800; each case changes the count, so waiting for the
    // expected one does not depend on how soon the toolkit reports the new size.
    ASSERT_EQ(state->m_nThumbColumns, 7);
    for (const Case& c : {Case{800, 5}, Case{801, 7}, Case{640, 5}}) {
        frame->SetClientSize(c.width, 600);
        EXPECT_TRUE(lftest::PumpUntil([&] { return state->m_nThumbColumns == c.columns; })) << c.width;
        EXPECT_EQ(frame->GetClientSize().GetWidth(), c.width);
    }
}

TEST_F(MainFrameTest, FoundImagesReachWhicheverViewTheImagePaneHoldsOnDelivery)
{
    CountingView::s_found = 0;
    ASSERT_TRUE(frame->GetRightSplitter()->ReplaceView(1, wxCLASSINFO(CountingView), 1));
    auto sink = frame->GetMessageSink();
    // The thread names a list view by pointer; the frame never follows it.
    EXPECT_TRUE(sink.Post(CMainFrame::kAddFoundImage, 0xdeadbeef, 0));
    EXPECT_TRUE(lftest::PumpUntil([] { return CountingView::s_found == 1; }));

    // The view is replaced between posting and delivery.
    EXPECT_TRUE(sink.Post(CMainFrame::kAddFoundImage, 0xdeadbeef, 0));
    ASSERT_TRUE(frame->GetRightSplitter()->ReplaceView(1, wxCLASSINFO(OtherCountingView), 2));
    EXPECT_TRUE(lftest::PumpUntil([] { return CountingView::s_found == 2; }));

    wxWeakRef<wxWindow> alive(frame);
    frame->Destroy();
    frame = nullptr;
    ASSERT_TRUE(lftest::PumpUntil([&] { return !alive; }));
    EXPECT_FALSE(sink.Post(CMainFrame::kAddFoundImage, 0, 0)) << "the window is gone";
}

TEST_F(MainFrameTest, DeleteHistoryGoesToTheToolPanel)
{
    CountingView::s_deleteHistory = 0;
    ASSERT_TRUE(frame->GetRightSplitter()->ReplaceView(0, wxCLASSINFO(CountingView), 0));
    manager->ActivateView(frame->GetDirectoryView());  // the tool panel is not the active view
    wxCommandEvent command(wxEVT_MENU, ID_OPTIONS_DELETE_HISTORY);
    frame->GetEventHandler()->ProcessEvent(command);
    EXPECT_EQ(CountingView::s_deleteHistory, 1);
}

TEST_F(MainFrameTest, CommandsWithoutAHandlerShowDisabled)
{
    frame->DoMenuUpdates();
    wxMenuBar* bar = frame->GetMenuBar();
    struct Case {
        int id;
        bool enabled;
    };
    const Case cases[] = {
        {ID_OPTIONS_SET_PROXY, false},   {ID_FILE_PRINT, false},          {ID_FILE_MRU_MENU, false},
        {ID_FILE_PRINT_PREVIEW, true},   {ID_OPTIONS_DELETE_HISTORY, true}, {ID_DOC_SELECT_ALL, true},
        {ID_DOC_DELETE_CACHE, true},     {ID_HELP_FILE, true},            {ID_APP_EXIT, true},
        {ID_DOC_REFRESH, true},          {ID_DOC_DESELECT_ALL, true},     {ID_APP_ABOUT, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bar->IsEnabled(c.id), c.enabled) << c.id;

    manager->AddFileToHistory("/tmp/some file");
    frame->DoMenuUpdates();
    EXPECT_TRUE(bar->IsEnabled(ID_FILE_MRU_MENU));

    // Whoever handles a command enables it through the document manager, ahead of the frame.
    ASSERT_TRUE(frame->GetRightSplitter()->ReplaceView(1, wxCLASSINFO(PrintingView), 1));
    manager->ActivateView(frame->GetImagePaneView());
    frame->DoMenuUpdates();
    EXPECT_TRUE(bar->IsEnabled(ID_FILE_PRINT));
    manager->ActivateView(frame->GetDirectoryView());
    frame->DoMenuUpdates();
    EXPECT_FALSE(bar->IsEnabled(ID_FILE_PRINT));
}

TEST_F(MainFrameTest, PrintPreviewChecksTheFolderAndMarksTheSelection)
{
    wxCommandEvent preview(wxEVT_MENU, ID_FILE_PRINT_PREVIEW);
    frame->GetEventHandler()->ProcessEvent(preview);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("You must select a folder before using the print utility.", 0), 0u);

    doc->SetCurrentFolder(std::make_unique<CFolderItem>("empty", dir.str(), 0));
    frame->GetEventHandler()->ProcessEvent(preview);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].rfind("The selected folder does not contain any images.", 0), 0u);
    EXPECT_TRUE(frame->IsShown()) << "the main window stays";

    auto folder = std::make_unique<CFolderItem>("two", dir.str(), 0);
    folder->AddImage(std::make_unique<CImageItem>("a.jpg", dir.str() + "/a.jpg", 100, 0, 0));
    folder->AddImage(std::make_unique<CImageItem>("b.jpg", dir.str() + "/b.jpg", 100, 0, 0));
    folder->Image(1)->m_bSelected = true;
    folder->Image(0)->m_bMarkedForPrint = true;
    CFolderItem* two = folder.get();
    doc->SetCurrentFolder(std::move(folder));
    frame->GetEventHandler()->ProcessEvent(preview);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_FALSE(two->Image(0)->m_bMarkedForPrint);
    EXPECT_TRUE(two->Image(1)->m_bMarkedForPrint);
}

TEST_F(MainFrameTest, ClosingStoresTheWindowHeightAndClosesTheDocument)
{
    const int height = frame->GetSize().GetHeight();
    wxWeakRef<wxWindow> alive(frame);
    frame->Close();
    frame = nullptr;
    ASSERT_TRUE(lftest::PumpUntil([&] { return !alive; }));
    EXPECT_EQ(Setting("WindowHeight"), std::to_string(height));
    EXPECT_EQ(Setting("LeftViewWidth"), "260") << "written by the document's close";
    EXPECT_TRUE(manager->GetDocuments().empty());
}

TEST_F(MainFrameTest, TheWindowLeavesTheScreenBeforeTheDocumentWritesItsFiles)
{
    // The document's close writes the session and the thumbnail cache, which takes seconds
    // after a large folder: the window must not stand meanwhile as if the close were lost.
    const std::filesystem::path session = dir / "qkvex.sess";
    ASSERT_FALSE(std::filesystem::exists(session));
    std::optional<bool> sessionWrittenWhenHidden;
    frame->Bind(wxEVT_SHOW, [&](wxShowEvent& event) {
        if (!event.IsShown() && !sessionWrittenWhenHidden)
            sessionWrittenWhenHidden = std::filesystem::exists(session);
        event.Skip();
    });
    wxWeakRef<wxWindow> alive(frame);
    frame->Close();
    frame = nullptr;
    ASSERT_TRUE(lftest::PumpUntil([&] { return !alive; }));
    EXPECT_TRUE(std::filesystem::exists(session)) << "the document was closed";
    ASSERT_TRUE(sessionWrittenWhenHidden) << "the window was never hidden";
    EXPECT_FALSE(*sessionWrittenWhenHidden);
}

}  // namespace
