#pragma once
// The manager's main window: a status bar with the totals of the shown images, and a
// client area split into a left column (folder tree over recent folders) and a right
// column (tool panel over the image pane, whose view follows the view mode).

#include "manager/ui/CPaneHost.h"
#include "platform/gui/MessagePort.h"

#include <wx/docview.h>
#include <wx/timer.h>

#include <functional>
#include <string>

class CPaneView;
class CQuorixState;
class CSplitter;
class CSysImageList;
class wxMenu;

namespace lfplat {
class PostedMessageEvent;
}

class CMainFrame : public wxDocParentFrame, public CPaneHost {
    wxDECLARE_CLASS(CMainFrame);

public:
    // A search result was added to the current folder: the image pane's list view shows it.
    static constexpr int kAddFoundImage = 0x407;

    CMainFrame(wxDocManager* manager, CQuorixState& state, CSysImageList* sysImages = nullptr);
    ~CMainFrame() override;

    // Fills the panes with views of doc: the splitters the first time, then the views of
    // any pane that has none (a new document replaced the old one and its views).
    bool CreateClient(wxDocument* doc);
    // Puts the view of a view mode (a ViewMode) in the image pane; other modes do nothing.
    void SwitchImageView(int viewMode) override;
    // The class of the image pane's view in a view mode, or null for an unknown mode.
    static const wxClassInfo* ImagePaneClass(int viewMode);

    CPaneView* GetDirectoryView() const override;
    CPaneView* GetRecentFoldersView() const override;
    CPaneView* GetToolPanelView() const;
    CPaneView* GetImagePaneView() const;
    CSplitter* GetMainSplitter() const { return m_wndMainSplitter; }
    CSplitter* GetLeftSplitter() const { return m_wndLeftSplitter; }
    CSplitter* GetRightSplitter() const { return m_wndRightSplitter; }
    wxWindow* GetLeftColumn() const override;

    CQuorixState& GetState() const { return m_state; }
    CSysImageList* GetSysImageList() const override { return m_sysImages; }
    wxMenu* GetRecentFileMenu() const { return m_recentFileMenu; }
    // Where threads post the frame's numbered messages; posting fails once it has closed.
    lfplat::MessagePort::Sink GetMessageSink() const { return m_port.GetSink(); }

    // The timer's work: the totals into status panes 1 and 2.
    void ShowTotals();
    void PrintPreview() override;
    // Brings a shown frame to the front; a frame not yet shown stays hidden.
    void Raise() override;
    // Where the frame's information messages go (a message box by default).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_messageSink = std::move(sink); }

private:
    void OnTimer(wxTimerEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnCloseRequest(wxCloseEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnAddFoundImage(lfplat::PostedMessageEvent& event);
    void OnDeleteHistory(wxCommandEvent& event);
    void OnHelpFile(wxCommandEvent& event);
    void OnPrintPreview(wxCommandEvent& event);
    void OnUpdateNoHandler(wxUpdateUIEvent& event);
    void OnUpdateRecentFile(wxUpdateUIEvent& event);
    void ShowMessage(const char* text);

    CQuorixState& m_state;
    CSysImageList* m_sysImages;
    CSplitter* m_wndMainSplitter = nullptr;
    CSplitter* m_wndLeftSplitter = nullptr;
    CSplitter* m_wndRightSplitter = nullptr;
    wxMenu* m_recentFileMenu = nullptr;
    wxTimer m_timer;
    lfplat::MessagePort m_port;
    std::function<void(const std::string&)> m_messageSink;

    wxDECLARE_EVENT_TABLE();
};
