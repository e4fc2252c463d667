#include "DocTestSupport.h"
#include "ManagerHarness.h"
#include "ThumbTestSupport.h"
#include "manager/ui/CDetailListView.h"
#include "manager/ui/CImageListView.h"
#include "manager/ui/CListPrintout.h"
#include "manager/ui/CSysImageList.h"
#include "manager/model/ManagerModes.h"
#include "manager/model/ThumbnailMaker.h"
#include "resources/manager/ManagerIds.h"
#include "resources/manager/ToolPanelPictures.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/dcps.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/treectrl.h>

#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using lftest::Manager;

// What the neighbouring libraries' dialogs were asked to do.
struct ServiceCalls {
    std::vector<std::string> calls;
    bool renameResult = true;
    void Install(CQuorixState& state)
    {
        state.m_services.destination = [this](CQuorixDoc&, int mode) { calls.push_back("destination " + std::to_string(mode)); };
        state.m_services.deleteFiles = [this](CQuorixDoc&) { calls.push_back("delete"); };
        state.m_services.renameFile = [this](CQuorixDoc&, const std::string& stem, const std::string& old,
                                             const std::string& ext) {
            calls.push_back("rename " + stem + "|" + old + "|" + ext);
            return renameResult;
        };
        state.m_services.copyMoveDrop = [this](CQuorixDoc& doc) { calls.push_back("drop " + doc.m_strDestFolder); };
    }
};

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "data");
        photos = dir / "photos";
        fs::create_directories(photos / "x");
        const struct {
            const char* name;
            int width;
        } pictures[] = {{"a.jpg", 60}, {"b.jpg", 300}, {"c.jpg", 150}};
        for (const auto& p : pictures) {
            CLfImage picture = lftest::GradientPicture(p.width, p.width * 3 / 4);
            lftest::SavePicture(picture, photos / p.name, 3);
        }
        lftest::WriteText(photos / "readme.txt", "read me");
        for (const auto& entry : fs::directory_iterator(photos))
            lftest::SetFileTime(entry.path(), -100);
        m = std::make_unique<Manager>(dir);
        m->doc->SetEditorLauncher([this](const std::string&, const std::vector<std::string>& args, const std::string&) {
            launched.push_back(args);
            return 42;
        });
        services.Install(*m->state);
        ASSERT_TRUE(m->Tree()->SelectPath(photos.string()));
    }
    void TearDown() override { m.reset(); }

    // Puts the list of a view mode in the image pane and waits for its rows.
    CSort_listView* ShowList(int mode)
    {
        m->doc->m_nViewMode = mode;
        m->frame->SwitchImageView(mode);
        auto* view = dynamic_cast<CSort_listView*>(m->frame->GetImagePaneView());
        EXPECT_NE(view, nullptr);
        if (!view)
            return nullptr;
        view->SetMessageSink([this](const std::string& text, const std::string& caption) {
            messages.push_back(caption + ": " + text);
        });
        view->SetQuestionSink([this](const std::string& text) {
            questions.push_back(text);
            return answer;
        });
        view->SetMenuRunner([this](wxMenu& menu, const wxPoint&) { menus.push_back(int(menu.GetMenuItemCount())); });
        Settle(view);
        return view;
    }
    void Settle(CSort_listView* view)
    {
        // Settled: the fill ended and nothing is queued that could start another (a late
        // update clears the rows and fills them again).
        EXPECT_TRUE(lftest::PumpUntil(
            [&] {
                return view->FillDone() && m->state->m_threads.CountRunning() == 0 && !wxTheApp->HasPendingEvents();
            },
            std::chrono::seconds(30)));
        lftest::PumpFor(std::chrono::milliseconds(30));
    }
    // The whole window drawn anew, so that a screenshot shows it and not what stood there.
    void Repaint()
    {
        m->frame->Raise();
        m->frame->Refresh();
        m->frame->Update();
        lftest::PumpFor(std::chrono::milliseconds(100));
    }
    // The names in column 0 as the control shows them.
    static std::string Names(CSort_listView* view)
    {
        std::string names;
        wxListCtrl* list = view->GetListCtrl();
        for (long i = 0; i < list->GetItemCount(); ++i)
            names += list->GetItemText(i, 0).ToStdString() + " ";
        return names;
    }
    static long RowOf(CSort_listView* view, const std::string& name)
    {
        for (size_t i = 0; i < view->RowCount(); ++i)
            if (view->Row(i)->name == name)
                return long(i);
        return -1;
    }
    static void Select(CSort_listView* view, std::initializer_list<const char*> names)
    {
        wxListCtrl* list = view->GetListCtrl();
        list->SetItemState(-1, 0, wxLIST_STATE_SELECTED);
        for (const char* name : names)
            list->SetItemState(RowOf(view, name), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }
    static void SendListEvent(CSort_listView* view, wxEventType type, long index, int column = -1)
    {
        wxListEvent event(type, view->GetListCtrl()->GetId());
        event.SetEventObject(view->GetListCtrl());
        event.m_itemIndex = index;
        event.m_col = column;
        view->GetListCtrl()->GetEventHandler()->ProcessEvent(event);
    }
    CImageItem* Image(const std::string& name) const
    {
        for (const auto& image : m->doc->GetCurrentFolder()->m_arrImages)
            if (image->m_strName == name)
                return image.get();
        return nullptr;
    }

    lftest::TempDir dir;
    lftest::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").string()};
    fs::path photos;
    std::unique_ptr<Manager> m;
    ServiceCalls services;
    std::vector<std::vector<std::string>> launched;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<int> menus;
    bool answer = true;
};

TEST_F(ListViewTest, DetailsListRowsSortByColumnAndDoubleClickOpensTheParent)
{
    CSort_listView* view = ShowList(kViewDetailsAndFolders);
    ASSERT_TRUE(view->IsKindOf(wxCLASSINFO(CDetailListView)));
    const std::string names = Names(view);
    EXPECT_TRUE(names == ".. x a.jpg b.jpg c.jpg readme.txt " || names == "x .. a.jpg b.jpg c.jpg readme.txt ")
        << names;
    wxListCtrl* list = view->GetListCtrl();
    EXPECT_EQ(list->GetColumnCount(), 3);
    wxListItem heading;
    heading.SetMask(wxLIST_MASK_TEXT);
    list->GetColumn(1, heading);
    EXPECT_EQ(heading.GetText(), "Size");
    EXPECT_GT(list->GetColumnWidth(1), list->GetTextExtent("99999.99 KB").x) << "a large size is not cut short";
    EXPECT_EQ(list->GetItemText(RowOf(view, "readme.txt"), 1), "1.00 KB");
    EXPECT_EQ(list->GetItemText(RowOf(view, "x"), 1), "") << "folders show no size";
    EXPECT_EQ(view->Row(size_t(RowOf(view, "x")))->imageIndex, CSysImageList::kFolderIconIndex);
    EXPECT_EQ(view->Row(size_t(RowOf(view, "..")))->imageIndex, CSysImageList::kParentFolderIconIndex);
    EXPECT_GE(view->Row(size_t(RowOf(view, "a.jpg")))->imageIndex, 0);
    // "Image Files": the folders' rows and the other file are not images.
    const auto [files, kb] = m->state->GetTotals();
    EXPECT_EQ(files, 3);
    Repaint();
    lftest::SaveScreenshot(fs::path(LF_BIN_DIR).parent_path() / "artefacts" / "quorix-detail-list.png",
                           wxSize(1000, 765));

    // Two clicks on "Size": largest first, folders (0 KB) last.
    SendListEvent(view, wxEVT_LIST_COL_CLICK, -1, 1);
    SendListEvent(view, wxEVT_LIST_COL_CLICK, -1, 1);
    EXPECT_TRUE(view->IsDescending());
    EXPECT_EQ(m->doc->m_nSortKey, kSortBySize);
    const std::string bySize = Names(view);
    EXPECT_EQ(bySize.substr(0, 29), "b.jpg c.jpg a.jpg readme.txt ") << bySize;
    SendListEvent(view, wxEVT_LIST_COL_CLICK, -1, 0);
    EXPECT_FALSE(view->IsDescending());
    EXPECT_EQ(Names(view), ".. a.jpg b.jpg c.jpg readme.txt x ");

    // The selection moves with its row through a sort.
    Select(view, {"c.jpg"});
    SendListEvent(view, wxEVT_LIST_COL_CLICK, -1, 0);
    EXPECT_EQ(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), RowOf(view, "c.jpg"));

    Select(view, {".."});
    SendListEvent(view, wxEVT_LIST_ITEM_ACTIVATED, RowOf(view, ".."));
    EXPECT_EQ(m->doc->GetCurrentFolder()->m_strPath, dir.str());
    Settle(view);
    EXPECT_NE(Names(view).find("photos "), std::string::npos) << Names(view);
    EXPECT_EQ(RowOf(view, "a.jpg"), -1);

    // And down again into the folder by its row.
    Select(view, {"photos"});
    SendListEvent(view, wxEVT_LIST_ITEM_ACTIVATED, RowOf(view, "photos"));
    Settle(view);
    EXPECT_EQ(m->doc->GetCurrentFolder()->m_strPath, photos.string());
    ASSERT_EQ(m->doc->GetCurrentFolder()->ImageCount(), 3u);
    EXPECT_GT(m->doc->GetCurrentFolder()->Image(0)->m_tLastWrite, 0) << "records get their time from the disk";
    EXPECT_EQ(m->doc->GetCurrentFolder()->Image(0)->m_nImageType, 3) << "and their type";
    EXPECT_TRUE(launched.empty());
}

TEST_F(ListViewTest, ThumbnailListShowsThumbnailsAsRowPictures)
{
    CSort_listView* view = ShowList(kViewThumbnailsAndDetails);
    ASSERT_TRUE(view->IsKindOf(wxCLASSINFO(CImageListView)));
    EXPECT_EQ(Names(view), "a.jpg b.jpg c.jpg ") << "images only in this mode";
    wxImageList* pictures = view->GetListCtrl()->GetImageList(wxIMAGE_LIST_SMALL);
    ASSERT_NE(pictures, nullptr);
    ASSERT_EQ(pictures->GetImageCount(), 3);
    int w = 0, h = 0;
    pictures->GetSize(0, w, h);
    EXPECT_EQ(w, thumbs::kThumbWidth);
    EXPECT_EQ(h, thumbs::kThumbHeight);
    for (size_t i = 0; i < view->RowCount(); ++i)
        EXPECT_EQ(view->Row(i)->imageIndex, int(i));
    // The frame shows around the small picture a.jpg (60 x 45).
    const wxImage first = pictures->GetBitmap(0).ConvertToImage();
    EXPECT_EQ(wxColour(first.GetRed(2, 33), first.GetGreen(2, 33), first.GetBlue(2, 33)), CSort_listView::kHighlight);
    wxRect row;
    ASSERT_TRUE(view->GetListCtrl()->GetItemRect(0, row));
    EXPECT_GE(row.height, thumbs::kThumbHeight);
    Repaint();
    lftest::SaveScreenshot(fs::path(LF_BIN_DIR).parent_path() / "artefacts" / "quorix-thumbnail-list.png",
                           wxSize(1000, 765));
}

TEST_F(ListViewTest, SelectionFollowsTheListAndTheContextMenuNeedsIt)
{
    Image("a.jpg")->m_bSelected = true;
    m->doc->UpdateSelectionList(Image("a.jpg"), true);
    CSort_listView* view = ShowList(kViewDetailsAndFolders);
    wxListCtrl* list = view->GetListCtrl();
    EXPECT_EQ(list->GetItemState(RowOf(view, "a.jpg"), wxLIST_STATE_SELECTED), wxLIST_STATE_SELECTED)
        << "a selected image's row starts selected";

    Select(view, {"b.jpg", "c.jpg", "x"});
    view->SyncSelection();
    EXPECT_FALSE(Image("a.jpg")->m_bSelected);
    EXPECT_TRUE(Image("b.jpg")->m_bSelected);
    EXPECT_TRUE(Image("c.jpg")->m_bSelected);
    ASSERT_EQ(m->doc->GetSelectedImageCount(), 2u);
    EXPECT_EQ(m->doc->GetSelectedImage(0)->m_strName, "b.jpg");

    view->RightClick(RowOf(view, "b.jpg"), wxPoint(10, 10));
    EXPECT_EQ(menus, std::vector<int>{7}) << "Editor, Copy, Move, Delete, Rename and two separators";
    // A right click on empty space clears the flags: no menu.
    view->RightClick(-1, wxPoint(10, 400));
    EXPECT_EQ(menus.size(), 1u);
    EXPECT_EQ(m->doc->GetSelectedCount(), 0);
    EXPECT_EQ(m->doc->GetSelectedImageCount(), 2u) << "a right click leaves the selection list alone";

    Select(view, {});
    view->SyncSelection();
    EXPECT_EQ(m->doc->GetSelectedImageCount(), 0u);
}

TEST_F(ListViewTest, CommandsReachTheFileOperationsAndTheEditor)
{
    CSort_listView* view = ShowList(kViewDetailsAndFolders);
    view->OnCopy();
    view->OnDelete();
    EXPECT_EQ(messages, (std::vector<std::string>{"Copy Image: " + std::string(CSort_listView::kSelectFirstText),
                                                  "Delete Image: " + std::string(CSort_listView::kSelectFirstText)}));
    EXPECT_TRUE(services.calls.empty());

    Select(view, {"a.jpg", "c.jpg"});
    view->SyncSelection();
    messages.clear();
    view->OnCopy();
    view->OnMove();
    answer = false;
    view->OnDelete();
    answer = true;
    view->OnDelete();
    EXPECT_EQ(questions, std::vector<std::string>(2, CSort_listView::kDeleteQuestion));
    view->OnRename();
    view->OnEditor();
    EXPECT_EQ(services.calls, (std::vector<std::string>{"destination 1", "destination 0", "delete"}));
    EXPECT_EQ(messages, (std::vector<std::string>{": " + std::string(CSort_listView::kSeveralToRenameText),
                                                  ": " + std::string(EditorHandOff::kSeveralSelectedText)}));
    EXPECT_TRUE(launched.empty());

    Select(view, {"c.jpg"});
    view->SyncSelection();
    view->OnEditor();
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0], std::vector<std::string>{(photos / "c.jpg").string()}) << "the path as one argument";

    // Rename splits at the last dot; a true answer rescans the folder.
    fs::remove(photos / "b.jpg");
    view->OnRename();
    EXPECT_EQ(services.calls.back(), "rename c|c.jpg|jpg");
    EXPECT_EQ(m->doc->GetCurrentFolder()->ImageCount(), 2u) << "the document was refreshed";
}

TEST_F(ListViewTest, RenameAndEditorLookAtTheNameOnly)
{
    CSort_listView* view = ShowList(kViewDetailsAndFolders);
    // Records as a search may bring them: names that no folder scan makes images of.
    auto folder = lftest::TestDoc::MakeFolder(photos.string(), {"README", "photo.final.jpg", "x.GIF.jpg", "y.gif"});
    m->doc->SetCurrentFolder(std::move(folder));
    const struct {
        const char* name;
        const char* rename;
        bool launches;
        const char* refusal;
    } cases[] = {
        {"README", "rename README|README|", false, EditorHandOff::kUnsupportedText},
        {"photo.final.jpg", "rename photo.final|photo.final.jpg|jpg", true, ""},
        {"x.GIF.jpg", "rename x.GIF|x.GIF.jpg|jpg", true, ""},
        {"y.gif", "rename y|y.gif|gif", false, EditorHandOff::kGifText},
    };
    services.renameResult = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& image : m->doc->GetCurrentFolder()->m_arrImages)
            image->m_bSelected = image->m_strName == c.name;
        view->OnRename();
        EXPECT_EQ(services.calls.back(), c.rename);
        const size_t before = launched.size();
        m->messages.clear();
        view->OnEditor();
        EXPECT_EQ(launched.size(), before + (c.launches ? 1 : 0));
        if (!c.launches) {
            EXPECT_EQ(m->messages, std::vector<std::string>{c.refusal});
        }
    }
}

TEST_F(ListViewTest, DraggingRowsOntoTheTreeSetsTheDestination)
{
    CSort_listView* view = ShowList(kViewDetailsAndFolders);
    Select(view, {"a.jpg", "b.jpg"});
    wxTreeCtrl* tree = m->Tree()->GetTree();
    const wxTreeItemId current = tree->GetSelection();
    ASSERT_TRUE(current.IsOk());
    const wxTreeItemId target = tree->GetItemParent(current);
    ASSERT_EQ(m->Tree()->GetItemPath(target), dir.str());
    wxRect rect;
    ASSERT_TRUE(tree->GetBoundingRect(target, rect, true));
    const wxPoint onTarget = tree->ClientToScreen(rect.GetPosition() + wxPoint(4, rect.height / 2));
    const wxColour highlight = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);

    view->BeginDrag(RowOf(view, "a.jpg"));
    EXPECT_TRUE(m->state->m_bDragging);
    EXPECT_TRUE(Image("a.jpg")->m_bSelected);
    EXPECT_TRUE(Image("b.jpg")->m_bSelected);
    view->DragMove(onTarget);
    EXPECT_EQ(m->doc->m_strDestFolder, dir.str());
    // The item under the cursor is drop-highlighted; the selection stays where it was.
    EXPECT_EQ(m->Tree()->GetDropHighlight(), target);
    EXPECT_EQ(tree->GetItemBackgroundColour(target), highlight);
    EXPECT_EQ(tree->GetSelection(), current);
    EXPECT_EQ(m->doc->GetCurrentFolder()->m_strPath, photos.string()) << "the tree opens nothing meanwhile";
    // Off the tree the highlight goes; the destination stays the last one shown.
    view->DragMove(view->GetListCtrl()->ClientToScreen(wxPoint(50, 50)));
    EXPECT_FALSE(m->Tree()->GetDropHighlight().IsOk());
    EXPECT_NE(tree->GetItemBackgroundColour(target), highlight);
    view->DragMove(onTarget);
    EXPECT_EQ(m->Tree()->GetDropHighlight(), target);
    view->Drop(onTarget);
    EXPECT_FALSE(view->IsDragging());
    EXPECT_FALSE(m->state->m_bDragging);
    EXPECT_FALSE(m->Tree()->GetDropHighlight().IsOk()) << "the drop clears the highlight";
    EXPECT_NE(tree->GetItemBackgroundColour(target), highlight);
    EXPECT_FALSE(m->frame->HasCapture());
    EXPECT_EQ(services.calls, std::vector<std::string>{"drop " + dir.str()});
    lftest::PumpFor(std::chrono::milliseconds(50));
    EXPECT_EQ(m->doc->GetCurrentFolder()->m_strPath, photos.string());
    EXPECT_TRUE(messages.empty());

    // Dropped on the list itself: the drag just ends.
    view->BeginDrag(RowOf(view, "a.jpg"));
    view->Drop(view->GetListCtrl()->ClientToScreen(wxPoint(50, 50)));
    EXPECT_EQ(services.calls.size(), 1u);
    EXPECT_FALSE(m->state->m_bDragging);
}

// The picture that follows the cursor: the row's own (its icon and name) for one row,
// the program's several-files picture for more.
TEST_F(ListViewTest, ADragCarriesTheRowsPicture)
{
    for (const int mode : {kViewDetailsAndFolders, kViewThumbnailsAndDetails}) {
        SCOPED_TRACE(mode);
        CSort_listView* view = ShowList(mode);
        wxListCtrl* list = view->GetListCtrl();
        const long row = RowOf(view, "b.jpg");
        Select(view, {"b.jpg"});
        view->BeginDrag(int(row));
        const wxBitmap one = view->GetDragPicture();
        ASSERT_TRUE(one.IsOk());
        EXPECT_TRUE(m->frame->HasCapture()) << "the frame holds the mouse for the drag";
        const wxSize name = list->GetTextExtent("b.jpg");
        EXPECT_GE(one.GetWidth(), name.x);
        EXPECT_GE(one.GetHeight(), name.y);
        if (mode == kViewThumbnailsAndDetails) {
            EXPECT_GE(one.GetWidth(), thumbs::kThumbWidth + name.x);
            EXPECT_GE(one.GetHeight(), thumbs::kThumbHeight);
        }
        // The row picture shows the row: some pixels differ from the list's background.
        const wxImage oneImage = one.ConvertToImage();
        const wxColour back = list->GetBackgroundColour();
        int inked = 0;
        for (int y = 0; y < oneImage.GetHeight(); ++y)
            for (int x = 0; x < oneImage.GetWidth(); ++x)
                inked += oneImage.GetRed(x, y) != back.Red() || oneImage.GetGreen(x, y) != back.Green();
        EXPECT_GT(inked, 10);
        view->Drop(wxPoint(-1, -1));
        EXPECT_FALSE(m->frame->HasCapture());

        Select(view, {"a.jpg", "b.jpg", "c.jpg"});
        view->BeginDrag(int(row));
        const wxImage several = view->GetDragPicture().ConvertToImage();
        const wxImage expected = CSort_listView::SeveralFilesPicture(one.GetSize()).ConvertToImage();
        ASSERT_TRUE(several.IsOk() && expected.IsOk());
        EXPECT_EQ(several.GetSize(), expected.GetSize());
        EXPECT_EQ(0, std::memcmp(several.GetData(), expected.GetData(), size_t(several.GetWidth()) * several.GetHeight() * 3))
            << "three rows carry the several-files picture";
        view->Drop(wxPoint(-1, -1));
        EXPECT_FALSE(m->state->m_bDragging);
    }
    const wxImage strip = mpic::MakeToolPanelPicture(mpic::kStripPicture).ConvertToImage();
    const wxImage cut = CSort_listView::SeveralFilesPicture(wxSize(200, 90)).ConvertToImage();
    EXPECT_EQ(cut.GetSize(), wxSize(200, 51)) << "no taller than the picture itself";
    EXPECT_EQ(cut.GetRed(10, 10), strip.GetRed(10, 10));
}

TEST_F(ListViewTest, SearchResultsJoinTheListOnce)
{
    CSort_listView* view = ShowList(kViewDetailsAndFolders);
    const size_t rows = view->RowCount();
    auto found = std::make_unique<CImageItem>("found.jpg", (photos / "found.jpg").string(), 2048, 0, 0);
    m->doc->GetCurrentFolder()->AddImage(std::move(found));
    ASSERT_TRUE(m->frame->GetMessageSink().Post(CMainFrame::kAddFoundImage, 0, 0));
    ASSERT_TRUE(lftest::PumpUntil([&] { return view->RowCount() == rows + 1; }));
    EXPECT_EQ(view->Row(rows)->name, "found.jpg");
    EXPECT_EQ(view->GetListCtrl()->GetItemText(long(rows), 1), "2.00 KB");
    view->AddImageItem();
    EXPECT_EQ(view->RowCount(), rows + 1) << "a record gets one row";
}

// A search turns the image pane into the file list over an empty results folder, then
// appends its results one at a time with their thumbnails: each row is as high as its
// picture and as its text in the desktop's font, whichever list stood there before.
TEST_F(ListViewTest, SearchResultRowsShowTheirWholePictureAndText)
{
    for (const int before : {kViewDetailsAndFolders, kViewThumbnailsAndDetails}) {
        SCOPED_TRACE(before);
        ASSERT_TRUE(m->Tree()->SelectPath(photos.string()));
        ShowList(before);
        m->doc->m_nViewMode = kViewThumbnailsAndDetails;
        m->frame->SwitchImageView(kViewThumbnailsAndDetails);
        auto results = std::make_unique<CFolderItem>("Search", "x", 0);
        CFolderItem* folder = results.get();
        m->doc->m_bSearchResults = true;
        m->doc->SetCurrentFolder(std::move(results));
        m->doc->UpdateAllViews();
        auto* view = dynamic_cast<CSort_listView*>(m->frame->GetImagePaneView());
        ASSERT_NE(view, nullptr);
        Settle(view);
        ASSERT_EQ(view->RowCount(), 0u);

        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
            const std::string path = (photos / name).string();
            auto record = std::make_unique<CImageItem>(path, path, 2048, 0, 0);
            CLfImage picture = lftest::GradientPicture(120, 90);
            thumbs::ThumbnailPair pair = thumbs::MakeThumbnails(&picture);
            record->SetThumbnails(std::move(pair.fitted), std::move(pair.framed));
            folder->AddImage(std::move(record));
            ASSERT_TRUE(m->frame->GetMessageSink().Post(CMainFrame::kAddFoundImage, 0, 0));
            ASSERT_TRUE(lftest::PumpUntil([&] { return view->RowCount() == folder->ImageCount(); }));
        }
        wxListCtrl* list = view->GetListCtrl();
        const int textHeight = list->GetTextExtent(wxString::FromUTF8(view->Row(0)->name) + "Égy").y;
        for (long i = 0; i < list->GetItemCount(); ++i) {
            wxRect row;
            ASSERT_TRUE(list->GetItemRect(i, row));
            EXPECT_GE(row.height, textHeight) << "row " << i;
            EXPECT_GE(row.height, thumbs::kThumbHeight) << "row " << i;
        }
        // The Filename column holds the whole path beside the picture.
        const int pathWidth = list->GetTextExtent(wxString::FromUTF8(view->Row(1)->name)).x;
        EXPECT_GE(list->GetColumnWidth(0), thumbs::kThumbWidth + pathWidth) << view->Row(1)->name;
        Repaint();
        lftest::SaveScreenshot(fs::path(LF_BIN_DIR).parent_path() / "artefacts" /
                                   ("quorix-search-results-" + std::to_string(before) + ".png"),
                               wxSize(1000, 765));
        m->doc->m_bSearchResults = false;
    }
}

// A name the system gives that is not UTF-8 still shows, its odd byte as a replacement
// character.
TEST_F(ListViewTest, ANameThatIsNotUtf8ShowsInTheList)
{
    const std::string name = "caf\xe9.jpg";
    fs::copy_file(photos / "a.jpg", photos / name);
    CSort_listView* view = ShowList(kViewDetailsAndFolders);
    view->OpenFolder(photos.string());
    Settle(view);
    const long row = RowOf(view, name);
    ASSERT_GE(row, 0) << Names(view);
    EXPECT_EQ(view->GetListCtrl()->GetItemText(row, 0), wxString::FromUTF8("caf\xEF\xBF\xBD.jpg"));
}

// Prints a printout to a PostScript file as the print framework would, page by page.
std::string PrintToPostScript(wxPrintout& printout, const fs::path& file)
{
    wxPrintData data;
    data.SetPrintMode(wxPRINT_MODE_FILE);
    data.SetFilename(file.string());
    data.SetPaperId(wxPAPER_A4);
    wxPostScriptDC dc(data);
    EXPECT_TRUE(dc.IsOk());
    const wxSize page = dc.GetSize();
    printout.SetDC(&dc);
    printout.SetPPIScreen(96, 96);
    const wxSize ppi = dc.GetPPI();
    printout.SetPPIPrinter(ppi.x, ppi.y);
    printout.SetPageSizePixels(page.x, page.y);
    printout.SetPaperRectPixels(wxRect(0, 0, page.x, page.y));
    printout.OnPreparePrinting();
    int minPage = 0, maxPage = 0, from = 0, to = 0;
    printout.GetPageInfo(&minPage, &maxPage, &from, &to);
    EXPECT_TRUE(dc.StartDoc("list"));
    printout.OnBeginPrinting();
    EXPECT_TRUE(printout.OnBeginDocument(from, to));
    for (int p = from; p <= to && printout.HasPage(p); ++p) {
        dc.StartPage();
        EXPECT_TRUE(printout.OnPrintPage(p));
        dc.EndPage();
    }
    printout.OnEndDocument();
    printout.OnEndPrinting();
    dc.EndDoc();
    return lftest::ReadText(file);
}

TEST_F(ListViewTest, PrintingAListPrintsItsRows)
{
    CSort_listView* view = ShowList(kViewDetailsAndFolders);
    std::unique_ptr<CListPrintout> printout = view->MakePrintout();
    ASSERT_EQ(printout->PageCount(), 1);
    const std::string ps = PrintToPostScript(*printout, dir / "list.ps");
    for (const char* text : {"(Filename)", "(a.jpg)", "(b.jpg)", "(c.jpg)", "(readme.txt)", "(1.00 KB)"})
        EXPECT_NE(ps.find(text), std::string::npos) << text;

    // The list view answers File > Print while it is the active view.
    view->Activate(true);
    wxUpdateUIEvent update(ID_FILE_PRINT);
    update.Enable(false);
    m->frame->ProcessWindowEvent(update);
    EXPECT_TRUE(update.GetEnabled());
}

TEST(ListPrintout, LongListsGoOnSeveralPagesEachRowOnce)
{
    std::vector<CListPrintout::Line> lines;
    for (int i = 0; i < 120; ++i)
        lines.push_back({"row" + std::to_string(1000 + i) + ".jpg", "1.00 KB", "3/05/04 "});
    CListPrintout printout("photos", lines);
    ASSERT_GT(printout.RowsPerPage(), 10);
    const int pages = (120 + printout.RowsPerPage() - 1) / printout.RowsPerPage();
    EXPECT_EQ(printout.PageCount(), pages);
    EXPECT_TRUE(printout.HasPage(pages));
    EXPECT_FALSE(printout.HasPage(pages + 1));
    lftest::TempDir dir;
    const std::string ps = PrintToPostScript(printout, dir / "long.ps");
    size_t showPages = 0;
    for (size_t at = ps.find("%%Page:"); at != std::string::npos; at = ps.find("%%Page:", at + 1))
        ++showPages;
    EXPECT_EQ(showPages, size_t(pages));
    for (const auto& line : lines) {
        const size_t first = ps.find("(" + line[0] + ")");
        ASSERT_NE(first, std::string::npos) << line[0];
        EXPECT_EQ(ps.find("(" + line[0] + ")", first + 1), std::string::npos) << line[0];
    }
}

}  // namespace
