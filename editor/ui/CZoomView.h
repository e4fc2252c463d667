#pragma once
// The zooming scroll view: a document view whose canvas window has scroll bars, a
// zoom factor and a reduction scale (the arithmetic is ZoomMapping's), the mouse zoom
// band with the right button to cancel it, and a notification after every zoom
// change. The canvas is never erased: the paint covers every pixel.

#include "editor/model/ZoomMapping.h"

#include <wx/cursor.h>
#include <wx/docview.h>

#include <memory>

class wxDC;
class wxMouseEvent;
class wxPaintEvent;
class wxScrollWinEvent;
class wxSetCursorEvent;
class wxSizeEvent;
class wxWindow;

class CZoomView : public wxView {
    wxDECLARE_ABSTRACT_CLASS(CZoomView);

public:
    CZoomView();
    ~CZoomView() override;

    ZoomMapping& Mapping() { return m_zoom; }
    wxWindow* GetCanvas() const { return m_canvas; }

    void SetZoomSizes(SIZE logical) { m_zoom.SetZoomSizes(logical); }
    void SetZoomMode(int mode);
    // Called after every zoom change; nothing by default.
    virtual void NotifyZoom() {}

protected:
    // Makes the canvas inside parent and routes its events here.
    wxWindow* CreateCanvas(wxWindow* parent);
    // Unhooks the canvas before its window goes.
    void ReleaseCanvas();

    // What the window does for the arithmetic.
    void ApplyScrollBars(SIZE range, SIZE page, SIZE line, POINT position);
    void ScrollCanvasTo(POINT position);
    void InvalidateCanvas(bool erase);

    // Canvas events for the derived view; by default the left button drives the
    // mouse zoom band of ZoomMapping.
    virtual void OnCanvasLeftDown(POINT client);
    virtual void OnCanvasMotion(POINT client, bool leftDown);
    virtual void OnCanvasLeftUp(POINT client);
    virtual void OnCanvasLeftDClick(POINT /*client*/) {}
    virtual void OnCanvasSize(SIZE client) { m_zoom.SetClientSize(client); }
    // The user scrolled to a position (already clamped).
    virtual void OnCanvasScrolled(POINT position);
    // The band of the mouse zoom, drawn by the paint while it is dragged.
    void DrawRubberBand(wxDC& dc) const;

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnScrollWin(wxScrollWinEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnSetCursor(wxSetCursorEvent& event);

    ZoomMapping m_zoom;
    wxWindow* m_canvas = nullptr;
    // Shown while a zoom mode is set; none is loaded, so the arrow shows.
    std::unique_ptr<wxCursor> m_zoomCursor;
};
