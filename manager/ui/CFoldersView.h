#pragma once
// The recent folders under the folder tree: a header and one row per folder the session
// keeps, the current one highlighted. A click opens the row's folder (rescanning it when
// its thumbnails are not complete); the context menu removes it from the list.

#include "manager/ui/CPaneView.h"

#include <wx/bitmap.h>

#include <functional>
#include <string>

class CQuorixDoc;
class wxDC;
class wxMouseEvent;
class wxPaintEvent;
#include <wx/scrolwin.h>

class CFoldersView : public CPaneView {
    wxDECLARE_DYNAMIC_CLASS(CFoldersView);

public:
    CFoldersView();

    void OnUpdate(wxView* sender, wxObject* hint) override;
    void Draw(wxDC& dc, const wxSize& client);
    // A left or right button release at a client point.
    void LButtonUp(const wxPoint& point);
    void RButtonUp(const wxPoint& point);
    void RemoveRecentFolder(const wxPoint& point);
    // The recent folders' load: the current folder rescanned in place.
    void LoadFolder(const std::string& path);
    // The recent-list index at a client point, or -1.
    int RecordAt(const wxPoint& point) const;

    // Where messages go (a message box by default).
    void SetMessageSink(std::function<void(const std::string&)> sink) { m_messageSink = std::move(sink); }
    // What shows the context menu and returns the chosen command (the real pop-up by default).
    void SetMenuRunner(std::function<int(wxMenu&, const wxPoint&)> runner) { m_menuRunner = std::move(runner); }

protected:
    wxWindow* CreatePaneWindow(wxWindow* parent, const wxSize& size) override;

private:
    CQuorixDoc* Doc() const;
    int ScrollY() const;
    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);

    wxScrolledCanvas* m_canvas = nullptr;
    wxBitmap m_header;      // the band behind the header
    wxBitmap m_title;       // the header's title
    wxBitmap m_openFolder;  // the current row
    wxBitmap m_folder;      // other rows
    std::function<void(const std::string&)> m_messageSink;
    std::function<int(wxMenu&, const wxPoint&)> m_menuRunner;
};
