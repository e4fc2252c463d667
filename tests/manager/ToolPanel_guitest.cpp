#include "FakeLoader.h"
#include "FrameTestSupport.h"
#include "ManagerHarness.h"
#include "ThumbTestSupport.h"
#include "controls/CHoverButton.h"
#include "manager/ui/CMainFrame.h"
#include "manager/ui/CToolPanelArt.h"
#include "manager/ui/CTollbarView.h"
#include "resources/manager/ManagerIds.h"

#include <gtest/gtest.h>
#include <wx/bmpcbox.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/dcmemory.h>

#include <deque>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

using lftest::Manager;

class ToolPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "data");
        photos = dir / "photos";
        other = dir / "other";
        fs::create_directories(photos);
        fs::create_directories(other);
        // Names and sizes in different orders: b is the largest file, c the smallest.
        const struct {
            const char* name;
            int width;
        } pictures[] = {{"b.jpg", 400}, {"a.jpg", 240}, {"c.jpg", 80}};
        for (const auto& p : pictures) {
            CLfImage picture = lftest::GradientPicture(p.width, p.width * 3 / 4);
            lftest::SavePicture(picture, photos / p.name, 3);
        }
        CLfImage palette = lftest::PalettePicture(60, 40);
        lftest::SavePicture(palette, photos / "d.gif", 2);
        for (int i = 0; i < 9; ++i) {
            CLfImage picture = lftest::SolidPicture(160, 120, uint8_t(30 + i * 25), 160, uint8_t(220 - i * 20));
            std::string name = "e";  // appended: the release build warns on "e" + std::string
            name += std::to_string(i);
            name += ".jpg";
            lftest::SavePicture(picture, photos / name, 3);
        }
        CLfImage picture = lftest::GradientPicture(200, 150);
        lftest::SavePicture(picture, other / "o.jpg", 3);
        for (const fs::path& folder : {photos, other})
            for (const auto& entry : fs::directory_iterator(folder))
                lftest::SetFileTime(entry.path(), -100);
    }

    // The manager with the photos open and the panel laid out.
    void Open(Manager& m)
    {
        ASSERT_NE(m.Panel(), nullptr);
        ASSERT_TRUE(m.Tree()->SelectPath(photos.string()));
        ASSERT_TRUE(lftest::PumpUntil([&] { return m.Panel()->IsLaidOut(); }));
        m.Panel()->SetMessageSink([this](const std::string& text, const std::string& caption) {
            panelMessages.push_back(caption + ": " + text);
        });
    }

    std::vector<std::string> Names(Manager& m) const
    {
        std::vector<std::string> names;
        for (const auto& image : m.doc->GetCurrentFolder()->m_arrImages)
            names.push_back(image->m_strName);
        return names;
    }

    int IndexOf(Manager& m, const std::string& name) const
    {
        const auto names = Names(m);
        return int(std::find(names.begin(), names.end(), name) - names.begin());
    }

    // Pop-up menus answer from a queue of choices and record their check marks.
    void ScriptMenus(Manager& m)
    {
        m.Panel()->SetMenuRunner([this](wxMenu& menu, const wxPoint&) {
            checks.clear();
            for (const wxMenuItem* item : menu.GetMenuItems())
                if (item->IsCheckable())
                    checks[item->GetId()] = item->IsChecked();
            if (choices.empty())
                return int(wxID_NONE);
            const int id = choices.front();
            choices.pop_front();
            return id;
        });
    }

    void Choose(Manager& m, int button, int item)
    {
        choices.push_back(item);
        ASSERT_TRUE(m.Panel()->RunCommand(button));
        lftest::PumpFor(std::chrono::milliseconds(20));
    }

    lftest::TempDir dir;
    lftest::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").string()};
    fs::path photos;
    fs::path other;
    std::vector<std::string> panelMessages;
    std::deque<int> choices;
    std::map<int, bool> checks;
};

// Serves plain red for every picture.
class RedArt : public wxArtProvider {
protected:
    wxBitmap CreateBitmap(const wxArtID&, const wxArtClient&, const wxSize&) override
    {
        wxBitmap bitmap(120, 60, 24);
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxRED_BRUSH);
        dc.Clear();
        dc.SelectObject(wxNullBitmap);
        return bitmap;
    }
};

TEST_F(ToolPanelTest, ControlsSitAtTheirPlacesWithTheirPictures)
{
    Manager m(dir);
    Open(m);
    ASSERT_TRUE(lftest::PumpUntil([&] { return m.AllThumbnails(); }, std::chrono::seconds(60)));
    CTollbarView* panel = m.Panel();
    const struct {
        int id;
        wxRect place;
    } visible[] = {
        {ID_PANEL_EDITOR, {0, 0, 60, 51}},     {ID_PANEL_SEARCH, {60, 0, 54, 51}},
        {ID_PANEL_BATCH, {114, 0, 52, 51}},    {ID_PANEL_FILE_OPS, {166, 0, 70, 51}},
        {ID_PANEL_PRINT, {236, 0, 58, 51}},    {ID_PANEL_UPLOAD, {294, 0, 65, 51}},
        {ID_PANEL_VIEW_MENU, {10, 75, 101, 24}},
    };
    for (const auto& v : visible) {
        CHoverButton* button = panel->GetButton(v.id);
        ASSERT_NE(button, nullptr) << v.id;
        EXPECT_TRUE(button->IsShown()) << v.id;
        EXPECT_EQ(button->GetRect(), v.place) << v.id;
    }
    for (int id : {ID_PANEL_NOTES, ID_PANEL_SORT_MENU, ID_PANEL_VIEW_BY, ID_IMAGE_COPY, ID_IMAGE_MOVE, ID_IMAGE_DELETE}) {
        ASSERT_NE(panel->GetButton(id), nullptr) << id;
        EXPECT_FALSE(panel->GetButton(id)->IsShown()) << id;
    }
    ASSERT_NE(panel->GetAddTextButton(), nullptr);
    EXPECT_FALSE(panel->GetAddTextButton()->IsShown());
    const wxRect address = panel->GetAddressBox()->GetRect();
    EXPECT_EQ(address.GetPosition(), wxPoint(115, 75));
    EXPECT_EQ(address.width, panel->GetPanel()->GetClientSize().x - 112);

    // The layout follows the panel's width.
    m.frame->SetSize(1100, 765);
    ASSERT_TRUE(lftest::PumpUntil([&] {
        return panel->GetAddressBox()->GetRect().width == panel->GetPanel()->GetClientSize().x - 112;
    }));

    // Every picture was made once, with the panel; the buttons show them.
    ASSERT_NE(panel->GetArt(), nullptr);
    EXPECT_EQ(panel->GetArt()->PictureCount(), 15u);
    EXPECT_TRUE(panel->GetArt()->Picture(211).IsOk());
    EXPECT_EQ(panel->GetArt()->Picture(211).GetSize(), wxSize(60, 51));
    EXPECT_EQ(panel->GetArt()->Picture(203).GetSize(), wxSize(101, 24));
    EXPECT_TRUE(wxArtProvider::GetBitmap(ResourceArtId(247)).IsOk()) << "served through the art provider";
    // Repaints keep the buttons' pictures: a provider that now serves red for every id
    // shows nowhere.
    RedArt* red = new RedArt;
    wxArtProvider::Push(red);
    panel->GetPanel()->Refresh();
    for (const auto& v : visible)
        panel->GetButton(v.id)->Refresh();
    lftest::PumpFor(std::chrono::milliseconds(100));
    for (const auto& v : visible) {
        wxBitmap drawn(v.place.width, v.place.height, 24);
        {
            wxMemoryDC dc(drawn);
            panel->GetButton(v.id)->Draw(dc, wxRect(v.place.GetSize()));
        }
        const wxImage image = drawn.ConvertToImage();
        const wxPoint centre(v.place.width / 2, v.place.height / 2);
        EXPECT_FALSE(image.GetRed(centre.x, centre.y) == 255 && image.GetGreen(centre.x, centre.y) == 0) << v.id;
    }
    wxArtProvider::Delete(red);

    m.frame->SetSize(1000, 765);
    lftest::PumpFor(std::chrono::milliseconds(100));
    m.frame->Refresh();
    m.frame->Update();
    lftest::PumpFor(std::chrono::milliseconds(200));
    lftest::SaveScreenshot(fs::path(LF_BIN_DIR).parent_path() / "artefacts" / "quorix-tool-panel.png",
                           wxSize(1000, 765));
}

TEST_F(ToolPanelTest, ViewByChecksFollowTheStateAndSwitchThePanes)
{
    Manager m(dir);
    Open(m);
    ScriptMenus(m);
    Choose(m, ID_PANEL_VIEW_MENU, ID_PANEL_VIEW_THUMBS_DETAIL);
    EXPECT_TRUE(checks[ID_PANEL_SORT_NAME]);
    EXPECT_FALSE(checks[ID_PANEL_SORT_SIZE]);
    EXPECT_TRUE(checks[ID_PANEL_VIEW_THUMBNAILS]);
    EXPECT_FALSE(checks[ID_PANEL_VIEW_THUMBS_DETAIL]);
    ASSERT_TRUE(lftest::PumpUntil([&] {
        return m.frame->GetImagePaneView() &&
               m.frame->GetImagePaneView()->IsKindOf(CMainFrame::ImagePaneClass(kViewThumbnailsAndDetails));
    }));
    EXPECT_EQ(m.doc->m_nViewMode, kViewThumbnailsAndDetails);
    EXPECT_EQ(m.doc->GetCurrentFolder()->m_nViewMode, kViewThumbnailsAndDetails);

    Choose(m, ID_PANEL_VIEW_MENU, ID_PANEL_VIEW_DETAILS_FOLDERS);
    EXPECT_TRUE(checks[ID_PANEL_VIEW_THUMBS_DETAIL]);
    EXPECT_FALSE(checks[ID_PANEL_VIEW_THUMBNAILS]);
    ASSERT_TRUE(lftest::PumpUntil([&] {
        return m.frame->GetImagePaneView()->IsKindOf(CMainFrame::ImagePaneClass(kViewDetailsAndFolders));
    }));

    Choose(m, ID_PANEL_VIEW_BY, ID_PANEL_VIEW_THUMBNAILS);  // the hidden View By button's menu
    EXPECT_TRUE(checks[ID_PANEL_VIEW_DETAILS_FOLDERS]);
    EXPECT_EQ(checks.count(ID_PANEL_SORT_NAME), 0u) << "no sort items there";
    ASSERT_TRUE(lftest::PumpUntil([&] {
        return m.frame->GetImagePaneView()->IsKindOf(CMainFrame::ImagePaneClass(kViewThumbnails));
    }));

    // Date twice: the second flips the direction, and Sort By shows neither Name nor Size.
    Choose(m, ID_PANEL_VIEW_MENU, ID_PANEL_SORT_DATE);
    Choose(m, ID_PANEL_VIEW_MENU, ID_PANEL_SORT_DATE);
    EXPECT_TRUE(checks[ID_PANEL_SORT_DATE]);
    EXPECT_EQ(m.doc->m_nSortKey, kSortByFileTime);
    EXPECT_EQ(m.doc->m_nSortOrder, kSortReverse);
    Choose(m, ID_PANEL_SORT_MENU, wxID_NONE);
    EXPECT_FALSE(checks[ID_PANEL_SORT_NAME]);
    EXPECT_FALSE(checks[ID_PANEL_SORT_SIZE]);
    EXPECT_TRUE(checks[ID_PANEL_SORT_REVERSE]);
    EXPECT_FALSE(checks[ID_PANEL_SORT_FORWARD]);

    // The other-files commands, which no menu offers: hiding only updates the views,
    // showing them switches to the details with folders.
    ASSERT_TRUE(m.Panel()->RunCommand(ID_PANEL_HIDE_OTHER_FILES));
    EXPECT_FALSE(m.doc->m_bShowOtherFiles);
    EXPECT_TRUE(m.frame->GetImagePaneView()->IsKindOf(CMainFrame::ImagePaneClass(kViewThumbnails)));
    ASSERT_TRUE(m.Panel()->RunCommand(ID_PANEL_SHOW_OTHER_FILES));
    EXPECT_TRUE(m.doc->m_bShowOtherFiles);
    ASSERT_TRUE(lftest::PumpUntil([&] {
        return m.frame->GetImagePaneView()->IsKindOf(CMainFrame::ImagePaneClass(kViewDetailsAndFolders));
    }));
    EXPECT_EQ(m.doc->m_nViewMode, kViewDetailsAndFolders);
}

TEST_F(ToolPanelTest, NameTwiceReversesTheGridAndSizeSortsForward)
{
    Manager m(dir);
    Open(m);
    ScriptMenus(m);
    ASSERT_LT(IndexOf(m, "a.jpg"), IndexOf(m, "b.jpg"));
    ASSERT_TRUE(lftest::PumpUntil([&] { return m.AllThumbnails(); }, std::chrono::seconds(60)));
    // A loader reading the records: it has ended, seeing the old order, before they move.
    lftest::LoaderProbe probe;
    std::vector<std::string> orderAtEnd;
    const std::vector<std::string> before = Names(m);
    m.state->m_threads.Start(std::make_unique<lftest::FakeLoader>(probe, m.doc->GetCurrentFolder(), [&] {
        orderAtEnd = Names(m);
    }));
    ASSERT_TRUE(lftest::PumpUntil([&] { return probe.started == 1; }));
    Choose(m, ID_PANEL_VIEW_MENU, ID_PANEL_SORT_NAME);  // the key already is the name: reverse
    EXPECT_EQ(probe.finished, 1);
    EXPECT_EQ(orderAtEnd, before);
    EXPECT_EQ(m.doc->m_nSortOrder, kSortReverse);
    EXPECT_GT(IndexOf(m, "a.jpg"), IndexOf(m, "b.jpg"));
    EXPECT_GT(IndexOf(m, "b.jpg"), IndexOf(m, "c.jpg"));
    EXPECT_EQ(Names(m).front(), "e8.jpg");

    Choose(m, ID_PANEL_VIEW_MENU, ID_PANEL_SORT_NAME);
    EXPECT_EQ(m.doc->m_nSortOrder, kSortForward);
    EXPECT_EQ(Names(m).front(), "a.jpg");

    Choose(m, ID_PANEL_VIEW_MENU, ID_PANEL_SORT_SIZE);
    EXPECT_EQ(m.doc->m_nSortKey, kSortBySize);
    EXPECT_EQ(m.doc->m_nSortOrder, kSortForward);
    const CFolderItem* folder = m.doc->GetCurrentFolder();
    for (size_t i = 1; i < folder->ImageCount(); ++i)
        EXPECT_LE(folder->Image(i - 1)->m_nSize, folder->Image(i)->m_nSize) << i;
    EXPECT_EQ(Names(m).back(), "b.jpg");
}

// A record that says when it is freed.
class TrackedImage : public CImageItem {
public:
    TrackedImage(bool& freed) : CImageItem("t.jpg", "/t.jpg", 10, 0, 0), m_freed(freed) {}
    ~TrackedImage() override { m_freed = true; }

private:
    bool& m_freed;
};

// Counts the document's view updates.
class CountingView : public wxView {
public:
    void OnDraw(wxDC*) override {}
    void OnUpdate(wxView*, wxObject*) override { ++updates; }
    int updates = 0;
};

TEST_F(ToolPanelTest, TypingARecentFoldersExactPathSwitchesToIt)
{
    Manager m(dir);
    Open(m);
    ASSERT_TRUE(m.Tree()->SelectPath(other.string()));
    wxBitmapComboBox* box = m.Panel()->GetAddressBox();
    lftest::PumpUntil([&] { return box->GetCount() >= 2u && box->GetValue().utf8_string() == other.string(); });
    ASSERT_GE(box->GetCount(), 2u) << "both folders are listed";
    EXPECT_EQ(box->GetValue().utf8_string(), other.string()) << "the box shows the current folder";

    // Typed one character at a time: nothing until the last one completes the path.
    const std::string target = photos.string();
    for (size_t n = 1; n < target.size(); ++n) {
        box->SetValue(wxString::FromUTF8(target.substr(0, n)));
        ASSERT_EQ(m.doc->GetCurrentFolder()->m_strPath, other.string()) << n;
    }
    CountingView counter;
    m.doc->AddView(&counter);
    box->SetValue(wxString::FromUTF8(target));
    EXPECT_EQ(m.doc->GetCurrentFolder()->m_strPath, target);
    // Picking the same entry from the list as well gives no second switch.
    wxCommandEvent picked(wxEVT_COMBOBOX, box->GetId());
    picked.SetEventObject(box);
    box->ProcessWindowEvent(picked);
    EXPECT_EQ(counter.updates, 1) << "one switch, one update";
    m.doc->RemoveView(&counter);
    EXPECT_EQ(m.doc->GetRecentFolder(size_t(m.doc->m_nCurrentRecent))->m_strPath, target);

    // Another letter case, or a folder that is not listed, does nothing.
    std::string upper = other.string();
    for (char& c : upper)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    box->SetValue(wxString::FromUTF8(upper));
    box->SetValue(wxString::FromUTF8(dir.str()));
    EXPECT_EQ(m.doc->GetCurrentFolder()->m_strPath, target);
    EXPECT_TRUE(panelMessages.empty());

    // An unlisted current folder is freed and leaves the selection when the box switches.
    bool freed = false;
    auto loose = std::make_unique<CFolderItem>("", "", 0);
    loose->AddImage(std::make_unique<TrackedImage>(freed));
    const CFolderItem* looseFolder = loose.get();
    m.doc->SetCurrentFolder(std::move(loose));
    m.doc->SelectImage(0, false, false);
    ASSERT_EQ(m.doc->GetSelectedImageCount(), 1u);
    lftest::LoaderProbe probe;
    bool freedBeforeEnd = true;
    m.state->m_threads.Start(
        std::make_unique<lftest::FakeLoader>(probe, looseFolder, [&] { freedBeforeEnd = freed; }));
    ASSERT_TRUE(lftest::PumpUntil([&] { return probe.started == 1; }));
    box->SetValue(wxString::FromUTF8(other.string()));
    EXPECT_EQ(m.doc->GetCurrentFolder()->m_strPath, other.string());
    EXPECT_EQ(probe.finished, 1);
    EXPECT_FALSE(freedBeforeEnd) << "the loader ended before its records went";
    EXPECT_TRUE(freed);
    EXPECT_EQ(m.doc->GetSelectedImageCount(), 0u);
}

TEST_F(ToolPanelTest, ARecentFolderWhoseNameIsNotUtf8ShowsInTheAddressBoxAndCanBePicked)
{
    const fs::path odd = dir / "caf\xe9";
    fs::create_directories(odd);
    fs::copy_file(other / "o.jpg", odd / "o.jpg");
    const wxString shown = wxString::FromUTF8((dir / "caf\xEF\xBF\xBD").string());
    Manager m(dir);
    Open(m);
    wxBitmapComboBox* box = m.Panel()->GetAddressBox();
    ASSERT_TRUE(m.Tree()->SelectPath(odd.string()));
    ASSERT_TRUE(lftest::PumpUntil([&] { return box->GetValue() == shown; })) << box->GetValue();
    ASSERT_TRUE(m.Tree()->SelectPath(photos.string()));
    ASSERT_TRUE(lftest::PumpUntil([&] { return box->GetValue().utf8_string() == photos.string(); }));
    EXPECT_NE(box->FindString(shown), wxNOT_FOUND) << "the folder is listed by its shown name";
    box->SetValue(shown);
    EXPECT_EQ(m.doc->GetCurrentFolder()->m_strPath, odd.string()) << "and opens as the bytes it has";
}

TEST_F(ToolPanelTest, TypingARecentFolderTheCacheDoesNotKnowReadsIt)
{
    // Listed by the session file; no cache was ever written for it.
    lftest::WriteText(dir / "qkvex.sess", "UPLOADED=0\r\nLOGIN=\r\nPASS=\r\nDIRECTORY=" + other.string() + "\r\n");
    Manager m(dir);
    Open(m);
    m.Panel()->GetAddressBox()->SetValue(wxString::FromUTF8(other.string()));
    ASSERT_EQ(m.doc->GetCurrentFolder()->m_strPath, other.string());
    EXPECT_EQ(m.doc->GetCurrentFolder()->ImageCount(), 1u) << "o.jpg";
}

TEST_F(ToolPanelTest, TheEditorButtonStartsTheEditorWithTheSelectedImage)
{
    Manager m(dir);
    Open(m);
    std::vector<std::vector<std::string>> starts;
    m.doc->SetEditorLauncher([&](const std::string&, const std::vector<std::string>& args, const std::string&) {
        starts.push_back(args);
        return 0;
    });
    const int index = IndexOf(m, "a.jpg");
    m.doc->SelectImage(index, false, false);
    // A press and release on the button, as the mouse gives them (the tests share one
    // display, so no real pointer moves).
    CHoverButton* editor = m.Panel()->GetButton(ID_PANEL_EDITOR);
    for (const wxEventType type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP}) {
        wxMouseEvent mouse(type);
        mouse.SetPosition(wxPoint(30, 25));
        mouse.SetEventObject(editor);
        editor->ProcessWindowEvent(mouse);
    }
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], std::vector<std::string>{(photos / "a.jpg").string()});
}

TEST_F(ToolPanelTest, BatchCommandsCheckTheSelectionBeforeTheirDialogs)
{
    Manager m(dir);
    Open(m);
    ScriptMenus(m);
    std::vector<std::string> calls;
    ManagerServices& services = m.state->m_services;
    services.batchRename = [&](CQuorixDoc& doc) { calls.push_back("rename " + std::to_string(&doc == m.doc)); };
    services.batchResize = [&](CQuorixDoc& doc) { calls.push_back("resize " + std::to_string(&doc == m.doc)); };
    services.graphicText = [&](CQuorixDoc&) { calls.push_back("text"); };

    Choose(m, ID_PANEL_BATCH, ID_PANEL_BATCH_RENAME);
    ASSERT_EQ(panelMessages, std::vector<std::string>{"Batch Process: Select images to batch process first."});
    EXPECT_TRUE(calls.empty());

    // A selection of GIF images alone: the batch dialogs take it, graphical text does not.
    panelMessages.clear();
    m.doc->SelectImage(IndexOf(m, "d.gif"), false, false);
    Choose(m, ID_PANEL_BATCH, ID_PANEL_GRAPHIC_TEXT);
    Choose(m, ID_PANEL_BATCH, ID_PANEL_BATCH_RENAME);
    Choose(m, ID_PANEL_BATCH, ID_PANEL_BATCH_RESIZE);
    EXPECT_EQ(panelMessages, std::vector<std::string>{"Batch Process: Sorry GIF files not supported."});
    EXPECT_EQ(calls, (std::vector<std::string>{"rename 1", "resize 1"}));

    m.doc->SelectImage(IndexOf(m, "a.jpg"), true, false);
    ASSERT_TRUE(m.Panel()->RunCommand(ID_PANEL_ADD_TEXT));  // the hidden Add Text button
    EXPECT_EQ(calls.back(), "text");
}

TEST_F(ToolPanelTest, FileOperationsPrintUploadAndHistory)
{
    Manager m(dir);
    Open(m);
    ScriptMenus(m);
    std::vector<std::string> calls;
    ManagerServices& services = m.state->m_services;
    services.destination = [&](CQuorixDoc&, int mode) { calls.push_back("destination " + std::to_string(mode)); };
    services.deleteFiles = [&](CQuorixDoc&) { calls.push_back("delete"); };
    services.printLayout = [&](CQuorixDoc&, wxWindow* frame) {
        calls.push_back(std::string("print ") + (frame == m.frame ? "frame" : "other"));
    };
    services.upload = [&](CQuorixDoc&) { calls.push_back("upload"); };
    std::vector<std::string> questions;
    bool answer = false;
    m.Panel()->SetQuestionSink([&](const std::string& text) {
        questions.push_back(text);
        return answer;
    });

    Choose(m, ID_PANEL_FILE_OPS, ID_IMAGE_COPY);
    Choose(m, ID_PANEL_FILE_OPS, ID_IMAGE_MOVE);
    Choose(m, ID_PANEL_FILE_OPS, ID_IMAGE_DELETE);
    EXPECT_EQ(panelMessages, (std::vector<std::string>{
                                 "Copy Image: Please select one or more images in order to use this function.",
                                 "Move Image: Please select one or more images in order to use this function.",
                                 "Delete Image: Please select one or more images in order to use this function.",
                             }));
    EXPECT_TRUE(calls.empty());

    m.doc->SelectImage(IndexOf(m, "b.jpg"), false, false);
    m.doc->m_nTargetImage = 2;
    Choose(m, ID_PANEL_FILE_OPS, ID_IMAGE_COPY);
    Choose(m, ID_PANEL_FILE_OPS, ID_IMAGE_MOVE);
    Choose(m, ID_PANEL_FILE_OPS, ID_IMAGE_DELETE);  // answered No
    answer = true;
    Choose(m, ID_PANEL_FILE_OPS, ID_IMAGE_DELETE);
    EXPECT_EQ(calls, (std::vector<std::string>{"destination 1", "destination 0", "delete"}));
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0], " The file(s) you have selected will be deleted \n Are you sure ?");
    EXPECT_EQ(m.doc->m_nTargetImage, 2) << "the panel leaves the target image alone";

    calls.clear();
    ASSERT_TRUE(m.Panel()->RunCommand(ID_PANEL_PRINT));
    ASSERT_TRUE(m.Panel()->RunCommand(ID_PANEL_UPLOAD));
    EXPECT_EQ(calls, (std::vector<std::string>{"print frame", "upload"}));
    EXPECT_TRUE(m.doc->GetCurrentFolder()->Image(size_t(IndexOf(m, "b.jpg")))->m_bMarkedForPrint);

    // Delete History empties the list until the next update of the views.
    wxBitmapComboBox* box = m.Panel()->GetAddressBox();
    ASSERT_GT(box->GetCount(), 0u);
    m.Panel()->SetDialogRunner([](wxDialog&) { return int(wxID_CANCEL); });
    m.Panel()->DeleteHistory();
    EXPECT_GT(box->GetCount(), 0u) << "Cancel keeps it";
    m.Panel()->SetDialogRunner([](wxDialog&) { return int(wxID_OK); });
    wxCommandEvent command(wxEVT_MENU, ID_OPTIONS_DELETE_HISTORY);
    m.frame->ProcessWindowEvent(command);  // Options > Delete History
    EXPECT_EQ(box->GetCount(), 0u);
    EXPECT_GT(m.doc->GetRecentCount(), 0u) << "the recent folders stay";
    m.doc->UpdateAllViews();
    EXPECT_EQ(box->GetCount(), m.doc->GetRecentCount());
}

TEST_F(ToolPanelTest, SearchTwiceLeavesOneWindowThatGoesWithTheMainWindow)
{
    Manager m(dir);
    Open(m);
    std::vector<std::string> captions;
    wxWeakRef<wxWindow> searchWindow;
    int made = 0;
    // The search library's part: one window, a child of the main frame, made on first use.
    m.state->m_services.search = [&](CQuorixDoc&, wxWindow* mainFrame, const std::string& caption) {
        captions.push_back(caption);
        ASSERT_EQ(mainFrame, m.frame);
        if (!searchWindow) {
            searchWindow = new wxDialog(mainFrame, wxID_ANY, wxString::FromUTF8(caption));
            ++made;
        }
        searchWindow->Show();
    };
    m.Panel()->GetAddressBox()->ChangeValue("typed");
    ASSERT_TRUE(m.Panel()->RunCommand(ID_PANEL_SEARCH));
    EXPECT_EQ(m.Panel()->GetAddressBox()->GetValue(), "") << "the address box empties";
    ASSERT_TRUE(m.Panel()->RunCommand(ID_PANEL_SEARCH));
    ASSERT_TRUE(m.Panel()->RunCommand(ID_PANEL_SEARCH_NOTES));
    EXPECT_EQ(captions,
              (std::vector<std::string>{"Search by Filename", "Search by Filename", "Search by Notes/Keywords"}));
    EXPECT_EQ(made, 1);

    m.Close();
    EXPECT_FALSE(searchWindow) << "the search window went with the main window";
    EXPECT_EQ(wxTopLevelWindows.GetCount(), 0u) << "no window keeps the program running";
}

}  // namespace

namespace {

TEST_F(ToolPanelTest, ThePanelsOwnThumbnailsAndCachedLoad)
{
    Manager m(dir);
    Open(m);
    CTollbarView* panel = m.Panel();
    CImageItem record("x.jpg", "/x.jpg", 10, 0, 0);
    panel->SetImageInProgress(&record);
    CLfImage wide = lftest::SolidPicture(176, 88, 250, 10, 10);

    const wxBitmap fitted = panel->MakeThumbnail(&wide, 88, 66, true);
    EXPECT_EQ(fitted.GetSize(), wxSize(88, 44));
    EXPECT_EQ(record.m_nThumbWidth, 88);
    EXPECT_EQ(record.m_nThumbHeight, 44);
    EXPECT_EQ(wide.GetWidth(), 176) << "the source stays as it was";

    const wxImage framed = panel->MakeThumbnail(&wide, 88, 66, false).ConvertToImage();
    ASSERT_EQ(framed.GetSize(), wxSize(88, 66));
    EXPECT_EQ(wxColour(framed.GetRed(40, 5), framed.GetGreen(40, 5), framed.GetBlue(40, 5)), wxColour(123, 142, 148));
    EXPECT_EQ(wxColour(framed.GetRed(40, 33), framed.GetGreen(40, 33), framed.GetBlue(40, 33)), wxColour(250, 10, 10));

    record.m_nThumbWidth = 0;
    const wxBitmap none = panel->MakeThumbnail(nullptr, 88, 66, true);
    EXPECT_EQ(none.GetSize(), wxSize(88, 66)) << "the stand-in picture";
    EXPECT_EQ(record.m_nThumbWidth, 88);
    panel->SetImageInProgress(nullptr);

    EXPECT_FALSE(CTollbarView::IsImageFile((photos / "missing.txt").string()));
    EXPECT_TRUE(CTollbarView::IsImageFile((photos / "a.jpg").string()));

    // The load fills the current folder record from the folder on disk.
    m.doc->SetCurrentFolder(std::make_unique<CFolderItem>("other", other.string(), 0));
    panel->LoadFolderWithCache(other.string());
    ASSERT_EQ(m.doc->GetCurrentFolder()->ImageCount(), 1u);
    EXPECT_EQ(m.doc->GetCurrentFolder()->Image(0)->m_strPath, (other / "o.jpg").string());
}

}  // namespace
