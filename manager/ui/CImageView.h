#pragma once
// The thumbnail grid: the current folder's images as cells of 100 x 114 on a 105 x 119
// pitch with background, thumbnail, size, date, short name and number. It starts the
// thumbnail pass when the folder needs thumbnails (after the paint that found out),
// repaints one cell per finished thumbnail, selects with the mouse and offers the
// image commands in a context menu.

#include "manager/ui/CPaneView.h"
#include "manager/ui/ImageCards.h"
#include "manager/model/ThumbnailSink.h"
#include "platform/gui/MessageInbox.h"

#include <wx/bitmap.h>

#include <functional>
#include <memory>
#include <string>

class CFolderItem;
class CImageItem;
class CQuorixDoc;
struct ManagerServices;
class wxDC;
class wxMouseEvent;
class wxPaintEvent;
namespace lfplat {
class PostedMessageEvent;
}
#include <wx/scrolwin.h>

class CImageView : public CPaneView {
    wxDECLARE_DYNAMIC_CLASS(CImageView);

public:
    CImageView();
    ~CImageView() override;

    void OnUpdate(wxView* sender, wxObject* hint) override;

    // Draws the cells that meet region (logical coordinates) and sets the status totals.
    void PaintGrid(wxDC& dc, const wxRect& region);
    // Mouse handling at a client point; shift as the Shift key.
    void LeftDown(const wxPoint& point, bool shift);
    void RightDown(const wxPoint& point);
    void LeftDoubleClick(const wxPoint& point);
    // The context menu's commands.
    void OnEditor();
    void OnCopy();
    void OnMove();
    void OnDelete();
    void OnRename();
    // Stops the loaders and starts a thumbnail pass over the current folder.
    void StartThumbnailThread();

    // Where messages go (a message box by default): text and caption.
    using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;
    void SetMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    // Where Delete asks before it deletes (a Yes/No box by default): true for Yes.
    void SetQuestionSink(std::function<bool(const std::string& text)> sink) { m_questionSink = std::move(sink); }
    // What shows the context menu (the real pop-up by default).
    void SetMenuRunner(std::function<void(wxMenu&, const wxPoint&)> runner) { m_menuRunner = std::move(runner); }

    static int Columns(const CQuorixDoc* doc);

protected:
    wxWindow* CreatePaneWindow(wxWindow* parent, const wxSize& size) override;

private:
    CQuorixDoc* Doc() const;
    CFolderItem* Folder() const;
    void DrawCell(wxDC& dc, int index, const CImageItem& image);
    const wxBitmap* ThumbnailBitmap(const CImageItem& image);
    void OnThumbnailMessage(lfplat::PostedMessageEvent& event);
    void OnThumbnailReady(const ThumbnailReady& ready);
    void RefreshCell(int index);
    void RepaintRecentFolders(bool erase);
    void MakeActivePane();
    int HitTest(const wxPoint& point) const;
    void ShowMessage(const std::string& text, const std::string& caption, long icon);
    bool NothingSelected(const char* text, const char* caption);
    bool AskYesNo(const std::string& text);
    const ManagerServices* Services() const;

    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnCommand(wxCommandEvent& event);

    wxScrolledCanvas* m_canvas = nullptr;
    // The thumbnail pass's notices, to the canvas; closed when the view goes.
    std::unique_ptr<lfplat::MessageInbox<ThumbnailReady>> m_thumbnailInbox;
    wxBitmap m_background;  // an unselected cell
    wxBitmap m_backgroundSelected;
    imagecards::ThumbnailBitmaps m_thumbs;
    const CFolderItem* m_pShownFolder = nullptr;
    bool m_bInitialised = false;
    MessageSink m_messageSink;
    std::function<void(wxMenu&, const wxPoint&)> m_menuRunner;
    std::function<bool(const std::string&)> m_questionSink;
};
