// The main window: menus with and without an image, the toolbar and its chevron menu,
// the close prompt, paste as new image, help, and the status-bar progress bar.
#include "editor/ui/CIconMenu.h"
#include "editor/ui/CMainFrame.h"
#include "editor/ui/CPatternToolBar.h"
#include "editor/ui/CPixoroDoc.h"
#include "editor/ui/CPixoroDocTemplate.h"
#include "editor/model/CPixoroState.h"
#include "editor/ui/CProgressBar.h"
#include "image/CLfImage.h"
#include "image/gui/LfClipboard.h"
#include "resources/editor/EditorIds.h"
#include "resources/editor/EditorStrings.h"
#include "resources/editor/EditorToolbar.h"
#include "tests/editor/ScriptedPrompts.h"
#include "tests/image/PictureTestUtil.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/docview.h>
#include <wx/menu.h>
#include <wx/statusbr.h>

#include <memory>

namespace {

class CMainFrameTest : public ::testing::Test {
protected:
    CMainFrameTest()
    {
        manager = std::make_unique<wxDocManager>(0, false);
        manager->Initialize();
        new CPixoroDocTemplate(manager.get(), state, prompts);
        frame = new CMainFrame(manager.get());
        frame->SetUrlOpener([this](const wxString& url) {
            urls.push_back(url);
            return true;
        });
        wxTheApp->SetTopWindow(frame);
        frame->Show();
        lftest::PumpFor(std::chrono::milliseconds(30));
    }
    ~CMainFrameTest() override
    {
        // Edits left by a test are dropped without saving.
        prompts.answers.assign(4, DocPrompts::Answer::No);
        manager->Clear(true);
        frame->Destroy();
        lftest::PumpFor(std::chrono::milliseconds(50));
        wxTheApp->SetTopWindow(nullptr);
    }
    CPixoroDoc* Open(const std::string& name, int width, int height)
    {
        auto picture = lftest::MakePicture(width, height, 24);
        const std::string path = (dir / name).string();
        EXPECT_TRUE(picture->Save(path.c_str(), lfimg::kTypePNG));
        auto* doc = dynamic_cast<CPixoroDoc*>(manager->CreateDocument(wxString::FromUTF8(path), wxDOC_SILENT));
        lftest::PumpFor(std::chrono::milliseconds(30));
        return doc;
    }
    // Whether a command is enabled, as the main window's update pass sees it.
    bool Enabled(int id)
    {
        wxUpdateUIEvent event(id);
        event.SetEventObject(frame);
        frame->ProcessWindowEvent(event);
        return event.GetSetEnabled() ? event.GetEnabled() : true;
    }
    static std::vector<wxString> Titles(wxMenuBar* bar)
    {
        std::vector<wxString> titles;
        for (size_t i = 0; i < bar->GetMenuCount(); ++i)
            titles.push_back(wxStripMenuCodes(bar->GetMenuLabel(i)));
        return titles;
    }

    lftest::TempDir dir;
    CPixoroState state{(dir / "settings.ini").string()};
    lftest::ScriptedPrompts prompts;
    std::unique_ptr<wxDocManager> manager;
    CMainFrame* frame = nullptr;
    std::vector<wxString> urls;
};

TEST_F(CMainFrameTest, TheMenuBarsSwitchWithTheImageWindow)
{
    using T = std::vector<wxString>;
    EXPECT_EQ(Titles(frame->GetMenuBar()), (T{"File", "View", "Help"}));
    ASSERT_NE(Open("a.png", 20, 10), nullptr);
    wxMDIChildFrame* child = frame->GetActiveChild();
    ASSERT_NE(child, nullptr);
    ASSERT_NE(child->GetMenuBar(), nullptr);
    EXPECT_EQ(Titles(child->GetMenuBar()), (T{"File", "Edit", "View", "Image", "Adjust", "Help"}));
    // Edit holds the ring's two steps; copying stays on the keys alone.
    T edit;
    for (const wxMenuItem* item : child->GetMenuBar()->GetMenu(1)->GetMenuItems())
        edit.push_back(item->GetItemLabel());
    EXPECT_EQ(edit, (T{"&Undo\tCtrl+Z", "&Redo\tCtrl+Y"}));
    // The image's bar shows in place of the main window's.
    EXPECT_TRUE(child->GetMenuBar()->IsShown());
    EXPECT_FALSE(frame->GetMenuBar()->IsShown());

    manager->CloseDocuments(true);
    lftest::PumpUntil([&] { return frame->GetMenuBar()->IsShown(); });
    EXPECT_TRUE(frame->GetMenuBar()->IsShown());
}

TEST_F(CMainFrameTest, SixteenToolbarButtonsInOrderWithTheirTips)
{
    CPatternToolBar* bar = frame->GetMainToolBar();
    ASSERT_EQ(bar->GetToolCount(), 16u);
    const std::vector<int> ids = {ID_FILE_CLOSE,       ID_FILE_SAVE,     ID_VIEW_PREVIOUS,     ID_VIEW_NEXT,
                                  ID_EDIT_UNDO,        ID_EDIT_REDO,     ID_VIEW_ZOOMIN,       ID_VIEW_ZOOMOUT,
                                  ID_VIEW_BESTFIT,     ID_VIEW_SCROLLTOOL, ID_IMAGE_CROP,      ID_IMAGE_RESIZE,
                                  ID_IMAGE_ROTATE,     ID_IMAGE_TEXT,    ID_ADJUST_BRIGHTNESS, ID_IMAGE_REDEYE};
    for (int i = 0; i < 16; ++i) {
        const wxAuiToolBarItem* tool = bar->FindToolByIndex(i);
        ASSERT_NE(tool, nullptr);
        EXPECT_EQ(tool->GetId(), ids[size_t(i)]);
        EXPECT_EQ(tool->GetBitmapBundle().GetDefaultSize(), wxSize(55, 43));
        // Every button has a greyed image of its own.
        EXPECT_TRUE(tool->GetDisabledBitmapBundle().IsOk());
    }
    EXPECT_EQ(bar->FindTool(ID_IMAGE_TEXT)->GetShortHelp(), "Add Text");
    EXPECT_EQ(bar->FindTool(ID_IMAGE_TEXT)->GetLongHelp(), "Watermark");
    EXPECT_EQ(bar->FindTool(ID_IMAGE_CROP)->GetShortHelp(), "Drag cursor over image and double click box to crop.");
}

TEST_F(CMainFrameTest, DisabledImagesAreGreyAndNormalOnesKeepTheirColour)
{
    const wxAuiToolBarItem* tool = frame->GetMainToolBar()->FindTool(ID_IMAGE_REDEYE);
    const wxImage normal = tool->GetBitmapBundle().GetBitmap(wxDefaultSize).ConvertToImage();
    const wxImage grey = tool->GetDisabledBitmapBundle().GetBitmap(wxDefaultSize).ConvertToImage();
    int coloured = 0, notGrey = 0;
    for (int y = 0; y < normal.GetHeight(); ++y)
        for (int x = 0; x < normal.GetWidth(); ++x) {
            coloured += normal.GetRed(x, y) > 150 && normal.GetGreen(x, y) < 80;  // the red pupil
            const bool ground = normal.GetRed(x, y) == grey.GetRed(x, y) && normal.GetBlue(x, y) == grey.GetBlue(x, y);
            notGrey += !ground && (grey.GetRed(x, y) != grey.GetGreen(x, y) || grey.GetGreen(x, y) != grey.GetBlue(x, y));
        }
    EXPECT_GT(coloured, 0);
    EXPECT_EQ(notGrey, 0);
}

TEST_F(CMainFrameTest, ANarrowWindowListsExactlyTheHiddenButtonsInTheChevronMenu)
{
    CPatternToolBar* bar = frame->GetMainToolBar();
    frame->SetSize(1200, 500);
    lftest::PumpUntil([&] { return bar->GetClientSize().x >= bar->FullWidth(); });
    ASSERT_GE(bar->GetClientSize().x, bar->FullWidth());
    EXPECT_TRUE(bar->HiddenTools().empty());

    frame->SetSize(400, 500);
    lftest::PumpUntil([&] { return bar->GetClientSize().x <= 400; }, std::chrono::seconds(2));
    const std::vector<int> hidden = bar->HiddenTools();
    ASSERT_FALSE(hidden.empty());
    ASSERT_LT(hidden.size(), 16u);
    // The hidden ones are the buttons past the visible width, in toolbar order.
    const size_t firstHidden = 16 - hidden.size();
    for (size_t i = 0; i < hidden.size(); ++i)
        EXPECT_EQ(hidden[i], bar->FindToolByIndex(int(firstHidden + i))->GetId());
    const wxRect lastShown = bar->GetToolRect(bar->FindToolByIndex(int(firstHidden) - 1)->GetId());
    EXPECT_LE(lastShown.GetRight(), bar->GetClientSize().x);

    CIconMenu menu(*bar, hidden);
    ASSERT_EQ(menu.GetMenuItemCount(), hidden.size());
    for (size_t i = 0; i < hidden.size(); ++i) {
        const wxMenuItem* item = menu.FindItemByPosition(i);
        EXPECT_EQ(item->GetId(), hidden[i]);
        EXPECT_EQ(item->GetItemLabelText(), bar->FindTool(hidden[i])->GetShortHelp());
        EXPECT_TRUE(item->GetBitmap().IsOk());
    }
}

TEST_F(CMainFrameTest, DisabledHiddenButtonsAreGreyedInTheChevronMenu)
{
    CPatternToolBar* bar = frame->GetMainToolBar();
    bar->EnableTool(ID_EDIT_REDO, false);
    bar->EnableTool(ID_EDIT_UNDO, true);
    CIconMenu menu(*bar, {ID_EDIT_UNDO, ID_EDIT_REDO});
    EXPECT_TRUE(menu.IsEnabled(ID_EDIT_UNDO));
    EXPECT_FALSE(menu.IsEnabled(ID_EDIT_REDO));
}

TEST_F(CMainFrameTest, EditCommandsFollowTheImageAndTheRing)
{
    CPixoroDoc* doc = Open("a.png", 20, 10);
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_TRUE(Enabled(ID_ADJUST_GRAYSCALE));
    // Commands with their dialogs are on.
    EXPECT_TRUE(Enabled(ID_IMAGE_ROTATE));
    EXPECT_TRUE(Enabled(ID_ADJUST_BRIGHTNESS));

    wxCommandEvent grey(wxEVT_MENU, ID_ADJUST_GRAYSCALE);
    frame->ProcessWindowEvent(grey);
    EXPECT_TRUE(doc->GetImage()->IsGrayScale());
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    // The toolbar's buttons follow in its update pass.
    frame->GetMainToolBar()->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    lftest::PumpUntil([&] { return frame->GetMainToolBar()->GetToolEnabled(ID_EDIT_UNDO); });
    EXPECT_TRUE(frame->GetMainToolBar()->GetToolEnabled(ID_EDIT_UNDO));
    EXPECT_FALSE(frame->GetMainToolBar()->GetToolEnabled(ID_EDIT_REDO));
}

TEST_F(CMainFrameTest, ResizeShowsTheProgressBarAndGivesThePaneBack)
{
    CPixoroDoc* doc = Open("a.png", 40, 30);
    ASSERT_NE(doc, nullptr);
    wxStatusBar* bar = frame->GetStatusBar();
    bar->SetStatusText("before", 0);
    ASSERT_TRUE(doc->ResizeTo(20, 15));
    EXPECT_EQ(doc->GetImage()->GetWidth(), 20);
    EXPECT_EQ(bar->GetStatusText(0), "");  // pane 0 is left empty
    EXPECT_EQ(bar->GetStatusText(1), "Image Size : 20w x 15h ");
}

TEST_F(CMainFrameTest, ClosingWithChangesAsksAndCancelOrAFailedSaveKeepsTheWindow)
{
    CPixoroDoc* doc = Open("a.png", 20, 10);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(doc->GrayScale());
    state.m_strCurrentPath = (dir / "a.png").string();

    prompts.answers = {DocPrompts::Answer::Cancel};
    EXPECT_FALSE(frame->Close());
    EXPECT_EQ(doc->GetUndo().Count(), 1);
    EXPECT_EQ(manager->GetDocuments().GetCount(), 1u);
    // The main window's own question, under the program's name.
    EXPECT_EQ(prompts.captions, std::vector<std::string>{"pixoro"});

    // Yes, and the save is cancelled at the file name.
    prompts.answers = {DocPrompts::Answer::Yes};
    prompts.saveName.clear();
    state.m_strCurrentPath = (dir / "no-such-folder" / "a.png").string();
    EXPECT_FALSE(frame->Close());
    EXPECT_EQ(manager->GetDocuments().GetCount(), 1u);
    EXPECT_EQ(prompts.questions.size(), 2u);
    EXPECT_EQ(prompts.questions[0], estr::kSaveChangesTo + (dir / "a.png").string());
}

TEST_F(CMainFrameTest, PasteAsNewOpensANewImageOrAnEmptyOneThatRefusesEdits)
{
    auto picture = lftest::MakePicture(24, 16, 24);
    ASSERT_TRUE(lfclip::CopyImage(*picture));
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE_NEW_VIEW));
    CPixoroDoc* doc = frame->PasteAsNewImage();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetUserReadableName(), estr::kNewDocName);
    ASSERT_TRUE(doc->HasImage());
    EXPECT_EQ(doc->GetImage()->GetWidth(), 24);
    manager->CloseDocuments(true);
    lftest::PumpFor(std::chrono::milliseconds(30));

    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->Clear();
    wxTheClipboard->Close();
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE_NEW_VIEW));
    doc = frame->PasteAsNewImage();
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(doc->HasImage());
    for (int id : std::initializer_list<int>{ID_ADJUST_GRAYSCALE, ID_IMAGE_RESIZE, ID_IMAGE_ROTATE, ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_COPY})
        EXPECT_FALSE(Enabled(id)) << id;
    wxCommandEvent grey(wxEVT_MENU, ID_ADJUST_GRAYSCALE);
    frame->ProcessWindowEvent(grey);
    wxCommandEvent undo(wxEVT_MENU, ID_EDIT_UNDO);
    frame->ProcessWindowEvent(undo);
    EXPECT_FALSE(doc->HasImage());
    EXPECT_EQ(doc->GetUndo().Count(), 0);
}

TEST_F(CMainFrameTest, APackedBitmapLargerThanItsBytesPastesNoImage)
{
    // A 40-byte header that claims 4000 x 4000 at 24 bits, followed by 4 bytes.
    std::vector<uint8_t> block(44, 0);
    const auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            block[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, 4000);
    put32(8, 4000);
    block[12] = 1;
    block[14] = 24;
    ASSERT_TRUE(wxTheClipboard->Open());
    auto* data = new wxCustomDataObject(wxDataFormat("application/x-lanternfolio-packed-dib"));
    data->SetData(block.size(), block.data());
    wxTheClipboard->SetData(data);
    wxTheClipboard->Close();

    CPixoroDoc* doc = frame->PasteAsNewImage();
    ASSERT_NE(doc, nullptr);
    EXPECT_FALSE(doc->HasImage());
    EXPECT_FALSE(Enabled(ID_ADJUST_GRAYSCALE));
}

TEST_F(CMainFrameTest, HelpOpensThePageWithOrWithoutAnImage)
{
    wxCommandEvent help(wxEVT_MENU, ID_HELP_FILE);
    frame->ProcessWindowEvent(help);
    ASSERT_NE(Open("a.png", 20, 10), nullptr);
    frame->ProcessWindowEvent(help);
    const wxString page = wxString(estr::kServiceWebHost) + estr::kHelpPagePath;
    EXPECT_EQ(urls, (std::vector<wxString>{page, page}));
}

TEST(CProgressBar, PlacementInThePane)
{
    struct Case { RECT pane; int label, blank, percent; RECT expected; };
    const Case cases[] = {
        // No label: from the pane's left edge; 40 % of 200 pixels; 20 high loses 2 + 2.
        {{0, 0, 200, 20}, 0, 4, 40, {0, 2, 80, 18}},
        {{0, 0, 200, 20}, 0, 4, 100, {0, 2, 200, 18}},
        // A 44-pixel label plus four 4-pixel blanks: 140 left, 40 % of it.
        {{0, 0, 200, 20}, 44, 4, 40, {60, 2, 116, 18}},
        // A label wider than the pane: an empty bar at the label's end.
        {{10, 0, 60, 10}, 80, 4, 40, {106, 1, 106, 9}},
    };
    for (const Case& c : cases) {
        const RECT r = CProgressBar::Place(c.pane, c.label, c.blank, c.percent);
        EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<int>{c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}));
    }
}

TEST_F(CMainFrameTest, AProgressBarSitsInItsPaneAndRestoresTheText)
{
    wxStatusBar* status = frame->GetStatusBar();
    status->SetStatusText("File Size", 2);
    {
        CProgressBar bar("Processing", 40, 1000, false, 2);
        ASSERT_TRUE(bar.IsCreated());
        EXPECT_EQ(status->GetStatusText(2), "Processing");
        for (int i = 0; i < 1000; ++i)
            bar.StepIt();
        EXPECT_EQ(bar.GetGauge()->GetValue(), 1000);
        wxRect field;
        status->GetFieldRect(2, field);
        const wxRect placed = bar.GetGauge()->GetRect();
        EXPECT_GT(placed.x, field.x);
        EXPECT_LE(placed.GetRight(), field.GetRight());
    }
    EXPECT_EQ(status->GetStatusText(2), "File Size");

    // Without a status bar nothing is made and steps answer 0.
    auto* plain = new wxFrame(nullptr, wxID_ANY, "plain");
    wxTheApp->SetTopWindow(plain);
    {
        CProgressBar none("Processing", 40, 1000, false, 0);
        EXPECT_FALSE(none.IsCreated());
        EXPECT_EQ(none.StepIt(), 0);
        EXPECT_FALSE(none.UpdatePlacement());
    }
    wxTheApp->SetTopWindow(frame);
    plain->Destroy();
}

}  // namespace
