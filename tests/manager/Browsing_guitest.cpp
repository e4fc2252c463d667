#include "FrameTestSupport.h"
#include "ManagerHarness.h"
#include "ThumbTestSupport.h"
#include "manager/ui/CDirectoryView.h"
#include "manager/ui/CFoldersView.h"
#include "manager/ui/CImageView.h"
#include "manager/ui/CMainFrame.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/ui/CQuorixDocManager.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/ThumbGrid.h"
#include "manager/model/ThumbnailCache.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/treectrl.h>
#include <wx/weakref.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using lftest::Manager;

class BrowsingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "data");  // the XDG data folder exists, as at a user's
        photos = dir / "photos";
        fs::create_directories(photos);
        for (int i = 0; i < 50; ++i) {
            CLfImage picture = lftest::SolidPicture(160, 120, uint8_t(20 + i * 4), 200, uint8_t(250 - i * 3));
            char name[32];
            std::snprintf(name, sizeof name, "img%02d.jpg", i);
            lftest::SavePicture(picture, photos / name, 3);
        }
        lftest::WriteText(photos / "notes.txt", "some notes, not a picture");
        lftest::WriteText(photos / "x.jpg", "12345");
        other = dir / "other";
        fs::create_directories(other);
        for (int i = 0; i < 3; ++i) {
            CLfImage picture = lftest::GradientPicture(200, 150);
            std::string name = "o";  // appended: GCC 12 misreads the concatenation in Release
            name += std::to_string(i);
            name += ".jpg";
            lftest::SavePicture(picture, other / name, 3);
        }
        // Photos older than this run, as at a user's: the cache compares whole seconds,
        // and a bitmap written in the picture's own second does not count as fresh.
        for (const fs::path& folder : {photos, other})
            for (const auto& entry : fs::directory_iterator(folder))
                lftest::SetFileTime(entry.path(), -100);
    }

    lftest::TempDir dir;
    lftest::ScopedEnv data{"XDG_DATA_HOME", (dir / "data").string()};
    fs::path photos;
    fs::path other;
};

TEST_F(BrowsingTest, FolderThumbnailsSelectionSessionAndCacheAcrossARestart)
{
    {
        Manager m(dir);
        ASSERT_NE(m.Tree(), nullptr);
        ASSERT_NE(m.Grid(), nullptr);
        ASSERT_TRUE(m.Tree()->SelectPath(photos.string()));
        ASSERT_EQ(m.doc->GetCurrentFolder()->m_strPath, photos.string());
        ASSERT_EQ(m.doc->GetCurrentFolder()->ImageCount(), 50u) << "notes.txt and the 5-byte x.jpg are no images";
        ASSERT_TRUE(lftest::PumpUntil([&] { return m.AllThumbnails(); }, std::chrono::seconds(60)));
        lftest::PumpFor(std::chrono::milliseconds(200));
        m.frame->ShowTotals();
        EXPECT_EQ(m.frame->GetStatusBar()->GetStatusText(1), "50  Image Files");

        // The grid's own drawing: every cell shows thumbnail pixels, not the background.
        const int columns = m.state->m_nThumbColumns;
        const thumbgrid::Extent extent = thumbgrid::ScrollExtent(50, columns, 0, 0);
        wxBitmap canvas(extent.width, extent.height, 24);
        {
            wxMemoryDC dc(canvas);
            m.Grid()->PaintGrid(dc, wxRect(0, 0, extent.width, extent.height));
        }
        const wxImage drawn = canvas.ConvertToImage();
        int cellsWithPictures = 0;
        for (int i = 0; i < 50; ++i) {
            const RECT cell = thumbgrid::CellRect(i, columns);
            const int x = cell.left + 50, y = cell.top + 27 + 20;
            const wxColour empty(92, 110, 118);
            if (wxColour(drawn.GetRed(x, y), drawn.GetGreen(x, y), drawn.GetBlue(x, y)) != empty)
                ++cellsWithPictures;
        }
        EXPECT_EQ(cellsWithPictures, 50);
        lftest::SaveScreenshot(fs::path(LF_BIN_DIR).parent_path() / "artefacts" / "quorix-thumbnails.png", wxSize(1000, 765));

        m.Grid()->LeftDown(m.CellPoint(2), false);
        m.Grid()->LeftDown(m.CellPoint(6), true);
        EXPECT_EQ(m.doc->GetSelectedCount(), 5);
        EXPECT_EQ(m.doc->GetSelectedImageCount(), 5u);
        for (int i = 2; i <= 6; ++i)
            EXPECT_TRUE(m.doc->GetCurrentFolder()->Image(size_t(i))->m_bSelected) << i;
        EXPECT_EQ(m.Recent()->RecordAt(wxPoint(40, 35)), 0) << "one row";
        EXPECT_EQ(m.Recent()->RecordAt(wxPoint(40, 55)), -1) << "and no second";
        m.Close();
    }
    const std::string session = fs::exists(dir / "qkvex.sess") ? lftest::ReadText(dir / "qkvex.sess") : "";
    EXPECT_NE(session.find("DIRECTORY=" + photos.string() + "\r\n"), std::string::npos) << session;
    int bitmaps = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "data"))
        bitmaps += entry.path().extension() == ".bmp";
    EXPECT_EQ(bitmaps, 50);

    Manager again(dir);
    ASSERT_EQ(again.doc->GetRecentCount(), 1u);
    again.Recent()->LButtonUp(wxPoint(40, 35));
    ASSERT_EQ(again.doc->GetCurrentFolder()->m_strPath, photos.string());
    ASSERT_EQ(again.doc->GetCurrentFolder()->ImageCount(), 50u);
    lftest::PumpFor(std::chrono::milliseconds(100));
    ASSERT_TRUE(lftest::PumpUntil([&] { return again.AllThumbnails(); }, std::chrono::seconds(60)));
    for (const auto& image : again.doc->GetCurrentFolder()->m_arrImages)
        EXPECT_TRUE(image->m_bThumbFromCache) << image->m_strName << " was decoded";
}

TEST_F(BrowsingTest, ARecentFolderTheCacheDoesNotKnowIsReadWhenOpened)
{
    // The session lists the folder, but no cache was written (deleted, or the last run
    // ended without closing).
    lftest::WriteText(dir / "qkvex.sess", "UPLOADED=0\r\nLOGIN=\r\nPASS=\r\nDIRECTORY=" + photos.string() + "\r\n");
    Manager m(dir);
    ASSERT_EQ(m.doc->GetRecentCount(), 1u);
    m.Recent()->LButtonUp(wxPoint(40, 35));
    ASSERT_EQ(m.doc->GetCurrentFolder()->m_strPath, photos.string());
    EXPECT_EQ(m.doc->GetCurrentFolder()->ImageCount(), 50u);
    EXPECT_TRUE(lftest::PumpUntil([&] { return m.AllThumbnails(); }, std::chrono::seconds(60)));
}

TEST_F(BrowsingTest, SwitchingAndRemovingFoldersDuringAPass)
{
    Manager m(dir);
    ASSERT_TRUE(m.Tree()->SelectPath(photos.string()));
    lftest::PumpUntil([&] { return m.state->m_threads.CountRunning() > 0; });
    ASSERT_TRUE(m.Tree()->SelectPath(other.string())) << "switching in the middle of a pass";
    EXPECT_EQ(m.doc->GetCurrentFolder()->ImageCount(), 3u);
    ASSERT_TRUE(lftest::PumpUntil([&] { return m.AllThumbnails(); }, std::chrono::seconds(60)));

    ASSERT_TRUE(m.Tree()->SelectPath(photos.string()));
    lftest::PumpUntil([&] { return m.state->m_threads.CountRunning() > 0; });
    m.Grid()->LeftDown(m.CellPoint(0), false);
    m.Grid()->LeftDown(m.CellPoint(1), false);  // the folder becomes a recent row
    ASSERT_EQ(m.Recent()->RecordAt(wxPoint(40, 35)), 0);
    m.Recent()->RemoveRecentFolder(wxPoint(40, 35));
    EXPECT_EQ(m.doc->GetCurrentFolder()->ImageCount(), 0u);
    EXPECT_EQ(m.doc->GetSelectedImageCount(), 0u) << "its images left the selection";
    // The removal clears the index; the tool panel's update then finds the emptied
    // current folder in the list again, as it finds every current folder.
    EXPECT_EQ(m.doc->m_nCurrentRecent, 0);
    EXPECT_EQ(m.Recent()->RecordAt(wxPoint(40, 35)), -1) << "no row left";
    lftest::PumpFor(std::chrono::milliseconds(100));
}

TEST_F(BrowsingTest, TreeRootsPathsAndTheFirstSelection)
{
    Manager m(dir);
    CDirectoryView* tree = m.Tree();
    EXPECT_EQ(m.doc->GetCurrentFolder()->m_strPath, "") << "the first selection opens nothing";
    EXPECT_TRUE(tree->CheckDrivePath("/"));
    EXPECT_FALSE(tree->CheckDrivePath((dir / "missing").string()));
    EXPECT_FALSE(tree->SelectPath((dir / "missing").string()));
    EXPECT_FALSE(tree->SelectPath("relative/path"));

    fs::create_directories(dir / "tree" / "beta");
    fs::create_directories(dir / "tree" / "Alpha");
    ASSERT_TRUE(tree->SelectPath((dir / "tree" / "beta").string() + "/"));
    const wxTreeItemId beta = tree->GetTree()->GetSelection();
    EXPECT_EQ(tree->GetItemPath(beta), (dir / "tree" / "beta").string()) << "separators joined once";
    const wxTreeItemId parent = tree->GetTree()->GetItemParent(beta);
    wxTreeItemIdValue cookie;
    EXPECT_EQ(tree->GetTree()->GetItemText(tree->GetTree()->GetFirstChild(parent, cookie)), "Alpha")
        << "sorted without regard to case";
    fs::create_directories(dir / "tree" / "gamma");
    ASSERT_TRUE(tree->SelectPath((dir / "tree" / "gamma").string()));
    EXPECT_EQ(tree->GetItemPath(tree->GetTree()->GetSelection()), (dir / "tree" / "gamma").string())
        << "a folder made meanwhile is listed when the path is selected again";

    m.state->m_bDragging = true;  // a list drag moves the selection: nothing opens
    ASSERT_TRUE(tree->SelectPath((dir / "tree" / "Alpha").string()));
    EXPECT_EQ(m.doc->GetCurrentFolder()->m_strPath, (dir / "tree" / "gamma").string());
    m.state->m_bDragging = false;

    ASSERT_TRUE(tree->SelectPath("/"));
    EXPECT_EQ(m.doc->GetCurrentFolder()->m_strPath, "/") << "the root opens and stays '/'";
}

TEST_F(BrowsingTest, GridMenuAndCommandsCheckTheSelection)
{
    Manager m(dir);
    CImageView* grid = m.Grid();
    std::vector<std::string> shown;
    grid->SetMessageSink([&](const std::string& text, const std::string& caption) { shown.push_back(caption + "|" + text); });
    std::vector<std::string> menuItems;
    grid->SetMenuRunner([&](wxMenu& menu, const wxPoint&) {
        for (const wxMenuItem* item : menu.GetMenuItems())
            menuItems.push_back(item->IsSeparator() ? "-" : item->GetItemLabel().utf8_string());
    });
    const std::string hand = "You must first select an image to edit.\nTo select an image, click on a thumbnail image "
                             "below.\nTip: Double click a thumbnail to launch the photo editor.";

    fs::create_directories(dir / "empty");
    ASSERT_TRUE(m.Tree()->SelectPath((dir / "empty").string()));
    lftest::PumpFor(std::chrono::milliseconds(50));
    m.frame->ShowTotals();
    EXPECT_EQ(m.frame->GetStatusBar()->GetStatusText(1), "0  Image Files");

    lftest::WriteText(other / "a.gif.jpg", "not really a picture");
    ASSERT_TRUE(m.Tree()->SelectPath(other.string()));
    ASSERT_EQ(m.doc->GetCurrentFolder()->ImageCount(), 4u);
    const struct {
        void (CImageView::*command)();
        std::string message;
    } empty[] = {
        {&CImageView::OnCopy, "Copy Images|Please select one or more images in order to use this function"},
        {&CImageView::OnMove, "Move Image|Please select one or more images in order to use this function."},
        {&CImageView::OnDelete, "Delete Image|Please select one or more images in order to use this function."},
        {&CImageView::OnRename, "|" + hand},
        {&CImageView::OnEditor, "|" + hand},
    };
    for (const auto& c : empty) {
        shown.clear();
        (grid->*c.command)();
        EXPECT_EQ(shown, std::vector<std::string>{c.message});
    }

    grid->RightDown(wxPoint(10, 3));
    EXPECT_TRUE(menuItems.empty()) << "the top 5 pixels do nothing";
    grid->RightDown(m.CellPoint(1));
    EXPECT_TRUE(m.doc->GetCurrentFolder()->Image(1)->m_bSelected) << "selected before the menu";
    EXPECT_EQ(menuItems, (std::vector<std::string>{"&Editor", "-", "&Copy", "&Move", "-", "&Delete", "&Rename"}));
    EXPECT_EQ(m.doc->m_nTargetImage, 1);
    shown.clear();
    grid->OnCopy();
    EXPECT_TRUE(shown.empty()) << "a selection passes the check";

    grid->LeftDown(m.CellPoint(2), false);  // a second image selected, no target after it
    m.doc->m_nTargetImage = kTargetWholeSelection;
    shown.clear();
    grid->OnEditor();
    EXPECT_EQ(shown, std::vector<std::string>{
                         "|You have more than one image selected. Please select a single image to Edit"});
    // The picture's own extension decides: "a.gif.jpg" (first in the folder) is a JPEG.
    std::vector<std::string> launched;
    m.doc->SetEditorLauncher([&](const std::string&, const std::vector<std::string>& args, const std::string&) {
        launched.insert(launched.end(), args.begin(), args.end());
        return 33;
    });
    m.doc->m_nTargetImage = 0;
    shown.clear();
    grid->OnEditor();
    EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown[0]);
    EXPECT_EQ(launched, std::vector<std::string>{(other / "a.gif.jpg").string()});
    CImageItem* first = m.doc->GetCurrentFolder()->Image(0);
    const std::string realPath = first->m_strPath;
    first->m_strPath = (other / "a.GIF").string();
    m.doc->m_nTargetImage = 0;
    grid->OnEditor();
    EXPECT_EQ(shown, std::vector<std::string>{"|Gif images are not supported by Editor."});
    EXPECT_EQ(launched.size(), 1u);
    first->m_strPath = realPath;
    m.doc->m_nTargetImage = 99;  // out of the folder: counts as no target
    shown.clear();
    grid->OnRename();
    EXPECT_EQ(shown, std::vector<std::string>{"|" + hand});

    grid->LeftDown(m.CellPoint(2), false);
    EXPECT_FALSE(m.doc->GetCurrentFolder()->Image(2)->m_bSelected) << "a click toggles";
    EXPECT_EQ(m.doc->m_nTargetImage, kTargetWholeSelection);
    grid->LeftDown(m.CellPoint(7), false);
    EXPECT_EQ(m.doc->m_nTargetImage, kTargetWholeSelection) << "no image there";
}

TEST(DirectoryViewMounts, NetworkSharesFromTheMountTable)
{
    lftest::TempDir dir;
    lftest::WriteText(dir / "mounts",
                      "proc /proc proc rw 0 0\n"
                      "//server/docs /mnt/docs cifs rw 0 0\n"
                      "host:/export /mnt/nfs\\040share nfs4 rw 0 0\n"
                      "/dev/sda1 / ext4 rw 0 0\n"
                      "gvfsd-fuse /run/user/1000/gvfs fuse.gvfsd-fuse rw 0 0\n");
    EXPECT_EQ(CDirectoryView::NetworkMounts((dir / "mounts").string()),
              (std::vector<std::string>{"/mnt/docs", "/mnt/nfs share", "/run/user/1000/gvfs"}));
    EXPECT_TRUE(CDirectoryView::NetworkMounts((dir / "none").string()).empty());
}

}  // namespace
