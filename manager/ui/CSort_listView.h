#pragma once
// The list views of the image pane: the current folder as a report list with the
// columns "Filename", "Size" and "Date". The list is virtual over the document's
// list-row array, which only the user-interface thread touches; the list-filling
// thread (CImageShow) hands rows over in batches. The view sorts by column, keeps the
// images' selected flags and the document's selection in step with the list, offers
// the image commands in a context menu, opens folders and hands images to the editor
// on a double click, drags rows onto the folder tree, and prints its rows.
//
// CImageListView (thumbnails as row pictures) and CDetailListView (file icons, with
// subfolders and other files) differ only in their view mode.

#include "manager/model/CImageShow.h"
#include "manager/ui/CPaneView.h"
#include "platform/gui/MessageInbox.h"

#include <wx/bitmap.h>
#include <wx/dragimag.h>
#include <wx/imaglist.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_set>

class CFolderItem;
class CImageItem;
class CListPrintout;
class CQuorixDoc;
class CQuorixState;
class wxListCtrl;
class wxListEvent;
class wxMenu;
namespace lfplat {
class PostedMessageEvent;
}

class CSort_listView : public CPaneView {
    wxDECLARE_ABSTRACT_CLASS(CSort_listView);

public:
    // The background of selected rows and of the thumbnails' frame.
    static const wxColour kHighlight;
    static constexpr int kNameWidth = 260;
    static constexpr int kSizeWidth = 70;

    CSort_listView();
    ~CSort_listView() override;

    // Any update of the document: the list empties and fills anew.
    void OnUpdate(wxView* sender, wxObject* hint) override;
    // Stops the loaders and starts a fill of the current folder.
    void RefreshList();
    // Rows for the images a search has appended to the current folder.
    void AddImageItem() override;

    wxListCtrl* GetListCtrl() const { return m_list; }
    size_t RowCount() const;
    const ListRowItem* Row(size_t index) const;
    // True once the last fill has delivered all its rows.
    bool FillDone() const { return m_bFillDone; }
    bool IsDescending() const { return m_bDescending; }
    wxImageList* GetThumbnailList() const { return m_thumbnails.get(); }

    // ---- What the user does, at row indexes (-1: no row).
    void ColumnClick(int column);
    // A left click: the images named by the selected rows become the selected images.
    void SyncSelection();
    // A right click at point (list client coordinates) on row hit: the images named
    // by the selected rows are flagged, and with any flagged the context menu shows.
    void RightClick(int hit, const wxPoint& point);
    void DoubleClick(int hit);
    void OnEditor();
    void OnCopy();
    void OnMove();
    void OnDelete();
    void OnRename();
    // Makes a fresh record of the folder at path the current folder.
    void OpenFolder(const std::string& path);

    // ---- Dragging rows onto the folder tree (screen coordinates).
    void BeginDrag(int hit);
    void DragMove(const wxPoint& screen);
    void Drop(const wxPoint& screen);
    bool IsDragging() const { return m_bDragging; }
    // The picture that follows the cursor: the row's picture and name, or the
    // several-files picture when more than one row goes.
    const wxBitmap& GetDragPicture() const { return m_dragPicture; }
    // The picture of row as a drag shows it.
    wxBitmap RowPicture(int row) const;
    // The several-files picture, at most size big.
    static wxBitmap SeveralFilesPicture(const wxSize& size);

    // A printout of the rows as they stand.
    std::unique_ptr<CListPrintout> MakePrintout() const;

    // ---- Seams for tests: messages (text, caption), Yes/No questions, the menu.
    using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;
    void SetMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    void SetQuestionSink(std::function<bool(const std::string& text)> sink) { m_questionSink = std::move(sink); }
    void SetMenuRunner(std::function<void(wxMenu&, const wxPoint&)> runner) { m_menuRunner = std::move(runner); }

    // Texts of the context menu's commands.
    static const char* const kSelectFirstText;
    static const char* const kDeleteQuestion;
    static const char* const kSeveralToRenameText;

protected:
    // kViewThumbnailsAndDetails or kViewDetailsAndFolders.
    virtual int ViewMode() const = 0;
    wxWindow* CreatePaneWindow(wxWindow* parent, const wxSize& size) override;

private:
    friend class CRowListCtrl;
    CQuorixDoc* Doc() const;
    CFolderItem* Folder() const;
    CQuorixState* State() const;
    void ClearRows();
    void OnFillMessage(lfplat::PostedMessageEvent& event);
    void OnBatch(CImageShow::Batch& batch);
    void AppendRow(std::unique_ptr<ListRowItem> row);
    // After rows were appended to a list that had picturesBefore row pictures.
    void FitRowHeight(int picturesBefore);
    int IconOf(const ListRowItem& row) const;
    // Selected row indexes, in list order.
    std::vector<long> SelectedRows() const;
    // Sets the selected flag of the images the selected rows name; with list, the
    // document's selection follows. Returns how many were flagged.
    int FlagSelectedRows(bool list);
    std::vector<CImageItem*> SelectedImages() const;
    void RememberFolder();
    void ShowMessage(const std::string& text, const std::string& caption, long icon);
    bool Ask(const std::string& text);
    void ScheduleSync();
    wxWindow* ItemWindow() const;
    // Widens the Filename column for rows from first on whose name it would cut.
    void FitNameColumn(size_t first);
    void OnDragMouse(wxMouseEvent& event);
    void OnDragCaptureLost(wxMouseCaptureLostEvent& event);
    void EndDragImage();
    void OnPrint(wxCommandEvent& event);
    void OnPrintPreview(wxCommandEvent& event);
    void OnUpdatePrint(wxUpdateUIEvent& event);
    void OnCommand(wxCommandEvent& event);

    wxListCtrl* m_list = nullptr;
    // The fill's batches, to the list; closed when the view goes.
    std::unique_ptr<lfplat::MessageInbox<CImageShow::Batch>> m_fillInbox;
    std::unique_ptr<wxImageList> m_thumbnails;
    bool m_bDescending = false;
    uint64_t m_nFill = 0;
    bool m_bFillDone = false;  // the first fill starts once the view has its document
    bool m_bChangingSelection = false;
    bool m_bSyncPending = false;
    int m_nNameWidthBefore = 0;  // the Filename column's width before long names widened it
    bool m_bDragging = false;
    wxBitmap m_dragPicture;
    // Drawn over the frame while rows are dragged; it holds the mouse meanwhile.
    std::unique_ptr<wxDragImage> m_pDragImage;
    wxWindow* m_dragFrame = nullptr;
    std::unique_ptr<wxEvtHandler> m_dragMouse;  // the frame's mouse during the drag
    std::unordered_set<const CImageItem*> m_rowImages;  // identity only
    wxPoint m_clickPoint;
    MessageSink m_messageSink;
    std::function<bool(const std::string&)> m_questionSink;
    std::function<void(wxMenu&, const wxPoint&)> m_menuRunner;

    wxDECLARE_EVENT_TABLE();
};
